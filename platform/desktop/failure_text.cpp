#include "platform/desktop/failure_text.h"

#include "platform/desktop/ui_text.h"
#include "platform/system/error_numbers.h"

namespace {

std::u16string WithReason(const char* chinese, int error) {
    if (error == 0) return Text(chinese);
    return WithArg(WithArg(Text("%1：%2"), Text(chinese)), SystemErrorText(error));
}

std::u16string WriteFailure(int error) {
    switch (error) {
        case ENOSPC:
            return Text("磁盘空间不足");
        case EDQUOT:
            return Text("超出磁盘配额");
        case EFBIG:
            return Text("文件过大");
        default:
            return WithReason("写入失败", error);
    }
}

}  // namespace

std::u16string FailureReason(const FileResult& result) {
    switch (result.outcome) {
        case FileOutcome::kDone:
            return {};
        case FileOutcome::kCannotOpen:
            return WithReason("无法打开文件", result.error);
        case FileOutcome::kNotRegularFile:
            return WithReason("不是普通文件", result.error);
        case FileOutcome::kBusy:
            return Text("文件正被另一个任务使用");
        case FileOutcome::kNotContainer:
            return Text("不是加密文件（大小不符）");
        case FileOutcome::kWrongKey:
            return Text("密码或算法错误（填充校验失败）");
        case FileOutcome::kReadError:
            return WithReason("读取失败", result.error);
        case FileOutcome::kWriteError:
            return WriteFailure(result.error);
        case FileOutcome::kSourceChanged:
            return Text("文件在读取期间被修改");
        case FileOutcome::kSourceReplaced:
            return Text("文件已被替换或删除，未覆写任何内容");
        case FileOutcome::kStopped:
            return Text("已停止");
        case FileOutcome::kDestinationRefused:
            return Text("目标文件已存在且不能替换");
        case FileOutcome::kCannotDelete:
            return Text("文件无法删除（所在文件夹不可写或文件不可更改），未覆写任何内容");
        case FileOutcome::kSystemError:
            return WithReason("系统错误", result.error);
    }
    return Text("系统错误");
}

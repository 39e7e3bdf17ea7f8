#include "platform/desktop/failure_text.h"

#include <cerrno>
#include <cstring>

#include "platform/desktop/qt_text.h"

namespace {

QString SystemErrorQtText(int error);

// strerror_r is the GNU one (returning the text) or the POSIX one (returning
// a status and filling the buffer), depending on the C library's mode.
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) {
    return text;
}
[[maybe_unused]] const char* ErrorTextOf(int status, const char* buffer) {
    return status == 0 ? buffer : nullptr;
}

QString WithReason(const char* chinese, int error) {
    if (error == 0) return QtText(chinese);
    return QtText("%1：%2").arg(QtText(chinese), SystemErrorQtText(error));
}

QString WriteFailure(int error) {
    switch (error) {
        case ENOSPC:
            return QtText("磁盘空间不足");
        case EDQUOT:
            return QtText("超出磁盘配额");
        case EFBIG:
            return QtText("文件过大");
        default:
            return WithReason("写入失败", error);
    }
}

QString SystemErrorQtText(int error) {
    char buffer[256] = {};
    const char* text = ErrorTextOf(strerror_r(error, buffer, sizeof buffer), buffer);
    if (text == nullptr || *text == '\0') return QtText("错误 %1").arg(error);
    return QString::fromLocal8Bit(text);
}

QString FailureQtText(const FileResult& result) {
    switch (result.outcome) {
        case FileOutcome::kDone:
            return {};
        case FileOutcome::kCannotOpen:
            return WithReason("无法打开文件", result.error);
        case FileOutcome::kNotRegularFile:
            return WithReason("不是普通文件", result.error);
        case FileOutcome::kBusy:
            return QtText("文件正被另一个任务使用");
        case FileOutcome::kNotContainer:
            return QtText("不是加密文件（大小不符）");
        case FileOutcome::kWrongKey:
            return QtText("密码或算法错误（填充校验失败）");
        case FileOutcome::kReadError:
            return WithReason("读取失败", result.error);
        case FileOutcome::kWriteError:
            return WriteFailure(result.error);
        case FileOutcome::kSourceChanged:
            return QtText("文件在读取期间被修改");
        case FileOutcome::kSourceReplaced:
            return QtText("文件已被替换或删除，未覆写任何内容");
        case FileOutcome::kStopped:
            return QtText("已停止");
        case FileOutcome::kDestinationRefused:
            return QtText("目标文件已存在且不能替换");
        case FileOutcome::kCannotDelete:
            return QtText("文件无法删除（所在文件夹不可写或文件不可更改），未覆写任何内容");
        case FileOutcome::kSystemError:
            return WithReason("系统错误", result.error);
    }
    return QtText("系统错误");
}

}  // namespace

std::u16string SystemErrorText(int error) {
    return FromQt(SystemErrorQtText(error));
}

std::u16string FailureReason(const FileResult& result) {
    return FromQt(FailureQtText(result));
}

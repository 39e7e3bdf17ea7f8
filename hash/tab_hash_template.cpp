#include "hash/tab_hash_template.h"

using namespace hash_page_ids;

const DialogTemplate& HashPageTemplate() {
    static const DialogTemplate dialog{
        kHashPageTemplate,
        476,
        240,
        "",
        {
            {kNoId, ControlKind::GroupBox, "选择算法和文件：", kStyleNone, {9, 6, 265, 59}},
            {kNoId, ControlKind::GroupBox, "状态", kStyleNone, {278, 6, 187, 59}},
            {kNoId, ControlKind::GroupBox, "结果", kStyleNone, {9, 67, 456, 165}},
            {kMd5Check, ControlKind::CheckBox, "MD5", kStyleNone, {20, 22, 57, 8}},
            {kSha1Check, ControlKind::CheckBox, "SHA-1", kStyleNone, {20, 33, 57, 8}},
            {kSha256Check, ControlKind::CheckBox, "SHA-2(SHA256)", kStyleNone, {20, 44, 65, 8}},
            {kSha512Check, ControlKind::CheckBox, "SHA-2(SHA512)", kStyleNone, {89, 22, 82, 8}},
            {kKeccakCheck,
             ControlKind::CheckBox,
             "Keccak(SHA-3 候选)",
             kStyleNone,
             {89, 33, 86, 8}},
            {kNoId,
             ControlKind::StaticText,
             "拖动文件到这个窗口或点击\"打开...\"",
             kStyleNone,
             {179, 20, 86, 17}},
            {kOpenButton, ControlKind::PushButton, "打开...", kStyleNone, {178, 42, 53, 17}},
            {kStopButton, ControlKind::PushButton, "停止", kDisabled, {232, 42, 35, 17}},
            {kNoId, ControlKind::StaticText, "线程：", kAlignRight, {291, 26, 34, 10}},
            {kStatusText, ControlKind::StaticText, "就绪.", kStyleNone, {331, 26, 113, 10}},
            {kNoId, ControlKind::StaticText, "进度：", kAlignRight, {289, 39, 36, 10}},
            {kProgressBar, ControlKind::ProgressBar, "", kStyleNone, {330, 38, 118, 10}},
            {kResultEdit, ControlKind::MultiLineEdit, "", kVScroll | kBorder, {17, 78, 442, 149}},
        }};
    return dialog;
}

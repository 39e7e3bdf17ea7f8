#include "app/resources/dialog_templates.h"

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
            {1036, ControlKind::CheckBox, "MD5", kStyleNone, {20, 22, 57, 8}},
            {1037, ControlKind::CheckBox, "SHA-1", kStyleNone, {20, 33, 57, 8}},
            {1038, ControlKind::CheckBox, "SHA-2(SHA256)", kStyleNone, {20, 44, 65, 8}},
            {1040, ControlKind::CheckBox, "SHA-2(SHA512)", kStyleNone, {89, 22, 82, 8}},
            {1041, ControlKind::CheckBox, "Keccak(SHA-3 候选)", kStyleNone, {89, 33, 86, 8}},
            {kNoId,
             ControlKind::StaticText,
             "拖动文件到这个窗口或点击\"打开...\"",
             kStyleNone,
             {179, 20, 86, 17}},
            {1031, ControlKind::PushButton, "打开...", kStyleNone, {178, 42, 53, 17}},
            {1034, ControlKind::PushButton, "停止", kDisabled, {232, 42, 35, 17}},
            {kNoId, ControlKind::StaticText, "线程：", kAlignRight, {291, 26, 34, 10}},
            {1035, ControlKind::StaticText, "就绪.", kStyleNone, {331, 26, 113, 10}},
            {kNoId, ControlKind::StaticText, "进度：", kAlignRight, {289, 39, 36, 10}},
            {1033, ControlKind::ProgressBar, "", kStyleNone, {330, 38, 118, 10}},
            {1032, ControlKind::MultiLineEdit, "", kVScroll | kBorder, {17, 78, 442, 149}},
        }};
    return dialog;
}

#include "app/resources/dialog_templates.h"

// Left half: the password generator above the Base64 field. Right half: the
// wipe list with its buttons, the pass choice and Erase / Stop.
const DialogTemplate& ToolsPageTemplate() {
    static const DialogTemplate dialog{
        kToolsPageTemplate,
        476,
        240,
        "",
        {
            // Password generator.
            {kNoId, ControlKind::GroupBox, "随机密码生成器", kStyleNone, {7, 4, 228, 102}},
            {kNoId, ControlKind::StaticText, "密码长度(1-9999):", kStyleNone, {15, 19, 76, 9}},
            {1015, ControlKind::Edit, "", kDigitsOnly | kBorder, {93, 17, 40, 12}},
            {1017, ControlKind::PushButton, "生成", kDefaultButton, {178, 15, 50, 15}},
            {1022, ControlKind::CheckBox, "大写字母", kStyleNone, {15, 35, 50, 10}},
            {1019, ControlKind::CheckBox, "小写字母", kStyleNone, {68, 35, 50, 10}},
            {1020, ControlKind::CheckBox, "数字", kStyleNone, {121, 35, 40, 10}},
            {1021, ControlKind::CheckBox, "特殊符号", kStyleNone, {161, 35, 54, 10}},
            {1016, ControlKind::MultiLineEdit, "", kVScroll | kBorder, {15, 50, 213, 49}},

            // Base64.
            {kNoId, ControlKind::GroupBox, "Base64 编码/解码", kStyleNone, {7, 110, 228, 125}},
            {kNoId, ControlKind::StaticText, "输入明文或编码：", kStyleNone, {15, 123, 100, 9}},
            {1028,
             ControlKind::MultiLineEdit,
             "",
             kVScroll | kWantReturn | kBorder,
             {15, 134, 213, 77}},
            {1031, ControlKind::PushButton, "编码", kStyleNone, {124, 215, 50, 15}},
            {1032, ControlKind::PushButton, "解码", kStyleNone, {178, 215, 50, 15}},

            // Secure wipe.
            {kNoId,
             ControlKind::GroupBox,
             "文件安全擦除（谨慎使用！）：",
             kStyleNone,
             {241, 4, 228, 231}},
            {kNoId, ControlKind::StaticText, "拖拽文件或点击\"+\"", kStyleNone, {249, 19, 120, 9}},
            {1003, ControlKind::ListView, "", kMultiSelect | kBorder, {249, 30, 212, 146}},
            {1023, ControlKind::PushButton, "+", kStyleNone, {249, 180, 26, 15}},
            {1027, ControlKind::PushButton, "-", kStyleNone, {278, 180, 26, 15}},
            {1018, ControlKind::PushButton, "清空", kStyleNone, {307, 180, 40, 15}},
            {1024, ControlKind::RadioButton, "擦除1次", kStyleNone, {249, 200, 52, 10}},
            {1025, ControlKind::RadioButton, "擦除7次", kStyleNone, {304, 200, 52, 10}},
            {1026, ControlKind::RadioButton, "擦除35次", kStyleNone, {359, 200, 58, 10}},
            {1030, ControlKind::PushButton, "擦除", kStyleNone, {365, 215, 46, 15}},
            {1029, ControlKind::PushButton, "停止", kDisabled, {415, 215, 46, 15}},
        }};
    return dialog;
}

#include "tools/tab_tools_template.h"

// Left half: the password generator above the Base64 field. Right half: the
// wipe list with its buttons, the pass choice and Erase / Stop.
using namespace tools_page_ids;

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
            {kLengthEdit, ControlKind::Edit, "", kDigitsOnly | kBorder, {93, 17, 40, 12}},
            {kGenerateButton, ControlKind::PushButton, "生成", kDefaultButton, {178, 15, 50, 15}},
            {kUpperCheck, ControlKind::CheckBox, "大写字母", kStyleNone, {15, 35, 50, 10}},
            {kLowerCheck, ControlKind::CheckBox, "小写字母", kStyleNone, {68, 35, 50, 10}},
            {kDigitsCheck, ControlKind::CheckBox, "数字", kStyleNone, {121, 35, 40, 10}},
            {kSymbolsCheck, ControlKind::CheckBox, "特殊符号", kStyleNone, {161, 35, 54, 10}},
            {kPasswordEdit,
             ControlKind::MultiLineEdit,
             "",
             kVScroll | kBreakAnywhere | kBorder,
             {15, 50, 213, 49}},

            // Base64.
            {kNoId, ControlKind::GroupBox, "Base64 编码/解码", kStyleNone, {7, 110, 228, 125}},
            {kNoId, ControlKind::StaticText, "输入明文或编码：", kStyleNone, {15, 123, 100, 9}},
            {kBase64Edit,
             ControlKind::MultiLineEdit,
             "",
             kVScroll | kWantReturn | kBreakAnywhere | kBorder,
             {15, 134, 213, 77}},
            {kEncodeButton, ControlKind::PushButton, "编码", kStyleNone, {124, 215, 50, 15}},
            {kDecodeButton, ControlKind::PushButton, "解码", kStyleNone, {178, 215, 50, 15}},

            // Secure wipe.
            {kNoId,
             ControlKind::GroupBox,
             "文件安全擦除（谨慎使用！）：",
             kStyleNone,
             {241, 4, 228, 231}},
            {kNoId, ControlKind::StaticText, "拖拽文件或点击\"+\"", kStyleNone, {249, 19, 120, 9}},
            {kWipeList, ControlKind::ListView, "", kMultiSelect | kBorder, {249, 30, 212, 146}},
            {kAddButton, ControlKind::PushButton, "+", kStyleNone, {249, 180, 26, 15}},
            {kRemoveButton, ControlKind::PushButton, "-", kStyleNone, {278, 180, 26, 15}},
            {kClearButton, ControlKind::PushButton, "清空", kStyleNone, {307, 180, 40, 15}},
            {kOnePassRadio, ControlKind::RadioButton, "擦除1次", kStyleNone, {249, 200, 52, 10}},
            {kSevenPassRadio, ControlKind::RadioButton, "擦除7次", kStyleNone, {304, 200, 52, 10}},
            {kThirtyFivePassRadio,
             ControlKind::RadioButton,
             "擦除35次",
             kStyleNone,
             {359, 200, 58, 10}},
            {kEraseButton, ControlKind::PushButton, "擦除", kStyleNone, {365, 215, 46, 15}},
            {kStopButton, ControlKind::PushButton, "停止", kDisabled, {415, 215, 46, 15}},
        }};
    return dialog;
}

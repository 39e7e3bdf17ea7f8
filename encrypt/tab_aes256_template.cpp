#include "encrypt/tab_aes256_template.h"

using namespace encryption_page_ids;

const DialogTemplate& EncryptionPageTemplate() {
    static const DialogTemplate dialog{
        kEncryptionPageTemplate,
        476,
        240,
        "",
        {
            {kFileList, ControlKind::ListView, "", kMultiSelect | kBorder, {11, 16, 452, 155}},
            {kDecryptCheck, ControlKind::CheckBox, "解密", kStyleNone, {21, 205, 50, 9}},
            {kEraseCheck, ControlKind::CheckBox, "安全擦除原文件", kStyleNone, {21, 217, 97, 9}},
            {kAesRadio, ControlKind::RadioButton, "AES256", kStyleNone, {170, 203, 41, 10}},
            {kCamelliaRadio,
             ControlKind::RadioButton,
             "Camellia256",
             kStyleNone,
             {218, 203, 55, 10}},
            {kKeyEdit, ControlKind::Edit, "", kBorder, {169, 216, 177, 12}},
            {kActionButton, ControlKind::PushButton, "加密", kStyleNone, {368, 204, 53, 23}},
            {kStopButton, ControlKind::PushButton, "停止", kStyleNone, {423, 204, 33, 23}},
            {kNoId,
             ControlKind::StaticText,
             "拖动文件到此处或点击”添加文件...“",
             kStyleNone,
             {11, 5, 132, 9}},
            {kNoId, ControlKind::StaticText, "加密密钥：", kAlignRight, {105, 218, 59, 9}},
            {kNoId, ControlKind::GroupBox, "选项", kStyleNone, {12, 192, 341, 42}},
            {kNoId, ControlKind::StaticText, "密码算法：", kAlignRight, {108, 204, 56, 9}},
            {kNoId, ControlKind::GroupBox, "操作", kStyleNone, {357, 192, 106, 42}},
            {kAddButton, ControlKind::PushButton, "添加文件...", kStyleNone, {11, 173, 63, 16}},
            {kRemoveButton, ControlKind::PushButton, "移除", kStyleNone, {141, 173, 63, 16}},
            {kClearButton, ControlKind::PushButton, "清空", kStyleNone, {206, 173, 63, 16}},
            {kLocationButton,
             ControlKind::PushButton,
             "打开文件位置...",
             kStyleNone,
             {76, 173, 63, 16}},
        }};
    return dialog;
}

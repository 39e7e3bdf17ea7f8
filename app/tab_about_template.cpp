#include "app/tab_about_template.h"
#include "app/build_info.h"

namespace {

std::string VersionNotice() {
    return "Version: " + std::string(ProductVersion()) + " (" + BuildWordSize() +
           "), free software for file encryption, hashing and secure deletion. It is provided "
           "as is, without any warranty. Keep a copy of your passwords: an encrypted file "
           "cannot be recovered without its password.";
}

// What the check box adds: Explorer's context menu on Windows, the file
// manager's "Open With" menu on Linux desktops.
#if defined(_WIN32)
constexpr const char* kContextMenuText = "添加程序到Windows右键菜单";
#else
constexpr const char* kContextMenuText = "添加程序到文件管理器的“打开方式”菜单";
#endif

}  // namespace

using namespace about_page_ids;

const DialogTemplate& AboutPageTemplate() {
    static const std::string notice = VersionNotice();
    static const std::string email = std::string("Email: ") + kProjectEmail;
    static const std::string url = std::string("URL: ") + kProjectUrl;
    static const DialogTemplate dialog{
        kAboutPageTemplate,
        476,
        240,
        "",
        {
            {kNoId, ControlKind::StaticText, kProductName, kBold, {41, 26, 200, 10}},
            {kNoId, ControlKind::StaticText, notice.c_str(), kStyleNone, {58, 38, 380, 56}},
            {kNoId,
             ControlKind::StaticText,
             "欢迎任何反馈、意见和建议。",
             kStyleNone,
             {58, 102, 380, 9}},
            {kNoId, ControlKind::StaticText, email.c_str(), kStyleNone, {58, 112, 380, 9}},
            {kNoId, ControlKind::StaticText, url.c_str(), kStyleNone, {58, 122, 380, 9}},
            {kNoId,
             ControlKind::StaticText,
             "AES(高级加密标准)， 是当今安全性最好的对称分组式密码算法之一。",
             kStyleNone,
             {58, 136, 380, 9}},
            {kNoId,
             ControlKind::StaticText,
             "本程序实现的AES相关功能的一部分是基于FIPS-197文档中的描述。",
             kStyleNone,
             {58, 146, 380, 9}},
            {kNoId,
             ControlKind::StaticText,
             "本程序实现的Camellia相关功能的一部分是基于RFC-3713文档中的描述。",
             kStyleNone,
             {58, 156, 380, 9}},
            {kContextMenuBox,
             ControlKind::CheckBox,
             kContextMenuText,
             kStyleNone,
             {7, 224, 250, 10}},
        }};
    return dialog;
}

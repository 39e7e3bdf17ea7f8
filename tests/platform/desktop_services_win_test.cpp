// The window's Windows services that need no window: the context-menu entry
// in the registry, the interface texts from the generated table, and the
// programs' resources. Runs under Wine, in the build's own prefix.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cwctype>
#include <string>

#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/file_names.h"
#include "quorvane_version.h"

namespace {

const wchar_t kCommandKey[] = L"Software\\Classes\\*\\shell\\Quorvane\\command";

std::wstring StoredCommand() {
    wchar_t text[1024] = {};
    DWORD bytes = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, text,
                     &bytes) != ERROR_SUCCESS)
        return L"<none>";
    return text;
}

class ContextMenuEntry : public testing::Test {
  protected:
    // The build's Wine prefix may keep an entry from an interrupted run.
    void SetUp() override { RemoveOpenWithEntry(); }
    void TearDown() override { RemoveOpenWithEntry(); }
};

}  // namespace

TEST_F(ContextMenuEntry, WrittenForOneProgramMatchedAndRemoved) {
    const std::u16string program = u"C:\\Program Files\\加密 工具\\quorvane.exe";
    EXPECT_FALSE(OpenWithEntryMatches(program));
    ASSERT_TRUE(WriteOpenWithEntry(program));
    // What Explorer runs: both paths quoted, so spaces keep them whole.
    EXPECT_EQ(StoredCommand(), L"\"C:\\Program Files\\加密 工具\\quorvane.exe\" \"%1\"");
    EXPECT_TRUE(OpenWithEntryMatches(program));
    // A copy elsewhere, or a path differing only in case, is another program.
    EXPECT_FALSE(OpenWithEntryMatches(u"D:\\quorvane.exe"));
    EXPECT_FALSE(OpenWithEntryMatches(u"C:\\Program Files\\加密 工具\\QUORVANE.exe"));

    ASSERT_TRUE(WriteOpenWithEntry(u"D:\\quorvane.exe"));
    EXPECT_TRUE(OpenWithEntryMatches(u"D:\\quorvane.exe"));
    EXPECT_FALSE(OpenWithEntryMatches(program));

    EXPECT_TRUE(RemoveOpenWithEntry());
    EXPECT_FALSE(OpenWithEntryMatches(u"D:\\quorvane.exe"));
    EXPECT_EQ(StoredCommand(), L"<none>");
    // Removing what is not there is reported, as the About page expects.
    EXPECT_FALSE(RemoveOpenWithEntry());
}

TEST(ProgramPath, IsTheRunningExecutable) {
    const std::u16string path = ProgramFilePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), u".exe");
    EXPECT_NE(GetFileAttributesW(std::wstring(path.begin(), path.end()).c_str()),
              INVALID_FILE_ATTRIBUTES);
}

TEST(TextTable, EnglishTextsAndArgumentsChineseByDefault) {
    EXPECT_EQ(Text("就绪."), u"就绪.");
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::English));
    EXPECT_EQ(Text("就绪."), u"Ready.");
    EXPECT_EQ(Text("添加程序到文件管理器的“打开方式”菜单"),
              u"Add the program to the file manager's \"Open With\" menu");
    EXPECT_EQ(WithArg(Text("加密 %1%.."), 42), u"Encrypting 42%..");
    EXPECT_EQ(WithArg(WithArg(Text("%1：%2"), u"a.txt"), u"%1 left"), u"a.txt: %1 left");
    EXPECT_EQ(CancelledText(), u"Cancelled");
    // A text the table does not hold is shown as it is.
    EXPECT_EQ(Text("没有这个文本"), u"没有这个文本");
    ASSERT_TRUE(InstallTranslations(InterfaceLanguage::Chinese));
    EXPECT_EQ(Text("加密"), u"加密");

    InterfaceLanguage language = InterfaceLanguage::Chinese;
    EXPECT_TRUE(LanguageFromName(u"EN", language));
    EXPECT_EQ(language, InterfaceLanguage::English);
    EXPECT_FALSE(LanguageFromName(u"fr", language));
}

// This test program links the window program's resources.
TEST(Resources, IconManifestAndVersion) {
    for (int size : {16, 32, 256}) {
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(131),
                                                   IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(icon);
    }
    // The manifest selects version 6 of the common controls, which Windows
    // (and Wine) load from the side-by-side store, not from system32.
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES;
    ASSERT_TRUE(InitCommonControlsEx(&controls));
    wchar_t loaded[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(GetModuleHandleW(L"comctl32.dll"), loaded, MAX_PATH), 0u);
    std::wstring path = loaded;
    for (wchar_t& c : path) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(path.find(L"microsoft.windows.common-controls"), std::wstring::npos) << path;

    // quorvane-cli.exe carries the build's version.
    const std::wstring cli = PathFromUtf8(QUORVANE_CLI_PATH).native();
    std::string block(GetFileVersionInfoSizeW(cli.c_str(), nullptr), '\0');
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(cli.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    wchar_t* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904b0\\ProductVersion",
                               reinterpret_cast<void**>(&product), &length));
    const std::string expected = QUORVANE_VERSION;
    EXPECT_EQ(std::wstring(product), std::wstring(expected.begin(), expected.end()));
}

// The Win32 window driven by its window messages, as a user's clicks and keys
// reach it: the pages' behaviour on the Windows layer (run under Wine).
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "app/main_window_template.h"
#include "app/quorvane_dlg.h"
#include "app/tab_about_dlg.h"
#include "app/tab_about_template.h"
#include "encrypt/tab_aes256_dlg.h"
#include "encrypt/tab_aes256_template.h"
#include "hash/tab_hash_dlg.h"
#include "hash/tab_hash_template.h"
#include "platform/desktop/dialog_window_win.h"
#include "platform/desktop/job_runner.h"
#include "platform/desktop/list_view.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/ui_text.h"
#include "support/test_files.h"
#include "tools/tab_tools_dlg.h"
#include "tools/tab_tools_template.h"

using namespace testing_support;

namespace {

namespace fs = std::filesystem;

// Serves the window thread's messages, as the program's loop does, until
// `done` holds or the time is up.
bool ServeUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchWindowMessage(message);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Serve(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    ServeUntil([&] { return std::chrono::steady_clock::now() > end; }, ms + 1000);
}

// A key as the user presses it on the focused control: through the loop.
void PressKey(HWND target, WPARAM key) {
    SetFocus(target);
    MSG message{target, WM_KEYDOWN, key, 0, 0, {}};
    DispatchWindowMessage(message);
}

std::u16string TextOf(HWND control) {
    std::wstring text(std::size_t(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(control, text.data(), int(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void SetText(HWND control, const std::u16string& text) {
    SetWindowTextW(control, Wide(text));
}

// Files dropped on a window as Explorer drops them: a DROPFILES block.
void DropFiles(HWND window, const std::vector<fs::path>& paths) {
    std::wstring names;
    for (const fs::path& path : paths) names += path.wstring() + L'\0';
    names += L'\0';
    const std::size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(),
                names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// A tab chosen with the mouse: the selection, then its notification.
void SelectTab(const CQuorvaneDlg& window, int index) {
    const HWND tabs = Win32Item(window, main_window_ids::kTabControl);
    SendMessageW(tabs, TCM_SETCURSEL, WPARAM(index), 0);
    NMHDR change{tabs, UINT_PTR(main_window_ids::kTabControl), UINT(TCN_SELCHANGE)};
    SendMessageW(Win32Host(window)->hwnd, WM_NOTIFY, change.idFrom,
                 reinterpret_cast<LPARAM>(&change));
}

// `pixels` at 96 dots per inch, at the density of the screen.
int Dpi(int pixels) {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return pixels * dpi / 96;
}

bool Shown(const DialogWindow& window) {
    return IsWindowVisible(Win32Host(window)->hwnd);
}

class RecordedBoxes : public MessageBoxService {
  public:
    RecordedBoxes() { SetMessageBoxService(this); }
    ~RecordedBoxes() override { SetMessageBoxService(nullptr); }
    MessageAnswer Show(const MessageRequest& request) override {
        texts.push_back(request.text);
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::vector<std::u16string> texts;
};

// Writes the window as it shows on the screen to a 24-bit BMP file.
void SaveScreenshot(HWND window, const fs::path& file) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = DWORD((width * 3 + 3) & ~3);
    BITMAPFILEHEADER header{
        0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * height), 0, 0,
        DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), std::streamsize(stride * height));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

class Win32WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Screenshots in either language (scripts/window_screenshots.sh).
        if (const char* language = std::getenv("QUORVANE_SCREENSHOTS_LANG"))
            InstallTranslations(std::string(language) == "en" ? InterfaceLanguage::English
                                                              : InterfaceLanguage::Chinese);
        window.Create(nullptr);
        if (!Win32Host(window) || !Win32Host(window)->hwnd) {
            // Under xvfb-run a window that does not open is a failure.
            if (std::getenv("DISPLAY")) FAIL() << "the main window did not open";
            GTEST_SKIP() << "no display (run under xvfb-run)";
        }
        ShowWindow(Win32Host(window)->hwnd, SW_SHOW);
        Serve(50);
    }
    void TearDown() override { JoinAbandonedJobs(); }

    HWND Main() const { return Win32Host(window)->hwnd; }
    static HWND Item(const DialogWindow& page, int id) { return Win32Item(page, id); }
    static void Click(const DialogWindow& page, int id) {
        SendMessageW(Item(page, id), BM_CLICK, 0, 0);
    }

    RecordedBoxes boxes;
    TempDir dir;
    CQuorvaneDlg window;
};

TEST_F(Win32WindowTest, OpensWithFourTabsAndShowsOnePageAtATimeInThePageRectangle) {
    EXPECT_EQ(SendMessageW(Item(window, main_window_ids::kTabControl), TCM_GETITEMCOUNT, 0, 0), 4);
    RECT client{};
    GetClientRect(Main(), &client);
    for (int tab : {2, 1, 3, 0}) {
        SelectTab(window, tab);
        for (int i = 0; i < CQuorvaneDlg::kPageCount; ++i)
            EXPECT_EQ(Shown(*window.Page(i)), i == tab) << tab << " " << i;
        RECT page{};
        GetWindowRect(Win32Host(*window.Page(tab))->hwnd, &page);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&page), 2);
        // Margins given at 96 dots per inch, at the screen's density.
        EXPECT_EQ(page.left, Dpi(20));
        EXPECT_EQ(page.top, Dpi(40));
        EXPECT_EQ(page.right, client.right - Dpi(20));
        EXPECT_EQ(page.bottom, client.bottom - Dpi(45));
    }
    // Each tab's look, for a person to check that nothing is cut off.
    if (const char* folder = std::getenv("QUORVANE_SCREENSHOTS")) {
        for (int tab = 0; tab < CQuorvaneDlg::kPageCount; ++tab) {
            SelectTab(window, tab);
            RedrawWindow(Main(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Serve(300);
            SaveScreenshot(Main(), fs::path(folder) / ("tab" + std::to_string(tab) + ".bmp"));
        }
    }
}

// Moved to a screen of half again the density: the window takes the place
// the system suggests, and its controls, fonts, pages and columns grow with it.
TEST_F(Win32WindowTest, ADensityChangeLaysTheWindowOutAnew) {
    const auto rectOf = [&](HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const auto fontHeight = [](HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return std::abs(font.lfHeight);
    };
    const CTabAES256Dlg& page = *window.EncryptionPage();
    const HWND button = Item(page, encryption_page_ids::kActionButton);
    const HWND list = Item(page, encryption_page_ids::kFileList);
    const RECT pageBefore = rectOf(Win32Host(page)->hwnd);
    const RECT buttonBefore = rectOf(button);
    const int fontBefore = fontHeight(button);
    const int columnBefore = int(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    RECT frame{};
    GetWindowRect(Main(), &frame);
    const UINT dpi = UINT(Dpi(96));

    // The size the window asks for: about half again, as its font grows.
    SIZE size{};
    ASSERT_TRUE(
        SendMessageW(Main(), WM_GETDPISCALEDSIZE, dpi * 3 / 2, reinterpret_cast<LPARAM>(&size)));
    EXPECT_NEAR(double(size.cx) / (frame.right - frame.left), 1.5, 0.1);
    EXPECT_NEAR(double(size.cy) / (frame.bottom - frame.top), 1.5, 0.1);
    RECT suggested{frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
    SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi * 3 / 2, dpi * 3 / 2),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(Main(), &now);
    EXPECT_TRUE(EqualRect(&now, &suggested));
    const RECT pageAfter = rectOf(Win32Host(page)->hwnd);
    EXPECT_NEAR(pageAfter.left, pageBefore.left * 3 / 2, 1);
    EXPECT_NEAR(pageAfter.right, pageBefore.right * 3 / 2, 2);
    EXPECT_NEAR(pageAfter.bottom, pageBefore.bottom * 3 / 2, 2);
    const RECT buttonAfter = rectOf(button);
    // The dialog units follow the font's own measures: about half again, as
    // near as the font's hinted heights at each size allow (the fonts a
    // fresh Wine prefix has give 1.37 for the height).
    const auto grown = [](LONG after, LONG before) { return double(after) / double(before); };
    EXPECT_NEAR(grown(buttonAfter.right - buttonAfter.left, buttonBefore.right - buttonBefore.left),
                1.5, 0.15);
    EXPECT_NEAR(grown(buttonAfter.bottom - buttonAfter.top, buttonBefore.bottom - buttonBefore.top),
                1.5, 0.15);
    EXPECT_NEAR(fontHeight(button), fontBefore * 3 / 2, 1);
    EXPECT_NEAR(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), columnBefore * 3 / 2, 1);
    // Nothing of the main window is cut off at its edges.
    RECT client{};
    GetClientRect(Main(), &client);
    for (const int id : {main_window_ids::kTabControl, kIdCancel}) {
        const RECT control = rectOf(Item(window, id));
        EXPECT_LE(control.right, client.right) << id;
        EXPECT_LE(control.bottom, client.bottom) << id;
        EXPECT_GE(client.right - control.right, Dpi(6) * 3 / 2 - 2) << id << ": its margin";
    }
    // Back where it was.
    SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
    const RECT buttonBack = rectOf(button);
    EXPECT_TRUE(EqualRect(&buttonBack, &buttonBefore));
}

TEST_F(Win32WindowTest, GeneratesAPasswordAndConvertsBase64WithLineBreaksAsTheyAre) {
    SelectTab(window, 2);
    const DialogWindow& tools = *window.ToolsPage();
    SetText(Item(tools, tools_page_ids::kLengthEdit), u"24");
    Click(tools, tools_page_ids::kGenerateButton);
    const std::u16string password = TextOf(Item(tools, tools_page_ids::kPasswordEdit));
    EXPECT_EQ(password.size(), 24u);

    // The edit holds CR LF; the text converted is the one with LF alone, as
    // on every system.
    const HWND base64 = Item(tools, tools_page_ids::kBase64Edit);
    SetText(base64, u"Quorvane\r\nline 2");
    Click(tools, tools_page_ids::kEncodeButton);
    const std::u16string encoded = TextOf(base64);
    EXPECT_EQ(encoded.find(u'\r'), std::u16string::npos);
    Click(tools, tools_page_ids::kDecodeButton);
    EXPECT_EQ(TextOf(base64), u"Quorvane\r\nline 2");
    SetText(base64, u"UXVvcnZhbmU=");
    Click(tools, tools_page_ids::kDecodeButton);
    EXPECT_EQ(TextOf(base64), u"Quorvane");
}

TEST_F(Win32WindowTest, ADroppedFileIsListedAndEncryptedWithItsStatusInItsRow) {
    const fs::path file = dir / "拖放 文件.txt";
    WriteFile(file, PatternBytes(3000));
    const fs::path earlier = dir / "earlier.txt";
    WriteFile(earlier, PatternBytes(10));
    CTabAES256Dlg& page = *window.EncryptionPage();
    page.InsertFileRow(0, earlier.u16string(), SizeTextOf(earlier.u16string()), u"就绪");
    DropFiles(Main(), {file});
    ListView& list = *page.FileList();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Text(0, 0), file.u16string()) << "dropped rows come first";
    EXPECT_EQ(list.Text(0, 1), u"2 KB");
    EXPECT_EQ(list.Text(0, 2), u"就绪.");

    SetText(Item(page, encryption_page_ids::kKeyEdit), u"key");
    Click(page, encryption_page_ids::kActionButton);
    EXPECT_FALSE(IsWindowEnabled(Item(page, encryption_page_ids::kActionButton)));
    // Rows dropped during the run move the run's rows down; each status still
    // reaches the row of its file.
    DropFiles(Main(), {earlier});
    ASSERT_TRUE(ServeUntil([&] { return !page.IsRunning(); }));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Text(1, 2), u"加密完成");
    EXPECT_EQ(list.Text(2, 2), u"加密完成");
    EXPECT_EQ(list.Text(0, 2), u"就绪.");
    EXPECT_TRUE(fs::exists(dir / "拖放 文件.txt.aes256"));
    EXPECT_TRUE(IsWindowEnabled(Item(page, encryption_page_ids::kActionButton)));
}

// The round trip through the page's own controls: the Camellia radio, the key
// typed, the decrypt box ticked (which renames the action button).
TEST_F(Win32WindowTest, ADroppedContainerIsDecryptedBackByteEqual) {
    const fs::path file = dir / "往返 file.bin";
    const std::vector<uint8_t> bytes = PatternBytes(70000, 7);
    WriteFile(file, bytes);
    CTabAES256Dlg& page = *window.EncryptionPage();
    ListView& list = *page.FileList();
    const auto run = [&](const std::vector<fs::path>& dropped) {
        Click(page, encryption_page_ids::kClearButton);
        DropFiles(Main(), dropped);
        SetText(Item(page, encryption_page_ids::kKeyEdit), u"密钥 key");
        Click(page, encryption_page_ids::kActionButton);
        ASSERT_TRUE(ServeUntil([&] { return !page.IsRunning(); }));
    };
    Click(page, encryption_page_ids::kCamelliaRadio);
    run({file});
    EXPECT_EQ(list.Text(0, 2), u"加密完成");
    fs::rename(file, dir / "original.bin");

    const fs::path container = dir / "往返 file.bin.cam256";
    Click(page, encryption_page_ids::kDecryptCheck);
    EXPECT_EQ(TextOf(Item(page, encryption_page_ids::kActionButton)), u"解密");
    EXPECT_FALSE(IsWindowEnabled(Item(page, encryption_page_ids::kEraseCheck)));
    run({container});
    EXPECT_EQ(list.Text(0, 2), u"解密完成");
    EXPECT_EQ(ReadFile(file), bytes);
}

// Stop during a long encryption: the row says so at once, the controls come
// back, and once the worker has ended no partial output is left.
TEST_F(Win32WindowTest, StopDuringAnEncryptionCancelsItAndLeavesNoOutput) {
    const fs::path file = dir / "large.bin";
    WriteFile(file, {});
    fs::resize_file(file, uintmax_t(2048) << 20);  // sparse: quick to make
    CTabAES256Dlg& page = *window.EncryptionPage();
    page.InsertFileRow(0, file.u16string(), u"0 KB", u"就绪");
    SetText(Item(page, encryption_page_ids::kKeyEdit), u"key");
    Click(page, encryption_page_ids::kActionButton);
    ListView& list = *page.FileList();
    ASSERT_TRUE(ServeUntil([&] { return list.Text(0, 2).starts_with(u"加密 "); }));
    Click(page, encryption_page_ids::kStopButton);
    EXPECT_EQ(list.Text(0, 2), u"已取消");
    EXPECT_FALSE(page.IsRunning());
    EXPECT_TRUE(IsWindowEnabled(Item(page, encryption_page_ids::kActionButton)));
    EXPECT_TRUE(IsWindowEnabled(Item(page, encryption_page_ids::kKeyEdit)));
    EXPECT_FALSE(IsWindowEnabled(Item(page, encryption_page_ids::kStopButton)));
    Serve(100);  // updates still queued by the worker must not reach the row
    EXPECT_EQ(list.Text(0, 2), u"已取消");
    JoinAbandonedJobs();
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(dir.path())) left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<fs::path>{file});
    EXPECT_EQ(fs::file_size(file), uintmax_t(2048) << 20);
}

TEST_F(Win32WindowTest, AFileDroppedOnTheToolsPageIsWiped) {
    const fs::path file = dir / "擦除 me.txt";
    WriteFile(file, PatternBytes(5000));
    SelectTab(window, 2);
    DropFiles(Main(), {file});
    const DialogWindow& tools = *window.ToolsPage();
    ListView& list = *window.ToolsPage()->WipeList();
    ASSERT_EQ(list.Count(), 1);
    Click(tools, tools_page_ids::kOnePassRadio);
    Click(tools, tools_page_ids::kEraseButton);
    ASSERT_EQ(boxes.texts.size(), 1u) << "the warning before the wipe";
    ASSERT_TRUE(ServeUntil([&] { return list.Text(0, 1) == u"已擦除"; }));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(
        ServeUntil([&] { return IsWindowEnabled(Item(tools, tools_page_ids::kEraseButton)); }));
}

// The About page's box writes and removes the Explorer entry in the user's
// classes, and a window opened while the entry names this program ticks it.
TEST_F(Win32WindowTest, TheAboutPageBoxAddsAndRemovesTheContextMenuEntry) {
    static constexpr wchar_t kCommandKey[] = L"Software\\Classes\\*\\shell\\Quorvane\\command";
    const auto command = []() -> std::wstring {
        wchar_t text[1024] = {};
        DWORD bytes = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, text,
                         &bytes) != ERROR_SUCCESS)
            return L"(none)";
        return text;
    };
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\*\\shell\\Quorvane");
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);

    SelectTab(window, 3);
    const DialogWindow& about = *window.AboutPage();
    const HWND box = Item(about, about_page_ids::kContextMenuBox);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Click(about, about_page_ids::kContextMenuBox);
    EXPECT_EQ(command(), L"\"" + std::wstring(program) + L"\" \"%1\"");
    {
        CQuorvaneDlg second;
        second.Create(nullptr);
        EXPECT_EQ(SendMessageW(Item(*second.AboutPage(), about_page_ids::kContextMenuBox),
                               BM_GETCHECK, 0, 0),
                  BST_CHECKED);
    }
    Click(about, about_page_ids::kContextMenuBox);
    EXPECT_EQ(command(), L"(none)");
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(boxes.texts,
              (std::vector<std::u16string>{u"成功添加到右键菜单", u"成功删除右键菜单项"}));
}

// A key pressed with Ctrl, Shift or both held, through the loop.
void PressKeyWith(HWND target, WPARAM key, bool control, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before[2] = {keys[VK_CONTROL], keys[VK_SHIFT]};
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PressKey(target, key);
    keys[VK_CONTROL] = before[0];
    keys[VK_SHIFT] = before[1];
    SetKeyboardState(keys);
}

// Tab and Ctrl+Tab leave the file lists for the next control of the
// template, Shift+Tab and Ctrl+Shift+Tab for the previous one, as on Linux.
TEST_F(Win32WindowTest, TabKeysLeaveBothFileLists) {
    struct Case {
        int tab;
        DialogWindow* page;
        int after;
        int before;
    };
    const Case cases[] = {
        {0, window.EncryptionPage(), encryption_page_ids::kDecryptCheck, kNoId},
        {2, window.ToolsPage(), tools_page_ids::kAddButton, tools_page_ids::kDecodeButton}};
    for (const Case& c : cases) {
        SelectTab(window, c.tab);
        const HWND list = Item(*c.page, 1003);
        for (bool control : {false, true}) {
            PressKeyWith(list, VK_TAB, control, false);
            EXPECT_EQ(GetFocus(), Item(*c.page, c.after)) << c.tab << " " << control;
            PressKeyWith(list, VK_TAB, control, true);
            EXPECT_NE(GetFocus(), list) << c.tab << " " << control;
            if (c.before != kNoId) {
                EXPECT_EQ(GetFocus(), Item(*c.page, c.before));
            }
        }
    }
}

// A failed file's reason is the tip of its status cell, shown where the
// mouse rests; other cells have none.
TEST_F(Win32WindowTest, AFailedFilesStatusCellShowsItsReasonAsItsTip) {
    CTabAES256Dlg& page = *window.EncryptionPage();
    const fs::path missing = dir / "missing.bin";
    const fs::path present = dir / "present.bin";
    WriteFile(present, PatternBytes(100));
    page.InsertFileRow(0, missing.u16string(), u"", u"就绪");
    page.InsertFileRow(1, present.u16string(), u"", u"就绪");
    SetText(Item(page, encryption_page_ids::kKeyEdit), u"key");
    Click(page, encryption_page_ids::kActionButton);
    ASSERT_TRUE(ServeUntil([&] { return !page.IsRunning(); }));
    ASSERT_EQ(page.FileList()->Text(0, 2), u"加密失败");
    ASSERT_EQ(page.FileList()->Text(1, 2), u"加密完成");

    const HWND list = Item(page, encryption_page_ids::kFileList);
    const HWND tip = Win32Host(page)->listControls.front()->tip;
    // The tip shown once the mouse has rested on a cell, or an empty text.
    const auto tipOver = [&](int row, int column) {
        RECT cell{LVIR_BOUNDS, column, 0, 0};
        SendMessageW(list, LVM_GETSUBITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
        POINT at{cell.left + 10, (cell.top + cell.bottom) / 2};
        ClientToScreen(list, &at);
        SetCursorPos(at.x, at.y);
        Serve(50);
        SetCursorPos(at.x + 2, at.y);
        const bool shown = ServeUntil([&] { return IsWindowVisible(tip) != FALSE; }, 1500);
        return shown ? TextOf(tip) : std::u16string();
    };
    const std::u16string reason = tipOver(0, 2);
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason, u"加密失败");
    EXPECT_EQ(tipOver(0, 0), u"") << "the path's cell";
    EXPECT_EQ(tipOver(1, 2), u"") << "a file without a failure";
    EXPECT_EQ(tipOver(0, 2), reason);
}

// "+" and "-" are named for screen readers after what they do.
TEST_F(Win32WindowTest, TheWipeListButtonsHaveAccessibleNames) {
    const HWND add = Item(*window.ToolsPage(), tools_page_ids::kAddButton);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* accessible = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(add, DWORD(OBJID_CLIENT), IID_IAccessible,
                                         reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT result = accessible->get_accName(self, &name);
    const std::u16string text = name ? reinterpret_cast<const char16_t*>(name) : u"";
    SysFreeString(name);
    accessible->Release();
    CoUninitialize();
    if (text == u"+" && !AnnotateName(add, u"添加文件"))
        GTEST_SKIP() << "this system keeps no accessibility annotations";
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(text, u"添加文件");
}

TEST_F(Win32WindowTest, ADroppedFileIsHashedOnTheHashPage) {
    const fs::path file = dir / "abc.txt";
    WriteFile(file, {'a', 'b', 'c'});
    SelectTab(window, 1);
    DropFiles(Main(), {file, dir / "ignored.txt"});
    const CTabHashDlg& page = *window.HashPage();
    ASSERT_TRUE(ServeUntil([&] { return !page.Running(); }));
    const std::u16string result = TextOf(Item(page, hash_page_ids::kResultEdit));
    EXPECT_NE(result.find(u"SHA256:\r\nBA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F2"
                          u"0015AD"),
              std::u16string::npos);
    EXPECT_EQ(TextOf(Item(page, hash_page_ids::kStatusText)), u"就绪");
}

TEST_F(Win32WindowTest, EnterPressesTheDefaultButtonEscInAPageIsItsOwnAndEscOnTheWindowCloses) {
    const HWND tabs = Item(window, main_window_ids::kTabControl);
    PressKey(tabs, VK_RETURN);
    EXPECT_TRUE(Shown(window)) << "Enter must not close the window";
    PressKey(Item(*window.EncryptionPage(), encryption_page_ids::kKeyEdit), VK_ESCAPE);
    EXPECT_TRUE(Shown(window)) << "Esc inside a page is the page's own";
    // Enter in a field of the tools page presses its default button, "生成".
    SelectTab(window, 2);
    const DialogWindow& tools = *window.ToolsPage();
    SetText(Item(tools, tools_page_ids::kLengthEdit), u"8");
    PressKey(Item(tools, tools_page_ids::kLengthEdit), VK_RETURN);
    EXPECT_EQ(TextOf(Item(tools, tools_page_ids::kPasswordEdit)).size(), 8u);
    EXPECT_TRUE(Shown(window));
    PressKey(tabs, VK_ESCAPE);
    EXPECT_FALSE(Shown(window));
}

}  // namespace

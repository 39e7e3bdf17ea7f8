#include "platform/desktop/dialog_window_win.h"

#include <windows.h>

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/desktop/dialog_template_win.h"
#include "platform/desktop/list_view.h"
#include "platform/desktop/ui_text.h"
#include "platform/system/secure_wipe.h"

namespace {

// Updates that other threads posted wait in the host's queue; this message
// only wakes the window thread to run them.
constexpr UINT kPostedTasks = WM_APP + 1;
constexpr wchar_t kHostProperty[] = L"QuorvaneDialogHost";
constexpr int kProgramIcon = 131;

// A copy of a text that may be a secret, wiped when it goes.
struct SecureText {
    explicit SecureText(std::u16string value) : text(std::move(value)) {}
    ~SecureText() { SecureWipe(text.data(), text.size() * sizeof(char16_t)); }
    std::u16string text;
};

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t buffer[32] = {};
    GetClassNameW(window, buffer, 32);
    return lstrcmpiW(buffer, name) == 0;
}

bool IsMultiLineEdit(HWND window) {
    return HasClass(window, L"Edit") && (GetWindowLongW(window, GWL_STYLE) & ES_MULTILINE);
}

bool IsPushButton(HWND window) {
    if (!HasClass(window, L"Button")) return false;
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The host of the innermost dialog of the layer that holds `window`.
DialogHost* HostOf(HWND window) {
    for (HWND w = window; w != nullptr; w = GetParent(w))
        if (auto* host = static_cast<DialogHost*>(GetPropW(w, kHostProperty))) return host;
    return nullptr;
}

// Edits show a line break as CR LF; the layer's texts use LF alone.
std::u16string WithCrLf(const std::u16string& text) {
    std::u16string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) converted.push_back(u'\r');
        converted.push_back(text[i]);
    }
    return converted;
}

std::u16string WithoutCr(std::u16string text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n'))
            text[kept++] = text[i];
    text.resize(kept);
    return text;
}

// The radio buttons of the group that `button` belongs to (the dialog's
// z-order is the template's order; a group starts at a WS_GROUP control).
std::vector<HWND> RadioGroupOf(HWND button) {
    HWND first = button;
    while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous) break;
        first = previous;
    }
    std::vector<HWND> group;
    for (HWND w = first; w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLongW(w, GWL_STYLE) & WS_GROUP)) break;
        if ((GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) group.push_back(w);
    }
    return group;
}

// The screen density a window is shown at (dots per inch). Windows before 10
// have one density for all screens.
UINT DpiOf(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return UINT(dpi);
}

// The layer lays its dialogs out anew when the density changes; the dialog
// manager's own rescaling (Windows 10 1703 and later) would do it twice.
void KeepDialogScaling(HWND dialog) {
    using SetBehavior = BOOL(WINAPI*)(HWND, int, int);
    static const auto setBehavior = reinterpret_cast<SetBehavior>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior")));
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL
    if (setBehavior) setBehavior(dialog, kDisableAll, kDisableAll);
}

int Scaled(int value, UINT to, UINT from) {
    return MulDiv(value, int(to), int(from));
}

// The templates' font, "MS Shell Dlg" 8 pt, at a density.
HFONT TemplateFontAt(UINT dpi) {
    return CreateFontW(-Scaled(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
}

// Runs `use` with the accessibility annotation service; the annotations
// live with the control, not with the service or COM.
template <typename Use>
bool WithAnnotations(Use use) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* services = nullptr;
    HRESULT result = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IAccPropServices, reinterpret_cast<void**>(&services));
    if (SUCCEEDED(result)) {
        result = use(*services);
        services->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return SUCCEEDED(result);
}

}  // namespace

bool AnnotateName(HWND control, const char16_t* name) {
    return WithAnnotations([&](IAccPropServices& services) {
        return services.SetHwndPropStr(control, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                       reinterpret_cast<LPCWSTR>(name));
    });
}

// ---------------------------------------------------------------------------
// The host

DialogHost::~DialogHost() {
    if (hwnd && !annotated.empty())
        WithAnnotations([&](IAccPropServices& services) {
            MSAAPROPID name = PROPID_ACC_NAME;
            for (HWND control : annotated)
                services.ClearHwndProps(control, DWORD(OBJID_CLIENT), CHILDID_SELF, &name, 1);
            return S_OK;
        });
    if (hwnd) {
        RemovePropW(hwnd, kHostProperty);
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        DestroyWindow(hwnd);
    }
    if (boldFont) DeleteObject(boldFont);
    if (font) DeleteObject(font);
}

HWND DialogHost::Item(int id) const {
    return id == kNoId || !hwnd ? nullptr : GetDlgItem(hwnd, id);
}

HWND DialogHost::ItemAt(std::size_t index) const {
    const auto& controls = owner_->Template().controls;
    return index < controls.size() ? GetDlgItem(hwnd, BuiltControlId(controls[index], index))
                                   : nullptr;
}

INT_PTR CALLBACK DialogHost::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* host = reinterpret_cast<DialogHost*>(lParam);
        host->hwnd = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        SetPropW(window, kHostProperty, host);
        return FALSE;  // the window decides where the focus goes
    }
    auto* host = reinterpret_cast<DialogHost*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!host) return FALSE;
    if (message == WM_NCDESTROY) {
        RemovePropW(window, kHostProperty);
        host->hwnd = nullptr;
        return FALSE;
    }
    return host->Handle(message, wParam, lParam);
}

INT_PTR DialogHost::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            const auto handler = clickHandlers.find(LOWORD(wParam));
            if (handler == clickHandlers.end()) return TRUE;    // Enter and Esc reach no one else
            const std::function<void()> run = handler->second;  // may rebind itself
            run();
            return TRUE;
        }
        case WM_NOTIFY:
            return Notify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DROPFILES:
            Drop(reinterpret_cast<HDROP>(wParam));
            return TRUE;
        case kPostedTasks:
            RunPosted();
            return TRUE;
        case WM_CTLCOLORDLG:
            if (!paintsWhite) return FALSE;
            return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Edits keep the default colours, also when they are read-only.
            if (!paintsWhite || HasClass(reinterpret_cast<HWND>(lParam), L"Edit")) return FALSE;
            const HDC context = reinterpret_cast<HDC>(wParam);
            SetBkMode(context, TRANSPARENT);
            SetTextColor(context, RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
        }
        case WM_GETDPISCALEDSIZE: {
            // The size the templates' font gives at the new density, which
            // grows a little unlike the plain proportion the system assumes.
            const SIZE size = FrameSizeAt(UINT(wParam));
            if (size.cx <= 0) return FALSE;
            *reinterpret_cast<SIZE*>(lParam) = size;
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_DPICHANGED:
            Rescale(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return TRUE;
        case WM_CLOSE:
            // The close box: as the cancel button (Esc) does.
            SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(kIdCancel, BN_CLICKED), 0);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR DialogHost::Notify(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE) {
        const auto handler = selChangeHandlers.find(int(header.idFrom));
        if (handler != selChangeHandlers.end()) handler->second();
        return TRUE;
    }
    if (header.code == TTN_GETDISPINFOW) {
        for (const auto& list : listControls)
            if (list->tip == header.hwndFrom) {
                auto& info =
                    const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
                list->shownTip = list->TipAtCursor();
                info.lpszText = const_cast<wchar_t*>(Wide(list->shownTip));
                info.hinst = nullptr;
                return TRUE;
            }
        return FALSE;
    }
    return FALSE;
}

void DialogHost::Rescale(UINT newDpi, const RECT& suggested) {
    const UINT oldDpi = dpi;
    if (newDpi == 0 || oldDpi == 0 || newDpi == oldDpi) return;
    SetDialogFontPixels(Scaled(kDefaultDialogFontPixels, newDpi, 96));
    LayOutAt(newDpi);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The pages keep their place in the window, in proportion.
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        auto* page = static_cast<DialogHost*>(GetPropW(child, kHostProperty));
        if (!page) continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
        page->LayOutAt(newDpi);
        SetWindowPos(child, nullptr, Scaled(rect.left, newDpi, oldDpi),
                     Scaled(rect.top, newDpi, oldDpi),
                     Scaled(rect.right - rect.left, newDpi, oldDpi),
                     Scaled(rect.bottom - rect.top, newDpi, oldDpi), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE DialogHost::FrameSizeAt(UINT newDpi) const {
    const HFONT measured = TemplateFontAt(newDpi);
    const DialogUnits units = UnitsOfFont(measured);
    DeleteObject(measured);
    const DialogTemplate& dialog = owner_->template_;
    RECT frame{0, 0, units.ToPixelsX(dialog.cx), units.ToPixelsY(dialog.cy)};
    const DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongW(hwnd, GWL_EXSTYLE));
    using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<Adjust>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!(adjustForDpi ? adjustForDpi(&frame, style, FALSE, exStyle, newDpi)
                       : AdjustWindowRectEx(&frame, style, FALSE, exStyle)))
        return {0, 0};
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void DialogHost::LayOutAt(UINT newDpi) {
    const UINT oldDpi = dpi;
    dpi = newDpi;
    // The templates' font at the new density, and the units it gives.
    const HFONT previousFont = font;
    const HFONT previousBold = boldFont;
    font = TemplateFontAt(newDpi);
    boldFont = nullptr;
    owner_->units_ = UnitsOfFont(font);
    const auto& controls = owner_->template_.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const HWND item = ItemAt(i);
        if (!item) continue;
        const PixelRect rect = owner_->units_.ToPixels(controls[i].rect);
        SetWindowPos(item, nullptr, rect.x, rect.y, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(controls[i])), FALSE);
    }
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const auto& list : listControls) {
        const HWND header = reinterpret_cast<HWND>(SendMessageW(list->hwnd, LVM_GETHEADER, 0, 0));
        const int columns = header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int column = 0; column < columns; ++column) {
            const int width = int(SendMessageW(list->hwnd, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
            SendMessageW(list->hwnd, LVM_SETCOLUMNWIDTH, WPARAM(column),
                         Scaled(width, newDpi, oldDpi));
        }
    }
    // The controls hold the new fonts now; the old ones may go.
    if (previousFont) DeleteObject(previousFont);
    if (previousBold) DeleteObject(previousBold);
}

HFONT DialogHost::FontFor(const ControlTemplate& control) {
    if (!(control.style & kBold)) return font;
    if (!boldFont) {
        LOGFONTW bold{};
        GetObjectW(font, sizeof bold, &bold);
        bold.lfWeight = FW_BOLD;
        boldFont = CreateFontIndirectW(&bold);
    }
    return boldFont;
}

void DialogHost::Drop(HDROP drop) {
    std::vector<std::u16string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        const UINT length = DragQueryFileW(drop, i, path.data(), UINT(path.size()));
        if (length > 0) paths.push_back(FromWide(path.c_str(), length));
    }
    DragFinish(drop);
    if (dropHandler && !paths.empty()) dropHandler(paths);
}

void DialogHost::RunPosted() {
    std::deque<std::function<void()>> tasks;
    {
        const std::lock_guard lock(postedMutex);
        tasks.swap(posted);
    }
    for (auto& task : tasks) task();
}

bool DialogHost::RouteDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE))
        return false;
    DialogHost* host = HostOf(message.hwnd);
    if (!host) return false;
    if (message.wParam == VK_ESCAPE) {
        host->owner_->OnCancel();
        return true;
    }
    // A multi-line edit that wants Return breaks the line itself; in any other
    // Ctrl+Enter breaks it.
    const HWND focus = message.hwnd;
    if (IsMultiLineEdit(focus)) {
        const LONG style = GetWindowLongW(focus, GWL_STYLE);
        if (style & ES_WANTRETURN) return false;
        if (GetKeyState(VK_CONTROL) < 0) {
            if (!(style & ES_READONLY))
                SendMessageW(focus, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
            return true;
        }
    }
    if (IsPushButton(focus) && IsWindowEnabled(focus)) {
        SendMessageW(focus, BM_CLICK, 0, 0);
    } else if (const HWND fallback = host->Item(host->defaultButton);
               fallback && IsWindowEnabled(fallback)) {
        SendMessageW(fallback, BM_CLICK, 0, 0);
    } else {
        host->owner_->OnOK();
    }
    return true;
}

void DispatchWindowMessage(MSG& message) {
    if (DialogHost::RouteDialogKey(message)) return;
    const HWND top = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top && HostOf(top) && IsDialogMessageW(top, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

DialogHost* Win32Host(const DialogWindow& window) {
    return window.Host();
}

HWND Win32Item(const DialogWindow& window, int id) {
    return window.Host() ? window.Host()->Item(id) : nullptr;
}

// ---------------------------------------------------------------------------
// The window

DialogWindow::~DialogWindow() {
    delete host_;
}

void DialogWindow::Create(DialogWindow* parent) {
    host_ = new DialogHost(*this);
    const std::vector<uint8_t> bytes = BuildDialogTemplate(template_, parent != nullptr);
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
                               parent ? parent->host_->hwnd : nullptr, &DialogHost::Procedure,
                               reinterpret_cast<LPARAM>(host_));
    if (!host_->hwnd) return;
    // The dialog manager's own base units, from the template's font.
    RECT base{0, 0, 4, 8};
    MapDialogRect(host_->hwnd, &base);
    units_ = DialogUnits(base.right, base.bottom);
    host_->dpi = DpiOf(host_->hwnd);
    KeepDialogScaling(host_->hwnd);
    // Layouts given in pixels (page margins, column widths) grow with the
    // density the window opens at.
    if (!parent) SetDialogFontPixels(Scaled(kDefaultDialogFontPixels, host_->dpi, 96));

    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(host_->hwnd, WM_GETFONT, 0, 0));
    for (std::size_t i = 0; i < template_.controls.size(); ++i) {
        const ControlTemplate& control = template_.controls[i];
        const HWND item = host_->ItemAt(i);
        if (control.kind == ControlKind::ListView) {
            host_->listControls.push_back(std::make_unique<ListControl>(item, host_->hwnd));
            auto list = std::make_unique<ListView>(*host_->listControls.back());
            listOrder_.push_back(list.get());
            lists_[BuiltControlId(control, i)] = std::move(list);
        }
        if (control.kind == ControlKind::PushButton && (control.style & kDefaultButton))
            host_->defaultButton = control.id;
        // Group boxes only frame their neighbours: underneath them all.
        if (control.kind == ControlKind::GroupBox)
            SetWindowPos(item, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if ((control.style & kBold) && font) {
            if (!host_->boldFont) {
                LOGFONTW bold{};
                GetObjectW(font, sizeof bold, &bold);
                bold.lfWeight = FW_BOLD;
                host_->boldFont = CreateFontIndirectW(&bold);
            }
            SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(host_->boldFont), FALSE);
        }
    }
    OnInitDialog();
}

void DialogWindow::RunModal() {
    if (!host_ || !host_->hwnd) return;
    ShowWindow(host_->hwnd, SW_SHOW);
    if (const HWND first = GetNextDlgTabItem(host_->hwnd, nullptr, FALSE); first && !GetFocus())
        SetFocus(first);
    MSG message;
    while (!host_->closed && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchWindowMessage(message);
}

void DialogWindow::EnableItem(int id, bool enabled) {
    if (const HWND item = host_->Item(id)) EnableWindow(item, enabled);
}

void DialogWindow::SetItemText(int id, const std::u16string& text) {
    const HWND item = host_->Item(id);
    if (!item) return;
    // The text may be a secret (a generated password): the copy is wiped.
    SecureText shown(IsMultiLineEdit(item) ? WithCrLf(text) : text);
    SetWindowTextW(item, Wide(shown.text));
}

std::u16string DialogWindow::ItemText(int id) const {
    const HWND item = host_->Item(id);
    if (!item) return {};
    SecureText buffer(std::u16string(std::size_t(GetWindowTextLengthW(item)) + 1, u'\0'));
    const int length = GetWindowTextW(item, reinterpret_cast<wchar_t*>(buffer.text.data()),
                                      int(buffer.text.size()));
    std::u16string text = buffer.text.substr(0, std::size_t(std::max(length, 0)));
    return IsMultiLineEdit(item) ? WithoutCr(std::move(text)) : text;
}

void DialogWindow::ReplaceItemText(int id, const std::u16string& text) {
    const HWND item = host_->Item(id);
    if (!item) return;
    if (!HasClass(item, L"Edit")) return SetItemText(id, text);
    // One step that Ctrl+Z takes back.
    const std::u16string shown = IsMultiLineEdit(item) ? WithCrLf(text) : text;
    SendMessageW(item, EM_SETSEL, 0, -1);
    SendMessageW(item, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Wide(shown)));
}

void DialogWindow::SetItemAccessibleName(int id, const std::u16string& name) {
    // Win32 names a control after its own text or the label before it in the
    // template; a control whose text says too little ("+") gets an annotation
    // that accessibility clients read instead.
    const HWND item = host_->Item(id);
    if (item && AnnotateName(item, name.c_str())) host_->annotated.push_back(item);
}

void DialogWindow::SetProgressPos(int id, int position) {
    if (const HWND item = host_->Item(id)) SendMessageW(item, PBM_SETPOS, WPARAM(position), 0);
}

void DialogWindow::SetChecked(int id, bool checked) {
    const HWND item = host_->Item(id);
    if (!item) return;
    // A radio button set on its own turns the others of its group off.
    if (checked && (GetWindowLongW(item, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
        for (HWND other : RadioGroupOf(item))
            if (other != item) SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool DialogWindow::IsChecked(int id) const {
    const HWND item = host_->Item(id);
    return item && SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogWindow::FocusItem(int id) {
    if (const HWND item = host_->Item(id)) SetFocus(item);
}

void DialogWindow::LimitText(int id, int characters) {
    if (const HWND item = host_->Item(id))
        SendMessageW(item, EM_SETLIMITTEXT, WPARAM(characters), 0);
}

void DialogWindow::OnClicked(int id, std::function<void()> handler) {
    host_->clickHandlers[id] = std::move(handler);
}

void DialogWindow::AcceptFileDrops(
    std::function<void(const std::vector<std::u16string>&)> handler) {
    host_->dropHandler = std::move(handler);
    DragAcceptFiles(host_->hwnd, TRUE);
}

void DialogWindow::Post(std::function<void()> task) const {
    {
        const std::lock_guard lock(host_->postedMutex);
        host_->posted.push_back(std::move(task));
    }
    // When the queue of the thread is full the task waits for the next wake.
    PostMessageW(host_->hwnd, kPostedTasks, 0, 0);
}

PixelRect DialogWindow::ClientRect() const {
    RECT client{};
    GetClientRect(host_->hwnd, &client);
    return {0, 0, int(client.right), int(client.bottom)};
}

void DialogWindow::ShowPage(const PixelRect& rect, bool takeFocus) {
    SetWindowPos(host_->hwnd, HWND_TOP, rect.x, rect.y, rect.width, rect.height, SWP_SHOWWINDOW);
    if (takeFocus && !IsChild(host_->hwnd, GetFocus()))
        if (const HWND first = GetNextDlgTabItem(host_->hwnd, nullptr, FALSE)) SetFocus(first);
    InvalidateRect(host_->hwnd, nullptr, TRUE);
}

void DialogWindow::HidePage() {
    ShowWindow(host_->hwnd, SW_HIDE);
}

void DialogWindow::SetWindowAccessibleName(const std::u16string& name) {
    // A page has no caption to show it; its text is its name.
    SetWindowTextW(host_->hwnd, Wide(name));
}

void DialogWindow::FixMainWindowSize() {
    // The template's frame already has neither a sizing border nor a
    // maximise box.
}

void DialogWindow::ShowProgramIcon() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    for (const auto& [size, which] : {std::pair{SM_CXICON, ICON_BIG}, {SM_CXSMICON, ICON_SMALL}}) {
        const int pixels = GetSystemMetrics(size);
        if (const HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON,
                                           pixels, pixels, LR_DEFAULTCOLOR))
            SendMessageW(host_->hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

void DialogWindow::EndDialog() {
    host_->closed = true;
    ShowWindow(host_->hwnd, SW_HIDE);
    PostMessageW(host_->hwnd, WM_NULL, 0, 0);  // the message loop looks again
}

void DialogWindow::PaintWhite() {
    host_->paintsWhite = true;
    InvalidateRect(host_->hwnd, nullptr, TRUE);
}

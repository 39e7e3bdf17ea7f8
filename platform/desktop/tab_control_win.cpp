#include "platform/desktop/tab_control.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/desktop/dialog_window_win.h"

void TabControl::AddTab(const std::u16string& text) const {
    const HWND tabs = Win32Item(*window_, id_);
    std::u16string copy = text;
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(copy.data());
    const auto count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    SendMessageW(tabs, TCM_INSERTITEMW, WPARAM(count), reinterpret_cast<LPARAM>(&item));
}

int TabControl::Selected() const {
    return int(SendMessageW(Win32Item(*window_, id_), TCM_GETCURSEL, 0, 0));
}

int TabControl::Top() const {
    const HWND tabs = Win32Item(*window_, id_);
    RECT rect{};
    GetWindowRect(tabs, &rect);
    MapWindowPoints(nullptr, GetParent(tabs), reinterpret_cast<POINT*>(&rect), 2);
    return int(rect.top);
}

bool TabControl::HasFocus() const {
    return GetFocus() == Win32Item(*window_, id_);
}

void TabControl::LayOut(int) const {
    // The tab control draws its tabs and its pane itself; the pages cover the
    // pane. Above them all the tabs keep their own drawing.
    SetWindowPos(Win32Item(*window_, id_), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TabControl::OnSelChange(std::function<void()> handler) const {
    Win32Host(*window_)->selChangeHandlers[id_] = std::move(handler);
}

#pragma once
// The Win32 side of the dialog layer: every window is a dialog window built
// from its template in memory, and its host keeps the handlers the window
// bound to its controls. Only the Win32 implementation, the Windows program's
// start and the Windows window tests include this.

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/dialog_window.h"

/// A report-style list view (SysListView32) of a window, with the tooltips
/// of its cells: a tooltip window of its own shows the tip of the cell under
/// the mouse (the list view's item tips know no columns).
class ListControl {
  public:
    /// `dialog` is the window the tooltip asks for its texts.
    ListControl(HWND window, HWND dialog);
    ListControl(const ListControl&) = delete;
    ListControl& operator=(const ListControl&) = delete;

    /// The tip of the cell under the mouse, or an empty text.
    std::u16string TipAtCursor() const;

    HWND hwnd;
    HWND tip = nullptr;
    /// The tooltips of cells, by row identity and column.
    std::map<std::pair<uint64_t, int>, std::u16string> tips;
    /// The text the tooltip shows; it reads it from here.
    std::u16string shownTip;
    /// The cell the mouse was last over: a new one gets its own tip.
    std::pair<int, int> cell{-1, -1};
};

class DialogHost {
  public:
    explicit DialogHost(DialogWindow& owner) : owner_(&owner) {}
    ~DialogHost();
    DialogHost(const DialogHost&) = delete;
    DialogHost& operator=(const DialogHost&) = delete;

    DialogWindow& Owner() const { return *owner_; }
    /// The control with this identifier, or null.
    HWND Item(int id) const;
    /// The handle of a control, also of one without an identifier of its
    /// own, by its place in the template.
    HWND ItemAt(std::size_t index) const;

    /// The window procedure of every dialog of the layer.
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    /// Enter and Esc as the layer routes them (see dialog_window.h): true when
    /// the key was taken, false when the dialog manager should see it.
    static bool RouteDialogKey(const MSG& message);

    HWND hwnd = nullptr;
    std::map<int, std::function<void()>> clickHandlers;
    std::map<int, std::function<void()>> selChangeHandlers;
    std::function<void(const std::vector<std::u16string>&)> dropHandler;
    std::vector<std::unique_ptr<ListControl>> listControls;
    int defaultButton = kNoId;
    bool paintsWhite = false;
    bool closed = false;  ///< EndDialog ran
    HFONT boldFont = nullptr;
    HFONT font = nullptr;  ///< the templates' font once the layer has laid the window out anew
    UINT dpi = 96;         ///< the density the window is laid out for
    std::vector<HWND> annotated;  ///< controls with an accessible name of their own

    std::mutex postedMutex;
    std::deque<std::function<void()>> posted;

  private:
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void RunPosted();
    void Drop(HDROP drop);
    /// A top-level window moved to a screen of another density: everything
    /// laid out for `newDpi`, the window at the place the system suggests.
    void Rescale(UINT newDpi, const RECT& suggested);
    /// The controls placed and sized from the template for `newDpi`, with
    /// the templates' font at that density.
    void LayOutAt(UINT newDpi);
    HFONT FontFor(const ControlTemplate& control);
    /// The size of a top-level window laid out for `newDpi`, frame included.
    SIZE FrameSizeAt(UINT newDpi) const;
    INT_PTR Notify(const NMHDR& header);

    DialogWindow* owner_;
};

/// The host of `window` (null before Create).
DialogHost* Win32Host(const DialogWindow& window);
/// The control `id` of `window`, or null.
HWND Win32Item(const DialogWindow& window, int id);

/// Gives `control` the name accessibility clients read (its text otherwise).
/// False when the system keeps no such names.
bool AnnotateName(HWND control, const char16_t* name);

/// The base units of a dialog font, measured as the dialog manager does.
DialogUnits UnitsOfFont(HFONT font);

/// Handles one message of the window thread: Enter and Esc as the layer
/// routes them, then the dialog manager's keys, else the window procedure.
void DispatchWindowMessage(MSG& message);

/// The layer's texts as the system's wide strings: the same UTF-16 units.
inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}
inline std::u16string FromWide(const wchar_t* text) {
    return FromWide(text, wcslen(text));
}

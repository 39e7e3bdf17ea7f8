#pragma once
// The base of every window: builds its controls from a dialog template, lets
// the code reach them by identifier, and routes Enter and Esc to OnOK and
// OnCancel (Enter first to a focused push button or the default button). Every
// template text passes through the translation of the interface (ui_text.h). Pages are child
// windows of the main window; the main window is a top-level dialog.
//
// The window system's side of a window is its host, which each implementation
// of the layer defines for itself (a Qt dialog, or a Win32 dialog window);
// nothing here names the window system.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/dialog_template.h"
#include "platform/desktop/dialog_units.h"

class ListView;
class DialogHost;

class DialogWindow {
  public:
    explicit DialogWindow(const DialogTemplate& dialogTemplate);
    virtual ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    /// Creates the controls as a child of `parent` (a page; hidden) or as a
    /// top-level window (parent null), then runs OnInitDialog.
    void Create(DialogWindow* parent);
    /// Shows a top-level window and serves the window events until it closes.
    void RunModal();

    const DialogUnits& Units() const { return units_; }
    const DialogTemplate& Template() const { return template_; }
    /// The window system's side of the window; null before Create.
    DialogHost* Host() const { return host_; }

    /// The list view with this identifier, or nullptr.
    ListView* List(int id) const;
    /// The window's first list view in template order, or nullptr.
    ListView* FirstList() const;

    void EnableItem(int id, bool enabled);
    /// Text of a button, label or edit.
    void SetItemText(int id, const std::u16string& text);
    std::u16string ItemText(int id) const;
    /// Replaces the whole text of an edit as one step the user can undo.
    void ReplaceItemText(int id, const std::u16string& text);
    /// The name assistive technology gives the control.
    void SetItemAccessibleName(int id, const std::u16string& name);
    /// Position of a progress bar, 0 to 100.
    void SetProgressPos(int id, int position);
    /// Check boxes and radio buttons.
    void SetChecked(int id, bool checked);
    bool IsChecked(int id) const;
    void FocusItem(int id);
    /// Longest text an edit accepts.
    void LimitText(int id, int characters);

    /// Calls `handler` when the button `id` is clicked (the message map).
    void OnClicked(int id, std::function<void()> handler);

    /// Files dropped anywhere on the window go to `handler`, as local paths
    /// in drop order; a drop without local files is refused.
    void AcceptFileDrops(std::function<void(const std::vector<std::u16string>&)> handler);

    /// Runs `task` on the window's thread when that thread next serves its
    /// events. May be called from any thread while the window exists; a task
    /// still queued when the window goes is freed without running.
    void Post(std::function<void()> task) const;

    /// The window's client area; its left top corner is 0, 0.
    PixelRect ClientRect() const;
    /// A page: placed at `rect` and shown above its siblings, with the focus
    /// when `takeFocus`.
    void ShowPage(const PixelRect& rect, bool takeFocus);
    void HidePage();
    /// The name assistive technology gives the window.
    void SetWindowAccessibleName(const std::u16string& name);
    /// A top-level window of fixed size with a minimise box but no maximise
    /// box.
    void FixMainWindowSize();
    /// The window shows the program's icon.
    void ShowProgramIcon();
    /// Closes a top-level window.
    void EndDialog();

  protected:
    virtual void OnInitDialog() {}
    /// Enter; a page ignores it.
    virtual void OnOK() {}
    /// Esc and the close box; a page ignores it.
    virtual void OnCancel() {}
    /// Pages paint white, with dark texts whatever the desktop's theme; the
    /// multi-line edits and lists keep the desktop's colours.
    void PaintWhite();

  private:
    friend class DialogHost;

    DialogTemplate template_;
    DialogUnits units_;
    DialogHost* host_ = nullptr;  ///< owned; freed with the window
    std::map<int, std::unique_ptr<ListView>> lists_;
    std::vector<ListView*> listOrder_;  ///< the lists in template order
};

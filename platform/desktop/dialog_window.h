#pragma once
// The base of every window: builds its controls from a dialog template, lets
// the code reach them by identifier, and routes Enter and Esc to OnOK and
// OnCancel (Enter first to a focused push button or the default button). Every
// template text passes through the translation of the interface (ui_text.h). Pages are child
// windows of the main window; the main window is a top-level dialog.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop/dialog_template.h"
#include "platform/desktop/dialog_units.h"

class ListView;
class QProgressBar;

class DialogWindow : public QDialog {
  public:
    explicit DialogWindow(const DialogTemplate& dialogTemplate);

    /// Creates the controls as a child of `parent` (a page; hidden) or as a
    /// top-level window (parent null), then runs OnInitDialog.
    void Create(QWidget* parent);

    const DialogUnits& Units() const { return units_; }

    /// The control with this identifier, or nullptr.
    QWidget* Item(int id) const;
    template <typename T>
    T* ItemAs(int id) const {
        return qobject_cast<T*>(Item(id));
    }
    ListView* List(int id) const;
    QProgressBar* Progress(int id) const;

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

    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void reject() override { OnCancel(); }
    void accept() override { OnOK(); }

  private:
    QWidget* CreateControl(const ControlTemplate& control);
    static void SetWidgetText(QWidget* widget, const QString& text);
    /// Ties each field to its label (see control_names.h) and names it after
    /// it; `created` holds the widgets in template order.
    void NameFieldsFromLabels(const std::vector<QWidget*>& created);

    DialogTemplate template_;
    DialogUnits units_;
    std::map<int, QWidget*> items_;
    int defaultButton_ = kNoId;
    std::function<void(const std::vector<std::u16string>&)> dropHandler_;
    QPointer<QWidget> lastFocus_;  ///< the control of this page that had the focus last
};

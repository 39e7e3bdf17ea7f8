#pragma once
// The Qt side of the dialog layer: the host of every window is a QDialog that
// holds the window's widgets and hands keys, drops and focus to the window.
// Only the Qt implementation, the Qt program's start and the Qt window tests
// include this.

#include <QDialog>
#include <QPointer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop/dialog_window.h"

class DialogHost : public QDialog {
  public:
    explicit DialogHost(DialogWindow& owner);
    ~DialogHost() override;

    DialogWindow& Owner() const { return *owner_; }
    /// The control with this identifier, or nullptr.
    QWidget* Item(int id) const;

    std::map<int, QWidget*> items;
    int defaultButton = kNoId;
    std::function<void(const std::vector<std::u16string>&)> dropHandler;
    QPointer<QWidget> lastFocus;  ///< the control of this page that had the focus last

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void reject() override { owner_->OnCancel(); }
    void accept() override { owner_->OnOK(); }

  private:
    DialogWindow* owner_;
};

/// The host of `window` (null before Create).
DialogHost* QtHost(const DialogWindow& window);
/// The widget of control `id`, or nullptr.
QWidget* QtItem(const DialogWindow& window, int id);
template <typename T>
T* QtItemAs(const DialogWindow& window, int id) {
    return qobject_cast<T*>(QtItem(window, id));
}

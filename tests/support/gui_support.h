#pragma once
// Helpers for window tests: message boxes and open-file dialogs answered by the
// test, and waiting for the window thread to deliver a worker's updates.

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTabBar>
#include <QTableWidget>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <vector>

#include "app/main_window_template.h"
#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/list_view_qt.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/qt_text.h"

namespace testing_support {

/// A message box as the tests compare it.
struct ShownMessage {
    DialogWindow* owner = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
};

/// Records every message box and answers from a queue (Ok / Yes by default).
/// Installed for its lifetime.
class ScriptedMessageBoxes : public MessageBoxService {
  public:
    ScriptedMessageBoxes() { SetMessageBoxService(this); }
    ~ScriptedMessageBoxes() override { SetMessageBoxService(nullptr); }

    MessageAnswer Show(const MessageRequest& request) override {
        shown.push_back(ShownMessage{request.owner, ToQt(request.text), ToQt(request.caption),
                                     request.icon, request.buttons});
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<ShownMessage> shown;
    std::deque<MessageAnswer> answers;
};

/// What the user chooses in an open-file dialog (see OpenFileSelection).
struct Selection {
    QString folder;
    QStringList names;
};

/// An open-file dialog as the tests compare it.
struct AskedFiles {
    DialogWindow* owner = nullptr;
    QString filterName;
    bool multiple = false;
    QString startFolder;
};

/// Answers open-file dialogs with prepared selections (cancel when none left).
class ScriptedFileDialogs : public FileDialogService {
  public:
    ScriptedFileDialogs() { SetFileDialogService(this); }
    ~ScriptedFileDialogs() override { SetFileDialogService(nullptr); }

    OpenFileSelection OpenFiles(const OpenFileRequest& request) override {
        requests.push_back(AskedFiles{request.owner, ToQt(request.filterName), request.multiple,
                                      ToQt(request.startFolder)});
        if (selections.empty()) return {};
        const Selection next = selections.front();
        selections.pop_front();
        OpenFileSelection chosen{next.folder.toStdU16String(), {}};
        for (const QString& name : next.names) chosen.names.push_back(name.toStdU16String());
        return chosen;
    }

    std::vector<AskedFiles> requests;
    std::deque<Selection> selections;
};

/// Paths the way a drop hands them to a window.
inline std::vector<std::u16string> FromQt(const QStringList& paths) {
    std::vector<std::u16string> converted;
    for (const QString& path : paths) converted.push_back(path.toStdU16String());
    return converted;
}

/// The tab bar of the main window's tab control.
inline QTabBar* TabBarOf(const DialogWindow& window) {
    return QtItemAs<QTabBar>(window, main_window_ids::kTabControl);
}

/// Serves window events until `done` holds or `timeoutMs` passes; returns
/// whether it held.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

/// Serves the window events already queued (and those they queue) for a while.
inline void ServeEvents(int ms = 50) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

/// Selects row `row` of a list as a click would (with Ctrl when `extend`).
inline void SelectListRow(ListView& list, int row, bool extend) {
    const auto flags =
        (extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
        QItemSelectionModel::Rows;
    QTableWidget* table = QtTable(list);
    table->selectionModel()->setCurrentIndex(table->model()->index(row, 0), flags);
}

/// The header text of a list's column.
inline QString ColumnHeader(const ListView& list, int column) {
    const QTableWidgetItem* header = QtTable(list)->horizontalHeaderItem(column);
    return header ? header->text() : QString();
}

/// Creates `window` as a hidden page inside a widget that is no dialog window
/// of its own (a test's stand-in for the main window), the way the main
/// window holds its pages.
inline void CreateInside(DialogWindow& window, QWidget* parent) {
    window.Create(nullptr);
    DialogHost* host = QtHost(window);
    host->setParent(parent, Qt::Widget);
    host->hide();
    QObject::connect(qApp, &QApplication::focusChanged, host, [host](QWidget*, QWidget* now) {
        if (now && now != host && host->isAncestorOf(now)) host->lastFocus = now;
    });
}

/// The tooltip of a list cell; empty for none.
inline QString CellToolTip(const ListView& list, int row, int column) {
    const QTableWidgetItem* cell = QtTable(list)->item(row, column);
    return cell ? cell->toolTip() : QString();
}

/// The contrast ratio of two colours as accessibility guidelines define it:
/// from 1 (equal luminance) to 21 (black on white).
inline double ContrastRatio(const QColor& first, const QColor& second) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const auto luminance = [&](const QColor& colour) {
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
               0.0722 * linear(colour.blueF());
    };
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

}  // namespace testing_support

#pragma once
// Helpers for window tests: message boxes and open-file dialogs answered by the
// test, and waiting for the window thread to deliver a worker's updates.

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
#include "platform/desktop/dialog_window.h"
#include "platform/desktop/file_dialog.h"
#include "platform/desktop/message_box.h"
#include "platform/desktop/qt_text.h"

namespace testing_support {

/// Records every message box and answers from a queue (Ok / Yes by default).
/// Installed for its lifetime.
class ScriptedMessageBoxes : public MessageBoxService {
  public:
    ScriptedMessageBoxes() { SetMessageBoxService(this); }
    ~ScriptedMessageBoxes() override { SetMessageBoxService(nullptr); }

    MessageAnswer Show(const MessageRequest& request) override {
        shown.push_back(request);
        if (!answers.empty()) {
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<MessageRequest> shown;
    std::deque<MessageAnswer> answers;
};

/// Answers open-file dialogs with prepared selections (cancel when none left).
class ScriptedFileDialogs : public FileDialogService {
  public:
    ScriptedFileDialogs() { SetFileDialogService(this); }
    ~ScriptedFileDialogs() override { SetFileDialogService(nullptr); }

    OpenFileSelection OpenFiles(const OpenFileRequest& request) override {
        requests.push_back(request);
        if (selections.empty()) return {};
        OpenFileSelection next = selections.front();
        selections.pop_front();
        return next;
    }

    std::vector<OpenFileRequest> requests;
    std::deque<OpenFileSelection> selections;
};

/// Paths the way a drop hands them to a window.
inline std::vector<std::u16string> FromQt(const QStringList& paths) {
    std::vector<std::u16string> converted;
    for (const QString& path : paths) converted.push_back(path.toStdU16String());
    return converted;
}

/// The tab bar of the main window's tab control.
inline QTabBar* TabBarOf(const DialogWindow& window) {
    return window.ItemAs<QTabBar>(main_window_ids::kTabControl);
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
inline void SelectListRow(QTableWidget& list, int row, bool extend) {
    const auto flags =
        (extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
        QItemSelectionModel::Rows;
    list.selectionModel()->setCurrentIndex(list.model()->index(row, 0), flags);
}

/// The tooltip of a list cell; empty for none.
inline QString CellToolTip(const QTableWidget& list, int row, int column) {
    const QTableWidgetItem* cell = list.item(row, column);
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

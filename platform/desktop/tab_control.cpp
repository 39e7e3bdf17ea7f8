#include "platform/desktop/tab_control.h"

#include <QFrame>
#include <QTabBar>

#include "platform/desktop/dialog_window_qt.h"
#include "platform/desktop/qt_text.h"

namespace {

QTabBar* Bar(const DialogWindow& window, int id) {
    return QtItemAs<QTabBar>(window, id);
}

}  // namespace

void TabControl::AddTab(const std::u16string& text) const {
    Bar(*window_, id_)->addTab(ToQt(text));
}

int TabControl::Selected() const {
    return Bar(*window_, id_)->currentIndex();
}

int TabControl::Top() const {
    return Bar(*window_, id_)->y();
}

bool TabControl::HasFocus() const {
    return QtHost(*window_)->focusWidget() == Bar(*window_, id_);
}

void TabControl::LayOut(int pageTop) const {
    QTabBar* tabs = Bar(*window_, id_);
    const QRect area = tabs->geometry();
    tabs->setExpanding(false);
    tabs->setDrawBase(false);
    // Tabs sized so that they end where the page rectangle begins. Their
    // faces are light like the pages, so their text is dark whatever the
    // theme; the selected tab of a focused bar gets a blue frame as its
    // focus mark.
    tabs->setStyleSheet(
        QStringLiteral("QTabBar::tab { height: %1px; padding: 0 10px; margin-right: 1px;"
                       " border: 1px solid #b4b4b4; border-bottom: none;"
                       " border-top-left-radius: 3px; border-top-right-radius: 3px;"
                       " background: #e6e6e6; color: #000000; }"
                       "QTabBar::tab:selected { background: #ffffff; }"
                       "QTabBar::tab:selected:focus { border: 2px solid #005fb8;"
                       " border-bottom: none; padding: 0 9px; }"
                       "QTabBar::tab:!selected { margin-top: 2px; }")
            .arg(pageTop - area.top() - 2));
    const int barHeight = tabs->sizeHint().height();
    tabs->setGeometry(area.left(), area.top(), area.width(), barHeight);
    auto* pane = new QFrame(tabs->parentWidget());
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setGeometry(area.left(), area.top() + barHeight - 1, area.width(),
                      area.height() - barHeight + 1);
    pane->lower();
}

void TabControl::OnSelChange(std::function<void()> handler) const {
    QTabBar* tabs = Bar(*window_, id_);
    QObject::connect(tabs, &QTabBar::currentChanged, tabs,
                     [handler = std::move(handler)] { handler(); });
}

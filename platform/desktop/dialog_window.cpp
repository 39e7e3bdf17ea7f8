#include "platform/desktop/dialog_window_qt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <utility>

#include "platform/desktop/control_names.h"
#include "platform/desktop/dialog_units_qt.h"
#include "platform/desktop/list_view_qt.h"
#include "platform/desktop/page_palette_qt.h"
#include "platform/desktop/program_icon_qt.h"
#include "platform/desktop/qt_text.h"
#include "platform/desktop/ui_text.h"

namespace {

bool IsEnterKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// A multi-line edit that keeps at most a given number of characters, like an
// edit control's text limit: the limit holds back what the user types or
// pastes (the end of the insertion that does not fit is refused), while a
// text the program puts in is kept whole.
class LimitedPlainTextEdit : public QPlainTextEdit {
  public:
    explicit LimitedPlainTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
        connect(document(), &QTextDocument::contentsChange, this,
                [this](int position, int, int added) {
                    insertedEnd_ = position + added;
                    inserted_ = added;
                });
        connect(this, &QPlainTextEdit::textChanged, this, [this] { EnforceLimit(); });
    }
    void SetLimit(int characters) { limit_ = characters; }
    void SetWantReturn(bool wantReturn) { wantReturn_ = wantReturn; }
    void SetProgramText(const QString& text) {
        enforcing_ = true;
        setPlainText(text);
        enforcing_ = false;
        inserted_ = 0;
    }
    // One editing step: Ctrl+Z brings the previous text back.
    void ReplaceProgramText(const QString& text) {
        enforcing_ = true;
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.insertText(text);
        cursor.endEditBlock();
        enforcing_ = false;
        inserted_ = 0;
    }

  protected:
    // Without the want-return style, Enter belongs to the dialog (its default
    // button); Ctrl+Enter still breaks the line.
    void keyPressEvent(QKeyEvent* event) override {
        if (!wantReturn_ && IsEnterKey(event)) {
            if (!(event->modifiers() & Qt::ControlModifier)) {
                event->ignore();
                return;
            }
            if (!isReadOnly()) insertPlainText(QStringLiteral("\n"));
            event->accept();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

  private:
    void EnforceLimit() {
        const int inserted = std::exchange(inserted_, 0);
        if (limit_ <= 0 || enforcing_ || inserted <= 0) return;
        const int length = document()->characterCount() - 1;
        const int end = std::min(insertedEnd_, length);
        const int excess = std::min({length - limit_, inserted, end});
        if (excess <= 0) return;
        enforcing_ = true;
        QTextCursor cursor(document());
        cursor.setPosition(end - excess);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        enforcing_ = false;
    }
    int limit_ = 0;
    int inserted_ = 0;
    int insertedEnd_ = 0;
    bool enforcing_ = false;
    bool wantReturn_ = false;
};

// A check box or radio button at least as tall as its indicator: with a dialog
// font made smaller to fit the screen, the template's height may not be, and
// the box would be cut. Taller rectangles stay as they are.
QRect RoomForIndicator(const QWidget* widget, QRect rect) {
    QStyle::PixelMetric metric;
    if (qobject_cast<const QCheckBox*>(widget))
        metric = QStyle::PM_IndicatorHeight;
    else if (qobject_cast<const QRadioButton*>(widget))
        metric = QStyle::PM_ExclusiveIndicatorHeight;
    else
        return rect;
    const int missing = widget->style()->pixelMetric(metric, nullptr, widget) + 2 - rect.height();
    if (missing > 0) rect.adjust(0, -missing / 2, 0, missing - missing / 2);
    return rect;
}

// A refused keystroke or the cut-off end of a paste says why it went: the
// field names its limit next to itself.
void ShowLimitWhenRefused(QLineEdit* edit) {
    QObject::connect(edit, &QLineEdit::inputRejected, edit, [edit] {
        if (edit->maxLength() >= 32767 || edit->text().size() < edit->maxLength()) return;
        QToolTip::showText(edit->mapToGlobal(QPoint(0, edit->height())),
                           QtText("最多 %1 个字符").arg(edit->maxLength()), edit);
    });
}

QStringList LocalPaths(const QMimeData* data) {
    QStringList paths;
    if (!data) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

QWidget* CreateControl(DialogHost* host, const ControlTemplate& control);
// Builds the widgets of `window`'s template inside `host` and returns them in
// template order.
std::vector<QWidget*> CreateControls(DialogWindow& window, DialogHost& host,
                                     std::map<int, std::unique_ptr<ListView>>& lists,
                                     std::vector<ListView*>& listOrder);
void NameFieldsFromLabels(const DialogTemplate& dialogTemplate,
                          const std::vector<QWidget*>& created);
void SetWidgetText(QWidget* widget, const QString& text);

}  // namespace

DialogHost::DialogHost(DialogWindow& owner) : owner_(&owner) {
    setFont(DialogFont());
    setAcceptDrops(false);
}

DialogHost::~DialogHost() {
    // Deleted with its parent's widgets: the window no longer has a host.
    if (owner_->host_ == this) owner_->host_ = nullptr;
}

QWidget* DialogHost::Item(int id) const {
    auto it = items.find(id);
    return it == items.end() ? nullptr : it->second;
}

DialogHost* QtHost(const DialogWindow& window) {
    return window.Host();
}

QWidget* QtItem(const DialogWindow& window, int id) {
    return window.Host() ? window.Host()->Item(id) : nullptr;
}

DialogWindow::~DialogWindow() {
    delete host_;
}

void DialogWindow::Create(DialogWindow* parent) {
    host_ = new DialogHost(*this);
    DialogHost* host = host_;
    if (parent) {
        host->setParent(parent->Host(), Qt::Widget);
        host->hide();
        QObject::connect(qApp, &QApplication::focusChanged, host, [host](QWidget*, QWidget* now) {
            if (now && now != host && host->isAncestorOf(now)) host->lastFocus = now;
        });
    } else {
        host->setWindowTitle(QtText(template_.caption));
    }
    host->resize(units_.ToPixelsX(template_.cx), units_.ToPixelsY(template_.cy));
    NameFieldsFromLabels(template_, CreateControls(*this, *host, lists_, listOrder_));
    OnInitDialog();
}

void DialogWindow::RunModal() {
    host_->exec();
}

namespace {

std::vector<QWidget*> CreateControls(DialogWindow& window, DialogHost& host,
                                     std::map<int, std::unique_ptr<ListView>>& lists,
                                     std::vector<ListView*>& listOrder) {
    std::vector<QWidget*> groupBoxes;
    std::vector<QWidget*> created;
    int index = 0;
    for (const ControlTemplate& control : window.Template().controls) {
        ++index;
        QWidget* widget = CreateControl(&host, control);
        created.push_back(widget);
        widget->setGeometry(
            RoomForIndicator(widget, ToQRect(window.Units().ToPixels(control.rect))));
        widget->setEnabled(!(control.style & kDisabled));
        if (control.id != kNoId) host.items[control.id] = widget;
        if (auto* table = dynamic_cast<ListControl*>(widget)) {
            auto list = std::make_unique<ListView>(*table);
            listOrder.push_back(list.get());
            // A list without an identifier is kept under a key no control has.
            lists[control.id != kNoId ? control.id : -1 - index] = std::move(list);
        }
        if (control.kind == ControlKind::PushButton && (control.style & kDefaultButton))
            host.defaultButton = control.id;
        if (control.kind == ControlKind::GroupBox) groupBoxes.push_back(widget);
    }
    // Group boxes only frame their neighbours; keep them underneath so they
    // never take the neighbours' clicks.
    for (QWidget* box : groupBoxes) box->lower();
    return created;
}

void NameFieldsFromLabels(const DialogTemplate& dialogTemplate,
                          const std::vector<QWidget*>& created) {
    const std::vector<int> namers = NamingControls(dialogTemplate);
    for (std::size_t i = 0; i < namers.size(); ++i) {
        if (namers[i] < 0) continue;
        QWidget* namer = created[namers[i]];
        QString name;
        if (auto* label = qobject_cast<QLabel*>(namer)) {
            label->setBuddy(created[i]);
            name = label->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(namer)) {
            name = group->title();
        }
        created[i]->setAccessibleName(ToQt(NameFromLabel(FromQt(name))));
    }
}

QWidget* CreateControl(DialogHost* host, const ControlTemplate& control) {
    const QString text = *control.text ? QtText(control.text) : QString();
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, host);
            button->setAutoDefault(true);
            button->setDefault(control.style & kDefaultButton);
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, host);
            break;
        case ControlKind::RadioButton:
            widget = new QRadioButton(text, host);
            break;
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, host);
            break;
        case ControlKind::StaticText: {
            auto* label = new QLabel(text, host);
            Qt::Alignment horizontal = Qt::AlignLeft;
            if (control.style & kAlignRight) horizontal = Qt::AlignRight;
            if (control.style & kAlignCenter) horizontal = Qt::AlignHCenter;
            label->setAlignment(horizontal | Qt::AlignTop);
            label->setWordWrap(control.rect.cy >= 16);
            label->setTextFormat(Qt::PlainText);
            if (control.style & kBold) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
            }
            widget = label;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, host);
            edit->setAcceptDrops(false);
            edit->setReadOnly(control.style & kReadOnly);
            ShowLimitWhenRefused(edit);
            if (control.style & kDigitsOnly)
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            widget = edit;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new LimitedPlainTextEdit(host);
            edit->setPlainText(text);
            edit->setAcceptDrops(false);
            edit->setReadOnly(control.style & kReadOnly);
            edit->setVerticalScrollBarPolicy((control.style & kVScroll) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAsNeeded);
            edit->setTabChangesFocus(true);
            edit->SetWantReturn(control.style & kWantReturn);
            // Passwords and Base64 lines have no word breaks: wrapping them at
            // word boundaries costs time growing with the square of the line's
            // length, which for a long line keeps the window busy for minutes.
            if (control.style & kBreakAnywhere) edit->setWordWrapMode(QTextOption::WrapAnywhere);
            widget = edit;
            break;
        }
        case ControlKind::ListView:
            widget = new ListControl(host, control.style & kMultiSelect);
            break;
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(host);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::TabControl:
            widget = new QTabBar(host);
            break;
    }
    widget->setObjectName(control.id == kNoId ? QString()
                                              : QStringLiteral("ctl_%1").arg(control.id));
    return widget;
}

}  // namespace

void DialogWindow::EnableItem(int id, bool enabled) {
    if (QWidget* widget = QtItem(*this, id)) widget->setEnabled(enabled);
}

void DialogWindow::SetItemText(int id, const std::u16string& utf16) {
    // The text may be a secret (a generated password): this copy is wiped
    // once the control has its own.
    QString text = ToQt(utf16);
    SetWidgetText(QtItem(*this, id), text);
    text.fill(QChar(u'\0'));
}

namespace {

void SetWidgetText(QWidget* widget, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->setText(text);
    else if (auto* limited = dynamic_cast<LimitedPlainTextEdit*>(widget))
        limited->SetProgramText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        plain->setPlainText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

}  // namespace

std::u16string DialogWindow::ItemText(int id) const {
    const QWidget* widget = QtItem(*this, id);
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return FromQt(button->text());
    if (auto* label = qobject_cast<const QLabel*>(widget)) return FromQt(label->text());
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return FromQt(line->text());
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return FromQt(plain->toPlainText());
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return FromQt(group->title());
    return {};
}

void DialogWindow::ReplaceItemText(int id, const std::u16string& utf16) {
    QWidget* widget = QtItem(*this, id);
    const QString text = ToQt(utf16);
    if (auto* limited = dynamic_cast<LimitedPlainTextEdit*>(widget))
        limited->ReplaceProgramText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->selectAll();
        line->insert(text);
    } else {
        SetWidgetText(widget, text);
    }
}

void DialogWindow::SetItemAccessibleName(int id, const std::u16string& name) {
    if (QWidget* widget = QtItem(*this, id)) widget->setAccessibleName(ToQt(name));
}

void DialogWindow::SetProgressPos(int id, int position) {
    if (auto* bar = QtItemAs<QProgressBar>(*this, id)) bar->setValue(position);
}

void DialogWindow::SetChecked(int id, bool checked) {
    if (auto* button = QtItemAs<QAbstractButton>(*this, id)) button->setChecked(checked);
}

bool DialogWindow::IsChecked(int id) const {
    const auto* button = QtItemAs<QAbstractButton>(*this, id);
    return button && button->isChecked();
}

void DialogWindow::FocusItem(int id) {
    if (QWidget* widget = QtItem(*this, id)) widget->setFocus(Qt::OtherFocusReason);
}

void DialogWindow::LimitText(int id, int characters) {
    QWidget* widget = QtItem(*this, id);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->setMaxLength(characters);
    else if (auto* plain = dynamic_cast<LimitedPlainTextEdit*>(widget))
        plain->SetLimit(characters);
}

void DialogWindow::OnClicked(int id, std::function<void()> handler) {
    if (auto* button = QtItemAs<QAbstractButton>(*this, id))
        QObject::connect(button, &QAbstractButton::clicked, host_,
                         [handler = std::move(handler)] { handler(); });
}

void DialogWindow::AcceptFileDrops(
    std::function<void(const std::vector<std::u16string>&)> handler) {
    host_->dropHandler = std::move(handler);
    host_->setAcceptDrops(true);
}

void DialogWindow::Post(std::function<void()> task) const {
    // A queued call to a host that is deleted first is dropped by Qt.
    QMetaObject::invokeMethod(host_, std::move(task), Qt::QueuedConnection);
}

void DialogHost::dragEnterEvent(QDragEnterEvent* event) {
    if (dropHandler && !LocalPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void DialogHost::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (!dropHandler || paths.isEmpty()) return;
    event->acceptProposedAction();
    std::vector<std::u16string> dropped;
    for (const QString& path : paths) dropped.push_back(FromQt(path));
    dropHandler(dropped);
}

PixelRect DialogWindow::ClientRect() const {
    return {0, 0, host_->width(), host_->height()};
}

void DialogWindow::ShowPage(const PixelRect& rect, bool takeFocus) {
    host_->setGeometry(rect.x, rect.y, rect.width, rect.height);
    host_->show();
    host_->raise();
    if (takeFocus) host_->setFocus(Qt::TabFocusReason);
    host_->update();
}

void DialogWindow::HidePage() {
    host_->hide();
}

void DialogWindow::SetWindowAccessibleName(const std::u16string& name) {
    host_->setAccessibleName(ToQt(name));
}

void DialogWindow::FixMainWindowSize() {
    host_->setFixedSize(host_->size());
    host_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
    host_->setSizeGripEnabled(false);
}

void DialogWindow::ShowProgramIcon() {
    host_->setWindowIcon(ProgramIcon());
}

void DialogWindow::EndDialog() {
    host_->QDialog::reject();
}

void DialogWindow::PaintWhite() {
    // Not just a white window colour: the theme's text colours may be light.
    host_->setPalette(LightPagePalette());
    host_->setAutoFillBackground(true);
    // Multi-line edits and lists keep the desktop's own colours.
    for (QWidget* child : host_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPlainTextEdit*>(child) || dynamic_cast<ListControl*>(child))
            child->setPalette(QApplication::palette(child));
    }
}

void DialogHost::focusInEvent(QFocusEvent* event) {
    QDialog::focusInEvent(event);
    if (isWindow()) return;
    // Focus given to a page goes on, as the dialog manager passes it on, to
    // the control that had it last, else to the first control that takes Tab.
    if (lastFocus && lastFocus->isVisibleTo(this) && lastFocus->isEnabled())
        lastFocus->setFocus(event->reason());
    else
        focusNextPrevChild(true);
}

void DialogHost::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A focused push button takes Enter, then the template's default
            // button, then OnOK.
            if (auto* button = qobject_cast<QPushButton*>(focusWidget());
                button && button->isEnabled() && button->window() == window()) {
                button->click();
            } else if (auto* fallback = qobject_cast<QPushButton*>(Item(defaultButton));
                       fallback && fallback->isEnabled()) {
                fallback->click();
            } else {
                owner_->OnOK();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            owner_->OnCancel();
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

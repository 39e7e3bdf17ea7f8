#include "platform/desktop/dialog_window.h"

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
#include "platform/desktop/list_view.h"
#include "platform/desktop/page_palette.h"
#include "platform/desktop/program_icon.h"
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

}  // namespace

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate)
    : template_(dialogTemplate), units_(DialogFont()) {
    setFont(DialogFont());
    setAcceptDrops(false);
}

void DialogWindow::Create(QWidget* parent) {
    if (parent) {
        setParent(parent, Qt::Widget);
        hide();
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && now != this && isAncestorOf(now)) lastFocus_ = now;
        });
    } else {
        setWindowTitle(QtText(template_.caption));
    }
    resize(units_.ToPixelsX(template_.cx), units_.ToPixelsY(template_.cy));
    std::vector<QWidget*> groupBoxes;
    std::vector<QWidget*> created;
    for (const ControlTemplate& control : template_.controls) {
        QWidget* widget = CreateControl(control);
        created.push_back(widget);
        widget->setGeometry(RoomForIndicator(widget, units_.ToPixels(control.rect)));
        widget->setEnabled(!(control.style & kDisabled));
        if (control.id != kNoId) items_[control.id] = widget;
        if (control.kind == ControlKind::PushButton && (control.style & kDefaultButton))
            defaultButton_ = control.id;
        if (control.kind == ControlKind::GroupBox) groupBoxes.push_back(widget);
    }
    // Group boxes only frame their neighbours; keep them underneath so they
    // never take the neighbours' clicks.
    for (QWidget* box : groupBoxes) box->lower();
    NameFieldsFromLabels(created);
    OnInitDialog();
}

void DialogWindow::NameFieldsFromLabels(const std::vector<QWidget*>& created) {
    const std::vector<int> namers = NamingControls(template_);
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
        created[i]->setAccessibleName(NameFromLabel(name));
    }
}

QWidget* DialogWindow::CreateControl(const ControlTemplate& control) {
    const QString text = *control.text ? QtText(control.text) : QString();
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(true);
            button->setDefault(control.style & kDefaultButton);
            widget = button;
            break;
        }
        case ControlKind::CheckBox:
            widget = new QCheckBox(text, this);
            break;
        case ControlKind::RadioButton:
            widget = new QRadioButton(text, this);
            break;
        case ControlKind::GroupBox:
            widget = new QGroupBox(text, this);
            break;
        case ControlKind::StaticText: {
            auto* label = new QLabel(text, this);
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
            auto* edit = new QLineEdit(text, this);
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
            auto* edit = new LimitedPlainTextEdit(this);
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
            widget = new ListView(this, control.style & kMultiSelect);
            break;
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(this);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::TabControl:
            widget = new QTabBar(this);
            break;
    }
    widget->setObjectName(control.id == kNoId ? QString()
                                              : QStringLiteral("ctl_%1").arg(control.id));
    return widget;
}

QWidget* DialogWindow::Item(int id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

ListView* DialogWindow::List(int id) const {
    return dynamic_cast<ListView*>(Item(id));
}

QProgressBar* DialogWindow::Progress(int id) const {
    return ItemAs<QProgressBar>(id);
}

void DialogWindow::EnableItem(int id, bool enabled) {
    if (QWidget* widget = Item(id)) widget->setEnabled(enabled);
}

void DialogWindow::SetItemText(int id, const std::u16string& utf16) {
    // The text may be a secret (a generated password): this copy is wiped
    // once the control has its own.
    QString text = ToQt(utf16);
    SetWidgetText(Item(id), text);
    text.fill(QChar(u'\0'));
}

void DialogWindow::SetWidgetText(QWidget* widget, const QString& text) {
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

std::u16string DialogWindow::ItemText(int id) const {
    const QWidget* widget = Item(id);
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return FromQt(button->text());
    if (auto* label = qobject_cast<const QLabel*>(widget)) return FromQt(label->text());
    if (auto* line = qobject_cast<const QLineEdit*>(widget)) return FromQt(line->text());
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return FromQt(plain->toPlainText());
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return FromQt(group->title());
    return {};
}

void DialogWindow::ReplaceItemText(int id, const std::u16string& utf16) {
    QWidget* widget = Item(id);
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
    if (QWidget* widget = Item(id)) widget->setAccessibleName(ToQt(name));
}

void DialogWindow::SetProgressPos(int id, int position) {
    if (QProgressBar* bar = Progress(id)) bar->setValue(position);
}

void DialogWindow::SetChecked(int id, bool checked) {
    if (auto* button = ItemAs<QAbstractButton>(id)) button->setChecked(checked);
}

bool DialogWindow::IsChecked(int id) const {
    const auto* button = ItemAs<QAbstractButton>(id);
    return button && button->isChecked();
}

void DialogWindow::FocusItem(int id) {
    if (QWidget* widget = Item(id)) widget->setFocus(Qt::OtherFocusReason);
}

void DialogWindow::LimitText(int id, int characters) {
    QWidget* widget = Item(id);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        line->setMaxLength(characters);
    else if (auto* plain = dynamic_cast<LimitedPlainTextEdit*>(widget))
        plain->SetLimit(characters);
}

void DialogWindow::OnClicked(int id, std::function<void()> handler) {
    if (auto* button = ItemAs<QAbstractButton>(id))
        connect(button, &QAbstractButton::clicked, this,
                [handler = std::move(handler)] { handler(); });
}

void DialogWindow::AcceptFileDrops(
    std::function<void(const std::vector<std::u16string>&)> handler) {
    dropHandler_ = std::move(handler);
    setAcceptDrops(true);
}

void DialogWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (dropHandler_ && !LocalPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void DialogWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (!dropHandler_ || paths.isEmpty()) return;
    event->acceptProposedAction();
    std::vector<std::u16string> dropped;
    for (const QString& path : paths) dropped.push_back(FromQt(path));
    dropHandler_(dropped);
}

PixelRect DialogWindow::ClientRect() const {
    return {0, 0, width(), height()};
}

void DialogWindow::ShowPage(const PixelRect& rect, bool takeFocus) {
    setGeometry(rect.x, rect.y, rect.width, rect.height);
    show();
    raise();
    if (takeFocus) setFocus(Qt::TabFocusReason);
    update();
}

void DialogWindow::HidePage() {
    hide();
}

void DialogWindow::SetWindowAccessibleName(const std::u16string& name) {
    setAccessibleName(ToQt(name));
}

void DialogWindow::FixMainWindowSize() {
    setFixedSize(size());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);
}

void DialogWindow::ShowProgramIcon() {
    setWindowIcon(ProgramIcon());
}

void DialogWindow::EndDialog() {
    QDialog::reject();
}

void DialogWindow::PaintWhite() {
    // Not just a white window colour: the theme's text colours may be light.
    setPalette(LightPagePalette());
    setAutoFillBackground(true);
    // Multi-line edits and lists keep the desktop's own colours.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QPlainTextEdit*>(child) || dynamic_cast<ListView*>(child))
            child->setPalette(QApplication::palette(child));
    }
}

void DialogWindow::focusInEvent(QFocusEvent* event) {
    QDialog::focusInEvent(event);
    if (isWindow()) return;
    // Focus given to a page goes on, as the dialog manager passes it on, to
    // the control that had it last, else to the first control that takes Tab.
    if (lastFocus_ && lastFocus_->isVisibleTo(this) && lastFocus_->isEnabled())
        lastFocus_->setFocus(event->reason());
    else
        focusNextPrevChild(true);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A focused push button takes Enter, then the template's default
            // button, then OnOK.
            if (auto* button = qobject_cast<QPushButton*>(focusWidget());
                button && button->isEnabled() && button->window() == window()) {
                button->click();
            } else if (auto* fallback = ItemAs<QPushButton>(defaultButton_);
                       fallback && fallback->isEnabled()) {
                fallback->click();
            } else {
                OnOK();
            }
            event->accept();
            return;
        case Qt::Key_Escape:
            OnCancel();
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

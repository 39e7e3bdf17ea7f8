#include "platform/desktop/list_view_qt.h"

#include "platform/desktop/dialog_units.h"
#include "platform/desktop/qt_text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

namespace {
constexpr int kRowIdRole = Qt::UserRole + 1;
}

ListControl::ListControl(QWidget* parent, bool multiSelect) : QTableWidget(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                 : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setAcceptDrops(false);
    setShowGrid(false);
    // Tab leaves the list for the next control, as in any dialog; the arrow
    // keys move between rows.
    setTabKeyNavigation(false);
}

void ListControl::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab and Ctrl+Shift+Tab reach the list as keys; they leave it too.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        const bool forward =
            event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
        focusNextPrevChild(forward);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

int ListView::ColumnWidth(int column) const {
    return column < control_->columnCount() ? control_->columnWidth(column) : 0;
}

int ListView::ColumnCount() const {
    return control_->columnCount();
}

void ListView::InsertColumn(int column, const std::u16string& header, int widthPx) {
    column = std::clamp(column, 0, control_->columnCount());
    control_->insertColumn(column);
    control_->setHorizontalHeaderItem(column, new QTableWidgetItem(ToQt(header)));
    control_->setColumnWidth(column, ScaledFromDefaultFont(widthPx));
}

void ListView::SetReportStyle(bool gridLines) {
    control_->setShowGrid(gridLines);
    control_->setSelectionBehavior(QAbstractItemView::SelectRows);
}

int ListView::InsertRow(int position, const std::u16string& utf16) {
    const QString text = ToQt(utf16);
    position = std::clamp(position, 0, control_->rowCount());
    control_->insertRow(position);
    auto* item = new QTableWidgetItem(text);
    item->setData(kRowIdRole, QVariant::fromValue<qulonglong>(nextId_++));
    item->setToolTip(text);
    control_->setItem(position, 0, item);
    for (int column = 1; column < control_->columnCount(); ++column)
        control_->setItem(position, column, new QTableWidgetItem());
    return position;
}

void ListView::SetText(int row, int column, const std::u16string& utf16) {
    const QString text = ToQt(utf16);
    if (row < 0 || row >= control_->rowCount() || column < 0 || column >= control_->columnCount())
        return;
    if (QTableWidgetItem* cell = control_->item(row, column)) {
        cell->setText(text);
    } else {
        control_->setItem(row, column, new QTableWidgetItem(text));
    }
}

std::u16string ListView::Text(int row, int column) const {
    const QTableWidgetItem* cell = control_->item(row, column);
    return cell ? FromQt(cell->text()) : std::u16string();
}

void ListView::SetToolTip(int row, int column, const std::u16string& utf16) {
    const QString text = ToQt(utf16);
    if (row < 0 || row >= control_->rowCount() || column < 0 || column >= control_->columnCount())
        return;
    QTableWidgetItem* cell = control_->item(row, column);
    // Qt reports a change for every tooltip set, even an empty one set for the
    // first time; only real changes should reach whoever watches the list.
    if (cell != nullptr && cell->toolTip() == text) return;
    if (cell == nullptr) {
        cell = new QTableWidgetItem();
        control_->setItem(row, column, cell);
    }
    cell->setToolTip(text);
}

int ListView::Count() const {
    return control_->rowCount();
}

int ListView::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : control_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ListView::SelectionMark() const {
    const int row = control_->currentRow();
    if (row >= 0 && control_->selectionModel()->isRowSelected(row, QModelIndex())) return row;
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.back();
}

void ListView::DeleteRow(int row) {
    if (row >= 0 && row < control_->rowCount()) control_->removeRow(row);
}

void ListView::DeleteSelected() {
    const std::vector<int> rows = SelectedRows();
    // From the bottom up, so each position still names its row when deleted.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) DeleteRow(*row);
}

void ListView::DeleteAll() {
    control_->setRowCount(0);
}

void ListView::EnsureVisible(int row) {
    if (const QTableWidgetItem* cell = control_->item(row, 0))
        control_->scrollToItem(cell, QAbstractItemView::EnsureVisible);
}

ListView::RowId ListView::IdOfRow(int row) const {
    const QTableWidgetItem* cell = control_->item(row, 0);
    return cell ? cell->data(kRowIdRole).toULongLong() : kNoRow;
}

int ListView::RowOfId(RowId id) const {
    if (id == kNoRow) return -1;
    for (int row = 0; row < control_->rowCount(); ++row)
        if (IdOfRow(row) == id) return row;
    return -1;
}

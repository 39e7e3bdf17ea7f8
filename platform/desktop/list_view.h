#pragma once
// A report-style file list with the row operations the pages use. Rows carry
// only their texts plus a serial number that stays with the row while other
// rows are inserted or deleted, so a job can find "its" row again.

#include <cstdint>
#include <string>
#include <vector>

/// The window system's list control (each implementation of the layer
/// defines it).
class ListControl;

class ListView {
  public:
    using RowId = uint64_t;
    static constexpr RowId kNoRow = 0;

    /// A view of `control`, which lives as long as its window.
    explicit ListView(ListControl& control) : control_(&control) {}
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    ListControl& Control() const { return *control_; }

    /// Width of a column in pixels; 0 while the column does not exist.
    int ColumnWidth(int column) const;
    int ColumnCount() const;
    /// Inserts a column with its header text and its width in pixels at the
    /// default dialog font (narrower when the font was made smaller to fit
    /// the screen).
    void InsertColumn(int column, const std::u16string& header, int widthPx);
    /// Grid lines and full-row selection.
    void SetReportStyle(bool gridLines);

    /// Inserts a row at `position` (clamped to 0..Count()) with `text` in
    /// column 0 and returns the position it got.
    int InsertRow(int position, const std::u16string& text);
    void SetText(int row, int column, const std::u16string& text);
    std::u16string Text(int row, int column) const;
    /// The text shown when the pointer rests on the cell; empty for none.
    void SetToolTip(int row, int column, const std::u16string& text);
    int Count() const;

    int SelectedCount() const;
    /// Positions of the selected rows in ascending order.
    std::vector<int> SelectedRows() const;
    /// The row of the latest selection, or -1.
    int SelectionMark() const;

    void DeleteRow(int row);
    /// Deletes every selected row.
    void DeleteSelected();
    void DeleteAll();
    /// Scrolls until the row is entirely visible.
    void EnsureVisible(int row);

    /// The identity of the row at `row` (kNoRow when out of range).
    RowId IdOfRow(int row) const;
    /// The current position of the row with that identity, or -1 if deleted.
    int RowOfId(RowId id) const;

  private:
    ListControl* control_;
    RowId nextId_ = 1;
};

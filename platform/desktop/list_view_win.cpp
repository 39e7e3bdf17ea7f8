#include <windows.h>

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/desktop/dialog_units.h"
#include "platform/desktop/dialog_window_win.h"
#include "platform/desktop/list_view.h"

namespace {

LRESULT Send(const ListControl& control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(control.hwnd, message, wParam, lParam);
}

// The row and column under a point of the list's client area; -1 where
// there is none.
std::pair<int, int> CellAt(HWND list, POINT point) {
    LVHITTESTINFO hit{};
    hit.pt = point;
    if (SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 ||
        !(hit.flags & LVHT_ONITEM))
        return {-1, -1};
    return {hit.iItem, hit.iSubItem};
}

// Watches the mouse over a list: on a new cell, the tip shown goes, so that
// the next one is asked for anew.
LRESULT CALLBACK FollowCells(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR data) {
    auto& control = *reinterpret_cast<ListControl*>(data);
    if (message == WM_MOUSEMOVE) {
        const std::pair<int, int> cell =
            CellAt(list, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (cell != control.cell) {
            control.cell = cell;
            SendMessageW(control.tip, TTM_POP, 0, 0);
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(list, &FollowCells, 1);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

ListControl::ListControl(HWND window, HWND dialog) : hwnd(window) {
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr),
                          nullptr);
    if (!tip) return;
    // One tool, the whole list; its text comes from the dialog when shown.
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long reasons break into lines instead of running off the screen.
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 480);
    SetWindowSubclass(window, &FollowCells, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::u16string ListControl::TipAtCursor() const {
    POINT point{};
    GetCursorPos(&point);
    ScreenToClient(hwnd, &point);
    const auto [row, column] = CellAt(hwnd, point);
    if (row < 0) return {};
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(hwnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
    const auto found = tips.find({uint64_t(item.lParam), column});
    return found == tips.end() ? std::u16string() : found->second;
}

int ListView::ColumnWidth(int column) const {
    return int(Send(*control_, LVM_GETCOLUMNWIDTH, WPARAM(column)));
}

int ListView::ColumnCount() const {
    const HWND header = reinterpret_cast<HWND>(Send(*control_, LVM_GETHEADER));
    return header ? int(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void ListView::InsertColumn(int column, const std::u16string& header, int widthPx) {
    std::u16string text = header;
    LVCOLUMNW added{};
    added.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    added.fmt = LVCFMT_LEFT;
    // Given in pixels at 96 dots per inch; the dialog font follows the density.
    added.cx = ScaledFromDefaultFont(widthPx);
    added.pszText = reinterpret_cast<wchar_t*>(text.data());
    Send(*control_, LVM_INSERTCOLUMNW, WPARAM(std::clamp(column, 0, ColumnCount())),
         reinterpret_cast<LPARAM>(&added));
}

void ListView::SetReportStyle(bool gridLines) {
    const DWORD style = LVS_EX_FULLROWSELECT | LVS_EX_BORDERSELECT | LVS_EX_DOUBLEBUFFER |
                        LVS_EX_LABELTIP | (gridLines ? LVS_EX_GRIDLINES : 0);
    Send(*control_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LPARAM(style));
}

int ListView::InsertRow(int position, const std::u16string& text) {
    std::u16string copy = text;
    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = std::clamp(position, 0, Count());
    row.pszText = reinterpret_cast<wchar_t*>(copy.data());
    // The row's identity rides along in its parameter.
    row.lParam = LPARAM(nextId_++);
    return int(Send(*control_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

void ListView::SetText(int row, int column, const std::u16string& text) {
    if (row < 0 || row >= Count() || column < 0 || column >= ColumnCount()) return;
    std::u16string copy = text;
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = reinterpret_cast<wchar_t*>(copy.data());
    Send(*control_, LVM_SETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&cell));
}

std::u16string ListView::Text(int row, int column) const {
    if (row < 0 || row >= Count()) return {};
    // Paths have no fixed limit: the buffer grows until the text fits.
    for (std::size_t size = 512;; size *= 2) {
        std::wstring buffer(size, L'\0');
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = buffer.data();
        cell.cchTextMax = int(size);
        const auto length = std::size_t(
            Send(*control_, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&cell)));
        if (length + 1 < size) return FromWide(buffer.c_str(), length);
    }
}

void ListView::SetToolTip(int row, int column, const std::u16string& text) {
    const RowId id = IdOfRow(row);
    if (id == kNoRow) return;
    if (text.empty())
        control_->tips.erase({id, column});
    else
        control_->tips[{id, column}] = text;
}

int ListView::Count() const {
    return int(Send(*control_, LVM_GETITEMCOUNT));
}

int ListView::SelectedCount() const {
    return int(Send(*control_, LVM_GETSELECTEDCOUNT));
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = -1;;) {
        row = int(Send(*control_, LVM_GETNEXTITEM, WPARAM(row), LVNI_SELECTED));
        if (row < 0) return rows;
        rows.push_back(row);
    }
}

int ListView::SelectionMark() const {
    const int mark = int(Send(*control_, LVM_GETSELECTIONMARK));
    if (mark >= 0 && Send(*control_, LVM_GETITEMSTATE, WPARAM(mark), LVIS_SELECTED)) return mark;
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.back();
}

void ListView::DeleteRow(int row) {
    const RowId id = IdOfRow(row);
    if (id == kNoRow) return;
    std::erase_if(control_->tips, [id](const auto& tip) { return tip.first.first == id; });
    Send(*control_, LVM_DELETEITEM, WPARAM(row));
}

void ListView::DeleteSelected() {
    const std::vector<int> rows = SelectedRows();
    // From the bottom up, so each position still names its row when deleted.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) DeleteRow(*row);
}

void ListView::DeleteAll() {
    control_->tips.clear();
    Send(*control_, LVM_DELETEALLITEMS);
}

void ListView::EnsureVisible(int row) {
    Send(*control_, LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
}

ListView::RowId ListView::IdOfRow(int row) const {
    if (row < 0 || row >= Count()) return kNoRow;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!Send(*control_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return kNoRow;
    return RowId(item.lParam);
}

int ListView::RowOfId(RowId id) const {
    if (id == kNoRow) return -1;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = LPARAM(id);
    return int(Send(*control_, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

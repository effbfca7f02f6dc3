#pragma once

class QTableWidget;

// The nine columns of the QSO lists (the logbook window's worked-before list and the
// QSL window's list): Date, Time, Call, Sent, Rcvd, Frequency, Mode, S, R, left-aligned.
// Each column is as wide as designed, or wider where its heading or its widest content
// would otherwise be cut in the list's font.
namespace QsoListColumns {

constexpr int kCount = 9;

// Sets the headings and widths, and keeps the list wide enough to show every column
// beside its vertical scroll bar.
void setUp(QTableWidget *list);

// Each row carries its QSO's row id in its first cell. The row id of the selected row,
// 0 when none is selected; and the row of a row id selected again after the list was
// read anew (nothing when the QSO is no longer listed).
int selectedRowId(const QTableWidget *list);
void selectRowId(QTableWidget *list, int rowId);

} // namespace QsoListColumns

// The text a list of the window puts on the clipboard for a spreadsheet: the
// headings of the shown columns, then the chosen rows, cells separated by tabs
// and every line ended by CR LF. A cell keeps its text but for the characters
// that would break the table: a tab, a line break or any other control
// character becomes one space (CR LF together one), so each row stays one line
// and each cell one column. Separator rows are copied as the list shows them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "base/table_model.h"

namespace TableText {

// The table as clipboard text. `columnOrder` gives the columns in the order
// the list shows them (indices into table.columns; empty: the model's order;
// an index outside the columns is left out); a column of width 0 or less is
// hidden and not copied. `selectedRows` are indices into table.rows: those
// rows go in the table's order (repeats and indices outside the rows are left
// out); with none selected every row goes. Without a shown column the text is
// empty: there is nothing to copy.
std::wstring ClipboardText(const TableModel& table, const std::vector<int>& columnOrder,
                           const std::vector<size_t>& selectedRows);

// One cell as the clipboard text holds it (see above).
std::wstring ClipboardCell(const std::wstring& cell);

// What a copy takes from a read-only text such as the message log: the part
// selected from `start` to `end` (in either order, cut at the text's end), or
// the whole text when nothing is selected. The text goes as it is.
std::wstring TextToCopy(const std::wstring& text, size_t start, size_t end);

// Whether a key pressed in a list copies it: Ctrl+C or Ctrl+Insert, without
// Shift or Alt.
bool IsCopyKey(unsigned virtualKey, bool control, bool shift, bool alt);

}  // namespace TableText

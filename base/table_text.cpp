#include "base/table_text.h"

#include <algorithm>
#include <utility>

namespace TableText {

namespace {

constexpr unsigned kKeyC = 0x43;       // 'C'
constexpr unsigned kKeyInsert = 0x2D;  // VK_INSERT

std::vector<size_t> ShownColumns(const TableModel& table, const std::vector<int>& columnOrder) {
    std::vector<size_t> shown;
    const size_t count = table.columns.size();
    auto add = [&](size_t column) {
        if (column < count && table.columns[column].width > 0) shown.push_back(column);
    };
    if (columnOrder.empty())
        for (size_t c = 0; c < count; ++c) add(c);
    else
        for (int c : columnOrder)
            if (c >= 0) add(static_cast<size_t>(c));
    return shown;
}

std::vector<size_t> CopiedRows(const TableRows& rows, std::vector<size_t> selected) {
    if (selected.empty()) {
        selected.resize(rows.size());
        for (size_t r = 0; r < rows.size(); ++r) selected[r] = r;
        return selected;
    }
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(std::lower_bound(selected.begin(), selected.end(), rows.size()), selected.end());
    return selected;
}

void AppendLine(std::wstring& text, const std::vector<size_t>& columns,
                const std::wstring& (*cell)(const TableModel&, size_t, size_t), const TableModel& table, size_t row) {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) text += L'\t';
        text += ClipboardCell(cell(table, row, columns[i]));
    }
    text += L"\r\n";
}

const std::wstring& Heading(const TableModel& table, size_t, size_t column) { return table.columns[column].heading; }

const std::wstring& Cell(const TableModel& table, size_t row, size_t column) {
    static const std::wstring kEmpty;
    const std::vector<std::wstring>& cells = table.rows[row].cells;
    return column < cells.size() ? cells[column] : kEmpty;
}

}  // namespace

std::wstring ClipboardCell(const std::wstring& cell) {
    std::wstring text;
    text.reserve(cell.size());
    for (size_t i = 0; i < cell.size(); ++i) {
        const wchar_t c = cell[i];
        if (c == L'\r' && i + 1 < cell.size() && cell[i + 1] == L'\n') continue;  // CR LF: the LF gives the space
        text += (c < 0x20 || c == 0x7F) ? L' ' : c;
    }
    return text;
}

std::wstring ClipboardText(const TableModel& table, const std::vector<int>& columnOrder,
                           const std::vector<size_t>& selectedRows) {
    const std::vector<size_t> columns = ShownColumns(table, columnOrder);
    if (columns.empty()) return std::wstring();
    std::wstring text;
    AppendLine(text, columns, Heading, table, 0);
    for (size_t row : CopiedRows(table.rows, selectedRows)) AppendLine(text, columns, Cell, table, row);
    return text;
}

std::wstring TextToCopy(const std::wstring& text, size_t start, size_t end) {
    if (start > end) std::swap(start, end);
    start = std::min(start, text.size());
    end = std::min(end, text.size());
    return start == end ? text : text.substr(start, end - start);
}

bool IsCopyKey(unsigned virtualKey, bool control, bool shift, bool alt) {
    return control && !shift && !alt && (virtualKey == kKeyC || virtualKey == kKeyInsert);
}

}  // namespace TableText

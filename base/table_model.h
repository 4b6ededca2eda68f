// A table as the page rules give it to a window, the report or the command
// line: its columns, and its rows with their cells and ids. Windows show it
// as it is; nothing about it is decided where it is shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TableColumn {
    std::wstring heading;
    int32_t width = 0;  // pixels
};

struct TableRow {
    std::vector<std::wstring> cells;  // from column 0; a row may have fewer cells than columns
    int64_t id = 0;                   // what the row stands for, e.g. a database id
    bool separator = false;           // a channel separator, without a number
};
using TableRows = std::vector<TableRow>;

struct TableModel {
    std::vector<TableColumn> columns;
    TableRows rows;
};

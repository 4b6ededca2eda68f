// The three output tables of the main window's lower pages as plain text
// cells: the results of a calculation, the peaks of one chromatogram and the
// composition of one mixture. The pages only put these cells on screen; the
// command-line check prints them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/records.h"

class LinearityCalc;

struct TableColumn {
    std::wstring heading;
    int32_t width;  // pixels
};

struct TableRow {
    bool separator = false;  // a channel separator, without a number
    std::vector<std::wstring> cells;  // one per column
};

struct OutputTable {
    std::vector<TableColumn> columns;
    std::vector<TableRow> rows;
};

// A number cell: "%.*f" with the given decimals, "---" for NoValue; a value
// that is not finite as "nan", "inf" or "-inf" on every build.
std::wstring NumberCellText(double value, int32_t digits);

inline constexpr const wchar_t* kSeparatorCell = L"----------------------------------";

std::vector<TableColumn> ResultsColumns();
std::vector<TableColumn> AssayInfoColumns();
std::vector<TableColumn> MixtureInfoColumns();

// One row per component in the calculation's order, a separator row before
// each change of channel (none before the first when it is channel 1).
OutputTable BuildResultsTable(const LinearityCalc& calc, int32_t digits);
// The peaks of one chromatogram, with separators between channels likewise.
OutputTable BuildAssayInfoTable(const AssayRecord& assay, int32_t digits);
// The certified components of one mixture.
OutputTable BuildMixtureInfoTable(const MixtureRecord& mixture, int32_t digits);

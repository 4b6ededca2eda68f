// The three output tables of the main window's lower pages as plain text
// cells: the results of a calculation, the peaks of one chromatogram and the
// composition of one mixture. The pages only put these cells on screen; the
// command-line check prints them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/table_model.h"
#include "data/records.h"

class LinearityCalc;

inline constexpr const wchar_t* kSeparatorCell = L"----------------------------------";

std::vector<TableColumn> ResultsColumns();
std::vector<TableColumn> AssayInfoColumns();
std::vector<TableColumn> MixtureInfoColumns();

// One row per component in the calculation's order, a separator row before
// each change of channel (none before the first when it is channel 1).
TableModel BuildResultsTable(const LinearityCalc& calc, int32_t digits);
// The peaks of one chromatogram, with separators between channels likewise.
TableModel BuildAssayInfoTable(const AssayRecord& assay, int32_t digits);
// The certified components of one mixture.
TableModel BuildMixtureInfoTable(const MixtureRecord& mixture, int32_t digits);

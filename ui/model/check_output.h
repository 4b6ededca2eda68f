// The outputs of the command-line check, built from one calculation: a text a
// chemist reads (the results table and the message log) and a JSON object
// with every input and result, for scripts and tests. Both are UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "calc/calc_records.h"
#include "data/records.h"

class LinearityCalc;
class MessageLog;
struct TableModel;

// The table as aligned text lines: headings, then rows; columns padded to
// their widest cell.
std::wstring TableText(const TableModel& table);

// The results table with the given decimals, a blank line, then the log text
// as the message page shows it (line ends as "\n").
std::string CheckText(const LinearityCalc& calc, const MessageLog& log, int32_t digits);

// One JSON object: settings, mixtures, assays (in list order), channels,
// components in the calculation's order with their levels, and the messages.
// Reals carry 17 significant digits; NoValue is null; not-a-number and the
// infinities are the strings "nan", "inf" and "-inf".
std::string CheckJson(const LinearityCalc& calc, const MixtureRecords& mixtures, const AssayRecords& assays,
                      const MessageLog& log, const CorrectionSwitches& switches);

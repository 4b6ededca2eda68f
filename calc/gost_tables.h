// The two tables of the standard that the check needs, as formulas of the
// certified concentration x (mol%): the expanded uncertainty U of a mixture's
// certified concentration (Table 1, method В) and the relative standard
// deviation σk of the calibration characteristic (Table 4). Each boundary is
// tested with its own tolerance h: a lower boundary L passes when x + h >= L,
// an upper boundary U when x - h <= U, evaluated in double precision.
#pragma once

#include <string_view>

struct TableLookup {
    double value;  // U in mol%, or σk in per cent
    bool inRange;  // x lies inside the range the table gives
};

// name is a catalogue name, compared with only A-Z folding case. Outside the
// range U still comes from the component's formula; a name the table does not
// know gives NoValue and inRange false.
TableLookup LookupExpandedUncertainty(std::wstring_view name, double x);

// Always a value from one of the formulas (NoValue overflows to +infinity);
// inRange tells whether x lies inside the table.
TableLookup LookupSigmaK(double x);

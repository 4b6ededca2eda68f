// The mark of a real that was not computed (or not given): the most negative
// finite double. Tests against it are exact; displays write "---" for it.
#pragma once

#include <limits>

inline constexpr double NoValue = -std::numeric_limits<double>::max();

inline bool HasValue(double value) { return value != NoValue; }

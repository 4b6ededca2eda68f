// Fuzz target of the number and date texts: any count of decimals (from a
// profile or an edit box) and any value give a bounded text, and any time a
// date text of its format or none.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "base/ctime.h"
#include "base/text.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// The longest "%.*f" text: a sign, 309 digits, the point and the decimals.
constexpr size_t kLongestNumber = 1 + 309 + 1 + kMaxDecimals;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input{data, size};
    const auto digits = input.Take<int32_t>();
    const auto value = input.Take<double>();
    const auto seconds = input.Take<int64_t>();

    const int clamped = ClampDecimals(digits);
    if (clamped < kMinDecimals || clamped > kMaxDecimals) std::abort();
    const std::wstring number = FormatFixed(value, digits);
    if (number.size() > kLongestNumber) std::abort();
    if (std::isfinite(value)) {
        // The text reads back as the value rounded to the decimals in use.
        const double back = std::wcstod(number.c_str(), nullptr);
        if (std::fabs(back - value) > 0.5 * std::pow(10.0, -clamped) * (1.0 + 1e-9) + std::fabs(value) * 1e-15)
            std::abort();
        if (clamped > 0 && number.find(L'.') == std::wstring::npos) std::abort();
    }

    const CTime time(seconds);
    for (const wchar_t* format : {DateFormats::kDate, DateFormats::kDateTime, DateFormats::kReportDateTime}) {
        const std::wstring text = time.Format(format);
        std::tm tm{};
        const bool shown = time.GetLocalTm(tm);
        if (shown == text.empty() || text.size() > 20) std::abort();
        if (shown && (seconds < 0 || seconds > CTime::kLatest)) std::abort();
    }
    return 0;
}

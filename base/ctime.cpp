#include "base/ctime.h"

#include <cwchar>

bool CTime::GetLocalTm(std::tm& out) const {
    if (seconds_ < 0 || seconds_ > kLatest) return false;
#if defined(_WIN32)
    // The 64-bit conversion by name: the 32-bit Windows run-time's time_t is
    // 32 bits wide, which would turn every date after 2038-01-19 into nonsense.
    const __time64_t t = static_cast<__time64_t>(seconds_);
    return _localtime64_s(&out, &t) == 0;
#else
    const std::time_t t = static_cast<std::time_t>(seconds_);
    return localtime_r(&t, &out) != nullptr;
#endif
}

CTime CTime::Now() {
#if defined(_WIN32)
    return CTime(static_cast<int64_t>(_time64(nullptr)));
#else
    return CTime(static_cast<int64_t>(std::time(nullptr)));
#endif
}

std::wstring CTime::Format(const wchar_t* format) const {
    std::tm tm{};
    if (!GetLocalTm(tm)) return std::wstring();
    wchar_t buffer[256];
    size_t n = std::wcsftime(buffer, sizeof buffer / sizeof buffer[0], format, &tm);
    return std::wstring(buffer, n);
}

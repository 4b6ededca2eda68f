#include "host/ctime.h"

#include <cwchar>

bool CTime::GetLocalTm(std::tm& out) const {
    if (seconds_ < 0 || seconds_ > kLatest) return false;
    std::time_t t = static_cast<std::time_t>(seconds_);
#if defined(_WIN32)
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

std::wstring CTime::Format(const wchar_t* format) const {
    std::tm tm{};
    if (!GetLocalTm(tm)) return std::wstring();
    wchar_t buffer[256];
    size_t n = std::wcsftime(buffer, sizeof buffer / sizeof buffer[0], format, &tm);
    return std::wstring(buffer, n);
}

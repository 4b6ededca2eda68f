// A point in time as seconds since 1970-01-01 00:00 UTC, shown in local time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

class CTime {
public:
    CTime() = default;
    explicit CTime(int64_t seconds) : seconds_(seconds) {}

    int64_t GetTime() const { return seconds_; }
    // The current time (64-bit on every platform).
    static CTime Now();

    // Local broken-down time. Refused, as by the Windows run-time library, for
    // times before 1970-01-01 00:00 UTC or after 3000-12-31 23:59:59 UTC.
    bool GetLocalTm(std::tm& out) const;

    // wcsftime-style formatting in local time ("%d.%m.%y  %H:%M"); the empty
    // text when the time cannot be converted.
    std::wstring Format(const wchar_t* format) const;

    friend bool operator==(CTime a, CTime b) { return a.seconds_ == b.seconds_; }
    friend bool operator!=(CTime a, CTime b) { return a.seconds_ != b.seconds_; }
    friend bool operator<(CTime a, CTime b) { return a.seconds_ < b.seconds_; }

    static constexpr int64_t kLatest = 32535215999;  // 3000-12-31 23:59:59 UTC

private:
    int64_t seconds_ = 0;
};

// The date formats of the system's windows and report.
namespace DateFormats {
inline constexpr const wchar_t* kDate = L"%d.%m.%y";
inline constexpr const wchar_t* kDateTime = L"%d.%m.%y  %H:%M";
inline constexpr const wchar_t* kReportDateTime = L"%d.%m.%Y, %H:%M";
}  // namespace DateFormats

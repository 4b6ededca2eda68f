// Text helpers shared by every layer. Texts are std::wstring: UTF-16 on
// Windows, UTF-32 in the native build; the conversions below know both.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
std::u16string Utf16FromWide(std::wstring_view wide);
std::wstring WideFromUtf16(const char16_t* utf16);  // up to the terminator; null gives ""

// printf-style formatting into a wide string ("%ls" for wide texts). Only
// for formats of this system's own: numbers with a run-time count of decimals
// go through FormatFixed.
std::wstring FormatW(const wchar_t* format, ...);
std::wstring FormatWV(const wchar_t* format, va_list arguments);

// Decimals a number is ever written with: a double carries 17 significant
// digits, so more say nothing, and a count from a profile or an edit box may be
// anything (INT_MAX digits would take gigabytes per cell).
inline constexpr int kMinDecimals = 0;
inline constexpr int kMaxDecimals = 17;
inline constexpr int ClampDecimals(long long digits) {
    return digits < kMinDecimals ? kMinDecimals : digits > kMaxDecimals ? kMaxDecimals : static_cast<int>(digits);
}
// "%.*f" with the decimals brought into [kMinDecimals, kMaxDecimals]; NaN and
// the infinities as "nan", "inf" and "-inf" on every build.
std::wstring FormatFixed(double value, int digits);

// Whole-string comparison in which only the Latin letters A-Z fold case;
// every other character, Cyrillic included, must match exactly. Result <0, 0, >0.
int CompareFoldLatin(std::wstring_view a, std::wstring_view b);
inline bool EqualFoldLatin(std::wstring_view a, std::wstring_view b) { return CompareFoldLatin(a, b) == 0; }

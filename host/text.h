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

// printf-style formatting into a wide string ("%ls" for wide texts).
std::wstring FormatW(const wchar_t* format, ...);
std::wstring FormatWV(const wchar_t* format, va_list arguments);

// Whole-string comparison in which only the Latin letters A-Z fold case;
// every other character, Cyrillic included, must match exactly. Result <0, 0, >0.
int CompareFoldLatin(std::wstring_view a, std::wstring_view b);
inline bool EqualFoldLatin(std::wstring_view a, std::wstring_view b) { return CompareFoldLatin(a, b) == 0; }

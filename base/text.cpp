#include "base/text.h"

#include <cmath>
#include <cwchar>
#include <vector>

namespace {

// Appends one code point as UTF-8.
void PutUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void PutWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 | (c >> 10));
            out += static_cast<wchar_t>(0xDC00 | (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

// Reads one code point from a wide text; a lone surrogate passes as U+FFFD.
char32_t NextWide(std::wstring_view s, size_t& i) {
    char32_t c = static_cast<char32_t>(s[i++]);
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0xD800 && c < 0xDC00 && i < s.size()) {
            char32_t low = static_cast<char32_t>(s[i]);
            if (low >= 0xDC00 && low < 0xE000) {
                ++i;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        if (c >= 0xD800 && c < 0xE000) return 0xFFFD;
    }
    if (c > 0x10FFFF) return 0xFFFD;
    return c;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c;
        size_t extra;
        if (b < 0x80) { c = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { c = b & 0x07; extra = 3; }
        else { PutWide(out, 0xFFFD); ++i; continue; }
        bool ok = true;
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) { PutWide(out, 0xFFFD); ++i; continue; }
        i += extra + 1;
        PutWide(out, c);
    }
    return out;
}

std::string Utf8FromWide(std::wstring_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) PutUtf8(out, NextWide(s, i));
    return out;
}

std::u16string Utf16FromWide(std::wstring_view s) {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
    } else {
        std::u16string out;
        out.reserve(s.size());
        for (size_t i = 0; i < s.size();) {
            char32_t c = NextWide(s, i);
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<char16_t>(0xD800 | (c >> 10));
                out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
            } else {
                out += static_cast<char16_t>(c);
            }
        }
        return out;
    }
}

std::wstring WideFromUtf16(const char16_t* p) {
    std::wstring out;
    if (!p) return out;
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(reinterpret_cast<const wchar_t*>(p));
    } else {
        while (*p) {
            char32_t c = *p++;
            if (c >= 0xD800 && c < 0xDC00 && *p >= 0xDC00 && *p < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(*p++) - 0xDC00);
            } else if (c >= 0xD800 && c < 0xE000) {
                c = 0xFFFD;
            }
            out += static_cast<wchar_t>(c);
        }
        return out;
    }
}

std::wstring FormatWV(const wchar_t* format, va_list arguments) {
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list copy;
        va_copy(copy, arguments);
        int n = std::vswprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) return std::wstring(buffer.data(), n);
        // vswprintf reports neither the needed size nor the cause: grow and retry,
        // giving up only at a size no real text of this system reaches.
        if (buffer.size() >= (1u << 24)) return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

std::wstring FormatW(const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::wstring s = FormatWV(format, arguments);
    va_end(arguments);
    return s;
}

std::wstring FormatFixed(double value, int digits) {
    // The C runtimes spell these differently; a cell reads the same on every build.
    if (std::isnan(value)) return L"nan";
    if (std::isinf(value)) return value > 0 ? L"inf" : L"-inf";
    return FormatW(L"%.*f", ClampDecimals(digits), value);
}

int CompareFoldLatin(std::wstring_view a, std::wstring_view b) {
    auto fold = [](wchar_t c) -> unsigned long {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        return static_cast<unsigned long>(c);
    };
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned long x = fold(a[i]), y = fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Keys for the name comparison of the calculation: a text in which only the
// Latin letters A-Z are folded to lower case, so that two names are equal
// under EqualFoldLatin exactly when their keys are equal.
#pragma once

#include <string>
#include <string_view>

inline void FoldLatinInPlace(std::wstring& text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
}

inline std::wstring FoldLatin(std::wstring_view text) {
    std::wstring key(text);
    FoldLatinInPlace(key);
    return key;
}

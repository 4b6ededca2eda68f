// What a passport read gives, as bytes, for the fuzz targets to compare two
// reads exactly (NaN included): version, passport members, columns, and each
// channel's number and signal reals.
#pragma once

#include <string>

#include "data/norvane_file.h"
#include "base/text.h"

namespace fuzz {

struct MemberBytes {
    std::string out;
    void operator()(const wchar_t*, const std::wstring& v) {
        out += Utf8FromWide(v);
        out += '\0';
    }
    template <class T>
    void operator()(const wchar_t*, const T& v) {
        out.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
};

inline std::string PassportBytes(const CNorvaneFile4& f) {
    MemberBytes b;
    b.out += static_cast<char>(f.version);
    VisitMembers(f.passport, b);
    for (const ColumnInfo& c : f.passport.columns) VisitMembers(c, b);
    for (const FileChannel& ch : f.channels) {
        b(L"number", ch.number);
        b(L"signal1", ch.signal1);
        b(L"signal2", ch.signal2);
    }
    return b.out;
}

}  // namespace fuzz

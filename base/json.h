// JSON text: string literals and a writer of nested values. Every tool and the
// check's JSON output quote through here, so a text reads back the same
// wherever it was written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A JSON string literal, quotes included, of a UTF-8 text or a wide text.
std::string JsonQuote(std::string_view utf8);
std::string JsonQuote(std::wstring_view wide);

// A finite number with every digit it needs to read back exactly; JSON has no
// infinities or NaN, so those are null.
std::string JsonNumber(double value);

// Writes values one after the other, with the commas between them.
class JsonWriter {
public:
    void Open(char bracket);   // '{' or '['
    void Close(char bracket);  // '}' or ']'
    JsonWriter& Key(const char* key);
    void String(std::wstring_view text);
    // A finite number as JsonNumber; a real that has no value (NoValue) as
    // null; NaN and the infinities as the strings "nan", "inf" and "-inf", so
    // that a reader sees what was computed.
    void Real(double value);
    void Integer(int64_t value);
    void Bool(bool value);
    void Null();
    // A value already in JSON form.
    void Raw(std::string_view json);

    const std::string& Text() const { return out_; }

private:
    void Comma();
    std::string out_;
    bool first_ = true;
};

#include "base/json.h"

#include <cmath>
#include <cstdio>

#include "base/no_value.h"
#include "base/text.h"

std::string JsonQuote(std::string_view utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string JsonQuote(std::wstring_view wide) { return JsonQuote(Utf8FromWide(wide)); }

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

void JsonWriter::Open(char bracket) {
    Comma();
    out_ += bracket;
    first_ = true;
}

void JsonWriter::Close(char bracket) {
    out_ += bracket;
    first_ = false;
}

JsonWriter& JsonWriter::Key(const char* key) {
    Comma();
    out_ += JsonQuote(std::string_view(key));
    out_ += ':';
    first_ = true;  // the value follows without a comma
    return *this;
}

void JsonWriter::String(std::wstring_view text) { Raw(JsonQuote(text)); }

void JsonWriter::Real(double value) {
    if (!HasValue(value)) return Null();
    if (std::isnan(value)) return Raw("\"nan\"");
    if (std::isinf(value)) return Raw(value > 0 ? "\"inf\"" : "\"-inf\"");
    Raw(JsonNumber(value));
}

void JsonWriter::Integer(int64_t value) { Raw(std::to_string(value)); }
void JsonWriter::Bool(bool value) { Raw(value ? "true" : "false"); }
void JsonWriter::Null() { Raw("null"); }

void JsonWriter::Raw(std::string_view json) {
    Comma();
    out_ += json;
}

void JsonWriter::Comma() {
    if (!first_) out_ += ',';
    first_ = false;
}

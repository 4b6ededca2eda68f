// tessaro-file info FILE: prints a chromatogram file as JSON. A file that does
// not load prints {"error": CODE} with the loader's code and exits with 2.
#include <cstdio>
#include <cstring>
#include <string>

#include "data/norvane_file.h"
#include "base/json.h"
#include "base/text.h"

namespace {

// Writes members as "name": value pairs into one JSON object.
class ObjectWriter {
public:
    explicit ObjectWriter(std::string& out) : out_(out) { out_ += '{'; }
    void Key(const char* name) {
        if (!first_) out_ += ", ";
        first_ = false;
        out_ += JsonQuote(std::string_view(name)) + ": ";
    }
    void Raw(const char* name, const std::string& value) {
        Key(name);
        out_ += value;
    }
    void Close() { out_ += '}'; }

    void operator()(const wchar_t* name, const std::wstring& v) { Member(name, JsonQuote(v)); }
    void operator()(const wchar_t* name, int32_t v) { Member(name, std::to_string(v)); }
    void operator()(const wchar_t* name, uint32_t v) { Member(name, std::to_string(v)); }
    void operator()(const wchar_t* name, int64_t v) { Member(name, std::to_string(v)); }
    void operator()(const wchar_t* name, double v) { Member(name, JsonNumber(v)); }
    void operator()(const wchar_t* name, bool v) { Member(name, v ? "true" : "false"); }

private:
    void Member(const wchar_t* name, const std::string& value) { Raw(Utf8FromWide(name).c_str(), value); }
    std::string& out_;
    bool first_ = true;
};

template <class Item>
std::string Array(const Item* begin, const Item* end) {
    std::string out = "[";
    for (const Item* i = begin; i != end; ++i) {
        if (i != begin) out += ", ";
        ObjectWriter object(out);
        VisitMembers(*i, object);
        object.Close();
    }
    return out + "]";
}

std::string FileJson(const CNorvaneFile4& file) {
    std::string out;
    ObjectWriter top(out);
    top.Raw("version", std::to_string(file.version));
    top.Key("passport");
    {
        ObjectWriter passport(out);
        VisitMembers(file.passport, passport);
        const auto& columns = file.passport.columns;
        passport.Raw("columns", Array(columns.data(), columns.data() + columns.size()));
        passport.Close();
    }
    top.Key("channels");
    out += '[';
    for (size_t i = 0; i < file.channels.size(); ++i) {
        const FileChannel& channel = file.channels[i];
        if (i) out += ", ";
        ObjectWriter object(out);
        object.Raw("number", std::to_string(channel.number));
        object.Raw("samples", std::to_string(channel.samples.size()));
        object.Raw("signal1", JsonNumber(channel.signal1));
        object.Raw("signal2", JsonNumber(channel.signal2));
        object.Raw("peaks", Array(channel.peaks.data(), channel.peaks.data() + channel.peaks.size()));
        object.Close();
    }
    out += ']';
    top.Close();
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "info") != 0) {
        std::fprintf(stderr, "usage: tessaro-file info FILE\n");
        return 1;
    }
    CNorvaneFile4 file;
    int rc = file.LoadFromFile(WideFromUtf8(argv[2]));
    if (rc != 0) {
        std::printf("{\"error\": %d}\n", rc);
        return 2;
    }
    std::printf("%s\n", FileJson(file).c_str());
    return 0;
}

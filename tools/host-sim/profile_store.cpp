#include "tools/host-sim/profile_store.h"

#include <windows.h>

#include <string>
#include <vector>

#include "tools/host-sim/sim_text.h"

namespace {

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

ProfileStore::ProfileStore(std::wstring path) : path_(std::move(path)) {
    if (path_.empty()) return;
    std::string content;
    if (!ReadWholeFile(path_, content)) return;  // a new profile
    size_t start = 0;
    int lineNumber = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        size_t t1 = line.find('\t');
        size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string::npos) {
            loadError_ = L"line " + std::to_wstring(lineNumber) + L": expected type, key and value";
            continue;
        }
        std::string type = line.substr(0, t1);
        std::wstring key = WideFromUtf8Sim(line.substr(t1 + 1, t2 - t1 - 1));
        std::string value = line.substr(t2 + 1);
        if (type == "int") {
            ints_[key] = std::atoi(value.c_str());
        } else if (type == "str") {
            texts_[key] = WideFromUtf8Sim(Unescape(value));
        } else {
            loadError_ = L"line " + std::to_wstring(lineNumber) + L": unknown type";
        }
    }
}

bool ProfileStore::GetInt(const std::wstring& key, int& value) const {
    auto it = ints_.find(key);
    if (it == ints_.end()) return false;
    value = it->second;
    return true;
}

bool ProfileStore::GetText(const std::wstring& key, std::wstring& value) const {
    auto it = texts_.find(key);
    if (it == texts_.end()) return false;
    value = it->second;
    return true;
}

bool ProfileStore::SetInt(const std::wstring& key, int value) {
    ints_[key] = value;
    return Save();
}

bool ProfileStore::SetText(const std::wstring& key, const std::wstring& value) {
    texts_[key] = value;
    return Save();
}

bool ProfileStore::Save() {
    if (path_.empty()) return true;
    std::string content;
    for (const auto& [key, value] : ints_) content += "int\t" + Utf8FromWideSim(key) + "\t" + std::to_string(value) + "\n";
    for (const auto& [key, value] : texts_)
        content += "str\t" + Utf8FromWideSim(key) + "\t" + Escape(Utf8FromWideSim(value)) + "\n";
    // Write beside the file and replace it, so a failure never leaves half a profile.
    std::wstring temp = path_ + L".new";
    if (!WriteWholeFile(temp, content)) return false;
    return MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

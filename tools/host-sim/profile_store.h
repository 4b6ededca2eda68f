// The simulated host's profile: typed values by key path, kept in a UTF-8 text
// file that is rewritten after every change. One line per value:
//   int<TAB>key path<TAB>decimal value
//   str<TAB>key path<TAB>text, with \\ \t \n \r escaped
#pragma once

#include <map>
#include <string>

class ProfileStore {
public:
    // Reads the file if it exists; an empty path keeps the profile in memory only.
    explicit ProfileStore(std::wstring path);

    bool GetInt(const std::wstring& key, int& value) const;
    bool GetText(const std::wstring& key, std::wstring& value) const;
    bool SetInt(const std::wstring& key, int value);
    bool SetText(const std::wstring& key, const std::wstring& value);

    const std::wstring& LoadError() const { return loadError_; }

private:
    bool Save();
    std::wstring path_;
    std::map<std::wstring, int> ints_;
    std::map<std::wstring, std::wstring> texts_;
    std::wstring loadError_;
};

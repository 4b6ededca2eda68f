// Settings kept in the host profile through the four "Profile/" services.
// Every read and write asks the host whether the service is offered; nothing
// is cached. A setting is addressed by section and key.
#pragma once

#include <cstdint>
#include <string>

// "plugins\Tessaro" once the first menu command ran, empty before.
const std::wstring& GetProfilePrefix();
void SetProfilePrefix(const std::wstring& prefix);
inline constexpr const wchar_t* kProfilePrefix = L"plugins\\Tessaro";

// prefix\section/key, or section/key while the prefix is empty.
std::wstring SettingKeyPath(const std::wstring& section, const std::wstring& key);

// A stored 0 reads back as the default.
int32_t ReadSettingInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue);
bool WriteSettingInt(const std::wstring& section, const std::wstring& key, int32_t value);
// At most 127 characters; the default only when the host has no text.
std::wstring ReadSettingText(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue);
bool WriteSettingText(const std::wstring& section, const std::wstring& key, const std::wstring& text);

inline constexpr int kSettingTextCapacity = 128;  // characters, terminator included

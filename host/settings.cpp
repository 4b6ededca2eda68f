#include "host/settings.h"

#include <vector>

#include "host/services.h"

namespace {
std::wstring& Prefix() {
    static std::wstring prefix;
    return prefix;
}
}  // namespace

const std::wstring& GetProfilePrefix() { return Prefix(); }
void SetProfilePrefix(const std::wstring& prefix) { Prefix() = prefix; }

std::wstring SettingKeyPath(const std::wstring& section, const std::wstring& key) {
    const std::wstring& prefix = Prefix();
    if (prefix.empty()) return section + L"/" + key;
    return prefix + L"\\" + section + L"/" + key;
}

int32_t ReadSettingInt(const std::wstring& section, const std::wstring& key, int32_t defaultValue) {
    if (!HostServiceAvailable(HostNames::kProfileGetInt)) return defaultValue;
    std::wstring path = SettingKeyPath(section, key);
    int32_t value = 0;
    intptr_t found = HostCallService(HostNames::kProfileGetInt, reinterpret_cast<intptr_t>(path.c_str()),
                                     reinterpret_cast<intptr_t>(&value));
    if (found == 0 || value == 0) return defaultValue;
    return value;
}

bool WriteSettingInt(const std::wstring& section, const std::wstring& key, int32_t value) {
    if (!HostServiceAvailable(HostNames::kProfileSetInt)) return false;
    std::wstring path = SettingKeyPath(section, key);
    return HostCallService(HostNames::kProfileSetInt, reinterpret_cast<intptr_t>(path.c_str()),
                           reinterpret_cast<intptr_t>(&value)) != 0;
}

std::wstring ReadSettingText(const std::wstring& section, const std::wstring& key, const std::wstring& defaultValue) {
    if (!HostServiceAvailable(HostNames::kProfileGetString)) return defaultValue;
    std::wstring path = SettingKeyPath(section, key);
    std::vector<wchar_t> buffer(kSettingTextCapacity, L'\0');
    TextBuffer text{buffer.data(), kSettingTextCapacity};
    intptr_t found = HostCallService(HostNames::kProfileGetString, reinterpret_cast<intptr_t>(path.c_str()),
                                     reinterpret_cast<intptr_t>(&text));
    if (found == 0) return defaultValue;
    // A host that fills the whole buffer without a terminator still yields 127 characters.
    buffer.back() = L'\0';
    std::wstring result(buffer.data());
    if (result.size() > kSettingTextCapacity - 1) result.resize(kSettingTextCapacity - 1);
    return result;
}

bool WriteSettingText(const std::wstring& section, const std::wstring& key, const std::wstring& text) {
    if (!HostServiceAvailable(HostNames::kProfileSetString)) return false;
    std::wstring path = SettingKeyPath(section, key);
    return HostCallService(HostNames::kProfileSetString, reinterpret_cast<intptr_t>(path.c_str()),
                           reinterpret_cast<intptr_t>(text.c_str())) != 0;
}

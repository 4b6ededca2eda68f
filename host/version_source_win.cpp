// The DLL's own version resource through the Windows version API.
#include <windows.h>

#include <vector>

#include "host/version_info.h"

namespace {

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

class ModuleVersionSource : public VersionSource {
public:
    bool Open() override {
        wchar_t path[260] = {};
        DWORD n = GetModuleFileNameW(ThisModule(), path, 260);
        if (n == 0 || n >= 260) return false;
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path, &ignored);
        if (size == 0) return false;
        block_.assign(size, 0);
        return GetFileVersionInfoW(path, 0, size, block_.data()) != 0;
    }
    bool ProductVersion(uint32_t& high, uint32_t& low) override {
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), L"\\", &data, &length) || length < sizeof(VS_FIXEDFILEINFO)) return false;
        auto* fixed = static_cast<VS_FIXEDFILEINFO*>(data);
        high = fixed->dwProductVersionMS;
        low = fixed->dwProductVersionLS;
        return true;
    }
    std::vector<std::pair<uint16_t, uint16_t>> Translations() override {
        std::vector<std::pair<uint16_t, uint16_t>> pairs;
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &data, &length)) return pairs;
        auto* words = static_cast<const WORD*>(data);
        for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) pairs.emplace_back(words[i], words[i + 1]);
        return pairs;
    }
    bool QueryString(const std::wstring& path, std::wstring& value) override {
        void* data = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block_.data(), path.c_str(), &data, &length) || !data) return false;
        value.assign(static_cast<const wchar_t*>(data));
        return true;
    }

private:
    std::vector<unsigned char> block_;
};

}  // namespace

std::unique_ptr<VersionSource> CreateModuleVersionSource() { return std::make_unique<ModuleVersionSource>(); }

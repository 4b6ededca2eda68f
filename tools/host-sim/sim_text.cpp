#include "tools/host-sim/sim_text.h"

#include <windows.h>

#include "base/json.h"

std::wstring WideFromUtf8Sim(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n);
    return out;
}

std::string Utf8FromWideSim(const std::wstring& s) {
    if (s.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    content.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(f, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) content.append(buffer, got);
    CloseHandle(f);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const std::string& content) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) != 0 &&
              written == content.size();
    ok = CloseHandle(f) != 0 && ok;
    return ok;
}

std::string JsonString(const std::string& s) { return JsonQuote(s); }

std::string JsonWide(const wchar_t* text) { return text ? JsonString(Utf8FromWideSim(text)) : "null"; }

namespace {
void WriteTo(DWORD which, const std::string& s) {
    HANDLE h = GetStdHandle(which);
    DWORD written = 0;
    if (h && h != INVALID_HANDLE_VALUE) WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}
}  // namespace

void WriteOut(const std::string& s) { WriteTo(STD_OUTPUT_HANDLE, s); }
void WriteErr(const std::string& s) { WriteTo(STD_ERROR_HANDLE, s); }

#include "win/module.h"

#include <map>

#include "resources/resource.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace Module {

HINSTANCE Instance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::wstring Text(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a read-only pointer into the resource.
    int length = LoadStringW(Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

HICON SharedIcon(int size) {
    static std::map<int, HICON> icons;  // process lifetime, like the module's other resources
    auto found = icons.find(size);
    if (found != icons.end()) return found->second;
    int pixels = size > 0 ? size : GetSystemMetrics(SM_CXICON);
    auto icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_TESSARO), IMAGE_ICON, pixels, pixels, 0));
    icons[size] = icon;
    return icon;
}

namespace {
HANDLE Context() {
    static HANDLE context = [] {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(Instance(), path, MAX_PATH);
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = path;
        description.hModule = Instance();
        description.lpResourceName = MAKEINTRESOURCEW(IDR_MANIFEST);
        return CreateActCtxW(&description);
    }();
    return context;
}
}  // namespace

ActivationScope::ActivationScope() {
    HANDLE context = Context();
    if (context != INVALID_HANDLE_VALUE) active_ = ActivateActCtx(context, &cookie_) != FALSE;
}

ActivationScope::~ActivationScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

}  // namespace Module

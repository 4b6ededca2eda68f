#include "tools/host-sim/host_window.h"

#include <vector>

#include "tools/host-sim/sim_text.h"

namespace {

constexpr UINT kPluginMenuId = 100;
std::function<void()> g_onMenuCommand;

LRESULT CALLBACK HostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kPluginMenuId && g_onMenuCommand) g_onMenuCommand();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

void Dispatch(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialog(root) && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace

HWND CreateHostWindow(bool visible, std::function<void()> onMenuCommand) {
    g_onMenuCommand = std::move(onMenuCommand);
    WNDCLASSW type{};
    type.lpfnWndProc = HostProcedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    type.lpszClassName = L"TessaroHostSimulator";
    RegisterClassW(&type);
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Хост (имитация)", WS_OVERLAPPEDWINDOW, 20, 20, 900, 600,
                                  nullptr, nullptr, type.hInstance, nullptr);
    if (window && visible) ShowWindow(window, SW_SHOW);
    return window;
}

void AddHostMenuItem(HWND host, const std::wstring& path) {
    if (!host) return;
    HMENU bar = GetMenu(host);
    if (!bar) {
        bar = CreateMenu();
        SetMenu(host, bar);
    }
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t slash; (slash = path.find(L'/', start)) != std::wstring::npos; start = slash + 1)
        parts.push_back(path.substr(start, slash - start));
    parts.push_back(path.substr(start));
    HMENU menu = bar;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        HMENU sub = CreatePopupMenu();
        AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), parts[i].c_str());
        menu = sub;
    }
    AppendMenuW(menu, MF_STRING, kPluginMenuId, parts.back().c_str());
    DrawMenuBar(host);
}

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void RunUntilClosed() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
}

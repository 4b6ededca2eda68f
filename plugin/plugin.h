// The plug-in's entry points and its two host callbacks.
#pragma once

#include <cstdint>

#include "host/host_api.h"

#if defined(_WIN32)
#define TESSARO_EXPORT extern "C" __declspec(dllexport)
#else
#define TESSARO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TESSARO_EXPORT PluginInfo* GetPluginInfo();
TESSARO_EXPORT int32_t Load(HostServices* services);
TESSARO_EXPORT int32_t Unload();

inline constexpr const wchar_t* kMenuPath = L"Данные/Расчёты/Tessaro";
inline constexpr const wchar_t* kSupportEmail = L"support@tessaro.example";
inline constexpr const wchar_t* kWebAddress = L"https://tessaro.example/";

// The host callbacks (exposed for tests).
int OnModulesLoaded(intptr_t argument);
int OnMenuCommand(intptr_t hostWindow);

// The user-interface layer opens (first call: creates) the single main window
// owned by the host window. Until one is installed the menu command only
// prepares the locale and the profile prefix.
using MainWindowOpener = void (*)(intptr_t hostWindow);
void SetMainWindowOpener(MainWindowOpener opener);
// Destroys the main window if there is one; Unload calls it before it lets go
// of the host's service table.
using MainWindowCloser = void (*)();
void SetMainWindowCloser(MainWindowCloser closer);

// The handles the host returned, 0 until set (for tests).
int32_t EventHandleForTest();
int32_t CommandHandleForTest();

// The DLL's entry point. It only tells the host layer who opens the main
// window and who shows failures; the plug-in's work starts in Load.
#include <windows.h>

#include "host/guard.h"
#include "host/plugin.h"
#include "ui/dlg_main.h"
#include "win/dialog.h"

namespace {
void ReportInMessageBox(const char* where, const std::exception* error) { ShowFailureBox(nullptr, where, error); }
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        SetMainWindowOpener(&DlgMain::Open);
        SetMainWindowCloser(&DlgMain::Close);
        SetFailureReporter(&ReportInMessageBox);
    }
    return TRUE;
}

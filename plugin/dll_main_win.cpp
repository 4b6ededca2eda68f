// The DLL's entry point. It only wires the layers: who opens and closes the
// main window, how a failure is worded and who shows it; the plug-in's work
// starts in Load.
#include <windows.h>

#include "base/guard.h"
#include "plugin/plugin.h"
#include "ui/dlg_main.h"
#include "ui/model/failure_text.h"
#include "win/dialog.h"

namespace {
void ReportInMessageBox(const char* where, const std::exception* error) { ShowFailureBox(nullptr, where, error); }
}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        SetMainWindowOpener(&DlgMain::Open);
        SetMainWindowCloser(&DlgMain::Close);
        SetFailureTextFormatter(&FailureMessage);
        SetFailureReporter(&ReportInMessageBox);
    }
    return TRUE;
}

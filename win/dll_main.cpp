// The DLL's entry point. Nothing is set up here beyond what the loader needs;
// the plug-in's work starts in Load.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

// The DLL's own module: its instance handle, its texts and icon, and the
// activation context that gives its windows the version 6 common controls.
#pragma once

#include <windows.h>

#include <string>

namespace Module {

HINSTANCE Instance();

// A text of the string table; empty when it is missing.
std::wstring Text(UINT id);

// Icon resource 102 at the given size in pixels (0: the system's large icon),
// loaded once per process and kept; never destroy it.
HICON SharedIcon(int size);

// Windows created while a scope lives use the common controls of the DLL's
// manifest (version 6). Nested scopes are fine.
class ActivationScope {
public:
    ActivationScope();
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

}  // namespace Module

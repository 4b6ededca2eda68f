#include "host/services.h"

namespace {
HostServices* g_services = nullptr;
}  // namespace

HostServices* GetHostServices() { return g_services; }
void SetHostServices(HostServices* services) { g_services = services; }

bool HostServiceAvailable(const char* name) {
    return g_services && g_services->IsServiceAvailable && g_services->IsServiceAvailable(name) != 0;
}

intptr_t HostCallService(const char* name, intptr_t argument1, intptr_t argument2) {
    if (!g_services || !g_services->CallService) return 0;
    return g_services->CallService(name, argument1, argument2);
}

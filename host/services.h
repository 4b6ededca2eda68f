// The host's service table as the plug-in reaches it: set by Load, cleared by
// Unload, asked by everyone who calls a host service.
#pragma once

#include <cstdint>

#include "host/host_api.h"

// The table given to Load, or nullptr before Load and after Unload.
HostServices* GetHostServices();
void SetHostServices(HostServices* services);

// Service calls that tolerate a missing table (they answer "not offered").
bool HostServiceAvailable(const char* name);
intptr_t HostCallService(const char* name, intptr_t argument1, intptr_t argument2);

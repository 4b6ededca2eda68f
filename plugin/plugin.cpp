#include "plugin/plugin.h"

#include <clocale>
#include <cstring>
#include <memory>

#include "data/database_connection.h"
#include "base/guard.h"
#include "host/services.h"
#include "host/settings.h"
#include "host/version_info.h"

namespace {

int32_t g_eventHandle = 0;
int32_t g_commandHandle = 0;
std::unique_ptr<VersionInfoReader> g_infoReader;
MainWindowOpener g_opener = nullptr;
MainWindowCloser g_closer = nullptr;
// The first menu command of a load cycle sets the collation and the profile
// prefix; Unload ends the cycle.
bool g_prepared = false;

// {5D1C3E7A-92B4-4F0E-8A61-3C7B2E9D4F18}
constexpr uint8_t kIdentifier[16] = {0x7A, 0x3E, 0x1C, 0x5D, 0xB4, 0x92, 0x0E, 0x4F,
                                     0x8A, 0x61, 0x3C, 0x7B, 0x2E, 0x9D, 0x4F, 0x18};

}  // namespace

void SetMainWindowOpener(MainWindowOpener opener) { g_opener = opener; }
void SetMainWindowCloser(MainWindowCloser closer) { g_closer = closer; }
int32_t EventHandleForTest() { return g_eventHandle; }
int32_t CommandHandleForTest() { return g_commandHandle; }

PluginInfo* GetPluginInfo() {
    return CallGuarded<PluginInfo*>("GetPluginInfo", &GetPluginInfoBlock().info, [] {
        // Made on the first call, and again if the host asks after Unload.
        if (!g_infoReader) g_infoReader = std::make_unique<VersionInfoReader>();
        PluginInfo& info = GetPluginInfoBlock().info;
        info.supportEmail = kSupportEmail;
        info.webAddress = kWebAddress;
        std::memcpy(info.identifier, kIdentifier, sizeof kIdentifier);
        return &info;
    });
}

int32_t Load(HostServices* services) {
    return CallGuarded<int32_t>("Load", 0, [&] {
        SetHostServices(services);
        if (services && services->Subscribe)
            g_eventHandle = services->Subscribe(HostNames::kModulesLoaded, &OnModulesLoaded);
        return 0;
    });
}

int32_t Unload() {
    return CallGuarded<int32_t>("Unload", 0, [] {
        HostServices* services = GetHostServices();
        if (services && services->Unsubscribe) services->Unsubscribe(g_eventHandle);
        if (services && services->RemoveCommand) services->RemoveCommand(g_commandHandle);
        // A host that unloads before it closes its windows: the main window goes
        // now, while the service table still answers (its pages store their
        // settings on the way out), and not later through a table the host may
        // have freed, or after the module has left the process.
        if (g_closer) CallGuarded<int>("Unload: closing the main window", 0, [] {
            g_closer();
            return 0;
        });
        // From here on the plug-in calls no host service.
        SetHostServices(nullptr);
        g_eventHandle = 0;
        g_commandHandle = 0;
        g_prepared = false;
        g_infoReader.reset();
        return 0;
    });
}

int OnModulesLoaded(intptr_t) {
    return CallGuarded<int>("System/ModulesLoaded", 0, [] {
        HostServices* services = GetHostServices();
        if (!services) return 0;
        if (services->AddCommand) g_commandHandle = services->AddCommand(HostNames::kMenuCommand, &OnMenuCommand);

        MenuEntryInfo entry{};
        entry.size = static_cast<int32_t>(sizeof(MenuEntryInfo));
        entry.menuPath = kMenuPath;
        entry.reserved = 0;
        entry.commandName = HostNames::kMenuCommand;
        HostCallService(HostNames::kCreateNewMenu, 0, reinterpret_cast<intptr_t>(&entry));

        auto uri = reinterpret_cast<const wchar_t*>(HostCallService(HostNames::kGetConnectionUri, 0, 0));
        DataBaseConnection::GetInstance().SetUri(uri);
        return 0;
    });
}

int OnMenuCommand(intptr_t hostWindow) {
    return CallGuarded<int>("Tessaro/MenuCommand", 0, [&] {
        if (!g_prepared) {
            std::setlocale(LC_COLLATE, "rus");
            SetProfilePrefix(kProfilePrefix);
            g_prepared = true;
        }
        if (g_opener) g_opener(hostWindow);
        return 0;
    });
}

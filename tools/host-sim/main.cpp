// A simulated host application for the Tessaro plug-in: loads the DLL, offers
// the host service table, and records every call the plug-in makes as one JSON
// object per line on standard output.
//
//   host-sim [--dll PATH] --info
//   host-sim [--dll PATH] [--db FILE] [--profile FILE | --no-profile] [--menu-command N]
//            [--select-ids ID,ID,... | --select-all] [--auto SCENARIO | --interactive]
//            [--withdraw SERVICE]... [--unload-first]
//   with the report options of odt_export.h (--templates, --report-out, --temp, --export-test)
//
// The host has a main window of its own, hidden unless --interactive; it owns
// the plug-in's window. --auto runs a scenario file after the menu commands
// (one command, unless --menu-command says otherwise; see auto_run.cpp);
// --interactive shows the host window with the plug-in's menu item and runs
// until the person closes it. --withdraw makes the host answer that it does
// not offer the service (an older host version). --unload-first unloads the
// plug-in while its window is still open and spoils the service table right
// after, recording every call through it ("after-unload").
//
// The chromatogram selection "Main/OpenAssayIdDlgEx" is a real dialog over the
// visible assays of --db when interactive; otherwise it answers with the ids
// of --select-ids, or every visible assay with --select-all, or nothing (the
// scenario command "select" changes the answer). "Main/OpenAssayFile" is
// recorded, and shown in a message box when interactive.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "tools/host-sim/assay_select.h"
#include "win/window_messages.h"
#include "tools/host-sim/odt_export.h"
#include "tools/host-sim/host_window.h"
#include "tools/host-sim/profile_store.h"
#include "tools/host-sim/sim_text.h"

namespace {

struct Options {
    std::wstring dll;
    std::wstring db;
    std::wstring profile;
    bool noProfile = false;
    bool info = false;
    int menuCommands = -1;  // -1: not given
    std::wstring scenario;
    bool interactive = false;
    bool unloadFirst = false;  // --unload-first: Unload before the host window goes
    std::string selection;  // "all", a comma-separated id list, or empty (nothing chosen)
    std::set<std::string> withdrawn;  // --withdraw SERVICE: answered as not offered
};

struct Host {
    Options options;
    std::unique_ptr<ProfileStore> profile;
    std::wstring uri;
    int32_t nextHandle = 1;
    std::map<int32_t, std::pair<std::string, HostHandler>> subscriptions;
    std::map<int32_t, std::pair<std::string, HostHandler>> commands;
    HWND window = nullptr;
    std::wstring menuPath;  // the item the plug-in asked for
};
Host g_host;

void Record(const std::string& json) { WriteOut(json + "\n"); }

bool IsProfileService(const std::string& name) { return name.rfind("Profile/", 0) == 0; }

bool Offered(const std::string& name) {
    if (IsProfileService(name))
        return !g_host.options.noProfile &&
               (name == HostNames::kProfileGetInt || name == HostNames::kProfileSetInt ||
                name == HostNames::kProfileGetString || name == HostNames::kProfileSetString);
    if (g_host.options.withdrawn.count(name)) return false;
    // The test service arms the plug-in's failures on purpose (--withdraw it to
    // see that they stay disarmed, as with a real host).
    return name == HostNames::kCreateNewMenu || name == HostNames::kGetConnectionUri ||
           name == HostNames::kExportToOdt || name == HostNames::kOpenAssayIdDlgEx ||
           name == HostNames::kOpenAssayFile || name == kTestHooksService;
}

int32_t HostSubscribe(const char* event, HostHandler handler) {
    int32_t handle = g_host.nextHandle++;
    g_host.subscriptions[handle] = {event ? event : "", handler};
    Record("{\"call\":\"Subscribe\",\"name\":" + JsonString(event ? event : "") + ",\"handle\":" +
           std::to_string(handle) + "}");
    return handle;
}

int32_t HostUnsubscribe(int32_t handle) {
    bool known = g_host.subscriptions.erase(handle) > 0;
    Record("{\"call\":\"Unsubscribe\",\"handle\":" + std::to_string(handle) + ",\"known\":" +
           (known ? "true" : "false") + "}");
    return 0;
}

int32_t HostAddCommand(const char* name, HostHandler handler) {
    int32_t handle = g_host.nextHandle++;
    g_host.commands[handle] = {name ? name : "", handler};
    Record("{\"call\":\"AddCommand\",\"name\":" + JsonString(name ? name : "") + ",\"handle\":" +
           std::to_string(handle) + "}");
    return handle;
}

int32_t HostRemoveCommand(int32_t handle) {
    bool known = g_host.commands.erase(handle) > 0;
    Record("{\"call\":\"RemoveCommand\",\"handle\":" + std::to_string(handle) + ",\"known\":" +
           (known ? "true" : "false") + "}");
    return 0;
}

int32_t HostIsServiceAvailable(const char* name) {
    std::string n = name ? name : "";
    bool offered = Offered(n);
    Record("{\"call\":\"IsServiceAvailable\",\"name\":" + JsonString(n) + ",\"result\":" + (offered ? "1" : "0") + "}");
    return offered ? 1 : 0;
}

intptr_t ProfileService(const std::string& name, intptr_t a1, intptr_t a2) {
    if (g_host.options.noProfile) return 0;
    const wchar_t* keyText = reinterpret_cast<const wchar_t*>(a1);
    std::wstring key = keyText ? keyText : L"";
    std::string head = "{\"call\":\"CallService\",\"name\":" + JsonString(name) + ",\"key\":" + JsonWide(key.c_str());
    if (name == HostNames::kProfileGetInt) {
        int value = 0;
        bool found = g_host.profile->GetInt(key, value);
        if (found && a2) *reinterpret_cast<int32_t*>(a2) = value;
        Record(head + ",\"found\":" + (found ? "true" : "false") + ",\"value\":" + std::to_string(value) + "}");
        return found ? 1 : 0;
    }
    if (name == HostNames::kProfileSetInt) {
        int value = a2 ? *reinterpret_cast<const int32_t*>(a2) : 0;
        bool ok = a2 && g_host.profile->SetInt(key, value);
        Record(head + ",\"value\":" + std::to_string(value) + ",\"result\":" + (ok ? "1" : "0") + "}");
        return ok ? 1 : 0;
    }
    if (name == HostNames::kProfileGetString) {
        auto* buffer = reinterpret_cast<TextBuffer*>(a2);
        std::wstring value;
        bool found = g_host.profile->GetText(key, value);
        if (found && buffer && buffer->text && buffer->capacity > 0) {
            size_t n = value.size() < static_cast<size_t>(buffer->capacity - 1) ? value.size() : buffer->capacity - 1;
            value.copy(buffer->text, n);
            buffer->text[n] = L'\0';
        }
        Record(head + ",\"found\":" + (found ? "true" : "false") + ",\"value\":" + JsonWide(value.c_str()) + "}");
        return found ? 1 : 0;
    }
    if (name == HostNames::kProfileSetString) {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(a2);
        bool ok = text && g_host.profile->SetText(key, text);
        Record(head + ",\"value\":" + JsonWide(text) + ",\"result\":" + (ok ? "1" : "0") + "}");
        return ok ? 1 : 0;
    }
    return 0;
}

std::string IdsJson(const std::vector<int32_t>& ids) {
    std::string json = "[";
    for (size_t i = 0; i < ids.size(); ++i) json += (i ? "," : "") + std::to_string(ids[i]);
    return json + "]";
}

// The ids the selection answers with when nobody is there to choose.
std::vector<int32_t> AutomaticSelection(std::string& error) {
    std::vector<int32_t> ids;
    const std::string& selection = g_host.options.selection;
    if (selection == "all") {
        std::vector<VisibleAssay> assays;
        if (!ReadVisibleAssays(g_host.uri, assays, error)) return ids;
        for (const VisibleAssay& assay : assays) ids.push_back(assay.id);
        return ids;
    }
    size_t start = 0;
    while (start < selection.size()) {
        size_t comma = selection.find(',', start);
        std::string part = selection.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!part.empty()) ids.push_back(static_cast<int32_t>(std::strtol(part.c_str(), nullptr, 10)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return ids;
}

intptr_t OpenAssayIdDlgExService(intptr_t a1, intptr_t a2) {
    auto* buffer = reinterpret_cast<IdBuffer*>(a1);
    std::string head = "{\"call\":\"CallService\",\"name\":" + JsonString(HostNames::kOpenAssayIdDlgEx) +
                       ",\"capacity\":" + std::to_string(buffer ? buffer->capacity : -1) +
                       ",\"owner\":" + (a2 ? "true" : "false");
    std::string error;
    std::vector<int32_t> ids;
    if (g_host.options.interactive) {
        std::vector<VisibleAssay> assays;
        if (ReadVisibleAssays(g_host.uri, assays, error))
            ids = ChooseAssays(a2 ? reinterpret_cast<HWND>(a2) : g_host.window, assays);
    } else {
        ids = AutomaticSelection(error);
    }
    if (!buffer || !buffer->ids || buffer->capacity < 0) ids.clear();
    // The host writes what fits and says how many it chose.
    int32_t written = 0;
    for (int32_t id : ids)
        if (written < buffer->capacity) buffer->ids[written++] = id;
    Record(head + ",\"ids\":" + IdsJson(ids) + ",\"error\":" + JsonString(error) +
           ",\"result\":" + std::to_string(ids.size()) + "}");
    return static_cast<intptr_t>(ids.size());
}

intptr_t OpenAssayFileService(intptr_t a1, intptr_t a2) {
    const wchar_t* path = reinterpret_cast<const wchar_t*>(a2);
    Record("{\"call\":\"CallService\",\"name\":" + JsonString(HostNames::kOpenAssayFile) +
           ",\"argument1\":" + std::to_string(a1) + ",\"path\":" + JsonWide(path) + "}");
    if (g_host.options.interactive) {
        std::wstring text = L"Открыть файл хроматограммы:\n" + std::wstring(path ? path : L"");
        MessageBoxW(g_host.window, text.c_str(), L"Хост (имитация)", MB_OK | MB_ICONINFORMATION);
    }
    return 1;
}

intptr_t HostCallService(const char* serviceName, intptr_t a1, intptr_t a2) {
    std::string name = serviceName ? serviceName : "";
    if (IsProfileService(name)) return ProfileService(name, a1, a2);
    if (name == HostNames::kExportToOdt) return ExportToOdtService(a1, a2);
    if (name == HostNames::kOpenAssayIdDlgEx) return OpenAssayIdDlgExService(a1, a2);
    if (name == HostNames::kOpenAssayFile) return OpenAssayFileService(a1, a2);
    if (name == HostNames::kCreateNewMenu) {
        auto* entry = reinterpret_cast<const MenuEntryInfo*>(a2);
        if (!entry) {
            Record("{\"call\":\"CallService\",\"name\":" + JsonString(name) + ",\"entry\":null}");
            return 0;
        }
        Record("{\"call\":\"CallService\",\"name\":" + JsonString(name) + ",\"argument1\":" + std::to_string(a1) +
               ",\"size\":" + std::to_string(entry->size) + ",\"path\":" + JsonWide(entry->menuPath) +
               ",\"reserved\":" + std::to_string(entry->reserved) +
               ",\"command\":" + JsonString(entry->commandName ? entry->commandName : "") + "}");
        if (entry->menuPath) g_host.menuPath = entry->menuPath;
        return 1;
    }
    if (name == HostNames::kGetConnectionUri) {
        Record("{\"call\":\"CallService\",\"name\":" + JsonString(name) + ",\"result\":" +
               JsonWide(g_host.uri.c_str()) + "}");
        return reinterpret_cast<intptr_t>(g_host.uri.c_str());
    }
    Record("{\"call\":\"CallService\",\"name\":" + JsonString(name) + ",\"unknown\":true}");
    return 0;
}

HostServices g_services = {nullptr,        nullptr,           nullptr,         &HostSubscribe,
                           &HostUnsubscribe, &HostAddCommand, &HostRemoveCommand, &HostCallService,
                           &HostIsServiceAvailable};

// What stands in the service table once the plug-in is unloaded with
// --unload-first: a host may free its table then, so every call through it
// is recorded as a fault ("after-unload") and answered with nothing.
void AfterUnload(const char* entry) { Record("{\"host\":\"after-unload\",\"entry\":" + JsonString(entry) + "}"); }
int32_t PoisonSubscribe(const char*, HostHandler) { return AfterUnload("Subscribe"), 0; }
int32_t PoisonHandle(int32_t) { return AfterUnload("Unsubscribe/RemoveCommand"), 0; }
int32_t PoisonAddCommand(const char*, HostHandler) { return AfterUnload("AddCommand"), 0; }
intptr_t PoisonCallService(const char* name, intptr_t, intptr_t) { return AfterUnload(name ? name : ""), 0; }
int32_t PoisonIsServiceAvailable(const char* name) { return AfterUnload(name ? name : ""), 0; }
void PoisonServices() {
    g_services = {nullptr,           nullptr,       nullptr,           &PoisonSubscribe,          &PoisonHandle,
                  &PoisonAddCommand, &PoisonHandle, &PoisonCallService, &PoisonIsServiceAvailable};
}

void RaiseEvent(const std::string& event) {
    Record("{\"host\":\"raise\",\"name\":" + JsonString(event) + "}");
    // Copy first: a handler may subscribe or unsubscribe.
    auto subscriptions = g_host.subscriptions;
    for (const auto& [handle, entry] : subscriptions)
        if (entry.first == event && entry.second) entry.second(0);
}

bool FireCommand(const std::string& command) {
    for (const auto& [handle, entry] : g_host.commands) {
        if (entry.first == command && entry.second) {
            Record("{\"host\":\"command\",\"name\":" + JsonString(command) + "}");
            int result = entry.second(reinterpret_cast<intptr_t>(g_host.window));
            Record("{\"host\":\"command-result\",\"result\":" + std::to_string(result) + "}");
            return true;
        }
    }
    Record("{\"host\":\"command-missing\",\"name\":" + JsonString(command) + "}");
    return false;
}

std::wstring Hex(uint32_t value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08X", value);
    return text;
}

void PrintInfo(const PluginInfo* info) {
    if (!info) {
        WriteOut("{\"info\":null}\n");
        return;
    }
    // The three texts the size does not count follow the record.
    auto extra = reinterpret_cast<const wchar_t* const*>(info + 1);
    char guid[40];
    const uint8_t* g = info->identifier;
    std::snprintf(guid, sizeof guid, "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", g[3], g[2],
                  g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
    std::string json = "{\"size\":" + std::to_string(info->size) + ",\"name\":" + JsonWide(info->name) +
                       ",\"version\":" + std::to_string(info->version) +
                       ",\"versionHex\":" + JsonWide(Hex(info->version).c_str()) +
                       ",\"description\":" + JsonWide(info->description) + ",\"company\":" + JsonWide(info->company) +
                       ",\"supportEmail\":" + JsonWide(info->supportEmail) +
                       ",\"legalNotice\":" + JsonWide(info->legalNotice) + ",\"webAddress\":" + JsonWide(info->webAddress) +
                       ",\"identifier\":" + JsonString(guid) + ",\"fileVersion\":" + JsonWide(extra[0]) +
                       ",\"productVersion\":" + JsonWide(extra[1]) + ",\"originalFilename\":" + JsonWide(extra[2]) +
                       ",\"pointerSize\":" + std::to_string(sizeof(void*)) + "}";
    WriteOut(json + "\n");
}

bool ParseArguments(int argc, wchar_t** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::wstring a = argv[i];
        auto value = [&](std::wstring& target) {
            if (i + 1 >= argc) {
                error = "missing value after " + Utf8FromWideSim(a);
                return false;
            }
            target = argv[++i];
            return true;
        };
        if (a == L"--dll") { if (!value(o.dll)) return false; }
        else if (a == L"--db") { if (!value(o.db)) return false; }
        else if (a == L"--profile") { if (!value(o.profile)) return false; }
        else if (a == L"--no-profile") o.noProfile = true;
        else if (a == L"--info") o.info = true;
        else if (a == L"--auto") { if (!value(o.scenario)) return false; }
        else if (a == L"--interactive") o.interactive = true;
        else if (a == L"--unload-first") o.unloadFirst = true;
        else if (a == L"--select-all") o.selection = "all";
        else if (a == L"--select-ids") {
            std::wstring ids;
            if (!value(ids)) return false;
            o.selection = Utf8FromWideSim(ids);
        }
        else if (a == L"--withdraw") {
            std::wstring service;
            if (!value(service)) return false;
            o.withdrawn.insert(Utf8FromWideSim(service));
        }
        else if (a == L"--menu-command") {
            std::wstring n;
            if (!value(n)) return false;
            o.menuCommands = _wtoi(n.c_str());
        } else if (int taken = TakeExportOption(argc, argv, i, error)) {
            if (taken < 0) return false;
        } else {
            error = "unknown argument " + Utf8FromWideSim(a);
            return false;
        }
    }
    return true;
}

std::wstring DefaultDllPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    size_t slash = p.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : p.substr(0, slash + 1)) + L"Tessaro.dll";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::string error;
    if (!ParseArguments(argc, argv, g_host.options, error)) {
        WriteErr("host-sim: " + error + "\n");
        return 2;
    }
    if (ExportTestRequested()) return RunExportTest();
    Options& o = g_host.options;
    if (o.dll.empty()) o.dll = DefaultDllPath();
    g_host.uri = o.db;
    g_host.profile = std::make_unique<ProfileStore>(o.profile);
    if (!g_host.profile->LoadError().empty()) {
        WriteErr("host-sim: profile " + Utf8FromWideSim(o.profile) + ": " +
                 Utf8FromWideSim(g_host.profile->LoadError()) + "\n");
        return 2;
    }

    HMODULE module = LoadLibraryW(o.dll.c_str());
    if (!module) {
        WriteErr("host-sim: cannot load " + Utf8FromWideSim(o.dll) + " (error " + std::to_string(GetLastError()) + ")\n");
        return 3;
    }
    using GetInfoFn = PluginInfo* (*)();
    using LoadFn = int32_t (*)(HostServices*);
    using UnloadFn = int32_t (*)();
    auto getInfo = reinterpret_cast<GetInfoFn>(reinterpret_cast<void*>(GetProcAddress(module, "GetPluginInfo")));
    auto load = reinterpret_cast<LoadFn>(reinterpret_cast<void*>(GetProcAddress(module, "Load")));
    auto unload = reinterpret_cast<UnloadFn>(reinterpret_cast<void*>(GetProcAddress(module, "Unload")));
    if (!getInfo || !load || !unload) {
        WriteErr("host-sim: the DLL lacks GetPluginInfo, Load or Unload\n");
        FreeLibrary(module);
        return 3;
    }

    const PluginInfo* info = getInfo();
    if (o.info) {
        PrintInfo(info);
        unload();
        FreeLibrary(module);
        return 0;
    }

    Record("{\"host\":\"plugin\",\"name\":" + JsonWide(info ? info->name : nullptr) + "}");
    int32_t loadResult = load(&g_services);
    Record("{\"host\":\"load-result\",\"result\":" + std::to_string(loadResult) + "}");
    g_host.window = CreateHostWindow(o.interactive, [] { FireCommand(HostNames::kMenuCommand); });
    RaiseEvent(HostNames::kModulesLoaded);
    int commands = o.menuCommands >= 0 ? o.menuCommands : (o.scenario.empty() ? 0 : 1);
    for (int i = 0; i < commands; ++i) FireCommand(HostNames::kMenuCommand);
    int exitCode = 0;
    if (!o.scenario.empty()) {
        ScenarioHooks hooks;
        hooks.host = g_host.window;
        hooks.menuCommand = [] { FireCommand(HostNames::kMenuCommand); };
        hooks.record = Record;
        hooks.select = [](const std::string& selection) { g_host.options.selection = selection; };
        PumpPending();
        std::string scenarioError;
        if (!RunScenario(o.scenario, hooks, scenarioError)) {
            WriteErr("host-sim: " + scenarioError + "\n");
            exitCode = 4;
        }
    } else if (o.interactive) {
        AddHostMenuItem(g_host.window, g_host.menuPath);
        RunUntilClosed();
        g_host.window = nullptr;
    }
    // The host closes its window before it unloads its plug-ins; the plug-in's
    // window goes with it. With --unload-first the other way round, and the
    // service table is spoilt right after Unload.
    if (g_host.window && !o.unloadFirst) DestroyWindow(g_host.window);
    PumpPending();
    int32_t unloadResult = unload();
    if (o.unloadFirst) {
        PoisonServices();
        if (g_host.window) DestroyWindow(g_host.window);
        PumpPending();
    }
    g_host.window = nullptr;
    Record("{\"host\":\"unload-result\",\"result\":" + std::to_string(unloadResult) + ",\"subscriptions\":" +
           std::to_string(g_host.subscriptions.size()) + ",\"commands\":" + std::to_string(g_host.commands.size()) + "}");
    FreeLibrary(module);
    return exitCode;
}

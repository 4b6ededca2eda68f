// An in-process host for unit tests: a service table over a profile held in
// memory, a record of every call, and switches to withdraw services.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/host_api.h"

class FakeHost {
public:
    // Installs a fresh host as the plug-in's service table; the destructor removes it.
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    static FakeHost& Current();
    HostServices* Table() { return &table_; }

    // Services the host answers IsServiceAvailable for.
    std::set<std::string> offered;
    void WithdrawProfile();

    // The profile, by key path.
    std::map<std::wstring, int32_t> ints;
    std::map<std::wstring, std::wstring> texts;
    // When set, "Profile/GetString" answers found with this text for every key.
    bool stringAlwaysFound = false;

    // What the plug-in did, in order: "Subscribe System/ModulesLoaded", "CallService Profile/GetInt", ...
    std::vector<std::string> calls;
    std::vector<std::wstring> keysRead;  // key paths of Profile/Get* calls

    // Subscriptions and commands the plug-in holds, by handle.
    std::map<int32_t, std::pair<std::string, HostHandler>> subscriptions, commands;
    std::vector<MenuEntryInfo> menus;
    std::vector<std::wstring> menuPaths;
    std::wstring uri = L"C:\\Host\\data.db";
    bool uriIsNull = false;

    // Runs every handler subscribed to the event; fires a command by name.
    void Raise(const std::string& event);
    bool Fire(const std::string& command, intptr_t argument = 0);

    // A service the test handles itself (name -> result).
    std::map<std::string, intptr_t (*)(intptr_t, intptr_t)> extraServices;

private:
    HostServices table_{};
    HostServices* previous_ = nullptr;
    int32_t nextHandle_ = 1;
    friend struct FakeHostCallbacks;
};

// Restores the plug-in's process-wide settings state (prefix, loaded values).
void ResetPluginSettingsState();

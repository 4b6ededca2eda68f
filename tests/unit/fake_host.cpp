#include "tests/unit/fake_host.h"

#include <stdexcept>

#include "host/program_settings.h"
#include "host/services.h"
#include "host/settings.h"

namespace {
FakeHost* g_current = nullptr;
}

struct FakeHostCallbacks {
    static FakeHost& H() { return FakeHost::Current(); }
    static int32_t Subscribe(const char* event, HostHandler handler) {
        int32_t h = H().nextHandle_++;
        H().subscriptions[h] = {event, handler};
        H().calls.push_back(std::string("Subscribe ") + event);
        return h;
    }
    static int32_t Unsubscribe(int32_t handle) {
        H().subscriptions.erase(handle);
        H().calls.push_back("Unsubscribe " + std::to_string(handle));
        return 0;
    }
    static int32_t AddCommand(const char* name, HostHandler handler) {
        int32_t h = H().nextHandle_++;
        H().commands[h] = {name, handler};
        H().calls.push_back(std::string("AddCommand ") + name);
        return h;
    }
    static int32_t RemoveCommand(int32_t handle) {
        H().commands.erase(handle);
        H().calls.push_back("RemoveCommand " + std::to_string(handle));
        return 0;
    }
    static int32_t IsServiceAvailable(const char* name) {
        H().calls.push_back(std::string("IsServiceAvailable ") + name);
        return H().offered.count(name) ? 1 : 0;
    }
    static intptr_t CallService(const char* name, intptr_t a1, intptr_t a2) {
        FakeHost& h = H();
        std::string n = name;
        h.calls.push_back("CallService " + n);
        auto key = [&] { return std::wstring(reinterpret_cast<const wchar_t*>(a1)); };
        if (n == HostNames::kProfileGetInt) {
            h.keysRead.push_back(key());
            auto it = h.ints.find(key());
            if (it == h.ints.end()) return 0;
            *reinterpret_cast<int32_t*>(a2) = it->second;
            return 1;
        }
        if (n == HostNames::kProfileSetInt) {
            h.ints[key()] = *reinterpret_cast<const int32_t*>(a2);
            return 1;
        }
        if (n == HostNames::kProfileGetString) {
            h.keysRead.push_back(key());
            auto* buffer = reinterpret_cast<TextBuffer*>(a2);
            auto it = h.texts.find(key());
            if (it == h.texts.end() && !h.stringAlwaysFound) return 0;
            std::wstring value = it == h.texts.end() ? std::wstring() : it->second;
            size_t n2 = std::min<size_t>(value.size(), buffer->capacity - 1);
            value.copy(buffer->text, n2);
            buffer->text[n2] = L'\0';
            return 1;
        }
        if (n == HostNames::kProfileSetString) {
            h.texts[key()] = reinterpret_cast<const wchar_t*>(a2);
            return 1;
        }
        if (n == HostNames::kCreateNewMenu) {
            auto* entry = reinterpret_cast<const MenuEntryInfo*>(a2);
            h.menus.push_back(*entry);
            h.menuPaths.push_back(entry->menuPath);
            return 1;
        }
        if (n == HostNames::kGetConnectionUri) return h.uriIsNull ? 0 : reinterpret_cast<intptr_t>(h.uri.c_str());
        auto extra = h.extraServices.find(n);
        if (extra != h.extraServices.end()) return extra->second(a1, a2);
        return 0;
    }
};

FakeHost::FakeHost() {
    if (g_current) throw std::logic_error("one FakeHost at a time");
    g_current = this;
    offered = {HostNames::kProfileGetInt, HostNames::kProfileSetInt, HostNames::kProfileGetString,
               HostNames::kProfileSetString};
    table_.Subscribe = &FakeHostCallbacks::Subscribe;
    table_.Unsubscribe = &FakeHostCallbacks::Unsubscribe;
    table_.AddCommand = &FakeHostCallbacks::AddCommand;
    table_.RemoveCommand = &FakeHostCallbacks::RemoveCommand;
    table_.CallService = &FakeHostCallbacks::CallService;
    table_.IsServiceAvailable = &FakeHostCallbacks::IsServiceAvailable;
    previous_ = GetHostServices();
    SetHostServices(&table_);
}

FakeHost::~FakeHost() {
    SetHostServices(previous_);
    g_current = nullptr;
}

FakeHost& FakeHost::Current() {
    if (!g_current) throw std::logic_error("no FakeHost installed");
    return *g_current;
}

void FakeHost::WithdrawProfile() {
    offered.erase(HostNames::kProfileGetInt);
    offered.erase(HostNames::kProfileSetInt);
    offered.erase(HostNames::kProfileGetString);
    offered.erase(HostNames::kProfileSetString);
}

void FakeHost::Raise(const std::string& event) {
    auto copy = subscriptions;
    for (auto& [handle, entry] : copy)
        if (entry.first == event) entry.second(0);
}

bool FakeHost::Fire(const std::string& command, intptr_t argument) {
    for (auto& [handle, entry] : commands)
        if (entry.first == command) return entry.second(argument), true;
    return false;
}

void ResetPluginSettingsState() {
    SetProfilePrefix(L"");
    ResetProgramSettingsForTest();
}

// Fuzz target of the settings read from the host profile: the input is a
// damaged or hostile profile (every "Profile/GetInt" and "Profile/GetString"
// answers with the next bytes). Loading the program settings and the component
// catalogue and applying a typed settings form keep the decimals in range, the
// catalogue its nineteen entries, every text within its 127 characters, and
// ask the host a bounded number of times.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalogue/component_catalogue.h"
#include "host/services.h"
#include "host/program_settings.h"
#include "host/settings.h"
#include "base/text.h"
#include "tests/fuzz/fuzz_input.h"
#include "ui/model/settings_form.h"

namespace {

// The profile the fuzzer plays; this target is the host.
struct Profile : FuzzInput {
    size_t calls = 0;
} g_profile;

HostServices g_table{};

}  // namespace

HostServices* GetHostServices() { return &g_table; }
void SetHostServices(HostServices*) {}
bool HostServiceAvailable(const char* name) { return std::strncmp(name, "Profile/", 8) == 0; }

intptr_t HostCallService(const char* name, intptr_t argument1, intptr_t argument2) {
    ++g_profile.calls;
    if (!argument1) std::abort();  // every call names its key
    const std::string service = name;
    if (service == HostNames::kProfileGetInt) {
        *reinterpret_cast<int32_t*>(argument2) = g_profile.Take<int32_t>();
        return g_profile.Take<uint8_t>() & 1;
    }
    if (service == HostNames::kProfileGetString) {
        auto* text = reinterpret_cast<TextBuffer*>(argument2);
        // A hostile host fills as much of the buffer as it likes, terminated or not.
        const size_t length = g_profile.Take<uint8_t>() % (static_cast<size_t>(text->capacity) + 1);
        for (size_t i = 0; i < length; ++i) text->text[i] = static_cast<wchar_t>(g_profile.Take<uint16_t>());
        if (length < static_cast<size_t>(text->capacity)) text->text[length] = L'\0';
        return g_profile.Take<uint8_t>() & 1;
    }
    return 1;  // writes succeed
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_profile = Profile{};
    g_profile.data = data;
    g_profile.size = size;
    ResetProgramSettingsForTest();
    ResetCatalogueForTest();
    SetProfilePrefix(kProfilePrefix);

    ProgramSettingsAccessor settings;
    if (settings.DigitsInProgram() != ClampDecimals(settings.DigitsInProgram()) ||
        settings.DigitsInReport() != ClampDecimals(settings.DigitsInReport()))
        std::abort();
    if (g_profile.calls != 4) std::abort();

    CreateDefaultCatalogue();
    const size_t before = g_profile.calls;
    LoadCatalogue();
    const auto& entries = GetComponentCatalogue().Entries();
    if (entries.size() != 19 || g_profile.calls - before > 1 + 2 * entries.size()) std::abort();
    for (const auto& entry : entries)
        if (entry->name.empty() || entry->altName.empty() || entry->name.size() > 127 || entry->altName.size() > 127)
            std::abort();

    // The settings dialog's OK with what the rest of the input types.
    SettingsForm form;
    form.digitsInProgram = ReadSettingText(L"Fuzz", L"program", L"");
    form.digitsInReport = ReadSettingText(L"Fuzz", L"report", L"");
    ApplySettingsForm(form);
    if (settings.DigitsInProgram() < kMinDecimals || settings.DigitsInProgram() > kMaxDecimals ||
        settings.DigitsInReport() < kMinDecimals || settings.DigitsInReport() > kMaxDecimals)
        std::abort();
    return 0;
}

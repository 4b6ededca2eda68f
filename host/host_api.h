// The binary interface between the host application and the plug-in: the
// service table handed to Load, the records passed through it, and the plug-in
// description. Everything here is plain C layout; the deliverable is a 32-bit
// DLL, where pointers and handles are 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// A host event or command handler: one pointer-sized argument, result 0.
typedef int (*HostHandler)(intptr_t argument);

struct HostServices {
    void* reserved1;  // entries 1-3 belong to the host and are never called
    void* reserved2;
    void* reserved3;
    int32_t (*Subscribe)(const char* eventName, HostHandler handler);
    int32_t (*Unsubscribe)(int32_t handle);
    int32_t (*AddCommand)(const char* commandName, HostHandler handler);
    int32_t (*RemoveCommand)(int32_t handle);
    intptr_t (*CallService)(const char* serviceName, intptr_t argument1, intptr_t argument2);
    int32_t (*IsServiceAvailable)(const char* serviceName);
};

// Argument 2 of "MainMenu/CreateNewMenu".
struct MenuEntryInfo {
    int32_t size;             // sizeof(MenuEntryInfo)
    const wchar_t* menuPath;  // "Данные/Расчёты/Tessaro"
    int32_t reserved;         // 0
    const char* commandName;  // "Tessaro/MenuCommand"
};

// Argument 2 of "Profile/GetString": the host writes a terminated text.
struct TextBuffer {
    wchar_t* text;
    int32_t capacity;  // in characters, terminator included
};

// Argument 1 of "Main/OpenAssayIdDlgEx": the host writes database ids.
struct IdBuffer {
    int32_t* ids;
    int32_t capacity;  // in entries
};

// The plug-in description returned by GetPluginInfo; texts owned by the plug-in.
struct PluginInfo {
    int32_t size;
    const wchar_t* name;
    uint32_t version;  // major<<24 | minor<<16 | build<<8 | revision
    const wchar_t* description;
    const wchar_t* company;
    const wchar_t* supportEmail;
    const wchar_t* legalNotice;
    const wchar_t* webAddress;
    uint8_t identifier[16];
};

}  // extern "C"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4, "the 32-bit build has 4-byte pointers");
static_assert(sizeof(PluginInfo) == 48, "PluginInfo is 48 bytes in the 32-bit host");
static_assert(offsetof(PluginInfo, version) == 8, "PluginInfo layout");
static_assert(offsetof(PluginInfo, identifier) == 32, "PluginInfo layout");
static_assert(sizeof(MenuEntryInfo) == 16, "MenuEntryInfo is 16 bytes in the 32-bit host");
static_assert(sizeof(HostServices) == 36, "nine 4-byte entries");
static_assert(sizeof(TextBuffer) == 8 && sizeof(IdBuffer) == 8, "buffer records");
#endif
#if defined(_WIN32)
static_assert(sizeof(wchar_t) == 2, "texts crossing the host interface are UTF-16");
#endif

// Names of the host's services, events and commands.
namespace HostNames {
inline constexpr const char* kModulesLoaded = "System/ModulesLoaded";
inline constexpr const char* kMenuCommand = "Tessaro/MenuCommand";
inline constexpr const char* kCreateNewMenu = "MainMenu/CreateNewMenu";
inline constexpr const char* kGetConnectionUri = "DB/GetConnectionUri";
inline constexpr const char* kOpenAssayIdDlgEx = "Main/OpenAssayIdDlgEx";
inline constexpr const char* kOpenAssayFile = "Main/OpenAssayFile";
inline constexpr const char* kExportToOdt = "Export/ExportToOdt";
inline constexpr const char* kProfileGetInt = "Profile/GetInt";
inline constexpr const char* kProfileSetInt = "Profile/SetInt";
inline constexpr const char* kProfileGetString = "Profile/GetString";
inline constexpr const char* kProfileSetString = "Profile/SetString";
}  // namespace HostNames

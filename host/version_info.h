// The plug-in description, read from the module's own version resource.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/host_api.h"

// Access to a module's version block; the Windows build reads the DLL's own
// resource through the version API, tests supply their own.
class VersionSource {
public:
    virtual ~VersionSource() = default;
    // Reads the block; false when the module has none.
    virtual bool Open() = 0;
    // The fixed product version (dwProductVersionMS, dwProductVersionLS).
    virtual bool ProductVersion(uint32_t& high, uint32_t& low) = 0;
    // The (language, code page) pairs of \VarFileInfo\Translation.
    virtual std::vector<std::pair<uint16_t, uint16_t>> Translations() = 0;
    // The value at a \StringFileInfo\... path; false when there is none.
    virtual bool QueryString(const std::wstring& path, std::wstring& value) = 0;
};

// The module's own version resource (nullptr where there is no module).
std::unique_ptr<VersionSource> CreateModuleVersionSource();
// Replaces the module's resource with another source; an empty function restores it.
void SetVersionSourceFactoryForTest(std::function<std::unique_ptr<VersionSource>()> factory);

// Packs major.minor.build.revision, each cut to 8 bits.
uint32_t PackVersion(uint32_t high, uint32_t low);

// PluginInfo, followed by the three texts its size does not count.
struct PluginInfoBlock {
    PluginInfo info;
    const wchar_t* fileVersion;
    const wchar_t* productVersion;
    const wchar_t* originalFilename;
};
PluginInfoBlock& GetPluginInfoBlock();

// While at least one reader lives, PluginInfoBlock points at the values of the
// version resource, read by the reader that made the live count leave 0. When
// the last reader goes the values are freed and the texts point at "".
class VersionInfoReader {
public:
    VersionInfoReader();
    ~VersionInfoReader();
    VersionInfoReader(const VersionInfoReader&) = delete;
    VersionInfoReader& operator=(const VersionInfoReader&) = delete;

    enum Key { CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, OriginalFilename,
               ProductName, ProductVersion, KeyCount };
    static const wchar_t* const kKeys[KeyCount];

    // The value read for a key ("" when absent or no reader lives).
    static const std::wstring& Value(Key key);
    static int LiveCount();
    // How often the resource was read in this process (for tests).
    static int ReadCount();
};

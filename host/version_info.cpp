#include "host/version_info.h"

#include "base/text.h"

const wchar_t* const VersionInfoReader::kKeys[VersionInfoReader::KeyCount] = {
    L"CompanyName", L"FileDescription", L"FileVersion",      L"InternalName",
    L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};

namespace {

struct SharedValues {
    int live = 0;
    int reads = 0;
    std::vector<std::wstring> values;  // empty while no reader lives
};

SharedValues& Shared() {
    static SharedValues shared;
    return shared;
}

std::function<std::unique_ptr<VersionSource>()>& FactoryOverride() {
    static std::function<std::unique_ptr<VersionSource>()> factory;
    return factory;
}

const std::wstring& EmptyText() {
    static const std::wstring empty;
    return empty;
}

void PointBlockAt(const std::vector<std::wstring>* values) {
    PluginInfoBlock& b = GetPluginInfoBlock();
    auto text = [&](VersionInfoReader::Key k) {
        return values ? (*values)[k].c_str() : EmptyText().c_str();
    };
    b.info.name = text(VersionInfoReader::ProductName);
    b.info.description = text(VersionInfoReader::FileDescription);
    b.info.company = text(VersionInfoReader::CompanyName);
    b.info.legalNotice = text(VersionInfoReader::LegalCopyright);
    b.fileVersion = text(VersionInfoReader::FileVersion);
    b.productVersion = text(VersionInfoReader::ProductVersion);
    b.originalFilename = text(VersionInfoReader::OriginalFilename);
}

void ReadResource(SharedValues& shared) {
    ++shared.reads;
    shared.values.assign(VersionInfoReader::KeyCount, std::wstring());
    PluginInfoBlock& block = GetPluginInfoBlock();
    block.info.version = 0;

    std::unique_ptr<VersionSource> source = FactoryOverride() ? FactoryOverride()() : CreateModuleVersionSource();
    if (source && source->Open()) {
        uint32_t high = 0, low = 0;
        if (source->ProductVersion(high, low)) block.info.version = PackVersion(high, low);

        std::wstring subBlock;
        for (const auto& [language, codePage] : source->Translations()) {
            if (language == 0x0019 || language == 0x0419) {
                subBlock = FormatW(L"%04x%04x", static_cast<unsigned>(language), static_cast<unsigned>(codePage));
                break;
            }
        }
        if (!subBlock.empty()) {
            for (int k = 0; k < VersionInfoReader::KeyCount; ++k) {
                std::wstring value;
                if (source->QueryString(L"\\StringFileInfo\\" + subBlock + L"\\" + VersionInfoReader::kKeys[k], value))
                    shared.values[k] = value;
            }
        }
    }
    PointBlockAt(&shared.values);
    block.info.size = static_cast<int32_t>(sizeof(PluginInfo));
}

}  // namespace

void SetVersionSourceFactoryForTest(std::function<std::unique_ptr<VersionSource>()> factory) {
    FactoryOverride() = std::move(factory);
}

#if !defined(_WIN32)
std::unique_ptr<VersionSource> CreateModuleVersionSource() { return nullptr; }
#endif

uint32_t PackVersion(uint32_t high, uint32_t low) {
    uint32_t major = (high >> 16) & 0xFF, minor = high & 0xFF;
    uint32_t build = (low >> 16) & 0xFF, revision = low & 0xFF;
    return (major << 24) | (minor << 16) | (build << 8) | revision;
}

PluginInfoBlock& GetPluginInfoBlock() {
    static PluginInfoBlock block = [] {
        PluginInfoBlock b{};
        b.info.size = static_cast<int32_t>(sizeof(PluginInfo));
        const wchar_t* empty = EmptyText().c_str();
        b.info.name = b.info.description = b.info.company = b.info.legalNotice = empty;
        b.fileVersion = b.productVersion = b.originalFilename = empty;
        return b;
    }();
    return block;
}

VersionInfoReader::VersionInfoReader() {
    SharedValues& shared = Shared();
    if (shared.live == 0) ReadResource(shared);
    ++shared.live;
}

VersionInfoReader::~VersionInfoReader() {
    SharedValues& shared = Shared();
    if (--shared.live == 0) {
        PointBlockAt(nullptr);
        shared.values.clear();
        shared.values.shrink_to_fit();
    }
}

const std::wstring& VersionInfoReader::Value(Key key) {
    const SharedValues& shared = Shared();
    if (key < 0 || key >= KeyCount || shared.values.empty()) return EmptyText();
    return shared.values[key];
}

int VersionInfoReader::LiveCount() { return Shared().live; }
int VersionInfoReader::ReadCount() { return Shared().reads; }

#include "tools/host-sim/odt_package.h"

#include <windows.h>

#include <ctime>
#include <memory>

#include "unzip.h"
#include "zip.h"
// after the two above, which bring the file function types it needs
#include "iowin32.h"

namespace {

// A template entry larger than this is refused rather than inflated.
constexpr uint64_t kMaxEntrySize = 256ull << 20;

struct UnzipCloser {
    void operator()(void* file) const { unzClose(file); }
};

bool ReadCurrentEntry(unzFile zip, PackageEntry& entry) {
    unz_file_info64 info{};
    char name[1024];
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) return false;
    if (info.size_filename >= sizeof name || info.uncompressed_size > kMaxEntrySize) return false;
    entry.name.assign(name, info.size_filename);
    entry.data.assign(static_cast<size_t>(info.uncompressed_size), '\0');
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    size_t got = 0;
    int n = 1;
    while (got < entry.data.size() &&
           (n = unzReadCurrentFile(zip, &entry.data[got], static_cast<unsigned>(entry.data.size() - got))) > 0)
        got += static_cast<size_t>(n);
    char extra;
    bool atEnd = n >= 0 && got == entry.data.size() && unzReadCurrentFile(zip, &extra, 1) == 0;
    return unzCloseCurrentFile(zip) == UNZ_OK && atEnd;  // the close checks the CRC
}

zip_fileinfo NowInfo() {
    zip_fileinfo info{};
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
    return info;
}

bool WriteEntry(zipFile zip, const PackageEntry& entry, bool stored, const zip_fileinfo& info) {
    if (zipOpenNewFileInZip64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, stored ? 0 : Z_DEFLATED,
                              stored ? 0 : Z_DEFAULT_COMPRESSION, 0) != ZIP_OK)
        return false;
    bool ok = entry.data.empty() ||
              zipWriteInFileInZip(zip, entry.data.data(), static_cast<unsigned>(entry.data.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && ok;
}

}  // namespace

bool ReadPackage(const std::wstring& file, std::vector<PackageEntry>& entries) {
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    std::unique_ptr<void, UnzipCloser> zip(unzOpen2_64(file.c_str(), &files));
    if (!zip) return false;
    entries.clear();
    for (int status = unzGoToFirstFile(zip.get()); status != UNZ_END_OF_LIST_OF_FILE;
         status = unzGoToNextFile(zip.get())) {
        if (status != UNZ_OK) return false;
        PackageEntry entry;
        if (!ReadCurrentEntry(zip.get(), entry)) return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool WritePackage(const std::wstring& file, const std::vector<PackageEntry>& entries) {
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    zipFile zip = zipOpen2_64(file.c_str(), APPEND_STATUS_CREATE, nullptr, &files);
    if (!zip) return false;
    const zip_fileinfo info = NowInfo();
    bool ok = true;
    for (const PackageEntry& entry : entries)
        if (entry.name == "mimetype") ok = ok && WriteEntry(zip, entry, true, info);
    for (const PackageEntry& entry : entries)
        if (entry.name != "mimetype") ok = ok && WriteEntry(zip, entry, false, info);
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

PackageEntry* FindEntry(std::vector<PackageEntry>& entries, const std::string& name) {
    for (PackageEntry& entry : entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

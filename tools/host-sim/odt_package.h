// Reading and writing OpenDocument packages (ZIP files) through minizip.
#pragma once

#include <string>
#include <vector>

struct PackageEntry {
    std::string name;  // path inside the package, "/" separated
    std::string data;  // the entry's bytes, uncompressed
};

// Reads every entry of the ZIP file; false when it is not a readable ZIP.
bool ReadPackage(const std::wstring& file, std::vector<PackageEntry>& entries);

// Writes the package: "mimetype" first and stored, every other entry deflated,
// in the given order. False when the file cannot be written completely.
bool WritePackage(const std::wstring& file, const std::vector<PackageEntry>& entries);

PackageEntry* FindEntry(std::vector<PackageEntry>& entries, const std::string& name);

// Fuzz target of the read the plug-in makes for every chromatogram it adds:
// the passport read of a file on disk, here written from the input (up to
// 1 MB). Any input gives one of the result codes, the full read of the same
// bytes gives the same code, and a file that loads gives the full read's
// passport and channels, without samples or peak tables.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "data/norvane_file.h"
#include "base/text.h"
#include "tests/fuzz/passport_bytes.h"

namespace {

// In the target's working folder, which the fuzz script clears.
const std::string& ScratchFile() {
    static const std::string path = "scratch-" + std::to_string(static_cast<long>(getpid())) + ".chr";
    return path;
}

void WriteScratch(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
        std::perror("writing the scratch file");
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratch(data, size);
    CNorvaneFile4 passportOnly, full;
    const int rc = passportOnly.LoadPassport(WideFromUtf8(ScratchFile()));
    if (rc > 0 || rc < -7) std::abort();
    if (full.LoadFromMemory(data, size) != rc) std::abort();
    if (rc != 0) return 0;
    if (full.channels.size() > CNorvaneFile4::kMaxChannels) std::abort();
    for (const FileChannel& ch : passportOnly.channels)
        if (!ch.samples.empty() || !ch.peaks.empty()) std::abort();
    if (fuzz::PassportBytes(passportOnly) != fuzz::PassportBytes(full)) std::abort();
    return 0;
}

// Fuzz target of the chromatogram file reader on small inputs: any input gives
// one of the result codes, the passport-only read agrees with the full one
// (code, passport and channels), and a file that loads saves and loads back to
// the same object.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "data/norvane_file.h"
#include "base/text.h"
#include "tests/fuzz/passport_bytes.h"

namespace {

bool SameSamples(const CNorvaneFile4& a, const CNorvaneFile4& b) {
    if (a.channels.size() != b.channels.size()) return false;
    for (size_t i = 0; i < a.channels.size(); ++i) {
        const FileChannel& x = a.channels[i];
        const FileChannel& y = b.channels[i];
        if (x.number != y.number || x.samples != y.samples || x.peaks.size() != y.peaks.size()) return false;
    }
    return true;
}

// In the target's working folder, which the fuzz script clears.
const std::wstring& ScratchFile() {
    static const std::wstring path = WideFromUtf8("scratch-" + std::to_string(static_cast<long>(getpid())) + ".chr");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CNorvaneFile4 full, passport;
    const int rc = full.LoadFromMemory(data, size);
    if (rc > 0 || rc < -7) std::abort();
    if (passport.LoadFromMemory(data, size, false) != rc) std::abort();
    if (rc != 0) return 0;
    if (fuzz::PassportBytes(passport) != fuzz::PassportBytes(full)) std::abort();

    if (full.SaveToFile(ScratchFile()) != 0) std::abort();
    CNorvaneFile4 again;
    if (again.LoadFromFile(ScratchFile()) != 0 || !SameSamples(full, again)) std::abort();
    return 0;
}

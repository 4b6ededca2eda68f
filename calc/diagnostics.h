// What makes a calculation's result doubtful: a fixed table of ten messages,
// each collecting items (a component with its channel, a mixture or a
// chromatogram). A run is given a Diagnostics object; it resets it, raises
// what it finds and publishes every active message as one text of its
// message log.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "calc/calc_records.h"
#include "data/records.h"

class MessageLog;

struct DiagItem {
    std::wstring name;
    std::wstring detail;
};

struct DiagMessage {
    int32_t code = 0;
    int32_t kind = 0;  // 0 errors, 1 warnings, 2 information
    bool active = false;
    bool listComps = false;  // items print their name and detail
    bool listFiles = false;  // items print their detail only
    std::wstring text;
    std::vector<DiagItem> items;
    std::unordered_set<std::wstring> itemKeys;  // folded name and detail of every item
};

namespace DiagCode {
inline constexpr int32_t kMixtureCount = 0;
inline constexpr int32_t kAnalysisCount = 1;
inline constexpr int32_t kNoPressure = 2;
inline constexpr int32_t kNoTemperature = 3;
inline constexpr int32_t kNotInCatalogue = 4;
inline constexpr int32_t kNotInMixtures = 5;
inline constexpr int32_t kNotInAllMixtures = 6;
inline constexpr int32_t kMissingInChromatograms = 7;
inline constexpr int32_t kOutOfTable1 = 8;
inline constexpr int32_t kOutOfTable4 = 9;
}  // namespace DiagCode

class Diagnostics {
public:
    // The ten messages, each inactive and without items.
    Diagnostics();

    // The table, in code order.
    const std::vector<DiagMessage>& Messages() const { return table_; }
    // The message of a code; throws std::out_of_range for an unknown one.
    const DiagMessage& Message(int32_t code) const;

    // Every message inactive and without items.
    void Reset();
    // Activates a message without adding an item (codes 0 and 1).
    void Activate(int32_t code);
    // Adds an item to a message that lists components and activates it;
    // refused (false) for an unknown code, a message that does not list
    // components, or an empty name. Duplicates (name and detail equal, A-Z
    // folding case) are added once.
    bool Raise(int32_t code, std::wstring_view name, std::wstring_view detail = {});
    // The same for a message that lists chromatograms (codes 2 and 3): the
    // item is its detail; refused for other messages or an empty detail.
    bool RaiseFile(int32_t code, std::wstring_view detail);

    // Appends the text of every active message to the log's list of its kind.
    void Publish(MessageLog& log) const;

private:
    DiagMessage* Find(int32_t code);

    std::vector<DiagMessage> table_;
};

// The plug-in's table, alive from module load to unload; the window's
// calculation is given it.
Diagnostics& GetDiagnostics();

// "...\name.ext": the file name from its last path separator on, after "...";
// a name without a separator follows "..." whole.
std::wstring FileTail(std::wstring_view filename);
// "файл: ...\name.ext, проба: S, дата: dd.mm.yy  HH:MM"
std::wstring ChromatogramText(const AssayRecord& assay);

// Codes 0, 1 and 4 to 7 over the components of a run of the given lists.
void Diagnose(const CalcComponents& components, const MixtureRecords& mixtures, const AssayRecords& assays,
              Diagnostics& diagnostics);

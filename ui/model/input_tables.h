// What the input pages show, free of any window: the rows of the chromatogram
// list with its mixture filter and of the mixture list, and what the
// chromatogram page's delete buttons do to the lists. (The two information
// tables are built by ui/model/results_table.h.) The Win32 pages only put these
// rows on screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/table_model.h"
#include "data/assay_list.h"
#include "data/mixture_list.h"
#include "data/records.h"

namespace InputTables {

// The filter box: entry 0 shows every chromatogram (data -1), then one entry
// per loaded mixture in load order, its name as text and its id as data.
struct FilterEntry {
    std::wstring text;
    int64_t data;
};
inline constexpr int64_t kAllData = -1;
std::vector<FilterEntry> FilterEntries(const std::wstring& allText, const MixtureList& mixtures);
// The entry to select after a rebuild: the previous mixture's entry while that
// mixture is still loaded, otherwise the "all" entry; no selection (-1) stays.
int FilterSelectionAfterRebuild(const std::vector<FilterEntry>& entries, int previousIndex, int64_t previousData);

// Whether the chromatogram list shows the record under the filter selection
// (index and item data of the selected entry).
bool ShownByFilter(const AssayRecord& record, int selection, int64_t data);

// The lists' columns, in the order of their rows' cells.
std::vector<TableColumn> AssayListColumns();
std::vector<TableColumn> MixtureListColumns();

// The chromatogram list: "№", "Проба", "Время анализа", "Смесь"; id = assay id.
TableRows AssayListRows(const AssayRecords& assays, int selection, int64_t data);
// The mixture list: "№", "Имя", "Баллон", "Дата выпуска", "Действителен до"; id = mixture id.
TableRows MixtureListRows(const MixtureList& mixtures);

// The delete buttons. `all` is "Удалить все": with the "all" entry selected it
// empties both lists, with a mixture's entry it removes that mixture's
// chromatograms; then (for both buttons) the chromatograms of the selected
// rows go, each mixture leaving with its last chromatogram.
struct DeleteOutcome {
    bool changed = false;
    bool emptiedBothLists = false;  // the mixture page's grid and table are to be cleared too
};
DeleteOutcome DeleteAssays(AssayList& list, bool all, int selection, int64_t data,
                           const std::vector<uint32_t>& selectedIds);

// The box after the host's selection answered more chromatograms than one
// addition takes (nothing was added): its text, or empty within the limit.
std::wstring TooManyChosenText(intptr_t chosen);

// The first record with that id, or null.
const AssayRecord* FindAssay(const AssayRecords& assays, uint32_t id);
const MixtureRecord* FindMixture(const MixtureList& mixtures, uint32_t id);

}  // namespace InputTables

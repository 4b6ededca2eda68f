#include "ui/model/input_tables.h"

#include <limits>

#include "base/cell_text.h"
#include "base/text.h"

namespace InputTables {

std::vector<TableColumn> AssayListColumns() {
    return {{L"№", 40}, {L"Проба", 350}, {L"Время анализа", 130}, {L"Смесь", 250}};
}

std::vector<TableColumn> MixtureListColumns() {
    return {{L"№", 40}, {L"Имя", 400}, {L"Баллон", 180}, {L"Дата выпуска", 100}, {L"Действителен до", 120}};
}

std::vector<FilterEntry> FilterEntries(const std::wstring& allText, const MixtureList& mixtures) {
    std::vector<FilterEntry> entries{{allText, kAllData}};
    for (const auto& mixture : mixtures.mixtures)
        if (mixture) entries.push_back({mixture->name, static_cast<int64_t>(mixture->id)});
    return entries;
}

int FilterSelectionAfterRebuild(const std::vector<FilterEntry>& entries, int previousIndex, int64_t previousData) {
    if (previousIndex < 0) return -1;
    if (previousIndex == 0) return 0;
    for (size_t i = 1; i < entries.size(); ++i)
        if (entries[i].data == previousData) return static_cast<int>(i);
    return 0;
}

bool ShownByFilter(const AssayRecord& record, int selection, int64_t data) {
    if (selection < 1) return true;
    return record.mixtureRecord && static_cast<int64_t>(record.mixtureRecord->id) == data;
}

TableRows AssayListRows(const AssayRecords& assays, int selection, int64_t data) {
    TableRows rows;
    for (const AssayRecord& record : assays) {
        if (!ShownByFilter(record, selection, data)) continue;
        TableRow row;
        row.id = record.id;
        row.cells = {FormatW(L"%d", static_cast<int>(rows.size()) + 1), record.sample,
                     DateText(record.date, DateFormats::kDateTime),
                     record.mixtureRecord ? record.mixtureRecord->name : std::wstring(kMissingText)};
        rows.push_back(std::move(row));
    }
    return rows;
}

TableRows MixtureListRows(const MixtureList& mixtures) {
    TableRows rows;
    for (size_t i = 0; i < mixtures.mixtures.size(); ++i) {
        const MixtureRecord* mixture = mixtures.mixtures[i].get();
        if (!mixture) continue;
        TableRow row;
        row.id = mixture->id;
        row.cells = {FormatW(L"%d", static_cast<int>(i) + 1), mixture->name, mixture->ballon,
                     DateText(mixture->release, DateFormats::kDate), DateText(mixture->expiry, DateFormats::kDate)};
        rows.push_back(std::move(row));
    }
    return rows;
}

DeleteOutcome DeleteAssays(AssayList& list, bool all, int selection, int64_t data,
                           const std::vector<uint32_t>& selectedIds) {
    DeleteOutcome outcome;
    if (all && selection == 0) {
        list.ClearAll();
        outcome.changed = outcome.emptiedBothLists = true;
    } else if (all && selection > 0 && data >= 0 && data <= std::numeric_limits<uint32_t>::max()) {
        outcome.changed = list.RemoveAssaysOfMixture(static_cast<uint32_t>(data));
    }
    for (uint32_t id : selectedIds)
        if (list.RemoveAssay(id)) outcome.changed = true;
    return outcome;
}

std::wstring TooManyChosenText(intptr_t chosen) {
    if (chosen <= AssayList::kMaxSelection) return std::wstring();
    return L"Выбрано хроматограмм: " + std::to_wstring(static_cast<long long>(chosen)) +
           L".\nЗа один раз можно добавить не более " + std::to_wstring(AssayList::kMaxSelection) +
           L". Хроматограммы не добавлены.";
}

const AssayRecord* FindAssay(const AssayRecords& assays, uint32_t id) {
    for (const AssayRecord& record : assays)
        if (record.id == id) return &record;
    return nullptr;
}

const MixtureRecord* FindMixture(const MixtureList& mixtures, uint32_t id) {
    int32_t index = mixtures.FindById(id);
    return index < 0 ? nullptr : mixtures.mixtures[static_cast<size_t>(index)].get();
}

}  // namespace InputTables

#include "ui/model/calc_info.h"

#include <algorithm>

#include "base/cell_text.h"
#include "base/text.h"
#include "host/settings.h"

namespace {

std::wstring IndexedKey(size_t index, const wchar_t* field) { return std::to_wstring(index) + L"_" + field; }

constexpr const wchar_t* kKeyCount = L"qtyCols";
constexpr int32_t kStoredHiddenWidth = 2;

}  // namespace

const std::vector<TableColumn>& CalcInfoColumns() {
    static const std::vector<TableColumn> columns = {
        {L"№", 40},
        {L"Пик", 200},
        {L"Анализов", 80},
        {L"Сум. площадей", 110},
        {L"Ср. площадь", 80},
        {L"ОСКО", 80},
        {L"Абс. расш. н. моль%", 140},
        {L"Отн. расш. н, %", 140},
        {L"Норматив ОСКО", 110},
        {L"Соответствие ОСКО", 120},
        {L"Конц. расч. моль%", 150},
        {L"Расх. отн., %", 90},
        {L"σk (табл. 4), %", 110},
        {L"Норматив, %", 110},
        {L"Соответствие", 110},
    };
    return columns;
}

TableRows BuildCalcInfoRows(const LinearityCalc& calc, uint32_t mixtureId, int32_t channel, int32_t digits) {
    TableRows rows;
    auto number = [digits](double value) { return NumberText(value, digits); };
    for (const auto& component : calc.GetComponents()) {
        const CalcLevel* level = nullptr;
        for (const CalcLevel& l : component->levels)
            if (l.mixture && l.mixture->id == mixtureId) {
                level = &l;
                break;
            }
        if (!level || level->n <= 0 || component->channel != channel) continue;
        TableRow row;
        std::vector<std::wstring>& cells = row.cells;
        cells.reserve(CalcInfoColumns().size());
        cells.push_back(FormatW(L"%d", static_cast<int>(rows.size() + 1)));
        cells.push_back(component->name);
        cells.push_back(FormatW(L"%d", static_cast<int>(level->n)));
        cells.push_back(number(level->sumArea));
        cells.push_back(number(level->meanArea));
        cells.push_back(number(level->rsd));
        bool norm = level->uAbs != NoValue;
        cells.push_back(norm ? number(level->uAbs) : kMissingText);
        cells.push_back(norm ? number(level->uRel) : kMissingText);
        cells.push_back(norm ? number(level->rsdNorm) : kMissingText);
        cells.push_back(VerdictText(norm, level->rsdOk));
        cells.push_back(number(level->calcConc));
        cells.push_back(number(level->relDev));
        bool deviation = level->devNorm != NoValue;
        cells.push_back(deviation ? number(level->sigmaK) : kMissingText);
        cells.push_back(deviation ? number(level->devNorm) : kMissingText);
        cells.push_back(VerdictText(deviation, level->devOk));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SelectorItem> MixtureSelectorItems(const MixtureRecords& mixtures) {
    std::vector<SelectorItem> items;
    for (const auto& mixture : mixtures)
        if (mixture) items.push_back({mixture->name, static_cast<int64_t>(mixture->id)});
    return items;
}

std::vector<SelectorItem> ChannelSelectorItems(const std::vector<ChannelEntry>& channels) {
    std::vector<SelectorItem> items;
    for (const ChannelEntry& c : channels) items.push_back({c.label, c.channel});
    return items;
}

void ColumnSettings::Load() {
    records_.clear();
    // A damaged profile may hold any count: no more records are read than the
    // page has columns, since no record beyond them can mean anything.
    const auto columns = static_cast<int32_t>(CalcInfoColumns().size());
    const int32_t count = std::min(ReadSettingInt(section_, kKeyCount, 0), columns);
    for (int32_t i = 0; i < count; ++i) {
        auto index = static_cast<size_t>(i);
        ColumnSetting record;
        record.id = ReadSettingInt(section_, IndexedKey(index, L"id"), 0);
        record.width = ReadSettingInt(section_, IndexedKey(index, L"width"), 20);
        record.visible = ReadSettingInt(section_, IndexedKey(index, L"visible"), 0) != 0;
        if (record.id >= 0) records_.push_back(record);
    }
}

void ColumnSettings::Save() const {
    for (size_t i = 0; i < records_.size(); ++i) {
        const ColumnSetting& record = records_[i];
        WriteSettingInt(section_, IndexedKey(i, L"id"), record.id);
        WriteSettingInt(section_, IndexedKey(i, L"width"), record.width == 0 ? kStoredHiddenWidth : record.width);
        WriteSettingInt(section_, IndexedKey(i, L"visible"), record.visible ? 1 : 0);
    }
    WriteSettingInt(section_, kKeyCount, static_cast<int32_t>(records_.size()));
}

int32_t ColumnSettings::AddColumn(int32_t position, int32_t defaultWidth, int32_t id) {
    auto place = static_cast<size_t>(std::max<int32_t>(position, 0));
    place = std::min(place, records_.size());
    auto found = std::find_if(records_.begin(), records_.end(), [id](const ColumnSetting& r) { return r.id == id; });
    if (found == records_.end()) {
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(place), ColumnSetting{id, defaultWidth, true});
        return defaultWidth;
    }
    ColumnSetting record = *found;
    // A damaged profile may hold a negative width: such a column gets its default.
    if (record.width < 0) record.width = defaultWidth;
    auto at = static_cast<size_t>(found - records_.begin());
    if (at != place) {
        records_.erase(found);
        place = std::min(place, records_.size());
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(place), record);
    } else {
        *found = record;
    }
    return record.visible ? record.width : 0;
}

int32_t ColumnSettings::Toggle(size_t column) {
    if (column >= records_.size()) return -1;
    ColumnSetting& record = records_[column];
    record.visible = !record.visible;
    return record.visible ? record.width : 0;
}

void ColumnSettings::Resized(size_t column, int32_t width) {
    // A column dragged shut keeps its last width, so that hiding and showing it brings it back.
    if (column < records_.size() && width > 0) records_[column].width = width;
}

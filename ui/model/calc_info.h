// The intermediate results page without windows: its fifteen columns, the
// rows for one mixture and channel, the contents of its two selectors, and
// the column settings (width and visibility per column) kept in the profile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/table_model.h"
#include "calc/linearity_calc.h"
#include "data/records.h"

// Header and default width of the fifteen columns; the position is the column id.
const std::vector<TableColumn>& CalcInfoColumns();

// One row per component of the calculation, in its order, that has samples
// at the mixture with this id and lies on this channel. Cells as the columns
// say; the row number counts only the rows shown.
TableRows BuildCalcInfoRows(const LinearityCalc& calc, uint32_t mixtureId, int32_t channel, int32_t digits);

struct SelectorItem {
    std::wstring text;
    int64_t data = 0;  // the selector's item data
};
// The loaded mixtures (name, database id), in list order.
std::vector<SelectorItem> MixtureSelectorItems(const MixtureRecords& mixtures);
// The calculation's channels (label, 0-based number).
std::vector<SelectorItem> ChannelSelectorItems(const std::vector<ChannelEntry>& channels);

struct ColumnSetting {
    int32_t id = 0;
    int32_t width = 0;  // pixels: the last width the column had while shown
    bool visible = true;
};

// The column settings of one table, read from and written to a profile
// section. Once every column is added, record i describes column i.
class ColumnSettings {
public:
    explicit ColumnSettings(std::wstring section) : section_(std::move(section)) {}

    // Replaces the records by those stored: "qtyCols", then per index
    // "<i>_id", "<i>_width", "<i>_visible" for the first records up to the
    // page's column count; records with a negative id are skipped.
    void Load();
    // Writes every record and then "qtyCols". A width of 0 is written as 2:
    // a stored 0 would read back as the default.
    void Save() const;

    // Places the record of this id at the position (made with the default
    // width and shown when there is none) and returns the width the column
    // is inserted with: 0 when hidden.
    int32_t AddColumn(int32_t position, int32_t defaultWidth, int32_t id);
    // Shows or hides column i; returns the width the column gets now (0 when
    // hidden), or -1 when there is no such record.
    int32_t Toggle(size_t column);
    // The user gave a shown column a new width; 0 is not kept.
    void Resized(size_t column, int32_t width);

    const std::vector<ColumnSetting>& Records() const { return records_; }
    const std::wstring& Section() const { return section_; }

private:
    std::wstring section_;
    std::vector<ColumnSetting> records_;
};

// Profile section of the intermediate results page's columns.
inline constexpr const wchar_t* kCalcInfoSettingsSection = L"TablesSettings\\CalcInfo";

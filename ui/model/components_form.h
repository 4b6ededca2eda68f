// The components dialog without windows: its working list over the component
// catalogue, the texts of its three columns, which cells may be edited, and
// what OK stores. Cancel is simply not calling Save: the next Rebuild drops
// every edit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/table_model.h"
#include "catalogue/component_catalogue.h"

class ComponentsForm {
public:
    struct Record {
        int32_t id = 0;
        std::wstring editedName;
        std::wstring editedAltName;
        ComponentDef* entry = nullptr;
        bool modified = false;
        bool nameEdited = false;
        bool altEdited = false;
    };

    static const std::vector<TableColumn>& Columns();

    // One record per catalogue entry, in catalogue order, nothing edited.
    void Rebuild(ComponentCatalogue& catalogue);
    // Row number, name and alternative name of record i (the edited texts
    // where the user typed some).
    std::vector<std::wstring> RowTexts(size_t index) const;
    // Every record's row, its id the record's.
    TableRows Rows() const;
    // Column 0 never; column 1 only for entries added after the defaults;
    // the alternative name and beyond always.
    bool MayEdit(int32_t id, int column) const;
    // An edit of a cell ended with a changed text (empty counts as a value).
    // False when no record has this id.
    bool CellChanged(int32_t id, int column, const std::wstring& text);
    // OK: writes the entry count and every edited name to the profile, the
    // catalogue in memory takes them at once.
    void Save();

    const std::vector<Record>& Records() const { return records_; }

private:
    ComponentCatalogue* catalogue_ = nullptr;
    std::vector<Record> records_;
};

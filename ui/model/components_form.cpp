#include "ui/model/components_form.h"

#include "base/text.h"

const std::vector<TableColumn>& ComponentsForm::Columns() {
    static const std::vector<TableColumn> columns = {{L"№", 30}, {L"Имя", 200}, {L"Доп. имя", 200}};
    return columns;
}

void ComponentsForm::Rebuild(ComponentCatalogue& catalogue) {
    catalogue_ = &catalogue;
    records_.clear();
    for (const auto& entry : catalogue.Entries()) {
        Record record;
        record.id = entry->id;
        record.entry = entry.get();
        records_.push_back(record);
    }
}

std::vector<std::wstring> ComponentsForm::RowTexts(size_t index) const {
    const Record& r = records_.at(index);
    return {FormatW(L"%d", static_cast<int>(index + 1)), r.nameEdited ? r.editedName : r.entry->name,
            r.altEdited ? r.editedAltName : r.entry->altName};
}

TableRows ComponentsForm::Rows() const {
    TableRows rows;
    for (size_t i = 0; i < records_.size(); ++i) rows.push_back({RowTexts(i), records_[i].id});
    return rows;
}

bool ComponentsForm::MayEdit(int32_t id, int column) const {
    if (column <= 0) return false;
    if (column == 1) return catalogue_ && id > catalogue_->LastDefaultId();
    return true;
}

bool ComponentsForm::CellChanged(int32_t id, int column, const std::wstring& text) {
    for (Record& r : records_) {
        if (r.id != id) continue;
        if (column == 1) {
            r.editedName = text;
            r.modified = r.nameEdited = true;
        } else if (column == 2) {
            r.editedAltName = text;
            r.modified = r.altEdited = true;
        }
        return true;
    }
    return false;
}

void ComponentsForm::Save() {
    if (!catalogue_) return;
    std::vector<ComponentEdit> edits;
    for (size_t i = 0; i < records_.size(); ++i) {
        Record& r = records_[i];
        if (!r.modified) continue;
        edits.push_back({i, r.nameEdited, r.editedName, r.altEdited, r.editedAltName});
        r.modified = false;
    }
    catalogue_->Save(edits);
}

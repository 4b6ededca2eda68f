// The component catalogue: the components the calculation knows by name, each
// with an alternative name under which chromatograms may also name it. One
// list for the process: nineteen fixed entries, adjusted once from the
// profile (section "Components"), edited in the components dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ComponentDef {
    int32_t id = 0;  // creation index
    std::wstring name;
    std::wstring altName;
};

// One entry as the components dialog leaves it: what the user typed, by the
// entry's position in the catalogue.
struct ComponentEdit {
    size_t position = 0;
    bool nameEdited = false;
    std::wstring name;
    bool altEdited = false;
    std::wstring altName;
};

class ComponentCatalogue {
public:
    static constexpr const wchar_t* kSection = L"Components";
    static constexpr const wchar_t* kKeyCount = L"qtyComps";

    // Entries keep their addresses for the catalogue's life: calculation
    // results link to them.
    const std::vector<std::unique_ptr<ComponentDef>>& Entries() const { return entries_; }
    int32_t NextId() const { return nextId_; }
    int32_t LastDefaultId() const { return lastDefaultId_; }  // -1 before the defaults exist

    // Appends the nineteen defaults; only the first call does anything.
    void CreateDefaults();
    // Applies the stored non-empty names; only the first call does anything.
    void Load();
    // The first entry whose name or alternative name equals name (only A-Z
    // fold case); none for an empty name.
    const ComponentDef* Find(std::wstring_view name) const;
    ComponentDef& Add(const std::wstring& text);
    // The components dialog's OK: writes the entry count, then applies and
    // writes only what was edited. Write failures leave the memory changed.
    void Save(const std::vector<ComponentEdit>& edits);

    ComponentDef* EntryById(int32_t id);

private:
    std::vector<std::unique_ptr<ComponentDef>> entries_;
    int32_t nextId_ = 0;
    int32_t lastDefaultId_ = -1;
    bool defaultsCreated_ = false;
    bool loaded_ = false;
};

// The process-wide catalogue and its operations.
ComponentCatalogue& GetComponentCatalogue();
void CreateDefaultCatalogue();
void LoadCatalogue();
const ComponentDef* FindComponentDef(std::wstring_view name);
ComponentDef& AddComponentDef(const std::wstring& text);
void SaveCatalogue(const std::vector<ComponentEdit>& edits);

// An empty catalogue again, as a fresh process would have (used by tests).
void ResetCatalogueForTest();

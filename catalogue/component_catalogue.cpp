#include "catalogue/component_catalogue.h"

#include <algorithm>

#include "host/settings.h"
#include "base/text.h"

namespace {

const wchar_t* const kDefaultNames[] = {
    L"Метан",   L"Этан",    L"Пропан",  L"Изобутан", L"н-Бутан", L"Неопентан",        L"Изопентан",
    L"н-Пентан", L"Гексаны", L"Гептаны", L"Октаны",   L"Бензол",  L"Толуол",           L"Диоксид углерода",
    L"Гелий",   L"Водород", L"Кислород", L"Азот",    L"Метанол",
};

std::wstring IndexedKey(size_t index, const wchar_t* field) { return std::to_wstring(index) + L"_" + field; }

}  // namespace

void ComponentCatalogue::CreateDefaults() {
    if (defaultsCreated_) return;
    defaultsCreated_ = true;
    for (const wchar_t* name : kDefaultNames) Add(name);
    lastDefaultId_ = static_cast<int32_t>(entries_.size()) - 1;
}

void ComponentCatalogue::Load() {
    if (loaded_) return;
    loaded_ = true;
    // Only entries that exist take stored names: a damaged profile's count
    // beyond them would only cost host calls.
    const int32_t count = std::min(ReadSettingInt(kSection, kKeyCount, 0), nextId_);
    for (int32_t i = 0; i < count; ++i) {
        ComponentDef* entry = EntryById(i);
        if (!entry) continue;
        std::wstring name = ReadSettingText(kSection, IndexedKey(static_cast<size_t>(i), L"name"), L"");
        if (!name.empty()) entry->name = name;
        std::wstring altName = ReadSettingText(kSection, IndexedKey(static_cast<size_t>(i), L"altName"), L"");
        if (!altName.empty()) entry->altName = altName;
    }
}

ComponentDef* ComponentCatalogue::EntryById(int32_t id) {
    for (auto& entry : entries_)
        if (entry->id == id) return entry.get();
    return nullptr;
}

const ComponentDef* ComponentCatalogue::Find(std::wstring_view name) const {
    if (name.empty()) return nullptr;
    for (const auto& entry : entries_)
        if (EqualFoldLatin(entry->name, name) || EqualFoldLatin(entry->altName, name)) return entry.get();
    return nullptr;
}

ComponentDef& ComponentCatalogue::Add(const std::wstring& text) {
    auto entry = std::make_unique<ComponentDef>();
    entry->id = nextId_++;
    entry->name = text;
    entry->altName = text;
    entries_.push_back(std::move(entry));
    return *entries_.back();
}

void ComponentCatalogue::Save(const std::vector<ComponentEdit>& edits) {
    WriteSettingInt(kSection, kKeyCount, static_cast<int32_t>(entries_.size()));
    for (const ComponentEdit& edit : edits) {
        if (edit.position >= entries_.size()) continue;
        ComponentDef& entry = *entries_[edit.position];
        if (edit.nameEdited) {
            entry.name = edit.name;
            WriteSettingText(kSection, IndexedKey(edit.position, L"name"), entry.name);
        }
        if (edit.altEdited) {
            entry.altName = edit.altName;
            WriteSettingText(kSection, IndexedKey(edit.position, L"altName"), entry.altName);
        }
    }
}

ComponentCatalogue& GetComponentCatalogue() {
    static ComponentCatalogue catalogue;
    return catalogue;
}

void CreateDefaultCatalogue() { GetComponentCatalogue().CreateDefaults(); }
void LoadCatalogue() { GetComponentCatalogue().Load(); }
const ComponentDef* FindComponentDef(std::wstring_view name) { return GetComponentCatalogue().Find(name); }
ComponentDef& AddComponentDef(const std::wstring& text) { return GetComponentCatalogue().Add(text); }
void SaveCatalogue(const std::vector<ComponentEdit>& edits) { GetComponentCatalogue().Save(edits); }

void ResetCatalogueForTest() { GetComponentCatalogue() = ComponentCatalogue(); }

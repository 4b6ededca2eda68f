#include "data/mixture_list.h"

#include "data/database.h"
#include "data/database_connection.h"
#include "base/text.h"

namespace {
const wchar_t* const kMixtureSql = L"SELECT id, name, ballon, release, expiry FROM [mixture] WHERE name = ?;";
const wchar_t* const kComponentSql =
    L"SELECT nameid, name, concentration, deviation FROM [mixturecomp] WHERE mixtureid = ?;";
}  // namespace

int32_t MixtureList::LoadMixture(const std::wstring& name) {
    int32_t result = -1;
    DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
    DataBase::Statement statement = database.Prepare(kMixtureSql);
    statement.Bind(name);
    statement.ForEachRow([&](int64_t id, std::wstring rowName, std::wstring ballon, CTime release, CTime expiry) {
        result = AddMixtureRow(id, std::move(rowName), std::move(ballon), release, expiry);
    });
    return result;
}

int32_t MixtureList::AddMixtureRow(int64_t id, std::wstring name, std::wstring ballon, CTime release,
                                   CTime expiry) {
    // Records keep the low 32 bits of the id; the duplicate test compares those,
    // so that even an out-of-range row id never yields a second record.
    const uint32_t key = static_cast<uint32_t>(id);
    int32_t existing = FindById(key);
    if (existing >= 0) return existing;

    auto record = std::make_unique<MixtureRecord>();
    record->id = key;
    record->name = std::move(name);
    record->ballon = std::move(ballon);
    record->release = release;
    record->expiry = expiry;
    MixtureRecord& added = *record;
    mixtures.push_back(std::move(record));
    const int32_t index = static_cast<int32_t>(mixtures.size() - 1);

    // A record stays with the components read so far if this query fails.
    DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
    DataBase::Statement statement = database.Prepare(kComponentSql);
    statement.Bind(added.id);
    statement.ForEachRow([&](std::wstring nameid, std::wstring componentName, double concentration, double deviation) {
        added.components.push_back({std::move(nameid), std::move(componentName), concentration, deviation});
    });
    return index;
}

void MixtureList::RemoveMixture(uint32_t id) {
    int32_t index = FindById(id);
    if (index >= 0) mixtures.erase(mixtures.begin() + index);
}

int32_t MixtureList::FindByName(const std::wstring& name) const {
    for (size_t i = 0; i < mixtures.size(); ++i)
        if (mixtures[i] && EqualFoldLatin(mixtures[i]->name, name)) return static_cast<int32_t>(i);
    return -1;
}

int32_t MixtureList::FindById(uint32_t id) const {
    for (size_t i = 0; i < mixtures.size(); ++i)
        if (mixtures[i] && mixtures[i]->id == id) return static_cast<int32_t>(i);
    return -1;
}

#include "data/assay_list.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "data/database.h"
#include "data/database_connection.h"
#include "data/norvane_file.h"
#include "host/services.h"

namespace {
const wchar_t* const kAssaySql =
    L"SELECT id, date, filename, sample, mixture FROM [assay] WHERE ishidden = 0 AND isdeleted = 0 AND id = ?;";
const wchar_t* const kPeaksSql = L"SELECT nameid, name, area, time, channel FROM [peak] WHERE assayid = ? ORDER BY time;";
const wchar_t* const kFileSql = L"SELECT filename FROM [assay] WHERE id = ?;";
}  // namespace

int32_t AssayList::LoadAssay(DataBase::Database& database, uint32_t id) {
    int32_t result = -1;
    DataBase::Statement statement = database.Prepare(kAssaySql);
    statement.Bind(id);
    statement.ForEachRow([&](int64_t rowId, CTime date, std::wstring filename, std::wstring sample,
                             std::wstring mixture) {
        result = AddAssayRow(database, rowId, date, std::move(filename), std::move(sample), std::move(mixture));
    });
    return result;
}

int32_t AssayList::AddAssayRow(DataBase::Database& database, int64_t id, CTime date, std::wstring filename,
                               std::wstring sample, std::wstring mixture) {
    // Records keep the low 32 bits of the id, and the duplicate test compares those.
    const uint32_t key = static_cast<uint32_t>(id);
    for (size_t i = 0; i < assays.size(); ++i)
        if (assays[i].id == key) return static_cast<int32_t>(i);

    AssayRecord record;
    record.id = key;
    record.date = date;
    record.filename = std::move(filename);
    record.sample = std::move(sample);
    record.mixture = std::move(mixture);
    {
        // Only the passport is needed; an unreadable file leaves both values at 0.0.
        CNorvaneFile4 file;
        if (file.LoadPassport(record.filename) == 0) {
            record.atmpressure = file.passport.atmpressure;
            record.airtemp = file.passport.airtemp;
        }
    }
    assays.push_back(std::move(record));
    const size_t index = assays.size() - 1;

    DataBase::Statement statement = database.Prepare(kPeaksSql);
    statement.Bind(key);
    statement.ForEachRow([&](std::wstring nameid, std::wstring name, double area, double time, int32_t channel) {
        if (name.empty()) return;
        assays[index].peaks.push_back({std::move(nameid), std::move(name), channel, area, time});
    });
    std::vector<PeakRecord>& peaks = assays[index].peaks;
    std::stable_sort(peaks.begin(), peaks.end(), [](const PeakRecord& a, const PeakRecord& b) {
        return a.channel != b.channel ? a.channel < b.channel : a.time < b.time;
    });

    LinkMixture(assays[index]);
    return static_cast<int32_t>(index);
}

void AssayList::LinkMixture(AssayRecord& record) {
    if (record.mixture.empty()) return;
    int32_t index = mixtureList_.FindByName(record.mixture);
    // The loader's result names the record of the database's row, which is the
    // last one appended unless that row's id was already in the list.
    if (index < 0) index = mixtureList_.LoadMixture(record.mixture);
    if (index < 0) return;
    MixtureRecord* mixture = mixtureList_.mixtures[static_cast<size_t>(index)].get();
    if (!mixture) return;
    record.mixtureRecord = mixture;
    for (auto& use : mixtureUse) {
        if (use.first == mixture->id) {
            ++use.second;
            return;
        }
    }
    mixtureUse.emplace_back(mixture->id, 1);
}

void AssayList::SortAssays() {
    auto key = [](const AssayRecord& r) -> uint64_t {
        return r.mixtureRecord ? uint64_t{r.mixtureRecord->id} + 1000 : 0;
    };
    std::stable_sort(assays.begin(), assays.end(), [&](const AssayRecord& a, const AssayRecord& b) {
        uint64_t ka = key(a), kb = key(b);
        return ka != kb ? ka < kb : a.date.GetTime() < b.date.GetTime();
    });
}

bool AssayList::ReleaseMixtureUse(uint32_t mixtureId) {
    for (auto it = mixtureUse.begin(); it != mixtureUse.end(); ++it) {
        if (it->first != mixtureId) continue;
        if (--it->second > 0) return false;
        mixtureUse.erase(it);
        return true;
    }
    return true;
}

bool AssayList::AddChromatograms(intptr_t ownerWindow, intptr_t* chosen) {
    if (chosen) *chosen = 0;
    if (!HostServiceAvailable(HostNames::kOpenAssayIdDlgEx)) return false;
    int32_t ids[kMaxSelection] = {};
    IdBuffer buffer{ids, kMaxSelection};
    intptr_t n = HostCallService(HostNames::kOpenAssayIdDlgEx, reinterpret_cast<intptr_t>(&buffer), ownerWindow);
    if (chosen) *chosen = n;
    // The buffer holds kMaxSelection ids: a larger count means ids the host could not hand over.
    if (n <= 0 || n > kMaxSelection) return false;

    DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
    bool loaded = false;
    for (intptr_t i = 0; i < n; ++i)
        if (LoadAssay(database, static_cast<uint32_t>(ids[i])) >= 0) loaded = true;
    return loaded;
}

void AssayList::OpenSelectedFiles(const std::vector<uint32_t>& ids) {
    if (!HostServiceAvailable(HostNames::kOpenAssayFile) || ids.empty()) return;
    DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
    for (uint32_t id : ids) {
        DataBase::Statement statement = database.Prepare(kFileSql);
        statement.Bind(id);
        statement.ForEachRow([](std::wstring filename) {
            HostCallService(HostNames::kOpenAssayFile, 0, reinterpret_cast<intptr_t>(filename.c_str()));
        });
    }
}

void AssayList::RemoveAssayAt(size_t index) {
    if (const MixtureRecord* mixture = assays[index].mixtureRecord) {
        const uint32_t mixtureId = mixture->id;
        if (ReleaseMixtureUse(mixtureId)) mixtureList_.RemoveMixture(mixtureId);
    }
    assays.erase(assays.begin() + static_cast<std::ptrdiff_t>(index));
}

bool AssayList::RemoveAssay(uint32_t id) {
    for (size_t i = 0; i < assays.size(); ++i) {
        if (assays[i].id == id) {
            RemoveAssayAt(i);
            return true;
        }
    }
    return false;
}

bool AssayList::RemoveAssaysOfMixture(uint32_t mixtureId) {
    bool removed = false;
    for (size_t i = 0; i < assays.size();) {
        if (assays[i].mixtureRecord && assays[i].mixtureRecord->id == mixtureId) {
            RemoveAssayAt(i);
            removed = true;
        } else {
            ++i;
        }
    }
    return removed;
}

void AssayList::ClearAll() {
    assays.clear();
    mixtureUse.clear();
    mixtureList_.Clear();
}

AssayList::Saved AssayList::Save() const {
    Saved saved;
    saved.mixtureUse = mixtureUse;
    std::vector<std::pair<const MixtureRecord*, MixtureRecord*>> moved;
    for (const auto& mixture : mixtureList_.mixtures) {
        saved.mixtures.push_back(mixture ? std::make_unique<MixtureRecord>(*mixture) : nullptr);
        moved.emplace_back(mixture.get(), saved.mixtures.back().get());
    }
    saved.assays = assays;
    for (AssayRecord& record : saved.assays) {
        if (!record.mixtureRecord) continue;
        auto it = std::find_if(moved.begin(), moved.end(), [&](const auto& m) { return m.first == record.mixtureRecord; });
        record.mixtureRecord = it != moved.end() ? it->second : nullptr;
    }
    return saved;
}

namespace {
bool g_failNextStep = false;
}  // namespace

void AssayList::FailNextStepForTest() { g_failNextStep = true; }

std::exception_ptr AssayList::RunAsOneStep(const std::function<void()>& operation) noexcept {
    std::optional<Saved> before;
    try {
        before = Save();
        operation();
        if (std::exchange(g_failNextStep, false)) throw std::bad_alloc();
        return nullptr;
    } catch (...) {
        if (before) Restore(std::move(*before));
        return std::current_exception();
    }
}

void AssayList::Restore(Saved saved) {
    assays = std::move(saved.assays);
    mixtureUse = std::move(saved.mixtureUse);
    mixtureList_.mixtures = std::move(saved.mixtures);
}

// The chromatograms (assays) chosen for the linearity check, with their peaks,
// their passport values and the use counts of the mixtures they link to.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "data/mixture_list.h"
#include "data/records.h"

namespace DataBase {
class Database;
}

class AssayList {
public:
    explicit AssayList(MixtureList& mixtureList) : mixtureList_(mixtureList) {}
    AssayList(const AssayList&) = delete;
    AssayList& operator=(const AssayList&) = delete;

    AssayRecords assays;     // at most one record per id
    MixtureUse mixtureUse;   // (mixture id, number of records linked to it)

    MixtureList& Mixtures() { return mixtureList_; }

    // Loads one visible assay with its peaks, passport values and mixture link.
    // Returns its index in assays (the existing one for an id already loaded),
    // or -1 for an unknown, hidden or deleted assay. Raises DataBase::SqlException.
    int32_t LoadAssay(DataBase::Database& database, uint32_t id);

    // The row handler of the assay query; the peaks are read on the same connection.
    int32_t AddAssayRow(DataBase::Database& database, int64_t id, CTime date, std::wstring filename,
                        std::wstring sample, std::wstring mixture);

    // Records without a mixture first, then by mixture id, each group by date.
    void SortAssays();

    // Counts one link to the mixture less. true when no link is left (the caller
    // then removes the mixture record) or when the mixture had no count.
    bool ReleaseMixtureUse(uint32_t mixtureId);

    // Lets the user pick chromatograms in the host's dialog and loads them; true
    // when at least one of them is (or already was) in the list. A choice of
    // more than kMaxSelection loads nothing; `chosen` receives the number the
    // host answered (0 when the dialog was not offered).
    bool AddChromatograms(intptr_t ownerWindow, intptr_t* chosen = nullptr);
    static constexpr int32_t kMaxSelection = 256;

    // Asks the host to open the chromatogram files of these assays.
    void OpenSelectedFiles(const std::vector<uint32_t>& ids);

    // Removes the first record with that id, and its mixture when it was the
    // mixture's last chromatogram. false when there is no such record.
    bool RemoveAssay(uint32_t id);
    // Removes every record linked to that mixture; true if any was removed.
    bool RemoveAssaysOfMixture(uint32_t mixtureId);

    // Empties the assay list, the use counts and the mixture list together.
    void ClearAll();

    // A copy of the assay list, the use counts and the mixture list, its links
    // pointing into the copy: what a reload puts back when the database fails
    // half-way, so that a failed reload loses nothing.
    struct Saved {
        AssayRecords assays;
        MixtureUse mixtureUse;
        MixtureRecords mixtures;
    };
    Saved Save() const;
    // Replaces the three lists with the saved ones.
    void Restore(Saved saved);

    // Runs an operation on the lists as one step. Whatever it throws (a
    // database error, no memory, ...) is caught: the lists are put back as they
    // were before it and the failure is returned; null when it succeeded. The
    // records then are copies, so every result that links to the old ones must
    // be computed again. Nothing leaves this function.
    std::exception_ptr RunAsOneStep(const std::function<void()>& operation) noexcept;
    // The next RunAsOneStep fails with std::bad_alloc after its operation has
    // run (for the test host only: the plug-in arms it only when the host
    // offers its test service).
    static void FailNextStepForTest();

private:
    void RemoveAssayAt(size_t index);
    void LinkMixture(AssayRecord& record);

    MixtureList& mixtureList_;
};

// The calibration mixtures the loaded chromatograms name, each with its
// certified composition. Records are held by address: assay records and
// calculation levels link to them, so they never move while in the list.
#pragma once

#include <cstdint>
#include <string>

#include "data/records.h"

class MixtureList {
public:
    MixtureRecords mixtures;  // in the order of loading; at most one record per id

    // Loads every mixture of exactly that name (the database's own comparison)
    // not yet in the list, with its components, on connections of its own.
    // Returns the index of the record of the last row returned, or -1 when the
    // database knows no mixture of that name. Raises DataBase::SqlException.
    int32_t LoadMixture(const std::wstring& name);

    // The row handler of the mixture query: the index of the record with that
    // id, appending it (and reading its components) when it is new.
    int32_t AddMixtureRow(int64_t id, std::wstring name, std::wstring ballon, CTime release, CTime expiry);

    // Destroys the first record with that id, keeping the order of the others.
    void RemoveMixture(uint32_t id);
    void Clear() { mixtures.clear(); }

    // The first record whose name equals name with only A-Z folding case, or -1.
    int32_t FindByName(const std::wstring& name) const;
    int32_t FindById(uint32_t id) const;
};

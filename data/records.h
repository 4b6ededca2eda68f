// The input records of the linearity check: loaded chromatograms (assays) with
// their identified peaks, and calibration mixtures with their certified
// components. Assay records link to mixture records without owning them; the
// mixture list holds each record by address so that links never move.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/ctime.h"

struct PeakRecord {
    std::wstring nameid;  // [peak].nameid, read as text
    std::wstring name;    // component name; never empty in a loaded record
    int32_t channel = 0;  // detector channel, 0-based (shown as channel + 1)
    double area = 0.0;
    double time = 0.0;  // retention time, minutes
};

struct MixtureComponent {
    std::wstring nameid;
    std::wstring name;
    double concentration = 0.0;  // certified molar fraction, mol%
    double deviation = 0.0;      // its uncertainty, per cent relative
};

struct MixtureRecord {
    uint32_t id = 0;
    std::wstring name;    // the key by which chromatograms name their mixture
    std::wstring ballon;  // gas cylinder number
    CTime release;
    CTime expiry;
    std::vector<MixtureComponent> components;  // in database row order
};

struct AssayRecord {
    uint32_t id = 0;
    CTime date;
    std::wstring filename;
    std::wstring sample;
    std::wstring mixture;  // may be empty
    double atmpressure = 0.0;  // kPa, from the file passport; 0.0 when the file was not read
    double airtemp = 0.0;      // °C, likewise
    MixtureRecord* mixtureRecord = nullptr;  // non-owning; none when the mixture is unknown
    std::vector<PeakRecord> peaks;           // ascending by channel, then by time
};

// The sequences the assay and mixture list pages own.
using AssayRecords = std::vector<AssayRecord>;
using MixtureRecords = std::vector<std::unique_ptr<MixtureRecord>>;
// (mixture id, number of assay records linked to it)
using MixtureUse = std::vector<std::pair<uint32_t, int32_t>>;

// The host's chromatogram file: a 16-byte header, one binary block per detector
// channel (header and samples), then an XML document with the passport and the
// peak tables, to the end of the file.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct ColumnInfo {
    int32_t channel = 0;
    std::wstring name, brand;
    int32_t type = 0;
    double diameter = 0.0, length = 0.0;
    std::wstring carrier, phase;
    double percent = 0.0;
    int32_t unit = 0;
    double fraction0 = 0.0, fraction1 = 0.0, film = 0.0;
    std::wstring part, serial;
};

struct Passport {
    std::wstring assayid = L"00000000-0000-0000-0000-000000000000";
    std::wstring sample, series, detector, method, eluent, reagent, operator_, station, place, mixture;
    int32_t numinseria = -1;
    int32_t graduation = 0;
    int32_t vial = 1;
    double volume = 1.0, dilution = 1.0, norm = 100.0, duration = 0.0, liquidflag = -1.0;
    double eluentflow = 0.0, eluenttemp = 0.0, eluentpressuer = 0.0;
    double reagentflow = 0.0, reagenttemp = 0.0, reagentpressuer = 0.0;
    std::wstring extraparam;
    int64_t date = 0, andate = 0;
    std::wstring comment;
    std::vector<ColumnInfo> columns;
    double atmpressure = 0.0;  // kPa
    double airtemp = 0.0;      // °C
    std::wstring gasparams, tempparams;
    bool defect = false;
};

struct PeakItem {
    double front = 0.0, back = 0.0, time = 0.0, area = 0.0, height = 0.0, concent = 0.0;
    std::wstring name;
    bool reference = false;
    int32_t left = 0, right = 0;
    uint32_t flags = 0;
    double front_base_height = 0.0, back_base_height = 0.0, index = 0.0;
};

struct FileChannel {
    int32_t number = 0;  // only the low 8 bits are kept in the binary part
    std::vector<PeakItem> peaks;

    // Guarded by signalLock, which the file operations hold while they use them.
    std::vector<int32_t> samples;  // the detector signal, carried unchanged
    double signal1 = 0.0;
    double signal2 = 1.0;
    mutable std::mutex signalLock;
};

// Calls visitor(elementName, member) for every member, in element order (the
// column list of the passport is not among them). Shared by the reader, the
// writer and the file inspector.
template <class P, class V>
void VisitMembers(P& p, V&& v, decltype(p.numinseria)* = nullptr) {
    v(L"assayid", p.assayid); v(L"sample", p.sample); v(L"series", p.series); v(L"detector", p.detector);
    v(L"method", p.method); v(L"eluent", p.eluent); v(L"reagent", p.reagent); v(L"operator", p.operator_);
    v(L"station", p.station); v(L"place", p.place); v(L"mixture", p.mixture);
    v(L"numinseria", p.numinseria); v(L"graduation", p.graduation); v(L"vial", p.vial);
    v(L"volume", p.volume); v(L"dilution", p.dilution); v(L"norm", p.norm); v(L"duration", p.duration);
    v(L"liquidflag", p.liquidflag); v(L"eluentflow", p.eluentflow); v(L"eluenttemp", p.eluenttemp);
    v(L"eluentpressuer", p.eluentpressuer); v(L"reagentflow", p.reagentflow); v(L"reagenttemp", p.reagenttemp);
    v(L"reagentpressuer", p.reagentpressuer); v(L"extraparam", p.extraparam); v(L"date", p.date);
    v(L"andate", p.andate); v(L"comment", p.comment); v(L"atmpressure", p.atmpressure);
    v(L"airtemp", p.airtemp); v(L"gasparams", p.gasparams); v(L"tempparams", p.tempparams);
    v(L"defect", p.defect);
}
template <class C, class V>
void VisitMembers(C& c, V&& v, decltype(c.fraction0)* = nullptr) {
    v(L"channel", c.channel); v(L"name", c.name); v(L"brand", c.brand); v(L"type", c.type);
    v(L"diameter", c.diameter); v(L"length", c.length); v(L"carrier", c.carrier); v(L"phase", c.phase);
    v(L"percent", c.percent); v(L"unit", c.unit); v(L"fraction0", c.fraction0); v(L"fraction1", c.fraction1);
    v(L"film", c.film); v(L"part", c.part); v(L"serial", c.serial);
}
template <class I, class V>
void VisitMembers(I& i, V&& v, decltype(i.front_base_height)* = nullptr) {
    v(L"front", i.front); v(L"back", i.back); v(L"time", i.time); v(L"area", i.area); v(L"height", i.height);
    v(L"concent", i.concent); v(L"name", i.name); v(L"reference", i.reference); v(L"left", i.left);
    v(L"right", i.right); v(L"flags", i.flags); v(L"front_base_height", i.front_base_height);
    v(L"back_base_height", i.back_base_height); v(L"index", i.index);
}

class CNorvaneFile4 {
public:
    // Result codes; 0 is success.
    enum : int {
        kOk = 0,
        kOpenFailed = -1,       // cannot open for reading / create for writing
        kHeaderFailed = -2,     // the 16-byte header cannot be read / written
        kBadSignature = -3,     // the file does not begin with "STG"
        kBadVersion = -4,       // format version above 1
        kBlockFailed = -5,      // a channel block header cannot be read / written
        kSamplesFailed = -6,    // fewer samples than the block's count / count above 32 bits
        kXmlFailed = -7,        // the XML part does not parse / the stream failed after writing it
    };

    // The most channel blocks a read accepts; a block beyond them gives
    // kBlockFailed. The binary part keeps one byte of a channel number, so 256
    // blocks give every number a channel of its own, where an instrument has a
    // handful of detectors; and the channel list and the matching of the peak
    // tables to the channels cost next to nothing at that size.
    static constexpr size_t kMaxChannels = 256;
    // The longest XML part a read accepts; a longer one gives kXmlFailed. The
    // passport, columns and peak tables of a real file take a few hundred KB
    // (about 0.5 KB a peak), so this leaves room for some 30 000 peaks, while the
    // parsed document, which takes up to about 10 times the text in the 32-bit
    // build (20 in the 64-bit one, for a text of nothing but empty elements),
    // stays within what the host's process can spare for one read.
    static constexpr uint64_t kMaxXmlBytes = uint64_t{16} << 20;

    CNorvaneFile4() = default;
    virtual ~CNorvaneFile4() = default;
    CNorvaneFile4(const CNorvaneFile4&) = delete;
    CNorvaneFile4& operator=(const CNorvaneFile4&) = delete;

    virtual int LoadFromFile(const std::wstring& path);
    virtual int SaveToFile(const std::wstring& path);

    // Reads the passport and its columns: the result is the one LoadFromFile
    // would give (block structure, file length and the whole XML part are
    // checked), the channels are listed with their numbers and signal reals,
    // without samples and without peak tables.
    int LoadPassport(const std::wstring& path);
    // The loads never throw: memory running out during a read makes the file
    // unreadable with the code of the part being read.

    uint8_t version = 1;
    Passport passport;
    std::wstring path;
    std::deque<FileChannel> channels;

    // The same from file bytes held in memory (withSamples false: as
    // LoadPassport); path is left alone.
    int LoadFromMemory(const void* data, size_t size, bool withSamples = true);

private:
    int Load(const std::wstring& path, bool withSamples);
};

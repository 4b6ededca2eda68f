// tessaro-sample: writes a host database (host.db) and the chromatogram files
// it names, deterministic from a seed. The default data set: five certified
// natural-gas mixtures analysed five times each on two detector channels
// (channel 1: thermal conductivity, permanent gases; channel 2: flame
// ionisation, hydrocarbons), plus hidden, deleted and blank analyses.
// --runs-per-mixture N analyses each mixture N times instead (51 gives 256
// visible chromatograms with the blank, the most one selection can hold).
//
//   tessaro-sample --out DIR [--seed N] [--windows-paths] [--signal-points N] [--runs-per-mixture N]
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/norvane_file.h"
#include "base/text.h"

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMixtures = 5;
constexpr int kDefaultRunsPerMixture = 5;
constexpr double kRunMinutes = 12.0;
constexpr double kSampleHz = 20.0;
constexpr int64_t kFirstRun = 1710228600;  // 2024-03-12 07:30 UTC

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Next() >> 11) / 9007199254740992.0; }  // [0, 1)
    double Between(double a, double b) { return a + (b - a) * Uniform(); }
    double Normal() {
        double u = 1.0 - Uniform(), v = Uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * kPi * v);
    }

private:
    uint64_t state_;
};

// A certified component: its five levels (mol%), where each detector sees it
// (retention time in minutes, or 0 when it does not) and its response (area per mol%).
struct ComponentSpec {
    const wchar_t* name;
    const wchar_t* nameid;  // the short formula a host identifies the peak by
    double levels[kMixtures];
    double tcdTime, tcdResponse;
    double fidTime, fidResponse;
};

const ComponentSpec kComponents[] = {
    {L"Этан", L"C2H6", {0.6, 2.1, 4.4, 7.9, 14.8}, 5.12, 420, 1.87, 24600},
    {L"Пропан", L"C3H8", {0.12, 0.58, 1.46, 2.96, 5.8}, 0, 0, 3.02, 36400},
    {L"Изобутан", L"i-C4H10", {0.021, 0.105, 0.31, 0.79, 1.75}, 0, 0, 4.46, 47800},
    {L"н-Бутан", L"n-C4H10", {0.023, 0.118, 0.36, 0.88, 1.96}, 0, 0, 4.98, 48300},
    {L"Неопентан", L"neo-C5H12", {0.0052, 0.0104, 0.021, 0.041, 0.079}, 0, 0, 5.61, 59100},
    {L"Изопентан", L"i-C5H12", {0.011, 0.048, 0.121, 0.296, 0.59}, 0, 0, 6.82, 59600},
    {L"н-Пентан", L"n-C5H12", {0.0098, 0.051, 0.118, 0.304, 0.61}, 0, 0, 7.35, 60200},
    {L"Гексаны", L"C6H14", {0.0051, 0.021, 0.058, 0.152, 0.31}, 0, 0, 10.4, 71800},
    {L"Азот", L"N2", {0.012, 0.024, 0.51, 2.48, 19.8}, 1.43, 270, 0, 0},
    {L"Диоксид углерода", L"CO2", {0.0152, 0.098, 0.61, 2.02, 5.95}, 3.31, 385, 0, 0},
    {L"Кислород", L"O2", {0.0048, 0.021, 0.052, 0.248, 0.59}, 1.18, 265, 0, 0},
    {L"Гелий", L"He", {0.0051, 0.0198, 0.051, 0.102, 0.298}, 0.62, 410, 0, 0},
    {L"Водород", L"H2", {0.0021, 0.0102, 0.049, 0.201, 0.51}, 0.71, 980, 0, 0},
};
const ComponentSpec kMethane = {L"Метан", L"CH4", {}, 2.06, 310, 1.34, 12500};
const uint32_t kMixtureIds[kMixtures] = {12, 15, 17, 21, 24};

double RoundSignificant(double v, int digits) {
    if (v == 0) return 0;
    double scale = std::pow(10.0, digits - 1 - static_cast<int>(std::floor(std::log10(std::fabs(v)))));
    return std::round(v * scale) / scale;
}

struct Certified {
    const ComponentSpec* spec;
    double concentration;
    double deviation;
};

struct MixtureData {
    uint32_t id;
    std::wstring name, ballon;
    int64_t release, expiry;
    std::vector<Certified> components;  // methane first
};

constexpr int64_t kLongExpiry = 4102401600;

std::vector<MixtureData> MakeMixtures(Random& random) {
    std::vector<MixtureData> out;
    for (int m = 0; m < kMixtures; ++m) {
        MixtureData mix;
        mix.id = kMixtureIds[m];
        mix.name = FormatW(L"ПГ-%d (природный газ)", m + 1);
        mix.ballon = FormatW(L"Б-%05d", static_cast<int>(random.Between(10000, 99999)));
        mix.release = kFirstRun - static_cast<int64_t>(random.Between(60, 200)) * 86400;
        mix.expiry = mix.release + 548 * 86400;
        // The last cylinder is certified for long: a date past 2038, which a
        // 32-bit time would get wrong (2099-12-31, noon UTC: the same day in
        // every time zone).
        if (m == kMixtures - 1) mix.expiry = kLongExpiry;
        double sum = 0;
        std::vector<Certified> others;
        for (const ComponentSpec& c : kComponents) {
            double x = RoundSignificant(c.levels[m] * random.Between(0.96, 1.04), 3);
            sum += x;
            others.push_back({&c, x, 0});
        }
        mix.components.push_back({&kMethane, std::round((100.0 - sum) * 1000.0) / 1000.0, 0});
        mix.components.insert(mix.components.end(), others.begin(), others.end());
        for (Certified& c : mix.components)
            c.deviation = std::round(std::fmin(12.0, 0.1 + 0.9 / std::sqrt(c.concentration)) * 100.0) / 100.0;
        out.push_back(std::move(mix));
    }
    return out;
}

struct AssayPlan {
    uint32_t id;
    int mixture;  // index into the mixtures, or -1 for a blank run
    int hidden, deleted;
    int64_t date;
};

// Ids 1..5N: the runs of each mixture in turn; then two hidden repeats, two
// deleted runs and the blank (26-30 with five runs each).
std::vector<AssayPlan> PlanAssays(Random& random, int runsPerMixture) {
    std::vector<AssayPlan> plan;
    int64_t t = kFirstRun;
    auto next = [&] { return t += 28 * 60 + static_cast<int64_t>(random.Between(0, 240)); };
    for (int m = 0; m < kMixtures; ++m)
        for (int r = 0; r < runsPerMixture; ++r)
            plan.push_back({static_cast<uint32_t>(plan.size() + 1), m, 0, 0, next()});
    auto id = [&] { return static_cast<uint32_t>(plan.size() + 1); };
    plan.push_back({id(), 1, 1, 0, next()});   // hidden repeats
    plan.push_back({id(), 3, 1, 0, next()});
    plan.push_back({id(), 0, 0, 1, next()});   // deleted runs
    plan.push_back({id(), 4, 0, 1, next()});
    plan.push_back({id(), -1, 0, 0, next()});  // a blank run without mixture
    return plan;
}

struct PeakData {
    std::wstring name;
    std::wstring nameid;  // empty for an unidentified peak
    int32_t channel;
    double time, area;
};

class Db {
public:
    explicit Db(const fs::path& file) {
        if (sqlite3_open(file.string().c_str(), &db_) != SQLITE_OK) Fail("open");
    }
    ~Db() { sqlite3_close(db_); }
    void Exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail(sql);
        return st;
    }
    void Run(sqlite3_stmt* st) {
        if (sqlite3_step(st) != SQLITE_DONE) Fail(sqlite3_sql(st));
        sqlite3_reset(st);
    }
    [[noreturn]] void Fail(const char* what) { throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db_)); }

private:
    sqlite3* db_ = nullptr;
};

void BindText(sqlite3_stmt* st, int i, const std::wstring& text) {
    std::string utf8 = Utf8FromWide(text);
    sqlite3_bind_text(st, i, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

const char* const kSchema =
    "CREATE TABLE mixture (id INTEGER PRIMARY KEY, name TEXT NOT NULL, ballon TEXT, release INTEGER,"
    " expiry INTEGER);"
    "CREATE TABLE mixturecomp (id INTEGER PRIMARY KEY, mixtureid INTEGER NOT NULL REFERENCES mixture(id),"
    " nameid TEXT, name TEXT, concentration REAL, deviation REAL);"
    "CREATE TABLE assay (id INTEGER PRIMARY KEY, date INTEGER, filename TEXT, sample TEXT, mixture TEXT,"
    " ishidden INTEGER NOT NULL DEFAULT 0, isdeleted INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE peak (id INTEGER PRIMARY KEY, assayid INTEGER NOT NULL REFERENCES assay(id), nameid TEXT,"
    " name TEXT, area REAL, time REAL, channel INTEGER);"
    "CREATE INDEX mixture_name ON mixture(name);"
    "CREATE INDEX mixturecomp_mixture ON mixturecomp(mixtureid);"
    "CREATE INDEX peak_assay ON peak(assayid);";

// The peaks one analysis finds: every certified component its detectors see,
// areas proportional to the certified level with a small scatter, and one
// unidentified peak per channel.
std::vector<PeakData> MakePeaks(Random& random, const MixtureData* mixture) {
    std::vector<PeakData> peaks;
    auto add = [&](const std::wstring& name, const std::wstring& nameid, int32_t channel, double time, double response, double x) {
        double rsd = 0.002 + 0.0004 / std::sqrt(x);
        double area = response * x * (1.0 + rsd * random.Normal());
        peaks.push_back({name, nameid, channel, time + 0.002 * random.Normal(), area});
    };
    if (mixture) {
        for (const Certified& c : mixture->components) {
            if (c.spec->tcdTime > 0) add(c.spec->name, c.spec->nameid, 0, c.spec->tcdTime, c.spec->tcdResponse, c.concentration);
            if (c.spec->fidTime > 0) add(c.spec->name, c.spec->nameid, 1, c.spec->fidTime, c.spec->fidResponse, c.concentration);
        }
    } else {  // air
        add(L"Кислород", L"O2", 0, 1.18, 265, 20.9);
        add(L"Азот", L"N2", 0, 1.43, 270, 78.1);
    }
    add(L"", L"", 0, 8.9, 120, random.Between(0.002, 0.01));
    add(L"", L"", 1, 11.6, 5000, random.Between(0.001, 0.004));
    return peaks;
}

void FillChannels(Random& random, CNorvaneFile4& file, const std::vector<PeakData>& peaks, size_t points) {
    for (int32_t number = 0; number < 2; ++number) {
        FileChannel& channel = file.channels.emplace_back();
        channel.number = number;
        channel.signal1 = 0.0;
        channel.signal2 = 1.0 / kSampleHz;
        const double baseline = number == 0 ? 1520.0 : 310.0;
        std::vector<double> signal(points);
        for (size_t i = 0; i < points; ++i) signal[i] = baseline + 0.4 * i / static_cast<double>(points) + 2.0 * random.Normal();
        int index = 0;
        for (const PeakData& p : peaks) {
            if (p.channel != number) continue;
            double sigmaMin = 0.008 + 0.003 * p.time;
            double sigmaS = sigmaMin * 60.0;
            double height = p.area / (sigmaS * std::sqrt(2.0 * kPi));
            double center = p.time * 60.0 * kSampleHz;
            double halfWidth = 6.0 * sigmaS * kSampleHz;
            for (double s = std::floor(center - halfWidth); s <= center + halfWidth; ++s) {
                if (s < 0 || s >= static_cast<double>(points)) continue;
                double z = (s - center) / (sigmaS * kSampleHz);
                signal[static_cast<size_t>(s)] += height * std::exp(-0.5 * z * z);
            }
            PeakItem item;
            item.front = p.time - 3 * sigmaMin;
            item.back = p.time + 4 * sigmaMin;
            item.time = p.time;
            item.area = p.area;
            item.height = height;
            item.name = p.name;
            item.reference = p.name == L"Метан";
            item.left = static_cast<int32_t>(item.front * 60.0 * kSampleHz);
            item.right = static_cast<int32_t>(item.back * 60.0 * kSampleHz);
            item.front_base_height = item.back_base_height = baseline;
            item.index = ++index;
            channel.peaks.push_back(item);
        }
        channel.samples.resize(points);
        for (size_t i = 0; i < points; ++i) channel.samples[i] = static_cast<int32_t>(std::lround(std::fmin(signal[i], 2.0e9)));
    }
}

ColumnInfo Column(int32_t channel, const wchar_t* name, const wchar_t* brand, int32_t type, double diameter,
                  double length, const wchar_t* carrier, const wchar_t* phase, double film) {
    ColumnInfo c;
    c.channel = channel;
    c.name = name;
    c.brand = brand;
    c.type = type;
    c.diameter = diameter;  // mm
    c.length = length;      // m
    c.carrier = carrier;
    c.phase = phase;
    c.film = film;          // µm
    c.unit = 1;
    return c;
}

void FillPassport(Random& random, Passport& p, const AssayPlan& a, const MixtureData* mixture, int64_t n) {
    p.assayid = FormatW(L"%08x-%04x-4%03x-a%03x-%012llx", static_cast<unsigned>(random.Next()),
                        static_cast<unsigned>(random.Next() & 0xFFFF), static_cast<unsigned>(random.Next() & 0xFFF),
                        static_cast<unsigned>(random.Next() & 0xFFF),
                        static_cast<unsigned long long>(random.Next() & 0xFFFFFFFFFFFFull));
    p.sample = mixture ? mixture->name : L"Воздух (холостой опыт)";
    p.series = L"Линейность детекторов, март";
    p.detector = L"ДТП / ПИД";
    p.method = L"Природный газ, компонентный состав";
    p.operator_ = L"Оператор лаборатории";
    p.station = L"Хроматограф №2";
    p.place = L"Лаборатория газового анализа";
    p.mixture = mixture ? mixture->name : L"";
    p.numinseria = static_cast<int32_t>(n);
    p.volume = 1.0;
    p.duration = kRunMinutes;
    p.date = a.date;
    p.andate = a.date + static_cast<int64_t>(kRunMinutes * 60);
    // Pressure drifts slowly over the day; the room warms up towards noon.
    double hours = static_cast<double>(a.date - kFirstRun) / 3600.0;
    p.atmpressure = std::round((100.62 - 0.035 * hours + 0.03 * random.Normal()) * 100.0) / 100.0;
    p.airtemp = std::round((20.8 + 1.6 * std::sin(hours / 8.0 * kPi) + 0.15 * random.Normal()) * 10.0) / 10.0;
    p.columns = {Column(0, L"Насадочная, молекулярные сита", L"NaX 60/80", 1, 2.0, 3.0, L"аргон", L"цеолит NaX", 0.0),
                 Column(1, L"Капиллярная PLOT", L"Al2O3/KCl", 2, 0.53, 50.0, L"гелий", L"оксид алюминия", 10.0)};
}

std::wstring HostPath(const fs::path& file, bool windows) {
    std::wstring path = WideFromUtf8(file.string());
    if (!windows) return path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

int Generate(const fs::path& outDir, uint64_t seed, bool windowsPaths, size_t points, int runsPerMixture) {
    Random random(seed);
    fs::create_directories(outDir / "chromatograms");
    const fs::path dbFile = outDir / "host.db";
    fs::remove(dbFile);
    Db db(dbFile);
    db.Exec(kSchema);
    db.Exec("BEGIN;");

    std::vector<MixtureData> mixtures = MakeMixtures(random);
    sqlite3_stmt* insertMixture = db.Prepare("INSERT INTO mixture VALUES (?, ?, ?, ?, ?);");
    sqlite3_stmt* insertComponent = db.Prepare(
        "INSERT INTO mixturecomp (mixtureid, nameid, name, concentration, deviation) VALUES (?, ?, ?, ?, ?);");
    auto addMixture = [&](const MixtureData& m) {
        sqlite3_bind_int64(insertMixture, 1, m.id);
        BindText(insertMixture, 2, m.name);
        BindText(insertMixture, 3, m.ballon);
        sqlite3_bind_int64(insertMixture, 4, m.release);
        sqlite3_bind_int64(insertMixture, 5, m.expiry);
        db.Run(insertMixture);
        for (const Certified& c : m.components) {
            sqlite3_bind_int64(insertComponent, 1, m.id);
            BindText(insertComponent, 2, c.spec->nameid);
            BindText(insertComponent, 3, c.spec->name);
            sqlite3_bind_double(insertComponent, 4, c.concentration);
            sqlite3_bind_double(insertComponent, 5, c.deviation);
            db.Run(insertComponent);
        }
    };
    for (const MixtureData& m : mixtures) addMixture(m);
    // A mixture of the host that no chromatogram of the set names.
    addMixture({5, L"Воздух поверочный", L"Б-00417", kFirstRun - 400 * 86400, kFirstRun + 330 * 86400, {}});

    sqlite3_stmt* insertAssay = db.Prepare("INSERT INTO assay VALUES (?, ?, ?, ?, ?, ?, ?);");
    sqlite3_stmt* insertPeak =
        db.Prepare("INSERT INTO peak (assayid, nameid, name, area, time, channel) VALUES (?, ?, ?, ?, ?, ?);");
    int64_t n = 0;
    for (const AssayPlan& a : PlanAssays(random, runsPerMixture)) {
        const MixtureData* mixture = a.mixture >= 0 ? &mixtures[static_cast<size_t>(a.mixture)] : nullptr;
        const fs::path file = fs::absolute(outDir / "chromatograms" / FormatW(L"assay-%03u.chr", a.id));
        std::vector<PeakData> peaks = MakePeaks(random, mixture);
        CNorvaneFile4 chromatogram;
        FillPassport(random, chromatogram.passport, a, mixture, ++n);
        FillChannels(random, chromatogram, peaks, points);
        if (chromatogram.SaveToFile(WideFromUtf8(file.string())) != 0)
            throw std::runtime_error("cannot write " + file.string());

        sqlite3_bind_int64(insertAssay, 1, a.id);
        sqlite3_bind_int64(insertAssay, 2, a.date);
        BindText(insertAssay, 3, HostPath(file, windowsPaths));
        BindText(insertAssay, 4, chromatogram.passport.sample + FormatW(L", анализ %u", a.id));
        BindText(insertAssay, 5, mixture ? mixture->name : L"");
        sqlite3_bind_int(insertAssay, 6, a.hidden);
        sqlite3_bind_int(insertAssay, 7, a.deleted);
        db.Run(insertAssay);
        for (const PeakData& p : peaks) {
            sqlite3_bind_int64(insertPeak, 1, a.id);
            if (!p.nameid.empty()) BindText(insertPeak, 2, p.nameid);
            else sqlite3_bind_null(insertPeak, 2);
            BindText(insertPeak, 3, p.name);
            sqlite3_bind_double(insertPeak, 4, p.area);
            sqlite3_bind_double(insertPeak, 5, p.time);
            sqlite3_bind_int(insertPeak, 6, p.channel);
            db.Run(insertPeak);
        }
    }
    for (sqlite3_stmt* st : {insertMixture, insertComponent, insertAssay, insertPeak}) sqlite3_finalize(st);
    db.Exec("COMMIT;");
    const int runs = kMixtures * runsPerMixture;
    std::printf("%s: mixtures 12, 15, 17, 21, 24 (and 5, unused); assays 1-%d visible, %d-%d hidden, "
                "%d-%d deleted, %d blank without mixture\n",
                dbFile.string().c_str(), runs, runs + 1, runs + 2, runs + 3, runs + 4, runs + 5);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tessaro-sample --out DIR [--seed N] [--windows-paths] [--signal-points N]"
                 " [--runs-per-mixture N]\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path out;
    uint64_t seed = 1;
    bool windowsPaths = false;
    size_t points = static_cast<size_t>(kRunMinutes * 60 * kSampleHz);
    int runsPerMixture = kDefaultRunsPerMixture;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--out" && hasValue) out = argv[++i];
        else if (arg == "--seed" && hasValue) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--signal-points" && hasValue) points = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--runs-per-mixture" && hasValue) runsPerMixture = std::atoi(argv[++i]);
        else if (arg == "--windows-paths") windowsPaths = true;
        else return Usage();
    }
    if (out.empty() || runsPerMixture < 1 || runsPerMixture > 1000) return Usage();
    try {
        return Generate(out, seed, windowsPaths, points, runsPerMixture);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessaro-sample: %s\n", e.what());
        return 1;
    }
}

// Speed of the data sources: the passport read the assay loader needs (about
// the same for a 64 MB file as for a 1 MB one), a full chromatogram load
// against plainly reading the bytes, loading 256 assays of 60 peaks each, and
// the portable share of listing them (sorting, the filter entries, the rows).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

#include "data/assay_list.h"
#include "data/database.h"
#include "data/database_connection.h"
#include "data/norvane_file.h"
#include "tests/unit/data_fixture.h"
#include "ui/model/input_tables.h"

namespace {

TempDir& Scratch() {
    static TempDir dir;
    return dir;
}

// A file of about the given size: two channels of samples and a small passport with peak tables.
void WriteChromatogram(const std::wstring& path, size_t megabytes, double atmpressure) {
    CNorvaneFile4 file;
    file.passport.atmpressure = atmpressure;
    file.passport.airtemp = 21.5;
    for (int number = 0; number < 2; ++number) {
        FileChannel& channel = file.channels.emplace_back();
        channel.number = number;
        channel.samples.resize(megabytes * 1024 * 1024 / 8);
        for (size_t i = 0; i < channel.samples.size(); ++i) channel.samples[i] = static_cast<int32_t>(i % 4099);
        channel.peaks.resize(30);
    }
    if (file.SaveToFile(path) != 0) std::abort();
}

const std::wstring& FileOf(size_t megabytes) {
    static std::map<size_t, std::wstring> files;
    auto it = files.find(megabytes);
    if (it == files.end()) {
        std::wstring path = Scratch().Wide("signal-" + std::to_string(megabytes) + "mb.chr");
        WriteChromatogram(path, megabytes, 100.1);
        it = files.emplace(megabytes, path).first;
    }
    return it->second;
}

void BM_PassportLoad(benchmark::State& state) {
    const std::wstring& path = FileOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CNorvaneFile4 file;
        if (file.LoadPassport(path) != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(file.passport.atmpressure);
    }
}
BENCHMARK(BM_PassportLoad)->Arg(1)->Arg(64)->Unit(benchmark::kMicrosecond);

void BM_FullLoad(benchmark::State& state) {
    const std::wstring& path = FileOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        CNorvaneFile4 file;
        if (file.LoadFromFile(path) != 0) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(file.channels[0].samples.data());
    }
}
BENCHMARK(BM_FullLoad)->Arg(64)->Unit(benchmark::kMillisecond);

// The yardstick of the full load: the same bytes read into memory and nothing else.
void BM_PlainRead(benchmark::State& state) {
    const std::string path = Utf8FromWide(FileOf(static_cast<size_t>(state.range(0))));
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        std::vector<char> bytes(static_cast<size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) state.SkipWithError("short read");
        std::fclose(f);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_PlainRead)->Arg(64)->Unit(benchmark::kMillisecond);

constexpr int kAssays = 256;
constexpr int kPeaks = 60;

// A host database of 256 visible assays with 60 peaks each on two channels,
// of five mixtures, each assay with a chromatogram file of realistic size.
const std::wstring& AssayDatabase() {
    static std::wstring uri;
    if (!uri.empty()) return uri;
    HostDb db(Scratch().Path() / "assays.db");
    db.CreateTables();
    std::string sql = "BEGIN;";
    for (int m = 1; m <= 5; ++m) {
        sql += "INSERT INTO mixture VALUES (" + std::to_string(m) + ", 'Смесь " + std::to_string(m) + "', 'Б', 0, 0);";
        for (int c = 0; c < 14; ++c)
            sql += "INSERT INTO mixturecomp (mixtureid, nameid, name, concentration, deviation) VALUES (" +
                   std::to_string(m) + ", " + std::to_string(c) + ", 'Компонент " + std::to_string(c) + "', 1.5, 2.0);";
    }
    for (int a = 1; a <= kAssays; ++a) {
        std::wstring file = Scratch().Wide("assay-" + std::to_string(a) + ".chr");
        WriteChromatogram(file, 0, 100.0 + a * 0.01);  // passport and peak tables only
        sql += "INSERT INTO assay VALUES (" + std::to_string(a) + ", " + std::to_string(1700000000 + a * 1800) + ", '" +
               Utf8FromWide(file) + "', 'Проба', 'Смесь " + std::to_string(a % 5 + 1) + "', 0, 0);";
        for (int p = 0; p < kPeaks; ++p)
            sql += "INSERT INTO peak (assayid, nameid, name, area, time, channel) VALUES (" + std::to_string(a) + ", " +
                   std::to_string(p) + ", 'Пик " + std::to_string(p % 30) + "', " + std::to_string(1000 + p) + ", " +
                   std::to_string(0.5 + 0.17 * (p % 30)) + ", " + std::to_string(p / 30) + ");";
    }
    db.Exec(sql + "CREATE INDEX peak_assay ON peak(assayid); COMMIT;");
    uri = Scratch().Wide("assays.db");
    return uri;
}

void BM_Load256Assays(benchmark::State& state) {
    DataBaseConnection::GetInstance().SetUri(AssayDatabase().c_str());
    for (auto _ : state) {
        MixtureList mixtures;
        AssayList list(mixtures);
        DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
        for (uint32_t id = 1; id <= kAssays; ++id) list.LoadAssay(database, id);
        if (list.assays.size() != kAssays || list.assays[0].peaks.size() != kPeaks) state.SkipWithError("not loaded");
    }
    DataBaseConnection::GetInstance().SetUri(nullptr);
}
BENCHMARK(BM_Load256Assays)->Unit(benchmark::kMillisecond);

// What the chromatogram page computes to show 256 loaded assays; the rest of
// its time goes into the list view itself.
void BM_List256Assays(benchmark::State& state) {
    DataBaseConnection::GetInstance().SetUri(AssayDatabase().c_str());
    MixtureList mixtures;
    AssayList list(mixtures);
    {
        DataBase::Database database(DataBaseConnection::GetInstance().GetUri());
        for (uint32_t id = 1; id <= kAssays; ++id) list.LoadAssay(database, id);
    }
    for (auto _ : state) {
        list.SortAssays();
        std::vector<InputTables::FilterEntry> entries = InputTables::FilterEntries(L"Все", list.Mixtures());
        TableRows rows = InputTables::AssayListRows(list.assays, 0, InputTables::kAllData);
        if (rows.size() != kAssays || entries.size() != 6) state.SkipWithError("not listed");
        benchmark::DoNotOptimize(rows.data());
    }
    DataBaseConnection::GetInstance().SetUri(nullptr);
}
BENCHMARK(BM_List256Assays)->Unit(benchmark::kMicrosecond);

}  // namespace

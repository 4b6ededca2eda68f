// The cost of one calculation run over a full set of chromatograms: 5
// mixtures, five dozen components over several channels, and its growth with
// the number of peaks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "calc/diagnostics.h"
#include "calc/linearity_calc.h"
#include "calc/message_log.h"
#include "catalogue/component_catalogue.h"
#include "data/records.h"

namespace {

struct Input {
    MixtureRecords mixtures;
    AssayRecords assays;
};

// Peak k of every assay is component k: the catalogue names in turn, one
// channel per round of names. Areas are proportional to the concentration
// with a small deterministic scatter.
Input MakeInput(int assays, int peaksPerAssay, int mixtures = 5) {
    CreateDefaultCatalogue();
    const auto& names = GetComponentCatalogue().Entries();
    Input in;
    for (int i = 0; i < mixtures; ++i) {
        auto m = std::make_unique<MixtureRecord>();
        m->id = static_cast<uint32_t>(i + 1);
        m->name = L"Смесь " + std::to_wstring(i + 1);
        for (int k = 0; k < peaksPerAssay; ++k)
            m->components.push_back({L"", names[static_cast<size_t>(k) % names.size()]->name, 0.01 * (k + 1) * (i + 1), 1.0});
        in.mixtures.push_back(std::move(m));
    }
    in.assays.reserve(static_cast<size_t>(assays));
    uint32_t seed = 12345;
    for (int a = 0; a < assays; ++a) {
        AssayRecord r;
        r.id = static_cast<uint32_t>(a + 1);
        r.filename = L"C:\\data\\run" + std::to_wstring(a + 1) + L".dat";
        r.atmpressure = 100.5;
        r.airtemp = 21.0;
        r.mixtureRecord = in.mixtures[static_cast<size_t>(a % mixtures)].get();
        for (int k = 0; k < peaksPerAssay; ++k) {
            seed = seed * 1664525u + 1013904223u;
            double scatter = 1.0 + ((seed >> 8) % 1000 - 500) * 1e-6;
            const MixtureComponent& mc = r.mixtureRecord->components[static_cast<size_t>(k)];
            PeakRecord p;
            p.nameid = std::to_wstring(k);
            p.name = mc.name;
            p.channel = k / static_cast<int>(names.size());
            p.area = mc.concentration * 1000.0 * scatter;
            p.time = 0.5 + 0.1 * k;
            r.peaks.push_back(p);
        }
        in.assays.push_back(std::move(r));
    }
    return in;
}

void RunOnce(benchmark::State& state, int assays, int peaks) {
    Input in = MakeInput(assays, peaks);
    MessageLog log;
    Diagnostics diagnostics;
    LinearityCalc calc(GetComponentCatalogue(), log, diagnostics);
    for (auto _ : state) {
        log.ClearLog();
        calc.Run(in.mixtures, in.assays, CorrectionSwitches{});
        benchmark::DoNotOptimize(calc.GetComponents().data());
    }
    state.SetComplexityN(static_cast<int64_t>(assays) * peaks);
    state.counters["components"] = static_cast<double>(calc.GetComponents().size());
}

// The reference case: 256 assays of 60 peaks.
void BM_Run256Assays60Peaks(benchmark::State& state) { RunOnce(state, 256, 60); }
BENCHMARK(BM_Run256Assays60Peaks)->Unit(benchmark::kMillisecond);

// More assays of the same 60 components.
void BM_RunByAssays(benchmark::State& state) { RunOnce(state, static_cast<int>(state.range(0)), 60); }
BENCHMARK(BM_RunByAssays)->RangeMultiplier(2)->Range(32, 1024)->Complexity()->Unit(benchmark::kMillisecond);

// More peaks, hence more components, per assay.
void BM_RunByPeaksPerAssay(benchmark::State& state) { RunOnce(state, 256, static_cast<int>(state.range(0))); }
BENCHMARK(BM_RunByPeaksPerAssay)->RangeMultiplier(2)->Range(15, 240)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

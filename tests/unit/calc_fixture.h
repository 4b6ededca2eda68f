// Hand-built input records for the calculation tests, over a fake host with
// the default catalogue, an empty log and the fixture's own diagnostics.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <initializer_list>
#include <string>

#include "calc/diagnostics.h"
#include "calc/linearity_calc.h"
#include "calc/message_log.h"
#include "catalogue/component_catalogue.h"
#include "data/records.h"
#include "tests/unit/fake_host.h"

struct Conc {
    const wchar_t* name;
    double concentration;
};

inline PeakRecord Peak(const std::wstring& name, double area, int32_t channel = 0, double time = 1.0) {
    PeakRecord peak;
    peak.nameid = name;
    peak.name = name;
    peak.channel = channel;
    peak.area = area;
    peak.time = time;
    return peak;
}

// Seconds of a local date and time.
inline CTime LocalTime(int year, int month, int day, int hour, int minute) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_isdst = -1;
    return CTime(static_cast<int64_t>(std::mktime(&tm)));
}

class CalcTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPluginSettingsState();
        ResetCatalogueForTest();
        CreateDefaultCatalogue();
        GetMessageLog() = MessageLog();
        assays.reserve(1024);  // results link to the records: they must not move
    }
    void TearDown() override {
        calc.Clear();
        ResetCatalogueForTest();
        GetMessageLog() = MessageLog();
        ResetPluginSettingsState();
    }

    // The corrections the following runs are told.
    void Switches(bool pressure, bool temperature) { switches = {pressure, temperature}; }

    MixtureRecord* Mixture(const std::wstring& name, std::initializer_list<Conc> components) {
        auto mixture = std::make_unique<MixtureRecord>();
        mixture->id = static_cast<uint32_t>(mixtures.size() + 1);
        mixture->name = name;
        for (const Conc& c : components) {
            MixtureComponent mc;
            mc.name = c.name;
            mc.concentration = c.concentration;
            mc.deviation = 0.5;
            mixture->components.push_back(mc);
        }
        mixtures.push_back(std::move(mixture));
        return mixtures.back().get();
    }

    AssayRecord& Assay(MixtureRecord* mixture, std::initializer_list<PeakRecord> peaks) {
        AssayRecord assay;
        assay.id = static_cast<uint32_t>(assays.size() + 1);
        assay.date = LocalTime(2021, 3, 5, 14, static_cast<int>(assays.size() % 60));
        assay.filename = L"C:\\data\\run" + std::to_wstring(assay.id) + L".dat";
        assay.sample = std::to_wstring(assay.id);
        assay.mixture = mixture ? mixture->name : L"";
        assay.atmpressure = 101.325;
        assay.airtemp = 20.0;
        assay.mixtureRecord = mixture;
        assay.peaks = peaks;
        assays.push_back(std::move(assay));
        return assays.back();
    }

    void Run() { calc.Run(mixtures, assays, switches); }
    // A calculation over the same catalogue, log and diagnostics that has not run.
    LinearityCalc UnrunCalc() { return LinearityCalc(GetComponentCatalogue(), GetMessageLog(), diagnostics); }

    const CalcComponent* Find(const std::wstring& name, int32_t channel = 0) const {
        for (const auto& c : calc.GetComponents())
            if (c->name == name && c->channel == channel) return c.get();
        return nullptr;
    }

    const DiagMessage& Diag(int32_t code) const { return diagnostics.Message(code); }

    FakeHost host;
    MixtureRecords mixtures;
    AssayRecords assays;
    CorrectionSwitches switches;
    Diagnostics diagnostics;
    LinearityCalc calc{GetComponentCatalogue(), GetMessageLog(), diagnostics};
};

#include "ui/model/check_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "calc/linearity_calc.h"
#include "calc/message_log.h"
#include "ui/model/results_table.h"
#include "catalogue/component_catalogue.h"
#include "base/json.h"
#include "base/text.h"

namespace {

std::string LineEnds(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

void Texts(JsonWriter& j, const char* key, const std::vector<std::wstring>& texts) {
    j.Key(key).Open('[');
    for (const std::wstring& t : texts) j.String(t);
    j.Close(']');
}

void Level(JsonWriter& j, const CalcLevel& l) {
    j.Open('{');
    j.Key("mixtureId");
    if (l.mixture) j.Integer(l.mixture->id); else j.Null();
    j.Key("mixture");
    if (l.mixture) j.String(l.mixture->name); else j.Null();
    j.Key("conc").Real(l.conc);
    j.Key("deviation").Real(l.deviation);
    j.Key("n").Integer(l.n);
    j.Key("sumArea").Real(l.sumArea);
    j.Key("meanArea").Real(l.meanArea);
    j.Key("rsd").Real(l.rsd);
    j.Key("uAbs").Real(l.uAbs);
    j.Key("uRel").Real(l.uRel);
    j.Key("rsdNorm").Real(l.rsdNorm);
    j.Key("rsdOk").Bool(l.rsdOk);
    j.Key("calcConc").Real(l.calcConc);
    j.Key("relDev").Real(l.relDev);
    j.Key("sigmaK").Real(l.sigmaK);
    j.Key("devNorm").Real(l.devNorm);
    j.Key("devOk").Bool(l.devOk);
    j.Close('}');
}

void Component(JsonWriter& j, const CalcComponent& c) {
    j.Open('{');
    j.Key("name").String(c.name);
    j.Key("nameId").String(c.nameId);
    j.Key("channel").Integer(c.channel);
    j.Key("isRangePart").Bool(c.isRangePart);
    j.Key("catalogueName");
    if (c.catalogueEntry) j.String(c.catalogueEntry->name); else j.Null();
    j.Key("levelsUsed").Integer(c.levelsUsed);
    j.Key("slope").Real(c.slope);
    j.Key("intercept").Real(c.intercept);
    j.Key("corrR").Real(c.corrR);
    j.Key("bOk").Bool(c.bOk);
    j.Key("rOk").Bool(c.rOk);
    j.Key("meanRetention").Real(c.meanRetention);
    j.Key("levels").Open('[');
    for (const CalcLevel& l : c.levels) Level(j, l);
    j.Close(']');
    j.Close('}');
}

}  // namespace

std::wstring TableText(const TableModel& table) {
    std::vector<size_t> widths;
    for (const TableColumn& c : table.columns) widths.push_back(c.heading.size());
    for (const TableRow& r : table.rows)
        for (size_t i = 0; i < r.cells.size() && i < widths.size(); ++i) widths[i] = std::max(widths[i], r.cells[i].size());
    auto line = [&](auto cellAt) {
        std::wstring text;
        for (size_t i = 0; i < widths.size(); ++i) {
            std::wstring cell = cellAt(i);
            text += cell;
            if (i + 1 < widths.size()) text += std::wstring(widths[i] - cell.size() + 2, L' ');
        }
        while (!text.empty() && text.back() == L' ') text.pop_back();
        return text + L"\n";
    };
    std::wstring text = line([&](size_t i) { return table.columns[i].heading; });
    for (const TableRow& r : table.rows) text += line([&](size_t i) { return i < r.cells.size() ? r.cells[i] : std::wstring(); });
    return text;
}

std::string CheckText(const LinearityCalc& calc, const MessageLog& log, int32_t digits) {
    std::wstring text = TableText(BuildResultsTable(calc, digits));
    text += L"\n";
    text += log.LogText();
    if (!text.empty() && text.back() != L'\n') text += L"\n";
    return LineEnds(Utf8FromWide(text));
}

std::string CheckJson(const LinearityCalc& calc, const MixtureRecords& mixtures, const AssayRecords& assays,
                      const MessageLog& log, const CorrectionSwitches& switches) {
    JsonWriter j;
    j.Open('{');
    j.Key("settings").Open('{');
    j.Key("pressureCorrection").Bool(switches.pressureCorrection);
    j.Key("temperatureCorrection").Bool(switches.temperatureCorrection);
    j.Close('}');

    j.Key("mixtures").Open('[');
    for (const auto& m : mixtures) {
        if (!m) continue;
        j.Open('{');
        j.Key("id").Integer(m->id);
        j.Key("name").String(m->name);
        j.Key("ballon").String(m->ballon);
        j.Key("release").Integer(m->release.GetTime());
        j.Key("expiry").Integer(m->expiry.GetTime());
        j.Key("components").Open('[');
        for (const MixtureComponent& c : m->components) {
            j.Open('{');
            j.Key("name").String(c.name);
            j.Key("concentration").Real(c.concentration);
            j.Key("deviation").Real(c.deviation);
            j.Close('}');
        }
        j.Close(']');
        j.Close('}');
    }
    j.Close(']');

    j.Key("assays").Open('[');
    for (const AssayRecord& a : assays) {
        j.Open('{');
        j.Key("id").Integer(a.id);
        j.Key("sample").String(a.sample);
        j.Key("mixture").String(a.mixture);
        j.Key("mixtureId");
        if (a.mixtureRecord) j.Integer(a.mixtureRecord->id); else j.Null();
        j.Key("atmpressure").Real(a.atmpressure);
        j.Key("airtemp").Real(a.airtemp);
        j.Key("peaks").Integer(static_cast<int64_t>(a.peaks.size()));
        j.Close('}');
    }
    j.Close(']');

    j.Key("channels").Open('[');
    for (const ChannelEntry& c : calc.GetChannels()) {
        j.Open('{');
        j.Key("channel").Integer(c.channel);
        j.Key("label").String(c.label);
        j.Close('}');
    }
    j.Close(']');

    j.Key("components").Open('[');
    for (const auto& c : calc.GetComponents()) Component(j, *c);
    j.Close(']');

    j.Key("messages").Open('{');
    Texts(j, "errors", log.errorList);
    Texts(j, "warnings", log.warningList);
    Texts(j, "info", log.infoList);
    j.Close('}');
    j.Close('}');
    return j.Text() + "\n";
}

// tessaro-check: the linearity check over a host database from the command
// line, with the loading and the calculation the plug-in runs.
//   tessaro-check --db FILE [--assay ID]... [--press-correct] [--temp-correct]
//                 [--alias INDEX=TEXT]... [--digits N] [--format text|json]
//                 [--graph DIR]
// With --graph, DIR gets two PNG pictures per component the graph page offers,
// drawn as the report pictures them: the calibration graph with its line
// (chN-I-NAME.png) and the deviations against their norms
// (chN-I-NAME-deviations.png). Exit status 0 after a calculation, whatever
// its verdicts; 2 on bad arguments, a database error or a picture not written.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "calc/diagnostics.h"
#include "calc/linearity_calc.h"
#include "calc/message_log.h"
#include "catalogue/component_catalogue.h"
#include "data/assay_list.h"
#include "data/database.h"
#include "data/database_connection.h"
#include "data/mixture_list.h"
#include "ui/model/check_output.h"
#include "base/text.h"
#include "plot/graph_page_model.h"
#include "tools/plot-png/plot_png.h"

namespace {

const wchar_t* const kVisibleAssaysSql = L"SELECT id FROM [assay] WHERE ishidden = 0 AND isdeleted = 0 ORDER BY id;";

struct Options {
    std::string db;
    std::vector<uint32_t> assays;
    bool pressure = false;
    bool temperature = false;
    std::vector<std::pair<long, std::wstring>> aliases;
    int32_t digits = 3;
    bool json = false;
    std::string graphDir;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr, "tessaro-check: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: tessaro-check --db FILE [--assay ID]... [--press-correct] [--temp-correct]\n"
                 "                     [--alias INDEX=TEXT]... [--digits N] [--format text|json]\n"
                 "                     [--graph DIR]\n"
                 "--graph DIR writes, per component of the graph page, the calibration graph\n"
                 "chN-I-NAME.png and the deviation chart chN-I-NAME-deviations.png\n");
    return 2;
}

// A whole decimal number within [low, high].
bool ParseNumber(const std::string& text, long long low, long long high, long long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = value;
    return true;
}

// An empty text when the arguments are sound, otherwise what is wrong.
std::string Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        long long number = 0;
        if (arg == "--press-correct") {
            o.pressure = true;
        } else if (arg == "--temp-correct") {
            o.temperature = true;
        } else if (!hasValue && (arg == "--db" || arg == "--assay" || arg == "--alias" || arg == "--digits" ||
                                 arg == "--format" || arg == "--graph")) {
            return arg + " needs a value";
        } else if (arg == "--db") {
            o.db = argv[++i];
        } else if (arg == "--assay") {
            std::string v = argv[++i];
            if (!ParseNumber(v, 0, 0xFFFFFFFFll, number)) return "not an assay id: " + v;
            o.assays.push_back(static_cast<uint32_t>(number));
        } else if (arg == "--alias") {
            std::string v = argv[++i];
            size_t eq = v.find('=');
            if (eq == std::string::npos || !ParseNumber(v.substr(0, eq), 0, 1000000, number))
                return "an alias is INDEX=TEXT: " + v;
            o.aliases.push_back({static_cast<long>(number), WideFromUtf8(v.substr(eq + 1))});
        } else if (arg == "--digits") {
            std::string v = argv[++i];
            if (!ParseNumber(v, 0, 17, number)) return "digits are 0 to 17: " + v;
            o.digits = static_cast<int32_t>(number);
        } else if (arg == "--format") {
            std::string v = argv[++i];
            if (v != "text" && v != "json") return "the format is text or json: " + v;
            o.json = v == "json";
        } else if (arg == "--graph") {
            o.graphDir = argv[++i];
        } else {
            return "unknown argument: " + arg;
        }
    }
    if (o.db.empty()) return "--db FILE is required";
    return "";
}

// A file name safe on every file system: channel, result index and the name
// with the characters some systems refuse replaced by '_'.
std::string GraphFileName(int32_t channel, int32_t index, const std::wstring& name, const char* suffix) {
    std::wstring safe;
    for (wchar_t c : name) safe += (c < 32 || std::wcschr(L"<>:\"/\\|?*", c)) ? L'_' : c;
    while (!safe.empty() && (safe.back() == L'.' || safe.back() == L' ')) safe.pop_back();
    return "ch" + std::to_string(static_cast<int64_t>(channel) + 1) + "-" + std::to_string(index + 1) + "-" + Utf8FromWide(safe) + suffix + ".png";
}

bool WritePicture(PlotChart& chart, const std::string& path) {
    if (RenderChartPng(chart, kReportGraphSize, kReportGraphSize, path)) return true;
    std::fprintf(stderr, "tessaro-check: cannot write %s\n", path.c_str());
    return false;
}

// Two pictures per component offered on the graph page; false when one is not written.
bool WriteGraphs(const LinearityCalc& calc, const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::u8path(dir), error);
    GraphPageModel model;
    model.SetComponents(&calc.GetComponents());
    bool written = true;
    for (const GraphChoice& channel : GraphChannelChoices(calc))
        for (const GraphChoice& component : model.ComponentChoices(channel.data)) {
            model.Show(component.data);
            PlotChart chart, deviations;
            model.ReportChart(chart);
            model.DeviationReportChart(deviations);
            const std::string base = dir + "/";
            written &= WritePicture(chart, base + GraphFileName(channel.data, component.data, component.text, ""));
            written &= WritePicture(deviations,
                                    base + GraphFileName(channel.data, component.data, component.text, "-deviations"));
        }
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string problem = Parse(argc, argv, o);
    if (!problem.empty()) return Usage(problem);

    CreateDefaultCatalogue();
    LoadCatalogue();
    for (const auto& [index, text] : o.aliases) {
        ComponentDef* entry = GetComponentCatalogue().EntryById(static_cast<int32_t>(index));
        if (!entry) return Usage("no catalogue entry " + std::to_string(index));
        if (!text.empty()) entry->altName = text;  // an empty stored text changes nothing
    }

    std::wstring uri = WideFromUtf8(o.db);
    DataBaseConnection::GetInstance().SetUri(uri.c_str());
    MixtureList mixtureList;
    AssayList assayList(mixtureList);
    try {
        DataBase::Database database(uri.c_str());
        std::vector<uint32_t> ids = o.assays;
        if (ids.empty()) {
            DataBase::Statement statement = database.Prepare(kVisibleAssaysSql);
            statement.ForEachRow([&](int64_t id) {
                if (id >= 0 && id <= 0xFFFFFFFFll) ids.push_back(static_cast<uint32_t>(id));
            });
        }
        for (uint32_t id : ids) assayList.LoadAssay(database, id);
    } catch (const DataBase::SqlException& e) {
        std::fprintf(stderr, "tessaro-check: database error %d: %s\n", static_cast<int>(e.code), e.what());
        if (e.sql) std::fprintf(stderr, "SQL: %s\n", e.sql->c_str());
        return 2;
    }
    assayList.SortAssays();

    MessageLog& log = GetMessageLog();
    log.ClearLog();
    Diagnostics diagnostics;
    LinearityCalc calc(GetComponentCatalogue(), log, diagnostics);
    const CorrectionSwitches switches{o.pressure, o.temperature};
    calc.Run(mixtureList.mixtures, assayList.assays, switches);
    std::string out = o.json ? CheckJson(calc, mixtureList.mixtures, assayList.assays, log, switches)
                             : CheckText(calc, log, o.digits);
    std::fwrite(out.data(), 1, out.size(), stdout);
    bool graphs = o.graphDir.empty() || WriteGraphs(calc, o.graphDir);
    calc.Clear();
    return std::fflush(stdout) == 0 && graphs ? 0 : 2;
}

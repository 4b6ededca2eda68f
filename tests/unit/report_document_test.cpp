#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "plot/recording_surface.h"

#include "report/report_document.h"
#include "report/report_production.h"
#include "report/report_settings.h"
#include "host/settings.h"
#include "base/cell_text.h"
#include "base/text.h"
#include "tests/unit/calc_fixture.h"
#include "tests/unit/fake_host.h"

namespace {

std::vector<std::wstring> ChildNames(pugi::xml_node node) {
    std::vector<std::wstring> names;
    for (pugi::xml_node child : node.children()) names.push_back(child.name());
    return names;
}

// The texts of one element of every row, in order.
std::vector<std::wstring> Column(pugi::xml_node table, const wchar_t* element) {
    std::vector<std::wstring> texts;
    for (pugi::xml_node row : table.children(L"row")) texts.push_back(row.child(element).text().get());
    return texts;
}

std::unique_ptr<MixtureRecord> Mixture(const wchar_t* name, const wchar_t* ballon) {
    auto mixture = std::make_unique<MixtureRecord>();
    mixture->name = name;
    mixture->ballon = ballon;
    mixture->release = LocalTime(2024, 1, 15, 0, 0);
    mixture->expiry = LocalTime(2026, 7, 1, 0, 0);
    return mixture;
}

CalcLevel Level(const MixtureRecord* mixture, double conc, double deviation) {
    CalcLevel level;
    level.mixture = mixture;
    level.conc = conc;
    level.deviation = deviation;
    return level;
}

std::unique_ptr<CalcComponent> Component(const wchar_t* name, int32_t channel, double slope = NoValue,
                                         double intercept = 0.0, double r = NoValue) {
    auto component = std::make_unique<CalcComponent>();
    component->name = name;
    component->channel = channel;
    component->slope = slope;
    component->intercept = intercept;
    component->corrR = r;
    return component;
}

struct FakePictures : ReportPictureWorkshop {
    std::wstring directory = L"C:\\Temp\\tvk1.tmp.cat";
    bool image = true, saves = true;
    std::vector<std::string> calls;
    RecordingSurface surface;
    std::wstring MakeWorkingDirectory() override {
        calls.push_back("dir");
        return directory;
    }
    DrawSurface* BeginImage() override {
        calls.push_back("begin");
        return image ? &surface : nullptr;
    }
    std::wstring SaveImage(const std::wstring& dir, const wchar_t* name) override {
        calls.push_back("save");
        return saves ? dir + L"\\" + name : std::wstring();
    }
    void EndImage() override { calls.push_back("end"); }
};

struct FakeGraph : ReportGraphSource {
    int result = 0;
    DrawSurface* drawnOn = nullptr;
    int ExportGraphData(DrawSurface& surface, GraphReportData& data) override {
        drawnOn = &surface;
        if (result != 0) return result;
        data.component = L"Метан";
        data.channel = 0;
        data.slope = 2.0;
        data.intercept = 0.0;
        return 0;
    }
    int deviationResult = 0;
    DrawSurface* deviationsOn = nullptr;
    int ExportDeviationPicture(DrawSurface& surface) override {
        deviationsOn = &surface;
        return deviationResult;
    }
};

class ReportDocumentTest : public ::testing::Test {
protected:
    FakeHost host;
    MixtureRecords mixtures;
    AssayRecords assays;
    LinearityCalc::Components components;
    ReportInputs inputs;

    void SetUp() override {
        mixtures.push_back(Mixture(L"ПГС-1", L"Б-101"));
        mixtures.push_back(Mixture(L"ПГС-2", L"Б-102"));
        inputs.mixtures = &mixtures;
        inputs.assays = &assays;
        inputs.components = &components;
        inputs.created = LocalTime(2025, 3, 5, 14, 7);
    }
};

}  // namespace

// Each switch adds exactly its table, in the fixed order; the graph part needs
// its switch and a successful graph page.
TEST_F(ReportDocumentTest, SwitchesChooseTheTablesInOrder) {
    FakePictures pictures;
    FakeGraph graph;
    inputs.pictures = &pictures;
    inputs.graph = &graph;
    struct Case {
        int assays, mixtures, info, results, graph;
        std::vector<std::wstring> children;
    };
    const std::vector<std::wstring> base = {L"DateCreated", L"table1"};
    const Case cases[] = {
        {0, 0, 0, 0, 0, base},
        {1, 0, 0, 0, 0, {L"DateCreated", L"table1", L"table3"}},
        {0, 1, 0, 0, 0, {L"DateCreated", L"table1", L"table2"}},
        {0, 0, 1, 0, 0, {L"DateCreated", L"table1", L"table4"}},
        {0, 0, 0, 1, 0, {L"DateCreated", L"table1", L"table5"}},
        {0, 0, 0, 0, 1,
         {L"DateCreated", L"table1", L"graphComp", L"graph_Ch", L"graphFormula", L"table6", L"PictureGraph",
          L"PictureDeviations"}},
        {1, 1, 1, 1, 0, {L"DateCreated", L"table1", L"table2", L"table3", L"table4", L"table5"}},
    };
    for (const Case& c : cases) {
        inputs.options.assayList = c.assays;
        inputs.options.mixtureList = c.mixtures;
        inputs.options.mixtureInfo = c.info;
        inputs.options.checkResults = c.results;
        inputs.options.graph = c.graph;
        pugi::xml_document document;
        BuildReportDocument(StartReportDocument(document), inputs);
        EXPECT_EQ(ChildNames(document.child(L"root")), c.children) << c.assays << c.mixtures << c.info << c.results;
        EXPECT_EQ(ReportTemplatePath(inputs.options),
                  std::wstring(c.graph ? L"Tessaro\\ReportTemplateWitchGraph.odt" : L"Tessaro\\ReportTemplate.odt"));
    }
}

TEST_F(ReportDocumentTest, DeclarationDateAndHeaderRows) {
    pugi::xml_document document;
    BuildReportDocument(StartReportDocument(document), inputs);
    pugi::xml_node declaration = document.first_child();
    ASSERT_EQ(declaration.type(), pugi::node_declaration);
    EXPECT_STREQ(declaration.attribute(L"version").value(), L"1.0");
    EXPECT_STREQ(declaration.attribute(L"encoding").value(), L"utf-8");
    EXPECT_STREQ(document.child(L"root").child(L"DateCreated").text().get(), L"05.03.2025, 14:07");

    struct Case {
        const wchar_t* device;
        const wchar_t* operatorName;
        std::vector<std::wstring> titles, values;
    };
    const std::wstring standard = L"ГОСТ 31371.7-2020, приложение Б";
    const Case cases[] = {
        {L"", L"", {L"Нормативный документ"}, {standard}},
        {L"Хром-5 №12", L"", {L"Нормативный документ", L"Номер прибора"}, {standard, L"Хром-5 №12"}},
        {L"", L"Иванов", {L"Нормативный документ", L"Оператор"}, {standard, L"Иванов"}},
        {L"7", L"Петров", {L"Нормативный документ", L"Номер прибора", L"Оператор"}, {standard, L"7", L"Петров"}},
    };
    for (const Case& c : cases) {
        pugi::xml_document header;
        ReportOptions options;
        options.deviceNumber = c.device;
        options.operatorName = c.operatorName;
        AppendHeaderTable(header.append_child(L"root"), options);
        pugi::xml_node table = header.child(L"root").child(L"table1");
        EXPECT_EQ(Column(table, L"title"), c.titles);
        EXPECT_EQ(Column(table, L"DataString"), c.values);
    }
}

// An empty mixture entry keeps its number; assays without a mixture are skipped
// and the others numbered in turn.
TEST_F(ReportDocumentTest, MixtureAndAssayLists) {
    mixtures.insert(mixtures.begin() + 1, nullptr);  // ПГС-1, empty, ПГС-2
    assays.resize(3);
    assays[0].sample = L"Проба A";
    assays[0].date = LocalTime(2025, 2, 3, 9, 5);
    assays[0].mixtureRecord = mixtures[2].get();
    assays[1].sample = L"без смеси";
    assays[2].sample = L"Проба C";
    assays[2].date = LocalTime(2025, 2, 4, 16, 30);
    assays[2].mixtureRecord = mixtures[0].get();
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(L"root");
    AppendMixtureTable(root, mixtures);
    AppendAssayTable(root, assays);

    pugi::xml_node table2 = root.child(L"table2");
    EXPECT_EQ(Column(table2, L"num"), (std::vector<std::wstring>{L"1", L"3"}));
    EXPECT_EQ(Column(table2, L"MixtureName"), (std::vector<std::wstring>{L"ПГС-1", L"ПГС-2"}));
    EXPECT_EQ(ChildNames(table2.first_child()),
              (std::vector<std::wstring>{L"num", L"MixtureName", L"NumBalloon", L"DateRelease", L"DateExpiry"}));
    EXPECT_EQ(Column(table2, L"DateRelease")[0], L"15.01.24");
    EXPECT_EQ(Column(table2, L"DateExpiry")[0], L"01.07.26");

    pugi::xml_node table3 = root.child(L"table3");
    EXPECT_EQ(Column(table3, L"num"), (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(Column(table3, L"Sample"), (std::vector<std::wstring>{L"Проба A", L"Проба C"}));
    EXPECT_EQ(Column(table3, L"AnDate"), (std::vector<std::wstring>{L"03.02.25  09:05", L"04.02.25  16:30"}));
    EXPECT_EQ(Column(table3, L"Mixture"), (std::vector<std::wstring>{L"Б-102", L"Б-101"}));
}

// A date the windows cannot show (before 1970, after 3000) is "---" in the
// report too, not an empty cell.
TEST_F(ReportDocumentTest, DatesOutsideTheShownRangeAreMissing) {
    mixtures[0]->release = CTime(-86400);
    mixtures[0]->expiry = CTime(CTime::kLatest + 1);
    assays.resize(1);
    assays[0].date = CTime(-1);
    assays[0].mixtureRecord = mixtures[0].get();
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(L"root");
    AppendMixtureTable(root, mixtures);
    AppendAssayTable(root, assays);
    EXPECT_EQ(Column(root.child(L"table2"), L"DateRelease")[0], L"---");
    EXPECT_EQ(Column(root.child(L"table2"), L"DateExpiry")[0], L"---");
    EXPECT_EQ(Column(root.child(L"table3"), L"AnDate"), (std::vector<std::wstring>{L"---"}));
}

// Five mixture columns at most; "---" without a level; an empty deviation when
// it is not known; range parts and unnamed components are left out.
TEST_F(ReportDocumentTest, CertifiedCompositions) {
    for (int i = 3; i <= 6; ++i) mixtures.push_back(Mixture(L"ПГС", L"Б"));
    auto methane = Component(L"Метан", 0);
    methane->levels.push_back(Level(mixtures[0].get(), 1.5, 0.02));
    methane->levels.push_back(Level(mixtures[1].get(), 2.25, NoValue));
    methane->levels.push_back(Level(mixtures[3].get(), 4.0, 0.1));
    methane->levels.push_back(Level(mixtures[4].get(), NoValue, 0.1));
    methane->levels.push_back(Level(mixtures[5].get(), 9.0, 0.1));
    components.push_back(std::move(methane));
    auto part = Component(L"Азот (0,005-0,025)", 0);
    part->isRangePart = true;
    components.push_back(std::move(part));
    components.push_back(Component(L"", 0));
    components.push_back(Component(L"Этан", 1));

    pugi::xml_document document;
    AppendCompositionTable(document.append_child(L"root"), mixtures, components, 2);
    pugi::xml_node table = document.child(L"root").child(L"table4");
    EXPECT_EQ(Column(table, L"num"), (std::vector<std::wstring>{L"1", L"4"}));
    EXPECT_EQ(Column(table, L"Comp"), (std::vector<std::wstring>{L"Метан", L"Этан"}));
    pugi::xml_node row = table.first_child();
    EXPECT_EQ(ChildNames(row), (std::vector<std::wstring>{L"num", L"Comp", L"Conc1", L"Deviation1", L"Conc2",
                                                          L"Deviation2", L"Conc3", L"Deviation3", L"Conc4",
                                                          L"Deviation4", L"Conc5", L"Deviation5"}));
    const std::vector<std::wstring> expected = {L"1.50", L"0.02", L"2.25", L"", L"---", L"---",
                                                L"4.00", L"0.10", L"---", L"---"};
    std::vector<std::wstring> values;
    for (pugi::xml_node cell = row.child(L"Conc1"); cell; cell = cell.next_sibling()) values.push_back(cell.text().get());
    EXPECT_EQ(values, expected);
    EXPECT_STREQ(table.last_child().child(L"Conc1").text().get(), L"---");
}

// A channel row before each new channel; "---" without a line; the formula
// with the report's digits and a negative intercept after the plus.
TEST_F(ReportDocumentTest, CheckResults) {
    auto methane = Component(L"Метан", 0, 1234.5678, -0.25, 0.99987);
    methane->bOk = true;
    methane->rOk = true;
    components.push_back(std::move(methane));
    auto ethane = Component(L"Этан", 0, 10.0, 0.0, 0.9);
    ethane->bOk = true;
    components.push_back(std::move(ethane));
    components.push_back(Component(L"Пропан", 1));

    pugi::xml_document document;
    AppendResultsTable(document.append_child(L"root"), components, 3);
    pugi::xml_node table = document.child(L"root").child(L"table5");
    EXPECT_EQ(Column(table, L"formula"),
              (std::vector<std::wstring>{L"-- Канал 1 --", L"A = 1234.568 * x + -0.250", L"A = 10.000 * x + 0.000",
                                         L"-- Канал 2 --", FormulaText(NoValue, 0.0, 3)}));
    EXPECT_EQ(ChildNames(table.first_child()), std::vector<std::wstring>{L"formula"});
    EXPECT_EQ(Column(table, L"num"), (std::vector<std::wstring>{L"", L"1", L"2", L"", L"3"}));
    pugi::xml_node first = table.child(L"row").next_sibling();
    EXPECT_EQ(ChildNames(first), (std::vector<std::wstring>{L"num", L"CompName", L"formula", L"BB", L"b", L"R",
                                                            L"R_norm", L"b_OK", L"R_OK"}));
    EXPECT_STREQ(first.child(L"BB").text().get(), L"-0.250");
    EXPECT_STREQ(first.child(L"R").text().get(), L"1.000");
    EXPECT_EQ(Column(table, L"b_OK"), (std::vector<std::wstring>{L"", L"Да", L"Да", L"", L"---"}));
    EXPECT_EQ(Column(table, L"R_OK"), (std::vector<std::wstring>{L"", L"Да", L"Нет", L"", L"---"}));
    pugi::xml_node noLine = table.last_child();
    for (const wchar_t* name : {L"BB", L"b", L"R"}) EXPECT_STREQ(noLine.child(name).text().get(), L"---") << name;
    EXPECT_STREQ(noLine.child(L"R_norm").text().get(), L"0.999");
}

// The last channel a database can name is numbered past the 32-bit range.
TEST_F(ReportDocumentTest, TheHighestChannelIsNumberedWithoutOverflow) {
    components.push_back(Component(L"Бутан", 2147483647));
    pugi::xml_document document;
    AppendResultsTable(document.append_child(L"root"), components, 3);
    EXPECT_EQ(Column(document.child(L"root").child(L"table5"), L"formula").front(), L"-- Канал 2147483648 --");
}

// The graph part: each missing step leaves the document without graph
// elements; a picture that is not saved leaves the data without its element;
// the deviation picture follows the graph's, on an image of its own.
TEST_F(ReportDocumentTest, GraphPartSteps) {
    struct Case {
        const wchar_t* directory;
        bool image, saves;
        int graphResult, deviationResult;
        std::vector<std::wstring> children;
        std::vector<std::string> calls;
    };
    const std::vector<std::wstring> data = {L"graphComp", L"graph_Ch", L"graphFormula", L"table6"};
    std::vector<std::wstring> withPicture = data;
    withPicture.push_back(L"PictureGraph");
    std::vector<std::wstring> withBoth = withPicture;
    withBoth.push_back(L"PictureDeviations");
    const std::vector<std::string> two = {"dir", "begin", "save", "end", "begin", "save", "end"};
    const Case cases[] = {
        {L"", true, true, 0, 0, {}, {"dir"}},
        {L"D", false, true, 0, 0, {}, {"dir", "begin", "end"}},
        {L"D", true, true, -1, 0, {}, {"dir", "begin", "end"}},
        {L"D", true, true, -2, 0, {}, {"dir", "begin", "end"}},
        {L"D", true, false, 0, 0, data, two},
        {L"D", true, true, 0, -2, withPicture, {"dir", "begin", "save", "end", "begin", "end"}},
        {L"D", true, true, 0, 0, withBoth, two},
    };
    for (const Case& c : cases) {
        FakePictures pictures;
        pictures.directory = c.directory;
        pictures.image = c.image;
        pictures.saves = c.saves;
        FakeGraph graph;
        graph.result = c.graphResult;
        graph.deviationResult = c.deviationResult;
        pugi::xml_document document;
        pugi::xml_node root = document.append_child(L"root");
        AppendGraphPart(root, graph, pictures, 3);
        EXPECT_EQ(ChildNames(root), c.children) << c.graphResult << c.saves;
        EXPECT_EQ(pictures.calls, c.calls);
        EXPECT_EQ(graph.drawnOn, c.image && c.directory[0] ? &pictures.surface : nullptr);
        EXPECT_EQ(graph.deviationsOn, c.graphResult == 0 && c.image && c.directory[0] ? &pictures.surface : nullptr);
    }
    FakePictures pictures;
    FakeGraph graph;
    pugi::xml_document document;
    AppendGraphPart(document.append_child(L"root"), graph, pictures, 3);
    EXPECT_STREQ(document.child(L"root").child(L"PictureGraph").text().get(), L"C:\\Temp\\tvk1.tmp.cat\\TessaroGraph.png");
    EXPECT_STREQ(document.child(L"root").child(L"PictureDeviations").text().get(),
                 L"C:\\Temp\\tvk1.tmp.cat\\TessaroDeviations.png");
    EXPECT_STREQ(document.child(L"root").child(L"graphFormula").text().get(), L"A = 2.000 * x + 0.000");
}

// The graph data as the report writes them, by the cell texts of every table:
// a number that was not computed is "---", one that is not finite is spelled
// out, a formula without a slope is "---"; the levels are numbered from 1 in
// the order given.
TEST(ReportGraphData, ElementsAndNumbers) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double slope, intercept;
        int32_t digits;
        const wchar_t* formula;
    };
    const Case cases[] = {
        {1234.5678, -0.25, 3, L"A = 1234.568 * x + -0.250"},
        {1234.5678, -0.25, 0, L"A = 1235 * x + -0"},
        {NoValue, 0.0, 2, L"---"},
        {inf, 1.0, 2, L"A = inf * x + 1.00"},
        {2.5, nan, 1, L"A = 2.5 * x + nan"},
        {-inf, NoValue, 1, L"A = -inf * x + ---"},
    };
    for (const Case& c : cases) {
        GraphReportData data;
        data.component = L"Этан";
        data.channel = 1;
        data.slope = c.slope;
        data.intercept = c.intercept;
        data.levels = {{0.5, 6300.125}, {2.0, inf}};
        pugi::xml_document document;
        pugi::xml_node root = document.append_child(L"root");
        AppendGraphData(root, data, c.digits);
        EXPECT_EQ(ChildNames(root), (std::vector<std::wstring>{L"graphComp", L"graph_Ch", L"graphFormula", L"table6"}));
        EXPECT_STREQ(root.child(L"graphComp").text().get(), L"Этан");
        EXPECT_STREQ(root.child(L"graph_Ch").text().get(), L"2");
        EXPECT_STREQ(root.child(L"graphFormula").text().get(), c.formula) << c.digits;
        pugi::xml_node table = root.child(L"table6");
        EXPECT_EQ(ChildNames(table.first_child()), (std::vector<std::wstring>{L"num", L"graph_x", L"graph_A"}));
        EXPECT_EQ(Column(table, L"num"), (std::vector<std::wstring>{L"1", L"2"}));
        EXPECT_EQ(Column(table, L"graph_x")[0], FormatFixed(0.5, c.digits));
        EXPECT_EQ(Column(table, L"graph_A"), (std::vector<std::wstring>{FormatFixed(6300.125, c.digits), L"inf"}));
    }

    // The last channel a database can name, and a component without levels: an empty table.
    GraphReportData last;
    last.channel = 2147483647;
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(L"root");
    AppendGraphData(root, last, 3);
    EXPECT_STREQ(root.child(L"graph_Ch").text().get(), L"2147483648");
    EXPECT_TRUE(root.child(L"table6") && !root.child(L"table6").first_child());
}

TEST(ReportMessages, ExportFailureTexts) {
    const std::wstring head = L"Ошибка формирования отчета! Код ошибки: %d \r\nВозможные причины:\r\n";
    struct Case {
        intptr_t code;
        std::wstring causes;
    };
    const std::wstring temp = L" - Ошибка обработки временного файла.\r\n";
    const std::wstring finish = L" - Ошибка окончания формирования отчета.\r\n";
    const Case cases[] = {
        {-1, L" - Не удалось найти шаблон отчета.\r\n - Отсутствует плагин формирования ODT отчетов.\r\n"},
        {-2, L" - Не удалось создать временный файл.\r\n"},
        {-3, temp}, {-4, temp}, {-5, temp},
        {-6, L" - Ошибка обработки данных отчета.\r\n"},
        {-7, finish}, {-10, finish},
        {-11, L" - Неизвестная ошибка.\r\n"}, {-1000, L" - Неизвестная ошибка.\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportExportFailureText(c.code), FormatW(head.c_str(), static_cast<int>(c.code)) + c.causes) << c.code;
}

namespace {
struct Exported {
    int calls = 0;
    std::vector<std::wstring> children;
    std::wstring templatePath;
    intptr_t result = 0;
} g_exported;

intptr_t ExportToOdt(intptr_t a1, intptr_t a2) {
    ++g_exported.calls;
    g_exported.children = ChildNames(*reinterpret_cast<const pugi::xml_node*>(a1));
    g_exported.templatePath = reinterpret_cast<const wchar_t*>(a2);
    return g_exported.result;
}
}  // namespace

// The host checks, the data checks, the template and the message for the host's result.
TEST_F(ReportDocumentTest, ProduceReportOutcomes) {
    host.extraServices[HostNames::kExportToOdt] = &ExportToOdt;
    assays.resize(1);
    assays[0].mixtureRecord = mixtures[0].get();
    inputs.options.assayList = 1;
    inputs.options.graph = 1;  // without a graph page: no graph elements, still the template with graph

    host.offered.erase(HostNames::kOpenAssayFile);
    g_exported = {};
    ReportOutcome outcome = ProduceReport(inputs);
    EXPECT_EQ(outcome.text, kReportHostTooOld);
    EXPECT_EQ(outcome.title, L"Ошибка отчета");
    EXPECT_EQ(outcome.icon, ReportIcon::Error);
    EXPECT_EQ(g_exported.calls, 0);

    host.offered.insert(HostNames::kOpenAssayFile);
    for (int missing = 0; missing < 5; ++missing) {
        ReportInputs partial = inputs;
        const MixtureRecords noMixtures;
        const AssayRecords noAssays;
        if (missing == 0) partial.mixtures = nullptr;
        if (missing == 1) partial.assays = nullptr;
        if (missing == 2) partial.components = nullptr;
        if (missing == 3) partial.mixtures = &noMixtures;
        if (missing == 4) partial.assays = &noAssays;
        outcome = ProduceReport(partial);
        EXPECT_EQ(outcome.text, L"Недостаточно данных для формирования отчета!") << missing;
        EXPECT_EQ(outcome.icon, ReportIcon::Error);
    }
    EXPECT_EQ(g_exported.calls, 0);

    outcome = ProduceReport(inputs);  // empty results are no reason to refuse
    EXPECT_EQ(g_exported.calls, 1);
    EXPECT_EQ(g_exported.children, (std::vector<std::wstring>{L"DateCreated", L"table1", L"table3"}));
    EXPECT_EQ(g_exported.templatePath, L"Tessaro\\ReportTemplateWitchGraph.odt");
    EXPECT_EQ(outcome.icon, ReportIcon::None);

    g_exported.result = -6;
    outcome = ProduceReport(inputs);
    EXPECT_EQ(outcome.result, -6);
    EXPECT_EQ(outcome.text, ReportExportFailureText(-6));
    EXPECT_EQ(outcome.title, L"Ошибка формирования отчета");
    EXPECT_EQ(outcome.icon, ReportIcon::Exclamation);
}

TEST(ReportSettings, StoredAndLoadedUnderReportSettings) {
    FakeHost host;
    ResetPluginSettingsState();
    SetProfilePrefix(kProfilePrefix);
    ReportOptions empty = LoadReportOptions();
    EXPECT_TRUE(empty.deviceNumber.empty() && empty.operatorName.empty());
    EXPECT_EQ(empty.assayList + empty.mixtureList + empty.mixtureInfo + empty.checkResults + empty.graph, 0);

    ReportOptions options;
    options.deviceNumber = L"Хром №3";
    options.operatorName = L"Сидоров";
    options.mixtureList = 1;
    options.checkResults = 1;
    options.graph = 1;
    StoreReportOptions(options);
    EXPECT_EQ(host.texts[L"plugins\\Tessaro\\ReportSettings/DeviceNumber"], L"Хром №3");
    EXPECT_EQ(host.texts[L"plugins\\Tessaro\\ReportSettings/Operator"], L"Сидоров");
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ReportSettings/enableAssayList"], 0);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ReportSettings/enableMixtureList"], 1);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ReportSettings/enableMixtureInfo"], 0);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ReportSettings/enableResultCheck"], 1);
    EXPECT_EQ(host.ints[L"plugins\\Tessaro\\ReportSettings/enableGraph"], 1);

    ReportOptions loaded = LoadReportOptions();
    EXPECT_EQ(loaded.deviceNumber, options.deviceNumber);
    EXPECT_EQ(loaded.operatorName, options.operatorName);
    EXPECT_EQ(std::vector<int>({loaded.assayList, loaded.mixtureList, loaded.mixtureInfo, loaded.checkResults,
                                loaded.graph}),
              std::vector<int>({0, 1, 0, 1, 1}));
    ResetPluginSettingsState();
}

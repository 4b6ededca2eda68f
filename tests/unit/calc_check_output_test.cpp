// The text and JSON outputs of the command-line check over a hand-built run.
#include <cmath>

#include "ui/model/check_output.h"
#include "ui/model/results_table.h"
#include "base/text.h"
#include "tests/unit/calc_fixture.h"

namespace {

TEST_F(CalcTest, CheckTextIsTheAlignedTableAndTheLog) {
    MixtureRecord* m = Mixture(L"M1", {{L"Этан", 2}});
    Assay(m, {Peak(L"Этан", 200), Peak(L"Xe", 1, 1)});
    Run();
    std::wstring table = TableText(BuildResultsTable(calc, 2));
    auto pad = [](const std::wstring& s, size_t width) { return s + std::wstring(width - s.size(), L' '); };
    // The name column is as wide as the separator cell, 34 characters.
    std::wstring expected = pad(L"№", 3) + pad(L"Пик", 36) +
                            L"Канал  Коэфф. B  Коэфф. b  Соотв. b  Коэфф. корреляции R  Норматив  Соотв. R\n" +
                            pad(L"1", 3) + pad(L"Этан", 36) +
                            L"1      0.00      100.00    Нет       ---                  0.999     Нет\n" +
                            L"   ----------------------------------\n" + pad(L"2", 3) + pad(L"Xe", 36) +
                            L"2      0.00      ---       ---       ---                  0.999     ---\n";
    EXPECT_EQ(table, expected);
    std::string text = CheckText(calc, GetMessageLog(), 2);
    EXPECT_EQ(text.find(Utf8FromWide(table) + "\n1.  Ошибка! \n\tКолличество смесй"), 0u) << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST_F(CalcTest, CheckJsonCarriesInputsResultsAndMessages) {
    MixtureRecord* m = Mixture(L"M \"1\"", {{L"Этан", 0.1}});
    Assay(m, {Peak(L"Этан", 1000.0 / 3)});
    Assay(nullptr, {}).mixture = L"unknown";
    Run();
    std::string json = CheckJson(calc, mixtures, assays, GetMessageLog(), {true, false});
    auto has = [&](const std::string& piece) { return json.find(piece) != std::string::npos; };
    EXPECT_EQ(json.rfind("{\"settings\":{\"pressureCorrection\":true,\"temperatureCorrection\":false},", 0), 0u) << json;
    EXPECT_TRUE(has("\"name\":\"M \\\"1\\\"\"")) << json;
    EXPECT_TRUE(has("{\"id\":2,\"sample\":\"2\",\"mixture\":\"unknown\",\"mixtureId\":null,")) << json;
    EXPECT_TRUE(has("\"channels\":[{\"channel\":0,\"label\":\"1\"}]")) << json;
    EXPECT_TRUE(has("\"sumArea\":333.33333333333331")) << json;
    EXPECT_TRUE(has("\"rsd\":\"nan\"")) << json;        // one sample
    EXPECT_TRUE(has("\"corrR\":null")) << json;         // a single level gives no R
    EXPECT_TRUE(has("\"catalogueName\":\"Этан\"")) << json;
    EXPECT_TRUE(has("\"errors\":[\"Колличество смесй")) << json;
    EXPECT_TRUE(has("\"warnings\":[],\"info\":[]}}")) << json;
}

}  // namespace

// The diagnostics table: raising, the checks over a calculation, and the texts published.
#include "tests/unit/calc_fixture.h"

namespace {

const wchar_t* const kMsg0 =
    L"Колличество смесй не соответствует ГОСТ 31371.7-2020, приложение Б, пункт Б.1 - требуется 5 смесей.";
const wchar_t* const kMsg1 =
    L"Колличесвто хроматограмм не соответствует ГОСТ 31371.7-2020, приложение Б, пункты Б.1, Б.4 - тремуется не менее "
    L"5 анализов 5 смесей.";

TEST_F(CalcTest, RaiseRefusesWhatDoesNotListComponents) {
    EXPECT_FALSE(diagnostics.Raise(10, L"X"));
    EXPECT_FALSE(diagnostics.Raise(-1, L"X"));
    for (int32_t code = 0; code <= 3; ++code) EXPECT_FALSE(diagnostics.Raise(code, L"X", L"d"));
    EXPECT_FALSE(diagnostics.Raise(DiagCode::kNotInCatalogue, L""));
    for (const DiagMessage& m : diagnostics.Messages()) EXPECT_FALSE(m.active) << m.code;
    EXPECT_FALSE(diagnostics.RaiseFile(DiagCode::kNotInCatalogue, L"file"));
    EXPECT_FALSE(diagnostics.RaiseFile(DiagCode::kNoPressure, L""));
}

TEST_F(CalcTest, RaiseAddsEachItemOnceFoldingLatinCase) {
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"CO2", L"Mix A"));
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"co2", L"MIX a"));
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"CO2"));
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"CO2", L""));
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"Азот", L"Смесь"));
    EXPECT_TRUE(diagnostics.Raise(DiagCode::kOutOfTable4, L"азот", L"Смесь"));
    const DiagMessage& m = Diag(DiagCode::kOutOfTable4);
    EXPECT_TRUE(m.active);
    ASSERT_EQ(m.items.size(), 4u);
    EXPECT_EQ(m.items[0].detail, L"Mix A");
    EXPECT_EQ(m.items[1].detail, L"");
    diagnostics.Reset();
    EXPECT_FALSE(Diag(DiagCode::kOutOfTable4).active);
    EXPECT_TRUE(Diag(DiagCode::kOutOfTable4).items.empty());
}

TEST_F(CalcTest, PublishedTextsOfComponentAndFileLists) {
    diagnostics.Raise(DiagCode::kNotInMixtures, L"X", L"канал: 2");
    diagnostics.Raise(DiagCode::kNotInMixtures, L"Y");
    diagnostics.RaiseFile(DiagCode::kNoTemperature, L"файл: ...a.dat");
    MessageLog log;
    diagnostics.Publish(log);
    ASSERT_EQ(log.errorList.size(), 2u);
    EXPECT_EQ(log.errorList[0],
              L"Коррекция по температуре проведена не полностью! В следующих хроматограмах не заданна температура:"
              L"\r\n\t- файл: ...a.dat");
    EXPECT_EQ(log.errorList[1], L"Следующие компоненты не найдены в смесях:\r\n\t- X, канал: 2\r\n\t- Y");
    EXPECT_FALSE(log.logEmpty);
}

TEST_F(CalcTest, FileTailFromTheLastSeparator) {
    struct Case {
        const wchar_t* path;
        const wchar_t* tail;
    };
    const Case cases[] = {
        {L"C:\\data\\run12.dat", L"...\\run12.dat"},
        {L"run12.dat", L"...run12.dat"},
        {L"C:\\data\\", L"...\\"},
        {L"", L"..."},
#ifndef _WIN32
        {L"/home/lab/run12.dat", L".../run12.dat"},
        {L"C:\\data/sub\\run.dat", L"...\\run.dat"},
#endif
    };
    for (const Case& c : cases) EXPECT_EQ(FileTail(c.path), c.tail) << c.path;
}

TEST_F(CalcTest, FourMixturesPublishCountsFirstAndTheComponentMessages) {
    for (int i = 1; i <= 4; ++i) {
        MixtureRecord* m = Mixture(L"M" + std::to_wstring(i), {{L"Этан", double(i)}});
        for (int run = 0; run < 5; ++run) Assay(m, {Peak(L"Этан", 100.0 * i), Peak(L"Неизвестный", 1, 1)});
    }
    Run();
    const auto& errors = GetMessageLog().errorList;
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], kMsg0);
    EXPECT_EQ(errors[1], kMsg1);
    // Unknown to the catalogue and to every mixture, but in every chromatogram: no code 7.
    EXPECT_EQ(errors[2], L"Следующие компоненты не найдены в списке копмонентов программы:\r\n\t- Неизвестный, канал: 2");
    EXPECT_EQ(errors[3], L"Следующие компоненты не найдены в смесях:\r\n\t- Неизвестный, канал: 2");
}

// Five mixtures whose concentrations of two components run in opposite
// directions, so their levels list the mixtures in opposite orders.
class FiveMixtureDiagnostics : public CalcTest {
protected:
    void Build(int runsOfFirstMixture, bool dropEthaneInOne = false) {
        for (int i = 1; i <= 5; ++i) Mixture(L"M" + std::to_wstring(i), {{L"Этан", double(i)}, {L"Пропан", 6.0 - i}});
        for (int i = 1; i <= 5; ++i) {
            int runs = i == 1 ? runsOfFirstMixture : 5;
            for (int run = 0; run < runs; ++run) {
                AssayRecord& a = Assay(mixtures[static_cast<size_t>(i - 1)].get(), {Peak(L"Этан", 100.0 * i, 0, 1.0)});
                a.peaks.push_back(Peak(L"Пропан", 100.0 * (6 - i), 0, 2.0));
                if (dropEthaneInOne && i == 3 && run == 2) a.peaks.erase(a.peaks.begin());
            }
        }
        Run();
    }
};

TEST_F(FiveMixtureDiagnostics, FiveAnalysesOfEveryMixtureRaiseNothing) {
    Build(5);
    EXPECT_TRUE(GetMessageLog().logEmpty);
    EXPECT_EQ(GetMessageLog().LogText(), L"Предупреждений и ошибок нет.");
}

TEST_F(FiveMixtureDiagnostics, FourAnalysesOfOneMixtureRaiseTheCountMessage) {
    // Counted by mixture: by level place, ethane's first level (M1, four) and
    // propane's first level (M5, five) would hide the shortfall.
    Build(4);
    EXPECT_FALSE(Diag(DiagCode::kMixtureCount).active);
    EXPECT_TRUE(Diag(DiagCode::kAnalysisCount).active);
    ASSERT_EQ(GetMessageLog().errorList.size(), 1u);
    EXPECT_EQ(GetMessageLog().errorList[0], kMsg1);
}

TEST_F(FiveMixtureDiagnostics, AChromatogramWithoutThePeakIsNamed) {
    Build(5, true);
    const DiagMessage& m = Diag(DiagCode::kMissingInChromatograms);
    ASSERT_EQ(m.items.size(), 1u);
    EXPECT_EQ(m.items[0].name, L"Этан");
    // The 13th assay: mixture 3, third run, at 14:12.
    EXPECT_EQ(m.items[0].detail, L"канал: 1, файл: ...\\run13.dat, проба: 13, дата: " +
                                     LocalTime(2021, 3, 5, 14, 12).Format(L"%d.%m.%y  %H:%M"));
    EXPECT_FALSE(Diag(DiagCode::kAnalysisCount).active);  // the other component still has five there
}

TEST_F(CalcTest, TheWorkedDateFormatOfAChromatogramItem) {
    AssayRecord a;
    a.filename = L"C:\\data\\run12.dat";
    a.sample = L"17";
    a.date = LocalTime(2021, 3, 5, 14, 7);
    EXPECT_EQ(ChromatogramText(a), L"файл: ...\\run12.dat, проба: 17, дата: 05.03.21  14:07");
}

TEST_F(CalcTest, ComponentsMissingFromSomeMixturesAndRangePartsStayOut) {
    // Oxygen in three of five mixtures fails and is split; its parts get no
    // items under 4 to 7, but the lower part's level below Table 1 gets 8.
    const double o2[] = {0.004, 0.02, 0.5, NoValue, NoValue};
    for (int i = 0; i < 5; ++i) {
        MixtureRecord* m = Mixture(L"M" + std::to_wstring(i + 1), {{L"Этан", double(i + 1)}});
        if (o2[i] != NoValue) m->components.push_back({L"", L"Кислород", o2[i], 0});
        for (int run = 0; run < 5; ++run) {
            AssayRecord& a = Assay(m, {Peak(L"Этан", 100.0 * (i + 1), 0, 1.0)});
            if (o2[i] != NoValue) a.peaks.push_back(Peak(L"Кислород", 100 * o2[i] + 1, 0, 2.0));
        }
    }
    Run();
    const DiagMessage& six = Diag(DiagCode::kNotInAllMixtures);
    ASSERT_EQ(six.items.size(), 1u);
    EXPECT_EQ(six.items[0].name, L"Кислород");
    EXPECT_TRUE(Diag(DiagCode::kMissingInChromatograms).items.empty());
    EXPECT_TRUE(Diag(DiagCode::kNotInCatalogue).items.empty());
    const DiagMessage& eight = Diag(DiagCode::kOutOfTable1);
    ASSERT_EQ(eight.items.size(), 1u);
    EXPECT_EQ(eight.items[0].name, L"Кислород");
    EXPECT_EQ(eight.items[0].detail, L"M1");
    ASSERT_EQ(calc.GetComponents().size(), 4u);
    EXPECT_EQ(calc.GetComponents()[2]->name, L"Кислород (до 0.025 моль%)");
    const DiagMessage& nine = Diag(DiagCode::kOutOfTable4);
    ASSERT_EQ(nine.items.size(), 1u);  // 0.004 is below Table 4 too
    EXPECT_EQ(nine.items[0].name, L"Кислород");
}

}  // namespace

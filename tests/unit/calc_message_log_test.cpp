// The message log's text as the page shows it.
#include <gtest/gtest.h>

#include "calc/message_log.h"

namespace {

TEST(MessageLog, AnEmptyLogSaysSoWhateverTheSwitches) {
    MessageLog log;
    log.showErrors = log.showWarnings = log.showInfo = 0;
    EXPECT_EQ(log.LogText(), L"Предупреждений и ошибок нет.");
    log.AppendInfo(L"i");
    log.ClearLog();
    EXPECT_TRUE(log.logEmpty);
    EXPECT_TRUE(log.infoList.empty());
    EXPECT_EQ(log.LogText(), L"Предупреждений и ошибок нет.");
}

TEST(MessageLog, NumberingRunsOverTheShownEntries) {
    MessageLog log;
    log.AppendError(L"e1");
    log.AppendError(L"e2\r\n\t- X");
    log.AppendWarning(L"w");
    log.AppendInfo(L"i");
    EXPECT_EQ(log.LogText(),
              L"1.  Ошибка! \r\n\te1\r\n"
              L"2.  Ошибка! \r\n\te2\r\n\t- X\r\n"
              L"3. Предупреждение! \r\n\tw\r\n"
              L"4. Информация! \r\n\ti\r\n");
    log.showErrors = 0;
    EXPECT_EQ(log.LogText(), L"1. Предупреждение! \r\n\tw\r\n2. Информация! \r\n\ti\r\n");
    log.showWarnings = log.showInfo = 0;
    EXPECT_EQ(log.LogText(), L"");
}

}  // namespace

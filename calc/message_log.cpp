#include "calc/message_log.h"

void MessageLog::AppendError(const std::wstring& text) {
    errorList.push_back(text);
    logEmpty = false;
}

void MessageLog::AppendWarning(const std::wstring& text) {
    warningList.push_back(text);
    logEmpty = false;
}

void MessageLog::AppendInfo(const std::wstring& text) {
    infoList.push_back(text);
    logEmpty = false;
}

void MessageLog::ClearLog() {
    logEmpty = true;
    errorList.clear();
    warningList.clear();
    infoList.clear();
}

std::wstring MessageLog::LogText() const {
    if (logEmpty) return L"Предупреждений и ошибок нет.";
    std::wstring text;
    int n = 0;
    auto append = [&](int show, const std::vector<std::wstring>& list, const wchar_t* heading) {
        if (show == 0) return;
        for (const std::wstring& entry : list) {
            text += std::to_wstring(++n);
            text += heading;
            text += entry;
            text += L"\r\n";
        }
    };
    append(showErrors, errorList, L".  Ошибка! \r\n\t");
    append(showWarnings, warningList, L". Предупреждение! \r\n\t");
    append(showInfo, infoList, L". Информация! \r\n\t");
    return text;
}

MessageLog& GetMessageLog() {
    static MessageLog log;
    return log;
}

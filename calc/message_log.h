// The message log of the "Системные сообщения" page: three lists of texts the
// calculation produces (errors, warnings, information), the flag that nothing
// was appended since the last clearing, and the page's three show switches.
// The page only displays the text LogText builds; the command-line check
// prints it.
#pragma once

#include <string>
#include <vector>

class MessageLog {
public:
    std::vector<std::wstring> errorList;
    std::vector<std::wstring> warningList;
    std::vector<std::wstring> infoList;
    bool logEmpty = true;
    int showErrors = 1;
    int showWarnings = 1;
    int showInfo = 1;

    void AppendError(const std::wstring& text);
    void AppendWarning(const std::wstring& text);
    void AppendInfo(const std::wstring& text);

    // Empties the three lists and marks the log empty; the switches stay.
    void ClearLog();

    // The page's text: "Предупреждений и ошибок нет." while the log is empty,
    // otherwise the shown entries numbered across the three kinds.
    std::wstring LogText() const;
};

// The process-wide log, alive from module load to unload.
MessageLog& GetMessageLog();

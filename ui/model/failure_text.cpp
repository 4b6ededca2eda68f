#include "ui/model/failure_text.h"

#include <new>
#include <vector>

#include "base/text.h"

namespace {
std::vector<ErrorFormatter>& Formatters() {
    static std::vector<ErrorFormatter> formatters;
    return formatters;
}
}  // namespace

void RegisterErrorFormatter(ErrorFormatter formatter) { Formatters().push_back(std::move(formatter)); }
void ClearErrorFormattersForTest() { Formatters().clear(); }

std::wstring FailureMessage(const char* where, const std::exception* error) {
    std::wstring text = L"Операция не выполнена";
    if (where && *where) text += L" (" + WideFromUtf8(where) + L")";
    text += L".\n\n";
    if (!error) return text + L"Неизвестная ошибка.";
    for (const ErrorFormatter& format : Formatters()) {
        std::wstring details;
        try {
            if (format && format(*error, details)) return text + details;
        } catch (...) {
            // a formatter that fails leaves the plain message below
        }
    }
    // The run-time's own words for these are no help to a chemist.
    if (dynamic_cast<const std::bad_alloc*>(error)) return text + L"Недостаточно памяти.";
    const char* what = error->what();
    return text + WideFromUtf8(what ? what : "");
}

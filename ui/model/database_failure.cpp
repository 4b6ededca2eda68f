#include "ui/model/database_failure.h"

#include "data/database.h"
#include "base/text.h"
#include "ui/model/failure_text.h"

std::wstring DatabaseFailureDetails(const DataBase::SqlException& error) {
    std::wstring details = L"Ошибка базы данных: " + WideFromUtf8(error.what()) +
                           FormatW(L"\nКод: %d", static_cast<int>(error.code));
    if (error.sql && !error.sql->empty()) details += L"\nЗапрос: " + WideFromUtf8(*error.sql);
    return details;
}

void RegisterDatabaseErrorFormatter() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterErrorFormatter([](const std::exception& error, std::wstring& details) {
        const auto* sql = dynamic_cast<const DataBase::SqlException*>(&error);
        if (!sql) return false;
        details = DatabaseFailureDetails(*sql);
        return true;
    });
}

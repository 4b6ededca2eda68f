// The details a failure box gives for a database error: its message, its code
// and the SQL text of the statement that failed, when there was one.
#pragma once

#include <string>

namespace DataBase {
class SqlException;
}

std::wstring DatabaseFailureDetails(const DataBase::SqlException& error);
// Registers the details above with the failure box text (once per process).
void RegisterDatabaseErrorFormatter();

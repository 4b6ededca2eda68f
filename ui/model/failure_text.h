// The text of the message box shown when an operation fails inside a window:
// what was being done and what went wrong. Kinds of errors with more to say
// than what() (a database error carries its code and the SQL text) register
// a formatter once; the first formatter that recognises the error writes the
// details.
#pragma once

#include <exception>
#include <functional>
#include <string>

// Returns true and fills `details` when it knows this kind of error.
using ErrorFormatter = std::function<bool(const std::exception& error, std::wstring& details)>;
void RegisterErrorFormatter(ErrorFormatter formatter);

// `error` is null for a failure that is no std::exception.
std::wstring FailureMessage(const char* where, const std::exception* error);

// For tests: forgets every registered formatter.
void ClearErrorFormattersForTest();

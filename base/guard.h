// No C++ exception may leave the DLL: every exported function, host callback
// and window procedure runs its body through CallGuarded.
#pragma once

#include <exception>
#include <utility>

// Shows or records a failure that reached a boundary; the user-interface layer
// installs one that shows a message box. `what` is never null.
using FailureReporter = void (*)(const char* where, const std::exception* error);
void SetFailureReporter(FailureReporter reporter);
void ReportBoundaryFailure(const char* where, const std::exception* error) noexcept;

template <class Result, class Body>
Result CallGuarded(const char* where, Result onFailure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const std::exception& e) {
        ReportBoundaryFailure(where, &e);
    } catch (...) {
        ReportBoundaryFailure(where, nullptr);
    }
    return onFailure;
}

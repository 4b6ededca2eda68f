#include "base/guard.h"

#include <cstdio>

namespace {
FailureReporter g_reporter = nullptr;

void DefaultReporter(const char* where, const std::exception* error) {
    std::fprintf(stderr, "Tessaro: %s failed: %s\n", where, error ? error->what() : "unknown error");
}
}  // namespace

void SetFailureReporter(FailureReporter reporter) { g_reporter = reporter; }

void ReportBoundaryFailure(const char* where, const std::exception* error) noexcept {
    try {
        (g_reporter ? g_reporter : DefaultReporter)(where, error);
    } catch (...) {
        // A reporter that fails itself has nothing left to tell.
    }
}

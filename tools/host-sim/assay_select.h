// The simulated host's chromatogram selection ("Main/OpenAssayIdDlgEx"): the
// visible assays of the host database, and the dialog that lets a person
// pick several of them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct VisibleAssay {
    int32_t id = 0;
    std::wstring sample;
    int64_t date = 0;  // seconds since 1970, UTC
    std::wstring mixture;
};

// Reads the assays that are neither hidden nor deleted, by id, opening the
// database read-only. false with `error` when it cannot be read.
bool ReadVisibleAssays(const std::wstring& database, std::vector<VisibleAssay>& assays, std::string& error);

// Shows the list (sample, date, mixture) with multiple selection; the chosen
// ids in list order, empty when cancelled.
std::vector<int32_t> ChooseAssays(HWND owner, const std::vector<VisibleAssay>& assays);

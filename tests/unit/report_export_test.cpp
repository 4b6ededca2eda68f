#include <gtest/gtest.h>

#include "host/report_export.h"
#include "tests/unit/fake_host.h"

namespace {

struct Received {
    std::wstring rootName;
    std::wstring sample;
    std::wstring templatePath;
} g_received;

intptr_t ExportService(intptr_t a1, intptr_t a2) {
    const auto* root = reinterpret_cast<const pugi::xml_node*>(a1);
    g_received.rootName = root->name();
    g_received.sample = root->child(L"table3").child(L"row").child(L"Sample").text().get();
    g_received.templatePath = reinterpret_cast<const wchar_t*>(a2);
    return kReportTempFileFailed;
}

}  // namespace

// The host receives the address of the "root" element handle and the template
// path, and its result comes back unchanged.
TEST(ReportExport, HandsTheRootElementToTheHost) {
    FakeHost host;
    host.extraServices[HostNames::kExportToOdt] = &ExportService;
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute(L"version") = L"1.0";
    declaration.append_attribute(L"encoding") = L"utf-8";
    pugi::xml_node root = document.append_child(L"root");
    root.append_child(L"DateCreated").text() = L"05.03.2025, 14:07";
    root.append_child(L"table3").append_child(L"row").append_child(L"Sample").text() = L"Проба & <1>";

    EXPECT_EQ(ExportReportThroughHost(document, L"Tessaro\\ReportTemplate.odt"), kReportTempFileFailed);
    EXPECT_EQ(g_received.rootName, L"root");
    EXPECT_EQ(g_received.sample, L"Проба & <1>");
    EXPECT_EQ(g_received.templatePath, L"Tessaro\\ReportTemplate.odt");
}

#include <gtest/gtest.h>

#include "host/report_export.h"
#include "tests/unit/fake_host.h"

namespace {

struct Received {
    int32_t size = 0;
    std::wstring text;
    std::wstring templatePath;
} g_received;

intptr_t ExportService(intptr_t a1, intptr_t a2) {
    auto* data = reinterpret_cast<const ReportExportData*>(a1);
    g_received.size = data->size;
    g_received.text = data->xmlText;
    g_received.templatePath = reinterpret_cast<const wchar_t*>(a2);
    return kReportTempFileFailed;
}

}  // namespace

// The host receives the whole document as text that parses back to the same
// tree, and its result comes back unchanged.
TEST(ReportExport, HandsTheDocumentAsText) {
    FakeHost host;
    host.extraServices[HostNames::kExportToOdt] = &ExportService;
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute(L"version") = L"1.0";
    declaration.append_attribute(L"encoding") = L"utf-8";
    pugi::xml_node root = document.append_child(L"root");
    root.append_child(L"DateCreated").text() = L"05.03.2025, 14:07";
    pugi::xml_node row = root.append_child(L"table3").append_child(L"row");
    row.append_child(L"Sample").text() = L"Проба & <1>";
    row.append_child(L"AnDate").text() = L"04.03.25  10:15";

    EXPECT_EQ(ExportReportThroughHost(document, L"Tessaro\\ReportTemplate.odt"), kReportTempFileFailed);
    EXPECT_EQ(g_received.size, static_cast<int32_t>(sizeof(ReportExportData)));
    EXPECT_EQ(g_received.templatePath, L"Tessaro\\ReportTemplate.odt");
    EXPECT_EQ(g_received.text.rfind(L"<?xml version=\"1.0\" encoding=\"utf-8\"?><root>", 0), 0u);
    pugi::xml_document back;
    ASSERT_TRUE(back.load_string(g_received.text.c_str()));
    pugi::xml_node backRow = back.child(L"root").child(L"table3").child(L"row");
    EXPECT_STREQ(backRow.child(L"Sample").text().get(), L"Проба & <1>");
    EXPECT_STREQ(backRow.child(L"AnDate").text().get(), L"04.03.25  10:15");
    EXPECT_STREQ(back.child(L"root").child(L"DateCreated").text().get(), L"05.03.2025, 14:07");
}

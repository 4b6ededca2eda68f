#include "tools/host-sim/assay_select.h"

#include <commctrl.h>
#include <sqlite3.h>

#include <ctime>

#include "tools/host-sim/sim_text.h"

namespace {

std::wstring ColumnText(sqlite3_stmt* statement, int column) {
    const void* text = sqlite3_column_text16(statement, column);
    if (!text) return L"";
    return reinterpret_cast<const wchar_t*>(text);
}

std::wstring DateText(int64_t seconds) {
    __time64_t t = seconds;
    const std::tm* local = seconds < 0 ? nullptr : _localtime64(&t);
    if (!local) return L"---";
    wchar_t text[32] = {};
    wcsftime(text, 32, L"%d.%m.%Y %H:%M", local);
    return text;
}

constexpr int kListId = 100;

struct Choice {
    const std::vector<VisibleAssay>* assays;
    std::vector<int32_t> chosen;
};

INT_PTR CALLBACK ChooserProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choice = reinterpret_cast<Choice*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            choice = reinterpret_cast<Choice*>(lParam);
            RECT client;
            GetClientRect(dialog, &client);
            HINSTANCE instance = GetModuleHandleW(nullptr);
            HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 8, 8,
                                        client.right - 16, client.bottom - 52, dialog,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
            ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
            const wchar_t* headings[] = {L"Id", L"Проба", L"Дата", L"Смесь"};
            const int widths[] = {50, 220, 130, 160};
            for (int c = 0; c < 4; ++c) {
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH;
                column.pszText = const_cast<wchar_t*>(headings[c]);
                column.cx = widths[c];
                SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
            }
            int row = 0;
            for (const VisibleAssay& assay : *choice->assays) {
                std::wstring cells[] = {std::to_wstring(assay.id), assay.sample, DateText(assay.date), assay.mixture};
                LVITEMW item{};
                item.mask = LVIF_TEXT | LVIF_PARAM;
                item.iItem = row;
                item.pszText = const_cast<wchar_t*>(cells[0].c_str());
                item.lParam = assay.id;
                int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
                for (int c = 1; c < 4; ++c) ListView_SetItemText(list, index, c, const_cast<wchar_t*>(cells[c].c_str()));
                ++row;
            }
            const wchar_t* captions[] = {L"Выбрать", L"Отмена"};
            const int ids[] = {IDOK, IDCANCEL};
            for (int b = 0; b < 2; ++b)
                CreateWindowExW(0, L"BUTTON", captions[b],
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                                client.right - 8 - (2 - b) * 108, client.bottom - 36, 100, 28, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[b])), instance, nullptr);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK && choice) {
                HWND list = GetDlgItem(dialog, kListId);
                for (int item = ListView_GetNextItem(list, -1, LVNI_SELECTED); item >= 0;
                     item = ListView_GetNextItem(list, item, LVNI_SELECTED)) {
                    LVITEMW row{};
                    row.mask = LVIF_PARAM;
                    row.iItem = item;
                    if (SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row)))
                        choice->chosen.push_back(static_cast<int32_t>(row.lParam));
                }
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

bool ReadVisibleAssays(const std::wstring& database, std::vector<VisibleAssay>& assays, std::string& error) {
    assays.clear();
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(Utf8FromWideSim(database).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(db,
                                "SELECT id, sample, date, mixture FROM [assay] WHERE ishidden = 0 AND isdeleted = 0 "
                                "ORDER BY id;",
                                -1, &statement, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW) break;
        VisibleAssay assay;
        assay.id = static_cast<int32_t>(sqlite3_column_int64(statement, 0));
        assay.sample = ColumnText(statement, 1);
        assay.date = sqlite3_column_int64(statement, 2);
        assay.mixture = ColumnText(statement, 3);
        assays.push_back(std::move(assay));
    }
    bool ok = rc == SQLITE_DONE;
    if (!ok) error = db ? sqlite3_errmsg(db) : "cannot open the database";
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return ok;
}

std::vector<int32_t> ChooseAssays(HWND owner, const std::vector<VisibleAssay>& assays) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    // A template without controls: the dialog makes them when it starts.
    struct alignas(4) {
        DLGTEMPLATE head;
        WORD menu, type, title[32];
    } form{};
    form.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    form.head.cx = 380;
    form.head.cy = 220;
    const wchar_t caption[] = L"Выбор хроматограмм";
    for (size_t i = 0; i < sizeof caption / sizeof caption[0] && i < 31; ++i) form.title[i] = caption[i];
    Choice choice{&assays, {}};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &form.head, owner, ChooserProcedure,
                            reinterpret_cast<LPARAM>(&choice));
    return choice.chosen;
}

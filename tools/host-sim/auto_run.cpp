// The --auto scenario: one command per line, '#' starts a comment.
//
//   command                       fire the plug-in's menu command again
//   press ID [ok|cancel] [set:ID=TEXT] [check:ID=0|1] [edit:LIST:ROW:COLUMN=TEXT]
//                                 press a button of the plug-in's main window;
//                                 with ok/cancel the modal dialog it opens is
//                                 recorded (list views with their rows), its
//                                 fields set, its grid cells edited in place
//                                 (a double click on the cell, the text typed,
//                                 the focus moved away; each edit recorded as
//                                 "cell-edit" with whether an editor opened and
//                                 the cell's text after it), and then answered
//   sysmenu CMD [ok|cancel]       choose a system-menu item of the main window
//   tab STRIP INDEX               select a tab as a click would
//   menu STRIP TAB LIST [ITEM]    open the context menu of list LIST on the page of tab TAB
//                                 of strip STRIP, record its items and the list's column
//                                 widths ("menu"), and choose item ITEM (0-based) or none;
//                                 then record the widths again ("columns")
//   recalculate                   post the recalculation message and wait until it is handled
//   wait                          handle every waiting message
//   resize WIDTH HEIGHT           resize the main window, then record its geometry
//   close                         close the main window (it only hides)
//   state                         record caption, visibility, tabs and pages
//   counts                        record live GDI objects of the plug-in and the thread's windows
//   fail                          make a handler throw, answer the message box, check the window still answers
//   dump FOLDER                   write every list view of the plug-in's windows as FOLDER/<page>-<id>.tsv
//   shot FILE.png                 save a picture of the main window
//   repeat N COMMAND...           run the command N times, recording no modal dialogs
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
#include <cstdio>
using std::max;
using std::min;
#include <gdiplus.h>

#include <sstream>
#include <vector>

#include "tools/host-sim/host_window.h"
#include "tools/host-sim/sim_text.h"
#include "win/test_messages.h"

namespace {

const ScenarioHooks* g_hooks = nullptr;
bool g_quiet = false;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

std::string Json(const std::wstring& text) { return JsonWide(text.c_str()); }

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> result;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) result.push_back(child);
    return result;
}

// The plug-in's main window: the dialog the host window owns.
HWND MainWindow() {
    for (HWND window : ThreadWindows())
        if (ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == g_hooks->host) return window;
    return nullptr;
}

int CountWindows() {
    int count = 0;
    for (HWND window : ThreadWindows()) count += 1 + static_cast<int>(Descendants(window).size());
    return count;
}

std::string RectJson(const RECT& r) {
    return "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "]";
}

// Rectangle of a window in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string StateJson(HWND main) {
    if (!main) return "{\"host\":\"state\",\"window\":null}";
    RECT frame;
    GetWindowRect(main, &frame);
    std::string json = "{\"host\":\"state\",\"caption\":" + Json(TextOf(main)) +
                       ",\"visible\":" + (IsWindowVisible(main) ? "true" : "false") +
                       ",\"size\":[" + std::to_string(frame.right - frame.left) + "," +
                       std::to_string(frame.bottom - frame.top) + "],\"tabs\":[";
    bool firstStrip = true;
    for (HWND strip : Children(main)) {
        if (ClassOf(strip) != L"SysTabControl32") continue;
        RECT client;
        GetClientRect(strip, &client);
        json += std::string(firstStrip ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(strip)) +
                ",\"rect\":" + RectJson(RectInParent(strip)) + ",\"client\":" + RectJson(client) +
                ",\"selected\":" + std::to_string(SendMessageW(strip, TCM_GETCURSEL, 0, 0)) + ",\"captions\":[";
        firstStrip = false;
        int count = static_cast<int>(SendMessageW(strip, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t buffer[256] = {};
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = buffer;
            item.cchTextMax = 256;
            SendMessageW(strip, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            json += std::string(i ? "," : "") + Json(buffer);
        }
        json += "],\"pages\":[";
        bool firstPage = true;
        for (HWND page : Children(strip)) {
            if (ClassOf(page) != L"#32770") continue;
            json += std::string(firstPage ? "" : ",") + "{\"text\":" + Json(TextOf(page)) +
                    ",\"visible\":" + (IsWindowVisible(page) ? "true" : "false") +
                    ",\"rect\":" + RectJson(RectInParent(page)) + "}";
            firstPage = false;
        }
        json += "]}";
    }
    json += "],\"buttons\":[";
    bool firstButton = true;
    for (HWND child : Children(main)) {
        if (ClassOf(child) != L"Button") continue;
        json += std::string(firstButton ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                ",\"text\":" + Json(TextOf(child)) + ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false") +
                ",\"rect\":" + RectJson(RectInParent(child)) + "}";
        firstButton = false;
    }
    LRESULT recalculations = SendMessageW(main, RegisterWindowMessageW(kRecalculationsMessage), 0, 0);
    return json + "],\"recalculations\":" + std::to_string(recalculations) + "}";
}

// ---------------------------------------------------------- modal answers

struct CellEdit {
    int list = 0, row = 0, column = 0;
    std::wstring text;
};

struct ModalAnswer {
    bool armed = false;
    bool ok = false;
    std::vector<std::pair<int, std::wstring>> texts;
    std::vector<std::pair<int, bool>> checks;
    std::vector<CellEdit> edits;
    bool answered = false;
} g_answer;

std::wstring CellText(HWND list, int item, int column) {
    std::vector<wchar_t> buffer(1024);
    LVITEMW text{};
    text.iSubItem = column;
    text.pszText = buffer.data();
    text.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
    return buffer.data();
}

int ColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string ListRowsJson(HWND list) {
    int columns = ColumnCount(list);
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::string json = "[";
    for (int r = 0; r < rows; ++r) {
        json += r ? ",[" : "[";
        for (int c = 0; c < columns; ++c) json += (c ? "," : "") + Json(CellText(list, r, c));
        json += "]";
    }
    return json + "]";
}

std::string WidthsJson(HWND list) {
    std::string json = "[";
    int columns = ColumnCount(list);
    for (int c = 0; c < columns; ++c)
        json += (c ? "," : "") + std::to_string(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
    return json + "]";
}

// An edit as the user makes it: a double click on the focused cell opens the
// grid's editor (when its owner allows), the text is typed, and moving the
// focus away ends the edit.
void EditCell(HWND dialog, const CellEdit& edit) {
    constexpr int kEditorId = 9801;
    HWND list = GetDlgItem(dialog, edit.list);
    bool opened = false;
    if (list) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(edit.row), reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE click{};
        click.hdr = {list, static_cast<UINT_PTR>(edit.list), static_cast<UINT>(NM_DBLCLK)};
        click.iItem = edit.row;
        click.iSubItem = edit.column;
        SendMessageW(dialog, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
        HWND editor = GetDlgItem(list, kEditorId);
        opened = editor != nullptr;
        if (editor) {
            SetWindowTextW(editor, edit.text.c_str());
            SetFocus(list);
        }
    }
    g_hooks->record("{\"host\":\"cell-edit\",\"list\":" + std::to_string(edit.list) + ",\"row\":" +
                    std::to_string(edit.row) + ",\"column\":" + std::to_string(edit.column) +
                    ",\"opened\":" + (opened ? "true" : "false") +
                    ",\"text\":" + (list ? Json(CellText(list, edit.row, edit.column)) : std::string("null")) + "}");
}

std::string DialogJson(HWND dialog) {
    std::string json = "{\"host\":\"modal\",\"caption\":" + Json(TextOf(dialog)) + ",\"controls\":[";
    bool first = true;
    for (HWND child : Descendants(dialog)) {
        std::wstring type = ClassOf(child);
        json += std::string(first ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(child)) +
                ",\"class\":" + Json(type) + ",\"text\":" + Json(TextOf(child)) +
                ",\"enabled\":" + (IsWindowEnabled(child) ? "true" : "false");
        if (type == L"Button") {
            LRESULT check = SendMessageW(child, BM_GETCHECK, 0, 0);
            json += ",\"checked\":" + std::to_string(check);
        }
        if (type == L"SysListView32") json += ",\"rows\":" + ListRowsJson(child);
        json += "}";
        first = false;
    }
    return json + "]}";
}

HWND ModalDialog() {
    HWND main = MainWindow();
    for (HWND window : ThreadWindows())
        if (window != main && window != g_hooks->host && ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
            IsWindowEnabled(window))
            return window;
    return nullptr;
}

void CALLBACK AnswerModal(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ModalDialog();
    if (!dialog || !g_answer.armed) return;
    KillTimer(nullptr, timer);
    g_answer.armed = false;
    g_answer.answered = true;
    if (!g_quiet) g_hooks->record(DialogJson(dialog));
    for (const CellEdit& edit : g_answer.edits) EditCell(dialog, edit);
    for (const auto& [id, text] : g_answer.texts) SetDlgItemTextW(dialog, id, text.c_str());
    for (const auto& [id, checked] : g_answer.checks)
        SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    // The settings dialog has its own OK and Cancel buttons (1035, 1036).
    int button = g_answer.ok ? (GetDlgItem(dialog, 1035) ? 1035 : IDOK) : (GetDlgItem(dialog, 1036) ? 1036 : IDCANCEL);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// Arms the answer, runs the action that opens the dialog, reports when none came.
void WithAnswer(const std::vector<std::string>& options, const std::function<void()>& action) {
    g_answer = ModalAnswer{};
    for (const std::string& option : options) {
        if (option == "ok" || option == "cancel") {
            g_answer.armed = true;
            g_answer.ok = option == "ok";
        } else if (option.rfind("edit:", 0) == 0) {
            CellEdit edit;
            size_t equals = option.find('=');
            std::string where = option.substr(5, equals == std::string::npos ? std::string::npos : equals - 5);
            std::sscanf(where.c_str(), "%d:%d:%d", &edit.list, &edit.row, &edit.column);
            edit.text = equals == std::string::npos ? L"" : WideFromUtf8Sim(option.substr(equals + 1));
            g_answer.edits.push_back(edit);
        } else if (option.rfind("set:", 0) == 0 || option.rfind("check:", 0) == 0) {
            size_t colon = option.find(':'), equals = option.find('=');
            int id = std::atoi(option.substr(colon + 1, equals - colon - 1).c_str());
            std::string value = equals == std::string::npos ? "" : option.substr(equals + 1);
            if (option[0] == 's')
                g_answer.texts.emplace_back(id, WideFromUtf8Sim(value));
            else
                g_answer.checks.emplace_back(id, value == "1");
        }
    }
    UINT_PTR timer = g_answer.armed ? SetTimer(nullptr, 0, 10, AnswerModal) : 0;
    action();
    if (timer && !g_answer.answered) {
        KillTimer(nullptr, timer);
        g_hooks->record("{\"host\":\"no-modal\"}");
    }
    g_answer.armed = false;
    PumpPending();
}

// ------------------------------------------------------------ context menus

struct MenuAnswer {
    bool armed = false;
    int choose = -1;
    HWND owner = nullptr;
    HWND list = nullptr;
    bool answered = false;
} g_menu;

void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_menu.armed) return;
    HWND popup = nullptr;
    for (HWND window : ThreadWindows())
        if (ClassOf(window) == L"#32768" && IsWindowVisible(window)) popup = window;
    if (!popup) return;
    KillTimer(nullptr, timer);
    g_menu.armed = false;
    g_menu.answered = true;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    std::string json = "{\"host\":\"menu\",\"items\":[";
    UINT chosen = 0;
    int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        UINT id = GetMenuItemID(menu, i);
        bool checked = (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
        json += std::string(i ? "," : "") + "{\"text\":" + Json(text) + ",\"command\":" + std::to_string(id) +
                ",\"checked\":" + (checked ? "true" : "false") + "}";
        if (i == g_menu.choose) chosen = id;
    }
    g_hooks->record(json + "],\"widths\":" + WidthsJson(g_menu.list) + "}");
    EndMenu();
    // What the menu does with a chosen item: the command goes to its owner.
    if (chosen) PostMessageW(g_menu.owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

// The page of a tab: the strip's child dialog named like the tab.
HWND PageOfTab(HWND main, int stripId, int index) {
    HWND strip = GetDlgItem(main, stripId);
    if (!strip) return nullptr;
    wchar_t caption[256] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 256;
    if (!SendMessageW(strip, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
    for (HWND page : Children(strip))
        if (ClassOf(page) == L"#32770" && TextOf(page) == caption) return page;
    return nullptr;
}

// ------------------------------------------------------------ dumps, shots

std::wstring SafeName(std::wstring name) {
    for (wchar_t& c : name)
        if (wcschr(L"\\/:*?\"<>|\t\r\n", c)) c = L'_';
    return name.empty() ? L"window" : name;
}

std::string ListViewTsv(HWND list) {
    int columns = ColumnCount(list);
    std::string out;
    for (int c = 0; c < columns; ++c) {
        wchar_t buffer[512] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = buffer;
        column.cchTextMax = 512;
        SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
        out += (c ? "\t" : "") + Utf8FromWideSim(buffer);
    }
    out += "\n";
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) out += (c ? "\t" : "") + Utf8FromWideSim(CellText(list, r, c));
        out += "\n";
    }
    return out;
}

int DumpLists(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    int written = 0;
    for (HWND top : ThreadWindows()) {
        if (top == g_hooks->host) continue;
        for (HWND list : Descendants(top)) {
            if (ClassOf(list) != L"SysListView32") continue;
            HWND page = GetParent(list);
            while (page && ClassOf(page) != L"#32770") page = GetParent(page);
            std::wstring name = page == MainWindow() || !page ? L"main" : SafeName(TextOf(page));
            std::wstring file = folder + L"\\" + name + L"-" + std::to_wstring(GetDlgCtrlID(list)) + L".tsv";
            if (WriteWholeFile(file, ListViewTsv(list))) ++written;
        }
    }
    return written;
}

bool SavePng(HWND window, const std::wstring& file) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 10; ++i) {
        PumpPending();
        Sleep(30);
    }
    RECT r;
    GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool saved = false;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok) {
        UINT count = 0, size = 0;
        Gdiplus::GetImageEncodersSize(&count, &size);
        std::vector<BYTE> buffer(size);
        auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
        if (size && Gdiplus::GetImageEncoders(count, size, encoders) == Gdiplus::Ok) {
            for (UINT i = 0; i < count; ++i) {
                if (std::wstring(encoders[i].MimeType) != L"image/png") continue;
                Gdiplus::Bitmap* image = Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr);
                saved = image && image->Save(file.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
                delete image;
                break;
            }
        }
        Gdiplus::GdiplusShutdown(token);
    }
    DeleteObject(bitmap);
    return saved;
}

// ---------------------------------------------------------------- commands

std::vector<std::string> Split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

bool Run(const std::vector<std::string>& w, std::string& error) {
    const std::string& verb = w[0];
    HWND main = MainWindow();
    auto needMain = [&] {
        if (!main) error = verb + ": the plug-in has no main window";
        return main != nullptr;
    };
    auto number = [&](size_t i) { return i < w.size() ? std::atoi(w[i].c_str()) : 0; };
    std::vector<std::string> rest(w.size() > 2 ? w.begin() + 2 : w.end(), w.end());

    if (verb == "command") {
        g_hooks->menuCommand();
        PumpPending();
    } else if (verb == "press") {
        if (!needMain()) return false;
        int id = number(1);
        HWND button = GetDlgItem(main, id);
        if (!button || !IsWindowEnabled(button)) {
            g_hooks->record("{\"host\":\"press-refused\",\"id\":" + std::to_string(id) + "}");
            return true;
        }
        WithAnswer(rest, [&] {
            SendMessageW(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        });
    } else if (verb == "sysmenu") {
        if (!needMain()) return false;
        WithAnswer(rest, [&] { SendMessageW(main, WM_SYSCOMMAND, static_cast<WPARAM>(number(1)), 0); });
    } else if (verb == "tab") {
        if (!needMain()) return false;
        HWND strip = GetDlgItem(main, number(1));
        if (!strip) {
            error = "tab: no tab strip " + w[1];
            return false;
        }
        SendMessageW(strip, TCM_SETCURSEL, static_cast<WPARAM>(number(2)), 0);
        NMHDR header{strip, static_cast<UINT_PTR>(number(1)), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        PumpPending();
    } else if (verb == "menu") {
        if (!needMain()) return false;
        HWND page = PageOfTab(main, number(1), number(2));
        HWND list = page ? GetDlgItem(page, number(3)) : nullptr;
        if (!list) {
            error = "menu: no list " + (w.size() > 3 ? w[3] : std::string()) + " on that page";
            return false;
        }
        g_menu = MenuAnswer{true, w.size() > 4 ? number(4) : -1, page, list, false};
        UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerMenu);
        POINT at{5, 5};
        ClientToScreen(list, &at);
        SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
        if (!g_menu.answered) {
            KillTimer(nullptr, timer);
            g_hooks->record("{\"host\":\"no-menu\"}");
        }
        g_menu.armed = false;
        PumpPending();
        g_hooks->record("{\"host\":\"columns\",\"widths\":" + WidthsJson(list) + "}");
    } else if (verb == "recalculate") {
        if (!needMain()) return false;
        PostMessageW(main, WM_USER + 11, 0, 0);
        PumpPending();
        g_hooks->record("{\"host\":\"recalculated\",\"recalculations\":" +
                        std::to_string(SendMessageW(main, RegisterWindowMessageW(kRecalculationsMessage), 0, 0)) +
                        "}");
    } else if (verb == "wait") {
        PumpPending();
    } else if (verb == "resize") {
        if (!needMain()) return false;
        SetWindowPos(main, nullptr, 0, 0, number(1), number(2), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
        g_hooks->record(StateJson(main));
    } else if (verb == "close") {
        if (!needMain()) return false;
        SendMessageW(main, WM_CLOSE, 0, 0);
        PumpPending();
    } else if (verb == "state") {
        g_hooks->record(StateJson(main));
    } else if (verb == "counts") {
        LRESULT gdi = main ? SendMessageW(main, RegisterWindowMessageW(kLiveGdiObjectsMessage), 0, 0) : -1;
        g_hooks->record("{\"host\":\"counts\",\"gdi\":" + std::to_string(gdi) +
                        ",\"windows\":" + std::to_string(CountWindows()) + "}");
    } else if (verb == "fail") {
        if (!needMain()) return false;
        UINT message = RegisterWindowMessageW(kFailForTestMessage);
        WithAnswer({"ok"}, [&] { SendMessageW(main, message, 1, 0); });
        g_hooks->record("{\"host\":\"alive\",\"answer\":" + std::to_string(SendMessageW(main, message, 0, 0)) + "}");
    } else if (verb == "dump") {
        if (w.size() < 2) {
            error = "dump: no folder";
            return false;
        }
        int files = DumpLists(WideFromUtf8Sim(w[1]));
        g_hooks->record("{\"host\":\"dump\",\"files\":" + std::to_string(files) + "}");
    } else if (verb == "shot") {
        if (!needMain() || w.size() < 2) return false;
        bool saved = SavePng(main, WideFromUtf8Sim(w[1]));
        g_hooks->record(std::string("{\"host\":\"shot\",\"saved\":") + (saved ? "true" : "false") + "}");
    } else if (verb == "repeat") {
        int times = number(1);
        std::vector<std::string> inner(w.size() > 2 ? w.begin() + 2 : w.end(), w.end());
        if (inner.empty()) {
            error = "repeat: no command";
            return false;
        }
        g_quiet = true;
        for (int i = 0; i < times; ++i)
            if (!Run(inner, error)) {
                g_quiet = false;
                return false;
            }
        g_quiet = false;
    } else {
        error = "unknown scenario command " + verb;
        return false;
    }
    return true;
}

}  // namespace

bool RunScenario(const std::wstring& path, const ScenarioHooks& hooks, std::string& error) {
    std::string content;
    if (!ReadWholeFile(path, content)) {
        error = "cannot read the scenario " + Utf8FromWideSim(path);
        return false;
    }
    g_hooks = &hooks;
    std::istringstream lines(content);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::vector<std::string> words = Split(line);
        if (words.empty()) continue;
        if (!Run(words, error)) {
            error = "scenario line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

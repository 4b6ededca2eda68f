// The --auto scenario: one command per line, '#' starts a comment.
//
//   command                       fire the plug-in's menu command again
//   press ID [ok|cancel] [set:ID=TEXT] [check:ID=0|1] [click:ID] [edit:LIST:ROW:COLUMN=TEXT]
//                                 press a button of the plug-in's main window
//                                 or of one of its pages; with ok/cancel the
//                                 modal dialog it opens is recorded (list views
//                                 with their rows), its fields set, its grid
//                                 cells edited in place (a double click on the
//                                 cell, the text typed, the focus moved away;
//                                 each edit recorded as "cell-edit" with whether
//                                 an editor opened and the cell's text after
//                                 it), its buttons given by click pressed in
//                                 turn (a message box one of them opens is
//                                 recorded and answered, or "no-box" recorded),
//                                 and then it is answered
//   select all|none|ID,ID,...     what the host's chromatogram selection answers from now on
//   pick ID ROWS                  select rows of the list view ID in the main window
//                                 (ROWS: 0-based, comma-separated, or none)
//   click ID ROWS                 pick, then the click notification of the list
//                                 (without ROWS: a button, see below)
//   dblclick ID ROWS              pick, then the double-click notification
//   combo ID [INDEX]              select an entry of the combo box ID as the
//                                 person would; record its entries
//   sysmenu CMD [ok|cancel]       choose a system-menu item of the main window
//   tab STRIP INDEX               select a tab as a click would
//   menu STRIP TAB LIST [ITEM]    open the context menu of list LIST on the page of tab TAB
//                                 of strip STRIP, record its items and the list's column
//                                 widths ("menu"), and choose item ITEM (0-based) or none;
//                                 then record the widths again ("columns")
//   recalculate                   post the recalculation message and wait until it is handled
//   wait                          handle every waiting message
//   say TEXT...                   record TEXT (a progress line for whoever reads the transcript)
//   resize WIDTH HEIGHT           resize the main window, then record its geometry
//   close                         close the main window (it only hides)
//   state                         record caption, visibility, tabs and pages
//   counts                        record live GDI objects of the plug-in (windows and plot surfaces),
//                                 the thread's windows, the graph page's chart drawings and the
//                                 process's private bytes (PrivateUsage of its memory counters,
//                                 PagefileUsage where the system leaves PrivateUsage out)
//   redraw PAGE                   repaint the page whose caption is PAGE, waiting for the painting
//   choose PAGE ID INDEX          select entry INDEX of combo box ID on the page whose caption is
//                                 PAGE (its words as they are, spaces included), as the user
//                                 would (the page hears CBN_SELCHANGE)
//   reportgraph [FILE.png]        have the graph page draw the report picture into a 1000 x 1000
//                                 32-bit bitmap; record the result and the non-white pixels, save it
//   fail                          make a handler throw, answer the message box, check the window still answers
//                                 ("alive": 1; 0 when the test service is withdrawn and nothing failed)
//   failnext                      the next add, open or reload of the chromatogram page fails with
//                                 "no memory" after it ran ("failnext": the plug-in's answer, 1 when armed)
//   text ID                       record the text (and a button's check state) of the
//                                 main window's control with that id, pages included
//   click ID                      click the button with that id in the main window or
//                                 a page of it (an auto check box changes its state)
//   dump FOLDER                   write every list view of the plug-in's windows as FOLDER/<page>-<id>.tsv
//   shot FILE.png                 save a picture of the main window
//   repeat N COMMAND...           run the command N times, recording no modal dialogs
//   time COMMAND...               run the command and record how long it took ("time", with the
//                                 command's verb and the elapsed milliseconds); for press, the
//                                 messages the press posts (a recalculation) are handled within it
//   handoff FILE [SECONDS]        create FILE and wait, handling messages, until someone else
//                                 removes it (at most SECONDS, default 120); record how long
//                                 ("handoff": released, ms) -- lets a test change the world mid-run
//   clock                         record the time ("clock": ms, a monotonic count)
//   env NAME [VALUE]              set (or without VALUE remove) an environment variable of the
//                                 process, e.g. TMP, where the plug-in makes its temporary folder
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <sstream>
#include <vector>

#include "tools/host-sim/host_window.h"
#include "tools/host-sim/sim_text.h"
#include "tools/host-sim/window_probe.h"
#include "win/window_messages.h"

namespace {

const ScenarioHooks* g_hooks = nullptr;
bool g_quiet = false;

// The plug-in's main window: the dialog the host window owns.
HWND MainWindow() {
    for (HWND window : ThreadWindows())
        if (ClassOf(window) == L"#32770" && GetWindow(window, GW_OWNER) == g_hooks->host) return window;
    return nullptr;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
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
    std::vector<int> clicks;
    std::vector<CellEdit> edits;
    bool answered = false;
} g_answer;
bool g_boxAnswered = false;
HWND g_boxOwner = nullptr;  // the modal dialog whose button opens the box

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

HWND ModalDialog() {
    HWND main = MainWindow();
    for (HWND window : ThreadWindows())
        if (window != main && window != g_hooks->host && ClassOf(window) == L"#32770" && IsWindowVisible(window) &&
            IsWindowEnabled(window))
            return window;
    return nullptr;
}

// A message box over the modal dialog: recorded (its text among the controls) and closed with OK.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = ModalDialog();
    if (!box || box == g_boxOwner) return;
    KillTimer(nullptr, timer);
    g_boxAnswered = true;
    g_hooks->record(DialogJson(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
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
    for (int id : g_answer.clicks) {
        g_boxAnswered = false;
        g_boxOwner = dialog;
        UINT_PTR boxTimer = SetTimer(nullptr, 0, 10, AnswerBox);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        KillTimer(nullptr, boxTimer);
        if (!g_boxAnswered) g_hooks->record("{\"host\":\"no-box\",\"id\":" + std::to_string(id) + "}");
    }
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
        } else if (option.rfind("click:", 0) == 0) {
            g_answer.clicks.push_back(std::atoi(option.c_str() + 6));
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
    // A dialog may also open from a message the action posted (a failure box
    // shown after the recalculation the action asked for).
    if (timer && !g_answer.answered) PumpPending();
    if (timer && !g_answer.answered) {
        KillTimer(nullptr, timer);
        g_hooks->record("{\"host\":\"no-modal\"}");
    }
    g_answer.armed = false;
    PumpPending();
}

// ------------------------------------------------------------ controls

// The first control with that id inside the main window, its pages included.
// A control of the main window or of one of its pages.
HWND ControlOf(HWND main, int id) {
    if (HWND direct = GetDlgItem(main, id)) return direct;
    for (HWND child : Descendants(main))
        if (GetDlgCtrlID(child) == id) return child;
    return nullptr;
}

// As a mouse click would: an auto check box flips, then its dialog hears of it.
void Click(HWND button) {
    LONG_PTR kind = GetWindowLongPtrW(button, GWL_STYLE) & BS_TYPEMASK;
    if (kind == BS_AUTOCHECKBOX) {
        bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(button, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    }
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
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

// ---------------------------------------------------------------- commands

// Makes exactly these rows the selection of a list view.
void PickRows(HWND list, const std::string& rows) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    if (rows == "none") return;
    std::istringstream in(rows);
    for (std::string part; std::getline(in, part, ',');) {
        if (part.empty()) continue;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(std::atoi(part.c_str())),
                     reinterpret_cast<LPARAM>(&state));
    }
}

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
        HWND button = ControlOf(main, id);
        if (!button || !IsWindowEnabled(button)) {
            g_hooks->record("{\"host\":\"press-refused\",\"id\":" + std::to_string(id) + "}");
            return true;
        }
        WithAnswer(rest, [&] {
            SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        });
    } else if (verb == "select") {
        if (w.size() < 2) {
            error = "select: all, none or ids";
            return false;
        }
        g_hooks->select(w[1] == "none" ? std::string() : w[1]);
    } else if (verb == "pick" || (verb == "click" && w.size() >= 3) || verb == "dblclick") {
        if (!needMain()) return false;
        HWND list = ControlOf(main, number(1));
        if (!list || ClassOf(list) != L"SysListView32" || w.size() < 3) {
            error = verb + ": no list view " + (w.size() > 1 ? w[1] : "") + " or no rows";
            return false;
        }
        PickRows(list, w[2]);
        if (verb != "pick") {
            NMITEMACTIVATE activate{};
            activate.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)),
                            static_cast<UINT>(verb == "click" ? NM_CLICK : NM_DBLCLK)};
            activate.iItem = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
            SendMessageW(GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
        }
        PumpPending();
    } else if (verb == "combo") {
        if (!needMain()) return false;
        HWND combo = ControlOf(main, number(1));
        if (!combo) {
            error = "combo: no combo box " + (w.size() > 1 ? w[1] : "");
            return false;
        }
        if (w.size() > 2) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(number(2)), 0);
            SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            PumpPending();
        }
        g_hooks->record(ComboJson(combo));
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
        PostMessageW(main, kRecalculateMessage, 0, 0);
        PumpPending();
        g_hooks->record("{\"host\":\"recalculated\",\"recalculations\":" +
                        std::to_string(SendMessageW(main, RegisterWindowMessageW(kRecalculationsMessage), 0, 0)) +
                        "}");
    } else if (verb == "wait") {
        PumpPending();
    } else if (verb == "say") {
        std::string text;
        for (size_t i = 1; i < w.size(); ++i) text += (i > 1 ? " " : "") + w[i];
        g_hooks->record("{\"host\":\"say\",\"text\":" + JsonString(text) + "}");
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
        HWND graph = GraphPageWindow(main);
        g_hooks->record("{\"host\":\"counts\",\"gdi\":" + std::to_string(AskWindow(main, kLiveGdiObjectsMessage)) +
                        ",\"surface\":" + std::to_string(AskWindow(graph, kSurfaceObjectsMessage)) +
                        ",\"graphRenders\":" + std::to_string(AskWindow(graph, kGraphRendersMessage)) +
                        ",\"windows\":" + std::to_string(CountWindows()) +
                        ",\"privateBytes\":" + std::to_string(PrivateBytes()) + "}");
    } else if (verb == "redraw") {
        HWND page = w.size() < 2 ? nullptr : PageOf(main, WideFromUtf8Sim(w[1]));
        if (!page) {
            error = "redraw: no such page";
            return false;
        }
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    } else if (verb == "choose") {
        // The caption is every word between the verb and the last two.
        std::string caption;
        for (size_t i = 1; i + 2 < w.size(); ++i) caption += (i > 1 ? " " : "") + w[i];
        const size_t id = w.size() - 2, index = w.size() - 1;
        HWND page = w.size() < 4 ? nullptr : PageOf(main, WideFromUtf8Sim(caption));
        HWND combo = page ? GetDlgItem(page, number(id)) : nullptr;
        if (!combo) {
            error = "choose: no such page or combo box";
            return false;
        }
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(number(index)), 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(number(id), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        PumpPending();
    } else if (verb == "reportgraph") {
        HWND graph = GraphPageWindow(main);
        if (!graph) {
            error = "reportgraph: no graph page";
            return false;
        }
        std::string json = ReportGraph(graph, w.size() > 1 ? WideFromUtf8Sim(w[1]) : std::wstring());
        g_hooks->record(json);
    } else if (verb == "failnext") {
        if (!needMain()) return false;
        UINT message = RegisterWindowMessageW(kFailNextStepMessage);
        g_hooks->record("{\"host\":\"failnext\",\"answer\":" + std::to_string(SendMessageW(main, message, 0, 0)) + "}");
    } else if (verb == "fail") {
        if (!needMain()) return false;
        UINT message = RegisterWindowMessageW(kFailForTestMessage);
        WithAnswer({"ok"}, [&] { SendMessageW(main, message, 1, 0); });
        g_hooks->record("{\"host\":\"alive\",\"answer\":" + std::to_string(SendMessageW(main, message, 0, 0)) + "}");
    } else if (verb == "text" || verb == "click") {
        if (!needMain()) return false;
        HWND control = ControlOf(main, number(1));
        if (!control) {
            error = verb + ": no control " + (w.size() > 1 ? w[1] : "");
            return false;
        }
        if (verb == "text") {
            g_hooks->record(ControlJson(control));
        } else {
            Click(control);
            PumpPending();
        }
    } else if (verb == "dump") {
        if (w.size() < 2) {
            error = "dump: no folder";
            return false;
        }
        int files = DumpLists(WideFromUtf8Sim(w[1]), g_hooks->host, MainWindow());
        g_hooks->record("{\"host\":\"dump\",\"files\":" + std::to_string(files) + "}");
    } else if (verb == "shot") {
        if (!needMain() || w.size() < 2) return false;
        bool saved = SavePng(main, WideFromUtf8Sim(w[1]));
        g_hooks->record(std::string("{\"host\":\"shot\",\"saved\":") + (saved ? "true" : "false") + "}");
    } else if (verb == "handoff") {
        if (w.size() < 2) {
            error = "handoff: no file";
            return false;
        }
        const std::wstring file = WideFromUtf8Sim(w[1]);
        HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (created == INVALID_HANDLE_VALUE) {
            error = "handoff: cannot create " + w[1];
            return false;
        }
        CloseHandle(created);
        const ULONGLONG start = GetTickCount64();
        const ULONGLONG limit = static_cast<ULONGLONG>(w.size() > 2 ? number(2) : 120) * 1000;
        bool released = false;
        while (!(released = GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) &&
               GetTickCount64() - start < limit) {
            PumpPending();
            Sleep(20);
        }
        g_hooks->record(std::string("{\"host\":\"handoff\",\"released\":") + (released ? "true" : "false") +
                        ",\"ms\":" + std::to_string(GetTickCount64() - start) + "}");
    } else if (verb == "env") {
        if (w.size() < 2) {
            error = "env: no name";
            return false;
        }
        const std::wstring value = w.size() > 2 ? WideFromUtf8Sim(w[2]) : std::wstring();
        SetEnvironmentVariableW(WideFromUtf8Sim(w[1]).c_str(), w.size() > 2 ? value.c_str() : nullptr);
    } else if (verb == "clock") {
        g_hooks->record("{\"host\":\"clock\",\"ms\":" + std::to_string(GetTickCount64()) + "}");
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
    } else if (verb == "time") {
        std::vector<std::string> inner(w.begin() + 1, w.end());
        if (inner.empty()) {
            error = "time: no command";
            return false;
        }
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        if (!Run(inner, error)) return false;
        QueryPerformanceCounter(&end);
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.3f", Milliseconds(start, end));
        g_hooks->record("{\"host\":\"time\",\"command\":" + JsonString(inner[0]) + ",\"ms\":" + ms + "}");
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

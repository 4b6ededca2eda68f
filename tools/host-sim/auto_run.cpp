// The --auto scenario: one command per line, '#' starts a comment. An ID names
// a control, a dialog template or a menu command of the plug-in as
// resources/resource.h does (IDC_MAIN_SETTINGS, IDM_ABOUT) or gives its number;
// a name the header does not define stops the scenario with an error naming it.
// So "press IDC_MAIN_SETTINGS ok check:IDC_SET_PRESSURE=1" opens the settings,
// checks the pressure correction and answers OK.
//
//   command                       fire the plug-in's menu command again
//   press ID [ok|cancel] [set:ID=TEXT] [check:ID=0|1] [click:ID] [edit:LIST:ROW:COLUMN=TEXT]
//            [tabedit:LIST:ROW:COLUMN=TEXT] [backtabedit:LIST:ROW:COLUMN=TEXT]
//            [copy:LIST[:ROWS]] [editcopy:LIST:ROW:COLUMN=TEXT]
//                                 press a button of the plug-in's main window
//                                 or of one of its pages; with ok/cancel the
//                                 modal dialog it opens is recorded (list views
//                                 with their rows), its fields set, its grid
//                                 cells edited in place (LIST an ID; a double
//                                 click on the cell, the text typed, the focus
//                                 moved away, or with tabedit: Tab pressed in
//                                 the editor, with backtabedit: Shift+Tab; each edit recorded as "cell-edit"
//                                 with whether an editor opened, whether one is
//                                 still open, the id of the focused control and
//                                 the cell's text after it), its lists copied with
//                                 copy: (the rows picked, then Ctrl+C in the list, as
//                                 the command copy does) and with editcopy: in a cell's
//                                 editor (opened as by edit:, TEXT typed, its text from
//                                 the second character on selected, Ctrl+C pressed, the
//                                 edit ended with Escape; recorded as "cell-copy"), its buttons given by click
//                                 pressed in turn (a message box one of them
//                                 opens is recorded and answered, or "no-box"
//                                 recorded), and then it is answered
//   select all|none|ID,ID,...     what the host's chromatogram selection answers from now on
//                                 (chromatogram ids of the host database)
//   pick ID ROWS                  select rows of the list view ID in the main window
//                                 (ROWS: 0-based, comma-separated, or none)
//   click ID ROWS                 pick, then the click notification of the list
//                                 (without ROWS: a button, see below)
//   dblclick ID ROWS              pick, then the double-click notification
//   combo ID [INDEX]              select an entry of the combo box ID as the
//                                 person would; record its entries
//   sysmenu CMD [ok|cancel]       choose a system-menu item (CMD an ID) of the main window
//   tab STRIP INDEX               select a tab (of the strip ID STRIP) as a click would
//   menu STRIP TAB LIST [ITEM]    open the context menu of list LIST on the page of tab TAB
//                                 of strip STRIP (both IDs), record its items and the list's
//                                 column widths ("menu"), and choose item ITEM (0-based) or
//                                 none; then record the widths again ("columns")
//   copy STRIP TAB LIST [ROWS] [menu]
//                                 select the tab TAB of strip STRIP as a click would (unless
//                                 it is the selected one), pick
//                                 ROWS (as pick does) in list LIST of its page, then press
//                                 Ctrl+C in the list (the focus in it, Ctrl held as the
//                                 keyboard's state says, the key handed on as a dialog's
//                                 message loop does) or, with menu, open its context menu and
//                                 choose "Копировать" (IDM_TABLE_COPY) with the arrow keys and
//                                 Enter; a message box that opens is recorded and answered;
//                                 record "copy" (list, how, whether a box came)
//   clipboard FILE|empty|hold|release
//                                 record what the clipboard holds ("clipboard": its text,
//                                 written to FILE as UTF-8, and its picture's size); or
//                                 empty it; or have another thread hold it open until
//                                 release ("clipboard-hold": whether it opened)
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
//
// The records keep the ids as numbers. Each command is one function of the
// table kCommands at the end of this file.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tools/host-sim/host_window.h"
#include "tools/host-sim/scenario_ids.h"
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
    bool byTab = false;  // ended by Tab through the dialog's keyboard handling
    bool shift = false;  // Shift held with that Tab
};

struct ModalAnswer {
    bool armed = false;
    bool ok = false;
    std::vector<std::pair<int, std::wstring>> texts;
    std::vector<std::pair<int, bool>> checks;
    std::vector<int> clicks;
    std::vector<CellEdit> edits;
    std::vector<std::pair<int, std::string>> copies;  // list, rows
    std::vector<CellEdit> editorCopies;
    bool answered = false;
} g_answer;
bool g_boxAnswered = false;
HWND g_boxOwner = nullptr;  // the modal dialog whose button opens the box

// A double click on the focused cell, which opens the grid's editor when its
// owner allows; the editor, or null.
HWND OpenEditor(HWND dialog, HWND list, const CellEdit& edit) {
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(edit.row), reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click{};
    click.hdr = {list, static_cast<UINT_PTR>(edit.list), static_cast<UINT>(NM_DBLCLK)};
    click.iItem = edit.row;
    click.iSubItem = edit.column;
    SendMessageW(dialog, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    return GetDlgItem(list, IDC_GRID_EDITOR);
}

// The thread's keyboard state, which the dialog and TranslateMessage read,
// with these keys down or up for as long as this lives; put back after.
class HeldKeys {
public:
    HeldKeys(std::initializer_list<std::pair<int, bool>> keys) {
        GetKeyboardState(saved_);
        BYTE held[256] = {};
        std::memcpy(held, saved_, sizeof held);
        for (const auto& [key, down] : keys) held[key] = down ? 0x80 : 0;
        SetKeyboardState(held);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256] = {};
};

// A key pressed with Ctrl held in `target`, as a dialog's message loop hands
// it on: Ctrl is down while the key and the character it makes are handled.
void PressWithControl(HWND target, UINT key) {
    HeldKeys control({{VK_CONTROL, true}, {VK_LCONTROL, true}});
    SetFocus(target);
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    MSG down{target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)), 0, {0, 0}};
    if (!IsDialogMessageW(GetAncestor(target, GA_ROOT), &down)) {
        TranslateMessage(&down);
        DispatchMessageW(&down);
    }
    PumpPending();
}

// An edit as the user makes it: a double click on the focused cell opens the
// grid's editor (when its owner allows), the text is typed, and moving the
// focus away ends the edit.
void EditCell(HWND dialog, const CellEdit& edit) {
    HWND list = GetDlgItem(dialog, edit.list);
    bool opened = false;
    if (list) {
        HWND editor = OpenEditor(dialog, list, edit);
        opened = editor != nullptr;
        if (editor) {
            SetWindowTextW(editor, edit.text.c_str());
            if (edit.byTab) {
                // As the dialog's message loop hands a Tab pressed in the editor on;
                // the dialog reads Shift from the thread's keyboard state.
                HeldKeys shift({{VK_SHIFT, edit.shift}});
                MSG tab{editor, WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
                if (!IsDialogMessageW(dialog, &tab)) DispatchMessageW(&tab);
            } else {
                SetFocus(list);
            }
        }
    }
    HWND focus = GetFocus();
    g_hooks->record("{\"host\":\"cell-edit\",\"list\":" + std::to_string(edit.list) + ",\"row\":" +
                    std::to_string(edit.row) + ",\"column\":" + std::to_string(edit.column) +
                    ",\"opened\":" + (opened ? "true" : "false") +
                    ",\"editorLeft\":" + (list && GetDlgItem(list, IDC_GRID_EDITOR) ? "true" : "false") +
                    ",\"focus\":" + std::to_string(focus ? GetDlgCtrlID(focus) : 0) +
                    ",\"text\":" + (list ? Json(CellText(list, edit.row, edit.column)) : std::string("null")) + "}");
}

// Ctrl+C in a cell's editor: the editor copies its selection (the typed text
// from its second character on); Escape then ends the edit without a change.
void CopyInEditor(HWND dialog, const CellEdit& edit) {
    HWND list = GetDlgItem(dialog, edit.list);
    HWND editor = list ? OpenEditor(dialog, list, edit) : nullptr;
    if (editor) {
        SetWindowTextW(editor, edit.text.c_str());
        SendMessageW(editor, EM_SETSEL, 1, -1);
        PressWithControl(editor, 'C');
        SendMessageW(editor, WM_CHAR, VK_ESCAPE, 0x00010001);
    }
    g_hooks->record("{\"host\":\"cell-copy\",\"list\":" + std::to_string(edit.list) +
                    ",\"opened\":" + (editor ? "true" : "false") +
                    ",\"editorLeft\":" + (list && GetDlgItem(list, IDC_GRID_EDITOR) ? "true" : "false") + "}");
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

// Copies the list (Ctrl+C, or its menu's "Копировать") after picking ROWS
// (none: the selection stays); a box over `boxOwner` is answered; records "copy".
void CopyFromList(HWND boxOwner, HWND list, const std::string& rows, bool byMenu);

void CALLBACK AnswerModal(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ModalDialog();
    if (!dialog || !g_answer.armed) return;
    KillTimer(nullptr, timer);
    g_answer.armed = false;
    g_answer.answered = true;
    if (!g_quiet) g_hooks->record(DialogJson(dialog));
    for (const CellEdit& edit : g_answer.edits) EditCell(dialog, edit);
    for (const auto& [id, rows] : g_answer.copies) CopyFromList(dialog, GetDlgItem(dialog, id), rows, false);
    for (const CellEdit& edit : g_answer.editorCopies) CopyInEditor(dialog, edit);
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
    // The plug-in's dialogs have OK and Cancel buttons of their own, with the
    // same ids in the settings, components and report dialogs.
    static_assert(IDC_SET_OK == IDC_COMP_OK && IDC_SET_OK == IDC_REP_OK, "one id for the dialogs' OK");
    static_assert(IDC_SET_CANCEL == IDC_COMP_CANCEL && IDC_SET_CANCEL == IDC_REP_CANCEL, "one id for Cancel");
    int button = g_answer.ok ? (GetDlgItem(dialog, IDC_SET_OK) ? IDC_SET_OK : IDOK)
                             : (GetDlgItem(dialog, IDC_SET_CANCEL) ? IDC_SET_CANCEL : IDCANCEL);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// edit:LIST:ROW:COLUMN=TEXT, LIST an ID.
bool ReadCellEdit(const std::string& option, CellEdit& edit, std::string& error) {
    size_t equals = option.find('=');
    std::string where = option.substr(5, equals == std::string::npos ? std::string::npos : equals - 5);
    std::vector<std::string> parts;
    std::istringstream in(where);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    if (!parts.empty() && !ReadScenarioId(parts[0], edit.list, error)) return false;
    if (parts.size() > 1) edit.row = std::atoi(parts[1].c_str());
    if (parts.size() > 2) edit.column = std::atoi(parts[2].c_str());
    edit.text = equals == std::string::npos ? L"" : WideFromUtf8Sim(option.substr(equals + 1));
    return true;
}

// The options of press and sysmenu; false with `error` for an ID that names nothing.
bool ReadAnswer(const std::vector<std::string>& options, ModalAnswer& answer, std::string& error) {
    for (const std::string& option : options) {
        if (option == "ok" || option == "cancel") {
            answer.armed = true;
            answer.ok = option == "ok";
        } else if (option.rfind("click:", 0) == 0) {
            int id = 0;
            if (!ReadScenarioId(option.substr(6), id, error)) return false;
            answer.clicks.push_back(id);
        } else if (option.rfind("edit:", 0) == 0 || option.rfind("tabedit:", 0) == 0 ||
                   option.rfind("backtabedit:", 0) == 0) {
            CellEdit edit;
            edit.shift = option[0] == 'b';
            edit.byTab = edit.shift || option[0] == 't';
            if (!ReadCellEdit(option.substr(edit.shift ? 7 : edit.byTab ? 3 : 0), edit, error)) return false;
            answer.edits.push_back(edit);
        } else if (option.rfind("editcopy:", 0) == 0) {
            CellEdit edit;
            if (!ReadCellEdit(option.substr(4), edit, error)) return false;  // read as "copy:..."
            answer.editorCopies.push_back(edit);
        } else if (option.rfind("copy:", 0) == 0) {
            const size_t colon = option.find(':', 5);
            int id = 0;
            if (!ReadScenarioId(option.substr(5, colon == std::string::npos ? std::string::npos : colon - 5), id, error))
                return false;
            answer.copies.emplace_back(id, colon == std::string::npos ? std::string() : option.substr(colon + 1));
        } else if (option.rfind("set:", 0) == 0 || option.rfind("check:", 0) == 0) {
            size_t colon = option.find(':'), equals = option.find('=');
            int id = 0;
            if (!ReadScenarioId(option.substr(colon + 1, equals - colon - 1), id, error)) return false;
            std::string value = equals == std::string::npos ? "" : option.substr(equals + 1);
            if (option[0] == 's')
                answer.texts.emplace_back(id, WideFromUtf8Sim(value));
            else
                answer.checks.emplace_back(id, value == "1");
        }
    }
    return true;
}

// Arms the answer, runs the action that opens the dialog, reports when none came.
bool WithAnswer(const std::vector<std::string>& options, const std::function<void()>& action, std::string& error) {
    g_answer = ModalAnswer{};
    if (!ReadAnswer(options, g_answer, error)) return false;
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
    return true;
}

// ------------------------------------------------------------ controls

// The first control with that id inside the main window, its pages included.
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

// ------------------------------------------------------------ context menus

struct MenuAnswer {
    bool armed = false;
    int choose = -1;
    HWND owner = nullptr;
    HWND list = nullptr;
    bool answered = false;
    UINT command = 0;  // chosen by its command, with the arrow keys and Enter, instead of by place
} g_menu;

// Chooses the item with that command as the keyboard would: Down once to the
// first item and once more for every item before it (separators are passed
// over), then Enter; the menu sends the command to whoever owns it.
void ChooseByKeys(HWND popup, HMENU menu, UINT command) {
    int steps = 1;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && GetMenuItemID(menu, i) != command; ++i)
        if (!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)) ++steps;
    for (int i = 0; i < steps; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
}

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
    if (g_menu.command && menu && GetMenuState(menu, g_menu.command, MF_BYCOMMAND) != static_cast<UINT>(-1))
        return ChooseByKeys(popup, menu, g_menu.command);
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

// ---------------------------------------------------------- one command line

bool Run(const std::vector<std::string>& words, std::string& error);

// A line of the scenario as its command reads it: the words (the verb first),
// the main window as the line began, and where an error goes.
struct Line {
    const std::vector<std::string>& words;
    std::string& error;
    HWND main;

    const std::string& Verb() const { return words[0]; }
    size_t Count() const { return words.size(); }
    std::string Word(size_t i) const { return i < words.size() ? words[i] : std::string(); }
    // The word as a number; 0 when it is missing.
    int Number(size_t i) const { return i < words.size() ? std::atoi(words[i].c_str()) : 0; }
    // The words from i to the end.
    std::vector<std::string> From(size_t i) const {
        return std::vector<std::string>(i < words.size() ? words.begin() + static_cast<std::ptrdiff_t>(i) : words.end(),
                                        words.end());
    }
    // The words from `first` up to (not including) `end`, joined by spaces.
    std::string Joined(size_t first, size_t end) const {
        std::string text;
        for (size_t i = first; i < end && i < words.size(); ++i) text += (i > first ? " " : "") + words[i];
        return text;
    }
    // The ID at word i (0 when it is missing); false for a name resource.h does not define.
    bool Id(size_t i, int& id) {
        std::string why;
        return ReadScenarioId(Word(i), id, why) || Fail(Verb() + ": " + why);
    }
    // Answers the modal dialog the action opens as the options say (see WithAnswer).
    bool Answer(const std::vector<std::string>& options, const std::function<void()>& action) {
        std::string why;
        return WithAnswer(options, action, why) || Fail(Verb() + ": " + why);
    }
    bool Fail(const std::string& message) {
        error = message;
        return false;
    }
    bool NeedMain() { return main ? true : Fail(Verb() + ": the plug-in has no main window"); }
    void Record(const std::string& json) const { g_hooks->record(json); }
};

// ---------------------------------------------------------------- commands

bool MenuCommand(Line&) {
    g_hooks->menuCommand();
    PumpPending();
    return true;
}

bool Press(Line& line) {
    int id = 0;
    if (!line.NeedMain() || !line.Id(1, id)) return false;
    HWND button = ControlOf(line.main, id);
    if (!button || !IsWindowEnabled(button)) {
        line.Record("{\"host\":\"press-refused\",\"id\":" + std::to_string(id) + "}");
        return true;
    }
    return line.Answer(line.From(2), [&] {
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    });
}

bool Select(Line& line) {
    if (line.Count() < 2) return line.Fail("select: all, none or ids");
    g_hooks->select(line.Word(1) == "none" ? std::string() : line.Word(1));
    return true;
}

// pick, dblclick, and click with rows.
bool PickInList(Line& line) {
    int id = 0;
    if (!line.NeedMain() || !line.Id(1, id)) return false;
    HWND list = ControlOf(line.main, id);
    if (!list || ClassOf(list) != L"SysListView32" || line.Count() < 3)
        return line.Fail(line.Verb() + ": no list view " + line.Word(1) + " or no rows");
    PickRows(list, line.Word(2));
    if (line.Verb() != "pick") {
        NMITEMACTIVATE activate{};
        activate.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)),
                        static_cast<UINT>(line.Verb() == "click" ? NM_CLICK : NM_DBLCLK)};
        activate.iItem = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        SendMessageW(GetParent(list), WM_NOTIFY, activate.hdr.idFrom, reinterpret_cast<LPARAM>(&activate));
    }
    PumpPending();
    return true;
}

// text ID, and click ID without rows.
bool TextOrClick(Line& line) {
    int id = 0;
    if (!line.NeedMain() || !line.Id(1, id)) return false;
    HWND control = ControlOf(line.main, id);
    if (!control) return line.Fail(line.Verb() + ": no control " + line.Word(1));
    if (line.Verb() == "text") {
        line.Record(ControlJson(control));
    } else {
        Click(control);
        PumpPending();
    }
    return true;
}

bool ClickCommand(Line& line) { return line.Count() >= 3 ? PickInList(line) : TextOrClick(line); }

bool Combo(Line& line) {
    int id = 0;
    if (!line.NeedMain() || !line.Id(1, id)) return false;
    HWND combo = ControlOf(line.main, id);
    if (!combo) return line.Fail("combo: no combo box " + line.Word(1));
    if (line.Count() > 2) {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(line.Number(2)), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        PumpPending();
    }
    line.Record(ComboJson(combo));
    return true;
}

bool SystemMenu(Line& line) {
    int command = 0;
    if (!line.NeedMain() || !line.Id(1, command)) return false;
    HWND main = line.main;
    return line.Answer(line.From(2), [&] { SendMessageW(main, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0); });
}

// Selects a tab as a click would; false without that strip.
bool SelectTab(HWND main, int id, int index) {
    HWND strip = GetDlgItem(main, id);
    if (!strip) return false;
    SendMessageW(strip, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    NMHDR header{strip, static_cast<UINT_PTR>(id), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(main, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    PumpPending();
    return true;
}

bool Tab(Line& line) {
    int id = 0;
    if (!line.NeedMain() || !line.Id(1, id)) return false;
    return SelectTab(line.main, id, line.Number(2)) || line.Fail("tab: no tab strip " + line.Word(1));
}

bool Copy(Line& line) {
    int stripId = 0, listId = 0;
    if (!line.NeedMain() || !line.Id(1, stripId) || !line.Id(3, listId)) return false;
    HWND page = PageOfTab(line.main, stripId, line.Number(2));
    HWND list = page ? GetDlgItem(page, listId) : nullptr;
    HWND strip = GetDlgItem(line.main, stripId);
    const bool shown = strip && SendMessageW(strip, TCM_GETCURSEL, 0, 0) == line.Number(2);
    if (!list || !(shown || SelectTab(line.main, stripId, line.Number(2))))
        return line.Fail("copy: no list " + line.Word(3) + " on that page");
    const bool byMenu = line.Word(line.Count() - 1) == "menu";
    const std::string rows = line.Count() > 4 && line.Word(4) != "menu" ? line.Word(4) : std::string();
    CopyFromList(nullptr, list, rows, byMenu);
    return true;
}

// Another thread that holds the clipboard open, until it is told to let go.
struct ClipboardHolder {
    HANDLE release = nullptr;
    HANDLE thread = nullptr;
    bool opened = false;
} g_holder;

DWORD WINAPI HoldClipboard(LPVOID ready) {
    g_holder.opened = OpenClipboard(nullptr) != FALSE;
    SetEvent(static_cast<HANDLE>(ready));
    WaitForSingleObject(g_holder.release, 120000);  // a forgotten release ends the hold all the same
    if (g_holder.opened) CloseClipboard();
    return 0;
}

void ReleaseClipboard() {
    if (!g_holder.thread) return;
    SetEvent(g_holder.release);
    WaitForSingleObject(g_holder.thread, INFINITE);
    CloseHandle(g_holder.thread);
    CloseHandle(g_holder.release);
    g_holder = ClipboardHolder{};
}

bool Clipboard(Line& line) {
    if (line.Count() < 2) return line.Fail("clipboard: no file, empty, hold or release");
    const std::string what = line.Word(1);
    if (what == "empty") {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    } else if (what == "hold") {
        ReleaseClipboard();
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_holder.release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_holder.thread = CreateThread(nullptr, 0, HoldClipboard, ready, 0, nullptr);
        if (g_holder.thread) WaitForSingleObject(ready, INFINITE);
        CloseHandle(ready);
        line.Record(std::string("{\"host\":\"clipboard-hold\",\"opened\":") + (g_holder.opened ? "true" : "false") +
                    "}");
    } else if (what == "release") {
        ReleaseClipboard();
    } else {
        line.Record(ClipboardJson(WideFromUtf8Sim(what)));
    }
    return true;
}

// Opens the list's context menu as a right click near its top left corner
// would, records it ("menu", or "no-menu") and chooses as the answer says.
void OpenListMenu(const MenuAnswer& answer) {
    g_menu = answer;
    UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerMenu);
    POINT at{5, 5};
    ClientToScreen(answer.list, &at);
    SendMessageW(answer.list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(answer.list), MAKELPARAM(at.x, at.y));
    if (!g_menu.answered) {
        KillTimer(nullptr, timer);
        g_hooks->record("{\"host\":\"no-menu\"}");
    }
    g_menu.armed = false;
    PumpPending();
}

void CopyFromList(HWND boxOwner, HWND list, const std::string& rows, bool byMenu) {
    if (!rows.empty()) PickRows(list, rows);
    g_boxAnswered = false;
    g_boxOwner = boxOwner;
    UINT_PTR boxTimer = SetTimer(nullptr, 0, 10, AnswerBox);
    if (byMenu)
        OpenListMenu(MenuAnswer{true, -1, GetParent(list), list, false, IDM_TABLE_COPY});
    else
        PressWithControl(list, 'C');
    PumpPending();
    KillTimer(nullptr, boxTimer);
    g_hooks->record("{\"host\":\"copy\",\"list\":" + std::to_string(GetDlgCtrlID(list)) + ",\"by\":\"" +
                    (byMenu ? "menu" : "key") + "\",\"box\":" + (g_boxAnswered ? "true" : "false") + "}");
}

bool ContextMenu(Line& line) {
    int stripId = 0, listId = 0;
    if (!line.NeedMain() || !line.Id(1, stripId) || !line.Id(3, listId)) return false;
    HWND page = PageOfTab(line.main, stripId, line.Number(2));
    HWND list = page ? GetDlgItem(page, listId) : nullptr;
    if (!list) return line.Fail("menu: no list " + line.Word(3) + " on that page");
    OpenListMenu(MenuAnswer{true, line.Count() > 4 ? line.Number(4) : -1, page, list, false});
    line.Record("{\"host\":\"columns\",\"widths\":" + WidthsJson(list) + "}");
    return true;
}

bool Recalculate(Line& line) {
    if (!line.NeedMain()) return false;
    PostMessageW(line.main, kRecalculateMessage, 0, 0);
    PumpPending();
    line.Record("{\"host\":\"recalculated\",\"recalculations\":" +
                std::to_string(AskWindow(line.main, kRecalculationsMessage)) + "}");
    return true;
}

bool Wait(Line&) {
    PumpPending();
    return true;
}

bool Say(Line& line) {
    line.Record("{\"host\":\"say\",\"text\":" + JsonString(line.Joined(1, line.Count())) + "}");
    return true;
}

bool Resize(Line& line) {
    if (!line.NeedMain()) return false;
    SetWindowPos(line.main, nullptr, 0, 0, line.Number(1), line.Number(2), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpPending();
    line.Record(StateJson(line.main));
    return true;
}

bool Close(Line& line) {
    if (!line.NeedMain()) return false;
    SendMessageW(line.main, WM_CLOSE, 0, 0);
    PumpPending();
    return true;
}

bool State(Line& line) {
    line.Record(StateJson(line.main));
    return true;
}

bool Counts(Line& line) {
    HWND graph = GraphPageWindow(line.main);
    line.Record("{\"host\":\"counts\",\"gdi\":" + std::to_string(AskWindow(line.main, kLiveGdiObjectsMessage)) +
                ",\"surface\":" + std::to_string(AskWindow(graph, kSurfaceObjectsMessage)) +
                ",\"graphRenders\":" + std::to_string(AskWindow(graph, kGraphRendersMessage)) +
                ",\"windows\":" + std::to_string(CountWindows()) +
                ",\"privateBytes\":" + std::to_string(PrivateBytes()) + "}");
    return true;
}

bool Redraw(Line& line) {
    HWND page = line.Count() < 2 ? nullptr : PageOf(line.main, WideFromUtf8Sim(line.Word(1)));
    if (!page) return line.Fail("redraw: no such page");
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return true;
}

bool Choose(Line& line) {
    // The caption is every word between the verb and the last two.
    const size_t idAt = line.Count() - 2, indexAt = line.Count() - 1;
    int id = 0;
    if (line.Count() >= 4 && !line.Id(idAt, id)) return false;
    HWND page = line.Count() < 4 ? nullptr : PageOf(line.main, WideFromUtf8Sim(line.Joined(1, idAt)));
    HWND combo = page ? GetDlgItem(page, id) : nullptr;
    if (!combo) return line.Fail("choose: no such page or combo box");
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(line.Number(indexAt)), 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    PumpPending();
    return true;
}

bool DrawReportGraph(Line& line) {
    HWND graph = GraphPageWindow(line.main);
    if (!graph) return line.Fail("reportgraph: no graph page");
    line.Record(ReportGraph(graph, line.Count() > 1 ? WideFromUtf8Sim(line.Word(1)) : std::wstring()));
    return true;
}

bool FailNext(Line& line) {
    if (!line.NeedMain()) return false;
    line.Record("{\"host\":\"failnext\",\"answer\":" + std::to_string(AskWindow(line.main, kFailNextStepMessage)) +
                "}");
    return true;
}

bool FailNow(Line& line) {
    if (!line.NeedMain()) return false;
    HWND main = line.main;
    UINT message = RegisterWindowMessageW(kFailForTestMessage);
    if (!line.Answer({"ok"}, [&] { SendMessageW(main, message, 1, 0); })) return false;
    line.Record("{\"host\":\"alive\",\"answer\":" + std::to_string(SendMessageW(main, message, 0, 0)) + "}");
    return true;
}

bool Dump(Line& line) {
    if (line.Count() < 2) return line.Fail("dump: no folder");
    int files = DumpLists(WideFromUtf8Sim(line.Word(1)), g_hooks->host, MainWindow());
    line.Record("{\"host\":\"dump\",\"files\":" + std::to_string(files) + "}");
    return true;
}

bool Shot(Line& line) {
    if (!line.NeedMain()) return false;
    if (line.Count() < 2) return line.Fail("shot: no file");
    bool saved = SavePng(line.main, WideFromUtf8Sim(line.Word(1)));
    line.Record(std::string("{\"host\":\"shot\",\"saved\":") + (saved ? "true" : "false") + "}");
    return true;
}

bool Handoff(Line& line) {
    if (line.Count() < 2) return line.Fail("handoff: no file");
    const std::wstring file = WideFromUtf8Sim(line.Word(1));
    HANDLE created = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (created == INVALID_HANDLE_VALUE) return line.Fail("handoff: cannot create " + line.Word(1));
    CloseHandle(created);
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG limit = static_cast<ULONGLONG>(line.Count() > 2 ? line.Number(2) : 120) * 1000;
    bool released = false;
    while (!(released = GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) &&
           GetTickCount64() - start < limit) {
        PumpPending();
        Sleep(20);
    }
    line.Record(std::string("{\"host\":\"handoff\",\"released\":") + (released ? "true" : "false") +
                ",\"ms\":" + std::to_string(GetTickCount64() - start) + "}");
    return true;
}

bool Env(Line& line) {
    if (line.Count() < 2) return line.Fail("env: no name");
    const std::wstring value = line.Count() > 2 ? WideFromUtf8Sim(line.Word(2)) : std::wstring();
    SetEnvironmentVariableW(WideFromUtf8Sim(line.Word(1)).c_str(), line.Count() > 2 ? value.c_str() : nullptr);
    return true;
}

bool Clock(Line& line) {
    line.Record("{\"host\":\"clock\",\"ms\":" + std::to_string(GetTickCount64()) + "}");
    return true;
}

bool Repeat(Line& line) {
    const int times = line.Number(1);
    const std::vector<std::string> inner = line.From(2);
    if (inner.empty()) return line.Fail("repeat: no command");
    g_quiet = true;
    for (int i = 0; i < times; ++i)
        if (!Run(inner, line.error)) {
            g_quiet = false;
            return false;
        }
    g_quiet = false;
    return true;
}

bool Time(Line& line) {
    const std::vector<std::string> inner = line.From(1);
    if (inner.empty()) return line.Fail("time: no command");
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!Run(inner, line.error)) return false;
    QueryPerformanceCounter(&end);
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", Milliseconds(start, end));
    line.Record("{\"host\":\"time\",\"command\":" + JsonString(inner[0]) + ",\"ms\":" + ms + "}");
    return true;
}

// ------------------------------------------------------------ the table

struct Command {
    const char* verb;
    bool (*run)(Line& line);
};

// Every scenario command, as the list at the top of this file describes it.
const Command kCommands[] = {
    {"command", MenuCommand},
    {"press", Press},
    {"select", Select},
    {"pick", PickInList},
    {"click", ClickCommand},
    {"dblclick", PickInList},
    {"combo", Combo},
    {"sysmenu", SystemMenu},
    {"tab", Tab},
    {"menu", ContextMenu},
    {"copy", Copy},
    {"clipboard", Clipboard},
    {"recalculate", Recalculate},
    {"wait", Wait},
    {"say", Say},
    {"resize", Resize},
    {"close", Close},
    {"state", State},
    {"counts", Counts},
    {"redraw", Redraw},
    {"choose", Choose},
    {"reportgraph", DrawReportGraph},
    {"fail", FailNow},
    {"failnext", FailNext},
    {"text", TextOrClick},
    {"dump", Dump},
    {"shot", Shot},
    {"repeat", Repeat},
    {"time", Time},
    {"handoff", Handoff},
    {"clock", Clock},
    {"env", Env},
};

bool Run(const std::vector<std::string>& words, std::string& error) {
    for (const Command& command : kCommands)
        if (words[0] == command.verb) {
            Line line{words, error, MainWindow()};
            return command.run(line);
        }
    error = "unknown scenario command " + words[0];
    return false;
}

std::vector<std::string> Split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
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

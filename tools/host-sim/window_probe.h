// What the simulated host reads from the plug-in's windows for the records of
// a scenario: window texts and classes, the state of the main window, the rows
// of list views and the contents of dialogs as JSON; the list views dumped to
// files, and pictures of a window and of the report graph.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
std::string Json(const std::wstring& text);

// The top-level windows of this thread; every window below `parent`; its
// direct children in their order.
std::vector<HWND> ThreadWindows();
std::vector<HWND> Descendants(HWND parent);
std::vector<HWND> Children(HWND parent);

// A page of the main window, found by its caption; the graph page.
HWND PageOf(HWND main, const std::wstring& caption);
HWND GraphPageWindow(HWND main);
// Sends the registered message of that name; -1 without a window.
LRESULT AskWindow(HWND window, const wchar_t* message);
// The windows of this thread, their descendants included.
int CountWindows();
long long PrivateBytes();

// Caption, visibility, size, tab strips with their pages, buttons and the
// recalculation count of the main window ("state").
std::string StateJson(HWND main);
std::wstring CellText(HWND list, int item, int column);
std::string ListRowsJson(HWND list);
std::string WidthsJson(HWND list);
// A modal dialog or message box with every control ("modal").
std::string DialogJson(HWND dialog);
// A control's text, and a button's check state ("text").
std::string ControlJson(HWND control);
// A combo box's entries and selection ("combo").
std::string ComboJson(HWND combo);

// Writes every list view of the thread's windows but `host` as
// FOLDER/<page>-<id>.tsv (the lists of `main` itself as main-<id>.tsv); how many.
int DumpLists(const std::wstring& folder, HWND host, HWND main);
// Brings the window to the top, lets it paint and saves its picture.
bool SavePng(HWND window, const std::wstring& file);
// What the clipboard holds ("clipboard"): whether it opened, its text
// (CF_UNICODETEXT, written to FILE as UTF-8 when there is one) and its
// picture (CF_DIB: bytes, width, height, bits per pixel, pixels that are not
// white; written to FILE.bmp).
std::string ClipboardJson(const std::wstring& file);
// Has the graph page draw the report picture; the "reportgraph" record.
std::string ReportGraph(HWND graph, const std::wstring& file);

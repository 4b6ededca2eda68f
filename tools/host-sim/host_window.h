// The simulated host's own main window (the owner of the plug-in's window),
// its message loop, and the automatic scenario runner of --auto.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Creates the host window, hidden unless `visible`; `onMenuCommand` runs when
// the person chooses the plug-in's menu item.
HWND CreateHostWindow(bool visible, std::function<void()> onMenuCommand);
// Adds the menu item the plug-in asked for ("Данные/Расчёты/Tessaro").
void AddHostMenuItem(HWND host, const std::wstring& path);
// Dispatches every message already waiting (dialog keys go to their dialogs).
void PumpPending();
// Runs the message loop until the host window is closed.
void RunUntilClosed();

struct ScenarioHooks {
    HWND host = nullptr;
    std::function<void()> menuCommand;
    std::function<void(const std::string& json)> record;
    // Sets what the chromatogram selection answers: "all", "ID,ID,..." or "" for nothing.
    std::function<void(const std::string& selection)> select;
};
// Runs a scenario file; false (with `error`) when a line can't be understood
// or the file can't be read. Each command is described in auto_run.cpp.
bool RunScenario(const std::wstring& path, const ScenarioHooks& hooks, std::string& error);

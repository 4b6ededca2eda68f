// The plug-in's private window messages: the two its windows post to
// themselves, and the registered ones the main window and the graph page answer
// for the simulated host's automatic runs (they let a test see inside without
// exporting anything). The plug-in's windows and the simulated host both take
// them from here.
#pragma once

#include <windows.h>

// Posted to the main window when the input of the calculation changed (by a
// page, by the components dialog's OK, by the simulated host's "recalculate"):
// the main window recalculates when it comes to it.
inline constexpr UINT kRecalculateMessage = WM_USER + 11;
// Posted by the chromatogram page to itself after a step failed: shows the
// failure box once the messages posted before it (the recalculation) are handled.
inline constexpr UINT kShowFailureMessage = WM_APP + 1;

// Answer: live GDI objects and icons made by the plug-in's windows.
inline constexpr const wchar_t* kLiveGdiObjectsMessage = L"Tessaro.LiveGdiObjects";
// Answer: how often the main window has recalculated.
inline constexpr const wchar_t* kRecalculationsMessage = L"Tessaro.Recalculations";
// The two messages that make the plug-in fail on purpose work only while the
// host offers this service, which the simulated host does and no real host has.
inline constexpr const char* kTestHooksService = "Tessaro/TestHooks";
// Makes the handler throw, to show that a failure inside a window ends in a
// message box and the window goes on working. Answer: 1 once it is handled
// again; 0 while the host does not offer the test service.
inline constexpr const wchar_t* kFailForTestMessage = L"Tessaro.FailForTest";
// The next step of the chromatogram page (adding, opening, reloading) fails
// with "no memory" after it has run. Answer: 1, or 0 without the test service.
inline constexpr const wchar_t* kFailNextStepMessage = L"Tessaro.FailNextStep";
// Sent to the graph page. Answer: how often it has drawn its chart.
inline constexpr const wchar_t* kGraphRendersMessage = L"Tessaro.GraphRenders";
// Sent to the graph page. Answer: live objects of the plot's drawing surfaces.
inline constexpr const wchar_t* kSurfaceObjectsMessage = L"Tessaro.SurfaceObjects";
// Sent to the graph page with a device context as wParam: draws the report
// picture into it. Answer: the result of RenderReportGraph.
inline constexpr const wchar_t* kReportGraphMessage = L"Tessaro.ReportGraph";

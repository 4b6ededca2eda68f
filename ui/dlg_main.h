// DlgMain: the plug-in's modeless main window, owned by the host window. The
// upper tab strip chooses the input (chromatograms, mixtures), the lower one
// shows the outputs; four buttons recalculate, edit the components and the
// settings, and make the report.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "calc/linearity_calc.h"
#include "host/version_info.h"
#include "report/report_document.h"
#include "ui/dlg_report.h"
#include "ui/dlg_components.h"
#include "ui/dlg_settings.h"
#include "base/layout.h"
#include "win/controls.h"
#include "win/dialog.h"

class DlgMain : public Dialog {
public:
    DlgMain();
    ~DlgMain() override;

    // The menu command: creates the window on the first call, shows it on every call.
    static void Open(intptr_t hostWindow);
    // Destroys the window (and with it this object) if it exists.
    static void Close();
    static DlgMain* Current();

    // Empties the message log, runs the calculation over the mixture and
    // assay lists, refills the output pages and shows the log.
    void Recalculate();
    const LinearityCalc& Calculation() const { return calc_; }
    int Recalculations() const { return recalculations_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    void OnSize(int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void PostNcDestroy() override;

private:
    struct Strip {
        TabStrip tabs;
        std::vector<Dialog*> pages;
    };
    void AddPage(Strip& strip, int captionId, Dialog& page, bool shown);
    void PlacePages(Strip& strip, bool updateNow);
    void ShowSelected(Strip& strip);

    VersionInfoReader version_;
    Layout::TrackLimits limits_;
    Strip upper_, lower_;
    std::unique_ptr<DlgSettings> settings_;
    LinearityCalc calc_;
    std::unique_ptr<DlgReport> report_;
    // The graph page as the report's source of the graph picture and data.
    struct GraphPageSource : ReportGraphSource {
        int ExportGraphData(DrawSurface& surface, GraphReportData& data) override;
        int ExportDeviationPicture(DrawSurface& surface) override;
    } graphSource_;
    std::unique_ptr<DlgComponents> components_;
    int recalculations_ = 0;
};

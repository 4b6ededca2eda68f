// DlgReport: the modal dialog of the report: device number, operator, the five
// sections, and the Report button that hands the report to the host. Its
// entries are kept in the profile section "ReportSettings" by OK.
#pragma once

#include "calc/linearity_calc.h"
#include "data/records.h"
#include "report/report_document.h"
#include "resources/resource.h"
#include "win/dialog.h"

class DlgReport : public Dialog {
public:
    DlgReport() : Dialog(IDD_REPORT) {}

    // The data of the next showing, set by the main window before each one;
    // the graph page supplies the picture and the graph data.
    void SetData(const MixtureRecords* mixtures, const AssayRecords* assays, const LinearityCalc* calc,
                 ReportGraphSource* graph);
    const ReportOptions& Options() const { return options_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;

private:
    void TakeControls();
    void ProduceReport();

    ReportOptions options_;  // kept between showings
    const MixtureRecords* mixtures_ = nullptr;
    const AssayRecords* assays_ = nullptr;
    const LinearityCalc* calc_ = nullptr;
    ReportGraphSource* graph_ = nullptr;
};

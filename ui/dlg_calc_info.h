// DlgCalcInfo: the lower page "Промежуточные расчеты". It shows the
// intermediate values of the last calculation for the mixture and channel
// chosen in its two selectors; the columns can be hidden and shown from the
// list's context menu, and their widths and visibility live in the profile;
// the same menu's last item, "Копировать", copies the table.
#pragma once

#include "calc/linearity_calc.h"
#include "data/records.h"
#include "resources/resource.h"
#include "win/grid_ctrl.h"
#include "ui/model/calc_info.h"
#include "ui/page.h"
#include "win/controls.h"

class DlgCalcInfo : public Page {
public:
    // Commands of the column menu: show or hide column (command - kFirstColumnCommand).
    static constexpr int kFirstColumnCommand = IDM_CALC_COLUMN_FIRST;
    static constexpr int kLastColumnCommand = IDM_CALC_COLUMN_LAST;

    DlgCalcInfo() : Page(IDD_CALC_INFO), columns_(kCalcInfoSettingsSection) {}
    CGridCtrl& List() { return list_; }

    // After every calculation: empties the table and both selectors; with at
    // least one mixture it keeps both references, lists the mixtures and the
    // calculation's channels, selects the first of each and fills the table.
    // Both must stay alive until the next Refill or Release.
    void Refill(const LinearityCalc& calc, const MixtureRecords& mixtures);
    // Empties the table and the selectors and drops the references.
    void Release();
    // Rebuilds the table from the references and the two selections.
    void FillCalcInfo();

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowColumnMenu(int x, int y);
    void SaveColumns();

    CGridCtrl list_;
    ComboBox mixtureBox_, channelBox_;
    ColumnSettings columns_;
    bool columnMenu_ = true;
    bool columnsLoaded_ = false;
    const LinearityCalc* calc_ = nullptr;
    const MixtureRecords* mixtures_ = nullptr;
};

// The process-wide page.
DlgCalcInfo& CalcInfoPage();

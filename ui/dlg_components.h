// DlgComponents: the modal dialog that shows the component catalogue and
// edits its names (alternative names always, names only of entries added
// after the defaults). OK stores the edits in the catalogue and the profile;
// Cancel drops them.
#pragma once

#include "win/grid_ctrl.h"
#include "ui/model/components_form.h"
#include "win/dialog.h"

class DlgComponents : public Dialog {
public:
    // Builds the process-wide catalogue and reads it from the profile, the
    // first time in the process (section "Components").
    DlgComponents();

protected:
    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    bool OnNotify(NMHDR& header, LRESULT& result) override;

private:
    void FillList();
    int32_t RowId(int item) const;

    ComponentsForm form_;
    CGridCtrl grid_;
};

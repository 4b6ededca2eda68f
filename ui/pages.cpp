#include "ui/pages.h"

#include "resources/resource.h"
#include "ui/dlg_calc_info.h"
#include "win/module.h"

DlgAssayList& AssayListPage() {
    static DlgAssayList page;
    return page;
}
DlgMixtureList& MixtureListPage() {
    static DlgMixtureList page;
    return page;
}
DlgCalcInfo& CalcInfoPage() {
    static DlgCalcInfo page;
    return page;
}
DlgGraphPreview& GraphPage() {
    static DlgGraphPreview page;
    return page;
}

// The program's unit table.
#include "app/ProgramUnits.h"

#include "app/Main.h"

#include "components/KitComponentBase.h"
#include "components/KitExStdCtrls.h"
#include "components/KitFixedEditPopUp.h"
#include "components/KitLibUtils.h"
#include "components/KitRichEdit.h"
#include "components/KitSysUtils.h"
#include "components/KitTrayIcon.h"
#include "components/KitUnitVersioning.h"
#include "controls/XtControls.h"
#include "controls/XtDkPanels.h"
#include "gcl/ComObj.h"
#include "gcl/Controls.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/Timers.h"
#include "listview/GvListview.h"
#include "theming/Tx.h"
#include "theming/TxBars.h"
#include "themes/ThemeCommon.h"
#include "toolbar/BarAcc.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/BarHook.h"
#include "toolbar/BarItem.h"
#include "toolbar/BarToolbar.h"
#include "unicode/UniActnList.h"
#include "unicode/UniCheckLst.h"
#include "unicode/UniComCtrls.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniMenus.h"

namespace qelvo {

const std::vector<gcl::TUnit*>& ProgramUnits() {
    static const std::vector<gcl::TUnit*> units{
        &gcl::GraphicsUnit, &gcl::ImgListUnit, &gcl::TimersUnit, &gcl::DialogsUnit, &gcl::ControlsUnit,
        &gcl::FormsUnit, &gcl::OleUnit, &UnitVersioningUnit, &KitSysUtilsUnit, &KitLibUtilsUnit,
        &KitComponentBaseUnit, &KitExStdCtrlsUnit, &KitFixedEditPopUpUnit, &KitRichEditUnit, &KitTrayIconUnit,
        &UniControlsUnit, &UniFormsUnit, &UniActnListUnit, &UniMenusUnit, &UniComCtrlsUnit, &UniCheckLstUnit,
        &GvListviewUnit, &BarHookUnit, &BarItemUnit, &BarAnimUnit, &BarAccUnit, &BarEditItemUnit, &BarDockUnit,
        &BarToolbarUnit, &TxUnit, &TxBarsUnit, &ThemesUnit, &XtControlsUnit, &XtDkPanelsUnit, &MainUnit,
        &gcl::CommonControlsUnit};
    return units;
}

} // namespace qelvo

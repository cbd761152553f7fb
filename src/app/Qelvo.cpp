// Entry point of qelvo.exe: starts the units, creates the main form
// through the application object and runs the message loop. The main form
// is still empty; the real one replaces it as the window classes arrive.
#include "gcl/rtl/WinApi.h"

#include "components/KitComponentBase.h"
#include "components/KitExStdCtrls.h"
#include "components/KitFixedEditPopUp.h"
#include "components/KitLibUtils.h"
#include "components/KitRichEdit.h"
#include "components/KitSysUtils.h"
#include "components/KitTrayIcon.h"
#include "components/KitUnitVersioning.h"
#include "controls/XtControls.h"
#include "gcl/ComObj.h"
#include "gcl/Controls.h"
#include "gcl/Dialogs.h"
#include "gcl/Forms.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Init.h"
#include "listview/GvListview.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/BarHook.h"
#include "toolbar/BarItem.h"
#include "toolbar/BarToolbar.h"
#include "theming/Tx.h"
#include "theming/TxBars.h"
#include "themes/ThemeCommon.h"
#include "unicode/UniActnList.h"
#include "unicode/UniCheckLst.h"
#include "unicode/UniComCtrls.h"
#include "unicode/UniControls.h"
#include "unicode/UniForms.h"
#include "unicode/UniMenus.h"

namespace {

class TMainForm : public gcl::TForm {
    GCL_CLASS(TMainForm, gcl::TForm)
protected:
    explicit TMainForm(gcl::TComponent* owner) : TForm(owner) {
        SetCaption("Qelvo");
        SetBounds(0, 0, 640, 480);
        SetPosition(gcl::poDesktopCenter);
    }
};
GCL_IMPLEMENT_CLASS(TMainForm)

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        // The units in start-up order: the class library first (graphics,
        // then windows, then the application object), then the layers
        // built on it, and last the common controls' initialisation.
        // Finalisation runs in reverse when the scope ends.
        gcl::TUnitScope units{&gcl::GraphicsUnit, &gcl::ImgListUnit, &gcl::TimersUnit, &gcl::DialogsUnit,
                              &gcl::ControlsUnit, &gcl::FormsUnit, &gcl::OleUnit,
                              &qelvo::UnitVersioningUnit, &qelvo::KitSysUtilsUnit, &qelvo::KitLibUtilsUnit,
                              &qelvo::KitComponentBaseUnit, &qelvo::KitExStdCtrlsUnit, &qelvo::KitFixedEditPopUpUnit,
                              &qelvo::KitRichEditUnit, &qelvo::KitTrayIconUnit, &qelvo::UniControlsUnit, &qelvo::UniFormsUnit,
                              &qelvo::UniActnListUnit, &qelvo::UniMenusUnit, &qelvo::UniComCtrlsUnit,
                              &qelvo::UniCheckLstUnit, &qelvo::GvListviewUnit, &qelvo::BarHookUnit, &qelvo::BarItemUnit,
                              &qelvo::BarAnimUnit, &qelvo::BarAccUnit, &qelvo::BarEditItemUnit,
                              &qelvo::BarDockUnit, &qelvo::BarToolbarUnit, &qelvo::TxUnit, &qelvo::TxBarsUnit,
                              &qelvo::ThemesUnit, &qelvo::XtControlsUnit,
                              &gcl::CommonControlsUnit};
        gcl::Application->Initialize();
        TMainForm* mainForm = nullptr;
        gcl::Application->CreateForm(mainForm);
        gcl::Application->Run();
    } catch (gcl::Exception& e) {
        MessageBoxA(nullptr, e.GetMessage().c_str(), "Qelvo", MB_OK | MB_ICONSTOP);
        return 1;
    } catch (...) {
        return 1;
    }
    return 0;
}

// The units of the program's window tests, started once per test program.
#include "AppWindowTest.h"

#include "controls/XtControls.h"
#include "gcl/ComObj.h"
#include "gcl/Controls.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Init.h"
#include "theming/Tx.h"
#include "theming/TxBars.h"
#include "themes/ThemeCommon.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarEditItem.h"
#include "toolbar/BarHook.h"
#include "toolbar/BarItem.h"
#include "toolbar/BarToolbar.h"

namespace qelvo::test {

void StartAppUnits() {
    static bool started = false;
    if (started) return;
    started = true;
    gcl::InitializeUnits({&gcl::FormsUnit, &gcl::DialogsUnit, &gcl::OleUnit, &BarHookUnit, &BarItemUnit, &BarAnimUnit,
                          &BarAccUnit, &BarEditItemUnit, &BarDockUnit, &BarToolbarUnit, &TxUnit, &TxBarsUnit,
                          &ThemesUnit, &XtControlsUnit, &gcl::CommonControlsUnit});
}

void ClickControl(gcl::TControl* control) {
    control->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    control->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

namespace {
gcl::TCustomForm* WatchedForm = nullptr;
void CALLBACK ModalTimeout(HWND, UINT, UINT_PTR, DWORD) {
    GCL_GUARD(nullptr, {
        if (WatchedForm) WatchedForm->SetModalResult(gcl::mrAbort);
    });
}
} // namespace

TModalWatchdog::TModalWatchdog(gcl::TCustomForm* form, unsigned milliseconds)
    : FTimer(SetTimer(nullptr, 0, milliseconds, &ModalTimeout)) {
    WatchedForm = form;
}

TModalWatchdog::~TModalWatchdog() {
    KillTimer(nullptr, FTimer);
    WatchedForm = nullptr;
}

} // namespace qelvo::test

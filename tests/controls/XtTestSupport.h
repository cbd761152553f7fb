// Shared pieces of the extended controls' tests: starting the units once,
// a form per test, the recording theme, and painting a control into a
// bitmap whose pixels the test reads.
#pragma once

#include <gtest/gtest.h>

#include "controls/XtControls.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Init.h"
#include "themes/ThemeCommon.h"
#include "theming/TxTestSupport.h"

namespace qelvo::test {

inline void StartExtendedControls() {
    gcl::InitializeUnits({&gcl::FormsUnit, &XtControlsUnit, &ThemesUnit, &gcl::CommonControlsUnit});
}

class XtFormTest : public TThemedFormTest {
protected:
    static void SetUpTestSuite() { StartExtendedControls(); }
    template <class T>
    T* Make(gcl::TWinControl* parent, int left, int top, int width, int height) {
        T* control = T::Create(Form);
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        return control;
    }
};

// What a windowed control paints (background and face) at its own size.
inline void PaintControl(gcl::TWinControl* control, TPaintTarget& target) {
    control->HandleNeeded();
    const HDC dc = target.DC();
    control->Perform(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(dc), reinterpret_cast<intptr_t>(dc));
    control->Perform(WM_PAINT, reinterpret_cast<uintptr_t>(dc), 0);
    target.Canvas()->Refresh();
}

} // namespace qelvo::test

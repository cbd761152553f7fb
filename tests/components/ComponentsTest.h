// Shared set-up of the component tests: the units they need and a test
// form.
#pragma once

#include <gtest/gtest.h>

#include "components/KitComponentBase.h"
#include "components/KitExStdCtrls.h"
#include "components/KitFixedEditPopUp.h"
#include "components/KitLibUtils.h"
#include "components/KitRichEdit.h"
#include "components/KitSysUtils.h"
#include "components/KitUnitVersioning.h"
#include "gcl/ComObj.h"
#include "gcl/Forms.h"
#include "gcl/Menus.h"
#include "gcl/StdCtrls.h"
#include "support/ApplicationTest.h"

namespace qelvo::test {

class TComponentsForm : public gcl::TForm {
    GCL_CLASS(TComponentsForm, gcl::TForm)
protected:
    explicit TComponentsForm(gcl::TComponent* owner) : TForm(owner) {
        SetBorderStyle(gcl::bsNone);
        SetBounds(40, 40, 480, 320);
    }
};

class ComponentsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gcl::InitializeUnits(Units()); }
    static void TearDownTestSuite() { gcl::FinalizeUnits(Units()); }
    void SetUp() override { Form = TComponentsForm::Create(nullptr); }
    void TearDown() override {
        gcl::FreeAndNil(Form);
        PumpApplication(20);
    }

    static const std::vector<gcl::TUnit*>& Units() {
        static const std::vector<gcl::TUnit*> units{
            &gcl::FormsUnit,      &gcl::MenusUnit,           &gcl::StdCtrlsUnit,         &gcl::OleUnit,
            &UnitVersioningUnit,  &KitSysUtilsUnit,          &KitLibUtilsUnit,           &KitComponentBaseUnit,
            &KitExStdCtrlsUnit,   &KitFixedEditPopUpUnit,    &KitRichEditUnit};
        return units;
    }

    // A rich edit on the form, with a window.
    TKitRichEdit* NewRichEdit(int left = 10, int top = 10, int width = 300, int height = 120) {
        TKitRichEdit* edit = TKitRichEdit::Create(Form);
        edit->SetBounds(left, top, width, height);
        edit->SetParent(Form);
        edit->HandleNeeded();
        return edit;
    }

    TComponentsForm* Form = nullptr;
};

} // namespace qelvo::test

// The main window built with the program's unit table: its docks, bars,
// menus and actions.
#include <gtest/gtest.h>

#include "AppWindowTest.h"
#include "app/Main.h"

using namespace qelvo;

namespace {

class MainFormTest : public test::TAppWindowTest {};

TEST_F(MainFormTest, BuildsTheFrameWithItsActions) {
    TMainForm* form = TMainForm::Create(nullptr);
    ASSERT_NE(form->ActionList1, nullptr);
    EXPECT_EQ(form->SaveM->GetShortCut(), gcl::ShortCut('S', gcl::TShiftState{gcl::ssCtrl}));
    EXPECT_EQ(form->ExitM->GetCaption(), L"Exit and save");
    EXPECT_EQ(form->List->GetParent(), form);
    EXPECT_EQ(form->OrgPanel->GetParent(), form->LeftDock);
    form->Free();
}

} // namespace

// The themed combo boxes: the look transitions, what the frame asks the
// theme for, and the image-list combo's items and drawing.
#include <gtest/gtest.h>

#include "gcl/Forms.h"
#include "theming/TxRecordingTheme.h"
#include "theming/TxTestSupport.h"
#include "theming/TxcComboBox.h"
#include "theming/TxcImageListCombo.h"
#include "support/WindowTest.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxcComboBoxes : public TThemedFormTest {
protected:
    static void SetUpTestSuite() {
        StartThemingLayer();
        gcl::CommonControlsUnit.Initialize();
    }
    template <class T>
    T* Make() {
        T* combo = T::Create(Form);
        combo->SetParent(Form);
        combo->SetBounds(10, 10, 150, 21);
        return combo;
    }
};

void Enter(gcl::TControl* c) { c->Perform(gcl::CM_MOUSEENTER, 0, reinterpret_cast<intptr_t>(c)); }
void Leave(gcl::TControl* c) { c->Perform(gcl::CM_MOUSELEAVE, 0, reinterpret_cast<intptr_t>(c)); }

TEST_F(TxcComboBoxes, LookFollowsTheMouseFocusAndDropDown) {
    Form->Show();
    TTxcComboBox* combo = Make<TTxcComboBox>();
    combo->GetItems()->Add("one");
    EXPECT_EQ(combo->FrameStateName(), "normal");
    Enter(combo);
    EXPECT_EQ(combo->FrameStateName(), "over");
    combo->SetHotTracking(false);
    EXPECT_EQ(combo->FrameStateName(), "normal");
    combo->SetHotTracking(true);
    Leave(combo);
    EXPECT_EQ(combo->FrameStateName(), "normal");
    // Pressing the drop-down keeps "down" until close-up, whatever the mouse does.
    combo->SetDroppedDown(true);
    PumpMessages(50);
    EXPECT_EQ(combo->FrameStateName(), "down");
    Enter(combo);
    Leave(combo);
    EXPECT_EQ(combo->FrameStateName(), "down");
    combo->SetDroppedDown(false);
    PumpMessages(50);
    EXPECT_NE(combo->FrameStateName(), "down");
    // Focused: "over", also when the mouse leaves.
    combo->SetFocus();
    PumpMessages(20);
    Leave(combo);
    EXPECT_EQ(combo->FrameStateName(), "over");
    combo->SetEnabled(false);
    EXPECT_EQ(combo->FrameStateName(), "normal");
}

TEST_F(TxcComboBoxes, ThemeChangeResetsTheLook) {
    TTxcComboBox* combo = Make<TTxcComboBox>();
    Enter(combo);
    EXPECT_EQ(combo->GetBorderLook().Look, TTxcBorderLook::Over);
    UseRecordingTheme();
    EXPECT_EQ(combo->GetBorderLook().Look, TTxcBorderLook::Normal);
}

TEST_F(TxcComboBoxes, FrameAndDropDownButtonComeFromTheTheme) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TTxcComboBox* combo = Make<TTxcComboBox>();
    combo->HandleNeeded();
    Enter(combo);
    TPaintTarget target(150, 21);
    combo->PaintFrame(target.DC());
    ASSERT_NE(theme->Last("PaintControlFrame"), nullptr);
    EXPECT_EQ(theme->Last("PaintControlFrame")->Rect, (TRect{0, 0, 150, 21}));
    EXPECT_EQ(theme->Last("PaintControlFrame")->Item.HoverKind, 2);
    ASSERT_NE(theme->Last("PaintEditFrame"), nullptr);
    EXPECT_EQ(theme->Count("PaintButton"), 0);
    combo->SetStyle(gcl::csSimple);
    combo->PaintFrame(target.DC());
    EXPECT_EQ(theme->Count("PaintButton"), 1);
}

TEST_F(TxcComboBoxes, ImageListComboOffersTheImages) {
    gcl::TImageList* images = gcl::TImageList::Create(nullptr);
    images->SetSize(16, 16);
    gcl::TBitmap bitmap;
    bitmap.SetSize(16, 16);
    for (int i = 0; i < 3; ++i) images->Add(&bitmap, nullptr);
    TTxcImageListCombo* combo = Make<TTxcImageListCombo>();
    EXPECT_EQ(combo->GetStyle(), gcl::csOwnerDrawFixed);
    combo->SetImages(images);
    ASSERT_EQ(combo->GetItems()->GetCount(), 3);
    EXPECT_EQ(combo->GetItems()->Get(2), "2");
    EXPECT_EQ(combo->GetItemHeight(), 18);
    combo->SetAutoHeight(false);
    combo->SetItemHeight(30);
    combo->SetImages(images);
    EXPECT_EQ(combo->GetItemHeight(), 30);
    // A freed list is let go of; the rows stay.
    images->Free();
    EXPECT_EQ(combo->GetImages(), nullptr);
    EXPECT_EQ(combo->GetItems()->GetCount(), 3);
}

TEST_F(TxcComboBoxes, ImageListComboDrawsRowsAndImages) {
    gcl::TImageList* images = gcl::TImageList::Create(Form);
    images->SetSize(16, 16);
    gcl::TBitmap bitmap;
    bitmap.SetPixelFormat(gcl::pf32bit);
    bitmap.SetSize(16, 16);
    bitmap.GetCanvas()->GetBrush()->SetColor(gcl::clRed);
    bitmap.GetCanvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&bitmap, nullptr);
    TTxcImageListCombo* combo = Make<TTxcImageListCombo>();
    combo->SetColor(gcl::clWhite);
    combo->SetImages(images);
    combo->HandleNeeded();
    TPaintTarget target(150, 18, gcl::clBlack);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_COMBOBOX;
    item.itemID = 0;
    item.itemAction = ODA_DRAWENTIRE;
    item.hDC = target.DC();
    item.rcItem = RECT{0, 0, 150, 18};
    combo->Perform(gcl::CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    EXPECT_EQ(target.Pixel(10, 9), gcl::clRed);     // the image at x = 4
    EXPECT_EQ(target.Pixel(2, 9), gcl::clWhite);    // the row in Color
    EXPECT_EQ(target.Pixel(140, 9), gcl::clWhite);
    // Selected: the highlight colour; without images only the row.
    item.itemState = ODS_SELECTED;
    combo->SetImages(nullptr);
    combo->GetItems()->Add("x");
    combo->Perform(gcl::CN_DRAWITEM, 0, reinterpret_cast<intptr_t>(&item));
    EXPECT_EQ(target.Pixel(10, 9), Sys(gcl::clHighlight));
}

} // namespace

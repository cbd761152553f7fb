// A window in the shape of the program's main window, built from the themed
// toolbar side: a menu bar with a themed popup open, a docked toolbar with
// a drop-down combo item, a spin-edit item, a label and a chevron, a
// floating palette that snaps to the work area, and a left multi-dock with
// two dockable panels. Pictures in the Default theme and in Office11Adaptive.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gcl/ExtCtrls.h"
#include "gcl/Forms.h"
#include "gcl/ImgList.h"
#include "gcl/StdCtrls.h"
#include "gcl/rtl/Init.h"
#include "theming/TxBars.h"
#include "theming/TxDockPanels.h"
#include "theming/TxExtItems.h"
#include "themes/ThemeCommon.h"
#include "ThemeTestSupport.h"
#include "toolbar/BarAcc.h"
#include "toolbar/BarAnim.h"
#include "toolbar/BarHook.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class MainWindowMock : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The forms and the themes start once for the whole program
        // (StartThemes): a second start here would leave the themes' unit
        // counted twice for the suites that run after this one.
        StartThemes();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &BarAnimUnit, &BarAccUnit, &TxBarsUnit});
        gcl::CommonControlsUnit.Initialize();
    }
    void TearDown() override { SelectTheme("Default"); }

    // Sixteen-pixel squares in a few colours.
    gcl::TImageList* MakeImages(gcl::TComponent* owner) {
        gcl::TImageList* images = gcl::TImageList::Create(owner);
        images->SetSize(16, 16);
        const gcl::TColor colours[] = {0x2080E0, 0x30A030, 0xC04020, 0x20A0E0, 0x8040A0};
        for (gcl::TColor colour : colours) {
            gcl::TBitmap bitmap;
            bitmap.SetSize(16, 16);
            bitmap.GetCanvas()->GetBrush()->SetColor(0xFF00FF);
            bitmap.GetCanvas()->FillRect(TRect{0, 0, 16, 16});
            bitmap.GetCanvas()->GetBrush()->SetColor(colour);
            bitmap.GetCanvas()->FillRect(TRect{2, 2, 14, 14});
            bitmap.GetCanvas()->GetBrush()->SetColor(0xFFFFFF);
            bitmap.GetCanvas()->FillRect(TRect{5, 5, 9, 9});
            images->AddMasked(&bitmap, 0xFF00FF);
        }
        return images;
    }

    template <class T>
    T* Item(gcl::TComponent* owner, TBarCustomItem* parent, const char* caption, int image = -1) {
        T* item = T::Create(owner);
        item->SetCaption(caption);
        if (image >= 0) item->SetImageIndex(image);
        parent->Add(item);
        return item;
    }
};

TEST_F(MainWindowMock, MenusToolbarsFloatingPaletteAndDockedPanels) {
    if (MenuAnimation()) MenuAnimation()->SetAnimationMode(0);
    gcl::TForm* form = gcl::TForm::Create(nullptr, 0);
    form->SetCaption("Qelvo");
    form->SetBounds(60, 60, 560, 440);
    gcl::TImageList* images = MakeImages(form);

    auto* top = TTxDock::Create(form);
    top->SetParent(form);
    auto* left = TTxMultiDock::Create(form);
    left->SetPosition(dpLeft);
    left->SetParent(form);

    // The menu bar.
    auto* menu = TTxToolbar::Create(form);
    menu->SetName("MenuBar");
    menu->SetMenuBar(true);
    menu->SetImages(images);
    menu->SetParent(top);
    auto* file = Item<TTxSubmenuItem>(form, menu->GetItems(), "&File");
    Item<TTxItem>(form, file, "&New task", 0)->SetShortCut(gcl::ShortCut('N', gcl::TShiftState{gcl::ssCtrl}));
    Item<TTxItem>(form, file, "&Open database...", 1)->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    Item<TTxItem>(form, file, "&Save", 2)->SetShortCut(gcl::ShortCut('S', gcl::TShiftState{gcl::ssCtrl}));
    file->Add(TTxSeparatorItem::Create(form));
    auto* autoSave = Item<TTxItem>(form, file, "&Auto-save");
    autoSave->SetChecked(true);
    Item<TTxItem>(form, file, "&Print...", 3)->SetEnabled(false);
    Item<TTxSubmenuItem>(form, file, "E&xport");
    file->Add(TTxSeparatorItem::Create(form));
    Item<TTxItem>(form, file, "E&xit");
    Item<TTxSubmenuItem>(form, menu->GetItems(), "&Edit");
    Item<TTxSubmenuItem>(form, menu->GetItems(), "&View");
    auto* themeMenu = Item<TTxSubmenuItem>(form, menu->GetItems(), "&Theme");
    for (const char* name : {"Default", "Office11Adaptive", "Nexos2", "Whidbey", "Aluminum"}) {
        auto* entry = Item<TTxItem>(form, themeMenu, name);
        entry->SetRadioItem(true);
        entry->SetGroupIndex(1);
        entry->SetChecked(std::string(name) == "Default");
    }
    themeMenu->Add(TTxSeparatorItem::Create(form));
    Item<TTxItem>(form, themeMenu, "&Options...", 4);

    // The main toolbar: buttons, a drop-down combo, a label and a spin edit;
    // more than fits, so the chevron shows.
    auto* bar = TTxToolbar::Create(form);
    bar->SetName("MainBar");
    bar->SetImages(images);
    bar->SetDockRow(1);
    bar->SetParent(top);
    Item<TTxItem>(form, bar->GetItems(), "New", 0);
    Item<TTxItem>(form, bar->GetItems(), "Open", 1);
    Item<TTxItem>(form, bar->GetItems(), "Save", 2)->SetChecked(true);
    bar->GetItems()->Add(TTxSeparatorItem::Create(form));
    auto* printCombo = Item<TTxSubmenuItem>(form, bar->GetItems(), "Print", 3);
    printCombo->SetDropdownCombo(true);
    Item<TTxItem>(form, printCombo, "Preview");
    bar->GetItems()->Add(TTxSeparatorItem::Create(form));
    auto* label = TTxLabelItem::Create(form);
    label->SetCaption("Width:");
    label->SetMargin(1);
    bar->GetItems()->Add(label);
    auto* spin = TTxSpinEditItem::Create(form);
    spin->SetEditWidth(56);
    spin->SetMinValue(10);
    spin->SetMaxValue(200);
    spin->SetValue(80);
    bar->GetItems()->Add(spin);
    bar->GetItems()->Add(TTxSeparatorItem::Create(form));
    for (const char* caption : {"Filter", "Group", "Sort", "Tags", "Lists", "Note", "Find"})
        Item<TTxItem>(form, bar->GetItems(), caption, 4)->SetDisplayMode(nbdmImageAndText);

    // The left multi-dock with two panels.
    auto* lists = TTxDockablePanel::Create(form);
    lists->SetName("ListsPanel");
    gcl::TControlSeam::SetText(lists, "Todo Lists");
    lists->SetSplitHeight(180);
    lists->SetDockedWidth(150);
    lists->SetParent(left);
    auto* listBox = gcl::TListBox::Create(form);
    listBox->SetParent(lists);
    listBox->SetAlign(gcl::alClient);
    auto* note = TTxDockablePanel::Create(form);
    note->SetName("NotePanel");
    gcl::TControlSeam::SetText(note, "Note");
    note->SetSplitHeight(120);
    note->SetParent(left);
    auto* memo = gcl::TMemo::Create(form);
    memo->SetParent(note);
    memo->SetAlign(gcl::alClient);

    form->Show();
    listBox->GetItems()->Add("Home");
    listBox->GetItems()->Add("Work");
    listBox->GetItems()->Add("Errands");
    memo->SetText("Call the printer shop before Friday.");

    // A floating palette near the work area's edge snaps onto it.
    auto* palette = TTxToolbar::Create(form);
    palette->SetName("Palette");
    gcl::TControlSeam::SetText(palette, "Palette");
    palette->SetImages(images);
    palette->SetParent(top);
    for (int i = 0; i < 4; ++i) Item<TTxItem>(form, palette->GetItems(), "", i);
    palette->SetSnapDistance(12);
    palette->SetHideWhenInactive(false);
    palette->SetFloating(true);
    TBarFloatingWindowParent* floating = palette->GetFloatParent();
    ASSERT_NE(floating, nullptr);
    const TRect work = MonitorRectOfRect(TRect{0, 0, 1, 1}, true);
    floating->SetBounds(form->GetLeft() + form->GetWidth() + 8, work.Top + 9, floating->GetWidth(),
                        floating->GetHeight());
    EXPECT_EQ(floating->GetTop(), work.Top);
    floating->SetBounds(form->GetLeft() + 330, form->GetTop() + 300, floating->GetWidth(), floating->GetHeight());
    PumpMessages(100);
    EXPECT_TRUE(IsWindowVisible(floating->GetHandle()));
    EXPECT_TRUE(IsWindowVisible(palette->GetHandle()));

    EXPECT_TRUE(bar->GetChevronItem() && bar->GetView()->Find(bar->GetChevronItem())->Show);
    EXPECT_EQ(lists->GetHeight() + note->GetHeight(), left->GetClientHeight());

    auto capture = [&](const std::string& fileName) {
        // Open the Theme menu from its menu-bar button and take the picture.
        TBarView* view = menu->GetView();
        TBarItemViewer* viewer = view->Find(themeMenu);
        view->Select(viewer, false);
        TBarPopupWindow* popup = themeMenu->CreatePopup(view, viewer, false, false, false, gcl::TPoint{}, tbpaLeft);
        if (TBarView* child = view->GetOpenChildView()) child->Select(child->GetViewers(1), false);
        char className[128] = {};
        GetClassNameA(popup->GetHandle(), className, sizeof className);
        if (IsWindowsXP() && CurrentTheme->PopupShadowKind() == 1) {
            EXPECT_EQ(className[strlen(className) - 1], 'S') << className;
            EXPECT_TRUE(GetClassLongA(popup->GetHandle(), GCL_STYLE) & CS_DROPSHADOW);
        }
        // Without a window manager the palette stays where Z order put it.
        SetWindowPos(floating->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        RedrawWindow(form->GetHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages(300);
        EXPECT_GT(SaveWindowScreenshot(form->GetHandle(), fileName), 20);
        view->CloseChildPopups();
        view->Select(nullptr, false);
    };
    capture("MainWindowMock_Default.bmp");
    SelectTheme("Office11Adaptive");
    ASSERT_EQ(CurrentThemeName(), "Office11Adaptive");
    PumpMessages(100);
    EXPECT_TRUE(bar->GetView()->Find(bar->GetChevronItem())->Show);
    capture("MainWindowMock_Office11Adaptive.bmp");
    SelectTheme("Default");
    form->Free();
}

} // namespace

// The extended items and viewers: wide captions and their 8-bit mirrors,
// the property rules, sizes and paint events of the viewers, the hint text,
// and the radio and theme groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/XtItem.h"
#include "controls/XtTestSupport.h"
#include "gcl/ActnList.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Strings.h"
#include "unicode/UniSysUtils.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxBars.h"
#include "toolbar/BarHook.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

struct TItemEvents : gcl::TObject {
    int Clicks = 0;
    gcl::TObject* LastSender = nullptr;
    int Resizes = 0;
    int ThemeChanges = 0;
    std::vector<std::wstring> Captions;
    bool SuppressFace = false;
    bool SuppressCaption = false;
    void Click(gcl::TObject* Sender) {
        ++Clicks;
        LastSender = Sender;
    }
    void ThemeChange(gcl::TObject*) { ++ThemeChanges; }
    void ItemChanged(TBarCustomItem*, bool, TBarItemChangedAction Action, int, TBarCustomItem*) {
        if (Action == tbicInvalidateAndResize) ++Resizes;
    }
    void DrawItem(gcl::TObject*, TCanvas*, const TRect&, const TTxItemInfo&, TXtPaintStage Stage, bool& PaintDefault) {
        if (Stage == pstPrePaint && SuppressFace) PaintDefault = false;
    }
    void DrawCaption(gcl::TObject*, TCanvas*, const TRect&, std::wstring& Caption, TRect&, uint32_t&, bool,
                     TXtPaintStage Stage, bool& PaintDefault) {
        if (Stage != pstPrePaint) return;
        Captions.push_back(Caption);
        if (SuppressCaption) PaintDefault = false;
    }
};

// A radio group of three letters.
class TLetters : public TXtRadioGroupItem {
    GCL_CLASS(TLetters, TXtRadioGroupItem)
public:
    void DoFillStrings() override {
        for (const wchar_t* s : {L"A", L"B", L"C"}) GetStrings()->Add(s);
    }

protected:
    explicit TLetters(gcl::TComponent* owner) : TXtRadioGroupItem(owner) {}
};
GCL_IMPLEMENT_CLASS(TLetters)

class XtItems : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &TxBarsUnit});
    }
    TTxToolbar* MakeToolbar() {
        auto* dock = Make<TTxDock>(Form, 0, 0, 400, 30);
        auto* bar = TTxToolbar::Create(Form);
        bar->SetParent(dock);
        return bar;
    }
    static int ViewerWidth(TTxToolbar* bar, TBarCustomItem* item) {
        return bar->GetView()->Find(item)->BoundsRect.Width();
    }
};

TEST_F(XtItems, PropertiesKeepTheirRules) {
    auto* item = TXtItem::Create(Form);
    EXPECT_TRUE(item->GetStretch());
    EXPECT_EQ(item->GetAlignment(), gcl::taCenter);
    EXPECT_EQ(item->GetWrapping(), twWrap);
    item->SetCustomWidth(-5);
    EXPECT_EQ(item->GetCustomWidth(), -1);
    item->SetCustomHeight(12);
    EXPECT_EQ(item->GetCustomHeight(), 12);
    item->SetMargins(-3);
    EXPECT_EQ(item->GetMargins(), 0);

    auto* sub = TXtSubmenuItem::Create(Form);
    EXPECT_TRUE(sub->HasStyle(tbisSubmenu));
    EXPECT_TRUE(sub->HasStyle(tbisSubitemsEditable));

    auto* label = TXtLabelItem::Create(Form);
    EXPECT_FALSE(label->HasStyle(tbisSelectable));
    EXPECT_FALSE(label->HasStyle(tbisRedrawOnSelChange | tbisRedrawOnMouseOverChange));
    EXPECT_TRUE(label->HasStyle(tbisClicksTransparent));
    EXPECT_FALSE(label->GetStretch());
    EXPECT_EQ(label->GetAlignment(), gcl::taLeftJustify);
    EXPECT_EQ(label->GetDisplayMode(), nbdmImageAndText);
}

TEST_F(XtItems, WideCaptionIsMirroredAndRepaintsEvenWhenTheMirrorStaysTheSame) {
    auto* parent = TXtSubmenuItem::Create(Form);
    auto* item = TXtItem::Create(Form);
    parent->Add(item);
    TItemEvents events;
    parent->RegisterNotification(TBarItemChangeHandler(&events, &TItemEvents::ItemChanged));
    item->SetCaption(L"\x0391\x03B8\x03AE\x03BD\x03B1");   // Greek
    EXPECT_EQ(item->GetCaption(), L"\x0391\x03B8\x03AE\x03BD\x03B1");
    EXPECT_EQ(item->TBarCustomItem::GetCaption(), gcl::WideToAnsi(L"\x0391\x03B8\x03AE\x03BD\x03B1"));
    const int resizes = events.Resizes;
    // Another caption with the same 8-bit form still resizes the item.
    item->SetCaption(L"\x4E2D\x6587\x5B57\x5F62\x5B57");
    ASSERT_EQ(gcl::WideToAnsi(item->GetCaption()), item->TBarCustomItem::GetCaption());
    EXPECT_EQ(events.Resizes, resizes + 1);
    // The same caption again changes nothing.
    item->SetCaption(L"\x4E2D\x6587\x5B57\x5F62\x5B57");
    EXPECT_EQ(events.Resizes, resizes + 1);
    // The 8-bit caption set on its own is what the wide caption answers.
    item->TBarCustomItem::SetCaption("Plain");
    EXPECT_EQ(item->GetCaption(), L"Plain");
    parent->UnregisterNotification(TBarItemChangeHandler(&events, &TItemEvents::ItemChanged));

    item->SetHint(L"\x03A3|long");
    EXPECT_EQ(item->GetHint(), L"\x03A3|long");
    EXPECT_EQ(item->TBarCustomItem::GetHint(), gcl::WideToAnsi(L"\x03A3|long"));
}

TEST_F(XtItems, ShortcutAndHintTexts) {
    auto* item = TXtItem::Create(Form);
    item->SetShortCut(gcl::ShortCut('O', gcl::TShiftState{gcl::ssCtrl}));
    item->SetCaption(L"Open\tStrg+\x00D6");
    EXPECT_EQ(GetShortcutText(item), L"Strg+\x00D6");
    item->SetCaption(L"Open...\t");   // a tab at the end: the shortcut's own text
    EXPECT_EQ(GetShortcutText(item), L"Ctrl+O");

    auto* bar = MakeToolbar();
    bar->GetItems()->Add(item);
    Form->Show();
    TBarItemViewer* viewer = bar->GetView()->Find(item);
    const bool shortcuts = gcl::Application->GetHintShortCuts();
    gcl::Application->SetHintShortCuts(true);
    EXPECT_EQ(XtViewerHintText(viewer), L"Open (Ctrl+O)");
    item->SetHint(L"Short|A longer text");
    EXPECT_EQ(XtViewerHintText(viewer), L"Short (Ctrl+O)");
    gcl::Application->SetHintShortCuts(false);
    EXPECT_EQ(XtViewerHintText(viewer), L"Short");
    item->SetHint(L"");
    item->SetOptions(TBarItemOptions{tboNoAutoHint});
    EXPECT_EQ(XtViewerHintText(viewer), L"");
    gcl::Application->SetHintShortCuts(shortcuts);
}

TEST_F(XtItems, AttachedControlIsToggledAndCheckedFollowsIt) {
    auto* panel = Make<gcl::TPanel>(Form, 0, 0, 50, 50);
    auto* item = TXtItem::Create(Form);
    item->SetControl(panel);
    EXPECT_TRUE(item->GetChecked());
    item->Click();
    EXPECT_FALSE(panel->GetVisible());
    item->InitiateAction();
    EXPECT_FALSE(item->GetChecked());
    panel->Free();
    EXPECT_EQ(item->GetControl(), nullptr);
    item->Click();   // no control: only the click
}

TEST_F(XtItems, ViewerSizeTakesTheWideTextCustomSizesAndMargins) {
    auto* bar = MakeToolbar();
    auto* wide = TXtItem::Create(Form);
    wide->SetCaption(L"\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587");
    auto* fixed = TXtItem::Create(Form);
    fixed->SetCaption(L"Fixed");
    fixed->SetCustomWidth(70);
    auto* margins = TXtItem::Create(Form);
    margins->SetCaption(L"Fixed");
    margins->SetMargins(9);
    auto* plain = TXtItem::Create(Form);
    plain->SetCaption(L"Fixed");
    for (TBarCustomItem* item : {static_cast<TBarCustomItem*>(wide), static_cast<TBarCustomItem*>(fixed),
                                 static_cast<TBarCustomItem*>(margins), static_cast<TBarCustomItem*>(plain)})
        bar->GetItems()->Add(item);
    Form->Show();
    EXPECT_EQ(ViewerWidth(bar, fixed), 70);
    EXPECT_EQ(ViewerWidth(bar, margins), ViewerWidth(bar, plain) + 9);
    EXPECT_TRUE(gcl::is<TXtItemViewer>(bar->GetView()->Find(wide)));

    // The viewer measures the wide text, whose 8-bit mirror is six '?'.
    gcl::TBitmap bitmap;
    TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetFont()->Assign(bar->GetView()->GetFont());
    SIZE extent{};
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    GetTextExtentPoint32W(canvas->GetHandle(), L"\x4E2D\x6587\x4E2D\x6587\x4E2D\x6587", 6, &extent);
    EXPECT_EQ(ViewerWidth(bar, wide), 6 + 4 + extent.cx);

    fixed->SetCustomHeight(40);
    EXPECT_EQ(bar->GetView()->Find(fixed)->BoundsRect.Height(), 40);
}

TEST_F(XtItems, PaintEventsWrapTheFaceAndTheWideCaption) {
    auto* bar = MakeToolbar();
    auto* item = TXtItem::Create(Form);
    item->SetCaption(L"\x0391\x03B8");
    auto* label = TXtLabelItem::Create(Form);
    label->SetCaption(L"Label");
    bar->GetItems()->Add(item);
    bar->GetItems()->Add(label);
    TItemEvents events;
    item->OnDrawItem = TXtDrawItemEvent(&events, &TItemEvents::DrawItem);
    item->OnDrawCaption = TXtDrawTextEvent(&events, &TItemEvents::DrawCaption);
    Form->Show();
    TTxRecordingTheme* theme = UseRecordingTheme();
    TPaintTarget target(100, 30);
    auto* viewer = static_cast<TXtItemViewer*>(bar->GetView()->Find(item));
    theme->Calls.clear();
    events.Captions.clear();
    viewer->Paint(target.Canvas(), TRect{0, 0, 60, 24}, true, false, false);
    EXPECT_EQ(theme->Count("PaintButton"), 1);
    // Captions reach the screen as wide text, never through the theme.
    EXPECT_EQ(theme->Count("PaintCaption"), 0);
    ASSERT_EQ(events.Captions.size(), 1u);
    EXPECT_EQ(events.Captions[0], L"\x0391\x03B8");

    events.SuppressFace = true;
    theme->Calls.clear();
    viewer->Paint(target.Canvas(), TRect{0, 0, 60, 24}, true, false, false);
    EXPECT_EQ(theme->Count("PaintButton"), 0);

    // A label never gets a button face.
    theme->Calls.clear();
    bar->GetView()->Find(label)->Paint(target.Canvas(), TRect{0, 0, 60, 24}, true, false, false);
    EXPECT_EQ(theme->Count("PaintButton"), 0);
}

TEST_F(XtItems, CaptionHandlerThatClearsPaintDefaultSuppressesTheText) {
    auto* bar = MakeToolbar();
    auto* item = TXtItem::Create(Form);
    item->SetCaption(L"WWWW");
    bar->GetItems()->Add(item);
    TItemEvents events;
    item->OnDrawItem = TXtDrawItemEvent(&events, &TItemEvents::DrawItem);
    item->OnDrawCaption = TXtDrawTextEvent(&events, &TItemEvents::DrawCaption);
    events.SuppressFace = true;   // the face stays the fill colour
    Form->Show();
    auto* viewer = bar->GetView()->Find(item);
    auto textPixels = [&] {
        TPaintTarget target(60, 24, 0x00FFFFFF);
        viewer->Paint(target.Canvas(), TRect{0, 0, 60, 24}, false, false, false);
        int dark = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 60; ++x)
                if (target.Pixel(x, y) != 0x00FFFFFF) ++dark;
        return dark;
    };
    EXPECT_GT(textPixels(), 10);
    events.SuppressCaption = true;
    EXPECT_EQ(textPixels(), 0);
}

TEST_F(XtItems, RadioGroupRebuildsWithoutDuplicatesAndIgnoresRepeatedClicks) {
    auto* group = TLetters::Create(Form);
    auto* own = TXtItem::Create(Form);   // an item of the group's own stays
    group->Add(own);
    TItemEvents events;
    group->OnClick = gcl::TNotifyEvent(&events, &TItemEvents::Click);
    group->SetItemIndex(1);
    group->Recreate();
    group->Recreate();
    ASSERT_EQ(group->GetCount(), 4);
    EXPECT_EQ(group->GetItem(3), own);
    EXPECT_TRUE(group->GetItem(1)->GetChecked());
    EXPECT_EQ(events.Clicks, 0);   // checking the ItemIndex item is no click

    group->GetItem(1)->Click();   // already checked
    EXPECT_EQ(events.Clicks, 0);
    group->GetItem(2)->Click();
    EXPECT_EQ(events.Clicks, 1);
    EXPECT_EQ(events.LastSender, group->GetItem(2));
    EXPECT_TRUE(group->GetItem(2)->GetChecked());
    EXPECT_FALSE(group->GetItem(1)->GetChecked());
    EXPECT_EQ(group->GetLastClickedIndex(), 2);
    EXPECT_EQ(group->GetItemIndex(), 1);   // clicks leave ItemIndex alone

    group->GetItem(0)->SetTag(7);   // out of range
    group->GetItem(0)->Click();
    EXPECT_EQ(events.Clicks, 1);
}

TEST_F(XtItems, ThemeGroupListsDefaultFirstAndFollowsTheTheme) {
    auto* group = TXtThemeGroupItem::Create(Form);
    TItemEvents events;
    group->OnThemeChange = gcl::TNotifyEvent(&events, &TItemEvents::ThemeChange);
    group->Recreate();
    TUniStringList* names = group->GetStrings();
    ASSERT_EQ(names->GetCount(), static_cast<int>(RegisteredThemes().size()));
    EXPECT_EQ(names->Get(0), L"Default");
    for (int i = 2; i < names->GetCount(); ++i)
        EXPECT_LT(WideUpperCase(names->Get(i - 1)), WideUpperCase(names->Get(i))) << i;
    EXPECT_EQ(group->GetItemIndex(), 0);
    EXPECT_TRUE(group->GetItem(0)->GetChecked());

    // A click selects the theme and moves the check.
    const int last = names->GetCount() - 1;
    group->GetItem(last)->Click();
    EXPECT_EQ(gcl::AnsiToWide(CurrentThemeName()), names->Get(last));
    EXPECT_TRUE(group->GetItem(last)->GetChecked());
    EXPECT_FALSE(group->GetItem(0)->GetChecked());
    EXPECT_EQ(events.ThemeChanges, 1);

    // A switch made elsewhere moves the check too.
    SelectTheme("Default");
    EXPECT_TRUE(group->GetItem(0)->GetChecked());
    EXPECT_FALSE(group->GetItem(last)->GetChecked());
    EXPECT_EQ(group->GetItemIndex(), 0);
    EXPECT_EQ(events.ThemeChanges, 2);
}

} // namespace

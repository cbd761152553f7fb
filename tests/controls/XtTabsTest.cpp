// Tabs: the tab item's defaults and property rules, the style resolution,
// the tab and pane painters in each style, and tab items painting on a
// toolbar (checked face, separators, caption offsets, the font colour).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/XtTabs.h"
#include "controls/XtTestSupport.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Init.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxBars.h"
#include "theming/TxUtils.h"
#include "toolbar/BarHook.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class XtTabs : public XtFormTest {
protected:
    static void SetUpTestSuite() {
        StartExtendedControls();
        gcl::InitializeUnits({&gcl::OleUnit, &BarHookUnit, &BarItemUnit, &TxBarsUnit});
    }
    TTxToolbar* MakeToolbar(int top = 0, int width = 400) {
        auto* dock = Make<TTxDock>(Form, 0, top, width, 30);
        auto* bar = TTxToolbar::Create(Form);
        bar->SetParent(dock);
        return bar;
    }
    TXtTabItem* AddTab(TTxToolbar* bar, const wchar_t* caption, TXtTabThemeType style, bool checked = false) {
        auto* tab = TXtTabItem::Create(Form);
        tab->SetCaption(caption);
        tab->SetThemeType(style);
        tab->SetChecked(checked);
        bar->GetItems()->Add(tab);
        return tab;
    }
    // Paints the bar's viewers into a bitmap of the bar's client size.
    static void PaintBar(TTxToolbar* bar, TPaintTarget& target) {
        bar->HandleNeeded();
        bar->GetView()->ValidatePositions();
        bar->GetView()->DrawViewers(target.Canvas());
    }
};

// Rows of a painted rectangle, for comparing a shape with its mirror.
std::vector<std::vector<TColor>> Rows(TPaintTarget& target, const TRect& r) {
    std::vector<std::vector<TColor>> rows;
    for (int y = r.Top; y < r.Bottom; ++y) {
        rows.emplace_back();
        for (int x = r.Left; x < r.Right; ++x) rows.back().push_back(target.Pixel(x, y));
    }
    return rows;
}

TEST_F(XtTabs, TabItemDefaultsAndItsOwnPropertiesOffATabToolbar) {
    auto* tab = TXtTabItem::Create(Form);
    EXPECT_EQ(tab->GetDisplayMode(), nbdmImageAndText);
    EXPECT_EQ(tab->GetGroupIndex(), 7777);
    EXPECT_EQ(tab->GetWrapping(), twEndEllipsis);
    EXPECT_EQ(tab->GetMargins(), 4);
    EXPECT_EQ(tab->GetTabPosition(), ttpTop);
    EXPECT_EQ(tab->GetThemeType(), tttWindows);
    EXPECT_EQ(tab->GetTabColor(), gcl::clBtnFace);
    tab->SetTabPosition(ttpBottom);
    tab->SetThemeType(tttFlat);
    EXPECT_EQ(tab->GetTabPosition(), ttpBottom);
    EXPECT_EQ(tab->GetThemeType(), tttFlat);
    // Clicking a tab toggles nothing it is linked to.
    auto* panel = Make<gcl::TPanel>(Form, 0, 40, 50, 50);
    tab->SetControl(panel);
    tab->Click();
    EXPECT_TRUE(panel->GetVisible());
}

TEST_F(XtTabs, StyleResolvesByThemeAndVisualStyles) {
    {
        TVisualStylesScope styles(true);
        ASSERT_TRUE(VisualStylesUsable());
        EXPECT_EQ(GetTabThemeType(tttTx), tttWindows);
        EXPECT_EQ(GetTabThemeType(tttWindows), tttWindows);
        SelectTheme("Tristan");
        EXPECT_EQ(GetTabThemeType(tttTx), tttTx);
        SelectTheme("Default");
    }
    TVisualStylesScope styles(false);
    EXPECT_EQ(GetTabThemeType(tttTx), tttNone);
    EXPECT_EQ(GetTabThemeType(tttWindows), tttNone);
    EXPECT_EQ(GetTabThemeType(tttFlat), tttFlat);
    EXPECT_EQ(GetTabThemeType(tttNone), tttNone);
}

TEST_F(XtTabs, ClassicAndFlatTabsAreFramedInTheBrushColourAndOnlyWhenChecked) {
    const TColor face = 0x00C0E0F0;
    TPaintTarget target(60, 24, 0x00FF00FF);
    const TRect r{10, 2, 50, 22};
    for (TXtTabThemeType style : {tttNone, tttFlat}) {
        SCOPED_TRACE(style);
        target.Fill(0x00FF00FF);
        target.Canvas()->GetBrush()->SetColor(face);
        DrawXPTab(target.Canvas(), r, true, false, true, false, false, style, 0);
        EXPECT_EQ(target.CountNot(TRect{0, 0, 60, 24}, 0x00FF00FF), 0);
        DrawXPTab(target.Canvas(), r, true, true, false, false, false, style, 0);
        EXPECT_EQ(target.Pixel(10, 2), Sys(gcl::clWindow));
        EXPECT_EQ(target.Pixel(30, 12), face);
        EXPECT_EQ(target.Pixel(9, 12), 0x00FF00FF);
        if (style == tttNone) {
            EXPECT_EQ(target.Pixel(49, 21), Sys(gcl::clWindowFrame));
            EXPECT_EQ(target.Pixel(48, 20), Sys(gcl::clBtnShadow));
        } else {
            EXPECT_EQ(target.Pixel(49, 21), Sys(gcl::clBtnShadow));
            EXPECT_EQ(target.Pixel(48, 20), face);
        }
    }
    // A focused checked tab gets the dotted rectangle three pixels inside.
    target.Fill(0x00FF00FF);
    target.Canvas()->GetBrush()->SetColor(face);
    DrawXPTab(target.Canvas(), r, true, true, false, true, false, tttNone, 0);
    EXPECT_GT(target.CountNot(TRect{13, 5, 47, 6}, face), 5);
    EXPECT_EQ(target.CountNot(TRect{15, 7, 45, 17}, face), 0);
}

TEST_F(XtTabs, VisualStylesTabUnderThePaneIsTheMirrorOfOneAbove) {
    TVisualStylesScope styles(true);
    ASSERT_NE(XtTabTheme, nullptr);
    TPaintTarget top(40, 20, 0x00FFFFFF);
    TPaintTarget bottom(40, 20, 0x00FFFFFF);
    const TRect r{0, 0, 40, 20};
    DrawXPTab(top.Canvas(), r, true, true, false, false, false, tttWindows, 0);
    DrawXPTab(bottom.Canvas(), r, true, true, false, false, true, tttWindows, 0);
    EXPECT_GT(top.CountNot(r, 0x00FFFFFF), 40);
    auto up = Rows(top, r);
    auto down = Rows(bottom, r);
    std::reverse(down.begin(), down.end());
    EXPECT_EQ(up, down);
    // The pane is painted through the same handle, mirrored likewise.
    top.Fill(0x00FFFFFF);
    DrawXPTabControlBackground(top.Canvas(), r, gcl::clBtnFace, tttWindows, false);
    EXPECT_GT(top.CountNot(r, 0x00FFFFFF), 40);
}

TEST_F(XtTabs, ThemedTabsAndPaneAskTheThemeForButtonFaces) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TPaintTarget target(60, 24, 0x00FF00FF);
    DrawXPTab(target.Canvas(), TRect{0, 0, 60, 24}, true, false, true, false, false, tttTx, 0);
    const TTxThemeCall* call = theme->Last("PaintButton");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->Rect, (TRect{0, 0, 60, 24}));
    EXPECT_EQ(call->Item.HoverKind, 2);
    EXPECT_FALSE(call->Item.Selected);
    // The pane: a checked face over white.
    DrawXPTabControlBackground(target.Canvas(), TRect{0, 0, 60, 24}, gcl::clBtnFace, tttTx, false);
    call = theme->Last("PaintButton");
    EXPECT_TRUE(call->Item.Selected);
    EXPECT_EQ(call->Item.HoverKind, 0);
    EXPECT_EQ(target.Pixel(30, 12), 0x00FFFFFF);
}

TEST_F(XtTabs, SeparatorIsAThemeLineOrTwoClassicLinesAtTheRightSide) {
    auto* tab = TXtTabItem::Create(Form);
    TPaintTarget target(40, 24, 0x00FF00FF);
    tab->DrawTab(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, true, 0);
    EXPECT_EQ(target.Pixel(38, 3), Sys(gcl::clBtnShadow));
    EXPECT_EQ(target.Pixel(39, 20), Sys(gcl::clBtnHighlight));
    EXPECT_EQ(target.Pixel(38, 2), 0x00FF00FF);
    EXPECT_EQ(target.Pixel(38, 21), 0x00FF00FF);
    EXPECT_EQ(target.CountNot(TRect{0, 0, 38, 24}, 0x00FF00FF), 0);

    TTxRecordingTheme* theme = UseRecordingTheme();
    tab->SetThemeType(tttTx);
    tab->DrawTab(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, true, 0);
    const TTxThemeCall* call = theme->Last("PaintSeparator");
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->Item.ViewType, 0x1002u);
    EXPECT_EQ(call->Item.ItemOptions, 0x31u);
    EXPECT_TRUE(call->Item.IsVertical);
    EXPECT_EQ(call->Rect.Top, 3);
    EXPECT_EQ(call->Rect.Bottom, 21);
    EXPECT_EQ(call->Rect.Right, 40);
}

struct TCaptionLog : gcl::TObject {
    std::vector<TRect> Rects;
    std::vector<int> Colors;
    void DrawCaption(gcl::TObject*, TCanvas* Canvas, const TRect&, std::wstring&, TRect& CaptionRect, uint32_t&,
                     bool, TXtPaintStage Stage, bool&) {
        if (Stage != pstPrePaint) return;
        Rects.push_back(CaptionRect);
        Colors.push_back(static_cast<int>(Canvas->GetFont()->GetColor()));
    }
};

TEST_F(XtTabs, OnAToolbarTheCheckedTabHasAFaceAndUncheckedNeighboursAreParted) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TTxToolbar* bar = MakeToolbar();
    auto* a = AddTab(bar, L"One", tttTx);
    auto* b = AddTab(bar, L"One", tttTx);
    auto* c = AddTab(bar, L"One", tttTx, true);
    TCaptionLog log;
    for (TXtTabItem* t : {a, b, c}) t->OnDrawCaption = TXtDrawTextEvent(&log, &TCaptionLog::DrawCaption);
    Form->Show();
    PumpMessages(50);
    TPaintTarget target(400, 30);
    theme->Calls.clear();
    log.Rects.clear();
    log.Colors.clear();
    PaintBar(bar, target);
    // a: the next tab is unchecked, so a line; b: the next one is checked,
    // so nothing; c: a checked face.
    EXPECT_EQ(theme->Count("PaintSeparator"), 1);
    ASSERT_EQ(theme->Count("PaintButton"), 1);
    const TTxThemeCall* face = theme->Last("PaintButton");
    EXPECT_TRUE(face->Item.Selected);
    // The face reaches one pixel further towards the pane.
    EXPECT_EQ(face->Rect.Height(), bar->GetView()->Find(c)->BoundsRect.Height() + 1);
    // Unchecked captions sit two pixels lower than the checked one.
    ASSERT_EQ(log.Rects.size(), 3u);
    EXPECT_EQ(log.Rects[0].Top, log.Rects[2].Top + 2);
    EXPECT_EQ(log.Rects[1].Top, log.Rects[2].Top + 2);
    // Under a toolbar theme the theme's text colour stays.
    EXPECT_EQ(log.Colors[0], 0x020202);
}

TEST_F(XtTabs, TabsBelowThePaneGrowUpwardsAndClassicTabsUseTheButtonTextColour) {
    TVisualStylesScope styles(false);
    TTxToolbar* bar = MakeToolbar();
    auto* a = AddTab(bar, L"One", tttNone);
    auto* b = AddTab(bar, L"One", tttNone, true);
    a->SetTabPosition(ttpBottom);
    b->SetTabPosition(ttpBottom);
    TCaptionLog log;
    for (TXtTabItem* t : {a, b}) t->OnDrawCaption = TXtDrawTextEvent(&log, &TCaptionLog::DrawCaption);
    Form->Show();
    PumpMessages(50);
    TPaintTarget target(400, 30, 0x00FF00FF);
    log.Rects.clear();
    log.Colors.clear();
    PaintBar(bar, target);
    ASSERT_EQ(log.Rects.size(), 2u);
    EXPECT_EQ(log.Rects[0].Top, log.Rects[1].Top - 2);
    EXPECT_EQ(log.Colors[0], static_cast<int>(gcl::clBtnText));
    // The checked classic tab is open at its top, towards the pane above.
    const TRect tb = bar->GetView()->Find(b)->BoundsRect;
    EXPECT_EQ(target.Pixel(tb.Left + tb.Width() / 2, tb.Top), Sys(gcl::clBtnFace));
    EXPECT_EQ(target.Pixel(tb.Left + tb.Width() / 2, tb.Bottom - 1), Sys(gcl::clWindowFrame));
}

TEST_F(XtTabs, VisualStylesCheckedTabCoversItsNeighboursWithoutASeam) {
    TVisualStylesScope styles(true);
    TTxToolbar* bar = MakeToolbar();
    AddTab(bar, L"First", tttWindows);
    auto* b = AddTab(bar, L"Second", tttWindows, true);
    AddTab(bar, L"Third", tttWindows);
    Form->Show();
    PumpMessages(50);
    // The whole bar against the checked tab drawn alone over its widened
    // rectangle: the columns of the overlap are the checked tab's.
    TPaintTarget whole(400, 30, 0x00FFFFFF);
    PaintBar(bar, whole);
    const TRect br = bar->GetView()->Find(b)->BoundsRect;
    TPaintTarget alone(400, 30, 0x00FFFFFF);
    DrawXPTab(alone.Canvas(), TRect{br.Left - 2, br.Top, br.Right + 2, br.Bottom + 1}, true, true, false, false,
              false, tttWindows, 0);
    for (int x : {br.Left - 2, br.Left - 1, br.Right, br.Right + 1})
        for (int y = br.Top + 2; y < br.Bottom - 2; ++y)
            EXPECT_EQ(whole.Pixel(x, y), alone.Pixel(x, y)) << x << "," << y;
}

TEST_F(XtTabs, ScreenshotOfTabsInEveryStyle) {
    Form->SetBounds(60, 60, 430, 230);
    Form->SetCaption("Tab items");
    struct TRow {
        TXtTabThemeType Style;
        const char* Theme;
    };
    const TRow rows[] = {{tttTx, "Default"}, {tttWindows, nullptr}, {tttNone, nullptr}, {tttFlat, nullptr}};
    int top = 0;
    for (const TRow& row : rows) {
        TTxToolbar* bar = MakeToolbar(top);
        AddTab(bar, L"Todo Lists", row.Style, true)->GetFontSettings()->SetSize(130);
        AddTab(bar, L"Tags", row.Style)->GetFontSettings()->SetSize(130);
        AddTab(bar, L"Third", row.Style);
        top += 36;
    }
    Form->Show();
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabs_default.bmp"), 20);
    SelectTheme("Tristan");
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabs_tristan.bmp"), 20);
}

} // namespace

// Tabs: the tab item's defaults and property rules, the style resolution,
// the tab and pane painters in each style, and tab items painting on a
// toolbar (checked face, separators, caption offsets, the font colour).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controls/XtDkPanels.h"
#include "controls/XtTabs.h"
#include "controls/XtTestSupport.h"
#include "gcl/DragDrop.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Filer.h"
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

TEST_F(XtTabs, VisualStylesTabsDrawnAgainLookAsTheSystemDrawsThemOverWhatLiesBeneath) {
    TVisualStylesScope styles(true);
    ASSERT_NE(XtTabTheme, nullptr);
    const TRect r{0, 0, 40, 20};
    const TColor backgrounds[] = {0x00FFFFFF, 0x00FF00FF};
    // The system's own drawing of a tab part in each state (plain, hot,
    // checked) over each background.
    auto systemTab = [&](TColor background, int state) {
        TPaintTarget target(40, 20, background);
        DrawVisualStylesPart(XtTabTheme, target.Canvas()->GetHandle(), 1, state, r);
        return Rows(target, r);
    };
    // Drawn again and again, in turn over either background, in turn in
    // every state, and after the theme's handles were opened anew.
    for (int round = 0; round < 4; ++round) {
        if (round == 2) {
            TVisualStylesScope off(false);
        }
        ASSERT_NE(XtTabTheme, nullptr);
        for (TColor background : backgrounds)
            for (int state : {1, 2, 3}) {
                SCOPED_TRACE(testing::Message() << "round " << round << ", state " << state << ", background "
                                                << background);
                TPaintTarget target(40, 20, background);
                DrawXPTab(target.Canvas(), r, true, state == 3, state == 2, false, false, tttWindows, 0);
                EXPECT_EQ(Rows(target, r), systemTab(background, state));
            }
    }
}

// A tab drawn again over what an earlier paint left (its old caption, a
// mark at an edge) looks as the system draws it over those pixels, in
// every state and either way up: pixels the part covers may differ from a
// kept drawing's, pixels it lets through may not.
TEST_F(XtTabs, VisualStylesTabsDrawnOverAnOldCaptionOrAMarkLookAsTheSystemDrawsThem) {
    TVisualStylesScope styles(true);
    ASSERT_NE(XtTabTheme, nullptr);
    const TRect r{0, 0, 40, 20};
    // White, with a caption-like block in the middle, or with a mark at a
    // corner, or both.
    auto paintBeneath = [&](TPaintTarget& target, int kind) {
        target.Fill(0x00FFFFFF);
        if (kind & 1) {
            target.Canvas()->GetBrush()->SetColor(static_cast<TColor>(0x00203040));
            target.Canvas()->FillRect(TRect{8 + kind, 6, 30, 13});
        }
        if (kind & 2) {
            target.Canvas()->GetBrush()->SetColor(static_cast<TColor>(0x000000FF));
            target.Canvas()->FillRect(TRect{0, 0, 2, 2});
            target.Canvas()->FillRect(TRect{38, 18, 40, 20});
        }
    };
    for (int round = 0; round < 2; ++round)
        for (int kind : {1, 0, 3, 5, 2, 7})
            for (int state : {1, 3})
                for (bool bottom : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "round " << round << ", beneath " << kind << ", state "
                                                    << state << (bottom ? ", under the pane" : ""));
                    TPaintTarget system(40, 20);
                    paintBeneath(system, kind);
                    TPaintTarget drawn(40, 20);
                    paintBeneath(drawn, kind);
                    DrawXPTab(drawn.Canvas(), r, true, state == 3, false, false, bottom, tttWindows, 0);
                    if (bottom) {
                        // The system's drawing of a tab under the pane: the
                        // part drawn upright over the rows turned over.
                        TPaintTarget turned(40, 20);
                        for (int y = 0; y < 20; ++y)
                            BitBlt(turned.DC(), 0, y, 40, 1, system.DC(), 0, 19 - y, SRCCOPY);
                        DrawVisualStylesPart(XtTabTheme, turned.DC(), 1, state, r);
                        GdiFlush();
                        for (int y = 0; y < 20; ++y)
                            BitBlt(system.DC(), 0, y, 40, 1, turned.DC(), 0, 19 - y, SRCCOPY);
                    } else {
                        DrawVisualStylesPart(XtTabTheme, system.DC(), 1, state, r);
                    }
                    GdiFlush();
                    EXPECT_EQ(Rows(drawn, r), Rows(system, r));
                }
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

namespace {

// ---- The tab set ----------------------------------------------------------------------------------

struct TTabSetEvents : gcl::TObject {
    std::vector<std::pair<int, int>> Changing;
    std::vector<int> Changes;
    std::vector<int> Reorders;
    bool Refuse = false;
    void OnChanging(gcl::TObject*, int TabIndex, int NewTabIndex, bool& Allow) {
        Changing.emplace_back(TabIndex, NewTabIndex);
        if (Refuse) Allow = false;
    }
    void OnChange(gcl::TObject*, int TabIndex) { Changes.push_back(TabIndex); }
    void OnReorder(gcl::TObject*, int NewTabIndex) { Reorders.push_back(NewTabIndex); }
};

class XtTabSets : public XtTabs {
protected:
    TXtTabSet* MakeTabSet(int width, int tabs, TTabSetEvents* events = nullptr) {
        auto* set = Make<TXtTabSet>(Form, 10, 10, width, 200);
        if (events) {
            set->OnActiveTabChanging = TXtTabChangingEvent(events, &TTabSetEvents::OnChanging);
            set->OnActiveTabChange = TXtTabChangeEvent(events, &TTabSetEvents::OnChange);
            set->OnActiveTabReorder = TXtTabChangeEvent(events, &TTabSetEvents::OnReorder);
        }
        for (int i = 0; i < tabs; ++i) AddTab(set, L"Tab " + std::to_wstring(i + 1));
        return set;
    }
    TXtTabItem* AddTab(TXtTabSet* set, const std::wstring& caption) {
        auto* tab = TXtTabItem::Create(Form);
        tab->SetCaption(caption);
        auto* page = Make<gcl::TPanel>(set, 4, 40, 100, 100);
        page->SetVisible(false);
        tab->SetControl(page);
        set->GetItems()->Add(tab);
        return tab;
    }
    static int Width(TXtTabSet* set, TBarCustomItem* item) {
        set->GetToolbar()->GetView()->ValidatePositions();
        return set->GetToolbar()->GetView()->Find(item)->BoundsRect.Width();
    }
    static TXtTabItem* Tab(TXtTabSet* set, int i) { return static_cast<TXtTabItem*>(set->GetItems()->GetItem(i)); }
};

TEST_F(XtTabSets, ThreeTabsInFourHundredPixelsAutofitTo132EachAndNeverBelowZero) {
    TXtTabSet* set = MakeTabSet(400, 3);
    Form->Show();
    PumpMessages(50);
    ASSERT_EQ(set->GetDock()->GetClientWidth(), 400);
    set->SetTabAutofit(true);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Tab(set, i)->GetCustomWidth(), 132);
        EXPECT_EQ(Width(set, Tab(set, i)), 132);
    }
    set->GetTabToolbar()->SetTabAutofitMaxSize(90);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Width(set, Tab(set, i)), 90);
    // A button beside the tabs takes its width first; a bar too narrow for
    // it leaves the tabs at 0, not at their natural width.
    set->GetTabToolbar()->SetTabAutofitMaxSize(200);
    auto* button = TXtItem::Create(Form);
    button->SetCaption(L"Button");
    button->SetCustomWidth(420);
    set->GetItems()->Add(button);
    set->GetTabToolbar()->TabAutofitUpdate();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Tab(set, i)->GetCustomWidth(), 0);
}

TEST_F(XtTabSets, TheActiveTabShowsItsControlAndTheChangeCanBeRefused) {
    TTabSetEvents events;
    TXtTabSet* set = MakeTabSet(400, 3, &events);
    auto* separator = TXtSeparatorItem::Create(Form);
    set->GetItems()->Add(separator);
    Form->Show();
    PumpMessages(50);
    // The first tab inserted alone became active.
    EXPECT_EQ(set->GetActiveTabIndex(), 0);
    // On a tab toolbar the tabs take the toolbar's position, style and colour.
    Tab(set, 0)->SetTabPosition(ttpBottom);
    Tab(set, 0)->SetThemeType(tttFlat);
    EXPECT_EQ(Tab(set, 0)->GetTabPosition(), ttpTop);
    EXPECT_EQ(Tab(set, 0)->GetThemeType(), tttWindows);
    set->SetTabPosition(ttpBottom);
    set->SetThemeType(tttFlat);
    set->GetTabToolbar()->SetTabColor(0x00C0FFC0);
    EXPECT_EQ(Tab(set, 1)->GetTabPosition(), ttpBottom);
    EXPECT_EQ(Tab(set, 1)->GetThemeType(), tttFlat);
    EXPECT_EQ(Tab(set, 1)->GetTabColor(), 0x00C0FFC0);
    set->SetTabPosition(ttpTop);
    set->SetThemeType(tttWindows);
    set->SetActiveTabIndex(2);
    EXPECT_EQ(set->GetActiveTabIndex(), 2);
    EXPECT_TRUE(Tab(set, 2)->GetChecked());
    EXPECT_FALSE(Tab(set, 0)->GetChecked());
    EXPECT_TRUE(Tab(set, 2)->GetControl()->GetVisible());
    EXPECT_FALSE(Tab(set, 0)->GetControl()->GetVisible());
    EXPECT_EQ(events.Changes.back(), 2);
    // A separator's index keeps the active tab; the item count gives -1.
    set->SetActiveTabIndex(3);
    EXPECT_EQ(set->GetActiveTabIndex(), 2);
    set->SetActiveTabIndex(4);
    EXPECT_EQ(set->GetActiveTabIndex(), -1);
    EXPECT_FALSE(Tab(set, 2)->GetControl()->GetVisible());
    set->SetActiveTabIndex(1);
    // A refusing handler keeps the old tab and its control.
    events.Refuse = true;
    const size_t asked = events.Changing.size();
    set->SetActiveTabIndex(0);
    Tab(set, 2)->Click();
    EXPECT_EQ(events.Changing.size(), asked + 2);
    EXPECT_EQ(set->GetActiveTabIndex(), 1);
    EXPECT_TRUE(Tab(set, 1)->GetChecked());
    EXPECT_FALSE(Tab(set, 2)->GetChecked());
    EXPECT_TRUE(Tab(set, 1)->GetControl()->GetVisible());
}

TEST_F(XtTabSets, APressOnATabActivatesItOnceAndInsertionsKeepTheActiveTab) {
    TTabSetEvents events;
    TXtTabSet* set = MakeTabSet(400, 3, &events);
    Form->Show();
    PumpMessages(50);
    events.Changing.clear();
    events.Changes.clear();
    TXtToolbar* bar = set->GetToolbar();
    const TRect r = bar->GetView()->Find(Tab(set, 1))->BoundsRect;
    const LPARAM at = MAKELPARAM(r.Left + 5, r.Top + 5);
    bar->Perform(WM_MOUSEMOVE, 0, at);
    bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(set->GetActiveTabIndex(), 1);
    ASSERT_EQ(events.Changing.size(), 1u);
    EXPECT_EQ(events.Changing[0], std::make_pair(0, 1));
    EXPECT_EQ(events.Changes, std::vector<int>{1});
    // An item inserted before the active tab moves its index along.
    auto* first = TXtTabItem::Create(Form);
    set->GetItems()->Insert(0, first);
    EXPECT_EQ(set->GetActiveTabIndex(), 2);
    EXPECT_TRUE(Tab(set, 2)->GetChecked());
}

TEST_F(XtTabSets, DeletingTheActiveFirstTabActivatesTheNextOneAtIndexZero) {
    TTabSetEvents events;
    TXtTabSet* set = MakeTabSet(400, 3, &events);
    Form->Show();
    PumpMessages(50);
    ASSERT_EQ(set->GetActiveTabIndex(), 0);
    TXtTabItem* second = Tab(set, 1);
    Tab(set, 0)->Free();
    EXPECT_EQ(set->GetTabToolbar()->GetActiveTab(), second);
    PumpMessages(50);
    EXPECT_EQ(set->GetActiveTabIndex(), 0);
    EXPECT_EQ(set->GetTabToolbar()->GetActiveTab(), second);
    EXPECT_TRUE(second->GetChecked());
    EXPECT_TRUE(second->GetControl()->GetVisible());
    EXPECT_EQ(events.Changes.back(), 0);
    // Deleting the active last tab selects the one before it.
    set->SetActiveTabIndex(1);
    Tab(set, 1)->Free();
    EXPECT_EQ(set->GetActiveTabIndex(), 0);
    // Deleting the only tab leaves none.
    Tab(set, 0)->Free();
    PumpMessages(50);
    EXPECT_EQ(set->GetActiveTabIndex(), -1);
}

TEST_F(XtTabSets, TabsWithoutRoomHideFromTheEndAndComeBackWhenThereIsRoom) {
    TXtTabSet* set = MakeTabSet(400, 6);
    Form->Show();
    PumpMessages(50);
    for (int i = 0; i < 6; ++i) Tab(set, i)->SetCustomWidth(90);
    set->SetWidth(200);
    PumpMessages(50);
    TXtTabToolbar* bar = set->GetTabToolbar();
    bar->FitTabs();
    EXPECT_TRUE(Tab(set, 0)->GetVisible());
    EXPECT_TRUE(Tab(set, 1)->GetVisible());
    EXPECT_FALSE(Tab(set, 2)->GetVisible());
    EXPECT_EQ(bar->GetHiddenItems()->GetCount(), 4);
    // However narrow, the first tab stays.
    set->SetWidth(30);
    PumpMessages(50);
    bar->FitTabs();
    EXPECT_TRUE(Tab(set, 0)->GetVisible());
    EXPECT_FALSE(Tab(set, 1)->GetVisible());
    set->SetWidth(400);
    PumpMessages(50);
    bar->FitTabs();
    EXPECT_TRUE(Tab(set, 3)->GetVisible());
    EXPECT_FALSE(Tab(set, 5)->GetVisible());
    // Activating a hidden tab scrolls it into view.
    set->SetActiveTabIndex(5);
    EXPECT_TRUE(Tab(set, 5)->GetVisible());
    EXPECT_TRUE(Tab(set, 0)->GetVisible());
}

TEST_F(XtTabSets, DraggingTheActiveTabMovesItAndTheIndexFollows) {
    TTabSetEvents events;
    TXtTabSet* set = MakeTabSet(400, 3, &events);
    Form->Show();
    PumpMessages(50);
    TXtTabToolbar* bar = set->GetTabToolbar();
    bar->SetTabDragReorder(true);
    TXtTabItem* first = Tab(set, 0);
    auto* drag = TXtTabItemDragObject::Create(bar, first);
    EXPECT_EQ(drag->GetAcceptedCursor(), gcl::crDefault);
    const TRect last = bar->GetView()->Find(Tab(set, 2))->BoundsRect;
    gcl::TDragRec rec;
    rec.Pos = bar->ClientToScreen(TPoint{last.Right - 3, last.Top + 5});
    rec.Source = drag;
    rec.Target = bar;
    EXPECT_NE(bar->Perform(gcl::CM_DRAG, gcl::dmDragMove, reinterpret_cast<intptr_t>(&rec)), 0);
    EXPECT_EQ(set->GetItems()->IndexOf(first), 2);
    EXPECT_EQ(set->GetActiveTabIndex(), 2);
    EXPECT_EQ(events.Reorders, std::vector<int>{2});
    delete drag;
}

TEST_F(XtTabSets, ScreenshotOfTabSetsInEachStyle) {
    Form->SetBounds(60, 60, 440, 330);
    Form->SetCaption("Tab sets");
    int top = 4;
    for (TXtTabThemeType style : {tttWindows, tttNone, tttTx}) {
        auto* set = Make<TXtTabSet>(Form, 8, top, 410, 96);
        set->SetThemeType(style);
        for (const wchar_t* caption : {L"Todo Lists", L"Tags", L"Notes"}) AddTab(set, caption);
        set->SetActiveTabIndex(1);
        top += 102;
    }
    Form->Show();
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabsets_default.bmp"), 20);
    SelectTheme("Tristan");
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabsets_tristan.bmp"), 20);
}

} // namespace

namespace {

// ---- Tabs on a panel's caption bar, as the main window's side panel has them ----------------

TEST_F(XtTabs, TabItemsOnAPanelCaptionAt130Percent) {
    gcl::InitializeUnits({&XtDkPanelsUnit});
    Form->SetBounds(60, 60, 420, 300);
    Form->SetCaption("Side panel");
    auto* dock = Make<TTxDock>(Form, 0, 0, 0, 0);
    dock->SetPosition(dpLeft);
    auto* side = TXtDockablePanel::Create(Form);
    side->SetParent(dock);
    side->GetOptions()->SetClose(false);
    side->GetOptions()->SetCaption(false);
    side->GetOptions()->SetTitleBarSize(30);
    side->SetDockedWidth(220);
    std::vector<TXtTabItem*> tabs;
    for (const wchar_t* caption : {L"Todo Lists", L"Tags"}) {
        TXtTabItem* tab = TXtTabItem::Create(Form);
        tab->SetCaption(caption);
        tab->SetThemeType(tttTx);
        tab->GetFontSettings()->SetSize(130);
        side->GetItems()->Insert(side->GetItems()->GetCount() - 3, tab);
        tabs.push_back(tab);
    }
    tabs[0]->SetChecked(true);
    side->GetOptions()->ReorderButtons();
    Form->Show();
    PumpMessages(100);
    // A bigger font makes a taller, wider tab than the same caption at 100 %.
    TBarView* view = side->GetCaptionToolbar()->GetView();
    view->ValidatePositions();
    const TRect big = view->Find(tabs[1])->BoundsRect;
    tabs[1]->GetFontSettings()->SetSize(100);
    view->ValidatePositions();
    EXPECT_GT(big.Width(), view->Find(tabs[1])->BoundsRect.Width());
    tabs[1]->GetFontSettings()->SetSize(130);
    // Off a tab toolbar a click leaves the checking to the item's handler.
    tabs[1]->Click();
    EXPECT_FALSE(tabs[1]->GetChecked());
    EXPECT_TRUE(tabs[0]->GetChecked());
    PumpMessages(50);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabs_side_panel_default.bmp"), 20);
    SelectTheme("Tristan");
    PumpMessages(200);
    EXPECT_GT(SaveWindowScreenshot(Form->GetHandle(), "xt_tabs_side_panel_tristan.bmp"), 20);
}

} // namespace

namespace {

TEST_F(XtTabSets, HiddenTabsStreamByNameAndFindTheirItemsAgain) {
    TXtTabSet* set = MakeTabSet(400, 3);
    for (int i = 0; i < 3; ++i) Tab(set, i)->SetName("Tab" + std::to_string(i + 1));
    TXtItemCacheCollection* hidden = set->GetTabToolbar()->GetHiddenItems();
    hidden->AddItem(Tab(set, 2), TRect{150, 2, 220, 24});
    hidden->Add()->SetName("");
    gcl::TMemoryStream stream;
    gcl::WriteComponentToStream(stream, set);
    stream.SetPosition(0);
    auto* copy = Make<TXtTabSet>(Form, 10, 220, 400, 60);
    gcl::ReadComponentFromStream(stream, copy);
    TXtItemCacheCollection* read = copy->GetTabToolbar()->GetHiddenItems();
    ASSERT_EQ(read->GetCount(), 1);
    EXPECT_EQ(read->GetItems(0)->GetItem(), Tab(set, 2));
    EXPECT_EQ(read->GetItems(0)->GetLeft(), 150);
    EXPECT_EQ(read->GetItems(0)->GetWidth(), 70);
    EXPECT_EQ(read->GetItems(0)->GetHeight(), 22);
}

} // namespace

namespace {

TEST_F(XtTabSets, ItemsBehindASpacerStayAtTheEndWhileTabsHideAndScrollIn) {
    TXtTabSet* set = MakeTabSet(400, 5);
    auto* spacer = TXtRightAlignSpacerItem::Create(Form);
    auto* close = TXtItem::Create(Form);
    close->SetCaption(L"x");
    close->SetCustomWidth(20);
    set->GetItems()->Add(spacer);
    set->GetItems()->Add(close);
    for (int i = 0; i < 5; ++i) Tab(set, i)->SetCustomWidth(80);
    Form->Show();
    PumpMessages(50);
    set->SetWidth(260);
    PumpMessages(50);
    TXtTabToolbar* bar = set->GetTabToolbar();
    bar->FitTabs();
    bar->GetView()->ValidatePositions();
    EXPECT_TRUE(close->GetVisible());
    EXPECT_GE(spacer->GetCustomWidth(), 0);
    EXPECT_TRUE(Tab(set, 0)->GetVisible());
    EXPECT_FALSE(Tab(set, 4)->GetVisible());
    // The button behind the spacer ends at the bar's far edge.
    const TRect closeRect = bar->GetView()->Find(close)->BoundsRect;
    EXPECT_LE(closeRect.Right, bar->GetClientWidth());
    EXPECT_GT(closeRect.Right, bar->GetClientWidth() - 12);
    // Scrolling right brings the next hidden tab in and the second tab out;
    // the first stays.
    int firstHidden = -1;
    for (int i = 0; i < 5 && firstHidden < 0; ++i)
        if (!Tab(set, i)->GetVisible()) firstHidden = i;
    ASSERT_GT(firstHidden, 1);
    bar->ScrollRight();
    EXPECT_TRUE(Tab(set, firstHidden)->GetVisible());
    EXPECT_FALSE(Tab(set, 1)->GetVisible());
    EXPECT_TRUE(Tab(set, 0)->GetVisible());
    bar->ScrollLeft();
    EXPECT_TRUE(Tab(set, 1)->GetVisible());
}

} // namespace

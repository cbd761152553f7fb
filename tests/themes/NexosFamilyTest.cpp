// The Nexos family's kit (glass, round and striped fills on one-pixel
// and tall rectangles) and the nine themes built on it: their colour
// caches for the classic system colours, metrics, and the pixels that
// make each look.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "ThemeTestSupport.h"
#include "themes/TxDreamTheme.h"
#include "themes/TxNexos3Theme.h"
#include "themes/TxNexos5Theme.h"
#include "themes/TxNexosXTheme.h"
#include "themes/TxOfficeCTheme.h"
#include "themes/TxSentimoXTheme.h"
#include "theming/TxUtils.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::TDibCanvas;
using qelvo::test::TFixedSysColors;

namespace {

constexpr TColor Back = 0xFF00FF;

TColor Rgb(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

TTxItemInfo Item(uint32_t viewType, bool enabled = true, uint8_t hover = 0, bool pushed = false, bool selected = false) {
    TTxItemInfo info{};
    info.ViewType = viewType;
    info.Enabled = enabled;
    info.HoverKind = hover;
    info.Pushed = pushed;
    info.Selected = selected;
    info.ItemOptions = viewType & VT_TOOLBARGROUP ? IO_TOOLBARSTYLE : 0;
    return info;
}

// ---- The kit ---------------------------------------------------------------------------

TEST(NexosKit, GlassFaceRunsToItsTurnThenBackToTheFirstColour) {
    TDibCanvas canvas(4, 12, Back);
    FillGlassGradient(canvas.DC(), TRect{0, 0, 2, 11}, 0x000000, Rgb(90, 90, 90), true);
    EXPECT_EQ(canvas.Pixel(0, 0), Rgb(90, 90, 90));   // the second colour at the top
    EXPECT_EQ(canvas.Pixel(1, 10), Rgb(0, 0, 0));     // back to the first at the bottom
    // From the middle on it starts near the over-colour 90 - 90 * 15 / 9, clamped to 0.
    EXPECT_EQ(canvas.Pixel(0, 5), Rgb(0, 0, 0));
    // A first colour with more red runs flat in it over the second half.
    canvas.Fill(Back);
    FillGlassGradient(canvas.DC(), TRect{0, 0, 1, 11}, Rgb(200, 0, 0), Rgb(100, 0, 0), true);
    for (int y = 5; y <= 10; ++y) EXPECT_EQ(canvas.Pixel(0, y), Rgb(200, 0, 0)) << y;
    // Horizontal: from the middle toward the over-colour.
    canvas.Fill(Back);
    FillGlassGradient(canvas.DC(), TRect{0, 0, 4, 1}, Rgb(0, 0, 90), Rgb(0, 0, 0), false);
    EXPECT_EQ(canvas.Pixel(0, 0), Rgb(0, 0, 0));
}

TEST(NexosKit, OnePixelAndEmptyGradientsPaintOneLineOrNothing) {
    TDibCanvas canvas(20, 20, Back);
    FillGlassGradient(canvas.DC(), TRect{1, 1, 6, 2}, 0x123456, 0xFFFFFF, true);
    FillLineGradient(canvas.DC(), TRect{1, 3, 6, 4}, 0x123456, 0xFFFFFF, true);
    FillRoundGradient(canvas.DC(), TRect{1, 5, 14, 6}, 0x123456, 0xFFFFFF, false);
    FillRoundGradient(canvas.DC(), TRect{1, 7, 14, 8}, 0x123456, 0xFFFFFF, true);
    FillGlassGradient(canvas.DC(), TRect{10, 1, 11, 4}, 0x123456, 0xFFFFFF, false);
    // The single line takes the far colour.
    EXPECT_EQ(canvas.Pixel(3, 1), 0x123456u);
    EXPECT_EQ(canvas.Pixel(3, 3), 0x123456u);
    EXPECT_EQ(canvas.Pixel(5, 5), 0x123456u);
    EXPECT_EQ(canvas.Pixel(5, 7), 0x123456u);
    EXPECT_EQ(canvas.Pixel(10, 2), 0x123456u);
    // The radio row keeps its inset of 3.
    EXPECT_EQ(canvas.Pixel(3, 5), Back);
    EXPECT_EQ(canvas.Pixel(4, 5), 0x123456u);
    const int painted = canvas.CountNot(TRect{0, 0, 20, 20}, Back);
    for (const TRect& r : {TRect{2, 12, 2, 18}, TRect{2, 12, 9, 12}, TRect{9, 18, 2, 12}}) {
        FillGlassGradient(canvas.DC(), r, 0, 0xFFFFFF, true);
        FillGlassGradient(canvas.DC(), r, 0, 0xFFFFFF, false);
        FillLineGradient(canvas.DC(), r, 0, 0xFFFFFF, true);
        FillRoundGradient(canvas.DC(), r, 0, 0xFFFFFF, true);
        FillThreeStopRound(canvas.DC(), r, true);
        FillStriped(canvas.DC(), r, TRect{0, 0, 20, 20}, 0x808080, TStripes{});
    }
    EXPECT_EQ(canvas.CountNot(TRect{0, 0, 20, 20}, Back), painted);
}

TEST(NexosKit, RadioRowsPastTheInsetTableAreNotInset) {
    EXPECT_EQ(RadioRowInset(0), 3);
    EXPECT_EQ(RadioRowInset(10), 3);
    EXPECT_EQ(RadioRowInset(11), 0);
    EXPECT_EQ(RadioRowInset(500), 0);
    EXPECT_EQ(RadioRowInset(-1), 0);
    TDibCanvas canvas(20, 40, Back);
    FillRoundGradient(canvas.DC(), TRect{2, 2, 15, 32}, 0x000000, 0xFFFFFF, false);
    FillThreeStopRound(canvas.DC(), TRect{2, 2, 15, 32}, false);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 20, 40}, Back), 20 * 40 - 13 * 30 + 2 * (3 + 1 + 1 + 1 + 1 + 3));
}

TEST(NexosKit, StripesRepeatFromTheViewsTopInsideTheClip) {
    TDibCanvas canvas(10, 20, Back);
    // Period 3 from row 1; the clip starts at row 6 (the first of a period).
    FillStriped(canvas.DC(), TRect{0, 1, 10, 20}, TRect{0, 6, 10, 13}, 0xF4F4F4, TStripes{});
    EXPECT_EQ(canvas.Pixel(3, 5), Back);
    EXPECT_EQ(canvas.Pixel(3, 7), Rgb(236, 236, 236));  // the dark row
    EXPECT_EQ(canvas.Pixel(3, 8), Rgb(252, 252, 252));  // the light row
    EXPECT_EQ(canvas.Pixel(3, 9), Rgb(244, 244, 244));
    EXPECT_EQ(canvas.Pixel(3, 10), Rgb(236, 236, 236));
    EXPECT_EQ(canvas.Pixel(3, 13), Back);
    // Period 5 with no light row.
    canvas.Fill(Back);
    FillStriped(canvas.DC(), TRect{0, 0, 10, 10}, TRect{0, 0, 10, 10}, 0xFFFFFF,
                TStripes{.Period = 5, .DarkRow = 0, .LightRow = -1, .DarkShift = -12});
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 1, 10}, Rgb(243, 243, 243)), "#\n.\n.\n.\n.\n#\n.\n.\n.\n.\n");
}

// ---- The themes --------------------------------------------------------------------------

class NexosThemes : public testing::Test {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
    void TearDown() override {
        for (TTxTheme*& theme : FThemes) ReleaseTheme(theme);
    }
    TTxNexosFamilyTheme* Theme(const char* name) {
        TTxTheme* theme = AcquireTheme(name);
        FThemes.push_back(theme);
        theme->SetupColorCache();
        return static_cast<TTxNexosFamilyTheme*>(theme);
    }

    TFixedSysColors FColors;
    std::vector<TTxTheme*> FThemes;
};

TEST_F(NexosThemes, Nexos2CacheAndMetrics) {
    auto* t = Theme("Nexos2");
    const TNexosColorCache& c = t->Cache();
    const TColor base = 0x30C8A8;
    EXPECT_EQ(c.MenuBarBackground, 0xF4F4F4u);
    EXPECT_EQ(c.ToolbarBackground, 0xF4F4F4u);
    EXPECT_EQ(c.PopupBackground, 0xFFFFFFu);
    EXPECT_EQ(c.DockPanelBackground, 0xFFFFFFu);
    EXPECT_EQ(c.ToolbarShadowColor, 0xA0A0A0u);
    EXPECT_EQ(c.EditFrameColor, MixColors(0xC0C0C0, 0xFFFFFF, 80));
    EXPECT_EQ(c.PopupBorderColor, 0xC0C0C0u);
    EXPECT_EQ(c.FloatingFrameColors[frActive][fpBorder], MixColors(0x808080, 0xFFFFFF, 80));
    EXPECT_EQ(c.FloatingFrameColors[frInactive][fpCaption], base);
    EXPECT_EQ(c.PanelFrameColors[frInactive][fpBorder], 0x808080u);
    EXPECT_EQ(c.MenuItemColorTable[mrNormal][cpBody], clNone);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], base);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpText], 0xFFFFFFu);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpFrame], c.ButtonColorTable[brHot][cpFrame]);
    EXPECT_EQ(c.MenuItemColorTable[mrDisabledHot][cpText], MixColors(0x808080, 0xFFFFFF, 50));
    EXPECT_EQ(c.ButtonColorTable[brNormal][cpText], 0x000000u);
    EXPECT_EQ(c.ButtonColorTable[brDisabled][cpBody], 0xFFFFFFu);
    EXPECT_EQ(c.ButtonColorTable[brDisabled][cpFrame], MixColors(0xC0C0C0, 0xFFFFFF, 50));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], MixColors(base, 0xFFFFFF, 80));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpFrame], base);
    EXPECT_EQ(c.ButtonColorTable[brHot][cpText], 0xFFFFFFu);
    EXPECT_EQ(c.ButtonColorTable[brDisabledHot][cpBody], c.ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(c.ButtonColorTable[brDisabledHot][cpText], MixColors(gcl::clBtnShadow, gcl::clWindow, 90));
    EXPECT_EQ(c.ButtonColorTable[brCheckedHot][cpText], 0x000000u);
    EXPECT_EQ(c.ButtonColorTable[brPopupOpen][cpFrame], base);
    EXPECT_EQ(c.MenuSplitLineColor, 0x000000u);
    EXPECT_EQ(t->UnitColors().CaptionStartColor, MixColors(base, 0xFFFFFF, 80));
    const std::pair<int, int> metrics[] = {{10, 12}, {20, 8}, {21, 3}, {32, 3}, {33, 3}, {34, 3}, {35, 3}, {36, 2},
                                           {37, 2},  {50, 5}, {60, 1}, {61, 2}, {62, 2}, {65, 14}, {66, 1}, {99, -1}};
    for (const auto& [index, value] : metrics) EXPECT_EQ(t->IntegerMetric(index), value) << index;
    EXPECT_TRUE(t->BooleanMetric(6));
    EXPECT_FALSE(t->BooleanMetric(1));
    EXPECT_EQ(t->PopupShadowKind(), 3);
    TPoint border;
    t->ViewBorder(VT_POPUPMENU, border);
    EXPECT_EQ(border, (TPoint{2, 2}));
    t->ViewBorder(VT_STATUSBAR, border);
    EXPECT_EQ(border, (TPoint{0, 0}));
    EXPECT_EQ(t->ViewColor(VT_LISTPOPUP), gcl::clWindow);
}

TEST_F(NexosThemes, Nexos3IsGreyWithABlueAccentAndBlackHotText) {
    auto* t = Theme("Nexos3");
    const TNexosColorCache& c = t->Cache();
    const TColor base = 0xE0A030;
    EXPECT_EQ(t->Options().BaseColor, base);
    EXPECT_EQ(c.ToolbarBackground, 0xF7F7F7u);
    EXPECT_EQ(c.PopupBackground, 0xF7F7F7u);
    EXPECT_EQ(c.DockPanelBackground, 0xF7F7F7u);
    EXPECT_EQ(c.ButtonColorTable[brHot][cpText], 0x000000u);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpText], 0xFFFFFFu);
    EXPECT_EQ(c.ButtonColorTable[brHot][cpFrame], MixColors(base, 0xFFFFFF, 80));
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpFrame], MixColors(base, 0xFFFFFF, 80));
    EXPECT_EQ(c.ButtonColorTable[brChecked][cpFrame], MixColors(base, 0xFFFFFF, 90));
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], MixColors(base, 0xFFFFFF, 50));
    EXPECT_EQ(c.ButtonColorTable[brCheckedHot][cpFrame], MixColors(base, 0xFFFFFF, 75));
    EXPECT_EQ(c.PanelFrameColors[frInactive][fpBorder], 0xC0C0C0u);
    EXPECT_EQ(c.PanelFrameColors[frActive][fpBorder], c.FloatingFrameColors[frActive][fpBorder]);
    // The grey accent: a smoke test of the other branch.
    Nexos3Options.BlueAccent = false;
    t->SetupColorCache();
    EXPECT_EQ(t->Options().BaseColor, 0xA8A8A8u);
    EXPECT_EQ(t->Cache().ButtonColorTable[brPushed][cpFrame], 0xA8A8A8u);
    TDibCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 20}, Item(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(15, 1), Rgb(248, 248, 248));  // the Plain stops
    Nexos3Options.BlueAccent = true;
    t->SetupColorCache();
    EXPECT_EQ(t->Options().BaseColor, base);
}

TEST_F(NexosThemes, Nexos4AndNexos5Caches) {
    auto* four = Theme("Nexos4");
    auto* five = Theme("Nexos5");
    const TColor base = 0xF6DAC9;
    for (auto* t : {four, five}) {
        const TNexosColorCache& c = t->Cache();
        EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], base);
        EXPECT_EQ(c.MenuItemColorTable[mrHot][cpText], 0x000000u);
        EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], MixColors(base, 0xFFFFFF, 80));
        EXPECT_EQ(c.ButtonColorTable[brChecked][cpFrame], MixColors(0xC0C0C0, 0xFFFFFF, 50));
        EXPECT_EQ(c.ButtonColorTable[brHot][cpText], 0x000000u);
        EXPECT_EQ(t->Options().MixedColor, MixColors(base, 0xC0C0C0, 90));
        EXPECT_EQ(t->IntegerMetric(32), 0);
        EXPECT_EQ(t->IntegerMetric(33), 8);
        EXPECT_EQ(t->IntegerMetric(65), 14);
        EXPECT_EQ(t->IntegerMetric(35), 3);
    }
    EXPECT_EQ(four->Cache().ToolbarBackground, 0xF4F4F4u);
    EXPECT_EQ(four->Cache().ToolbarShadowColor, 0xA0A0A0u);
    EXPECT_FALSE(four->Options().ColoredCaptions);
    EXPECT_EQ(five->Cache().ToolbarBackground, 0xFFFFFFu);
    EXPECT_EQ(five->Cache().MenuBarBackground, 0xFFFFFFu);
    EXPECT_EQ(five->Cache().ToolbarShadowColor, 0xA8A8A8u);
    EXPECT_TRUE(five->Options().ColoredCaptions);
    EXPECT_EQ(five->Cache().FloatingFrameColors[frActive][fpCaptionText], 0x000000u);
}

TEST_F(NexosThemes, NexosXDreamReliferSentimoXAndOfficeCCaches) {
    auto* x = Theme("NexosX");
    EXPECT_EQ(x->Cache().MenuItemColorTable[mrHot][cpBody], 0xD09020u);
    EXPECT_EQ(x->Cache().MenuItemColorTable[mrHot][cpText], 0xFFFFFFu);
    EXPECT_EQ(x->Cache().ButtonColorTable[brCheckedHot][cpText], 0x000000u);
    EXPECT_EQ(x->IntegerMetric(32), 3);

    auto* dream = Theme("Dream");
    const TNexosColorCache& d = dream->Cache();
    EXPECT_EQ(d.MenuBarBackground, 0xFFFFFFu);
    EXPECT_EQ(d.ToolbarBackground, 0xDCD8D0u);
    EXPECT_EQ(d.FloatingFrameColors[frInactive][fpCaption], gcl::clBtnFace);  // not snapped
    EXPECT_EQ(d.PanelFrameColors[frInactive][fpBorder], gcl::clBtnShadow);
    EXPECT_EQ(d.ButtonColorTable[brPushed][cpFrame], 0x0000FFu);
    EXPECT_EQ(d.ButtonColorTable[brPushed][cpBody], MixColors(gcl::clHighlight, gcl::clWindow, 30));
    EXPECT_EQ(d.ButtonColorTable[brHot][cpFrame], 0xA0A0A0u);
    EXPECT_EQ(d.MenuItemColorTable[mrHot][cpFrame], 0xC0C0C0u);
    EXPECT_EQ(d.MenuItemColorTable[mrHot][cpBody], d.ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(d.ButtonColorTable[brPopupOpen][cpBody], d.ToolbarBackground);
    EXPECT_EQ(d.MenuSplitLineColor, 0xC0C0C0u);
    EXPECT_EQ(dream->IntegerMetric(32), 0);
    EXPECT_EQ(dream->IntegerMetric(33), 8);
    EXPECT_EQ(dream->IntegerMetric(35), 7);
    TPoint border;
    dream->ViewBorder(VT_POPUPMENU, border);
    EXPECT_EQ(border, (TPoint{1, 2}));
    EXPECT_EQ(DreamToolbarShadowColor, 0xB0B0B0u);

    auto* relifer = static_cast<TTxReliferTheme*>(Theme("Relifer"));
    auto* sentimo = static_cast<TTxReliferTheme*>(Theme("SentimoX"));
    for (TTxReliferTheme* t : {relifer, sentimo}) {
        const TReliferColorCache& c = t->ReliferCache();
        EXPECT_EQ(c.ToolbarBackground, 0xF0F0F0u);
        EXPECT_EQ(c.PopupBackground, 0xF0F0F0u);
        EXPECT_EQ(c.ToolbarShadowColor, 0xA8A8A8u);
        EXPECT_EQ(c.BevelLightColor, 0xFFFFFFu);
        EXPECT_EQ(c.BevelShadowColor, 0xC0C0C0u);
        EXPECT_EQ(c.FloatingFrameColors[frActive][fpCaptionText], 0x000000u);
        EXPECT_EQ(c.MenuItemColorTable[mrHot][cpText], 0x000000u);
        EXPECT_EQ(t->IntegerMetric(35), 4);
        EXPECT_EQ(t->IntegerMetric(50), 6);
        EXPECT_FALSE(t->BooleanMetric(4));
    }
    EXPECT_EQ(relifer->IntegerMetric(66), -1);
    EXPECT_EQ(sentimo->IntegerMetric(66), 1);

    auto* office = static_cast<TTxOfficeCTheme*>(Theme("OfficeC"));
    const TOfficeCColorCache& o = office->OfficeCCache();
    const TColor light = Rgb(255, 255, 191), dark = Rgb(191, 223, 0);
    EXPECT_EQ(OfficeC.SchemeLight, light);
    EXPECT_EQ(OfficeC.SchemeDark, dark);
    EXPECT_EQ(o.ToolbarBackground, light);
    EXPECT_EQ(o.PopupBackground, MixColors(light, gcl::clWindow, 143));
    EXPECT_EQ(o.MenuBarBackground, BlendColorNearest(light, dark, 128));
    EXPECT_EQ(office->ViewColor(VT_MENUBAR), OfficeC.MenuBarColor);
    EXPECT_EQ(o.MenuSeparatorColor, dark);
    EXPECT_EQ(o.PanelFrameColors[frActive][fpBorder], dark);
    EXPECT_EQ(o.ButtonColorTable[brPushed][cpBody], MixColors(dark, gcl::clWindow, 50));
    EXPECT_EQ(o.DisabledEditFrameColor, MixColors(dark, gcl::clBtnText, 80));
    EXPECT_EQ(office->IntegerMetric(50), -1);
    EXPECT_EQ(office->PopupShadowKind(), 2);
    EXPECT_TRUE(office->BooleanMetric(1));
}

// ---- Pixels -----------------------------------------------------------------------------------

TEST_F(NexosThemes, Nexos2HotItemsAreStripedInTheGreenAccent) {
    auto* t = Theme("Nexos2");
    TDibCanvas canvas(60, 30, Back);
    t->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 21}, Item(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(30, 2), 0x30C8A8u);
    EXPECT_NE(canvas.Pixel(30, 0), 0x30C8A8u);  // the dark row of the period
    EXPECT_EQ(canvas.Pixel(30, 21), Back);
    // The plain toolbar background: rows dark, light, base.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 60, 30}, TRect{0, 0, 60, 30}, 0xF4F4F4, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pixel(5, 0), Rgb(236, 236, 236));
    EXPECT_EQ(canvas.Pixel(5, 1), Rgb(252, 252, 252));
    EXPECT_EQ(canvas.Pixel(5, 2), Rgb(244, 244, 244));
    // A hot button: a glass face from white toward the hot face, a cut-corner outline.
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(15, 1), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(15, 20), t->Cache().ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(canvas.Pixel(15, 0), t->Cache().ButtonColorTable[brHot][cpFrame]);
    EXPECT_EQ(canvas.Pixel(0, 0), Back);  // the cut corner
    // A pushed one: the line gradient from the second colour down to white in a dark frame.
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 2, true));
    EXPECT_EQ(canvas.Pixel(15, 1), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(15, 20), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(15, 0), 0x787878u);
    EXPECT_EQ(canvas.Pixel(29, 11), 0xA8A8A8u);
}

TEST_F(NexosThemes, Nexos3HotButtonsTakeTheLightThreeStopFace) {
    auto* t = Theme("Nexos3");
    TDibCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(15, 1), Rgb(240, 248, 255));
    EXPECT_EQ(canvas.Pixel(15, 7), Rgb(128, 176, 224));
    // The stripes have a period of four rows: dark, base, light, base.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 30}, TRect{0, 0, 40, 30}, 0xF7F7F7, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 1, 8}, 0xF7F7F7), ".\n#\n.\n#\n.\n#\n.\n#\n");
}

TEST_F(NexosThemes, Nexos5TexturesOneRowInFiveAndDashesItsGrip) {
    auto* t = Theme("Nexos5");
    TDibCanvas canvas(80, 40, Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 40}, TRect{0, 0, 80, 40}, 0xFFFFFF, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 1, 10}, 0xFFFFFF), ".\n#\n#\n#\n#\n.\n#\n#\n#\n#\n");
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
    frame.AllowDrag = true;
    frame.DragHandleStyle = 0;
    canvas.Fill(Back);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 80, 26}, frame);
    // Dashes four pixels long at the handle's start, every four rows.
    EXPECT_EQ(canvas.Pixel(3, 6), 0xAFAFAFu);
    EXPECT_EQ(canvas.Pixel(6, 6), 0xAFAFAFu);
    EXPECT_EQ(canvas.Pixel(5, 7), 0xCECAC7u);
    EXPECT_EQ(canvas.Pixel(3, 10), 0xAFAFAFu);
}

TEST_F(NexosThemes, NexosXCheckedButtonsAreGreyGlassAndHotMenuItemsBlue) {
    auto* t = Theme("NexosX");
    TDibCanvas canvas(60, 30, Back);
    t->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 21}, Item(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(30, 2), 0xD09020u);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 0, false, true));
    EXPECT_EQ(canvas.Pixel(15, 0), 0x484848u);
    EXPECT_EQ(canvas.Pixel(15, 1), 0x969696u);  // the line under the frame
    EXPECT_EQ(canvas.Pixel(15, 2), 0xB1B1B1u);  // the glass face, from 0xB0B0B0 at its top
    EXPECT_EQ(canvas.Pixel(15, 20), 0xC0C0C0u);
}

TEST_F(NexosThemes, DreamCheckedFacesAreCreamAndTurnOrangeWhenHot) {
    auto* t = Theme("Dream");
    TDibCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 0, false, true));
    EXPECT_NEAR(static_cast<int>(BValue(canvas.Pixel(15, 2))), 208, 2);  // from 0xD0F8FF at the top
    EXPECT_EQ(canvas.Pixel(15, 20), Rgb(255, 253, 240));                  // to 0xF0FDFF at the bottom
    EXPECT_EQ(canvas.Pixel(15, 1), 0xB0D4DFu);            // the inner edge
    EXPECT_EQ(canvas.Pixel(15, 0), 0x808080u);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, Item(VT_TOOLBAR, true, 2, false, true));
    EXPECT_NEAR(static_cast<int>(GValue(canvas.Pixel(15, 2))), 144, 8);  // orange at the top
    EXPECT_EQ(canvas.Pixel(15, 20), Rgb(255, 224, 128));                 // yellow at the bottom
    EXPECT_EQ(canvas.Pixel(15, 1), 0x60B0E8u);
    // The bars: white at the top to the grey of the bars at the bottom.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 20}, TRect{0, 0, 40, 20}, 0, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 19), 0xDCD8D0u);
}

TEST_F(NexosThemes, ReliferBevelsAndSentimoXGlassHighlights) {
    auto* relifer = Theme("Relifer");
    auto* sentimo = Theme("SentimoX");
    TDibCanvas canvas(60, 30, Back);
    relifer->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 60, 30}, TTxPopupFrameInfo{});
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 29), 0xD0D0D0u);
    EXPECT_EQ(canvas.Pixel(59, 10), 0xD0D0D0u);
    EXPECT_EQ(canvas.Pixel(30, 15), 0xF0F0F0u);
    canvas.Fill(Back);
    relifer->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 20}, Item(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 19), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(30, 10), Back);
    canvas.Fill(Back);
    sentimo->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 20}, Item(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), sentimo->Cache().ButtonColorTable[brHot][cpFrame]);  // square outline
    EXPECT_EQ(canvas.Pixel(30, 1), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(30, 18), 0xF6DAC9u);
}

TEST_F(NexosThemes, OfficeCToolbarsRunFromTheLightToTheDarkScheme) {
    auto* t = Theme("OfficeC");
    TDibCanvas canvas(80, 40, Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 24}, TRect{0, 0, 80, 24}, 0, false, VT_TOOLBAR);
    EXPECT_FALSE(OfficeC.VerticalBackground);
    const TColor top = canvas.Pixel(10, 0), bottom = canvas.Pixel(10, 23);
    EXPECT_GT(BValue(top), BValue(bottom));  // from yellow-white toward yellow-green
    EXPECT_NEAR(static_cast<int>(BValue(bottom)), 0, 16);
    // A vertical toolbar turns the faces of its buttons.
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 24, 80}, TRect{0, 0, 24, 80}, 0, false, VT_TOOLBAR);
    EXPECT_TRUE(OfficeC.VerticalBackground);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 22, 22}, Item(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(1, 10), 0xFFFFFFu);  // the hot face white at its left
    EXPECT_EQ(canvas.Pixel(20, 1), OfficeC.SchemeHotDark);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 24}, TRect{0, 0, 80, 24}, 0, false, VT_TOOLBAR);
    // Popups: a horizontal gradient over their whole width.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 30}, TRect{0, 0, 80, 30}, 0x00FF00, false, VT_POPUPMENU);
    EXPECT_EQ(canvas.Pixel(0, 10), OfficeC.GradientLight);
    EXPECT_EQ(canvas.Pixel(79, 10), OfficeC.GradientDark);
}

} // namespace

// The Nexos family's kit (glass, round and striped fills on one-pixel
// and tall rectangles) and the nine themes built on it: their colour
// caches for the classic system colours, metrics, the pixels that make
// each look, and where members part from the common form (edit buttons,
// captions, toolbar frames, grips, spin separators, split lines).
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
using qelvo::test::PixelCanvas;
using qelvo::test::TFixedSysColors;

using qelvo::test::Back;
using qelvo::test::Rgb;

namespace {

constexpr TColor Panel = 0x00FF00;  // the panel colour the caller leaves on the brush

TTxItemInfo NexosItem(uint32_t viewType, bool enabled = true, uint8_t hover = 0, bool pushed = false, bool selected = false) {
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
    PixelCanvas canvas(4, 12, Back);
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
    PixelCanvas canvas(20, 20, Back);
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
    PixelCanvas canvas(20, 40, Back);
    FillRoundGradient(canvas.DC(), TRect{2, 2, 15, 32}, 0x000000, 0xFFFFFF, false);
    FillThreeStopRound(canvas.DC(), TRect{2, 2, 15, 32}, false);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 20, 40}, Back), 20 * 40 - 13 * 30 + 2 * (3 + 1 + 1 + 1 + 1 + 3));
}

TEST(NexosKit, StripesRepeatFromTheViewsTopInsideTheClip) {
    PixelCanvas canvas(10, 20, Back);
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

// A docked toolbar's frame record.
TTxToolbarFrameInfo DockedFrame(bool allowDrag, uint32_t closeState = 0) {
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
    frame.AllowDrag = allowDrag;
    frame.CloseButtonState = closeState;
    return frame;
}

TTxPanelCaptionInfo PanelCaption(bool top, uint32_t closeState = 0) {
    TTxPanelCaptionInfo info;
    info.IsVertical = top;
    info.BorderSize = {2, 2};
    info.DragHandleStyle = 1;  // shows its caption
    info.CloseButtonState = closeState;
    info.Caption = "WWWW";
    return info;
}

TTxFloatingFrameInfo FloatingCaption(uint32_t parts, uint32_t closeState = 0) {
    TTxFloatingFrameInfo info;
    info.ViewType = VT_TOOLBAR | VT_FLOATING;
    info.ClientWidth = 100;
    info.ClientHeight = 40;
    info.ShowCaption = true;
    info.BorderSize = {3, 3};
    info.CloseButtonState = closeState;
    info.RedrawPart = parts;
    info.Caption = "WWWW";
    info.Active = true;
    return info;
}

// Changes a unit's option values for one test.
class TOptionsScope {
public:
    explicit TOptionsScope(TTxNexosFamilyTheme* theme)
        : FOptions(const_cast<TNexosOptions&>(theme->Options())), FSaved(FOptions) {}
    ~TOptionsScope() { FOptions = FSaved; }
    TNexosOptions* operator->() { return &FOptions; }

private:
    TNexosOptions& FOptions;
    TNexosOptions FSaved;
};


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
    static int CaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

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
    PixelCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 20}, NexosItem(VT_TOOLBAR, true, 2));
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
    PixelCanvas canvas(60, 30, Back);
    t->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 21}, NexosItem(VT_POPUPMENU, true, 2));
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
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(15, 1), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(15, 20), t->Cache().ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(canvas.Pixel(15, 0), t->Cache().ButtonColorTable[brHot][cpFrame]);
    EXPECT_EQ(canvas.Pixel(0, 0), Back);  // the cut corner
    // A pushed one: the line gradient from the second colour down to white in a dark frame.
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 2, true));
    EXPECT_EQ(canvas.Pixel(15, 1), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(15, 20), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(15, 0), 0x787878u);
    EXPECT_EQ(canvas.Pixel(29, 11), 0xA8A8A8u);
}

TEST_F(NexosThemes, Nexos3HotButtonsTakeTheLightThreeStopFace) {
    auto* t = Theme("Nexos3");
    PixelCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(15, 1), Rgb(240, 248, 255));
    EXPECT_EQ(canvas.Pixel(15, 7), Rgb(128, 176, 224));
    // The stripes have a period of four rows: dark, base, light, base.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 30}, TRect{0, 0, 40, 30}, 0xF7F7F7, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 1, 8}, 0xF7F7F7), ".\n#\n.\n#\n.\n#\n.\n#\n");
}

TEST_F(NexosThemes, Nexos5TexturesOneRowInFiveAndDashesItsGrip) {
    auto* t = Theme("Nexos5");
    PixelCanvas canvas(80, 40, Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 40}, TRect{0, 0, 80, 40}, 0xFFFFFF, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 1, 10}, 0xFFFFFF), ".\n#\n#\n#\n#\n.\n#\n#\n#\n#\n");
    TTxToolbarFrameInfo frame = DockedFrame(true);
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
    PixelCanvas canvas(60, 30, Back);
    t->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 21}, NexosItem(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(30, 2), 0xD09020u);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 0, false, true));
    EXPECT_EQ(canvas.Pixel(15, 0), 0x484848u);
    EXPECT_EQ(canvas.Pixel(15, 1), 0x969696u);  // the line under the frame
    EXPECT_EQ(canvas.Pixel(15, 2), 0xB1B1B1u);  // the glass face, from 0xB0B0B0 at its top
    EXPECT_EQ(canvas.Pixel(15, 20), 0xC0C0C0u);
}

TEST_F(NexosThemes, DreamCheckedFacesAreCreamAndTurnOrangeWhenHot) {
    auto* t = Theme("Dream");
    PixelCanvas canvas(40, 30, Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 0, false, true));
    EXPECT_NEAR(static_cast<int>(BValue(canvas.Pixel(15, 2))), 208, 2);  // from 0xD0F8FF at the top
    EXPECT_EQ(canvas.Pixel(15, 20), Rgb(255, 253, 240));                  // to 0xF0FDFF at the bottom
    EXPECT_EQ(canvas.Pixel(15, 1), 0xB0D4DFu);            // the inner edge
    EXPECT_EQ(canvas.Pixel(15, 0), 0x808080u);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 30, 22}, NexosItem(VT_TOOLBAR, true, 2, false, true));
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
    PixelCanvas canvas(60, 30, Back);
    relifer->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 60, 30}, TTxPopupFrameInfo{});
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 29), 0xD0D0D0u);
    EXPECT_EQ(canvas.Pixel(59, 10), 0xD0D0D0u);
    EXPECT_EQ(canvas.Pixel(30, 15), 0xF0F0F0u);
    canvas.Fill(Back);
    relifer->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 20}, NexosItem(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 19), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(30, 10), Back);
    canvas.Fill(Back);
    sentimo->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 20}, NexosItem(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), sentimo->Cache().ButtonColorTable[brHot][cpFrame]);  // square outline
    EXPECT_EQ(canvas.Pixel(30, 1), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(30, 18), 0xF6DAC9u);
}

// Each of Relifer's bevels, corner by corner: which line takes the
// top-right and bottom-left pixels differs from one caller to the next.
TEST_F(NexosThemes, ReliferBevelCornersFollowEachCaller) {
    for (const char* name : {"Relifer", "SentimoX"}) {
        auto* t = static_cast<TTxReliferTheme*>(Theme(name));
        const TColor light = t->ReliferCache().BevelLightColor, shadow = t->ReliferCache().BevelShadowColor;
        ASSERT_NE(light, shadow);
        PixelCanvas canvas(70, 40, Back);
        // The popup frame: white along the whole top row, grey up the right
        // column from the second row and along the whole bottom row.
        t->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 60, 30}, TTxPopupFrameInfo{});
        EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFFFFu) << name;
        EXPECT_EQ(canvas.Pixel(59, 0), 0xFFFFFFu) << name << ": top right";
        EXPECT_EQ(canvas.Pixel(59, 1), 0xD0D0D0u) << name;
        EXPECT_EQ(canvas.Pixel(0, 28), 0xFFFFFFu) << name;
        EXPECT_EQ(canvas.Pixel(0, 29), 0xD0D0D0u) << name << ": bottom left";
        EXPECT_EQ(canvas.Pixel(59, 29), 0xD0D0D0u) << name;
        EXPECT_EQ(canvas.Pixel(60, 0), Back) << name;
        EXPECT_EQ(canvas.Pixel(0, 30), Back) << name;

        // A docked toolbar's raised frame: the shadow takes both corners.
        canvas.Fill(Back);
        TTxToolbarFrameInfo frame;
        frame.ViewType = VT_TOOLBAR;
        t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 4, 60, 30}, frame);
        EXPECT_EQ(canvas.Pixel(0, 4), light) << name;
        EXPECT_EQ(canvas.Pixel(58, 4), light) << name;
        EXPECT_EQ(canvas.Pixel(59, 4), shadow) << name << ": top right";
        EXPECT_EQ(canvas.Pixel(0, 28), light) << name;
        EXPECT_EQ(canvas.Pixel(0, 29), shadow) << name << ": bottom left";
        EXPECT_EQ(canvas.Pixel(59, 29), shadow) << name;

        // A pushed menu-bar item: sunken, its top-right pixel left to the fill.
        canvas.Fill(Back);
        TTxItemInfo bar = NexosItem(VT_MENUBAR, true, 2, true);
        t->PaintButton(canvas.Canvas(), TRect{0, 0, 40, 20}, bar);
        EXPECT_EQ(canvas.Pixel(0, 0), shadow) << name;
        EXPECT_EQ(canvas.Pixel(38, 0), shadow) << name;
        EXPECT_EQ(canvas.Pixel(39, 0), 0xE0E0E0u) << name << ": top right";
        EXPECT_EQ(canvas.Pixel(39, 1), light) << name;
        EXPECT_EQ(canvas.Pixel(0, 18), shadow) << name;
        EXPECT_EQ(canvas.Pixel(0, 19), light) << name << ": bottom left";
        EXPECT_EQ(canvas.Pixel(20, 10), 0xE0E0E0u) << name;
    }

    auto* t = static_cast<TTxReliferTheme*>(Theme("Relifer"));
    const TColor light = t->ReliferCache().BevelLightColor, shadow = t->ReliferCache().BevelShadowColor;
    PixelCanvas canvas(70, 40, Back);
    // A hot popup item's raised bevel: the shadow takes the top-right
    // pixel, the light the bottom-left; nothing beyond the item.
    t->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 60, 20}, NexosItem(VT_POPUPMENU, true, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), light);
    EXPECT_EQ(canvas.Pixel(58, 0), light);
    EXPECT_EQ(canvas.Pixel(59, 0), shadow) << "top right";
    EXPECT_EQ(canvas.Pixel(0, 19), light) << "bottom left";
    EXPECT_EQ(canvas.Pixel(1, 19), shadow);
    EXPECT_EQ(canvas.Pixel(59, 19), shadow);
    EXPECT_EQ(canvas.Pixel(0, 20), Back);

    // A checked menu item's check area (Left + 2, Top + 1 to the margin,
    // Bottom - 1): sunken grey, its top-right pixel left to the fill.
    canvas.Fill(Back);
    TTxItemInfo checked = NexosItem(VT_POPUPMENU, true, 0, false, true);
    checked.PopupMargin = 22;
    t->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 60, 20}, checked);
    EXPECT_EQ(canvas.Pixel(2, 1), shadow);
    EXPECT_EQ(canvas.Pixel(20, 1), shadow);
    EXPECT_EQ(canvas.Pixel(21, 1), 0xD0D0D0u) << "top right";
    EXPECT_EQ(canvas.Pixel(21, 2), light);
    EXPECT_EQ(canvas.Pixel(2, 17), shadow);
    EXPECT_EQ(canvas.Pixel(2, 18), light) << "bottom left";
    EXPECT_EQ(canvas.Pixel(21, 18), light);
    EXPECT_EQ(canvas.Pixel(10, 10), 0xD0D0D0u);
}

TEST_F(NexosThemes, OfficeCToolbarsRunFromTheLightToTheDarkScheme) {
    auto* t = Theme("OfficeC");
    PixelCanvas canvas(80, 40, Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 24}, TRect{0, 0, 80, 24}, 0, false, VT_TOOLBAR);
    EXPECT_FALSE(OfficeC.VerticalBackground);
    const TColor top = canvas.Pixel(10, 0), bottom = canvas.Pixel(10, 23);
    EXPECT_GT(BValue(top), BValue(bottom));  // from yellow-white toward yellow-green
    EXPECT_NEAR(static_cast<int>(BValue(bottom)), 0, 16);
    // A vertical toolbar turns the faces of its buttons.
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 24, 80}, TRect{0, 0, 24, 80}, 0, false, VT_TOOLBAR);
    EXPECT_TRUE(OfficeC.VerticalBackground);
    canvas.Fill(Back);
    t->PaintButton(canvas.Canvas(), TRect{0, 0, 22, 22}, NexosItem(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(1, 10), 0xFFFFFFu);  // the hot face white at its left
    EXPECT_EQ(canvas.Pixel(20, 1), OfficeC.SchemeHotDark);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 24}, TRect{0, 0, 80, 24}, 0, false, VT_TOOLBAR);
    // Popups: a horizontal gradient over their whole width.
    canvas.Fill(Back);
    t->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 80, 30}, TRect{0, 0, 80, 30}, 0x00FF00, false, VT_POPUPMENU);
    EXPECT_EQ(canvas.Pixel(0, 10), OfficeC.GradientLight);
    EXPECT_EQ(canvas.Pixel(79, 10), OfficeC.GradientDark);
}

// ---- Where the members part from the common form ------------------------------------------

// ---- Nexos2 ------------------------------------------------------------------------------------

TEST_F(NexosThemes, Nexos2EditButtonsHaveTheirOwnPushedFaceLinesAndDivider) {
    auto* t = Theme("Nexos2");
    const TNexosColorCache& c = t->Cache();
    PixelCanvas canvas(20, 24, Back);
    const TTxItemInfo item = NexosItem(VT_TOOLBAR);
    // A pushed drop-down button: the glass face in the accent's dark and
    // light ends, the frame's pen down its left edge.
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, item, TTxEditButtonInfo{EBT_DROPDOWN, EBDS_PRESSED});
    EXPECT_EQ(canvas.Pixel(6, 0), MixColors(0x30C8A8, 0xFFFFFF, 10));
    EXPECT_EQ(canvas.Pixel(6, 19), MixColors(0x30C8A8, 0x000000, 95));
    EXPECT_EQ(canvas.Pixel(1, 10), c.EditFrameColor);
    EXPECT_EQ(canvas.Pixel(0, 10), Back);
    // A plain one: framed, then the second colour down its (inset) left edge.
    canvas.Fill(Back);
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, item, TTxEditButtonInfo{EBT_DROPDOWN, 0});
    EXPECT_EQ(canvas.Pixel(6, 0), c.EditFrameColor);
    EXPECT_EQ(canvas.Pixel(1, 10), c.EditFrameColor);
    EXPECT_EQ(canvas.Pixel(2, 10), 0xC0C0C0u);
    // A spin pair, lower half pushed: the halves meet at row 10 (the lower
    // half starts at (Top + Bottom) / 2), its divider in the pen the plain
    // upper half left, its arrow white; the upper arrow in the text colour.
    canvas.Fill(Back);
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, item, TTxEditButtonInfo{EBT_SPIN, EBSS_DOWN});
    EXPECT_EQ(canvas.Pixel(6, 10), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(1, 15), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(7, 15), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(7, 4), 0x000000u);
    EXPECT_EQ(canvas.Pixel(6, 19), MixColors(0x30C8A8, 0x000000, 95));
}

TEST_F(NexosThemes, Nexos2PanelCaptionsWithoutColourShadeFromTheGripFace) {
    auto* t = Theme("Nexos2");
    TOptionsScope options(t);
    options->ColoredCaptions = false;
    const int h = CaptionHeight();
    PixelCanvas canvas(100, 60, Back);
    canvas.Canvas()->GetBrush()->SetColor(Panel);
    t->PaintPanelCaptionArea(canvas.Canvas(), TRect{0, 0, 100, 60}, PanelCaption(true));
    // The bar is h - 1 rows; the face covers the line beside it too and
    // ends in the shadow colour.
    EXPECT_EQ(canvas.Pixel(50, 2), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(50, 2 + h - 1), 0xA0A0A0u);
    EXPECT_EQ(canvas.Pixel(50, 2 + h), Back);
    // Coloured: the caption glass, white text.
    options->ColoredCaptions = true;
    canvas.Fill(Back);
    canvas.Canvas()->GetBrush()->SetColor(Panel);
    t->PaintPanelCaptionArea(canvas.Canvas(), TRect{0, 0, 100, 60}, PanelCaption(true));
    EXPECT_EQ(canvas.Pixel(90, 2), 0xFFFFFFu);
    EXPECT_GT(canvas.CountOf(TRect{2, 2, 40, 2 + h - 1}, 0xFFFFFF), 4);
}

TEST_F(NexosThemes, ItemCaptionsTakeTheFontColourExceptInNexos2) {
    PixelCanvas canvas(60, 20, Back);
    auto caption = [&](TTxNexosFamilyTheme* t) {
        canvas.Fill(0xFFFFFF);
        canvas.Canvas()->GetFont()->SetColor(0x0000FF);
        t->PaintCaption(canvas.Canvas(), TRect{0, 0, 60, 20}, NexosItem(VT_POPUPMENU), "WWW", DT_SINGLELINE | DT_VCENTER,
                        false);
        return canvas.CountOf(TRect{0, 0, 60, 20}, 0x0000FF);
    };
    EXPECT_EQ(caption(Theme("Nexos2")), 0);
    EXPECT_GT(caption(Theme("Nexos4")), 10);
    EXPECT_GT(caption(Theme("Nexos3")), 10);
}

// ---- Nexos3 ------------------------------------------------------------------------------------

TEST_F(NexosThemes, Nexos3ToolbarFramesRiseByTwoAndShadeOnlyWithABorder) {
    auto* t = Theme("Nexos3");
    PixelCanvas canvas(60, 30, Back);
    TTxToolbarFrameInfo frame = DockedFrame(false);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 2, 60, 26}, frame);
    EXPECT_NE(canvas.Pixel(30, 0), Back);  // raised by 2
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 60, 30}, 0xA0A0A0), 0);
    frame.BorderStyle = 1;
    canvas.Fill(Back);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 2, 60, 26}, frame);
    EXPECT_NE(canvas.Pixel(59, 2), 0xA0A0A0u);
    EXPECT_EQ(canvas.Pixel(59, 3), 0xA0A0A0u);  // the right edge from the raised top + 3
    EXPECT_EQ(canvas.Pixel(30, 25), 0xA0A0A0u);
    EXPECT_NE(canvas.Pixel(0, 25), 0xA0A0A0u);
    // A vertical toolbar is not raised.
    frame.IsVertical = true;
    canvas.Fill(Back);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 2, 26, 28}, frame);
    EXPECT_EQ(canvas.Pixel(10, 1), Back);
    EXPECT_EQ(canvas.Pixel(25, 5), 0xA0A0A0u);
    EXPECT_NE(canvas.Pixel(25, 4), 0xA0A0A0u);
}

TEST_F(NexosThemes, Nexos3FloatingCaptionsReachOnePixelBeyondTheBar) {
    const int h = CaptionHeight();
    PixelCanvas canvas(110, 50, Back);
    Theme("Nexos2")->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 106, 46}, FloatingCaption(RP_CAPTION));
    EXPECT_EQ(canvas.Pixel(2, 2), Back);
    EXPECT_NE(canvas.Pixel(3, 3), Back);
    canvas.Fill(Back);
    Theme("Nexos3")->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 106, 46}, FloatingCaption(RP_CAPTION));
    EXPECT_NE(canvas.Pixel(2, 2), Back);
    EXPECT_NE(canvas.Pixel(103, 2), Back);
    EXPECT_EQ(canvas.Pixel(104, 2), Back);
    EXPECT_EQ(canvas.Pixel(2, 3 + h - 2), 0xFFD090u);
    EXPECT_EQ(canvas.Pixel(103, 3 + h - 2), 0xFFD090u);
}

// ---- Nexos5 ------------------------------------------------------------------------------------

TEST_F(NexosThemes, Nexos5HaloesPanelCaptionsOnlyAndWritesBlack) {
    auto* t = Theme("Nexos5");
    TOptionsScope options(t);
    options->CaptionGlow = true;
    const TColor halo = t->UnitColors().CaptionStartColor;
    const int h = CaptionHeight();
    PixelCanvas canvas(110, 60, Back);
    canvas.Canvas()->GetBrush()->SetColor(Panel);
    t->PaintPanelCaptionArea(canvas.Canvas(), TRect{0, 0, 100, 60}, PanelCaption(true));
    const TRect panelBar{2, 2, 98, 2 + h};
    EXPECT_GT(canvas.CountOf(panelBar, halo), 4);
    EXPECT_GT(canvas.CountOf(panelBar, 0x000000), 4);
    EXPECT_EQ(canvas.Pixel(90, 2), 0xF0F0F0u);  // the grey caption face
    canvas.Fill(Back);
    t->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 106, 46}, FloatingCaption(RP_CAPTION));
    const TRect floatingBar{3, 3, 103, 3 + h - 1};
    EXPECT_EQ(canvas.CountOf(floatingBar, halo), 0);
    EXPECT_GT(canvas.CountOf(floatingBar, 0x000000), 4);
}

// ---- NexosX ------------------------------------------------------------------------------------

TEST_F(NexosThemes, NexosXRidgeGripsLeaveRoomForTheCloseButton) {
    auto* t = Theme("NexosX");
    PixelCanvas canvas(80, 80, Back);
    TTxToolbarFrameInfo frame = DockedFrame(true, CDBS_VISIBLE);
    // Horizontal: the close button at the handle's top, the ridge below it,
    // five columns into the strip.
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 26, 80}, frame);
    const int room = GetDragHandleSize(frame) - 2;
    EXPECT_EQ(canvas.Pixel(2 + 5 + 2, 2 + room + 2), 0xB0B0B0u);
    EXPECT_EQ(canvas.Pixel(2 + 5 + 2, 2 + room + 3), 0xD8E0E4u);
    EXPECT_EQ(canvas.Pixel(2 + 5, 2 + room + 3), 0xA6A6A6u);  // the first column drawn over
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 26, 2 + room + 2}, 0xB0B0B0), 0);
    // Vertical: the ridge from the handle's left, ending before the close
    // button at its right end.
    frame.IsVertical = true;
    canvas.Fill(Back);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 80, 26}, frame);
    EXPECT_EQ(canvas.Pixel(4, 2 + 5 + 2), 0xB0B0B0u);
    EXPECT_EQ(canvas.Pixel(5, 2 + 5 + 2), 0xD8E0E4u);
    EXPECT_EQ(canvas.CountOf(TRect{78 - room - 5 + 2, 0, 80, 26}, 0xB0B0B0), 0);
}

TEST_F(NexosThemes, NexosXFloatingCloseButtonsHaveBlackCrosses) {
    auto* t = Theme("NexosX");
    const int h = CaptionHeight();
    PixelCanvas canvas(110, 50, Back);
    t->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 106, 46},
                          FloatingCaption(RP_CAPTION | RP_CLOSEBUTTON, CDBS_VISIBLE | CDBS_PRESSED));
    const TRect square{103 - (h - 1), 3, 103, 3 + h - 2};
    EXPECT_GT(canvas.CountOf(square, 0x000000), 10);
    EXPECT_EQ(canvas.CountOf(square, 0xFFFFFF), 0);
    EXPECT_EQ(canvas.Pixel(square.Left, square.Top + 3), 0xC0C0C0u);  // the cut outline
    // The shadow line under the square reaches one pixel further left.
    EXPECT_EQ(canvas.Pixel(square.Left - 1, square.Bottom), t->Cache().ToolbarShadowColor);
}

// ---- Dream and OfficeC ----------------------------------------------------------------------------

TEST_F(NexosThemes, DreamSpinHalvesAreSeparatedByLines) {
    auto* t = Theme("Dream");
    PixelCanvas canvas(20, 24, Back);
    // Plain halves on a toolbar: white lines down the upper half's left
    // edge, up the lower one's and along its top.
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, NexosItem(VT_TOOLBAR), TTxEditButtonInfo{EBT_SPIN, 0});
    EXPECT_EQ(canvas.Pixel(1, 4), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(1, 15), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(6, 10), 0xFFFFFFu);
    // Hot halves: the lines in 0x808080.
    canvas.Fill(Back);
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, NexosItem(VT_TOOLBAR), TTxEditButtonInfo{EBT_SPIN, EBDS_HOT});
    EXPECT_EQ(canvas.Pixel(1, 4), 0x808080u);
    EXPECT_EQ(canvas.Pixel(6, 10), 0x808080u);
    EXPECT_EQ(canvas.Pixel(3, 7), 0xF4F0F0u);
}

TEST_F(NexosThemes, SplitLinesOfHotItemsAndCheckAreasOfUncheckedOnes) {
    const int w = GetSystemMetrics(SM_CXMENUCHECK);
    PixelCanvas canvas(120, 24, Back);
    TTxItemInfo split = NexosItem(VT_POPUPMENU, true, 2);
    split.ItemOptions |= IO_COMBO;
    auto* office = Theme("OfficeC");
    office->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, split);
    EXPECT_EQ(canvas.Pixel(120 - w - 1, 10), office->ItemPart(split, cpFrame));
    canvas.Fill(Back);
    Theme("Nexos4")->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, split);
    EXPECT_EQ(canvas.Pixel(120 - w - 1, 10), 0xFFFFFFu);
    // An unchecked item outlined at design time has no check area.
    TTxItemInfo marked = NexosItem(VT_POPUPMENU);
    marked.ItemOptions |= IO_DESIGNING;
    marked.PopupMargin = 22;
    const TColor reddish = MixColors(0x0000FF, 0xFFFFFF, 40);
    for (const char* name : {"Nexos2", "Nexos4", "NexosX", "Dream", "Relifer"}) {
        canvas.Fill(Back);
        Theme(name)->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, marked);
        EXPECT_EQ(canvas.CountOf(TRect{0, 0, 30, 20}, reddish), 0) << name;
    }
}

TEST_F(NexosThemes, OfficeCToolbarFramesEndBeforeTheHandleWithoutABorder) {
    auto* t = Theme("OfficeC");
    PixelCanvas canvas(80, 30, Back);
    TTxToolbarFrameInfo frame = DockedFrame(true, CDBS_VISIBLE);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 80, 26}, frame);
    EXPECT_NE(canvas.Pixel(40, 25), OfficeC.EdgeColor);  // the gradient only
    const TColor glyph = t->Cache().ButtonColorTable[brNormal][cpText];
    const int withoutBorder = canvas.CountOf(TRect{0, 0, 20, 26}, glyph);
    frame.BorderStyle = 1;
    canvas.Fill(Back);
    t->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 80, 26}, frame);
    EXPECT_EQ(canvas.Pixel(79, 0), OfficeC.MenuBarColor);
    EXPECT_EQ(canvas.Pixel(0, 25), OfficeC.GradientDark);
    EXPECT_EQ(canvas.Pixel(0, 24), MixColors(OfficeC.GradientDark, OfficeC.EdgeColor, 50));
    EXPECT_EQ(canvas.Pixel(40, 25), OfficeC.EdgeColor);
    EXPECT_GT(canvas.CountOf(TRect{0, 0, 20, 26}, glyph), withoutBorder);  // the close cross
}

} // namespace

// Athen and the themes built on it (Office11Adaptive, Whidbey): their
// colour caches for the classic system colours and the pixels that make
// their look.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "ThemeTestSupport.h"
#include "theming/TxUtils.h"
#include "themes/TxAthenTheme.h"
#include "themes/TxOffice11AdaptiveTheme.h"
#include "themes/TxWhidbeyTheme.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::Item;
using qelvo::test::PixelCanvas;
using qelvo::test::TFixedSysColors;
using qelvo::test::TThemingFlagsScope;

using qelvo::test::Back;
using qelvo::test::Face;

namespace {

constexpr TColor Highlight = 0x6A240A;

// The theme of a test, made under the fixed classic colours.
class AthenFamily : public testing::Test {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
    void TearDown() override {
        if (FTheme) ReleaseTheme(FTheme);
    }
    template <class T>
    T* Use(const char* name) {
        FTheme = AcquireTheme(name);
        FTheme->SetupColorCache();
        return static_cast<T*>(FTheme);
    }

    TFixedSysColors FColors;
    TTxTheme* FTheme = nullptr;
};

TEST_F(AthenFamily, AthenCacheAndFixedColours) {
    auto* theme = Use<TTxAthenTheme>("Athen");
    const TAthenColorCache& c = theme->Cache();
    EXPECT_EQ(AthenShadow, MixColors(0x808080, 0xC0C0C0, 30));
    EXPECT_EQ(AthenShadow, 0xADADADu);
    EXPECT_EQ(c.ButtonColorTable[brHot][cpFrame], 0xDAB370u);
    EXPECT_EQ(c.ButtonColorTable[brPopupOpen][cpFrame], 0xDAB370u);
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpFrame], 0x0000FFu);
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpText], 0x000000u);
    EXPECT_EQ(c.ToolbarBackground, 0xFFFFFFu);
    EXPECT_EQ(c.PopupBorderColor, 0xC0C0C0u);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], c.ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpFrame], 0xC0C0C0u);
    EXPECT_EQ(c.FloatingFrameColors[frInactive][fpCaption], Face);
    EXPECT_EQ(c.MenuSeparatorColor, c.SeparatorColor);
    EXPECT_EQ(theme->IntegerMetric(32), 0);
    EXPECT_EQ(theme->IntegerMetric(50), 6);
    EXPECT_FALSE(theme->BooleanMetric(1));
    EXPECT_EQ(theme->PopupShadowKind(), 3);
    TTxMarginRect margins;
    theme->ThemeMargins(3, margins);
    EXPECT_EQ(margins, (TTxMarginRect{1, 3, 1, 1}));
}

TEST_F(AthenFamily, AthenBorderedToolbarHasItsShadowLineAndHotButtonsTheirFrame) {
    auto* theme = Use<TTxAthenTheme>("Athen");
    PixelCanvas canvas(60, 30, Back);
    TTxToolbarFrameInfo info;
    info.ViewType = VT_TOOLBAR;
    info.BorderStyle = 1;
    theme->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 60, 30}, info);
    EXPECT_EQ(canvas.Pixel(30, 29), AthenShadow);
    EXPECT_EQ(canvas.Pixel(0, 29), 0xE0E0E0u);
    // Without a border the bottom row is the plain face.
    canvas.Fill(Back);
    info.BorderStyle = 0;
    theme->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 60, 30}, info);
    EXPECT_NE(canvas.Pixel(30, 29), AthenShadow);

    canvas.Fill(Back);
    TTxItemInfo hot = Item(VT_TOOLBAR, true, 2);
    hot.ItemOptions = IO_TOOLBARSTYLE;
    theme->PaintButton(canvas.Canvas(), TRect{0, 0, 24, 22}, hot);
    EXPECT_EQ(canvas.Pixel(12, 0), 0xDAB370u);
    EXPECT_EQ(canvas.Pixel(0, 11), 0xDAB370u);
    // The cut corner shows what lies beneath, blended.
    EXPECT_NE(canvas.Pixel(0, 0), 0xDAB370u);
}

TEST_F(AthenFamily, AthenLowColourScreensKeepTheBackground) {
    auto* theme = Use<TTxAthenTheme>("Athen");
    PixelCanvas canvas(40, 20, Back);
    {
        TThemingFlagsScope flags(true, false);
        theme->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 20}, TRect{0, 0, 40, 20}, Face, false, VT_TOOLBAR);
    }
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 40, 20}, Back), 800);
    theme->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 20}, TRect{0, 0, 40, 20}, Face, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 40, 20}, Back), 0);
}

TEST_F(AthenFamily, RadioFacesOfTallRectanglesStayInside) {
    auto* theme = Use<TTxAthenTheme>("Athen");
    PixelCanvas canvas(13, 40, Back);
    canvas.ClipTo(TRect{0, 0, 13, 40});
    theme->PaintFrameControl(canvas.Canvas(), TRect{0, 0, 13, 40}, PFC_RADIOBUTTON, PFS_HOT, 0);
    // The 11 rows of the circle keep their insets; rows past them are full width.
    EXPECT_EQ(canvas.Pixel(1, 1), Back);
    EXPECT_NE(canvas.Pixel(4, 1), Back);
    EXPECT_NE(canvas.Pixel(1, 20), Back);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 13, 40}, Back) > 0, true);
}

TEST_F(AthenFamily, Office11AdaptiveClassicAndStyledBasePairs) {
    auto* theme = Use<TTxOffice11AdaptiveTheme>("Office11Adaptive");
    const bool styles = VisualStylesOn;
    VisualStylesOn = false;
    theme->SetupColorCache();
    EXPECT_EQ(theme->Pair().Dark, Face);
    EXPECT_EQ(theme->Pair().Light, 0xFFFFFFu);
    EXPECT_EQ(theme->Cache().ToolbarBackground, 0xFFFFFFu);
    EXPECT_EQ(theme->ViewColor(VT_MENUBAR), Face);
    EXPECT_EQ(theme->Cache().ButtonColorTable[brPushed][cpText], 0xFFFFFFu);
    EXPECT_EQ(theme->IntegerMetric(50), -1);
    EXPECT_TRUE(theme->BooleanMetric(1));
    EXPECT_EQ(theme->PopupShadowKind(), 2);
    // Styled: the caption colours, pulled together when far apart.
    FColors.Set(COLOR_GRADIENTACTIVECAPTION, RGB(0, 0, 0));
    FColors.Set(COLOR_GRADIENTINACTIVECAPTION, RGB(0, 0, 0));
    VisualStylesOn = true;
    theme->SetupColorCache();
    const TColor light = BlendColorNearest(Highlight, 0xFFFFFF, 8);
    EXPECT_EQ(theme->Pair().Dark, MixColors(0x000000, light, 80));
    EXPECT_EQ(theme->Pair().Light, MixColors(0x000000, light, 20));
    EXPECT_EQ(theme->Pair().Edge, Highlight);
    VisualStylesOn = styles;
}

TEST_F(AthenFamily, Office11AdaptiveFloatingCloseCrossFollowsTheBody) {
    auto* theme = Use<TTxOffice11AdaptiveTheme>("Office11Adaptive");
    PixelCanvas canvas(80, 40, Back);
    TTxFloatingFrameInfo info;
    info.ViewType = VT_TOOLBAR | VT_FLOATING;
    info.ClientWidth = 74;
    info.ClientHeight = 20;
    info.ShowCaption = true;
    info.BorderSize = {3, 3};
    info.CloseButtonState = CDBS_VISIBLE | CDBS_HOT;
    info.RedrawPart = RP_CLOSEBUTTON;
    info.Active = true;
    theme->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 80, 40}, info);
    const TColor hotText = theme->Cache().ButtonColorTable[brHot][cpText];
    EXPECT_GT(canvas.CountOf(TRect{60, 3, 77, 20}, hotText), 8);
    // An idle button has no body: its cross takes the caption text colour.
    canvas.Fill(Back);
    info.CloseButtonState = CDBS_VISIBLE;
    theme->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 80, 40}, info);
    EXPECT_GT(canvas.CountOf(TRect{60, 3, 77, 20}, theme->Cache().FloatingFrameColors[frActive][fpCaptionText]), 8);
}

TEST_F(AthenFamily, WhidbeyBasePairResolvesSystemColoursBeforeWeighingThem) {
    auto* theme = Use<TTxWhidbeyTheme>("Whidbey");
    EXPECT_EQ(theme->Pair().Dark, Face);
    EXPECT_EQ(theme->Pair().Light, 0xFFFFFFu);
    EXPECT_EQ(theme->Cache().ToolbarBackground, MixColors(Face, 0xFFFFFF, 50));
    // A light scheme with face and window close together: the face is not
    // dark once resolved, so the darker colour moves away.
    FColors.Set(COLOR_BTNFACE, RGB(240, 240, 240));
    FColors.Set(COLOR_WINDOW, RGB(250, 250, 250));
    theme->SetupColorCache();
    EXPECT_EQ(theme->Pair().Dark, static_cast<TColor>(RGB(230, 230, 230)));
    EXPECT_EQ(theme->Pair().Light, static_cast<TColor>(RGB(250, 250, 250)));
    // A dark scheme: the lighter colour moves (by a negative amount).
    FColors.Set(COLOR_BTNFACE, RGB(20, 20, 20));
    FColors.Set(COLOR_WINDOW, RGB(30, 30, 30));
    theme->SetupColorCache();
    EXPECT_EQ(theme->Pair().Dark, static_cast<TColor>(RGB(20, 20, 20)));
    EXPECT_EQ(theme->Pair().Light, static_cast<TColor>(RGB(20, 20, 20)));
}

TEST_F(AthenFamily, WhidbeyTickDesignOutlineAndGrip) {
    auto* theme = Use<TTxWhidbeyTheme>("Whidbey");
    PixelCanvas canvas(16, 16, Back);
    TTxItemInfo info = Item(VT_POPUPMENU);
    theme->PaintCheckMark(canvas.Canvas(), TRect{0, 0, 16, 16}, info);
    const TColor text = theme->Cache().ButtonColorTable[brNormal][cpText];
    EXPECT_EQ(canvas.Pattern(TRect{4, 5, 11, 11}, text), "......#\n"
                                                           ".....##\n"
                                                           "#...##.\n"
                                                           "##.##..\n"
                                                           ".###...\n"
                                                           "..#....\n");
    // A design-time item is only outlined, in pure red.
    canvas.Fill(Back);
    TTxItemInfo design = Item(VT_TOOLBAR, true, 0);
    design.ItemOptions = IO_TOOLBARSTYLE | IO_DESIGNING;
    theme->PaintButton(canvas.Canvas(), TRect{0, 0, 16, 16}, design);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 16, 16}, 0x0000FF), 60);
    EXPECT_EQ(canvas.Pixel(8, 8), Back);
    // The size grip of a 16-pixel bar has thirteen lines, of an 8-pixel one six.
    PixelCanvas grip(16, 16, Back);
    theme->PaintStatusBarPart(grip.Canvas(), TRect{0, 0, 16, 16}, 3);
    EXPECT_NE(grip.Pixel(16 - 1 - 12, 15), Back);
    EXPECT_EQ(grip.Pixel(16 - 1 - 13, 15), Back);
    grip.Fill(Back);
    theme->PaintStatusBarPart(grip.Canvas(), TRect{8, 8, 16, 16}, 3);
    EXPECT_NE(grip.Pixel(16 - 1 - 5, 15), Back);
    EXPECT_EQ(grip.Pixel(16 - 1 - 6, 15), Back);
}

} // namespace

// The Aluminum theme: its colour cache from the hue of the highlight, its
// metrics on top of the Default theme's, and its rounded, bevelled and
// brushed painting.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <cstdlib>

#include "ThemeTestSupport.h"
#include "themes/TxAluminumTheme.h"
#include "themes/TxTristanTheme.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::PixelCanvas;
using qelvo::test::Item;
using qelvo::test::TFixedSysColors;

using qelvo::test::Back;
using qelvo::test::Rgb;

namespace {

bool Near(TColor a, TColor b, int tolerance = 1) {
    return std::abs(static_cast<int>(RValue(a)) - static_cast<int>(RValue(b))) <= tolerance &&
           std::abs(static_cast<int>(GValue(a)) - static_cast<int>(GValue(b))) <= tolerance &&
           std::abs(static_cast<int>(BValue(a)) - static_cast<int>(BValue(b))) <= tolerance;
}

class AluminumTheme : public testing::Test {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
    void SetUp() override { FTheme = TTxAluminumTheme::Create("Aluminum"); }
    void TearDown() override { gcl::Free(FTheme); }
    TTxAluminumTheme* Theme() { return static_cast<TTxAluminumTheme*>(FTheme); }
    const TAluminumColorCache& Cache() { return Theme()->Cache(); }
    TColor Button(TButtonRow row, TColorPart part) { return Cache().ButtonColorTable[row][part]; }

    TFixedSysColors FColors;
    TTxTheme* FTheme = nullptr;
};

TEST_F(AluminumTheme, CacheForTheClassicColours) {
    // The classic highlight is darker than lightness 0.4: its hue at 0.4.
    EXPECT_TRUE(Near(Theme()->GetAluminumHighlight(), Rgb(18, 63, 186))) << std::hex << Theme()->GetAluminumHighlight();
    EXPECT_EQ(Theme()->GetDockColor(), 0xC7C7C7);
    EXPECT_EQ(Theme()->GetAluminumStatusBarColor(), 0xCFCFCF);
    EXPECT_EQ(Theme()->GetBrushStrength(), 12);
    EXPECT_EQ(Cache().ToolbarBackground, 0xDFDFDF);
    EXPECT_EQ(Cache().MenuBarBackground, 0xDFDFDF);
    EXPECT_EQ(Cache().PopupBackground, 0xF9F9F9);
    EXPECT_EQ(Cache().DockPanelBackground, 0xF9F9F9);
    EXPECT_EQ(Cache().PanelFrameColors[frActive][fpCaptionText], 0x000000);
    EXPECT_EQ(Cache().PanelFrameColors[frInactive][fpBorder], 0x9F9F9F);
    EXPECT_TRUE(Near(Button(brPushed, cpBody), Rgb(137, 159, 221))) << std::hex << Button(brPushed, cpBody);
    EXPECT_EQ(Button(brPushed, cpText), 0xFFFFFF);
    EXPECT_EQ(Button(brPushed, cpFrame), Rgb(10, 36, 106));
    EXPECT_EQ(Button(brPopupOpen, cpBody), 0xECECEC);
    EXPECT_EQ(Button(brPopupOpen, cpFrame), Cache().PopupBorderColor);
    EXPECT_EQ(Button(brNormal, cpBody), clNone);
    for (int part = 0; part < 3; ++part)
        EXPECT_EQ(Cache().MenuItemColorTable[mrHot][part], Button(brHot, static_cast<TColorPart>(part)));
    // A light highlight keeps its own lightness.
    FColors.Set(COLOR_HIGHLIGHT, RGB(120, 170, 230));
    Theme()->SetupColorCache();
    EXPECT_TRUE(Near(Theme()->GetAluminumHighlight(), Rgb(120, 170, 230)));
}

TEST_F(AluminumTheme, MetricsOnTopOfTheDefaultTheme) {
    const std::pair<int, int> metrics[] = {{10, 12}, {20, 8}, {21, 3}, {32, 1}, {33, 3}, {34, 2}, {35, -1}, {36, 1},
                                           {37, 2},  {50, 6}, {60, 2}, {61, 2}, {62, 1}, {65, 14}, {66, 0}, {99, -1}};
    for (auto [index, value] : metrics) EXPECT_EQ(Theme()->IntegerMetric(index), value) << index;
    for (int index : {1, 3, 5, 6, 7}) EXPECT_TRUE(Theme()->BooleanMetric(index)) << index;
    for (int index : {0, 2, 4, 8}) EXPECT_FALSE(Theme()->BooleanMetric(index)) << index;
    TTxMarginRect margins;
    Theme()->ThemeMargins(2, margins);
    EXPECT_EQ(margins.TopHeight, 2);
    EXPECT_EQ(margins.BottomHeight, 2);
    EXPECT_EQ(Theme()->PopupShadowKind(), 2);
    EXPECT_EQ(Theme()->ImageOffset(nullptr, Item(VT_TOOLBAR, true, 2), nullptr), (TPoint{0, 0}));
    EXPECT_EQ(Theme()->ViewColor(VT_STATUSBAR), 0xDFDFDF);
    EXPECT_EQ(Theme()->ViewColor(VT_LISTPOPUP), gcl::clWindow);
    EXPECT_EQ(Theme()->ItemColor(Item(VT_TOOLBAR | VT_OPAQUE)), 0xDFDFDF);
}

TEST_F(AluminumTheme, RoundedFacesWithBlendedCorners) {
    PixelCanvas canvas(24, 24, Back);
    Theme()->PaintButton(canvas.Canvas(), TRect{0, 0, 20, 20}, Item(VT_TOOLBAR, true, 2));
    EXPECT_EQ(canvas.Pixel(10, 0), Button(brHot, cpFrame));
    EXPECT_EQ(canvas.Pixel(0, 10), Button(brHot, cpFrame));
    EXPECT_EQ(canvas.Pixel(10, 10), Button(brHot, cpBody));
    EXPECT_EQ(canvas.Pixel(20, 10), Back);
    // Radius 2: the corner pixel keeps most of what lay beneath.
    const TColor corner = canvas.Pixel(0, 0);
    EXPECT_NE(corner, Back);
    EXPECT_GT(RValue(corner), RValue(Button(brHot, cpFrame)));
    EXPECT_GT(BValue(corner), GValue(corner));
    // A split button's main part keeps square right corners.
    canvas.Fill(Back);
    TTxItemInfo split = Item(VT_TOOLBAR, true, 2);
    split.IsPopupParent = 2;
    Theme()->PaintButton(canvas.Canvas(), TRect{0, 0, 20, 20}, split);
    EXPECT_EQ(canvas.Pixel(19, 0), Button(brHot, cpFrame));
    EXPECT_NE(canvas.Pixel(0, 0), Button(brHot, cpFrame));
}

TEST_F(AluminumTheme, EmbossedGlyphsDimplesAndSizeGrip) {
    PixelCanvas canvas(30, 30, 0xDFDFDF);
    Theme()->PaintMDIButton(canvas.Canvas(), TRect{0, 0, 20, 20}, Item(VT_TOOLBAR), 0);
    // The stock close cross at (2, 2): dark grey in place, lighter one pixel down-right.
    EXPECT_EQ(canvas.Pixel(9, 10), 0x3F3F3F);
    EXPECT_EQ(canvas.Pixel(10, 10), 0x3F3F3F);
    EXPECT_EQ(canvas.Pixel(14, 14), ShiftColor(0xDFDFDF, 24));
    EXPECT_EQ(canvas.Pixel(5, 6), ShiftColor(0xDFDFDF, -32));
    TTxItemInfo hot = Item(VT_TOOLBAR, true, 2);
    canvas.Fill(0xDFDFDF);
    Theme()->PaintMDIButton(canvas.Canvas(), TRect{0, 0, 20, 20}, hot, 2);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 30, 30}, 0x3F3F3F), 0) << "kind 2 paints the face only";

    canvas.Fill(0xDFDFDF);
    DrawDimples(canvas.DC(), TRect{0, 0, 12, 12}, 0xDFDFDF, 1);
    // Inset to 10 x 10: two by two cells from (1, 1).
    for (TPoint p : {TPoint{2, 2}, TPoint{6, 2}, TPoint{2, 6}, TPoint{6, 6}})
        EXPECT_EQ(canvas.Pixel(p.X, p.Y), 0x7F7F7F) << p.X << "," << p.Y;
    EXPECT_EQ(canvas.Pixel(3, 3), ShiftColor(0xDFDFDF, 18));
    EXPECT_EQ(canvas.Pixel(1, 1), ShiftColor(0xDFDFDF, -24));
    EXPECT_EQ(canvas.Pixel(10, 10), 0xDFDFDF);

    canvas.Fill(Back);
    Theme()->PaintStatusBarPart(canvas.Canvas(), TRect{0, 0, 30, 20}, 3);
    EXPECT_EQ(canvas.Pixel(29, 24 - 20), Back);
    EXPECT_EQ(canvas.Pixel(26, 18), ShiftColorNearest(0xCFCFCF, 64));
    EXPECT_EQ(canvas.Pixel(27, 16), 0x000000);
}

TEST_F(AluminumTheme, PopupJointIsADitheredStrip) {
    PixelCanvas canvas(100, 80, Back);
    TTxPopupFrameInfo info;
    info.ParentItemRect = TRect{10, -20, 40, 1};
    Theme()->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 100, 80}, info);
    const TColor frame = Button(brPopupOpen, cpFrame);
    EXPECT_EQ(canvas.Pixel(10, 0), Cache().PopupBorderColor);
    int background = 0, framed = 0;
    for (int x = 11; x < 39; ++x) {
        background += canvas.Pixel(x, 0) == Cache().PopupBackground;
        framed += canvas.Pixel(x, 0) == frame;
    }
    EXPECT_EQ(background, 14);
    EXPECT_EQ(framed, 14);
    EXPECT_EQ(canvas.Pixel(50, 40), Cache().PopupBackground);
}

TEST_F(AluminumTheme, BrushedViewsPlainPopupsAndSeparators) {
    PixelCanvas canvas(60, 20, Back);
    const TRect all{0, 0, 60, 20};
    Theme()->PaintBackground(canvas.Canvas(), TRect{}, all, all, 0xDFDFDF, false, VT_TOOLBAR | VT_OPAQUE);
    EXPECT_EQ(canvas.CountOf(all, 0xDFDFDF), 60 * 20);
    Theme()->PaintBackground(canvas.Canvas(), TRect{}, all, all, 0xDFDFDF, false, VT_TOOLBAR | VT_FLOATING);
    EXPECT_LT(canvas.CountOf(all, 0xDFDFDF), 60 * 20) << "floating toolbars are brushed";
    EXPECT_EQ(canvas.CountOf(all, Back), 0);
    canvas.Fill(Back);
    Theme()->PaintSeparator(canvas.Canvas(), all, Item(VT_TOOLBAR, false), true, false);
    EXPECT_EQ(canvas.CountNot(all, Back), 0) << "a disabled separator is not painted";
    Theme()->PaintSeparator(canvas.Canvas(), all, Item(VT_TOOLBAR), true, false);
    EXPECT_EQ(canvas.CountOf(all, Cache().SeparatorColor), 56);
}

// The stock glyphs come through for the cache themes too.
TEST(TristanMdiButtons, StockGlyphsInTheItemTextColour) {
    test::StartThemes();
    TFixedSysColors colors;
    TTxTheme* theme = AcquireTheme("Tristan");
    auto* tristan = static_cast<TTxTristanTheme*>(theme);
    PixelCanvas canvas(20, 20, Back);
    theme->PaintMDIButton(canvas.Canvas(), TRect{0, 0, 20, 20}, Item(VT_TOOLBAR), 3);
    const TColor text = tristan->Cache().ButtonColorTable[brNormal][cpText];
    // The restore boxes at (2, 2): their top bar is cell rows 4 and 5, columns 5 to 11.
    EXPECT_EQ(canvas.Pattern(TRect{7, 6, 14, 8}, text), "#######\n#######\n");
    EXPECT_EQ(canvas.Pixel(9, 8), Back);
    EXPECT_EQ(canvas.Pixel(8, 9), text);
    ReleaseTheme(theme);
}

} // namespace

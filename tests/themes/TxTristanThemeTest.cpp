// The Tristan and Tristan2 themes: their colour caches for the classic
// system colours, and the pixels that make their look.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "ThemeTestSupport.h"
#include "themes/TxTristan2Theme.h"
#include "themes/TxTristanTheme.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::PixelCanvas;
using qelvo::test::Item;
using qelvo::test::TFixedSysColors;
using qelvo::test::TThemingFlagsScope;

using qelvo::test::Back;
using qelvo::test::White;
using qelvo::test::Rgb;

namespace {

// A theme made for one test under the classic colours.
template <class T>
class TThemeFixture : public testing::Test {
protected:
    static void SetUpTestSuite() { test::StartThemes(); }
    void SetUp() override { FTheme = T::Create(T::StaticClass() == TTxTristanTheme::StaticClass() ? "Tristan" : "Tristan2"); }
    void TearDown() override { gcl::Free(FTheme); }
    T* Theme() { return static_cast<T*>(FTheme); }
    const TTristanColorCache& Cache() { return Theme()->Cache(); }
    TColor Button(TButtonRow row, TColorPart part) { return Cache().ButtonColorTable[row][part]; }

    TFixedSysColors FColors;
    TTxTheme* FTheme = nullptr;
};

using TristanTheme = TThemeFixture<TTxTristanTheme>;
using Tristan2Theme = TThemeFixture<TTxTristan2Theme>;

// ---- Colour caches (the tables are tested natively) ---------------------------------------

TEST_F(Tristan2Theme, CacheDiffersInItsHighlightFramesAndHasNoLowColourMode) {
    TThemingFlagsScope flags(true, false);
    Theme()->SetupColorCache();
    EXPECT_EQ(Cache().ToolbarBackground, White);
    EXPECT_EQ(Button(brChecked, cpFrame), Rgb(10, 36, 106));
    EXPECT_EQ(Button(brPushed, cpText), Rgb(10, 36, 106));
    EXPECT_EQ(Button(brPushed, cpFrame), Rgb(10, 36, 106));
    EXPECT_EQ(Button(brPushed, cpBody), Rgb(133, 146, 181));
    EXPECT_EQ(Cache().MenuItemColorTable[mrHot][cpFrame], Button(brHot, cpFrame));
    EXPECT_EQ(Theme()->PopupShadowKind(), 3);
    EXPECT_FALSE(Theme()->BooleanMetric(1));
    EXPECT_TRUE(Theme()->BooleanMetric(7));
    TPoint border;
    Theme()->ViewBorder(VT_POPUPMENU, border);
    EXPECT_EQ(border, (TPoint{1, 2}));
    Theme()->ViewBorder(VT_LISTPOPUP, border);
    EXPECT_EQ(border, (TPoint{2, 2}));
}

TEST_F(TristanTheme, MetricsMarginsAndViewColours) {
    const std::pair<int, int> metrics[] = {{10, 12}, {20, 8}, {21, 3}, {32, 0}, {33, 8}, {34, 3}, {35, 3},
                                           {36, 2},  {37, 2}, {50, -1}, {60, 1}, {61, 2}, {62, 2}, {65, 14},
                                           {66, 1},  {99, -1}};
    for (auto [index, value] : metrics) EXPECT_EQ(Theme()->IntegerMetric(index), value) << index;
    for (int index = 0; index < 10; ++index)
        EXPECT_EQ(Theme()->BooleanMetric(index), index == 1 || (index >= 5 && index <= 7)) << index;
    TTxMarginRect margins;
    Theme()->ThemeMargins(2, margins);
    EXPECT_EQ(margins, (TTxMarginRect{1, 1, 3, 3}));
    Theme()->ThemeMargins(3, margins);
    EXPECT_EQ(margins, (TTxMarginRect{3, 3, 1, 1}));
    EXPECT_EQ(Theme()->ViewColor(VT_MENUBAR), Rgb(212, 208, 200));
    EXPECT_EQ(Theme()->ViewColor(VT_TOOLBAR | VT_FLOATING), White);
    EXPECT_EQ(Theme()->ViewColor(VT_LISTPOPUP), gcl::clWindow);
    EXPECT_EQ(Theme()->ViewColor(VT_STATUSBAR), gcl::clBtnFace);
    TPoint border;
    Theme()->ViewBorder(VT_TOOLBAR | VT_FLOATING, border);
    EXPECT_EQ(border, (TPoint{GetSystemMetrics(SM_CXDLGFRAME) - 1, GetSystemMetrics(SM_CYDLGFRAME) - 1}));
    Theme()->ViewBorder(VT_DOCKPANEL | VT_FLOATING | VT_SIZABLE, border);
    EXPECT_EQ(border, (TPoint{GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1}));
    Theme()->ViewBorder(VT_STATUSBAR, border);
    EXPECT_EQ(border, (TPoint{0, 0}));
    // A plain item of a popup takes the view's colour; image offsets rise when hot.
    EXPECT_EQ(Theme()->ItemColor(Item(VT_POPUPMENU)), White);
    EXPECT_EQ(Theme()->ImageOffset(nullptr, Item(VT_TOOLBAR, true, 2), nullptr), (TPoint{-1, -1}));
}

// ---- Gradients ------------------------------------------------------------------------

TEST(TristanGradients, LineAndSplitGradientsAndSingleLines) {
    TFixedSysColors colors;
    PixelCanvas canvas(12, 12, Back);
    // Line: the first line has c2, the last c1.
    FillLineGradient(canvas.DC(), TRect{0, 0, 3, 11}, Rgb(0, 0, 0), Rgb(200, 100, 50), true);
    EXPECT_EQ(canvas.Pixel(1, 0), Rgb(200, 100, 50));
    EXPECT_EQ(canvas.Pixel(1, 5), Rgb(100, 50, 25));
    EXPECT_EQ(canvas.Pixel(1, 10), Rgb(0, 0, 0));
    // Split, turn 15/9: c2 at the first line, then a step to the turn tone.
    canvas.Fill(Back);
    FillSplitGradient(canvas.DC(), TRect{0, 0, 11, 2}, Rgb(90, 90, 90), Rgb(180, 180, 180), false, 9);
    EXPECT_EQ(canvas.Pixel(0, 0), Rgb(180, 180, 180));
    EXPECT_EQ(canvas.Pixel(4, 1), Rgb(180 - 90 * 4 / 5, 180 - 90 * 4 / 5, 180 - 90 * 4 / 5));
    EXPECT_EQ(canvas.Pixel(5, 0), Rgb(30 + 60 * 5 / 10, 30 + 60 * 5 / 10, 30 + 60 * 5 / 10));
    EXPECT_EQ(canvas.Pixel(10, 0), Rgb(90, 90, 90));
    // c1 redder than c2: the turn colour is c1, so the second half is plain c1.
    canvas.Fill(Back);
    FillSplitGradient(canvas.DC(), TRect{0, 0, 11, 1}, White, Rgb(195, 192, 185), false, 9);
    for (int x = 5; x < 11; ++x) EXPECT_EQ(canvas.Pixel(x, 0), White) << x;
    // One line in the gradient's direction paints c1 and divides by nothing.
    canvas.Fill(Back);
    FillLineGradient(canvas.DC(), TRect{0, 0, 5, 1}, Rgb(1, 2, 3), White, true);
    FillSplitGradient(canvas.DC(), TRect{0, 2, 1, 7}, Rgb(4, 5, 6), White, false, 9);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 5, 1}, Rgb(1, 2, 3)), 5);
    EXPECT_EQ(canvas.CountOf(TRect{0, 2, 1, 7}, Rgb(4, 5, 6)), 5);
    // clNone counts as white.
    canvas.Fill(Back);
    FillLineGradient(canvas.DC(), TRect{0, 0, 2, 2}, clNone, clNone, true);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 2, 2}, White), 4);
}

// ---- Item faces -----------------------------------------------------------------------------

TEST_F(TristanTheme, ButtonFacesInEachState) {
    PixelCanvas canvas(24, 24, Back);
    const TRect rect{0, 0, 20, 22};
    TTxItemInfo hot = Item(VT_TOOLBAR, true, 2);
    Theme()->PaintButton(canvas.Canvas(), rect, hot);
    EXPECT_EQ(canvas.Pixel(5, 0), Button(brHot, cpFrame));
    EXPECT_EQ(canvas.Pixel(5, 1), White) << "white at the top";
    EXPECT_EQ(canvas.Pixel(5, 20), Button(brHot, cpBody)) << "the face colour at the bottom";
    EXPECT_EQ(canvas.Pixel(20, 5), Back);

    TTxItemInfo pushed = hot;
    pushed.Pushed = true;
    Theme()->PaintButton(canvas.Canvas(), rect, pushed);
    EXPECT_EQ(canvas.Pixel(5, 0), Button(brPushed, cpFrame));
    EXPECT_EQ(canvas.Pixel(5, 1), Button(brPushed, cpBody));
    EXPECT_EQ(canvas.Pixel(5, 20), White);

    TTxItemInfo checked = Item(VT_TOOLBAR);
    checked.Selected = true;
    Theme()->PaintButton(canvas.Canvas(), rect, checked);
    EXPECT_EQ(canvas.Pixel(5, 1), White);
    EXPECT_EQ(canvas.Pixel(5, 20), Button(brChecked, cpBody));
    // The split gradient steps darker than the face just past the middle.
    EXPECT_LT(GValue(canvas.Pixel(5, 12)), GValue(Button(brChecked, cpBody)));

    // Vertical items run their gradients across.
    TTxItemInfo vertical = hot;
    vertical.IsVertical = true;
    Theme()->PaintButton(canvas.Canvas(), rect, vertical);
    EXPECT_EQ(canvas.Pixel(1, 10), White);
    EXPECT_EQ(canvas.Pixel(18, 10), Button(brHot, cpBody));

    // A plain item of a popup has no body: the split gradient is all white.
    canvas.Fill(Back);
    Theme()->PaintButton(canvas.Canvas(), rect, Item(VT_POPUPMENU));
    EXPECT_EQ(canvas.CountOf(TRect{1, 1, 19, 21}, White), 18 * 20);
    EXPECT_EQ(canvas.Pixel(0, 0), Back) << "no frame";
}

TEST_F(TristanTheme, CheckMarksChevronsAndDropDownArrows) {
    PixelCanvas canvas(24, 24, Back);
    TTxItemInfo info = Item(VT_TOOLBAR);
    info.Selected = true;
    Theme()->PaintCheckMark(canvas.Canvas(), TRect{0, 0, 16, 16}, info);
    const TColor text = Button(brChecked, cpText);
    EXPECT_EQ(canvas.Pattern(TRect{3, 4, 11, 12}, text),
              "........\n"
              ".......#\n"
              "......##\n"
              ".#...##.\n"
              ".##.##..\n"
              "..###...\n"
              "...#....\n"
              "........\n");
    info.ItemOptions = IO_RADIO;
    canvas.Fill(Back);
    Theme()->PaintCheckMark(canvas.Canvas(), TRect{0, 0, 16, 16}, info);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 24, 24}, text), 14) << "radio items get the same tick";

    canvas.Fill(Back);
    TTxItemInfo chevron = Item(VT_TOOLBAR);
    Theme()->PaintChevron(canvas.Canvas(), TRect{0, 10, 14, 22}, chevron);
    EXPECT_EQ(canvas.Pattern(TRect{2, 4, 10, 9}, Button(brNormal, cpText)),
              "##..##..\n"
              ".##..##.\n"
              "..##..##\n"
              ".##..##.\n"
              "##..##..\n");

    canvas.Fill(Back);
    TTxItemInfo arrow = Item(VT_TOOLBAR);
    Theme()->PaintDropDownArrow(canvas.Canvas(), TRect{0, 0, 10, 10}, arrow);
    EXPECT_EQ(canvas.Pattern(TRect{2, 3, 9, 7}, Button(brNormal, cpText)),
              ".......\n"
              ".#####.\n"
              "..###..\n"
              "...#...\n");
}

TEST_F(TristanTheme, DragGripDotsAndTheCloseGlyph) {
    PixelCanvas canvas(120, 30, Back);
    TTxToolbarFrameInfo info;
    info.ViewType = VT_TOOLBAR;
    info.AllowDrag = true;
    Theme()->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 120, 26}, info);
    // Dots at x = 3 and 7, every fourth row from 6.
    const TColor dark = BlendColor(gcl::clBtnFace, 0x808080, 64);
    for (int y : {6, 10, 14, 18}) {
        EXPECT_EQ(canvas.Pixel(3, y), dark) << y;
        EXPECT_EQ(canvas.Pixel(7, y), dark) << y;
        EXPECT_EQ(canvas.Pixel(5, y + 2), BlendColor(gcl::clBtnFace, White, 128)) << y;
    }
    EXPECT_NE(canvas.Pixel(3, 22), dark);
    // The bevelled edge: corners and the bottom line.
    EXPECT_EQ(canvas.Pixel(0, 0), Rgb(212, 208, 200));
    EXPECT_EQ(canvas.Pixel(119, 25), Theme()->UnitColors().TristanGradientColor);
    EXPECT_EQ(canvas.Pixel(50, 25), Theme()->UnitColors().TristanEdgeColor);
    EXPECT_EQ(canvas.Pixel(50, 0), White);

    canvas.Fill(Back);
    info.CloseButtonState = CDBS_VISIBLE | CDBS_HOT;
    Theme()->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 120, 26}, info);
    // The square (2, 2, 15, 15), framed and filled in the hot row.
    EXPECT_EQ(canvas.Pixel(2, 2), Button(brHot, cpFrame));
    EXPECT_EQ(canvas.Pixel(3, 3), Button(brHot, cpBody));
    EXPECT_EQ(canvas.Pattern(TRect{5, 5, 13, 12}, Button(brHot, cpText)),
              "##....##\n"
              ".##..##.\n"
              "..####..\n"
              "...##...\n"
              "..####..\n"
              ".##..##.\n"
              "##....##\n");
}

TEST_F(TristanTheme, FloatingFrameFillsItsBorderWithCutCorners) {
    PixelCanvas canvas(100, 60, Back);
    TTxFloatingFrameInfo info;
    info.ViewType = VT_TOOLBAR | VT_FLOATING;
    info.BorderSize = {3, 3};
    info.RedrawPart = RP_FRAME;
    info.Active = true;
    canvas.Canvas()->GetBrush()->SetColor(0x00FF00);
    Theme()->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 100, 60}, info);
    const TColor border = Cache().FloatingFrameColors[frActive][fpBorder];
    EXPECT_EQ(canvas.Pixel(0, 0), border);
    EXPECT_EQ(canvas.Pixel(2, 2), border) << "the corner is cut";
    EXPECT_EQ(canvas.Pixel(3, 2), 0x00FF00);
    EXPECT_EQ(canvas.Pixel(2, 3), 0x00FF00);
    EXPECT_EQ(canvas.Pixel(97, 57), border);
    EXPECT_EQ(canvas.Pixel(96, 57), 0x00FF00);
    EXPECT_EQ(canvas.Pixel(50, 30), Back);
    // A floating panel keeps its bottom corners square.
    canvas.Fill(Back);
    info.ViewType = VT_DOCKPANEL | VT_FLOATING;
    Theme()->PaintFloatingFrame(canvas.Canvas(), TRect{0, 0, 100, 60}, info);
    EXPECT_EQ(canvas.Pixel(0, 0), Cache().PanelFrameColors[frActive][fpBorder]);
    EXPECT_EQ(canvas.Pixel(2, 2), Cache().PanelFrameColors[frActive][fpBorder]);
    EXPECT_EQ(canvas.Pixel(2, 57), 0x00FF00);
}

// The popup of a themed item overlaps the item by the one pixel of its
// border: the joint is measured against the inset rectangle.
TEST_F(TristanTheme, PopupJointsReplaceTheBorderUnderTheParentItem) {
    PixelCanvas canvas(100, 80, Back);
    TTxPopupFrameInfo info;
    info.ParentItemRect = TRect{10, -20, 40, 1};
    Theme()->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 100, 80}, info);
    EXPECT_EQ(canvas.Pixel(10, 0), Cache().PopupBorderColor);
    EXPECT_EQ(canvas.Pixel(11, 0), Cache().ToolbarBackground);
    EXPECT_EQ(canvas.Pixel(38, 0), Cache().ToolbarBackground);
    EXPECT_EQ(canvas.Pixel(39, 0), Cache().PopupBorderColor);
    EXPECT_EQ(canvas.Pixel(50, 40), Cache().PopupBackground);
    // A parent at the left, wider than the popup's height, is clamped to it.
    canvas.Fill(Back);
    info.ParentItemRect = TRect{-30, -10, 1, 200};
    Theme()->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 100, 80}, info);
    EXPECT_EQ(canvas.Pixel(0, 0), Cache().PopupBorderColor);
    EXPECT_EQ(canvas.Pixel(0, 1), Cache().ToolbarBackground);
    EXPECT_EQ(canvas.Pixel(0, 78), Cache().ToolbarBackground);
    EXPECT_EQ(canvas.Pixel(0, 79), Cache().PopupBorderColor);
    // Not opened from an item: a plain frame.
    canvas.Fill(Back);
    info.ParentItemRect = TRect{};
    Theme()->PaintPopupFrame(canvas.Canvas(), TRect{0, 0, 100, 80}, info);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 100, 1}, Cache().PopupBorderColor), 100);
}

TEST_F(TristanTheme, SeparatorsMenuItemsAndSizeGrip) {
    PixelCanvas canvas(60, 30, Back);
    TTxItemInfo info = Item(VT_TOOLBAR);
    Theme()->PaintSeparator(canvas.Canvas(), TRect{0, 0, 60, 10}, info, true, false);
    // An item of a toolbar view that is not toolbar-style starts past the image column.
    EXPECT_EQ(canvas.Pixel(20, 5), White);
    EXPECT_EQ(canvas.Pixel(20, 4), Theme()->UnitColors().TristanGradientColor);
    EXPECT_EQ(canvas.Pixel(12, 5), Back);
    canvas.Fill(Back);
    info.Enabled = false;
    Theme()->PaintSeparator(canvas.Canvas(), TRect{0, 0, 10, 30}, info, false, false);
    EXPECT_EQ(canvas.CountNot(TRect{0, 0, 60, 30}, Back), 0) << "a disabled vertical separator is not painted";

    canvas.Fill(Back);
    TTxItemInfo submenu = Item(VT_POPUPMENU, true, 2);
    submenu.ItemOptions = IO_SUBMENUITEM;
    Theme()->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 60, 20}, submenu);
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    const int x = 60 - (2 * m) / 3 - 1;
    EXPECT_EQ(canvas.Pixel(x, 10), Cache().MenuItemColorTable[mrHot][cpText]) << "the arrow sits at Bottom / 2";
    EXPECT_EQ(canvas.Pixel(1, 5), Cache().MenuItemColorTable[mrHot][cpFrame]);
    EXPECT_EQ(canvas.Pixel(0, 5), Back);

    canvas.Fill(Back);
    Theme()->PaintStatusBarPart(canvas.Canvas(), TRect{0, 0, 60, 30}, 3);
    const TColor dot = BlendColor(gcl::clBtnFace, gcl::clBtnShadow, 16);
    for (TPoint p : {TPoint{48, 26}, TPoint{52, 26}, TPoint{56, 26}, TPoint{52, 22}, TPoint{56, 22}, TPoint{56, 18}})
        EXPECT_EQ(canvas.Pixel(p.X, p.Y), dot) << p.X << "," << p.Y;
    EXPECT_EQ(canvas.Pixel(48, 22), Back);
}

TEST_F(Tristan2Theme, GlassFacesAndTheImageColumn) {
    PixelCanvas canvas(40, 24, Back);
    TTxItemInfo pushed = Item(VT_TOOLBAR, true, 2);
    pushed.Pushed = true;
    Theme()->PaintButton(canvas.Canvas(), TRect{0, 0, 20, 22}, pushed);
    EXPECT_EQ(canvas.Pixel(5, 1), Theme()->UnitColors().TristanGradientColor) << "grey at the top";
    EXPECT_EQ(canvas.Pixel(5, 20), White);
    // A checked item of a popup is a plain fill.
    canvas.Fill(Back);
    TTxItemInfo checked = Item(VT_POPUPMENU);
    checked.Selected = true;
    Theme()->PaintButton(canvas.Canvas(), TRect{0, 0, 20, 22}, checked);
    EXPECT_EQ(canvas.CountOf(TRect{1, 1, 19, 21}, Button(brChecked, cpBody)), 18 * 20);
    // Menu items start with the image column's gradient, white at its left.
    canvas.Fill(Back);
    TTxItemInfo item = Item(VT_POPUPMENU);
    item.PopupMargin = 20;
    Theme()->PaintMenuItemFrame(canvas.Canvas(), TRect{0, 0, 40, 20}, item);
    EXPECT_EQ(canvas.Pixel(0, 5), White);
    EXPECT_EQ(canvas.Pixel(21, 5), Theme()->UnitColors().TristanGradientColor);
    EXPECT_EQ(canvas.Pixel(22, 5), Back);
    // Separators: disabled ones show only the column.
    canvas.Fill(Back);
    item.Enabled = false;
    Theme()->PaintSeparator(canvas.Canvas(), TRect{0, 0, 40, 10}, item, true, false);
    EXPECT_EQ(canvas.Pixel(0, 5), White);
    EXPECT_EQ(canvas.Pixel(35, 5), Back);
}

} // namespace

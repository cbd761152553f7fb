// Zezio and Miranda, and the classic themes Stripes, Roma and Monai: their
// colours for the classic system colours and the pixels that make their
// look.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "ThemeTestSupport.h"
#include "theming/TxUtils.h"
#include "themes/TxMirandaTheme.h"
#include "themes/TxMonaiTheme.h"
#include "themes/TxRomaTheme.h"
#include "themes/TxStripesTheme.h"
#include "themes/TxZezioTheme.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::Item;
using qelvo::test::PixelCanvas;
using qelvo::test::TFixedSysColors;

using qelvo::test::Back;
using qelvo::test::Face;

namespace {

class ClassicThemes : public testing::Test {
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

TEST_F(ClassicThemes, ZezioCacheKeepsItsEditColoursUnsnapped) {
    auto* theme = Use<TTxZezioTheme>("Zezio");
    const TZezioColorCache& c = theme->Cache();
    EXPECT_EQ(c.ToolbarBackground, Face);
    EXPECT_EQ(c.PopupBackground, 0xFFFFFFu);
    EXPECT_EQ(c.MenuItemColorTable[mrHot][cpBody], 0x6A240Au);
    EXPECT_EQ(c.ButtonColorTable[brPushed][cpBody], MixColors(gcl::clHighlight, 0xFFFFFF, 50));
    EXPECT_EQ(theme->GetDisabledGlyphColor(), MixColors(gcl::clBtnShadow, gcl::clWindow, 90));
    EXPECT_EQ(theme->IntegerMetric(50), 5);
    EXPECT_EQ(theme->IntegerMetric(35), 3);
    // A menu item that opens a submenu is coloured from the button table.
    TTxItemInfo parent = Item(VT_POPUPMENU, true, 2);
    parent.IsPopupParent = 1;
    EXPECT_EQ(theme->ItemColor(parent), c.ButtonColorTable[brHot][cpBody]);
    EXPECT_EQ(theme->ItemTextColor(Item(VT_POPUPMENU, false, 0)), theme->GetDisabledGlyphColor());
}

TEST_F(ClassicThemes, ZezioPinstripeKeepsItsPhaseOnPartialRepaints) {
    auto* theme = Use<TTxZezioTheme>("Zezio");
    const TColor dark = ShiftColor(Face, -8), light = ShiftColor(Face, 8 + (200 - ColorIntensity(Face)) / 20);
    PixelCanvas whole(20, 12, Back), part(20, 12, Back);
    theme->PaintBackground(whole.Canvas(), TRect{}, TRect{0, 0, 20, 12}, TRect{0, 0, 20, 12}, Face, false, VT_TOOLBAR);
    theme->PaintBackground(part.Canvas(), TRect{}, TRect{0, 0, 20, 12}, TRect{0, 4, 20, 12}, Face, false, VT_TOOLBAR);
    for (int y = 0; y < 12; ++y) {
        const TColor expected = y % 3 == 0 ? dark : y % 3 == 1 ? light : Face;
        EXPECT_EQ(whole.Pixel(5, y), expected) << y;
        if (y >= 4) {
            EXPECT_EQ(part.Pixel(5, y), expected) << y;
        }
    }
    // Opaque toolbars are plain.
    theme->PaintBackground(whole.Canvas(), TRect{}, TRect{0, 0, 20, 12}, TRect{0, 0, 20, 12}, Face, false,
                           VT_TOOLBAR | VT_OPAQUE);
    EXPECT_EQ(whole.CountOf(TRect{0, 0, 20, 12}, Face), 240);
}

TEST_F(ClassicThemes, ZezioToolbarCloseGlyphAndDottedSeparators) {
    auto* theme = Use<TTxZezioTheme>("Zezio");
    PixelCanvas canvas(40, 30, Back);
    TTxToolbarFrameInfo info;
    info.ViewType = VT_TOOLBAR;
    info.AllowDrag = true;
    info.DragHandleStyle = 1;
    info.CloseButtonState = CDBS_VISIBLE;
    info.ClientWidth = 40;
    info.ClientHeight = 30;
    theme->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 40, 30}, info);
    // The square (0, 0, 13, 13) less 2 at its bottom and right: the cross centred in (0, 0, 11, 11).
    EXPECT_EQ(canvas.Pattern(TRect{2, 2, 9, 9}, 0x000000), ".......\n"
                                                           "##..##.\n"
                                                           ".####..\n"
                                                           "..##...\n"
                                                           ".####..\n"
                                                           "##..##.\n"
                                                           ".......\n");
    canvas.Fill(Back);
    theme->PaintSeparator(canvas.Canvas(), TRect{0, 0, 12, 8}, Item(VT_TOOLBAR, true), true, false);
    EXPECT_EQ(canvas.Pattern(TRect{0, 4, 12, 5}, 0x000000), "#..#..#..#..\n");
    canvas.Fill(Back);
    theme->PaintSeparator(canvas.Canvas(), TRect{0, 0, 12, 8}, Item(VT_TOOLBAR, false), true, false);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 12, 8}, Back), 96);
}

TEST_F(ClassicThemes, MirandaPlainBackgroundsMovedCaptionsAndSeparators) {
    auto* theme = Use<TTxMirandaTheme>("Miranda");
    EXPECT_EQ(theme->IntegerMetric(35), 5);
    TTxMarginRect margins;
    theme->ThemeMargins(2, margins);
    EXPECT_EQ(margins, (TTxMarginRect{0, 0, 3, 3}));
    PixelCanvas canvas(40, 20, Back);
    theme->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 40, 20}, TRect{0, 0, 40, 20}, Face, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 40, 20}, Face), 800);
    // A checked toolbar button's arrow sits one pixel lower and further right.
    TTxItemInfo item = Item(VT_TOOLBAR, true);
    item.ItemOptions = IO_TOOLBARSTYLE;
    item.IsPopupParent = 3;
    canvas.Fill(Back);
    theme->PaintDropDownArrow(canvas.Canvas(), TRect{0, 0, 20, 20}, item);
    const std::string plain = canvas.Pattern(TRect{6, 6, 14, 14}, 0x000000);
    item.Selected = true;
    canvas.Fill(Back);
    theme->PaintDropDownArrow(canvas.Canvas(), TRect{0, 0, 20, 20}, item);
    EXPECT_EQ(canvas.Pattern(TRect{7, 7, 15, 15}, 0x000000), plain);
    // Popup separators are dots from x = 14 whatever the item's left edge.
    canvas.Fill(Back);
    theme->PaintSeparator(canvas.Canvas(), TRect{5, 0, 40, 8}, Item(VT_POPUPMENU, true), true, false);
    EXPECT_EQ(canvas.Pattern(TRect{10, 4, 28, 5}, 0x000000), "....#..#..#..#....\n");
}

// The 7 x 6 close cross of the classic themes on a docked toolbar.
class ClassicCross : public ClassicThemes, public testing::WithParamInterface<const char*> {};

TEST_P(ClassicCross, DockedToolbarCloseButtonShowsTheSmallCross) {
    auto* theme = Use<TTxStripesTheme>(GetParam());
    PixelCanvas canvas(40, 30, Back);
    TTxToolbarFrameInfo info;
    info.ViewType = VT_TOOLBAR;
    info.AllowDrag = true;
    info.DragHandleStyle = 1;
    info.CloseButtonState = CDBS_VISIBLE;
    info.ClientWidth = 40;
    info.ClientHeight = 30;
    canvas.Canvas()->GetBrush()->SetColor(Face);
    theme->PaintToolbarFrame(canvas.Canvas(), TRect{0, 0, 40, 30}, info);
    EXPECT_EQ(canvas.Pattern(TRect{2, 4, 9, 10}, 0x000000), "##...##\n"
                                                            ".##.##.\n"
                                                            "..###..\n"
                                                            "..###..\n"
                                                            ".##.##.\n"
                                                            "##...##\n")
        << GetParam();
    EXPECT_EQ(theme->GetShadowColor(), BlendColor(gcl::clBtnShadow, gcl::clBtnFace, 210));
    EXPECT_EQ(theme->GetPanelColor(), BlendColorNearest(gcl::clBtnFace, gcl::clWindow, 64));
    EXPECT_EQ(theme->IntegerMetric(65), 14);
    EXPECT_FALSE(theme->BooleanMetric(5));
}

INSTANTIATE_TEST_SUITE_P(Themes, ClassicCross, testing::Values("Stripes", "Roma", "Monai"));

TEST_F(ClassicThemes, StripesEveryFifthRowRomaEveryThirdMonaiPlain) {
    PixelCanvas canvas(10, 12, Back);
    auto* stripes = Use<TTxStripesTheme>("Stripes");
    stripes->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 10, 12}, TRect{0, 0, 10, 12}, Face, false,
                             VT_POPUPMENU);
    EXPECT_EQ(canvas.Pixel(3, 0), ShiftColor(Face, -16));
    EXPECT_EQ(canvas.Pixel(3, 5), ShiftColor(Face, -16));
    EXPECT_EQ(canvas.Pixel(3, 3), Face);
    ReleaseTheme(FTheme);

    // A transparent view still shows Roma's stripes, without the base fill.
    canvas.Fill(Back);
    auto* roma = Use<TTxRomaTheme>("Roma");
    roma->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 10, 12}, TRect{0, 0, 10, 12}, Face, true, VT_TOOLBAR);
    EXPECT_EQ(canvas.Pixel(3, 3), ShiftColor(Face, -8));
    EXPECT_EQ(canvas.Pixel(3, 5), Back);
    VisualStylesOn = !VisualStylesOn;
    for (int index = 0; index < 10; ++index) EXPECT_FALSE(roma->BooleanMetric(index)) << index;
    VisualStylesOn = !VisualStylesOn;
    ReleaseTheme(FTheme);

    canvas.Fill(Back);
    auto* monai = Use<TTxMonaiTheme>("Monai");
    monai->PaintBackground(canvas.Canvas(), TRect{}, TRect{0, 0, 10, 12}, TRect{0, 0, 10, 12}, Face, false, VT_TOOLBAR);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 10, 12}, Face), 120);
}

TEST_F(ClassicThemes, MonaiMdiButtonsCentreTheirGlyphLikeStripes) {
    TTxItemInfo item = Item(VT_MENUBAR, true);
    PixelCanvas stripesCanvas(24, 24, Back), monaiCanvas(24, 24, Back);
    Use<TTxStripesTheme>("Stripes")->PaintMDIButton(stripesCanvas.Canvas(), TRect{2, 3, 22, 21}, item, 0);
    ReleaseTheme(FTheme);
    Use<TTxMonaiTheme>("Monai")->PaintMDIButton(monaiCanvas.Canvas(), TRect{2, 3, 22, 21}, item, 0);
    const std::string glyph = stripesCanvas.Pattern(TRect{0, 0, 24, 24}, 0x000000);
    EXPECT_EQ(monaiCanvas.Pattern(TRect{0, 0, 24, 24}, 0x000000), glyph);
    EXPECT_NE(glyph.find('#'), std::string::npos);
}

} // namespace

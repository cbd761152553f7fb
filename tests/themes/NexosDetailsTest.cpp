// Where the Nexos family's members part from their common form: edit
// buttons, panel and floating captions, toolbar frames, ridge grips, spin
// separators, split lines and check areas, pixel by pixel.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "ThemeTestSupport.h"
#include "themes/TxOfficeCTheme.h"
#include "theming/TxUtils.h"

using namespace qelvo;
using gcl::TRect;
using qelvo::test::TDibCanvas;
using qelvo::test::TFixedSysColors;

namespace {

constexpr TColor Back = 0xFF00FF;
constexpr TColor Panel = 0x00FF00;  // the panel colour the caller leaves on the brush

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

class NexosDetails : public testing::Test {
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

// ---- Nexos2 ------------------------------------------------------------------------------------

TEST_F(NexosDetails, Nexos2EditButtonsHaveTheirOwnPushedFaceLinesAndDivider) {
    auto* t = Theme("Nexos2");
    const TNexosColorCache& c = t->Cache();
    TDibCanvas canvas(20, 24, Back);
    const TTxItemInfo item = Item(VT_TOOLBAR);
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

TEST_F(NexosDetails, Nexos2PanelCaptionsWithoutColourShadeFromTheGripFace) {
    auto* t = Theme("Nexos2");
    TOptionsScope options(t);
    options->ColoredCaptions = false;
    const int h = CaptionHeight();
    TDibCanvas canvas(100, 60, Back);
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

TEST_F(NexosDetails, ItemCaptionsTakeTheFontColourExceptInNexos2) {
    TDibCanvas canvas(60, 20, Back);
    auto caption = [&](TTxNexosFamilyTheme* t) {
        canvas.Fill(0xFFFFFF);
        canvas.Canvas()->GetFont()->SetColor(0x0000FF);
        t->PaintCaption(canvas.Canvas(), TRect{0, 0, 60, 20}, Item(VT_POPUPMENU), "WWW", DT_SINGLELINE | DT_VCENTER,
                        false);
        return canvas.CountOf(TRect{0, 0, 60, 20}, 0x0000FF);
    };
    EXPECT_EQ(caption(Theme("Nexos2")), 0);
    EXPECT_GT(caption(Theme("Nexos4")), 10);
    EXPECT_GT(caption(Theme("Nexos3")), 10);
}

// ---- Nexos3 ------------------------------------------------------------------------------------

TEST_F(NexosDetails, Nexos3ToolbarFramesRiseByTwoAndShadeOnlyWithABorder) {
    auto* t = Theme("Nexos3");
    TDibCanvas canvas(60, 30, Back);
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
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

TEST_F(NexosDetails, Nexos3FloatingCaptionsReachOnePixelBeyondTheBar) {
    const int h = CaptionHeight();
    TDibCanvas canvas(110, 50, Back);
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

TEST_F(NexosDetails, Nexos5HaloesPanelCaptionsOnlyAndWritesBlack) {
    auto* t = Theme("Nexos5");
    TOptionsScope options(t);
    options->CaptionGlow = true;
    const TColor halo = t->UnitColors().CaptionStartColor;
    const int h = CaptionHeight();
    TDibCanvas canvas(110, 60, Back);
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

TEST_F(NexosDetails, NexosXRidgeGripsLeaveRoomForTheCloseButton) {
    auto* t = Theme("NexosX");
    TDibCanvas canvas(80, 80, Back);
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
    frame.AllowDrag = true;
    frame.DragHandleStyle = 0;
    frame.CloseButtonState = CDBS_VISIBLE;
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

TEST_F(NexosDetails, NexosXFloatingCloseButtonsHaveBlackCrosses) {
    auto* t = Theme("NexosX");
    const int h = CaptionHeight();
    TDibCanvas canvas(110, 50, Back);
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

TEST_F(NexosDetails, DreamSpinHalvesAreSeparatedByLines) {
    auto* t = Theme("Dream");
    TDibCanvas canvas(20, 24, Back);
    // Plain halves on a toolbar: white lines down the upper half's left
    // edge, up the lower one's and along its top.
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, Item(VT_TOOLBAR), TTxEditButtonInfo{EBT_SPIN, 0});
    EXPECT_EQ(canvas.Pixel(1, 4), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(1, 15), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(6, 10), 0xFFFFFFu);
    // Hot halves: the lines in 0x808080.
    canvas.Fill(Back);
    t->PaintEditButton(canvas.Canvas(), TRect{0, 0, 13, 20}, Item(VT_TOOLBAR), TTxEditButtonInfo{EBT_SPIN, EBDS_HOT});
    EXPECT_EQ(canvas.Pixel(1, 4), 0x808080u);
    EXPECT_EQ(canvas.Pixel(6, 10), 0x808080u);
    EXPECT_EQ(canvas.Pixel(3, 7), 0xF4F0F0u);
}

TEST_F(NexosDetails, SplitLinesOfHotItemsAndCheckAreasOfUncheckedOnes) {
    const int w = GetSystemMetrics(SM_CXMENUCHECK);
    TDibCanvas canvas(120, 24, Back);
    TTxItemInfo split = Item(VT_POPUPMENU, true, 2);
    split.ItemOptions |= IO_COMBO;
    auto* office = Theme("OfficeC");
    office->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, split);
    EXPECT_EQ(canvas.Pixel(120 - w - 1, 10), office->ItemPart(split, cpFrame));
    canvas.Fill(Back);
    Theme("Nexos4")->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, split);
    EXPECT_EQ(canvas.Pixel(120 - w - 1, 10), 0xFFFFFFu);
    // An unchecked item outlined at design time has no check area.
    TTxItemInfo marked = Item(VT_POPUPMENU);
    marked.ItemOptions |= IO_DESIGNING;
    marked.PopupMargin = 22;
    const TColor reddish = MixColors(0x0000FF, 0xFFFFFF, 40);
    for (const char* name : {"Nexos2", "Nexos4", "NexosX", "Dream", "Relifer"}) {
        canvas.Fill(Back);
        Theme(name)->PaintMenuItem(canvas.Canvas(), TRect{0, 0, 120, 20}, marked);
        EXPECT_EQ(canvas.CountOf(TRect{0, 0, 30, 20}, reddish), 0) << name;
    }
}

TEST_F(NexosDetails, OfficeCToolbarFramesEndBeforeTheHandleWithoutABorder) {
    auto* t = Theme("OfficeC");
    TDibCanvas canvas(80, 30, Back);
    TTxToolbarFrameInfo frame;
    frame.ViewType = VT_TOOLBAR;
    frame.AllowDrag = true;
    frame.CloseButtonState = CDBS_VISIBLE;
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

// The Default theme: its answers, every paint operation in both modes, the
// classic glyph, arrow and check pixels, its frames, and a screenshot of a
// form that shows them.
#include "theming/TxDefaultTheme.h"

#include <gtest/gtest.h>

#include <functional>

#include "gcl/Forms.h"
#include "gcl/ImgList.h"
#include "support/Screenshot.h"
#include "support/WindowTest.h"
#include "theming/TxTestSupport.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxDefault : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
    void SetUp() override { Theme = AcquireTheme("Default"); }
    void TearDown() override { ReleaseTheme(Theme); }
    TTxTheme* Theme = nullptr;
};

TTxItemInfo Item(uint32_t viewType, bool enabled = true) {
    TTxItemInfo info;
    info.ViewType = viewType;
    info.Enabled = enabled;
    return info;
}

} // namespace

TEST_F(TxDefault, MetricsAndSimpleAnswers) {
    struct {
        int Index, Value;
    } metrics[] = {{20, 8}, {21, 3}, {32, 1}, {62, 1}, {33, 2}, {34, 2}, {36, 2}, {60, 2}, {61, 2},
                   {35, -1}, {37, 4}, {50, 6}, {65, 13}, {66, 0}, {99, -1}, {0, -1}};
    for (auto m : metrics) EXPECT_EQ(Theme->IntegerMetric(m.Index), m.Value) << m.Index;
    for (int i : {0, 1, 3, 4, 6, 7, 8}) EXPECT_FALSE(Theme->BooleanMetric(i)) << i;
    EXPECT_EQ(Theme->PopupShadowKind(), 1);
    TTxItemInfo info = Item(VT_TOOLBAR);
    EXPECT_EQ(Theme->ImageOffset(nullptr, info, nullptr), (TPoint{0, 0}));
    info.Selected = true;
    EXPECT_EQ(Theme->ImageOffset(nullptr, info, nullptr), (TPoint{1, 1}));

    TTxMarginRect m;
    Theme->ViewMargins(VT_TOOLBAR | VT_FLOATING, m);
    EXPECT_EQ(m, (TTxMarginRect{4, 4, 2, 1}));
    Theme->ViewMargins(VT_TOOLBAR, m);
    EXPECT_EQ(m, TTxMarginRect{});
    Theme->ThemeMargins(2, m);
    EXPECT_EQ(m, (TTxMarginRect{0, 0, 2, 2}));
    Theme->ThemeMargins(7, m);
    EXPECT_EQ(m, TTxMarginRect{});

    TPoint b;
    Theme->ViewBorder(VT_POPUPMENU, b);
    EXPECT_EQ(b, (TPoint{3, 3}));
    Theme->ViewBorder(VT_LISTPOPUP, b);
    EXPECT_EQ(b, (TPoint{1, 1}));
    Theme->ViewBorder(VT_TOOLBAR, b);
    EXPECT_EQ(b, (TPoint{2, 2}));
    Theme->ViewBorder(VT_DOCKPANEL | VT_FLOATING | VT_SIZABLE, b);
    EXPECT_EQ(b, (TPoint{GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)}));
    Theme->ViewBorder(VT_TOOLBAR | VT_FLOATING, b);
    EXPECT_EQ(b, (TPoint{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)}));
    Theme->ViewBorder(VT_STATUSBAR, b);
    EXPECT_EQ(b, (TPoint{0, 0}));
}

TEST_F(TxDefault, ClassicColoursAndMargins) {
    TVisualStylesScope classic(false);
    auto* theme = static_cast<TTxDefaultTheme*>(Theme);
    EXPECT_EQ(theme->GetToolbarColor(), gcl::clBtnFace);
    EXPECT_EQ(theme->GetDockPanelColor(), BlendColorNearest(gcl::clBtnFace, gcl::clWindow, 64));
    EXPECT_EQ(Theme->ViewColor(VT_TOOLBAR), gcl::clBtnFace);
    EXPECT_EQ(Theme->ViewColor(VT_LISTPOPUP), gcl::clWindow);
    EXPECT_EQ(Theme->ViewColor(VT_POPUPMENU), MenuColor);
    EXPECT_EQ(Theme->ViewColor(VT_TOOLBOXPOPUP), gcl::clBtnFace);
    EXPECT_EQ(Theme->ViewColor(0), gcl::clBtnFace);
    TTxMarginRect m;
    Theme->ThemeMargins(3, m);
    EXPECT_EQ(m, (TTxMarginRect{1, 3, 1, 1}));
    Theme->ThemeMargins(1, m);
    EXPECT_EQ(m, (TTxMarginRect{2, 2, 2, 2}));

    TTxItemInfo hot = Item(VT_POPUPMENU);
    hot.HoverKind = 2;
    EXPECT_EQ(Theme->ItemColor(hot), gcl::clHighlight);
    EXPECT_EQ(Theme->ItemTextColor(hot), gcl::clHighlightText);
    hot.ItemOptions = IO_TOOLBARSTYLE;
    EXPECT_EQ(Theme->ItemColor(hot), MenuColor);
    EXPECT_EQ(Theme->ItemTextColor(hot), gcl::clBtnText);
    TTxItemInfo bar = Item(VT_MENUBAR);
    EXPECT_EQ(Theme->ItemTextColor(bar), gcl::clGrayText);  // application inactive
    bar.ItemOptions = IO_APPACTIVE;
    EXPECT_EQ(Theme->ItemTextColor(bar), MenuTextColor);
    EXPECT_EQ(Theme->ItemTextColor(Item(VT_POPUPMENU, false)), gcl::clGrayText);
}

namespace {

// Runs every paint operation of the theme into a bitmap.
void PaintEverything(TTxTheme* theme, TPaintTarget& t) {
    TCanvas* c = t.Canvas();
    const TRect r{2, 2, 40, 24};
    std::unique_ptr<gcl::TImageList, void (*)(gcl::TImageList*)> images(gcl::TImageList::CreateSize(16, 16),
                                                                      [](gcl::TImageList* p) { p->Free(); });
    gcl::TBitmap bmp;
    bmp.SetPixelFormat(gcl::pf24bit);
    bmp.SetSize(16, 16);
    bmp.GetCanvas()->GetBrush()->SetColor(0x0080FF);
    bmp.GetCanvas()->FillRect(TRect{2, 2, 14, 14});
    images->AddMasked(&bmp, 0x000000);
    for (uint32_t vt : {VT_TOOLBAR, VT_TOOLBAR | VT_OPAQUE, VT_MENUBAR, VT_POPUPMENU, VT_LISTPOPUP, VT_CHEVRONPOPUP})
        for (int state = 0; state < 8; ++state)
            for (uint8_t part = 0; part < 4; ++part) {
                TTxItemInfo i = Item(vt, (state & 1) == 0);
                i.HoverKind = (state & 2) ? 2 : (state & 4) ? 1 : 0;
                i.Pushed = state == 4;
                i.Selected = (state & 4) != 0;
                i.IsPopupParent = part;
                i.IsVertical = state == 6;
                i.ItemOptions = (state & 1 ? IO_RADIO : 0) | (part == 1 ? IO_SUBMENUITEM | IO_COMBO : 0) |
                                (state == 3 ? IO_TOOLBARSTYLE | IO_DESIGNING : 0);
                i.ImageWidth = part == 2 ? 16 : 0;
                i.PopupMargin = 20;
                theme->PaintButton(c, r, i);
                c->GetFont()->SetColor(state == 5 ? clNone : gcl::clBtnText);
                theme->PaintCaption(c, r, i, "&Caption", DT_SINGLELINE, state == 6);
                theme->PaintCheckMark(c, r, i);
                theme->PaintChevron(c, r, i);
                theme->PaintDropDownArrow(c, r, i);
                theme->PaintControlFrame(c, r, i);
                theme->PaintImage(c, r, i, images.get(), 0);
                theme->PaintMDIButton(c, r, i, part);
                theme->PaintMenuItem(c, r, i);
                theme->PaintSeparator(c, r, i, state & 1, state & 2);
                TTxEditFrameInfo edit;
                edit.RightBtnWidth = 13;
                edit.RightBtnInfo = TTxEditButtonInfo{part % 2 ? EBT_SPIN : EBT_DROPDOWN,
                                                      static_cast<uint32_t>(state) * 2};
                theme->PaintEditFrame(c, r, i, edit);
                theme->PaintEditButton(c, TRect{20, 2, 33, 24}, i, TTxEditButtonInfo{EBT_SPIN, 1u << part});
                theme->PaintFrameControl(c, TRect{2, 2, 15, 15}, 1 + state % 2, state * 4 + part, 0);
                theme->PaintBackground(c, r, r, TRect{0, 0, 20, 20}, 0x123456, state == 1, vt);
            }
    for (int part = 0; part < 4; ++part) theme->PaintStatusBarPart(c, TRect{0, 0, 60, 18}, part);
    for (int dir = 1; dir <= 4; ++dir) theme->PaintPageScrollButton(c, TRect{0, 0, 16, 12}, dir, dir % 2);
    for (int pos = 0; pos < 5; ++pos) theme->PaintDockBackground(c, TRect{0, 0, 60, 30}, TRect{0, 0, 60, 30}, pos);
    for (uint32_t vt : {VT_POPUPMENU, VT_LISTPOPUP, VT_TOOLBOXPOPUP, VT_CHEVRONPOPUP}) {
        TTxPopupFrameInfo p;
        p.ViewType = vt;
        theme->PaintPopupFrame(c, TRect{0, 0, 60, 40}, p);
    }
    for (int style = 0; style < 3; ++style)
        for (uint32_t close : {0u, 1u, 3u, 5u}) {
            TTxToolbarFrameInfo tb;
            tb.AllowDrag = true;
            tb.BorderStyle = 1;
            tb.BorderSize = {2, 2};
            tb.ClientWidth = 50;
            tb.ClientHeight = 22;
            tb.DragHandleStyle = style;
            tb.CloseButtonState = close;
            tb.IsVertical = style == 1;
            theme->PaintToolbarFrame(c, TRect{0, 0, 70, 26}, tb);
            TTxPanelCaptionInfo pc;
            static_cast<TTxToolbarFrameInfo&>(pc) = tb;
            pc.DragHandleStyle = 1;
            pc.Caption = "Panel";
            theme->PaintPanelCaptionArea(c, TRect{0, 0, 70, 50}, pc);
            TTxFloatingFrameInfo ff;
            ff.ShowCaption = style != 2;
            ff.BorderSize = {3, 3};
            ff.ClientWidth = 60;
            ff.ClientHeight = 40;
            ff.CloseButtonState = close;
            ff.RedrawPart = 7;
            ff.Active = close & 2;
            ff.Caption = "Floating";
            theme->PaintFloatingFrame(c, TRect{0, 0, 66, 46}, ff);
        }
}

} // namespace

TEST_F(TxDefault, EveryOperationPaintsInBothModes) {
    for (bool styles : {false, true}) {
        TVisualStylesScope mode(styles);
        EXPECT_EQ(VisualStylesOn, styles);
        TPaintTarget t(80, 60);
        PaintEverything(Theme, t);
        EXPECT_GT(t.CountNot(TRect{0, 0, 80, 60}, 0x00FF00FF), 100) << styles;
    }
}

TEST_F(TxDefault, ClassicArrowCheckAndChevronPixels) {
    TVisualStylesScope classic(false);
    const TColor text = Sys(gcl::clBtnText), face = 0x00FF00;
    TPaintTarget t(20, 20, face);
    // Drop-down arrow: centre (10, 9); a filled triangle (8, 9) (12, 9) (10, 11).
    TTxItemInfo i = Item(VT_TOOLBAR);
    Theme->PaintDropDownArrow(t.Canvas(), TRect{0, 0, 20, 20}, i);
    for (int x = 8; x <= 12; ++x) EXPECT_EQ(t.Pixel(x, 9), text) << x;
    EXPECT_EQ(t.Pixel(10, 11), text);
    EXPECT_EQ(t.Pixel(10, 12), face);
    EXPECT_EQ(t.Pixel(7, 9), face);
    EXPECT_EQ(t.Pixel(10, 8), face);
    // Pushed moves it by (1, 1); the arrow part of a split button does not.
    t.Fill(face);
    i.Pushed = true;
    Theme->PaintDropDownArrow(t.Canvas(), TRect{0, 0, 20, 20}, i);
    EXPECT_EQ(t.Pixel(9, 10), text);
    EXPECT_EQ(t.Pixel(8, 9), face);
    // Disabled: a highlight copy at (+1, +1), then the shadow copy in place.
    t.Fill(face);
    i = Item(VT_TOOLBAR, false);
    Theme->PaintDropDownArrow(t.Canvas(), TRect{0, 0, 20, 20}, i);
    EXPECT_EQ(t.Pixel(8, 9), Sys(gcl::clBtnShadow));
    EXPECT_EQ(t.Pixel(11, 12), Sys(gcl::clBtnHighlight));

    // Check mark: centre (9, 10); its first stroke from (7, 9) to (9, 11).
    t.Fill(face);
    i = Item(VT_POPUPMENU);
    Theme->PaintCheckMark(t.Canvas(), TRect{0, 0, 20, 20}, i);
    EXPECT_EQ(t.Pixel(7, 9), text);
    EXPECT_EQ(t.Pixel(8, 10), text);
    EXPECT_EQ(t.Pixel(9, 11), text);
    EXPECT_EQ(t.Pixel(12, 8), text);
    EXPECT_EQ(t.Pixel(6, 10), Sys(gcl::clBtnHighlight));  // the highlight line under it
    i.Enabled = false;
    t.Fill(face);
    Theme->PaintCheckMark(t.Canvas(), TRect{0, 0, 20, 20}, i);
    EXPECT_EQ(t.Pixel(7, 9), Sys(gcl::clGrayText));
    EXPECT_EQ(t.CountOf(TRect{0, 0, 20, 20}, Sys(gcl::clBtnHighlight)), 0);

    // Chevron: the glyph box starts 4 pixels below the top, 5 high, 8 wide.
    TPaintTarget c(20, 12, face);
    Theme->PaintChevron(c.Canvas(), TRect{0, 0, 20, 12}, Item(VT_TOOLBAR));
    static constexpr uint16_t Rows[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    const int x0 = (0 + 20 + 1 - 8) / 2, y0 = (4 + 9 + 1 - 5) / 2;
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 8; ++col)
            EXPECT_EQ(c.Pixel(x0 + col, y0 + row) == text, ((Rows[row] >> (7 - col)) & 1) != 0) << col << "," << row;
}

TEST_F(TxDefault, RadioDotEditFieldAndToolbarCross) {
    TVisualStylesScope classic(false);
    const TColor face = 0x00FF00;
    TPaintTarget t(20, 20, face);
    TTxItemInfo radio = Item(VT_POPUPMENU);
    radio.ItemOptions = IO_RADIO;
    Theme->PaintCheckMark(t.Canvas(), TRect{0, 0, 20, 20}, radio);
    EXPECT_EQ(t.Pixel(10, 10), Sys(gcl::clBtnText));  // the filled dot around (10, 10)
    EXPECT_EQ(t.Pixel(10, 3), face);
    EXPECT_GT(t.CountOf(TRect{0, 0, 20, 20}, Sys(gcl::clBtnHighlight)), 0);  // its ring

    // An edit frame without a button fills its field inside the frame only.
    TPaintTarget e(40, 20, face);
    TTxEditFrameInfo none;
    Theme->PaintEditFrame(e.Canvas(), TRect{0, 0, 40, 20}, Item(VT_TOOLBAR), none);
    EXPECT_EQ(e.Pixel(20, 10), Sys(gcl::clWindow));
    EXPECT_EQ(e.Pixel(38, 10), Sys(gcl::clBtnFace));  // the frame's own ring stays
    EXPECT_EQ(e.Pixel(39, 10), face);

    // The docked toolbar's close cross (7 x 7) in button text, centred in its square.
    TTxToolbarFrameInfo tb;
    tb.AllowDrag = true;
    tb.BorderSize = {0, 0};
    tb.ClientWidth = 40;
    tb.ClientHeight = 20;
    tb.CloseButtonState = CDBS_VISIBLE;
    TPaintTarget f(60, 20, face);
    f.Canvas()->GetBrush()->SetColor(face);
    Theme->PaintToolbarFrame(f.Canvas(), TRect{0, 0, 60, 20}, tb);
    // The square is (0, 0)-(13, 13) less 2 at the right and bottom: the cross sits at (2, 2).
    static constexpr uint16_t Cross[7] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00};
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col)
            EXPECT_EQ(f.Pixel(2 + col, 2 + row) == Sys(gcl::clBtnText), ((Cross[row] >> (7 - col)) & 1) != 0)
                << col << "," << row;
}

TEST_F(TxDefault, ClassicButtonFaces) {
    TVisualStylesScope classic(false);
    const TColor face = 0x00FF00;
    TPaintTarget t(24, 24, face);
    const TRect r{0, 0, 24, 24};
    TTxItemInfo i = Item(VT_TOOLBAR);
    Theme->PaintButton(t.Canvas(), r, i);
    EXPECT_EQ(t.CountNot(r, face), 0);  // a plain button has no face
    i.HoverKind = 2;
    Theme->PaintButton(t.Canvas(), r, i);
    EXPECT_EQ(t.Pixel(0, 0), Sys(gcl::clBtnHighlight));  // raised
    EXPECT_EQ(t.Pixel(23, 23), Sys(gcl::clBtnShadow));
    t.Fill(face);
    i = Item(VT_TOOLBAR);
    i.Selected = true;  // checked, neither hot nor pushed: sunken and dithered
    Theme->PaintButton(t.Canvas(), r, i);
    EXPECT_EQ(t.Pixel(0, 0), Sys(gcl::clBtnShadow));
    EXPECT_NE(t.Pixel(5, 5), t.Pixel(6, 5));
    EXPECT_EQ(t.Pixel(5, 5), t.Pixel(6, 6));
    // A disabled, keyboard-selected menu caption is plain grey, not embossed.
    t.Fill(face);
    i = Item(VT_POPUPMENU, false);
    i.HoverKind = 1;
    t.Canvas()->GetFont()->SetColor(clNone);
    Theme->PaintCaption(t.Canvas(), r, i, "W", DT_SINGLELINE, false);
    EXPECT_GT(t.CountOf(r, Sys(gcl::clGrayText)), 0);
    EXPECT_EQ(t.CountOf(r, Sys(gcl::clBtnHighlight)), 0);
}

// Opaque and designing buttons ask the system for their outline; an empty or
// inverted rectangle (a squeezed item, or a menu item's image column painted
// into a rectangle shorter than nothing) must not reach that request, while a
// real button keeps its filled outline.
TEST_F(TxDefault, StyledButtonOutlineOnlyForRealRectangles) {
    TVisualStylesScope styles(true);
    if (!VisualStylesOn) GTEST_SKIP() << "no visual styles here";
    const TColor face = 0x00FF00;
    TPaintTarget t(96, 96, face);
    for (uint32_t view : {VT_TOOLBAR | VT_OPAQUE, VT_TOOLBAR})
        for (int popupParent = 0; popupParent < 4; ++popupParent)
            for (TRect r : {TRect{10, 10, 40, 4}, TRect{10, 10, 40, 10}, TRect{10, 10, 10, 30}, TRect{10, 10, 2, 4},
                            TRect{11, 10, 11, 4}}) {
                TTxItemInfo i = Item(view);
                i.Pushed = i.Selected = true;
                i.IsPopupParent = static_cast<uint8_t>(popupParent);
                i.ItemOptions = view & VT_OPAQUE ? 0 : IO_DESIGNING;
                Theme->PaintButton(t.Canvas(), r, i);
                i.ImageWidth = 16;
                i.PopupMargin = 22;
                Theme->PaintMenuItem(t.Canvas(), r, i);
            }
    // An opaque button of some size is still filled with the toolbar colour
    // inside the outline the system gives.
    t.Fill(face);
    const TRect r{2, 2, 40, 24};
    TTxItemInfo i = Item(VT_TOOLBAR | VT_OPAQUE);
    i.Enabled = false;
    Theme->PaintButton(t.Canvas(), r, i);
    EXPECT_GT(t.CountOf(r, Sys(static_cast<TTxDefaultTheme*>(Theme)->GetToolbarColor())), r.Width() * r.Height() / 2);
    EXPECT_EQ(t.CountNot(TRect{0, 0, 96, 2}, face), 0);
}

TEST_F(TxDefault, Frames) {
    for (bool styles : {false, true}) {
        TVisualStylesScope mode(styles);
        // A list popup's frame: window-frame then window colour, flat menus or not.
        for (int style : {0, 2}) {
            ThemeManager()->SetMenuStyle(style);
            TPaintTarget t(30, 20);
            TTxPopupFrameInfo p;
            p.ViewType = VT_LISTPOPUP;
            Theme->PaintPopupFrame(t.Canvas(), TRect{0, 0, 30, 20}, p);
            EXPECT_EQ(t.Pixel(0, 0), Sys(gcl::clWindowFrame));
            EXPECT_EQ(t.Pixel(1, 1), Sys(gcl::clWindow));
            EXPECT_EQ(t.Pixel(2, 2), Sys(gcl::clWindow));
            EXPECT_EQ(t.Pixel(3, 3), 0x00FF00FF);
        }
        ThemeManager()->SetMenuStyle(0);

        // A toolbar that may not be dragged: no handle, no close button.
        TTxToolbarFrameInfo tb;
        tb.BorderSize = {2, 2};
        tb.ClientWidth = 50;
        tb.ClientHeight = 22;
        tb.CloseButtonState = CDBS_VISIBLE;
        TPaintTarget a(54, 26), b(54, 26);
        a.Canvas()->GetBrush()->SetColor(0x00FF00);
        b.Canvas()->GetBrush()->SetColor(0x00FF00);
        Theme->PaintToolbarFrame(a.Canvas(), TRect{0, 0, 54, 26}, tb);
        EXPECT_EQ(a.CountNot(TRect{0, 0, 54, 26}, 0x00FF00), 0) << styles;
        tb.AllowDrag = true;
        Theme->PaintToolbarFrame(b.Canvas(), TRect{0, 0, 54, 26}, tb);
        EXPECT_GT(b.CountNot(TRect{2, 2, 16, 24}, 0x00FF00), 0) << styles;

        // A floating redraw of the close button alone leaves frame and caption as they were.
        TTxFloatingFrameInfo ff;
        ff.ShowCaption = true;
        ff.BorderSize = {3, 3};
        ff.ClientWidth = 80;
        ff.ClientHeight = 40;
        ff.CloseButtonState = CDBS_VISIBLE;
        ff.RedrawPart = RP_CLOSEBUTTON;
        ff.Caption = "Tools";
        TPaintTarget f(86, 46);
        Theme->PaintFloatingFrame(f.Canvas(), TRect{0, 0, 86, 46}, ff);
        TRect close;
        CalcFloatingCloseButtonRect(ff, true, close);
        EXPECT_EQ(f.CountNot(TRect{0, 0, 86, 46}, 0x00FF00FF), f.CountNot(close, 0x00FF00FF)) << styles;
        EXPECT_GT(f.CountNot(close, 0x00FF00FF), 0) << styles;
    }
}

namespace {

// A test form whose surface the current theme paints: a docked toolbar's
// frame, buttons in every state, a popup frame with a panel caption, a
// status bar.
class TThemeShowcase : public gcl::TCustomControl {
    GCL_CLASS(TThemeShowcase, gcl::TCustomControl)
protected:
    explicit TThemeShowcase(gcl::TComponent* owner) : TCustomControl(owner) {}
    void Paint() override {
        TCanvas* c = GetCanvas();
        TTxTheme* theme = CurrentTheme;
        const TRect all = GetClientRect();
        c->GetBrush()->SetColor(gcl::clWindow);
        c->FillRect(all);
        // Docked toolbar with a drag handle and close button.
        TTxToolbarFrameInfo tb;
        tb.AllowDrag = true;
        tb.BorderStyle = 1;
        tb.BorderSize = {2, 2};
        tb.ClientWidth = 200;
        tb.ClientHeight = 24;
        tb.CloseButtonState = CDBS_VISIBLE | CDBS_HOT;
        c->GetBrush()->SetColor(theme->ViewColor(VT_TOOLBAR));
        // A frame paints in window coordinates, from (0, 0).
        POINT old;
        SetViewportOrgEx(c->GetHandle(), 10, 10, &old);
        theme->PaintToolbarFrame(c, TRect{0, 0, 218, 28}, tb);
        SetViewportOrgEx(c->GetHandle(), old.x, old.y, nullptr);
        static const char* Names[5] = {"Nrm", "Hot", "Psh", "Chk", "Dis"};
        for (int s = 0; s < 5; ++s) {
            TTxItemInfo i;
            i.ViewType = VT_TOOLBAR;
            i.ItemOptions = IO_TOOLBARSTYLE;
            i.Enabled = s != 4;
            i.HoverKind = s == 1 || s == 2 ? 2 : 0;
            i.Pushed = s == 2;
            i.Selected = s == 3;
            const TRect r{28 + s * 40, 12, 28 + s * 40 + 38, 12 + 24};
            theme->PaintButton(c, r, i);
            c->GetFont()->SetColor(clNone);
            theme->PaintCaption(c, r, i, Names[s], DT_CENTER | DT_VCENTER | DT_SINGLELINE, false);
        }
        TTxItemInfo split;
        split.ViewType = VT_TOOLBAR;
        split.Enabled = true;
        split.HoverKind = 2;
        split.IsPopupParent = 3;
        theme->PaintButton(c, TRect{230, 12, 242, 36}, split);
        TTxItemInfo chevron = split;
        chevron.IsPopupParent = 0;
        chevron.HoverKind = 0;
        theme->PaintChevron(c, TRect{244, 12, 258, 36}, chevron);

        // A popup menu's frame, its items, a separator and check marks.
        const TRect popup{20, 60, 170, 160};
        TTxPopupFrameInfo pf;
        pf.ViewType = VT_POPUPMENU;
        theme->PaintPopupFrame(c, popup, pf);
        c->GetBrush()->SetColor(theme->ViewColor(VT_POPUPMENU));
        c->FillRect(TRect{popup.Left + 3, popup.Top + 3, popup.Right - 3, popup.Bottom - 3});
        for (int row = 0; row < 4; ++row) {
            TTxItemInfo i;
            i.ViewType = VT_POPUPMENU;
            i.Enabled = row != 3;
            i.HoverKind = row == 1 ? 2 : 0;
            i.Selected = row == 2;
            i.ItemOptions = row == 0 ? IO_SUBMENUITEM : 0;
            i.PopupMargin = 22;
            const TRect r{popup.Left + 3, popup.Top + 4 + row * 22, popup.Right - 3, popup.Top + 4 + row * 22 + 20};
            theme->PaintMenuItem(c, r, i);
            if (i.Selected) theme->PaintCheckMark(c, TRect{r.Left, r.Top, r.Left + 22, r.Bottom}, i);
            c->GetFont()->SetColor(clNone);
            theme->PaintCaption(c, TRect{r.Left + 28, r.Top, r.Right, r.Bottom}, i,
                                row == 3 ? "Disabled" : "Menu item", DT_VCENTER | DT_SINGLELINE, false);
        }
        // A docked panel's caption and a status bar.
        TTxPanelCaptionInfo pc;
        pc.IsVertical = true;
        pc.DragHandleStyle = 1;
        pc.CloseButtonState = CDBS_VISIBLE;
        pc.Caption = "Lists";
        theme->PaintPanelCaptionArea(c, TRect{190, 60, 300, 160}, pc);
        for (int k = 0; k < 2; ++k)
            theme->PaintFrameControl(c, TRect{200 + k * 20, 130, 213 + k * 20, 143}, 1 + k, PFS_CHECKED, 0);
        const TRect status{0, all.Bottom - 22, all.Right, all.Bottom};
        theme->PaintStatusBarPart(c, status, 0);
        theme->PaintStatusBarPart(c, TRect{2, status.Top + 2, 150, status.Bottom}, 1);
        theme->PaintStatusBarPart(c, TRect{status.Right - 18, status.Top + 3, status.Right, status.Bottom}, 3);
    }
};
GCL_IMPLEMENT_CLASS(TThemeShowcase)

} // namespace

TEST_F(TxDefault, ShowcaseScreenshotInBothModes) {
    for (bool styles : {true, false}) {
        TVisualStylesScope mode(styles);
        auto* form = gcl::TForm::Create(nullptr, 0);
        form->SetBounds(40, 40, 330, 230);
        form->SetCaption(styles ? "Default theme (visual styles)" : "Default theme (classic)");
        auto* showcase = TThemeShowcase::Create(form);
        showcase->SetParent(form);
        showcase->SetAlign(gcl::alClient);
        form->Show();
        // The popup's shadow, under Wine's layered windows.
        RECT wr;
        GetWindowRect(showcase->GetHandle(), &wr);
        const TRect popup{wr.left + 20, wr.top + 60, wr.left + 170, wr.top + 160};
        TShadows shadows(TRect{}, popup, 4, 61, LowColorDepth);
        shadows.Show(HWND_TOP);
        PumpMessages(300);
        const int changes = SaveWindowScreenshot(form->GetHandle(), styles ? "theming_default_styled.bmp"
                                                                           : "theming_default_classic.bmp");
        EXPECT_GT(changes, 20) << styles;
        form->Free();
    }
}

// The painting-style layer: style resolution, the painters' pixels, wide
// and rotated text, the caption-and-image layout, the string helpers, the
// folder listing and the window placement routines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "controls/XtPaint.h"
#include "controls/XtTestSupport.h"
#include "gcl/ExtCtrls.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/Lists.h"
#include "support/TestEnvironment.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class XtPaint : public XtFormTest {};

TEST_F(XtPaint, StyleResolvesByThemeAndVisualStyles) {
    {
        TVisualStylesScope styles(true);
        if (VisualStylesUsable()) {
            EXPECT_EQ(ResolvePaintingStyle(thtTx), thtWindows);  // the "Default" theme
            EXPECT_EQ(ResolvePaintingStyle(thtWindows), thtWindows);
        }
        EXPECT_EQ(ResolvePaintingStyle(thtNone), thtNone);
    }
    {
        TVisualStylesScope styles(false);
        EXPECT_FALSE(VisualStylesUsable());
        EXPECT_EQ(ResolvePaintingStyle(thtTx), thtNone);
        EXPECT_EQ(ResolvePaintingStyle(thtWindows), thtNone);
        UseRecordingTheme();
        EXPECT_EQ(ResolvePaintingStyle(thtTx), thtTx);
    }
}

TEST_F(XtPaint, NexusClosesItsHandlesWithVisualStylesAndOpensThemAgain) {
    TVisualStylesScope on(true);
    if (!VisualStylesUsable()) GTEST_SKIP() << "no visual styles here";
    EXPECT_NE(XtTabTheme, nullptr);
    EXPECT_NE(XtProgressTheme, nullptr);
    {
        TVisualStylesScope off(false);
        EXPECT_EQ(XtTabTheme, nullptr);
        EXPECT_EQ(XtTrackBarTheme, nullptr);
    }
    EXPECT_NE(XtTrackBarTheme, nullptr);
}

TEST_F(XtPaint, ButtonItemInfo) {
    TTxItemInfo info;
    info.Reserved[0] = 7;
    FillButtonItemInfo(true, true, true, true, info);
    EXPECT_EQ(info.ViewType, 0x1001u);
    EXPECT_EQ(info.ItemOptions, 0x21u);
    EXPECT_TRUE(info.Enabled && info.Pushed && info.Selected);
    EXPECT_EQ(info.HoverKind, 2);
    EXPECT_EQ(info.Reserved[0], 0u);
    FillButtonItemInfo(false, true, false, false, info);
    EXPECT_FALSE(info.Pushed);  // pushed only counts while hot
    EXPECT_EQ(info.HoverKind, 0);
}

TEST_F(XtPaint, StringHelpers) {
    EXPECT_EQ(StripAccelerators(L"a&&b"), L"a&b");
    EXPECT_EQ(StripAccelerators(L"&File"), L"File");
    EXPECT_EQ(StripAccelerators(L"Save && E&xit&"), L"Save & Exit");
    EXPECT_EQ(StripAfterTab(L"Open\tCtrl+O"), L"Open");
    EXPECT_EQ(StripAfterTab(L"Open"), L"Open");
    EXPECT_EQ(StripTrailingColonOrEllipsis(L"Name:"), L"Name");
    EXPECT_EQ(StripTrailingColonOrEllipsis(L":"), L":");
    EXPECT_EQ(StripTrailingColonOrEllipsis(L"Open..."), L"Open");
    EXPECT_EQ(StripTrailingColonOrEllipsis(L"..."), L"...");
    EXPECT_TRUE(SameWideText(L"Stripes", L"sTRIPES"));
    EXPECT_FALSE(SameWideText(L"Stripes", L"Stripe"));
    EXPECT_EQ(GetAcceleratorChar(L"Sa&ve"), L'V');
    EXPECT_EQ(GetAcceleratorChar(L"Save && Exit"), 0);
}

TEST_F(XtPaint, Utf8CaptionsAreDecodedOnlyBehindTheirPrefix) {
    // "utf8=" followed by the UTF-8 bytes of Greek alpha and omega, one character a byte.
    const std::wstring stored = gcl::AnsiToWide("utf8=\xCE\xB1\xCF\x89");
    EXPECT_EQ(DecodeCaption(stored), L"\u03B1\u03C9");
    EXPECT_EQ(DecodeCaption(L"see utf8=x"), L"see utf8=x");
}

TEST_F(XtPaint, GlowCopiesSurroundTheText) {
    TPaintTarget target(80, 30, gcl::clWhite);
    TCanvas* canvas = target.Canvas();
    canvas->GetFont()->SetColor(gcl::clBlack);
    canvas->GetFont()->SetName("Tahoma");
    canvas->GetFont()->SetSize(12);
    TRect r{5, 5, 75, 25};
    DrawGlowText(canvas, L"Wg", r, 0, gcl::clRed, gldNone, DT_SINGLELINE);
    EXPECT_EQ(target.CountOf(TRect{0, 0, 80, 30}, gcl::clRed), 0);
    EXPECT_GT(target.CountOf(TRect{0, 0, 80, 30}, gcl::clBlack), 10);
    target.Fill(gcl::clWhite);
    DrawGlowText(canvas, L"Wg", r, 0, gcl::clRed, gldAll, DT_SINGLELINE);
    EXPECT_GT(target.CountOf(TRect{0, 0, 80, 30}, gcl::clRed), 10);
    EXPECT_GT(target.CountOf(TRect{0, 0, 80, 30}, gcl::clBlack), 10);
    // Measuring draws nothing.
    target.Fill(gcl::clWhite);
    TRect m{0, 0, 1, 1};
    DrawGlowText(canvas, L"Wg", m, 0, gcl::clRed, gldAll, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_GT(m.Width(), 5);
    EXPECT_EQ(target.CountNot(TRect{0, 0, 80, 30}, gcl::clWhite), 0);
}

TEST_F(XtPaint, RotatedTextMeasuresAndShortens) {
    TPaintTarget target(60, 200, gcl::clWhite);
    TCanvas* canvas = target.Canvas();
    canvas->GetFont()->SetName("Tahoma");
    canvas->GetFont()->SetSize(10);
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid});
    const HDC dc = canvas->GetHandle();
    const HFONT rotated = CreateRotatedFontEx(dc, 900);
    const HGDIOBJ old = SelectObject(dc, rotated);
    SIZE literal, first;
    GetWideTextExtent(dc, L"Save & Exit", false, literal);
    GetWideTextExtent(dc, L"S", false, first);
    SelectObject(dc, old);
    DeleteObject(rotated);

    // "&&" stays one literal '&'.
    TRect r{0, 0, 40, 190};
    const int height = DrawRotatedWideText(dc, L"Save && Exit", r, 1, DT_CALCRECT);
    EXPECT_GT(height, 0);
    EXPECT_EQ(r.Height(), literal.cx);
    EXPECT_EQ(r.Width(), height);
    // Two pixels tall: only the first character is kept.
    TRect tiny{0, 0, 40, 2};
    DrawRotatedWideText(dc, L"Save", tiny, 1, DT_CALCRECT | DT_END_ELLIPSIS);
    EXPECT_EQ(tiny.Height(), first.cx);
    // Drawn: pixels inside the rectangle only.
    TRect draw{10, 10, 40, 150};
    DrawRotatedWideText(dc, L"Rotated", draw, 2, 0);
    EXPECT_GT(target.CountNot(TRect{10, 10, 40, 150}, gcl::clWhite), 10);
    EXPECT_EQ(target.CountNot(TRect{0, 155, 60, 200}, gcl::clWhite), 0);
    EXPECT_EQ(DrawRotatedWideText(dc, L"", draw, 1, 0), 0);
}

TEST_F(XtPaint, ArrowGlyphPointsDownOrRight) {
    TPaintTarget target(30, 30, gcl::clWhite);
    DrawArrowGlyph(target.DC(), 15, 10, 4, true, gcl::clBlack);
    EXPECT_EQ(target.Pixel(15, 12), gcl::clBlack);   // below the base line
    EXPECT_EQ(target.Pixel(15, 8), gcl::clWhite);    // nothing above it
    EXPECT_EQ(target.Pixel(12, 13), gcl::clWhite);   // the sides close in
    target.Fill(gcl::clWhite);
    DrawArrowGlyph(target.DC(), 10, 15, 4, false, gcl::clBlack);
    EXPECT_EQ(target.Pixel(12, 15), gcl::clBlack);
    EXPECT_EQ(target.Pixel(8, 15), gcl::clWhite);
}

TEST_F(XtPaint, FramedButtonCornersTakeTheirNeighbours) {
    TVisualStylesScope classic(false);
    TPaintTarget target(40, 24, gcl::clWhite);
    DrawFramedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, false, false, thtNone,
                     gcl::clRed);
    EXPECT_EQ(target.Pixel(0, 0), gcl::clRed);
    EXPECT_EQ(target.Pixel(39, 23), gcl::clRed);
    EXPECT_EQ(target.Pixel(20, 0), gcl::clRed);
    EXPECT_EQ(target.Pixel(1, 1), target.Pixel(2, 1));
    EXPECT_EQ(target.Pixel(38, 1), target.Pixel(37, 1));
    EXPECT_EQ(target.Pixel(1, 22), target.Pixel(2, 22));
    EXPECT_EQ(target.Pixel(38, 22), target.Pixel(37, 22));
    // clNone frames in the face's own colour at (Left + 4, Top).
    target.Fill(gcl::clWhite);
    DrawThemedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, false, false, thtNone);
    const TColor top = target.Pixel(4, 0);
    DrawFramedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, false, false, thtNone, clNone);
    EXPECT_EQ(target.Pixel(0, 12), top);
}

TEST_F(XtPaint, ClassicButtonAndCheckBoxFaces) {
    TVisualStylesScope classic(false);
    TPaintTarget target(40, 24, gcl::clWhite);
    DrawThemedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, false, false, thtTx);
    EXPECT_EQ(target.Pixel(20, 12), Sys(gcl::clBtnFace));
    // Pressed: a flat frame in the shadow colour.
    DrawThemedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, true, false, false, false, false, thtNone);
    EXPECT_EQ(target.Pixel(0, 12), Sys(gcl::clBtnShadow));
    TPaintTarget check(13, 13, gcl::clWhite);
    DrawThemedCheckBox(check.Canvas(), TRect{0, 0, 13, 13}, true, 0, false, false, false, thtNone);
    const int unchecked = check.CountOf(TRect{3, 3, 10, 10}, gcl::clBlack);
    DrawThemedCheckBox(check.Canvas(), TRect{0, 0, 13, 13}, true, 1, false, false, false, thtNone);
    EXPECT_GT(check.CountOf(TRect{3, 3, 10, 10}, gcl::clBlack), unchecked + 5);
}

TEST_F(XtPaint, ThemedPaintersCallTheCurrentTheme) {
    TTxRecordingTheme* theme = UseRecordingTheme();
    TPaintTarget target(40, 24);
    DrawThemedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, true, false, false, false, false, thtTx);
    ASSERT_NE(theme->Last("PaintButton"), nullptr);
    EXPECT_TRUE(theme->Last("PaintButton")->Item.Pushed);
    DrawThemedButton(target.Canvas(), TRect{0, 0, 40, 24}, true, false, false, false, false, false, thtTx, 3);
    EXPECT_EQ(theme->Count("PaintDockBackground"), 1);
    DrawThemedCheckBox(target.Canvas(), TRect{0, 0, 13, 13}, false, 2, true, false, false, thtTx);
    ASSERT_NE(theme->Last("PaintFrameControl"), nullptr);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Arg1, PFC_CHECKBOX);
    EXPECT_EQ(theme->Last("PaintFrameControl")->Arg2, PFS_DISABLED | PFS_MIXED);
    DrawThemedEditFrame(target.Canvas(), TRect{0, 0, 40, 24}, true, true, thtTx, true);
    EXPECT_EQ(theme->Count("PaintEditFrame"), 1);
}

TEST_F(XtPaint, TitleStripsByTheme) {
    TPaintTarget target(200, 24, gcl::clWhite);
    const TRect whole{0, 0, 200, 24};
    // The named themes get a gradient strip of the caption colour.
    PaintPanelTitleBar(target.Canvas(), whole, true, 0x808080, "Notes");
    EXPECT_NE(target.Pixel(100, 3), target.Pixel(100, 20));
    PaintFloatingTitleBar(target.Canvas(), whole, TRect{0, 0, 200, 18}, true, 0x808080, nullptr);
    EXPECT_NE(target.Pixel(100, 1), target.Pixel(100, 16));
    // Other themes paint frame and strip themselves.
    TTxRecordingTheme* theme = UseRecordingTheme();
    PaintFloatingTitleBar(target.Canvas(), whole, TRect{3, 3, 197, 18}, true, 0x808080, nullptr);
    EXPECT_EQ(theme->Count("PaintFloatingFrame"), 2);
    PaintPanelTitleBar(target.Canvas(), whole, false, 0x808080, "Notes");
    EXPECT_EQ(theme->Count("PaintPanelCaptionArea"), 1);
    EXPECT_EQ(theme->Count("ViewBorder"), 1);
    // What the theme leaves unpainted shows the panel's colour, never the
    // target's old pixels (a fresh caption bitmap is black).
    TPaintTarget fresh(200, 24, gcl::clBlack);
    PaintPanelTitleBar(fresh.Canvas(), whole, true, 0x808080, "Notes");
    EXPECT_EQ(fresh.Pixel(150, 12), 0x808080);
}

TEST_F(XtPaint, CaptionAndImageLayout) {
    TPaintTarget target(200, 40);
    TCanvas* canvas = target.Canvas();
    const TRect client{0, 0, 200, 40};
    TRect caption, image;
    const int h = CalcCaptionAndImageLayout(canvas, client, L"Text", false, caption, image, false, false, 16, 16,
                                            DT_SINGLELINE, gcl::taLeftJustify);
    EXPECT_EQ(h, caption.Height());
    EXPECT_EQ(image, (TRect{0, 12, 16, 28}));
    EXPECT_EQ(caption.Left, 16 + 4);  // image, gap, text
    EXPECT_EQ(caption.Top, (40 - h) / 2);
    // Centred as one block, and shifted when pushed.
    TRect c2, i2;
    CalcCaptionAndImageLayout(canvas, client, L"Text", false, c2, i2, true, false, 16, 16, DT_SINGLELINE,
                              gcl::taCenter);
    const int block = 16 + 4 + caption.Width();
    EXPECT_EQ(i2.Left, (200 - block) / 2 + 1);
    EXPECT_EQ(i2.Top, 13);
    // No image: no gap; no caption: height 0.
    TRect c3, i3;
    CalcCaptionAndImageLayout(canvas, client, L"Text", false, c3, i3, false, false, 0, 0, DT_SINGLELINE,
                              gcl::taRightJustify);
    EXPECT_EQ(c3.Right, 200);
    EXPECT_EQ(CalcCaptionAndImageLayout(canvas, client, L"", false, c3, i3, false, false, 16, 16, 0,
                                        gcl::taLeftJustify),
              0);
}

TEST_F(XtPaint, ParentBackgroundComesFromTheParentsErase) {
    Form->SetColor(gcl::clRed);
    gcl::TPanel* child = gcl::TPanel::Create(Form);
    child->SetParent(Form);
    child->SetBounds(10, 10, 50, 30);
    Form->HandleNeeded();
    TPaintTarget target(50, 30, gcl::clWhite);
    DrawParentBackgroundAt(child, target.DC(), TRect{0, 0, 50, 30}, 0, 0);
    EXPECT_EQ(target.Pixel(25, 15), gcl::clRed);
    // Without a parent: the button face.
    gcl::TPanel* orphan = gcl::TPanel::Create(Form);
    DrawParentBackgroundAt(orphan, target.DC(), TRect{0, 0, 50, 30}, 0, 0);
    EXPECT_EQ(target.Pixel(25, 15), Sys(gcl::clBtnFace));
}

TEST_F(XtPaint, SubdirectoriesAreTheFoldersOnly) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("Blue"));
    std::filesystem::create_directory(dir.File("Green"));
    std::ofstream(dir.File("Skin.Ini")) << "[Dock]\n";
    gcl::TStringList list;
    EXPECT_TRUE(ListSubdirectories(gcl::AnsiToWide(dir.Path()), &list));
    list.Sort();
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Get(0), "Blue");
    EXPECT_EQ(list.Get(1), "Green");
    EXPECT_FALSE(ListSubdirectories(gcl::AnsiToWide(dir.File("missing")), &list));
    EXPECT_EQ(list.GetCount(), 2);
}

TEST_F(XtPaint, MaximisedWindowsLeaveTheTaskbarFree) {
    const TRect monitor{0, 0, 1024, 768};
    EXPECT_EQ(MaximizedWindowRect(monitor, ABE_BOTTOM, TRect{0, 738, 1024, 768}, false), (TRect{0, 0, 1024, 738}));
    EXPECT_EQ(MaximizedWindowRect(monitor, ABE_LEFT, TRect{0, 0, 60, 768}, false), (TRect{60, 0, 1024, 768}));
    EXPECT_EQ(MaximizedWindowRect(monitor, ABE_TOP, TRect{0, 0, 1024, 2}, true), (TRect{0, 1, 1024, 768}));
    // A taskbar on another monitor changes nothing.
    EXPECT_EQ(MaximizedWindowRect(monitor, ABE_RIGHT, TRect{2000, 0, 2060, 768}, false), monitor);
    unsigned edge;
    TRect bar;
    bool autoHide;
    if (!GetTaskbarInfo(edge, bar, autoHide)) {
        EXPECT_EQ(MaximizedWindowRect(monitor), monitor);
    }
}

TEST_F(XtPaint, WindowPlacementRoundTrip) {
    Form->HandleNeeded();
    SetWindowPlacementRect(Form, 0, TRect{50, 60, 300, 200});
    TRect r;
    EXPECT_EQ(GetWindowPlacementRect(Form, r), 0);
    EXPECT_EQ(r, (TRect{50, 60, 300, 200}));
    gcl::TForm* windowless = gcl::TForm::Create(Form, 0);
    EXPECT_EQ(GetWindowPlacementRect(windowless, r), 0);
    SetWindowPlacementRect(windowless, 2, TRect{1, 1, 10, 10});  // nothing without a window
    EXPECT_FALSE(windowless->HandleAllocated());
}

TEST_F(XtPaint, ChildIndexAndParentOfClass) {
    gcl::TPanel* panel = Make<gcl::TPanel>(Form, 0, 0, 100, 100);
    gcl::TPanel* inner = Make<gcl::TPanel>(panel, 0, 0, 50, 50);
    EXPECT_EQ(IndexOfChildControl(panel, inner), 0);
    EXPECT_EQ(IndexOfChildControl(Form, inner), -1);
    EXPECT_EQ(FindParentOfClass(inner, gcl::TCustomForm::StaticClass()), Form);
    EXPECT_EQ(FindParentOfClass(inner, gcl::TPanel::StaticClass()), panel);
    EXPECT_FALSE(CanFocusForAccel(nullptr));
    EXPECT_FALSE(CanFocusForAccel(inner));  // the form is hidden
}

} // namespace

// Shared theme drawing routines: the gradient fill with and without
// msimg32, the three-stop face, the cut-corner frames, and the stock
// glyph bitmap the themes load.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <cstring>
#include <memory>

#include "ThemeTestSupport.h"
#include "themes/ThemePaint.h"

using namespace qelvo;
using gcl::TColor;
using gcl::TRect;
using qelvo::test::PixelCanvas;
using qelvo::test::TFixedSysColors;
using qelvo::test::TGdiObjectCounter;

using qelvo::test::Back;

namespace {

TColor Grey(int v) { return static_cast<TColor>(RGB(v, v, v)); }

TEST(ThemePaintGradient, FallbackStepsFromOnePastStartToExactlyEnd) {
    TGradientFallbackScope fallback;
    PixelCanvas canvas(20, 20, Back);
    GradientFillCanvas(canvas.Canvas(), TRect{2, 3, 6, 13}, 0xFFFFFF, 0x000000, true);
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(canvas.Pixel(2, 3 + k), Grey(255 * (k + 1) / 10)) << "row " << k;
        EXPECT_EQ(canvas.Pixel(5, 3 + k), Grey(255 * (k + 1) / 10)) << "row " << k;
    }
    EXPECT_EQ(canvas.CountNot(TRect{0, 0, 20, 20}, Back), 40);

    canvas.Fill(Back);
    GradientFillCanvas(canvas.Canvas(), TRect{0, 0, 3, 2}, RGB(30, 60, 90), RGB(0, 0, 0), false);
    EXPECT_EQ(canvas.Pixel(0, 1), RGB(10, 20, 30));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(20, 40, 60));
    EXPECT_EQ(canvas.Pixel(2, 1), RGB(30, 60, 90));
    // A falling channel truncates toward zero from the start colour.
    canvas.Fill(Back);
    GradientFillFallback(canvas.DC(), TRect{0, 0, 3, 1}, RGB(100, 0, 0), RGB(0, 0, 0), false);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(67, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(34, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 0));
}

TEST(ThemePaintGradient, EmptyAndNegativeRectanglesDrawNothing) {
    for (bool fallback : {true, false}) {
        std::unique_ptr<TGradientFallbackScope> scope;
        if (fallback) scope = std::make_unique<TGradientFallbackScope>();
        PixelCanvas canvas(10, 10, Back);
        const TRect cases[] = {{5, 5, 5, 8}, {5, 5, 8, 5}, {6, 6, 2, 9}, {2, 6, 9, 2}, {8, 8, 1, 1}};
        for (const TRect& r : cases) {
            GradientFillCanvas(canvas.Canvas(), r, 0xFFFFFF, 0, true);
            GradientFillCanvas(canvas.Canvas(), r, 0xFFFFFF, 0, false);
            PaintThreeStopGradient(canvas.Canvas(), r, true, true, true);
            PaintThreeStopGradient(canvas.Canvas(), r, false, false);
        }
        EXPECT_EQ(canvas.CountNot(TRect{0, 0, 10, 10}, Back), 0) << "fallback " << fallback;
    }
}

TEST(ThemePaintGradient, SystemColoursAreResolvedBeforeInterpolation) {
    TFixedSysColors colors;
    colors.Set(COLOR_BTNFACE, RGB(100, 100, 100));
    TGradientFallbackScope fallback;
    PixelCanvas canvas(4, 4, Back);
    GradientFillCanvas(canvas.Canvas(), TRect{0, 0, 2, 4}, gcl::clBtnFace, 0x000000, true);
    EXPECT_EQ(canvas.Pixel(0, 0), Grey(25));
    EXPECT_EQ(canvas.Pixel(1, 3), Grey(100));
}

// The end colour comes first: (white, silver) runs from silver at the top
// to white at the bottom, through msimg32 and through the fallback alike.
TEST(ThemePaintGradient, EndColourComesFirstInGradientFillCanvas) {
    for (bool fallback : {false, true}) {
        std::unique_ptr<TGradientFallbackScope> scope;
        if (fallback) scope = std::make_unique<TGradientFallbackScope>();
        PixelCanvas canvas(8, 64, Back);
        GradientFillCanvas(canvas.Canvas(), TRect{0, 0, 8, 64}, gcl::clWhite, gcl::clSilver, true);
        const TColor top = canvas.Pixel(3, 0), bottom = canvas.Pixel(3, 63);
        EXPECT_LE(std::abs((top & 0xFF) - 0xC0), 2) << "fallback " << fallback;
        EXPECT_GE(bottom & 0xFF, 0xFC) << "fallback " << fallback;
        for (int y = 1; y < 64; ++y) EXPECT_GE(canvas.Pixel(3, y) & 0xFF, canvas.Pixel(3, y - 1) & 0xFF);
    }
}

TEST(ThemePaintGradient, BindsGradientFillOnceAndTheSeamForcesTheFallback) {
    BindGradientFill();
    const TGradientFillEntry bound = GradientFillEntry;
    const TGradientRectEntry boundRect = GradientRectEntry;
    EXPECT_EQ(boundRect, &GradientFillRect) << "msimg32 exports GradientFill under Wine";
    PixelCanvas canvas(4, 4, Back);
    TRIVERTEX v[2] = {{0, 0, 0, 0, 0, 0}, {4, 4, 0xFF00, 0xFF00, 0xFF00, 0}};
    GRADIENT_RECT mesh{0, 1};
    EXPECT_TRUE(GradientFillEntry(canvas.DC(), v, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
    {
        TGradientFallbackScope fallback;
        EXPECT_EQ(GradientRectEntry, &GradientFillFallback);
        EXPECT_FALSE(GradientFillEntry(canvas.DC(), v, 2, &mesh, 1, GRADIENT_FILL_RECT_V));
        BindGradientFill();  // bound already: keeps the fallback
        EXPECT_EQ(GradientRectEntry, &GradientFillFallback);
    }
    EXPECT_EQ(GradientFillEntry, bound);
    EXPECT_EQ(GradientRectEntry, boundRect);
}

// msimg32 comes from the system folder, never from beside the program.
TEST(ThemePaintGradient, Msimg32IsTheSystemFoldersCopy) {
    BindGradientFill();
    HMODULE module = GetModuleHandleA("msimg32.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(_strnicmp(path, system, strlen(system)), 0) << path;
}

TEST(ThemePaintGradient, EveryLineBrushIsDeleted) {
    ASSERT_TRUE(TGdiObjectCounter::Installed());
    PixelCanvas canvas(40, 40, Back);
    TGdiObjectCounter counter;
    {
        TGradientFallbackScope fallback;
        GradientFillCanvas(canvas.Canvas(), TRect{0, 0, 40, 40}, 0xFFFFFF, 0, true);
    }
    PaintThreeStopGradient(canvas.Canvas(), TRect{0, 0, 40, 12}, true, false);
    GradientFillCanvas(canvas.Canvas(), TRect{0, 0, 40, 40}, 0xFFFFFF, 0, false);
    EXPECT_GE(counter.Created(), 40 + 13);
    EXPECT_EQ(counter.Balance(), 0);
}

// ---- Three-stop gradient ---------------------------------------------------------------

TEST(ThemePaintThreeStop, TenLinesEndExactlyOnTheLastStop) {
    PixelCanvas canvas(10, 4, Back);
    PaintThreeStopGradient(canvas.Canvas(), TRect{0, 0, 10, 4}, false, false);
    // L = 9, S = 3: stops 248, 216, 240, 248 at lines 0, 3, 6, 9.
    const int expected[10] = {248, 248 - 32 / 3, 248 - 64 / 3, 216, 216 + 8, 216 + 16, 240, 240 + 2, 240 + 5, 248};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(canvas.Pixel(x, 2), Grey(expected[x])) << "column " << x;
}

TEST(ThemePaintThreeStop, TwelveLinesRunPastTheLastStopClamped) {
    PixelCanvas canvas(4, 12, Back);
    PaintThreeStopGradient(canvas.Canvas(), TRect{0, 0, 4, 12}, true, false, true);
    // Light set, L = 11, S = 3; part 3 runs k - 2S = 0..5 from (112, 232, 240) toward (176, 255, 255).
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(240, 248, 255));
    EXPECT_EQ(canvas.Pixel(0, 3), RGB(128, 176, 224));
    EXPECT_EQ(canvas.Pixel(0, 6), RGB(112, 232, 240));
    EXPECT_EQ(canvas.Pixel(0, 9), RGB(176, 255, 255));
    EXPECT_EQ(canvas.Pixel(0, 11), RGB(112 + 64 * 5 / 3, 255, 255));
}

TEST(ThemePaintThreeStop, OnePixelPaintsThreeLinesTwoBeyond) {
    PixelCanvas canvas(8, 8, Back);
    PaintThreeStopGradient(canvas.Canvas(), TRect{2, 2, 3, 6}, true, true, false);
    EXPECT_EQ(canvas.Pixel(2, 3), RGB(224, 232, 239));
    EXPECT_EQ(canvas.Pixel(3, 3), RGB(112, 160, 208));
    EXPECT_EQ(canvas.Pixel(4, 3), RGB(96, 208, 224));
    EXPECT_EQ(canvas.Pixel(5, 3), Back);
    // Clipped to the rectangle (as painters are), only the first line shows.
    canvas.Fill(Back);
    canvas.ClipTo(TRect{2, 2, 3, 6});
    PaintThreeStopGradient(canvas.Canvas(), TRect{2, 2, 3, 6}, true, true, false);
    EXPECT_EQ(canvas.CountNot(TRect{0, 0, 8, 8}, Back), 4);
}

// ---- Cut-corner frames ---------------------------------------------------------------

TEST(ThemePaintCutCorner, OutlineShadeAndCornerLines) {
    PixelCanvas canvas(12, 10, Back);
    canvas.Canvas()->GetPen()->SetColor(0x123456);
    DrawCutCornerFrame(canvas.Canvas(), TRect{2, 1, 10, 8}, 2, 1, 0x0000FF, 0x00FF00, 0xFF0000);
    EXPECT_EQ(canvas.Canvas()->GetPen()->GetColor(), 0x123456);
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 12, 10}, 0x0000FF),
              "............\n"
              "....#####...\n"
              "...#........\n"
              "..#.........\n"
              "..#.........\n"
              "..#.........\n"
              "...#........\n"
              "............\n"
              "............\n"
              "............\n");
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 12, 10}, 0x00FF00),
              "............\n"
              "............\n"
              ".........#..\n"
              ".........#..\n"
              ".........#..\n"
              ".........#..\n"
              ".........#..\n"
              "....#####...\n"
              "............\n"
              "............\n");
    EXPECT_EQ(canvas.Pattern(TRect{0, 0, 12, 10}, 0xFF0000),
              "............\n"
              "...#.....#..\n"
              "..#.........\n"
              "............\n"
              "............\n"
              "............\n"
              "..#.........\n"
              "...#.....#..\n"
              "............\n"
              "............\n");
}

TEST(ThemePaintCutCorner, NoShadeKeepsTheFrameAndNoneDrawsNothing) {
    PixelCanvas canvas(10, 10, Back);
    DrawCutCornerFrame(canvas.Canvas(), TRect{1, 1, 9, 9}, 0, 0, 0x0000FF, gcl::clNone, gcl::clNone);
    EXPECT_EQ(canvas.CountOf(TRect{0, 0, 10, 10}, 0x0000FF), 28);
    canvas.Fill(Back);
    DrawCutCornerFrame(canvas.Canvas(), TRect{1, 1, 9, 9}, 2, 2, gcl::clNone, gcl::clNone, gcl::clNone);
    EXPECT_EQ(canvas.CountNot(TRect{0, 0, 10, 10}, Back), 0);
}

TEST(ThemePaintCutCorner, AltCornersBlendTheBackgroundBeyondTheCut) {
    PixelCanvas canvas(12, 10, RGB(100, 100, 100));
    DrawCutCornerFrameAlt(canvas.Canvas(), TRect{2, 1, 10, 8}, 2, 1, RGB(200, 0, 0), RGB(0, 200, 0));
    // 60 % of the grey pixel beyond each cut, 40 % of the frame or shade colour.
    const TColor left = static_cast<TColor>(RGB(140, 60, 60)), right = static_cast<TColor>(RGB(60, 140, 60));
    EXPECT_EQ(canvas.Pixel(3, 1), left);
    EXPECT_EQ(canvas.Pixel(2, 2), left);
    EXPECT_EQ(canvas.Pixel(2, 6), left);
    EXPECT_EQ(canvas.Pixel(9, 1), right);
    EXPECT_EQ(canvas.Pixel(9, 7), right);
    // Without a shade every corner takes the left corners' blend.
    canvas.Fill(RGB(100, 100, 100));
    DrawCutCornerFrameAlt(canvas.Canvas(), TRect{2, 1, 10, 8}, 1, 1, RGB(200, 0, 0), gcl::clNone);
    EXPECT_EQ(canvas.Pixel(2, 1), left);
    EXPECT_EQ(canvas.Pixel(9, 1), left);
    EXPECT_EQ(canvas.Pixel(9, 7), left);
}

// ---- The stock glyph bitmap ---------------------------------------------------------------

TEST(ThemePaintBevel, LinesStayInsideAndTheCallerGivesTheTwoOpenCorners) {
    constexpr TColor Light = 0xFFFFFF, Shadow = 0x404040;
    const TRect r{2, 3, 12, 9};
    struct TCase {
        TBevelCorner TopRight, BottomLeft;
        TColor AtTopRight, AtBottomLeft;
    };
    const TCase cases[] = {{TBevelCorner::Light, TBevelCorner::Shadow, Light, Shadow},
                           {TBevelCorner::Shadow, TBevelCorner::Light, Shadow, Light},
                           {TBevelCorner::Shadow, TBevelCorner::Shadow, Shadow, Shadow},
                           {TBevelCorner::Open, TBevelCorner::Open, Back, Back}};
    for (const TCase& c : cases) {
        PixelCanvas canvas(16, 14, Back);
        DrawBevel(canvas.DC(), r, Light, Shadow, c.TopRight, c.BottomLeft);
        const int k = static_cast<int>(&c - cases);
        EXPECT_EQ(canvas.Pixel(11, 3), c.AtTopRight) << k;
        EXPECT_EQ(canvas.Pixel(2, 8), c.AtBottomLeft) << k;
        EXPECT_EQ(canvas.Pixel(2, 3), Light) << k;
        EXPECT_EQ(canvas.Pixel(11, 8), Shadow) << k;
        for (int x = 3; x < 11; ++x) {
            EXPECT_EQ(canvas.Pixel(x, 3), Light) << k << " top " << x;
            EXPECT_EQ(canvas.Pixel(x, 8), Shadow) << k << " bottom " << x;
        }
        for (int y = 4; y < 8; ++y) {
            EXPECT_EQ(canvas.Pixel(2, y), Light) << k << " left " << y;
            EXPECT_EQ(canvas.Pixel(11, y), Shadow) << k << " right " << y;
        }
        // The frame and nothing else: 2 * (10 + 6) - 4 pixels, less the open corners.
        const int open = (c.TopRight == TBevelCorner::Open) + (c.BottomLeft == TBevelCorner::Open);
        EXPECT_EQ(canvas.CountNot(TRect{0, 0, 16, 14}, Back), 28 - open) << k;
    }
}

TEST(ThemePaintGlyphs, TxGlyphsHoldsTheFourCellsPixelByPixel) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), "TxGLYPHS", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 64);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 1);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto cell = [&](int index) {
        std::string s;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) s += GetPixel(dc, index * 16 + x, y) == RGB(255, 255, 255) ? '#' : '.';
            s += '\n';
        }
        return s;
    };
    const std::string blank = "................\n";
    auto rows = [&](std::initializer_list<const char*> middle, int top) {
        std::string s;
        for (int y = 0; y < top; ++y) s += blank;
        for (const char* r : middle) s += std::string(r) + "\n";
        for (int y = top + static_cast<int>(middle.size()); y < 16; ++y) s += blank;
        return s;
    };
    EXPECT_EQ(cell(0), rows({"....##....##....", ".....##..##.....", "......####......", ".......##.......",
                             "......####......", ".....##..##.....", "....##....##...."},
                            5));
    EXPECT_EQ(cell(1), rows({"...#########....", "...#########....", "...#.......#....", "...#.......#....",
                             "...#.......#....", "...#.......#....", "...#.......#....", "...#.......#....",
                             "...#########...."},
                            4));
    EXPECT_EQ(cell(2), rows({"....######......", "....######......"}, 11));
    EXPECT_EQ(cell(3), rows({".....#######....", ".....#######....", ".....#.....#....", "...#######.#....",
                             "...#######.#....", "...#.....###....", "...#.....#......", "...#.....#......",
                             "...#######......"},
                            4));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

} // namespace

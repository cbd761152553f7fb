// Drawings kept for a paint: a drawing copied from what an earlier one of
// the same kind over the same pixels made is, pixel for pixel, the drawing
// made again; it is made once for each such pair, and one that reaches
// outside its size is always made.
#include <gtest/gtest.h>

#include "listview/GvInternal.h"
#include "listview/GvListviewFixture.h"
#include "support/PixelCanvas.h"

using namespace qelvo;
using gcl::TRect;
using gvdetail::DrawKept;
using gvdetail::TKeptDrawingKey;
using qelvo::test::PixelCanvas;

namespace {

class GvKeptDrawingTest : public qelvo::test::GvUnitsFixture {
protected:
    void TearDown() override { gvdetail::ForgetKeptDrawings(); }
};

// Stripes of two colours, so that places differ in what lies beneath and
// places a stripe apart agree.
void Stripes(PixelCanvas& c) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, (x / 8) % 2 ? RGB(200, 40, 40) : RGB(250, 250, 250));
}

// A drawing that depends on what it lands on: a square inverted with a
// pattern, and a dot in the text colour.
void Mark(HDC dc, int x, int y, int size, COLORREF tint) {
    HBRUSH brush = CreateSolidBrush(tint);
    HGDIOBJ old = SelectObject(dc, brush);
    PatBlt(dc, x + 1, y + 1, size - 2, size - 2, PATINVERT);
    SelectObject(dc, old);
    DeleteObject(brush);
    SetPixel(dc, x, y, GetTextColor(dc));
}

TEST_F(GvKeptDrawingTest, ACopyIsTheDrawingMadeAgainAndIsMadeOncePerKindAndBackground) {
    PixelCanvas kept(96, 40), made(96, 40);
    Stripes(kept);
    Stripes(made);
    int draws = 0;
    for (PixelCanvas* c : {&kept, &made}) SetTextColor(c->DC(), RGB(0, 0, 255));
    // Three kinds, each on a row of its own, at places two stripes apart
    // (the same beneath), then between stripes (another beneath, the same
    // at both places, the mark at the left included).
    for (int kind = 0; kind < 3; ++kind)
        for (int x : {0, 16, 32, 4, 20, 48}) {
            const COLORREF tint = RGB(40 * kind, 90, 160);
            const TRect where{x, 4 + 12 * kind, x + 8, 12 + 12 * kind};
            TKeptDrawingKey key;
            key.Parts[0] = static_cast<uintptr_t>(kind);
            DrawKept(kept.DC(), where, key, [&](HDC dc, int at, int top) {
                ++draws;
                Mark(dc, at, top, 8, tint);
            });
            Mark(made.DC(), where.Left, where.Top, 8, tint);
        }
    EXPECT_TRUE(kept.SameAs(made));
    // Per kind: one over white, one over the mark's end and red.
    EXPECT_EQ(draws, 6);

    // Another text colour is another drawing.
    for (PixelCanvas* c : {&kept, &made}) SetTextColor(c->DC(), RGB(0, 160, 0));
    TKeptDrawingKey key;
    DrawKept(kept.DC(), TRect{64, 30, 72, 38}, key, [&](HDC dc, int x, int y) {
        ++draws;
        Mark(dc, x, y, 8, RGB(0, 90, 160));
    });
    Mark(made.DC(), 64, 30, 8, RGB(0, 90, 160));
    EXPECT_EQ(draws, 7);
    EXPECT_TRUE(kept.SameAs(made));
}

TEST_F(GvKeptDrawingTest, CopiesFollowTheOriginAndTheClipAndADrawingThatReachesOutIsAlwaysMade) {
    PixelCanvas kept(60, 30), made(60, 30);
    for (PixelCanvas* c : {&kept, &made}) {
        Stripes(*c);
        SetWindowOrgEx(c->DC(), -5, 3, nullptr);
        IntersectClipRect(c->DC(), 0, 0, 40, 20);
    }
    int draws = 0;
    for (int x : {0, 16, 32}) {
        const TRect where{x, 2, x + 8, 10};
        TKeptDrawingKey key;
        DrawKept(kept.DC(), where, key, [&](HDC dc, int at, int top) {
            ++draws;
            Mark(dc, at, top, 8, RGB(0, 90, 160));
        });
        Mark(made.DC(), where.Left, where.Top, 8, RGB(0, 90, 160));
        // A line two pixels longer than its place on each side.
        key.Parts[0] = 9;
        const TRect line{x, 14, x + 8, 15};
        DrawKept(kept.DC(), line, key, [&](HDC dc, int at, int top) {
            ++draws;
            PatBlt(dc, at - 2, top, 12, 1, BLACKNESS);
        });
        PatBlt(made.DC(), x - 2, 14, 12, 1, BLACKNESS);
    }
    EXPECT_TRUE(kept.SameAs(made));
    // The mark made once (the row above the bitmap counts as the same
    // beneath everywhere); the line made for the kept one, then each time.
    EXPECT_EQ(draws, 1 + 2 + 1 + 1);
}

TEST_F(GvKeptDrawingTest, OnAMirroredCanvasTheDrawingIsMadeEachTime) {
    PixelCanvas kept(40, 20), made(40, 20);
    for (PixelCanvas* c : {&kept, &made}) {
        Stripes(*c);
        SetLayout(c->DC(), LAYOUT_RTL);
    }
    int draws = 0;
    for (int x : {0, 16}) {
        const TRect where{x, 2, x + 8, 10};
        DrawKept(kept.DC(), where, TKeptDrawingKey{}, [&](HDC dc, int at, int top) {
            ++draws;
            Mark(dc, at, top, 8, RGB(0, 90, 160));
        });
        Mark(made.DC(), where.Left, where.Top, 8, RGB(0, 90, 160));
    }
    EXPECT_TRUE(kept.SameAs(made));
    EXPECT_EQ(draws, 2);
}

} // namespace

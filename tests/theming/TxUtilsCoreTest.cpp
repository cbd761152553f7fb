// The theming toolkit's formulas: colour arithmetic, pixel rules, gradient
// tables, brushed noise and shadow geometry, each against worked values.
#include "theming/TxUtilsCore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "gcl/rtl/Exceptions.h"

using namespace qelvo;
using gcl::Rect;

namespace {

constexpr TColor White = 0xFFFFFF;
constexpr TColor Black = 0x000000;
constexpr TColor Red = 0x0000FF;
constexpr TColor Green = 0x00FF00;
constexpr TColor Blue = 0xFF0000;
constexpr TColor BtnFace = static_cast<TColor>(0xFF00000F);

struct TColorCase {
    TColor Got;
    TColor Want;
};

void ExpectColors(std::initializer_list<TColorCase> cases) {
    int i = 0;
    for (const auto& c : cases) {
        EXPECT_EQ(static_cast<uint32_t>(c.Got), static_cast<uint32_t>(c.Want)) << "case " << i;
        ++i;
    }
}

int ChannelDistance(TColor a, TColor b) {
    return std::max({std::abs(static_cast<int>(RValue(a)) - static_cast<int>(RValue(b))),
                     std::abs(static_cast<int>(GValue(a)) - static_cast<int>(GValue(b))),
                     std::abs(static_cast<int>(BValue(a)) - static_cast<int>(BValue(b)))});
}

} // namespace

TEST(TxColorArithmetic, BlendShiftMix) {
    ExpectColors({
        {BlendColor(White, Black, 255), 0xFEFEFE},   // the shift by 8 truncates
        {BlendColor(White, Black, 0), 0x000000},
        {BlendColor(Red, Blue, 128), 0x7E007F},
        {BlendColor(0x123456, 0x654321, 100), 0x443C35},
        {ShiftColor(0x102030, -32), 0x000010},
        {ShiftColor(0xF0F0F0, 32), 0xFFFFFF},
        {ShiftColor(0x808080, 16), 0x909090},
        {MixColors(White, Black, 50), 0x808080},
        {MixColors(0x0000FF, Black, 99), 0x0000FC},
        {MixColors(0x0000FF, Black, 100), 0x00001A},  // per mille from 100 on
        {MixColors(0x0000FF, Black, 750), 0x0000BF},
        {MixColors(Black, 0x0000FF, 1), 0x0000FC},
    });
    for (TColor c : {0x000000, 0x123456, 0xFEDCBA, 0x7F7F7F, 0xFFFFFF})
        for (int w : {0, 1, 127, 128, 254, 255}) EXPECT_LE(ChannelDistance(BlendColor(c, c, w), c), 1);
    EXPECT_EQ(SwapRB(Red), 0xFFFF0000u);
    EXPECT_EQ(SwapRB(0x123456), 0xFF563412u);
    EXPECT_THROW(BlendColor(White, Black, 256), gcl::EAssertionFailed);
}

TEST(TxColorArithmetic, IntensityAndDarkness) {
    EXPECT_EQ(ColorIntensity(White), 255);
    EXPECT_EQ(ColorIntensity(Red), 75);
    EXPECT_EQ(ColorIntensity(Green), 149);
    EXPECT_EQ(ColorIntensity(Blue), 29);
    EXPECT_EQ(ColorIntensity(BtnFace), ColorIntensity(ResolveColor(BtnFace)));  // system colour resolved
    EXPECT_FALSE(IsDarkColor(0x808080, 128));
    EXPECT_TRUE(IsDarkColor(0x7F7F7F, 128));
    EXPECT_TRUE(IsDarkColor(Black, 1));
    EXPECT_FALSE(IsDarkColor(Black, 0));
}

TEST(TxColorArithmetic, HueSaturationLightness) {
    struct THsl {
        TColor C;
        double H, S, L;
    } cases[] = {{Red, 0, 1, 0.5},           {Green, 1.0 / 3, 1, 0.5}, {Blue, 2.0 / 3, 1, 0.5},
                 {0x808080, 0, 0, 128 / 255.0}, {0xFF00FF, 5.0 / 6, 1, 0.5}, {0x000080, 0, 1, 128 / 510.0}};
    for (const auto& c : cases) {
        double h, s, l;
        ColorToHSL(c.C, h, s, l);
        EXPECT_NEAR(h, c.H, 1e-9) << std::hex << c.C;
        EXPECT_NEAR(s, c.S, 1e-9) << std::hex << c.C;
        EXPECT_NEAR(l, c.L, 1e-9) << std::hex << c.C;
        EXPECT_EQ(HSLToColor(h, s, l), c.C);
    }
    EXPECT_EQ(HSLToColor(0.3, 0, 0.5), 0x808080);  // 127.5 rounds to the even 128
    for (TColor c : {0x123456, 0xABCDEF, 0x010203, 0xFFFEFD}) {
        double h, s, l;
        ColorToHSL(c, h, s, l);
        EXPECT_LE(ChannelDistance(HSLToColor(h, s, l), c), 1) << std::hex << c;
    }
}

TEST(TxColorArithmetic, AdjustContrast) {
    TColor c = Black;
    AdjustContrast(c, White, 50);  // already far enough
    EXPECT_EQ(c, Black);
    c = White;
    AdjustContrast(c, White, 50);  // darker along the line from black
    EXPECT_EQ(c, 0xE2E2E2);
    c = Black;
    AdjustContrast(c, Black, 50);  // a dark background doubles the distance, and C must get lighter
    EXPECT_EQ(c, 0x3A3A3A);
    c = 0xC0C0C0;
    AdjustContrast(c, 0xC8C8C8, 40);
    EXPECT_TRUE(IsDarkColor(c, 0xC0));  // moved darker, away from the light background
    c = 0x202020;
    AdjustContrast(c, 0x101010, 60);
    EXPECT_GT(ColorIntensity(c), 0x40);  // a lighter colour over a near-black background
}

TEST(TxPixelRules, BlendPixelAndEffects) {
    EXPECT_EQ(BlendPixelValue(Black, White, 128), 0x808080);
    EXPECT_EQ(BlendPixelValue(Black, White, 64), 0x404040);
    EXPECT_EQ(BlendPixelValue(White, Black, 1), 0xFEFEFE);
    EXPECT_EQ(BlendPixelValue(0x102030, 0x102030, 200), 0x102030);

    EXPECT_EQ(BrightenedPixel(0xFFFFFF), 0x202020u);  // near-white turns dark grey
    EXPECT_EQ(BrightenedPixel(0x000000), 0xFFFFFFu);  // near-black turns white
    EXPECT_EQ(BrightenedPixel(0x808080), 0xA0A0A0u);
    EXPECT_EQ(BlendedPixel(0xFFFFFF, 0x000000, 128), 0x7F7F7Fu);
    EXPECT_EQ(BlendedPixel(0xFF0000, 0x0000FF, 255), 0xFE0000u);
    EXPECT_EQ(TintedPixel(0x000000, 0xFFFFFF, 178), 0x4C4C4Cu);
    EXPECT_EQ(ShadedPixel(0xFFFFFF, 0xFFFFFF, 0), 0xFDFDFDu);
    EXPECT_EQ(ShadedPixel(0x000000, 0x808080, 2), 0x797979u);
    EXPECT_EQ(ShadedPixel(0x0000FF, 0xFFFFFF, 1), 0xE8E8E8u);  // the low byte weighs 76
    EXPECT_EQ(ShadedPixel(0xFF0000, 0xFFFFFF, 1), 0xE2E2E2u);
    EXPECT_THROW(ShadedPixel(0, 0, 3), gcl::EAssertionFailed);
    EXPECT_TRUE(MonochromeMaskPixel(0x000000));
    EXPECT_TRUE(MonochromeMaskPixel(0xB4B4B4));   // lum 45900
    EXPECT_FALSE(MonochromeMaskPixel(0xB5B5B5));
}

TEST(TxGradients, TableEntries) {
    auto rising = GradientTable(5, Black, Red);
    ASSERT_EQ(rising.size(), 5u);
    const TColor risingWant[] = {0, 64, 128, 191, 255};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rising[static_cast<size_t>(i)], risingWant[i]);
    auto falling = GradientTable(5, Red, Black);  // a falling channel ends one short
    const TColor fallingWant[] = {255, 192, 128, 65, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(falling[static_cast<size_t>(i)], fallingWant[i]);
    EXPECT_EQ(GradientTable(1, Black, Red)[0], 127);
    EXPECT_EQ(GradientTable(1, Red, Black)[0], 128);
    EXPECT_EQ(GradientTable(2, 0x102030, 0x302010)[1], 0x302010);
    EXPECT_THROW(GradientTable(0, Black, White), gcl::EAssertionFailed);

    TGradientCache cache;
    const auto& first = cache.Get(10, Black, White);
    EXPECT_EQ(&cache.Get(10, Black, White), &first);
    for (int n = 1; n <= 16; ++n) cache.Get(100 + n, Black, White);  // the ring wraps
    EXPECT_EQ(cache.Get(10, Black, White), GradientTable(10, Black, White));
}

TEST(TxBrushedTexture, NoiseRowsAndPixels) {
    TBrushedNoise noise;
    noise.Build();
    for (const auto& strip : noise.Strips) {
        ASSERT_GE(strip.size(), 100u);
        ASSERT_LE(strip.size(), 200u);
        for (size_t i = 0; i < strip.size(); i += 2) {
            EXPECT_LE(strip[i], strip[i + 1]);
            EXPECT_GE(strip[i], -255);
            EXPECT_LE(strip[i + 1], 255);
            EXPECT_LE(strip[i + 1] - strip[i], 300);
        }
    }
    for (int y = 0; y < BrushedRows; ++y) {
        const int k = noise.RowStrip[static_cast<size_t>(y)];
        ASSERT_TRUE(k >= 0 && k < 8);
        EXPECT_LT(noise.RowOffset[static_cast<size_t>(y)], static_cast<int>(noise.Strips[static_cast<size_t>(k)].size()) + 1);
        EXPECT_EQ(noise.RowOffset[static_cast<size_t>(y)] & 1, y & 1);
    }
    EXPECT_EQ(BrushedRowIndex(0, 0), 0);
    EXPECT_EQ(BrushedRowIndex(5, 0), 5);
    EXPECT_EQ(BrushedRowIndex(1030, 3), 3);
    EXPECT_EQ(BrushedRowIndex(0, 70000), 656);        // far below the origin: still in range
    EXPECT_EQ(BrushedRowIndex(-2000000000, 2000000000), 0);
    EXPECT_EQ(BrushedPixel(0, White, 10), 0xEFEFEFu);  // no channel above 239
    EXPECT_EQ(BrushedPixel(-255, White, 255), 0x000000u);
    EXPECT_EQ(BrushedPixel(10, 0x808080, 4), 0x808080u);
    EXPECT_EQ(BrushedPixel(100, 0x808080, 4), 0x818181u);
}

TEST(TxShadowGeometry, Placement) {
    // A lone 100 x 100 popup: one strip down its right edge, one under it.
    auto lone = ShadowStrips(Rect(0, 0, 0, 0), Rect(0, 0, 100, 100), 4);
    ASSERT_EQ(lone.size(), 2u);
    EXPECT_EQ(lone[0], (TShadowStrip{Rect(100, 4, 104, 100), true, 1}));
    EXPECT_EQ(lone[1], (TShadowStrip{Rect(4, 100, 104, 104), false, 3}));
    EXPECT_TRUE(ShadowStrips(Rect(0, 0, 0, 0), Rect(5, 5, 5, 9), 4).empty());

    // A menu-bar item with its popup below.
    auto below = ShadowStrips(Rect(10, 0, 50, 20), Rect(10, 20, 110, 120), 4);
    ASSERT_EQ(below.size(), 3u);
    EXPECT_EQ(below[0], (TShadowStrip{Rect(14, 120, 114, 124), false, 3}));
    EXPECT_EQ(below[1], (TShadowStrip{Rect(50, 4, 54, 20), true, 1}));
    EXPECT_EQ(below[2], (TShadowStrip{Rect(110, 24, 114, 120), true, 1}));

    // A wide item over a narrower popup that starts further right.
    auto narrow = ShadowStrips(Rect(0, 0, 100, 20), Rect(30, 20, 80, 60), 4);
    ASSERT_EQ(narrow.size(), 5u);
    EXPECT_EQ(narrow[0], (TShadowStrip{Rect(4, 20, 30, 24), false, 1}));
    EXPECT_EQ(narrow[3], (TShadowStrip{Rect(80, 20, 104, 24), false, 3}));
    EXPECT_EQ(narrow[4], (TShadowStrip{Rect(80, 21, 84, 60), true, 0}));

    // A submenu beside its item; overlapping rectangles get no shadow at all.
    auto side = ShadowStrips(Rect(0, 0, 100, 20), Rect(100, 0, 200, 80), 4);
    ASSERT_EQ(side.size(), 3u);
    EXPECT_EQ(side[0], (TShadowStrip{Rect(200, 4, 204, 84), true, 3}));
    EXPECT_EQ(side[1], (TShadowStrip{Rect(4, 20, 100, 24), false, 1}));
    EXPECT_EQ(side[2], (TShadowStrip{Rect(104, 80, 200, 84), false, 1}));
    EXPECT_TRUE(ShadowStrips(Rect(0, 0, 100, 100), Rect(50, 10, 150, 90), 4).empty());
}

TEST(TxShadowGeometry, AlphaRamps) {
    auto h = ShadowAlpha(false, 10, 4, 0);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(h[static_cast<size_t>(x)], 255);
        EXPECT_EQ(h[static_cast<size_t>(10 + x)], 191);
        EXPECT_EQ(h[static_cast<size_t>(30 + x)], 63);
    }
    auto v = ShadowAlpha(true, 4, 10, 0);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(v[static_cast<size_t>(y * 4)], 255);
        EXPECT_EQ(v[static_cast<size_t>(y * 4 + 3)], 63);
    }
    // The fade-in square of a horizontal strip: full at its inner top-right.
    auto c = ShadowAlpha(false, 10, 4, 1);
    EXPECT_EQ(c[3], 255);
    EXPECT_EQ(c[0], 63);
    EXPECT_EQ(c[30], 0);
    EXPECT_EQ(c[4], 255);  // the middle starts right after the square
    // Both squares on a strip too short for them: each takes half.
    auto both = ShadowAlpha(false, 6, 4, 3);
    EXPECT_EQ(both[2], 191);  // start square, one pixel off its inner edge
    EXPECT_EQ(both[3], 191);  // the end square mirrors it
    EXPECT_EQ(both[5], 63);
    // The fade-out square at the bottom of a vertical strip.
    auto vb = ShadowAlpha(true, 4, 10, 2);
    EXPECT_EQ(vb[static_cast<size_t>(6 * 4)], 255);
    EXPECT_EQ(vb[static_cast<size_t>(9 * 4 + 3)], 0);
}

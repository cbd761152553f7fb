// The GDI side of the theming toolkit on memory bitmaps: clNone handling,
// frames, dithering, pixel blending, glyphs, the image effects, gradients
// and brushed fills, and the popup shadow windows.
#include "theming/TxUtils.h"

#include <gtest/gtest.h>

#include <memory>

#include "gcl/ImgList.h"
#include "theming/TxTestSupport.h"

using namespace qelvo;
using namespace qelvo::test;

namespace {

class TxDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { StartThemingLayer(); }
};

} // namespace

TEST_F(TxDrawing, PrimitivesSkipNoneAndDrawExactly) {
    TPaintTarget t(20, 20, 0x000000);
    EXPECT_FALSE(FillRectColor(t.DC(), TRect{0, 0, 20, 20}, clNone));
    EXPECT_EQ(t.CountNot(TRect{0, 0, 20, 20}, 0), 0);
    TRect r{0, 0, 20, 20};
    EXPECT_FALSE(FrameRectColor(t.DC(), r, clNone, true));
    EXPECT_EQ(r, gcl::Rect(1, 1, 19, 19));  // shrinks even for clNone
    EXPECT_TRUE(FrameRectColor(t.DC(), r, 0x0000FF, true));
    EXPECT_EQ(t.Pixel(1, 1), 0x0000FF);
    EXPECT_EQ(t.Pixel(18, 18), 0x0000FF);
    EXPECT_EQ(t.Pixel(2, 2), 0x000000);
    EXPECT_TRUE(FillRectColor(t.DC(), TRect{5, 5, 7, 7}, gcl::clBtnFace));
    EXPECT_EQ(t.Pixel(6, 6), Sys(gcl::clBtnFace));
    PolygonColor(t.DC(), nullptr, 2, clNone, clNone);  // nothing, no crash

    t.Fill(0);
    TRect f{0, 0, 10, 10};
    Frame3DColor(t.DC(), f, 0xFFFFFF, 0x808080, false);
    EXPECT_EQ(f, gcl::Rect(0, 0, 8, 8));
    EXPECT_EQ(t.Pixel(0, 0), 0xFFFFFF);
    EXPECT_EQ(t.Pixel(0, 5), 0xFFFFFF);
    EXPECT_EQ(t.Pixel(9, 0), 0x808080);
    EXPECT_EQ(t.Pixel(9, 9), 0x808080);
    EXPECT_EQ(t.Pixel(0, 9), 0x808080);
    EXPECT_EQ(t.Pixel(5, 5), 0);
    TRect g{0, 0, 10, 10};
    Frame3DColor(t.DC(), g, 0xFFFFFF, 0x808080, true);
    EXPECT_EQ(g, gcl::Rect(1, 1, 9, 9));

    t.Fill(0);
    DitherRect(t.DC(), TRect{0, 0, 8, 8}, 0x0000FF, 0x00FF00);
    EXPECT_NE(t.Pixel(0, 0), t.Pixel(1, 0));
    EXPECT_EQ(t.Pixel(0, 0), t.Pixel(1, 1));
    EXPECT_EQ(t.CountOf(TRect{0, 0, 8, 8}, 0x0000FF), 32);

    t.Fill(0);
    BlendPixel(t.DC(), 3, 3, 0xFFFFFF, 128);
    BlendPixel(t.DC(), 4, 3, 0xFFFFFF, 0);
    BlendPixel(t.DC(), 5, 3, 0x123456, 255);
    EXPECT_EQ(t.Pixel(3, 3), 0x808080);
    EXPECT_EQ(t.Pixel(4, 3), 0);
    EXPECT_EQ(t.Pixel(5, 3), 0x123456);
}

TEST_F(TxDrawing, GlyphsAreCentredAndPaintOnlySetBits) {
    TPaintTarget t(12, 9, 0xFFFFFF);
    static constexpr uint16_t Chevron[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    DrawGlyphCentered(t.DC(), TRect{0, 0, 12, 9}, 8, 5, Chevron, 0x000000);
    // Top-left at ((0 + 12 + 1 - 8) / 2, (0 + 9 + 1 - 5) / 2) = (2, 2).
    const int x0 = 2, y0 = 2;
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 8; ++col) {
            const bool set = (Chevron[row] >> (7 - col)) & 1;
            EXPECT_EQ(t.Pixel(x0 + col, y0 + row), set ? 0 : 0xFFFFFF) << col << "," << row;
        }
    EXPECT_EQ(t.CountNot(TRect{0, 0, 12, 9}, 0xFFFFFF), 20);  // nothing outside the glyph
}

namespace {

// A 4 x 1 image: white, black, grey, and one transparent (fuchsia) pixel.
std::unique_ptr<gcl::TImageList, void (*)(gcl::TImageList*)> MakeImages() {
    gcl::TImageList* images = gcl::TImageList::CreateSize(4, 1);
    gcl::TBitmap bmp;
    bmp.SetPixelFormat(gcl::pf24bit);
    bmp.SetSize(4, 1);
    bmp.GetCanvas()->SetPixels(0, 0, 0xFFFFFF);
    bmp.GetCanvas()->SetPixels(1, 0, 0x000000);
    bmp.GetCanvas()->SetPixels(2, 0, 0x808080);
    bmp.GetCanvas()->SetPixels(3, 0, 0xFF00FF);
    images->AddMasked(&bmp, 0xFF00FF);
    return {images, [](gcl::TImageList* p) { p->Free(); }};
}

constexpr TColor Back = 0x404040;

} // namespace

TEST_F(TxDrawing, ImageEffectsRecomputeOnlyTheImagesPixels) {
    auto images = MakeImages();
    TPaintTarget t(4, 1, Back);
    const TRect r{0, 0, 4, 1};

    DrawImageBrightened(t.Canvas(), r, images.get(), 0, true);
    EXPECT_EQ(t.Pixel(0, 0), 0x202020);
    EXPECT_EQ(t.Pixel(1, 0), 0xFFFFFF);
    EXPECT_EQ(t.Pixel(2, 0), 0xA0A0A0);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(Back);
    DrawImageBrightened(t.Canvas(), r, images.get(), 0, false);  // plain drawing
    EXPECT_EQ(t.Pixel(0, 0), 0xFFFFFF);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(Back);
    DrawImageBlended(t.Canvas(), r, images.get(), 0, 128);
    EXPECT_EQ(t.Pixel(0, 0), 0x9F9F9F);  // (255 x 128 + 64 x 127) shr 8
    EXPECT_EQ(t.Pixel(1, 0), 0x1F1F1F);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(Back);
    DrawImageTinted(t.Canvas(), r, images.get(), 0, 0xFFFFFF, 178);
    EXPECT_EQ(t.Pixel(1, 0), 0x4C4C4C);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(Back);
    DrawImageShaded(t.Canvas(), r, images.get(), 0, 0);
    EXPECT_EQ(t.Pixel(2, 0), 0x353535);  // f = 127 / 3 + 170 = 212; 64 x 212 shr 8
    EXPECT_EQ(t.Pixel(3, 0), Back);
    EXPECT_THROW(DrawImageShaded(t.Canvas(), r, images.get(), 0, 3), gcl::EAssertionFailed);

    t.Fill(Back);
    DrawImageMonochrome(t.Canvas(), r, images.get(), 0, 0x0000FF);
    EXPECT_EQ(t.Pixel(0, 0), Back);       // light pixels leave the canvas
    EXPECT_EQ(t.Pixel(1, 0), 0x0000FF);
    EXPECT_EQ(t.Pixel(2, 0), 0x0000FF);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(Back);
    DrawImageShadow(t.Canvas(), r, images.get(), 0, 0xFF0000);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(t.Pixel(x, 0), 0xFF0000);
    EXPECT_EQ(t.Pixel(3, 0), Back);

    t.Fill(0xFFFFFF);
    DrawImageMask(t.DC(), 0, 0, images.get(), 0, 0x00FF00);
    EXPECT_EQ(t.Pixel(1, 0), 0x00FF00);
    EXPECT_EQ(t.Pixel(3, 0), 0xFFFFFF);

    // The work area is clipped to the image: a wider rectangle changes nothing more.
    TPaintTarget wide(8, 2, Back);
    DrawImageShadow(wide.Canvas(), TRect{0, 0, 8, 2}, images.get(), 0, 0xFF0000);
    EXPECT_EQ(wide.CountNot(TRect{0, 0, 8, 2}, Back), 3);
}

TEST_F(TxDrawing, GradientsMatchTheirTableAndRespectTheClip) {
    for (bool fallback : {false, true}) {
        std::unique_ptr<TMissingEntryPointsScope> missing;
        if (fallback) missing = std::make_unique<TMissingEntryPointsScope>();
        TPaintTarget full(4, 50, 0x00FF00);
        DrawGradient(full.DC(), TRect{0, 0, 4, 50}, 0x000000, 0x0000FF, true);
        EXPECT_EQ(full.Pixel(0, 0), 0x000000) << fallback;
        EXPECT_LE(std::abs(static_cast<int>(full.Pixel(0, 49)) - 0xFF), 6) << fallback;
        if (fallback) {
            const auto table = GradientTable(50, 0x000000, 0x0000FF);
            for (int y = 0; y < 50; ++y) EXPECT_EQ(full.Pixel(2, y), table[static_cast<size_t>(y)]);
        }
        TPaintTarget part(4, 50, 0x00FF00);
        HRGN clip = CreateRectRgn(0, 20, 4, 30);
        SelectClipRgn(part.DC(), clip);
        DrawGradient(part.DC(), TRect{0, 0, 4, 50}, 0x000000, 0x0000FF, true);
        SelectClipRgn(part.DC(), nullptr);
        DeleteObject(clip);
        for (int y = 0; y < 50; ++y)
            EXPECT_EQ(part.Pixel(1, y), y >= 20 && y < 30 ? full.Pixel(1, y) : 0x00FF00) << fallback << " " << y;
        TPaintTarget horizontal(30, 2, 0x00FF00);
        DrawGradient(horizontal.DC(), TRect{0, 0, 30, 2}, 0xFF0000, 0x0000FF, false);
        EXPECT_EQ(horizontal.Pixel(0, 1), 0xFF0000);
        DrawGradient(horizontal.DC(), TRect{0, 0, 0, 2}, 0, 0, false);  // no extent: nothing
    }
}

TEST_F(TxDrawing, BrushedFillStaysFixedToItsOrigin) {
    TPaintTarget a(60, 20, 0), b(60, 20, 0);
    const TPoint origin{7, 3};
    DrawBrushedFill(a.DC(), &origin, TRect{0, 0, 60, 20}, 0x808080, 4);
    DrawBrushedFill(b.DC(), &origin, TRect{10, 5, 50, 15}, 0x808080, 4);
    EXPECT_EQ(a.CountNot(TRect{0, 0, 60, 20}, 0), 60 * 20);  // every pixel painted
    for (int y = 5; y < 15; ++y)
        for (int x = 10; x < 50; ++x) ASSERT_EQ(a.Pixel(x, y), b.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(b.Pixel(5, 2), 0);
    // Channels never pass 239, and a far origin is no problem.
    const TPoint distant{0, -70000};
    DrawBrushedFill(a.DC(), &distant, TRect{0, 0, 60, 20}, 0xFFFFFF, 200);
    for (int x = 0; x < 60; ++x) EXPECT_LE(RValue(a.Pixel(x, 10)), 239u);
    DrawBrushedFill(a.DC(), nullptr, TRect{0, 0, 60, 20}, clNone, 4);
    ResetBrushedFill();
    DrawBrushedFill(a.DC(), nullptr, TRect{0, 0, 6, 2}, 0x808080, 4);  // rebuilt on use
}

TEST_F(TxDrawing, ShadowWindowsLieExactlyAroundThePopup) {
    auto rectOf = [](TShadow* s) {
        RECT r;
        GetWindowRect(s->GetHandle(), &r);
        return gcl::FromRECT(r);
    };
    {
        TShadows shadows(TRect{}, gcl::Rect(200, 200, 300, 300), 4, 61, false);
        ASSERT_EQ(shadows.Count(), 2);
        EXPECT_EQ(rectOf(shadows.Strip(0)), gcl::Rect(300, 204, 304, 300));
        EXPECT_EQ(rectOf(shadows.Strip(1)), gcl::Rect(204, 300, 304, 304));
        EXPECT_EQ(shadows.Strip(0)->GetStyle(), 1);  // layered with per-pixel alpha
        HWND strip = shadows.Strip(0)->GetHandle();
        EXPECT_TRUE(GetWindowLongA(strip, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(GetWindowLongA(strip, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_TRUE(GetWindowLongA(strip, GWL_STYLE) & WS_POPUP);
        EXPECT_EQ(SendMessageA(strip, WM_NCHITTEST, 0, MAKELPARAM(301, 250)), HTTRANSPARENT);
        EXPECT_TRUE(GetClassLongA(strip, GCL_STYLE) & CS_SAVEBITS);
        shadows.Show(HWND_TOP);
        EXPECT_TRUE(IsWindowVisible(strip));
    }
    {
        TShadows lo(gcl::Rect(10, 0, 50, 20), gcl::Rect(10, 20, 110, 120), 4, 61, true);
        ASSERT_EQ(lo.Count(), 3);
        EXPECT_EQ(lo.Strip(0)->GetStyle(), 0);  // solid button shadow, half as wide
        EXPECT_EQ(rectOf(lo.Strip(0)), gcl::Rect(12, 120, 112, 122));
    }
    {
        TMissingEntryPointsScope missing;
        TShadows plain(TRect{}, gcl::Rect(0, 0, 100, 100), 4, 61, false);
        EXPECT_EQ(plain.Strip(0)->GetStyle(), 0);
        EXPECT_EQ(rectOf(plain.Strip(0)), gcl::Rect(100, 2, 102, 100));
    }
    TShadows none(gcl::Rect(0, 0, 100, 100), gcl::Rect(50, 10, 150, 90), 4, 61, false);
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(TxDrawing, SnappedColoursAndTheCaptionFont) {
    EXPECT_EQ(BlendColorNearest(0xFFFFFF, 0x000000, 255), NearestColor(0xFEFEFE));
    EXPECT_EQ(ShiftColorNearest(0x101010, 16), NearestColor(0x202020));
    EXPECT_EQ(NearestColor(clNone), clNone);
    ASSERT_NE(SmCaptionFont(), nullptr);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    EXPECT_EQ(SmCaptionFont()->GetName(), std::string(metrics.lfSmCaptionFont.lfFaceName));
}

namespace {
class TFixedSysColors : public gcl::ISysColorService {
public:
    COLORREF GetColor(int index) override { return index == COLOR_BTNFACE ? 0x204060 : 0x000000; }
};
} // namespace

TEST_F(TxDrawing, SystemColoursResolveThroughTheClassLibrary) {
    TFixedSysColors colors;
    gcl::ServiceOverride<gcl::ISysColorService> use(gcl::SysColorService(), colors);
    EXPECT_EQ(ColorIntensity(gcl::clBtnFace), (0x60 * 76 + 0x40 * 150 + 0x20 * 30) >> 8);
    EXPECT_EQ(BlendColor(gcl::clBtnFace, gcl::clBtnFace, 255), 0x1F3F5F);
    EXPECT_EQ(ShiftColor(gcl::clBtnFace, 1), 0x214161);
}

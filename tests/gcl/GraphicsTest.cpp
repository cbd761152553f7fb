// Colours, fonts, pens, brushes, the canvas and bitmaps, checked with
// pixel probes on off-screen bitmaps.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "gcl/Dialogs.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/Timers.h"
#include "gcl/rtl/TypInfo.h"
#include "support/TestEnvironment.h"
#include "support/PixelCanvas.h"

using namespace gcl;

using qelvo::test::PixelAt;

namespace {

// A blank off-screen 32-bit bitmap filled with one colour.
void Prepare(TBitmap& bitmap, int width, int height, TColor fill) {
    bitmap.SetPixelFormat(pf32bit);
    bitmap.SetSize(width, height);
    TCanvas* canvas = bitmap.GetCanvas();
    canvas->GetBrush()->SetColor(fill);
    canvas->FillRect(Rect(0, 0, width, height));
}

struct ChangeCounter {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

} // namespace

TEST(Colors, SystemColorsResolveAsThePlatformSays) {
    // System colours are negative and carry the COLOR_ index in the low byte.
    EXPECT_LT(clBtnFace, 0);
    EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0xFF00000Fu);
    EXPECT_EQ(static_cast<uint32_t>(clInfoBk), 0xFF000018u);
    EXPECT_EQ(static_cast<uint32_t>(clGradientInactiveCaption), 0xFF00001Cu);
    for (int index : {COLOR_WINDOW, COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_INFOBK, COLOR_GRAYTEXT})
        EXPECT_EQ(ColorToRGB(SysColor(index)), static_cast<TColor>(GetSysColor(index))) << index;
    // "No colour" and "default" are not resolved; RGB values pass through.
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ColorToRGB(clDefault), clDefault);
    EXPECT_EQ(ColorToRGB(0x00346DE4), 0x00346DE4);

    // A brush in a system colour paints that colour.
    TBitmap bitmap;
    Prepare(bitmap, 4, 4, clHighlight);
    EXPECT_EQ(PixelAt(bitmap, 2, 2), static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT)));

    // A brush made before the system colour changed follows the new value.
    const COLORREF original = GetSysColor(COLOR_GRADIENTINACTIVECAPTION);
    const COLORREF changed = original == RGB(12, 34, 56) ? RGB(56, 34, 12) : RGB(12, 34, 56);
    TBitmap before;
    Prepare(before, 2, 2, clGradientInactiveCaption);
    const INT element = COLOR_GRADIENTINACTIVECAPTION;
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    TBitmap after;
    Prepare(after, 2, 2, clGradientInactiveCaption);
    SetSysColors(1, &element, &original);
    EXPECT_EQ(PixelAt(before, 0, 0), static_cast<TColor>(original));
    EXPECT_EQ(PixelAt(after, 0, 0), static_cast<TColor>(changed));
}

namespace {

// System colours of a test's own: index i is RGB(i, 2 * i, 3 * i).
class TFixedSysColors : public ISysColorService {
public:
    std::vector<int> Asked;
    COLORREF GetColor(int index) override {
        Asked.push_back(index);
        return RGB(index, 2 * index, 3 * index);
    }
};

} // namespace

TEST(Colors, SystemColorsComeFromTheReplaceableService) {
    TFixedSysColors fixed;
    {
        ServiceOverride<ISysColorService> scope(SysColorService(), fixed);
        EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(RGB(15, 30, 45)));
        EXPECT_EQ(ColorToColorRef(clHighlight), RGB(13, 26, 39));
        EXPECT_EQ(ColorToRGB(clNone), clNone);  // not a system colour: not asked
        EXPECT_EQ(ColorToRGB(0x00346DE4), 0x00346DE4);
        EXPECT_EQ(fixed.Asked, (std::vector<int>{COLOR_BTNFACE, COLOR_HIGHLIGHT}));
        // Brushes and pens resolve through it when they paint.
        TBitmap bitmap;
        Prepare(bitmap, 4, 4, clInfoBk);
        EXPECT_EQ(PixelAt(bitmap, 1, 1), static_cast<TColor>(RGB(COLOR_INFOBK, 2 * COLOR_INFOBK, 3 * COLOR_INFOBK)));
    }
    // The production service is back.
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
}

TEST(Colors, NameTableRoundTrips) {
    for (int i = 0; i < ColorIdents.Count; ++i) {
        const TIdentMapEntry& e = ColorIdents.Entries[i];
        EXPECT_EQ(ColorToString(e.Value), e.Name);
        EXPECT_EQ(StringToColor(e.Name), e.Value) << e.Name;
        for (int j = 0; j < i; ++j) EXPECT_NE(ColorIdents.Entries[j].Value, e.Value) << e.Name;
    }
    EXPECT_EQ(ColorToString(0x00346DE4), "$00346DE4");
    EXPECT_EQ(ColorToString(StringToColor("$00346DE4")), "$00346DE4");
    EXPECT_EQ(ColorToString(static_cast<TColor>(0xFF000019)), "$FF000019");  // no COLOR_ 25
    EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
    EXPECT_EQ(StringToColor("$1FFFFFFF"), clNone);
    EXPECT_EQ(ColorToString(clNone), "clNone");
    std::string ident;
    EXPECT_FALSE(ColorToIdent(0x123456, ident));
    TColor color = 0;
    EXPECT_FALSE(IdentToColor("clPink", color));
    EXPECT_THROW(StringToColor("clPink"), EConvertError);
    EXPECT_THROW(StringToColor("$"), EConvertError);
}

TEST(Fonts, AttributesHandlesAndNotifications) {
    TFont font;
    ChangeCounter counter;
    font.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);

    font.SetName("Arial");
    font.SetHeight(-15);
    EXPECT_EQ(font.GetLogFont().lfHeight, -15);
    EXPECT_EQ(font.GetSize(), MulDiv(15, 72, font.GetPixelsPerInch()));
    font.SetSize(12);
    EXPECT_EQ(font.GetHeight(), -MulDiv(12, font.GetPixelsPerInch(), 72));
    font.SetStyle({fsBold, fsUnderline});
    EXPECT_EQ(font.GetLogFont().lfWeight, FW_BOLD);
    EXPECT_TRUE(font.GetLogFont().lfUnderline);
    EXPECT_EQ(font.GetStyle(), (TFontStyles{fsBold, fsUnderline}));
    font.SetColor(clNone);
    EXPECT_EQ(font.GetColor(), clNone);  // kept unresolved and readable
    const int changes = counter.Count;
    EXPECT_EQ(changes, 5);
    font.SetName("Arial");
    font.SetStyle({fsUnderline, fsBold});
    font.SetColor(clNone);
    EXPECT_EQ(counter.Count, changes);  // unchanged values notify nothing

    // Equal fonts share one HFONT; the handle carries the attributes.
    TFont same;
    same.Assign(&font);
    EXPECT_EQ(same.GetColor(), clNone);
    EXPECT_EQ(same.GetHandle(), font.GetHandle());
    LOGFONTA lf{};
    ASSERT_GT(GetObjectA(font.GetHandle(), sizeof lf, &lf), 0);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);

    // A rotated copy from the LOGFONT; adopting a handle reads its attributes
    // and a second adopter of the same handle shares it.
    LOGFONTA rotated = font.GetLogFont();
    rotated.lfEscapement = rotated.lfOrientation = 900;
    HFONT raw = CreateFontIndirectA(&rotated);
    {
        TFont adopter;
        adopter.SetHandle(raw);
        EXPECT_EQ(adopter.GetOrientation(), 900);
        EXPECT_EQ(adopter.GetName(), "Arial");
        TFont second;
        second.SetHandle(adopter.GetHandle());
        EXPECT_EQ(second.GetHandle(), raw);
    }
    EXPECT_EQ(GetObjectType(raw), 0u);  // deleted once, by the last holder
    EXPECT_THROW(font.SetHandle(reinterpret_cast<HFONT>(GetStockObject(BLACK_PEN))), EInvalidGraphic);
}

TEST(PensAndBrushes, StateReadsBackAndNotifiesOnce) {
    TBrush brush;
    ChangeCounter counter;
    brush.OnChange = TNotifyEvent(&counter, &ChangeCounter::Changed);
    brush.SetStyle(bsClear);
    EXPECT_EQ(brush.GetStyle(), bsClear);
    EXPECT_EQ(brush.GetHandle(), GetStockObject(NULL_BRUSH));
    brush.SetColor(clWhite);  // the same colour still makes a clear brush solid
    EXPECT_EQ(brush.GetStyle(), bsSolid);
    brush.SetColor(clWhite);
    EXPECT_EQ(counter.Count, 2);

    TPen pen;
    pen.SetColor(clRed);
    pen.SetWidth(3);
    LOGPEN lp{};
    ASSERT_GT(GetObjectA(pen.GetHandle(), sizeof lp, &lp), 0);
    EXPECT_EQ(lp.lopnColor, static_cast<COLORREF>(clRed));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    TPen copy;
    copy.Assign(&pen);
    EXPECT_EQ(copy.GetHandle(), pen.GetHandle());
    pen.SetStyle(psClear);
    EXPECT_EQ(pen.GetHandle(), GetStockObject(NULL_PEN));
    EXPECT_NE(copy.GetHandle(), pen.GetHandle());
}

TEST(Canvas, StateStaysCoherentAroundRawGdi) {
    TBitmap bitmap;
    Prepare(bitmap, 40, 20, clWhite);
    TCanvas* canvas = bitmap.GetCanvas();
    HDC dc = canvas->GetHandle();

    // Raw code selects its own pen; the canvas puts its pen back to draw.
    canvas->GetPen()->SetColor(clRed);
    canvas->MoveTo(0, 1);
    canvas->LineTo(10, 1);
    HPEN redPen = canvas->GetPen()->GetHandle();
    SelectObject(dc, GetStockObject(NULL_PEN));
    canvas->MoveTo(0, 3);
    canvas->LineTo(10, 3);
    EXPECT_EQ(PixelAt(bitmap, 5, 3), clRed);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);

    // SaveDC / RestoreDC around a pen change: the restored (older) pen is
    // still alive, and the next canvas call selects the current one.
    int saved = SaveDC(dc);
    canvas->GetPen()->SetColor(clBlue);
    canvas->MoveTo(0, 5);
    canvas->LineTo(10, 5);
    RestoreDC(dc, saved);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);
    EXPECT_NE(GetObjectType(redPen), 0u);
    canvas->MoveTo(0, 7);
    canvas->LineTo(10, 7);
    EXPECT_EQ(PixelAt(bitmap, 5, 5), clBlue);
    EXPECT_EQ(PixelAt(bitmap, 5, 7), clBlue);

    // Raw colour changes are overridden when the canvas's brush changes:
    // a solid brush paints the text background, a clear one leaves it.
    canvas->GetBrush()->SetColor(clLime);
    canvas->TextOut(0, 8, "  ");
    EXPECT_EQ(PixelAt(bitmap, 2, 10), clLime);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetBrush()->SetColor(clLime);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetPen()->SetColor(clWhite);
    canvas->TextOut(20, 8, "  ");
    EXPECT_EQ(PixelAt(bitmap, 22, 10), clWhite);
    EXPECT_EQ(canvas->GetPenPos().X, 20 + canvas->TextWidth("  "));

    // Filling the whole bitmap after all this still uses the canvas brush.
    canvas->GetBrush()->SetColor(clYellow);
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    canvas->Rectangle(0, 0, 40, 20);
    EXPECT_EQ(PixelAt(bitmap, 20, 10), clYellow);
}

TEST(Canvas, ObjectsDieWithTheirLastHolder) {
    HFONT first = nullptr, second = nullptr;
    HPEN pen = nullptr;
    {
        TBitmap bitmap;
        Prepare(bitmap, 20, 20, clWhite);
        TCanvas* canvas = bitmap.GetCanvas();
        canvas->GetFont()->SetName("Courier New");
        canvas->GetFont()->SetHeight(-17);
        canvas->TextOut(0, 0, "a");
        first = canvas->GetFont()->GetHandle();
        canvas->GetFont()->SetHeight(-19);  // the first font is still selected until the next call
        canvas->TextOut(0, 0, "b");
        second = canvas->GetFont()->GetHandle();
        EXPECT_NE(first, second);
        EXPECT_NE(GetObjectType(first), 0u);
        canvas->GetPen()->SetColor(RGB(1, 2, 3));
        canvas->GetPen()->SetWidth(5);
        canvas->LineTo(5, 5);
        pen = canvas->GetPen()->GetHandle();
        bitmap.GetHandle();  // lets the canvas go: its objects are released
        EXPECT_EQ(GetObjectType(first), 0u);
        EXPECT_NE(GetObjectType(second), 0u);  // still the font's own
    }
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(Canvas, ForeignDcGetsItsObjectsBack) {
    TBitmap target;
    Prepare(target, 20, 20, clWhite);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(target.GetCanvas()->GetHandle(), 20, 20);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Tahoma");
    HFONT ownFont = CreateFontIndirectA(&lf);
    HGDIOBJ oldFont = SelectObject(dc, ownFont);
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.GetFont()->SetName("Arial");
        canvas.TextOut(0, 0, "x");
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas.GetFont()->GetHandle());
        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
        // A DC whose owner took its font back keeps it.
        canvas.SetHandle(dc);
        canvas.TextOut(0, 0, "x");
        SelectObject(dc, ownFont);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBmp);
    DeleteObject(ownFont);
    DeleteObject(bmp);
    DeleteDC(dc);
}

TEST(Bitmaps, RowZeroIsTheTopRowInEveryLayout) {
    for (TPixelFormat format : {pf24bit, pf32bit}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(format);
        bitmap.SetSize(5, 3);
        TCanvas* canvas = bitmap.GetCanvas();
        canvas->GetBrush()->SetColor(clRed);
        canvas->FillRect(Rect(0, 0, 5, 1));
        const auto* top = static_cast<const uint8_t*>(bitmap.GetScanLine(0));
        const auto* bottom = static_cast<const uint8_t*>(bitmap.GetScanLine(2));
        EXPECT_EQ(top[2], 0xFF) << format;  // B, G, R
        EXPECT_EQ(top[0], 0x00) << format;
        EXPECT_EQ(bottom[2], 0x00) << format;
        // Writing a row is seen by the canvas at the same place.
        auto* middle = static_cast<uint8_t*>(bitmap.GetScanLine(1));
        middle[0] = 0xFF;  // blue
        EXPECT_EQ(PixelAt(bitmap, 0, 1), clBlue) << format;
        EXPECT_THROW(bitmap.GetScanLine(3), EInvalidGraphicOperation);
        EXPECT_THROW(bitmap.GetScanLine(-1), EInvalidGraphicOperation);
    }
    EXPECT_EQ(TBitmap().GetScanLineSize(), 0);

    // A top-down DIB section adopted through its handle.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -3;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP topDown = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    static_cast<uint32_t*>(bits)[0] = 0x00FF0000;  // first row in memory = top: red
    TBitmap adopted;
    adopted.SetHandle(topDown);
    EXPECT_EQ(adopted.GetPixelFormat(), pf32bit);
    EXPECT_EQ(adopted.GetHeight(), 3);
    EXPECT_EQ(static_cast<uint32_t*>(adopted.GetScanLine(0))[0], 0x00FF0000u);
    EXPECT_EQ(PixelAt(adopted, 0, 0), clRed);

    TBitmap device;
    device.SetSize(2, 2);
    EXPECT_EQ(device.GetPixelFormat(), pfDevice);
    EXPECT_THROW(device.GetScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmaps, CopiesResizesAndConvertsKeepPixels) {
    TBitmap original;
    Prepare(original, 6, 4, clWhite);
    original.GetCanvas()->SetPixels(1, 1, clRed);
    static_cast<uint8_t*>(original.GetScanLine(0))[3] = 0x80;  // alpha survives copies

    TBitmap copy;
    copy.Assign(&original);
    EXPECT_EQ(copy.GetPixelFormat(), pf32bit);
    EXPECT_NE(copy.GetHandle(), original.GetHandle());
    EXPECT_EQ(PixelAt(copy, 1, 1), clRed);
    EXPECT_EQ(static_cast<uint8_t*>(copy.GetScanLine(0))[3], 0x80);
    copy.GetCanvas()->SetPixels(1, 1, clBlue);
    EXPECT_EQ(PixelAt(original, 1, 1), clRed);

    copy.SetSize(10, 2);  // the overlap stays, new pixels are black
    EXPECT_EQ(PixelAt(copy, 1, 1), clBlue);
    EXPECT_EQ(PixelAt(copy, 8, 0), clBlack);
    copy.SetPixelFormat(pf24bit);
    EXPECT_EQ(PixelAt(copy, 1, 1), clBlue);
    copy.SetMonochrome(true);
    EXPECT_EQ(copy.GetPixelFormat(), pf1bit);
    EXPECT_EQ(PixelAt(copy, 0, 0), clWhite);
    EXPECT_EQ(PixelAt(copy, 8, 0), clBlack);
    copy.SetHeight(0);
    EXPECT_TRUE(copy.GetEmpty());
    copy.SetHeight(2);
    EXPECT_EQ(copy.GetWidth(), 10);

    // The handle handed out is free to be selected elsewhere.
    HBITMAP handle = original.GetHandle();
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(GetPixel(dc, 1, 1), static_cast<COLORREF>(clRed));
    SelectObject(dc, old);
    DeleteDC(dc);

    copy.Assign(nullptr);
    EXPECT_TRUE(copy.GetEmpty());
}

TEST(Bitmaps, DrawTransparentAndStretched) {
    TBitmap glyph;
    Prepare(glyph, 3, 3, clFuchsia);
    glyph.GetCanvas()->SetPixels(1, 1, clBlack);
    EXPECT_EQ(glyph.GetTransparentColor(), clFuchsia);  // the bottom-left pixel
    glyph.SetTransparent(true);

    TBitmap target;
    Prepare(target, 10, 10, clWhite);
    target.GetCanvas()->Draw(2, 2, &glyph);
    EXPECT_EQ(PixelAt(target, 3, 3), clBlack);
    EXPECT_EQ(PixelAt(target, 2, 2), clWhite);
    glyph.SetTransparentColor(clBlack);
    EXPECT_EQ(glyph.GetTransparentMode(), tmFixed);
    target.GetCanvas()->Draw(6, 6, &glyph);
    EXPECT_EQ(PixelAt(target, 6, 6), clFuchsia);
    EXPECT_EQ(PixelAt(target, 7, 7), clWhite);

    // A one-pixel-wide strip stretched into a rectangle.
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(1, 2);
    strip.GetCanvas()->SetPixels(0, 0, clRed);
    strip.GetCanvas()->SetPixels(0, 1, clBlue);
    target.GetCanvas()->StretchDraw(Rect(0, 0, 10, 10), &strip);
    EXPECT_EQ(PixelAt(target, 9, 0), clRed);
    EXPECT_EQ(PixelAt(target, 0, 9), clBlue);

    // The pattern bitmap is shared and checkered.
    TBitmap* pattern = AllocPatternBitmap(clWhite, clBlack);
    EXPECT_EQ(pattern, AllocPatternBitmap(clWhite, clBlack));
    EXPECT_NE(pattern, AllocPatternBitmap(clBlack, clWhite));
    EXPECT_EQ(PixelAt(*pattern, 0, 0), clWhite);
    EXPECT_EQ(PixelAt(*pattern, 1, 0), clBlack);
    target.GetCanvas()->GetBrush()->SetBitmap(pattern);
    target.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
    target.GetCanvas()->GetBrush()->SetBitmap(nullptr);
    EXPECT_NE(PixelAt(target, 4, 4), PixelAt(target, 5, 4));
}

TEST(Bitmaps, FourBitBitmapsOnMagentaDrawTransparent) {
    // A 4x2 16-colour BMP: palette 9 red, 13 magenta; a red pixel at (1, 0).
    qelvo::test::TempDir dir;
    const std::string path = dir.File("glyph.bmp");
    {
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        RGBQUAD palette[16] = {};
        palette[9] = RGBQUAD{0x00, 0x00, 0xFF, 0};
        palette[13] = RGBQUAD{0xFF, 0x00, 0xFF, 0};
        const uint8_t rows[2][4] = {{0xDD, 0xDD, 0, 0}, {0xD9, 0xDD, 0, 0}};  // bottom row first
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info + sizeof palette;
        file.bfSize = file.bfOffBits + sizeof rows;
        info.biSize = sizeof info;
        info.biWidth = 4;
        info.biHeight = 2;
        info.biPlanes = 1;
        info.biBitCount = 4;
        info.biClrUsed = 16;
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(palette, sizeof palette, 1, f);
        std::fwrite(rows, sizeof rows, 1, f);
        std::fclose(f);
    }
    TBitmap glyph;
    glyph.SetHandle(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_FALSE(glyph.GetEmpty());
    EXPECT_EQ(glyph.GetPixelFormat(), pf4bit);
    EXPECT_EQ(PixelAt(glyph, 1, 0), clRed);
    EXPECT_EQ(glyph.GetTransparentColor(), clFuchsia);
    EXPECT_EQ(static_cast<uint8_t*>(glyph.GetScanLine(0))[0], 0xD9);

    glyph.SetTransparent(true);
    TBitmap target;
    Prepare(target, 8, 4, clWhite);
    target.GetCanvas()->Draw(0, 0, &glyph);
    EXPECT_EQ(PixelAt(target, 1, 0), clRed);
    EXPECT_EQ(PixelAt(target, 0, 0), clWhite);
    EXPECT_EQ(PixelAt(target, 3, 1), clWhite);

    // Copies and resizes keep the palette.
    TBitmap copy;
    copy.Assign(&glyph);
    EXPECT_EQ(copy.GetPixelFormat(), pf4bit);
    EXPECT_TRUE(copy.GetTransparent());
    copy.SetSize(6, 2);
    EXPECT_EQ(PixelAt(copy, 1, 0), clRed);
    EXPECT_EQ(PixelAt(copy, 0, 1), clFuchsia);
}

TEST(Icons, AdoptCopyAndDraw) {
    TBitmap color;
    Prepare(color, 16, 16, clRed);
    TBitmap mask;
    mask.SetMonochrome(true);
    mask.SetSize(16, 16);  // all black: opaque
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color.GetHandle();
    info.hbmMask = mask.GetHandle();
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    EXPECT_EQ(icon.GetWidth(), 16);
    EXPECT_EQ(icon.GetHeight(), 16);

    TIcon copy;
    copy.Assign(&icon);
    EXPECT_NE(copy.GetHandle(), icon.GetHandle());
    EXPECT_EQ(copy.GetWidth(), 16);

    TPicture picture;
    picture.SetGraphic(&copy);
    ASSERT_NE(picture.GetGraphic(), nullptr);
    EXPECT_NE(picture.GetGraphic(), &copy);
    EXPECT_EQ(picture.GetWidth(), 16);

    TBitmap target;
    Prepare(target, 20, 20, clWhite);
    target.GetCanvas()->Draw(2, 2, picture.GetGraphic());
    EXPECT_EQ(PixelAt(target, 10, 10), clRed);
    EXPECT_EQ(PixelAt(target, 19, 19), clWhite);
    EXPECT_TRUE(picture.GetBitmap()->GetEmpty());  // replaced by an empty bitmap
}

TEST(PublishedProperties, DefaultsMatchFreshObjectsAndClassesRegister) {
    std::vector<TObject*> objects = {
        TFont::StaticClass()->NewInstance(),       TPen::StaticClass()->NewInstance(),
        TBrush::StaticClass()->NewInstance(),      TImageList::StaticClass()->Create(nullptr),
        TTimer::StaticClass()->Create(nullptr),    TOpenDialog::StaticClass()->Create(nullptr),
        TSaveDialog::StaticClass()->Create(nullptr), TColorDialog::StaticClass()->Create(nullptr)};
    for (TObject* object : objects) {
        int withDefault = 0;
        for (const TPropInfo* prop : object->ClassType()->Properties()) {
            if (prop->HasDefault()) ++withDefault;
            EXPECT_TRUE(!prop->HasDefault() || prop->IsDefaultValue(object))
                << object->ClassName() << "." << prop->Name();
        }
        EXPECT_GT(withDefault, 0) << object->ClassName();
        object->Free();
    }
    const TPropInfo* color = GetPropInfo(TFont::StaticClass(), "Color");
    ASSERT_NE(color, nullptr);
    ASSERT_NE(color->GetIdents(), nullptr);
    std::string ident;
    EXPECT_TRUE(color->GetIdents()->IntToIdent(clWindowText, ident));
    EXPECT_EQ(ident, "clWindowText");

    {
        TUnitScope units{&GraphicsUnit, &ImgListUnit, &TimersUnit, &DialogsUnit};
        for (const char* name : {"TFont", "TBitmap", "TImageList", "TTimer", "TOpenDialog", "TColorDialog"})
            EXPECT_NE(GetClass(name), nullptr) << name;
    }
}

TEST(Geometry, HalfOpenRectangles) {
    TRect r = Bounds(10, 20, 30, 40);
    EXPECT_EQ(r, Rect(10, 20, 40, 60));
    EXPECT_TRUE(PtInRect(r, Point(10, 20)));
    EXPECT_FALSE(PtInRect(r, Point(40, 30)));  // right edge is outside
    EXPECT_EQ(CenterPoint(r), Point(25, 40));
    InflateRect(r, -5, 2);
    EXPECT_EQ(r, Rect(15, 18, 35, 62));
    OffsetRect(r, 1, -1);
    EXPECT_EQ(r, Rect(16, 17, 36, 61));

    TRect out = Rect(1, 1, 2, 2);
    EXPECT_TRUE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
    EXPECT_EQ(out, Rect(5, 5, 10, 10));
    EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));  // touching only
    EXPECT_EQ(out, TRect{});
    EXPECT_TRUE(UnionRect(out, Rect(0, 0, 0, 0), Rect(5, 5, 6, 6)));
    EXPECT_EQ(out, Rect(5, 5, 6, 6));
    EXPECT_TRUE(UnionRect(out, Rect(0, 0, 2, 2), Rect(5, 5, 6, 6)));
    EXPECT_EQ(out, Rect(0, 0, 6, 6));
    EXPECT_FALSE(UnionRect(out, TRect{}, Rect(3, 3, 3, 9)));
    EXPECT_TRUE(IsRectEmpty(Rect(3, 3, 3, 9)));
    RECT raw = ToRECT(Rect(1, 2, 3, 4));
    EXPECT_EQ(FromRECT(raw), Rect(1, 2, 3, 4));
}

// ---- Paint buffers

namespace {

SIZE BitmapSizeOf(HDC dc) {
    BITMAP bm{};
    GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

RECT ClipOf(HDC dc) {
    RECT r{};
    GetClipBox(dc, &r);
    return r;
}

} // namespace

// A kept buffer starts each paint as a new one would: black over the size
// asked, clipped to it, in the DC's first state; it grows, another asked
// while it is in use is a buffer of its own, and a display change makes it
// anew.
TEST(PaintBuffers, TheKeptBufferStartsEachPaintAsANewOne) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    HDC keptDC = nullptr;
    {
        const TPaintBuffer buffer(dc, 40, 30);
        ASSERT_TRUE(buffer.IsKept());
        keptDC = buffer.GetDC();
        EXPECT_EQ(GetPixel(keptDC, 39, 29), RGB(0, 0, 0));
        const RECT clip = ClipOf(keptDC);
        EXPECT_EQ(clip.right, 40);
        EXPECT_EQ(clip.bottom, 30);
        // A paint that leaves its marks on the DC's state and pixels.
        PatBlt(keptDC, 0, 0, 40, 30, WHITENESS);
        SetWindowOrgEx(keptDC, 7, 7, nullptr);
        SetTextColor(keptDC, RGB(255, 0, 0));
        SetBkMode(keptDC, TRANSPARENT);
        SelectObject(keptDC, GetStockObject(BLACK_BRUSH));
    }
    {
        const TPaintBuffer buffer(dc, 20, 10);
        ASSERT_TRUE(buffer.IsKept());
        HDC memory = buffer.GetDC();
        EXPECT_EQ(memory, keptDC);
        EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0)) << "the last paint's pixels show through";
        EXPECT_EQ(GetPixel(memory, 19, 9), RGB(0, 0, 0));
        EXPECT_EQ(ClipOf(memory).right, 20);
        EXPECT_EQ(ClipOf(memory).bottom, 10);
        POINT origin{-1, -1};
        GetWindowOrgEx(memory, &origin);
        EXPECT_EQ(origin.x, 0);
        EXPECT_EQ(GetTextColor(memory), RGB(0, 0, 0));
        EXPECT_EQ(GetBkMode(memory), OPAQUE);
        EXPECT_EQ(GetCurrentObject(memory, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));

        // Asked again while in use (a paint inside a paint): a new buffer.
        const TPaintBuffer inner(dc, 15, 15);
        EXPECT_FALSE(inner.IsKept());
        EXPECT_NE(inner.GetDC(), memory);
        EXPECT_EQ(BitmapSizeOf(inner.GetDC()).cx, 15);
        EXPECT_EQ(GetPixel(inner.GetDC(), 14, 14), RGB(0, 0, 0));
    }
    {
        // Larger than the kept bitmap: it grows to the size asked.
        const TPaintBuffer buffer(dc, 120, 50);
        ASSERT_TRUE(buffer.IsKept());
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cx, 120);
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cy, 50);
        EXPECT_EQ(GetPixel(buffer.GetDC(), 119, 49), RGB(0, 0, 0));
    }
    {
        const TPaintBuffer buffer(dc, 10, 10);
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cx, 120) << "a smaller paint keeps the bitmap";
    }
    TPaintBuffer::DisplayChanged();
    {
        const TPaintBuffer buffer(dc, 10, 10);
        ASSERT_TRUE(buffer.IsKept());
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cx, 10) << "made anew for the changed display";
    }
    // A memory DC is no display DC: its buffers are its own.
    HDC memoryDC = CreateCompatibleDC(dc);
    {
        const TPaintBuffer buffer(memoryDC, 10, 10);
        EXPECT_FALSE(buffer.IsKept());
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cx, 10);
    }
    DeleteDC(memoryDC);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

// A wide, short paint and a narrow, tall one in turn (a bar, then a panel)
// share the kept bitmap once it covers both, instead of making it anew
// for each.
TEST(PaintBuffers, TheKeptBufferGrowsOnlyWhereItIsTooSmall) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    TPaintBuffer::DisplayChanged();
    HGDIOBJ bitmap = nullptr;
    for (int round = 0; round < 3; ++round) {
        {
            const TPaintBuffer wide(dc, 700, 20);
            ASSERT_TRUE(wide.IsKept());
            EXPECT_EQ(GetPixel(wide.GetDC(), 699, 19), RGB(0, 0, 0));
            EXPECT_EQ(ClipOf(wide.GetDC()).right, 700);
            EXPECT_EQ(ClipOf(wide.GetDC()).bottom, 20);
            if (round > 0) {
                EXPECT_EQ(GetCurrentObject(wide.GetDC(), OBJ_BITMAP), bitmap) << "round " << round;
            }
        }
        const TPaintBuffer tall(dc, 150, 260);
        ASSERT_TRUE(tall.IsKept());
        const SIZE size = BitmapSizeOf(tall.GetDC());
        EXPECT_EQ(size.cx, 700);
        EXPECT_EQ(size.cy, 260);
        EXPECT_EQ(ClipOf(tall.GetDC()).right, 150);
        EXPECT_EQ(ClipOf(tall.GetDC()).bottom, 260);
        EXPECT_EQ(GetPixel(tall.GetDC(), 149, 259), RGB(0, 0, 0));
        if (round == 0) bitmap = GetCurrentObject(tall.GetDC(), OBJ_BITMAP);
        EXPECT_EQ(GetCurrentObject(tall.GetDC(), OBJ_BITMAP), bitmap);
    }
    // A display change still starts again from the size asked.
    TPaintBuffer::DisplayChanged();
    {
        const TPaintBuffer buffer(dc, 30, 40);
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cx, 30);
        EXPECT_EQ(BitmapSizeOf(buffer.GetDC()).cy, 40);
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

// GDI side of the theming toolkit: the shared stock, clNone-aware
// primitives, image effects on 32-bit work bitmaps, gradient and brushed
// fills, and the popup shadow windows.
#include "theming/TxUtils.h"

#include <algorithm>
#include <cstring>

#include "gcl/Forms.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/SysInfo.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

namespace {

constexpr const char* UnitName = "TxUtils";

constinit gcl::TSystemLibrary User32Library{"user32.dll"};
constinit gcl::TSystemLibrary MsImg32Library{"msimg32.dll"};
constinit gcl::TLibraryProc<TUpdateLayeredWindowProc> UpdateLayeredWindowBinding{User32Library,
                                                                                  "UpdateLayeredWindow"};
constinit gcl::TLibraryProc<TAlphaBlendProc> AlphaBlendBinding{MsImg32Library, "AlphaBlend"};
constinit gcl::TLibraryProc<TGradientFillProc> GradientFillBinding{MsImg32Library, "GradientFill"};
bool PretendMissing = false;

// A 32-bit top-down DIB section with its own memory DC.
class TDib {
public:
    TDib() = default;
    ~TDib() { Free(); }
    TDib(const TDib&) = delete;
    TDib& operator=(const TDib&) = delete;

    // Makes sure the bitmap holds at least w x h pixels.
    void Need(int w, int h) {
        if (FBitmap && w <= FWidth && h <= FHeight) return;
        Free();
        FWidth = std::max(w, FWidth);
        FHeight = std::max(h, FHeight);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = FWidth;
        bi.bmiHeader.biHeight = -FHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        FDC = CreateCompatibleDC(nullptr);
        FBitmap = CreateDIBSection(FDC, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
        if (!FDC || !FBitmap) {
            Free();
            throw gcl::EOutOfResources(gcl::msg::OutOfResources);
        }
        FOld = SelectObject(FDC, FBitmap);
    }
    void Free() noexcept {
        if (FDC) {
            if (FOld) SelectObject(FDC, FOld);
            DeleteDC(FDC);
        }
        if (FBitmap) DeleteObject(FBitmap);
        FDC = nullptr;
        FBitmap = nullptr;
        FOld = nullptr;
        FBits = nullptr;
        FWidth = FHeight = 0;
    }
    HDC DC() const noexcept { return FDC; }
    uint32_t& At(int x, int y) noexcept { return FBits[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + x]; }

private:
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOld = nullptr;
    uint32_t* FBits = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

struct TStock {
    TDib Background;    // the canvas as it was
    TDib Image;         // the canvas with the image drawn over it
    HDC NearestDC = nullptr;
    HBITMAP NearestBitmap = nullptr;
    HGDIOBJ NearestOld = nullptr;
    std::unique_ptr<gcl::TFont> CaptionFont;
};
TStock* Stock = nullptr;

void FreeStockBitmaps() noexcept {
    if (!Stock) return;
    Stock->Background.Free();
    Stock->Image.Free();
    if (Stock->NearestDC) {
        SelectObject(Stock->NearestDC, Stock->NearestOld);
        DeleteDC(Stock->NearestDC);
    }
    if (Stock->NearestBitmap) DeleteObject(Stock->NearestBitmap);
    Stock->NearestDC = nullptr;
    Stock->NearestBitmap = nullptr;
    Stock->NearestOld = nullptr;
}

TStock& GetStock() {
    if (!Stock) Stock = new TStock;
    if (!Stock->NearestDC) {
        HDC screen = GetDC(nullptr);
        Stock->NearestBitmap = CreateCompatibleBitmap(screen, 8, 8);
        Stock->NearestDC = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        Stock->NearestOld = SelectObject(Stock->NearestDC, Stock->NearestBitmap);
    }
    if (!Stock->CaptionFont) {
        Stock->CaptionFont = std::make_unique<gcl::TFont>();
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = 340;  // the size without the padded border width, understood by every version
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            Stock->CaptionFont->SetHandle(CreateFontIndirectA(&metrics.lfSmCaptionFont));
    }
    return *Stock;
}

// Selects a GDI object for a scope and deletes it afterwards when owned.
class TSelect {
public:
    TSelect(HDC dc, HGDIOBJ object, bool owned) : FDC(dc), FObject(object), FOwned(owned) {
        FOld = SelectObject(dc, object);
    }
    ~TSelect() {
        SelectObject(FDC, FOld);
        if (FOwned) DeleteObject(FObject);
    }
    TSelect(const TSelect&) = delete;
    TSelect& operator=(const TSelect&) = delete;

private:
    HDC FDC;
    HGDIOBJ FObject;
    HGDIOBJ FOld;
    bool FOwned;
};

COLORREF Ref(TColor c) { return static_cast<COLORREF>(ResolveColor(c)) & 0xFFFFFF; }

} // namespace

// ---- Entry points ---------------------------------------------------------------

TUpdateLayeredWindowProc UpdateLayeredWindowProc() {
    return PretendMissing ? nullptr : UpdateLayeredWindowBinding.Get();
}
TAlphaBlendProc AlphaBlendProc() { return PretendMissing ? nullptr : AlphaBlendBinding.Get(); }
TGradientFillProc GradientFillProc() {
    if (PretendMissing || gcl::Win32Platform != gcl::PlatformWin32NT) return nullptr;
    return GradientFillBinding.Get();
}

TMissingEntryPointsScope::TMissingEntryPointsScope() noexcept : FPrevious(PretendMissing) { PretendMissing = true; }
TMissingEntryPointsScope::~TMissingEntryPointsScope() { PretendMissing = FPrevious; }

// ---- Stock ----------------------------------------------------------------------

// The stock is made again when next asked for, so that a change of the
// system's settings, and the theme manager's start right after this unit's,
// build it once.
void RecreateStockBitmaps() {
    FreeStockBitmaps();
    if (Stock) Stock->CaptionFont.reset();
}

gcl::TFont* SmCaptionFont() { return GetStock().CaptionFont.get(); }

namespace {
void InitializeTxUtils() {}
void FinalizeTxUtils() {
    ResetBrushedFill();
    FreeStockBitmaps();
    delete Stock;
    Stock = nullptr;
}
} // namespace

gcl::TUnit TxUtilsUnit{"TxUtils", &InitializeTxUtils, &FinalizeTxUtils};

// ---- Colours snapped to the screen ------------------------------------------------

TColor NearestColor(TColor c) {
    if (c == clNone) return c;
    return static_cast<TColor>(GetNearestColor(GetStock().NearestDC, Ref(c)) & 0xFFFFFF);
}
TColor BlendColorNearest(TColor c1, TColor c2, int w) { return NearestColor(BlendColor(c1, c2, w)); }
TColor ShiftColorNearest(TColor c, int delta) { return NearestColor(ShiftColor(c, delta)); }

// ---- GDI primitives ------------------------------------------------------------------

HPEN CreatePenColor(TColor color) {
    if (color == clNone) return CreatePen(PS_NULL, 1, 0);
    return CreatePen(PS_SOLID, 1, Ref(color));
}

HBRUSH CreateBrushColor(TColor color) {
    if (color == clNone) {
        LOGBRUSH lb{BS_NULL, 0, 0};
        return CreateBrushIndirect(&lb);
    }
    return CreateSolidBrush(Ref(color));
}

namespace {
// The brush for a fill: the system's own brush for a system colour (not
// deleted), else a new one.
struct TFillBrush {
    explicit TFillBrush(TColor color) {
        if (gcl::IsSysColor(color)) {
            Brush = GetSysColorBrush(color & 0xFF);
        } else {
            Brush = CreateSolidBrush(Ref(color));
            Owned = true;
        }
    }
    ~TFillBrush() {
        if (Owned) DeleteObject(Brush);
    }
    TFillBrush(const TFillBrush&) = delete;
    TFillBrush& operator=(const TFillBrush&) = delete;
    HBRUSH Brush;
    bool Owned = false;
};
} // namespace

bool FillRectColor(HDC dc, const TRect& rect, TColor color) {
    if (color == clNone) return false;
    TFillBrush brush(color);
    const RECT r = gcl::ToRECT(rect);
    FillRect(dc, &r, brush.Brush);
    return true;
}

bool FrameRectColor(HDC dc, TRect& rect, TColor color, bool adjust) {
    bool painted = false;
    if (color != clNone) {
        TFillBrush brush(color);
        const RECT r = gcl::ToRECT(rect);
        FrameRect(dc, &r, brush.Brush);
        painted = true;
    }
    if (adjust) gcl::InflateRect(rect, -1, -1);
    return painted;
}

void DrawLineColor(HDC dc, int x1, int y1, int x2, int y2, TColor color) {
    if (color == clNone) return;
    TSelect pen(dc, CreatePenColor(color), true);
    POINT old;
    MoveToEx(dc, x1, y1, &old);
    LineTo(dc, x2, y2);
    MoveToEx(dc, old.x, old.y, nullptr);
}

void PolylineColor(HDC dc, const TPoint* points, int lastIndex, TColor color) {
    if (color == clNone || lastIndex < 0) return;
    TSelect pen(dc, CreatePenColor(color), true);
    Polyline(dc, reinterpret_cast<const POINT*>(points), lastIndex + 1);
}

void PolygonColor(HDC dc, const TPoint* points, int lastIndex, TColor lineColor, TColor fillColor) {
    if ((lineColor == clNone && fillColor == clNone) || lastIndex < 0) return;
    TSelect pen(dc, CreatePenColor(lineColor), true);
    TSelect brush(dc, CreateBrushColor(fillColor), true);
    Polygon(dc, reinterpret_cast<const POINT*>(points), lastIndex + 1);
}

void RoundRectColor(HDC dc, int x1, int y1, int x2, int y2, int cornerW, int cornerH, TColor lineColor,
                    TColor fillColor) {
    if (lineColor == clNone && fillColor == clNone) return;
    TSelect pen(dc, CreatePenColor(lineColor), true);
    TSelect brush(dc, CreateBrushColor(fillColor), true);
    RoundRect(dc, x1, y1, x2, y2, cornerW, cornerH);
}

void RoundRectColorInRect(HDC dc, const TRect& rect, int cornerW, int cornerH, TColor lineColor,
                          TColor fillColor) {
    RoundRectColor(dc, rect.Left, rect.Top, rect.Right, rect.Bottom, cornerW, cornerH, lineColor, fillColor);
}

void DitherRect(HDC dc, const TRect& rect, TColor c1, TColor c2) {
    gcl::TBitmap* pattern = gcl::AllocPatternBitmap(c1, c2);
    HBRUSH brush = CreatePatternBrush(pattern->GetHandle());
    const RECT r = gcl::ToRECT(rect);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void Frame3DColor(HDC dc, TRect& rect, TColor topLeft, TColor bottomRight, bool adjust) {
    rect.Right -= 1;
    rect.Bottom -= 1;
    const TPoint tl[3] = {{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    PolylineColor(dc, tl, 2, topLeft);
    const TPoint br[3] = {{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}};
    PolylineColor(dc, br, 2, bottomRight);
    if (adjust) {
        rect.Left += 1;
        rect.Top += 1;
    } else {
        rect.Right -= 1;
        rect.Bottom -= 1;
    }
}

void BlendPixel(HDC dc, int x, int y, TColor color, int alpha) {
    if (alpha <= 0 || color == clNone) return;
    if (alpha >= 255) {
        SetPixelV(dc, x, y, Ref(color));
        return;
    }
    const COLORREF old = GetPixel(dc, x, y);
    if (old == CLR_INVALID) return;
    SetPixelV(dc, x, y, static_cast<COLORREF>(BlendPixelValue(static_cast<TColor>(old), ResolveColor(color), alpha)));
}

namespace {
// DSPDxax: the brush where the source is white, the destination where it is black.
constexpr DWORD RopPaintBlack = 0xE20746;

void PaintMask(HDC dc, int x, int y, int w, int h, HDC maskDC, TColor color) {
    TSelect brush(dc, CreateSolidBrush(Ref(color)), true);
    const COLORREF oldText = SetTextColor(dc, 0);
    const COLORREF oldBk = SetBkColor(dc, 0xFFFFFF);
    BitBlt(dc, x, y, w, h, maskDC, 0, 0, RopPaintBlack);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}
} // namespace

void DrawGlyphCentered(HDC dc, const TRect& rect, int width, int height, const uint16_t* bits, TColor color) {
    if (color == clNone) return;
    // The raster operation paints where the source is white: the set bits.
    uint16_t rows[8];
    for (int i = 0; i < 8; ++i) rows[i] = i < height ? bits[i] : 0;
    HBITMAP glyph = CreateBitmap(8, 8, 1, 1, rows);
    HDC glyphDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(glyphDC, glyph);
    const int x = (rect.Left + rect.Right + 1 - width) / 2;
    const int y = (rect.Top + rect.Bottom + 1 - height) / 2;
    PaintMask(dc, x, y, width, height, glyphDC, color);
    SelectObject(glyphDC, old);
    DeleteDC(glyphDC);
    DeleteObject(glyph);
}

void DrawImageMask(HDC dc, int x, int y, TCustomImageList* images, int index, TColor color) {
    if (color == clNone || !images) return;
    const int w = images->GetWidth(), h = images->GetHeight();
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HDC maskDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(maskDC, mask);
    PatBlt(maskDC, 0, 0, w, h, WHITENESS);
    images->DrawEx(maskDC, 0, 0, index, ILD_MASK);
    PatBlt(maskDC, 0, 0, w, h, DSTINVERT);  // the image's shape white, the rest black
    PaintMask(dc, x, y, w, h, maskDC, color);
    SelectObject(maskDC, old);
    DeleteDC(maskDC);
    DeleteObject(mask);
}

// ---- Image effects ---------------------------------------------------------------------

namespace {

template <class Fn>
void ApplyImageEffect(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, uint32_t underlay,
                      bool useUnderlay, Fn fn) {
    if (!canvas || !images || index < 0 || index >= images->GetCount()) return;
    const int w = std::min(rect.Width(), images->GetWidth());
    const int h = std::min(rect.Height(), images->GetHeight());
    if (w <= 0 || h <= 0) return;
    HDC dc = canvas->GetHandle();
    TStock& stock = GetStock();
    stock.Background.Need(w, h);
    stock.Image.Need(w, h);
    BitBlt(stock.Background.DC(), 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
    if (useUnderlay) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) stock.Image.At(x, y) = underlay;
    } else {
        BitBlt(stock.Image.DC(), 0, 0, w, h, dc, rect.Left, rect.Top, SRCCOPY);
    }
    GdiFlush();
    images->DrawEx(stock.Image.DC(), 0, 0, index, ILD_NORMAL);
    GdiFlush();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t image = stock.Image.At(x, y) & 0xFFFFFF;
            const uint32_t before = useUnderlay ? underlay : stock.Background.At(x, y) & 0xFFFFFF;
            if (image != before) {
                uint32_t& out = stock.Background.At(x, y);
                out = fn(image, out & 0xFFFFFF);
            }
        }
    BitBlt(dc, rect.Left, rect.Top, w, h, stock.Background.DC(), 0, 0, SRCCOPY);
}

uint32_t PixelOf(TColor c) {
    const TColor v = ResolveColor(c);
    return (RValue(v) << 16) | (GValue(v) << 8) | BValue(v);
}

} // namespace

void DrawImageBrightened(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, bool brighten) {
    if (!brighten) {
        if (images) images->Draw(canvas, rect.Left, rect.Top, index, true);
        return;
    }
    ApplyImageEffect(canvas, rect, images, index, 0, false,
                     [](uint32_t image, uint32_t) { return BrightenedPixel(image); });
}

void DrawImageBlended(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, int opacity) {
    ApplyImageEffect(canvas, rect, images, index, 0, false,
                     [opacity](uint32_t image, uint32_t bg) { return BlendedPixel(image, bg, opacity); });
}

void DrawImageTinted(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color,
                     int weight) {
    const uint32_t tint = PixelOf(color);
    ApplyImageEffect(canvas, rect, images, index, 0, false,
                     [tint, weight](uint32_t image, uint32_t) { return TintedPixel(image, tint, weight); });
}

void DrawImageShaded(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, int mode) {
    gcl::Assert(mode >= 0 && mode < 3, "Shading mode out of range", UnitName);
    ApplyImageEffect(canvas, rect, images, index, 0, false,
                     [mode](uint32_t image, uint32_t bg) { return ShadedPixel(image, bg, mode); });
}

void DrawImageMonochrome(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color) {
    if (color == clNone) return;
    const uint32_t paint = PixelOf(color);
    ApplyImageEffect(canvas, rect, images, index, 0xFFFFFF, true, [paint](uint32_t image, uint32_t bg) {
        return MonochromeMaskPixel(image) ? paint : bg;
    });
}

void DrawImageShadow(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color) {
    if (color == clNone) return;
    const uint32_t paint = PixelOf(color);
    // The image is drawn over a marker colour; whatever is not the marker is its shape.
    ApplyImageEffect(canvas, rect, images, index, 0x413220, true, [paint](uint32_t, uint32_t) { return paint; });
}

// ---- Gradients -------------------------------------------------------------------------

namespace {
TGradientCache GradientCache;
} // namespace

void DrawGradient(HDC dc, const TRect& rect, TColor startColor, TColor endColor, bool vertical) {
    const RECT r = gcl::ToRECT(rect);
    if (!RectVisible(dc, &r)) return;
    const int n = vertical ? rect.Height() : rect.Width();
    if (n <= 0) return;
    if (auto gradientFill = GradientFillProc()) {
        const TColor s = ResolveColor(startColor), e = ResolveColor(endColor);
        TRIVERTEX v[2] = {};
        v[0].x = rect.Left;
        v[0].y = rect.Top;
        v[0].Red = static_cast<COLOR16>(RValue(s) << 8);
        v[0].Green = static_cast<COLOR16>(GValue(s) << 8);
        v[0].Blue = static_cast<COLOR16>(BValue(s) << 8);
        v[1].x = rect.Right;
        v[1].y = rect.Bottom;
        v[1].Red = static_cast<COLOR16>(RValue(e) << 8);
        v[1].Green = static_cast<COLOR16>(GValue(e) << 8);
        v[1].Blue = static_cast<COLOR16>(BValue(e) << 8);
        GRADIENT_RECT g{0, 1};
        gradientFill(dc, v, 2, &g, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    const std::vector<TColor>& table = GradientCache.Get(n, startColor, endColor);
    RECT clip;
    GetClipBox(dc, &clip);
    const int first = std::max(0, static_cast<int>(vertical ? clip.top - rect.Top : clip.left - rect.Left));
    const int last = std::min(n, static_cast<int>(vertical ? clip.bottom - rect.Top : clip.right - rect.Left));
    for (int i = first; i < last; ++i) {
        const TRect line = vertical ? TRect{rect.Left, rect.Top + i, rect.Right, rect.Top + i + 1}
                                    : TRect{rect.Left + i, rect.Top, rect.Left + i + 1, rect.Bottom};
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(table[static_cast<size_t>(i)]));
        const RECT lr = gcl::ToRECT(line);
        FillRect(dc, &lr, brush);
        DeleteObject(brush);
    }
}

// ---- Brushed fill -----------------------------------------------------------------------

namespace {

struct TBrushedEntry {
    TColor Color = clNone;
    int Strength = 0;
    std::array<HBITMAP, 8> Strips{};
};

struct TBrushedCache {
    bool Built = false;
    TBrushedNoise Noise;
    std::array<TBrushedEntry, 16> Entries;
    int Next = 0;
};
TBrushedCache* Brushed = nullptr;

const TBrushedEntry& BrushedEntry(TColor color, int strength) {
    if (!Brushed) Brushed = new TBrushedCache;
    if (!Brushed->Built) {
        Brushed->Noise.Build();
        Brushed->Built = true;
    }
    for (const auto& e : Brushed->Entries)
        if (e.Strips[0] && e.Color == color && e.Strength == strength) return e;
    TBrushedEntry& e = Brushed->Entries[static_cast<size_t>(Brushed->Next)];
    Brushed->Next = (Brushed->Next + 1) % 16;
    for (HBITMAP& b : e.Strips)
        if (b) DeleteObject(b);
    e.Color = color;
    e.Strength = strength;
    for (size_t k = 0; k < 8; ++k) {
        const auto& noise = Brushed->Noise.Strips[k];
        std::vector<uint32_t> pixels(noise.size());
        for (size_t i = 0; i < noise.size(); ++i) pixels[i] = BrushedPixel(noise[i], color, strength);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = static_cast<LONG>(pixels.size());
        bi.bmiHeader.biHeight = 1;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        e.Strips[k] = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (e.Strips[k] && bits) std::memcpy(bits, pixels.data(), pixels.size() * 4);
    }
    return e;
}

} // namespace

void DrawBrushedFill(HDC dc, const TPoint* origin, const TRect& rect, TColor color, int strength) {
    if (color == clNone) return;
    const RECT r = gcl::ToRECT(rect);
    if (!RectVisible(dc, &r)) return;
    static constexpr TPoint DefaultOrigin{0, 0};
    const TPoint o = origin ? *origin : DefaultOrigin;
    const TBrushedEntry& entry = BrushedEntry(color, strength);
    RECT clip;
    GetClipBox(dc, &clip);
    TRect area;
    if (!gcl::IntersectRect(area, rect, gcl::FromRECT(clip))) return;
    HDC stripDC = CreateCompatibleDC(dc);
    HGDIOBJ old = nullptr;
    for (int y = area.Top; y < area.Bottom; ++y) {
        const int idx = BrushedRowIndex(y, o.Y);
        const int k = Brushed->Noise.RowStrip[static_cast<size_t>(idx)];
        const int len = static_cast<int>(Brushed->Noise.Strips[static_cast<size_t>(k)].size());
        HGDIOBJ prev = SelectObject(stripDC, entry.Strips[static_cast<size_t>(k)]);
        if (!old) old = prev;
        // The first copy starts at or left of the area, on the strip's grid.
        int x = o.X - Brushed->Noise.RowOffset[static_cast<size_t>(idx)];
        if (x > area.Left) x -= ((x - area.Left + len - 1) / len) * len;
        else x += ((area.Left - x) / len) * len;
        for (; x < area.Right; x += len) {
            const int from = std::max(x, area.Left), to = std::min(x + len, area.Right);
            BitBlt(dc, from, y, to - from, 1, stripDC, from - x, 0, SRCCOPY);
        }
    }
    if (old) SelectObject(stripDC, old);
    DeleteDC(stripDC);
}

void ResetBrushedFill() {
    if (!Brushed) return;
    for (auto& e : Brushed->Entries)
        for (HBITMAP& b : e.Strips)
            if (b) {
                DeleteObject(b);
                b = nullptr;
            }
    delete Brushed;
    Brushed = nullptr;
}

// ---- Other --------------------------------------------------------------------------------

void DrawSplitterDragRect(HDC dc, const TRect* newRect, const TRect* oldRect) {
    DrawHalftoneInvertRect(dc, newRect, oldRect, gcl::TSize{3, 2}, gcl::TSize{3, 2});
}

gcl::TSize GetControlClientSize(gcl::TControl* control) {
    if (auto* form = dynamic_cast<gcl::TCustomForm*>(control)) {
        if (form->GetFormStyle() == gcl::fsMDIForm && !form->GetComponentState().Contains(gcl::csDesigning)) {
            if (HWND client = form->GetClientHandle()) {
                RECT r;
                GetWindowRect(client, &r);
                return {r.right - r.left, r.bottom - r.top};
            }
        }
    }
    const TRect r = control->GetClientRect();
    return {r.Width(), r.Height()};
}

// ---- Shadows ---------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TShadow)
GCL_IMPLEMENT_CLASS(THorzShadow)
GCL_IMPLEMENT_CLASS(TVertShadow)

TShadow::TShadow(const TRect& bounds, uint8_t opacity, bool loColor, uint8_t edges, bool vertical)
    : TCustomControl(nullptr), FOpacity(opacity), FEdges(edges), FVertical(vertical) {
    if (!loColor) {
        if (UpdateLayeredWindowProc() && AlphaBlendProc())
            FStyle = 1;
        else if (AlphaBlendProc())
            FStyle = 2;
    }
    SetVisible(false);
    SetColor(gcl::clBtnShadow);
    SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    if (gcl::Application) SetParentWindow(gcl::Application->GetHandle());
}

void TShadow::CreateParams(gcl::TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(WS_CHILD | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | WS_POPUP;
    params.ExStyle |= WS_EX_TOOLWINDOW;
    // Saving the pixels beneath is set before the window class exists, where it counts.
    if (FSaveBits) params.WindowClass.style |= CS_SAVEBITS;
}

void TShadow::FillBuffer(std::vector<uint32_t>& buffer, int width, int height) {
    const std::vector<uint8_t> alpha = ShadowAlpha(FVertical, width, height, FEdges);
    buffer.resize(alpha.size());
    for (size_t i = 0; i < alpha.size(); ++i) buffer[i] = static_cast<uint32_t>(alpha[i]) << 24;
}

namespace {
// A 32-bit buffer bitmap holding FillBuffer's pixels.
struct TAlphaBuffer {
    TDib Dib;
    void Fill(std::vector<uint32_t>& pixels, int w, int h) {
        Dib.Need(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) Dib.At(x, y) = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + x];
        GdiFlush();
    }
};
} // namespace

void TShadow::Render() {
    gcl::Assert(FStyle == 1, "Layered shadow without layered windows", UnitName);
    auto update = UpdateLayeredWindowProc();
    gcl::Assert(update != nullptr, "UpdateLayeredWindow missing", UnitName);
    HWND wnd = GetHandle();
    SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    RECT wr;
    GetWindowRect(wnd, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (w <= 0 || h <= 0) return;
    std::vector<uint32_t> pixels;
    FillBuffer(pixels, w, h);
    TAlphaBuffer buffer;
    buffer.Fill(pixels, w, h);
    HDC screen = GetDC(nullptr);
    POINT pos{wr.left, wr.top};
    SIZE size{w, h};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, FOpacity, AC_SRC_ALPHA};
    update(wnd, screen, &pos, &size, buffer.Dib.DC(), &src, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
}

void TShadow::Dispatch(gcl::TMessage& message) {
    switch (message.Msg) {
    case WM_NCHITTEST:
        message.Result = HTTRANSPARENT;
        return;
    case WM_ERASEBKGND:
        if (FStyle == 2) {
            auto alphaBlend = AlphaBlendProc();
            gcl::Assert(alphaBlend != nullptr, "AlphaBlend missing", UnitName);
            // Let what lies beneath paint first, so the blend sees it up to date.
            ProcessPaintMessages();
            RECT cr;
            ::GetClientRect(GetHandle(), &cr);
            const int w = cr.right, h = cr.bottom;
            if (w > 0 && h > 0) {
                std::vector<uint32_t> pixels;
                FillBuffer(pixels, w, h);
                TAlphaBuffer buffer;
                buffer.Fill(pixels, w, h);
                BLENDFUNCTION blend{AC_SRC_OVER, 0, FOpacity, AC_SRC_ALPHA};
                alphaBlend(reinterpret_cast<HDC>(message.WParam), 0, 0, w, h, buffer.Dib.DC(), 0, 0, w, h, blend);
            }
            message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    inherited::Dispatch(message);
}

TShadows::TShadows(const TRect& r1, const TRect& r2, int size, uint8_t opacity, bool loColor) {
    int s = size;
    if (loColor || (!UpdateLayeredWindowProc() && !AlphaBlendProc())) s /= 2;
    const std::vector<TShadowStrip> strips = ShadowStrips(r1, r2, s);
    try {
        for (size_t i = 0; i < strips.size() && i < FStrips.size(); ++i) {
            const TShadowStrip& strip = strips[i];
            TShadow* shadow = strip.Vertical
                                  ? static_cast<TShadow*>(TVertShadow::Create(strip.Bounds, opacity, loColor, strip.Edges))
                                  : static_cast<TShadow*>(THorzShadow::Create(strip.Bounds, opacity, loColor, strip.Edges));
            shadow->SetSaveBits(FSaveBits);
            FStrips[i] = shadow;
            if (shadow->GetStyle() == 1) shadow->Render();
        }
    } catch (...) {
        for (TShadow*& strip : FStrips) gcl::FreeAndNil(strip);
        throw;
    }
}

TShadows::~TShadows() {
    for (TShadow*& strip : FStrips) gcl::FreeAndNil(strip);
}

int TShadows::Count() const noexcept {
    return static_cast<int>(std::count_if(FStrips.begin(), FStrips.end(), [](TShadow* s) { return s != nullptr; }));
}

void TShadows::Show(HWND afterWindow) {
    for (TShadow* strip : FStrips)
        if (strip)
            SetWindowPos(strip->GetHandle(), afterWindow, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER |
                             SWP_NOSENDCHANGING);
}

} // namespace qelvo

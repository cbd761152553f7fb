// Gradient fills with their lazy binding to msimg32, the three-stop
// gradient face and the cut-corner frames the themes share.
#include "themes/ThemePaint.h"

#include <algorithm>
#include <iterator>

#include "gcl/rtl/Libraries.h"
#include "theming/TxUtils.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

// msimg32 comes from the system folder only and stays loaded for the
// process, so a bound entry never points into a freed module.
constinit gcl::TSystemLibrary MsImg32{"msimg32.dll"};
constinit gcl::TLibraryProc<TGradientFillEntry> MsImg32GradientFill{MsImg32, "GradientFill"};

bool GradientBound = false;

BOOL WINAPI GradientFillMissing(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG) { return FALSE; }

BOOL WINAPI BindingGradientFill(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh, ULONG meshCount,
                                ULONG mode) {
    BindGradientFill();
    return GradientFillEntry(dc, vertices, vertexCount, mesh, meshCount, mode);
}

void BindingGradientRect(HDC dc, const TRect& rect, TColor startColor, TColor endColor, bool vertical) {
    BindGradientFill();
    GradientRectEntry(dc, rect, startColor, endColor, vertical);
}

struct TRgb {
    int R, G, B;
};

TRgb Split(TColor color) {
    const TColor c = gcl::ColorToRGB(color);
    return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
}

// Fills one line with a brush made for it.
void FillLine(HDC dc, const RECT& line, COLORREF color) {
    if (HBRUSH brush = CreateSolidBrush(color)) {
        FillRect(dc, &line, brush);
        DeleteObject(brush);
    }
}

COLORREF Channelwise(const TRgb& a, const TRgb& b, int num, int den) {
    return RGB((a.R + (b.R - a.R) * num / den) & 0xFF, (a.G + (b.G - a.G) * num / den) & 0xFF,
               (a.B + (b.B - a.B) * num / den) & 0xFF);
}

// Line `index` of a rectangle: a row (vertical) or a column.
RECT LineOf(const TRect& rect, int index, bool vertical) {
    if (vertical) return RECT{rect.Left, rect.Top + index, rect.Right, rect.Top + index + 1};
    return RECT{rect.Left + index, rect.Top, rect.Left + index + 1, rect.Bottom};
}

} // namespace

TGradientFillEntry GradientFillEntry = &BindingGradientFill;
TGradientRectEntry GradientRectEntry = &BindingGradientRect;

void BindGradientFill() {
    if (GradientBound) return;
    if (auto gradientFill = MsImg32GradientFill.Get()) {
        GradientFillEntry = gradientFill;
        GradientRectEntry = &GradientFillRect;
    } else {
        GradientFillEntry = &GradientFillMissing;
        GradientRectEntry = &GradientFillFallback;
    }
    GradientBound = true;
}

void GradientFillCanvas(TCanvas* canvas, const TRect& rect, TColor endColor, TColor startColor, bool vertical) {
    GradientRectEntry(canvas->GetHandle(), rect, startColor, endColor, vertical);
}

void GradientFillRect(HDC dc, const TRect& rect, TColor startColor, TColor endColor, bool vertical) {
    // GradientFill would paint a reversed rectangle as its mirror image.
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const TRgb a = Split(startColor), b = Split(endColor);
    TRIVERTEX vertices[2]{};
    vertices[0] = {rect.Left, rect.Top, static_cast<COLOR16>(a.R << 8), static_cast<COLOR16>(a.G << 8),
                   static_cast<COLOR16>(a.B << 8), 0};
    vertices[1] = {rect.Right, rect.Bottom, static_cast<COLOR16>(b.R << 8), static_cast<COLOR16>(b.G << 8),
                   static_cast<COLOR16>(b.B << 8), 0};
    GRADIENT_RECT mesh{0, 1};
    GradientFillEntry(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void GradientFillFallback(HDC dc, const TRect& rect, TColor startColor, TColor endColor, bool vertical) {
    const int n = vertical ? rect.Bottom - rect.Top : rect.Right - rect.Left;
    const int across = vertical ? rect.Right - rect.Left : rect.Bottom - rect.Top;
    if (n <= 0 || across <= 0) return;
    const TRgb a = Split(startColor), b = Split(endColor);
    for (int k = 0; k < n; ++k) FillLine(dc, LineOf(rect, k, vertical), Channelwise(a, b, k + 1, n));
}

TGradientFallbackScope::TGradientFallbackScope() noexcept
    : FFill(GradientFillEntry), FRect(GradientRectEntry), FBound(GradientBound) {
    GradientFillEntry = &GradientFillMissing;
    GradientRectEntry = &GradientFillFallback;
    GradientBound = true;
}

TGradientFallbackScope::~TGradientFallbackScope() {
    GradientFillEntry = FFill;
    GradientRectEntry = FRect;
    GradientBound = FBound;
}

// ---- Three-stop gradient ---------------------------------------------------------

namespace {

// Calls line(k, colour) for every line 0 .. last of a three-stop face.
template <class Line>
void ThreeStopLines(int last, bool highlight, bool pushed, Line line) {
    static constexpr TRgb Plain[4] = {{248, 248, 248}, {216, 216, 216}, {240, 240, 240}, {248, 248, 248}};
    static constexpr TRgb Pushed[4] = {{224, 232, 239}, {112, 160, 208}, {96, 208, 224}, {160, 239, 239}};
    static constexpr TRgb Light[4] = {{240, 248, 255}, {128, 176, 224}, {112, 232, 240}, {176, 255, 255}};
    const TRgb* stops = !highlight ? Plain : pushed ? Pushed : Light;
    const int s = std::max(last / 3, 1);
    auto paint = [&](int k, const TRgb& from, const TRgb& to, int step) {
        auto channel = [&](int f, int t) { return std::clamp(f + (t - f) * step / s, 0, 255); };
        line(k, RGB(channel(from.R, to.R), channel(from.G, to.G), channel(from.B, to.B)));
    };
    for (int t = 0; t <= s; ++t) paint(t, stops[0], stops[1], t);
    for (int k = s; k <= 2 * s; ++k) paint(k, stops[1], stops[2], k - s);
    for (int k = 2 * s; k <= last; ++k) paint(k, stops[2], stops[3], k - 2 * s);
}

} // namespace

void PaintThreeStopGradient(TCanvas* canvas, const TRect& rect, bool highlight, bool pushed, bool vertical) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const int last = (vertical ? rect.Bottom - rect.Top : rect.Right - rect.Left) - 1;
    HDC dc = canvas->GetHandle();
    ThreeStopLines(last, highlight, pushed,
                   [&](int k, COLORREF color) { FillLine(dc, LineOf(rect, k, vertical), color); });
}

// ---- Cut-corner frames ---------------------------------------------------------------

namespace {

// Gives the canvas pen its colour back at the end of a scope.
class TPenColorKeeper {
public:
    explicit TPenColorKeeper(TCanvas* canvas) : FCanvas(canvas), FColor(canvas->GetPen()->GetColor()) {}
    ~TPenColorKeeper() { FCanvas->GetPen()->SetColor(FColor); }
    TPenColorKeeper(const TPenColorKeeper&) = delete;
    TPenColorKeeper& operator=(const TPenColorKeeper&) = delete;

private:
    TCanvas* FCanvas;
    TColor FColor;
};

void CanvasLine(TCanvas* canvas, int x1, int y1, int x2, int y2) {
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
}

// The outline and the shade of both cut-corner frames.
void CutCornerOutline(TCanvas* canvas, const TRect& rect, int leftCut, int rightCut, TColor frameColor,
                      TColor shadeColor) {
    const int r = rect.Right - 1, b = rect.Bottom - 1;
    if (frameColor != gcl::clNone) {
        canvas->GetPen()->SetColor(frameColor);
        const TPoint outline[9] = {{rect.Left + leftCut, rect.Top}, {r - rightCut, rect.Top},
                                   {r, rect.Top + rightCut},        {r, b - rightCut},
                                   {r - rightCut, b},               {rect.Left + leftCut, b},
                                   {rect.Left, b - leftCut},        {rect.Left, rect.Top + leftCut},
                                   {rect.Left + leftCut, rect.Top}};
        canvas->Polyline(outline, 9);
    }
    if (shadeColor != gcl::clNone) {
        canvas->GetPen()->SetColor(shadeColor);
        const TPoint shade[4] = {{r, rect.Top + rightCut}, {r, b - rightCut}, {r - rightCut, b},
                                 {rect.Left + leftCut - 1, b}};
        canvas->Polyline(shade, 4);
    }
}

void RightCornerLines(TCanvas* canvas, const TRect& rect, int rightCut) {
    const int x = rect.Right, b = rect.Bottom - 1;
    CanvasLine(canvas, x - rightCut, rect.Top, x, rect.Top + rightCut);
    CanvasLine(canvas, x - rightCut, b, x, b - rightCut);
}

void LeftCornerLines(TCanvas* canvas, const TRect& rect, int leftCut) {
    const int x = rect.Left - 1, b = rect.Bottom - 1;
    CanvasLine(canvas, x + leftCut, rect.Top, x, rect.Top + leftCut);
    CanvasLine(canvas, x + leftCut, b, x, b - leftCut);
}

} // namespace

void DrawCutCornerFrame(TCanvas* canvas, const TRect& rect, int leftCut, int rightCut, TColor frameColor,
                        TColor shadeColor, TColor cornerColor) {
    TPenColorKeeper keeper(canvas);
    CutCornerOutline(canvas, rect, leftCut, rightCut, frameColor, shadeColor);
    if (cornerColor == gcl::clNone) return;
    canvas->GetPen()->SetColor(cornerColor);
    if (rightCut > 0) RightCornerLines(canvas, rect, rightCut);
    if (leftCut > 0) LeftCornerLines(canvas, rect, leftCut);
}

void DrawCutCornerFrameAlt(TCanvas* canvas, const TRect& rect, int leftCut, int rightCut, TColor frameColor,
                           TColor shadeColor) {
    TPenColorKeeper keeper(canvas);
    CutCornerOutline(canvas, rect, leftCut, rightCut, frameColor, shadeColor);
    const TColor leftColor = MixColors(canvas->GetPixels(rect.Left, rect.Top), frameColor, 60);
    canvas->GetPen()->SetColor(leftColor);
    if (leftCut > 0) LeftCornerLines(canvas, rect, leftCut);
    if (shadeColor != gcl::clNone)
        canvas->GetPen()->SetColor(MixColors(canvas->GetPixels(rect.Right - 1, rect.Bottom - 1), shadeColor, 60));
    if (rightCut > 0) RightCornerLines(canvas, rect, rightCut);
}

// ---- Line and split gradients ----------------------------------------------------------

namespace {

// The steps N of a line or split gradient: -1 when the rectangle has no
// extent; 0 when it has one line, which is then painted in c1.
int GradientSteps(HDC dc, const TRect& rect, bool vertical, TColor c1) {
    const int lines = vertical ? rect.Bottom - rect.Top : rect.Right - rect.Left;
    const int across = vertical ? rect.Right - rect.Left : rect.Bottom - rect.Top;
    if (lines <= 0 || across <= 0) return -1;
    if (lines == 1) {
        const TRgb a = Split(c1);
        FillLine(dc, RECT{rect.Left, rect.Top, rect.Right, rect.Bottom}, RGB(a.R, a.G, a.B));
    }
    return lines - 1;
}

} // namespace

void FillLineGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) {
    const int n = GradientSteps(dc, rect, vertical, c1);
    if (n <= 0) return;
    const TRgb a = Split(c1), b = Split(c2);
    for (int i = 0; i <= n; ++i) {
        const RECT part = vertical ? RECT{rect.Left, rect.Top, rect.Right, rect.Bottom - i}
                                   : RECT{rect.Left, rect.Top, rect.Right - i, rect.Bottom};
        FillLine(dc, part, Channelwise(a, b, i, n));
    }
}

void FillSplitGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical, int turnDivisor) {
    const int n = GradientSteps(dc, rect, vertical, c1);
    if (n <= 0) return;
    const TRgb a = Split(c1), b = Split(c2);
    const TRgb turn = a.R > b.R ? a
                                : TRgb{b.R + (a.R - b.R) * 15 / turnDivisor, b.G + (a.G - b.G) * 15 / turnDivisor,
                                       b.B + (a.B - b.B) * 15 / turnDivisor};
    const int half = n / 2;
    for (int i = 0; i <= n; ++i) {
        const RECT part = vertical ? RECT{rect.Left, rect.Top + i, rect.Right, rect.Bottom}
                                   : RECT{rect.Left + i, rect.Top, rect.Right, rect.Bottom};
        FillLine(dc, part, i < half ? Channelwise(b, a, i, half) : Channelwise(turn, a, i, n));
    }
}

// ---- Glyphs ------------------------------------------------------------------------------

void PaintSetBits(HDC dc, int x, int y, int width, int height, HDC source, TColor color) {
    if (color == gcl::clNone) return;
    const int saved = SaveDC(dc);
    HBRUSH brush = CreateSolidBrush(gcl::ColorToColorRef(color));
    SelectObject(dc, brush);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, width, height, source, 0, 0, 0xE20746);
    RestoreDC(dc, saved);
    DeleteObject(brush);
}

void DrawGlyphAt(HDC dc, int x, int y, int width, int height, const uint16_t* rows, TColor color) {
    if (color == gcl::clNone || width <= 0 || height <= 0) return;
    uint16_t bits[8] = {};
    for (int i = 0; i < 8 && i < height; ++i) bits[i] = rows[i];
    HBITMAP glyph = CreateBitmap(8, 8, 1, 1, bits);
    HDC glyphDC = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(glyphDC, glyph);
    PaintSetBits(dc, x, y, std::min(width, 8), std::min(height, 8), glyphDC, color);
    SelectObject(glyphDC, old);
    DeleteDC(glyphDC);
    DeleteObject(glyph);
}

void DrawMonoGlyph(TCanvas* canvas, const TRect& rect, TColor color) {
    DrawGlyphAt(canvas->GetHandle(), (rect.Left + rect.Right - 7) / 2, (rect.Top + rect.Bottom - 7) / 2, 8, 7,
                CloseGlyph, color);
}

void DrawChevronGlyph(TCanvas* canvas, const TRect& rect, bool vertical, TColor color) {
    if (vertical)
        DrawGlyphAt(canvas->GetHandle(), rect.Right - 9, rect.Top + 2, 5, 8, ChevronGlyphs[1], color);
    else
        DrawGlyphAt(canvas->GetHandle(), rect.Left + 2, 4, 8, 5, ChevronGlyphs[0], color);
}

void DrawEmbossedGlyph(HDC dc, const TRect& rect, int width, int height, const uint16_t* rows, TColor color,
                       bool dark) {
    TRect r = rect;
    gcl::OffsetRect(r, 1, 1);
    DrawGlyphCentered(dc, r, width, height, rows, ShiftColor(color, 24));
    gcl::OffsetRect(r, -2, -2);
    DrawGlyphCentered(dc, r, width, height, rows, ShiftColor(color, -32));
    DrawGlyphCentered(dc, rect, width, height, rows, dark ? 0x000000 : 0x3F3F3F);
}

// ---- Captions and pixels ------------------------------------------------------------------

void DrawCaptionText(TCanvas* canvas, const TRect& rect, const std::string& caption, TColor color, unsigned format,
                     bool rotated) {
    canvas->GetFont()->SetColor(color);
    canvas->GetBrush()->SetStyle(gcl::bsClear);
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid});
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    if (rotated) {
        DrawRotatedText(dc, caption, rect, format);
    } else {
        RECT r = gcl::ToRECT(rect);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, format);
    }
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
}

void DrawSmallCaption(TCanvas* canvas, const TRect& rect, const std::string& caption, TColor color, unsigned format,
                      bool rotated) {
    if (gcl::TFont* font = SmCaptionFont()) canvas->SetFont(font);
    DrawCaptionText(canvas, rect, caption, color, format, rotated);
}

void SetPixelColor(HDC dc, int x, int y, TColor color) { SetPixelV(dc, x, y, gcl::ColorToColorRef(color)); }

void SetCornerPixels(HDC dc, const TRect& r, TColor color) {
    SetPixelColor(dc, r.Left, r.Top, color);
    SetPixelColor(dc, r.Right - 1, r.Top, color);
    SetPixelColor(dc, r.Left, r.Bottom - 1, color);
    SetPixelColor(dc, r.Right - 1, r.Bottom - 1, color);
}

void SetCaptionCornerPixels(HDC dc, const TRect& r, bool topCaption, TColor color) {
    SetPixelColor(dc, r.Left, r.Top, color);
    if (topCaption)
        SetPixelColor(dc, r.Right - 1, r.Top, color);
    else
        SetPixelColor(dc, r.Left, r.Bottom - 1, color);
}

void DrawDisabledImage(TCanvas* canvas, const TRect& rect, gcl::TCustomImageList* images, int index, bool dark,
                       TColor silhouetteColor) {
    if (dark)
        DrawImageMonochrome(canvas, rect, images, index, silhouetteColor);
    else
        DrawImageShaded(canvas, rect, images, index, 0);
}

// ---- Grips, outlines, joints -----------------------------------------------------------------

void DrawGripDot(HDC dc, int x, int y, const TColor (&colors)[7]) {
    static constexpr int Offsets[7][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 1}};
    for (int i = 0; i < 7; ++i)
        SetPixel(dc, x + Offsets[i][0], y + Offsets[i][1], GetNearestColor(dc, gcl::ColorToColorRef(colors[i])));
}

void PaintDockRectangle(TCanvas* canvas, const TRect& dockRect, TColor color) {
    canvas->GetPen()->SetWidth(0);
    canvas->GetBrush()->SetStyle(gcl::bsSolid);
    canvas->GetBrush()->SetColor(color);
    canvas->Rectangle(dockRect.Left - 1, dockRect.Top - 1, dockRect.Right + 1, dockRect.Bottom + 1);
}

void DrawFloatingOutline(HDC dc, const TRect& r, TColor color, bool cutBottom) {
    if (cutBottom) {
        const TPoint points[9] = {{r.Left, r.Top - 1},      {r.Right - 1, r.Top - 1}, {r.Right, r.Top},
                                  {r.Right, r.Bottom - 1},  {r.Right - 1, r.Bottom},  {r.Left, r.Bottom},
                                  {r.Left - 1, r.Bottom - 1}, {r.Left - 1, r.Top},    {r.Left, r.Top - 1}};
        PolylineColor(dc, points, 8, color);
    } else {
        const TPoint points[7] = {{r.Left, r.Top - 1},   {r.Right - 1, r.Top - 1}, {r.Right, r.Top},
                                  {r.Right, r.Bottom},   {r.Left - 1, r.Bottom},   {r.Left - 1, r.Top},
                                  {r.Left, r.Top - 1}};
        PolylineColor(dc, points, 6, color);
    }
}

void PaintFloatingBorder(HDC dc, const TRect& rect, gcl::TPoint borderSize, TColor border, TColor outline,
                         bool cutBottom) {
    TRect inner = rect;
    gcl::InflateRect(inner, -borderSize.X, -borderSize.Y);
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
    FillRectColor(dc, rect, border);
    RestoreDC(dc, saved);
    DrawFloatingOutline(dc, inner, outline, cutBottom);
}

TPopupJoint PopupJointOf(const TRect& popup, const TRect& parentRect) {
    TPopupJoint joint;
    if (gcl::IsRectEmpty(parentRect)) return joint;
    TRect p = parentRect;
    if (p.Bottom == popup.Top || p.Top == popup.Bottom) {
        joint.Horizontal = true;
        joint.ParentBelow = p.Top == popup.Bottom && p.Bottom != popup.Top;
        if (popup.Left >= p.Left) p.Left = popup.Left - 1;
        if (popup.Right <= p.Right) p.Right = popup.Right + 1;
        joint.Y = joint.ParentBelow ? p.Top : p.Bottom - 1;
        joint.X1 = p.Left + 1;
        joint.X2 = p.Right - 1;
    }
    if (p.Right == popup.Left || p.Left == popup.Right) {
        joint.Vertical = true;
        joint.ParentLeft = p.Right == popup.Left;
        if (popup.Top >= p.Top) p.Top = popup.Top - 1;
        if (popup.Bottom <= p.Bottom) p.Bottom = popup.Bottom + 1;
        joint.X = joint.ParentLeft ? p.Right - 1 : p.Left;
        joint.Y1 = p.Top + 1;
        joint.Y2 = p.Bottom - 1;
    }
    joint.Parent = p;
    return joint;
}

// ---- Arrows and ticks -----------------------------------------------------------------------

void DrawTriangle(HDC dc, TPoint a, TPoint b, TPoint c, TColor color) {
    const TPoint points[3] = {a, b, c};
    PolygonColor(dc, points, 2, color, color);
}

void DrawDropDownTriangle(HDC dc, int x, int y, bool leftward, TColor color) {
    if (leftward)
        DrawTriangle(dc, {x, y + 1}, {x, y - 3}, {x - 2, y - 1}, color);
    else
        DrawTriangle(dc, {x - 2, y - 1}, {x + 2, y - 1}, {x, y + 1}, color);
}

void DrawCentredDropDownTriangle(HDC dc, const TRect& rect, bool leftward, TColor color) {
    DrawDropDownTriangle(dc, (rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2, leftward, color);
}

void DrawSpinTriangle(HDC dc, int x, int y, bool up, TColor color) {
    if (up)
        DrawTriangle(dc, {x - 2, y + 1}, {x + 2, y + 1}, {x, y - 1}, color);
    else
        DrawTriangle(dc, {x - 2, y - 1}, {x + 2, y - 1}, {x, y + 1}, color);
}

TRect SpinHalf(const TRect& rect, bool upper) {
    TRect half = rect;
    if (upper)
        half.Bottom = (rect.Top + rect.Bottom + 1) / 2;
    else
        half.Top = (rect.Top + rect.Bottom) / 2;
    return half;
}

void DrawCentredSpinTriangle(HDC dc, const TRect& half, bool up, TColor color) {
    const int y = up ? (half.Top + half.Bottom - 1) / 2 : (half.Top + half.Bottom) / 2;
    DrawSpinTriangle(dc, (half.Left + half.Right) / 2, y, up, color);
}

void DrawScrollArrow(HDC dc, const TRect& r, int direction, TColor color) {
    const int x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
    const int s = std::min(x - r.Left, y - r.Top) * 3 / 4;
    switch (direction) {
    case 1: DrawTriangle(dc, {x + s, y + s / 2}, {x, y + s / 2 - s}, {x - s, y + s / 2}, color); break;
    case 2: {
        const int y2 = (r.Top + r.Bottom - 1) / 2 - s / 2;
        DrawTriangle(dc, {x + s, y2}, {x, y2 + s}, {x - s, y2}, color);
        break;
    }
    case 3: {
        const int x3 = x + s / 2;
        DrawTriangle(dc, {x3, y + s}, {x3 - s, y}, {x3, y - s}, color);
        break;
    }
    case 4: {
        const int x4 = (r.Left + r.Right - 1) / 2 - s / 2;
        DrawTriangle(dc, {x4, y + s}, {x4 + s, y}, {x4, y - s}, color);
        break;
    }
    default: break;
    }
}

void DrawCheckTick(HDC dc, int x, int y, TColor color) {
    const TPoint points[7] = {{x - 2, y - 1}, {x, y + 1}, {x + 4, y - 3}, {x + 4, y - 2},
                              {x, y + 2},     {x - 2, y}, {x - 2, y - 1}};
    PolylineColor(dc, points, 6, color);
}

void FillCheckTick(HDC dc, int x, int y, TColor color) {
    const TPoint points[7] = {{x - 2, y},     {x, y + 2}, {x + 4, y - 2}, {x + 4, y - 4},
                              {x, y},         {x - 2, y - 2}, {x - 2, y}};
    PolygonColor(dc, points, 6, color, color);
}

void PaintCloseButton(TCanvas* canvas, TRect rect, TColor body, TColor frame, TColor glyph) {
    HDC dc = canvas->GetHandle();
    FrameRectColor(dc, rect, frame, true);
    FillRectColor(dc, rect, body);
    DrawMonoGlyph(canvas, rect, glyph);
}

// ---- Rounded and bevelled frames -----------------------------------------------------------

namespace {

// The four sides of a rounded frame over inclusive corners (r, b).
void RoundSides(HDC dc, const TRect& rect, int tl, int tr, int bl, int br, TColor leftTop, TColor rightBottom) {
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    DrawLineColor(dc, l, b - bl, l, t + tl - 1, leftTop);
    DrawLineColor(dc, l + tl, t, r - tr + 1, t, leftTop);
    DrawLineColor(dc, l + bl, b, r - br + 1, b, rightBottom);
    DrawLineColor(dc, r, t + tr, r, b - br + 1, rightBottom);
}

// Blends the corner pixels of one corner; (sx, sy) points inward.
void SoftenCorner(HDC dc, int x, int y, int sx, int sy, int radius, TColor color) {
    struct TPixel {
        int Dx, Dy, Alpha;
    };
    static constexpr TPixel R1[] = {{0, 0, 63}, {1, 1, 63}};
    static constexpr TPixel R2[] = {{0, 0, 31}, {1, 0, 127}, {0, 1, 127}, {1, 1, 159}};
    static constexpr TPixel R3[] = {{0, 0, 0},   {1, 0, 47},  {0, 1, 47}, {2, 0, 143},
                                    {0, 2, 143}, {1, 1, 175}, {2, 1, 63}, {1, 2, 63}};
    const TPixel* pixels = nullptr;
    int count = 0;
    switch (radius) {
    case 1: pixels = R1, count = 2; break;
    case 2: pixels = R2, count = 4; break;
    case 3: pixels = R3, count = 8; break;
    default: return;
    }
    for (int i = 0; i < count; ++i) BlendPixel(dc, x + sx * pixels[i].Dx, y + sy * pixels[i].Dy, color, pixels[i].Alpha);
}

// A top-left or bottom-right corner of a bevelled frame; (sx, sy) points inward.
void BevelOwnCorner(HDC dc, int x, int y, int sx, int sy, int radius, TColor color, TColor background) {
    if (radius == 1) {
        if (background == gcl::clNone)
            BlendPixel(dc, x, y, color, 63);
        else
            SetPixelColor(dc, x, y, BlendColor(color, background, 127));
        BlendPixel(dc, x + sx, y + sy, color, 63);
    } else if (radius == 2) {
        if (background == gcl::clNone) {
            BlendPixel(dc, x, y, color, 31);
            BlendPixel(dc, x + sx, y, color, 143);
            BlendPixel(dc, x, y + sy, color, 143);
        } else {
            SetPixelColor(dc, x, y, BlendColor(color, background, 31));
            SetPixelColor(dc, x + sx, y, BlendColor(color, background, 175));
            SetPixelColor(dc, x, y + sy, BlendColor(color, background, 175));
        }
        BlendPixel(dc, x + sx, y + sy, color, 207);
    }
}

} // namespace

void DrawRoundFrame(HDC dc, const TRect& rect, int tl, int tr, int bl, int br, TColor color) {
    if (color == gcl::clNone) return;
    RoundSides(dc, rect, tl, tr, bl, br, color, color);
    const int r = rect.Right - 1, b = rect.Bottom - 1;
    SoftenCorner(dc, rect.Left, rect.Top, 1, 1, tl, color);
    SoftenCorner(dc, r, rect.Top, -1, 1, tr, color);
    SoftenCorner(dc, rect.Left, b, 1, -1, bl, color);
    SoftenCorner(dc, r, b, -1, -1, br, color);
}

void FillRoundRect(HDC dc, const TRect& rect, int tl, int tr, int bl, int br, TColor color) {
    if (color == gcl::clNone) return;
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    const TPoint points[8] = {{l + tl, t}, {r - tr, t}, {r, t + tr}, {r, b - br},
                              {r - br, b}, {l + bl, b}, {l, b - bl}, {l, t + tl}};
    PolygonColor(dc, points, 7, color, color);
}

void DrawBevelRoundFrame(HDC dc, const TRect& rect, int tl, int tr, int bl, int br, TColor light, TColor shadow,
                         TColor background) {
    const RECT visible = gcl::ToRECT(rect);
    if (!RectVisible(dc, &visible)) return;
    RoundSides(dc, rect, tl, tr, bl, br, light, shadow);
    const int l = rect.Left, t = rect.Top, r = rect.Right - 1, b = rect.Bottom - 1;
    BevelOwnCorner(dc, l, t, 1, 1, tl, light, background);
    BevelOwnCorner(dc, r, b, -1, -1, br, shadow, background);
    const TColor m63 = BlendColor(light, shadow, 63), m127 = BlendColor(light, shadow, 127),
                 m191 = BlendColor(light, shadow, 191);
    auto mixedCorner = [&](int x, int y, int radius, TPoint nearTop, TColor topMix, TPoint nearSide, TColor sideMix) {
        if (radius == 1) {
            if (background == gcl::clNone)
                BlendPixel(dc, x, y, shadow, 63);
            else
                SetPixelColor(dc, x, y, BlendColor(m127, background, 63));
            BlendPixel(dc, x, y, m127, 63);
        } else if (radius == 2 && background != gcl::clNone) {
            SetPixelColor(dc, x, y, background);
            SetPixelColor(dc, nearTop.X, nearTop.Y, BlendColor(topMix, background, 127));
            SetPixelColor(dc, nearSide.X, nearSide.Y, BlendColor(sideMix, background, 127));
        }
    };
    mixedCorner(r, t, tr, {r, t + 1}, m63, {r - 1, t}, m191);
    mixedCorner(l, b, bl, {l, b - 1}, m191, {l + 1, b}, m63);
}

void DrawDimples(HDC dc, const TRect& rect, TColor color, int inset) {
    TRect r = rect;
    gcl::InflateRect(r, -inset, -inset);
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (w < 6 || h < 6) return;
    const int cols = (w - 2) / 4, rows = (h - 2) / 4;
    const int left = r.Left + (w - (4 * cols + 2)) / 2, top = r.Top + (h - (4 * rows + 2)) / 2;
    const COLORREF centre = gcl::ColorToColorRef(ShiftColorNearest(color, -96));
    const COLORREF corner = gcl::ColorToColorRef(ShiftColorNearest(color, -24));
    const COLORREF edge = gcl::ColorToColorRef(ShiftColorNearest(color, -32));
    const COLORREF light = gcl::ColorToColorRef(ShiftColorNearest(color, 24));
    const COLORREF lightCorner = gcl::ColorToColorRef(ShiftColorNearest(color, 18));
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            const int x = left + 4 * i + 1, y = top + 4 * j + 1;
            SetPixelV(dc, x, y, centre);
            SetPixelV(dc, x - 1, y - 1, corner);
            SetPixelV(dc, x - 1, y, edge);
            SetPixelV(dc, x, y - 1, edge);
            SetPixelV(dc, x + 1, y, light);
            SetPixelV(dc, x, y + 1, light);
            SetPixelV(dc, x + 1, y + 1, lightCorner);
        }
}

void DrawDiagonalSizeGrip(HDC dc, const TRect& rect, TColor light, TColor dark) {
    const int s = std::min(rect.Right - rect.Left, rect.Bottom - rect.Top);
    if (s <= 0) return;
    int k = 2;
    for (int i = 0; i < 3; ++i) {
        DrawLineColor(dc, rect.Right - 2 - k, rect.Bottom - 2, rect.Right - 1, rect.Bottom - 3 - k, light);
        ++k;
        DrawLineColor(dc, rect.Right - 2 - k, rect.Bottom - 2, rect.Right - 1, rect.Bottom - 3 - k, dark);
        ++k;
        if (s >= 9 && s <= 12) k += 1;
        if (s >= 13) k += 2;
    }
}

// ---- The Nexos family's painting ----------------------------------------------------------

namespace {

// The over-colour of a glass face: c2 + (c1 - c2) * 15 / 9 clamped, or c1
// when c1's red exceeds c2's.
TRgb GlassTurn(const TRgb& a, const TRgb& b) {
    auto over = [](int x, int y) { return std::clamp(y + (x - y) * 15 / 9, 0, 255); };
    return a.R > b.R ? a : TRgb{over(a.R, b.R), over(a.G, b.G), over(a.B, b.B)};
}

} // namespace

void FillGlassGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) {
    const int n = GradientSteps(dc, rect, vertical, c1);
    if (n <= 0) return;
    const TRgb a = Split(c1), b = Split(c2);
    const TRgb turn = GlassTurn(a, b);
    const int half = n / 2;
    for (int i = 0; i <= n; ++i) {
        // Vertical faces return from the turn to c1; horizontal ones run from c1 toward the turn.
        const COLORREF color = i < half ? Channelwise(b, a, i, half)
                               : vertical ? Channelwise(turn, a, i, n)
                                          : Channelwise(a, turn, i, n);
        FillLine(dc, LineOf(rect, i, vertical), color);
    }
}

int RadioRowInset(int row) noexcept {
    static constexpr int Insets[11] = {3, 1, 1, 0, 0, 0, 0, 0, 1, 1, 3};
    return row >= 0 && row < static_cast<int>(std::size(Insets)) ? Insets[row] : 0;
}

namespace {

// Fills row k of rect between the radio insets.
void FillRadioRow(HDC dc, const TRect& rect, int k, COLORREF color) {
    const int inset = RadioRowInset(k);
    if (rect.Left + inset >= rect.Right - inset) return;
    FillLine(dc, RECT{rect.Left + inset, rect.Top + k, rect.Right - inset, rect.Top + k + 1}, color);
}

} // namespace

void FillRoundGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool twoPart) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const TRgb a = Split(c1), b = Split(c2);
    const int n = rect.Bottom - rect.Top - 1;
    if (n == 0) {
        FillRadioRow(dc, rect, 0, RGB(a.R, a.G, a.B));
        return;
    }
    if (twoPart) {
        const TRgb turn = GlassTurn(a, b);
        const int half = n / 2;
        for (int k = 0; k <= n; ++k)
            FillRadioRow(dc, rect, k, k < half ? Channelwise(b, a, k, half) : Channelwise(turn, a, k, n));
    } else {
        for (int k = 0; k <= n; ++k) FillRadioRow(dc, rect, n - k, Channelwise(a, b, k, n));
    }
}

void FillThreeStopRound(HDC dc, const TRect& rect, bool highlight) {
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const int last = rect.Bottom - rect.Top - 1;
    ThreeStopLines(last, highlight, false, [&](int k, COLORREF color) {
        if (k <= last) FillRadioRow(dc, rect, k, color);
    });
}

void FillStriped(HDC dc, const TRect& rect, const TRect& clip, TColor color, const TStripes& stripes) {
    TRect v;
    if (!gcl::IntersectRect(v, rect, clip) || stripes.Period <= 0) return;
    if (stripes.Fill) FillRectColor(dc, v, color);
    const int intensity = ColorIntensity(color);
    const int lightShift = intensity < 200 ? stripes.LightShift + (200 - intensity) / 20 : stripes.LightShift;
    const COLORREF dark = GetNearestColor(dc, gcl::ColorToColorRef(ShiftColor(color, stripes.DarkShift)));
    const COLORREF light = GetNearestColor(dc, gcl::ColorToColorRef(ShiftColor(color, lightShift)));
    for (int y = v.Top - (v.Top - rect.Top) % stripes.Period; y < rect.Bottom && y < v.Bottom; y += stripes.Period) {
        const int darkY = y + stripes.DarkRow, lightY = y + stripes.LightRow;
        if (darkY >= v.Top && darkY < v.Bottom) FillLine(dc, RECT{v.Left, darkY, v.Right, darkY + 1}, dark);
        if (stripes.LightRow >= 0 && lightY >= v.Top && lightY < v.Bottom)
            FillLine(dc, RECT{v.Left, lightY, v.Right, lightY + 1}, light);
    }
}

void DrawCutOutline(HDC dc, const TRect& rect, int leftCut, int rightCut, TColor color) {
    const int r = rect.Right - 1, b = rect.Bottom - 1, l = rect.Left, t = rect.Top;
    const TPoint points[9] = {{l + leftCut, t}, {r - rightCut, t}, {r, t + rightCut}, {r, b - rightCut},
                              {r - rightCut, b}, {l + leftCut, b},  {l, b - leftCut},  {l, t + leftCut},
                              {l + leftCut, t}};
    PolylineColor(dc, points, 8, color);
}

void DrawDottedLine(HDC dc, int fixed, int from, int to, bool horizontal, TColor color) {
    if (color == gcl::clNone) return;
    const COLORREF c = gcl::ColorToColorRef(color);
    for (int p = from; p < to; p += 3) SetPixelV(dc, horizontal ? p : fixed, horizontal ? fixed : p, c);
}

std::vector<TPoint> GripSteps(const TRect& inner, bool vertical, int size, bool closeButton, bool doubled,
                              int shift) {
    std::vector<TPoint> steps;
    const int along = closeButton ? size - 2 : 0, across = (closeButton ? 4 : 0) + shift;
    if (!vertical) {
        const int x = inner.Left + 1 + across;
        for (int y = inner.Top + 4 + along; y < inner.Bottom - 5; y += 4) {
            steps.push_back({x, y});
            if (doubled) steps.push_back({x + 4, y});
        }
    } else {
        const int y = inner.Top + 1 + across;
        for (int x = inner.Left + 4; x < inner.Right - 5 - along; x += 4) {
            steps.push_back({x, y});
            if (doubled) steps.push_back({x, y + 4});
        }
    }
    return steps;
}

void DrawFlatDimple(HDC dc, int x, int y, TColor g64, TColor g48, TColor g32, TColor l128, TColor l72) {
    const struct {
        int Dx, Dy;
        TColor Color;
    } pixels[8] = {{0, 0, g64}, {0, 1, g32}, {1, 0, g48}, {2, 0, l128}, {0, 2, l128}, {1, 2, l128}, {2, 2, l72}, {2, 1, l128}};
    for (const auto& p : pixels) SetPixelV(dc, x + p.Dx, y + p.Dy, GetNearestColor(dc, gcl::ColorToColorRef(p.Color)));
}

void GripShades(TColor face, TColor shadow, TColor light, bool sizeGrip, TColor (&shades)[7]) {
    const TColor d64 = BlendColor(face, shadow, 64), d48 = BlendColor(face, shadow, 48),
                 d32 = BlendColor(face, shadow, 32), d16 = BlendColor(face, shadow, 16);
    shades[0] = sizeGrip ? d16 : d64;
    shades[1] = d32;
    shades[2] = d48;
    shades[3] = sizeGrip ? d64 : d16;
    shades[4] = BlendColor(face, light, 72);
    shades[5] = BlendColor(face, light, 128);
    shades[6] = BlendColor(face, light, 96);
}

void DrawDimpleSizeGrip(HDC dc, const TRect& rect, const TColor (&shades)[7]) {
    const int r = rect.Right, b = rect.Bottom;
    const TPoint anchors[6] = {{r - 12, b - 4}, {r - 8, b - 4}, {r - 4, b - 4}, {r - 8, b - 8}, {r - 4, b - 8}, {r - 4, b - 12}};
    for (const TPoint& p : anchors) DrawGripDot(dc, p.X, p.Y, shades);
}

void DrawLineSizeGrip(HDC dc, const TRect& rect, TColor dark, TColor light) {
    const int s = std::min(rect.Right - rect.Left, rect.Bottom - rect.Top);
    int k = 2;
    for (int pass = 0; pass < 3; ++pass) {
        for (const TColor color : {dark, light}) {
            DrawLineColor(dc, rect.Right - 1 - k, rect.Bottom - 1, rect.Right, rect.Bottom - k - 2, color);
            k += s >= 13 ? 2 : 1;
        }
        if (s >= 9 && s <= 12) ++k;
    }
}

void DrawFaceSizeGrip(HDC dc, const TRect& rect) {
    DrawLineSizeGrip(dc, rect, BlendColorNearest(gcl::clBtnFace, gcl::clBtnHighlight, 64),
                     BlendColorNearest(gcl::clBtnFace, gcl::clBtnShadow, 64));
}

void DrawSmallCaptionWithHalo(TCanvas* canvas, const TRect& rect, const std::string& caption, TColor color,
                              unsigned format, bool rotated, TColor halo) {
    if (halo != gcl::clNone)
        for (int dy = -2; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                DrawSmallCaption(canvas, TRect{rect.Left + dx, rect.Top + dy, rect.Right, rect.Bottom}, caption, halo,
                                 format, rotated);
    DrawSmallCaption(canvas, rect, caption, color, format, rotated);
}

void DrawRadioRing(HDC dc, const TRect& rect, TColor color) {
    const int x = rect.Left, y = rect.Top;
    const TPoint ring[25] = {{x, y + 8},      {x, y + 4},       {x + 1, y + 3},   {x + 1, y + 2},   {x + 2, y + 1},
                             {x + 3, y + 1},  {x + 4, y},       {x + 8, y},       {x + 9, y + 1},   {x + 10, y + 1},
                             {x + 11, y + 2}, {x + 11, y + 3},  {x + 12, y + 4},  {x + 12, y + 8},  {x + 11, y + 9},
                             {x + 11, y + 10}, {x + 10, y + 11}, {x + 9, y + 11},  {x + 8, y + 12},  {x + 4, y + 12},
                             {x + 3, y + 11}, {x + 2, y + 11},  {x + 1, y + 10},  {x + 1, y + 9},   {x, y + 8}};
    PolylineColor(dc, ring, 24, color);
}

void DrawBevel(HDC dc, const TRect& r, TColor light, TColor shadow, TBevelCorner topRight, TBevelCorner bottomLeft) {
    // Pen lines: each stops short of its end point.
    const int lightRight = topRight == TBevelCorner::Light ? r.Right : r.Right - 1;
    const int lightBottom = bottomLeft == TBevelCorner::Light ? r.Bottom : r.Bottom - 1;
    const int shadowLeft = bottomLeft == TBevelCorner::Shadow ? r.Left : r.Left + 1;
    const int shadowTop = topRight == TBevelCorner::Shadow ? r.Top : r.Top + 1;
    DrawLineColor(dc, r.Left, r.Top, lightRight, r.Top, light);
    DrawLineColor(dc, r.Left, r.Top, r.Left, lightBottom, light);
    DrawLineColor(dc, shadowLeft, r.Bottom - 1, r.Right, r.Bottom - 1, shadow);
    DrawLineColor(dc, r.Right - 1, shadowTop, r.Right - 1, r.Bottom - 1, shadow);
}

} // namespace qelvo

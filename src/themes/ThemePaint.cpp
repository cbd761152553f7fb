// Gradient fills with their lazy binding to msimg32, the three-stop
// gradient face and the cut-corner frames the themes share.
#include "themes/ThemePaint.h"

#include <algorithm>

#include "gcl/rtl/Libraries.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::TColor;
using gcl::TPoint;
using gcl::TRect;

namespace {

// msimg32 comes from the system folder only and stays loaded for the
// process, so a bound entry never points into a freed module.
constinit gcl::TSystemLibrary MsImg32{"msimg32.dll"};
constinit gcl::TLibraryProc<TGradientFillEntry> GradientFillProc{MsImg32, "GradientFill"};

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
    if (auto gradientFill = GradientFillProc.Get()) {
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

void PaintThreeStopGradient(TCanvas* canvas, const TRect& rect, bool highlight, bool pushed, bool vertical) {
    static constexpr TRgb Plain[4] = {{248, 248, 248}, {216, 216, 216}, {240, 240, 240}, {248, 248, 248}};
    static constexpr TRgb Pushed[4] = {{224, 232, 239}, {112, 160, 208}, {96, 208, 224}, {160, 239, 239}};
    static constexpr TRgb Light[4] = {{240, 248, 255}, {128, 176, 224}, {112, 232, 240}, {176, 255, 255}};
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
    const TRgb* stops = !highlight ? Plain : pushed ? Pushed : Light;
    const int last = (vertical ? rect.Bottom - rect.Top : rect.Right - rect.Left) - 1;
    const int s = std::max(last / 3, 1);
    HDC dc = canvas->GetHandle();
    auto paint = [&](int line, const TRgb& from, const TRgb& to, int step) {
        auto channel = [&](int f, int t) { return std::clamp(f + (t - f) * step / s, 0, 255); };
        FillLine(dc, LineOf(rect, line, vertical),
                 RGB(channel(from.R, to.R), channel(from.G, to.G), channel(from.B, to.B)));
    };
    for (int t = 0; t <= s; ++t) paint(t, stops[0], stops[1], t);
    for (int k = s; k <= 2 * s; ++k) paint(k, stops[1], stops[2], k - s);
    for (int k = 2 * s; k <= last; ++k) paint(k, stops[2], stops[3], k - 2 * s);
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

} // namespace qelvo

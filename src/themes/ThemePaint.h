// Drawing routines the visual themes share: the two-colour linear gradient
// (msimg32's GradientFill when the system has it, else a line-by-line
// fill), the three-stop gradient face, and frames with cut corners.
#pragma once

#include "gcl/rtl/WinApi.h"

#include "gcl/Graphics.h"

namespace qelvo {

// The routine called with GradientFill's argument list.
using TGradientFillEntry = BOOL(WINAPI*)(HDC dc, PTRIVERTEX vertices, ULONG vertexCount, PVOID mesh,
                                         ULONG meshCount, ULONG mode);
// The routine that fills one rectangle with a two-colour gradient.
using TGradientRectEntry = void (*)(HDC dc, const gcl::TRect& rect, gcl::TColor startColor, gcl::TColor endColor,
                                    bool vertical);

// Both start as binding steps: the first gradient drawn binds them once
// (msimg32 from the system folder, kept loaded for the process) and then
// runs the bound routine.
extern TGradientFillEntry GradientFillEntry;
extern TGradientRectEntry GradientRectEntry;

// Binds the two entries once: GradientFill and GradientFillRect when
// msimg32 exports GradientFill, else a GradientFill that answers FALSE and
// GradientFillFallback.
void BindGradientFill();

// Fills rect with a gradient from startColor at the top (vertical) or left
// edge to endColor at the bottom or right edge. Note the argument order:
// the end colour comes first.
void GradientFillCanvas(gcl::TCanvas* canvas, const gcl::TRect& rect, gcl::TColor endColor,
                        gcl::TColor startColor, bool vertical);
// Through GradientFillEntry; system colours resolved; nothing for an
// empty or reversed rectangle.
void GradientFillRect(HDC dc, const gcl::TRect& rect, gcl::TColor startColor, gcl::TColor endColor, bool vertical);
// One solid line per row (vertical) or column: line k has
// start + (end - start) * (k + 1) / N, so the last line is exactly endColor.
// Nothing when the rectangle has no extent in either direction.
void GradientFillFallback(HDC dc, const gcl::TRect& rect, gcl::TColor startColor, gcl::TColor endColor,
                          bool vertical);

// Tests: while a scope lives the entries are the fallback ones, as on a
// system without GradientFill; the previous entries come back afterwards.
class TGradientFallbackScope {
public:
    TGradientFallbackScope() noexcept;
    ~TGradientFallbackScope();
    TGradientFallbackScope(const TGradientFallbackScope&) = delete;
    TGradientFallbackScope& operator=(const TGradientFallbackScope&) = delete;

private:
    TGradientFillEntry FFill;
    TGradientRectEntry FRect;
    bool FBound;
};

// A face in three gradient parts with fixed stops: plain grey when not
// highlighted, light blue when highlighted, a deeper blue when also
// pushed. Lines S and 2S are painted twice; when the extent is not a
// multiple of three the last lines run on past the last stop (clamped).
void PaintThreeStopGradient(gcl::TCanvas* canvas, const gcl::TRect& rect, bool highlight, bool pushed,
                            bool vertical);
inline void PaintThreeStopGradient(gcl::TCanvas* canvas, const gcl::TRect& rect, bool highlight, bool vertical) {
    PaintThreeStopGradient(canvas, rect, highlight, false, vertical);
}

// A one-pixel frame whose corners are cut by leftCut and rightCut pixels,
// in frameColor; the right and bottom sides again in shadeColor (unless
// clNone); corner lines one pixel outside the cuts in cornerColor. Drawn
// with the canvas pen, whose colour is given back afterwards.
void DrawCutCornerFrame(gcl::TCanvas* canvas, const gcl::TRect& rect, int leftCut, int rightCut,
                        gcl::TColor frameColor, gcl::TColor shadeColor, gcl::TColor cornerColor);

} // namespace qelvo

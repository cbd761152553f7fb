// Drawing routines the visual themes share: the two-colour linear gradient
// (msimg32's GradientFill when the system has it, else a line-by-line
// fill), the three-stop gradient face, and frames with cut corners.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <string>
#include <vector>

#include "gcl/Graphics.h"
#include "gcl/ImgList.h"

namespace qelvo {

// How the themes draw a bar item's caption: one line, centred vertically,
// cut with "...", the & prefix hidden.
inline constexpr unsigned ThemeCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX;

// Draws an edge of RECT (DrawEdge) and leaves in RECT the area inside it.
inline void DrawEdgeRect(HDC dc, gcl::TRect& rect, UINT edge, UINT flags) {
    RECT r = gcl::ToRECT(rect);
    DrawEdge(dc, &r, edge, flags);
    rect = gcl::TRect{r.left, r.top, r.right, r.bottom};
}

// rect with every edge moved n pixels inward.
constexpr gcl::TRect Inset(gcl::TRect rect, int n) noexcept {
    gcl::InflateRect(rect, -n, -n);
    return rect;
}

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

// As DrawCutCornerFrame, but the corner lines take 60 % of the pixel that
// lies beyond the cut and 40 % of the frame colour (left corners, from the
// top-left pixel) or of the shade colour (right corners, from the
// bottom-right pixel; without a shade, the left corners' colour).
void DrawCutCornerFrameAlt(gcl::TCanvas* canvas, const gcl::TRect& rect, int leftCut, int rightCut,
                           gcl::TColor frameColor, gcl::TColor shadeColor);

// ---- The drawing kit of the themes -----------------------------------------------
// Patterns several themes repeat, each with explicit colours and offsets.
// Colours may be system colours; clNone draws nothing. Gradients paint
// nothing for an empty or reversed rectangle and one line where the
// gradient has a single line, never dividing by zero.

// One solid line per row (vertical) or column over N = extent - 1 steps:
// line i of the rectangle's far-edge-shortened copies takes
// c1 + (c2 - c1) * i / N, so the first line has c2 and the last c1.
void FillLineGradient(HDC dc, const gcl::TRect& rect, gcl::TColor c1, gcl::TColor c2, bool vertical);
// Two phases: from c2 at the first line toward c1 until the middle, then
// from the turn colour c2 + (c1 - c2) * 15 / turnDivisor (c1 itself when
// c1's red exceeds c2's) to c1 at the last line.
void FillSplitGradient(HDC dc, const gcl::TRect& rect, gcl::TColor c1, gcl::TColor c2, bool vertical,
                       int turnDivisor);

// A caption in color with the canvas font, transparent, through DrawText
// (or turned to read downwards when rotated); the brush is left solid.
void DrawCaptionText(gcl::TCanvas* canvas, const gcl::TRect& rect, const std::string& caption, gcl::TColor color,
                     unsigned format, bool rotated);
// The same in the system's small-caption font (floating and panel captions).
void DrawSmallCaption(gcl::TCanvas* canvas, const gcl::TRect& rect, const std::string& caption, gcl::TColor color,
                      unsigned format, bool rotated);
void SetPixelColor(HDC dc, int x, int y, gcl::TColor color);
// The four corner pixels of a rectangle in one colour.
void SetCornerPixels(HDC dc, const gcl::TRect& rect, gcl::TColor color);
// The two corner pixels beside a panel's caption bar: the top-left one and
// the top-right one for a caption across the top, else the bottom-left one.
void SetCaptionCornerPixels(HDC dc, const gcl::TRect& rect, bool topCaption, gcl::TColor color);
// A disabled item's image: a silhouette in silhouetteColor on a dark
// background, else the grey shading of mode 0.
void DrawDisabledImage(gcl::TCanvas* canvas, const gcl::TRect& rect, gcl::TCustomImageList* images, int index,
                       bool dark, gcl::TColor silhouetteColor);

// Seven pixels of a 3 x 3 grip dot anchored at its top-left: (0,0),
// (0,1), (1,0), (1,1) dark, (1,2), (2,2), (2,1) light, in that order of
// colors, each snapped to what the DC can show.
void DrawGripDot(HDC dc, int x, int y, const gcl::TColor (&colors)[7]);

// A dock's background: the rectangle one pixel beyond dockRect filled in
// color and outlined in the canvas pen (thin); the brush is left solid.
void PaintDockRectangle(gcl::TCanvas* canvas, const gcl::TRect& dockRect, gcl::TColor color);

// The one-pixel outline just outside inner: the top corners cut, and the
// bottom ones too when cutBottom (floating toolbars and panels).
void DrawFloatingOutline(HDC dc, const gcl::TRect& inner, gcl::TColor color, bool cutBottom);
// A floating window's frame: rect outside its client area (rect inset by
// borderSize) filled with border, then that outline round the client area.
void PaintFloatingBorder(HDC dc, const gcl::TRect& rect, gcl::TPoint borderSize, gcl::TColor border,
                         gcl::TColor outline, bool cutBottom);

// Where a popup meets the item that opened it (parent in the popup's
// coordinates). Horizontal joints lie on row Y from X1 to X2 (X2 not
// painted), vertical ones on column X from Y1 to Y2. The parent's ends are
// first clamped to one pixel outside the popup.
struct TPopupJoint {
    bool Horizontal = false;
    bool Vertical = false;
    int Y = 0, X1 = 0, X2 = 0;   // horizontal joint
    int X = 0, Y1 = 0, Y2 = 0;   // vertical joint
    gcl::TRect Parent;           // the clamped parent rectangle
    bool ParentBelow = false;    // horizontal: the parent lies above the popup
    bool ParentLeft = false;     // vertical: the parent lies left of the popup
};
TPopupJoint PopupJointOf(const gcl::TRect& popupRect, const gcl::TRect& parentRect);

// One-bit glyphs: rows top to bottom, bit 7 the leftmost pixel, set bits
// painted.
inline constexpr uint16_t CloseGlyph[7] = {0xC3, 0x66, 0x3C, 0x18, 0x3C, 0x66, 0xC3};
inline constexpr uint16_t ChevronGlyphs[2][8] = {{0xCC, 0x66, 0x33, 0x66, 0xCC, 0, 0, 0},
                                                 {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20}};
// A smaller cross, 7 x 6.
inline constexpr uint16_t SmallCloseGlyph[6] = {0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6};

// Paints width x height of a glyph (at most 8 x 8) with its top-left
// corner at (x, y) in color: set bits take the colour (raster operation
// 0xE20746), clear bits leave the background. The DC's state is saved and
// restored around it.
void DrawGlyphAt(HDC dc, int x, int y, int width, int height, const uint16_t* rows, gcl::TColor color);
// CloseGlyph at ((Left + Right - 7) / 2, (Top + Bottom - 7) / 2).
void DrawMonoGlyph(gcl::TCanvas* canvas, const gcl::TRect& rect, gcl::TColor color);
// The chevron of a horizontal item (8 x 5 at (Left + 2, 4): the row is
// fixed on the canvas) or a vertical one (5 x 8 at (Right - 9, Top + 2)).
void DrawChevronGlyph(gcl::TCanvas* canvas, const gcl::TRect& rect, bool vertical, gcl::TColor color);
// Copies a one-bit source's set (white) pixels in color.
void PaintSetBits(HDC dc, int x, int y, int width, int height, HDC source, gcl::TColor color);

// A filled triangle, outline and fill in color.
void DrawTriangle(HDC dc, gcl::TPoint a, gcl::TPoint b, gcl::TPoint c, gcl::TColor color);
// A small arrow pointing down (or left when leftward) around (x, y): the
// drop-down arrow of toolbar items.
void DrawDropDownTriangle(HDC dc, int x, int y, bool leftward, gcl::TColor color);
// The drop-down triangle centred in rect.
void DrawCentredDropDownTriangle(HDC dc, const gcl::TRect& rect, bool leftward, gcl::TColor color);
// The spin arrows: up with its tip at (x, y - 1), down with it at (x, y + 1).
void DrawSpinTriangle(HDC dc, int x, int y, bool up, gcl::TColor color);
// The upper or lower half of a spin button: the upper one ends at the
// middle rounded up, the lower one starts at it rounded down, so that on
// an odd height both hold the middle row.
gcl::TRect SpinHalf(const gcl::TRect& rect, bool upper);
// A spin arrow centred in its half (the upper one a row higher on an even
// height).
void DrawCentredSpinTriangle(HDC dc, const gcl::TRect& half, bool up, gcl::TColor color);
// The page-scroll arrow of directions 1 up, 2 down, 3 left, 4 right inside
// rect, sized by the rectangle; other directions draw nothing.
void DrawScrollArrow(HDC dc, const gcl::TRect& rect, int direction, gcl::TColor color);
// A two-pixel tick through (x - 2, y - 1) .. (x + 4, y - 3) as a polyline.
void DrawCheckTick(HDC dc, int x, int y, gcl::TColor color);
// The filled tick of check boxes around (x, y).
void FillCheckTick(HDC dc, int x, int y, gcl::TColor color);

// A close button: framed in frame (then inset by one), filled with body,
// then the close cross in glyph.
void PaintCloseButton(gcl::TCanvas* canvas, gcl::TRect rect, gcl::TColor body, gcl::TColor frame,
                      gcl::TColor glyph);

// Rounded one-pixel frames with blended corners: the four sides stop
// short of each corner by its radius (0 to 3) and the corner pixels are
// blended into what lies beneath.
void DrawRoundFrame(HDC dc, const gcl::TRect& rect, int rTopLeft, int rTopRight, int rBottomLeft,
                    int rBottomRight, gcl::TColor color);
inline void DrawRoundFrameEven(HDC dc, const gcl::TRect& rect, int radius, gcl::TColor color) {
    DrawRoundFrame(dc, rect, radius, radius, radius, radius, color);
}
// The rectangle with its corners cut by their radii, filled and outlined.
void FillRoundRect(HDC dc, const gcl::TRect& rect, int rTopLeft, int rTopRight, int rBottomLeft, int rBottomRight,
                   gcl::TColor color);
// A bevelled rounded frame: left and top light, bottom and right shadow,
// the corners (radius 1 or 2) blended with background (or with the
// pixels beneath when background is clNone).
void DrawBevelRoundFrame(HDC dc, const gcl::TRect& rect, int rTopLeft, int rTopRight, int rBottomLeft,
                         int rBottomRight, gcl::TColor light, gcl::TColor shadow, gcl::TColor background);
// Dimples in a grid of 4 x 4 cells centred in rect inset by inset.
void DrawDimples(HDC dc, const gcl::TRect& rect, gcl::TColor color, int inset);
// A glyph of at most 8 x 8 drawn embossed: lighter one pixel down-right,
// darker one pixel up-left, then in black (dark) or dark grey, centred.
void DrawEmbossedGlyph(HDC dc, const gcl::TRect& rect, int width, int height, const uint16_t* rows,
                       gcl::TColor color, bool dark);
// Three diagonal double lines in the bottom-right corner of rect: a size grip.
void DrawDiagonalSizeGrip(HDC dc, const gcl::TRect& rect, gcl::TColor light, gcl::TColor dark);


// ---- The Nexos family's painting ----------------------------------------------------------
// Faces, textures, grips and captions of the Nexos themes and of the
// themes built like them. Every gradient paints one line in its far
// colour where it has a single line and nothing for an empty rectangle.

// The glass face: from c2 at the first line toward c1 up to the middle,
// then from the over-colour c2 + (c1 - c2) * 15 / 9 (c1 itself when c1's
// red exceeds c2's) back to c1 (vertical) or from c1 toward the
// over-colour (horizontal).
void FillGlassGradient(HDC dc, const gcl::TRect& rect, gcl::TColor c1, gcl::TColor c2, bool vertical);

// The inset of each of the 11 inner rows of the 13 x 13 radio glyph;
// rows past the table are not inset.
int RadioRowInset(int row) noexcept;
// The radio interior row by row, each row kept off both sides by its
// inset: two-part as the vertical glass face, or one line gradient with
// c1 at the bottom and c2 at the top.
void FillRoundGradient(HDC dc, const gcl::TRect& rect, gcl::TColor c1, gcl::TColor c2, bool twoPart);
// The radio interior in the rows of the vertical three-stop face.
void FillThreeStopRound(HDC dc, const gcl::TRect& rect, bool highlight);

// A line texture: the visible part of rect (inside clip) is filled with
// color, then in every period of rows counted from rect's top the dark
// row gets color shifted by DarkShift and the light row (unless -1)
// color shifted by LightShift + (200 - intensity) / 20 below intensity
// 200, else by LightShift; both snapped to what the DC shows.
struct TStripes {
    int Period = 3;
    int DarkRow = 0;
    int LightRow = 1;
    int DarkShift = -8;
    int LightShift = 8;
    bool Fill = true; // false: the stripes alone over what lies beneath
};
void FillStriped(HDC dc, const gcl::TRect& rect, const gcl::TRect& clip, gcl::TColor color, const TStripes& stripes);

// The cut-corner outline of 9 points, the right and bottom edges one
// pixel inside.
void DrawCutOutline(HDC dc, const gcl::TRect& rect, int leftCut, int rightCut, gcl::TColor color);
// Single pixels every third one along a row (horizontal) or column from
// `from` while below `to`.
void DrawDottedLine(HDC dc, int fixed, int from, int to, bool horizontal, gcl::TColor color);

// Where the grip steps of a docked toolbar's drag handle go: the handle
// is the first `size` columns (rows when vertical) of inner; steps every
// 4 pixels from 4 in, down to 5 before the far end; a close button moves
// the run size - 2 along and 4 across; doubled handles get a second
// step 4 across; shift moves the whole grip across.
std::vector<gcl::TPoint> GripSteps(const gcl::TRect& inner, bool vertical, int size, bool closeButton,
                                   bool doubled, int shift = 0);
// The dimple of the Nexos3 grip: eight pixels, dark top-left, light edges.
void DrawFlatDimple(HDC dc, int x, int y, gcl::TColor g64, gcl::TColor g48, gcl::TColor g32, gcl::TColor l128,
                    gcl::TColor l72);
// The seven shades of a dimple grip from face toward shadow (64, 48, 32,
// 16) and toward light (128, 96, 72), in DrawGripDot's order for a drag
// handle (darkest first) or a size grip (lightest first).
void GripShades(gcl::TColor face, gcl::TColor shadow, gcl::TColor light, bool sizeGrip, gcl::TColor (&shades)[7]);
// Six dimples in the bottom-right corner of rect.
void DrawDimpleSizeGrip(HDC dc, const gcl::TRect& rect, const gcl::TColor (&shades)[7]);
// Three pairs of 45-degree lines in the bottom-right corner, dark then
// light; the gaps grow with the corner's size (9 to 12, 13 or more).
void DrawLineSizeGrip(HDC dc, const gcl::TRect& rect, gcl::TColor dark, gcl::TColor light);
// That grip in the button face: each pair a quarter of the way toward the
// highlight, then toward the shadow.
void DrawFaceSizeGrip(HDC dc, const gcl::TRect& rect);

// A small caption (floating and panel captions) with a halo: the text is
// first drawn twelve times in the halo colour around its place (dx -1..1,
// dy -2..1); no halo for clNone.
void DrawSmallCaptionWithHalo(gcl::TCanvas* canvas, const gcl::TRect& rect, const std::string& caption,
                              gcl::TColor color, unsigned format, bool rotated, gcl::TColor halo);
// The 24-point ring of a 13 x 13 radio button at rect's top-left.
void DrawRadioRing(HDC dc, const gcl::TRect& rect, gcl::TColor color);
// Which line of a bevel takes a corner where its light and shadow lines
// meet (Open: neither; the pixel keeps what lies beneath).
enum class TBevelCorner { Light, Shadow, Open };
// The bevel of one-pixel lines just inside rect: light along the top row
// and down the left column, shadow along the bottom row and up the right
// column (a sunken bevel passes its colours the other way round). The
// top-left pixel is always light and the bottom-right always shadow; the
// top-right and bottom-left pixels go to the lines the caller names.
void DrawBevel(HDC dc, const gcl::TRect& rect, gcl::TColor light, gcl::TColor shadow, TBevelCorner topRight,
               TBevelCorner bottomLeft);

} // namespace qelvo

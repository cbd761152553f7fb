// The drawing toolkit of every theme: GDI primitives that accept clNone,
// colours snapped to what the screen shows, image-list effects, gradient
// and brushed fills, the shared off-screen bitmaps and caption font, and
// popup shadows as layered windows. The formulas live in TxUtilsCore.h.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <array>
#include <memory>
#include <vector>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Init.h"
#include "theming/TxUtilsCore.h"

namespace qelvo {

// A canvas lent a DC for one scope (the DC stays the caller's).
class TDCCanvas {
public:
    explicit TDCCanvas(HDC DC) { FCanvas.SetHandle(DC); }
    ~TDCCanvas() { FCanvas.SetHandle(nullptr); }
    TDCCanvas(const TDCCanvas&) = delete;
    TDCCanvas& operator=(const TDCCanvas&) = delete;
    gcl::TCanvas* operator->() noexcept { return &FCanvas; }
    gcl::TCanvas* Get() noexcept { return &FCanvas; }

private:
    gcl::TCanvas FCanvas;
};

using gcl::TCanvas;
using gcl::TCustomImageList;
using gcl::TPoint;
using gcl::TRect;

// Starts and stops the toolkit (counted: the first start binds the
// optional entry points and makes the shared bitmaps and font, the last
// stop frees them).
extern gcl::TUnit TxUtilsUnit;

// ---- Optional entry points (absent on older systems) ----------------------
using TUpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                               DWORD);
using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
TUpdateLayeredWindowProc UpdateLayeredWindowProc();
TAlphaBlendProc AlphaBlendProc();
// Bound only on the NT platform.
TGradientFillProc GradientFillProc();
// Tests run the fallbacks by pretending the optional entry points are
// missing for a scope.
class TMissingEntryPointsScope {
public:
    TMissingEntryPointsScope() noexcept;
    ~TMissingEntryPointsScope();
    TMissingEntryPointsScope(const TMissingEntryPointsScope&) = delete;
    TMissingEntryPointsScope& operator=(const TMissingEntryPointsScope&) = delete;

private:
    bool FPrevious;
};

// ---- Shared stock ----------------------------------------------------------
// Drops the shared bitmaps and the small-caption font (system changes);
// they are made again when next asked for.
void RecreateStockBitmaps();
// The system's small-caption font; the themes set it on a canvas before
// drawing floating and panel captions.
gcl::TFont* SmCaptionFont();

// ---- Colours snapped to the screen -----------------------------------------
TColor BlendColorNearest(TColor c1, TColor c2, int w);
TColor ShiftColorNearest(TColor c, int delta);
// The nearest colour the screen can show (clNone stays clNone).
TColor NearestColor(TColor c);

// ---- GDI primitives (clNone paints nothing) ---------------------------------
HPEN CreatePenColor(TColor color);
HBRUSH CreateBrushColor(TColor color);
bool FillRectColor(HDC dc, const TRect& rect, TColor color);
bool FrameRectColor(HDC dc, TRect& rect, TColor color, bool adjust);
void DrawLineColor(HDC dc, int x1, int y1, int x2, int y2, TColor color);
void PolylineColor(HDC dc, const TPoint* points, int lastIndex, TColor color);
void PolygonColor(HDC dc, const TPoint* points, int lastIndex, TColor lineColor, TColor fillColor);
void RoundRectColor(HDC dc, int x1, int y1, int x2, int y2, int cornerW, int cornerH, TColor lineColor,
                    TColor fillColor);
void RoundRectColorInRect(HDC dc, const TRect& rect, int cornerW, int cornerH, TColor lineColor,
                          TColor fillColor);
void DitherRect(HDC dc, const TRect& rect, TColor c1, TColor c2);
void Frame3DColor(HDC dc, TRect& rect, TColor topLeft, TColor bottomRight, bool adjust);
void BlendPixel(HDC dc, int x, int y, TColor color, int alpha);
// A one-bit glyph of at most 8 x 8 (one 16-bit word per row, set bits
// painted) centred in rect.
void DrawGlyphCentered(HDC dc, const TRect& rect, int width, int height, const uint16_t* bits, TColor color);
void DrawImageMask(HDC dc, int x, int y, TCustomImageList* images, int index, TColor color);

// ---- Image effects (only the pixels the image changes are recomputed) ------
void DrawImageBrightened(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, bool brighten);
void DrawImageBlended(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, int opacity);
void DrawImageTinted(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color,
                     int weight);
void DrawImageShaded(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, int mode);
void DrawImageMonochrome(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color);
void DrawImageShadow(TCanvas* canvas, const TRect& rect, TCustomImageList* images, int index, TColor color);

// ---- Fills -----------------------------------------------------------------
void DrawGradient(HDC dc, const TRect& rect, TColor startColor, TColor endColor, bool vertical);
// origin null: a fixed default origin.
void DrawBrushedFill(HDC dc, const TPoint* origin, const TRect& rect, TColor color, int strength);
void ResetBrushedFill();

// ---- Other -----------------------------------------------------------------
// The inverted drag outline of a panel splitter (3 pixels wide, 2 high);
// null rectangles stand for none.
void DrawSplitterDragRect(HDC dc, const TRect* newRect, const TRect* oldRect);
// The size of an MDI parent form's client window, else the client size.
gcl::TSize GetControlClientSize(gcl::TControl* control);

// ---- Popup shadows ---------------------------------------------------------

// One shadow strip: a top-level window without activation just below the
// popup, transparent to the mouse.
class TShadow : public gcl::TCustomControl {
    GCL_CLASS(TShadow, gcl::TCustomControl)
public:
    // 0 solid button shadow, 1 layered with per-pixel alpha, 2 alpha-blended
    // onto what lies beneath when erased.
    uint8_t GetStyle() const noexcept { return FStyle; }
    uint8_t GetEdges() const noexcept { return FEdges; }
    bool GetSaveBits() const noexcept { return FSaveBits; }
    void SetSaveBits(bool value) noexcept { FSaveBits = value; }
    // Layered strips only: paints the alpha image into the layered window.
    void Render();

protected:
    TShadow(const TRect& bounds, uint8_t opacity, bool loColor, uint8_t edges, bool vertical);
    void CreateParams(gcl::TCreateParams& params) override;
    void Dispatch(gcl::TMessage& message) override;
    // Writes the alpha of every pixel (colour 0, alpha in the top byte).
    virtual void FillBuffer(std::vector<uint32_t>& buffer, int width, int height);

private:
    friend class TShadows;
    uint8_t FOpacity;
    uint8_t FEdges;
    uint8_t FStyle = 0;
    bool FSaveBits = false;
    bool FVertical;
};

class THorzShadow : public TShadow {
    GCL_CLASS(THorzShadow, TShadow)
protected:
    THorzShadow(const TRect& bounds, uint8_t opacity, bool loColor, uint8_t edges)
        : TShadow(bounds, opacity, loColor, edges, false) {}
};

class TVertShadow : public TShadow {
    GCL_CLASS(TVertShadow, TShadow)
protected:
    TVertShadow(const TRect& bounds, uint8_t opacity, bool loColor, uint8_t edges)
        : TShadow(bounds, opacity, loColor, edges, true) {}
};

// The strips around a popup and the item it hangs from.
class TShadows {
public:
    // r1, r2 in screen coordinates (the item's and the popup's; either may
    // be empty); size is the strip width before halving.
    TShadows(const TRect& r1, const TRect& r2, int size, uint8_t opacity, bool loColor);
    ~TShadows();
    TShadows(const TShadows&) = delete;
    TShadows& operator=(const TShadows&) = delete;

    // Shows every strip just below afterWindow.
    void Show(HWND afterWindow);
    int Count() const noexcept;
    TShadow* Strip(int index) const { return FStrips[static_cast<size_t>(index)]; }

private:
    std::array<TShadow*, 6> FStrips{};
    bool FSaveBits = true;
};

} // namespace qelvo

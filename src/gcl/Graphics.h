// Colours, pens, brushes, fonts, canvases, bitmaps and icons over GDI.
//
// Colours
// -------
// A TColor is 0x00BBGGRR for an RGB value, 0xFF0000nn for the system
// colour with COLOR_ index nn (a negative number), clNone (0x1FFFFFFF,
// "no colour") or clDefault (0x20000000). ColorToRGB resolves system
// colours through the system-colour service (GetSysColor unless a test
// replaced it); clNone and clDefault pass through for the caller to test.
//
// GDI objects
// -----------
// TFont, TPen and TBrush keep their attributes and make their GDI handle on
// first use. Handles are shared: objects with equal attributes use one
// HFONT/HPEN/HBRUSH, and a handle lives as long as any font, pen, brush or
// canvas still holds it, so a canvas never has a deleted object selected.
//
// Canvas and raw GDI
// ------------------
// Code may draw on Canvas->GetHandle() directly, select its own objects,
// change colours or bracket its work with SaveDC/RestoreDC. Before each
// drawing call the canvas checks which font, pen and brush the DC really
// has selected and selects its own again where they differ; text and
// background colours are set whenever the canvas (re)selects its font or
// brush, or after they change. When the canvas lets go of a DC it puts
// back the objects it displaced, so a DC lent by a control (custom draw,
// WM_CTLCOLOR) keeps its own font.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gcl/rtl/Events.h"
#include "gcl/rtl/Exceptions.h"
#include "gcl/rtl/Init.h"
#include "gcl/rtl/Objects.h"
#include "gcl/rtl/Services.h"
#include "gcl/rtl/Sets.h"
#include "gcl/rtl/TypInfo.h"
#include "gcl/rtl/Types.h"

// <windows.h> maps TextOut to TextOutA; the canvas keeps the name (Win32
// code names the A or W function explicitly).
#ifdef TextOut
#undef TextOut
#endif

namespace gcl {

// Horizontal alignment of text: of captions, columns, hints and labels.
GCL_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)

GCL_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
GCL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);
GCL_DECLARE_EXCEPTION(EResNotFound, Exception);

namespace msg {
inline constexpr const char* NoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char* ScanLineRange = "Scan line index out of range";
inline constexpr const char* ScanLineNoDib = "Scan lines need a DIB pixel format";
inline constexpr const char* InvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* InvalidBitmapHandle = "Invalid bitmap handle";
inline constexpr const char* InvalidFontHandle = "Invalid font handle";
inline constexpr const char* InvalidIconHandle = "Invalid icon handle";
inline constexpr const char* OutOfResources = "Out of system resources";
inline constexpr const char* ResNotFound = "Resource %s not found";
} // namespace msg

// Registers the graphics classes (TFont, TPen, TBrush, TBitmap, TIcon,
// TPicture) for reading by class name.
extern TUnit GraphicsUnit;

// ---- Geometry ------------------------------------------------------------------
// TRect is left, top, right, bottom with right and bottom exclusive (as
// GDI's RECT, which it matches in layout).

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) noexcept = default;
};

constexpr TRect Bounds(int32_t left, int32_t top, int32_t width, int32_t height) noexcept {
    return {left, top, left + width, top + height};
}
constexpr bool IsRectEmpty(const TRect& r) noexcept { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr bool EqualRect(const TRect& a, const TRect& b) noexcept { return a == b; }
constexpr bool PtInRect(const TRect& r, TPoint p) noexcept {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
constexpr TPoint CenterPoint(const TRect& r) noexcept {
    return {r.Left + (r.Right - r.Left) / 2, r.Top + (r.Bottom - r.Top) / 2};
}
// Moves every edge outwards by dx and dy (inwards for negative values).
constexpr void InflateRect(TRect& r, int32_t dx, int32_t dy) noexcept {
    r.Left -= dx;
    r.Top -= dy;
    r.Right += dx;
    r.Bottom += dy;
}
constexpr void OffsetRect(TRect& r, int32_t dx, int32_t dy) noexcept {
    r.Left += dx;
    r.Top += dy;
    r.Right += dx;
    r.Bottom += dy;
}
// The overlap of a and b; false and an empty (all-zero) rectangle when
// they do not overlap.
constexpr bool IntersectRect(TRect& out, const TRect& a, const TRect& b) noexcept {
    TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
            a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
    if (IsRectEmpty(r)) {
        out = TRect{};
        return false;
    }
    out = r;
    return true;
}
// The smallest rectangle holding a and b (an empty one counts for
// nothing); false when both are empty.
constexpr bool UnionRect(TRect& out, const TRect& a, const TRect& b) noexcept {
    if (IsRectEmpty(a)) {
        out = IsRectEmpty(b) ? TRect{} : b;
        return !IsRectEmpty(b);
    }
    if (IsRectEmpty(b)) {
        out = a;
        return true;
    }
    out = TRect{a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
                a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
    return true;
}
inline RECT ToRECT(const TRect& r) noexcept { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) noexcept { return TRect{r.left, r.top, r.right, r.bottom}; }
static_assert(sizeof(TRect) == sizeof(RECT) && sizeof(TPoint) == sizeof(POINT));

// ---- Colours -----------------------------------------------------------------

using TColor = int32_t;

// The system colour with COLOR_ index `index`.
constexpr TColor SysColor(int index) noexcept {
    return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(index & 0xFF));
}
constexpr bool IsSysColor(TColor color) noexcept {
    return (static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u;
}

inline constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SysColor(COLOR_MENU);
inline constexpr TColor clWindow = SysColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
inline constexpr TColor clHotLight = SysColor(26);                    // COLOR_HOTLIGHT
inline constexpr TColor clGradientActiveCaption = SysColor(27);      // COLOR_GRADIENTACTIVECAPTION
inline constexpr TColor clGradientInactiveCaption = SysColor(28);    // COLOR_GRADIENTINACTIVECAPTION
inline constexpr TColor clMenuHighlight = SysColor(29);              // COLOR_MENUHILIGHT
inline constexpr TColor clMenuBar = SysColor(30);                    // COLOR_MENUBAR

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The system colours. Everything that resolves a system colour
// (ColorToRGB, ColorToColorRef and so every pen, brush and font colour)
// asks this service, so a test can give the system colours values of its
// own without touching the desktop (ServiceOverride<ISysColorService>).
class ISysColorService {
public:
    virtual ~ISysColorService() = default;
    // The colour of the COLOR_ index (0..255) as 0x00BBGGRR.
    virtual COLORREF GetColor(int index) = 0;
};
// Production: GetSysColor.
ServiceSlot<ISysColorService>& SysColorService();

// The RGB value of color: system colours through SysColorService();
// clNone, clDefault and RGB values unchanged.
TColor ColorToRGB(TColor color) noexcept;
// The COLORREF GDI should use for color (system colours resolved; clNone
// and clDefault, which GDI cannot show, as their low 24 bits).
COLORREF ColorToColorRef(TColor color) noexcept;

// The colour names ("clRed", "clBtnFace", "clNone", ...), for published
// colour properties and the text forms below.
extern const TIdentMap ColorIdents;
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(const std::string& ident, TColor& color);
// A named colour as its identifier, any other as "$" + 8 upper-case hex
// digits ("$00346DE4").
std::string ColorToString(TColor color);
// An identifier, "$" or "0x" and hex digits, or a decimal number; raises
// EConvertError otherwise.
TColor StringToColor(const std::string& text);

// ---- Visual styles ---------------------------------------------------------

// Whether the themed (visual styles) drawing branch applies. Tests replace
// the service to run both branches.
class IVisualStyleService {
public:
    virtual ~IVisualStyleService() = default;
    virtual bool Active() = 0;
};
ServiceSlot<IVisualStyleService>& VisualStyleService();
// IsAppThemed() && IsThemeActive(), unless a test replaced the service.
bool VisualStylesActive();
// Controls of the common-controls generation are always available.
inline constexpr bool NewStyleControls = true;

// ---- Graphics objects --------------------------------------------------------

class TCanvas;
class TBitmap;

// The base of fonts, pens and brushes: a persistent object that reports
// every change through OnChange.
class TGraphicsObject : public TPersistent {
    GCL_CLASS(TGraphicsObject, TPersistent)
public:
    // Detachable: an owner (a control, a canvas) sets it to hear changes.
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

namespace detail {
// A shared GDI object: deleted when the last holder lets go.
using TGdiResource = std::shared_ptr<void>;
} // namespace detail

GCL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
GCL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
using TFontCharset = uint8_t;
using TFontName = std::string;

class TFont : public TGraphicsObject {
    GCL_CLASS(TFont, TGraphicsObject)
public:
    // "MS Sans Serif", 8 points, clWindowText.
    TFont();
    ~TFont() override;

    void Assign(TPersistent* source) override;

    // The font's HFONT, made on first use and cached until an attribute
    // changes. The font keeps ownership.
    HFONT GetHandle();
    // Adopts a font handle: its LOGFONT becomes the font's attributes and
    // the font takes ownership of the handle.
    void SetHandle(HFONT value);
    bool HandleAllocated() const noexcept { return FResource != nullptr; }

    // The complete description, for rotated or otherwise tuned copies.
    LOGFONTA GetLogFont() const noexcept { return FLogFont; }
    // Takes every attribute from a LOGFONT (the colour stays).
    void SetLogFont(const LOGFONTA& value);

    TFontName GetName() const;
    void SetName(const TFontName& value);
    // Points; follows Height through PixelsPerInch.
    int GetSize() const noexcept;
    void SetSize(int value);
    // Pixels; negative values give the character height (-15 = 15 pixels).
    int GetHeight() const noexcept { return FLogFont.lfHeight; }
    void SetHeight(int value);
    TFontStyles GetStyle() const noexcept;
    void SetStyle(TFontStyles value);
    // Stored as given: clNone stays clNone.
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value);
    TFontCharset GetCharset() const noexcept { return FLogFont.lfCharSet; }
    void SetCharset(TFontCharset value);
    TFontPitch GetPitch() const noexcept;
    void SetPitch(TFontPitch value);
    // Escapement and orientation in tenths of a degree.
    int GetOrientation() const noexcept { return FLogFont.lfEscapement; }
    void SetOrientation(int value);
    // The resolution Size converts with (the screen's LOGPIXELSY).
    int GetPixelsPerInch() const noexcept { return FPixelsPerInch; }
    void SetPixelsPerInch(int value) noexcept { FPixelsPerInch = value > 0 ? value : 96; }

private:
    friend class TCanvas;
    void LogFontChanged();

    LOGFONTA FLogFont;
    TColor FColor = clWindowText;
    int FPixelsPerInch;
    detail::TGdiResource FResource;
};

GCL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)

class TPen : public TGraphicsObject {
    GCL_CLASS(TPen, TGraphicsObject)
public:
    // A solid black pen one pixel wide.
    TPen();
    ~TPen() override;

    void Assign(TPersistent* source) override;

    // Made on first use; remade when a system colour it uses has changed.
    HPEN GetHandle();

    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor value);
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int value);
    TPenStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TPenStyle value);

private:
    friend class TCanvas;
    void Invalidate();

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    COLORREF FResolved = 0;
    detail::TGdiResource FResource;
};

GCL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
         bsDiagCross)

class TBrush : public TGraphicsObject {
    GCL_CLASS(TBrush, TGraphicsObject)
public:
    // A solid white brush.
    TBrush();
    ~TBrush() override;

    void Assign(TPersistent* source) override;

    // Made on first use; remade when a system colour it uses has changed.
    HBRUSH GetHandle();

    TColor GetColor() const noexcept { return FColor; }
    // Setting a colour makes a clear brush solid again.
    void SetColor(TColor value);
    TBrushStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TBrushStyle value);
    // A pattern: the brush paints with a copy of the bitmap taken when it
    // is set. The brush does not own the bitmap; keep it alive while it is
    // assigned, or set null.
    TBitmap* GetBitmap() const noexcept { return FBitmap; }
    void SetBitmap(TBitmap* value);

private:
    friend class TCanvas;
    void Invalidate();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    COLORREF FResolved = 0;
    detail::TGdiResource FResource;
};

// The two-colour 8x8 checkerboard used for dithered fills, shared and
// cached per colour pair for the rest of the run. Do not free it.
TBitmap* AllocPatternBitmap(TColor color1, TColor color2);

// ---- Canvas ------------------------------------------------------------------

GCL_ENUM(TCanvasStateItem, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = TSet<TCanvasStateItem>;

// A raster operation for CopyRect and Draw.
using TCopyMode = uint32_t;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

class TGraphic;

// Drawing on a device context with a font, a pen and a brush. A plain
// TCanvas draws on whatever DC SetHandle gives it (and never frees it);
// descendants make their DC on demand in CreateHandle.
class TCanvas : public TPersistent {
    GCL_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC, made on demand by CreateHandle; raises EInvalidOperation
    // when the canvas has none and cannot make one.
    HDC GetHandle();
    // Wraps a DC (window, non-client, memory, printer); null detaches the
    // current one, putting back the objects the canvas displaced.
    void SetHandle(HDC value) noexcept;
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }

    // Serialises drawing from more than one thread (recursive).
    void Lock();
    void Unlock();
    bool TryLock();
    int GetLockCount() const noexcept { return FLockCount; }

    // Makes sure the DC exists and has the canvas's font, pen and brush
    // selected (with their colours set) as far as state asks.
    void RequiredState(TCanvasState state);
    // Lets go of the selected objects; the next drawing call selects them
    // again.
    void Refresh() noexcept;

    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    TPen* GetPen() const noexcept { return FPen.get(); }
    void SetPen(TPen* value) { FPen->Assign(value); }
    TBrush* GetBrush() const noexcept { return FBrush.get(); }
    void SetBrush(TBrush* value) { FBrush->Assign(value); }
    TCopyMode GetCopyMode() const noexcept { return FCopyMode; }
    void SetCopyMode(TCopyMode value) noexcept { FCopyMode = value; }

    TPoint GetPenPos();
    void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }
    // The clip box of the DC.
    TRect GetClipRect();
    TColor GetPixels(int x, int y);
    void SetPixels(int x, int y, TColor color);

    // Lines and shapes: the pen draws outlines, the brush fills. Right and
    // bottom edges are exclusive, as in GDI.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const TPoint* points, int count);
    void Polyline(const std::vector<TPoint>& points);
    void Polygon(const TPoint* points, int count);
    void Polygon(const std::vector<TPoint>& points);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& rect) { Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    // An arc of the circle around (x, y): from startAngle, counter-clockwise
    // by sweepAngle degrees (negative sweeps run clockwise). Only the arc is
    // drawn; the pen position ends at its end point.
    void AngleArc(int x, int y, unsigned radius, float startAngle, float sweepAngle);
    // Fills with the brush; the pen is not used.
    void FillRect(const TRect& rect);
    // A one-pixel frame in the brush.
    void FrameRect(const TRect& rect);
    void DrawFocusRect(const TRect& rect);

    // Text in the font; the background is filled with the brush colour
    // unless the brush is clear. TextOut leaves the pen position after the
    // text.
    void TextOut(int x, int y, const std::string& text);
    // Text at (x, y) clipped to rect; a solid brush fills rect first.
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // Pictures: Draw at their own size (transparent bitmaps leave their
    // transparent colour out), StretchDraw into rect.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& rect, TGraphic* graphic);
    // Copies source's sourceRect into dest with CopyMode.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

    // Fire around every drawing call (bitmaps follow their canvas).
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    // Descendants make their DC here and pass it to SetHandle.
    virtual void CreateHandle() {}
    virtual void Changing();
    virtual void Changed();

private:
    struct TSlot {
        HGDIOBJ Displaced = nullptr;  // the foreign object the canvas replaced
        bool Dirty = true;            // colours/attributes must be set again
    };

    void FontChanged(TObject* sender);
    void PenChanged(TObject* sender);
    void BrushChanged(TObject* sender);
    void SelectInto(TSlot& slot, HGDIOBJ object, const detail::TGdiResource& keep, int type);
    void Deselect(TSlot& slot, int type) noexcept;
    void Retain(const detail::TGdiResource& resource);

    HDC FHandle = nullptr;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TSlot FFontSlot, FPenSlot, FBrushSlot;
    // Every object selected into the current DC, kept alive until the DC
    // is let go (a RestoreDC may bring an older one back).
    std::vector<detail::TGdiResource> FRetained;
    TCopyMode FCopyMode = cmSrcCopy;
    CRITICAL_SECTION FLock;
    int FLockCount = 0;
};

// A canvas on the screen DC (GetDC(0)), released when the canvas is freed.
class TScreenCanvas : public TCanvas {
    GCL_CLASS(TScreenCanvas, TCanvas)
public:
    TScreenCanvas() = default;
    ~TScreenCanvas() override;

protected:
    void CreateHandle() override;
};

// A canvas on its own screen-compatible memory DC, for measuring text.
class TMemoryCanvas : public TCanvas {
    GCL_CLASS(TMemoryCanvas, TCanvas)
public:
    TMemoryCanvas() = default;
    ~TMemoryCanvas() override;

protected:
    void CreateHandle() override;
};

// A shared memory canvas for measuring text; set its font before use.
TCanvas& MeasureCanvas();

// ---- Paint buffers ---------------------------------------------------------

// An off-screen buffer for one paint into a DC: a memory DC in its first
// state holding a bitmap compatible with that DC, black over the size
// asked and clipped to it, as a new bitmap of that size would be. For a
// display DC the thread keeps one such DC and bitmap (the bitmap only
// grows) and hands it out again, since making a compatible bitmap and
// selecting it costs the window system six round trips under Wine; a
// buffer asked while the kept one is in use, or for any other DC, is
// made and freed as before. The kept one is made anew after a display
// change (DisplayChanged).
class TPaintBuffer {
public:
    TPaintBuffer(HDC dc, int width, int height);
    ~TPaintBuffer();
    TPaintBuffer(const TPaintBuffer&) = delete;
    TPaintBuffer& operator=(const TPaintBuffer&) = delete;
    HDC GetDC() const noexcept { return FDC; }
    // Whether this buffer is the thread's kept one.
    bool IsKept() const noexcept { return FKept; }

    // The display's settings changed: every thread's kept buffer is made
    // anew at its next use. The application window calls it for
    // WM_DISPLAYCHANGE.
    static void DisplayChanged() noexcept;

private:
    HDC FDC = nullptr;
    HBITMAP FBitmap = nullptr;
    HGDIOBJ FOldBitmap = nullptr;
    int FSaved = 0;
    bool FKept = false;
};

// ---- Graphics (pictures) -------------------------------------------------

// A picture that a canvas can draw: bitmaps and icons.
class TGraphic : public TPersistent {
    GCL_CLASS(TGraphic, TPersistent)
public:
    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    bool GetTransparent() const noexcept { return FTransparent; }
    virtual void SetTransparent(bool value);

    TNotifyEvent OnChange;

protected:
    friend class TCanvas;
    // Draws the picture into rect of canvas, stretched when sizes differ.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    virtual void Changed();

private:
    bool FTransparent = false;
};

GCL_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
GCL_ENUM(TTransparentMode, tmAuto, tmFixed)

class TBitmapCanvas;

// A bitmap: a device-dependent bitmap (pfDevice), a monochrome bitmap
// (pf1bit) or a DIB section (pf4bit .. pf32bit). New bitmaps are pfDevice.
class TBitmap : public TGraphic {
    GCL_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    // Copies another bitmap (pixels, format, transparency); null empties.
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FHandle == nullptr; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int value) override { SetSize(value, FHeight); }
    void SetHeight(int value) override { SetSize(FWidth, value); }
    // Keeps the overlapping part of the picture; new pixels are black.
    void SetSize(int width, int height);

    TPixelFormat GetPixelFormat() const noexcept { return FPixelFormat; }
    // Converts the picture to the new format.
    void SetPixelFormat(TPixelFormat value);
    bool GetMonochrome() const noexcept { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool value);

    // The bitmap, taken out of the canvas's DC first so it can be selected
    // elsewhere. The bitmap keeps ownership.
    HBITMAP GetHandle();
    // Adopts a bitmap handle (the bitmap takes ownership); null empties.
    void SetHandle(HBITMAP value);
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }
    // Gives up ownership of the handle and leaves the bitmap empty.
    HBITMAP ReleaseHandle();

    // The memory canvas the bitmap is selected into while drawing.
    TCanvas* GetCanvas();

    // The pixels of one row of a DIB section, row 0 being the top row
    // whatever the DIB's orientation. Raises EInvalidGraphicOperation for
    // a bad row or a format without scan lines (pfDevice, pf1bit).
    void* GetScanLine(int row);
    // Bytes per row of a DIB section (rows are DWORD-aligned).
    int GetScanLineSize() const noexcept;

    // tmAuto takes the bottom-left pixel; setting a colour makes it tmFixed.
    TColor GetTransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode GetTransparentMode() const noexcept { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);

    // Loads a bitmap resource as a DIB section of its own depth. Raises
    // EResNotFound when the module has no such bitmap.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    friend class TBitmapCanvas;
    void Adopt(HBITMAP handle);
    void FreeContext() noexcept;
    void CanvasChanged(TObject* sender);
    HBITMAP CreateBitmapHandle(TPixelFormat format, int width, int height, const RGBQUAD* colors,
                               int colorCount);
    void ConvertTo(TPixelFormat format, int width, int height);

    HBITMAP FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    uint8_t* FBits = nullptr;   // DIB sections: the first row in memory
    int FStride = 0;
    bool FTopDown = false;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

class TIcon : public TGraphic {
    GCL_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override;

    // Copies the icon (a new handle); null empties.
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FHandle == nullptr; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    // Icons keep the size of their image.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    HICON GetHandle() const noexcept { return FHandle; }
    // Adopts an icon handle (the icon takes ownership); null empties.
    void SetHandle(HICON value);
    bool HandleAllocated() const noexcept { return FHandle != nullptr; }
    HICON ReleaseHandle();

    // Loads an icon resource; size 0 takes the system's large-icon size.
    // Raises EResNotFound when the module has no such icon.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name, int width = 0, int height = 0);
    void LoadFromResourceID(HINSTANCE instance, int id, int width = 0, int height = 0);

protected:
    void Draw(TCanvas* canvas, const TRect& rect) override;

private:
    HICON FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

// Holds one graphic of any kind.
class TPicture : public TPersistent {
    GCL_CLASS(TPicture, TPersistent)
public:
    TPicture() = default;
    ~TPicture() override;

    void Assign(TPersistent* source) override;

    TGraphic* GetGraphic() const noexcept { return FGraphic; }
    // Keeps a copy of value (null clears).
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap (or icon), replacing another kind of graphic
    // with an empty one.
    TBitmap* GetBitmap();
    TIcon* GetIcon();
    int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
    int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

    TNotifyEvent OnChange;

private:
    void SetOwned(TGraphic* graphic);
    void GraphicChanged(TObject* sender);

    TGraphic* FGraphic = nullptr;
};

} // namespace gcl

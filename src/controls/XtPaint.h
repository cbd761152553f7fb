// The painting-style layer of the extended controls: a control's requested
// style (classic GDI, visual styles, or the current toolbar theme) resolved
// to the path that can paint now, the painters every extended control
// shares, wide and rotated caption text with glow copies, the joint layout
// of a caption and an image, and small string and window routines.
#pragma once

#include "gcl/rtl/WinApi.h"
#include <uxtheme.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "gcl/Controls.h"
#include "gcl/Graphics.h"
#include "gcl/ImgList.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Lists.h"
#include "gcl/rtl/Objects.h"
#include "theming/Tx.h"
#include "theming/TxThemes.h"

namespace qelvo {

// Whether a rectangle encloses no point; a rectangle moved in by DX at the
// left and right and DY at the top and bottom.
constexpr bool IsEmptyRect(const gcl::TRect& r) noexcept { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr gcl::TRect InsetRect(const gcl::TRect& r, int dx, int dy) noexcept {
    return gcl::TRect{r.Left + dx, r.Top + dy, r.Right - dx, r.Bottom - dy};
}

GCL_ENUM(TXtThemeType, thtNone, thtWindows, thtTx)
GCL_ENUM(TXtPaintStage, pstPrePaint, pstPostPaint)
GCL_ENUM(TXtGlowDirection, gldNone, gldAll, gldTopLeft, gldBottomRight)

// Two-stage paint events: called with pstPrePaint and paintDefault preset
// to true (the default painting runs only while it stays true), then with
// pstPostPaint.
using TXtDrawEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect, TXtPaintStage PaintStage,
                     bool& PaintDefault)>;
using TXtDrawItemEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ARect, const TTxItemInfo& ItemInfo,
                     TXtPaintStage PaintStage, bool& PaintDefault)>;
using TXtDrawTextEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TCanvas* ACanvas, const TRect& ClientAreaRect, std::wstring& ACaption,
                     TRect& CaptionRect, uint32_t& CaptionFormat, bool IsTextRotated, TXtPaintStage PaintStage,
                     bool& PaintDefault)>;
using TXtDrawImageEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TCanvas* ACanvas, const TTxItemInfo& ItemInfo, TXtPaintStage PaintStage,
                     TCustomImageList*& AImageList, int& AImageIndex, TRect& ARect, bool& PaintDefault)>;
using TXtDrawHintEvent =
    gcl::TEvent<void(gcl::TObject* Sender, gcl::TBitmap* AHintBitmap, std::wstring& AHint, bool& PaintDefault)>;

// ---- The theme nexus ------------------------------------------------------------

// Keeps the visual-styles handles of the tab, progress and track-bar
// classes open while visual styles are on: closed on WM_SKIN_SYSCHANGE
// step 1, opened again on step 3. One instance lives between the unit's
// start and end.
class TXtThemeNexus : public gcl::TObject {
    GCL_CLASS(TXtThemeNexus, gcl::TObject)
public:
    TXtThemeNexus();
    ~TXtThemeNexus() override;
    void Dispatch(gcl::TMessage& message) override;

private:
    void OpenHandles();
    void CloseHandles() noexcept;
};

extern TXtThemeNexus* XtThemeNexus;
// The handles the nexus keeps (null while closed or without visual styles).
extern HTHEME XtTabTheme;
extern HTHEME XtProgressTheme;
extern HTHEME XtTrackBarTheme;
// Counts the times the nexus closed or opened its handles: what was drawn
// with the handles before may look different now.
unsigned XtThemeHandlesAge() noexcept;

// ---- Painting style -----------------------------------------------------------------

// Visual styles can paint now: the library is bound and a style is active.
bool VisualStylesUsable();
// thtTx becomes thtWindows under the theme named exactly "Default"; then
// thtWindows becomes thtNone unless visual styles are usable.
TXtThemeType ResolvePaintingStyle(TXtThemeType style);

// Draws a part of a visual-styles handle; false when the handle or the
// library is missing (the caller then paints classically).
bool DrawVisualStylesPart(HTHEME theme, HDC dc, int part, int state, const TRect& rect);

// Whether the current theme's name is one of names.
bool ThemeNameIn(std::initializer_list<const char*> names);
// An off-screen 32-bit bitmap of w x h holding a copy of what the canvas
// shows at (x, y).
std::unique_ptr<gcl::TBitmap> CopyOfCanvas(TCanvas* canvas, int x, int y, int w, int h);

// A zeroed record of a toolbar button (view type 0x1001, options 0x21) in
// the given state; checked sets Selected, hot HoverKind 2.
void FillButtonItemInfo(bool enabled, bool pushed, bool hotTrack, bool checked, TTxItemInfo& itemInfo);

// ---- Painters ---------------------------------------------------------------------

// Kind 0 a push button in the resolved style; 1 and 2 the theme's button
// (1 with the opaque toolbar view type); 3 the theme's dock background.
void DrawThemedButton(TCanvas* canvas, const TRect& rect, bool enabled, bool pushed, bool hotTrack, bool checked,
                      bool focused, bool defaulted, TXtThemeType style, int kind = 0);
// A push button with a one-pixel frame (frameColor clNone: the colour of
// the face at (Left+4, Top)) and softened corners.
void DrawFramedButton(TCanvas* canvas, const TRect& rect, bool enabled, bool pushed, bool hotTrack, bool checked,
                      bool focused, bool defaulted, TXtThemeType style, TColor frameColor);
// state 0 unchecked, 1 checked, 2 grayed.
void DrawThemedCheckBox(TCanvas* canvas, const TRect& rect, bool enabled, int state, bool hotTrack, bool pushed,
                        bool focused, TXtThemeType style);
void DrawThemedEditFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool frameOnly, TXtThemeType style,
                         bool hotTrack);
// The non-client border of a windowed edit control.
void PaintEditNonClient(gcl::TWinControl* control, bool hotTrack, TXtThemeType style);

// A control's window DC wrapped in a canvas for one scope, with the window
// rectangle moved to (0, 0); the DC goes back also when painting raises.
class TXtWindowCanvas {
public:
    explicit TXtWindowCanvas(gcl::TWinControl* control);
    ~TXtWindowCanvas();
    TXtWindowCanvas(const TXtWindowCanvas&) = delete;
    TXtWindowCanvas& operator=(const TXtWindowCanvas&) = delete;
    HDC DC() const noexcept { return FDC; }

    TCanvas Canvas;
    // The window's rectangle at (0, 0).
    TRect Rect;

private:
    HWND FWnd;
    HDC FDC;
};
void DrawListItemBackground(TCanvas* canvas, const TRect& rect, bool selected, TXtThemeType style, bool focused,
                            bool pushed);
// The parent's background behind control: the parent erases into dc as if
// the point (x, y) of the control were its origin; a parent that does not
// erase leaves rect in its Color (nothing for clNone).
void DrawParentBackgroundAt(gcl::TControl* control, HDC dc, const TRect& rect, int x, int y);
// A filled triangle: pointing down below (x, y), else pointing right.
void DrawArrowGlyph(HDC dc, int x, int y, int size, bool down, TColor color);
void DrawFocusRectangle(TCanvas* canvas, const TRect& rect);
void DrawTintedBitmap(TCanvas* canvas, int x, int y, int weight, TColor tintColor, TColor maskColor,
                      gcl::TBitmap* bitmap);
void DrawGradientButtonFace(TCanvas* canvas, const TRect& rect, bool pushed, TColor baseColor);
// The thtTx face of a push button, by the current theme's name.
void PaintTxButtonFace(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool hotTrack,
                       bool checked);
void DrawWindowCaptionBar(TCanvas* canvas, const TRect& rect, bool active);
// The caption strip of a title bar (rect is the whole window at 0, 0;
// stripRect the caption strip inside it).
void PaintFloatingTitleBar(TCanvas* canvas, const TRect& rect, const TRect& stripRect, bool active,
                           TColor captionColor, HWND window);
// The caption bar of a floating dockable panel.
void PaintPanelTitleBar(TCanvas* canvas, const TRect& rect, bool active, TColor color, const std::string& caption);

// ---- Wide text ----------------------------------------------------------------------

// The DC's font turned by escapement (tenths of a degree), TrueType only;
// "MS Sans Serif" and "Microsoft Sans Serif" become Tahoma (Windows 2000
// and later) or Arial, and the vertical "@" face is taken when it exists.
HFONT CreateRotatedFontEx(HDC dc, int escapement);
// orientation 1: 90 degrees, 2: 270 degrees. Answers the text height.
int DrawRotatedWideText(HDC dc, const std::wstring& text, TRect& rect, int orientation, uint32_t format);
// One output of the text in the DC's font: DrawText for orientation 0,
// else DrawRotatedWideText.
int DrawWideTextRaw(HDC dc, const std::wstring& text, TRect& rect, int orientation, uint32_t format);
// The caption every control draws: "utf8=" captions decoded, glow copies
// in glowColor first, then the text in the font's colour.
int DrawGlowText(TCanvas* canvas, const std::wstring& caption, TRect& rect, int orientation, TColor glowColor,
                 TXtGlowDirection glowDirection, uint32_t format);
// The text as drawn: "utf8=" + UTF-8 bytes (one character a byte) decoded.
std::wstring DecodeCaption(const std::wstring& caption);
void GetWideTextExtent(HDC dc, const std::wstring& text, bool stripAccel, SIZE& size);

// Lays out a caption and an image of imageWidth x imageHeight in
// clientRect; answers the measured caption height (0 without a caption).
int CalcCaptionAndImageLayout(TCanvas* canvas, const TRect& clientRect, const std::wstring& caption, bool rotated,
                              TRect& captionRect, TRect& imageRect, bool pushed, bool imageAbove, int imageWidth,
                              int imageHeight, uint32_t format, gcl::TAlignment alignment);

struct TXtCaptionAndImage {
    std::wstring Caption;
    bool Rotated = false;
    bool Pushed = false;
    bool ImageAbove = false;
    TCustomImageList* Images = nullptr;
    int ImageIndex = -1;
    uint32_t Format = 0;
    gcl::TAlignment Alignment = gcl::taLeftJustify;
    TColor GlowColor = clNone;
    TXtGlowDirection Glow = gldNone;
    // The control is disabled and themed: the image is painted greyed.
    bool DisabledImage = false;
    // Only lay out; nothing is drawn.
    bool MeasureOnly = false;
};
// Lays out and draws caption and image; the rectangles come back.
int DrawCaptionAndImage(TCanvas* canvas, const TRect& clientRect, const TXtCaptionAndImage& item, TRect& captionRect,
                        TRect& imageRect);

// ---- Strings ------------------------------------------------------------------------

bool SameWideText(const std::wstring& a, const std::wstring& b);
// Every '&' goes; of "&&" one '&' stays.
std::wstring StripAccelerators(const std::wstring& text);
std::wstring StripAfterTab(const std::wstring& text);
std::wstring StripTrailingColonOrEllipsis(const std::wstring& text);
// The accelerator character of a caption (upper-cased), or 0.
wchar_t GetAcceleratorChar(const std::wstring& text);
// Adds the names of the folders in path (no files, no "." and "..");
// answers whether any was found.
bool ListSubdirectories(const std::wstring& path, gcl::TStrings* strings);

// ---- Window routines -------------------------------------------------------------------

std::wstring GetWideMenuString(HMENU menu, int index);
int IndexOfChildControl(gcl::TWinControl* parent, gcl::TControl* control);
gcl::TWinControl* FindParentOfClass(gcl::TControl* control, const gcl::TMetaClass* cls);
bool CanFocusForAccel(gcl::TWinControl* control);
// 0 normal, 1 minimised, 2 maximised; rect = the normal position as
// (left, top, width, height) in Left, Top, Right, Bottom.
int GetWindowPlacementRect(gcl::TWinControl* control, TRect& rect);
void SetWindowPlacementRect(gcl::TWinControl* control, int state, const TRect& rect);
// The taskbar's edge (ABE_LEFT ...), rectangle and auto-hide state; false
// without a taskbar.
bool GetTaskbarInfo(unsigned& edge, TRect& rect, bool& autoHide);
// The work area a window maximised on the monitor with monitorRect should
// fill: the monitor less the taskbar's edge unless the taskbar hides itself
// (then one pixel stays free at that edge so it can still come up).
TRect MaximizedWindowRect(const TRect& monitorRect);
// The same for a given taskbar (edge, rectangle, auto-hide).
TRect MaximizedWindowRect(const TRect& monitorRect, unsigned edge, const TRect& taskbar, bool autoHide);

} // namespace qelvo

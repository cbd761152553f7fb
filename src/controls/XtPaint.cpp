// The painting-style layer: style resolution, the theme nexus, the
// shared painters, wide and rotated text with glow, the caption-and-image
// layout, and the string and window routines of the extended controls.
#include "controls/XtPaint.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "controls/XtSkins.h"
#include "gcl/Forms.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Strings.h"
#include "gcl/rtl/SysInfo.h"
#include "theming/TxUtils.h"
#include "unicode/UniSysUtils.h"
#include "unicode/UniSystem.h"
#include "unicode/UniWindows.h"

namespace qelvo {

namespace {

// A DC's saved state for a scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
    ~TSavedDC() { RestoreDC(FDC, FSaved); }
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;

private:
    HDC FDC;
    int FSaved;
};

HDC CanvasDC(TCanvas* canvas) {
    canvas->RequiredState({gcl::csHandleValid, gcl::csFontValid, gcl::csBrushValid, gcl::csPenValid});
    return canvas->GetHandle();
}

} // namespace

std::unique_ptr<gcl::TBitmap> CopyOfCanvas(TCanvas* canvas, int x, int y, int w, int h) {
    auto bitmap = std::make_unique<gcl::TBitmap>();
    bitmap->SetPixelFormat(gcl::pf32bit);
    bitmap->SetSize(w, h);
    BitBlt(bitmap->GetCanvas()->GetHandle(), 0, 0, w, h, canvas->GetHandle(), x, y, SRCCOPY);
    return bitmap;
}

bool ThemeNameIn(std::initializer_list<const char*> names) {
    const std::string current = CurrentThemeName();
    for (const char* name : names)
        if (current == name) return true;
    return false;
}

// ---- Theme nexus ---------------------------------------------------------------------------

TXtThemeNexus* XtThemeNexus = nullptr;
HTHEME XtTabTheme = nullptr;
HTHEME XtProgressTheme = nullptr;
HTHEME XtTrackBarTheme = nullptr;

namespace {
unsigned GThemeHandlesAge = 0;
}

unsigned XtThemeHandlesAge() noexcept { return GThemeHandlesAge; }

GCL_IMPLEMENT_CLASS(TXtThemeNexus)

TXtThemeNexus::TXtThemeNexus() {
    OpenHandles();
    AddSysChangeListener(this);
}

TXtThemeNexus::~TXtThemeNexus() {
    RemoveSysChangeListener(this);
    CloseHandles();
}

void TXtThemeNexus::OpenHandles() {
    ++GThemeHandlesAge;
    auto open = uxtheme::OpenThemeData();
    if (!open || !VisualStylesActive()) return;
    const HWND owner = gcl::ApplicationHost ? gcl::ApplicationHost->GetHandle() : nullptr;
    if (!XtTabTheme) XtTabTheme = open(owner, L"TAB");
    if (!XtProgressTheme) XtProgressTheme = open(owner, L"PROGRESS");
    if (!XtTrackBarTheme) XtTrackBarTheme = open(owner, L"TRACKBAR");
}

void TXtThemeNexus::CloseHandles() noexcept {
    ++GThemeHandlesAge;
    auto close = uxtheme::CloseThemeData();
    for (HTHEME* handle : {&XtTabTheme, &XtProgressTheme, &XtTrackBarTheme}) {
        if (*handle && close) close(*handle);
        *handle = nullptr;
    }
}

void TXtThemeNexus::Dispatch(gcl::TMessage& message) {
    if (message.Msg == WM_SKIN_SYSCHANGE) {
        if (message.WParam == 1) CloseHandles();
        else if (message.WParam == 3) OpenHandles();
        return;
    }
    inherited::Dispatch(message);
}

// ---- Painting style -------------------------------------------------------------------------

bool DrawVisualStylesPart(HTHEME theme, HDC dc, int part, int state, const TRect& rect) {
    auto draw = uxtheme::DrawThemeBackground();
    if (!theme || !draw) return false;
    RECT r = gcl::ToRECT(rect);
    draw(theme, dc, part, state, &r, nullptr);
    return true;
}

bool VisualStylesUsable() { return VisualStylesLibraryLoaded() && VisualStylesActive(); }

TXtThemeType ResolvePaintingStyle(TXtThemeType style) {
    if (style == thtTx && CurrentThemeName() == "Default") style = thtWindows;
    if (style == thtWindows && !VisualStylesUsable()) style = thtNone;
    return style;
}

void FillButtonItemInfo(bool enabled, bool pushed, bool hotTrack, bool checked, TTxItemInfo& itemInfo) {
    itemInfo = TTxItemInfo{};
    itemInfo.ViewType = VT_TOOLBAR;
    itemInfo.ItemOptions = IO_TOOLBARSTYLE | IO_APPACTIVE;
    itemInfo.Enabled = enabled;
    itemInfo.Pushed = pushed && hotTrack;
    itemInfo.HoverKind = hotTrack ? 2 : 0;
    itemInfo.Selected = checked;
}

// ---- Painters --------------------------------------------------------------------------------

void PaintTxButtonFace(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool hotTrack,
                       bool checked) {
    TTxTheme* theme = CurrentTheme;
    const std::string name = CurrentThemeName();
    if (name == "Aluminum") {
        DrawGradientButtonFace(canvas, rect, itemInfo.Pushed, 0xDFDFDF);
        return;
    }
    if (name == "Athen" || name == "Dream") {
        if (!itemInfo.Pushed && !hotTrack && !checked) {
            TTxItemInfo info = itemInfo;
            info.ViewType = VT_POPUPGROUP;
            theme->PaintControlFrame(canvas, rect, info);
            return;
        }
        if (checked) {
            TTxItemInfo info = itemInfo;
            info.Selected = true;
            info.Pushed = false;
            info.HoverKind = hotTrack ? 2 : 0;
            theme->PaintButton(canvas, rect, info);
            return;
        }
    }
    theme->PaintButton(canvas, rect, itemInfo);
}

void DrawThemedButton(TCanvas* canvas, const TRect& rect, bool enabled, bool pushed, bool hotTrack, bool checked,
                      bool focused, bool defaulted, TXtThemeType style, int kind) {
    TRect r = rect;
    if (kind == 1 || kind == 2) {
        TTxItemInfo info;
        FillButtonItemInfo(enabled, pushed, hotTrack, checked, info);
        if (kind == 1) info.ViewType = VT_TOOLBARGROUP | VT_OPAQUE;
        CurrentTheme->PaintButton(canvas, r, info);
    } else if (kind == 3) {
        CurrentTheme->PaintDockBackground(canvas, r, r, 1);
    } else {
        TXtThemeType resolved = ResolvePaintingStyle(style);
        const HDC dc = CanvasDC(canvas);
        if (resolved == thtWindows) {
            const int state = !enabled ? 4 : (pushed || checked) ? 3 : hotTrack ? 2 : (focused || defaulted) ? 5 : 1;
            if (!DrawVisualStylesPart(VisualStylesHandle(vscButton), dc, 1, state, r)) resolved = thtNone;
        }
        if (resolved == thtNone) {
            FillRectColor(dc, r, gcl::clBtnFace);
            if (focused || defaulted) FrameRectColor(dc, r, gcl::clWindowFrame, true);
            if (!pushed && !checked) {
                RECT fr = gcl::ToRECT(r);
                DrawFrameControl(dc, &fr, DFC_BUTTON, DFCS_BUTTONPUSH);
            } else {
                TRect fr = r;
                FrameRectColor(dc, fr, gcl::clBtnShadow, false);
            }
        } else if (resolved == thtTx) {
            if (hotTrack && !pushed && !checked && !IsEmptyRect(r)) {
                auto face = CopyOfCanvas(canvas, r.Left, r.Top, r.Width(), r.Height());
                TTxItemInfo info;
                FillButtonItemInfo(enabled, false, true, false, info);
                PaintTxButtonFace(face->GetCanvas(), TRect{0, 0, r.Width(), r.Height()}, info, hotTrack, checked);
                DrawTintedBitmap(canvas, r.Left, r.Top, 180, 0xFFFFFF, clNone, face.get());
            } else {
                TTxItemInfo info;
                FillButtonItemInfo(enabled, pushed || checked, true, pushed || checked, info);
                PaintTxButtonFace(canvas, r, info, hotTrack, checked);
            }
        }
        canvas->Refresh();
    }
    if (focused) DrawFocusRectangle(canvas, InsetRect(r, 3, 3));
}

void DrawFramedButton(TCanvas* canvas, const TRect& rect, bool enabled, bool pushed, bool hotTrack, bool checked,
                      bool focused, bool defaulted, TXtThemeType style, TColor frameColor) {
    DrawThemedButton(canvas, rect, enabled, pushed, hotTrack, checked, focused, defaulted, style, 0);
    const TColor brush = canvas->GetBrush()->GetColor();
    const TColor frame = frameColor == clNone ? canvas->GetPixels(rect.Left + 4, rect.Top) : frameColor;
    canvas->GetBrush()->SetColor(frame);
    canvas->FrameRect(rect);
    const int l = rect.Left, t = rect.Top, r = rect.Right, b = rect.Bottom;
    canvas->SetPixels(l + 1, t + 1, canvas->GetPixels(l + 2, t + 1));
    canvas->SetPixels(r - 2, t + 1, canvas->GetPixels(r - 3, t + 1));
    canvas->SetPixels(l + 1, b - 2, canvas->GetPixels(l + 2, b - 2));
    canvas->SetPixels(r - 2, b - 2, canvas->GetPixels(r - 3, b - 2));
    canvas->GetBrush()->SetColor(brush);
}

void DrawThemedCheckBox(TCanvas* canvas, const TRect& rect, bool enabled, int state, bool hotTrack, bool pushed,
                        bool focused, TXtThemeType style) {
    const TColor brush = canvas->GetBrush()->GetColor();
    TXtThemeType resolved = ResolvePaintingStyle(style);
    const HDC dc = CanvasDC(canvas);
    if (resolved == thtWindows) {
        int part = state == 1 ? 5 : state == 2 ? 9 : 1;
        part += !enabled ? 3 : pushed ? 2 : hotTrack ? 1 : 0;
        if (!DrawVisualStylesPart(VisualStylesHandle(vscButton), dc, 3, part, rect)) resolved = thtNone;
    }
    if (resolved == thtNone) {
        UINT flags = DFCS_BUTTONCHECK | (state == 1 ? DFCS_CHECKED : state == 2 ? DFCS_BUTTON3STATE | DFCS_CHECKED : 0);
        if (!enabled) flags |= DFCS_INACTIVE;
        if (pushed) flags |= DFCS_PUSHED;
        RECT r = gcl::ToRECT(rect);
        DrawFrameControl(dc, &r, DFC_BUTTON, flags);
    } else if (resolved == thtTx) {
        int flags = enabled ? 0 : PFS_DISABLED;
        if (state == 1) flags |= PFS_CHECKED;
        if (state == 2) flags |= PFS_MIXED;
        if (enabled) {
            if (hotTrack) flags |= PFS_HOT;
            if (pushed) flags |= PFS_PUSHED;
            if (focused) flags |= 0x20;
        }
        CurrentTheme->PaintFrameControl(canvas, rect, PFC_CHECKBOX, flags, 0);
    }
    canvas->Refresh();
    canvas->GetBrush()->SetColor(brush);
}

void DrawThemedEditFrame(TCanvas* canvas, const TRect& rect, bool enabled, bool frameOnly, TXtThemeType style,
                         bool hotTrack) {
    const TXtThemeType resolved = ResolvePaintingStyle(style);
    if (resolved == thtNone) return;
    const HDC dc = CanvasDC(canvas);
    TSavedDC saved(dc);
    if (frameOnly) {
        const TRect inner = hotTrack ? InsetRect(rect, 1, 1) : InsetRect(rect, 2, 2);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
    }
    if (resolved == thtWindows) {
        DrawVisualStylesPart(VisualStylesHandle(vscComboBox), dc, 0, 0, rect);
    } else {
        TTxItemInfo info;
        FillButtonItemInfo(enabled, false, hotTrack, false, info);
        CurrentTheme->PaintEditFrame(canvas, rect, info, TTxEditFrameInfo{});
    }
    canvas->Refresh();
}

TXtWindowCanvas::TXtWindowCanvas(gcl::TWinControl* control) : FWnd(control->GetHandle()), FDC(GetWindowDC(FWnd)) {
    RECT wr;
    ::GetWindowRect(FWnd, &wr);
    Rect = TRect{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    Canvas.SetHandle(FDC);
}

TXtWindowCanvas::~TXtWindowCanvas() {
    Canvas.SetHandle(nullptr);
    ReleaseDC(FWnd, FDC);
}

void PaintEditNonClient(gcl::TWinControl* control, bool hotTrack, TXtThemeType style) {
    if (!control || !control->HandleAllocated()) return;
    TXtWindowCanvas window(control);
    const TRect& r = window.Rect;
    RECT wr;
    ::GetWindowRect(control->GetHandle(), &wr);
    const TPoint client = control->ClientToScreen(TPoint{0, 0});
    ExcludeClipRect(window.DC(), 2, 2, r.Right - 2, r.Bottom - 2);
    DrawParentBackgroundAt(control, window.DC(), r, wr.left - client.X, wr.top - client.Y);
    DrawThemedEditFrame(&window.Canvas, r, control->GetEnabled(), true, style, hotTrack);
}

void DrawListItemBackground(TCanvas* canvas, const TRect& rect, bool selected, TXtThemeType style, bool focused,
                            bool pushed) {
    if (ResolvePaintingStyle(style) != thtTx) {
        if (selected) {
            canvas->GetBrush()->SetColor(gcl::clHighlight);
            canvas->GetFont()->SetColor(gcl::clHighlightText);
        }
        canvas->FillRect(rect);
        if (focused) DrawFocusRectangle(canvas, rect);
        return;
    }
    canvas->FillRect(rect);
    if (!selected) return;
    TTxItemInfo info;
    FillButtonItemInfo(true, pushed, true, false, info);
    canvas->GetFont()->SetColor(CurrentTheme->ItemTextColor(info));
    if (ThemeNameIn({"Dream", "SentimoX"}))
        CurrentTheme->PaintMenuItem(canvas, rect, info);
    else
        CurrentTheme->PaintButton(canvas, rect, info);
}

void DrawParentBackgroundAt(gcl::TControl* control, HDC dc, const TRect& rect, int x, int y) {
    gcl::TWinControl* parent = control ? control->GetParent() : nullptr;
    if (!parent) {
        FillRectColor(dc, rect, gcl::clBtnFace);
        return;
    }
    if (!parent->HandleAllocated()) return;
    const TPoint p = parent->ScreenToClient(control->ClientToScreen(TPoint{x, y}));
    gcl::TMessage m;
    m.Msg = WM_ERASEBKGND;
    m.WParam = reinterpret_cast<uintptr_t>(dc);
    m.LParam = reinterpret_cast<intptr_t>(dc);
    {
        TSavedDC saved(dc);
        POINT old;
        GetWindowOrgEx(dc, &old);
        SetWindowOrgEx(dc, old.x + p.X, old.y + p.Y, nullptr);
        POINT brush;
        GetBrushOrgEx(dc, &brush);
        SetBrushOrgEx(dc, brush.x - p.X, brush.y - p.Y, nullptr);
        m.Result = parent->Perform(m.Msg, m.WParam, m.LParam);
    }
    if (m.Result == 0 && parent->GetColor() != clNone) FillRectColor(dc, rect, parent->GetColor());
}

void DrawArrowGlyph(HDC dc, int x, int y, int size, bool down, TColor color) {
    TPoint points[3];
    if (down) {
        points[0] = TPoint{x - size, y};
        points[1] = TPoint{x + size, y};
        points[2] = TPoint{x, y + size};
    } else {
        points[0] = TPoint{x, y - size};
        points[1] = TPoint{x, y + size};
        points[2] = TPoint{x + size, y};
    }
    PolygonColor(dc, points, 2, color, color);
}

void DrawFocusRectangle(TCanvas* canvas, const TRect& rect) {
    if (IsEmptyRect(rect)) return;
    const HDC dc = CanvasDC(canvas);
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    RECT r = gcl::ToRECT(rect);
    ::DrawFocusRect(dc, &r);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void DrawTintedBitmap(TCanvas* canvas, int x, int y, int weight, TColor tintColor, TColor maskColor,
                      gcl::TBitmap* bitmap) {
    if (!bitmap || bitmap->GetEmpty()) return;
    const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
    std::unique_ptr<gcl::TImageList, void (*)(gcl::TImageList*)> images(gcl::TImageList::Create(nullptr),
                                                                       [](gcl::TImageList* l) { l->Free(); });
    images->SetSize(w, h);
    if (maskColor == clNone) {
        images->SetMasked(false);
        images->Add(bitmap, nullptr);
    } else {
        images->AddMasked(bitmap, maskColor);
    }
    DrawImageTinted(canvas, TRect{x, y, x + w, y + h}, images.get(), 0, tintColor, weight);
}

void DrawGradientButtonFace(TCanvas* canvas, const TRect& rect, bool pushed, TColor baseColor) {
    const HDC dc = CanvasDC(canvas);
    const TColor light = ShiftColor(baseColor, 16), dark = ShiftColor(baseColor, -16);
    DrawGradient(dc, InsetRect(rect, 2, 2), pushed ? dark : light, pushed ? light : dark, true);
    TRect edge = InsetRect(rect, 1, 1);
    const TColor hi = ShiftColor(baseColor, 24), lo = ShiftColor(baseColor, -24);
    Frame3DColor(dc, edge, pushed ? lo : hi, pushed ? hi : lo, false);
    RoundRectColorInRect(dc, rect, 2, 2, ShiftColor(baseColor, -64), clNone);
    canvas->Refresh();
}

void DrawWindowCaptionBar(TCanvas* canvas, const TRect& rect, bool active) {
    UINT flags = DC_TEXT;
    if (active) flags |= DC_ACTIVE;
    BOOL gradient = FALSE;
    if (SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0) && gradient) flags |= DC_GRADIENT;
    RECT r = gcl::ToRECT(rect);
    DrawCaption(GetDesktopWindow(), CanvasDC(canvas), &r, flags);
    canvas->Refresh();
}

void PaintFloatingTitleBar(TCanvas* canvas, const TRect& rect, const TRect& stripRect, bool active,
                           TColor captionColor, HWND window) {
    if (TXtDefaultTheme* skin = CurrentSkinTheme()) {
        skin->PaintSkinTitle(canvas, rect, active);
        return;
    }
    TTxFloatingFrameInfo info;
    info.ViewType = VT_TOOLBAR | VT_FLOATING | VT_SIZABLE | VT_OPAQUE;
    info.WindowHandle = window;
    info.ClientWidth = rect.Width();
    info.ClientHeight = rect.Height();
    // A theme paints only the parts it is asked for.
    info.RedrawPart = RP_FRAME | RP_CAPTION;
    CurrentTheme->PaintFloatingFrame(canvas, rect, info);
    if (IsEmptyRect(stripRect)) return;
    if (ThemeNameIn({"Default", "Stripes", "Miranda", "Monai"})) {
        DrawGradient(CanvasDC(canvas), stripRect, ShiftColor(captionColor, 32), ShiftColor(captionColor, -32), true);
        canvas->Refresh();
        return;
    }
    auto strip = CopyOfCanvas(canvas, stripRect.Left, stripRect.Top, stripRect.Width(), stripRect.Height());
    info.ShowCaption = true;
    info.Active = active;
    TRect whole = rect;
    gcl::OffsetRect(whole, -stripRect.Left, -stripRect.Top);
    CurrentTheme->PaintFloatingFrame(strip->GetCanvas(), whole, info);
    BitBlt(CanvasDC(canvas), stripRect.Left, stripRect.Top, stripRect.Width(), stripRect.Height(),
           strip->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

namespace {

// The theme's caption of a floating window, one small caption high,
// stretched over rect (the caption is painted over color).
void PaintStretchedFloatingCaption(TCanvas* canvas, const TRect& rect, bool active, TColor color, HWND window) {
    if (IsEmptyRect(rect)) return;
    const int w = rect.Width();
    const int captionHeight = std::max(2, GetSystemMetrics(SM_CYSMCAPTION));
    gcl::TBitmap caption;
    caption.SetPixelFormat(gcl::pf32bit);
    caption.SetSize(w, captionHeight);
    const TRect whole{0, 0, w, captionHeight};
    FillRectColor(caption.GetCanvas()->GetHandle(), whole, color);
    PaintFloatingTitleBar(caption.GetCanvas(), whole, whole, active, color, window);
    GdiFlush();
    // The bar's last row is the line below it, which is left out.
    const HDC dc = CanvasDC(canvas);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.Left, rect.Top, w, rect.Height(), caption.GetCanvas()->GetHandle(), 0, 0, w,
               captionHeight - 1, SRCCOPY);
    canvas->Refresh();
}

} // namespace

void PaintPanelTitleBar(TCanvas* canvas, const TRect& rect, bool active, TColor color, const std::string& caption) {
    if (TXtDefaultTheme* skin = CurrentSkinTheme()) {
        skin->PaintSkinTitle(canvas, rect, active);
        return;
    }
    if (IsEmptyRect(rect)) return;
    const int w = rect.Width(), h = rect.Height();
    if (CurrentThemeName() == "Dream") {
        PaintStretchedFloatingCaption(canvas, rect, active, color, nullptr);
        return;
    }
    if (ThemeNameIn({"Default", "Stripes", "Miranda", "Monai"})) {
        const HDC dc = CanvasDC(canvas);
        FillRectColor(dc, rect, color);
        TRect r = rect;
        FrameRectColor(dc, r, ShiftColor(color, -48), true);
        DrawGradient(dc, r, ShiftColor(color, 24), ShiftColor(color, -24), true);
        RECT er = gcl::ToRECT(r);
        DrawEdge(dc, &er, BDR_RAISEDINNER, BF_RECT);
        canvas->Refresh();
        return;
    }
    auto bar = CopyOfCanvas(canvas, rect.Left, rect.Top, w, h);
    // Themes paint the caption band over the panel's own colour; the band
    // of a title bar runs across its top.
    FillRectColor(CanvasDC(bar->GetCanvas()), TRect{0, 0, w, h}, color);
    TTxPanelCaptionInfo info;
    info.IsVertical = true;
    info.ViewType = VT_DOCKPANEL | VT_FLOATING;
    info.ClientWidth = w;
    info.ClientHeight = h;
    info.DragHandleStyle = 1;
    info.Caption = caption;
    info.EffectiveColor = color;
    CurrentTheme->ViewBorder(info.ViewType, info.BorderSize);
    CurrentTheme->PaintPanelCaptionArea(bar->GetCanvas(), TRect{0, 0, w, h}, info);
    BitBlt(CanvasDC(canvas), rect.Left, rect.Top, w, h, bar->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

// ---- Wide text --------------------------------------------------------------------------------

namespace {

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM data) {
    *reinterpret_cast<bool*>(data) = true;
    return 0;
}

} // namespace

HFONT CreateRotatedFontEx(HDC dc, int escapement) {
    LOGFONTW lf{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(lf), &lf);
    lf.lfEscapement = escapement;
    lf.lfOrientation = escapement;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    const std::wstring face = lf.lfFaceName;
    if (face == L"MS Sans Serif" || face == L"Microsoft Sans Serif") {
        const wchar_t* substitute = gcl::Win32MajorVersion >= 5 ? L"Tahoma" : L"Arial";
        lstrcpynW(lf.lfFaceName, substitute, LF_FACESIZE);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        lf.lfHeight = lf.lfHeight > 0 ? tm.tmHeight : tm.tmInternalLeading - tm.tmHeight;
    }
    const std::wstring name = lf.lfFaceName;
    if (name.size() < 31) {
        const std::wstring vertical = L"@" + name;
        bool found = false;
        EnumFontsW(dc, vertical.c_str(), &FontFound, reinterpret_cast<LPARAM>(&found));
        if (found) lstrcpynW(lf.lfFaceName, vertical.c_str(), LF_FACESIZE);
    }
    return CreateFontIndirectW(&lf);
}

namespace {

SIZE WideExtent(HDC dc, const std::wstring& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void WideTextOut(HDC dc, int x, int y, const std::wstring& text) {
    if (UnicodePlatform) {
        TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    } else {
        const std::string ansi = gcl::WideToAnsi(text);
        TextOutA(dc, x, y, ansi.c_str(), static_cast<int>(ansi.size()));
    }
}

// The text without accelerator marks, and the index of the character a
// single '&' marks (-1 for none).
std::wstring StripMarks(const std::wstring& text, int& accel) {
    std::wstring out;
    accel = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == L'&') {
            out += L'&';
            ++i;
        } else if (i + 1 < text.size()) {
            accel = static_cast<int>(out.size());
        }
    }
    return out;
}

} // namespace

int DrawRotatedWideText(HDC dc, const std::wstring& text, TRect& rect, int orientation, uint32_t format) {
    if (text.empty()) return 0;
    const HFONT font = CreateRotatedFontEx(dc, orientation == 1 ? 900 : orientation == 2 ? 2700 : 0);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int x = rect.Left + (rect.Width() - tm.tmHeight) / 2;
    int accel = -1;
    std::wstring s = text;
    if (!(format & DT_NOPREFIX)) s = StripMarks(text, accel);
    SIZE extent = WideExtent(dc, s);
    const int available = rect.Height();
    if ((format & DT_END_ELLIPSIS) && s.size() > 1 && extent.cx > available) {
        if (available < 3) {
            s.resize(1);
        } else {
            while (s.size() > 2 && WideExtent(dc, s + L"...").cx > available) s.pop_back();
            if (accel >= static_cast<int>(s.size())) accel = -1;
            s += L"...";
        }
        if (accel >= static_cast<int>(s.size())) accel = -1;
        extent = WideExtent(dc, s);
    }
    int result = extent.cy;
    if (format & DT_CALCRECT) {
        rect.Right = rect.Left + extent.cy;
        rect.Bottom = rect.Top + extent.cx;
    } else {
        const int y = (format & DT_CENTER) ? rect.Top + (rect.Height() - extent.cx) / 2 : rect.Top;
        const int saved = SaveDC(dc);
        if (!(format & DT_NOCLIP)) IntersectClipRect(dc, rect.Left, rect.Top, rect.Right, rect.Bottom);
        SetTextAlign(dc, orientation == 1 ? TA_RIGHT : orientation == 2 ? TA_BOTTOM : TA_LEFT);
        WideTextOut(dc, x, y, s);
        if (!(format & DT_HIDEPREFIX) && accel >= 0) {
            const int before = WideExtent(dc, s.substr(0, accel)).cx;
            const int after = WideExtent(dc, s.substr(0, accel + 1)).cx;
            const TColor color = static_cast<TColor>(GetTextColor(dc));
            if (orientation == 1) {
                // Read bottom to top: the text ends at y, the baseline lies right of the ascent.
                const int lx = x + tm.tmAscent + 1;
                DrawLineColor(dc, lx, y + extent.cx - before, lx, y + extent.cx - after, color);
            } else {
                const int lx = x + tm.tmDescent - 2;
                DrawLineColor(dc, lx, y + before, lx, y + after, color);
            }
        }
        RestoreDC(dc, saved);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return result;
}

int DrawWideTextRaw(HDC dc, const std::wstring& text, TRect& rect, int orientation, uint32_t format) {
    if (orientation == 1 || orientation == 2) return DrawRotatedWideText(dc, text, rect, orientation, format);
    RECT r = gcl::ToRECT(rect);
    const int result = WideDrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    if (format & DT_CALCRECT) rect = TRect{r.left, r.top, r.right, r.bottom};
    return result;
}

std::wstring DecodeCaption(const std::wstring& caption) {
    if (caption.compare(0, 5, L"utf8=") != 0) return caption;
    return UTF8ToWideString(gcl::WideToAnsi(caption.substr(5)));
}

int DrawGlowText(TCanvas* canvas, const std::wstring& caption, TRect& rect, int orientation, TColor glowColor,
                 TXtGlowDirection glowDirection, uint32_t format) {
    gcl::TBrush* brush = canvas->GetBrush();
    const gcl::TBrushStyle brushStyle = brush->GetStyle();
    const TColor brushColor = brush->GetColor();
    brush->SetStyle(gcl::bsClear);
    const std::wstring text = DecodeCaption(caption);
    int result = 0;
    const bool measuring = (format & DT_CALCRECT) != 0;
    try {
        const HDC dc = CanvasDC(canvas);
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        if (!measuring && !IsEmptyRect(rect) && glowColor != clNone && glowDirection != gldNone) {
            static constexpr POINT AllOffsets[] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
            static constexpr POINT TopLeft[] = {{-1, -1}};
            static constexpr POINT BottomRight[] = {{1, 1}};
            const POINT* offsets = glowDirection == gldAll ? AllOffsets : glowDirection == gldTopLeft ? TopLeft
                                                                                                         : BottomRight;
            const int count = glowDirection == gldAll ? 4 : 1;
            const COLORREF textColor = SetTextColor(dc, gcl::ColorToColorRef(glowColor));
            for (int i = 0; i < count; ++i) {
                TRect r = rect;
                gcl::OffsetRect(r, offsets[i].x, offsets[i].y);
                DrawWideTextRaw(dc, text, r, orientation, format);
            }
            SetTextColor(dc, textColor);
        }
        if (measuring || !IsEmptyRect(rect)) result = DrawWideTextRaw(dc, text, rect, orientation, format);
        if (measuring && canvas->GetFont()->GetStyle().Contains(gcl::fsItalic))
            rect.Right += 2 * (canvas->GetFont()->GetSize() / 8) + 1;
        SetBkMode(dc, oldMode);
    } catch (...) {
        brush->SetStyle(brushStyle);
        brush->SetColor(brushColor);
        throw;
    }
    brush->SetStyle(brushStyle);
    brush->SetColor(brushColor);
    return result;
}

void GetWideTextExtent(HDC dc, const std::wstring& text, bool stripAccel, SIZE& size) {
    size = WideExtent(dc, stripAccel ? StripAccelerators(text) : text);
}

int CalcCaptionAndImageLayout(TCanvas* canvas, const TRect& clientRect, const std::wstring& caption, bool rotated,
                              TRect& captionRect, TRect& imageRect, bool pushed, bool imageAbove, int imageWidth,
                              int imageHeight, uint32_t format, gcl::TAlignment alignment) {
    const bool hasImage = imageWidth >= 1 && imageHeight >= 1;
    const bool hasCaption = !caption.empty();
    TPoint gap{0, 0};
    if (hasCaption && hasImage) gap = rotated ? TPoint{1, 4} : TPoint{4, 1};
    format &= ~static_cast<uint32_t>(DT_CENTER | DT_VCENTER);
    if (alignment == gcl::taRightJustify) format |= DT_RIGHT;
    // Rotated captions run top to bottom: the image sits above them.
    if (rotated) imageAbove = true;
    const int clientW = clientRect.Width(), clientH = clientRect.Height();

    int textW = 0, textH = 0, result = 0;
    if (hasCaption) {
        const bool beside = hasImage && !imageAbove;
        TRect m{0, 0, 1, 1};
        if (format & (DT_WORDBREAK | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) {
            const int available = std::max(1, (rotated ? clientH : clientW) - (beside ? imageWidth + gap.X : 0));
            m = rotated ? TRect{0, 0, 1, available} : TRect{0, 0, available, 1};
            DrawGlowText(canvas, caption, m, rotated ? 1 : 0, clNone, gldNone, format | DT_CALCRECT);
            if (!rotated) m.Right = std::min(m.Right, available);
            else m.Bottom = std::min(m.Bottom, available);
        } else {
            DrawGlowText(canvas, caption, m, rotated ? 1 : 0, clNone, gldNone, format | DT_CALCRECT);
        }
        textW = m.Width();
        textH = m.Height();
        result = textH;
    }

    TPoint shift = pushed ? TPoint{1, 1} : TPoint{0, 0};
    int textX, textY, imageX = 0, imageY = 0;
    if (hasImage && (imageAbove || rotated)) {
        // Image above the text, the pair centred as one block.
        const int blockH = imageHeight + gap.Y + textH;
        const int top = clientRect.Top + (clientH - blockH) / 2;
        imageX = clientRect.Left + (clientW - imageWidth) / 2;
        imageY = top;
        textX = clientRect.Left + (clientW - textW) / 2;
        textY = top + imageHeight + gap.Y;
    } else {
        const int imagePart = hasImage ? imageWidth + gap.X : 0;
        const int blockW = textW + imagePart;
        textY = clientRect.Top + (clientH - textH) / 2;
        imageY = clientRect.Top + (clientH - imageHeight) / 2;
        if (alignment == gcl::taRightJustify) {
            // The image at the right edge, the text left of it.
            imageX = clientRect.Right - imageWidth;
            textX = clientRect.Right - blockW;
        } else {
            const int left = alignment == gcl::taCenter ? clientRect.Left + (clientW - blockW) / 2 : clientRect.Left;
            imageX = left;
            textX = left + imagePart;
        }
    }
    captionRect = TRect{textX + shift.X, textY + shift.Y, textX + textW + shift.X, textY + textH + shift.Y};
    imageRect = hasImage ? TRect{imageX + shift.X, imageY + shift.Y, imageX + imageWidth + shift.X,
                                 imageY + imageHeight + shift.Y}
                         : TRect{};
    return result;
}

int DrawCaptionAndImage(TCanvas* canvas, const TRect& clientRect, const TXtCaptionAndImage& item, TRect& captionRect,
                        TRect& imageRect) {
    const bool validImage = item.Images && item.ImageIndex >= 0 && item.ImageIndex < item.Images->GetCount();
    const int iw = validImage ? item.Images->GetWidth() : 0;
    const int ih = validImage ? item.Images->GetHeight() : 0;
    const int result = CalcCaptionAndImageLayout(canvas, clientRect, item.Caption, item.Rotated, captionRect,
                                                 imageRect, item.Pushed, item.ImageAbove, iw, ih, item.Format,
                                                 item.Alignment);
    if (item.MeasureOnly) return result;
    if (!item.Caption.empty()) {
        TRect r = captionRect;
        DrawGlowText(canvas, item.Caption, r, item.Rotated ? 1 : 0, item.GlowColor, item.Glow,
                     item.Format & ~static_cast<uint32_t>(DT_CALCRECT | DT_CENTER | DT_VCENTER | DT_RIGHT));
    }
    if (validImage) {
        if (item.DisabledImage)
            PaintThemedImage(canvas, imageRect, item.Images, item.ImageIndex, ISF_DISABLED);
        else
            item.Images->Draw(canvas, imageRect.Left, imageRect.Top, item.ImageIndex, true);
    }
    return result;
}

// ---- Strings ----------------------------------------------------------------------------------

bool SameWideText(const std::wstring& a, const std::wstring& b) {
    return WideCompareString(GetThreadLocale(), NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                             static_cast<int>(b.size())) == 2;
}

std::wstring StripAccelerators(const std::wstring& text) {
    int accel;
    return StripMarks(text, accel);
}

std::wstring StripAfterTab(const std::wstring& text) {
    const size_t tab = text.find(L'\t');
    return tab == std::wstring::npos ? text : text.substr(0, tab);
}

std::wstring StripTrailingColonOrEllipsis(const std::wstring& text) {
    if (text.size() > 1 && text.back() == L':') return text.substr(0, text.size() - 1);
    if (text.size() > 3 && text.compare(text.size() - 3, 3, L"...") == 0) return text.substr(0, text.size() - 3);
    return text;
}

wchar_t GetAcceleratorChar(const std::wstring& text) {
    int accel = -1;
    const std::wstring plain = StripMarks(text, accel);
    if (accel < 0) return 0;
    std::wstring c(1, plain[static_cast<size_t>(accel)]);
    return WideUpperCase(c)[0];
}

bool ListSubdirectories(const std::wstring& path, gcl::TStrings* strings) {
    if (!strings || !WideDirectoryExists(path)) return false;
    const std::wstring pattern = WideIncludeTrailingPathDelimiter(path) + L"*.*";
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = data.cFileName;
        // Only folders: a search for folders also returns plain files.
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != L"." && name != L"..")
            strings->Add(gcl::WideToAnsi(name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

// ---- Window routines ------------------------------------------------------------------------

std::wstring GetWideMenuString(HMENU menu, int index) {
    if (UnicodePlatform) {
        wchar_t buffer[260] = {};
        GetMenuStringW(menu, static_cast<UINT>(index), buffer, 260, MF_BYPOSITION);
        return buffer;
    }
    char buffer[260] = {};
    GetMenuStringA(menu, static_cast<UINT>(index), buffer, 260, MF_BYPOSITION);
    return gcl::AnsiToWide(buffer);
}

int IndexOfChildControl(gcl::TWinControl* parent, gcl::TControl* control) {
    if (!parent || !control) return -1;
    for (int i = 0; i < parent->GetControlCount(); ++i)
        if (parent->GetControls(i) == control) return i;
    return -1;
}

gcl::TWinControl* FindParentOfClass(gcl::TControl* control, const gcl::TMetaClass* cls) {
    for (gcl::TWinControl* p = control ? control->GetParent() : nullptr; p; p = p->GetParent())
        if (p->InheritsFrom(cls)) return p;
    return nullptr;
}

bool CanFocusForAccel(gcl::TWinControl* control) {
    if (!control) return false;
    gcl::TCustomForm* form = gcl::GetParentForm(control);
    if (!form || !form->GetVisible() || !form->GetEnabled()) return false;
    return control->CanFocus();
}

int GetWindowPlacementRect(gcl::TWinControl* control, TRect& rect) {
    rect = TRect{};
    if (!control || !control->HandleAllocated()) return 0;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(control->GetHandle(), &wp)) return 0;
    const RECT& n = wp.rcNormalPosition;
    rect = TRect{n.left, n.top, n.right - n.left, n.bottom - n.top};
    return wp.showCmd == SW_SHOWMINIMIZED ? 1 : wp.showCmd == SW_SHOWMAXIMIZED ? 2 : 0;
}

void SetWindowPlacementRect(gcl::TWinControl* control, int state, const TRect& rect) {
    if (!control || !control->HandleAllocated()) return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(control->GetHandle(), &wp);
    wp.showCmd = state == 1 ? SW_SHOWMINIMIZED : state == 2 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (rect.Right > 0 && rect.Bottom > 0)
        wp.rcNormalPosition = RECT{rect.Left, rect.Top, rect.Left + rect.Right, rect.Top + rect.Bottom};
    SetWindowPlacement(control->GetHandle(), &wp);
}

namespace {
constinit gcl::TSystemLibrary Shell32{"shell32.dll"};
constinit gcl::TLibraryProc<UINT_PTR(WINAPI*)(DWORD, PAPPBARDATA)> SHAppBarMessageProc{Shell32, "SHAppBarMessage"};
} // namespace

bool GetTaskbarInfo(unsigned& edge, TRect& rect, bool& autoHide) {
    edge = 0;
    rect = TRect{};
    autoHide = false;
    const HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    auto message = SHAppBarMessageProc.Get();
    if (!tray || !message) return false;
    APPBARDATA abd{};
    abd.cbSize = sizeof(abd);
    abd.hWnd = tray;
    if (!message(ABM_GETTASKBARPOS, &abd)) return false;
    edge = abd.uEdge;
    rect = TRect{abd.rc.left, abd.rc.top, abd.rc.right, abd.rc.bottom};
    autoHide = (message(ABM_GETSTATE, &abd) & ABS_AUTOHIDE) != 0;
    return true;
}

TRect MaximizedWindowRect(const TRect& monitorRect, unsigned edge, const TRect& taskbar, bool autoHide) {
    TRect r = monitorRect;
    TRect overlap;
    const bool touches = gcl::IntersectRect(overlap, monitorRect, taskbar);
    if (!touches && !autoHide) return r;
    switch (edge) {
    case ABE_LEFT: r.Left = autoHide ? r.Left + 1 : std::max(r.Left, taskbar.Right); break;
    case ABE_TOP: r.Top = autoHide ? r.Top + 1 : std::max(r.Top, taskbar.Bottom); break;
    case ABE_RIGHT: r.Right = autoHide ? r.Right - 1 : std::min(r.Right, taskbar.Left); break;
    default: r.Bottom = autoHide ? r.Bottom - 1 : std::min(r.Bottom, taskbar.Top); break;
    }
    return r;
}

TRect MaximizedWindowRect(const TRect& monitorRect) {
    unsigned edge;
    TRect taskbar;
    bool autoHide;
    if (!GetTaskbarInfo(edge, taskbar, autoHide)) return monitorRect;
    return MaximizedWindowRect(monitorRect, edge, taskbar, autoHide);
}

} // namespace qelvo

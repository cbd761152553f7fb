// The Office11Adaptive theme: its base pair, colour cache and what it
// paints differently from Athen.
#include "themes/TxOffice11AdaptiveTheme.h"
#include "themes/ThemePaint.h"

#include "theming/TxUtils.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnHighlight;
using gcl::clBtnShadow;
using gcl::clBtnText;
using gcl::clGrayText;
using gcl::clHighlight;
using gcl::clHighlightText;
using gcl::clMenuText;
using gcl::clWindow;
using gcl::clWindowText;

namespace {

TThemeStock Office11Stock{true};

constexpr TColor clGradientActiveCaption = static_cast<TColor>(0xFF00001B);
constexpr TColor clGradientInactiveCaption = static_cast<TColor>(0xFF00001C);


// A gradient from `from` at the left (top) edge to `to` at the right (bottom).
void Grad(TCanvas* canvas, const TRect& r, TColor from, TColor to, bool vertical) {
    GradientFillCanvas(canvas, r, to, from, vertical);
}

bool IsGradedToolbar(uint32_t viewType) { return IsViewKind(viewType, VT_TOOLBAR) || IsViewKind(viewType, VT_GRADIENTTOOLBAR); }

} // namespace

GCL_IMPLEMENT_CLASS(TTxOffice11AdaptiveTheme)

TTxOffice11AdaptiveTheme::TTxOffice11AdaptiveTheme(const std::string& name)
    : TTxOffice11AdaptiveTheme(name, Office11Stock, TVariant{}) {}

TTxOffice11AdaptiveTheme::TTxOffice11AdaptiveTheme(const std::string& name, TThemeStock& stock, const TVariant& variant)
    : TTxAthenTheme(name, stock), FVariant(variant) {}

// ---- Colour cache ----------------------------------------------------------------

void TTxOffice11AdaptiveTheme::SetupColorCache() {
    CurrentCacheFormulas().Office11Adaptive(FCache, FPair);
}

// ---- Metrics and colours ---------------------------------------------------------------

int TTxOffice11AdaptiveTheme::IntegerMetric(int index) {
    switch (index) {
    case 20:
    case 33: return 8;
    case 21:
    case 32:
    case 34:
    case 35: return 3;
    case 50: return -1;
    default: return TTxAthenTheme::IntegerMetric(index);
    }
}

bool TTxOffice11AdaptiveTheme::BooleanMetric(int index) { return index == 1 || TTxAthenTheme::BooleanMetric(index); }

int TTxOffice11AdaptiveTheme::PopupShadowKind() { return 2; }

TColor TTxOffice11AdaptiveTheme::ViewColor(uint32_t viewType) {
    if (IsMenuBarView(viewType)) return FPair.MenuBar;
    return TTxAthenTheme::ViewColor(viewType);
}

// ---- Backgrounds and frames --------------------------------------------------------------

void TTxOffice11AdaptiveTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect,
                                               const TRect& clipRect, TColor color, bool transparent,
                                               uint32_t viewType) {
    if (transparent) return;
    TRect r;
    if (!gcl::IntersectRect(r, rect, clipRect)) return;
    const bool graded = IsGradedToolbar(viewType) && !(FVariant.ToolbarsOpaqueFlat &&
                                                      IsViewKind(viewType, VT_TOOLBAR) && (viewType & VT_OPAQUE));
    if (!graded) {
        if (dockRect == rect)
            FillRectColor(canvas->GetHandle(), r, color);
        else
            Grad(canvas, r, SideGradientStart(), FPair.Light, false);
        return;
    }
    const bool wide = gcl::IsRectEmpty(dockRect) ? rect.Right > rect.Bottom : r.Width() > r.Height();
    if (wide)
        Grad(canvas, TRect{r.Left, r.Top - 1, r.Right, r.Bottom + 1}, FPair.Light, FPair.Dark, true);
    else
        Grad(canvas, TRect{r.Left - 1, r.Top, r.Right + 1, r.Bottom}, FPair.Light, FPair.Dark, false);
}

void TTxOffice11AdaptiveTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int) {
    Grad(canvas, dockRect, SideGradientStart(), FPair.Light, false);
}

TColor TTxOffice11AdaptiveTheme::FloatingOutlineColor(TColor entry) const {
    return FVariant.PlainPanelFrame ? entry : FPair.Mid;
}

void TTxOffice11AdaptiveTheme::PaintFloatingBar(TCanvas* canvas, const TRect& bar, TColor caption) {
    FillRectColor(canvas->GetHandle(), bar, caption);
}

void TTxOffice11AdaptiveTheme::PaintFloatingCloseButton(TCanvas* canvas, const TRect& square,
                                                        const TTxFloatingFrameInfo& info, TColor caption,
                                                        TColor captionText) {
    HDC dc = canvas->GetHandle();
    FillRectColor(dc, square, caption);
    const TColor(&row)[3] = FCache.ButtonColorTable[FloatingCloseButtonRow(info.CloseButtonState, info.Active)];
    TRect b = square;
    FrameRectColor(dc, b, row[cpFrame], true);
    FillRectColor(dc, b, row[cpBody]);
    gcl::TImageList* images = Stock().StockImages;
    if (!images) return;
    DrawStockGlyph(dc, (b.Left + b.Right - images->GetWidth() + 1) / 2, (b.Top + b.Bottom - images->GetHeight()) / 2,
                   images, 0, row[cpBody] != clNone ? row[cpText] : captionText);
}

void TTxOffice11AdaptiveTheme::PaintDockedCloseButton(TCanvas* canvas, const TRect& square, uint32_t state, bool) {
    const TColor(&row)[3] = FCache.ButtonColorTable[CloseButtonRow(state)];
    PaintCloseButton(canvas, square, row[cpBody], row[cpFrame], row[cpText]);
}

void TTxOffice11AdaptiveTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect,
                                                     const TTxPanelCaptionInfo& info) {
    const TColor entry = canvas->GetBrush()->GetColor();
    HDC dc = canvas->GetHandle();
    const bool plain = FVariant.PlainPanelFrame;
    TRect r = rect;
    FrameRectColor(dc, r, plain ? clBtnFace : FPair.Mid, true);
    FrameRectColor(dc, r, entry, !plain);
    if (plain) r = Inset(r, 1);
    SetCaptionCornerPixels(dc, r, info.IsVertical, plain ? clBtnFace : TColor{0xE0E0E0});
    if (!info.ShowCaption()) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar = rect;
    gcl::InflateRect(bar, -info.BorderSize.X, -info.BorderSize.Y);
    if (info.IsVertical) {
        bar.Bottom = bar.Top + h;
        if (plain) {
            Grad(canvas, bar, clBtnFace, FPair.Light, false);
        } else {
            Grad(canvas, bar, FPair.Light, FPair.Dark, true);
            DrawLineColor(dc, bar.Left, bar.Bottom - 1, bar.Right, bar.Bottom - 1, 0x808080);
        }
    } else {
        bar.Right = bar.Left + h;
        if (plain) {
            Grad(canvas, bar, clBtnFace, FPair.Light, true);
        } else {
            Grad(canvas, bar, FPair.Light, FPair.Dark, false);
            DrawLineColor(dc, bar.Right - 1, bar.Top, bar.Right - 1, bar.Bottom, 0x808080);
        }
    }
    PaintPanelCaptionContent(canvas, bar, h, info, plain ? clBtnText : 0x000000);
}

void TTxOffice11AdaptiveTheme::PaintToolbarEdges(TCanvas* canvas, const TRect& r, bool vertical) {
    HDC dc = canvas->GetHandle();
    const TGradientPair& p = FPair;
    if (vertical) {
        Grad(canvas, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, p.Light, p.Dark, false);
        DrawLineColor(dc, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1, p.Edge);
        DrawLineColor(dc, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1, p.Edge);
        DrawLineColor(dc, r.Left, r.Top, r.Left, r.Top + 1, p.Dark);
        DrawLineColor(dc, r.Left, r.Bottom - 2, r.Left, r.Bottom, p.Dark);
        return;
    }
    Grad(canvas, TRect{r.Right - 1, r.Top + 1, r.Right, r.Bottom}, MixColors(p.Dark, p.Light, 50), p.Edge, true);
    DrawLineColor(dc, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1, p.Edge);
    SetPixelColor(dc, r.Left, r.Top, MixColors(p.Dark, p.Light, 60));
    SetPixelColor(dc, r.Left, r.Bottom - 1, p.Dark);
    SetPixelColor(dc, r.Left, r.Bottom - 2, MixColors(p.Dark, p.Edge, 50));
    SetPixelColor(dc, r.Right - 2, r.Top, MixColors(p.Dark, p.Light, 25));
    SetPixelColor(dc, r.Right - 1, r.Bottom - 1, p.Dark);
    SetPixelColor(dc, r.Right - 2, r.Bottom - 2, MixColors(p.Dark, p.Edge, 50));
}

void TTxOffice11AdaptiveTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    const uint32_t vt = info.ViewType;
    if (!IsGradedToolbar(vt) && vt != VT_TOOLBARGROUP) {
        Grad(canvas, rect, SideGradientStart(), FPair.Light, false);
        return;
    }
    Grad(canvas, rect, FPair.Light, FPair.Dark, !info.IsVertical);
    if (info.BorderStyle != 1) return;
    PaintToolbarEdges(canvas, rect, info.IsVertical);
    const TRect r = Inset(rect, 2);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (!info.AllowDrag) return;
    const int g = GetDragHandleSize(info);
    if (info.DragHandleStyle != 1) {
        TColor shades[7];
        GripShades(FPair.GripBase, FPair.GripShade, FPair.GripLight, false, shades);
        const bool doubled = info.DragHandleStyle == 0;
        for (const TPoint& p : GripSteps(r, info.IsVertical, g, closeButton, doubled, doubled ? -FVariant.GripShift : 0))
            DrawGripDot(canvas->GetHandle(), p.X, p.Y, shades);
    }
    if (closeButton) {
        const TRect square = !info.IsVertical ? TRect{r.Left, r.Top, r.Left + g - 1, r.Top + g - 1}
                                              : TRect{r.Right - (g - 1), r.Top, r.Right, r.Top + g - 1};
        PaintDockedCloseButton(canvas, square, info.CloseButtonState, true);
    }
}

void TTxOffice11AdaptiveTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: FillRectColor(dc, rect, FPair.MenuBar); break;
    case 1:
    case 2: {
        TRect r = rect;
        if (part == 1) r.Right -= 2;
        FrameRectColor(dc, r, FCache.StatusPaneColor, true);
        break;
    }
    case 3: {
        TColor shades[7];
        GripShades(FPair.GripBase, FPair.GripShade, FPair.GripLight, true, shades);
        DrawDimpleSizeGrip(dc, rect, shades);
        break;
    }
    default: break;
    }
}

// ---- Items ------------------------------------------------------------------------------

void TTxOffice11AdaptiveTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    if ((itemInfo.ItemOptions & IO_DESIGNING) && !itemInfo.Selected) {
        if (itemInfo.IsPopupParent == 3) r.Left -= 1;
        FrameRectColor(dc, r,
                       FVariant.PlainDesignFrame ? TColor{0x0000FF} : NearestColor(BlendColor(clBtnShadow, clBtnFace, 100)),
                       false);
    } else {
        FrameRectColor(dc, r, ButtonPart(itemInfo, cpFrame), true);
        if (itemInfo.IsPopupParent == 2 && itemInfo.PopupOpen) r.Right += 1;
        if (itemInfo.IsPopupParent == 3) r.Left -= 1;
        FillRectColor(dc, r, ButtonPart(itemInfo, cpBody));
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxOffice11AdaptiveTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    FrameRectColor(dc, r, ItemPart(itemInfo, cpFrame), true);
    FillRectColor(dc, r, ItemPart(itemInfo, cpBody));
}

void TTxOffice11AdaptiveTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                              const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = Inset(rect, w);
    if (!itemInfo.Enabled && !IsOpaqueToolbarItem(itemInfo))
        FrameRectColor(dc, r, FCache.ButtonColorTable[brDisabled][cpText], true);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - w;
    const bool noFrame = !IsToolbarView(itemInfo.ViewType) && ItemPart(itemInfo, cpFrame) == clNone;
    if (itemInfo.Enabled) {
        if (noFrame)
            FrameRectColor(dc, r, FCache.ToolbarBackground, true);
        else
            FrameRectColor(dc, r, clWindow, false);
    }
    r = Inset(r, 1);
    if (itemInfo.Enabled) FillRectColor(dc, r, clWindow);
    if (noFrame) {
        TRect inner = Inset(rect, 1);
        FrameRectColor(dc, inner, clBtnFace, false);
    }
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxOffice11AdaptiveTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                               const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const TRect r{rect.Left, rect.Top - 1, rect.Right + 1, rect.Bottom + 1};
    auto face = [&](const TRect& part, const TTxItemInfo& info) {
        if (disabled) return;
        if (info.Pushed || hot || IsOpaqueToolbarItem(info)) {
            PaintButton(canvas, part, info);
        } else if (IsToolbarView(info.ViewType)) {
            TRect f = part;
            FrameRectColor(dc, f, clWindow, true);
            DrawLineColor(dc, part.Left - 1, part.Top, part.Left - 1, part.Bottom, clWindow);
        }
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & EBDS_PRESSED) != 0;
        info.IsPopupParent = 0;
        face(r, info);
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (upper ? EBSS_UP : EBSS_DOWN)) != 0;
        info.IsPopupParent = 0;
        TRect h = SpinHalf(r, upper);
        face(h, info);
        DrawCentredSpinTriangle(dc, h, upper, ItemPart(info, cpText));
    }
}

void TTxOffice11AdaptiveTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                          TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, clBtnShadow);
        return;
    }
    const bool idle = !itemInfo.Selected && !itemInfo.Pushed && itemInfo.HoverKind == 0;
    if (idle && !dark && !WhiteButtonFace && !LowColorScreen)
        DrawImageTinted(canvas, rect, imageList, imageIndex, clWindow, 255);
    else
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
}

void TTxOffice11AdaptiveTheme::PaintImageColumn(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    Grad(canvas, TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin + 2, rect.Bottom}, FPair.Light, FPair.Dark,
         false);
}

void TTxOffice11AdaptiveTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
        PaintImageColumn(canvas, rect, itemInfo);
        r = TRect{rect.Left + 1, rect.Top, rect.Right - 1, rect.Bottom};
    }
    PaintControlFrame(canvas, r, itemInfo);
}

void TTxOffice11AdaptiveTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    PaintMenuItemFrame(canvas, rect, itemInfo);
    PaintPopupItemMarks(dc, rect, itemInfo, FCache.MenuSeparatorColor, ItemPart(itemInfo, cpFrame),
                        ItemPart(itemInfo, cpText));
    if (!itemInfo.Selected || !itemInfo.Enabled) return;
    TRect c{rect.Left + 2, rect.Top + 1, rect.Left + itemInfo.PopupMargin, rect.Bottom - 1};
    FrameRectColor(dc, c, ButtonPart(itemInfo, cpFrame), true);
    FillRectColor(dc, c, ButtonPart(itemInfo, cpBody));
}

void TTxOffice11AdaptiveTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    PaintTablePageScrollButton(canvas->GetHandle(), rect, direction, hot, FCache);
}

void TTxOffice11AdaptiveTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                              bool horizontal, bool) {
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        TRect r = rect;
        TColor pen = FCache.SeparatorColor;
        if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
            PaintImageColumn(canvas, rect, itemInfo);
            r.Left += itemInfo.PopupMargin + 9;
            pen = FCache.MenuSeparatorColor;
        }
        const int y = r.Bottom / 2;
        if (IsToolbarView(itemInfo.ViewType)) {
            DrawLineColor(dc, r.Left + 4, y, r.Right - 2, y, 0xFFFFFF);
            DrawLineColor(dc, r.Left + 3, y - 1, r.Right - 3, y - 1, FPair.Dark);
        } else {
            DrawLineColor(dc, r.Left, y, r.Right, y, pen);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, 0xFFFFFF);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, FPair.Dark);
    }
}

void TTxOffice11AdaptiveTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int params) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) {
        TTxAthenTheme::PaintFrameControl(canvas, rect, kind, state, params);
        return;
    }
    const TFrameControlColors colors = TableFrameControlColors(FCache, state);
    PaintCheckRadio(canvas, rect, kind, state, colors);
}

} // namespace qelvo

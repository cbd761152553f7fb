// The Tristan theme: its colour cache, metrics and painting.
#include "themes/TxTristanTheme.h"
#include "themes/ThemePaint.h"

#include "theming/TxUtils.h"

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

TTristanUnitState TristanUnit;

// Popup views other than chevron popups.
bool IsPlainPopupView(uint32_t viewType) { return IsPopupView(viewType) && !IsViewKind(viewType, VT_CHEVRONPOPUP); }

} // namespace

GCL_IMPLEMENT_CLASS(TTxTristanTheme)

TTxTristanTheme::TTxTristanTheme(const std::string& name) : TTxTristanTheme(name, TristanUnit, TVariant{}) {}

TTxTristanTheme::TTxTristanTheme(const std::string& name, TTristanUnitState& unit, const TVariant& variant)
    : TTxCacheTheme(name, unit.Stock, FCache), FUnit(&unit), FVariant(variant) {}

void TTxTristanTheme::LinearGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) const {
    if (FVariant.SplitGradientsOnly)
        SplitGradient(dc, rect, c1, c2, vertical);
    else
        FillLineGradient(dc, rect, c1, c2, vertical);
}

void TTxTristanTheme::SplitGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) const {
    FillSplitGradient(dc, rect, c1, c2, vertical, FVariant.TurnDivisor);
}

// ---- Colour cache ----------------------------------------------------------------

void TTxTristanTheme::SetupColorCache() {
    CurrentCacheFormulas().Tristan(FCache, FUnit->Colors, {FVariant.LowColorMode, FVariant.PlainHighlightFrames});
}

// ---- Colour lookups and metrics ----------------------------------------------------------

int TTxTristanTheme::PopupShadowKind() { return 2; }

int TTxTristanTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 20: return 8;
    case 21: return 3;
    case 32: return 0;
    case 33: return 8;
    case 34: return 3;
    case 35: return 3;
    case 36:
    case 37: return 2;
    case 50: return -1;
    case 60: return 1;
    case 61:
    case 62: return 2;
    case 65: return 14;
    case 66: return 1;
    default: return -1;
    }
}

bool TTxTristanTheme::BooleanMetric(int index) { return index == 1 || TTxCacheTheme::BooleanMetric(index); }

// ---- View painting ------------------------------------------------------------------

void TTxTristanTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect,
                                      const TRect& clipRect, TColor color, bool transparent, uint32_t viewType) {
    if (transparent) return;
    TRect r;
    if (!gcl::IntersectRect(r, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const TTristanColors& unit = FUnit->Colors;
    const bool gradient = (IsViewKind(viewType, VT_TOOLBAR) && !(viewType & (VT_OPAQUE | VT_FLOATING))) ||
                          IsViewKind(viewType, VT_GRADIENTTOOLBAR);
    if (gradient) {
        const bool wide = dockRect == TRect{} ? rect.Right > rect.Bottom : r.Width() > r.Height();
        if (wide)
            LinearGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, true);
        else if (IsViewKind(viewType, VT_MENUBAR))
            SplitGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, false);
        else
            LinearGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, false);
        return;
    }
    FillRectColor(dc, r, color);
    if (!IsViewKind(viewType, VT_TOOLBAR) && !IsViewKind(viewType, VT_MENUBAR) && !IsViewKind(viewType, VT_CHEVRONPOPUP) &&
        !IsViewKind(viewType, VT_TOOLBOXPOPUP))
        SplitGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, false);
}

void TTxTristanTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int) {
    PaintDockRectangle(canvas, dockRect, clBtnFace);
}

void TTxTristanTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const TTristanColors& unit = FUnit->Colors;
    TRect r = rect;
    if (IsViewKind(info.ViewType, VT_TOOLBAR) || IsViewKind(info.ViewType, VT_GRADIENTTOOLBAR)) {
        if (r.Right > r.Bottom) {
            LinearGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, true);
            LinearGradient(dc, TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, unit.TristanEdgeColor, clBtnFace, true);
            DrawLineColor(dc, r.Left + 1, r.Bottom - 1, r.Right - 1, r.Bottom - 1, unit.TristanEdgeColor);
            SetPixelV(dc, r.Left, r.Top, gcl::ColorToColorRef(clBtnFace));
            if (FVariant.SinglePixelCorner)
                SetPixelV(dc, r.Right - 2, r.Top, gcl::ColorToColorRef(clBtnFace));
            else
                DrawLineColor(dc, r.Right - 1, r.Top, r.Right - 3, r.Top + 1, clBtnFace);
            SetPixelV(dc, r.Right - 1, r.Bottom - 1, gcl::ColorToColorRef(unit.TristanGradientColor));
        } else {
            LinearGradient(dc, r, unit.TristanGradientColor, unit.TristanLightColor, false);
            LinearGradient(dc, TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, unit.TristanEdgeColor,
                           unit.TristanGradientColor, false);
            DrawLineColor(dc, r.Right - 1, r.Top + 1, r.Right - 1, r.Bottom - 1, unit.TristanEdgeColor);
            const COLORREF corner = gcl::ColorToColorRef(unit.TristanGradientColor);
            SetPixelV(dc, r.Left, r.Top, corner);
            SetPixelV(dc, r.Left, r.Bottom - 2, corner);
            SetPixelV(dc, r.Left, r.Bottom - 1, corner);
            SetPixelV(dc, r.Right - 1, r.Bottom - 1, corner);
        }
    } else {
        FillRectColor(dc, r, FCache.MenuBarBackground);
    }
    gcl::InflateRect(r, -2, -2);
    if (!info.AllowDrag) return;
    const int size = GetDragHandleSize(info);
    if (!info.IsVertical)
        r.Right = r.Left + size;
    else
        r.Bottom = r.Top + size;
    canvas->GetBrush()->SetColor(unit.TristanGripFaceColor);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.DragHandleStyle != 1) {
        const TColor face = unit.TristanGripFaceColor, shadow = unit.TristanGripShadowColor,
                     light = unit.TristanGripLightColor;
        const TColor dot[7] = {BlendColor(face, shadow, 64), BlendColor(face, shadow, 32), BlendColor(face, shadow, 48),
                               BlendColor(face, shadow, 16), BlendColor(face, light, 72),  BlendColor(face, light, 128),
                               BlendColor(face, light, 96)};
        if (!info.IsVertical) {
            const int x = closeButton ? r.Left + 5 : r.Left + 1;
            for (int y = r.Top + 4 + (closeButton ? size - 2 : 0); y < r.Bottom - 2 - 3; y += 4) {
                DrawGripDot(dc, x, y, dot);
                if (info.DragHandleStyle == 0) DrawGripDot(dc, x + 4, y, dot);
            }
        } else {
            const int y = closeButton ? r.Top + 5 : r.Top + 1;
            const int limit = closeButton ? r.Right - size - 3 : r.Right - 2 - 3;
            for (int x = r.Left + 4; x < limit; x += 4) {
                DrawGripDot(dc, x, y, dot);
                if (info.DragHandleStyle == 0) DrawGripDot(dc, x, y + 4, dot);
            }
        }
    }
    if (closeButton) {
        const TRect square = !info.IsVertical ? TRect{r.Left, r.Top, r.Right - 1, r.Top + (r.Right - 1 - r.Left)}
                                              : TRect{r.Right - (r.Bottom - 1 - r.Top), r.Top, r.Right, r.Bottom - 1};
        const TColor(&row)[3] = FCache.ButtonColorTable[CloseButtonRow(info.CloseButtonState)];
        PaintCloseButton(canvas, square, row[cpBody], row[cpFrame], row[cpText]);
    }
}

void TTxTristanTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    const int row = info.Active ? frActive : frInactive;
    const bool panel = (info.ViewType & VT_DOCKPANELGROUP) != 0;
    const TColor(&table)[2][3] = panel ? FCache.PanelFrameColors : FCache.FloatingFrameColors;
    const TColor effective = canvas->GetBrush()->GetColor();
    HDC dc = canvas->GetHandle();
    const TTristanColors& unit = FUnit->Colors;
    if (info.RedrawPart & RP_FRAME)
        PaintFloatingBorder(dc, rect, info.BorderSize, table[row][fpBorder], effective, !panel);
    if (!info.ShowCaption) return;
    const TColor(&textTable)[2][3] = IsToolbarView(info.ViewType) ? FCache.FloatingFrameColors : FCache.PanelFrameColors;
    const TColor captionText = textTable[row][fpCaptionText];
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar{0, 0, info.ClientWidth, captionHeight - 1};
    gcl::OffsetRect(bar, info.BorderSize.X, info.BorderSize.Y);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.RedrawPart & RP_CAPTION) {
        TRect c = bar;
        DrawLineColor(dc, c.Left, c.Bottom, c.Right, c.Bottom, effective);
        if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) c.Right -= captionHeight - 1;
        SplitGradient(dc, c, unit.TristanLightColor, unit.TristanGradientColor, true);
        gcl::InflateRect(c, -2, 0);
        DrawSmallCaption(canvas, c, info.Caption, captionText, ThemeCaptionFormat, false);
    }
    if (closeButton) {
        TRect b = bar;
        b.Left = b.Right - (b.Bottom - b.Top);
        DrawLineColor(dc, b.Left - 1, b.Bottom, b.Right, b.Bottom, effective);
        SplitGradient(dc, b, unit.TristanLightColor, unit.TristanGradientColor, true);
        const TColor(&buttonRow)[3] = FCache.ButtonColorTable[FloatingCloseButtonRow(info.CloseButtonState, info.Active)];
        PaintCloseButton(canvas, b, buttonRow[cpBody], buttonRow[cpFrame],
                         buttonRow[cpBody] != clNone ? buttonRow[cpText] : captionText);
    }
}

void TTxTristanTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    HDC dc = canvas->GetHandle();
    PaintPanelCaptionBorder(canvas, rect, info.IsVertical, clBtnFace);
    if (!info.ShowCaption()) return;
    const TTristanColors& unit = FUnit->Colors;
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar = rect;
    gcl::InflateRect(bar, -info.BorderSize.X, -info.BorderSize.Y);
    TRect text = bar;
    if (info.IsVertical) {
        bar.Bottom = bar.Top + captionHeight;
        SplitGradient(dc, bar, unit.TristanLightColor, unit.TristanGradientColor, true);
        text.Bottom = text.Top + captionHeight - 1;
    } else {
        bar.Right = bar.Left + captionHeight;
        SplitGradient(dc, bar, unit.TristanLightColor, unit.TristanGradientColor, false);
        text.Right = text.Left + captionHeight - 1;
    }
    if (info.CloseButtonState & CDBS_VISIBLE) {
        const int side = captionHeight - 1;
        TRect square;
        if (info.IsVertical) {
            square = TRect{text.Right - side, text.Top, text.Right, text.Top + side};
            text.Right = square.Left;
        } else {
            square = TRect{text.Left, text.Bottom - side, text.Left + side, text.Bottom};
            text.Bottom = square.Top;
        }
        const TColor(&row)[3] = FCache.ButtonColorTable[CloseButtonRow(info.CloseButtonState)];
        PaintCloseButton(canvas, square, row[cpBody], row[cpFrame], row[cpText]);
    }
    if (info.IsVertical)
        gcl::InflateRect(text, -4, 0);
    else
        gcl::InflateRect(text, 0, -4);
    DrawSmallCaption(canvas, text, info.Caption, clBtnText, ThemeCaptionFormat, !info.IsVertical);
}

void TTxTristanTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    PaintCachePopupFrame(canvas->GetHandle(), rect, info.ParentItemRect, FCache, FCache.ToolbarBackground);
}

void TTxTristanTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: {
        FillRectColor(dc, rect, clBtnFace);
        struct TLine {
            int Y, Weight;
        };
        const TLine lines[] = {{rect.Top, 200},         {rect.Top + 1, 128},    {rect.Top + 2, 64},
                               {rect.Top + 3, 32},      {rect.Top + 4, 12},     {rect.Bottom - 3, 8},
                               {rect.Bottom - 2, 16},   {rect.Bottom - 1, 24}};
        for (const TLine& line : lines)
            DrawLineColor(dc, rect.Left, line.Y, rect.Right, line.Y, BlendColorNearest(clBtnShadow, clBtnFace, line.Weight));
        break;
    }
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, clBtnShadow);
        DrawLineColor(dc, x + 1, rect.Top + 5, x + 1, rect.Bottom - 2, clBtnHighlight);
        break;
    }
    case 3: {
        const TColor dot[7] = {BlendColor(clBtnFace, clBtnShadow, 16),    BlendColor(clBtnFace, clBtnShadow, 32),
                               BlendColor(clBtnFace, clBtnShadow, 48),    BlendColor(clBtnFace, clBtnShadow, 64),
                               BlendColor(clBtnFace, clBtnHighlight, 72), BlendColor(clBtnFace, clBtnHighlight, 128),
                               BlendColor(clBtnFace, clBtnHighlight, 96)};
        const int r = rect.Right, b = rect.Bottom;
        const TPoint anchors[6] = {{r - 12, b - 4}, {r - 8, b - 4}, {r - 4, b - 4},
                                   {r - 8, b - 8},  {r - 4, b - 8}, {r - 4, b - 12}};
        for (const TPoint& p : anchors) DrawGripDot(dc, p.X, p.Y, dot);
        break;
    }
    default: break;
    }
}

// ---- Item painting ------------------------------------------------------------------

bool TTxTristanTheme::PaintDesignOutline(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!(itemInfo.ItemOptions & IO_DESIGNING) || itemInfo.Selected) return false;
    TRect r = rect;
    if (itemInfo.IsPopupParent == 3) r.Left -= 1;
    canvas->GetBrush()->SetColor(NearestColor(BlendColor(clBtnShadow, clBtnFace, 100)));
    canvas->FrameRect(r);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
    return true;
}

void TTxTristanTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (PaintDesignOutline(canvas, rect, itemInfo)) return;
    HDC dc = canvas->GetHandle();
    const TColor body = ButtonPart(itemInfo, cpBody);
    const TColor light = FUnit->Colors.TristanLightColor;
    TRect r = rect;
    FrameRectColor(dc, r, ButtonPart(itemInfo, cpFrame), true);
    if (itemInfo.IsPopupParent == 2 && itemInfo.PopupOpen) r.Right += 1;
    if (itemInfo.IsPopupParent == 3) r.Left -= 1;
    const bool vertical = !itemInfo.IsVertical;
    const uint32_t vt = itemInfo.ViewType;
    if ((itemInfo.Selected && IsToolbarView(vt)) || IsPlainPopupView(vt)) {
        SplitGradient(dc, r, body, light, vertical);
    } else if (IsHot(itemInfo) && (IsToolbarView(vt) || IsPopupView(vt))) {
        if (itemInfo.Pushed)
            LinearGradient(dc, r, light, body, vertical);
        else if (IsPlainPopupView(vt) || (!itemInfo.IsVertical && IsViewKind(vt, VT_MENUBAR)))
            SplitGradient(dc, r, body, light, vertical);
        else
            LinearGradient(dc, r, body, light, vertical);
    } else {
        FillRectColor(dc, r, body);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxTristanTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCentredDropDownTriangle(canvas->GetHandle(), rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxTristanTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   const std::string& caption, unsigned format, bool rotated) {
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemTextColor(itemInfo);
    DrawCaptionText(canvas, rect, caption, color, format, rotated);
}

void TTxTristanTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCheckTick(canvas->GetHandle(), (rect.Left + rect.Right) / 2 - 2, (rect.Top + rect.Bottom) / 2,
                  ButtonPart(itemInfo, cpText));
}

void TTxTristanTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    if (itemInfo.Enabled && IsHot(itemInfo))
        SplitGradient(dc, rect, ItemPart(itemInfo, cpBody), FUnit->Colors.TristanLightColor, true);
    TRect r = rect;
    FrameRectColor(dc, r, ItemPart(itemInfo, cpFrame), true);
}

void TTxTristanTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = rect;
    gcl::InflateRect(r, -w, -w);
    if (!itemInfo.Enabled && !IsOpaqueToolbarItem(itemInfo))
        FrameRectColor(dc, r, FCache.ButtonColorTable[brDisabled][cpText], true);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    const bool noFrame = !IsToolbarView(itemInfo.ViewType) && ItemPart(itemInfo, cpFrame) == clNone;
    if (itemInfo.Enabled) {
        if (noFrame)
            FrameRectColor(dc, r, clBtnFace, true);
        else
            FrameRectColor(dc, r, clWindow, false);
    }
    gcl::InflateRect(r, -1, -1);
    if (itemInfo.Enabled) {
        FillRectColor(dc, r, clWindow);
        if (noFrame) {
            TRect inner = rect;
            gcl::InflateRect(inner, -1, -1);
            FrameRectColor(dc, inner, clBtnFace, false);
        }
    }
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxTristanTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const bool toolbarView = IsToolbarView(itemInfo.ViewType), opaque = IsOpaqueToolbarItem(itemInfo);
    TRect outer = rect;
    gcl::InflateRect(outer, 1, 1);
    outer.Left += 1;
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        if (!disabled) {
            if (!(state & EBDS_PRESSED) && !hot && !opaque) {
                if (toolbarView) {
                    outer = rect;
                    FrameRectColor(dc, outer, clWindow, true);
                }
            } else {
                PaintButton(canvas, outer, itemInfo);
            }
        }
        PaintDropDownArrow(canvas, outer, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const TColor light = FUnit->Colors.TristanLightColor;
    for (int half = 0; half < 2; ++half) {
        const bool up = half == 0;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (up ? EBSS_UP : EBSS_DOWN)) != 0;
        TRect h = SpinHalf(outer, up);
        if (!disabled) {
            if (hot || info.Pushed || opaque) {
                const TColor body = ButtonPart(info, cpBody);
                if (info.Pushed)
                    SplitGradient(dc, h, light, body, true);
                else if (hot)
                    SplitGradient(dc, h, body, light, true);
                FrameRectColor(dc, h, ButtonPart(info, cpFrame), true);
            } else if (toolbarView) {
                h.Left = rect.Left;
                h.Right = rect.Right;
                if (up)
                    h.Top = rect.Top;
                else
                    h.Bottom = rect.Bottom;
                FrameRectColor(dc, h, clWindow, true);
            }
        }
        DrawCentredSpinTriangle(dc, h, up, ItemPart(info, cpText));
    }
}

void TTxTristanTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 TCustomImageList* imageList, int imageIndex) {
    PaintItemImage(canvas, rect, itemInfo, imageList, imageIndex, ItemImageBackground(itemInfo));
}

void TTxTristanTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
        gcl::InflateRect(r, -1, 0);
        canvas->GetBrush()->SetColor(FCache.ToolbarBackground);
    }
    PaintControlFrame(canvas, r, itemInfo);
}

void TTxTristanTheme::PaintCheckArea(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     bool lineWhenHot) {
    if (!itemInfo.Selected || !itemInfo.Enabled) return;
    HDC dc = canvas->GetHandle();
    TRect c = rect;
    gcl::InflateRect(c, -1, -1);
    c.Left += 1;
    c.Right = c.Left + itemInfo.PopupMargin - 2;
    const TColor frame = ButtonPart(itemInfo, cpFrame);
    if (itemInfo.HoverKind == 0)
        FrameRectColor(dc, c, frame, true);
    else if (lineWhenHot)
        DrawLineColor(dc, c.Right, c.Top, c.Right, c.Bottom, frame);
    SplitGradient(dc, c, ButtonPart(itemInfo, cpBody), FUnit->Colors.TristanLightColor, true);
}

void TTxTristanTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    PaintMenuItemFrame(canvas, rect, itemInfo);
    PaintPopupItemMarks(canvas->GetHandle(), rect, itemInfo, FCache.MenuSeparatorColor, ItemPart(itemInfo, cpFrame),
                        ItemPart(itemInfo, cpText));
    PaintCheckArea(canvas, rect, itemInfo, FVariant.LineBesideHotCheck);
}

void TTxTristanTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     bool horizontal, bool) {
    HDC dc = canvas->GetHandle();
    const TColor gradientColor = FUnit->Colors.TristanGradientColor;
    if (horizontal) {
        TRect r = rect;
        TColor pen = FCache.SeparatorColor;
        if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
            r.Left += itemInfo.PopupMargin + 9;
            pen = FCache.MenuSeparatorColor;
        }
        if (IsToolbarView(itemInfo.ViewType)) {
            const int y = r.Bottom / 2;
            DrawLineColor(dc, r.Left + 4, y, r.Right - 2, y, gcl::clWhite);
            DrawLineColor(dc, r.Left + 3, y - 1, r.Right - 3, y - 1, gradientColor);
        } else {
            DrawLineColor(dc, r.Left, r.Bottom / 2, r.Right - 2, r.Bottom / 2, pen);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, gcl::clWhite);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, gradientColor);
    }
}

void TTxTristanTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    PaintTablePageScrollButton(canvas->GetHandle(), rect, direction, hot, FCache);
}

void TTxTristanTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    const TFrameControlColors colors = TableFrameControlColors(FCache, state);
    PaintCheckRadio(canvas, rect, kind, state, colors);
}

} // namespace qelvo

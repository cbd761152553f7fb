// The Zezio theme: its colour cache, metrics and painting.
#include "themes/TxZezioTheme.h"
#include "themes/ThemePaint.h"

#include "theming/TxDefaultTheme.h"
#include "theming/TxUtils.h"
#include "themes/TxTristanTheme.h"
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

namespace {

TThemeStock ZezioStock{false};

constexpr TColor cl3DDkShadow = static_cast<TColor>(0xFF000015);
// The close cross of docked toolbars, 7 x 7.
constexpr uint16_t ToolbarCloseGlyph[7] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00};


// A gradient from `top` at the top edge to `bottom` at the bottom edge.
void G(TCanvas* canvas, const TRect& r, TColor top, TColor bottom) { GradientFillCanvas(canvas, r, bottom, top, true); }

} // namespace

void PaintShadedStatusBar(HDC dc, const TRect& rect, TColor firstRow) {
    FillRectColor(dc, rect, clBtnFace);
    DrawLineColor(dc, rect.Left, rect.Top, rect.Right, rect.Top, firstRow);
    const int top[4] = {128, 64, 32, 12};
    for (int i = 0; i < 4; ++i)
        DrawLineColor(dc, rect.Left, rect.Top + 1 + i, rect.Right, rect.Top + 1 + i,
                      BlendColorNearest(clBtnShadow, clBtnFace, top[i]));
    const int bottom[3] = {8, 16, 24};
    for (int i = 0; i < 3; ++i)
        DrawLineColor(dc, rect.Left, rect.Bottom - 3 + i, rect.Right, rect.Bottom - 3 + i,
                      BlendColorNearest(clBtnShadow, clBtnFace, bottom[i]));
}

GCL_IMPLEMENT_CLASS(TTxZezioTheme)

TTxZezioTheme::TTxZezioTheme(const std::string& name) : TTxZezioTheme(name, ZezioStock) {}

TTxZezioTheme::TTxZezioTheme(const std::string& name, TThemeStock& stock)
    : TTxCacheTheme(name, stock, FCache, TPartFallbacks{clBtnShadow, true}) {}

// ---- Colour cache ----------------------------------------------------------------

void TTxZezioTheme::SetupColorCache() {
    CurrentCacheFormulas().Zezio(FCache, FColors);
}

// ---- Colours and metrics --------------------------------------------------------------

TColor TTxZezioTheme::ItemTextColor(const TTxItemInfo& info) {
    const bool toolbarStyle = (info.ItemOptions & IO_TOOLBARSTYLE) != 0;
    if (!toolbarStyle && !info.Enabled && info.HoverKind == 1) return clBtnShadow;
    if (!info.Enabled) return FColors.DisabledGlyphColor;
    if (!IsMenuBarView(info.ViewType) && toolbarStyle) return clBtnText;
    if (info.HoverKind != 0) return clHighlightText;
    if (IsMenuBarView(info.ViewType) && !(info.ItemOptions & IO_APPACTIVE)) return clGrayText;
    return clMenuText;
}

int TTxZezioTheme::PopupShadowKind() { return 3; }

int TTxZezioTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 20: return 8;
    case 21:
    case 32:
    case 33:
    case 34:
    case 35: return 3;
    case 36:
    case 37:
    case 61:
    case 62: return 2;
    case 50: return 5;
    case 60:
    case 66: return 1;
    case 65: return 14;
    default: return -1;
    }
}

// ---- Backgrounds and frames --------------------------------------------------------------

void TTxZezioTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                    TColor color, bool transparent, uint32_t viewType) {
    if (transparent) return;
    if (IsViewKind(viewType, VT_DOCKPANEL) || IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE)) {
        TRect r;
        if (gcl::IntersectRect(r, rect, clipRect)) FillRectColor(canvas->GetHandle(), r, color);
        return;
    }
    FillStriped(canvas->GetHandle(), rect, clipRect, color, TStripes{});
}

void TTxZezioTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int) {
    FillRectColor(canvas->GetHandle(), dockRect, clBtnFace);
}

void TTxZezioTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    PaintCachePopupFrame(canvas->GetHandle(), rect, info.ParentItemRect, FCache, FCache.ToolbarBackground);
}

void TTxZezioTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const uint32_t vt = info.ViewType;
    TRect back = rect;
    back.Top += info.IsVertical ? 1 : -1;
    PaintBackground(canvas, TRect{}, back, back, IsMenuBarView(vt) ? FCache.MenuBarBackground : FCache.ToolbarBackground,
                    false, 0);
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    if (IsViewKind(vt, VT_TOOLBAR) || IsViewKind(vt, VT_MENUBAR) || IsViewKind(vt, VT_GRADIENTTOOLBAR)) {
        DrawLineColor(dc, L, T, R - 1, T, clBtnHighlight);
        DrawLineColor(dc, L, T, L, B - 1, clBtnHighlight);
        DrawLineColor(dc, IsMenuBarView(vt) ? L : L + 1, B - 1, R, B - 1, clBtnShadow);
        DrawLineColor(dc, R - 1, T + 1, R - 1, B - 1, clBtnShadow);
    }
    const TRect r = Inset(rect, 2);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.AllowDrag && info.DragHandleStyle != 1) {
        const int h = GetDragHandleSize(info);
        const TColor line = MixColors(clBtnFace, clBtnHighlight, 50);
        if (!info.IsVertical) {
            TRect a{r.Left, r.Top + 2, r.Left + h - 1, r.Bottom - 2};
            if (closeButton) a = TRect{a.Left + 4, a.Top + h - 2, a.Right - 4, a.Bottom};
            GradientFillCanvas(canvas, a, clBtnFace, clBtnShadow, false);
            if (a.Right > a.Left) DrawLineColor(dc, a.Left, a.Top + 1, a.Left, a.Bottom - 1, line);
        } else {
            TRect a{r.Left + 2, r.Top, r.Right - 2, r.Top + h - 1};
            if (closeButton) a = TRect{a.Left, a.Top + 4, a.Right - (h - 2), a.Bottom - 4};
            GradientFillCanvas(canvas, a, clBtnFace, clBtnShadow, true);
            if (a.Bottom > a.Top) DrawLineColor(dc, a.Left + 1, a.Top, a.Right - 1, a.Top, line);
        }
    }
    if (closeButton) {
        TRect c;
        CalcToolbarCloseButtonRect(info, c);
        c.Bottom -= 2;
        if (!info.IsVertical)
            c.Right -= 2;
        else
            c.Left += 2;
        TRect glyph = c;
        if (info.CloseButtonState & CDBS_PRESSED) {
            DrawEdgeRect(dc, c, BDR_SUNKENOUTER, BF_RECT);
            gcl::OffsetRect(glyph, 1, 1);
        } else if (info.CloseButtonState & CDBS_HOT) {
            DrawEdgeRect(dc, c, BDR_RAISEDINNER, BF_RECT);
        }
        DrawGlyphCentered(dc, glyph, 7, 7, ToolbarCloseGlyph, clBtnText);
    }
}

void TTxZezioTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    HDC dc = canvas->GetHandle();
    const int s = GetSystemMetrics(SM_CYSMCAPTION);
    TRect r = rect;
    FrameRectColor(dc, r, FCache.ToolbarBackground, true);
    const bool shown = info.ShowCaption();
    TRect client = r;
    if (shown) {
        if (info.IsVertical)
            client.Top += s;
        else
            client.Left += s;
    }
    FrameRectColor(dc, client, clWindow, false);
    if (!shown) return;
    TRect band = info.IsVertical ? TRect{r.Left, r.Top, r.Right, r.Top + s} : TRect{r.Left, r.Top, r.Left + s, r.Bottom};
    DrawEdgeRect(dc, band, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    auto captionFill = [&](const TRect& area) {
        if (VisualStylesOn)
            DrawGradient(dc, area, ShiftColor(FCache.ToolbarBackground, 12), ShiftColor(FCache.ToolbarBackground, -12),
                         info.IsVertical);
        else
            FillRectColor(dc, area, FCache.ToolbarBackground);
    };
    TRect text = band;
    if (info.CloseButtonState & CDBS_VISIBLE) {
        TRect square;
        if (info.IsVertical) {
            square = TRect{band.Right - s, band.Top, band.Right, band.Bottom};
            text.Right = square.Left;
        } else {
            square = TRect{band.Left, band.Bottom - s, band.Right, band.Bottom};
            text.Bottom = square.Top;
        }
        captionFill(square);
        square = Inset(square, 1);
        if (info.IsVertical)
            square.Left += 1;
        else
            square.Bottom -= 1;
        if (info.CloseButtonState & CDBS_PRESSED) {
            TRect edge = square;
            DrawEdgeRect(dc, edge, BDR_SUNKENOUTER, BF_RECT);
            gcl::OffsetRect(square, 1, 1);
        } else if (info.CloseButtonState & CDBS_HOT) {
            TRect edge = square;
            DrawEdgeRect(dc, edge, BDR_RAISEDINNER, BF_RECT);
        }
        DrawMonoGlyph(canvas, Inset(square, 2), clBtnText);
    }
    captionFill(text);
    if (info.IsVertical)
        gcl::InflateRect(text, -2, 0);
    else
        gcl::InflateRect(text, 0, -2);
    DrawSmallCaption(canvas, text, info.Caption, clBtnText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, !info.IsVertical);
}

void TTxZezioTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    if (info.RedrawPart & RP_FRAME) {
        TRect inner = rect;
        gcl::InflateRect(inner, -info.BorderSize.X, -info.BorderSize.Y);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
        TRect edge = rect;
        DrawEdgeRect(dc, edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        RestoreDC(dc, saved);
    }
    if (!info.ShowCaption) return;
    BOOL gradient = FALSE;
    SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    TRect square;
    if (closeButton) {
        CalcFloatingCloseButtonRect(info, true, square);
        square = Inset(square, 2);
    }
    if (info.RedrawPart & RP_CAPTION) {
        TRect bar;
        CalcFloatingCaptionRect(info, CR_OFFSET | (closeButton ? CR_EXCLUDECLOSEBUTTON : 0), bar);
        const int saved = SaveDC(dc);
        if (closeButton) ExcludeClipRect(dc, square.Left, square.Top, square.Right, square.Bottom);
        UINT flags = DC_SMALLCAP | DC_TEXT;
        if (info.Active) flags |= DC_ACTIVE;
        if (gradient) flags |= DC_GRADIENT;
        RECT r = gcl::ToRECT(bar);
        if (!info.WindowHandle || !DrawCaption(info.WindowHandle, dc, &r, flags)) {
            // No window to take the caption from (a frame painted off screen):
            // the caption colours and the text as the system would show them.
            const TColor first = static_cast<TColor>(0xFF000000 | (info.Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
            const TColor second = static_cast<TColor>(
                0xFF000000 | (info.Active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION));
            DrawGradient(dc, bar, first, gradient ? second : first, false);
            DrawSmallCaption(canvas, Inset(bar, 2), info.Caption, static_cast<TColor>(0xFF000000 | (info.Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)), DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX, false);
        }
        if (closeButton) {
            TRect ring;
            CalcFloatingCloseButtonRect(info, true, ring);
            const int index = gradient ? (info.Active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION)
                                       : (info.Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
            FillRectColor(dc, ring, static_cast<TColor>(0xFF000000 | index));
        }
        RestoreDC(dc, saved);
        FillRectColor(dc, TRect{bar.Left, bar.Bottom, closeButton ? square.Right + 2 : bar.Right, bar.Bottom + 1},
                      clBtnFace);
    }
    if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) {
        RECT r = gcl::ToRECT(square);
        DrawFrameControl(dc, &r, DFC_CAPTION,
                         DFCS_CAPTIONCLOSE | ((info.CloseButtonState & CDBS_PRESSED) ? DFCS_PUSHED : 0));
    }
}

void TTxZezioTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: PaintShadedStatusBar(dc, rect, MixColors(clBtnShadow, cl3DDkShadow, 70)); break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawDottedLine(dc, x, rect.Top, rect.Bottom - 1, false, FCache.StatusPaneDotColor);
        break;
    }
    case 3:
        DrawFaceSizeGrip(dc, rect);
        break;
    default: break;
    }
}

// ---- Items ------------------------------------------------------------------------------

void TTxZezioTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    int l = 0, rc = 0;
    ItemOutlineCuts(itemInfo, r, l, rc);
    const bool hot = IsItemHot(itemInfo);
    if (IsOpaqueToolbarItem(itemInfo) && !hot) {
        if (itemInfo.Enabled) FillRectColor(dc, Inset(r, 1), FCache.ToolbarBackground);
        DrawCutCornerFrameAlt(canvas, r, l, rc, itemInfo.Enabled ? clBtnShadow : clBtnFace, clNone);
        return;
    }
    const bool down = (itemInfo.Pushed || itemInfo.Selected) && itemInfo.Enabled;
    if (IsMenuBarView(itemInfo.ViewType)) {
        if (down || hot) PaintBackground(canvas, TRect{}, r, r, FCache.MenuItemColorTable[mrHot][cpBody], false, 0);
        return;
    }
    const TColor halfShadow = MixColors(clBtnShadow, clBtnFace, 50);
    if (down) {
        const TRect inner = Inset(r, 1);
        if (itemInfo.Pushed) {
            G(canvas, inner, MixColors(clBtnFace, clBtnShadow, 60), MixColors(clBtnHighlight, clBtnFace, 60));
            DrawCutCornerFrameAlt(canvas, r, l, rc, clBtnShadow, halfShadow);
            DrawLineColor(dc, r.Left + l, r.Top + 1, r.Right - rc, r.Top + 1, MixColors(clBtnFace, clBtnShadow, 45));
        } else if (itemInfo.HoverKind != 0) {
            G(canvas, inner, clBtnHighlight, clBtnFace);
            DrawCutCornerFrameAlt(canvas, r, l, rc, ButtonPart(itemInfo, cpFrame), clNone);
        } else {
            G(canvas, inner, clBtnFace, clBtnHighlight);
            DrawCutCornerFrameAlt(canvas, r, l, rc, clBtnShadow, halfShadow);
            DrawLineColor(dc, r.Left + l, r.Top + 1, r.Right - rc, r.Top + 1, MixColors(clBtnShadow, clBtnFace, 25));
        }
    } else if (hot || (itemInfo.ItemOptions & IO_DESIGNING)) {
        G(canvas, Inset(r, 1), clBtnHighlight, clBtnFace);
        DrawCutCornerFrameAlt(canvas, r, l, rc, ButtonPart(itemInfo, cpFrame), clNone);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxZezioTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 const std::string& caption, unsigned format, bool rotated) {
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemTextColor(itemInfo);
    TRect r = rect;
    const int offset = PressOffset(itemInfo);
    gcl::OffsetRect(r, offset, offset);
    DrawCaptionText(canvas, r, caption, color, format, rotated);
}

void TTxZezioTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCheckTick(canvas->GetHandle(), (rect.Left + rect.Right) / 2 - 2, (rect.Top + rect.Bottom) / 2,
                  itemInfo.Enabled ? TColor{0x000000} : FCache.MenuItemColorTable[mrDisabled][cpText]);
}

void TTxZezioTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const TColor color = !itemInfo.Enabled                              ? FColors.DisabledGlyphColor
                         : (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? clBtnText
                                                                     : clMenuText;
    const int p = PressOffset(itemInfo);
    const int x = (rect.Left + rect.Right) / 2 + p, y = (rect.Top + rect.Bottom) / 2 + p;
    if (itemInfo.IsPopupParent == 2 || itemInfo.IsPopupParent == 3) {
        DrawDropDownTriangle(dc, x, y, itemInfo.IsVertical, color);
    } else if (!itemInfo.IsVertical) {
        DrawTriangle(dc, {x - 2, y + 1}, {x + 2, y + 1}, {x, y + 3}, color);
        DrawTriangle(dc, {x - 2, y - 2}, {x + 2, y - 2}, {x, y - 4}, color);
    } else {
        DrawTriangle(dc, {x - 1, y + 2}, {x - 1, y - 2}, {x - 3, y}, color);
        DrawTriangle(dc, {x + 2, y + 2}, {x + 2, y - 2}, {x + 4, y}, color);
    }
}

void TTxZezioTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (itemInfo.Enabled || itemInfo.HoverKind == 1) {
        if (!itemInfo.Pushed && !itemInfo.Selected && itemInfo.HoverKind == 0 && !(itemInfo.ItemOptions & IO_DESIGNING))
            return;
        const TColor color = itemInfo.Pushed ? FCache.ButtonColorTable[brChecked][cpFrame] : ItemPart(itemInfo, cpFrame);
        DrawCutCornerFrameAlt(canvas, rect, 1, 1, color, clNone);
        return;
    }
    TRect r = Inset(rect, 1);
    FrameRectColor(canvas->GetHandle(), r, FCache.ToolbarBackground, false);
}

void TTxZezioTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = Inset(rect, w);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    const TColor frame = itemInfo.Enabled ? (itemInfo.HoverKind != 0 ? FColors.EditFrameHotColor : FColors.EditFrameColor)
                                          : (itemInfo.HoverKind != 0 ? clWindow : FCache.ButtonColorTable[brDisabled][cpFrame]);
    FrameRectColor(dc, r, frame, true);
    if (itemInfo.Enabled) FillRectColor(dc, r, clWindow);
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxZezioTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                    const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const bool opaque = IsOpaqueToolbarItem(itemInfo);
    TRect face = rect;
    face.Left += 1;
    // One face: the gradient of a pushed or hot part, else the framed box;
    // answers the colour of the line along its left edge.
    auto paintFace = [&](TRect part, bool pushed, bool shortGradient) {
        TRect g = part;
        if (shortGradient) g.Bottom -= 1;
        if (pushed) {
            G(canvas, g, MixColors(clBtnFace, clBtnShadow, 60), MixColors(clBtnHighlight, clBtnFace, 60));
            DrawLineColor(dc, part.Left, part.Top, part.Right, part.Top, MixColors(clBtnFace, clBtnShadow, 45));
            return TColor{clBtnShadow};
        }
        if (hot) {
            G(canvas, g, clBtnHighlight, clBtnFace);
            return FColors.EditFrameColor;
        }
        if (opaque) FillRectColor(dc, part, FCache.ToolbarBackground);
        FrameRectColor(dc, part, FColors.EditFrameColor, false);
        return FColors.EditFrameColor;
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        if (disabled) {
            TRect f = face;
            FrameRectColor(dc, f, FCache.ButtonColorTable[brDisabled][cpFrame], false);
        } else {
            const TColor pen = paintFace(face, (state & EBDS_PRESSED) != 0, false);
            DrawLineColor(dc, face.Left, face.Top, face.Left, face.Bottom, pen);
        }
        PaintDropDownArrow(canvas, face, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const TColor arrow = disabled ? FColors.DisabledGlyphColor
                         : (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? clBtnText
                                                                     : clMenuText;
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (upper ? EBSS_UP : EBSS_DOWN)) != 0;
        TRect h = SpinHalf(face, upper);
        if (!upper && (hot || info.Pushed)) h.Top += 1;
        if (!disabled) {
            const TColor pen = paintFace(h, info.Pushed, upper && (info.Pushed || hot || opaque));
            if (upper) {
                DrawLineColor(dc, h.Left, h.Top, h.Left, h.Bottom, pen);
            } else {
                const TPoint line[3] = {{h.Left, h.Bottom - 1}, {h.Left, h.Top}, {h.Right, h.Top}};
                PolylineColor(dc, line, 2, pen);
            }
        }
        const int p = PressOffset(info);
        const int x = (h.Left + h.Right) / 2 + p;
        DrawSpinTriangle(dc, x, (upper ? (h.Top + h.Bottom - 1) / 2 : (h.Top + h.Bottom) / 2) + p, upper, arrow);
    }
}

void TTxZezioTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                               TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, clBtnShadow);
    } else if (itemInfo.Selected || itemInfo.Pushed || itemInfo.HoverKind != 0) {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark && BrightenActiveImage());
    } else if (dark || LowColorScreen || WhiteButtonFace) {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else {
        DrawImageTinted(canvas, rect, imageList, imageIndex, clWindow, 255);
    }
}

void TTxZezioTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (IsItemHot(itemInfo))
        PaintBackground(canvas, TRect{}, rect, rect, FCache.MenuItemColorTable[mrHot][cpBody], false, 0);
}

void TTxZezioTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int s = GetSystemMetrics(SM_CXMENUCHECK);
    TRect frame = rect;
    if (itemInfo.ImageWidth > 0 || itemInfo.Selected) frame.Left += IntegerMetric(32) + itemInfo.PopupMargin;
    PaintMenuItemFrame(canvas, frame, itemInfo);
    const TColor text = ItemPart(itemInfo, cpText);
    if (itemInfo.ItemOptions & IO_COMBO) {
        const int x = rect.Right - s - 1;
        const TColor color = !itemInfo.Enabled ? text : itemInfo.HoverKind == 2 ? TColor{0xFFFFFF} : FCache.MenuSplitLineColor;
        DrawLineColor(dc, x, rect.Top + 1, x, rect.Bottom - 1, color);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const int x = rect.Right - (2 * s) / 3 - 1, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, text);
    }
    if (!itemInfo.Selected || !itemInfo.Enabled) return;
    const TRect box{rect.Left + 1, rect.Top, rect.Left + 1 + itemInfo.PopupMargin, rect.Bottom};
    if (itemInfo.HoverKind == 0 && !itemInfo.Pushed) {
        G(canvas, Inset(box, 1), clBtnFace, clBtnHighlight);
        DrawCutCornerFrameAlt(canvas, box, 2, 2, clBtnShadow, MixColors(clBtnShadow, clBtnFace, 50));
        DrawLineColor(dc, box.Left + 2, box.Top + 1, box.Right - 2, box.Top + 1, MixColors(clBtnShadow, clBtnFace, 25));
    } else {
        G(canvas, Inset(box, 1), clBtnHighlight, clBtnFace);
        DrawCutCornerFrameAlt(canvas, box, 2, 2, ButtonPart(itemInfo, cpFrame), clNone);
    }
}

void TTxZezioTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    static constexpr UINT Arrows[5] = {0, DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
    if (direction < 1 || direction > 4) return;
    RECT r = gcl::ToRECT(rect);
    DrawFrameControl(canvas->GetHandle(), &r, DFC_SCROLL, Arrows[direction] | (hot ? DFCS_FLAT : 0));
}

void TTxZezioTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                   bool) {
    if (!itemInfo.Enabled) return;
    if (horizontal)
        DrawDottedLine(canvas->GetHandle(), rect.Bottom / 2, rect.Left, rect.Right, true, 0x000000);
    else
        DrawDottedLine(canvas->GetHandle(), rect.Right / 2, rect.Top, rect.Bottom, false, 0x000000);
}

void TTxZezioTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    HDC dc = canvas->GetHandle();
    const bool disabled = state & PFS_DISABLED, pushed = state & PFS_PUSHED, hot = state & PFS_HOT,
               marked = state & (PFS_CHECKED | PFS_MIXED);
    const auto& table = FCache.ButtonColorTable;
    const TColor mark = disabled              ? table[brDisabled][cpText]
                        : pushed              ? table[brPushed][cpText]
                        : (state & PFS_MIXED) ? clBtnShadow
                        : hot                 ? table[brHot][cpText]
                                              : table[brNormal][cpText];
    const TColor outline = hot && !pushed ? table[brHot][cpFrame] : clBtnShadow;
    const TColor topRow = MixColors(clBtnShadow, clBtnFace, 25);
    const TRect r = Inset(rect, 1);
    if (kind == PFC_CHECKBOX) {
        if (hot && pushed)
            G(canvas, r, MixColors(clBtnFace, clBtnShadow, 60), MixColors(clBtnHighlight, clBtnFace, 60));
        else if (hot)
            G(canvas, r, clBtnHighlight, clBtnFace);
        else if (marked)
            G(canvas, r, clBtnFace, clBtnHighlight);
        if ((hot && pushed) || (!hot && marked)) DrawLineColor(dc, r.Left, r.Top, r.Right, r.Top, topRow);
        DrawCutOutline(dc, rect, 0, 0, outline);
        if (marked) FillCheckTick(dc, (rect.Left + rect.Right) / 2 - 1, (rect.Top + rect.Bottom) / 2 + 1, mark);
        return;
    }
    // Rows from the bottom colour up to the top one, the top row in its own colour when given.
    auto round = [&](TColor bottom, TColor top, TColor first) {
        FillRoundGradient(dc, r, bottom, top, false);
        const int inset = RadioRowInset(0);
        if (first != clNone && r.Right - inset > r.Left + inset)
            FillRectColor(dc, TRect{r.Left + inset, r.Top, r.Right - inset, r.Top + 1}, first);
    };
    if (hot && pushed)
        round(MixColors(clBtnHighlight, clBtnFace, 60), MixColors(clBtnFace, clBtnShadow, 60), topRow);
    else if (hot)
        round(clBtnFace, clBtnHighlight, clNone);
    else if (marked)
        round(clBtnHighlight, clBtnFace, topRow);
    DrawRadioRing(dc, rect, outline);
    if (state & PFS_CHECKED) {
        canvas->GetPen()->SetColor(mark);
        canvas->GetBrush()->SetColor(mark);
        canvas->Ellipse(Inset(rect, 4));
    }
}

} // namespace qelvo

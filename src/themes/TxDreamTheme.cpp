// The Dream theme: its colour cache and the painting that differs from
// NexosX.
#include "themes/TxDreamTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnShadow;
using gcl::clHighlight;
using gcl::clWindow;

namespace {

TNexosUnitState DreamUnit{TThemeStock{true},
                          DreamInitialOptions(),
                          TNexosColors{}};

constexpr TColor GradientDark = DreamGradientDark;

// A white embossed dimple with a dark (grip) or white (size grip) centre.
void DrawDreamDimple(HDC dc, int x, int y, TColor centre) {
    for (const TPoint p : {TPoint{x, y}, TPoint{x, y + 1}, TPoint{x + 1, y}}) SetPixelColor(dc, p.X, p.Y, 0xFFFFFF);
    SetPixelColor(dc, x + 1, y + 1, centre);
    for (const TPoint p : {TPoint{x + 1, y + 2}, TPoint{x + 2, y + 2}, TPoint{x + 2, y + 1}, TPoint{x + 2, y}, TPoint{x, y + 2}})
        SetPixelColor(dc, p.X, p.Y, 0xB0B0B0);
}

// White at the start edge, the grey of the bars at the far one, over
// rect but only inside visible.
void FillDreamGradient(HDC dc, const TRect& rect, const TRect& visible, bool vertical) {
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, visible.Left, visible.Top, visible.Right, visible.Bottom);
    FillLineGradient(dc, rect, GradientDark, 0xFFFFFF, vertical);
    RestoreDC(dc, saved);
}

} // namespace

TColor DreamToolbarShadowColor = 0xB0B0B0;

GCL_IMPLEMENT_CLASS(TTxDreamTheme)

TTxDreamTheme::TTxDreamTheme(const std::string& name) : TTxNexosXTheme(name, DreamUnit) {
    FDockColor = 0xE0E0E0;
}

void TTxDreamTheme::SetupColorCache() {
    DreamToolbarShadowColor = 0xB0B0B0;
    CurrentCacheFormulas().Dream(*FCache);
}

int TTxDreamTheme::IntegerMetric(int index) {
    return index == 35 ? 7 : TTxNexosFamilyTheme::IntegerMetric(index);
}

void TTxDreamTheme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupMenuView(viewType) && !IsToolbarView(viewType))
        border = {1, 2};
    else
        TTxNexosXTheme::ViewBorder(viewType, border);
}

void TTxDreamTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                    TColor color, bool transparent, uint32_t viewType) {
    TRect visible;
    if (transparent || !gcl::IntersectRect(visible, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const RECT v = gcl::ToRECT(visible);
    if (!RectVisible(dc, &v)) return;
    if (IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE) || IsPopupView(viewType))
        FillRectColor(dc, visible, color);
    else
        FillDreamGradient(dc, rect, visible, rect.Right > rect.Bottom);
}

void TTxDreamTheme::PaintWarmFace(HDC dc, const TRect& rect, bool hot) {
    if (hot)
        FillLineGradient(dc, rect, 0x80E0FF, 0x2090E8, true);
    else
        FillLineGradient(dc, rect, 0xF0FDFF, 0xD0F8FF, true);
    const TPoint edge[3] = {{rect.Left, rect.Bottom - 2}, {rect.Left, rect.Top}, {rect.Right, rect.Top}};
    PolylineColor(dc, edge, 2, hot ? 0x60B0E8 : 0xB0D4DF);
}

void TTxDreamTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    int lc = 0, rc = 0;
    ItemOutlineCuts(itemInfo, r, lc, rc);
    if (itemInfo.IsPopupParent == 2) rc = 0;
    TRect inner = r;
    gcl::InflateRect(inner, -1, -1);
    const bool hot = IsHot(itemInfo);
    if (IsOpaqueToolbarItem(itemInfo) && !hot) {
        FillRectColor(dc, inner, itemInfo.Enabled ? Cache().ToolbarBackground : TColor{0xF0F0F0});
        if (itemInfo.Enabled)
            DrawCutCornerFrame(canvas, r, lc, rc, 0x808080, clNone, 0xA0A0A0);
        else
            DrawCutCornerFrame(canvas, r, lc, rc, 0xF0F0F0, clNone, 0xC0C0C0);
    }
    const bool active = itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected);
    if (IsMenuBarView(itemInfo.ViewType)) {
        if (!hot && !active) return;
        if (itemInfo.Pushed) {
            FillRectColor(dc, inner, GradientDark);
            DrawCutCornerFrame(canvas, r, lc, rc, 0x808080, clNone, 0x909090);
        } else {
            DrawCutCornerFrame(canvas, r, lc, rc, Cache().ButtonColorTable[brHot][cpFrame], clNone, 0xC0C0C0);
        }
        return;
    }
    if (active) {
        if (itemInfo.Pushed) {
            DrawCutOutline(dc, r, 1, 1, 0xD0D0D0);
            FillGlassGradient(dc, inner, 0xFFFFFF, 0xC0C0C0, true);
            DrawCutOutline(dc, r, lc, rc, 0x909090);
        } else {
            PaintWarmFace(dc, inner, hot);
            DrawCutOutline(dc, r, 1, 1, 0xA0A0A0);
            DrawCutOutline(dc, r, lc, rc, 0x808080);
        }
    } else if (hot || (itemInfo.ItemOptions & IO_DESIGNING)) {
        DrawCutOutline(dc, r, 1, 1, 0xE0E0E0);
        FillRectColor(dc, inner, 0xF4F0F0);
        DrawCutOutline(dc, r, lc, rc, ButtonPart(itemInfo, cpFrame));
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

TColor TTxDreamTheme::CheckMarkColor(const TTxItemInfo& itemInfo) const { return ButtonPart(itemInfo, cpText); }

void TTxDreamTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCentredDropDownTriangle(canvas->GetHandle(), rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxDreamTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                    const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    if (buttonInfo.ButtonType != EBT_DROPDOWN && buttonInfo.ButtonType != EBT_SPIN) return;
    TRect r = rect;
    r.Left += 1;
    auto plainFace = [&](const TRect& part) {
        if (IsOpaqueToolbarItem(itemInfo)) FillRectColor(dc, part, 0xF4F0F0);
        TRect f = part;
        FrameRectColor(dc, f, 0xD0D0D0, false);
    };
    const bool spin = buttonInfo.ButtonType == EBT_SPIN;
    const int middle = (r.Top + r.Bottom + 1) / 2;
    for (int half = 0; half < (spin ? 2 : 1); ++half) {
        TRect h = r;
        if (spin && half == 0) h.Bottom = middle;
        if (spin && half == 1) h.Top = (r.Top + r.Bottom) / 2;
        const bool pushed = spin ? (state & (half == 0 ? EBSS_UP : EBSS_DOWN)) != 0 : (state & EBDS_PRESSED) != 0;
        if (disabled) {
            if (!spin) {
                TRect f = h;
                FrameRectColor(dc, f, Cache().ButtonColorTable[brDisabled][cpFrame], false);
            }
        } else if (pushed) {
            FillGlassGradient(dc, h, 0xFFFFFF, 0xC0C0C0, true);
            if (!spin) DrawLineColor(dc, h.Left - 1, h.Top, h.Left - 1, h.Bottom, 0x808080);
        } else if (hot) {
            FillRectColor(dc, h, 0xF4F0F0);
            if (!spin) DrawLineColor(dc, h.Left - 1, h.Top, h.Left - 1, h.Bottom, 0x808080);
        } else {
            if (!spin) DrawLineColor(dc, h.Left - 1, h.Top + 1, h.Left - 1, h.Bottom - 1, 0xFFFFFF);
            plainFace(h);
        }
        if (spin && !disabled) {
            // The separating line of a half: down the upper half's left edge;
            // up the lower half's left edge and along its top.
            TColor line = 0x808080;
            if (!pushed && !hot)
                line = IsOpaqueToolbarItem(itemInfo)      ? ButtonPart(itemInfo, cpFrame)
                       : IsToolbarView(itemInfo.ViewType) ? TColor{0xFFFFFF}
                                                          : TColor{gcl::clWindow};
            if (half == 0) {
                DrawLineColor(dc, h.Left, h.Top, h.Left, h.Bottom, line);
            } else {
                const TPoint edge[3] = {{h.Left, h.Bottom - 1}, {h.Left, h.Top}, {h.Right, h.Top}};
                PolylineColor(dc, edge, 2, line);
            }
        }
        TTxItemInfo info = itemInfo;
        info.Pushed = pushed;
        if (!spin)
            PaintDropDownArrow(canvas, h, info);
        else
            DrawCentredSpinTriangle(dc, h, half == 0, ItemPart(info, cpText));
    }
}

void TTxDreamTheme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    FillLineGradient(canvas->GetHandle(), bar, GradientDark, 0xFFFFFF, vertical);
}

void TTxDreamTheme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    if (row == brHot) {
        PaintCloseButton(canvas, square, 0xFFFFFF, 0x808080, 0x000000);
    } else if (row == brPushed) {
        PaintCloseButton(canvas, square, 0xC0C0C0, 0x808080, 0xFFFFFF);
    } else {
        const TColor(&r)[3] = Cache().ButtonColorTable[row];
        PaintCloseButton(canvas, square, r[cpBody], r[cpFrame], 0x000000);
    }
}

void TTxDreamTheme::PaintToolbarCloseButton(TCanvas* canvas, const TRect& square, uint32_t closeButtonState) {
    PaintCaptionCloseButton(canvas, square, CloseButtonRow(closeButtonState), true);
}

void TTxDreamTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    PaintPanelCaptionBorder(canvas, rect, info.IsVertical, clBtnFace);
    if (!info.ShowCaption()) return;
    HDC dc = canvas->GetHandle();
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar = PanelCaptionBar(rect, info, h - 1);
    PaintCaptionFace(canvas, bar, info.IsVertical);
    if (info.IsVertical)
        DrawLineColor(dc, bar.Left, bar.Bottom - 1, bar.Right, bar.Bottom - 1, 0xC0C0C0);
    else
        DrawLineColor(dc, bar.Right - 1, bar.Top, bar.Right - 1, bar.Bottom, 0xC0C0C0);
    canvas->GetBrush()->SetColor(clBtnFace);
    PaintPanelCloseButton(canvas, bar, info, h - 1);
    if (info.IsVertical) {
        for (int y = bar.Top + 2; y < bar.Bottom - 3; y += 4) DrawDreamDimple(dc, bar.Left + 1, y, 0x000000);
        gcl::InflateRect(bar, -9, 0);
    } else {
        for (int x = bar.Left + 2; x < bar.Right - 3; x += 4) DrawDreamDimple(dc, x, bar.Top + 1, 0x000000);
        gcl::InflateRect(bar, 0, -9);
    }
    DrawSmallCaption(canvas, bar, info.Caption, 0x000000, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX,
                     !info.IsVertical);
}

void TTxDreamTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!(itemInfo.Enabled || itemInfo.HoverKind == 1)) return;
    if (!IsHot(itemInfo) && !(itemInfo.ItemOptions & IO_DESIGNING)) return;
    HDC dc = canvas->GetHandle();
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    FillLineGradient(dc, inner, GradientDark, 0xFFFFFF, true);
    DrawCutOutline(dc, rect, 1, 1, itemInfo.Pushed ? TColor{0x909090} : ItemPart(itemInfo, cpFrame));
}

void TTxDreamTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                               TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    const bool plain = !itemInfo.Selected && !itemInfo.Pushed && !IsHot(itemInfo);
    if (!itemInfo.Enabled || (plain && !dark && !LowColorScreen && !WhiteButtonFace))
        TTxNexosFamilyTheme::PaintImage(canvas, rect, itemInfo, imageList, imageIndex);
    else
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
}

TRect TTxDreamTheme::CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    return TRect{rect.Left + 2, rect.Top + 1, rect.Left + itemInfo.PopupMargin, rect.Bottom - 1};
}

void TTxDreamTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect cut = area;
    int lc = 0, rc = 0;
    ItemOutlineCuts(itemInfo, cut, lc, rc);
    PaintWarmFace(dc, area, itemInfo.Pushed || IsHot(itemInfo));
    TRect grown = area;
    gcl::InflateRect(grown, 1, 1);
    DrawCutOutline(dc, grown, lc, rc, 0x808080);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxDreamTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    TRect r = rect;
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
        gcl::InflateRect(r, -1, 0);
        canvas->GetBrush()->SetColor(0xFFFFFF);
    }
    PaintControlFrame(canvas, r, itemInfo);
}

void TTxDreamTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    if (hot)
        FillGlassGradient(dc, inner, 0xF0F0F0, 0xFFFFFF, true);
    else
        FillRectColor(dc, inner, 0xFFFFFF);
    DrawCutOutline(dc, rect, 1, 1, hot ? Cache().ButtonColorTable[brHot][cpFrame] : TColor{0xD0D0D0});
    for (const TPoint p : {TPoint{rect.Left, rect.Top}, TPoint{rect.Right - 1, rect.Top},
                           TPoint{rect.Right - 1, rect.Bottom - 1}, TPoint{rect.Left, rect.Bottom - 1}})
        SetPixelColor(dc, p.X, p.Y, clBtnFace);
    DrawScrollArrow(dc, rect, direction, gcl::clBtnText);
}

void TTxDreamTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    TTxNexosXTheme::PaintPopupFrame(canvas, rect, info);
    HDC dc = canvas->GetHandle();
    const TColor border = Cache().PopupBorderColor;
    for (const TPoint p : {TPoint{1, 1}, TPoint{rect.Right - 2, 1}, TPoint{1, rect.Bottom - 2},
                           TPoint{rect.Right - 2, rect.Bottom - 2}})
        SetPixelColor(dc, p.X, p.Y, border);
}

void TTxDreamTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                   bool) {
    HDC dc = canvas->GetHandle();
    const TColor tb = Cache().ToolbarBackground;
    if (horizontal) {
        const int y = rect.Bottom / 2;
        if (!IsToolbarView(itemInfo.ViewType)) {
            if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP))
                canvas->GetBrush()->SetColor(tb);
            DrawDottedLine(dc, y, 14, rect.Right - 14, true, 0x909090);
        } else {
            DrawLineColor(dc, rect.Left + 4, y + 1, rect.Right - 2, y + 1, 0xFFFFFF);
            DrawLineColor(dc, rect.Left + 3, y, rect.Right - 3, y, tb);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, 0xFFFFFF);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, tb);
    }
}

void TTxDreamTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const uint32_t vt = info.ViewType;
    const TRect& r = rect;
    if (IsViewKind(vt, VT_TOOLBAR) || IsViewKind(vt, VT_MENUBAR) || IsViewKind(vt, VT_GRADIENTTOOLBAR) ||
        vt == VT_TOOLBARGROUP) {
        const bool horizontal = r.Bottom < r.Right;
        FillLineGradient(dc, r, GradientDark, 0xFFFFFF, horizontal);
        if (horizontal) FillLineGradient(dc, TRect{r.Left, r.Top + 2, r.Right, r.Bottom - 2}, GradientDark, 0xFFFFFF, true);
        const TPoint shadow[4] = {{r.Left + 2, r.Bottom - 1}, {r.Right - 3, r.Bottom - 1}, {r.Right - 1, r.Bottom - 3},
                                  {r.Right - 1, r.Top}};
        PolylineColor(dc, shadow, 3, DreamToolbarShadowColor);
        const TPoint light[6] = {{r.Left + 1, r.Bottom - 2}, {r.Left, r.Bottom - 3}, {r.Left, r.Top + 2},
                                 {r.Left + 2, r.Top},        {r.Right - 3, r.Top},   {r.Right - 1, r.Top + 2}};
        PolylineColor(dc, light, 5, 0xFFFFFF);
        const TPoint corners[4][3] = {{{r.Left, r.Top}, {r.Left, r.Top + 1}, {r.Left + 2, r.Top - 1}},
                                      {{r.Right - 1, r.Top}, {r.Right - 2, r.Top}, {r.Right, r.Top + 2}},
                                      {{r.Left, r.Bottom - 1}, {r.Left, r.Bottom - 2}, {r.Left + 2, r.Bottom}},
                                      {{r.Right - 1, r.Bottom - 2}, {r.Right - 2, r.Bottom - 1}, {r.Right, r.Bottom - 1}}};
        for (const auto& corner : corners) PolylineColor(dc, corner, 2, 0xE0E0E0);
    }
    PaintToolbarHandle(canvas, rect, info);
}

void TTxDreamTheme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    const bool doubled = info.DragHandleStyle == 0;
    for (const TPoint& p : GripSteps(inner, info.IsVertical, size, (info.CloseButtonState & CDBS_VISIBLE) != 0, doubled,
                                     doubled ? -2 : 0))
        DrawDreamDimple(dc, p.X, p.Y, 0x000000);
}

void TTxDreamTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    HDC dc = canvas->GetHandle();
    const bool hot = state & PFS_HOT, pushed = state & PFS_PUSHED, marked = state & (PFS_CHECKED | PFS_MIXED);
    const TRect box{rect.Left, rect.Top, rect.Left + 13, rect.Top + 13};
    TRect inner = box;
    gcl::InflateRect(inner, -1, -1);
    const TColor hotFrame = Cache().ButtonColorTable[brHot][cpFrame];
    const TColor mark = FrameControlMarkColor(state);
    if (kind == PFC_CHECKBOX) {
        TColor pen = 0xC0C0C0;
        if (hot && pushed) {
            FillLineGradient(dc, inner, 0xFFFFFF, 0xC0C0C0, true);
        } else if (marked) {
            PaintWarmFace(dc, inner, hot);
            pen = hot ? hotFrame : TColor{0x808080};
        } else if (hot) {
            FillRectColor(dc, inner, 0xF4F0F0);
            pen = hotFrame;
        }
        DrawCutOutline(dc, box, 0, 0, pen);
        if (marked) FillCheckTick(dc, (box.Left + box.Right) / 2 - 1, (box.Top + box.Bottom) / 2 + 1, mark);
        return;
    }
    TColor pen = 0xC0C0C0;
    auto disc = [&](TColor bottom, TColor top, TColor edge) {
        FillRoundGradient(dc, inner, bottom, top, false);
        if (edge == 0xFFFFFF) return;
        for (int k = 0; k < inner.Bottom - inner.Top; ++k)
            SetPixelColor(dc, inner.Left + RadioRowInset(k), inner.Top + k, edge);
    };
    if (hot && pushed) {
        disc(0xFFFFFF, 0xC0C0C0, 0xFFFFFF);
    } else if (marked) {
        if (hot)
            disc(0x80E0FF, 0x2090E8, 0x60B0E8);
        else
            disc(0xF0FDFF, 0xD0F8FF, 0xB0D4DF);
        pen = 0x808080;
    } else if (hot) {
        FillRoundGradient(dc, inner, 0xF4F0F0, 0xF4F0F0, false);
        pen = hotFrame;
    }
    DrawRadioRing(dc, box, pen);
    if (state & PFS_CHECKED) {
        TRect dot = box;
        gcl::InflateRect(dot, -4, -4);
        canvas->GetPen()->SetColor(mark);
        canvas->GetBrush()->SetColor(mark);
        canvas->Ellipse(dot);
    }
}

void TTxDreamTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: FillLineGradient(dc, rect, GradientDark, 0xFFFFFF, true); break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, GradientDark);
        DrawLineColor(dc, x + 1, rect.Top + 5, x + 1, rect.Bottom - 2, 0xFFFFFF);
        break;
    }
    case 3: {
        const int r = rect.Right, b = rect.Bottom;
        for (const TPoint p : {TPoint{r - 12, b - 4}, TPoint{r - 8, b - 4}, TPoint{r - 4, b - 4}, TPoint{r - 8, b - 8},
                               TPoint{r - 4, b - 8}, TPoint{r - 4, b - 12}})
            DrawDreamDimple(dc, p.X, p.Y, 0xFFFFFF);
        break;
    }
    default: break;
    }
}

} // namespace qelvo

// The Nexos family's shared cache formulas and its common paint
// operations with their hooks.
#include "themes/NexosFamily.h"
#include "themes/ThemePaint.h"

#include "theming/TxUtils.h"
#include "toolbar/BarCommon.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnHighlight;
using gcl::clBtnShadow;
using gcl::clHighlight;
using gcl::clWindow;

namespace {

constexpr unsigned FloatingCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;

// Docked toolbars, the menu bar and the toolbar kind 0x1004.
bool HasToolbarEdges(uint32_t viewType) {
    return IsViewKind(viewType, VT_TOOLBAR) || IsViewKind(viewType, VT_MENUBAR) ||
           IsViewKind(viewType, VT_GRADIENTTOOLBAR);
}

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexosFamilyTheme)

TTxNexosFamilyTheme::TTxNexosFamilyTheme(const std::string& name, TNexosUnitState& unit, TNexosColorCache& cache)
    : TTxCacheTheme(name, unit.Stock, cache), FUnit(&unit), FCache(&cache) {}

// ---- Metrics and view colours ------------------------------------------------------------

int TTxNexosFamilyTheme::PopupShadowKind() { return 3; }

int TTxNexosFamilyTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 20:
    case 33: return 8;
    case 21:
    case 34:
    case 35: return 3;
    case 32: return 0;
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

// ---- Backgrounds and frames ------------------------------------------------------------------

void TTxNexosFamilyTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                          TColor color, bool transparent, uint32_t viewType) {
    TRect visible;
    if (transparent || !gcl::IntersectRect(visible, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const RECT v = gcl::ToRECT(visible);
    if (TestsBackgroundVisibility() && !RectVisible(dc, &v)) return;
    if (IsViewKind(viewType, VT_DOCKPANEL) || IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE))
        FillRectColor(dc, visible, color);
    else
        FillStriped(dc, rect, clipRect, color, Stripes());
}

void TTxNexosFamilyTheme::PaintStriped(TCanvas* canvas, const TRect& rect, TColor color) {
    PaintBackground(canvas, TRect{}, rect, rect, color, false, 0);
}

void TTxNexosFamilyTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int) {
    PaintDockRectangle(canvas, dockRect, FDockColor);
}

void TTxNexosFamilyTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    PaintCachePopupFrame(canvas->GetHandle(), rect, info.ParentItemRect, *FCache, FCache->ToolbarBackground);
}

void TTxNexosFamilyTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    TRect r = rect;
    r.Top -= ToolbarFrameRaise();
    PaintStriped(canvas, r, FCache->ToolbarBackground);
    r.Top = rect.Top - 1;
    PaintToolbarEdges(canvas->GetHandle(), r, info.ViewType, 1);
    PaintToolbarHandle(canvas, rect, info);
}

void TTxNexosFamilyTheme::PaintToolbarEdges(HDC dc, const TRect& r, uint32_t viewType, int rightFrom) {
    if (!HasToolbarEdges(viewType)) return;
    const TColor shadow = FCache->ToolbarShadowColor;
    const bool menuBar = IsMenuBarView(viewType);
    if (Options().SolidToolbarShadow) {
        DrawLineColor(dc, menuBar ? r.Left : r.Left + 1, r.Bottom - 1, r.Right, r.Bottom - 1, menuBar ? 0x808080 : shadow);
        DrawLineColor(dc, r.Right - 1, menuBar ? r.Top : r.Top + rightFrom, r.Right - 1, r.Bottom - 1, shadow);
    } else {
        DrawDottedLine(dc, r.Bottom - 1, r.Left, r.Right, true, shadow);
        DrawDottedLine(dc, r.Right - 1, r.Top - 1, r.Bottom - 1, false, shadow);
    }
}

void TTxNexosFamilyTheme::PaintToolbarHandle(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    TRect inner = rect;
    gcl::InflateRect(inner, -2, -2);
    if (!info.AllowDrag) return;
    const int size = GetDragHandleSize(info);
    if (info.DragHandleStyle != 1) PaintGrip(canvas->GetHandle(), inner, info, size);
    if (info.CloseButtonState & CDBS_VISIBLE) {
        const int side = size - 1;
        const TRect square = !info.IsVertical ? TRect{inner.Left, inner.Top, inner.Left + side, inner.Top + side}
                                              : TRect{inner.Right - side, inner.Top, inner.Right, inner.Top + side};
        PaintToolbarCloseButton(canvas, square, info.CloseButtonState);
    }
}

void TTxNexosFamilyTheme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    TColor shades[7];
    GripShades(UnitColors().GripFaceColor, UnitColors().GripShadowColor, UnitColors().GripLightColor, false, shades);
    for (const TPoint& p : GripSteps(inner, info.IsVertical, size, (info.CloseButtonState & CDBS_VISIBLE) != 0,
                                     info.DragHandleStyle == 0))
        DrawGripDot(dc, p.X, p.Y, shades);
}

void TTxNexosFamilyTheme::PaintToolbarCloseButton(TCanvas* canvas, const TRect& square, uint32_t closeButtonState) {
    const TColor(&row)[3] = FCache->ButtonColorTable[CloseButtonRow(closeButtonState)];
    PaintCloseButton(canvas, square, row[cpBody], row[cpFrame], row[cpText]);
}

void TTxNexosFamilyTheme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    HDC dc = canvas->GetHandle();
    if (Options().ColoredCaptions) {
        FillGlassGradient(dc, bar, UnitColors().CaptionStartColor, UnitColors().CaptionEndColor, vertical);
        return;
    }
    FillGlassGradient(dc, bar, 0xF0F0F0, 0xFFFFFF, vertical);
    DrawCaptionEdge(dc, bar, vertical);
}

void TTxNexosFamilyTheme::DrawCaptionEdge(HDC dc, const TRect& bar, bool vertical) const {
    if (vertical)
        DrawLineColor(dc, bar.Left, bar.Bottom - 1, bar.Right, bar.Bottom - 1, FCache->ToolbarShadowColor);
    else
        DrawLineColor(dc, bar.Right - 1, bar.Top, bar.Right - 1, bar.Bottom, FCache->ToolbarShadowColor);
}

void TTxNexosFamilyTheme::PaintFloatingCaptionFace(TCanvas* canvas, const TRect& bar) {
    if (Options().ColoredCaptions) {
        PaintCaptionFace(canvas, bar, true);
        return;
    }
    PaintStriped(canvas, bar, FCache->ToolbarBackground);
    DrawCaptionEdge(canvas->GetHandle(), bar, true);
}

void TTxNexosFamilyTheme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) {
    HDC dc = canvas->GetHandle();
    const bool coloured = Options().ColoredCaptions;
    const TColor base = Options().BaseColor;
    if (row == brHot) {
        if (coloured)
            PaintCloseButton(canvas, square, clNone, 0x000000, 0xFFFFFF);
        else
            PaintCloseButton(canvas, square, 0xFFFFFF, 0x808080, 0x000000);
    } else if (row == brPushed) {
        if (coloured) {
            FillGlassGradient(dc, square, 0xFFFFFF, base, vertical);
            PaintCloseButton(canvas, square, clNone, base, 0x000000);
        } else {
            PaintCloseButton(canvas, square, 0xC0C0C0, 0x808080, 0xFFFFFF);
        }
    } else {
        const TColor(&r)[3] = FCache->ButtonColorTable[row];
        PaintCloseButton(canvas, square, coloured ? clNone : r[cpBody], r[cpFrame], coloured ? 0xFFFFFF : 0x000000);
    }
}

TColor TTxNexosFamilyTheme::PanelCaptionTextColor() const {
    return Options().ColoredCaptions ? 0xFFFFFF : 0x000000;
}

TRect TTxNexosFamilyTheme::PanelCaptionBar(const TRect& rect, const TTxPanelCaptionInfo& info, int thickness) const {
    TRect bar = rect;
    gcl::InflateRect(bar, -info.BorderSize.X, -info.BorderSize.Y);
    if (info.IsVertical)
        bar.Bottom = bar.Top + thickness;
    else
        bar.Right = bar.Left + thickness;
    return bar;
}

void TTxNexosFamilyTheme::PaintPanelCloseButton(TCanvas* canvas, TRect& bar, const TTxPanelCaptionInfo& info,
                                                int side) {
    if (!(info.CloseButtonState & CDBS_VISIBLE)) return;
    const TRect square = info.IsVertical ? TRect{bar.Right - side, bar.Top, bar.Right, bar.Top + side}
                                         : TRect{bar.Left, bar.Bottom - side, bar.Left + side, bar.Bottom};
    PaintCaptionCloseButton(canvas, square, CloseButtonRow(info.CloseButtonState), info.IsVertical);
    if (info.IsVertical)
        bar.Right = square.Left;
    else
        bar.Bottom = square.Top;
}

void TTxNexosFamilyTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    const TColor effective = canvas->GetBrush()->GetColor();
    PaintPanelCaptionBorder(canvas, rect, info.IsVertical, PanelBorderColor());
    if (!info.ShowCaption()) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar = PanelCaptionBar(rect, info, PanelCaptionThickness(h));
    TRect face = bar;
    const int grow = PanelFaceCoversLine() ? 1 : 0;
    if (bar.Bottom - bar.Top < h && info.IsVertical) {
        DrawLineColor(canvas->GetHandle(), bar.Left, bar.Bottom, bar.Right, bar.Bottom, effective);
        face.Bottom += grow;
    } else if (bar.Right - bar.Left < h && !info.IsVertical) {
        DrawLineColor(canvas->GetHandle(), bar.Right, bar.Top, bar.Right, bar.Bottom, effective);
        face.Right += grow;
    }
    PaintCaptionFace(canvas, face, info.IsVertical);
    PaintPanelCloseButton(canvas, bar, info, h - 1);
    if (info.IsVertical)
        gcl::InflateRect(bar, -4, 0);
    else
        gcl::InflateRect(bar, 0, -4);
    DrawSmallCaptionWithHalo(canvas, bar, info.Caption, PanelCaptionTextColor(), ThemeCaptionFormat, !info.IsVertical,
                             Options().CaptionGlow ? UnitColors().CaptionStartColor : clNone);
}

void TTxNexosFamilyTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    const int row = info.Active ? frActive : frInactive;
    const bool panel = (info.ViewType & VT_DOCKPANELGROUP) != 0;
    const TColor(&table)[2][3] = panel ? FCache->PanelFrameColors : FCache->FloatingFrameColors;
    const TColor effective = canvas->GetBrush()->GetColor();
    HDC dc = canvas->GetHandle();
    if (info.RedrawPart & RP_FRAME)
        PaintFloatingBorder(dc, rect, info.BorderSize, table[row][fpBorder], effective, !panel);
    if (!info.ShowCaption) return;
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar{0, 0, info.ClientWidth, captionHeight - 1};
    gcl::OffsetRect(bar, info.BorderSize.X, info.BorderSize.Y);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.RedrawPart & RP_CAPTION) {
        TRect c = bar;
        DrawLineColor(dc, c.Left, c.Bottom, c.Right, c.Bottom, effective);
        if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) c.Right -= captionHeight - 1;
        PaintFloatingCaptionFace(canvas, c);
        gcl::InflateRect(c, -2, 0);
        c.Bottom -= 1;
        const TColor text = Options().ColoredCaptions ? table[row][fpCaptionText] : 0x000000;
        DrawSmallCaptionWithHalo(canvas, c, info.Caption, text, FloatingCaptionFormat, false,
                                 Options().CaptionGlow && FloatingCaptionHalo() ? UnitColors().CaptionStartColor : clNone);
    }
    if (closeButton) {
        TRect b = bar;
        b.Left = b.Right - (b.Bottom - b.Top);
        DrawLineColor(dc, b.Left - 1, b.Bottom, b.Right, b.Bottom, effective);
        PaintFloatingCaptionFace(canvas, b);
        PaintFloatingCloseButton(canvas, b, FloatingCloseButtonRow(info.CloseButtonState, info.Active));
    }
}

// ---- Items -------------------------------------------------------------------------------

void TTxNexosFamilyTheme::PaintOpaqueOutline(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, int leftCut,
                                             int rightCut, TColor enabledPen, TColor disabledPen) {
    if (!IsOpaqueToolbarItem(itemInfo) || IsHot(itemInfo)) return;
    if (itemInfo.Enabled) {
        TRect inner = rect;
        gcl::InflateRect(inner, -1, -1);
        FillRectColor(dc, inner, FCache->ToolbarBackground);
    }
    DrawCutOutline(dc, rect, leftCut, rightCut, itemInfo.Enabled ? enabledPen : disabledPen);
}

bool TTxNexosFamilyTheme::PaintStripedMenuBarItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!IsMenuBarView(itemInfo.ViewType) || Options().FlatMenuBar) return false;
    if (IsHot(itemInfo) || (itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected)))
        PaintStriped(canvas, rect, FCache->MenuItemColorTable[mrHot][cpBody]);
    return true;
}

TRect TTxNexosFamilyTheme::BeginButton(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, int& leftCut,
                                       int& rightCut) {
    TRect r = rect;
    ItemOutlineCuts(itemInfo, r, leftCut, rightCut);
    PaintOpaqueOutline(dc, r, itemInfo, leftCut, rightCut, MixColors(clHighlight, clWindow, 20),
                       MixColors(clHighlight, clWindow, 15));
    return r;
}

void TTxNexosFamilyTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    int lc = 0, rc = 0;
    const TRect r = BeginButton(canvas->GetHandle(), rect, itemInfo, lc, rc);
    if (PaintStripedMenuBarItem(canvas, r, itemInfo)) return;
    PaintButtonFace(canvas, r, itemInfo, lc, rc);
}

TColor TTxNexosFamilyTheme::PaintDownFace(HDC dc, const TRect& inner, const TTxItemInfo& itemInfo) {
    if (itemInfo.Pushed || IsHot(itemInfo)) {
        FillGlassGradient(dc, inner, 0xFFFFFF, Options().SecondColor, true);
        return FCache->ButtonColorTable[brChecked][cpFrame];
    }
    FillRectColor(dc, inner, 0xFFFFFF);
    return 0xA0A0A0;
}

void TTxNexosFamilyTheme::PaintButtonFace(TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc,
                                          int rc) {
    HDC dc = canvas->GetHandle();
    const TRect inner = Inset(r, 1);
    const TNexosOptions& o = Options();
    if (itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected)) {
        TColor pen = PaintDownFace(dc, inner, itemInfo);
        if (itemInfo.Selected && itemInfo.Pushed) {
            FillLineGradient(dc, inner, 0xFFFFFF, o.SecondColor, true);
            pen = FCache->ButtonColorTable[brChecked][cpFrame];
        } else if (itemInfo.Selected && IsHot(itemInfo)) {
            FillGlassGradient(dc, inner, o.MixedColor, 0xFFFFFF, true);
            pen = o.BaseColor;
        }
        DrawCutOutline(dc, r, lc, rc, pen);
    } else if (IsHot(itemInfo) || (itemInfo.ItemOptions & IO_DESIGNING)) {
        FillGlassGradient(dc, inner, ButtonPart(itemInfo, cpBody), 0xFFFFFF, true);
        DrawCutOutline(dc, r, lc, rc, ButtonPart(itemInfo, cpFrame));
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxNexosFamilyTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                       const std::string& caption, unsigned format, bool rotated) {
    TColor color = CaptionTakesFontColor() ? canvas->GetFont()->GetColor() : clNone;
    if (IsMenuBarView(itemInfo.ViewType) && IsHot(itemInfo) && !Options().FlatMenuBar)
        color = HotMenuBarTextColor();
    else if (itemInfo.IsPopupParent == 2 && itemInfo.PopupOpen && color == clNone)
        color = 0x000000;
    if (color == clNone) color = ItemPart(itemInfo, cpText);
    DrawCaptionText(canvas, rect, caption, color, format, rotated);
}

TColor TTxNexosFamilyTheme::CheckMarkColor(const TTxItemInfo& itemInfo) const {
    return itemInfo.Enabled ? 0x000000 : FCache->MenuItemColorTable[mrDisabled][cpText];
}

void TTxNexosFamilyTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCheckTick(canvas->GetHandle(), (rect.Left + rect.Right) / 2 - 2, (rect.Top + rect.Bottom) / 2,
                  CheckMarkColor(itemInfo));
}

TColor TTxNexosFamilyTheme::DropDownArrowColor(const TTxItemInfo& itemInfo, bool) const {
    return ItemPart(itemInfo, cpText);
}

void TTxNexosFamilyTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int x = (rect.Left + rect.Right) / 2, y = (rect.Top + rect.Bottom) / 2;
    if (itemInfo.IsPopupParent == 2 || itemInfo.IsPopupParent == 3) {
        DrawDropDownTriangle(dc, x, y, itemInfo.IsVertical, DropDownArrowColor(itemInfo, true));
        return;
    }
    const TColor color = DropDownArrowColor(itemInfo, false);
    if (!itemInfo.IsVertical) {
        DrawTriangle(dc, {x - 2, y + 1}, {x + 2, y + 1}, {x, y + 3}, color);
        DrawTriangle(dc, {x - 2, y - 2}, {x + 2, y - 2}, {x, y - 4}, color);
    } else {
        DrawTriangle(dc, {x - 1, y + 2}, {x - 1, y - 2}, {x - 3, y}, color);
        DrawTriangle(dc, {x + 2, y + 2}, {x + 2, y - 2}, {x + 4, y}, color);
    }
}

void TTxNexosFamilyTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    if (itemInfo.Enabled || itemInfo.HoverKind == 1) {
        if (!itemInfo.Pushed && !itemInfo.Selected && !IsHot(itemInfo) && !(itemInfo.ItemOptions & IO_DESIGNING)) return;
        TRect inner = rect;
        gcl::InflateRect(inner, -1, -1);
        FillGlassGradient(dc, inner, ItemPart(itemInfo, cpBody), UnitColors().CaptionEndColor, true);
        DrawCutOutline(dc, rect, 1, 1, itemInfo.Pushed ? PushedControlFrameColor() : ItemPart(itemInfo, cpFrame));
        return;
    }
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    FrameRectColor(dc, inner, FCache->ToolbarBackground, false);
}

void TTxNexosFamilyTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                         const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = rect;
    gcl::InflateRect(r, -w, -w);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    const TColor frame = IsHot(itemInfo)      ? TColor{0xFFFFFF}
                         : itemInfo.Enabled ? FCache->EditFrameColor
                                            : FCache->ButtonColorTable[brDisabled][cpFrame];
    FrameRectColor(dc, r, frame, true);
    if (itemInfo.Enabled) FillRectColor(dc, r, 0xFFFFFF);
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxNexosFamilyTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                          const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const TNexosOptions& o = Options();
    auto plainFrame = [&](TRect part) {
        if (IsOpaqueToolbarItem(itemInfo)) FillRectColor(dc, part, FCache->ToolbarBackground);
        FrameRectColor(dc, part, FCache->EditFrameColor, false);
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        TRect r = rect;
        r.Left += 1;
        const bool pushed = (state & EBDS_PRESSED) != 0;
        if (disabled) {
            TRect f = r;
            FrameRectColor(dc, f, FCache->ButtonColorTable[brDisabled][cpFrame], true);
        } else if (pushed) {
            if (o.GradientFaces)
                FillGlassGradient(dc, r, 0xFFFFFF, o.SecondColor, true);
            else
                DitherRect(dc, r, clWindow, 0xFFF0F0);
        } else if (!hot) {
            plainFrame(r);
        }
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    for (int half = 0; half < 2; ++half) {
        const bool up = half == 0;
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & (up ? EBSS_UP : EBSS_DOWN)) != 0;
        TRect h = rect;
        if (up)
            h.Bottom = (rect.Top + rect.Bottom + 1) / 2;
        else
            h.Top = (rect.Top + rect.Bottom + 1) / 2;
        if (!disabled) {
            if (info.Pushed)
                FillGlassGradient(dc, h, 0xFFFFFF, o.SecondColor, true);
            else if (hot)
                FillGlassGradient(dc, h, FCache->ButtonColorTable[brHot][cpBody], 0xFFFFFF, true);
            else
                plainFrame(h);
        }
        DrawCentredSpinTriangle(dc, h, up, ItemPart(info, cpText));
    }
}

void TTxNexosFamilyTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     TCustomImageList* imageList, int imageIndex) {
    PaintItemImage(canvas, rect, itemInfo, imageList, imageIndex, ItemImageBackground(itemInfo));
}

void TTxNexosFamilyTheme::PaintShadowedImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                             TCustomImageList* imageList, int imageIndex, int pressedOffset) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (itemInfo.Enabled && IsHot(itemInfo) && !itemInfo.Selected && !itemInfo.Pushed) {
        TRect shadow = rect;
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else if (itemInfo.Enabled && (itemInfo.Selected || itemInfo.Pushed)) {
        TRect moved = rect;
        gcl::OffsetRect(moved, pressedOffset, pressedOffset);
        DrawImageBrightened(canvas, moved, imageList, imageIndex, dark);
    } else {
        TTxNexosFamilyTheme::PaintImage(canvas, rect, itemInfo, imageList, imageIndex);
    }
}

TRect TTxNexosFamilyTheme::MenuFrameRect(const TRect& rect, const TTxItemInfo&) const { return rect; }

TRect TTxNexosFamilyTheme::CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    return TRect{rect.Left + 2, rect.Top + 1, rect.Left + itemInfo.PopupMargin, rect.Bottom - 1};
}

void TTxNexosFamilyTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    FillRectColor(dc, inner, 0xFFFFFF);
    DrawCutOutline(dc, area, 2, 2, itemInfo.Pushed || IsHot(itemInfo) ? Options().BaseColor : TColor{0xA0A0A0});
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxNexosFamilyTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    PaintMenuItemFrame(canvas, MenuFrameRect(rect, itemInfo), itemInfo);
    const int w = GetSystemMetrics(SM_CXMENUCHECK);
    const TColor text = ItemPart(itemInfo, cpText);
    if (itemInfo.ItemOptions & IO_COMBO) {
        const int x = rect.Right - w - 1;
        const TColor color = !itemInfo.Enabled          ? text
                             : itemInfo.HoverKind == 2 ? HotSplitLineColor(itemInfo)
                                                       : FCache->MenuSplitLineColor;
        DrawLineColor(dc, x, rect.Top + 1, x, rect.Bottom - 1, color);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const int x = rect.Right - 2 * w / 3 - 1, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, text);
    }
    // Only a checked, enabled item has a check area.
    if (itemInfo.Selected && itemInfo.Enabled) PaintCheckArea(canvas, CheckAreaRect(rect, itemInfo), itemInfo);
}

void TTxNexosFamilyTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (IsHot(itemInfo)) PaintStriped(canvas, rect, FCache->MenuItemColorTable[mrHot][cpBody]);
}

void TTxNexosFamilyTheme::PaintHotScrollFace(TCanvas* canvas, const TRect& rect) {
    FillGlassGradient(canvas->GetHandle(), rect, UnitColors().CaptionStartColor, UnitColors().CaptionEndColor, true);
}

void TTxNexosFamilyTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    TColor pen;
    if (hot) {
        PaintHotScrollFace(canvas, inner);
        pen = Options().BaseColor;
    } else {
        FillRectColor(dc, inner, FCache->ToolbarBackground);
        pen = BlendColorNearest(0xFFFFFF, 0x808080, 64);
    }
    DrawCutOutline(dc, rect, 1, 1, pen);
    for (const TPoint p : {TPoint{rect.Left, rect.Top}, TPoint{rect.Right - 1, rect.Top},
                           TPoint{rect.Right - 1, rect.Bottom - 1}, TPoint{rect.Left, rect.Bottom - 1}})
        SetPixelColor(dc, p.X, p.Y, 0xC0C0C0);
    DrawScrollArrow(dc, rect, direction, hot ? 0xFFFFFF : 0x000000);
}

void TTxNexosFamilyTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                         bool horizontal, bool) {
    HDC dc = canvas->GetHandle();
    if (horizontal)
        DrawDottedLine(dc, rect.Bottom / 2, rect.Left, rect.Right, true, 0x000000);
    else if (itemInfo.Enabled)
        DrawDottedLine(dc, rect.Right / 2, rect.Top, rect.Bottom, false, 0x000000);
}

TColor TTxNexosFamilyTheme::FrameControlMarkColor(int state) const {
    const auto& table = FCache->ButtonColorTable;
    if (state & PFS_DISABLED) return table[brDisabled][cpText];
    if (state & PFS_PUSHED) return table[brPushed][cpText];
    if (state & PFS_MIXED) return clBtnShadow;
    if (state & PFS_HOT) return table[brHot][cpText];
    return table[brNormal][cpText];
}

void TTxNexosFamilyTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    HDC dc = canvas->GetHandle();
    const TNexosOptions& o = Options();
    const bool hot = state & PFS_HOT, pushed = state & PFS_PUSHED, marked = state & (PFS_CHECKED | PFS_MIXED);
    const TRect box{rect.Left, rect.Top, rect.Left + 13, rect.Top + 13};
    TRect inner = box;
    gcl::InflateRect(inner, -1, -1);
    const bool radio = kind == PFC_RADIOBUTTON;
    auto glass = [&](TColor c1, TColor c2) {
        if (radio)
            FillRoundGradient(dc, inner, c1, c2, true);
        else
            FillGlassGradient(dc, inner, c1, c2, true);
    };
    auto line = [&](TColor c1, TColor c2) {
        if (radio)
            FillRoundGradient(dc, inner, c1, c2, false);
        else
            FillLineGradient(dc, inner, c1, c2, true);
    };
    TColor outline = 0xC0C0C0;
    if (hot) {
        if (pushed) {
            if (marked)
                line(0xFFFFFF, o.SecondColor);
            else
                glass(0xFFFFFF, o.SecondColor);
        } else if (!marked || o.GlassCheckBoxes) {
            glass(o.BaseColor, 0xFFFFFF);
            outline = FCache->ButtonColorTable[brHot][cpFrame];
        } else {
            line(0xFFFFFF, o.BaseColor);
        }
    } else if (marked) {
        if (FCheckedFaceWhiteFirst)
            glass(0xFFFFFF, o.SecondColor);
        else
            glass(o.SecondColor, 0xFFFFFF);
    }
    const TColor mark = FrameControlMarkColor(state);
    if (radio) {
        DrawRadioRing(dc, box, outline);
        if (state & PFS_CHECKED) {
            TRect dot = box;
            gcl::InflateRect(dot, -4, -4);
            canvas->GetPen()->SetColor(mark);
            canvas->GetBrush()->SetColor(mark);
            canvas->Ellipse(dot);
        }
    } else {
        DrawCutOutline(dc, box, 1, 1, outline);
        if (marked) FillCheckTick(dc, (box.Left + box.Right) / 2 - 1, (box.Top + box.Bottom) / 2 + 1, mark);
    }
}

void TTxNexosFamilyTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: PaintStriped(canvas, rect, FCache->ToolbarBackground); break;
    case 1:
    case 2: DrawDottedLine(dc, part == 1 ? rect.Right - 3 : rect.Right, rect.Top, rect.Bottom - 1, false, FCache->StatusPaneDotColor); break;
    case 3:
        if (Options().DimpleStatusGrip) {
            TColor shades[7];
            GripShades(clBtnFace, clBtnShadow, clBtnHighlight, true, shades);
            DrawDimpleSizeGrip(dc, rect, shades);
        } else {
            DrawLineSizeGrip(dc, rect, BlendColorNearest(clBtnFace, clBtnShadow, 64),
                             BlendColorNearest(clBtnFace, clBtnHighlight, 64));
        }
        break;
    default: break;
    }
}

// ---- Three-stop faces -----------------------------------------------------------------------

void TTxNexosFamilyTheme::PaintThreeStopEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                                   const TTxEditButtonInfo& buttonInfo, bool highlight) {
    const uint32_t state = buttonInfo.ButtonState;
    if (state & EBDS_DISABLED || (buttonInfo.ButtonType != EBT_DROPDOWN && buttonInfo.ButtonType != EBT_SPIN)) {
        TTxNexosFamilyTheme::PaintEditButton(canvas, rect, itemInfo, buttonInfo);
        return;
    }
    HDC dc = canvas->GetHandle();
    const bool spin = buttonInfo.ButtonType == EBT_SPIN;
    const int middle = (rect.Top + rect.Bottom + 1) / 2;
    for (int half = 0; half < (spin ? 2 : 1); ++half) {
        TRect h = rect;
        if (!spin)
            h.Left += 1;
        else if (half == 0)
            h.Bottom = middle;
        else
            h.Top = middle;
        const bool pushed = spin ? (state & (half == 0 ? EBSS_UP : EBSS_DOWN)) != 0 : (state & EBDS_PRESSED) != 0;
        if (pushed || (state & EBDS_HOT)) {
            PaintThreeStopGradient(canvas, h, highlight, pushed, true);
        } else {
            if (IsOpaqueToolbarItem(itemInfo)) FillRectColor(dc, h, Cache().ToolbarBackground);
            TRect f = h;
            FrameRectColor(dc, f, Cache().EditFrameColor, false);
        }
        TTxItemInfo info = itemInfo;
        info.Pushed = pushed;
        if (!spin)
            PaintDropDownArrow(canvas, h, info);
        else
            DrawCentredSpinTriangle(dc, h, half == 0, ItemPart(info, cpText));
    }
}

void TTxNexosFamilyTheme::PaintThreeStopFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state,
                                                     bool glassPushedRadio, bool dotAlways) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) return;
    HDC dc = canvas->GetHandle();
    const bool hot = state & PFS_HOT, pushed = state & PFS_PUSHED, marked = state & (PFS_CHECKED | PFS_MIXED);
    const TRect box{rect.Left, rect.Top, rect.Left + 13, rect.Top + 13};
    TRect inner = box;
    gcl::InflateRect(inner, -1, -1);
    const TColor hotFrame = Cache().ButtonColorTable[brHot][cpFrame];
    const TColor mark = FrameControlMarkColor(state);
    TColor outline = 0xC0C0C0;
    if (kind == PFC_CHECKBOX) {
        if (hot && pushed) {
            GradientFillCanvas(canvas, inner, 0xFFFFFF, Options().SecondColor, true);
        } else if (hot || marked) {
            PaintThreeStopGradient(canvas, inner, true, true);
            outline = hotFrame;
        } else {
            PaintThreeStopGradient(canvas, inner, false, true);
        }
        DrawCutOutline(dc, box, 1, 1, outline);
        if (marked) FillCheckTick(dc, (box.Left + box.Right) / 2 - 1, (box.Top + box.Bottom) / 2 + 1, mark);
        return;
    }
    if (hot && pushed) {
        FillRoundGradient(dc, inner, 0xFFFFFF, Options().SecondColor, glassPushedRadio);
    } else if (hot || marked) {
        FillThreeStopRound(dc, inner, true);
        outline = hotFrame;
    } else {
        FillThreeStopRound(dc, inner, false);
    }
    DrawRadioRing(dc, box, outline);
    if (!dotAlways && !(state & PFS_CHECKED)) return;
    TRect dot = box;
    gcl::InflateRect(dot, -4, -4);
    const TColor dotColor = (state & PFS_CHECKED) ? mark : TColor{0xFFFFFF};
    canvas->GetPen()->SetColor(dotColor);
    canvas->GetBrush()->SetColor(dotColor);
    canvas->Ellipse(dot);
}

// ---- Grey captions and dashed grips ----------------------------------------------------------

void TTxNexosFamilyTheme::PaintGreyCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    HDC dc = canvas->GetHandle();
    FillLineGradient(dc, bar, 0xD0D0D0, 0xF0F0F0, vertical);
    DrawCaptionEdge(dc, bar, vertical);
}

void TTxNexosFamilyTheme::PaintGreyCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool fillBody) {
    HDC dc = canvas->GetHandle();
    TRect inner = square;
    gcl::InflateRect(inner, -1, -1);
    const TColor(&hotRow)[3] = FCache->ButtonColorTable[brHot];
    if (row == brHot) {
        FillGlassGradient(dc, inner, hotRow[cpBody], 0xFFFFFF, true);
        DrawCutOutline(dc, square, 1, 1, hotRow[cpFrame]);
        DrawMonoGlyph(canvas, square, 0xFFFFFF);
    } else if (row == brPushed) {
        FillLineGradient(dc, inner, 0xF0F0F0, 0xD0D0D0, true);
        DrawCutOutline(dc, square, 1, 1, 0xC0C0C0);
        DrawMonoGlyph(canvas, square, 0xFFFFFF);
    } else {
        const TColor(&r)[3] = FCache->ButtonColorTable[row];
        PaintCloseButton(canvas, square, fillBody ? r[cpBody] : clNone, r[cpFrame], 0x000000);
    }
}

void TTxNexosFamilyTheme::PaintDashGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size,
                                        TColor dash, TColor underline, bool dot) {
    const int length = info.DragHandleStyle == 0 ? 4 : 2;
    for (const TPoint& p : GripSteps(inner, info.IsVertical, size, (info.CloseButtonState & CDBS_VISIBLE) != 0, false)) {
        DrawLineColor(dc, p.X, p.Y, p.X + length, p.Y, dash);
        DrawLineColor(dc, p.X, p.Y + 1, p.X + length, p.Y + 1, underline);
        if (dot && !info.IsVertical) SetPixelColor(dc, p.X + 1, p.Y + 1, dash);
    }
}

} // namespace qelvo

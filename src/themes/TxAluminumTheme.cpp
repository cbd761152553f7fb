// The Aluminum theme: its colour cache, metrics and painting.
#include "themes/TxAluminumTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clGrayText;
using gcl::clHighlight;
using gcl::clHighlightText;
using gcl::clMenuText;
using gcl::clWindow;
using gcl::clWindowText;

namespace {

TThemeStock AluminumStock{true};

constexpr TColor Grey = AluminumGrey;
constexpr TColor MidGrey = AluminumMidGrey;
constexpr TColor DarkGrey = AluminumDarkGrey;
constexpr TPartFallbacks AluminumFallbacks{MidGrey, false};

} // namespace

GCL_IMPLEMENT_CLASS(TTxAluminumTheme)

TTxAluminumTheme::TTxAluminumTheme(const std::string& name) : TTxDefaultTheme(name) { AluminumStock.Acquire(); }

TTxAluminumTheme::~TTxAluminumTheme() {
    if (AluminumStock.ThemeInstanceCount == 1) ResetBrushedFill();
    AluminumStock.Release();
}

TColor TTxAluminumTheme::ButtonPart(const TTxItemInfo& info, TColorPart part) const {
    return ButtonPartColor(FCache, info, part, AluminumFallbacks);
}

TColor TTxAluminumTheme::ItemPart(const TTxItemInfo& info, TColorPart part) const {
    return ItemPartColor(FCache, info, part, AluminumFallbacks);
}

// ---- Colour cache ----------------------------------------------------------------

void TTxAluminumTheme::SetupColorCache() {
    CurrentCacheFormulas().Aluminum(FCache, FColors);
}

// ---- Colour lookups and metrics ----------------------------------------------------------

TPoint TTxAluminumTheme::ImageOffset(TCanvas*, const TTxItemInfo&, TCustomImageList*) { return TPoint{0, 0}; }

TColor TTxAluminumTheme::ItemColor(const TTxItemInfo& itemInfo) {
    return CacheItemColor(this, FCache, itemInfo, AluminumFallbacks);
}

TColor TTxAluminumTheme::ItemTextColor(const TTxItemInfo& itemInfo) { return ItemPart(itemInfo, cpText); }

TColor TTxAluminumTheme::ItemImageBackground(const TTxItemInfo& itemInfo) {
    return CacheItemImageBackground(this, FCache, itemInfo, AluminumFallbacks);
}

TColor TTxAluminumTheme::ViewColor(uint32_t viewType) {
    return CacheViewColor(FCache, viewType, FCache.ToolbarBackground);
}

void TTxAluminumTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    TTxDefaultTheme::ThemeMargins(marginID, margins);
    if (marginID == 2) margins.TopHeight = margins.BottomHeight = 2;
}

int TTxAluminumTheme::PopupShadowKind() { return 2; }

void TTxAluminumTheme::ViewBorder(uint32_t viewType, TPoint& border) { CommonViewBorder(viewType, border); }

int TTxAluminumTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 33: return 3;
    case 36:
    case 62: return 1;
    case 37:
    case 60:
    case 61: return 2;
    case 65: return 14;
    case 66: return 0;
    default: return TTxDefaultTheme::IntegerMetric(index);
    }
}

bool TTxAluminumTheme::BooleanMetric(int index) {
    switch (index) {
    case 1:
    case 3:
    case 5:
    case 6:
    case 7: return true;
    case 4: return false;
    default: return TTxDefaultTheme::BooleanMetric(index);
    }
}

// ---- Drawing helpers ---------------------------------------------------------------------

void TTxAluminumTheme::FillAluminumGradient(HDC dc, const TRect& rect, TColor color, bool vertical) const {
    TRect first = rect, rest = rect;
    if (vertical)
        first.Bottom = rest.Top = (2 * rect.Top + rect.Bottom) / 3;
    else
        first.Right = rest.Left = (2 * rect.Left + rect.Right) / 3;
    DrawGradient(dc, first, ShiftColor(color, 24), color, vertical);
    DrawGradient(dc, rest, color, ShiftColor(color, -8), vertical);
}

void TTxAluminumTheme::PaintAluminumCloseButton(HDC dc, const TRect& rect, int radius, TButtonRow row, TColor base,
                                                bool dark) {
    const TColor(&colors)[3] = FCache.ButtonColorTable[row];
    FillRoundRect(dc, rect, radius, radius, radius, radius, colors[cpBody]);
    DrawRoundFrameEven(dc, rect, radius, colors[cpFrame]);
    // A button without a face of its own embosses its cross over what lies beneath.
    DrawEmbossedGlyph(dc, rect, 7, 6, SmallCloseGlyph, colors[cpBody] != clNone ? colors[cpBody] : base, dark);
}

// ---- View painting ------------------------------------------------------------------

void TTxAluminumTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect,
                                       const TRect& clipRect, TColor color, bool transparent, uint32_t viewType) {
    if (LowColorScreen) {
        TTxDefaultTheme::PaintBackground(canvas, dockRect, rect, clipRect, color, transparent, viewType);
        return;
    }
    if (transparent) return;
    TRect r;
    if (!gcl::IntersectRect(r, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const RECT visible = gcl::ToRECT(r);
    if (!RectVisible(dc, &visible)) return;
    if (IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE) || IsPopupView(viewType))
        FillRectColor(dc, r, color);
    else
        DrawBrushedFill(dc, nullptr, r, color, FColors.BrushStrength);
}

void TTxAluminumTheme::PaintDockBackground(TCanvas* canvas, const TRect& clientRect, const TRect& dockRect, int) {
    const TPoint origin{clientRect.Left, clientRect.Top};
    DrawBrushedFill(canvas->GetHandle(), &origin, dockRect, FColors.DockColor, 8);
}

void TTxAluminumTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const TColor effective = info.EffectiveColor;
    TRect r = rect;
    if (info.BorderStyle) {
        TRect inner = r;
        gcl::InflateRect(inner, -1, -1);
        DrawBrushedFill(dc, nullptr, inner, effective, 12);
        DrawBevelRoundFrame(dc, r, 2, 2, 2, 2, ShiftColor(effective, 32), ShiftColor(effective, -96), FColors.DockColor);
    } else {
        DrawBrushedFill(dc, nullptr, r, effective, 12);
    }
    gcl::InflateRect(r, -2, -2);
    if (!info.AllowDrag) return;
    const int size = GetDragHandleSize(info);
    if (!info.IsVertical)
        r.Right = r.Left + size;
    else
        r.Bottom = r.Top + size;
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.DragHandleStyle != 1) {
        TRect grip = r;
        if (!info.IsVertical) {
            grip.Right -= 2;
            if (closeButton) grip.Top += size - 2;
        } else {
            grip.Bottom -= 2;
            if (closeButton) grip.Right -= size - 2;
        }
        gcl::InflateRect(grip, -1, -1);
        DrawDimples(dc, grip, effective, 1);
    }
    if (closeButton) {
        TRect square;
        CalcToolbarCloseButtonRect(info, square);
        if (!info.IsVertical)
            gcl::OffsetRect(square, -1, 0);
        else
            gcl::OffsetRect(square, 0, -1);
        PaintAluminumCloseButton(dc, square, 1, CloseButtonRow(info.CloseButtonState), effective,
                                 (info.CloseButtonState & (CDBS_PRESSED | CDBS_HOT)) != 0);
    }
}

void TTxAluminumTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const TColor effective = info.EffectiveColor;
    const TColor line = BlendColorNearest(MidGrey, 0x000000, 220);
    if (info.RedrawPart & RP_FRAME) {
        TRect r = rect;
        for (int i = 0; i < info.BorderSize.X - 1; ++i) FrameRectColor(dc, r, line, true);
        FrameRectColor(dc, r, effective, false);
        SetCornerPixels(dc, r, BlendColorNearest(line, effective, 127));
    }
    if (!info.ShowCaption) return;
    const int captionHeight = GetSystemMetrics(SM_CYSMCAPTION);
    TRect caption{0, 0, info.ClientWidth, captionHeight};
    gcl::OffsetRect(caption, info.BorderSize.X, info.BorderSize.Y);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    const TColor toolbar = FCache.ToolbarBackground;
    if (info.RedrawPart & RP_CAPTION) {
        TRect c = caption;
        c.Bottom -= 2;
        FillAluminumGradient(dc, c, toolbar, true);
        TRect ring = c;
        gcl::InflateRect(ring, 1, 1);
        DrawBevelRoundFrame(dc, ring, 2, 2, 0, 0, ShiftColor(toolbar, 32), ShiftColor(toolbar, -16), line);
        c.Bottom += 1;
        DrawLineColor(dc, c.Left - 1, c.Bottom - 1, c.Right + 1, c.Bottom - 1, line);
        DrawLineColor(dc, c.Left - 1, c.Bottom, c.Right + 1, c.Bottom, effective);
        if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) c.Right -= captionHeight;
        gcl::InflateRect(c, -2, 0);
        c.Bottom -= 2;
        DrawSmallCaption(canvas, c, info.Caption, 0x000000,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_HIDEPREFIX, false);
    }
    if (closeButton) {
        TRect b = caption;
        b.Left = b.Right - (b.Bottom - b.Top) - 1;
        b.Bottom -= 2;
        FillAluminumGradient(dc, b, toolbar, true);
        b.Left += 3;
        b.Right -= 1;
        b.Top += 1;
        b.Bottom -= 1;
        PaintAluminumCloseButton(dc, b, 2, FloatingCloseButtonRow(info.CloseButtonState, info.Active), toolbar,
                                 (info.CloseButtonState & (CDBS_PRESSED | CDBS_HOT)) != 0);
    }
}

void TTxAluminumTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    HDC dc = canvas->GetHandle();
    const TColor effective = info.EffectiveColor;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect r = rect;
    FrameRectColor(dc, r, FColors.DockColor, true);
    FrameRectColor(dc, r, effective, false);
    SetCornerPixels(dc, r, FColors.DockColor);
    if (!info.ShowCaption()) return;
    const TColor toolbar = FCache.ToolbarBackground;
    if (info.IsVertical) {
        r.Bottom = r.Top + h;
        DrawLineColor(dc, r.Left, r.Bottom, r.Right, r.Bottom, effective);
    } else {
        r.Right = r.Left + h;
        DrawLineColor(dc, r.Right, r.Top, r.Right, r.Bottom, effective);
    }
    gcl::InflateRect(r, -1, -1);
    FillAluminumGradient(dc, r, toolbar, info.IsVertical);
    gcl::InflateRect(r, 1, 1);
    DrawBevelRoundFrame(dc, r, 2, info.IsVertical ? 2 : 0, info.IsVertical ? 0 : 2, 0, ShiftColor(toolbar, 32),
                        ShiftColor(toolbar, -64), FColors.DockColor);
    gcl::InflateRect(r, -1, -1);
    if (info.CloseButtonState & CDBS_VISIBLE) {
        TRect b = r;
        if (info.IsVertical) {
            b.Right -= 1;
            b.Left = b.Right - h + 1;
            r.Right = b.Left;
        } else {
            b.Bottom -= 1;
            b.Top = b.Bottom - h + 2;
            r.Bottom = b.Top;
        }
        gcl::InflateRect(b, -1, -1);
        PaintAluminumCloseButton(dc, b, 1, CloseButtonRow(info.CloseButtonState), toolbar,
                                 (info.CloseButtonState & (CDBS_PRESSED | CDBS_HOT)) != 0);
    }
    TRect text = r;
    if (info.IsVertical)
        gcl::InflateRect(text, -1, 0);
    else
        gcl::InflateRect(text, 0, -1);
    DrawSmallCaption(canvas, text, info.Caption, 0x000000,
                     DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, !info.IsVertical);
    canvas->GetPen()->SetColor(effective);
}

void TTxAluminumTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const TPopupJoint joint = PaintCachePopupFrame(dc, rect, info.ParentItemRect, FCache, clNone);
    const TRect& p = joint.Parent;
    const TColor frame = FCache.ButtonColorTable[brPopupOpen][cpFrame];
    if (joint.Horizontal)
        DitherRect(dc,
                   joint.ParentBelow ? TRect{p.Left + 1, p.Top, p.Right - 1, p.Top + 1}
                                     : TRect{p.Left + 1, p.Bottom - 1, p.Right - 1, p.Bottom},
                   FCache.PopupBackground, frame);
    if (joint.Vertical)
        DitherRect(dc,
                   joint.ParentLeft ? TRect{p.Right - 1, p.Top + 1, p.Right, p.Bottom - 1}
                                    : TRect{p.Left, p.Top + 1, p.Left + 1, p.Bottom - 1},
                   FCache.PopupBackground, frame);
}

void TTxAluminumTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0: {
        DrawGradient(dc, TRect{rect.Left, rect.Top, rect.Right, rect.Top + 5}, ShiftColor(FColors.StatusBarColor, -16),
                     FColors.StatusBarColor, true);
        DrawBrushedFill(dc, nullptr, TRect{rect.Left, rect.Top + 5, rect.Right, rect.Bottom}, FColors.StatusBarColor,
                        FColors.BrushStrength);
        break;
    }
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, FCache.SeparatorColor);
        break;
    }
    case 3: DrawDiagonalSizeGrip(dc, rect, ShiftColorNearest(FColors.StatusBarColor, 64), 0x000000); break;
    default: break;
    }
}

// ---- Item painting ------------------------------------------------------------------

void TTxAluminumTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    if ((itemInfo.ItemOptions & IO_DESIGNING) && !itemInfo.Selected) {
        if (itemInfo.IsPopupParent == 3) r.Left -= 1;
        DrawRoundFrameEven(dc, r, 1, NearestColor(BlendColor(MidGrey, DarkGrey, 100)));
    } else {
        int left = itemInfo.PopupOpen ? 1 : 2, right = left;
        if (itemInfo.IsPopupParent == 2) right = 0;
        if (itemInfo.IsPopupParent == 3) {
            left = 0;
            r.Left -= 1;
        }
        const TColor body = ButtonPart(itemInfo, cpBody);
        FillRoundRect(dc, r, left, right, left, right, body);
        DrawRoundFrame(dc, r, left, right, left, right, ButtonPart(itemInfo, cpFrame));
        if (itemInfo.IsPopupParent == 3 && itemInfo.PopupOpen)
            DrawLineColor(dc, r.Left, r.Top + 1, r.Left, r.Bottom - 1, body);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxAluminumTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                    const std::string& caption, unsigned format, bool rotated) {
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemTextColor(itemInfo);
    TRect shadow = rect;
    gcl::OffsetRect(shadow, 1, 1);
    if (itemInfo.ItemOptions & IO_TOOLBARSTYLE) {
        const TColor body = ButtonPart(itemInfo, cpBody);
        DrawCaptionText(canvas, shadow, caption, ShiftColor(body != clNone ? body : FCache.ToolbarBackground, 16),
                        format, rotated);
    } else if (itemInfo.ViewType & VT_STATUSBAR) {
        DrawCaptionText(canvas, shadow, caption, ShiftColor(FColors.StatusBarColor, 16), format, rotated);
    }
    DrawCaptionText(canvas, rect, caption, color, format, rotated);
}

void TTxAluminumTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int x = (rect.Left + rect.Right) / 2 - 1, y = (rect.Top + rect.Bottom) / 2;
    const TColor text = ButtonPart(itemInfo, cpText);
    if (itemInfo.ItemOptions & IO_RADIO) {
        RoundRectColor(dc, x - 2, y - 3, x + 4, y + 3, 2, 2, BlendColor(text, FCache.ToolbarBackground, 200), clNone);
        RoundRectColor(dc, x - 2, y - 3, x + 4, y + 3, 6, 6, text, text);
    } else {
        DrawCheckTick(dc, x, y, text);
    }
}

void TTxAluminumTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    DrawCentredDropDownTriangle(canvas->GetHandle(), rect, itemInfo.IsVertical, ItemPart(itemInfo, cpText));
}

void TTxAluminumTheme::PaintChevron(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    PaintButton(canvas, rect, itemInfo);
    TRect box = rect;
    if (itemInfo.IsVertical) {
        box.Left = box.Right - 9;
        box.Right = box.Left + 5;
    } else {
        box.Top += 4;
        box.Bottom = box.Top + 5;
    }
    const TColor body = ButtonPart(itemInfo, cpBody);
    const int width = itemInfo.IsVertical ? 5 : 8, height = itemInfo.IsVertical ? 8 : 5;
    DrawEmbossedGlyph(canvas->GetHandle(), box, width, height, ChevronGlyphs[itemInfo.IsVertical ? 1 : 0],
                      body != clNone ? body : FCache.ToolbarBackground, IsHot(itemInfo));
}

void TTxAluminumTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const bool active = itemInfo.Enabled || itemInfo.HoverKind == 1;
    const TColor light = ShiftColor(FCache.ToolbarBackground, 16), dark = ShiftColor(FCache.ToolbarBackground, -16);
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    if (!active) {
        DrawBevelRoundFrame(dc, rect, 1, 1, 1, 1, dark, light, clNone);
        DrawBevelRoundFrame(dc, inner, 1, 1, 1, 1, light, dark, clNone);
        return;
    }
    const bool idle = !itemInfo.Pushed && !itemInfo.Selected && !IsHot(itemInfo) && !(itemInfo.ItemOptions & IO_DESIGNING);
    if (idle) {
        if (!IsOpaqueToolbarItem(itemInfo) && !IsPopupView(itemInfo.ViewType))
            DrawBevelRoundFrame(dc, rect, 1, 1, 1, 1, dark, light, clNone);
        DrawRoundFrameEven(dc, inner, 1, MidGrey);
    } else {
        FrameRectColor(dc, inner, clWindow, false);
        DrawRoundFrameEven(dc, rect, 2, ButtonPart(itemInfo, cpFrame));
    }
}

void TTxAluminumTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    TRect r = rect;
    gcl::InflateRect(r, -w, -w);
    if (buttonWidth > 0) r.Right = rect.Right - buttonWidth;
    if (itemInfo.Enabled) {
        if (!itemInfo.Pushed && !itemInfo.Selected && !IsHot(itemInfo)) {
            DrawRoundFrameEven(dc, r, 1, clWindow);
            gcl::InflateRect(r, -1, -1);
        }
        FillRectColor(dc, r, clWindow);
    }
    PaintEditFrameButton(this, canvas, rect, 0, itemInfo, editFrameInfo);
}

void TTxAluminumTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                       const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    TColor frame = ItemPart(itemInfo, cpFrame);
    if (frame == clNone) frame = MidGrey;
    TRect r = rect;
    r.Left -= 1;
    // The face of one part; topRight / bottomRight: the corner pixels that blend.
    auto face = [&](const TRect& q, const TTxItemInfo& info, bool topRight, bool bottomRight) {
        if (!info.Pushed && !hot) {
            DrawGradient(dc, q, ShiftColor(Grey, 16), ShiftColor(Grey, -16), true);
            DrawBevelRoundFrame(dc, q, 0, 1, 0, 1, ShiftColor(Grey, 24), ShiftColor(Grey, -24), clNone);
            return;
        }
        const TColor body = ItemPart(info, cpBody);
        FillRectColor(dc, q, body);
        const TColor corner = BlendColor(frame, body, 128);
        if (topRight) SetPixelColor(dc, q.Right - 1, q.Top, corner);
        if (bottomRight) SetPixelColor(dc, q.Right - 1, q.Bottom - 1, corner);
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        TTxItemInfo info = itemInfo;
        info.Pushed = (state & EBDS_PRESSED) != 0;
        const int inset = hot || info.Pushed ? 1 : 2;
        gcl::InflateRect(r, -inset, -inset);
        if (!disabled) {
            DrawLineColor(dc, r.Left - 1, r.Top, r.Left - 1, r.Bottom, frame);
            face(r, info, true, true);
        }
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN || disabled) return;
    const int inset = hot || (state & (EBSS_UP | EBSS_DOWN)) ? 1 : 2;
    gcl::InflateRect(r, -inset, -inset);
    TTxItemInfo info = itemInfo;
    TRect up = r, down = r;
    up.Bottom = (r.Top + r.Bottom) / 2;
    down.Top = (r.Top + r.Bottom + 1) / 2;
    info.Pushed = (state & EBSS_UP) != 0;
    face(up, info, true, false);
    DrawCentredSpinTriangle(dc, up, true, ItemPart(info, cpText));
    info.Pushed = (state & EBSS_DOWN) != 0;
    face(down, info, false, true);
    DrawCentredSpinTriangle(dc, down, false, ItemPart(info, cpText));
    DrawLineColor(dc, r.Left - 1, r.Top, r.Left - 1, r.Bottom, frame);
    DrawLineColor(dc, r.Left, (r.Top + r.Bottom - 1) / 2, r.Right, (r.Top + r.Bottom - 1) / 2, frame);
    DrawLineColor(dc, r.Left, (r.Top + r.Bottom) / 2, r.Right, (r.Top + r.Bottom) / 2, frame);
}

void TTxAluminumTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                  TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, MidGrey);
        return;
    }
    const bool hot = IsHot(itemInfo);
    if (!itemInfo.Selected && !itemInfo.Pushed && !hot && !dark && !WhiteButtonFace) {
        DrawImageBlended(canvas, rect, imageList, imageIndex, 200);
        return;
    }
    if (hot && !itemInfo.Selected) {
        if (!itemInfo.Pushed || itemInfo.PopupOpen) {
            TRect shadow = rect;
            gcl::OffsetRect(shadow, 1, 1);
            DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        } else {
            TRect raised = rect, shadow = rect;
            gcl::OffsetRect(raised, -1, -1);
            gcl::OffsetRect(shadow, 1, 1);
            DrawImageShaded(canvas, raised, imageList, imageIndex, 1);
            DrawImageShadow(canvas, shadow, imageList, imageIndex,
                            ShiftColor(FCache.ButtonColorTable[brPushed][cpBody], 24));
        }
    }
    DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
}

void TTxAluminumTheme::PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      unsigned buttonKind) {
    PaintButton(canvas, rect, itemInfo);
    const int index = MDIGlyphIndex(buttonKind);
    gcl::TImageList* images = AluminumStock.StockImages;
    if (index < 0 || !images) return;
    const TColor body = ButtonPart(itemInfo, cpBody);
    const TColor base = body != clNone ? body : FCache.ToolbarBackground;
    const int x = (rect.Left + rect.Right - images->GetWidth()) / 2;
    const int y = (rect.Top + rect.Bottom - images->GetHeight()) / 2;
    HDC dc = canvas->GetHandle();
    DrawStockGlyph(dc, x + 1, y + 1, images, index, ShiftColor(base, 24));
    DrawStockGlyph(dc, x - 1, y - 1, images, index, ShiftColor(base, -32));
    DrawStockGlyph(dc, x, y, images, index, IsHot(itemInfo) ? 0x000000 : 0x3F3F3F);
}

void TTxAluminumTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!((itemInfo.Enabled && IsHot(itemInfo)) || (!itemInfo.Enabled && itemInfo.HoverKind == 1))) return;
    HDC dc = canvas->GetHandle();
    FillRoundRect(dc, rect, 1, 1, 1, 1, ItemPart(itemInfo, cpBody));
    DrawRoundFrameEven(dc, rect, 1, ItemPart(itemInfo, cpFrame));
}

void TTxAluminumTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    const TColor text = ItemPart(itemInfo, cpText);
    const bool imageArea = itemInfo.ImageWidth > 0 || itemInfo.Selected;
    TRect r = rect;
    if (imageArea) r.Left += IntegerMetric(32) + itemInfo.PopupMargin;
    PaintMenuItemFrame(canvas, r, itemInfo);
    if (itemInfo.ItemOptions & IO_COMBO) {
        const int x = r.Right - m - 1;
        const TColor color = !itemInfo.Enabled          ? text
                             : itemInfo.HoverKind == 2 ? ItemPart(itemInfo, cpFrame)
                                                       : MidGrey;
        DrawLineColor(dc, x, r.Top + 1, x, r.Bottom + 1, color);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const int x = rect.Right - (2 * m) / 3, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, text);
    }
    if (imageArea && (IsHot(itemInfo) || itemInfo.Selected))
        PaintButton(canvas, TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin, rect.Bottom}, itemInfo);
}

void TTxAluminumTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      bool horizontal, bool) {
    if (!itemInfo.Enabled) return;
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        const int y = (rect.Top + rect.Bottom) / 2;
        DrawLineColor(dc, rect.Left + 2, y, rect.Right - 2, y, FCache.SeparatorColor);
    } else {
        const int x = (rect.Left + rect.Right) / 2;
        DrawLineColor(dc, x, rect.Top + 2, x, rect.Bottom - 2, FCache.SeparatorColor);
    }
}

void TTxAluminumTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    const TColor(&hotRow)[3] = FCache.ButtonColorTable[brHot];
    TRect r = rect;
    gcl::InflateRect(r, -1, -1);
    if (hot)
        FillRectColor(dc, r, hotRow[cpBody]);
    else
        DrawGradient(dc, r, ShiftColor(FCache.ToolbarBackground, 12), ShiftColor(FCache.ToolbarBackground, -8),
                     direction == 1 || direction == 2);
    SetCornerPixels(dc, rect, clBtnFace);
    DrawRoundFrameEven(dc, rect, 1, hot ? hotRow[cpFrame] : BlendColor(MidGrey, clWindow, 192));
    DrawScrollArrow(dc, r, direction, 0x000000);
}

void TTxAluminumTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int params) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) {
        TTxDefaultTheme::PaintFrameControl(canvas, rect, kind, state, params);
        return;
    }
    const bool disabled = state & PFS_DISABLED, pushed = state & PFS_PUSHED, hot = state & PFS_HOT,
               mixed = state & PFS_MIXED;
    const auto& table = FCache.ButtonColorTable;
    TFrameControlColors colors;
    colors.Outline = disabled ? MidGrey : pushed ? table[brPushed][cpFrame] : hot ? table[brHot][cpFrame] : MidGrey;
    colors.Fill = disabled ? clNone : pushed ? table[brPushed][cpBody] : hot ? table[brHot][cpBody] : clWindow;
    colors.MixedPattern = !disabled && !pushed && !hot && mixed;
    colors.Mark = disabled ? table[brDisabled][cpText]
                  : pushed ? table[brPushed][cpText]
                  : mixed  ? MidGrey
                  : hot    ? table[brHot][cpText]
                           : table[brNormal][cpText];
    PaintCheckRadio(canvas, rect, kind, state, colors);
}

} // namespace qelvo

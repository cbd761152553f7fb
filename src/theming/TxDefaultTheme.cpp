// The Default theme's colours, metrics and item painting: buttons,
// captions, arrows, check marks, chevrons, images, menu items, separators,
// embedded-control and edit frames, check boxes and radio buttons.
#include "theming/TxDefaultTheme.h"

#include <algorithm>

#include "toolbar/BarCommon.h"

namespace qelvo {

using namespace gcl;

GCL_IMPLEMENT_CLASS(TTxDefaultTheme)

namespace {

constexpr int TMT_CONTENTMARGINS = 3603;

void DrawPart(TTxVisualStylesClass cls, HDC dc, int part, int state, const TRect& rect) {
    HTHEME theme = VisualStylesHandle(cls);
    auto draw = uxtheme::DrawThemeBackground();
    if (!theme || !draw) return;
    const RECT r = ToRECT(rect);
    draw(theme, dc, part, state, &r, nullptr);
}

void Edge(HDC dc, TRect& rect, UINT edge, UINT flags) {
    RECT r = ToRECT(rect);
    DrawEdge(dc, &r, edge, flags);
    if (flags & BF_ADJUST) rect = FromRECT(r);
}

void Triangle(HDC dc, TPoint a, TPoint b, TPoint c, TColor color) {
    const TPoint pts[3] = {a, b, c};
    PolygonColor(dc, pts, 2, color, color);
}

TColor ThemeColor(TTxVisualStylesClass cls, int part, int prop, TColor fallback) {
    HTHEME theme = VisualStylesHandle(cls);
    auto get = uxtheme::GetThemeColor();
    COLORREF c;
    if (theme && get && SUCCEEDED(get(theme, part, 0, prop, &c))) return static_cast<TColor>(c);
    return fallback;
}

} // namespace

void TTxDefaultTheme::SetupColorCache() {
    ToolbarColor = VisualStylesOn ? ThemeColor(vscToolbar, 0, ThemePropFillColor, clBtnFace) : clBtnFace;
    ToolbarTextColor = VisualStylesOn ? ThemeColor(vscToolbar, 0, ThemePropTextColor, clBtnText) : clBtnText;
    DockPanelColor = BlendColorNearest(ToolbarColor, clWindow, 64);
    StatusBarColor = VisualStylesOn ? ThemeColor(vscStatus, 0, ThemePropFillColor, clBtnFace) : clBtnFace;
}

// ---- Metrics ----------------------------------------------------------------------------

int TTxDefaultTheme::IntegerMetric(int index) {
    switch (index) {
    case 10:
        if (VisualStylesOn) {
            HTHEME theme = VisualStylesHandle(vscToolbar);
            auto size = uxtheme::GetThemePartSize();
            SIZE s;
            if (theme && size && SUCCEEDED(size(theme, nullptr, 4, 1, nullptr, TS_TRUE, &s))) return s.cx + 2;
        }
        return 11;
    case 20: return 8;
    case 21: return 3;
    case 32: case 62: return 1;
    case 33: case 34: case 36: case 60: case 61: return 2;
    case 35: return -1;
    case 37: return 4;
    case 50: return 6;
    case 65: return 13;
    case 66: return 0;
    default: return -1;
    }
}

bool TTxDefaultTheme::BooleanMetric(int index) { return index == 5 && VisualStylesOn; }

int TTxDefaultTheme::PopupShadowKind() { return 1; }

TPoint TTxDefaultTheme::ImageOffset(TCanvas*, const TTxItemInfo& itemInfo, TCustomImageList*) {
    return itemInfo.Pushed || itemInfo.Selected ? TPoint{1, 1} : TPoint{0, 0};
}

void TTxDefaultTheme::ViewMargins(uint32_t viewType, TTxMarginRect& margins) {
    margins = TTxMarginRect{};
    if (IsToolbarView(viewType) && (viewType & VT_FLOATING)) margins = TTxMarginRect{4, 4, 2, 1};
}

void TTxDefaultTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    margins = TTxMarginRect{};
    switch (marginID) {
    case 1: {
        margins = TTxMarginRect{2, 2, 2, 2};
        HTHEME theme = VisualStylesHandle(vscToolbar);
        auto get = uxtheme::GetThemeMargins();
        MARGINS m;
        if (theme && get && SUCCEEDED(get(theme, nullptr, 1, 2, TMT_CONTENTMARGINS, nullptr, &m)))
            margins = TTxMarginRect{m.cxLeftWidth, m.cxRightWidth, m.cyTopHeight, m.cyBottomHeight};
        break;
    }
    case 2:
        margins = TTxMarginRect{0, 0, 2, 2};
        break;
    case 3: {
        margins = TTxMarginRect{1, 3, 1, 1};
        HTHEME theme = VisualStylesHandle(vscStatus);
        auto content = uxtheme::GetThemeBackgroundContentRect();
        const RECT bounds{0, 0, 100, 100};
        RECT c;
        if (theme && content && SUCCEEDED(content(theme, nullptr, 1, 0, &bounds, &c)))
            margins = TTxMarginRect{c.left, 100 - c.right, c.top, 100 - c.bottom};
        break;
    }
    default:
        break;
    }
}

void TTxDefaultTheme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupView(viewType)) {
        const int b = IsViewKind(viewType, VT_LISTPOPUP) ? 1 : 3;
        border = TPoint{b, b};
    } else if (IsToolbarView(viewType) || (viewType & VT_DOCKPANELGROUP)) {
        if (viewType & VT_FLOATING) {
            const bool sizable = (viewType & VT_SIZABLE) != 0;
            border = TPoint{GetSystemMetrics(sizable ? SM_CXSIZEFRAME : SM_CXDLGFRAME),
                            GetSystemMetrics(sizable ? SM_CYSIZEFRAME : SM_CYDLGFRAME)};
        } else {
            border = TPoint{2, 2};
        }
    } else {
        border = TPoint{0, 0};
    }
}

TColor TTxDefaultTheme::ViewColor(uint32_t viewType) {
    if (viewType & VT_TOOLBARGROUP) return ToolbarColor;
    if (viewType & VT_DOCKPANELGROUP) return DockPanelColor;
    if (viewType & VT_STATUSBAR) return StatusBarColor;
    if (!IsPopupView(viewType)) return clBtnFace;
    if (IsViewKind(viewType, VT_POPUPMENU)) return MenuColor;
    if (IsViewKind(viewType, VT_LISTPOPUP)) return clWindow;
    if (IsViewKind(viewType, VT_TOOLBOXPOPUP)) return ToolbarColor;
    if (IsViewKind(viewType, VT_CHEVRONPOPUP)) return MenuColor;
    return ToolbarColor;
}

TColor TTxDefaultTheme::ItemColor(const TTxItemInfo& itemInfo) {
    if (!VisualStylesOn && IsPopupMenuView(itemInfo.ViewType) && !(itemInfo.ItemOptions & IO_TOOLBARSTYLE) &&
        IsItemHot(itemInfo))
        return clHighlight;
    return ViewColor(itemInfo.ViewType);
}

TColor TTxDefaultTheme::ItemTextColor(const TTxItemInfo& itemInfo) {
    const bool menuBar = IsMenuBarView(itemInfo.ViewType);
    const bool inactiveBar = menuBar && !(itemInfo.ItemOptions & IO_APPACTIVE);
    if (!itemInfo.Enabled) return clGrayText;
    if (itemInfo.ItemOptions & IO_TOOLBARSTYLE) {
        if (!menuBar) return clBtnText;
        if (!FlatMenusOn) return inactiveBar ? clGrayText : clBtnText;
    }
    if (itemInfo.HoverKind != 0) return clHighlightText;
    if (inactiveBar) return clGrayText;
    return MenuTextColor;
}

TColor TTxDefaultTheme::ItemImageBackground(const TTxItemInfo& itemInfo) {
    const bool hot = IsItemHot(itemInfo);
    if (FlatMenusOn && hot) {
        if (IsMenuBarView(itemInfo.ViewType)) return clHighlight;
        if (IsViewKind(itemInfo.ViewType, VT_CHEVRONPOPUP)) return ToolbarColor;
        if (IsPopupMenuView(itemInfo.ViewType) && !(itemInfo.ItemOptions & IO_TOOLBARSTYLE)) return ToolbarColor;
    }
    return ViewColor(itemInfo.ViewType);
}

// ---- Painting -----------------------------------------------------------------------------

void TTxDefaultTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                      TColor color, bool transparent, uint32_t) {
    if (transparent) return;
    TRect r;
    if (IntersectRect(r, rect, clipRect)) FillRectColor(canvas->GetHandle(), r, color);
}

void TTxDefaultTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   const std::string& caption, unsigned format, bool rotated) {
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemTextColor(itemInfo);
    canvas->GetBrush()->SetStyle(bsClear);
    auto draw = [&](TRect r, TColor c) {
        canvas->GetFont()->SetColor(c);
        canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
        HDC dc = canvas->GetHandle();
        SetBkMode(dc, TRANSPARENT);
        if (rotated) {
            DrawRotatedText(dc, caption, r, format);
        } else {
            RECT wr = ToRECT(r);
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &wr, format);
        }
    };
    const bool toolbarStyle = (itemInfo.ItemOptions & IO_TOOLBARSTYLE) != 0;
    TRect r = rect;
    if (!itemInfo.Enabled && itemInfo.HoverKind == 1 && !toolbarStyle) {
        draw(r, color);
    } else if (!itemInfo.Enabled && !VisualStylesOn) {
        TRect shifted = r;
        OffsetRect(shifted, 1, 1);
        draw(shifted, clBtnHighlight);
        draw(r, clBtnShadow);
    } else if (!itemInfo.Enabled) {
        draw(r, color);
    } else {
        if (toolbarStyle && (itemInfo.Pushed || itemInfo.Selected) &&
            !(IsMenuBarView(itemInfo.ViewType) && FlatMenusOn))
            OffsetRect(r, 1, 1);
        draw(r, color);
    }
    canvas->GetBrush()->SetStyle(bsSolid);
}

void TTxDefaultTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    const bool menuBar = IsMenuBarView(itemInfo.ViewType);
    const bool hot = IsItemHot(itemInfo);
    const bool down = itemInfo.Pushed || itemInfo.Selected;
    const bool opaque = IsOpaqueToolbar(itemInfo.ViewType);
    const int popupParent = itemInfo.IsPopupParent;

    if (VisualStylesOn && !menuBar) {
        static constexpr int Parts[4] = {1, 2, 3, 4};
        const int part = Parts[std::min(popupParent, 3)];
        int state;
        if (!itemInfo.Enabled)
            state = itemInfo.HoverKind == 1 ? 2 : 4;
        else if (itemInfo.Pushed)
            state = 3;
        else if (itemInfo.Selected)
            state = hot ? 6 : 5;
        else if (hot)
            state = 2;
        else
            state = 1;
        TRect regionRect = r;
        if (popupParent == 3) regionRect.Left -= 1;
        // An empty or inverted rectangle has no outline to ask for (Wine's
        // uxtheme reads past its image for a negative height).
        if ((opaque || (itemInfo.ItemOptions & IO_DESIGNING)) && !IsRectEmpty(regionRect)) {
            HTHEME theme = VisualStylesHandle(vscToolbar);
            auto region = uxtheme::GetThemeBackgroundRegion();
            const RECT rr = ToRECT(regionRect);
            HRGN rgn = nullptr;
            if (theme && region && SUCCEEDED(region(theme, dc, part, 2, &rr, &rgn)) && rgn) {
                if (opaque) {
                    HBRUSH fill = CreateSolidBrush(static_cast<COLORREF>(ResolveColor(ToolbarColor)));
                    FillRgn(dc, rgn, fill);
                    DeleteObject(fill);
                }
                FrameRgn(dc, rgn, GetSysColorBrush(COLOR_BTNSHADOW), 1, 1);
                DeleteObject(rgn);
            }
        }
        DrawPart(vscToolbar, dc, part, state, r);
    } else if (menuBar && FlatMenusOn) {
        if ((down && itemInfo.Enabled) || hot) FillRectColor(dc, r, clHighlight);
        return;
    } else {
        if (popupParent == 3 && !menuBar && !VisualStylesOn) r.Right -= 2;
        if (FlatMenusOn && ((down && itemInfo.Enabled) || hot)) FillRectColor(dc, r, ToolbarColor);
        if (opaque) {
            TRect e = r;
            if (popupParent == 2 && !hot && !itemInfo.Pushed) e.Right += 1;
            UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
            if (!(hot && itemInfo.Enabled && !down)) flags |= BF_MONO;
            Edge(dc, e, EDGE_RAISED, flags);
            if (itemInfo.Selected && itemInfo.Enabled && !hot) DitherRect(dc, e, ToolbarColor, clBtnHighlight);
        } else if (down && itemInfo.Enabled) {
            TRect e = r;
            Edge(dc, e, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            if (itemInfo.Selected && !itemInfo.Pushed && !hot) DitherRect(dc, e, ToolbarColor, clBtnHighlight);
        } else if (hot || (itemInfo.ItemOptions & IO_DESIGNING)) {
            TRect e = r;
            Edge(dc, e, BDR_RAISEDINNER, BF_RECT);
        }
    }
    if (popupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxDefaultTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    int x = (rect.Left + rect.Right) / 2;
    int y = (rect.Top + rect.Bottom) / 2 - 1;
    if ((itemInfo.Pushed || itemInfo.Selected) && itemInfo.IsPopupParent != 3) {
        ++x;
        ++y;
    }
    auto arrow = [&](int dx, int dy, TColor color) {
        const int ax = x + dx, ay = y + dy;
        if (itemInfo.IsVertical)
            Triangle(dc, {ax, ay + 2}, {ax, ay - 2}, {ax - 2, ay}, color);
        else
            Triangle(dc, {ax - 2, ay}, {ax + 2, ay}, {ax, ay + 2}, color);
    };
    if (!itemInfo.Enabled) {
        arrow(1, 1, clBtnHighlight);
        arrow(0, 0, clBtnShadow);
    } else {
        arrow(0, 0, (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? MenuTextColor : clBtnText);
    }
}

void TTxDefaultTheme::PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int cx = (rect.Left + rect.Right) / 2 - 1;
    const int cy = (rect.Top + rect.Bottom) / 2;
    const TColor color = itemInfo.Enabled ? clBtnText : clGrayText;
    if (!(itemInfo.ItemOptions & IO_RADIO)) {
        const TPoint check[7] = {{cx - 2, cy - 1}, {cx, cy + 1},     {cx + 4, cy - 3}, {cx + 4, cy - 2},
                                 {cx, cy + 2},     {cx - 2, cy},     {cx - 2, cy - 1}};
        PolylineColor(dc, check, 6, color);
        if (itemInfo.Enabled) {
            const TPoint lower[5] = {{cx - 3, cy - 1}, {cx - 3, cy}, {cx, cy + 3}, {cx + 5, cy - 2}, {cx + 5, cy - 4}};
            PolylineColor(dc, lower, 4, clBtnHighlight);
        }
        return;
    }
    const int cx0 = (rect.Left + rect.Right) / 2;
    RoundRectColor(dc, cx0 - 3, cy - 3, cx0 + 3, cy + 3, 2, 2, BlendColor(color, clBtnHighlight, 128), clNone);
    RoundRectColor(dc, cx0 - 3, cy - 3, cx0 + 3, cy + 3, 6, 6, color, color);
    if (itemInfo.Enabled) RoundRectColor(dc, cx0 - 4, cy - 4, cx0 + 4, cy + 4, 6, 6, clBtnHighlight, clNone);
}

void TTxDefaultTheme::PaintChevron(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    PaintButton(canvas, rect, itemInfo);
    HDC dc = canvas->GetHandle();
    static constexpr uint16_t Horizontal[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    static constexpr uint16_t Vertical[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
    TRect box = itemInfo.IsVertical ? TRect{rect.Right - 9, rect.Top, rect.Right - 4, rect.Bottom}
                                    : TRect{rect.Left, rect.Top + 4, rect.Right, rect.Top + 9};
    if (itemInfo.Pushed) OffsetRect(box, 1, 1);
    const int w = itemInfo.IsVertical ? 5 : 8, h = itemInfo.IsVertical ? 8 : 5;
    const uint16_t* bits = itemInfo.IsVertical ? Vertical : Horizontal;
    if (itemInfo.Enabled) {
        DrawGlyphCentered(dc, box, w, h, bits, clBtnText);
    } else {
        TRect shadow = box;
        OffsetRect(shadow, 1, 1);
        DrawGlyphCentered(dc, shadow, w, h, bits, clBtnHighlight);
        DrawGlyphCentered(dc, box, w, h, bits, clBtnShadow);
    }
}

void TTxDefaultTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 TCustomImageList* imageList, int imageIndex) {
    if (!imageList) return;
    const bool popupItem = IsPopupMenuView(itemInfo.ViewType) && !(itemInfo.ItemOptions & IO_TOOLBARSTYLE);
    TRect r = rect;
    if (itemInfo.Pushed || itemInfo.Selected) OffsetRect(r, 1, 1);
    if ((popupItem && !FlatMenusOn) || (!popupItem && !VisualStylesOn)) {
        imageList->Draw(canvas, r.Left, r.Top, imageIndex, itemInfo.Enabled);
        return;
    }
    const TColor background = ItemImageBackground(itemInfo);
    const bool dark = !popupItem && IsDarkColor(background, 100);
    if (itemInfo.Enabled) {
        if (!itemInfo.Selected && !itemInfo.Pushed && !IsItemHot(itemInfo) && !dark && !LowColorScreen)
            DrawImageTinted(canvas, r, imageList, imageIndex, clWindow, 178);
        else
            DrawImageBrightened(canvas, r, imageList, imageIndex, dark);
    } else {
        DrawImageShaded(canvas, r, imageList, imageIndex, 0);
    }
}

void TTxDefaultTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (IsItemHot(itemInfo)) FillRectColor(canvas->GetHandle(), rect, clHighlight);
}

void TTxDefaultTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    const bool imageColumn = itemInfo.ImageWidth > 0 || itemInfo.Selected;
    const bool combo = (itemInfo.ItemOptions & IO_COMBO) != 0;
    const bool hot = IsItemHot(itemInfo);
    TRect frame = rect;
    if (imageColumn) frame.Left += IntegerMetric(32) + itemInfo.PopupMargin;
    if (combo && itemInfo.Enabled) frame.Right -= m;
    PaintMenuItemFrame(canvas, frame, itemInfo);

    if (combo) {
        TRect button{rect.Right - m, rect.Top, rect.Right, rect.Bottom};
        if (itemInfo.Enabled && hot) {
            Edge(dc, button, BDR_SUNKENOUTER, BF_RECT);
        } else {
            button.Left -= 1;
            Edge(dc, button, hot ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
        }
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const int x = rect.Right - (2 * m) / 3 - 2;
        // Half way down the item (its bottom / 2 when it is painted at the origin).
        const int y = (rect.Top + rect.Bottom) / 2;
        auto arrow = [&](int d, TColor c) { Triangle(dc, {x + d, y - 3 + d}, {x + d, y + 3 + d}, {x + 3 + d, y + d}, c); };
        if (!itemInfo.Enabled) {
            if (itemInfo.HoverKind != 1) arrow(1, clBtnHighlight);
            arrow(0, clBtnShadow);
        } else {
            arrow(0, hot && !combo ? clHighlightText : MenuTextColor);
        }
    }
    if (itemInfo.Enabled && imageColumn && (hot || itemInfo.Selected)) {
        TRect column{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin, rect.Bottom};
        if (FlatMenusOn) FillRectColor(dc, column, ToolbarColor);
        PaintButton(canvas, column, itemInfo);
    }
}

void TTxDefaultTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     bool horizontal, bool lineSeparator) {
    if (!itemInfo.Enabled) return;
    HDC dc = canvas->GetHandle();
    if (VisualStylesOn && !IsPopupMenuView(itemInfo.ViewType)) {
        DrawPart(vscToolbar, dc, horizontal ? 6 : 5, 1, rect);
        return;
    }
    int inset = 0;
    if (lineSeparator) inset = (itemInfo.ViewType & VT_FLOATING) ? 1 : 4;
    if (horizontal && !(itemInfo.ItemOptions & IO_TOOLBARSTYLE)) inset = 12;
    if (horizontal) {
        const int y = (rect.Top + rect.Bottom) / 2 - 1;
        TRect line{rect.Left + inset, y, rect.Right - inset, y + 2};
        Edge(dc, line, EDGE_ETCHED, BF_TOP);
    } else {
        const int x = (rect.Left + rect.Right) / 2 - 1;
        TRect line{x, rect.Top + inset, x + 2, rect.Bottom - inset};
        Edge(dc, line, EDGE_ETCHED, BF_LEFT);
    }
}

void TTxDefaultTheme::PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     unsigned buttonKind) {
    HDC dc = canvas->GetHandle();
    if (VisualStylesOn) {
        const int part = buttonKind == 1 ? 16 : buttonKind == 3 ? 22 : 20;
        const int state = itemInfo.Pushed ? 3 : IsItemHot(itemInfo) ? 2 : 1;
        DrawPart(vscWindow, dc, part, state, rect);
        return;
    }
    RECT r = ToRECT(rect);
    DrawFrameControl(dc, &r, DFC_CAPTION, buttonKind | (itemInfo.Pushed ? DFCS_PUSHED : 0));
}

void TTxDefaultTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const bool active = IsItemHot(itemInfo) || itemInfo.Pushed || itemInfo.Selected;
    const bool opaque = IsOpaqueToolbar(itemInfo.ViewType);
    TRect r = rect;
    if (VisualStylesOn) {
        TRect inner = r;
        InflateRect(inner, -1, -1);
        FrameRectColor(dc, inner, opaque ? clBtnShadow : ToolbarColor, false);
        if (active || (itemInfo.ItemOptions & IO_DESIGNING)) DrawPart(vscComboBox, dc, 0, 0, r);
        InflateRect(r, -2, -2);
        FrameRectColor(dc, r, clWindow, false);
        return;
    }
    if (opaque) {
        if (!active) {
            InflateRect(r, -1, -1);
            Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_MONO);
            return;
        }
        Edge(dc, r, EDGE_SUNKEN, BF_RECT);
        InflateRect(r, -1, -1);
        return;
    }
    if (active || (itemInfo.ItemOptions & IO_DESIGNING)) Edge(dc, r, BDR_SUNKENOUTER, BF_RECT);
    InflateRect(r, -1, -1);
    FrameRectColor(dc, r, ToolbarColor, true);
    FrameRectColor(dc, r, clWindow, false);
}

void TTxDefaultTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditFrameInfo& editFrameInfo) {
    PaintControlFrame(canvas, rect, itemInfo);
    TRect r = rect;
    const int inset = IntegerMetric(60);
    InflateRect(r, -inset, -inset);
    TRect field = r;
    // The field reaches under the button's left edge; without a button it
    // keeps clear of the frame.
    if (editFrameInfo.RightBtnWidth > 0) field.Right -= editFrameInfo.RightBtnWidth - 2;
    if (itemInfo.Enabled) FillRectColor(canvas->GetHandle(), field, clWindow);
    if (editFrameInfo.RightBtnWidth > 0) {
        const TRect button{r.Right - editFrameInfo.RightBtnWidth, r.Top, r.Right, r.Bottom};
        PaintEditButton(canvas, button, itemInfo, editFrameInfo.RightBtnInfo);
    }
}

void TTxDefaultTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t st = buttonInfo.ButtonState;
    const bool disabled = (st & EBDS_DISABLED) != 0;
    const bool hot = (st & EBDS_HOT) != 0;
    const bool opaque = IsOpaqueToolbar(itemInfo.ViewType);
    auto vsState = [&](bool pushed) { return disabled ? 4 : pushed ? 3 : hot ? 2 : 1; };
    auto separator = [&](const TRect& r, bool active) {
        DrawLineColor(dc, r.Left - 1, r.Top, r.Left - 1, r.Bottom + 1,
                      active ? ToolbarColor : (opaque ? clBtnShadow : clWindow));
    };
    // Classic edging of one button face by its own pushed state.
    auto edgeFace = [&](TRect r, bool pushed) {
        if (pushed)
            Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (hot)
            Edge(dc, r, BDR_RAISEDINNER, BF_RECT);
        else if (!opaque)
            FrameRectColor(dc, r, clWindow, false);
    };

    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        const bool pushed = (st & EBDS_PRESSED) != 0;
        if (VisualStylesOn) {
            TRect r = rect;
            if (hot) InflateRect(r, 1, 1);
            DrawPart(vscComboBox, dc, 1, vsState(pushed), r);
            return;
        }
        TRect r = rect;
        r.Left += 2;
        if (!disabled) {
            if (opaque) FillRectColor(dc, r, clBtnFace);
            separator(r, hot || pushed);
            if (pushed)
                Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            else if (hot)
                Edge(dc, r, BDR_RAISEDINNER, BF_RECT);
            else
                FrameRectColor(dc, r, clWindow, false);
        }
        TTxItemInfo arrowInfo = itemInfo;
        arrowInfo.Enabled = !disabled && itemInfo.Enabled;
        arrowInfo.Pushed = pushed;
        arrowInfo.IsPopupParent = 0;
        arrowInfo.IsVertical = false;
        PaintDropDownArrow(canvas, r, arrowInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const bool upPushed = (st & EBSS_UP) != 0, downPushed = (st & EBSS_DOWN) != 0;
    TRect up{rect.Left, rect.Top, rect.Right, (rect.Top + rect.Bottom - 1) / 2};
    TRect down{rect.Left, (rect.Top + rect.Bottom) / 2, rect.Right, rect.Bottom};
    if (VisualStylesOn) {
        TRect u = up, d = down;
        if (hot) {
            InflateRect(u, 1, 1);
            InflateRect(d, 1, 1);
        }
        DrawPart(vscSpin, dc, 1, vsState(upPushed), u);
        DrawPart(vscSpin, dc, 2, vsState(downPushed), d);
        return;
    }
    up.Left += 2;
    down.Left += 2;
    if (hot || upPushed || downPushed) {
        up.Bottom -= 1;
        down.Top += 1;
    }
    if (!disabled) {
        separator(TRect{up.Left, rect.Top, up.Right, rect.Bottom}, hot || upPushed || downPushed);
        edgeFace(up, upPushed);
        edgeFace(down, downPushed);
    }
    const TColor arrowColor = (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? MenuTextColor : clBtnText;
    auto arrows = [&](int d, TColor c, bool onlyPushed) {
        const int x = (up.Left + up.Right) / 2;
        const int du = (onlyPushed ? upPushed : false) ? 1 : 0;
        const int dd = (onlyPushed ? downPushed : false) ? 1 : 0;
        const int yu = (3 * up.Top + up.Bottom + 3) / 4;
        const int yd = (down.Top + 3 * down.Bottom - 4) / 4;
        Triangle(dc, {x - 2 + d + du, yu + d + du}, {x + 2 + d + du, yu + d + du}, {x + d + du, yu - 2 + d + du}, c);
        Triangle(dc, {x - 2 + d + dd, yd + d + dd}, {x + 2 + d + dd, yd + d + dd}, {x + d + dd, yd + 2 + d + dd}, c);
    };
    if (disabled) {
        arrows(1, clBtnHighlight, false);
        arrows(0, clBtnShadow, false);
    } else {
        arrows(0, arrowColor, true);
    }
}

void TTxDefaultTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    HDC dc = canvas->GetHandle();
    const bool checked = state & PFS_CHECKED, mixed = state & PFS_MIXED, disabled = state & PFS_DISABLED;
    const bool hot = state & PFS_HOT, pushed = state & PFS_PUSHED;
    if (VisualStylesOn) {
        int part, st;
        if (kind == PFC_CHECKBOX) {
            part = 3;
            const int base = checked ? 5 : mixed ? 9 : 1;
            st = base + (disabled ? 3 : pushed ? 2 : hot ? 1 : 0);
        } else {
            part = 2;
            st = disabled ? (checked ? 8 : 4) : pushed ? (checked ? 7 : 3) : hot ? (checked ? 6 : 2) : (checked ? 5 : 1);
        }
        DrawPart(vscButton, dc, part, st, rect);
        return;
    }
    const TColor outline = disabled ? clBtnShadow : (hot || pushed) ? clNone : clBtnShadow;
    if (outline == clNone) {
        RECT r = ToRECT(rect);
        UINT flags = (kind == PFC_CHECKBOX ? DFCS_BUTTONCHECK : DFCS_BUTTONRADIO) | (checked ? DFCS_CHECKED : 0) |
                     (pushed ? DFCS_PUSHED : 0);
        if (mixed && kind == PFC_CHECKBOX) flags = DFCS_BUTTON3STATE | DFCS_CHECKED | (pushed ? DFCS_PUSHED : 0);
        DrawFrameControl(dc, &r, DFC_BUTTON, flags);
        return;
    }
    TRect r = rect;
    if (kind == PFC_CHECKBOX) {
        InflateRect(r, -1, -1);
        FrameRectColor(dc, r, outline, true);
        if (disabled || pushed)
            FillRectColor(dc, r, clBtnFace);
        else if (mixed)
            DitherRect(dc, r, clWindow, clBtnFace);
        else
            FillRectColor(dc, r, clWindow);
        if (checked || mixed) {
            const int cx = (rect.Left + rect.Right) / 2 - 1, cy = (rect.Top + rect.Bottom) / 2;
            const TPoint pts[7] = {{cx - 2, cy + 1}, {cx, cy + 3}, {cx + 4, cy - 1}, {cx + 4, cy - 3},
                                   {cx, cy + 1},     {cx - 2, cy - 1}, {cx - 2, cy + 1}};
            const TColor c = disabled ? clGrayText : mixed ? clBtnShadow : clBtnText;
            PolygonColor(dc, pts, 6, c, c);
        }
        return;
    }
    const int size = std::min(rect.Width(), rect.Height()) - 2;  // corners that make a circle
    InflateRect(r, -1, -1);
    r.Right -= 1;
    r.Bottom -= 1;
    RoundRectColorInRect(dc, r, size, size, outline, disabled || pushed ? clBtnFace : clWindow);
    if (checked) {
        TRect dot = r;
        InflateRect(dot, -3, -3);
        const int d = std::min(dot.Width(), dot.Height());
        RoundRectColorInRect(dc, dot, d, d, clBtnText, clBtnText);
    }
}

} // namespace qelvo

// ---- Frames and bars -------------------------------------------------------------------------

namespace qelvo {

using namespace gcl;

namespace {

// The close cross of docked toolbars (7 x 7) and of panel captions (7 x 6).
constexpr uint16_t ToolbarCloseGlyph[7] = {0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00};
constexpr uint16_t PanelCloseGlyph[6] = {0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6};

int CloseButtonVSState(uint32_t state) {
    return (state & CDBS_PRESSED) ? 3 : (state & CDBS_HOT) ? 2 : 1;
}

// Paints a close button face in its state and returns where its glyph goes.
TRect PaintCloseFace(HDC dc, TRect r, uint32_t state) {
    const bool pushed = (state & CDBS_PRESSED) != 0;
    if (VisualStylesOn) {
        DrawPart(vscToolbar, dc, 1, CloseButtonVSState(state), r);
    } else if (pushed) {
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT);
    } else if (state & CDBS_HOT) {
        Edge(dc, r, BDR_RAISEDINNER, BF_RECT);
    }
    if (pushed) OffsetRect(r, 1, 1);
    return r;
}

} // namespace

void TTxDefaultTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    if (IsViewKind(info.ViewType, VT_LISTPOPUP)) {
        FrameRectColor(dc, r, clWindowFrame, true);
        FrameRectColor(dc, r, clWindow, true);
        FrameRectColor(dc, r, clWindow, false);
    } else if (FlatMenusOn && !IsViewKind(info.ViewType, VT_TOOLBOXPOPUP)) {
        FrameRectColor(dc, r, clBtnShadow, true);
        FrameRectColor(dc, r, MenuColor, true);
        FrameRectColor(dc, r, MenuColor, false);
    } else {
        Edge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        FrameRectColor(dc, r, IsViewKind(info.ViewType, VT_TOOLBOXPOPUP) ? ToolbarColor : MenuColor, false);
    }
}

void TTxDefaultTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    canvas->FillRect(rect);
    HDC dc = canvas->GetHandle();
    if (info.BorderStyle == 1) {
        TRect r = rect;
        if (VisualStylesOn) {
            const TColor color = info.EffectiveColor != clNone ? info.EffectiveColor : canvas->GetBrush()->GetColor();
            Frame3DColor(dc, r, ShiftColor(color, 24), ShiftColor(color, -32), false);
        } else {
            Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
    }
    if (!info.AllowDrag) return;
    const int size = GetDragHandleSize(info);
    const bool hasClose = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    const TPoint b = info.BorderSize;
    const TRect strip = info.IsVertical ? TRect{b.X, b.Y, b.X + info.ClientWidth, b.Y + size}
                                        : TRect{b.X, b.Y, b.X + size, b.Y + info.ClientHeight};
    TRect closeRect;
    if (hasClose) CalcToolbarCloseButtonRect(info, closeRect);

    if (info.DragHandleStyle != 1 && size > 0) {
        if (VisualStylesOn) {
            TRect band = strip;
            if (info.IsVertical) {
                band.Top = strip.Top + (size - 6) / 2;
                band.Bottom = band.Top + 6;
                if (hasClose) band.Right = closeRect.Left;
                band.Right = band.Left + (band.Width() / 4) * 4;
            } else {
                band.Left = strip.Left + (size - 6) / 2;
                band.Right = band.Left + 6;
                if (hasClose) band.Top = closeRect.Bottom;
                band.Bottom = band.Top + (band.Height() / 4) * 4;
            }
            DrawPart(vscRebar, dc, info.IsVertical ? 2 : 1, 0, band);
        } else {
            static constexpr int Offsets[2][3] = {{2, 0, 2}, {3, 0, 5}};
            const int offset = Offsets[hasClose ? 1 : 0][std::clamp(info.DragHandleStyle, 0, 2)];
            const int bars = info.DragHandleStyle == 0 ? 2 : 1;
            for (int i = 0; i < bars; ++i) {
                TRect bar;
                if (info.IsVertical) {
                    const int y = strip.Top + offset + 3 * i;
                    bar = TRect{strip.Left + 1, y, (hasClose ? closeRect.Left : strip.Right) - 1, y + 3};
                } else {
                    const int x = strip.Left + offset + 3 * i;
                    bar = TRect{x, (hasClose ? closeRect.Bottom : strip.Top) + 1, x + 3, strip.Bottom - 1};
                }
                if (IsRectEmpty(bar)) continue;
                Edge(dc, bar, BDR_RAISEDINNER, BF_RECT);
                SetPixelV(dc, bar.Left, bar.Bottom - 1, static_cast<COLORREF>(ResolveColor(clBtnHighlight)));
            }
        }
    }
    if (hasClose) {
        TRect r = closeRect;
        const int d = VisualStylesOn ? 1 : 2;
        r.Bottom -= d;
        if (info.IsVertical)
            r.Left += d;
        else
            r.Right -= d;
        const TRect glyph = PaintCloseFace(dc, r, info.CloseButtonState);
        DrawGlyphCentered(dc, glyph, 7, 7, ToolbarCloseGlyph, clBtnText);
    }
}

void TTxDefaultTheme::PaintDockBackground(TCanvas* canvas, const TRect&, const TRect& dockRect, int dockPosition) {
    if (!VisualStylesOn) return;  // the caller's fill stands
    TRect r = dockRect;
    if (dockPosition == 3 || dockPosition == 4) r.Bottom += 1;
    DrawPart(vscRebar, canvas->GetHandle(), 0, 0, r);
}

void TTxDefaultTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    HDC dc = canvas->GetHandle();
    const int cy = GetSystemMetrics(SM_CYSMCAPTION);
    const bool top = info.IsVertical;
    const bool showCaption = info.ShowCaption();
    TRect r = rect;
    FrameRectColor(dc, r, ToolbarColor, true);
    TRect band = top ? TRect{r.Left, r.Top, r.Right, r.Top + cy} : TRect{r.Left, r.Top, r.Left + cy, r.Bottom};
    TRect rest = r;
    if (showCaption) {
        if (top)
            rest.Top = band.Bottom;
        else
            rest.Left = band.Right;
    }
    FrameRectColor(dc, rest, clWindow, false);
    if (!showCaption) return;

    auto face = [&](const TRect& area) {
        if (VisualStylesOn)
            DrawGradient(dc, area, ShiftColor(ToolbarColor, 12), ShiftColor(ToolbarColor, -12), top);
        else
            FillRectColor(dc, area, ToolbarColor);
    };
    Edge(dc, band, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    face(band);
    if (info.CloseButtonState & CDBS_VISIBLE) {
        TRect square = top ? TRect{band.Right - cy, band.Top, band.Right, band.Bottom}
                           : TRect{band.Left, band.Bottom - cy, band.Right, band.Bottom};
        if (top)
            band.Right = square.Left;
        else
            band.Bottom = square.Top;
        face(square);
        InflateRect(square, -1, -1);
        TRect glyph = PaintCloseFace(dc, square, info.CloseButtonState);
        InflateRect(glyph, -2, -2);
        DrawGlyphCentered(dc, glyph, 7, 6, PanelCloseGlyph, clBtnText);
    }
    TRect text = band;
    if (top)
        InflateRect(text, 0, -2);
    else
        InflateRect(text, -2, 0);
    canvas->SetFont(SmCaptionFont());
    canvas->GetFont()->SetColor(clBtnText);
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
    SetBkMode(dc, TRANSPARENT);
    constexpr UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (top) {
        RECT tr = ToRECT(text);
        DrawTextA(dc, info.Caption.c_str(), static_cast<int>(info.Caption.size()), &tr, Flags);
    } else {
        DrawRotatedText(dc, info.Caption, text, Flags);
    }
    canvas->GetBrush()->SetStyle(bsSolid);
}

void TTxDefaultTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    const bool hasClose = info.ShowCaption && (info.CloseButtonState & CDBS_VISIBLE);
    const bool pushed = (info.CloseButtonState & CDBS_PRESSED) != 0;
    TRect caption, closeRect;
    CalcFloatingCaptionRect(info, CR_OFFSET | (hasClose ? CR_EXCLUDECLOSEBUTTON : 0), caption);
    CalcFloatingCloseButtonRect(info, true, closeRect);
    const TRect inner{rect.Left + info.BorderSize.X, rect.Top + info.BorderSize.Y, rect.Right - info.BorderSize.X,
                      rect.Bottom - info.BorderSize.Y};

    if (VisualStylesOn) {
        const int state = info.Active ? 1 : 2;
        const int captionHeight = info.ShowCaption ? caption.Height() : 0;
        if (info.RedrawPart & RP_FRAME) {
            const int topBottom = inner.Top + captionHeight;
            DrawPart(vscWindow, dc, 2, state, TRect{rect.Left, rect.Top, rect.Right, topBottom});
            DrawPart(vscWindow, dc, 10, state, TRect{rect.Left, topBottom, inner.Left, inner.Bottom});
            DrawPart(vscWindow, dc, 11, state, TRect{inner.Right, topBottom, rect.Right, inner.Bottom});
            DrawPart(vscWindow, dc, 12, state, TRect{rect.Left, inner.Bottom, rect.Right, rect.Bottom});
        }
        if (!info.ShowCaption) return;
        if (info.RedrawPart & RP_CAPTION) {
            if (!(info.RedrawPart & RP_FRAME)) {
                // The caption's background belongs to the top frame part.
                const int saved = SaveDC(dc);
                IntersectClipRect(dc, caption.Left, caption.Top, caption.Right, caption.Bottom);
                DrawPart(vscWindow, dc, 2, state, TRect{rect.Left, rect.Top, rect.Right, inner.Top + caption.Height()});
                RestoreDC(dc, saved);
            }
            canvas->SetFont(SmCaptionFont());
            canvas->GetFont()->SetColor(info.Active ? clCaptionText : clInactiveCaptionText);
            canvas->GetBrush()->SetStyle(bsClear);
            canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
            SetBkMode(dc, TRANSPARENT);
            RECT tr = ToRECT(caption);
            DrawTextA(dc, info.Caption.c_str(), static_cast<int>(info.Caption.size()), &tr,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX);
            canvas->GetBrush()->SetStyle(bsSolid);
        }
        if (hasClose && (info.RedrawPart & RP_CLOSEBUTTON)) {
            TRect r = closeRect;
            InflateRect(r, -2, -2);
            DrawPart(vscWindow, dc, 19, CloseButtonVSState(info.CloseButtonState), r);
        }
        return;
    }

    if (info.RedrawPart & RP_FRAME) {
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
        TRect r = rect;
        Edge(dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
        RestoreDC(dc, saved);
    }
    if (!info.ShowCaption) return;
    BOOL gradient = FALSE;
    SystemParametersInfoA(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    if (info.RedrawPart & RP_CAPTION) {
        const int saved = SaveDC(dc);
        if (hasClose) ExcludeClipRect(dc, closeRect.Left, closeRect.Top, closeRect.Right, closeRect.Bottom);
        RECT cr = ToRECT(caption);
        UINT flags = DC_TEXT | DC_SMALLCAP | (info.Active ? DC_ACTIVE : 0) | (gradient ? DC_GRADIENT : 0);
        DrawCaption(info.WindowHandle, dc, &cr, flags);
        RestoreDC(dc, saved);
        TRect full;
        CalcFloatingCaptionRect(info, CR_OFFSET, full);
        DrawLineColor(dc, full.Left, full.Bottom, full.Right, full.Bottom, clBtnFace);
    }
    if (hasClose) {
        TRect button = closeRect;
        InflateRect(button, -2, -2);
        if (info.RedrawPart & RP_CAPTION) {
            const TColor captionColor = info.Active ? (gradient ? clGradientActiveCaption : clActiveCaption)
                                                    : (gradient ? clGradientInactiveCaption : clInactiveCaption);
            const int saved = SaveDC(dc);
            ExcludeClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
            FillRectColor(dc, closeRect, captionColor);
            RestoreDC(dc, saved);
        }
        if (info.RedrawPart & (RP_CAPTION | RP_CLOSEBUTTON)) {
            RECT br = ToRECT(button);
            DrawFrameControl(dc, &br, DFC_CAPTION, DFCS_CAPTIONCLOSE | (pushed ? DFCS_PUSHED : 0));
        }
    }
}

void TTxDefaultTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    if (!VisualStylesOn) {
        static constexpr UINT Kinds[4] = {DFCS_SCROLLUP, DFCS_SCROLLDOWN, DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT};
        RECT r = ToRECT(rect);
        DrawFrameControl(dc, &r, DFC_SCROLL, Kinds[std::clamp(direction, 1, 4) - 1] | (hot ? DFCS_FLAT : 0));
        return;
    }
    DrawPart(vscToolbar, dc, 1, hot ? 3 : 2, rect);
    const int size = std::min(rect.Width(), rect.Height()) * 3 / 4;
    const int half = size / 2, quarter = size / 4;
    const TPoint c = CenterPoint(rect);
    switch (direction) {
    case 1: Triangle(dc, {c.X - half, c.Y + quarter}, {c.X + half, c.Y + quarter}, {c.X, c.Y - quarter}, clBtnText); break;
    case 2: Triangle(dc, {c.X - half, c.Y - quarter}, {c.X + half, c.Y - quarter}, {c.X, c.Y + quarter}, clBtnText); break;
    case 3: Triangle(dc, {c.X + quarter, c.Y - half}, {c.X + quarter, c.Y + half}, {c.X - quarter, c.Y}, clBtnText); break;
    default: Triangle(dc, {c.X - quarter, c.Y - half}, {c.X - quarter, c.Y + half}, {c.X + quarter, c.Y}, clBtnText); break;
    }
}

void TTxDefaultTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    if (VisualStylesOn) {
        DrawPart(vscStatus, dc, std::clamp(part, 0, 3), 0, rect);
        return;
    }
    TRect r = rect;
    switch (part) {
    case 0:
        FillRectColor(dc, r, StatusBarColor);
        break;
    case 1:
        r.Right -= 2;
        Frame3DColor(dc, r, clBtnShadow, clBtnHighlight, false);
        break;
    case 2:
        Frame3DColor(dc, r, clBtnShadow, clBtnHighlight, false);
        break;
    case 3: {
        const int side = std::min(r.Width(), r.Height());
        std::vector<TColor> group;
        if (side < 9)
            group = {clBtnShadow, clBtnHighlight};
        else if (side < 12)
            group = {StatusBarColor, clBtnShadow, clBtnHighlight};
        else if (side < 15)
            group = {clBtnShadow, clBtnShadow, clBtnHighlight};
        else
            group = {StatusBarColor, clBtnShadow, clBtnShadow, clBtnHighlight};
        // Diagonal lines from the bottom edge up to the right edge, three
        // groups outwards from the corner.
        int d = 1;
        for (int g = 0; g < 3; ++g)
            for (TColor color : group) {
                if (d < side) DrawLineColor(dc, r.Right - d - 1, r.Bottom - 1, r.Right, r.Bottom - d - 2, color);
                ++d;
            }
        const TPoint edge[3] = {{r.Right - 1, r.Bottom - side}, {r.Right - 1, r.Bottom - 1}, {r.Right - side, r.Bottom - 1}};
        PolylineColor(dc, edge, 2, StatusBarColor);
        break;
    }
    default:
        break;
    }
}

} // namespace qelvo

// The Stripes theme and the classic base it gives Roma and Monai: three
// colours, dithered faces, cut-corner outlines, patterned grips and caption
// bars.
#include "themes/TxStripesTheme.h"
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

namespace {

TThemeStock StripesStock{true};


// The grid of the dot patterns: rect inset, shrunk to 4n + 2 each way and centred.
TRect PatternGrid(const TRect& rect, int inset) {
    const TRect r = Inset(rect, inset);
    const int w = ((r.Width() - 2) / 4) * 4 + 2, h = ((r.Height() - 2) / 4) * 4 + 2;
    const int left = (r.Left + r.Right - w - 1) / 2, top = (r.Top + r.Bottom - h - 1) / 2;
    return TRect{left, top, left + w, top + h};
}

constexpr unsigned CenteredCaption = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

} // namespace

void DrawCutCornerOutlineColor(HDC dc, const TRect& rect, int leftCut, int rightCut, TColor color) {
    DrawCutOutline(dc, rect, leftCut, rightCut, color);
}

GCL_IMPLEMENT_CLASS(TTxStripesTheme)

TTxStripesTheme::TTxStripesTheme(const std::string& name) : TTxStripesTheme(name, StripesStock, TVariant{}) {}

TTxStripesTheme::TTxStripesTheme(const std::string& name, TThemeStock& stock, const TVariant& variant)
    : TTxDefaultTheme(name), FStock(&stock), FVariant(variant) {
    FStock->Acquire();
}

TTxStripesTheme::~TTxStripesTheme() { FStock->Release(); }

void TTxStripesTheme::SetupColorCache() {
    CurrentCacheFormulas().Stripes(FColors);
    ToolbarColor = FColors.Face;
}

// ---- Colours and metrics ------------------------------------------------------------

TColor TTxStripesTheme::ItemColor(const TTxItemInfo& itemInfo) { return TTxDefaultTheme::ItemColor(itemInfo); }

TColor TTxStripesTheme::ItemTextColor(const TTxItemInfo& info) {
    const bool toolbarStyle = (info.ItemOptions & IO_TOOLBARSTYLE) != 0;
    if (!toolbarStyle && !info.Enabled && info.HoverKind == 1) return clBtnShadow;
    if (!info.Enabled) return FColors.Shadow;
    if (toolbarStyle && !IsMenuBarView(info.ViewType)) return clBtnText;
    if (info.HoverKind != 0) return clHighlightText;
    if (IsMenuBarView(info.ViewType) && !(info.ItemOptions & IO_APPACTIVE)) return clGrayText;
    return clMenuText;
}

void TTxStripesTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    TTxDefaultTheme::ThemeMargins(marginID, margins);
    if (marginID == 2) margins.TopHeight = margins.BottomHeight = 2;
}

int TTxStripesTheme::PopupShadowKind() { return 3; }

void TTxStripesTheme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsToolbarView(viewType) || (viewType & VT_DOCKPANELGROUP)) {
        if (viewType & VT_FLOATING)
            border = (viewType & VT_SIZABLE) ? TPoint{GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)}
                                             : TPoint{GetSystemMetrics(SM_CXFIXEDFRAME), GetSystemMetrics(SM_CYFIXEDFRAME)};
        else
            border = {2, 2};
    } else if (IsPopupView(viewType)) {
        border = IsViewKind(viewType, VT_LISTPOPUP) ? TPoint{2, 2} : TPoint{3, 3};
    } else {
        border = {0, 0};
    }
}

TColor TTxStripesTheme::ViewColor(uint32_t viewType) {
    if (IsToolbarView(viewType)) return clBtnFace;
    if (IsPopupView(viewType)) {
        if (FVariant.ToolboxInWindowColor && !IsPopupMenuView(viewType) &&
            (IsViewKind(viewType, VT_LISTPOPUP) || IsViewKind(viewType, VT_TOOLBOXPOPUP)))
            return clWindow;
        if (IsPopupMenuView(viewType) || IsViewKind(viewType, VT_CHEVRONPOPUP)) return PopupMenuColor;
        if (IsViewKind(viewType, VT_LISTPOPUP)) return clWindow;
        return FColors.Face;
    }
    if (viewType & VT_DOCKPANELGROUP) return FColors.Panel;
    return FColors.Face;
}

int TTxStripesTheme::IntegerMetric(int index) {
    switch (index) {
    case 10: return 12;
    case 36:
    case 62: return 1;
    case 37:
    case 60:
    case 61: return 2;
    case 65: return 14;
    default: return TTxDefaultTheme::IntegerMetric(index);
    }
}

bool TTxStripesTheme::BooleanMetric(int index) {
    if (index >= 4 && index <= 7) return false;
    return TTxDefaultTheme::BooleanMetric(index);
}

// ---- Patterns and glyphs --------------------------------------------------------------

void TTxStripesTheme::PreparePattern(TColor color) {
    gcl::TBitmap* bitmap = FStock->StockBitmap;
    bitmap->SetSize(8, 8);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    FillRectColor(dc, TRect{0, 0, 8, 8}, color);
    const TColor light = NearestColor(BlendColor(color, clBtnHighlight, 32));
    const TColor dark = NearestColor(BlendColor(color, clBtnShadow, 64));
    for (int y : {0, 4})
        for (int x : {0, 4}) {
            SetPixelColor(dc, x, y, light);
            SetPixelColor(dc, x + 1, y + 1, dark);
        }
}

void TTxStripesTheme::PaintPattern(TCanvas* canvas, const TRect& rect, TColor color, int inset) {
    HDC dc = canvas->GetHandle();
    const TRect grid = PatternGrid(rect, inset);
    if (color == clNone) {
        for (int y = 0; 4 * y < grid.Height(); ++y)
            for (int x = 0; 4 * x < grid.Width(); ++x) {
                SetPixelColor(dc, grid.Left + 4 * x + 1, grid.Top + 4 * y + 1, clBtnHighlight);
                SetPixelColor(dc, grid.Left + 4 * x + 2, grid.Top + 4 * y + 2, clBtnShadow);
            }
        return;
    }
    if (!FStock->StockBitmap) return;
    PreparePattern(color);
    FillRectColor(dc, rect, color);
    if (grid.Width() <= 0 || grid.Height() <= 0) return;
    HBRUSH brush = CreatePatternBrush(FStock->StockBitmap->GetHandle());
    if (!brush) return;
    POINT origin{grid.Left, grid.Top};
    LPtoDP(dc, &origin, 1);
    POINT old{};
    SetBrushOrgEx(dc, origin.x, origin.y, &old);
    const RECT r = gcl::ToRECT(grid);
    FillRect(dc, &r, brush);
    SetBrushOrgEx(dc, old.x, old.y, nullptr);
    DeleteObject(brush);
}

void TTxStripesTheme::DrawCloseGlyph(HDC dc, const TRect& rect) const {
    DrawGlyphCentered(dc, rect, 7, 6, SmallCloseGlyph, clBtnText);
}

void TTxStripesTheme::DitherPushed(HDC dc, const TRect& rect, bool nearest) const {
    const TColor soft = nearest ? BlendColorNearest(clBtnHighlight, clBtnFace, 126) : BlendColor(clBtnHighlight, clBtnFace, 126);
    DitherRect(dc, rect, clBtnHighlight, LowColorScreen ? TColor{clBtnHighlight} : soft);
}

void TTxStripesTheme::DitherHot(HDC dc, const TRect& rect, bool nearest) const {
    const TColor soft = nearest ? BlendColorNearest(clBtnHighlight, clBtnFace, 192) : BlendColor(clBtnHighlight, clBtnFace, 192);
    DitherRect(dc, rect, clBtnFace, LowColorScreen ? TColor{clBtnFace} : soft);
}

void TTxStripesTheme::PaintPatternedCaption(TCanvas* canvas, const TRect& bar, const std::string& caption,
                                            bool vertical, bool patterned, unsigned format) {
    HDC dc = canvas->GetHandle();
    if (gcl::TFont* font = SmCaptionFont()) canvas->SetFont(font);
    const gcl::TSize size = caption.empty() ? gcl::TSize{0, 0} : canvas->TextExtent(caption);
    const int extent = caption.empty() ? 0 : (vertical ? size.cy : size.cx) + 12;
    const int start = vertical ? bar.Top : bar.Left, end = vertical ? bar.Bottom : bar.Right;
    if (!patterned || end - start <= extent) {
        FillRectColor(dc, bar, clBtnFace);
    } else if (caption.empty()) {
        PaintPattern(canvas, bar, clBtnFace, 1);
    } else {
        const int a = (start + end - extent) / 2, b = (start + end + extent) / 2;
        auto part = [&](int from, int to) {
            return vertical ? TRect{bar.Left, from, bar.Right, to} : TRect{from, bar.Top, to, bar.Bottom};
        };
        PaintPattern(canvas, part(start, a), clBtnFace, 1);
        PaintPattern(canvas, part(b, end), clBtnFace, 1);
        FillRectColor(dc, part(a, b), clBtnFace);
    }
    DrawSmallCaption(canvas, bar, caption, clBtnText, format, vertical);
}

// ---- Backgrounds and frames --------------------------------------------------------------

void TTxStripesTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                      TColor color, bool transparent, uint32_t viewType) {
    if (LowColorScreen) {
        TTxDefaultTheme::PaintBackground(canvas, dockRect, rect, clipRect, color, transparent, viewType);
        return;
    }
    if (transparent) return;
    if (IsMenuBarView(viewType) || IsViewKind(viewType, VT_DOCKPANEL) || IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE)) {
        TRect r;
        if (gcl::IntersectRect(r, rect, clipRect)) FillRectColor(canvas->GetHandle(), r, color);
        return;
    }
    FillStriped(canvas->GetHandle(), rect, clipRect, color, TStripes{5, 0, 1, -16, 16});
}

void TTxStripesTheme::PaintDockBackground(TCanvas*, const TRect&, const TRect&, int) {}

void TTxStripesTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    FrameRectColor(dc, r, NearestColor(BlendColor(clBtnShadow, 0x000000, 127)), true);
    if (IsViewKind(info.ViewType, VT_LISTPOPUP)) {
        FillRectColor(dc, r, clWindow);
    } else if (PopupMenuFlag && !IsViewKind(info.ViewType, VT_TOOLBOXPOPUP)) {
        FillRectColor(dc, r, PopupMenuColor);
    } else if (FVariant.RaisedPopupEdge) {
        DrawEdgeRect(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        FillRectColor(dc, r, FColors.Face);
    } else {
        FillRectColor(dc, r, FColors.Panel);
    }
}

void TTxStripesTheme::PaintDragGrip(TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info, TColor color) {
    HDC dc = canvas->GetHandle();
    const TColor line = BlendColorNearest(clBtnShadow, clBtnFace, 96);
    if (!info.IsVertical)
        DrawLineColor(dc, handle.Right - 2, handle.Top, handle.Right - 2, handle.Bottom, line);
    else
        DrawLineColor(dc, handle.Left, handle.Bottom - 2, handle.Right, handle.Bottom - 2, line);
    TRect area = Inset(handle, 1);
    if (info.CloseButtonState & CDBS_VISIBLE) {
        const int g = GetDragHandleSize(info);
        if (!info.IsVertical)
            area.Top += g - 2;
        else
            area.Right -= g - 2;
    }
    PaintPattern(canvas, area, color, 0);
}

void TTxStripesTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    gcl::TBrush* brush = canvas->GetBrush();
    const TColor entry = brush->GetStyle() == gcl::bsClear ? clNone : brush->GetColor();
    TRect r = rect;
    if (info.BorderStyle == 1) DrawEdgeRect(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (entry != clNone) FillRectColor(dc, r, entry);
    r = Inset(r, 1);
    if (info.AllowDrag && info.DragHandleStyle != 1) {
        const int g = GetDragHandleSize(info);
        const TRect handle = !info.IsVertical ? TRect{r.Left, r.Top, r.Left + g, r.Bottom}
                                              : TRect{r.Left, r.Top, r.Right, r.Top + g};
        PaintDragGrip(canvas, handle, info, entry);
    }
    if (!(info.CloseButtonState & CDBS_VISIBLE)) return;
    TRect c;
    CalcToolbarCloseButtonRect(info, c);
    if (!info.IsVertical)
        gcl::OffsetRect(c, -1, 0);
    else
        gcl::OffsetRect(c, 0, -1);
    c = Inset(c, 1);
    TRect glyph = c;
    const bool pushed = (info.CloseButtonState & CDBS_PRESSED) != 0;
    if (pushed || (info.CloseButtonState & CDBS_HOT)) {
        if (pushed) {
            DitherPushed(dc, c, false);
            gcl::OffsetRect(glyph, 1, 1);
        } else {
            DitherHot(dc, c, false);
        }
        DrawCutCornerOutlineColor(dc, Inset(c, -1), 1, 1,
                                  LowColorScreen && pushed ? TColor{clBtnShadow}
                                                           : BlendColorNearest(clBtnShadow, clBtnFace, 191));
    }
    DrawCloseGlyph(dc, glyph);
}

void TTxStripesTheme::PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) {
    HDC dc = canvas->GetHandle();
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect r = rect;
    FrameRectColor(dc, r, FColors.Face, true);
    TRect client = r;
    if (info.IsVertical)
        client.Top += h;
    else
        client.Left += h;
    FrameRectColor(dc, client, info.EffectiveColor, false);
    if (!info.ShowCaption()) return;
    TRect bar = info.IsVertical ? TRect{r.Left, r.Top, r.Right, r.Top + h} : TRect{r.Left, r.Top, r.Left + h, r.Bottom};
    DrawEdgeRect(dc, bar, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_ADJUST);
    if (info.CloseButtonState & CDBS_VISIBLE) {
        TRect c;
        if (info.IsVertical) {
            c = TRect{bar.Right - h + 1, bar.Top, bar.Right, bar.Bottom};
            bar.Right = c.Left;
        } else {
            c = TRect{bar.Left, bar.Bottom - h + 1, bar.Right, bar.Bottom};
            bar.Bottom = c.Top;
        }
        c = Inset(c, 2);
        TRect glyph = c;
        const bool pushed = (info.CloseButtonState & CDBS_PRESSED) != 0;
        if (pushed || (info.CloseButtonState & CDBS_HOT)) {
            if (pushed) {
                DitherPushed(dc, c, true);
                gcl::OffsetRect(glyph, 1, 1);
            } else {
                DitherHot(dc, c, true);
            }
            DrawCutCornerOutlineColor(dc, Inset(c, -1), 1, 1,
                                      LowColorScreen && pushed ? TColor{clBtnShadow}
                                                               : BlendColorNearest(clBtnShadow, clBtnFace, 191));
        }
        DrawCloseGlyph(dc, glyph);
    }
    if (info.IsVertical)
        gcl::InflateRect(bar, 0, -1);
    else
        gcl::InflateRect(bar, -1, 0);
    PaintPatternedCaption(canvas, bar, info.Caption, !info.IsVertical, true, CenteredCaption);
}

void TTxStripesTheme::PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) {
    HDC dc = canvas->GetHandle();
    if (info.RedrawPart & RP_FRAME) {
        TRect r = rect;
        FrameRectColor(dc, r, NearestColor(BlendColor(clBtnShadow, 0x000000, 127)), true);
        DrawEdgeRect(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        FrameRectColor(dc, r, clBtnFace, true);
        FrameRectColor(dc, r, clBtnFace, true);
        TRect inner = rect;
        gcl::InflateRect(inner, -info.BorderSize.X, -info.BorderSize.Y);
        const int saved = SaveDC(dc);
        ExcludeClipRect(dc, inner.Left, inner.Top, inner.Right, inner.Bottom);
        FillRectColor(dc, r, ViewColor(info.ViewType));
        RestoreDC(dc, saved);
    }
    if (!info.ShowCaption) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    TRect bar{0, 0, info.ClientWidth, h};
    gcl::OffsetRect(bar, info.BorderSize.X, info.BorderSize.Y);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (info.RedrawPart & RP_CAPTION) {
        DrawLineColor(dc, bar.Left, bar.Bottom - 1, bar.Right, bar.Bottom - 1, clBtnFace);
        DrawLineColor(dc, bar.Left - 1, bar.Bottom - 2, bar.Right + 1, bar.Bottom - 2, FColors.Shadow);
        TRect c{bar.Left, bar.Top, bar.Right, bar.Bottom - 2};
        if (closeButton && (info.RedrawPart & RP_CLOSEBUTTON)) c.Right -= h;
        PaintPatternedCaption(canvas, c, info.Caption, false, info.Active,
                              DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX);
    }
    if (!closeButton) return;
    TRect square{bar.Right - h - 1, bar.Top, bar.Right, bar.Bottom};
    FillRectColor(dc, square, clBtnFace);
    DrawLineColor(dc, square.Left, square.Bottom - 2, square.Right, square.Bottom - 2, FColors.Shadow);
    square.Bottom -= 2;
    square.Left += 4;
    TRect glyph = square;
    const bool pushed = (info.CloseButtonState & CDBS_PRESSED) != 0;
    if (pushed || (info.CloseButtonState & CDBS_HOT)) {
        DrawCutCornerOutlineColor(dc, square, 1, 1, clBtnShadow);
        const TRect face = Inset(square, 1);
        if (pushed) {
            FillRectColor(dc, face, clBtnHighlight);
            gcl::OffsetRect(glyph, 1, 1);
        } else {
            DitherHot(dc, face, false);
        }
    }
    DrawCloseGlyph(dc, glyph);
}

void TTxStripesTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0:
        FillRectColor(dc, rect, clBtnFace);
        DrawLineColor(dc, rect.Left, rect.Top + 2, rect.Right, rect.Top + 2, BlendColorNearest(clBtnShadow, clBtnFace, 96));
        break;
    case 1:
    case 2: {
        const int x = part == 1 ? rect.Right - 3 : rect.Right;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 3, FColors.Shadow);
        break;
    }
    case 3:
        DrawFaceSizeGrip(dc, TRect{rect.Left - 1, rect.Top - 1, rect.Right - 1, rect.Bottom - 1});
        break;
    default: break;
    }
}

// ---- Items ------------------------------------------------------------------------------

void TTxStripesTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    int lc = 0, rc = 0;
    ItemOutlineCuts(itemInfo, r, lc, rc);
    const bool hot = IsItemHot(itemInfo);
    if (IsOpaqueToolbarItem(itemInfo) && !hot) {
        if (itemInfo.Enabled) {
            FillRectColor(dc, Inset(r, 1), BlendColorNearest(clWindow, clBtnFace, 16));
            DrawCutCornerOutlineColor(dc, r, lc, rc, BlendColorNearest(clWindow, clBtnShadow, 64));
        } else {
            DrawCutCornerOutlineColor(dc, r, lc, rc, clBtnFace);
        }
    }
    const bool down = itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected);
    if (IsMenuBarView(itemInfo.ViewType)) {
        if (down || hot) FillRectColor(dc, r, clHighlight);
        return;
    }
    if (down) {
        const TRect inner = Inset(r, 1);
        if (itemInfo.Selected && !itemInfo.Pushed && itemInfo.HoverKind == 0)
            DitherRect(dc, inner, clWindow, clBtnHighlight);
        else
            DitherRect(dc, inner, LowColorScreen ? TColor{clBtnHighlight} : BlendColor(clBtnHighlight, clBtnFace, 128),
                       clBtnHighlight);
        if (FVariant.FaceLineWhenDown) {
            const TPoint line[3] = {{inner.Left, inner.Bottom - 2}, {inner.Left, inner.Top}, {inner.Right - 1, inner.Top}};
            PolylineColor(dc, line, 2, clBtnFace);
        }
        DrawCutCornerOutlineColor(dc, r, lc, rc, clBtnShadow);
    } else if (hot || (itemInfo.ItemOptions & IO_DESIGNING)) {
        if (itemInfo.HoverKind != 0) DitherHot(dc, Inset(r, 1), false);
        DrawCutCornerOutlineColor(dc, r, lc, rc,
                                  LowColorScreen ? TColor{clBtnShadow} : BlendColor(clBtnShadow, clBtnFace, 192));
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxStripesTheme::PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                   const std::string& caption, unsigned format, bool rotated) {
    TRect r = rect;
    if ((itemInfo.Pushed || itemInfo.Selected) && !IsMenuBarView(itemInfo.ViewType)) gcl::OffsetRect(r, 1, 1);
    TColor color = canvas->GetFont()->GetColor();
    if (color == clNone) color = ItemTextColor(itemInfo);
    DrawCaptionText(canvas, r, caption, color, format, rotated);
}

void TTxStripesTheme::PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    const int down = itemInfo.Pushed || itemInfo.Selected ? 1 : 0;
    const TColor color = !itemInfo.Enabled                              ? FColors.Shadow
                         : (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? clBtnText
                                                                     : clMenuText;
    DrawDropDownTriangle(canvas->GetHandle(), (rect.Left + rect.Right) / 2 + down, (rect.Top + rect.Bottom) / 2 + down,
                         itemInfo.IsVertical, color);
}

void TTxStripesTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = Inset(rect, FVariant.ControlFrameInset);
    const bool active = itemInfo.Pushed || itemInfo.Selected || itemInfo.HoverKind != 0 ||
                        (itemInfo.ItemOptions & IO_DESIGNING);
    if ((itemInfo.Enabled || itemInfo.HoverKind == 1) && active) {
        TRect frame = r;
        FrameRectColor(dc, frame, clWindow, false);
        DrawCutCornerOutlineColor(dc, r, 1, 1, FColors.Shadow);
    } else {
        FrameRectColor(dc, r, FColors.Shadow, false);
    }
}

void TTxStripesTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditFrameInfo& editFrameInfo) {
    PaintControlFrame(canvas, rect, itemInfo);
    const int w = IntegerMetric(60);
    TRect r = Inset(rect, w);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    if (itemInfo.Enabled) FillRectColor(canvas->GetHandle(), r, clWindow);
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxStripesTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    auto face = [&](const TRect& part, bool pushed) {
        if (pushed)
            DitherPushed(dc, part, false);
        else if (hot)
            DitherHot(dc, part, true);
        else if (IsOpaqueToolbarItem(itemInfo))
            FillRectColor(dc, part, clBtnFace);
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        const bool pushed = (state & EBDS_PRESSED) != 0;
        const TRect r = Inset(rect, hot || pushed ? 1 : 2);
        if (!disabled) {
            face(r, pushed);
            DrawLineColor(dc, r.Left - 1, r.Top, r.Left - 1, r.Bottom, FColors.Shadow);
        }
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const bool upPushed = (state & EBSS_UP) != 0, downPushed = (state & EBSS_DOWN) != 0;
    const TRect r = Inset(rect, hot || upPushed || downPushed ? 1 : 2);
    const TRect up = SpinHalf(r, true), down = SpinHalf(r, false);
    if (!disabled) {
        face(up, upPushed);
        face(down, downPushed);
        DrawLineColor(dc, r.Left - 1, r.Top, r.Left - 1, r.Bottom, FColors.Shadow);
        DrawLineColor(dc, r.Left, (r.Top + r.Bottom - 1) / 2, r.Right, (r.Top + r.Bottom - 1) / 2, FColors.Shadow);
        DrawLineColor(dc, r.Left, (r.Top + r.Bottom) / 2, r.Right, (r.Top + r.Bottom) / 2, FColors.Shadow);
    }
    const TColor color = disabled                                     ? FColors.Shadow
                         : (itemInfo.ItemOptions & IO_TOOLBARSTYLE) ? clBtnText
                                                                     : clMenuText;
    const int pu = upPushed ? 1 : 0, pd = downPushed ? 1 : 0;
    DrawSpinTriangle(dc, (r.Left + r.Right) / 2 + pu, (3 * r.Top + r.Bottom) / 4 + pu, true, color);
    DrawSpinTriangle(dc, (r.Left + r.Right) / 2 + pd, (r.Top + 3 * r.Bottom) / 4 + pd, false, color);
}

void TTxStripesTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                 TCustomImageList* imageList, int imageIndex) {
    const bool dark = ColorIntensity(ItemImageBackground(itemInfo)) < 80;
    if (!itemInfo.Enabled) {
        DrawDisabledImage(canvas, rect, imageList, imageIndex, dark, clBtnShadow);
        return;
    }
    if (itemInfo.Selected || itemInfo.Pushed) {
        TRect r = rect;
        gcl::OffsetRect(r, 1, 1);
        DrawImageBrightened(canvas, r, imageList, imageIndex, dark);
    } else if (itemInfo.HoverKind != 0) {
        TRect shadow = rect;
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        gcl::OffsetRect(shadow, 1, 1);
        DrawImageShaded(canvas, shadow, imageList, imageIndex, 1);
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else if (dark || (FVariant.IdleBlendOnLowColor ? WhiteButtonFace : LowColorScreen)) {
        DrawImageBrightened(canvas, rect, imageList, imageIndex, dark);
    } else {
        DrawImageBlended(canvas, rect, imageList, imageIndex, 200);
    }
}

void TTxStripesTheme::PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     unsigned buttonKind) {
    PaintButton(canvas, rect, itemInfo);
    const int index = MDIGlyphIndex(buttonKind);
    gcl::TImageList* images = FStock->StockImages;
    if (index < 0 || !images) return;
    const int p = itemInfo.Pushed ? 1 : 0;
    DrawImageMask(canvas->GetHandle(), (rect.Left + rect.Right - images->GetWidth()) / 2 + p,
                  (rect.Top + rect.Bottom - images->GetHeight() - 1) / 2 + p, images, index, clBtnText);
}

void TTxStripesTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (IsItemHot(itemInfo)) PaintBackground(canvas, TRect{}, rect, rect, clHighlight, false, 0);
}

void TTxStripesTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int m = GetSystemMetrics(SM_CXMENUCHECK);
    const bool withImage = itemInfo.ImageWidth > 0 || itemInfo.Selected;
    const bool split = (itemInfo.ItemOptions & IO_COMBO) != 0;
    TRect frame = rect;
    if (withImage) frame.Left += IntegerMetric(32) + itemInfo.PopupMargin;
    if (split && itemInfo.Enabled) frame.Right -= m + 1;
    PaintMenuItemFrame(canvas, frame, itemInfo);
    if (split) {
        const TRect arrow{rect.Right - m, rect.Top, rect.Right, rect.Bottom};
        if (itemInfo.Enabled && itemInfo.HoverKind != 0)
            PaintBackground(canvas, TRect{}, arrow, arrow, clHighlight, false, VT_POPUPMENU);
        else
            DrawLineColor(dc, arrow.Left - 1, rect.Top, arrow.Left - 1, rect.Bottom, FColors.Shadow);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const TColor color = itemInfo.Enabled ? (itemInfo.HoverKind != 0 ? clHighlightText : clMenuText)
                                              : (itemInfo.HoverKind == 1 ? clBtnShadow : FColors.Shadow);
        const int x = rect.Right - (2 * m) / 3, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, color);
    }
    if (withImage && (itemInfo.HoverKind != 0 || itemInfo.Selected))
        PaintButton(canvas, TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin, rect.Bottom}, itemInfo);
}

void TTxStripesTheme::PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) {
    HDC dc = canvas->GetHandle();
    const TRect r = Inset(rect, 1);
    if (hot)
        DitherRect(dc, r, clBtnFace, clBtnHighlight);
    else
        FillRectColor(dc, r, clBtnFace);
    DrawCutCornerOutlineColor(dc, rect, 1, 1, BlendColorNearest(clWindow, clBtnShadow, 64));
    SetCornerPixels(dc, rect, clBtnFace);
    DrawScrollArrow(dc, rect, direction, clBtnText);
}

void TTxStripesTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                     bool) {
    if (!itemInfo.Enabled) return;
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        const int y = (rect.Top + rect.Bottom) / 2;
        DrawLineColor(dc, rect.Left + 1, y, rect.Right - 1, y, FColors.Shadow);
    } else {
        const int x = (rect.Left + rect.Right) / 2;
        DrawLineColor(dc, x, rect.Top + 1, x, rect.Bottom - 1, FColors.Shadow);
    }
}

void TTxStripesTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int params) {
    if (kind != PFC_CHECKBOX && kind != PFC_RADIOBUTTON) {
        TTxDefaultTheme::PaintFrameControl(canvas, rect, kind, state, params);
        return;
    }
    const bool disabled = state & PFS_DISABLED, pushed = state & PFS_PUSHED, hot = state & PFS_HOT,
               mixed = state & PFS_MIXED;
    TFrameControlColors colors;
    colors.Outline = !disabled && (hot || pushed) ? clBtnText : clBtnShadow;
    if (!disabled) {
        if (pushed) {
            colors.Pattern1 = LowColorScreen ? TColor{clBtnHighlight} : BlendColor(clBtnHighlight, clBtnFace, 126);
            colors.Pattern2 = clBtnHighlight;
        } else if (hot) {
            colors.Pattern1 = clBtnFace;
            colors.Pattern2 = LowColorScreen ? TColor{clBtnFace} : BlendColor(clBtnHighlight, clBtnFace, 192);
        } else if (mixed) {
            colors.MixedPattern = true;
        }
    }
    colors.Mark = disabled ? clBtnFace : mixed ? clBtnShadow : clBtnText;
    PaintCheckRadio(canvas, rect, kind, state, colors);
}

} // namespace qelvo

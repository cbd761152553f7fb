// The Miranda theme: what it paints differently from Zezio.
#include "themes/TxMirandaTheme.h"

#include "theming/TxDefaultTheme.h"
#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnShadow;
using gcl::clBtnText;
using gcl::clHighlight;
using gcl::clHighlightText;
using gcl::clMenuText;

namespace {

TThemeStock MirandaStock{false};

} // namespace

GCL_IMPLEMENT_CLASS(TTxMirandaTheme)

TTxMirandaTheme::TTxMirandaTheme(const std::string& name) : TTxZezioTheme(name, MirandaStock) {}

int TTxMirandaTheme::IntegerMetric(int index) { return index == 35 ? 5 : TTxZezioTheme::IntegerMetric(index); }

void TTxMirandaTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    TTxZezioTheme::ThemeMargins(marginID, margins);
    if (marginID == 2) margins.LeftWidth = margins.RightWidth = 0;
}

int TTxMirandaTheme::PressOffset(const TTxItemInfo& info) const {
    // Captions on the menu bar stay put while menus are drawn flat.
    if (IsMenuBarView(info.ViewType) && PopupMenuFlag) return 0;
    const bool down = info.Enabled && (info.Pushed || info.Selected) && (info.ItemOptions & IO_TOOLBARSTYLE);
    return down ? 1 : 0;
}

void TTxMirandaTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                      TColor color, bool transparent, uint32_t) {
    TRect r;
    if (!transparent && gcl::IntersectRect(r, rect, clipRect)) FillRectColor(canvas->GetHandle(), r, color);
}

void TTxMirandaTheme::PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    const int s = GetSystemMetrics(SM_CXMENUCHECK);
    const bool withImage = itemInfo.ImageWidth > 0 || itemInfo.Selected;
    const bool split = (itemInfo.ItemOptions & IO_COMBO) != 0;
    TRect frame = rect;
    if (withImage) frame.Left += IntegerMetric(32) + itemInfo.PopupMargin;
    if (split && itemInfo.Enabled) frame.Right -= s + 1;
    PaintMenuItemFrame(canvas, frame, itemInfo);
    if (split) {
        const TRect arrow{rect.Right - s, rect.Top, rect.Right, rect.Bottom};
        if (itemInfo.Enabled && itemInfo.HoverKind != 0)
            PaintBackground(canvas, TRect{}, arrow, arrow, clHighlight, false, VT_POPUPMENU);
        else
            DrawLineColor(dc, rect.Right - s - 1, rect.Top, rect.Right - s - 1, rect.Bottom, FColors.DisabledGlyphColor);
    }
    if (itemInfo.ItemOptions & IO_SUBMENUITEM) {
        const TColor color = itemInfo.Enabled ? (itemInfo.HoverKind != 0 ? clHighlightText : clMenuText)
                                              : (itemInfo.HoverKind == 1 ? clBtnShadow : FColors.DisabledGlyphColor);
        const int x = rect.Right - (2 * s) / 3, y = rect.Bottom / 2;
        DrawTriangle(dc, {x, y - 3}, {x, y + 3}, {x + 3, y}, color);
    }
    if (withImage && (itemInfo.HoverKind != 0 || itemInfo.Selected))
        PaintButton(canvas, TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin, rect.Bottom}, itemInfo);
}

void TTxMirandaTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                     bool) {
    if (!itemInfo.Enabled) return;
    HDC dc = canvas->GetHandle();
    if (!horizontal) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 2, x, rect.Bottom - 2, FColors.DisabledGlyphColor);
        return;
    }
    const int y = rect.Bottom / 2;
    if (IsToolbarView(itemInfo.ViewType)) {
        const bool menuItem =
            !(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP);
        const int left = menuItem ? rect.Left + itemInfo.PopupMargin + 9 : rect.Left;
        DrawLineColor(dc, left + 2, y, rect.Right - 2, y, FColors.DisabledGlyphColor);
    } else {
        // The dots of popup separators keep their place whatever the item's left edge.
        DrawDottedLine(dc, y, 14, rect.Right - 14, true, clBtnText);
    }
}

void TTxMirandaTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    if (part != 1 && part != 2) {
        TTxZezioTheme::PaintStatusBarPart(canvas, rect, part);
        return;
    }
    const int x = part == 1 ? rect.Right - 3 : rect.Right;
    DrawLineColor(canvas->GetHandle(), x, rect.Top + 4, x, rect.Bottom - 3, FColors.DisabledGlyphColor);
}

} // namespace qelvo

// The Whidbey theme: its colour cache and what it paints differently from
// Office11Adaptive.
#include "themes/TxWhidbeyTheme.h"

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
using gcl::clWindow;
using gcl::clWindowFrame;
using gcl::clWindowText;

namespace {

TThemeStock WhidbeyStock{true};


} // namespace

GCL_IMPLEMENT_CLASS(TTxWhidbeyTheme)

TTxWhidbeyTheme::TTxWhidbeyTheme(const std::string& name)
    : TTxOffice11AdaptiveTheme(name, WhidbeyStock,
                               TVariant{.ToolbarsOpaqueFlat = true,
                                        .PlainDesignFrame = true,
                                        .GripShift = 2,
                                        .PlainPanelFrame = true}) {}

void TTxWhidbeyTheme::SetupColorCache() {
    CurrentCacheFormulas().Whidbey(FCache, FPair);
}

void TTxWhidbeyTheme::ThemeMargins(int marginID, TTxMarginRect& margins) {
    if (marginID == 3)
        margins = {3, 3, 1, 1};
    else
        TTxOffice11AdaptiveTheme::ThemeMargins(marginID, margins);
}

void TTxWhidbeyTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    if (itemInfo.Enabled && itemInfo.HoverKind != 0) FillRectColor(dc, rect, ItemPart(itemInfo, cpBody));
    TRect r = rect;
    FrameRectColor(dc, r, ItemPart(itemInfo, cpFrame), false);
}

void TTxWhidbeyTheme::PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditFrameInfo& editFrameInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    if (itemInfo.HoverKind != 0) FrameRectColor(dc, r, FCache.ButtonColorTable[brHot][cpFrame], true);
    const int w = IntegerMetric(60);
    r = Inset(r, w);
    if (!itemInfo.Enabled && !IsOpaqueToolbarItem(itemInfo))
        FrameRectColor(dc, r, FCache.ButtonColorTable[brDisabled][cpText], true);
    const int buttonWidth = editFrameInfo.RightBtnWidth;
    if (buttonWidth > 0) r.Right -= buttonWidth - 2;
    if (itemInfo.Enabled) {
        if (itemInfo.HoverKind == 0)
            FrameRectColor(dc, r, IsOpaqueToolbarItem(itemInfo) ? EditFrameColor() : clWindow, true);
        else
            FrameRectColor(dc, r, clWindow, false);
        FillRectColor(dc, r, clWindow);
        if (!IsToolbarView(itemInfo.ViewType) && ItemPart(itemInfo, cpFrame) == clNone) {
            TRect inner = Inset(rect, 1);
            FrameRectColor(dc, inner, EditFrameColor(), false);
        }
    }
    PaintEditFrameButton(this, canvas, rect, w, itemInfo, editFrameInfo);
}

void TTxWhidbeyTheme::PaintEditPartFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool active) {
    HDC dc = canvas->GetHandle();
    const bool opaque = IsOpaqueToolbarItem(itemInfo);
    const TColor color = active ? FCache.ButtonColorTable[brHot][cpFrame]
                         : (opaque || !IsToolbarView(itemInfo.ViewType)) ? EditFrameColor()
                                                                         : clWindow;
    if (opaque && !active) FillRectColor(dc, rect, FCache.ToolbarBackground);
    TRect r = rect;
    FrameRectColor(dc, r, color, true);
}

void TTxWhidbeyTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    TRect r = rect;
    r.Left += 1;
    auto part = [&](TRect face, bool pushed, bool lower) {
        if (disabled) return;
        TTxItemInfo info = itemInfo;
        info.Pushed = pushed;
        info.IsPopupParent = 0;
        if (hot || pushed) {
            gcl::InflateRect(face, 1, 1);
            if (lower) face.Top += 1;
            PaintButton(canvas, face, info);
        }
        PaintEditPartFrame(canvas, face, info, hot || pushed);
    };
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        part(r, (state & EBDS_PRESSED) != 0, false);
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    const TRect up = SpinHalf(r, true), down = SpinHalf(r, false);
    part(up, (state & EBSS_UP) != 0, false);
    part(down, (state & EBSS_DOWN) != 0, true);
    const TColor text = ItemPart(itemInfo, cpText);
    DrawCentredSpinTriangle(dc, up, true, text);
    DrawCentredSpinTriangle(dc, down, false, text);
}

void TTxWhidbeyTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                     bool) {
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        const int y = rect.Bottom / 2;
        if (!(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) {
            PaintImageColumn(canvas, rect, itemInfo);
            if (itemInfo.Enabled)
                DrawLineColor(dc, rect.Left + itemInfo.PopupMargin + 10, y, rect.Right - 1, y, FCache.MenuSeparatorColor);
        } else if (itemInfo.Enabled && IsToolbarView(itemInfo.ViewType)) {
            DrawLineColor(dc, rect.Left + 4, y, rect.Right - 2, y, clBtnHighlight);
            DrawLineColor(dc, rect.Left + 3, y - 1, rect.Right - 3, y - 1, FCache.SeparatorColor);
        } else if (itemInfo.Enabled) {
            DrawLineColor(dc, rect.Left + 1, y, rect.Right - 1, y, FCache.MenuSeparatorColor);
        }
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2;
        DrawLineColor(dc, x, rect.Top + 4, x, rect.Bottom - 2, clBtnHighlight);
        DrawLineColor(dc, x - 1, rect.Top + 3, x - 1, rect.Bottom - 3, FCache.SeparatorColor);
    }
}

void TTxWhidbeyTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    if (part == 0) {
        FillRectColor(dc, rect, clBtnFace);
        return;
    }
    if (part != 3) {
        TTxOffice11AdaptiveTheme::PaintStatusBarPart(canvas, rect, part);
        return;
    }
    // S shadow, H highlight, F face: the lines of the grip from the corner out.
    const int m = std::min(rect.Width(), rect.Height());
    const char* sequence = m < 9 ? "SHSHSH" : m < 12 ? "FSHFSHFSH" : m < 15 ? "SSHSSHSSH" : "SSHFSSSHFSSSH";
    for (int k = 0; sequence[k]; ++k) {
        const TColor color = sequence[k] == 'S' ? clBtnShadow : sequence[k] == 'H' ? clBtnHighlight : clBtnFace;
        DrawLineColor(dc, rect.Right - 1 - k, rect.Bottom - 1, rect.Right, rect.Bottom - 2 - k, color);
    }
}

} // namespace qelvo

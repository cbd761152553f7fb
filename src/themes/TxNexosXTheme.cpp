// The NexosX theme: its unit values, colour cache and the painting that
// differs from the Nexos family's.
#include "themes/TxNexosXTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState NexosXUnit{TThemeStock{true}, NexosXInitialOptions(),
                           TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexosXTheme)

TTxNexosXTheme::TTxNexosXTheme(const std::string& name) : TTxNexosXTheme(name, NexosXUnit) {}

TTxNexosXTheme::TTxNexosXTheme(const std::string& name, TNexosUnitState& unit)
    : TTxNexosFamilyTheme(name, unit, FCacheX) {}

void TTxNexosXTheme::SetupColorCache() {
    CurrentCacheFormulas().NexosX(*FCache, FUnit->Options);
}

int TTxNexosXTheme::IntegerMetric(int index) {
    return index == 32 || index == 33 ? 3 : TTxNexosFamilyTheme::IntegerMetric(index);
}

void TTxNexosXTheme::PaintButtonFace(TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) {
    HDC dc = canvas->GetHandle();
    const TRect inner = Inset(r, 1);
    const TColor second = Options().SecondColor;
    if (itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected)) {
        if (itemInfo.Pushed) {
            FillGlassGradient(dc, inner, 0xD0D0D0, 0xB0B0B0, true);
            DrawCutCornerFrame(canvas, r, lc, rc, 0x484848, 0x888888, 0xCDCDCD);
            DrawLineColor(dc, r.Left + lc, r.Top + 1, r.Right - rc, r.Top + 1, 0xE6E6E6);
        } else if (IsHot(itemInfo)) {
            FillGlassGradient(dc, inner, 0xFFFFFF, second, true);
            DrawLineColor(dc, inner.Left, inner.Top, inner.Right, inner.Top, 0xE6E6E6);
            DrawCutCornerFrame(canvas, r, lc, rc, 0x808080, clNone, 0xA0A0A0);
        } else {
            FillGlassGradient(dc, inner, second, 0xB0B0B0, true);
            DrawCutCornerFrame(canvas, r, lc, rc, 0x484848, 0x888888, 0xA0A0A0);
            DrawLineColor(dc, r.Left + lc, r.Top + 1, r.Right - rc, r.Top + 1, 0x969696);
        }
    } else if (IsHot(itemInfo) || (itemInfo.ItemOptions & IO_DESIGNING)) {
        FillGlassGradient(dc, inner, 0xFFFFFF, 0xE0E0E0, true);
        if (lc < 2)
            DrawCutOutline(dc, r, 0, 0, 0xE8E8E8);
        else
            DrawCutOutline(dc, r, 1, 1, 0xD0D0D0);
        DrawLineColor(dc, inner.Left, inner.Top, inner.Right, inner.Top, 0xF6F6F6);
        DrawCutOutline(dc, r, lc, rc, 0xB0B0B0);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

TColor TTxNexosXTheme::CheckMarkColor(const TTxItemInfo& itemInfo) const {
    if (itemInfo.Enabled && IsHot(itemInfo)) return ButtonPart(itemInfo, cpText);
    return TTxNexosFamilyTheme::CheckMarkColor(itemInfo);
}

void TTxNexosXTheme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditButtonInfo& buttonInfo) {
    PaintThreeStopEditButton(canvas, rect, itemInfo, buttonInfo, true);
}

void TTxNexosXTheme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (itemInfo.Enabled || itemInfo.HoverKind == 1) {
        if (!itemInfo.Pushed && !itemInfo.Selected && !IsHot(itemInfo) && !(itemInfo.ItemOptions & IO_DESIGNING)) return;
        TRect inner = rect;
        gcl::InflateRect(inner, -1, -1);
        PaintThreeStopGradient(canvas, inner, true, true);
        DrawCutOutline(canvas->GetHandle(), rect, 1, 1,
                       itemInfo.Pushed ? Options().BaseColor : ItemPart(itemInfo, cpFrame));
        return;
    }
    TTxNexosFamilyTheme::PaintControlFrame(canvas, rect, itemInfo);
}

void TTxNexosXTheme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                TCustomImageList* imageList, int imageIndex) {
    PaintShadowedImage(canvas, rect, itemInfo, imageList, imageIndex, 1);
}

TRect TTxNexosXTheme::MenuFrameRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    TRect r = rect;
    if (itemInfo.ImageWidth > 0 || itemInfo.Selected) r.Left += 3 + itemInfo.PopupMargin;
    return r;
}

TRect TTxNexosXTheme::CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    return TRect{rect.Left + 1, rect.Top, rect.Left + 1 + itemInfo.PopupMargin, rect.Bottom};
}

void TTxNexosXTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    if (!itemInfo.Pushed && !IsHot(itemInfo)) {
        FillGlassGradient(dc, inner, Options().SecondColor, 0xA0A0A0, true);
        DrawCutOutline(dc, area, 1, 1, 0xA6A6A6);
        DrawCutOutline(dc, area, 2, 2, 0x484848);
        const TPoint edge[4] = {{area.Left + 2, area.Bottom - 1}, {area.Right - 3, area.Bottom - 1},
                                {area.Right - 1, area.Bottom - 3}, {area.Right - 1, area.Top + 1}};
        PolylineColor(dc, edge, 3, 0x888888);
        DrawLineColor(dc, inner.Left + 1, inner.Top, inner.Right - 1, inner.Top, 0x969696);
    } else {
        FillGlassGradient(dc, inner, 0xFFFFFF, Options().SecondColor, true);
        DrawCutOutline(dc, area, 1, 1, 0xA0A0A0);
        DrawLineColor(dc, inner.Left, inner.Top, inner.Right, inner.Top, 0xE6E6E6);
        DrawCutOutline(dc, area, 2, 2, 0x808080);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxNexosXTheme::PaintHotScrollFace(TCanvas* canvas, const TRect& rect) {
    PaintThreeStopGradient(canvas, rect, true, true);
}

void TTxNexosXTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                    bool lineSeparator) {
    if (itemInfo.Enabled) TTxNexosFamilyTheme::PaintSeparator(canvas, rect, itemInfo, horizontal, lineSeparator);
}

void TTxNexosXTheme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    // A ridge of three columns: dark, mid and light rows in turn.
    const bool close = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    static constexpr int Offsets[2][3] = {{2, 0, 1}, {5, 0, 5}};
    const int style = info.DragHandleStyle < 0 || info.DragHandleStyle > 2 ? 2 : info.DragHandleStyle;
    const int offset = Offsets[close ? 1 : 0][style];
    const int room = close ? size - 2 : 0;
    static constexpr COLORREF Dark[3] = {0x999999, 0xA6A6A6, 0xB0B0B0};
    static constexpr COLORREF Light[3] = {0xFCFCFC, 0xD8E0E4, 0xD8E0E4};
    auto pixel = [&](int along, int across, COLORREF color) {
        if (!info.IsVertical)
            SetPixelV(dc, across, along, color);
        else
            SetPixelV(dc, along, across, color);
    };
    // The close button sits at the start of a horizontal toolbar's handle
    // and at the end of a vertical one's.
    const int acrossStart = (!info.IsVertical ? inner.Left : inner.Top) + offset;
    const int alongStart = (!info.IsVertical ? inner.Top + room : inner.Left) + 2;
    const int alongEnd = (!info.IsVertical ? inner.Bottom : inner.Right - room) - 5;
    int along = alongStart;
    for (; along < alongEnd; along += 2) {
        for (int i = 0; i < 3; ++i) pixel(along, acrossStart + i, Dark[i]);
        for (int i = 0; i < 3; ++i) pixel(along + 1, acrossStart + i, Light[i]);
    }
    for (int i = 0; i < 3; ++i) pixel(along, acrossStart + i, Dark[i]);
    for (int a = alongStart; a <= along; ++a) pixel(a, acrossStart, 0xA6A6A6);
}

void TTxNexosXTheme::PaintToolbarCloseButton(TCanvas* canvas, const TRect& square, uint32_t closeButtonState) {
    HDC dc = canvas->GetHandle();
    TRect s = square;
    gcl::OffsetRect(s, 1, 0);
    const TButtonRow row = CloseButtonRow(closeButtonState);
    TRect inner = s;
    if (row == brHot) {
        FrameRectColor(dc, inner, Cache().ButtonColorTable[brHot][cpFrame], true);
        PaintThreeStopGradient(canvas, inner, true, true);
    } else if (row == brPushed) {
        GradientFillCanvas(canvas, s, 0xFFFFFF, 0xC0C0C0, true);
        FrameRectColor(dc, inner, 0xD0D0D0, true);
    } else {
        FrameRectColor(dc, inner, Cache().ButtonColorTable[brNormal][cpFrame], true);
    }
    DrawMonoGlyph(canvas, s, 0x000000);
}

void TTxNexosXTheme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    PaintGreyCaptionFace(canvas, bar, vertical);
}

void TTxNexosXTheme::PaintFloatingCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row) {
    // One row shorter than the bar, with the shadow line under it reaching
    // one pixel further left; the cross is always black.
    HDC dc = canvas->GetHandle();
    const TRect s{square.Left, square.Top, square.Right, square.Bottom - 1};
    FillLineGradient(dc, s, 0xD0D0D0, 0xF0F0F0, true);
    DrawLineColor(dc, s.Left - 1, s.Bottom, s.Right, s.Bottom, Cache().ToolbarShadowColor);
    TRect inner = s;
    gcl::InflateRect(inner, -1, -1);
    if (row == brHot) {
        PaintThreeStopGradient(canvas, inner, true, true);
        DrawCutOutline(dc, s, 1, 1, Cache().ButtonColorTable[brHot][cpFrame]);
        DrawMonoGlyph(canvas, s, 0x000000);
    } else if (row == brPushed) {
        FillLineGradient(dc, inner, 0xF0F0F0, 0xD0D0D0, true);
        DrawCutOutline(dc, s, 1, 1, 0xC0C0C0);
        DrawMonoGlyph(canvas, s, 0x000000);
    } else {
        const TColor(&r)[3] = Cache().ButtonColorTable[row];
        PaintCloseButton(canvas, s, r[cpBody], r[cpFrame], 0x000000);
    }
}

void TTxNexosXTheme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    HDC dc = canvas->GetHandle();
    TRect inner = square;
    gcl::InflateRect(inner, -1, -1);
    if (row == brHot) {
        PaintThreeStopGradient(canvas, inner, true, true);
        DrawCutOutline(dc, square, 1, 1, Cache().ButtonColorTable[brHot][cpFrame]);
        DrawMonoGlyph(canvas, square, 0x000000);
    } else if (row == brPushed) {
        FillLineGradient(dc, inner, 0xF0F0F0, 0xD0D0D0, true);
        DrawCutOutline(dc, square, 1, 1, 0xC0C0C0);
        DrawMonoGlyph(canvas, square, 0xFFFFFF);
    } else {
        const TColor(&r)[3] = Cache().ButtonColorTable[row];
        PaintCloseButton(canvas, square, row == brNormal ? clNone : r[cpBody], r[cpFrame], 0x000000);
    }
}

void TTxNexosXTheme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    PaintThreeStopFrameControl(canvas, rect, kind, state, true, false);
}

void TTxNexosXTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    if (part == 3)
        DrawLineSizeGrip(canvas->GetHandle(), rect, Cache().ToolbarShadowColor, 0xFFFFFF);
    else
        TTxNexosFamilyTheme::PaintStatusBarPart(canvas, rect, part);
}

} // namespace qelvo

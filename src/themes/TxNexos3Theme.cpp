// The Nexos3 theme: what it paints differently from Nexos2.
#include "themes/TxNexos3Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState Nexos3Unit{TThemeStock{false},
                           Nexos3InitialOptions(),
                           TNexosColors{}};

} // namespace

TNexos3Options Nexos3Options;

GCL_IMPLEMENT_CLASS(TTxNexos3Theme)

TTxNexos3Theme::TTxNexos3Theme(const std::string& name) : TTxNexos2Theme(name, Nexos3Unit) {
    FCheckedFaceWhiteFirst = false;
}

void TTxNexos3Theme::SetupColorCache() {
    CurrentCacheFormulas().Nexos3(*FCache, FUnit->Colors, FUnit->Options, Nexos3Options);
}

TStripes TTxNexos3Theme::Stripes() const {
    return TStripes{.Period = 4, .DarkRow = 0, .LightRow = 2, .DarkShift = -8, .LightShift = 11};
}

void TTxNexos3Theme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect r = rect;
    int lc = 0, rc = 0;
    ItemOutlineCuts(itemInfo, r, lc, rc);
    PaintOpaqueOutline(dc, r, itemInfo, lc, rc, 0xC0C0C0, MixColors(0xC0C0C0, 0xFFFFFF, 80));
    if (PaintStripedMenuBarItem(canvas, r, itemInfo)) return;
    TRect inner = r;
    gcl::InflateRect(inner, -1, -1);
    const auto& table = Cache().ButtonColorTable;
    if (itemInfo.Enabled && (itemInfo.Pushed || itemInfo.Selected)) {
        if (itemInfo.Pushed) {
            GradientFillCanvas(canvas, inner, 0xE0E0E0, Options().SecondColor, true);
            DrawCutCornerFrame(canvas, r, lc, rc, 0x585858, 0x888888, 0xA0A0A0);
            DrawLineColor(dc, r.Left + lc, r.Top + 1, r.Right - rc, r.Top + 1, 0xB6B6B6);
        } else {
            PaintThreeStopGradient(canvas, inner, Nexos3Options.BlueAccent, true);
            const bool hot = IsHot(itemInfo);
            DrawCutCornerFrame(canvas, r, lc, rc, table[hot ? brCheckedHot : brChecked][cpFrame], clNone,
                               hot ? 0xD8D8D8 : 0xD0D0D0);
        }
    } else if (IsHot(itemInfo) || (itemInfo.ItemOptions & IO_DESIGNING)) {
        PaintThreeStopGradient(canvas, inner, Nexos3Options.BlueAccent, true);
        DrawCutCornerFrame(canvas, r, lc, rc, ButtonPart(itemInfo, cpFrame), clNone, 0xD0D0D0);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

TColor TTxNexos3Theme::CheckMarkColor(const TTxItemInfo& itemInfo) const {
    return TTxNexosFamilyTheme::CheckMarkColor(itemInfo);
}

TColor TTxNexos3Theme::DropDownArrowColor(const TTxItemInfo& itemInfo, bool) const { return ItemPart(itemInfo, cpText); }

void TTxNexos3Theme::PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (itemInfo.Enabled || itemInfo.HoverKind == 1) {
        if (!itemInfo.Pushed && !itemInfo.Selected && !IsHot(itemInfo) && !(itemInfo.ItemOptions & IO_DESIGNING)) return;
        DrawCutCornerFrame(canvas, rect, 1, 1,
                           itemInfo.Pushed ? Cache().ButtonColorTable[brChecked][cpFrame] : ItemPart(itemInfo, cpFrame),
                           clNone, 0xD8D8D8);
        return;
    }
    TTxNexos2Theme::PaintControlFrame(canvas, rect, itemInfo);
}

TRect TTxNexos3Theme::MenuFrameRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    TRect r = rect;
    if (itemInfo.ImageWidth > 0 || itemInfo.Selected) r.Left += const_cast<TTxNexos3Theme*>(this)->IntegerMetric(32) + itemInfo.PopupMargin;
    return r;
}

TRect TTxNexos3Theme::CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    return TTxNexos2Theme::CheckAreaRect(rect, itemInfo);
}

void TTxNexos3Theme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    PaintThreeStopGradient(canvas, inner, Nexos3Options.BlueAccent, true);
    const bool active = itemInfo.Pushed || IsHot(itemInfo);
    DrawCutCornerFrame(canvas, area, 2, 2, Cache().ButtonColorTable[active ? brCheckedHot : brChecked][cpFrame], clNone,
                       0xD8D8D8);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxNexos3Theme::PaintHotScrollFace(TCanvas* canvas, const TRect& rect) {
    PaintThreeStopGradient(canvas, rect, Nexos3Options.BlueAccent, true);
}

void TTxNexos3Theme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    const TNexosColors& u = UnitColors();
    const TColor g64 = BlendColor(u.GripFaceColor, u.GripShadowColor, 64),
                 g48 = BlendColor(u.GripFaceColor, u.GripShadowColor, 48),
                 g32 = BlendColor(u.GripFaceColor, u.GripShadowColor, 32),
                 l128 = BlendColor(u.GripFaceColor, u.GripLightColor, 128),
                 l72 = BlendColor(u.GripFaceColor, u.GripLightColor, 72);
    for (const TPoint& p : GripSteps(inner, info.IsVertical, size, (info.CloseButtonState & CDBS_VISIBLE) != 0,
                                     info.DragHandleStyle == 0))
        DrawFlatDimple(dc, p.X, p.Y, g64, g48, g32, l128, l72);
}

void TTxNexos3Theme::PaintToolbarCloseButton(TCanvas* canvas, const TRect& square, uint32_t closeButtonState) {
    TRect s = square;
    gcl::OffsetRect(s, 1, 0);
    TRect inner = s;
    gcl::InflateRect(inner, -1, -1);
    const TButtonRow row = CloseButtonRow(closeButtonState);
    if (row == brHot) {
        PaintThreeStopGradient(canvas, inner, true, true);
        DrawCutCornerFrame(canvas, s, 1, 1, 0x808080, clNone, 0xC0C0C0);
    } else if (row == brPushed) {
        GradientFillCanvas(canvas, inner, 0xFFFFFF, 0xC0C0C0, true);
        TRect f = s;
        FrameRectColor(canvas->GetHandle(), f, 0xD0D0D0, false);
    } else {
        TRect f = s;
        FrameRectColor(canvas->GetHandle(), f, Cache().ButtonColorTable[row][cpFrame], false);
    }
    DrawMonoGlyph(canvas, s, 0x000000);
}

void TTxNexos3Theme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    PaintThreeStopGradient(canvas, bar, Nexos3Options.BlueAccent, vertical);
    const TColor line = Options().ColoredCaptions ? TColor{0xFFD090} : Cache().ToolbarShadowColor;
    HDC dc = canvas->GetHandle();
    if (vertical)
        DrawLineColor(dc, bar.Left - 1, bar.Bottom - 1, bar.Right + 1, bar.Bottom - 1, line);
    else
        DrawLineColor(dc, bar.Right - 1, bar.Top - 1, bar.Right - 1, bar.Bottom + 1, line);
}

void TTxNexos3Theme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    if (row == brHot) {
        DrawMonoGlyph(canvas, square, 0xE8E8E8);
    } else if (row == brPushed) {
        TRect inner = square;
        gcl::InflateRect(inner, -1, -1);
        GradientFillCanvas(canvas, inner, 0xF0F0F0, 0xD0D0D0, true);
        DrawCutOutline(canvas->GetHandle(), square, 1, 1, 0xC0C0C0);
        DrawMonoGlyph(canvas, square, 0x808080);
    } else {
        TRect f = square;
        FrameRectColor(canvas->GetHandle(), f, Cache().ButtonColorTable[row][cpFrame], false);
        DrawMonoGlyph(canvas, square, 0x000000);
    }
}

// A coloured floating caption's face reaches one pixel further left,
// right and up than the bar.
void TTxNexos3Theme::PaintFloatingCaptionFace(TCanvas* canvas, const TRect& bar) {
    if (!Options().ColoredCaptions) {
        TTxNexos2Theme::PaintFloatingCaptionFace(canvas, bar);
        return;
    }
    PaintThreeStopGradient(canvas, TRect{bar.Left - 1, bar.Top - 1, bar.Right + 1, bar.Bottom},
                           Nexos3Options.BlueAccent, true);
    DrawLineColor(canvas->GetHandle(), bar.Left - 1, bar.Bottom - 1, bar.Right + 1, bar.Bottom - 1, 0xFFD090);
}

void TTxNexos3Theme::PaintFloatingCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row) {
    if (row != brPushed) {
        PaintCaptionCloseButton(canvas, square, row, true);
        return;
    }
    // Pushed: the face inside the square less one more pixel at the left,
    // right and bottom.
    const TRect face{square.Left + 2, square.Top + 1, square.Right - 2, square.Bottom - 2};
    GradientFillCanvas(canvas, face, 0xF0F0F0, 0xD0D0D0, true);
    DrawCutOutline(canvas->GetHandle(), square, 1, 1, 0xC0C0C0);
    DrawMonoGlyph(canvas, square, 0x808080);
}

// The top raised by 2 on a horizontal toolbar; the shadow edges only on
// a bordered one, a toolbar's right edge from 3 below the raised top.
void TTxNexos3Theme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    TRect r = rect;
    if (!info.IsVertical) r.Top -= 2;
    PaintStriped(canvas, r, IsMenuBarView(info.ViewType) ? Cache().MenuBarBackground : Cache().ToolbarBackground);
    if (info.BorderStyle == 1) PaintToolbarEdges(canvas->GetHandle(), r, info.ViewType, 3);
    PaintToolbarHandle(canvas, rect, info);
}

TColor TTxNexos3Theme::PanelCaptionTextColor() const {
    return Options().ColoredCaptions ? Nexos3Options.HotTextColor : 0x000000;
}

void TTxNexos3Theme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditButtonInfo& buttonInfo) {
    PaintThreeStopEditButton(canvas, rect, itemInfo, buttonInfo, Nexos3Options.BlueAccent);
}

void TTxNexos3Theme::PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int) {
    PaintThreeStopFrameControl(canvas, rect, kind, state, false, true);
}

void TTxNexos3Theme::PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                TCustomImageList* imageList, int imageIndex) {
    PaintShadowedImage(canvas, rect, itemInfo, imageList, imageIndex, 0);
}

} // namespace qelvo

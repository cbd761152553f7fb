// The Nexos2 theme: its unit values, colour cache and the painting that
// differs from the Nexos family's.
#include "themes/TxNexos2Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState Nexos2Unit{TThemeStock{true},
                           Nexos2InitialOptions(),
                           TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexos2Theme)

TTxNexos2Theme::TTxNexos2Theme(const std::string& name) : TTxNexos2Theme(name, Nexos2Unit) {}

TTxNexos2Theme::TTxNexos2Theme(const std::string& name, TNexosUnitState& unit)
    : TTxNexosFamilyTheme(name, unit, FCache2) {
    FCheckedFaceWhiteFirst = true;
}

void TTxNexos2Theme::SetupColorCache() {
    CurrentCacheFormulas().Nexos2(*FCache, FUnit->Colors, FUnit->Options);
}

int TTxNexos2Theme::IntegerMetric(int index) {
    return index == 32 || index == 33 ? 3 : TTxNexosFamilyTheme::IntegerMetric(index);
}

void TTxNexos2Theme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    const bool menuBarRule = IsMenuBarView(itemInfo.ViewType) && !Options().FlatMenuBar;
    if (!itemInfo.Enabled || !(itemInfo.Pushed || itemInfo.Selected) || menuBarRule) {
        TTxNexosFamilyTheme::PaintButton(canvas, rect, itemInfo);
        return;
    }
    HDC dc = canvas->GetHandle();
    int lc = 0, rc = 0;
    const TRect r = BeginButton(dc, rect, itemInfo, lc, rc);
    TRect inner = r;
    gcl::InflateRect(inner, -1, -1);
    const TColor second = Options().SecondColor;
    if (itemInfo.Pushed || IsHot(itemInfo))
        FillLineGradient(dc, inner, 0xFFFFFF, second, true);
    else
        FillGlassGradient(dc, inner, 0xFFFFFF, second, true);
    DrawCutCornerFrame(canvas, r, lc, rc, 0x787878, 0xA8A8A8, 0xC0C0C0);
    if (itemInfo.Selected && itemInfo.Pushed) {
        FillLineGradient(dc, inner, 0xFFFFFF, second, true);
        DrawCutCornerFrame(canvas, r, lc, rc, 0x787878, 0xA8A8A8, 0xC0C0C0);
    } else if (itemInfo.Selected && IsHot(itemInfo)) {
        FillGlassGradient(dc, inner, Options().BaseColor, 0xFFFFFF, true);
        DrawCutCornerFrame(canvas, r, lc, rc, 0x484848, 0x888888, 0xC0C0C0);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

TColor TTxNexos2Theme::CheckMarkColor(const TTxItemInfo& itemInfo) const {
    if (itemInfo.Enabled && IsHot(itemInfo)) return 0xFFFFFF;
    return TTxNexosFamilyTheme::CheckMarkColor(itemInfo);
}

TColor TTxNexos2Theme::DropDownArrowColor(const TTxItemInfo& itemInfo, bool single) const {
    if (!single && itemInfo.IsPopupParent != 1 && (itemInfo.Pushed || IsHot(itemInfo))) return 0xFFFFFF;
    return ItemPart(itemInfo, cpText);
}

TRect TTxNexos2Theme::CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const {
    return TRect{rect.Left + 1, rect.Top, rect.Left + 1 + itemInfo.PopupMargin, rect.Bottom};
}

void TTxNexos2Theme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    if (!itemInfo.Pushed && !IsHot(itemInfo)) {
        if (Options().GradientFaces) {
            FillGlassGradient(dc, inner, 0xFFFFFF, Options().SecondColor, true);
            DrawCutCornerFrame(canvas, area, 2, 2, 0x787878, 0xA8A8A8, 0xC0C0C0);
        } else {
            DitherRect(dc, inner, gcl::clWindow, 0xFFF0F0);
        }
    } else {
        FillGlassGradient(dc, inner, Cache().ButtonColorTable[brHot][cpBody], 0xFFFFFF, true);
        DrawCutOutline(dc, area, 2, 2, Options().BaseColor);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxNexos2Theme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    TColor shades[7];
    GripShades(UnitColors().GripFaceColor, UnitColors().GripShadowColor, UnitColors().GripLightColor, false, shades);
    const bool doubled = info.DragHandleStyle == 0;
    for (const TPoint& p : GripSteps(inner, info.IsVertical, size, (info.CloseButtonState & CDBS_VISIBLE) != 0,
                                     doubled, doubled ? -1 : 0))
        DrawGripDot(dc, p.X, p.Y, shades);
}

} // namespace qelvo

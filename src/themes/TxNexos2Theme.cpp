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

void TTxNexos2Theme::PaintButtonFace(TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) {
    if (!itemInfo.Enabled || !(itemInfo.Pushed || itemInfo.Selected)) {
        TTxNexosFamilyTheme::PaintButtonFace(canvas, r, itemInfo, lc, rc);
        return;
    }
    HDC dc = canvas->GetHandle();
    const TRect inner = Inset(r, 1);
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

void TTxNexos2Theme::PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                     const TTxEditButtonInfo& buttonInfo) {
    HDC dc = canvas->GetHandle();
    const TNexosOptions& o = Options();
    const uint32_t state = buttonInfo.ButtonState;
    const bool disabled = (state & EBDS_DISABLED) != 0, hot = (state & EBDS_HOT) != 0;
    const bool opaque = IsOpaqueToolbarItem(itemInfo);
    TRect r = rect;
    r.Left += 1;
    auto pushedFace = [&](const TRect& face) {
        FillGlassGradient(dc, face, MixColors(o.BaseColor, 0x000000, 95), MixColors(o.BaseColor, 0xFFFFFF, 10), true);
    };
    auto plainFrame = [&](TRect& part) {
        if (opaque) FillRectColor(dc, part, Cache().ToolbarBackground);
        FrameRectColor(dc, part, Cache().EditFrameColor, true);
    };
    // The pen starts as the edit frame's outline left it.
    TColor pen = IsHot(itemInfo) ? TColor{0xFFFFFF} : Cache().EditFrameColor;
    if (buttonInfo.ButtonType == EBT_DROPDOWN) {
        const bool pushed = (state & EBDS_PRESSED) != 0;
        if (disabled) {
            FrameRectColor(dc, r, Cache().ButtonColorTable[brDisabled][cpFrame], true);
        } else if (pushed) {
            if (o.GradientFaces)
                pushedFace(r);
            else
                DitherRect(dc, r, gcl::clWindow, 0xFFF0F0);
        } else if (!hot) {
            plainFrame(r);
        }
        if (!pushed && !hot) pen = o.SecondColor;
        if (!disabled) DrawLineColor(dc, r.Left, r.Top, r.Left, r.Bottom, pen);
        PaintDropDownArrow(canvas, r, itemInfo);
        return;
    }
    if (buttonInfo.ButtonType != EBT_SPIN) return;
    for (int half = 0; half < 2; ++half) {
        const bool up = half == 0;
        const bool pushed = (state & (up ? EBSS_UP : EBSS_DOWN)) != 0;
        TRect h = SpinHalf(r, up);
        const TRect whole = h;
        if (!disabled) {
            if (pushed) {
                pushedFace(h);
            } else if (hot) {
                FillGlassGradient(dc, h, Cache().ButtonColorTable[brHot][cpBody], 0xFFFFFF, true);
                if (!up) pen = o.BaseColor;
            } else {
                plainFrame(h);
            }
        }
        if (!pushed && !hot) pen = o.SecondColor;
        if (up) {
            DrawLineColor(dc, whole.Left, whole.Top, whole.Left, whole.Bottom, pen);
        } else {
            const TPoint divider[3] = {{whole.Left, whole.Bottom - 1}, {whole.Left, whole.Top}, {whole.Right, whole.Top}};
            PolylineColor(dc, divider, 2, pen);
        }
        TTxItemInfo info = itemInfo;
        info.Pushed = pushed;
        const TColor arrow = pushed || IsHot(itemInfo) ? TColor{0xFFFFFF} : ItemPart(info, cpText);
        DrawCentredSpinTriangle(dc, whole, up, arrow);
    }
}

void TTxNexos2Theme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    if (Options().ColoredCaptions) {
        TTxNexosFamilyTheme::PaintCaptionFace(canvas, bar, vertical);
        return;
    }
    HDC dc = canvas->GetHandle();
    FillGlassGradient(dc, bar, 0xFFFFFF, UnitColors().GripFaceColor, vertical);
    DrawCaptionEdge(dc, bar, vertical);
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

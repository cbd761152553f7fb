// The Tristan2 theme: what it paints differently from Tristan.
#include "themes/TxTristan2Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TTristanUnitState Tristan2Unit;

} // namespace

GCL_IMPLEMENT_CLASS(TTxTristan2Theme)

TTxTristan2Theme::TTxTristan2Theme(const std::string& name)
    : TTxTristanTheme(name, Tristan2Unit,
                      TVariant{.LowColorMode = false,
                               .TurnDivisor = 8,
                               .SplitGradientsOnly = true,
                               .SinglePixelCorner = true,
                               .PlainHighlightFrames = true,
                               .LineBesideHotCheck = true}) {}

int TTxTristan2Theme::PopupShadowKind() { return 3; }

void TTxTristan2Theme::ViewBorder(uint32_t viewType, TPoint& border) {
    if (IsPopupMenuView(viewType) && !IsToolbarView(viewType))
        border = {1, 2};
    else
        TTxTristanTheme::ViewBorder(viewType, border);
}

void TTxTristan2Theme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect,
                                       const TRect& clipRect, TColor color, bool transparent, uint32_t viewType) {
    if (transparent) return;
    TRect r;
    if (!gcl::IntersectRect(r, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    if (IsViewKind(viewType, VT_TOOLBAR) || IsViewKind(viewType, VT_GRADIENTTOOLBAR)) {
        const bool wide = dockRect == TRect{} ? rect.Right > rect.Bottom : r.Width() > r.Height();
        SplitGradient(dc, r, UnitColors().TristanGradientColor, UnitColors().TristanLightColor, wide);
    } else {
        FillRectColor(dc, r, color);
    }
}

void TTxTristan2Theme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (PaintDesignOutline(canvas, rect, itemInfo)) return;
    HDC dc = canvas->GetHandle();
    const TColor body = ButtonPart(itemInfo, cpBody);
    const TColor light = UnitColors().TristanLightColor, grey = UnitColors().TristanGradientColor;
    TRect r = rect;
    FrameRectColor(dc, r, ButtonPart(itemInfo, cpFrame), true);
    if (itemInfo.IsPopupParent == 3) r.Left -= 1;
    TRect wide = r;
    if (itemInfo.IsPopupParent == 2) wide.Right += 12;
    const uint32_t vt = itemInfo.ViewType;
    if (itemInfo.Selected && IsToolbarView(vt)) {
        if (!itemInfo.IsVertical)
            SplitGradient(dc, r, body, light, true);
        else
            SplitGradient(dc, wide, body, light, false);
    } else if (IsHot(itemInfo) && (IsToolbarView(vt) || IsPopupView(vt))) {
        if (itemInfo.Pushed) {
            if (!itemInfo.IsVertical)
                SplitGradient(dc, r, light, grey, true);
            else
                SplitGradient(dc, wide, light, grey, false);
        } else if (!itemInfo.IsVertical) {
            SplitGradient(dc, r, body, light, true);
        } else if (itemInfo.IsPopupParent == 3) {
            DrawLineColor(dc, r.Left, r.Top, r.Left, r.Bottom, canvas->GetPen()->GetColor());
        } else {
            SplitGradient(dc, wide, body, light, false);
        }
    } else {
        FillRectColor(dc, r, body);
    }
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxTristan2Theme::PaintImageColumn(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo) {
    SplitGradient(dc, TRect{rect.Left, rect.Top, rect.Left + itemInfo.PopupMargin + 2, rect.Bottom},
                  UnitColors().TristanGradientColor, UnitColors().TristanLightColor, false);
}

void TTxTristan2Theme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP)) PaintImageColumn(canvas->GetHandle(), rect, itemInfo);
    TTxTristanTheme::PaintMenuItemFrame(canvas, rect, itemInfo);
}

void TTxTristan2Theme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                      bool horizontal, bool lineSeparator) {
    const bool menuSeparator =
        !(itemInfo.ItemOptions & IO_TOOLBARSTYLE) && !IsViewKind(itemInfo.ViewType, VT_TOOLBOXPOPUP);
    // The image column runs on behind a disabled separator too.
    if (horizontal && menuSeparator) PaintImageColumn(canvas->GetHandle(), rect, itemInfo);
    if (!itemInfo.Enabled) return;
    TTxTristanTheme::PaintSeparator(canvas, rect, itemInfo, horizontal, lineSeparator);
}

bool TTxTristan2Theme::BooleanMetric(int index) { return TTxCacheTheme::BooleanMetric(index); }

} // namespace qelvo

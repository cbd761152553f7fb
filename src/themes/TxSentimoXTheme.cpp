// The SentimoX theme: what it paints differently from Relifer.
#include "themes/TxSentimoXTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState SentimoXUnit{TThemeStock{true},
                             Nexos4InitialOptions(),
                             TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxSentimoXTheme)

TTxSentimoXTheme::TTxSentimoXTheme(const std::string& name) : TTxReliferTheme(name, SentimoXUnit) {}

int TTxSentimoXTheme::IntegerMetric(int index) { return index == 66 ? 1 : TTxReliferTheme::IntegerMetric(index); }

void TTxSentimoXTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (!IsHot(itemInfo)) return;
    HDC dc = canvas->GetHandle();
    TRect inner = rect;
    gcl::InflateRect(inner, -1, -1);
    FillGlassGradient(dc, inner, Options().BaseColor, 0xFFFFFF, true);
    DrawCutOutline(dc, rect, 0, 0, Cache().ButtonColorTable[brHot][cpFrame]);
}

void TTxSentimoXTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    TColor pen;
    if (itemInfo.Pushed || IsHot(itemInfo)) {
        FillRectColor(dc, inner, 0xFFFFFF);
        pen = Cache().ButtonColorTable[brHot][cpFrame];
    } else {
        FillGlassGradient(dc, inner, Cache().ToolbarBackground, 0xFFFFFF, true);
        pen = 0xC0C0C0;
    }
    DrawCutOutline(dc, area, 2, 2, pen);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxSentimoXTheme::PaintToolbarCloseButton(TCanvas* canvas, const TRect& square, uint32_t closeButtonState) {
    PaintGreyCloseButton(canvas, square, CloseButtonRow(closeButtonState), false);
}

} // namespace qelvo

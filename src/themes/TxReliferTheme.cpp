// The Relifer theme: its unit values, colour cache and the painting that
// differs from the Nexos family's.
#include "themes/TxReliferTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState ReliferUnit{TThemeStock{true},
                            Nexos4InitialOptions(),
                            TNexosColors{}};


} // namespace

GCL_IMPLEMENT_CLASS(TTxReliferTheme)

TTxReliferTheme::TTxReliferTheme(const std::string& name) : TTxReliferTheme(name, ReliferUnit) {}

TTxReliferTheme::TTxReliferTheme(const std::string& name, TNexosUnitState& unit)
    : TTxNexosFamilyTheme(name, unit, FCacheR) {
    FDockColor = 0xE0E0E0;
}

void TTxReliferTheme::SetupColorCache() {
    CurrentCacheFormulas().Relifer(FCacheR, FUnit->Colors, FUnit->Options);
}

int TTxReliferTheme::IntegerMetric(int index) {
    switch (index) {
    case 35: return 4;
    case 50: return 6;
    case 66: return -1;
    default: return TTxNexosFamilyTheme::IntegerMetric(index);
    }
}

void TTxReliferTheme::PaintBackground(TCanvas* canvas, const TRect&, const TRect& rect, const TRect& clipRect,
                                      TColor color, bool transparent, uint32_t) {
    TRect visible;
    if (transparent || !gcl::IntersectRect(visible, rect, clipRect)) return;
    HDC dc = canvas->GetHandle();
    const RECT v = gcl::ToRECT(visible);
    if (RectVisible(dc, &v)) FillRectColor(dc, visible, color);
}

void TTxReliferTheme::PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    int lc = 0, rc = 0;
    const TRect r = BeginButton(dc, rect, itemInfo, lc, rc);
    if (IsMenuBarView(itemInfo.ViewType) && !Options().FlatMenuBar) {
        if (!IsHot(itemInfo)) return;
        if (!itemInfo.Pushed) {
            FillGlassGradient(dc, Inset(r, 1), ButtonPart(itemInfo, cpBody), 0xFFFFFF, true);
            DrawCutOutline(dc, r, 0, 0, ButtonPart(itemInfo, cpFrame));
        } else {
            FillRectColor(dc, r, 0xE0E0E0);
            DrawBevel(dc, r, FCacheR.BevelShadowColor, FCacheR.BevelLightColor, TBevelCorner::Open,
                      TBevelCorner::Shadow);
        }
        return;
    }
    PaintButtonFace(canvas, r, itemInfo, lc, rc);
}

TColor TTxReliferTheme::PaintDownFace(HDC dc, const TRect& inner, const TTxItemInfo& itemInfo) {
    if (itemInfo.Pushed || IsHot(itemInfo)) {
        FillLineGradient(dc, inner, 0xFFFFFF, Options().SecondColor, true);
        return FCacheR.ButtonColorTable[brChecked][cpFrame];
    }
    FillGlassGradient(dc, inner, FCacheR.ToolbarBackground, 0xFFFFFF, true);
    return 0xC0C0C0;
}

void TTxReliferTheme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    FillRectColor(dc, area, itemInfo.Pushed || IsHot(itemInfo) ? TColor{0xF0F0F0} : TColor{0xD0D0D0});
    DrawBevel(dc, area, FCacheR.BevelShadowColor, FCacheR.BevelLightColor, TBevelCorner::Open, TBevelCorner::Shadow);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxReliferTheme::PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) {
    if (IsHot(itemInfo))
        DrawBevel(canvas->GetHandle(), rect, FCacheR.BevelLightColor, FCacheR.BevelShadowColor, TBevelCorner::Shadow,
                  TBevelCorner::Light);
}

void TTxReliferTheme::PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo&) {
    HDC dc = canvas->GetHandle();
    FillRectColor(dc, rect, FCacheR.PopupBackground);
    DrawBevel(dc, rect, 0xFFFFFF, 0xD0D0D0, TBevelCorner::Light, TBevelCorner::Shadow);
}

void TTxReliferTheme::PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                                     bool) {
    HDC dc = canvas->GetHandle();
    if (horizontal) {
        const int y = rect.Bottom / 2;
        DrawLineColor(dc, rect.Left + 2, y, rect.Right - 2, y, FCacheR.BevelShadowColor);
        DrawLineColor(dc, rect.Left + 2, y + 1, rect.Right - 2, y + 1, FCacheR.BevelLightColor);
    } else if (itemInfo.Enabled) {
        const int x = rect.Right / 2 - 1;
        DrawLineColor(dc, x, rect.Top + 2, x, rect.Bottom - 2, FCacheR.BevelShadowColor);
        DrawLineColor(dc, x + 1, rect.Top + 2, x + 1, rect.Bottom - 2, FCacheR.BevelLightColor);
    }
}

void TTxReliferTheme::PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) {
    TRect raised = rect;
    raised.Top -= 3;
    PaintBackground(canvas, TRect{}, raised, raised, FCacheR.ToolbarBackground, false, 0);
    const uint32_t vt = info.ViewType;
    if (IsViewKind(vt, VT_TOOLBAR) || IsViewKind(vt, VT_MENUBAR) || IsViewKind(vt, VT_GRADIENTTOOLBAR))
        DrawBevel(canvas->GetHandle(), rect, FCacheR.BevelLightColor, FCacheR.BevelShadowColor, TBevelCorner::Shadow,
                  TBevelCorner::Shadow);
    PaintToolbarHandle(canvas, rect, info);
}

void TTxReliferTheme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    PaintDashGrip(dc, inner, info, size, 0x8F8F8F, 0xAEAAA7, false);
}

void TTxReliferTheme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    PaintGreyCaptionFace(canvas, bar, vertical);
}

void TTxReliferTheme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    PaintGreyCloseButton(canvas, square, row, !Options().ColoredCaptions);
}

void TTxReliferTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    switch (part) {
    case 0:
        PaintBackground(canvas, TRect{}, rect, rect, FCacheR.ToolbarBackground, false, 0);
        DrawLineColor(dc, rect.Left, rect.Top + 1, rect.Right, rect.Top + 1, FCacheR.BevelLightColor);
        break;
    case 1: {
        const int x = rect.Right - 4;
        DrawLineColor(dc, x, rect.Top + 2, x, rect.Bottom - 2, FCacheR.BevelShadowColor);
        DrawLineColor(dc, x + 1, rect.Top + 2, x + 1, rect.Bottom - 2, FCacheR.BevelLightColor);
        break;
    }
    case 3: TTxNexosFamilyTheme::PaintStatusBarPart(canvas, rect, part); break;
    default: break;
    }
}

} // namespace qelvo

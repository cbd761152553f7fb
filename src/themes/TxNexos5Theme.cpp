// The Nexos5 theme: what it paints differently from Nexos4.
#include "themes/TxNexos5Theme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;

namespace {

TNexosUnitState Nexos5Unit{TThemeStock{true},
                           Nexos5InitialOptions(),
                           TNexosColors{}};

} // namespace

GCL_IMPLEMENT_CLASS(TTxNexos5Theme)

TTxNexos5Theme::TTxNexos5Theme(const std::string& name) : TTxNexos4Theme(name, Nexos5Unit) {}

void TTxNexos5Theme::SetupColorCache() {
    CurrentCacheFormulas().Nexos5(*FCache, FUnit->Colors, FUnit->Options);
}

TStripes TTxNexos5Theme::Stripes() const { return TStripes{.Period = 5, .DarkRow = 0, .LightRow = -1, .DarkShift = -12}; }

void TTxNexos5Theme::PaintButtonFace(TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) {
    // Pushed, or checked and hot: the line gradient in place of the glass face.
    if (!itemInfo.Enabled || !(itemInfo.Pushed || itemInfo.Selected) || !(itemInfo.Pushed || IsHot(itemInfo))) {
        TTxNexos4Theme::PaintButtonFace(canvas, r, itemInfo, lc, rc);
        return;
    }
    HDC dc = canvas->GetHandle();
    FillLineGradient(dc, Inset(r, 1), 0xFFFFFF, Options().SecondColor, true);
    TColor pen = Cache().ButtonColorTable[brChecked][cpFrame];
    if (itemInfo.Selected && !itemInfo.Pushed) pen = Options().BaseColor;
    DrawCutOutline(dc, r, lc, rc, pen);
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, r, itemInfo);
}

void TTxNexos5Theme::PaintCheckArea(TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) {
    HDC dc = canvas->GetHandle();
    TRect inner = area;
    gcl::InflateRect(inner, -1, -1);
    FillRectColor(dc, inner, 0xFFFFFF);
    DrawCutOutline(dc, area, 2, 2, itemInfo.Pushed || IsHot(itemInfo) ? TColor{0x808080} : TColor{0xA0A0A0});
    if (itemInfo.IsPopupParent == 3) PaintDropDownArrow(canvas, area, itemInfo);
}

void TTxNexos5Theme::PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) {
    PaintDashGrip(dc, inner, info, size, 0xAFAFAF, 0xCECAC7, true);
}

// Panel captions: grey while coloured, else Nexos4's light glass; their
// close buttons always the grey ones.
void TTxNexos5Theme::PaintCaptionFace(TCanvas* canvas, const TRect& bar, bool vertical) {
    if (Options().ColoredCaptions)
        PaintGreyCaptionFace(canvas, bar, vertical);
    else
        TTxNexos4Theme::PaintCaptionFace(canvas, bar, vertical);
}

void TTxNexos5Theme::PaintCaptionCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row, bool) {
    PaintGreyCloseButton(canvas, square, row, false);
}

// Floating captions: always grey; their close buttons grey while
// coloured, else Nexos4's light ones.
void TTxNexos5Theme::PaintFloatingCaptionFace(TCanvas* canvas, const TRect& bar) {
    PaintGreyCaptionFace(canvas, bar, true);
}

void TTxNexos5Theme::PaintFloatingCloseButton(TCanvas* canvas, const TRect& square, TButtonRow row) {
    if (Options().ColoredCaptions)
        PaintGreyCloseButton(canvas, square, row, false);
    else
        TTxNexos4Theme::PaintCaptionCloseButton(canvas, square, row, true);
}

} // namespace qelvo

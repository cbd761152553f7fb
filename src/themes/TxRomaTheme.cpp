// The Roma theme: what it paints differently from Stripes.
#include "themes/TxRomaTheme.h"

#include "theming/TxUtils.h"
#include "themes/TxZezioTheme.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnHighlight;
using gcl::clBtnShadow;

namespace {

TThemeStock RomaStock{true};

// The seven shades of a bump, darkest first.
void BumpShades(TColor (&shades)[7]) { GripShades(clBtnFace, clBtnShadow, clBtnHighlight, false, shades); }

} // namespace

GCL_IMPLEMENT_CLASS(TTxRomaTheme)

TTxRomaTheme::TTxRomaTheme(const std::string& name)
    : TTxStripesTheme(name, RomaStock,
                      TVariant{.FaceLineWhenDown = false,
                               .ControlFrameInset = 1,
                               .RaisedPopupEdge = false,
                               .ToolboxInWindowColor = true,
                               .IdleBlendOnLowColor = false}) {}

void TTxRomaTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                   TColor color, bool transparent, uint32_t viewType) {
    if (LowColorScreen || IsMenuBarView(viewType) || IsViewKind(viewType, VT_DOCKPANEL) ||
        IsViewKind(viewType, VT_TOOLBARGROUP | VT_OPAQUE)) {
        TTxDefaultTheme::PaintBackground(canvas, dockRect, rect, clipRect, color, transparent, viewType);
        return;
    }
    // The stripes show also where the view lets its parent through.
    TStripes stripes;
    stripes.Fill = !transparent;
    FillStriped(canvas->GetHandle(), rect, clipRect, color, stripes);
}

void TTxRomaTheme::PaintPattern(TCanvas* canvas, const TRect& rect, TColor color, int) {
    FillRectColor(canvas->GetHandle(), rect, color);
}

void TTxRomaTheme::PaintDragGrip(TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info, TColor) {
    TColor shades[7];
    BumpShades(shades);
    const std::vector<TPoint> steps = GripSteps(handle, info.IsVertical, GetDragHandleSize(info),
                                                (info.CloseButtonState & CDBS_VISIBLE) != 0, false);
    for (size_t i = 0; i < steps.size(); ++i) {
        // The doubled handle alternates between two lines three pixels apart.
        const int across = info.DragHandleStyle == 0 && (i % 2) ? 3 : 0;
        DrawGripDot(canvas->GetHandle(), steps[i].X + (info.IsVertical ? 0 : across),
                    steps[i].Y + (info.IsVertical ? across : 0), shades);
    }
}

void TTxRomaTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    if (part == 0) {
        PaintShadedStatusBar(dc, rect, clBtnShadow);
    } else if (part == 3) {
        TColor shades[7];
        BumpShades(shades);
        DrawDimpleSizeGrip(dc, rect, shades);
    } else {
        TTxStripesTheme::PaintStatusBarPart(canvas, rect, part);
    }
}

} // namespace qelvo

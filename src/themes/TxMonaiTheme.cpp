// The Monai theme: what it paints differently from Stripes.
#include "themes/TxMonaiTheme.h"

#include "theming/TxUtils.h"

namespace qelvo {

using gcl::TCanvas;
using gcl::clBtnFace;
using gcl::clBtnShadow;

namespace {

TThemeStock MonaiStock{true};

} // namespace

GCL_IMPLEMENT_CLASS(TTxMonaiTheme)

TTxMonaiTheme::TTxMonaiTheme(const std::string& name)
    : TTxStripesTheme(name, MonaiStock, TVariant{.ControlFrameInset = 1}) {}

void TTxMonaiTheme::PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                                    TColor color, bool transparent, uint32_t viewType) {
    TTxDefaultTheme::PaintBackground(canvas, dockRect, rect, clipRect, color, transparent, viewType);
}

void TTxMonaiTheme::PreparePattern(TColor color) {
    gcl::TBitmap* bitmap = Stock().StockBitmap;
    bitmap->SetSize(8, 8);
    HDC dc = bitmap->GetCanvas()->GetHandle();
    FillRectColor(dc, TRect{0, 0, 8, 8}, color);
    const TColor dot = NearestColor(BlendColor(color, clBtnShadow, 64));
    for (int y : {0, 4})
        for (int x : {0, 4}) FillRectColor(dc, TRect{x, y, x + 2, y + 2}, dot);
}

void TTxMonaiTheme::PaintDragGrip(TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info, TColor color) {
    TRect area = handle;
    const int g = GetDragHandleSize(info);
    const bool closeButton = (info.CloseButtonState & CDBS_VISIBLE) != 0;
    if (!info.IsVertical) {
        gcl::InflateRect(area, 0, 1);
        if (closeButton) area.Top += g - 2 + 4;
    } else {
        gcl::InflateRect(area, 1, 0);
        if (closeButton) area.Right -= g - 2 + 4;
    }
    gcl::InflateRect(area, -1, -1);
    PaintPattern(canvas, area, color, 1);
}

void TTxMonaiTheme::PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) {
    HDC dc = canvas->GetHandle();
    if (part == 0) {
        FillRectColor(dc, rect, clBtnFace);
    } else if (part == 3) {
        const TColor dot = BlendColorNearest(clBtnFace, clBtnShadow, 64);
        const int r = rect.Right, b = rect.Bottom;
        const TPoint anchors[6] = {{r - 12, b - 4}, {r - 8, b - 4}, {r - 4, b - 4},
                                   {r - 8, b - 8},  {r - 4, b - 8}, {r - 4, b - 12}};
        for (const TPoint& p : anchors) FillRectColor(dc, TRect{p.X, p.Y, p.X + 2, p.Y + 2}, dot);
    } else {
        TTxStripesTheme::PaintStatusBarPart(canvas, rect, part);
    }
}

} // namespace qelvo

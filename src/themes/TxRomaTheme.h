// "Roma": the classic flat look of the Default theme with pinstriped view
// backgrounds, dithered pressed and checked buttons, cut-corner frames,
// soft grey separators and bump grips. Stripes with Zezio's pinstripes.
#pragma once

#include "themes/TxStripesTheme.h"

namespace qelvo {

class TTxRomaTheme : public TTxStripesTheme {
    GCL_CLASS(TTxRomaTheme, TTxStripesTheme)
public:
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

protected:
    explicit TTxRomaTheme(const std::string& name);

    void PaintPattern(gcl::TCanvas* canvas, const TRect& rect, TColor color, int inset) override;
    void PaintDragGrip(gcl::TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info,
                       TColor color) override;
};

} // namespace qelvo

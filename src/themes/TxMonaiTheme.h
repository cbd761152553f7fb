// "Monai": the classic system colours with a soft look: cut-corner
// outlines, dithered hot and pushed faces, an embossed dot grid on drag
// handles and caption bars, and raised popup edges. Stripes without the
// stripes, with its own dots.
#pragma once

#include "themes/TxStripesTheme.h"

namespace qelvo {

class TTxMonaiTheme : public TTxStripesTheme {
    GCL_CLASS(TTxMonaiTheme, TTxStripesTheme)
public:
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

protected:
    explicit TTxMonaiTheme(const std::string& name);

    void PreparePattern(TColor color) override;
    void PaintDragGrip(gcl::TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info,
                       TColor color) override;
};

} // namespace qelvo

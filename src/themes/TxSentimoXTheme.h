// "SentimoX": Relifer with coloured instead of bevelled highlights: a
// pale blue glass face with a square outline on hot menu items, glass or
// white boxes behind checked menu images, and the coloured hot and
// pushed close buttons of floating windows on docked toolbars too.
#pragma once

#include "themes/TxReliferTheme.h"

namespace qelvo {

class TTxSentimoXTheme : public TTxReliferTheme {
    GCL_CLASS(TTxSentimoXTheme, TTxReliferTheme)
public:
    int IntegerMetric(int index) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;

protected:
    explicit TTxSentimoXTheme(const std::string& name);

    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintToolbarCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t closeButtonState) override;
};

} // namespace qelvo

// "Nexos5": Nexos4 with white toolbars, a sparser texture (one dark row
// in five), grey line-gradient caption bars, line-gradient faces for
// pushed and hot checked buttons and a drag handle of short dashes.
#pragma once

#include "themes/TxNexos4Theme.h"

namespace qelvo {

class TTxNexos5Theme : public TTxNexos4Theme {
    GCL_CLASS(TTxNexos5Theme, TTxNexos4Theme)
public:
    void SetupColorCache() override;

protected:
    explicit TTxNexos5Theme(const std::string& name);

    TStripes Stripes() const override;
    void PaintButtonFace(gcl::TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    int ToolbarFrameRaise() const override { return 3; }
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintFloatingCaptionFace(gcl::TCanvas* canvas, const TRect& bar) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;
    void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row) override;
    TColor PanelCaptionTextColor() const override { return 0x000000; }
    bool FloatingCaptionHalo() const override { return false; }
};

} // namespace qelvo

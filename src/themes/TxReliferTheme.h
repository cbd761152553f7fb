// "Relifer": light grey bars with a raised white and grey bevel round
// docked toolbars, pale blue glass faces for hot and pushed items with
// cut-corner outlines, raised bevels round hot menu items and popups,
// sunken boxes behind checked menu images, dashed drag handles and grey
// line-gradient caption bars.
#pragma once

#include "themes/NexosFamily.h"

namespace qelvo {

class TTxReliferTheme : public TTxNexosFamilyTheme {
    GCL_CLASS(TTxReliferTheme, TTxNexosFamilyTheme)
public:
    void SetupColorCache() override;
    int IntegerMetric(int index) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPopupFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

    const TReliferColorCache& ReliferCache() const noexcept { return FCacheR; }

protected:
    explicit TTxReliferTheme(const std::string& name);
    TTxReliferTheme(const std::string& name, TNexosUnitState& unit);

    TColor PaintDownFace(HDC dc, const TRect& inner, const TTxItemInfo& itemInfo) override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;
    TColor PanelBorderColor() const override { return 0xE0E0E0; }
    TColor PanelCaptionTextColor() const override { return 0x000000; }
    void PaintFloatingCaptionFace(gcl::TCanvas* canvas, const TRect& bar) override { PaintCaptionFace(canvas, bar, true); }
    int PanelCaptionThickness(int h) const override { return h - 1; }

    TReliferColorCache FCacheR;
};

} // namespace qelvo

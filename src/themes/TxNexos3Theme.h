// "Nexos3": the twin of Nexos2 in very light grey (0xF7F7F7) with a blue
// (or, by an option, grey) accent, black text on hot items, three-stop
// gradient faces instead of glass ones and a four-row stripe texture.
#pragma once

#include "themes/TxNexos2Theme.h"

namespace qelvo {

class TTxNexos3Theme : public TTxNexos2Theme {
    GCL_CLASS(TTxNexos3Theme, TTxNexos2Theme)
public:
    void SetupColorCache() override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                    TCustomImageList* imageList, int imageIndex) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;

protected:
    explicit TTxNexos3Theme(const std::string& name);

    TStripes Stripes() const override;
    TColor CheckMarkColor(const TTxItemInfo& itemInfo) const override;
    TColor DropDownArrowColor(const TTxItemInfo& itemInfo, bool single) const override;
    TRect CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    TRect MenuFrameRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    void PaintHotScrollFace(gcl::TCanvas* canvas, const TRect& rect) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    void PaintToolbarCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t closeButtonState) override;
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;
    void PaintFloatingCaptionFace(gcl::TCanvas* canvas, const TRect& bar) override;
    void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row) override;
    bool TestsBackgroundVisibility() const override { return false; }
    bool CaptionTakesFontColor() const override { return true; }
    TColor PanelBorderColor() const override { return 0xE0E0E0; }
    TColor PanelCaptionTextColor() const override;
};

// The unit's own options: the blue (else grey) accent and the text of hot buttons.
extern TNexos3Options Nexos3Options;

} // namespace qelvo

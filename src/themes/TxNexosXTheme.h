// "NexosX": light grey striped toolbars, white popups, grey glass faces
// with bevelled cut-corner frames for pushed and checked buttons, pale
// glass hot buttons, a blue accent (0xD09020) for hot menu items and the
// menu bar, three-stop close buttons and edit buttons, ridged grips.
#pragma once

#include "themes/NexosFamily.h"

namespace qelvo {

class TTxNexosXTheme : public TTxNexosFamilyTheme {
    GCL_CLASS(TTxNexosXTheme, TTxNexosFamilyTheme)
public:
    void SetupColorCache() override;
    int IntegerMetric(int index) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                    TCustomImageList* imageList, int imageIndex) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

protected:
    explicit TTxNexosXTheme(const std::string& name);
    // A theme built like this one, with its own unit.
    TTxNexosXTheme(const std::string& name, TNexosUnitState& unit);

    void PaintButtonFace(gcl::TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) override;
    TColor CheckMarkColor(const TTxItemInfo& itemInfo) const override;
    TRect MenuFrameRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    TRect CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintHotScrollFace(gcl::TCanvas* canvas, const TRect& rect) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    void PaintToolbarCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t closeButtonState) override;
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;
    void PaintFloatingCaptionFace(gcl::TCanvas* canvas, const TRect& bar) override { PaintCaptionFace(canvas, bar, true); }
    void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row) override;
    int PanelCaptionThickness(int h) const override { return h - 1; }
    bool PanelFaceCoversLine() const override { return false; }
    TColor PanelCaptionTextColor() const override { return 0x000000; }
    TColor PanelBorderColor() const override { return 0xE0E0E0; }
    TColor PushedControlFrameColor() const override { return Options().BaseColor; }

    TNexosColorCache FCacheX;
};

} // namespace qelvo

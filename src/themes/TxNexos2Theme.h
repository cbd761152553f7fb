// "Nexos2": very light grey striped toolbars, white popups, a green
// accent (0x30C8A8) for hot menu items and hot faces, grey glass faces
// with bevelled cut-corner frames for pushed and checked buttons, green
// glass caption bars with white text, dotted separators.
#pragma once

#include "themes/NexosFamily.h"

namespace qelvo {

class TTxNexos2Theme : public TTxNexosFamilyTheme {
    GCL_CLASS(TTxNexos2Theme, TTxNexosFamilyTheme)
public:
    void SetupColorCache() override;
    int IntegerMetric(int index) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;

protected:
    explicit TTxNexos2Theme(const std::string& name);
    TTxNexos2Theme(const std::string& name, TNexosUnitState& unit);

    // The unit colours and the cache with Nexos2's differences.

    void PaintButtonFace(gcl::TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc) override;
    TColor CheckMarkColor(const TTxItemInfo& itemInfo) const override;
    TColor DropDownArrowColor(const TTxItemInfo& itemInfo, bool single) const override;
    TRect CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    TColor PushedControlFrameColor() const override { return Options().BaseColor; }
    // Uncoloured panel captions shade from white to the grip face.
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    int PanelCaptionThickness(int h) const override { return h - 1; }
    bool CaptionTakesFontColor() const override { return false; }

    TNexosColorCache FCache2;
};

} // namespace qelvo

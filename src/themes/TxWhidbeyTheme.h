// "Whidbey": toolbars, docks and panel caption bars in gradients between
// two base colours taken from the button face and the window colour, a
// gradient image column in popup menus, and flat hot, pushed and checked
// items in mixes of the highlight colour with a highlight outline. Built as
// Office11Adaptive in system colours only.
#pragma once

#include "themes/TxOffice11AdaptiveTheme.h"

namespace qelvo {

class TTxWhidbeyTheme : public TTxOffice11AdaptiveTheme {
    GCL_CLASS(TTxWhidbeyTheme, TTxOffice11AdaptiveTheme)
public:
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    void PaintEditFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        const TTxEditFrameInfo& editFrameInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;
    void SetupColorCache() override;

protected:
    explicit TTxWhidbeyTheme(const std::string& name);

    TColor PopupJointColor() const override { return FCache.PopupBackground; }
    TColor SideGradientStart() const override { return gcl::clBtnFace; }

private:
    // The frame of an edit button's part (hot or pushed, or idle).
    void PaintEditPartFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool active);
    TColor EditFrameColor() const { return MixColors(FPair.Dark, FPair.Light, 90); }
};

} // namespace qelvo

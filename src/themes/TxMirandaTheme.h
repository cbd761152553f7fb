// "Miranda": Zezio without the pinstripes: plain view backgrounds, pressed
// and checked captions and arrows one pixel down and right, solid soft
// grey toolbar separators, and menu items that paint their image column
// as a toolbar button.
#pragma once

#include "themes/TxZezioTheme.h"

namespace qelvo {

class TTxMirandaTheme : public TTxZezioTheme {
    GCL_CLASS(TTxMirandaTheme, TTxZezioTheme)
public:
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintMenuItem(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;
    int IntegerMetric(int index) override;

protected:
    explicit TTxMirandaTheme(const std::string& name);

    int PressOffset(const TTxItemInfo& itemInfo) const override;
    bool BrightenActiveImage() const override { return false; }
};

} // namespace qelvo

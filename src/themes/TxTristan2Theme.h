// "Tristan2", a variant of Tristan: split gradients everywhere, grey glass
// faces, pushed buttons in the grey gradient, a gradient image column in
// popup menus and plain highlight colours for frames.
#pragma once

#include "themes/TxTristanTheme.h"

namespace qelvo {

class TTxTristan2Theme : public TTxTristanTheme {
    GCL_CLASS(TTxTristan2Theme, TTxTristanTheme)
public:
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    bool BooleanMetric(int index) override;

protected:
    explicit TTxTristan2Theme(const std::string& name);

private:
    // The gradient of the popup menus' image column.
    void PaintImageColumn(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo);
};

} // namespace qelvo

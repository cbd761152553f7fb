// "OfficeC": a four-colour scheme: pale yellow toolbars shaded by linear
// gradients toward a yellow-green, popups tinted from the same colours,
// white-to-yellow-green hot faces, inverted gradients for pushed ones and
// dimpled drag handles. Built on Nexos4.
#pragma once

#include "themes/TxNexos4Theme.h"

namespace qelvo {

extern TOfficeCState OfficeC;

// Stores the four scheme colours (the next cache rebuild applies them).
void SetOfficeCScheme(TColor light, TColor dark, TColor hotLight, TColor hotDark);

class TTxOfficeCTheme : public TTxNexos4Theme {
    GCL_CLASS(TTxOfficeCTheme, TTxNexos4Theme)
public:
    void SetupColorCache() override;
    int IntegerMetric(int index) override;
    bool BooleanMetric(int index) override;
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        const TTxEditFrameInfo& editFrameInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintDockBackground(gcl::TCanvas* canvas, const TRect& clientRect, const TRect& dockRect,
                             int dockPosition) override;
    void PaintDropDownArrow(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPageScrollButton(gcl::TCanvas* canvas, const TRect& rect, int direction, bool hot) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

    const TOfficeCColorCache& OfficeCCache() const noexcept { return FCacheC; }

protected:
    explicit TTxOfficeCTheme(const std::string& name);

    TColor CheckMarkColor(const TTxItemInfo& itemInfo) const override { return ButtonPart(itemInfo, cpText); }
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;
    TColor PanelCaptionTextColor() const override { return gcl::clBtnText; }
    TColor PanelBorderColor() const override { return OfficeC.MenuBarColor; }
    TColor HotSplitLineColor(const TTxItemInfo& itemInfo) const override { return ItemPart(itemInfo, cpFrame); }

    TOfficeCColorCache FCacheC;
};

} // namespace qelvo

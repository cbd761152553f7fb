// "Aluminum": grey toolbars, docks and status bars in a brushed metal
// texture, rounded frames with blended corners, bevelled toolbar outlines,
// dimple grips, embossed glyphs and faces from the hue of the highlight.
// Built on the Default theme, with a colour cache of its own.
#pragma once

#include "theming/TxDefaultTheme.h"
#include "themes/ThemeCommon.h"

namespace qelvo {

class TTxAluminumTheme : public TTxDefaultTheme {
    GCL_CLASS(TTxAluminumTheme, TTxDefaultTheme)
public:
    TPoint ImageOffset(gcl::TCanvas* canvas, const TTxItemInfo& itemInfo, TCustomImageList* imageList) override;
    TColor ItemColor(const TTxItemInfo& itemInfo) override;
    TColor ItemTextColor(const TTxItemInfo& itemInfo) override;
    TColor ItemImageBackground(const TTxItemInfo& itemInfo) override;
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    TColor ViewColor(uint32_t viewType) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintCaption(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                      const std::string& caption, unsigned format, bool rotated) override;
    void PaintCheckMark(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintChevron(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        const TTxEditFrameInfo& editFrameInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintDockBackground(gcl::TCanvas* canvas, const TRect& clientRect, const TRect& dockRect,
                             int dockPosition) override;
    void PaintPanelCaptionArea(gcl::TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) override;
    void PaintDropDownArrow(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintFloatingFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                    TCustomImageList* imageList, int imageIndex) override;
    void PaintMDIButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        unsigned buttonKind) override;
    void PaintMenuItem(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPageScrollButton(gcl::TCanvas* canvas, const TRect& rect, int direction, bool hot) override;
    void PaintPopupFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;
    int IntegerMetric(int index) override;
    bool BooleanMetric(int index) override;
    void SetupColorCache() override;

    const TAluminumColorCache& Cache() const noexcept { return FCache; }
    TColor GetAluminumHighlight() const noexcept { return FColors.Highlight; }
    TColor GetDockColor() const noexcept { return FColors.DockColor; }
    TColor GetAluminumStatusBarColor() const noexcept { return FColors.StatusBarColor; }
    int GetBrushStrength() const noexcept { return FColors.BrushStrength; }

protected:
    explicit TTxAluminumTheme(const std::string& name);
    ~TTxAluminumTheme() override;

private:
    TColor ButtonPart(const TTxItemInfo& info, TColorPart part) const;
    TColor ItemPart(const TTxItemInfo& info, TColorPart part) const;
    // Grey at the top (or left) third, then darkening: caption bars.
    void FillAluminumGradient(HDC dc, const TRect& rect, TColor color, bool vertical) const;
    // A close button of radius `radius` with its embossed cross.
    void PaintAluminumCloseButton(HDC dc, const TRect& rect, int radius, TButtonRow row, TColor base, bool dark);

    TAluminumColorCache FCache;
    TAluminumColors FColors;
};

} // namespace qelvo

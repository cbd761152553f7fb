// The built-in "Default" theme: system colours, DrawEdge and
// DrawFrameControl in classic mode, the visual-styles parts while visual
// styles are on: items, frames and bars. Several visual themes derive from it.
#pragma once

#include "theming/TxThemes.h"

namespace qelvo {

class TTxDefaultTheme : public TTxTheme {
    GCL_CLASS(TTxDefaultTheme, TTxTheme)
public:
    TPoint ImageOffset(TCanvas* canvas, const TTxItemInfo& itemInfo, TCustomImageList* imageList) override;
    TColor ItemColor(const TTxItemInfo& itemInfo) override;
    TColor ItemTextColor(const TTxItemInfo& itemInfo) override;
    TColor ItemImageBackground(const TTxItemInfo& itemInfo) override;
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    TColor ViewColor(uint32_t viewType) override;
    void ViewMargins(uint32_t viewType, TTxMarginRect& margins) override;
    void PaintBackground(TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintCaption(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, const std::string& caption,
                      unsigned format, bool rotated) override;
    void PaintCheckMark(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintChevron(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        const TTxEditFrameInfo& editFrameInfo) override;
    void PaintEditButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintDockBackground(TCanvas* canvas, const TRect& clientRect, const TRect& dockRect,
                             int dockPosition) override;
    void PaintPanelCaptionArea(TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) override;
    void PaintDropDownArrow(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintFloatingFrame(TCanvas* canvas, const TRect& rect, const TTxFloatingFrameInfo& info) override;
    void PaintControlFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintImage(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, TCustomImageList* imageList,
                    int imageIndex) override;
    void PaintMDIButton(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        unsigned buttonKind) override;
    void PaintMenuItem(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPageScrollButton(TCanvas* canvas, const TRect& rect, int direction, bool hot) override;
    void PaintPopupFrame(TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) override;
    void PaintSeparator(TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintFrameControl(TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(TCanvas* canvas, const TRect& rect, int part) override;
    int IntegerMetric(int index) override;
    bool BooleanMetric(int index) override;
    void SetupColorCache() override;

    TColor GetToolbarColor() const noexcept { return ToolbarColor; }
    TColor GetToolbarTextColor() const noexcept { return ToolbarTextColor; }
    TColor GetDockPanelColor() const noexcept { return DockPanelColor; }
    TColor GetStatusBarColor() const noexcept { return StatusBarColor; }

protected:
    explicit TTxDefaultTheme(const std::string& name) : TTxTheme(name) {}

    TColor ToolbarColor = gcl::clBtnFace;
    TColor ToolbarTextColor = gcl::clBtnText;
    TColor DockPanelColor = gcl::clBtnFace;
    TColor StatusBarColor = gcl::clBtnFace;
};

// Item states as the Default theme reads them.
// Hot: enabled and hovered, or disabled and only keyboard-selected.
inline bool IsItemHot(const TTxItemInfo& info) noexcept {
    return (info.Enabled && info.HoverKind != 0) || (!info.Enabled && info.HoverKind == 1);
}
inline bool IsOpaqueToolbar(uint32_t viewType) noexcept {
    return IsToolbarView(viewType) && (viewType & VT_OPAQUE) != 0;
}

} // namespace qelvo

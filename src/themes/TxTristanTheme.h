// "Tristan", the look of a first start: white toolbars with a grey linear
// gradient and a bevelled edge, etched separators, white popups, light
// blue split-gradient faces for hot, pushed and checked buttons, grey
// gradient caption bars and dotted grips.
#pragma once

#include "themes/ThemeCommon.h"

namespace qelvo {

// The unit-level state: stock glyphs and colours.
struct TTristanUnitState {
    TThemeStock Stock{false};
    TTristanColors Colors;
};

class TTxTristanTheme : public TTxCacheTheme {
    GCL_CLASS(TTxTristanTheme, TTxCacheTheme)
public:
    int PopupShadowKind() override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintCaption(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                      const std::string& caption, unsigned format, bool rotated) override;
    void PaintCheckMark(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
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

    const TTristanColorCache& Cache() const noexcept { return FCache; }
    const TTristanColors& UnitColors() const noexcept { return FUnit->Colors; }

protected:
    // How a sibling theme built on this one differs.
    struct TVariant {
        bool LowColorMode = true;      // plain system colours below 12 bits per pixel
        int TurnDivisor = 9;           // of the split gradient's turn colour
        bool SplitGradientsOnly = false;
        bool SinglePixelCorner = false; // top-right corner of horizontal docked toolbars
        bool PlainHighlightFrames = false;
        bool LineBesideHotCheck = false; // a hot checked menu item's check area
    };

    explicit TTxTristanTheme(const std::string& name);
    TTxTristanTheme(const std::string& name, TTristanUnitState& unit, const TVariant& variant);

    // The two gradients of the theme (the sibling uses only the split one).
    void LinearGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) const;
    void SplitGradient(HDC dc, const TRect& rect, TColor c1, TColor c2, bool vertical) const;
    // The plain button cases shared by both themes' PaintButton.
    bool PaintDesignOutline(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo);
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool lineWhenHot);

    TTristanColorCache FCache;
    TTristanUnitState* FUnit;
    TVariant FVariant;
};

} // namespace qelvo

// "Zezio": the system's button and window colours with a fine horizontal
// pinstripe on every view background, two-colour gradient faces with cut
// corners for toolbar buttons and menu check boxes, the highlight colour
// for hot menu items, dotted separators, and check boxes and radio buttons
// drawn as small gradient shapes.
#pragma once

#include "themes/ThemeCommon.h"

namespace qelvo {

// The status bar's background: button face, a first row in firstRow, the
// next four rows and the last three shading into the face.
void PaintShadedStatusBar(HDC dc, const TRect& rect, TColor firstRow);

class TTxZezioTheme : public TTxCacheTheme {
    GCL_CLASS(TTxZezioTheme, TTxCacheTheme)
public:
    TColor ItemTextColor(const TTxItemInfo& itemInfo) override;
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
    void SetupColorCache() override;

    const TZezioColorCache& Cache() const noexcept { return FCache; }
    TColor GetDisabledGlyphColor() const noexcept { return FColors.DisabledGlyphColor; }

protected:
    explicit TTxZezioTheme(const std::string& name);
    TTxZezioTheme(const std::string& name, TThemeStock& stock);

    // How far a pressed or checked item's caption and arrows move (0 or 1).
    virtual int PressOffset(const TTxItemInfo&) const { return 0; }
    // Whether a hot, pushed or checked image is brightened on a dark background.
    virtual bool BrightenActiveImage() const { return true; }

    TZezioColorCache FCache;
    // Kept as computed, not snapped to the screen.
    TZezioColors FColors;
};

} // namespace qelvo

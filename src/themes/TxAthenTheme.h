// "Athen": a light theme in white and silver with bluish highlights: grey
// three-stop gradients on toolbars and docks, glassy blue faces for hot and
// checked items, silver-to-white pressed faces, frames with bevelled
// corners.
#pragma once

#include "themes/ThemeCommon.h"

namespace qelvo {

class TTxAthenTheme : public TTxCacheTheme {
    GCL_CLASS(TTxAthenTheme, TTxCacheTheme)
public:
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
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

    const TAthenColorCache& Cache() const noexcept { return FCache; }

protected:
    explicit TTxAthenTheme(const std::string& name);
    TTxAthenTheme(const std::string& name, TThemeStock& stock);

    // The colour that redraws the border where a popup meets its parent item.
    virtual TColor PopupJointColor() const { return FCache.ToolbarBackground; }
    // Floating frames: the line just outside the client area (entry is the
    // canvas brush colour), the caption bar and the close button.
    virtual TColor FloatingOutlineColor(TColor entry) const { return entry; }
    virtual void PaintFloatingBar(gcl::TCanvas* canvas, const TRect& bar, TColor caption);
    virtual void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, const TTxFloatingFrameInfo& info,
                                          TColor caption, TColor captionText);
    // The close button of docked toolbars and panel captions.
    virtual void PaintDockedCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t state, bool vertical);
    // A panel caption's bar content: the close square at its end (h - 1 wide) and the caption text.
    void PaintPanelCaptionContent(gcl::TCanvas* canvas, const TRect& bar, int h, const TTxPanelCaptionInfo& info,
                                  TColor textColor);

    TColor BtnHotFrame() const { return FCache.ButtonColorTable[brHot][cpFrame]; }

    TAthenColorCache FCache;
};

} // namespace qelvo

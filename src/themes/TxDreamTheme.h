// "Dream": built like NexosX, with its own look: soft white-to-grey
// gradient bars, captions and docks, white popups with a light grey
// frame, pale hot faces with grey outlines, warm cream checked faces that
// turn orange to yellow when hot, embossed dimple grips.
#pragma once

#include "themes/TxNexosXTheme.h"

namespace qelvo {

class TTxDreamTheme : public TTxNexosXTheme {
    GCL_CLASS(TTxDreamTheme, TTxNexosXTheme)
public:
    void SetupColorCache() override;
    int IntegerMetric(int index) override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintPanelCaptionArea(gcl::TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) override;
    void PaintDropDownArrow(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                    TCustomImageList* imageList, int imageIndex) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPageScrollButton(gcl::TCanvas* canvas, const TRect& rect, int direction, bool hot) override;
    void PaintPopupFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxPopupFrameInfo& info) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;

protected:
    explicit TTxDreamTheme(const std::string& name);

    TColor CheckMarkColor(const TTxItemInfo& itemInfo) const override;
    TRect MenuFrameRect(const TRect& rect, const TTxItemInfo&) const override { return rect; }
    TRect CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const override;
    void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo) override;
    void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size) override;
    void PaintToolbarCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t closeButtonState) override;
    void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical) override;
    void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical) override;

private:
    // The warm face of a checked item: cream, or orange to yellow when hot,
    // with its lighter inner edge along the left and top.
    void PaintWarmFace(HDC dc, const TRect& rect, bool hot);
};

// The shadow of the docked toolbars' rounded outline.
extern TColor DreamToolbarShadowColor;

} // namespace qelvo

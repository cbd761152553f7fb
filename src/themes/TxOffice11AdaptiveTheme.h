// "Office11Adaptive": flat items on toolbars, docks and menu image columns
// that carry a two-colour gradient derived from the system colours (the
// caption gradient colours under visual styles, else the button face and
// the window colour), and grips of small shaded dots.
#pragma once

#include "themes/TxAthenTheme.h"

namespace qelvo {

class TTxOffice11AdaptiveTheme : public TTxAthenTheme {
    GCL_CLASS(TTxOffice11AdaptiveTheme, TTxAthenTheme)
public:
    int PopupShadowKind() override;
    TColor ViewColor(uint32_t viewType) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintEditFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                        const TTxEditFrameInfo& editFrameInfo) override;
    void PaintEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                         const TTxEditButtonInfo& buttonInfo) override;
    void PaintDockBackground(gcl::TCanvas* canvas, const TRect& clientRect, const TRect& dockRect,
                             int dockPosition) override;
    void PaintPanelCaptionArea(gcl::TCanvas* canvas, const TRect& rect, const TTxPanelCaptionInfo& info) override;
    void PaintControlFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                    TCustomImageList* imageList, int imageIndex) override;
    void PaintMenuItem(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintMenuItemFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintPageScrollButton(gcl::TCanvas* canvas, const TRect& rect, int direction, bool hot) override;
    void PaintSeparator(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo, bool horizontal,
                        bool lineSeparator) override;
    void PaintToolbarFrame(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info) override;
    void PaintFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state, int params) override;
    void PaintStatusBarPart(gcl::TCanvas* canvas, const TRect& rect, int part) override;
    int IntegerMetric(int index) override;
    bool BooleanMetric(int index) override;
    void SetupColorCache() override;

    const TGradientPair& Pair() const noexcept { return FPair; }

protected:
    // How a sibling built on this theme differs.
    struct TVariant {
        bool ToolbarsOpaqueFlat = false;     // opaque toolbars are filled, not graded
        bool PlainDesignFrame = false;       // design-time items outlined in pure red
        int GripShift = 1;                   // doubled grips move this far back
        bool PlainPanelFrame = false;        // panel captions: face frames, no edge line
    };

    explicit TTxOffice11AdaptiveTheme(const std::string& name);
    TTxOffice11AdaptiveTheme(const std::string& name, TThemeStock& stock, const TVariant& variant);

    TColor FloatingOutlineColor(TColor entry) const override;
    void PaintFloatingBar(gcl::TCanvas* canvas, const TRect& bar, TColor caption) override;
    void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, const TTxFloatingFrameInfo& info,
                                  TColor caption, TColor captionText) override;
    void PaintDockedCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t state, bool vertical) override;

    // The gradient of views other than toolbars: from this colour at the
    // left to the light colour.
    virtual TColor SideGradientStart() const { return FPair.Dark; }
    // The image column of popup menus.
    void PaintImageColumn(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo);
    // The three shadow lines and corner pixels of a bordered docked toolbar.
    void PaintToolbarEdges(gcl::TCanvas* canvas, const TRect& rect, bool vertical);

    TGradientPair FPair;
    TVariant FVariant;
};

} // namespace qelvo

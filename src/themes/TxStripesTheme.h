// "Stripes": a classic three-dimensional theme in the system's button
// colours whose toolbars, popups and highlights carry thin horizontal
// stripes, whose pressed and checked buttons are dithered and whose grips
// are dot patterns. Built on the Default theme; its class is also the base
// of the other classic themes (Roma, Monai), which share its three colours.
#pragma once

#include "theming/TxDefaultTheme.h"
#include "themes/ThemeCommon.h"

namespace qelvo {

// The 9-point cut-corner outline in a pen of its own.
void DrawCutCornerOutlineColor(HDC dc, const TRect& rect, int leftCut, int rightCut, TColor color);

class TTxStripesTheme : public TTxDefaultTheme {
    GCL_CLASS(TTxStripesTheme, TTxDefaultTheme)
public:
    TColor ItemColor(const TTxItemInfo& itemInfo) override;
    TColor ItemTextColor(const TTxItemInfo& itemInfo) override;
    void ThemeMargins(int marginID, TTxMarginRect& margins) override;
    int PopupShadowKind() override;
    void ViewBorder(uint32_t viewType, TPoint& border) override;
    TColor ViewColor(uint32_t viewType) override;
    void PaintBackground(gcl::TCanvas* canvas, const TRect& dockRect, const TRect& rect, const TRect& clipRect,
                         TColor color, bool transparent, uint32_t viewType) override;
    void PaintButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo) override;
    void PaintCaption(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                      const std::string& caption, unsigned format, bool rotated) override;
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

    TColor GetFaceColor() const noexcept { return FColors.Face; }
    TColor GetPanelColor() const noexcept { return FColors.Panel; }
    TColor GetShadowColor() const noexcept { return FColors.Shadow; }
    TThemeStock& Stock() const noexcept { return *FStock; }

protected:
    // How a sibling built on this theme differs.
    struct TVariant {
        bool FaceLineWhenDown = true;    // a face-coloured edge inside pressed and checked buttons
        int ControlFrameInset = 0;       // where the frame of an edit item lies
        bool RaisedPopupEdge = true;     // popups without flat menus get a raised edge
        bool ToolboxInWindowColor = false;
        bool IdleBlendOnLowColor = true; // idle images blended also on low-colour screens
    };

    explicit TTxStripesTheme(const std::string& name);
    TTxStripesTheme(const std::string& name, TThemeStock& stock, const TVariant& variant);
    ~TTxStripesTheme() override;

    // Fills rect with color and then the theme's texture over rect inset by
    // inset (with clNone only the embossed pixels). The base: dots.
    virtual void PaintPattern(gcl::TCanvas* canvas, const TRect& rect, TColor color, int inset);
    // The dots of the pattern bitmap in color.
    virtual void PreparePattern(TColor color);
    // The grip of a docked toolbar's drag handle (handle: the handle's
    // area; color: the canvas brush colour, clNone when the brush is clear).
    virtual void PaintDragGrip(gcl::TCanvas* canvas, const TRect& handle, const TTxToolbarFrameInfo& info,
                               TColor color);
    // The close cross, centred.
    void DrawCloseGlyph(HDC dc, const TRect& rect) const;
    // A caption bar: the pattern left and right of the centred text (or
    // over the whole bar without text, or plain face when it does not fit).
    void PaintPatternedCaption(gcl::TCanvas* canvas, const TRect& bar, const std::string& caption, bool vertical,
                               bool patterned, unsigned format);
    // The dither of a pushed or hot close or edit button face.
    void DitherPushed(HDC dc, const TRect& rect, bool nearest) const;
    void DitherHot(HDC dc, const TRect& rect, bool nearest) const;

    TStripesColors FColors;
    TThemeStock* FStock;
    TVariant FVariant;
};

} // namespace qelvo

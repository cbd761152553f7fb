// What the Nexos themes and the themes built like them share: their unit
// options and colours, a colour cache with the shadow, edit-frame and
// split-line colours, and every paint operation in its common form (very
// light striped bars, glass faces with cut-corner outlines, dotted
// separators, dimple grips), with the steps where members differ virtual.
#pragma once

#include "themes/ThemeCommon.h"

namespace qelvo {

// The state of one theme unit, shared by its instances.
struct TNexosUnitState {
    TThemeStock Stock;
    TNexosOptions Options;
    TNexosColors Colors;
};

class TTxNexosFamilyTheme : public TTxCacheTheme {
    GCL_CLASS(TTxNexosFamilyTheme, TTxCacheTheme)
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

    const TNexosColorCache& Cache() const noexcept { return *FCache; }
    const TNexosOptions& Options() const noexcept { return FUnit->Options; }
    const TNexosColors& UnitColors() const noexcept { return FUnit->Colors; }

protected:
    TTxNexosFamilyTheme(const std::string& name, TNexosUnitState& unit, TNexosColorCache& cache);

    // Hooks where the members differ.
    virtual TStripes Stripes() const { return TStripes{}; }
    // The colour a hot menu-bar caption takes while the menu bar is not flat.
    virtual TColor HotMenuBarTextColor() const { return FCache->MenuItemColorTable[mrHot][cpText]; }
    // The split line of a split popup item under the mouse.
    virtual TColor HotSplitLineColor(const TTxItemInfo&) const { return 0xFFFFFF; }
    virtual TColor CheckMarkColor(const TTxItemInfo& itemInfo) const;
    virtual TColor DropDownArrowColor(const TTxItemInfo& itemInfo, bool single) const;
    // The check area of a checked, enabled popup item and its face.
    virtual TRect CheckAreaRect(const TRect& rect, const TTxItemInfo& itemInfo) const;
    virtual void PaintCheckArea(gcl::TCanvas* canvas, const TRect& area, const TTxItemInfo& itemInfo);
    // The rectangle of a popup item's highlight.
    virtual TRect MenuFrameRect(const TRect& rect, const TTxItemInfo& itemInfo) const;
    virtual void PaintHotScrollFace(gcl::TCanvas* canvas, const TRect& rect);
    // The grip of a docked toolbar's handle (inner: the frame inset by 2).
    virtual void PaintGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size);
    // The drag handle and close button inside a toolbar frame's rect.
    void PaintToolbarHandle(gcl::TCanvas* canvas, const TRect& rect, const TTxToolbarFrameInfo& info);
    virtual void PaintToolbarCloseButton(gcl::TCanvas* canvas, const TRect& square, uint32_t closeButtonState);
    // How far the toolbar frame's background reaches above the frame.
    virtual int ToolbarFrameRaise() const { return 1; }
    // The shadow edges of a docked toolbar or menu bar along the bottom and
    // right of r; the right edge of a toolbar starts rightFrom below r.Top.
    void PaintToolbarEdges(HDC dc, const TRect& r, uint32_t viewType, int rightFrom);
    // Whether the background skips a rectangle the DC does not show.
    virtual bool TestsBackgroundVisibility() const { return true; }
    // A panel caption bar's face (coloured: the caption glass; else a
    // light glass with the shadow colour along its inner edge).
    virtual void PaintCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical);
    // A floating window's caption bar face: coloured as a panel's, else
    // the striped toolbar background with the shadow colour along its bottom.
    virtual void PaintFloatingCaptionFace(gcl::TCanvas* canvas, const TRect& bar);
    // The close button of a panel caption bar by its button row, and of a
    // floating window's caption (the panel's unless a member differs).
    virtual void PaintCaptionCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool vertical);
    virtual void PaintFloatingCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row) {
        PaintCaptionCloseButton(canvas, square, row, true);
    }
    virtual TColor PanelCaptionTextColor() const;
    // Whether a floating caption gets the halo while CaptionGlow is set.
    virtual bool FloatingCaptionHalo() const { return true; }
    // The thickness of a panel caption bar for the small-caption height h.
    // A bar thinner than h gets a line in the panel colour beside it, which
    // the face then covers too.
    virtual int PanelCaptionThickness(int h) const { return h; }
    // Whether that line lies under the face (else it stays beside it).
    virtual bool PanelFaceCoversLine() const { return true; }
    // Item captions: the canvas font's colour (clNone: the item's text
    // colour), or always the item's text colour.
    virtual bool CaptionTakesFontColor() const { return true; }
    // The outer ring of a panel caption area's frame.
    virtual TColor PanelBorderColor() const { return gcl::clBtnFace; }
    // The pen of a pushed control frame.
    virtual TColor PushedControlFrameColor() const { return FCache->ButtonColorTable[brChecked][cpFrame]; }

    // Shared steps of PaintButton.
    // The cuts and the opaque-toolbar outline in the highlight-tinted pens;
    // answers the button's rectangle (an arrow part's moved out by one).
    TRect BeginButton(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, int& leftCut, int& rightCut);
    // On an opaque toolbar a button that is not hot gets an outline.
    void PaintOpaqueOutline(HDC dc, const TRect& rect, const TTxItemInfo& itemInfo, int leftCut, int rightCut,
                            TColor enabledPen, TColor disabledPen);
    // A button's face and outline (r: the button's rectangle, cut by lc
    // and rc) below the menu bar: glass faces, the face of a pushed or
    // checked one from PaintDownFace; then the arrow of an arrow part.
    virtual void PaintButtonFace(gcl::TCanvas* canvas, const TRect& r, const TTxItemInfo& itemInfo, int lc, int rc);
    // The face inside the outline of a pushed or checked item that is not
    // checked-and-pushed or checked-and-hot; answers the outline's colour.
    virtual TColor PaintDownFace(HDC dc, const TRect& inner, const TTxItemInfo& itemInfo);
    // A menu-bar item while the menu bar is not flat: the striped accent
    // when hot, pushed or checked; answers whether the item was one.
    bool PaintStripedMenuBarItem(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo);
    // The bar of a panel caption area.
    TRect PanelCaptionBar(const TRect& rect, const TTxPanelCaptionInfo& info, int thickness) const;
    // The close button of a panel caption at the bar's far end; the bar
    // then ends where the button begins.
    void PaintPanelCloseButton(gcl::TCanvas* canvas, TRect& bar, const TTxPanelCaptionInfo& info, int side);
    // Edit buttons and check boxes with three-stop faces: pushed parts in
    // the pushed stops, hot ones in the light stops (plain ones when not
    // highlight); a pushed hot radio button in the glass rows (else the
    // line rows); the radio dot in white when unchecked (dotAlways).
    void PaintThreeStopEditButton(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                                  const TTxEditButtonInfo& buttonInfo, bool highlight);
    void PaintThreeStopFrameControl(gcl::TCanvas* canvas, const TRect& rect, int kind, int state,
                                    bool glassPushedRadio, bool dotAlways);
    // The grey caption bar: a line gradient from 0xF0F0F0 to 0xD0D0D0 and
    // the shadow colour along its inner edge.
    void PaintGreyCaptionFace(gcl::TCanvas* canvas, const TRect& bar, bool vertical);
    // The shadow colour along a caption bar's inner edge: its last row
    // (vertical gradient) or last column.
    void DrawCaptionEdge(HDC dc, const TRect& bar, bool vertical) const;
    // Its close button: hot a glass face of the hot body with a white
    // cross, pushed a grey line gradient with a white cross, otherwise
    // framed in the row's frame (filled with its body when fillBody) with
    // a black cross.
    void PaintGreyCloseButton(gcl::TCanvas* canvas, const TRect& square, TButtonRow row, bool fillBody);
    // Short double dashes every grip step: dash and underline colours,
    // `length` long; a dot under the second pixel of horizontal handles.
    void PaintDashGrip(HDC dc, const TRect& inner, const TTxToolbarFrameInfo& info, int size, TColor dash,
                       TColor underline, bool dot);
    // Images with a two-step shadow while hot and moved by pressedOffset
    // while checked or pushed; the plain and disabled ones as the family's.
    void PaintShadowedImage(gcl::TCanvas* canvas, const TRect& rect, const TTxItemInfo& itemInfo,
                            TCustomImageList* imageList, int imageIndex, int pressedOffset);
    // The colour of a check box's tick or a radio button's dot.
    TColor FrameControlMarkColor(int state) const;
    // The striped background of view type 0 over rect.
    void PaintStriped(gcl::TCanvas* canvas, const TRect& rect, TColor color);

    TNexosUnitState* FUnit;
    TNexosColorCache* FCache;
    // A checked box that is not hot runs from white (else from the second colour).
    bool FCheckedFaceWhiteFirst = false;
    // The fill of the dock behind the toolbars.
    TColor FDockColor = 0xF0F0F0;
};

} // namespace qelvo

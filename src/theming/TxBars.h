// Themed popups, toolbars, docks and floating windows: the framework's
// windows with every frame, background and non-client area handed to the
// current theme, the view-type and effective-colour answers, theme-change
// repaints, popup shadows and the chosen open animation, the popup menu
// opened for a rectangle, and the floating window snapping to the work
// area. Part of the Tx unit's toolbar side.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <memory>

#include "theming/Tx.h"
#include "theming/TxItems.h"
#include "toolbar/BarDock.h"
#include "toolbar/BarItem.h"
#include "toolbar/BarToolbar.h"

namespace qelvo {

// What a themed bar or panel redraws when its look changes: itself, its
// frame and its children, at once.
inline constexpr UINT ThemeRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;

// ---- Popups --------------------------------------------------------------------------------

class TTxPopupView : public TBarPopupView {
    GCL_CLASS(TTxPopupView, TBarPopupView)
protected:
    using TBarPopupView::TBarPopupView;
};

class TTxPopupWindow : public TBarPopupWindow {
    GCL_CLASS(TTxPopupWindow, TBarPopupWindow)
public:
    // The control the popup was opened for, on the screen (empty when none).
    const TRect& GetParentRect() const noexcept { return FParentRect; }
    void SetParentRect(const TRect& Value) noexcept { FParentRect = Value; }
    TShadows* GetShadows() const noexcept { return FShadows.get(); }
    // The view type the window answers.
    uint32_t ViewType();

    void GetNCSize(gcl::TPoint& Size) override;
    TBarPopupViewClass ViewClass() override { return TTxPopupView::StaticClass(); }
    void Dispatch(gcl::TMessage& Message) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

    virtual void CreateShadow();
    virtual void DestroyShadow() noexcept;
    virtual bool CanDrawShadow();

protected:
    using TBarPopupWindow::TBarPopupWindow;
    ~TTxPopupWindow() override;
    void CreateParams(gcl::TCreateParams& Params) override;
    void PaintScrollArrows() override;
    void PaintNC(HDC DC) override;

private:
    void ShowingChanged();
    void EraseBackground(HDC DC);
    // The opening viewer when it is a toolbar-style themed viewer (or this
    // is a chevron popup), else null.
    TBarItemViewer* OpeningViewer(bool ForShadow);

    TRect FParentRect;
    std::unique_ptr<TShadows> FShadows;
};

class TTxChevronPopupWindow : public TTxPopupWindow {
    GCL_CLASS(TTxChevronPopupWindow, TTxPopupWindow)
protected:
    using TTxPopupWindow::TTxPopupWindow;
};

// ---- Menu animation ----------------------------------------------------------------------------

// Modes: 0 none, 1 system default, 2 random, 3 unfold, 4 slide, 5 fade.
// Kinds given to a popup: 0 none, 1 unfold, 2 slide, 3 fade.
class TTxMenuAnimation {
public:
    explicit TTxMenuAnimation(uint8_t Mode);
    uint8_t GetAnimationMode() const noexcept { return FAnimationMode; }
    // Lowered step by step to an available mode; 1 becomes 0 while the
    // system does not animate menus.
    void SetAnimationMode(uint8_t Mode);
    // Bit n set when mode n is available on this system.
    static uint8_t GetAvailableModes();
    uint8_t GetAnimation();

private:
    uint8_t FAnimationMode = 0;
};

// The chooser every themed popup asks (made when the theming unit starts).
TTxMenuAnimation* MenuAnimation() noexcept;

// ---- Toolbars ----------------------------------------------------------------------------------

GCL_ENUM(TTxItemTransparency, itAuto, itEnable, itDisable)

class TTxToolbarView : public TBarToolbarView {
    GCL_CLASS(TTxToolbarView, TBarToolbarView)
public:
    void GetMargins(TBarViewOrientation AOrientation, gcl::TRect& Margins) override;

protected:
    using TBarToolbarView::TBarToolbarView;
};

class TTxChevronItem : public TBarChevronItem {
    GCL_CLASS(TTxChevronItem, TBarChevronItem)
public:
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;
    TBarPopupWindowClass GetPopupWindowClass() override;
    void GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) override;

protected:
    using TBarChevronItem::TBarChevronItem;
};

class TTxChevronItemViewer : public TBarChevronItemViewer {
    GCL_CLASS(TTxChevronItemViewer, TBarChevronItemViewer)
public:
    using TBarChevronItemViewer::TBarChevronItemViewer;
    void Paint(gcl::TCanvas* Canvas, TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

class TTxToolbar : public TBarCustomToolbar {
    GCL_CLASS(TTxToolbar, TBarCustomToolbar)
public:
    TColor GetEffectiveColor() const noexcept { return FEffectiveColor; }
    TTxItemTransparency GetItemTransparency() const noexcept { return FItemTransparency; }
    void SetItemTransparency(TTxItemTransparency Value);
    int GetSnapDistance() const noexcept { return FSnapDistance; }
    void SetSnapDistance(int Value);
    uint32_t ViewType();

    virtual void GetToolbarFrameInfo(TTxToolbarFrameInfo& Info);

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;
    void DrawNCArea(HDC DC) override;
    gcl::TPoint GetFloatingBorderSize() override;
    void SetParent(gcl::TWinControl* AParent) override;

protected:
    explicit TTxToolbar(gcl::TComponent* AOwner) : TBarCustomToolbar(AOwner) {}
    void Loaded() override;
    const gcl::TComponent::TMetaClassType* ChevronClass() override { return TTxChevronItem::StaticClass(); }
    TBarToolbarView* CreateView() override;
    gcl::TMetaClass const* GetFloatingWindowParentClass() override;

private:
    void UpdateEffectiveColor();
    void EraseBackground(HDC DC);
    void ThemeChanged(uintptr_t Step);

    TColor FEffectiveColor = gcl::clBtnFace;
    TTxItemTransparency FItemTransparency = itAuto;
    int FSnapDistance = 0;
    gcl::TComponentRef<TBarDock> FThemeDock;   // held from step 1 to step 3 of a theme switch
};

// ---- The popup menu ------------------------------------------------------------------------------

class TTxRootItem : public TBarRootItem {
    GCL_CLASS(TTxRootItem, TBarRootItem)
public:
    const TRect& GetPopupRect() const noexcept { return FPopupRect; }
    void SetPopupRect(const TRect& Value) noexcept { FPopupRect = Value; }
    TBarPopupWindowClass GetPopupWindowClass() override;
    void GetPopupPosition(TBarView* ParentView, TBarPopupWindow* PopupWindow, TBarPopupPositionRec& Rec) override;
    // Opens the sub-items beside ExcludeRect (below it, else above).
    virtual TBarPopupWindow* CreatePopupEx(bool SelectFirstItem, const TRect& ExcludeRect,
                                           TBarPopupAnchor Alignment);
    // Runs the modal menu beside ExcludeRect; the clicked item or null.
    TBarCustomItem* PopupEx(const TRect& ExcludeRect, TBarPopupAnchor Alignment, bool ReturnClickedItemOnly,
                            bool TrackRightButton = false);
    // Called with the popup's view once it is made, before the menu loop.
    virtual void InitPopupView(TBarPopupView*) {}

protected:
    using TBarRootItem::TBarRootItem;

private:
    TRect FPopupRect;
};

class TTxPopupMenu : public TBarPopupMenu {
    GCL_CLASS(TTxPopupMenu, TBarPopupMenu)
public:
    // Shows the menu below Rect (above when it does not fit) and returns the
    // item chosen.
    TBarCustomItem* PopupAtRect(const TRect& Rect, bool ReturnClickedItemOnly);

protected:
    using TBarPopupMenu::TBarPopupMenu;
    const gcl::TComponent::TMetaClassType* RootItemClass() override { return TTxRootItem::StaticClass(); }
};

// ---- The floating window ---------------------------------------------------------------------

class TTxFloatingWindowParent : public TBarFloatingWindowParent {
    GCL_CLASS(TTxFloatingWindowParent, TBarFloatingWindowParent)
public:
    int GetSnapDistance() const noexcept { return FSnapDistance; }
    void SetSnapDistance(int Value) noexcept { FSnapDistance = Value; }
    bool GetCloseButtonHot() const noexcept { return FCloseButtonHot; }
    void Dispatch(gcl::TMessage& Message) override;

protected:
    using TBarFloatingWindowParent::TBarFloatingWindowParent;
    void DrawNCArea(HDC DC, int RedrawWhat) override;
    // The caption the theme draws on the frame: the bar's text.
    virtual std::string FrameCaption();

private:
    bool FCloseButtonHot = false;
    int FSnapDistance = 0;
};

// The rule a floating window follows while moved: an edge within Snap of
// the work area's edge lands on it (left and top win).
void SnapToWorkArea(int& X, int& Y, int W, int H, const TRect& WorkArea, int Snap);
// The bar a floating window holds answers its own view type and colour.
uint32_t DockableViewType(TBarCustomDockableWindow* Bar);
TColor DockableEffectiveColor(TBarCustomDockableWindow* Bar);

// ---- Docks ----------------------------------------------------------------------------------

class TTxDock : public TBarDock {
    GCL_CLASS(TTxDock, TBarDock)
public:
    bool GetUseParentBackground() const noexcept { return FUseParentBackground; }
    void SetUseParentBackground(bool Value);
    virtual bool ThemedBackground();
    bool UsingBackground() override;
    void DrawBackground(HDC DC, const TRect& DrawRect) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;
    // The background a bar on the dock paints under itself (toolbar
    // coordinates of R are the dock's, moved by the bar's position).
    bool GetMoving() const noexcept { return FMoving; }
    bool GetSizing() const noexcept { return FSizing; }

protected:
    explicit TTxDock(gcl::TComponent* AOwner) : TBarDock(AOwner) {}

private:
    void RepaintToolbars();

    bool FMoving = false;
    bool FSizing = false;
    bool FUseParentBackground = false;
};

// Tells the children of Control the colour behind them
// (CM_PARENTCOLORCHANGED 1, Color).
void BroadcastParentColor(gcl::TWinControl* Control, TColor Color);
// After CM_CONTROLCHANGE: a control inserted into Control, whose Color is
// "none", hears the colour behind it.
void TellInsertedControlColor(gcl::TWinControl* Control, const gcl::TMessage& Message, TColor Color);
// Repaints a window that follows theme changes: the frame re-measured
// keeping the client size (growing around its centre), then redrawn.
void RecalcFrameKeepingClient(gcl::TWinControl* Control);

// Starts the themed toolbar side: registers its classes for streaming and
// makes the menu-animation chooser.
extern gcl::TUnit TxBarsUnit;

} // namespace qelvo

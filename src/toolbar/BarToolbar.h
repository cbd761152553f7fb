// Toolbars and the menu bar: the dockable bar that shows the sub-items of
// its own root item through a toolbar view, with the chevron that collects
// the buttons that do not fit, hosted controls, hot tracking, the menu-bar
// keys (Alt, F10, Alt+letter), shortcuts for the whole form and the
// resizing of a floating bar between its possible wrap widths.
#pragma once

#include "toolbar/BarDock.h"
#include "toolbar/BarItem.h"

namespace qelvo {

class TBarCustomToolbar;

GCL_ENUM(TBarChevronPriorityForNewItems, tbcpHighest, tbcpLowest)

// The view of a toolbar: its orientation, wrap and chevron come from the
// toolbar's dock.
class TBarToolbarView : public TBarView {
    GCL_CLASS(TBarToolbarView, TBarView)
public:
    TBarCustomToolbar* GetToolbar() const noexcept { return FToolbar; }
    gcl::TFont* GetFont() override;
    void InvalidatePositions() override;

protected:
    TBarToolbarView(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* ParentItem, gcl::TWinControl* Window,
                    bool IsToolbar, bool Customizing, bool UsePriorityList);
    void AutoSize(int AWidth, int AHeight) override;
    void DoUpdatePositions(gcl::TPoint& Size) override;
    TBarCustomItem* GetChevronItem() override;
    TBarCustomItem* GetMDIButtonsItem() override;
    TBarCustomItem* GetMDISystemMenuItem() override;

private:
    TBarCustomToolbar* FToolbar;
};

// The chevron: its popup shows the toolbar's items that gave way.
class TBarChevronItem : public TBarCustomItem {
    GCL_CLASS(TBarChevronItem, TBarCustomItem)
public:
    TBarCustomToolbar* GetToolbar() const noexcept { return FToolbar; }
    TBarView* GetChevronParentView() override;
    TBarItemViewerClass GetItemViewerClass(TBarView* View) override;

protected:
    explicit TBarChevronItem(gcl::TComponent* AOwner);

private:
    TBarCustomToolbar* FToolbar;
};

class TBarChevronItemViewer : public TBarItemViewer {
    GCL_CLASS(TBarChevronItemViewer, TBarItemViewer)
public:
    using TBarItemViewer::TBarItemViewer;
    void Paint(gcl::TCanvas* Canvas, gcl::TRect ClientAreaRect, bool IsSelected, bool IsPushed,
               bool UseDisabledShadow) override;
};

class TBarCustomToolbar : public TBarCustomDockableWindow, public IBarItemContainer {
    GCL_CLASS(TBarCustomToolbar, TBarCustomDockableWindow)
public:
    // ---- Items and view
    TBarCustomItem* GetItems() override { return FItem; }
    TBarRootItem* GetRootItem() const noexcept { return FItem; }
    TBarToolbarView* GetView() const noexcept { return FView; }
    TBarChevronItem* GetChevronItem() const noexcept { return FChevronItem; }
    gcl::TPoint GetToolbarBaseSize() const noexcept { return FBaseSize; }
    // Item updates held while many items change.
    void BeginUpdate() { FView->BeginUpdate(); }
    void EndUpdate() { FView->EndUpdate(); }

    // ---- Properties
    std::string GetChevronHint() const { return FChevronItem->GetHint(); }
    void SetChevronHint(const std::string& Value);
    bool GetChevronMoveItems() const noexcept { return FChevronMoveItems; }
    void SetChevronMoveItems(bool Value);
    TBarChevronPriorityForNewItems GetChevronPriorityForNewItems() const noexcept { return FChevronPriority; }
    void SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems Value);
    gcl::TCustomImageList* GetImages() const noexcept { return FItem->GetSubMenuImages(); }
    void SetImages(gcl::TCustomImageList* Value) { FItem->SetSubMenuImages(Value); }
    TBarCustomItem* GetLinkSubitems() const noexcept { return FItem->GetLinkSubitems(); }
    void SetLinkSubitems(TBarCustomItem* Value) { FItem->SetLinkSubitems(Value); }
    TBarItemOptions GetOptions() const noexcept { return FItem->GetOptions(); }
    void SetOptions(TBarItemOptions Value) { FItem->SetOptions(Value); }
    bool GetMenuBar() const noexcept { return FMenuBar; }
    void SetMenuBar(bool Value);
    bool GetProcessShortCuts() const noexcept { return FProcessShortCuts; }
    void SetProcessShortCuts(bool Value);
    TBarShrinkMode GetShrinkModeValue() const noexcept { return FShrinkMode; }
    void SetShrinkMode(TBarShrinkMode Value);
    bool GetSystemFont() const noexcept { return FSystemFont; }
    void SetSystemFont(bool Value);
    bool GetUpdateActions() const noexcept { return FUpdateActions; }
    void SetUpdateActions(bool Value) noexcept { FUpdateActions = Value; }
    int GetFloatingWrapWidth() const noexcept { return FFloatingWrapWidth; }
    void SetFloatingWrapWidth(int Value);
    int GetLastWrappedLines() const noexcept { return FLastWrappedLines; }
    bool GetInMouseMenu() const noexcept { return FInMouseMenu; }
    int GetLayoutDepth() const noexcept { return FLayoutDepth; }

    gcl::TShortCutEvent OnShortCut;

    // ---- Keys
    // Opens the menu of the item whose accelerator is Key (the first item
    // when Key is '\0'); true when a menu loop ran.
    bool OpenByKey(char Key, bool RequirePrimaryAccel);
    // OnShortCut, then the items' shortcut keys.
    bool TryShortCut(gcl::TMessage& Message);
    // The floating widths at which the line count changes, widest first
    // (client sizes).
    void ListFloatingSizes(std::vector<gcl::TPoint>& List);

    // ---- The dockable window's side
    void ApplyDockToView();
    int WrapOffsetForDock(TBarDock* Dock);
    int ChevronOffsetForDock(TBarDock* Dock);
    void ControlExistsAtPos(gcl::TPoint P, bool& Exists) override;
    void DoArrange(bool CanMoveControls, TBarDockType ADockType, gcl::TPoint& NewSize, TBarDock* Dock,
                   bool AFloating) override;
    void GetBaseSize(gcl::TPoint& Size) override;
    void GetMinShrinkSize(int& AMinimumSize) override;
    TBarShrinkMode GetShrinkMode() override { return FShrinkMode; }
    void ReadPositionData(const TBarReadPositionData& Data) override;
    void WritePositionData(const TBarWritePositionData& Data) override;
    void ResizeBegin(TBarSizeHandle SizeHandle) override;
    void ResizeTrack(gcl::TRect& Rect, const gcl::TRect& OrgRect) override;
    void ResizeTrackAccept() override;
    void ResizeEnd() override;

    void GetChildren(gcl::TGetChildProc Proc, gcl::TComponent* Root) override;
    void SetChildOrder(gcl::TComponent* Child, int Order) override;
    // Controls hosted by shown control items are not reached by Tab.
    void GetTabOrderList(std::vector<gcl::TWinControl*>& List) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TBarCustomToolbar(gcl::TComponent* AOwner);
    // A paint after a layout pass that moved items paints the whole
    // window through one bitmap, and the screen is not erased before it.
    void WndProc(gcl::TMessage& Message) override;
    void Loaded() override;
    void AlignControls(gcl::TControl* Control, gcl::TRect& Rect) override;
    void Paint() override;
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(gcl::TShiftState Shift, int X, int Y) override;
    void InitiateAction() override;
    void DoContextPopup(gcl::TPoint MousePos, bool& Handled) override;
    virtual const gcl::TComponent::TMetaClassType* RootItemClass();
    virtual const gcl::TComponent::TMetaClassType* ChevronClass();
    // Makes the toolbar's view (once, while the toolbar is constructed).
    virtual TBarToolbarView* CreateView();

private:
    friend class TBarToolbarView;
    struct TSizeData;
    void SyncShortCutList();
    // The menu bar's get-message hook follows MenuBar.
    void SyncMenuBarHook();
    void WrapControl(int Index, gcl::TControl* Control);
    TBarControlItem* FindControlItem(gcl::TControl* Control);
    bool WMSysCommand(gcl::TMessage& Message);
    void EndHotTracking();

    gcl::TPoint FBaseSize;
    TBarChevronItem* FChevronItem = nullptr;
    bool FChevronMoveItems = true;
    TBarChevronPriorityForNewItems FChevronPriority = tbcpHighest;
    int FLayoutDepth = 0;
    int FFloatingWrapWidth = 0;
    bool FInMouseMenu = false;
    bool FInArrange = false;
    TBarRootItem* FItem = nullptr;
    int FLastWrappedLines = 0;
    bool FMenuBar = false;
    bool FProcessShortCuts = false;
    bool FShortCutsHooked = false;
    bool FMenuBarHooked = false;
    TBarShrinkMode FShrinkMode = tbsmChevron;
    TSizeData* FSizeData = nullptr;
    bool FSystemFont = true;
    bool FUpdateActions = true;
    TBarToolbarView* FView = nullptr;
};

// Registers the toolbar for streaming.
extern gcl::TUnit BarToolbarUnit;

} // namespace qelvo

// The extended bars: docks and toolbars with owner-drawn backgrounds, wide
// captions and hints, display modes, anchored items, a right-align spacer,
// item notifications, accelerators, control items and the customising
// drag; the floating caption, popup windows, the chevron, the extended
// popup menu (its popups beside the control they are shown for, and
// CM_POPUPMENUCLOSED when done), the layout routines over a view, and a
// window's system menu shown as such a popup.
#pragma once

#include "gcl/Forms.h"
#include "controls/XtItem.h"
#include "theming/TxBars.h"

#include <vector>

namespace qelvo {

// Posted to the control a popup menu was shown for (WParam the menu) and
// broadcast to its children when the menu has closed.
inline constexpr uint32_t CM_POPUPMENUCLOSED = 0xB457;

using TXtPopupEvent = gcl::TEvent<void(gcl::TObject* Sender, TBarView* PopupView)>;

GCL_ENUM(TXtToolbarDisplayMode, tbdmSelectiveCaption, tbdmImageOnly, tbdmImageAboveCaption, tbdmTextOnly)

using TXtItemNotificationEvent =
    gcl::TEvent<void(gcl::TObject* Sender, TBarCustomItem* Ancestor, bool Relayed, TBarItemChangedAction Action,
                     int Index, TBarCustomItem* Item)>;

// ---- Docks ----------------------------------------------------------------------------------

// A themed dock whose background an owner may paint over or instead of,
// and which re-anchors its extended toolbars when it becomes shorter.
class TXtDock : public TTxDock {
    GCL_CLASS(TXtDock, TTxDock)
public:
    // The size before the last resize.
    int GetPrevWidth() const noexcept { return FPrevWidth; }
    int GetPrevHeight() const noexcept { return FPrevHeight; }

    TXtDrawEvent OnDrawBackground;
    TXtDrawEvent GetOnDrawBackground() const noexcept { return OnDrawBackground; }
    void SetOnDrawBackground(TXtDrawEvent Value);
    gcl::TCanResizeEvent GetOnCanResize() const noexcept { return OnCanResize; }
    void SetOnCanResize(gcl::TCanResizeEvent Value) noexcept { OnCanResize = Value; }

    virtual void DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                  bool& PaintDefault);
    // The owner's background between the two stages of OnDrawBackground.
    void DrawBackground(HDC DC, const TRect& DrawRect) override;
    bool UsingBackground() override;

protected:
    explicit TXtDock(gcl::TComponent* AOwner) : TTxDock(AOwner) {}
    bool CanResize(int& NewWidth, int& NewHeight) override;
    void Resize() override;

private:
    int FPrevWidth = 0;
    int FPrevHeight = 0;
};

// ---- Toolbars -------------------------------------------------------------------------------

// The extended toolbar's view: its viewers are at most MaxSize thick.
class TXtToolbarView : public TTxToolbarView {
    GCL_CLASS(TXtToolbarView, TTxToolbarView)
public:
    // -1: no limit.
    int GetMaxSize() const noexcept { return FMaxSize; }
    void SetMaxSize(int Value);

protected:
    using TTxToolbarView::TTxToolbarView;

private:
    int FMaxSize = -1;
};

class TXtChevronItem : public TTxChevronItem {
    GCL_CLASS(TXtChevronItem, TTxChevronItem)
public:
    TBarPopupWindowClass GetPopupWindowClass() override;

protected:
    using TTxChevronItem::TTxChevronItem;
};

class TXtToolbar : public TTxToolbar {
    GCL_CLASS(TXtToolbar, TTxToolbar)
public:
    // ---- Wide caption and hint (through the Unicode layer)
    std::wstring GetCaption();
    void SetCaption(const std::wstring& Value);
    std::wstring GetHint();
    void SetHint(const std::wstring& Value);
    bool IsCaptionStored();

    // ---- Properties
    bool GetChevronVertical() const noexcept { return FChevronVertical; }
    void SetChevronVertical(bool Value) noexcept { FChevronVertical = Value; }
    // Set by toolbars embedded in other controls: controls put on the bar
    // get control items of their own.
    bool GetCompoundToolbar() const noexcept { return FCompoundToolbar; }
    void SetCompoundToolbar(bool Value) noexcept { FCompoundToolbar = Value; }
    bool GetCustomizable() const noexcept { return FCustomizable; }
    void SetCustomizable(bool Value) noexcept { FCustomizable = Value; }
    // Above 0 while a customiser works on the bar (items may then be
    // dragged); never below 0.
    int GetCustomizingCount() const noexcept { return FCustomizingCount; }
    void SetCustomizingCount(int Value) noexcept { FCustomizingCount = Value < 0 ? 0 : Value; }
    TXtToolbarDisplayMode GetDisplayMode() const noexcept { return FDisplayMode; }
    // tbdmImageAboveCaption adds tboImageAboveCaption and tboSameWidth to
    // the items' options, every other mode removes both.
    void SetDisplayMode(TXtToolbarDisplayMode Value);
    // Item notifications are ignored while the lock is above 0.
    int GetItemNotificationLock() const noexcept { return FItemNotificationLock; }
    void BeginItemNotificationLock() noexcept { ++FItemNotificationLock; }
    void EndItemNotificationLock() noexcept {
        if (FItemNotificationLock > 0) --FItemNotificationLock;
    }
    bool GetAnchoringInProgress() const noexcept { return FAnchoringInProgress; }
    // The drop mark last drawn while an item is dragged over the bar.
    const TRect& GetDropMarkRect() const noexcept { return FDropMarkRect; }
    // The far edge of the last viewer after the last anchoring (0: none).
    int GetLastAnchorEdge() const noexcept { return FLastAnchorEdge; }
    TBarItemViewer* GetDragItemViewer() const noexcept { return FDragItemViewer; }
    TXtItemCacheCollection* GetItemCache() const noexcept { return FItemCache.get(); }
    TXtToolbarView* GetXtView() const noexcept;

    TXtDrawEvent OnDrawBackground;
    TXtItemNotificationEvent OnItemNotification;
    TXtDrawEvent GetOnDrawBackground() const noexcept { return OnDrawBackground; }
    void SetOnDrawBackground(TXtDrawEvent Value) noexcept { OnDrawBackground = Value; }
    TXtItemNotificationEvent GetOnItemNotification() const noexcept { return OnItemNotification; }
    void SetOnItemNotification(TXtItemNotificationEvent Value) noexcept { OnItemNotification = Value; }

    // ---- Operations
    // True when the click belongs to the customiser (CustomizingCount
    // above 0); with Customizable the viewer under the point (not the
    // chevron) is then dragged.
    virtual bool StartCustomizeDrag(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y);
    // The bar's non-client size along the dock (drag handle and borders).
    virtual int GetNonClientLength();
    // The room kept after the items behind a right-align spacer (0 here;
    // panel and title-bar toolbars keep 4, a status toolbar its grip).
    virtual int GetRightAlignMargin() { return 0; }
    // Anchored items and client- or right-anchored controls follow the
    // dock's length; with UpdateAnchors the change since the last anchoring
    // is taken over.
    virtual void AnchorItems(bool UpdateAnchors);
    // The first right-align spacer fills the room, so the items after it
    // end at the dock's far edge.
    virtual void RightAlignItems();
    virtual bool CanItemClick(TBarCustomItem* Item, gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y);
    virtual void DoDrawBackground(gcl::TCanvas* Canvas, const TRect& Rect, TXtPaintStage PaintStage,
                                  bool& PaintDefault);
    // After a click on the bar: a clicks-transparent item (a label) runs
    // its OnClick.
    virtual void DoItemClick(TBarCustomItem* Item, bool Cancelled, gcl::TMouseButton Button, gcl::TShiftState Shift,
                             int X, int Y);
    virtual void DoItemNotification(TBarCustomItem* Ancestor, bool Relayed, TBarItemChangedAction Action, int Index,
                                    TBarCustomItem* Item);
    // Whether the bar hides this separator (a status toolbar hides the one
    // beside its size grip).
    virtual bool HidesSeparator(TBarItemViewer*) { return false; }

    // Re-anchors and right-aligns the items, then the inherited resize.
    void Resize() override;
    void Dispatch(gcl::TMessage& Message) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TXtToolbar(gcl::TComponent* AOwner);
    ~TXtToolbar() override;
    void DefineProperties(gcl::TFiler& Filer) override;
    void CreateWindowHandle(const gcl::TCreateParams& Params) override;
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;
    void MouseMove(gcl::TShiftState Shift, int X, int Y) override;
    void DoStartDrag(gcl::TDragObject*& DragObject) override;
    void DragOver(gcl::TObject* Source, int X, int Y, gcl::TDragState State, bool& Accept) override;
    void DragDrop(gcl::TObject* Source, int X, int Y) override;
    const gcl::TComponent::TMetaClassType* ChevronClass() override { return TXtChevronItem::StaticClass(); }
    TBarToolbarView* CreateView() override;
    gcl::TMetaClass const* GetFloatingWindowParentClass() override;

private:
    void ItemNotification(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                          TBarCustomItem* Item);
    void EraseBackground(gcl::TMessage& Message);
    void HintShow(gcl::TMessage& Message);
    bool WrapInsertedControl(const gcl::TMessage& Message);
    bool DialogChar(uint16_t CharCode);
    // Erases the drop mark (drawn inverted) and remembers Rect as the new one.
    void SetDropMark(const TRect& Rect);
    bool CanAnchor();

    bool FChevronVertical = true;
    bool FCompoundToolbar = false;
    bool FCustomizable = true;
    int FCustomizingCount = 0;
    int FItemNotificationLock = 0;
    TXtToolbarDisplayMode FDisplayMode = tbdmSelectiveCaption;
    bool FAnchoringInProgress = false;
    TRect FDropMarkRect;
    int FLastAnchorEdge = 0;
    TBarItemViewer* FDragItemViewer = nullptr;
    std::unique_ptr<TXtItemCacheCollection> FItemCache;
};

// ---- Floating windows and popups ---------------------------------------------------------------

// The floating window of an extended toolbar: its caption is the bar's
// wide caption.
class TXtFloatingWindowParent : public TTxFloatingWindowParent {
    GCL_CLASS(TXtFloatingWindowParent, TTxFloatingWindowParent)
public:
    void Dispatch(gcl::TMessage& Message) override;

protected:
    using TTxFloatingWindowParent::TTxFloatingWindowParent;
    void DrawNCArea(HDC DC, int RedrawWhat) override;
    // The theme draws no caption: the bar's wide one is drawn over the frame.
    std::string FrameCaption() override;
    void VisibleChanging() override;
};

// A popup view that may lay its items out as a toolbar ("IsToolbar").
class TXtPopupWindowView : public TTxPopupView {
    GCL_CLASS(TXtPopupWindowView, TTxPopupView)
public:
    bool GetIsToolbar() const noexcept { return TTxPopupView::GetIsToolbar(); }
    void SetIsToolbar(bool Value) noexcept { TTxPopupView::SetIsToolbar(Value); }

protected:
    using TTxPopupView::TTxPopupView;
};

// The popup of an extended item: toolbar-like for a ToolbarStylePopup
// item; the item's OnClosePopup hears the item clicked in it.
class TXtPopupWindow : public TTxPopupWindow {
    GCL_CLASS(TXtPopupWindow, TTxPopupWindow)
public:
    TBarPopupViewClass ViewClass() override { return TXtPopupWindowView::StaticClass(); }
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    TXtPopupWindow(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* Item, bool Customizing);

private:
    TBarCustomItem* FPopupItem;
};

// The chevron's popup: a toolbar whose ChevronVertical is set lists the
// hidden items like a menu.
class TXtChevronPopupWindow : public TTxChevronPopupWindow {
    GCL_CLASS(TXtChevronPopupWindow, TTxChevronPopupWindow)
public:
    TBarPopupViewClass ViewClass() override { return TXtPopupWindowView::StaticClass(); }
    void Dispatch(gcl::TMessage& Message) override;

protected:
    using TTxChevronPopupWindow::TTxChevronPopupWindow;
};

// ---- Layout routines over a view --------------------------------------------------------------

// Holds a view's layout for a scope.
class TViewUpdateScope {
public:
    explicit TViewUpdateScope(TBarView* View) : FView(View) { FView->BeginUpdate(); }
    ~TViewUpdateScope() { FView->EndUpdate(); }
    TViewUpdateScope(const TViewUpdateScope&) = delete;
    TViewUpdateScope& operator=(const TViewUpdateScope&) = delete;

private:
    TBarView* FView;
};

// Changes of a bar's existing items (captions, images, fonts) made in one
// scope: the bar lays out, aligns and paints its items once, when the
// scope ends, where each change would do it on its own. The bar's item
// notifications are held for the scope (BeginItemNotificationLock), so
// items are not added or removed inside it.
class TXtToolbarChanges {
public:
    explicit TXtToolbarChanges(TXtToolbar* Bar);
    ~TXtToolbarChanges();
    TXtToolbarChanges(const TXtToolbarChanges&) = delete;
    TXtToolbarChanges& operator=(const TXtToolbarChanges&) = delete;

private:
    TXtToolbar* FBar;
};

// A test on an item (FindAdjacentViewer).
using TXtItemTest = gcl::TEvent<bool(TBarCustomItem* Item)>;

// The last visible right-align spacer's viewer, or null.
TBarItemViewer* FindRightAlignSpacerViewer(TBarView* View);
// Total: the summed lengths (heights when Vertical) of the visible
// viewers; AfterSpacer: those from the first visible right-align spacer
// on, which are added to List when it is given. Answers that spacer's
// viewer (null when there is none; AfterSpacer is then 0).
TBarItemViewer* MeasureRightAlignedItems(TBarView* View, std::vector<TBarItemViewer*>* List, bool Vertical,
                                         int& AfterSpacer, int& Total);
TBarItemViewer* FindViewerOfItem(TBarView* View, TBarCustomItem* Item);
// Steps from Viewer (exclusive) forward or backward; the first viewer
// whose item passes Test (every viewer when Test is nil), or null.
TBarItemViewer* FindAdjacentViewer(TBarView* View, TBarItemViewer* Viewer, bool Forward, TXtItemTest Test);
// The control item among Root's items that shows Control, or null.
TBarControlItem* FindRootControlItem(TBarCustomItem* Root, gcl::TControl* Control);
// The viewer under Point (view window's client coordinates), or null.
// With ResolveGroups a viewer of an item that belongs to an embedded group
// rather than to Root resolves to the nearest group viewer before it; the
// chevron is never answered.
TBarItemViewer* ViewerAtPoint(TBarCustomItem* Root, TBarView* View, TPoint Point, bool ResolveGroups);
// A group item's viewer: the union of the visible viewers that follow it
// up to the next one whose item belongs to Root; any other viewer: its
// bounds.
void GetGroupViewerBounds(TBarItemViewer* Viewer, TBarCustomItem* Root, TRect& Rect);
// Where an item dropped at Point goes: Index among Root's items (before
// or after Viewer, by the half of it the point is in) and the drop mark, a
// 4-pixel bar across the view at that edge. False when no viewer is under
// the point.
bool CalcDropPosition(TBarCustomItem* Root, TBarView* View, TPoint Point, TRect& DropMark, int& Index,
                      TBarItemViewer*& Viewer);
// The same rule for tabs; the index is corrected around DraggedIndex so
// that a drop next to the dragged tab keeps its place.
bool CalcTabDropIndex(TBarCustomItem* Root, TBarView* View, TPoint Point, int& Index, TBarItemViewer*& Viewer,
                      int DraggedIndex);
// An I-beam in the brush colour over Rect (nothing for an empty one).
void DrawDropMark(gcl::TCanvas* Canvas, const TRect& Rect);

// ---- The popup menu ------------------------------------------------------------------------

class TXtPopupMenu;

// The popup menu's root item: hands the popup's view to its menu.
class TXtRootItem : public TTxRootItem {
    GCL_CLASS(TXtRootItem, TTxRootItem)
public:
    void InitPopupView(TBarPopupView* View) override;
    TBarPopupWindowClass GetPopupWindowClass() override;

protected:
    using TTxRootItem::TTxRootItem;
};

class TXtPopupMenu : public TTxPopupMenu {
    GCL_CLASS(TXtPopupMenu, TTxPopupMenu)
public:
    TXtPopupEvent OnInitPopup;
    TXtPopupEvent GetOnInitPopup() const noexcept { return OnInitPopup; }
    void SetOnInitPopup(TXtPopupEvent Value) noexcept { OnInitPopup = Value; }

    virtual void DoInitPopup(TBarView* PopupView);
    // Runs the menu beside PopupControl's screen rectangle (a control
    // without a parent: at the point X, Y); ClickedItem is the item
    // chosen. Tells a windowed PopupControl and its children
    // CM_POPUPMENUCLOSED afterwards. True when the menu was shown.
    virtual bool InternalPopup(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly,
                               TBarCustomItem*& ClickedItem);
    virtual TBarCustomItem* PopupEx(int X, int Y, gcl::TControl* PopupControl, bool ReturnClickedItemOnly);
    void Popup(int X, int Y) override;

protected:
    using TTxPopupMenu::TTxPopupMenu;
    const gcl::TComponent::TMetaClassType* RootItemClass() override { return TXtRootItem::StaticClass(); }
};

} // namespace qelvo

namespace qelvo {

// ---- The system menu as items ------------------------------------------------------------

// Appends one item per entry of Menu to ParentItem (separators, submenus
// and plain items with the wide text, the command id as Tag, the disabled,
// checked and default states); false for a null parent or a handle that is
// no menu.
bool CopyMenuToItems(HMENU Menu, TBarCustomItem* ParentItem);
// Fills Popup with Form's system menu: the glyph images, every entry
// enabled, then shown and enabled by the window's state and the flags.
// Form becomes the popup's PopupComponent. False when the menu could not
// be copied.
bool FillSystemMenuItems(gcl::TCustomForm* Form, bool ShowSize, bool ShowMinimize, TXtPopupMenu* Popup,
                         bool ShowClose = true, bool ShowMaximize = true);
// Shows Form's system menu at the screen point; answers the chosen command
// (0 for none). With Execute the command is carried out on the form.
int ShowSystemMenuPopup(gcl::TCustomForm* Form, TPoint Point, bool ShowSize, bool Execute,
                        TXtPopupEvent InitPopupEvent = {}, bool ShowClose = true, bool ShowMaximize = true,
                        bool ShowMinimize = true);

} // namespace qelvo

// Views: the sub-items of one item shown in one window (toolbar, menu bar,
// popup menu, submenu) through one viewer per shown item; layout,
// selection, keyboard navigation, view timers, scrolling, painting and the
// end of a modal menu. Part of the BarItem unit (include toolbar/BarItem.h).
#pragma once

#include "toolbar/BarItem.h"

namespace qelvo {

class TBarViewAccObject;

GCL_ENUM(TBarViewOrientation, tbvoHorizontal, tbvoVertical, tbvoFloating)
GCL_ENUM(TBarViewTimerID, tiOpen, tiClose, tiScrollUp, tiScrollDown)
using TBarViewTimers = gcl::TSet<TBarViewTimerID>;

// TBarViewState bits.
using TBarViewState = uint8_t;
inline constexpr TBarViewState vsModal = 0x01;             // a menu loop runs on the chain
inline constexpr TBarViewState vsMouseInWindow = 0x02;
inline constexpr TBarViewState vsDrawInOrder = 0x04;       // next paint: all viewers in array order
inline constexpr TBarViewState vsOppositePopup = 0x08;     // opened on the opposite side
inline constexpr TBarViewState vsIgnoreFirstMouseUp = 0x10;
inline constexpr TBarViewState vsShowAccels = 0x20;        // accelerator underlines shown
inline constexpr TBarViewState vsDropDownMenus = 0x40;     // each newly selected item opens its submenu
inline constexpr TBarViewState vsNoAnimation = 0x80;       // child popups open without animation

// TBarViewStyle bits.
using TBarViewStyle = uint8_t;
inline constexpr TBarViewStyle vsMenuBar = 0x01;
inline constexpr TBarViewStyle vsUseHiddenAccels = 0x02;   // hide underlines until the keyboard is used
inline constexpr TBarViewStyle vsAlwaysShowHints = 0x04;

// Windows timer ids of the view timers: 9000 + kind.
inline constexpr UINT_PTR ViewTimerBaseID = 9000;
// Height of a popup's scroll-arrow bands.
inline constexpr int ScrollArrowHeight = 19;

class TBarView : public gcl::TComponent {
    GCL_CLASS(TBarView, gcl::TComponent)
public:
    // ---- Construction
    // Views are made with Create(Owner, ParentView, ParentItem, Window,
    // IsToolbar, Customizing, UsePriorityList).
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

    // ---- Fields read by the layout, the popups and the themes
    gcl::TWinControl* GetWindow() const noexcept { return FWindow; }
    TBarView* GetParentView() const noexcept { return FParentView; }
    TBarCustomItem* GetParentItem() const noexcept { return FParentItem; }
    TBarCustomItem* GetShownItem() const noexcept { return FShownItem; }
    bool GetIsPopup() const noexcept { return FIsPopup; }
    bool GetIsToolbar() const noexcept { return FIsToolbar; }
    void SetIsToolbar(bool Value) noexcept { FIsToolbar = Value; FIsPopup = !Value; }
    bool GetCustomizing() const noexcept { return FCustomizing; }
    int GetViewerCount() const noexcept { return static_cast<int>(FViewers.size()); }
    TBarItemViewer* GetViewers(int Index) const { return FViewers.at(static_cast<size_t>(Index)); }
    TBarItemViewer* GetSelected() const noexcept { return FSelected; }
    bool GetSelectedViaMouse() const noexcept { return FSelectedViaMouse; }
    bool GetMouseOverSelected() const noexcept { return FMouseOverSelected; }
    bool GetCapture() const noexcept { return FCapture; }
    TBarViewState GetState() const noexcept { return FState; }
    void SetState(TBarViewState Value) noexcept { FState = Value; }
    TBarViewStyle GetStyle() const noexcept { return FStyle; }
    void SetStyle(TBarViewStyle Value) noexcept { FStyle = Value; }
    TBarViewOrientation GetOrientation() const noexcept { return FOrientation; }
    void SetOrientation(TBarViewOrientation Value);
    int GetWrapOffset() const noexcept { return FWrapOffset; }
    void SetWrapOffset(int Value);
    int GetChevronOffset() const noexcept { return FChevronOffset; }
    void SetChevronOffset(int Value);
    int GetChevronSize() const noexcept { return FChevronSize; }
    void SetChevronSize(int Value);
    int GetMaxHeight() const noexcept { return FMaxHeight; }
    void SetMaxHeight(int Value);
    int GetScrollOffset() const noexcept { return FScrollOffset; }
    bool GetShowUpArrow() const noexcept { return FShowUpArrow; }
    bool GetShowDownArrow() const noexcept { return FShowDownArrow; }
    gcl::TPoint GetBaseSize() const noexcept { return FBaseSize; }
    gcl::TRect GetMonitorRect() const noexcept { return FMonitorRect; }
    void SetMonitorRect(const gcl::TRect& Value) noexcept { FMonitorRect = Value; }
    gcl::TColor GetBackgroundColor() const noexcept { return FBackgroundColor; }
    void SetBackgroundColor(gcl::TColor Value) noexcept { FBackgroundColor = Value; }
    TBarView* GetChevronParentView() const noexcept { return FChevronParentView; }
    void SetChevronParentView(TBarView* Value);
    bool GetUsePriorityList() const noexcept { return FUsePriorityList; }
    void SetUsePriorityList(bool Value);
    // The order in which viewers give way to the chevron (last first); empty
    // without UsePriorityList.
    const std::vector<TBarItemViewer*>& GetPriorityList() const noexcept { return FPriorityList; }
    bool GetNewViewersOnTop() const noexcept { return FNewViewersOnTop; }
    void SetNewViewersOnTop(bool Value) noexcept { FNewViewersOnTop = Value; }
    int GetLeadingExtraViewers() const noexcept { return FLeadingExtraViewers; }
    int GetTrailingExtraViewers() const noexcept { return FTrailingExtraViewers; }
    bool GetValidated() const noexcept { return FValidated; }
    // While a layout pass that moved items sizes the window: the pass then
    // paints the whole window itself, so the size needs no paint of its own.
    bool GetSizingBeforePaint() const noexcept { return FSizingBeforePaint; }
    // While set, a layout pass that moves items leaves the window invalid
    // instead of painting it: a measuring pass whose layout the next pass
    // replaces, so that only the final one is painted.
    bool GetDeferPaint() const noexcept { return FDeferPaint; }
    void SetDeferPaint(bool Value) noexcept { FDeferPaint = Value; }
    // Set by a window that paints itself whole through one bitmap when
    // asked (a toolbar): a layout pass that moves items then leaves the
    // window to its next paint, which other changes of the same action
    // share, instead of painting it at once.
    bool GetWholePaintInCycle() const noexcept { return FWholePaintInCycle; }
    void SetWholePaintInCycle(bool Value) noexcept { FWholePaintInCycle = Value; }
    // A layout pass left the window for its next paint to paint whole
    // through one bitmap; the window takes it (TakeWholePaint) when it
    // paints. Until then its background is not erased on the screen.
    bool GetWholePaintPending() const noexcept { return FWholePaintPending; }
    bool TakeWholePaint() noexcept {
        const bool pending = FWholePaintPending;
        FWholePaintPending = false;
        return pending;
    }
    // While the whole window paints into one bitmap: a viewer waiting for
    // a repaint of its own is drawn straight into it, as the others are.
    bool& PaintingWholeFlag() noexcept { return FPaintingWhole; }
    TBarViewTimers GetActiveTimers() const noexcept { return FActiveTimers; }
    HWND GetCaptureWndField() const noexcept { return FCaptureWnd; }
    void SetCaptureWnd(HWND Value) noexcept { FCaptureWnd = Value; }
    TBarDoneActionData& DoneAction() noexcept { return FDoneAction; }
    int GetWheelAccum() const noexcept { return FWheelAccum; }

    // The open submenu: its viewer, view and window (the window is the
    // popup window, owned by this view while open).
    TBarItemViewer* GetOpenViewer() const noexcept { return FOpenViewer; }
    TBarView* GetOpenChildView() const noexcept { return FOpenChildView; }
    gcl::TWinControl* GetOpenChildWindow() const noexcept { return FOpenChildWindow; }
    // Called by CreatePopup when the popup it made for Viewer is shown.
    void RecordOpenPopup(gcl::TWinControl* Window, TBarView* View, TBarItemViewer* Viewer);

    // ---- Queries
    // The viewer of Item; EBarItemError when it has none.
    TBarItemViewer* Find(TBarCustomItem* Item);
    int IndexOf(const TBarItemViewer* Viewer) const noexcept;
    TBarItemViewer* ViewerFromPoint(gcl::TPoint P);
    TBarItemViewer* NextSelectable(TBarItemViewer* Start, bool GoForward);
    TBarItemViewer* FirstSelectable();
    TBarItemViewer* TopPriorityViewer();
    TBarView* GetRootView() noexcept;
    TBarView* GetToolbarAncestor() noexcept;
    bool ContainsView(const TBarView* Other) const noexcept;
    HWND GetCaptureWnd() noexcept;
    bool IsEnding() noexcept;
    void GetHostedControls(std::vector<gcl::TWinControl*>& List);
    TBarItemViewer* FindAccelViewer(TBarItemViewer* Start, char Key, bool RequirePrimaryAccel,
                                    bool& IsOnlyItemWithAccel);

    // ---- Layout
    virtual void InvalidatePositions();
    void ValidatePositions();
    gcl::TPoint UpdatePositions();
    void ValidateWhenIdle();
    // Whether a layout may run now (no update pending, nothing loading).
    bool CanValidateNow() const;
    void BeginUpdate();
    void EndUpdate();
    // The layout pass. Without CanMoveControls nothing is written to the
    // viewers or controls (a trial layout). TotalSize comes in as a lower
    // bound; true when any viewer's rectangle, Show or line-separator flag
    // changed.
    bool ComputeLayout(bool CanMoveControls, TBarViewOrientation AOrientation, int AWrapOffset, int AChevronOffset,
                       int AChevronSize, gcl::TPoint& BaseSize, gcl::TPoint& TotalSize, int& WrappedLines);
    virtual void GetMargins(TBarViewOrientation AOrientation, gcl::TRect& Margins);
    virtual gcl::TFont* GetFont();

    // ---- Selection and execution
    void Select(TBarItemViewer* Value, bool ViaMouse);
    void SelectNextItem(bool GoForward);
    // P a screen point, or null.
    void UpdateSelection(const gcl::TPoint* P, bool AllowNewSelection);
    void ExecuteSelected(bool RaisePriority);
    void RaisePriority(TBarItemViewer* Viewer);
    bool OpenChildPopup(bool SelectFirstItem);
    void CloseChildPopups();
    void CancelChildPopups();
    void BeginCapture();
    // Ends the tracking of a pressed button; the menu loop's remembered
    // mouse position (MenuLoopMousePos on the root view) is marked to be read
    // again.
    void CancelCapture();
    // Set by the menu loop on its root view while it runs.
    gcl::TPoint* MenuLoopMousePos = nullptr;
    void Scroll(bool Down);
    void ScrollSelectedIntoView();
    void ShowAccelUnderlines(bool Show);
    virtual void KeyDown(uint16_t& Key, gcl::TShiftState Shift);
    virtual void MouseWheel(int WheelDelta, int X, int Y);
    // Runs the modal menu loop on this toolbar or menu-bar view (options
    // tbrmMouseDown, tbrmExecuteSelected, tbrmFromAccessibility), then
    // carries out how the menu ended.
    void RunToolbarMenu(int Options);
    // Prepares the state when a menu loop starts on this view: only the
    // underline bit is kept, the modal bit is set and the done action is
    // cleared.
    void BeginModalState();

    // ---- Ending a modal menu (written to the root view)
    void EndModal();
    void EndWithClick(TBarItemViewer* Viewer);
    void EndWithSystemMenu(HWND Wnd, WPARAM Key);
    void EndWithHelp(int HelpContext);
    void CancelMode();

    // ---- Timers (run only on popup windows)
    void StartTimer(TBarViewTimerID Kind, UINT Interval);
    void StopTimer(TBarViewTimerID Kind);
    void StopAllTimers();
    // What a view timer does when it fires (the menu loop routes WM_TIMER).
    void TimerFired(TBarViewTimerID Kind);
    // True when the view's window is a popup window (and may run timers).
    virtual bool IsPopupWindow() const { return false; }

    // ---- Painting
    void DrawViewers(gcl::TCanvas* Canvas);
    void DrawViewer(TBarItemViewer* Viewer, gcl::TCanvas* Canvas, bool Offscreen);
    void Invalidate(TBarItemViewer* Viewer);
    void RaiseAccFocus();
    // Answers WM_GETOBJECT for the client area with the view's accessible
    // object; false when it did not answer.
    bool HandleWMGetObject(gcl::TMessage& Message);
    // The view's accessible object, made on first use (null without the
    // system's accessibility library).
    TBarViewAccObject* GetAccObject();
    // The object tells its view that it is going away.
    void ForgetAccObject(TBarViewAccObject* Object) noexcept;

protected:
    TBarView(gcl::TComponent* Owner, TBarView* ParentView, TBarCustomItem* ParentItem, gcl::TWinControl* Window,
             bool IsToolbar, bool Customizing, bool UsePriorityList);
    ~TBarView() override;

    virtual void AutoSize(int AWidth, int AHeight);
    virtual void DoUpdatePositions(gcl::TPoint& Size);
    virtual TBarCustomItem* GetChevronItem() { return nullptr; }
    virtual TBarCustomItem* GetMDIButtonsItem() { return nullptr; }
    virtual TBarCustomItem* GetMDISystemMenuItem() { return nullptr; }
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;

    void RefreshShownItem();
    void RebuildViewers();
    void InvalidateChain();
    void InitiateActions();
    // Cuts the accessible object off from the view and drops the view's
    // reference.
    void ReleaseAccObject() noexcept;

private:
    friend class TBarItemViewer;
    struct TPosition;

    void ParentItemChanged(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                           TBarCustomItem* Item);
    void ShownItemChanged(TBarCustomItem* Sender, bool Relayed, TBarItemChangedAction Action, int Index,
                          TBarCustomItem* Item);
    int AddItemViewers(int Index, TBarCustomItem* Item, int GroupLevel, bool AddToPriorityList,
                       bool TopOfPriorityList);
    void AddViewersOfItem(TBarCustomItem* Sender, int Index, TBarCustomItem* Item);
    void RemoveViewersOfItem(TBarCustomItem* Item);
    void RemoveViewerAt(int Index);
    void RenewViewer(int Index);
    void ForgetViewer(TBarItemViewer* Viewer);
    void FreeViewers() noexcept;
    bool MouseIsOver(TBarItemViewer* Viewer);

    TBarViewTimers FActiveTimers;
    gcl::TColor FBackgroundColor = 0x20000000;   // clDefault
    gcl::TPoint FBaseSize;
    bool FCapture = false;
    HWND FCaptureWnd = nullptr;
    int FChevronOffset = 0;
    TBarView* FChevronParentView = nullptr;
    int FChevronSize = 0;
    TBarCustomItem* FShownItem = nullptr;
    bool FCustomizing = false;
    TBarDoneActionData FDoneAction;
    int FTrailingExtraViewers = 0;
    int FLeadingExtraViewers = 0;
    bool FIsPopup = false;
    bool FIsToolbar = false;
    int FMaxHeight = 0;
    gcl::TRect FMonitorRect;
    bool FMouseOverSelected = false;
    bool FNewViewersOnTop = true;
    TBarItemViewer* FOpenViewer = nullptr;
    TBarView* FOpenChildView = nullptr;
    gcl::TWinControl* FOpenChildWindow = nullptr;
    TBarView* FParentView = nullptr;
    TBarCustomItem* FParentItem = nullptr;
    std::vector<TBarItemViewer*> FPriorityList;
    TBarViewOrientation FOrientation = tbvoHorizontal;
    int FScrollOffset = 0;
    TBarItemViewer* FSelected = nullptr;
    bool FSelectedViaMouse = false;
    bool FShowDownArrow = false;
    bool FShowUpArrow = false;
    TBarViewState FState = 0;
    TBarViewStyle FStyle = 0;
    int FUpdateCount = 0;
    bool FUsePriorityList = false;
    bool FValidated = false;
    bool FSizingBeforePaint = false;
    bool FDeferPaint = false;
    bool FWholePaintInCycle = false;
    bool FWholePaintPending = false;
    bool FPaintingWhole = false;
    bool FLayoutMoved = false;   // a layout pass since it was cleared moved, showed or hid a viewer
    std::vector<TBarItemViewer*> FViewers;
    int FWheelAccum = 0;
    gcl::TWinControl* FWindow = nullptr;
    int FWrapOffset = 0;
    TBarViewAccObject* FAccObject = nullptr;   // holds one reference
};

// The shared toolbar font: the system's menu font, made when the unit
// starts. LoadMenuFont reads it again (after a settings change).
gcl::TFont* ToolbarFont() noexcept;
void LoadMenuFont();
// Registers the item classes for streaming and makes the shared toolbar
// font when the program starts; frees the font at the end.
extern gcl::TUnit BarItemUnit;

} // namespace qelvo

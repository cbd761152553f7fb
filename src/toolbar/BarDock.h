// Docks and dockable windows: the strip along a form's edge that keeps
// bars in rows (ordering, wrapping, shrinking, stretching), the base of
// every bar that docks or floats (the docking protocol that keeps the
// bar's window handle, the docked frame with its drag handle and close
// button, the floating switch and its visibility rules), the small tool
// window that hosts a floating bar, and the drag and size loops.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <string>
#include <vector>

#include "gcl/Forms.h"
#include "gcl/rtl/Filer.h"
#include "gcl/rtl/Sets.h"
#include "toolbar/BarCommon.h"
#include "toolbar/BarHook.h"
#include "toolbar/BarPosition.h"

namespace qelvo {

class TBarCustomDockableWindow;
class TBarFloatingWindowParent;

GCL_ENUM(TBarDockPosition, dpTop, dpBottom, dpLeft, dpRight)
using TBarDockableTo = gcl::TSet<TBarDockPosition>;
GCL_ENUM(TBarDockBoundLine, blTop, blBottom, blLeft, blRight)
using TBarDockBoundLines = gcl::TSet<TBarDockBoundLine>;
GCL_ENUM(TBarDockMode, dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks)
GCL_ENUM(TBarDragHandleStyle, dhDouble, dhNone, dhSingle)
GCL_ENUM(TBarFloatingMode, fmOnTopOfParentForm, fmOnTopOfAllForms)
GCL_ENUM(TBarShrinkMode, tbsmNone, tbsmWrap, tbsmChevron)
GCL_ENUM(TBarDockType, dtNotDocked, dtFloating, dtTopBottom, dtLeftRight)
GCL_ENUM(TBarSizeOption, tbsoCornerSizing, tbsoClipCursor)
using TBarSizeOptions = gcl::TSet<TBarSizeOption>;
// The floating frame's sizing edges and corners (hit code - HTLEFT).
GCL_ENUM(TBarSizeHandle, twshLeft, twshRight, twshTop, twshTopLeft, twshTopRight, twshBottom, twshBottomLeft,
         twshBottomRight)

// Non-client hit codes of docked and floating bars.
inline constexpr int HT_TB2K_DRAGHANDLE = 2000;   // drag handle (docked) or caption
inline constexpr int HT_TB2K_CLOSEBUTTON = 2001;
inline constexpr int HT_TB2K_CAPTION = 2002;     // floating caption

using TBarInsertRemoveEvent = gcl::TEvent<void(gcl::TObject* Sender, bool Inserting, TBarCustomDockableWindow* Bar)>;
using TBarRequestDockEvent = gcl::TEvent<void(gcl::TObject* Sender, TBarCustomDockableWindow* Bar, bool& Accept)>;
using TBarDockChangingEvent = gcl::TEvent<void(gcl::TObject* Sender, bool Floating, class TBarDock* DockingTo)>;

// A background that docks paint behind themselves and their bars.
class TBarBasicBackground : public gcl::TComponent {
    GCL_CLASS(TBarBasicBackground, gcl::TComponent)
public:
    virtual void Draw(HDC DC, const gcl::TRect& DrawRect) = 0;
    virtual HPALETTE GetPalette() = 0;
    virtual void RegisterChanges(gcl::TNotifyEvent Proc) = 0;
    virtual void SysColorChanged() = 0;
    virtual void UnregisterChanges(gcl::TNotifyEvent Proc) = 0;
    virtual bool UsingBackground() = 0;

protected:
    explicit TBarBasicBackground(gcl::TComponent* AOwner) : gcl::TComponent(AOwner) {}
};

// ---- Docks --------------------------------------------------------------------------------

class TBarDock : public gcl::TCustomControl {
    GCL_CLASS(TBarDock, gcl::TCustomControl)
public:
    TBarDockPosition GetPosition() const noexcept { return FPosition; }
    void SetPosition(TBarDockPosition Value);
    bool GetAllowDrag() const noexcept { return FAllowDrag; }
    void SetAllowDrag(bool Value);
    TBarDockBoundLines GetBoundLines() const noexcept { return FBoundLines; }
    void SetBoundLines(TBarDockBoundLines Value);
    TBarBasicBackground* GetBackground() const noexcept { return FBackground; }
    void SetBackground(TBarBasicBackground* Value);
    bool GetBackgroundOnToolbars() const noexcept { return FBackgroundOnToolbars; }
    void SetBackgroundOnToolbars(bool Value);
    bool GetFixAlign() const noexcept { return FFixAlign; }
    void SetFixAlign(bool Value);
    bool GetLimitToOneRow() const noexcept { return FLimitToOneRow; }
    void SetLimitToOneRow(bool Value) noexcept { FLimitToOneRow = Value; }
    bool GetCommitNewPositions() const noexcept { return FCommitNewPositions; }
    void SetCommitNewPositions(bool Value) noexcept { FCommitNewPositions = Value; }
    int GetNonClientWidth() const noexcept { return FNonClientWidth; }
    int GetNonClientHeight() const noexcept { return FNonClientHeight; }

    TBarInsertRemoveEvent OnInsertRemoveBar;
    TBarRequestDockEvent OnRequestDock;

    // Every bar that belongs to the dock (also hidden ones that keep it as
    // their last dock), and the ones lying visible on it, by row and position.
    const std::vector<TBarCustomDockableWindow*>& GetDockList() const noexcept { return FDockList; }
    int GetToolbarCount() const noexcept { return static_cast<int>(FDockVisibleList.size()); }
    TBarCustomDockableWindow* GetToolbars(int Index) const { return FDockVisibleList.at(size_t(Index)); }

    void BeginUpdate() noexcept { ++FDisableArrangeToolbars; }
    void EndUpdate();
    virtual bool GetAllowDragOf() { return FAllowDrag; }
    // Whether the dock takes Bar at all (a bar dragged over it, a bar put
    // into it).
    virtual bool AcceptsBar(TBarCustomDockableWindow*) { return true; }
    // Raises when Control may not be put into the dock (before anything
    // changes).
    virtual void ValidateInsert(gcl::TControl*) {}
    virtual void DrawBackground(HDC DC, const gcl::TRect& DrawRect);
    virtual bool UsingBackground();
    // Paints the background into DC over Area (DC coordinates), where the
    // DC's origin lies at Origin of the dock's client area. The picture is
    // anchored at the dock's parent's client origin, so neighbouring docks
    // and the bars on them line up.
    void DrawBackgroundAt(HDC DC, gcl::TPoint Origin, const gcl::TRect& Area);
    // The background shows on the bars' frames and behind their items.
    bool BackgroundShownOnBars() { return FBackgroundOnToolbars && UsingBackground(); }
    // Lays the bars out in rows and sizes the dock to them.
    virtual void ArrangeToolbars();
    bool HasVisibleToolbars();
    // The thickness of a row and whether it holds a full-size bar.
    int GetRowSize(int Row, bool& FullSizeRow);
    int GetRowOf(int Offset);
    int GetHighestRow(bool UseEffectiveRow);
    // Sets the bounds keeping the outer edge (a bottom dock its bottom, a
    // right dock its right).
    void ChangeWidthHeight(int NewWidth, int NewHeight);
    void ChangeDockList(bool Insert, TBarCustomDockableWindow* Bar);
    void ToolbarVisibilityChanged(TBarCustomDockableWindow* Bar, bool ForceRemove);
    void CommitPositions();
    void InvalidateBackgrounds(gcl::TObject* Sender = nullptr);
    // A bar lies visible on the dock: its parent is the dock and it is
    // visible.
    bool LiesVisible(TBarCustomDockableWindow* Bar);
    bool IsLeftRight() const noexcept { return FPosition == dpLeft || FPosition == dpRight; }

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;
    void SetParent(gcl::TWinControl* Value) override;

protected:
    explicit TBarDock(gcl::TComponent* AOwner);
    void Loaded() override;
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;
    void AlignControls(gcl::TControl* Control, gcl::TRect& Rect) override;
    void CreateParams(gcl::TCreateParams& Params) override;
    bool DrawsBoundLines();
    void PaintNC(HDC DC);
    // True while updates are held or the dock is loading: the arrangement
    // then runs at the outermost EndUpdate (or after loading).
    bool DeferArrange();
    // Drops bars that are being destroyed from the dock's lists.
    void DropDestroyedBars();
    // Makes the dock's bar order the given one (after a drag).
    void SetDockListOrder(const std::vector<TBarCustomDockableWindow*>& Order);

private:
    static void NCPaintProc(HWND Wnd, HDC DC, void* AppData);

    TBarDockPosition FPosition = dpTop;
    bool FAllowDrag = true;
    TBarDockBoundLines FBoundLines;
    TBarBasicBackground* FBackground = nullptr;
    bool FBackgroundOnToolbars = true;
    bool FFixAlign = false;
    bool FCommitNewPositions = false;
    bool FLimitToOneRow = false;
    int FDisableArrangeToolbars = 0;
    bool FArrangeToolbarsNeeded = false;
    int FNonClientWidth = 0;
    int FNonClientHeight = 0;
    std::vector<TBarCustomDockableWindow*> FDockList;
    std::vector<TBarCustomDockableWindow*> FDockVisibleList;
};

// ---- Dockable windows ----------------------------------------------------------------------

class TBarCustomDockableWindow : public gcl::TCustomControl {
    GCL_CLASS(TBarCustomDockableWindow, gcl::TCustomControl)
public:
    // ---- Properties
    bool GetAutoResize() const noexcept { return FAutoResize; }
    void SetAutoResize(bool Value);
    bool GetDblClickUndock() const noexcept { return FDblClickUndock; }
    void SetDblClickUndock(bool Value) noexcept { FDblClickUndock = Value; }
    int GetDockPos() const noexcept { return FDockPos; }
    void SetDockPos(int Value);
    int GetDockRow() const noexcept { return FDockRow; }
    void SetDockRow(int Value);
    int GetEffectiveDockPos() const noexcept { return FEffectiveDockPos; }
    int GetEffectiveDockRow() const noexcept { return FEffectiveDockRow; }
    void SetEffectivePosition(int Row, int Pos) noexcept {
        FEffectiveDockRow = Row;
        FEffectiveDockPos = Pos;
    }
    bool GetDocked() const noexcept { return FDocked; }
    TBarDock* GetCurrentDock() const noexcept { return FCurrentDock; }
    void SetCurrentDock(TBarDock* Value);
    TBarDock* GetDefaultDock() const noexcept { return FDefaultDock; }
    void SetDefaultDock(TBarDock* Value);
    TBarDock* GetLastDock() const noexcept { return FLastDock; }
    void SetLastDock(TBarDock* Value);
    int GetCurrentSize() const noexcept { return FCurrentSize; }
    void SetCurrentSize(int Value) noexcept { FCurrentSize = Value; }
    bool GetFloating() const noexcept { return FFloating; }
    void SetFloating(bool Value);
    bool GetActivateParent() const noexcept { return FActivateParent; }
    void SetActivateParent(bool Value) noexcept { FActivateParent = Value; }
    bool GetHideWhenInactive() const noexcept { return FHideWhenInactive; }
    void SetHideWhenInactive(bool Value);
    bool GetCloseButton() const noexcept { return FCloseButton; }
    void SetCloseButton(bool Value);
    bool GetCloseButtonWhenDocked() const noexcept { return FCloseButtonWhenDocked; }
    void SetCloseButtonWhenDocked(bool Value);
    bool GetFullSize() const noexcept { return FFullSize; }
    void SetFullSize(bool Value);
    bool GetResizable() const noexcept { return FResizable; }
    void SetResizable(bool Value);
    bool GetShowCaption() const noexcept { return FShowCaption; }
    void SetShowCaption(bool Value);
    bool GetStretch() const noexcept { return FStretch; }
    void SetStretch(bool Value);
    bool GetUseLastDock() const noexcept { return FUseLastDock; }
    void SetUseLastDock(bool Value);
    gcl::TBorderStyle GetDockedBorderStyle() const noexcept { return FDockedBorderStyle; }
    void SetDockedBorderStyle(gcl::TBorderStyle Value);
    TBarDockMode GetDockMode() const noexcept { return FDockMode; }
    void SetDockMode(TBarDockMode Value) noexcept { FDockMode = Value; }
    TBarDragHandleStyle GetDragHandleStyle() const noexcept { return FDragHandleStyle; }
    void SetDragHandleStyle(TBarDragHandleStyle Value);
    TBarDockableTo GetDockableTo() const noexcept { return FDockableTo; }
    void SetDockableTo(TBarDockableTo Value) noexcept { FDockableTo = Value; }
    TBarFloatingMode GetFloatingMode() const noexcept { return FFloatingMode; }
    void SetFloatingMode(TBarFloatingMode Value);
    bool GetSmoothDrag() const noexcept { return FSmoothDrag; }
    void SetSmoothDrag(bool Value) noexcept { FSmoothDrag = Value; }
    TBarSizeOptions GetSizeOptions() const noexcept { return FSizeOptions; }
    void SetSizeOptions(TBarSizeOptions Value) noexcept { FSizeOptions = Value; }
    bool GetInactiveCaption() const noexcept { return FInactiveCaption; }
    // The form stream was written at run time ("SavedAtRunTime"): a
    // floating position read with it is already on the screen.
    bool GetSavedAtRunTime() const noexcept { return FSavedAtRunTime; }
    gcl::TPoint GetFloatingPosition() const noexcept { return FFloatingPosition; }
    void SetFloatingPosition(gcl::TPoint Value);
    TBarFloatingWindowParent* GetFloatParent() const noexcept { return FFloatParent; }
    // Further forms whose docks the bar may join while dragged.
    std::vector<gcl::TCustomForm*>& DockForms() noexcept { return FDockForms; }
    bool GetDragging() const noexcept { return FDragging; }
    bool GetMovingInRow() const noexcept { return FMovingInRow; }
    bool GetPushed() const noexcept { return FPushed; }
    void SetPushed(bool Value) noexcept { FPushed = Value; }
    bool GetDragNewRow() const noexcept { return FDragNewRow; }
    bool GetCloseButtonDown() const noexcept { return FCloseButtonDown; }
    bool GetCloseButtonHover() const noexcept { return FCloseButtonHover; }
    // Whether the dock is the window's own, which may be its direct child
    // (a dockable panel's caption bar, a dock that takes only the bar
    // inside the panel).
    virtual bool HoldsOwnDock(const TBarDock*) const noexcept { return false; }

    gcl::TNotifyEvent OnClose;
    gcl::TNotifyEvent OnDockChanged;
    gcl::TNotifyEvent OnMove;
    gcl::TNotifyEvent OnRecreated;
    gcl::TNotifyEvent OnRecreating;
    gcl::TNotifyEvent OnVisibleChanged;
    gcl::TCloseQueryEvent OnCloseQuery;
    TBarDockChangingEvent OnDockChanging;
    TBarDockChangingEvent OnDockChangingHidden;

    // ---- Layout
    void BeginUpdate() noexcept { ++FArrangeUpdateCount; }
    void EndUpdate();
    void Arrange();
    void ChangeSize(gcl::TPoint NewClientSize);
    TBarDockType GetDockTypeOf(TBarDock* Dock, bool AFloating) const noexcept;
    TBarDockType DockType() const noexcept { return GetDockTypeOf(FCurrentDock, FFloating); }
    virtual void CalcNCSize(gcl::TPoint& Size);
    virtual bool CanDockTo(TBarDock* Dock);
    virtual void ControlExistsAtPos(gcl::TPoint P, bool& Exists);
    virtual void DoArrange(bool CanMoveControls, TBarDockType ADockType, gcl::TPoint& NewSize, TBarDock* Dock,
                           bool AFloating) = 0;
    virtual void DrawNCArea(HDC DC);
    virtual void GetBaseSize(gcl::TPoint& Size) = 0;
    virtual gcl::TRect GetDockedCloseButtonRect(bool LeftRight);
    virtual void GetMinShrinkSize(int& AMinimumSize);
    virtual void GetMinMaxSize(int& AMinClientWidth, int& AMinClientHeight, int& AMaxClientWidth,
                               int& AMaxClientHeight);
    virtual TBarShrinkMode GetShrinkMode() { return tbsmNone; }
    virtual void SizeChanging(int AWidth, int AHeight);
    virtual gcl::TPoint GetFloatingBorderSize();
    virtual void ReadPositionData(const TBarReadPositionData& Data);
    virtual void WritePositionData(const TBarWritePositionData& Data);
    // The size loop's hooks.
    virtual void ResizeBegin(TBarSizeHandle SizeHandle);
    virtual void ResizeTrack(gcl::TRect& Rect, const gcl::TRect& OrgRect);
    virtual void ResizeTrackAccept();
    virtual void ResizeEnd();
    virtual bool ChildControlTransparent(gcl::TControl* Ctl);

    virtual void GetDockedNCArea(gcl::TPoint& TopLeft, gcl::TPoint& BottomRight, bool LeftRight);
    void GetFloatingNCArea(gcl::TPoint& TopLeft, gcl::TPoint& BottomRight);
    gcl::TPoint DockedNCSize(bool LeftRight);
    gcl::TPoint FloatingNCSize();
    // The drag handle's size on the current dock (0 when it cannot drag).
    int DragHandleSize() const noexcept;
    void DoubleClick();
    bool IsMovable();
    void Close();
    void MoveOnScreen(bool OnlyIfFullyOffscreen);
    // The drag and size loops.
    void BeginMoving(int InitX, int InitY);
    void BeginSizing(TBarSizeHandle SizeHandle);
    // Applies the visibility rule of floating windows.
    void UpdateVisibility();
    // The floating caption's active state follows the application.
    void UpdateCaptionState();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetParent(gcl::TWinControl* AParent) override;
    // A floating bar is streamed as a top-level component of its form.
    bool HasParent() const override;
    gcl::TComponent* GetParentComponent() const override;
    void DefineProperties(gcl::TFiler& Filer) override;
    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;
    void Dispatch(gcl::TMessage& Message) override;
    // The form a floating bar belongs to (the bar's own form when docked).
    gcl::TCustomForm* ToolWindowParentForm();

protected:
    explicit TBarCustomDockableWindow(gcl::TComponent* AOwner);
    void Loaded() override;
    void Notification(gcl::TComponent* AComponent, gcl::TOperation Operation) override;
    void CreateParams(gcl::TCreateParams& Params) override;
    void MouseDown(gcl::TMouseButton Button, gcl::TShiftState Shift, int X, int Y) override;
    virtual gcl::TMetaClass const* GetFloatingWindowParentClass();
    virtual void DoDockChangingHidden(bool NewFloating, TBarDock* DockingTo);

private:
    friend class TBarDock;
    friend class TBarFloatingWindowParent;
    static void NCPaintProc(HWND Wnd, HDC DC, void* AppData);
    static void HookProc(TThreadHookCode Code, HWND Wnd, WPARAM WParam, LPARAM LParam);
    void CloseButtonPressChanged(bool Pressed);
    void RedrawNC();
    // The client area in window coordinates.
    gcl::TRect ClientRectInWindow();
    // Docked on a dock whose background shows on its bars.
    bool ShowsDockBackground();
    void RepaintThroughBitmap();
    void ApplyShowing();
    bool ShouldBeVisible();
    void AddToFloatingList();
    void RemoveFromFloatingList() noexcept;
    void ApplyMoveStep(struct TDragState& S, gcl::TPoint P, bool Final);
    void ReadSavedAtRunTime(gcl::TReader& Reader);
    void WriteSavedAtRunTime(gcl::TWriter& Writer);

    bool FAutoResize = true;
    bool FDblClickUndock = true;
    int FDockPos = -1;
    int FDockRow = 0;
    int FEffectiveDockPos = 0;
    int FEffectiveDockRow = -1;
    bool FDocked = false;
    TBarDock* FCurrentDock = nullptr;
    TBarDock* FDefaultDock = nullptr;
    TBarDock* FLastDock = nullptr;
    int FCurrentSize = 0;
    bool FFloating = false;
    bool FActivateParent = true;
    bool FHideWhenInactive = true;
    bool FCloseButton = true;
    bool FCloseButtonWhenDocked = false;
    bool FFullSize = false;
    bool FResizable = true;
    bool FShowCaption = true;
    bool FStretch = false;
    bool FUseLastDock = true;
    gcl::TBorderStyle FDockedBorderStyle = gcl::bsSingle;
    TBarDockMode FDockMode = dmCanFloat;
    TBarDragHandleStyle FDragHandleStyle = dhSingle;
    TBarDockableTo FDockableTo{dpTop, dpBottom, dpLeft, dpRight};
    TBarFloatingMode FFloatingMode = fmOnTopOfParentForm;
    bool FSmoothDrag = true;
    TBarSizeOptions FSizeOptions{tbsoCornerSizing, tbsoClipCursor};
    bool FInactiveCaption = false;
    bool FSavedAtRunTime = false;
    bool FCloseButtonDown = false;
    bool FCloseButtonHover = false;
    int FUpdatingBounds = 0;
    // Places the window as its dock or floating window arranges it, a size
    // not taken as one of its own.
    void SetBoundsArranging(int ALeft, int ATop, int AWidth, int AHeight);
    int FArrangeUpdateCount = 0;
    int FDisableOnMove = 0;
    int FHidden = 0;
    bool FArrangeNeeded = false;
    gcl::TPoint FFloatingPosition;
    std::vector<gcl::TCustomForm*> FDockForms;
    TBarFloatingWindowParent* FFloatParent = nullptr;
    bool FDragging = false;
    bool FMovingInRow = false;
    bool FPushed = false;
    bool FSmoothDragging = false;
    bool FDragNewRow = false;
    bool FHookInstalled = false;
};

// ---- The floating window -------------------------------------------------------------------

class TBarFloatingWindowParent : public gcl::TCustomForm {
    GCL_CLASS(TBarFloatingWindowParent, gcl::TCustomForm)
public:
    TBarCustomDockableWindow* GetDockableWindow() const noexcept { return FDockableWindow; }
    gcl::TCustomForm* GetParentForm() const noexcept { return FParentForm; }
    bool GetShouldShow() const noexcept { return FShouldShow; }
    void SetShouldShow(bool Value);
    bool GetCloseButtonDown() const noexcept { return FCloseButtonDown; }
    // Repaints parts of the frame: 1 frame, 2 caption, 4 close button.
    void RedrawNCArea(int RedrawWhat);
    gcl::TRect GetCaptionRect(bool AdjustForBorder, bool MinusCloseButton);
    gcl::TRect GetCloseButtonRect(bool AdjustForBorder);
    void Dispatch(gcl::TMessage& Message) override;

protected:
    explicit TBarFloatingWindowParent(gcl::TComponent* AOwner) : gcl::TCustomForm(AOwner, 0) {}
    void CreateParams(gcl::TCreateParams& Params) override;
    virtual void DrawNCArea(HDC DC, int RedrawWhat);

private:
    friend class TBarCustomDockableWindow;
    static void NCPaintProc(HWND Wnd, HDC DC, void* AppData);
    void CloseButtonPressChanged(bool Pressed);
    int HitTest(gcl::TPoint P);

    bool FCloseButtonDown = false;
    TBarCustomDockableWindow* FDockableWindow = nullptr;
    gcl::TCustomForm* FParentForm = nullptr;
    bool FShouldShow = false;
};

// Registers the dock for streaming.
extern gcl::TUnit BarDockUnit;

} // namespace qelvo

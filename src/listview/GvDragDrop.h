// Drag and drop of the list view: the auto-scrolling base of every drag
// manager, the rubber band, the header's column drag with its clipboard
// record, the item drag (OLE or the class library's) with the insert mark,
// and the control's OLE drop target, drop source and data object.
#pragma once

#include "listview/GvScrollbars.h"

#include <ole2.h>
#include <shlobj.h>

#include "gcl/Timers.h"
#include "listview/LvDataObject.h"

namespace qelvo {

GCL_ENUM(TGvDragType, edtOLE, edtGCL)

// ---- The auto-scrolling base --------------------------------------------------------------

// What every drag of the list view shares: the drag protocol (DragStart,
// Drag for every move, then DragDrop or DragEnd) and scrolling while the
// mouse rests near an edge of the client area. Points are in window
// (client) coordinates.
class TCustomGvDragManagerBase : public TGvOwnedPersistent {
    GCL_CLASS(TCustomGvDragManagerBase, TGvOwnedPersistent)
public:
    explicit TCustomGvDragManagerBase(TCustomGvListview* AOwner);
    ~TCustomGvDragManagerBase() override;

    bool GetAutoScroll() const noexcept { return FAutoScroll; }
    void SetAutoScroll(bool Value) noexcept { FAutoScroll = Value; }
    uint8_t GetAutoScrollAccelerator() const noexcept { return FAutoScrollAccelerator; }
    void SetAutoScrollAccelerator(uint8_t Value) noexcept { FAutoScrollAccelerator = Value; }
    int GetAutoScrollDelay() const noexcept { return FAutoScrollDelay; }
    void SetAutoScrollDelay(int Value) noexcept { FAutoScrollDelay = Value; }
    int GetAutoScrollMargin() const noexcept { return FAutoScrollMargin; }
    void SetAutoScrollMargin(int Value) noexcept { FAutoScrollMargin = Value; }
    int GetAutoScrollTime() const noexcept { return FAutoScrollTime; }
    void SetAutoScrollTime(int Value) noexcept { FAutoScrollTime = Value; }
    TCommonMouseButtons GetMouseButton() const noexcept { return FMouseButton; }
    void SetMouseButton(TCommonMouseButtons Value) noexcept { FMouseButton = Value; }
    bool GetEnabled() const noexcept { return FEnabled; }
    // Calls EnabledChange before a changed value is stored.
    void SetEnabled(bool Value);

    bool Dragging() const noexcept { return FDragging; }
    // True once the mouse has rested in an edge region for AutoScrollDelay.
    bool AutoScrolling() const noexcept { return FAutoScrolling; }
    // True while a scroll step of ScrollBy runs.
    bool ScrollStepRunning() const noexcept { return FStepRunning; }
    ::IDataObject* GetDataObject() const noexcept { return FDataObject.Get(); }
    TCommonKeyStates GetLastKeyStates() const noexcept { return FLastKeyStates; }
    // The auto-scroll timer (null while no drag runs).
    gcl::TTimer* GetTimer() const noexcept { return FTimer; }

    virtual void DragStart(::IDataObject* DataObject, TCommonKeyStates KeyStates, gcl::TPoint WindowPt);
    // Each mouse move or OLE drag-over. Effect is the answer proposed so
    // far; a manager may change it.
    virtual void Drag(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                      TCommonDropEffect& Effect);
    virtual void DragDrop(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                          TCommonDropEffect& Effect);
    virtual void DragEnd();

    // One scroll step towards the edge region the cursor is in (only once
    // the delay has passed).
    virtual void AutoScrollStep();
    // Scrolls the view and feeds the control a mouse move at the cursor so
    // that the drag sees the new position.
    void ScrollBy(int DeltaX, int DeltaY);
    virtual bool PtInAutoScrollUpRegion(gcl::TPoint) const { return false; }
    virtual bool PtInAutoScrollDownRegion(gcl::TPoint) const { return false; }
    virtual bool PtInAutoScrollLeftRegion(gcl::TPoint) const { return false; }
    virtual bool PtInAutoScrollRightRegion(gcl::TPoint) const { return false; }
    // Distance from the point to the inner edge of the margin.
    virtual int ScrollDeltaUp(gcl::TPoint WindowPt) const;
    virtual int ScrollDeltaDown(gcl::TPoint WindowPt) const;
    virtual int ScrollDeltaLeft(gcl::TPoint WindowPt) const;
    virtual int ScrollDeltaRight(gcl::TPoint WindowPt) const;
    // Keys during a drag: page, home, end and the arrows scroll the view.
    void KeyScroll(uint16_t Key);
    // Registers the control's window as an OLE drop target, or revokes it.
    virtual void RegisterAsDropTarget(bool Value);

protected:
    // Before Enabled changes to NewValue, and after it has changed.
    virtual void EnabledChange(bool NewValue);
    virtual void EnabledChanged() {}
    virtual void DoDragBegin(TCommonKeyStates, gcl::TPoint) {}
    virtual void DoDrag(TCommonKeyStates, gcl::TPoint, TCommonDropEffects, TCommonDropEffect&) {}
    virtual void DoDragDrop(TCommonKeyStates, gcl::TPoint, TCommonDropEffects, TCommonDropEffect&) {}
    virtual void DoDragEnd() {}
    virtual void DoBeforeScroll() {}
    virtual void DoAfterScroll() {}
    virtual void DoAfterOffsetChange(int, int) {}
    // The cursor in client coordinates of the control.
    gcl::TPoint CursorClientPos() const;
    // WindowPt lies in an edge region and the view can still move that way.
    bool ViewCanScrollUp(gcl::TPoint WindowPt) const;
    bool ViewCanScrollDown(gcl::TPoint WindowPt) const;
    bool ViewCanScrollLeft(gcl::TPoint WindowPt) const;
    bool ViewCanScrollRight(gcl::TPoint WindowPt) const;
    int HeaderHeight() const;

private:
    void TimerTick(gcl::TObject* Sender);
    void FreeTimer() noexcept;

    bool FAutoScroll = true;
    uint8_t FAutoScrollAccelerator = 2;
    int FAutoScrollDelay = 500;
    int FAutoScrollMargin = 15;
    int FAutoScrollTime = 50;
    TCommonMouseButtons FMouseButton{cmbLeft};
    bool FEnabled = false;
    gcl::ComPtr<::IDataObject> FDataObject;
    gcl::TTimer* FTimer = nullptr;
    bool FDragging = false;
    bool FStepRunning = false;
    TCommonKeyStates FLastKeyStates;
    bool FAutoScrolling = false;
};

// ---- Rubber band ---------------------------------------------------------------------------

// Selecting by dragging a rectangle. The band is kept in view coordinates
// so that it stays attached to the content while the view scrolls.
class TGvDragRectManager : public TCustomGvDragManagerBase {
    GCL_CLASS(TGvDragRectManager, TCustomGvDragManagerBase)
public:
    explicit TGvDragRectManager(TCustomGvListview* AOwner);

    // A press of Button at WindowPt may start a band: anchor and moving
    // point become the press point in view coordinates.
    bool DragStartTest(TCommonMouseButton Button, gcl::TPoint WindowPt);
    // The normalised band, at least 1 x 1 (view coordinates); empty when no
    // band is pending or running.
    gcl::TRect SelectionRect() const;
    gcl::TRect GetPrevRect() const noexcept { return FPrevRect; }
    gcl::TPoint GetAnchorPoint() const noexcept { return FAnchorPoint; }
    gcl::TPoint GetDragPoint() const noexcept { return FDragPoint; }
    // Forgets a pending start.
    void CancelPending() noexcept { FPending = false; }
    bool Pending() const noexcept { return FPending; }
    // Draws the band on Canvas (window coordinates).
    void PaintSelectionRect(gcl::TCanvas* Canvas);

    bool PtInAutoScrollUpRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollUp(WindowPt); }
    bool PtInAutoScrollDownRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollDown(WindowPt); }
    bool PtInAutoScrollLeftRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollLeft(WindowPt); }
    bool PtInAutoScrollRightRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollRight(WindowPt); }

protected:
    void DoDragBegin(TCommonKeyStates KeyStates, gcl::TPoint WindowPt) override;
    void DoDrag(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                TCommonDropEffect& Effect) override;
    void DoDragDrop(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                    TCommonDropEffect& Effect) override;
    void DoDragEnd() override;
    void DoBeforeScroll() override;
    void DoAfterScroll() override;

private:
    void InvalidateBand(const gcl::TRect& ViewRect);
    void Reset();

    gcl::TPoint FAnchorPoint;
    gcl::TPoint FDragPoint;
    gcl::TPoint FSavedOffset;
    gcl::TRect FPrevRect;
    bool FPending = false;
    bool FBand = false;
};

// ---- Header drag ---------------------------------------------------------------------------

// The record of the "GvListview.Header" clipboard format: who drags which
// column. A receiver trusts it only when the process and thread are its
// own, the list view is its own and the column is one of its header's
// columns; the pointers are never followed before that.
struct TGvHeaderDragRecord {
    uint32_t ProcessId;
    uint32_t ThreadId;
    uintptr_t Listview;
    uintptr_t Column;
};

class TGvDataObjectManager;

// Reordering report columns by dragging a header button onto another
// (an OLE drag carrying the header record). The item drag manager derives
// from it and shares the drag execution.
class TGvHeaderDragManager : public TCustomGvDragManagerBase {
    GCL_CLASS(TGvHeaderDragManager, TCustomGvDragManagerBase)
public:
    explicit TGvHeaderDragManager(TCustomGvListview* AOwner);

    gcl::TCursor GetDragCursor() const;
    void SetDragCursor(gcl::TCursor Value);
    bool GetEnableDragImage() const noexcept { return FEnableDragImage; }
    void SetEnableDragImage(bool Value) noexcept { FEnableDragImage = Value; }
    int GetDragImageWidth() const noexcept { return FDragImageWidth; }
    void SetDragImageWidth(int Value) noexcept { FDragImageWidth = Value; }
    int GetDragImageHeight() const noexcept { return FDragImageHeight; }
    void SetDragImageHeight(int Value) noexcept { FDragImageHeight = Value; }

    // The column being dragged, and the column under the mouse.
    TGvColumn* GetColumn() const noexcept { return FColumn; }
    void SetColumn(TGvColumn* Value) noexcept { FColumn = Value; }
    TGvColumn* GetTargetColumn() const noexcept { return FTargetColumn; }
    bool GetHeaderDragValid() const noexcept { return FHeaderDragValid; }
    // Drops every reference to the column (it is going away).
    virtual void Forget(TGvCollectionItem* Obj) noexcept;

    // Runs the drag from WindowPt: the class library's drag for an item
    // drag of type edtGCL, else the system's OLE loop. Answers whether a
    // drag ran.
    bool ExecuteDrag(gcl::TPoint WindowPt, TCommonKeyStates KeyStates);
    // The data object of the OLE drag this manager runs (null otherwise).
    ::IDataObject* RunningDataObject() const noexcept { return FSourceDataObject.Get(); }
    // Paints the dragged column's button as the drag image.
    virtual void GetDragImage(gcl::TBitmap* Bitmap, gcl::TPoint DragStartPt, gcl::TPoint& HotSpot,
                              gcl::TColor& TransparentColor, bool& Handled);
    // The column of a header record of this list view in DataObject, or
    // null for a foreign, stale or malformed record.
    TGvColumn* RecordColumn(::IDataObject* DataObject) const;

    bool PtInAutoScrollLeftRegion(gcl::TPoint WindowPt) const override;
    bool PtInAutoScrollRightRegion(gcl::TPoint WindowPt) const override;

protected:
    // Fills the data object for the drag and says whether to drag at all.
    virtual bool FillDataObject(::IDataObject* DataObject, TCommonDropEffects& AvailableEffects);
    // The size of the drag image bitmap.
    virtual gcl::TSize DragImageSize() const;
    // Called once the OLE loop has ended.
    virtual void DragFinished(::IDataObject* DataObject, TCommonOLEDragResult DragResult,
                              TCommonDropEffects ResultEffect, TCommonKeyStates KeyStates);
    virtual bool UsesGclDrag() const { return false; }
    virtual void BeginGclDrag() {}

    void DoDragBegin(TCommonKeyStates KeyStates, gcl::TPoint WindowPt) override;
    void DoDrag(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                TCommonDropEffect& Effect) override;
    void DoDragDrop(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                    TCommonDropEffect& Effect) override;
    void DoDragEnd() override;
    void EnabledChanged() override;

private:
    void SetTargetColumn(TGvColumn* Value);

    bool FEnableDragImage = true;
    int FDragImageWidth = 200;
    int FDragImageHeight = 300;
    TGvColumn* FColumn = nullptr;
    TGvColumn* FTargetColumn = nullptr;
    TGvColumn* FDropColumn = nullptr;
    bool FHeaderDragValid = false;
    gcl::ComPtr<::IDataObject> FSourceDataObject;
};

// ---- Item drag -----------------------------------------------------------------------------

// The line shown between items where a drop would insert.
class TGvInsertMark : public gcl::TPersistent {
    GCL_CLASS(TGvInsertMark, gcl::TPersistent)
public:
    explicit TGvInsertMark(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}
    bool GetAutoMove() const noexcept { return FAutoMove; }
    void SetAutoMove(bool Value) noexcept { FAutoMove = Value; }
    gcl::TColor GetColor() const noexcept { return FColor; }
    void SetColor(gcl::TColor Value);
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetReSelectAfterMove() const noexcept { return FReSelectAfterMove; }
    void SetReSelectAfterMove(bool Value) noexcept { FReSelectAfterMove = Value; }
    int GetWidth() const noexcept { return FWidth; }
    void SetWidth(int Value);

    bool GetVisible() const noexcept { return FVisible; }
    // The item the mark refers to; 1 before it, 2 after it (0 none).
    TGvItem* GetDropItem() const noexcept { return FDropItem; }
    int GetSide() const noexcept { return FSide; }
    // The mark's rectangle (view coordinates).
    gcl::TRect GetDisplayRect() const noexcept { return FDisplayRect; }
    // True when the mark stands between items side by side (a vertical line).
    bool GetVertical() const noexcept { return FVertical; }
    // Places the mark before or after Item (Item null: hidden).
    void Place(TGvItem* Item, int Side, const gcl::TRect& ViewRect, bool Vertical);
    void Hide();
    // Draws the mark on a canvas in view coordinates.
    void Paint(gcl::TCanvas* Canvas);
    void Forget(TGvCollectionItem* Obj) noexcept;

private:
    void InvalidateMark();

    TCustomGvListview* FOwnerListview;
    bool FAutoMove = true;
    gcl::TColor FColor = gcl::clBlack;
    bool FEnabled = false;
    bool FReSelectAfterMove = true;
    int FWidth = 2;
    bool FVisible = false;
    TGvItem* FDropItem = nullptr;
    int FSide = 0;
    gcl::TRect FDisplayRect;
    bool FVertical = false;
};

// Dragging items out of or within the list view.
class TGvOLEDragManager : public TGvHeaderDragManager {
    GCL_CLASS(TGvOLEDragManager, TGvHeaderDragManager)
public:
    explicit TGvOLEDragManager(TCustomGvListview* AOwner);
    ~TGvOLEDragManager() override;

    gcl::TDragMode GetDragMode() const noexcept { return FDragMode; }
    void SetDragMode(gcl::TDragMode Value) noexcept { FDragMode = Value; }
    TGvDragType GetDragType() const noexcept { return FDragType; }
    // Switching to edtGCL revokes the OLE drop target first.
    void SetDragType(TGvDragType Value);
    bool GetHilightDropTarget() const noexcept { return FHilightDropTarget; }
    void SetHilightDropTarget(bool Value) noexcept { FHilightDropTarget = Value; }
    TGvInsertMark* GetInsertMark() const noexcept { return FInsertMark.get(); }
    void SetInsertMark(TGvInsertMark* Value);

    // The item the drag started on, and the current drop target.
    TGvItem* GetDragItem() const noexcept { return FDragItem; }
    void SetDragItem(TGvItem* Value) noexcept { FDragItem = Value; }
    TGvItem* GetDropTarget() const noexcept { return FDropTarget; }
    bool GetDragInProgress() const noexcept { return FDragInProgress; }
    // A press of Button at WindowPt may start an item drag: the item under
    // the point becomes the drag item.
    bool DragStartTest(TCommonMouseButton Button, gcl::TPoint WindowPt);
    void Forget(TGvCollectionItem* Obj) noexcept override;
    // The class library's drag messages (CM_DRAG) that reach the control,
    // with the point in client coordinates.
    void GclDragEnter(gcl::TPoint ClientPt);
    void GclDragOver(gcl::TPoint ClientPt);
    void GclDragDrop(gcl::TPoint ClientPt);
    void GclDragLeave();

    bool PtInAutoScrollUpRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollUp(WindowPt); }
    bool PtInAutoScrollDownRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollDown(WindowPt); }
    bool PtInAutoScrollLeftRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollLeft(WindowPt); }
    bool PtInAutoScrollRightRegion(gcl::TPoint WindowPt) const override { return ViewCanScrollRight(WindowPt); }

protected:
    bool FillDataObject(::IDataObject* DataObject, TCommonDropEffects& AvailableEffects) override;
    gcl::TSize DragImageSize() const override;
    void DragFinished(::IDataObject* DataObject, TCommonOLEDragResult DragResult, TCommonDropEffects ResultEffect,
                      TCommonKeyStates KeyStates) override;
    bool UsesGclDrag() const override { return FDragType == edtGCL; }
    void BeginGclDrag() override;

    void DoDragBegin(TCommonKeyStates KeyStates, gcl::TPoint WindowPt) override;
    void DoDrag(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                TCommonDropEffect& Effect) override;
    void DoDragDrop(TCommonKeyStates KeyStates, gcl::TPoint WindowPt, TCommonDropEffects AvailableEffects,
                    TCommonDropEffect& Effect) override;
    void DoDragEnd() override;

public:
    void GetDragImage(gcl::TBitmap* Bitmap, gcl::TPoint DragStartPt, gcl::TPoint& HotSpot,
                      gcl::TColor& TransparentColor, bool& Handled) override;

private:
    void SetDropTarget(TGvItem* Value);
    // Clears the drop target and the insert mark.
    void ClearFeedback();
    // Moves the selected items to the insert mark's place.
    void MoveSelectionToMark();

    gcl::TDragMode FDragMode = gcl::dmManual;
    TGvDragType FDragType = edtOLE;
    bool FHilightDropTarget = true;
    std::unique_ptr<TGvInsertMark> FInsertMark;
    TGvItem* FDragItem = nullptr;
    TGvItem* FDropTarget = nullptr;
    bool FDragInProgress = false;
    bool FOwnDrag = false;
};

// ---- OLE objects of the control --------------------------------------------------------------

// The control's IDropTarget: routes the system's drag to the header's drag
// manager (for a header record) or to the item drag manager.
using TGvDropTargetManagerBase = gcl::TComObject<::IDropTarget>;
// The list view window's timer of a drop-target registration still due
// (TGvDropTargetManager::SyncAfterPaint).
inline constexpr UINT_PTR DropTargetSyncTimer = 0x4744;

class TGvDropTargetManager : public TGvDropTargetManagerBase {
    GCL_CLASS(TGvDropTargetManager, TGvDropTargetManagerBase)
public:
    HRESULT STDMETHODCALLTYPE DragEnter(::IDataObject* DataObject, DWORD KeyState, POINTL Pt,
                                        DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(::IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;

    // The control goes away: every later call answers "no drop".
    void Detach() noexcept;
    TCustomGvListview* GetOwnerListview() const noexcept { return FOwnerListview; }
    TCustomGvDragManagerBase* GetCurrentTarget() const noexcept { return FCurrentTarget; }
    // Whether the window takes drops (a registration still due is made
    // first).
    bool GetRegistered();
    // Registers or revokes the control's window (once each).
    void Register(bool Value);
    // Registered while either drag manager wants drops.
    void Sync();
    // A new window: Sync once the window is shown and painted (the
    // window's timer DropTargetSyncTimer), since a registration costs
    // the start some milliseconds and no drag reaches a window not shown.
    void SyncAfterPaint();
    // The timer came, or the registration is wanted now: the Sync due.
    void SyncIfDue();
    bool GetSyncDue() const noexcept { return FSyncDue; }
    // The window is being destroyed: revoke without asking the managers.
    void WindowGone() noexcept;

protected:
    explicit TGvDropTargetManager(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}
    ~TGvDropTargetManager() override;

private:
    IDropTargetHelper* Helper();
    void ReleaseHelper() noexcept;
    gcl::TPoint ClientPoint(POINTL Pt) const;

    TCustomGvListview* FOwnerListview;
    TCustomGvDragManagerBase* FCurrentTarget = nullptr;
    bool FRegistered = false;
    bool FSyncDue = false;
    bool FHelperTried = false;
    IDropTargetHelper* FHelper = nullptr;
    gcl::ComPtr<::IDataObject> FDataObject;
    TCommonDropEffects FAvailableEffects;
    TCommonDropEffect FDesired = cdeNone;
};

// Whether the list view takes OLE drops: its item drag manager is enabled
// for OLE, or its header's drag manager is enabled.
bool WantsDrops(TCustomGvListview* Listview);

// The control's IDropSource for one OLE drag.
using TGvDropSourceManagerBase = gcl::TComObject<::IDropSource>;
class TGvDropSourceManager : public TGvDropSourceManagerBase {
    GCL_CLASS(TGvDropSourceManager, TGvDropSourceManagerBase)
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override;

protected:
    explicit TGvDropSourceManager(TCustomGvListview* AOwner) : FOwnerListview(AOwner) {}

private:
    TCustomGvListview* FOwnerListview;
};

// The data object of a drag: its hooks reach the list view's events while
// it is bound to the list view.
class TGvDataObjectManager : public TCommonDataObject {
    GCL_CLASS(TGvDataObjectManager, TCommonDataObject)
public:
    TCustomGvListview* GetListview() const noexcept { return FListview; }
    void Unbind() noexcept { FListview = nullptr; }

protected:
    explicit TGvDataObjectManager(TCustomGvListview* AListview) : FListview(AListview) {}
    void DoGetCustomFormats(TFormatEtcArray& Formats) override;
    void DoGetData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool& Handled) override;
    void DoQueryGetData(const FORMATETC& FormatEtcIn, bool& FormatAvailable, bool& Handled) override;

private:
    TCustomGvListview* FListview;
};

// The same interface object for both: its IUnknown.
bool SameComObject(::IUnknown* A, ::IUnknown* B);

} // namespace qelvo

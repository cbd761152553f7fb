// In-process drag and drop (not OLE).
//
// A drag starts with Control->BeginDrag(Immediate, Threshold): at once, or
// (not immediate) when the mouse has moved more than Threshold pixels with
// the button down (-1: Mouse->DragThreshold). Starting asks the source
// control for a drag object (DoStartDrag, OnStartDrag); without one the
// drag carries a TDragControlObject of the source.
//
// The drag loop
// -------------
// BeginDrag runs a message loop of its own until the drag ends. The mouse
// is captured by a hidden window; every mouse move finds the control under
// the pointer (FindDragTarget, windowless controls included) and sends it
// CM_DRAG with a TDragRec: dmDragEnter, dmDragMove and dmDragLeave as the
// pointer enters, moves over and leaves it (the answer is "accepted"),
// dmDragDrop when the left button is released over a target that
// accepted, dmDragCancel to the target when the drag is cancelled. Escape,
// the right button, losing the capture, WM_CANCELMODE to any control (a
// box coming up), the source's window hidden, minimised or disabled, or
// EndDrag(false) cancel; WM_QUIT ends the drag as cancelled and is posted
// again. After Escape or the right button the loop keeps the mouse until
// the buttons are up, so their release is no click on what lies beneath.
// The cursor is the drag object's GetDragCursor: the source's DragCursor
// (crDrag) while a target accepts, crNoDrop otherwise. At the end the drag
// object hears Finished(Target, X, Y, Accepted); a TDragControlObject then
// tells its control (DragCanceled when not accepted, DoEndDrag ->
// OnEndDrag). Drag objects the drag made itself, and TDragObjectEx
// objects, are freed after Finished; other drag objects belong to whoever
// made them.
//
// The target side
// ---------------
// TControl handles CM_DRAG (DoDragMsg) by turning it into its DragOver
// (OnDragOver: Accept starts true when the handler is assigned) and
// DragDrop (OnDragDrop), with X and Y in the target's client coordinates
// and Source = the source control for a control drag object, else the drag
// object itself. DragMode dmAutomatic starts a drag on a left button press
// (BeginAutoDrag). TControl's drag members are defined in DragDrop.cpp.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>

#include "gcl/Controls.h"
#include "gcl/rtl/Components.h"

namespace gcl {

GCL_ENUM(TDragMessage, dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget)

// CM_DRAG's LParam.
struct TDragRec {
    TPoint Pos;                     // the pointer, screen coordinates
    TDragObject* Source = nullptr;  // the drag object
    void* Target = nullptr;         // the target control (a TControl*)
    bool Docking = false;           // always false: there is no docking
};

class TDragObject : public TObject {
    GCL_CLASS(TDragObject, TObject)
public:
    TDragObject() = default;
    ~TDragObject() override = default;

    // crDrag when accepted, else crNoDrop; x, y in the target's client
    // coordinates.
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    // Called once when the drag ends. target is the last target (null when
    // there was none); x, y are in its client coordinates (screen
    // coordinates without a target).
    virtual void Finished(TObject* target, int x, int y, bool accepted);
    // What the target's OnDragOver and OnDragDrop receive as Source.
    virtual TObject* GetDragSource() { return this; }
    // True when the drag loop frees the object at the end.
    virtual bool GetAutoFree() const noexcept { return false; }

    // The state of the drag, kept up to date by the drag loop.
    TPoint GetDragPos() const noexcept { return FDragPos; }
    TControl* GetDragTarget() const noexcept { return FDragTarget.Get(); }
    TPoint GetDragTargetPos() const noexcept { return FDragTargetPos; }
    bool GetCancelling() const noexcept { return FCancelling; }

private:
    friend struct TDragSession;

    TPoint FDragPos;
    TComponentRef<TControl> FDragTarget;
    TPoint FDragTargetPos;
    bool FCancelling = false;
};

// A drag object the drag loop frees when the drag ends.
class TDragObjectEx : public TDragObject {
    GCL_CLASS(TDragObjectEx, TDragObject)
public:
    TDragObjectEx() = default;
    bool GetAutoFree() const noexcept override { return true; }
};

// The drag of a control: the control is the Source the target sees.
class TDragControlObject : public TDragObject {
    GCL_CLASS(TDragControlObject, TDragObject)
public:
    explicit TDragControlObject(TControl* control) : FControl(control) {}

    TControl* GetControl() const noexcept { return FControl.Get(); }
    // The control's DragCursor when accepted, else crNoDrop.
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    // DragCanceled when not accepted (the target is then null), then
    // DoEndDrag (OnEndDrag) of the control.
    void Finished(TObject* target, int x, int y, bool accepted) override;
    TObject* GetDragSource() override { return FControl.Get(); }

private:
    TComponentRef<TControl> FControl;
};

// ---- The drag that runs ------------------------------------------------------------

// (CancelDrag, which cancels the drag that runs, is declared with TControl.)
// The drag object of the drag that runs, or null.
TDragObject* GetDragObject() noexcept;

} // namespace gcl

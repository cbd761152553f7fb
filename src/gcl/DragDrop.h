// In-process drag and drop (not OLE).
//
// A drag starts with BeginDrag(Control, Immediate, Threshold): at once, or
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
// the right button, losing the capture or EndDrag(false) cancel; WM_QUIT
// ends the drag as cancelled and is posted again. The cursor is the drag
// object's GetDragCursor: the source's DragCursor (crDrag) while a target
// accepts, crNoDrop otherwise. At the end the drag object hears
// Finished(Target, X, Y, Accepted); a TDragControlObject then tells its
// control (DragCanceled when not accepted, DoEndDrag -> OnEndDrag). Drag
// objects the drag made itself, and TDragObjectEx objects, are freed after
// Finished; other drag objects belong to whoever made them.
//
// The target side
// ---------------
// The default handling of CM_DRAG (DoDragMsg) turns it into the target's
// DragOver (OnDragOver: Accept starts true when the handler is assigned)
// and DragDrop (OnDragDrop), with X and Y in the target's client
// coordinates and Source = the source control for a control drag object,
// else the drag object itself.
//
// Controls
// --------
// The window core's TControl does not have the drag steps of its own yet.
// Until it does, the steps are the functions below (DoStartDrag, DragOver,
// DragDrop, DoEndDrag, DragCanceled) and the operations take the control
// (BeginDrag, EndDrag, Dragging). A CM_DRAG that the target's own message
// handling leaves unanswered (no handler ran DoDragMsg and the answer is
// 0) gets the default handling from the drag loop; a control that answers
// CM_DRAG itself with 0 calls DragMessageHandled to keep it from running.
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

// ---- Drag operations of a control -------------------------------------------------

// Starts a drag of control and returns when it has ended (see above). A
// second drag while one runs is ignored.
void BeginDrag(TControl* control, bool immediate, int threshold = -1);
// The start of DragMode dmAutomatic on a left button press:
// BeginDrag(control, Mouse->DragImmediate, Mouse->DragThreshold).
void BeginAutoDrag(TControl* control);
// Ends the drag of control: with drop, as if the button were released at
// the current point; otherwise cancelled.
void EndDrag(TControl* control, bool drop);
// True while control is the source of a drag (from BeginDrag on).
bool Dragging(const TControl* control) noexcept;
// Cancels the drag that runs, if any.
void CancelDrag();
// The drag object of the drag that runs, or null.
TDragObject* GetDragObject() noexcept;

// ---- The steps of a control (TControl's virtual steps to be) --------------------

// OnStartDrag.
void DoStartDrag(TControl* control, TDragObject*& dragObject);
// accept = OnDragOver assigned; then OnDragOver.
void DragOver(TControl* control, TObject* source, int x, int y, TDragState state, bool& accept);
// OnDragDrop.
void DragDrop(TControl* control, TObject* source, int x, int y);
// OnEndDrag.
void DoEndDrag(TControl* control, TObject* target, int x, int y);
// Nothing by default.
void DragCanceled(TControl* control);

// The default handling of CM_DRAG for control: dmFindTarget answers the
// control; dmDragEnter/Move/Leave run DragOver and answer "accepted";
// dmDragDrop runs DragDrop.
void DoDragMsg(TControl* control, TMessage& message);
// Tells the drag loop that the CM_DRAG being sent was handled, whatever
// the answer.
void DragMessageHandled() noexcept;

} // namespace gcl

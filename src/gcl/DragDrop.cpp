#include "gcl/DragDrop.h"

#include <cstdlib>

#include "gcl/Forms.h"
#include "gcl/Timers.h"

namespace gcl {

// ---- Drag objects ------------------------------------------------------------------------

GCL_IMPLEMENT_CLASS(TDragObject)

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

void TDragObject::Finished(TObject*, int, int, bool) {}

GCL_IMPLEMENT_CLASS(TDragObjectEx)

GCL_IMPLEMENT_CLASS(TDragControlObject)

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    if (!accepted) return crNoDrop;
    TControl* control = FControl.Get();
    return control ? control->GetDragCursor() : crDrag;
}

void TDragControlObject::Finished(TObject* target, int x, int y, bool accepted) {
    TControl* control = FControl.Get();
    if (!control) return;
    if (!accepted) {
        control->DragCanceled();
        target = nullptr;
        control = FControl.Get();
        if (!control) return;
    }
    control->DoEndDrag(target, x, y);
}

// ---- TControl's drag steps --------------------------------------------------------------

void TControl::DoStartDrag(TDragObject*& dragObject) {
    if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::DragCanceled() {}

void TControl::DoDragMsg(TMessage& message) {
    auto* rec = reinterpret_cast<TDragRec*>(message.LParam);
    if (!rec) return;
    TObject* source = rec->Source ? rec->Source->GetDragSource() : nullptr;
    const TPoint client = ScreenToClient(rec->Pos);
    switch (static_cast<TDragMessage>(message.WParam)) {
    case dmFindTarget:
        message.Result = reinterpret_cast<intptr_t>(this);
        break;
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        const TDragMessage kind = static_cast<TDragMessage>(message.WParam);
        const TDragState state = kind == dmDragEnter ? dsDragEnter : kind == dmDragLeave ? dsDragLeave : dsDragMove;
        bool accept = false;
        DragOver(source, client.X, client.Y, state, accept);
        message.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop:
        DragDrop(source, client.X, client.Y);
        message.Result = 0;
        break;
    default:
        break;
    }
}

// ---- The drag loop -----------------------------------------------------------------------

struct TDragSession {
    TComponentRef<TControl> Source;
    TDragObject* Object = nullptr;
    bool OwnsObject = false;
    TComponentRef<TControl> Target;
    bool Accepted = false;
    TPoint Pos;
    TPoint StartPos;
    int Threshold = 0;
    bool Started = false;
    bool Ending = false;
    bool Drop = false;
    // Cancelled by the user (Escape, the right button): the buttons still
    // held are let go before anything under the pointer hears of them.
    bool KeepButtons = false;
    HWND CaptureWindow = nullptr;

    // Sends CM_DRAG to target and returns the answer.
    intptr_t Send(TControl* target, TDragMessage kind) {
        TDragRec rec;
        rec.Pos = Pos;
        rec.Source = Object;
        rec.Target = target;
        return target->Perform(CM_DRAG, static_cast<uintptr_t>(kind), reinterpret_cast<intptr_t>(&rec));
    }

    void UpdateObject(TControl* target) {
        if (!Object) return;
        Object->FDragPos = Pos;
        Object->FDragTarget = target;
        Object->FDragTargetPos = target ? target->ScreenToClient(Pos) : Pos;
    }

    void Start() {
        TDragObject* object = nullptr;
        Source->DoStartDrag(object);
        if (!Source) {
            // The source went away in its own OnStartDrag.
            if (object && object->GetAutoFree()) object->Free();
            Ending = true;
            return;
        }
        if (object) {
            Object = object;
            OwnsObject = object->GetAutoFree();
        } else {
            Object = TDragControlObject::Create(Source.Get());
            OwnsObject = true;
        }
        Started = true;
    }

    void DragTo(TPoint pos) {
        const TPoint old = Pos;
        Pos = pos;
        TControl* target = FindDragTarget(pos, false);
        if (target) {
            TComponentRef<TControl> found(target);
            intptr_t other = Send(target, dmFindTarget);
            if (!found) target = nullptr;
            else if (other != 0) target = reinterpret_cast<TControl*>(other);
        }
        TComponentRef<TControl> next(target);
        TControl* current = Target.Get();
        if (target != current) {
            // The target being left hears the last point it saw.
            if (current) {
                Pos = old;
                UpdateObject(current);
                Send(current, dmDragLeave);
                Pos = pos;
            }
            target = next.Get();
            Target = target;
            Accepted = false;
            if (target) {
                UpdateObject(target);
                Accepted = Send(target, dmDragEnter) != 0;
            }
        } else if (target) {
            UpdateObject(target);
            Accepted = Send(target, dmDragMove) != 0;
        }
        target = Target.Get();
        if (!target) Accepted = false;
        UpdateObject(target);
        const TPoint client = target ? target->ScreenToClient(Pos) : Pos;
        TCursor cursor = Object ? Object->GetDragCursor(Accepted, client.X, client.Y) : crDrag;
        if (Screen) SetCursor(Screen->GetCursors(cursor));
    }

    // Ends the drag: the drop or the cancellation, then Finished.
    void Done(bool drop) {
        TControl* target = Target.Get();
        const bool accepted = Started && target && Accepted && drop;
        if (Object) Object->FCancelling = !drop;
        if (Started && target) {
            UpdateObject(target);
            if (accepted) {
                Send(target, dmDragDrop);
            } else {
                Send(target, dmDragLeave);
                if (!drop && Target.Get()) Send(Target.Get(), dmDragCancel);
            }
        }
        target = Target.Get();
        if (!Started || !Object) return;
        const TPoint pos = target ? target->ScreenToClient(Pos) : Pos;
        TDragObject* object = Object;
        const bool owns = OwnsObject;
        // The object may be freed by its maker in Finished.
        Object = nullptr;
        OwnsObject = false;
        struct TFreeOwned {
            TDragObject* Object;
            ~TFreeOwned() {
                if (Object) Object->Free();
            }
        } freeOwned{owns ? object : nullptr};
        object->Finished(target, pos.X, pos.Y, accepted);
    }

    void Cancel() {
        Ending = true;
        Drop = false;
    }

    void CancelByUser() {
        Cancel();
        KeepButtons = true;
    }
};

namespace {

TDragSession* GDrag = nullptr;

void CaptureWndProc(TMessage& message) {
    TDragSession* drag = GDrag;
    switch (message.Msg) {
    case WM_CANCELMODE:
        if (drag) drag->Cancel();
        break;
    case WM_CAPTURECHANGED:
        if (drag && !drag->Ending && reinterpret_cast<HWND>(message.LParam) != drag->CaptureWindow) drag->Cancel();
        break;
    default:
        break;
    }
    message.Result = DefWindowProcA(drag ? drag->CaptureWindow : nullptr, message.Msg, message.WParam,
                                    message.LParam);
}

// The screen point of a mouse message (its LParam is relative to the
// window it is for).
TPoint MessagePoint(const MSG& msg) {
    if (!msg.hwnd) return Point(msg.pt.x, msg.pt.y);
    POINT p{LoSmallInt(static_cast<uintptr_t>(msg.lParam)), HiSmallInt(static_cast<uintptr_t>(msg.lParam))};
    ClientToScreen(msg.hwnd, &p);
    return Point(p.x, p.y);
}

// Runs one message of the drag loop.
void DragMessage(TDragSession& drag, const MSG& msg) {
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            const TPoint pos = MessagePoint(msg);
            if (!drag.Started) {
                if (std::abs(pos.X - drag.StartPos.X) <= drag.Threshold &&
                    std::abs(pos.Y - drag.StartPos.Y) <= drag.Threshold)
                    return;
                drag.Start();
                if (!drag.Started) return;
            }
            drag.DragTo(pos);
            break;
        }
        case WM_LBUTTONUP:
            if (drag.Started) {
                const TPoint pos = MessagePoint(msg);
                if (!(pos == drag.Pos)) drag.DragTo(pos);
                drag.Ending = true;
                drag.Drop = true;
            } else {
                drag.Cancel();
            }
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            drag.CancelByUser();
            break;
        default:
            break;
        }
        return;
    }
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (msg.wParam == VK_ESCAPE) drag.CancelByUser();
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
        return;  // keys belong to the drag while it runs
    default:
        break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// The window the control is shown in (nullptr before it has one).
HWND WindowOf(TControl* control) {
    for (TControl* c = control; c; c = c->GetParent())
        if (auto* windowed = dynamic_cast<TWinControl*>(c))
            return windowed->HandleAllocated() ? windowed->GetHandle() : nullptr;
    return nullptr;
}

// Whether the user can still see and reach the control the drag came
// from: a drag whose window was hidden, minimised or disabled under it (a
// hot key, a modal box) has nowhere to go back to.
bool SourceReachable(TControl* source) {
    const HWND window = WindowOf(source);
    if (!window) return true;
    const HWND root = GetAncestor(window, GA_ROOT);
    return IsWindowVisible(window) && !IsIconic(root) && IsWindowEnabled(root);
}

bool AnyButtonDown() {
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0 || GetAsyncKeyState(VK_MBUTTON) < 0;
}

// After a cancel by the user: keeps the mouse until its buttons are up,
// so that their release (or the right click that cancelled) does not
// reach the control under the pointer as a click of its own. Other
// messages go on as usual.
void LetGoOfButtons(TDragSession& drag) {
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) continue;
            GCL_GUARD(nullptr, TranslateMessage(&msg); DispatchMessageA(&msg););
        }
        if (!AnyButtonDown() || GetCapture() != drag.CaptureWindow) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    // The button is up before its message is read: the release still
    // queued belongs to the drag too.
    while (PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

// Puts everything back however the drag ends.
class TDragScope {
public:
    explicit TDragScope(TDragSession& drag) : FDrag(drag) {
        drag.CaptureWindow = AllocateHWnd(TWndMethod(&CaptureWndProc));
        GDrag = &drag;
        SetCapture(drag.CaptureWindow);
    }
    ~TDragScope() {
        HWND window = FDrag.CaptureWindow;
        FDrag.Ending = true;
        if (GetCapture() == window) ReleaseCapture();
        DeallocateHWnd(window);
        FDrag.CaptureWindow = nullptr;
        if (FDrag.Object && FDrag.OwnsObject) FDrag.Object->Free();
        FDrag.Object = nullptr;
        GDrag = nullptr;
    }
    TDragScope(const TDragScope&) = delete;
    TDragScope& operator=(const TDragScope&) = delete;

private:
    TDragSession& FDrag;
};

} // namespace

void TControl::BeginDrag(bool immediate, int threshold) {
    if (GDrag) return;
    TDragSession drag;
    drag.Source = this;
    drag.Threshold = threshold >= 0 ? threshold : (Mouse ? Mouse->GetDragThreshold() : 4);
    POINT cursor{};
    GetCursorPos(&cursor);
    drag.StartPos = drag.Pos = Point(cursor.x, cursor.y);
    TDragScope scope(drag);
    if (immediate) {
        drag.Start();
        if (drag.Started && !drag.Ending) drag.DragTo(drag.Pos);
    }
    bool quit = false;
    WPARAM quitCode = 0;
    while (!drag.Ending) {
        if (!drag.Source) {
            drag.Cancel();
            break;
        }
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = msg.wParam;
            drag.Cancel();
            break;
        }
        if (got < 0) {
            drag.Cancel();
            break;
        }
        // A failing handler does not end the drag.
        GCL_GUARD(nullptr, DragMessage(drag, msg););
        if (!drag.Ending && drag.Source && !SourceReachable(drag.Source.Get())) drag.Cancel();
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    const bool keepButtons = drag.KeepButtons && !quit && GetCapture() == drag.CaptureWindow;
    if (!keepButtons && GetCapture() == drag.CaptureWindow) ReleaseCapture();
    drag.Done(drag.Drop && drag.Source.Get() != nullptr);
    if (keepButtons) LetGoOfButtons(drag);
}

void TControl::BeginAutoDrag() {
    BeginDrag(Mouse ? Mouse->GetDragImmediate() : true, Mouse ? Mouse->GetDragThreshold() : -1);
}

bool TControl::DispatchOwnDragPress(TMessage& message) {
    if ((message.Msg != WM_LBUTTONDOWN && message.Msg != WM_LBUTTONDBLCLK) || FDragMode != dmAutomatic ||
        FDragKind != dkDrag || Dragging())
        return false;
    FControlState.Include(csLButtonDown);
    Dispatch(message);
    return true;
}

void TControl::EndDrag(bool drop) {
    TDragSession* drag = GDrag;
    if (!drag || drag->Source.Get() != this) return;
    drag->Ending = true;
    drag->Drop = drop;
    if (!drag->CaptureWindow) return;
    PostMessageA(drag->CaptureWindow, WM_NULL, 0, 0);
    // A cancelled drag gives the mouse back at once: the loop may be
    // waiting under a modal box that the user has to click.
    if (!drop && GetCapture() == drag->CaptureWindow) ReleaseCapture();
}

bool TControl::Dragging() const noexcept { return GDrag && GDrag->Source.Get() == this; }

void CancelDrag() {
    if (GDrag && GDrag->Source) GDrag->Source->EndDrag(false);
}

TDragObject* GetDragObject() noexcept { return GDrag ? GDrag->Object : nullptr; }

} // namespace gcl

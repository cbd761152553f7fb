// The modal menu loop: the capture window's handler, the routing of mouse,
// keyboard and timer messages to the views of the open chain, hints and
// cursor, the ways the loop ends, and a toolbar's entry into its menu.
#include "toolbar/BarItem.h"
#include "toolbar/BarCommon.h"

#include "gcl/Forms.h"
#include "gcl/Timers.h"
#include "gcl/rtl/Libraries.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

using gcl::TPoint;

namespace {

gcl::TLibraryProc<BOOL(WINAPI*)(UINT)> LockSetForegroundWindowProc{BarUser32Library, "LockSetForegroundWindow"};
gcl::TSystemLibrary Imm32Lib{"imm32.dll"};
gcl::TLibraryProc<UINT(WINAPI*)(HWND)> ImmGetVirtualKeyProc{Imm32Lib, "ImmGetVirtualKey"};

// The help key's message, which the loop swallows.
constexpr UINT WM_KEYF1 = 0x4D;

// The last mouse position the loop saw (GUI thread only).
TPoint GLastMousePos;

TPoint PointOfPos(DWORD pos) noexcept {
    return TPoint{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
}

TPoint MessageScreenPoint(const MSG& msg) noexcept {
    POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
    if (msg.hwnd) ClientToScreen(msg.hwnd, &p);
    return TPoint{p.x, p.y};
}

TBarView* DeepestView(TBarView* root) noexcept {
    TBarView* v = root;
    while (v->GetOpenChildView()) v = v->GetOpenChildView();
    return v;
}

void CancelHint() {
    if (gcl::Application) gcl::Application->CancelHint();
}

// Each view from the deepest up to the root updates its selection; while a
// view holds the capture, only that one.
void UpdateAllSelections(TBarView* root, const TPoint* p, bool allowNew) {
    TBarView* captureView = nullptr;
    for (TBarView* v = DeepestView(root); v; v = v == root ? nullptr : v->GetParentView())
        if (v->GetCapture()) {
            captureView = v;
            break;
        }
    if (captureView) {
        captureView->UpdateSelection(p, allowNew);
        return;
    }
    for (TBarView* v = DeepestView(root); v; v = v == root ? nullptr : v->GetParentView())
        v->UpdateSelection(p, allowNew);
}

struct TTarget {
    TBarView* View = nullptr;
    TBarItemViewer* Viewer = nullptr;
};

TTarget FindTarget(TBarView* root) {
    for (TBarView* v = root; v; v = v->GetOpenChildView())
        if (v->GetCapture()) return {v, v->GetSelected()};
    for (TBarView* v = root; v; v = v->GetOpenChildView()) {
        if (v->GetSelected() && v->GetMouseOverSelected()) return {v, v->GetSelected()};
        if (v->GetState() & vsMouseInWindow) return {v, nullptr};
    }
    return {};
}

// The mouse moved: selections, hint and cursor follow.
void MouseMoved(TBarView* root) {
    UpdateAllSelections(root, &GLastMousePos, true);
    TBarView* v = DeepestView(root);
    HCURSOR cursor = nullptr;
    TBarItemViewer* selected = v->GetSelected();
    gcl::TWinControl* window = v->GetWindow();
    if (selected && window && window->HandleAllocated()) {
        const bool wanted = (v->GetStyle() & vsAlwaysShowHints) ||
                            selected->GetItem()->GetEffectiveOptions().Contains(tboShowHint);
        if (wanted && !v->GetCapture() && gcl::Application) {
            POINT p{GLastMousePos.X, GLastMousePos.Y};
            ScreenToClient(window->GetHandle(), &p);
            gcl::TMessage m{WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y), 0};
            gcl::Application->HintMouseMessage(window, m);
        } else {
            CancelHint();
        }
        selected->GetCursor(selected->ScreenToClient(GLastMousePos), cursor);
    } else {
        CancelHint();
    }
    SetCursor(cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW));
}

// The hint of the deepest selection becomes the application's hint.
void UpdateAppHint(TBarView* root) {
    if (!gcl::Application) return;
    TBarView* v = root;
    TBarView* last = root->GetSelected() ? root : nullptr;
    while (v->GetOpenChildView() && v->GetOpenChildView()->GetSelected()) {
        v = v->GetOpenChildView();
        last = v;
    }
    gcl::Application->SetHint(last ? gcl::GetLongHint(last->GetSelected()->GetItem()->GetHint()) : std::string());
}

// A key for V; true when the menu now ends.
bool KeyDownInView(TBarView* root, TBarView* v, uint16_t& key, gcl::TShiftState shift) {
    if (TBarItemViewer* selected = v->GetSelected()) {
        selected->KeyDown(key, shift);
        if (root->IsEnding()) return true;
    }
    if (key != 0) {
        v->KeyDown(key, shift);
        if (root->IsEnding()) return true;
    }
    return false;
}

} // namespace

// ---- The handler ------------------------------------------------------------------------

TBarModalHandler::TBarModalHandler(HWND ExistingWnd) {
    GLastMousePos = PointOfPos(GetMessagePos());
    if (ExistingWnd) {
        FWnd = ExistingWnd;
    } else {
        FWnd = gcl::AllocateHWnd(gcl::TWndMethod(this, &TBarModalHandler::WndProc));
        FOwnsWnd = true;
    }
    if (auto lock = LockSetForegroundWindowProc.Get()) lock(LSFW_LOCK);
    SetCapture(FWnd);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    CallNotifyWinEvent(EVENT_SYSTEM_MENUSTART, FWnd, OBJID_CLIENT, CHILDID_SELF);
    FMenuStartSent = true;
}

TBarModalHandler::~TBarModalHandler() {
    if (auto lock = LockSetForegroundWindowProc.Get()) lock(LSFW_UNLOCK);
    if (!FWnd) return;
    if (GetCapture() == FWnd) ReleaseCapture();
    if (FMenuStartSent) CallNotifyWinEvent(EVENT_SYSTEM_MENUEND, FWnd, OBJID_CLIENT, CHILDID_SELF);
    if (FOwnsWnd) gcl::DeallocateHWnd(FWnd);
}

void TBarModalHandler::WndProc(gcl::TMessage& Message) {
    Message.Result = DefWindowProcA(FWnd, Message.Msg, Message.WParam, Message.LParam);
    if (Message.Msg == WM_CANCELMODE && FTopPopup && FTopPopup->GetView()) {
        Message.Result = 0;
        FTopPopup->GetView()->CancelMode();
    }
}

// ---- The loop ---------------------------------------------------------------------------

void TBarModalHandler::RunMenuLoop(TBarView* RootView, bool MouseDown, bool ExecuteSelected, bool FromAccessibility,
                                   bool TrackRightButton) {
    // A loop starts with animated child popups again.
    RootView->SetState(static_cast<TBarViewState>(RootView->GetState() & ~vsNoAnimation));
    RootView->DoneAction() = TBarDoneActionData{};
    RootView->ValidatePositions();
    RootView->SetCaptureWnd(FWnd);
    RootView->MenuLoopMousePos = &GLastMousePos;
    bool mouseDownOnMenu = false;

    struct TEndGuard {
        TBarView* Root;
        ~TEndGuard() {
            try {
                Root->CancelCapture();
            } catch (...) {
            }
            Root->SetCaptureWnd(nullptr);
            Root->MenuLoopMousePos = nullptr;
            try {
                if (gcl::Application) gcl::Application->SetHint("");
            } catch (...) {
            }
            DiscardMessages(WM_CHAR, WM_DEADCHAR);
            DiscardMessages(WM_SYSCHAR, WM_SYSDEADCHAR);
            DiscardMessages(WM_KEYF1, WM_KEYF1);
        }
    } endGuard{RootView};

    if (MouseDown) {
        if (TBarItemViewer* selected = RootView->GetSelected()) {
            const TPoint p = selected->ScreenToClient(PointOfPos(GetMessagePos()));
            selected->MouseDown(gcl::TShiftState{}, p.X, p.Y, mouseDownOnMenu);
            if (RootView->IsEnding()) return;
        }
        mouseDownOnMenu = false;
    } else if (ExecuteSelected) {
        RootView->ExecuteSelected(!FromAccessibility);
        if (RootView->IsEnding()) return;
    }

    const HWND activeWnd = GetActiveWindow();
    auto carryOn = [&] {
        return GetCapture() == FWnd && GetActiveWindow() == activeWnd && !RootView->IsEnding();
    };

    while (carryOn()) {
        MSG msg{};
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        // The application is quitting: the menu ends and the quit stays
        // queued for the application's own loop.
        if (msg.message == WM_QUIT) {
            RootView->EndModal();
            break;
        }
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN) {
            const TPoint p = MessageScreenPoint(msg);
            gcl::TControl* control = gcl::FindDragTarget(p, true);
            auto* popup = dynamic_cast<TBarPopupWindow*>(control);
            if (!popup || !popup->GetView() || !RootView->ContainsView(popup->GetView())) {
                gcl::TWinControl* rootWindow = RootView->GetWindow();
                bool outside = RootView->GetIsPopup() || !rootWindow || control != rootWindow;
                if (!outside) {
                    POINT cp{p.X, p.Y};
                    ScreenToClient(rootWindow->GetHandle(), &cp);
                    RECT cr{};
                    GetClientRect(rootWindow->GetHandle(), &cr);
                    outside = !PtInRect(&cr, cp);
                }
                if (outside) break;   // the press stays queued for its target
                if (msg.message == WM_LBUTTONDOWN) {
                    UpdateAllSelections(RootView, &p, true);
                    TBarItemViewer* selected = RootView->GetSelected();
                    if (!selected || !RootView->GetMouseOverSelected() ||
                        selected->GetItem()->HasStyle(tbisClicksTransparent))
                        break;
                }
            }
        }
        if (!PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE | PM_NOYIELD)) continue;

        switch (msg.message) {
        case WM_TIMER: {
            auto* popup = dynamic_cast<TBarPopupWindow*>(gcl::FindControl(msg.hwnd));
            if (popup && popup->GetView() && msg.wParam >= ViewTimerBaseID && msg.wParam <= ViewTimerBaseID + 3)
                popup->GetView()->TimerFired(static_cast<TBarViewTimerID>(msg.wParam - ViewTimerBaseID));
            else
                DispatchMessageA(&msg);
            break;
        }
        case WM_KEYF1:
        case WM_CONTEXTMENU: break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            CancelHint();
            const bool mouseIsDown =
                GetKeyState(VK_LBUTTON) < 0 || (TrackRightButton && GetKeyState(VK_RBUTTON) < 0);
            UINT vk = static_cast<UINT>(msg.wParam);
            if (vk == VK_PROCESSKEY)
                if (auto immKey = ImmGetVirtualKeyProc.Get()) vk = immKey(msg.hwnd);
            if (mouseIsDown && vk != VK_F1) break;
            uint16_t key = static_cast<uint16_t>(vk);
            if (KeyDownInView(RootView, DeepestView(RootView), key, gcl::KeyDataToShiftState(msg.lParam))) break;
            if (key != 0) TranslateMessage(&msg);
            break;
        }
        case WM_CHAR:
        case WM_SYSCHAR: {
            CancelHint();
            if (GetKeyState(VK_LBUTTON) < 0 || (TrackRightButton && GetKeyState(VK_RBUTTON) < 0)) break;
            TBarView* v = DeepestView(RootView);
            const char ch = static_cast<char>(msg.wParam);
            bool isOnly = false;
            if (TBarItemViewer* hit = v->FindAccelViewer(v->GetSelected(), ch, false, isOnly)) {
                v->Select(hit, false);
                v->ScrollSelectedIntoView();
                if (isOnly) v->ExecuteSelected(true);
            } else if ((ch == ' ' || ch == '-') && RootView->GetIsToolbar() && v == RootView && GetActiveWindow()) {
                RootView->EndWithSystemMenu(GetActiveWindow(), static_cast<WPARAM>(static_cast<unsigned char>(ch)));
            } else {
                MessageBeep(0);
            }
            break;
        }
        case WM_KEYUP:
        case WM_DEADCHAR:
        case WM_SYSKEYUP:
        case WM_SYSDEADCHAR:
        case 0x108: CancelHint(); break;
        case WM_MOUSEMOVE: {
            const TPoint p = MessageScreenPoint(msg);
            if (p != GLastMousePos) {
                GLastMousePos = p;
                MouseMoved(RootView);
            }
            const TTarget t = FindTarget(RootView);
            if (t.Viewer) {
                const TPoint local = t.Viewer->ScreenToClient(p);
                t.Viewer->MouseMove(local.X, local.Y);
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: {
            if (msg.message == WM_RBUTTONDOWN && !TrackRightButton) break;
            CancelHint();
            mouseDownOnMenu = false;
            RootView->SetState(static_cast<TBarViewState>(RootView->GetState() & ~vsIgnoreFirstMouseUp));
            const TPoint p = MessageScreenPoint(msg);
            UpdateAllSelections(RootView, &p, true);
            const TTarget t = FindTarget(RootView);
            if (t.Viewer) {
                const TPoint local = t.Viewer->ScreenToClient(p);
                gcl::TShiftState shift;
                if (msg.message == WM_LBUTTONDBLCLK) shift.Include(gcl::ssDouble);
                t.Viewer->MouseDown(shift, local.X, local.Y, mouseDownOnMenu);
                GLastMousePos = PointOfPos(GetMessagePos());
            }
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP: {
            if (msg.message == WM_RBUTTONUP && !TrackRightButton) break;
            const TPoint p = MessageScreenPoint(msg);
            UpdateAllSelections(RootView, &p, false);
            const TTarget t = FindTarget(RootView);
            if (t.Viewer) {
                const TPoint local = t.Viewer->ScreenToClient(p);
                t.Viewer->MouseUp(local.X, local.Y, mouseDownOnMenu);
            } else if ((t.View && t.View != RootView) || !RootView->GetIsToolbar()) {
                // released over a popup's empty space: nothing
            } else if (RootView->GetState() & vsIgnoreFirstMouseUp) {
                RootView->SetState(static_cast<TBarViewState>(RootView->GetState() & ~vsIgnoreFirstMouseUp));
            } else {
                RootView->EndModal();
            }
            break;
        }
        case WM_MOUSEWHEEL: {
            const int delta = static_cast<short>(HIWORD(msg.wParam));
            const TPoint p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            const TTarget t = FindTarget(RootView);
            if (t.Viewer) {
                const TPoint local = t.Viewer->ScreenToClient(p);
                t.Viewer->MouseWheel(delta, local.X, local.Y);
            }
            if (t.View) {
                POINT cp{p.X, p.Y};
                if (t.View->GetWindow() && t.View->GetWindow()->HandleAllocated())
                    ScreenToClient(t.View->GetWindow()->GetHandle(), &cp);
                t.View->MouseWheel(delta, cp.x, cp.y);
            }
            break;
        }
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case 0x118: break;
        default: DispatchMessageA(&msg); break;
        }

        if (!carryOn()) break;
        if (GLastMousePos.X == MenuLoopMousePosInvalid) {
            GLastMousePos = PointOfPos(GetMessagePos());
            MouseMoved(RootView);
        }
        UpdateAppHint(RootView);
    }
}

// ---- A toolbar's menu -------------------------------------------------------------------

void TBarView::RunToolbarMenu(int Options) {
    if (FState & vsModal) return;
    gcl::TWinControl* window = GetWindow();
    if (!window) return;
    TBarDoneActionData data;
    {
        TBarModalHandler handler(window->GetHandle());
        BeginModalState();
        struct TAfter {
            TBarView* View;
            ~TAfter() {
                try {
                    View->FState = static_cast<TBarViewState>(View->FState & ~vsModal);
                    View->StopAllTimers();
                    View->CloseChildPopups();
                    POINT p{};
                    GetCursorPos(&p);
                    const TPoint pt{p.x, p.y};
                    View->UpdateSelection(&pt, true);
                } catch (...) {
                }
            }
        };
        {
            TAfter after{this};
            if (FSelected) RaiseAccFocus();
            handler.RunMenuLoop(this, (Options & tbrmMouseDown) != 0, (Options & tbrmExecuteSelected) != 0,
                                (Options & tbrmFromAccessibility) != 0, false);
        }
        data = FDoneAction;
    }
    ShowAccelUnderlines(false);
    Select(nullptr, false);
    ProcessDoneAction(data, false);
}

} // namespace qelvo

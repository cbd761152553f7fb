// Input for modal menu loops under test.
#include "toolbar/MenuScript.h"

namespace qelvo::test {

namespace {
constexpr UINT WM_SCRIPT_STEP = WM_APP + 77;
TLoopScript* GPolling = nullptr;
bool GWatchdogFired = false;

void CALLBACK WatchdogProc(HWND, UINT, UINT_PTR, DWORD) {
    GWatchdogFired = true;
    // Ends menu and drag loops (capture) and edit loops (focus).
    ReleaseCapture();
    SetFocus(nullptr);
}
} // namespace

void QueueKey(UINT Key) {
    const LPARAM down = static_cast<LPARAM>(MapVirtualKeyA(Key, 0) << 16) | 1;
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, Key, down);
    PostThreadMessageA(GetCurrentThreadId(), WM_KEYUP, Key, down | 0xC0000000);
}

bool NoKeysQueued() {
    MSG msg;
    return !PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE);
}

void QueueMouse(HWND Wnd, UINT Msg, int X, int Y) {
    POINT p{X, Y};
    ClientToScreen(Wnd, &p);
    SetCursorPos(p.x, p.y);
    PostMessageA(Wnd, Msg, Msg == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(X, Y));
}

TLoopScript::TLoopScript() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QelvoLoopScript";
    RegisterClassA(&wc);
    FWnd = CreateWindowExA(0, "QelvoLoopScript", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(FWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TLoopScript::~TLoopScript() {
    if (FPoll) KillTimer(nullptr, FPoll);
    if (GPolling == this) GPolling = nullptr;
    DestroyWindow(FWnd);
}

TLoopScript& TLoopScript::Then(std::function<void()> Step) {
    FSteps.push_back({std::move(Step), {}});
    return *this;
}

TLoopScript& TLoopScript::WaitFor(std::function<bool()> Done) {
    FSteps.push_back({{}, std::move(Done)});
    return *this;
}

void TLoopScript::Start() { PostMessageA(FWnd, WM_SCRIPT_STEP, 0, 0); }

void TLoopScript::RunNext() {
    while (FNext < FSteps.size()) {
        TStep& step = FSteps[FNext];
        if (step.Wait) {
            if (!step.Wait()) {
                if (!FPoll) {
                    GPolling = this;
                    FPoll = SetTimer(nullptr, 0, 20, &PollProc);
                }
                return;
            }
            if (FPoll) {
                KillTimer(nullptr, FPoll);
                FPoll = 0;
            }
            ++FNext;
            continue;
        }
        ++FNext;
        step.Run();
        PostMessageA(FWnd, WM_SCRIPT_STEP, 0, 0);
        return;
    }
}

LRESULT CALLBACK TLoopScript::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SCRIPT_STEP) {
        if (auto* script = reinterpret_cast<TLoopScript*>(GetWindowLongPtrA(Wnd, GWLP_USERDATA))) {
            try {
                script->RunNext();
            } catch (...) {
            }
        }
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void CALLBACK TLoopScript::PollProc(HWND, UINT, UINT_PTR, DWORD) {
    if (!GPolling) return;
    try {
        GPolling->RunNext();
    } catch (...) {
    }
}

TLoopWatchdog::TLoopWatchdog(UINT Milliseconds) {
    GWatchdogFired = false;
    FTimer = SetTimer(nullptr, 0, Milliseconds, &WatchdogProc);
}

TLoopWatchdog::~TLoopWatchdog() { KillTimer(nullptr, FTimer); }

bool TLoopWatchdog::Fired() const { return GWatchdogFired; }

} // namespace qelvo::test

#include "gcl/Timers.h"

#include <unordered_map>

#include "gcl/Controls.h"

namespace gcl {

// ---- Utility windows -----------------------------------------------------------

namespace {

const char* const UtilWindowClass = "GclUtilWindow";

// The property that holds the window's delegate (a heap TWndMethod).
ATOM MethodProperty() {
    static const ATOM atom = GlobalAddAtomA("GclUtilWindowMethod");
    return atom;
}

TWndMethod* TakeMethod(HWND wnd) noexcept {
    auto* method = static_cast<TWndMethod*>(RemovePropA(wnd, MAKEINTATOM(MethodProperty())));
    return method;
}

LRESULT CALLBACK UtilWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* stored = static_cast<TWndMethod*>(GetPropA(wnd, MAKEINTATOM(MethodProperty())));
    if (!stored) return DefWindowProcA(wnd, message, wParam, lParam);
    // A copy: the delegate may deallocate its own window.
    const TWndMethod method = *stored;
    TMessage m;
    m.Msg = message;
    m.WParam = wParam;
    m.LParam = lParam;
    GCL_GUARD(nullptr, method(m););
    if (message == WM_NCDESTROY) delete TakeMethod(wnd);  // destroyed without DeallocateHWnd
    return m.Result;
}

// Registers the utility window class of that name once (again when a
// class of the name exists with another procedure); false when it cannot.
bool UtilClassRegistered(const char* className) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, className, &existing)) {
        if (existing.lpfnWndProc == &UtilWindowProc) return true;
        UnregisterClassA(className, instance);
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = &UtilWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

namespace {

HWND MakeUtilWindow(TWndMethod method, const char* className, HWND parent) {
    if (!className) className = UtilWindowClass;
    if (!UtilClassRegistered(className)) throw EOutOfResources(msg::NoUtilWindow);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!wnd) throw EOutOfResources(msg::NoUtilWindow);
    if (method) {
        auto* stored = new TWndMethod(method);
        if (!SetPropA(wnd, MAKEINTATOM(MethodProperty()), stored)) {
            delete stored;
            DestroyWindow(wnd);
            throw EOutOfResources(msg::NoUtilWindow);
        }
    }
    return wnd;
}

} // namespace

HWND AllocateHWnd(TWndMethod method, const char* className) { return MakeUtilWindow(method, className, nullptr); }

HWND AllocateMessageHWnd(TWndMethod method, const char* className) {
    return MakeUtilWindow(method, className, HWND_MESSAGE);
}

void DeallocateHWnd(HWND wnd) noexcept {
    if (!wnd) return;
    delete TakeMethod(wnd);
    DestroyWindow(wnd);
}

// ---- TTimer ----------------------------------------------------------------------

// The shared timer window and the running timers by identifier.
struct TTimerDispatch {
    HWND Window = nullptr;
    std::unordered_map<UINT_PTR, TTimer*> Timers;
    UINT_PTR LastId = 0;

    static TTimerDispatch& Instance() {
        static TTimerDispatch* dispatch = new TTimerDispatch;  // lives for the run
        return *dispatch;
    }

    static void WindowProc(TMessage& message) {
        TTimerDispatch& self = Instance();
        if (message.Msg != WM_TIMER) {
            message.Result = DefWindowProcA(self.Window, message.Msg, message.WParam, message.LParam);
            return;
        }
        auto it = self.Timers.find(message.WParam);
        if (it == self.Timers.end()) return;  // stopped or freed meanwhile
        // The handler may free the timer: nothing here touches it afterwards.
        it->second->Timer();
    }

    HWND NeedWindow() {
        if (!Window) Window = AllocateMessageHWnd(TWndMethod(&TTimerDispatch::WindowProc));
        return Window;
    }

    // A new identifier, never one in use or used before.
    UINT_PTR NextId() {
        do {
            LastId = LastId >= 0x7FFFFFFF ? 1 : LastId + 1;
        } while (Timers.count(LastId));
        return LastId;
    }
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

void TTimer::AfterConstruction() {
    inherited::AfterConstruction();
    UpdateTimer();
}

TTimer::~TTimer() {
    StopTimer();
}

void TTimer::BeforeDestruction() noexcept {
    FEnabled = false;
    StopTimer();
    inherited::BeforeDestruction();
}

void TTimer::StopTimer() noexcept {
    if (!FId) return;
    TTimerDispatch& dispatch = TTimerDispatch::Instance();
    if (dispatch.Window) KillTimer(dispatch.Window, FId);
    dispatch.Timers.erase(FId);
    FId = 0;
}

void TTimer::UpdateTimer() {
    StopTimer();
    if (!FEnabled || FInterval == 0 || GetComponentState().Contains(csDestroying)) return;
    TTimerDispatch& dispatch = TTimerDispatch::Instance();
    HWND window = dispatch.NeedWindow();
    const UINT_PTR id = dispatch.NextId();
    if (!SetTimer(window, id, FInterval, nullptr)) throw EOutOfResources(msg::NoTimers);
    FId = id;
    dispatch.Timers[id] = this;
}

void TTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t value) {
    if (value == FInterval) return;
    FInterval = value;
    UpdateTimer();
}

void TTimer::Timer() {
    if (FEnabled && OnTimer) OnTimer(this);
}

GCL_PUBLISHED(TTimer,
    GCL_PROP(Enabled).Default(true),
    GCL_PROP(Interval).Default(uint32_t(1000)),
    GCL_PROP(OnTimer))

namespace {
void InitializeTimers() {
    RegisterClasses({TTimer::StaticClass()});
}
void FinalizeTimers() {
    UnRegisterClass(TTimer::StaticClass());
    TTimerDispatch& dispatch = TTimerDispatch::Instance();
    if (dispatch.Timers.empty() && dispatch.Window) {
        DeallocateHWnd(dispatch.Window);
        dispatch.Window = nullptr;
    }
}
} // namespace

TUnit TimersUnit{"Timers", &InitializeTimers, &FinalizeTimers};

} // namespace gcl

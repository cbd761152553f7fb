// Timers and utility windows.
//
// AllocateHWnd makes a hidden top-level window (it receives broadcasts
// such as "TaskbarCreated") whose messages all go to one delegate, kept in
// a window property of the window. The delegate answers in Message.Result
// and must pass the messages it does not handle to DefWindowProcA itself.
// It runs inside the exception firewall. DeallocateHWnd detaches the
// delegate before destroying the window, so it hears nothing of the
// destruction; it may be called from inside the delegate.
//
// AllocateMessageHWnd makes the same kind of window as a message-only
// window: it hears no broadcasts, but under Wine it costs a fraction of a
// top-level window's making (no window of the display behind it), so
// windows that only receive their own posted and timer messages are made
// so.
//
// TTimer runs on SetTimer with one shared message-only utility window. A timer may be
// freed, disabled or re-armed inside its own OnTimer: the dispatcher finds
// timers by an identifier that is never reused while the program runs and
// does not touch the timer after its handler returns. Timers belong to
// the GUI thread.
#pragma once

#include "gcl/rtl/WinApi.h"

#include <cstdint>

#include "gcl/rtl/Components.h"
#include "gcl/rtl/Events.h"
#include "gcl/rtl/Init.h"

namespace gcl {

namespace msg {
inline constexpr const char* NoTimers = "Not enough timers available";
inline constexpr const char* NoUtilWindow = "Cannot create the utility window";
} // namespace msg

// A hidden window whose messages go to method (the default window
// procedure answers when method is unassigned), of the window class
// className (default "GclUtilWindow"). Raises EOutOfResources when the
// window cannot be made.
HWND AllocateHWnd(TWndMethod method, const char* className = nullptr);
// The same as a message-only window.
HWND AllocateMessageHWnd(TWndMethod method, const char* className = nullptr);
// Detaches the delegate and destroys the window; null is ignored.
void DeallocateHWnd(HWND wnd) noexcept;

class TTimer : public TComponent {
    GCL_CLASS(TTimer, TComponent)
public:
    // Runs while Enabled and Interval > 0; the timer starts enabled with an
    // interval of 1000 ms.
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    // Milliseconds; a change restarts the countdown.
    uint32_t GetInterval() const noexcept { return FInterval; }
    void SetInterval(uint32_t value);

    // May be reassigned at any time, also from inside the handler.
    TNotifyEvent OnTimer;
    TNotifyEvent GetOnTimer() const noexcept { return OnTimer; }
    void SetOnTimer(TNotifyEvent value) noexcept { OnTimer = value; }

    void AfterConstruction() override;
    void BeforeDestruction() noexcept override;

protected:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    // Fires OnTimer. The timer may be gone when the handler returns:
    // overrides must not touch it after calling inherited.
    virtual void Timer();

private:
    friend struct TTimerDispatch;
    void UpdateTimer();
    void StopTimer() noexcept;

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    UINT_PTR FId = 0;
};

// Registers TTimer for reading by class name; its finalisation destroys
// the shared timer window once no timer runs.
extern TUnit TimersUnit;

} // namespace gcl

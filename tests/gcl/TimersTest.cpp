// Timers that free or stop themselves inside OnTimer, and utility windows
// delivering messages to a delegate.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "gcl/Dialogs.h"
#include "gcl/Timers.h"
#include "gcl/rtl/TypInfo.h"
#include "support/WindowTest.h"

using namespace gcl;
using qelvo::test::PumpMessages;

namespace {

struct TimerProbe {
    int Fired = 0;
    TTimer* Timer = nullptr;
    TTimer* Other = nullptr;      // freed by the handler as well, when set
    bool FreeSelf = false;
    bool Disable = false;

    void OnTimer(TObject* sender) {
        ++Fired;
        EXPECT_EQ(sender, Timer);
        if (Other) {
            Other->Free();
            Other = nullptr;
        }
        if (Disable) Timer->SetEnabled(false);
        if (FreeSelf) {
            TTimer* t = Timer;
            Timer = nullptr;
            t->Free();
        }
    }
};

struct Counter {
    int Fired = 0;
    void OnTimer(TObject*) { ++Fired; }
};

struct Receiver {
    HWND Wnd = nullptr;
    std::vector<UINT> Seen;
    void WndProc(TMessage& m) {
        Seen.push_back(m.Msg);
        if (m.Msg == WM_USER + 1) {
            m.Result = 42;
        } else if (m.Msg == WM_USER + 2) {
            DeallocateHWnd(Wnd);  // from inside its own delegate
        } else if (m.Msg == WM_USER + 3) {
            throw std::runtime_error("escapes the delegate");
        } else {
            m.Result = DefWindowProcA(Wnd, m.Msg, m.WParam, m.LParam);
        }
    }
};

} // namespace

TEST(Timers, FreeStopAndRearmInsideOnTimer) {
    // Freed inside its own handler, together with another running timer.
    TimerProbe probe;
    Counter otherCount;
    probe.Timer = TTimer::Create(nullptr);
    probe.Other = TTimer::Create(nullptr);
    probe.Timer->SetInterval(10);
    probe.Other->SetInterval(10);
    probe.Other->OnTimer = TNotifyEvent(&otherCount, &Counter::OnTimer);
    probe.FreeSelf = true;
    probe.Timer->OnTimer = TNotifyEvent(&probe, &TimerProbe::OnTimer);
    EXPECT_TRUE(PumpMessages(3000, [&] { return probe.Fired > 0; }));
    PumpMessages(100);
    EXPECT_EQ(probe.Fired, 1);
    EXPECT_EQ(probe.Timer, nullptr);
    EXPECT_EQ(probe.Other, nullptr);
    const int otherFired = otherCount.Fired;
    PumpMessages(100);
    EXPECT_EQ(otherCount.Fired, otherFired);  // freed by the handler: silent

    // Disabled inside the handler: a one-shot.
    TimerProbe once;
    once.Disable = true;
    once.Timer = TTimer::Create(nullptr);
    once.Timer->SetInterval(10);
    once.Timer->OnTimer = TNotifyEvent(&once, &TimerProbe::OnTimer);
    EXPECT_TRUE(PumpMessages(3000, [&] { return once.Fired > 0; }));
    PumpMessages(100);
    EXPECT_EQ(once.Fired, 1);
    EXPECT_FALSE(once.Timer->GetEnabled());

    // Enabled again, it fires again; with interval 0 it never runs.
    once.Disable = false;
    once.Timer->SetEnabled(true);
    EXPECT_TRUE(PumpMessages(3000, [&] { return once.Fired > 1; }));
    once.Timer->SetInterval(0);
    const int fired = once.Fired;
    PumpMessages(100);
    EXPECT_EQ(once.Fired, fired);

    // Rebinding OnTimer at run time.
    Counter counter;
    once.Timer->OnTimer = TNotifyEvent(&counter, &Counter::OnTimer);
    once.Timer->SetInterval(10);
    EXPECT_TRUE(PumpMessages(3000, [&] { return counter.Fired > 0; }));
    EXPECT_EQ(once.Fired, fired);
    once.Timer->Free();
}

TEST(Timers, OwnedTimersDieWithTheirOwner) {
    TComponent* owner = TComponent::Create(nullptr);
    Counter counter;
    TTimer* timer = TTimer::Create(owner);
    timer->SetInterval(10);
    timer->OnTimer = TNotifyEvent(&counter, &Counter::OnTimer);
    EXPECT_TRUE(PumpMessages(3000, [&] { return counter.Fired > 0; }));
    owner->Free();
    const int fired = counter.Fired;
    PumpMessages(100);
    EXPECT_EQ(counter.Fired, fired);

    // Published defaults.
    TTimer* fresh = TTimer::Create(nullptr);
    EXPECT_TRUE(fresh->GetEnabled());
    EXPECT_EQ(fresh->GetInterval(), 1000u);
    const TPropInfo* interval = GetPropInfo(fresh, "Interval");
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(interval->GetDefault(), 1000);
    fresh->Free();
}

TEST(UtilityWindows, DeliverMessagesToTheDelegate) {
    // Should the exception below reach a message box, it is cancelled
    // instead of waiting for a click.
    TScriptedDialogs noDialogs;
    ServiceOverride<IDialogService> use(DialogService(), noDialogs);
    Receiver receiver;
    receiver.Wnd = AllocateHWnd(TWndMethod(&receiver, &Receiver::WndProc));
    ASSERT_NE(receiver.Wnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(receiver.Wnd));
    EXPECT_EQ(SendMessageA(receiver.Wnd, WM_USER + 1, 0, 0), 42);
    PostMessageA(receiver.Wnd, WM_USER + 4, 0, 0);
    EXPECT_TRUE(PumpMessages(2000, [&] {
        return std::find(receiver.Seen.begin(), receiver.Seen.end(), WM_USER + 4u) != receiver.Seen.end();
    }));

    // An exception stays inside the window procedure.
    EXPECT_EQ(SendMessageA(receiver.Wnd, WM_USER + 3, 0, 0), 0);

    // The delegate may destroy its own window; it hears nothing afterwards.
    SendMessageA(receiver.Wnd, WM_USER + 2, 0, 0);
    EXPECT_FALSE(IsWindow(receiver.Wnd));
    EXPECT_EQ(receiver.Seen.back(), WM_USER + 2u);

    // Deallocating from outside.
    Receiver second;
    second.Wnd = AllocateHWnd(TWndMethod(&second, &Receiver::WndProc));
    DeallocateHWnd(second.Wnd);
    EXPECT_FALSE(IsWindow(second.Wnd));
    EXPECT_TRUE(second.Seen.empty());
    DeallocateHWnd(nullptr);
}

namespace {

BOOL CALLBACK NoteThreadWindow(HWND wnd, LPARAM param) {
    if (wnd == *reinterpret_cast<HWND*>(param)) *reinterpret_cast<HWND*>(param) = nullptr;
    return TRUE;
}

} // namespace

TEST(UtilityWindows, AMessageOnlyWindowTakesItsOwnMessagesAndTimersButNoBroadcasts) {
    Receiver receiver;
    receiver.Wnd = AllocateMessageHWnd(TWndMethod(&receiver, &Receiver::WndProc));
    ASSERT_NE(receiver.Wnd, nullptr);
    // Not among the thread's top-level windows, so no broadcast reaches it.
    HWND looked = receiver.Wnd;
    EnumThreadWindows(GetCurrentThreadId(), &NoteThreadWindow, reinterpret_cast<LPARAM>(&looked));
    EXPECT_EQ(looked, receiver.Wnd);
    EXPECT_EQ(SendMessageA(receiver.Wnd, WM_USER + 1, 0, 0), 42);
    PostMessageA(receiver.Wnd, WM_USER + 4, 0, 0);
    ASSERT_NE(SetTimer(receiver.Wnd, 7, 10, nullptr), 0u);
    EXPECT_TRUE(PumpMessages(2000, [&] {
        return std::find(receiver.Seen.begin(), receiver.Seen.end(), WM_USER + 4u) != receiver.Seen.end() &&
               std::find(receiver.Seen.begin(), receiver.Seen.end(), static_cast<UINT>(WM_TIMER)) !=
                   receiver.Seen.end();
    }));
    KillTimer(receiver.Wnd, 7);
    DeallocateHWnd(receiver.Wnd);
    EXPECT_FALSE(IsWindow(receiver.Wnd));
}

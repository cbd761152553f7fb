// Thread hooks (shared hook kinds, dispatch, removal while dispatching,
// failing callbacks) and the position-data callbacks.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/WindowTest.h"
#include "toolbar/BarHook.h"
#include "toolbar/BarPosition.h"

using namespace qelvo;

namespace {

struct THookEvent {
    char Proc;
    TThreadHookCode Code;
    HWND Wnd;
    WPARAM WParam;
    UINT Message;   // of a retrieved message
};

std::vector<THookEvent> GEvents;
int GUserA, GUserB;

void Record(char proc, TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) {
    UINT message = code == thcGetMessage ? reinterpret_cast<const MSG*>(lParam)->message : 0;
    if (code == thcGetMessage && (message < WM_USER || message > WM_USER + 100)) return;   // ours only
    GEvents.push_back({proc, code, wnd, wParam, message});
}

void ProcA(TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) { Record('A', code, wnd, wParam, lParam); }
void ProcB(TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) { Record('B', code, wnd, wParam, lParam); }
void ProcC(TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) { Record('C', code, wnd, wParam, lParam); }

// Removes itself and B the first time it hears a message of ours, and
// registers C (which must not run in the same walk).
void RemovingProc(TThreadHookCode code, HWND wnd, WPARAM wParam, LPARAM lParam) {
    if (code != thcGetMessage || reinterpret_cast<const MSG*>(lParam)->message != WM_USER + 1) return;
    Record('R', code, wnd, wParam, lParam);
    RemoveThreadHook(&GUserA, RemovingProc);
    RemoveThreadHook(&GUserA, ProcB);
    InstallThreadHook(&GUserA, ProcC, {thcGetMessage});
}

void ThrowingProc(TThreadHookCode code, HWND, WPARAM, LPARAM lParam) {
    if (code == thcGetMessage && reinterpret_cast<const MSG*>(lParam)->message == WM_USER + 2)
        throw std::runtime_error("callback failed");
}

void PostAndPeek(HWND wnd, UINT message) {
    PostMessageA(wnd, message, 0, 0);
    MSG m;
    while (PeekMessageA(&m, wnd, message, message, PM_REMOVE)) {
    }
}

TEST(BarHook, HookKindsAreSharedAndCounted) {
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
    InstallThreadHook(&GUserA, ProcA, {thcGetMessage});
    InstallThreadHook(&GUserB, ProcA, {thcGetMessage});
    HHOOK hook = ThreadHookHandle(thkGetMessage);
    EXPECT_NE(hook, nullptr);
    EXPECT_EQ(ThreadHookHandle(thkCallWndProc), nullptr);
    EXPECT_EQ(ThreadHookHandle(thkCBT), nullptr);
    RemoveThreadHook(&GUserA, ProcA);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), hook);
    RemoveThreadHook(&GUserB, ProcA);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);

    // One user registering twice counts once.
    InstallThreadHook(&GUserA, ProcA, {thcGetMessage, thcPreDestroy});
    InstallThreadHook(&GUserA, ProcA, {thcGetMessage});
    EXPECT_NE(ThreadHookHandle(thkCBT), nullptr);
    RemoveThreadHook(&GUserA, ProcA);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
    EXPECT_EQ(ThreadHookHandle(thkCBT), nullptr);

    RemoveThreadHook(&GUserA, ProcB);   // never registered: nothing happens
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
}

TEST(BarHook, EventsReachTheCallbacksOfTheirCodes) {
    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    GEvents.clear();
    InstallThreadHook(&GUserA, ProcA, {thcActivateApp, thcPreDestroy});
    InstallThreadHook(&GUserA, ProcB, {thcGetMessage, thcActivate});

    SendMessageA(wnd, WM_ACTIVATEAPP, 1, 0);
    SendMessageA(wnd, WM_USER + 7, 0, 0);   // not watched
    PostAndPeek(wnd, WM_USER + 3);
    HWND doomed = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(doomed);

    RemoveThreadHook(&GUserA, ProcA);
    RemoveThreadHook(&GUserA, ProcB);
    ASSERT_EQ(GEvents.size(), 3u);
    EXPECT_EQ(GEvents[0].Proc, 'A');
    EXPECT_EQ(GEvents[0].Code, thcActivateApp);
    EXPECT_EQ(GEvents[0].Wnd, wnd);
    EXPECT_EQ(GEvents[0].WParam, 1u);
    EXPECT_EQ(GEvents[1].Proc, 'B');
    EXPECT_EQ(GEvents[1].Code, thcGetMessage);
    EXPECT_EQ(GEvents[1].Message, UINT(WM_USER + 3));
    EXPECT_EQ(GEvents[1].Wnd, nullptr);
    EXPECT_EQ(GEvents[2].Proc, 'A');
    EXPECT_EQ(GEvents[2].Code, thcPreDestroy);
    EXPECT_EQ(GEvents[2].Wnd, doomed);
    EXPECT_EQ(ThreadHookHandle(thkCallWndProc), nullptr);
}

TEST(BarHook, CallbacksMayRemoveAndAddRegistrations) {
    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    GEvents.clear();
    InstallThreadHook(&GUserA, RemovingProc, {thcGetMessage});
    InstallThreadHook(&GUserA, ProcB, {thcGetMessage});
    PostAndPeek(wnd, WM_USER + 1);
    ASSERT_EQ(GEvents.size(), 1u) << "B was removed before its turn; C came after the walk began";
    EXPECT_EQ(GEvents[0].Proc, 'R');
    PostAndPeek(wnd, WM_USER + 4);
    ASSERT_EQ(GEvents.size(), 2u);
    EXPECT_EQ(GEvents[1].Proc, 'C');
    RemoveThreadHook(&GUserA, ProcC);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);

    // The last registration leaving from inside its own callback.
    GEvents.clear();
    InstallThreadHook(&GUserA, RemovingProc, {thcGetMessage});
    PostAndPeek(wnd, WM_USER + 1);
    RemoveThreadHook(&GUserA, ProcC);
    EXPECT_EQ(GEvents.size(), 1u);
    EXPECT_EQ(ThreadHookHandle(thkGetMessage), nullptr);
}

TEST(BarHook, AFailingCallbackEndsOnlyThatEvent) {
    qelvo::test::HiddenTestWindow window;
    HWND wnd = static_cast<HWND>(window.Handle());
    GEvents.clear();
    InstallThreadHook(&GUserA, ThrowingProc, {thcGetMessage});
    InstallThreadHook(&GUserA, ProcB, {thcGetMessage});
    PostAndPeek(wnd, WM_USER + 2);
    EXPECT_TRUE(GEvents.empty()) << "the rest of the walk is skipped";
    PostAndPeek(wnd, WM_USER + 5);
    ASSERT_EQ(GEvents.size(), 1u);
    EXPECT_EQ(GEvents[0].Message, UINT(WM_USER + 5));
    RemoveThreadHook(&GUserA, ThrowingProc);
    RemoveThreadHook(&GUserA, ProcB);
}

// ---- Position data

using TStore = std::map<std::string, int32_t>;

int32_t ReadInt(const std::string& name, const std::string& value, int32_t def, void* extra) {
    auto& store = *static_cast<TStore*>(extra);
    auto it = store.find(name + "." + value);
    return it == store.end() ? def : it->second;
}

void WriteInt(const std::string& name, const std::string& value, int32_t data, void* extra) {
    (*static_cast<TStore*>(extra))[name + "." + value] = data;
}

TEST(BarPosition, ValuesGoThroughTheCallersCallbacks) {
    TStore store;
    TBarWritePositionData write{WriteInt, nullptr, &store};
    TBarReadPositionData read{ReadInt, nullptr, &store};
    EXPECT_EQ(ReadPositionInt(read, "Toolbar1", SPosFloatRightX, 0), 0) << "nothing stored: the default";
    WritePositionInt(write, "Toolbar1", SPosFloatRightX, 240);
    WritePositionInt(write, "Panel1", SPosDPSplitHeight, -3);
    EXPECT_EQ(store.at("Toolbar1.FloatRightX"), 240);
    EXPECT_EQ(ReadPositionInt(read, "Toolbar1", SPosFloatRightX, 0), 240);
    EXPECT_EQ(ReadPositionInt(read, "Panel1", SPosDPSplitHeight, 50), -3);
    EXPECT_EQ(ReadPositionInt(read, "Panel1", SPosDPSplitWidth, 50), 50);

    TBarReadPositionData none;
    TBarWritePositionData nowhere;
    EXPECT_EQ(ReadPositionInt(none, "Toolbar1", SPosFloatRightX, 17), 17);
    WritePositionInt(nowhere, "Toolbar1", SPosFloatRightX, 1);
}

} // namespace

// The shared get-message hook: filters of several layers behind one
// system hook, run newest first as separate hooks would be.
#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include <string>

#include "gcl/MessageHooks.h"

using namespace gcl;

namespace {

constexpr UINT Probe = WM_APP + 71;
std::string GLog;
TGetMessageFilter GRemoveFromFirst = nullptr;

// Each filter notes its letter and what the message is when it sees it.
void Note(char letter, LPARAM lParam) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    GLog += letter;
    if (msg.message == WM_NULL) GLog += '0';
}
void FilterA(int, WPARAM wParam, LPARAM lParam) {
    if (wParam == PM_REMOVE) Note('a', lParam);
}
void FilterB(int, WPARAM wParam, LPARAM lParam) {
    if (wParam != PM_REMOVE) return;
    Note('b', lParam);
    // B takes the message: the ones after it see WM_NULL.
    reinterpret_cast<MSG*>(lParam)->message = WM_NULL;
}
void FilterC(int, WPARAM wParam, LPARAM lParam) {
    if (wParam != PM_REMOVE) return;
    Note('c', lParam);
    if (GRemoveFromFirst) RemoveGetMessageFilter(GRemoveFromFirst);
}

// Posts the probe and takes it from the queue; the message the caller got.
UINT Take() {
    GLog.clear();
    PostThreadMessageA(GetCurrentThreadId(), Probe, 0, 0);
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, Probe, Probe, PM_REMOVE)) return 0xFFFFFFFF;
    return msg.message;
}

} // namespace

TEST(MessageHooks, FiltersShareOneHookAndRunNewestFirst) {
    ASSERT_EQ(GetMessageHookHandle(), nullptr);
    ASSERT_TRUE(AddGetMessageFilter(&FilterA));
    const HHOOK hook = GetMessageHookHandle();
    ASSERT_NE(hook, nullptr);
    ASSERT_TRUE(AddGetMessageFilter(&FilterB));
    ASSERT_TRUE(AddGetMessageFilter(&FilterC));
    ASSERT_TRUE(AddGetMessageFilter(&FilterA)) << "added again: stays where it was";
    EXPECT_EQ(GetMessageHookHandle(), hook);

    // C, then B (which takes the message), then A sees what B left.
    EXPECT_EQ(Take(), static_cast<UINT>(WM_NULL));
    EXPECT_EQ(GLog, "cba0");

    // A peek that leaves the message reaches the filters without PM_REMOVE.
    GLog.clear();
    PostThreadMessageA(GetCurrentThreadId(), Probe, 0, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, Probe, Probe, PM_NOREMOVE));
    EXPECT_EQ(GLog, "");
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, Probe, Probe, PM_REMOVE));

    // Without B the message passes whole.
    RemoveGetMessageFilter(&FilterB);
    EXPECT_EQ(Take(), Probe);
    EXPECT_EQ(GLog, "ca");

    // A filter removed by one that runs before it is not called for that
    // message either.
    GRemoveFromFirst = &FilterA;
    EXPECT_EQ(Take(), Probe);
    EXPECT_EQ(GLog, "c");
    GRemoveFromFirst = nullptr;
    EXPECT_EQ(Take(), Probe);
    EXPECT_EQ(GLog, "c");

    // The hook goes with the last filter and comes back with the next.
    RemoveGetMessageFilter(&FilterC);
    EXPECT_EQ(GetMessageHookHandle(), nullptr);
    EXPECT_EQ(Take(), Probe);
    EXPECT_EQ(GLog, "");
    ASSERT_TRUE(AddGetMessageFilter(&FilterB));
    EXPECT_NE(GetMessageHookHandle(), nullptr);
    EXPECT_EQ(Take(), static_cast<UINT>(WM_NULL));
    EXPECT_EQ(GLog, "b");
    RemoveGetMessageFilter(&FilterB);
    RemoveGetMessageFilter(&FilterB);
    EXPECT_EQ(GetMessageHookHandle(), nullptr);
}

#include <gtest/gtest.h>
#include "gcl/rtl/WinApi.h"

#include "support/WindowTest.h"

// The harness itself: windows can be created under the test display and
// messages pumped with a time bound.
TEST(WindowHarness, CreatesWindowsAndPumpsWithTimeBound) {
    qelvo::test::HiddenTestWindow w;
    ASSERT_NE(w.Handle(), nullptr);
    HWND h = static_cast<HWND>(w.Handle());
    PostMessageA(h, WM_NULL, 0, 0);
    bool seen = false;
    EXPECT_TRUE(qelvo::test::PumpMessages(2000, [&] {
        MSG m;
        seen = seen || !PeekMessageA(&m, h, WM_NULL, WM_NULL, PM_NOREMOVE);
        return seen;
    }));
    EXPECT_FALSE(qelvo::test::PumpMessages(30, [] { return false; }));
}

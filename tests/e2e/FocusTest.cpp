// Keyboard focus and activation as a user meets them: the windows a
// command opens give the activation back to the main window when they
// close, and Alt with a letter acts without leaving the menu bar waiting
// for keys.
#include <gtest/gtest.h>

#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

namespace {

// Opens a menu of the menu bar by a click on its caption (at x in the
// window), chooses its last item and waits for the window it opens.
HWND OpenLastItemOf(TProgram& p, HWND main, int x) {
    const RECT r = RectOf(main);
    Click(p, {r.left + x, r.top + 35});
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    HWND opened = nullptr;
    WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (w != main && ClassOf(w) != "TApplication" && IsWindowEnabled(w) && IsWindowVisible(w) &&
                GetWindowTextLengthA(w) > 0) {
                opened = w;
                return true;
            }
        return false;
    });
    return opened;
}

} // namespace

TEST(FocusScenario, ModalWindowsGiveTheActivationBackToTheMainWindow) {
    TProgram p("focus-modal");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    struct TStep {
        int MenuX;
        const char* Name;
    };
    for (TStep step : {TStep{127, "About"}, TStep{90, "Options"}}) {
        HWND modal = OpenLastItemOf(p, main, step.MenuX);
        ASSERT_NE(modal, nullptr) << step.Name << " did not open";
        EXPECT_TRUE(p.BecomesActive(modal)) << step.Name;
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(modal); })) << step.Name << " did not close";
        p.Settle();
        EXPECT_TRUE(p.BecomesActive(main)) << "after " << step.Name << " closed";
        EXPECT_TRUE(BecomesForeground(main)) << "after " << step.Name << " closed";
        EXPECT_NE(p.Focus(), nullptr) << "after " << step.Name << " closed";
    }
    // A shortcut works at once: Exit and save.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

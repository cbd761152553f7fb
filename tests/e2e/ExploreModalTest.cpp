// Dialogs and questions meeting what comes from outside the window: the
// hot key, the notification-area icon and a second start of the program.
// Whatever was being typed is kept, and the window that holds the others
// disabled is the one that gets the keyboard back.
#include <gtest/gtest.h>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The Options dialog's colour panel (the group underline colour), the one
// child of its size.
HWND ColourPanelOf(HWND options) {
    for (HWND w : ChildrenOfClass(options, "")) {
        const RECT r = RectOf(w);
        if (r.right - r.left == 60 && r.bottom - r.top == 20) return w;
    }
    return nullptr;
}

bool Gone(HWND w) { return !IsWindow(w) || !IsWindowVisible(w); }

} // namespace

// A second start while a task's title was being typed moved the keyboard to
// the quick-entry box and left the title's editor on the screen: the title
// was never taken, and Ctrl+Q no longer ended the program. The title is now
// taken as the window comes forward.
TEST(ModalScenario, ASecondStartTakesATitleBeingTypedAndClosesAnOpenMenu) {
    TProgram p("modal-second-start-title");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    Key(p, VK_END);
    Type(p, " at noon");
    ASSERT_EQ(ChildrenOfClass(main, "TGvEdit").size(), 1u) << "no editor opened";

    TProgram second("modal-second-start-title", true);
    second.Start();
    EXPECT_EQ(second.WaitExit(), 0);
    p.Settle();
    EXPECT_TRUE(ChildrenOfClass(main, "TGvEdit").empty()) << "the title's editor stayed without the keyboard";
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Shot(p, main, "modal-second-start-title");

    // With the File menu open the keyboard went to the quick-entry box too,
    // while the menu stayed and took the letters typed as its commands'
    // ("c" asked to clear the database). The menu closes now.
    OpenMainMenu(p, main, FileMenuX);
    ASSERT_GT(p.TopWindows().size(), 1u) << "no menu opened";
    TProgram third("modal-second-start-title", true);
    third.Start();
    EXPECT_EQ(third.WaitExit(), 0);
    p.Settle();
    for (HWND w : p.TopWindows()) {
        if (w != main) {
            EXPECT_EQ(ClassOf(w), "TApplication") << "the menu stayed";
        }
    }
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Type(p, "Buy a clock");
    EXPECT_TRUE(p.NoDialogFor(300)) << "the letters went to the menu";
    EXPECT_EQ(TextOf(parts.TopEdit), "Buy a clock");
    Key(p, VK_ESCAPE);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Call Tom at noon", "Write report"}));
}

// The colour dialog open over the Options dialog: the window coming back
// from the tray (the hot key) or for a second start took the keyboard
// itself, disabled as it was, and no key reached either dialog; Esc did
// nothing and the program could not be ended from the keyboard. The
// dialog on top now gets it back.
TEST(ModalScenario, ADialogOverTheOptionsDialogGetsTheKeyboardBack) {
    TProgram p("modal-dialog-over-options");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntil([] { return WineSystemTray() != nullptr && IsWindowVisible(WineSystemTray()); }))
        << "no notification area";
    const HWND options = OpenOptionsDialog(p, main).Window;
    ASSERT_NE(options, nullptr);
    const HWND panel = ColourPanelOf(options);
    ASSERT_NE(panel, nullptr) << DescribeChildren(options);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "the hot key" : "a second start");
        // The Options dialog has the keyboard again before the panel is
        // clicked, and the second round's click is not a double click.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(options) && p.Active() == options; }))
            << "the keyboard is with '" << TextOf(p.Active()) << "'";
        if (round > 0) Sleep(GetDoubleClickTime() + 50);
        Click(p, CenterOf(panel));
        const HWND colour = p.WaitDialog();
        ASSERT_NE(colour, nullptr) << "no colour dialog";
        Key(p, 'O', Ctrl | Shift);    // the hot key
        ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
        if (round == 0) {
            Key(p, 'O', Ctrl | Shift);    // the hot key
        } else {
            TProgram second("modal-dialog-over-options", true);
            second.Start();
            EXPECT_EQ(second.WaitExit(), 0);
        }
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
        p.Settle();
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_FALSE(IsWindowEnabled(options));
        EXPECT_TRUE(p.BecomesActive(colour))
            << "the keyboard went to '" << TextOf(p.Active()) << "'";
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return Gone(colour); }, 3000)) << "Esc did not reach the colour dialog";
        EXPECT_TRUE(p.BecomesActive(options))
            << "the keyboard went to '" << TextOf(p.Active()) << "'";
    }
    Shot(p, options, "modal-dialog-over-options");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return Gone(options); }, 3000)) << "Esc did not reach the Options dialog";
    EXPECT_TRUE(IsWindowEnabled(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// The keyboard on the main window as a user meets it: Alt, F10 and the
// menu bar's letters open the menus wherever the focus is, an action's Alt
// shortcut acts and leaves no menu waiting for keys (also when Alt is let
// go before the letter), Alt+F4 closes through the window's close, and a
// control has the keyboard from the start.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/SampleDatabase.h"

namespace qelvo::e2e {

namespace {

// One key event at a time with a pause after it, as fingers type.
void KeyEvent(const TProgram& p, WORD vk, bool up, unsigned pauseMs = 40) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
    Sleep(pauseMs);
    p.Settle(1);
}

// Alt+letter typed at typing speed; with altFirst Alt is let go before
// the letter, as a quick hand does.
void TypeAlt(const TProgram& p, WORD letter, bool altFirst) {
    KeyEvent(p, VK_MENU, false);
    KeyEvent(p, letter, false);
    KeyEvent(p, altFirst ? VK_MENU : letter, true);
    KeyEvent(p, altFirst ? letter : VK_MENU, true);
    p.Settle();
}

// The menu bar waits for keys (a tap of Alt or F10) while the program
// holds the mouse capture for its menu loop.
bool MenuBarWaits(const TProgram& p) { return p.ThreadInfo().hwndCapture != nullptr; }

// A menu of the menu bar or a popup menu is open.
bool MenuOpen(const TProgram& p) {
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtPopupWindow") return true;
    return false;
}

struct TTargets {
    HWND List, Edit, Tree;
};

TTargets TargetsOf(HWND main) {
    return {ChildrenOfClass(main, "TGvListview").front(), ChildrenOfClass(main, "TXtEdit.UnicodeClass").front(),
            ChildrenOfClass(main, "TUniTreeView.UnicodeClass").front()};
}

// Gives the keyboard to one of the three places a user types in: the side
// tree, the task list or the quick-entry box (clicked on an empty part).
void FocusOn(TProgram& p, HWND target) {
    const RECT r = RectOf(target);
    Click(p, {r.right - 12, r.bottom - 8});
    ASSERT_EQ(p.Focus(), target) << ClassOf(target);
}

const char* NameOf(const TTargets& t, HWND w) {
    return w == t.List ? "the task list" : w == t.Edit ? "the quick-entry box" : "the side tree";
}

} // namespace

TEST(KeyboardScenario, AltF10AndTheMenuLettersOpenTheMenusWhereverTheFocusIs) {
    TProgram p("keys-menus");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    for (HWND target : {t.Tree, t.List, t.Edit}) {
        FocusOn(p, target);
        const char* where = NameOf(t, target);
        // A tap of Alt: "File" is highlighted and waits for keys; Esc ends it.
        Key(p, VK_MENU);
        EXPECT_TRUE(MenuBarWaits(p)) << "Alt in " << where;
        EXPECT_FALSE(MenuOpen(p)) << "Alt in " << where;
        Key(p, VK_DOWN);
        EXPECT_TRUE(MenuOpen(p)) << "Alt, Down in " << where;
        Key(p, VK_ESCAPE);
        Key(p, VK_ESCAPE);
        EXPECT_FALSE(MenuBarWaits(p)) << "Esc after Alt in " << where;
        // F10 as Alt.
        Key(p, VK_F10);
        EXPECT_TRUE(MenuBarWaits(p)) << "F10 in " << where;
        Key(p, VK_ESCAPE);
        EXPECT_FALSE(MenuBarWaits(p)) << "Esc after F10 in " << where;
        // The menu bar's own letters open their menus.
        for (WORD letter : {'F', 'V', 'O', 'H'}) {
            Key(p, letter, Alt);
            EXPECT_TRUE(MenuOpen(p)) << "Alt+" << char(letter) << " in " << where;
            Key(p, VK_ESCAPE);
            Key(p, VK_ESCAPE);
            EXPECT_FALSE(MenuOpen(p) || MenuBarWaits(p)) << "Esc Esc after Alt+" << char(letter) << " in " << where;
        }
        EXPECT_EQ(p.Focus(), target) << "the keyboard went back to " << where;
    }
    // Alt+F4 in the side tree closes the window; nothing was changed, so
    // no question, and the program ends.
    FocusOn(p, t.Tree);
    Key(p, VK_F4, Alt);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(KeyboardScenario, AltF4ClosesThroughTheWindowsCloseWhichAsksAboutChanges) {
    TProgram p("keys-altf4");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    AddTask(p, "Typed before Alt+F4");
    for (HWND target : {t.Tree, t.List}) {
        FocusOn(p, target);
        Key(p, VK_F4, Alt);
        ASSERT_TRUE(Answer(p, "You've made changes to this database, do you want to save before exiting?", "Cancel"))
            << "Alt+F4 in " << NameOf(t, target);
        EXPECT_TRUE(p.Running());
    }
    Click(p, CenterOf(t.Edit));
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Answer(p, "You've made changes to this database", "&Yes"));
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(ReadFile(p.DatabasePath()).find("Typed before Alt+F4"), std::string::npos);
}

// Alt+D groups by date, Alt+Z folds the note panel, Alt+L groups by list:
// each acts, and the next Down moves in the window instead of opening the
// File menu, whichever key the hand lets go first.
TEST(KeyboardScenario, AnActionsAltShortcutLeavesNoMenuWaitingForKeys) {
    TProgram p("keys-alt-actions");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TTargets t = TargetsOf(main);
    for (HWND target : {t.List, t.Edit, t.Tree}) {
        FocusOn(p, target);
        for (bool altFirst : {false, true})
            for (WORD letter : {'D', 'Z', 'L', 'Z'}) {
                TypeAlt(p, letter, altFirst);
                Key(p, VK_DOWN);
                EXPECT_FALSE(MenuOpen(p) || MenuBarWaits(p))
                    << "Down after Alt+" << char(letter) << (altFirst ? " (Alt let go first)" : "") << " in "
                    << NameOf(t, target);
                if (MenuOpen(p) || MenuBarWaits(p)) {
                    Key(p, VK_ESCAPE);
                    Key(p, VK_ESCAPE);
                }
            }
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// From the first moment a control has the keyboard: the task list, after a
// start over a database, after a first start's message and after the
// window comes back from the notification area by a click on its icon.
TEST(KeyboardScenario, TheTaskListHasTheKeyboardFromTheStart) {
    {
        TProgram p("keys-first-start");
        p.Start();
        ASSERT_TRUE(Answer(p, "does not exists!", "OK"));
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        p.Settle();
        EXPECT_TRUE(p.BecomesActive(main));
        EXPECT_EQ(ClassOf(p.Focus()), "TGvListview") << "after a first start";
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
    }
    TProgram p("keys-start-focus");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(ClassOf(p.Focus()), "TGvListview") << "after a start over a database";
    // The first key acts on the tasks: Down focuses the first task, and
    // Ctrl+D (Hide Done) hides the done ones.
    Key(p, VK_DOWN);
    Key(p, VK_END);
    Shot(p, main, "keys-first-keys");
    // Out to the notification area and back by a click on the icon.
    ASSERT_TRUE(TrayShown());
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Click(p, TrayIconPoint());
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(ClassOf(p.Focus()), "TGvListview") << "after the icon brought the window back";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// The mouse resting on and moving over the main window: what the pointer
// lights (a task's check box, buttons, the side tree) goes dark again once
// the pointer has gone, however fast it went, and what lies under a
// pointer that rests while the list moves beneath it is what is lit.
#include <gtest/gtest.h>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Whether the check box centred at At is drawn lit (the blue frame a check
// box has while the pointer is on it; its own frame is grey).
bool CheckBoxLit(POINT at) {
    int blue = 0;
    for (COLORREF c : PixelsOf(RECT{at.x - 8, at.y - 8, at.x + 8, at.y + 8}))
        if (GetBValue(c) > GetRValue(c) + 100) ++blue;
    return blue > 10;
}

// Whether a check box's frame is drawn centred at At (give or take two
// pixels): its grey or lit frame, darker than the row's lines.
bool CheckBoxAt(POINT at) {
    int frame = 0;
    for (COLORREF c : PixelsOf(RECT{at.x - 8, at.y - 8, at.x + 8, at.y + 8}))
        if (GetRValue(c) < 0xD0 || GetGValue(c) < 0xD0) ++frame;
    return frame >= 30;
}

// The task list's rows at the list's font size.
constexpr int RowHeight = 22;

} // namespace

// A task's check box lit by the pointer stayed lit when the pointer left
// the list in one move, onto the side tree or off the window: the list
// heard of the pointer only while it was over it.
TEST(ExploreHoverScenario, ACheckBoxLitByThePointerGoesDarkWhenThePointerLeavesTheListFast) {
    TProgram p("hover-check-leaves");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    const POINT check = w.ListItem(0, 10);
    MoveTo(p, check);
    ASSERT_TRUE(WaitUntil([&] { return CheckBoxLit(check); })) << "the check box under the pointer is not lit";
    MoveTo(p, w.TreeRow(0));
    EXPECT_TRUE(WaitUntil([&] { return !CheckBoxLit(check); })) << "lit after the pointer went to the side tree";

    MoveTo(p, check);
    ASSERT_TRUE(WaitUntil([&] { return CheckBoxLit(check); }));
    const RECT window = RectOf(main);
    MoveTo(p, POINT{window.right + 40, window.bottom + 40});
    EXPECT_TRUE(WaitUntil([&] { return !CheckBoxLit(check); })) << "lit after the pointer left the window";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Page Down pressed, or the wheel turned, with the pointer resting on the
// task list moves the tasks under it: the check box now under the pointer
// is the lit one. The one that was under it kept its lit check box as it
// scrolled away, and the one that came under the pointer stayed dark.
TEST(ExploreHoverScenario, AfterTheListScrollsTheCheckBoxUnderTheRestingPointerIsTheLitOne) {
    TProgram p("hover-check-scrolled");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(40));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts w(main);
    // Where a check box stands once two pages down have scrolled the list
    // (between two check boxes before).
    const RECT list = RectOf(w.List);
    const POINT rest{list.left + 10, list.top + 188};
    MoveTo(p, rest);
    ASSERT_TRUE(WaitUntil([&] { return p.Focus() == w.List; }));
    // The keyboard's place is the first task; a page down from there goes
    // to the last task shown, and the next one scrolls the list.
    Key(p, VK_DOWN);
    Key(p, VK_NEXT);
    Key(p, VK_NEXT);
    ASSERT_TRUE(WaitUntil([&] { return CheckBoxAt(rest); })) << "no check box came under the pointer";
    EXPECT_TRUE(WaitUntil([&] { return CheckBoxLit(rest); })) << "after Page Down the task under the pointer is not lit";

    // A notch scrolls three rows: the task that was under the pointer is now
    // three rows above it.
    Wheel(p, rest, -WHEEL_DELTA);
    const POINT scrolledAway{rest.x, rest.y - 3 * RowHeight};
    ASSERT_TRUE(WaitUntil([&] { return CheckBoxAt(rest) && CheckBoxAt(scrolledAway); }));
    EXPECT_TRUE(WaitUntil([&] { return !CheckBoxLit(scrolledAway); })) << "the task scrolled away is still lit";
    EXPECT_TRUE(WaitUntil([&] { return CheckBoxLit(rest); })) << "after the wheel the task under the pointer is not lit";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

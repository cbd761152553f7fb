// The mouse buttons and wheels of an ordinary modern mouse besides the
// left and right buttons and the upright wheel: the middle button, the two
// side buttons, the wheel tilted sideways, the wheel with Shift or Ctrl,
// and each of them during a left-button drag. None of them may change a
// task or leave the mouse or the window in a state the user cannot see,
// and the tilted wheel scrolls a narrow task list across.
#include <gtest/gtest.h>

#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

std::string Saved(TProgram& p) {
    Key(p, 'S', Ctrl);
    return ReadFile(p.DatabasePath());
}

// A press no sooner than the double-click time after the one before.
void Pause() { Sleep(GetDoubleClickTime() + 50); }

// Every other button and wheel of the mouse at At.
void EveryOtherInput(const TProgram& p, POINT at) {
    MiddleClick(p, at);
    Pause();
    MiddleClick(p, at, 2);
    Pause();
    SideClick(p, at, XBUTTON1);
    SideClick(p, at, XBUTTON2);
    Pause();
    SideClick(p, at, XBUTTON1, 2);
    Pause();
    HorizontalWheel(p, at, WHEEL_DELTA);
    HorizontalWheel(p, at, -2 * WHEEL_DELTA);
    KeyDown(p, VK_SHIFT);
    Wheel(p, at, -WHEEL_DELTA);
    Wheel(p, at, WHEEL_DELTA);
    KeyUp(p, VK_SHIFT);
    KeyDown(p, VK_CONTROL);
    Wheel(p, at, -WHEEL_DELTA);
    Wheel(p, at, WHEEL_DELTA);
    KeyUp(p, VK_CONTROL);
    Pause();
}

} // namespace

// The middle button, the side buttons and the sideways, Shift and Ctrl
// wheels over the task list, its header, the side tree and the note
// change no task, open no menu, and leave the program answering keys.
TEST(ExploreOtherButtonsScenario, TheOtherButtonsAndWheelsChangeNoTask) {
    TProgram p("other-buttons-no-change");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const std::string before = Saved(p);
    const std::string tree = Texts(p, parts.Tree);
    const RECT list = RectOf(parts.List);
    const RECT note = RectOf(parts.NotePanel);
    for (POINT at : {parts.ListItem(1), POINT{list.left + 150, list.top + 10}, parts.TreeRow(2),
                     POINT{list.right - 30, list.bottom - 30}, POINT{note.left + 100, note.bottom - 20}}) {
        EveryOtherInput(p, at);
        EXPECT_TRUE(PopupMenus(p).empty()) << "a menu opened at " << at.x << "," << at.y;
        Key(p, VK_ESCAPE);
        EXPECT_EQ(Texts(p, parts.Tree), tree) << "at " << at.x << "," << at.y;
    }
    EXPECT_EQ(Saved(p), before);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A task dragged to the side tree with the middle button pressed and
// released, and the wheel turned and tilted, on the way: the drop still
// moves it. The middle or a side button held from a task to the tree, or
// from node to node, moves nothing.
TEST(ExploreOtherButtonsScenario, TheOtherButtonsDuringATaskDragLeaveTheDragWholeAndDragNothing) {
    TProgram p("other-buttons-drag");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "All");
    Pause();
    ButtonDown(p, parts.ListItem(1));
    Glide(p, parts.ListItem(1), parts.TreeRow(3));
    const std::string dragged = parts.ChosenTask();
    MouseEvent(p, parts.TreeRow(3), MOUSEEVENTF_MIDDLEDOWN);
    MouseEvent(p, parts.TreeRow(3), MOUSEEVENTF_MIDDLEUP);
    Wheel(p, parts.TreeRow(3), -WHEEL_DELTA);
    HorizontalWheel(p, parts.TreeRow(3), WHEEL_DELTA);
    ButtonUp(p, parts.TreeRow(3));
    EXPECT_EQ(dragged, "Call the bank");
    EXPECT_EQ(ListOf(Saved(p), dragged), "Shop");
    EXPECT_TRUE(PopupMenus(p).empty());
    // Middle and side buttons held from a task to the tree, and from a
    // node to another.
    Pause();
    const std::string before = Saved(p);
    MouseEvent(p, parts.ListItem(2), MOUSEEVENTF_MIDDLEDOWN);
    Glide(p, parts.ListItem(2), parts.TreeRow(2));
    MouseEvent(p, parts.TreeRow(2), MOUSEEVENTF_MIDDLEUP);
    Pause();
    MouseEvent(p, parts.ListItem(2), MOUSEEVENTF_XDOWN, XBUTTON1);
    Glide(p, parts.ListItem(2), parts.TreeRow(2));
    MouseEvent(p, parts.TreeRow(2), MOUSEEVENTF_XUP, XBUTTON1);
    Pause();
    MouseEvent(p, parts.TreeRow(1), MOUSEEVENTF_MIDDLEDOWN);
    Glide(p, parts.TreeRow(1), parts.TreeRow(3));
    MouseEvent(p, parts.TreeRow(3), MOUSEEVENTF_MIDDLEUP);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|Work|Home|Shop");
    EXPECT_EQ(Saved(p), before);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Buttons released out of order, over a task and over the blank below
// the tasks, and the wheel, the middle and the right button used while a
// column's edge is dragged: no task changes, and the column's drag opens
// no menu.
TEST(ExploreOtherButtonsScenario, ButtonsLetGoOutOfOrderChangeNoTask) {
    TProgram p("other-buttons-order");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Shop");
    Pause();
    const std::string before = Saved(p);
    const RECT list = RectOf(parts.List);
    const POINT blank{list.left + 200, list.bottom - 40};
    // Left, then right; left up first.
    ButtonDown(p, parts.ListItem(0));
    MouseEvent(p, parts.ListItem(0), MOUSEEVENTF_RIGHTDOWN);
    ButtonUp(p, parts.ListItem(0));
    MouseEvent(p, parts.ListItem(0), MOUSEEVENTF_RIGHTUP);
    Key(p, VK_ESCAPE);
    Pause();
    // A press on the blank, the middle button pressed on the way.
    ButtonDown(p, blank);
    Glide(p, blank, parts.ListItem(1, 300));
    MouseEvent(p, parts.ListItem(1, 300), MOUSEEVENTF_MIDDLEDOWN);
    Wheel(p, parts.ListItem(1, 300), -WHEEL_DELTA);
    MouseEvent(p, parts.ListItem(1, 300), MOUSEEVENTF_MIDDLEUP);
    Glide(p, parts.ListItem(1, 300), parts.ListItem(0, 300), 4);
    ButtonUp(p, parts.ListItem(0, 300));
    // The right button pressed after the left, the left let go first.
    Pause();
    ButtonDown(p, blank);
    Glide(p, blank, parts.ListItem(1, 300));
    MouseEvent(p, parts.ListItem(1, 300), MOUSEEVENTF_RIGHTDOWN);
    ButtonUp(p, parts.ListItem(1, 300));
    MouseEvent(p, parts.ListItem(1, 300), MOUSEEVENTF_RIGHTUP);
    Key(p, VK_ESCAPE);
    // A column edge dragged with the wheel, the middle and the right
    // button on the way.
    Pause();
    const POINT edge{list.left + 320, list.top + 10};
    ButtonDown(p, edge);
    Glide(p, edge, POINT{edge.x + 40, edge.y}, 4);
    Wheel(p, POINT{edge.x + 40, edge.y}, -WHEEL_DELTA);
    MiddleClick(p, POINT{edge.x + 40, edge.y});
    MouseEvent(p, POINT{edge.x + 40, edge.y}, MOUSEEVENTF_RIGHTDOWN);
    MouseEvent(p, POINT{edge.x + 40, edge.y}, MOUSEEVENTF_RIGHTUP);
    Glide(p, POINT{edge.x + 40, edge.y}, POINT{edge.x + 60, edge.y}, 4);
    ButtonUp(p, POINT{edge.x + 60, edge.y});
    EXPECT_TRUE(PopupMenus(p).empty()) << "a menu opened during the column's drag";
    Key(p, VK_ESCAPE);
    Pause();
    EXPECT_EQ(Saved(p), before);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The window narrowed until the task list scrolls sideways: the wheel
// tilted right scrolls it right, as Shift with the wheel turned down does,
// and tilted left brings it back. The tilt did nothing.
TEST(ExploreOtherButtonsScenario, TheWheelTiltedSidewaysScrollsANarrowListAcross) {
    TProgram p("other-buttons-tilt");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    SetWindowPos(main, nullptr, 0, 0, 420, 500, SWP_NOMOVE | SWP_NOZORDER);
    p.Settle();
    const RECT list = RectOf(parts.List);
    const POINT mid{(list.left + list.right) / 2, list.top + 80};
    // The list's header row, which shows what the list is scrolled to.
    const RECT header{list.left + 2, list.top + 2, list.right - 20, list.top + 18};
    const std::vector<COLORREF> start = PixelsOf(header);
    HorizontalWheel(p, mid, 2 * WHEEL_DELTA);
    const std::vector<COLORREF> tilted = PixelsOf(header);
    EXPECT_NE(tilted, start) << "the tilt right did not scroll";
    HorizontalWheel(p, mid, -2 * WHEEL_DELTA);
    EXPECT_EQ(PixelsOf(header), start) << "the tilt left did not scroll back";
    KeyDown(p, VK_SHIFT);
    Wheel(p, mid, -2 * WHEEL_DELTA);
    KeyUp(p, VK_SHIFT);
    EXPECT_EQ(PixelsOf(header), tilted) << "the tilt and Shift with the wheel scroll unalike";
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// The toolbars and panels as a user rearranges them with the mouse: what
// the bars left behind and the bars they passed over show once the drag is
// done, and the size a panel floats with whichever way it went.
#include <gtest/gtest.h>

#include "e2e/DockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"

namespace qelvo::e2e {

TEST(ExploreArrangeScenario, ABarDroppedOnAnotherRowLeavesTheBarsItPassedWhole) {
    TProgram p("arrange-row-repaint");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    // The filter bar dragged by its grip up over the quick-entry bar and
    // dropped on the menu bar's row, part way along it.
    const POINT grip = GripOf(bars[3]);
    const RECT menu = RectOf(bars[0]);
    Drag(p, grip, POINT{grip.x + 300, (menu.top + menu.bottom) / 2});
    bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u) << "the filter bar left the dock";
    Shot(p, main, "arrange-row-repaint");
    // Every bar of the dock shows what a repaint of the whole window shows.
    std::vector<RECT> parts;
    for (HWND bar : bars) parts.push_back(RectOf(bar));
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, parts));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The size of the floating window the side panel ends in, dragged off by its
// tab strip to a point beside the main window along a path that first
// rises to height Via (crossing the toolbars when that is their height).
SIZE SidePanelFloatedVia(TProgram& p, int via) {
    p.Start();
    HWND main = p.Main();
    if (!main) return SIZE{};
    const RECT window = RectOf(main);
    const POINT from = PanelCaptionPoint(Panel(main, false));
    const POINT rise{from.x + 40, via};
    const POINT to{window.right + 120, window.top + 200};
    ButtonDown(p, from);
    Glide(p, from, rise, 8);
    Glide(p, rise, to, 12);
    ButtonUp(p, to);
    HWND floating = FloatingWindow(p);
    const RECT r = floating ? RectOf(floating) : RECT{};
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

TEST(ExploreArrangeScenario, TheSidePanelFloatsWithOneSizeWhetherOrNotItCrossedTheToolbars) {
    TProgram p("arrange-panel-float-size");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    // Straight out over the task list, then (the next start) up through the
    // toolbars first: the floating panel has the same size both times.
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const POINT caption = PanelCaptionPoint(Panel(main, false));
    const int toolbars = (RectOf(DockedBars(main)[1]).top + RectOf(DockedBars(main)[1]).bottom) / 2;
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const SIZE straight = SidePanelFloatedVia(p, caption.y + 60);
    ASSERT_GT(straight.cx, 0) << "the side panel did not float";
    const SIZE crossing = SidePanelFloatedVia(p, toolbars);
    ASSERT_GT(crossing.cx, 0) << "the side panel did not float";
    EXPECT_EQ(crossing.cx, straight.cx) << "floated through the toolbars it is " << crossing.cx << "x" << crossing.cy
                                        << ", straight out " << straight.cx << "x" << straight.cy;
    EXPECT_EQ(crossing.cy, straight.cy);
}

} // namespace qelvo::e2e

namespace qelvo::e2e {

// The menu bar's item under the mouse is lit; the mouse goes straight on to
// another bar's grip and drags that bar along its row. The system notices
// the mouse left the menu bar only once the drag holds the mouse: the item
// must go out all the same.
TEST(ExploreArrangeScenario, AMenuItemLitByTheMouseGoesOutWhenAnotherBarIsDraggedAtOnce) {
    TProgram p("arrange-hot-item");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    const RECT menu = RectOf(bars[0]);
    p.Settle();
    const std::vector<COLORREF> unlit = PixelsOf(menu);
    MoveTo(p, POINT{menu.left + 24, (menu.top + menu.bottom) / 2});
    p.Settle();
    ASSERT_NE(PixelsOf(menu), unlit) << "no menu item lit under the mouse";
    const POINT grip = GripOf(bars[3]);
    ButtonDown(p, grip);    // the pointer jumps there and presses at once
    Glide(p, grip, POINT{grip.x + 60, grip.y});
    Sleep(600);
    ButtonUp(p, POINT{grip.x + 60, grip.y});
    Sleep(600);    // the system's look at where the mouse went
    p.Settle();
    Shot(p, main, "arrange-hot-item");
    EXPECT_EQ(PixelsOf(menu), unlit) << "a menu item stayed lit";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

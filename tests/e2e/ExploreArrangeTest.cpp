// The toolbars and panels as a user rearranges them with the mouse within
// the main window's bar dock: what the bars left behind and the bars they
// passed over show once the drag is done.
#include <gtest/gtest.h>

#include "e2e/DockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"

namespace qelvo::e2e {

TEST(ExploreArrangeScenario, ABarDroppedOnAnotherRowLeavesTheBarsItPassedWhole) {
    TProgram p("arrange-row-repaint");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    p.Start();
    HWND main = p.Main();
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

} // namespace qelvo::e2e

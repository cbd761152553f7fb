// The bars and panels as a user moves them about: toolbars dragged off by
// their grips and held by their floating captions, panels dragged by their
// captions onto other docks, the keyboard through those moves, and what
// the next start makes of the layout they leave.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/DockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(ExploreDockScenario, AFloatingBarStaysUnderItsCaptionDocksBackOnADoubleClickAndKeepsTheKeyboard) {
    TProgram p("dock-floating-bars");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    std::vector<HWND> bars = DockedBars(main);
    ASSERT_EQ(bars.size(), 4u);
    HWND groupBy = bars[2];

    // The group-by bar off its dock by its grip; a press on its floating
    // caption without a move leaves the window where it is, twice.
    const POINT grip = GripOf(groupBy);
    Drag(p, grip, POINT{grip.x + 320, grip.y - 200});
    HWND floating = FloatingWindow(p);
    ASSERT_NE(floating, nullptr) << "the group-by bar did not float";
    const RECT floated = RectOf(floating);
    Click(p, POINT{floated.left + 40, floated.top + 8});
    EXPECT_TRUE(SameRect(RectOf(floating), floated)) << "a click on the caption moved the bar from "
                                                     << Describe(floated) << " to " << Describe(RectOf(floating));
    Click(p, POINT{floated.left + 80, floated.top + 8});
    EXPECT_TRUE(SameRect(RectOf(floating), floated)) << "a second click moved it to " << Describe(RectOf(floating));

    // A double-click on the caption docks it back where it was.
    const RECT now = RectOf(floating);
    DoubleClick(p, POINT{now.left + 60, now.top + 8});
    EXPECT_TRUE(WaitUntil([&] { return FloatingWindow(p) == nullptr; }, 3000))
        << "the double-click left the bar floating at " << Describe(RectOf(floating));
    bars = DockedBars(main);
    EXPECT_EQ(bars.size(), 4u);

    // A task half typed when its bar is dragged off: the rest typed goes on
    // after what was there, and Enter adds the whole title.
    Key(p, 'N', Ctrl);
    Type(p, "Half");
    HWND box = p.Focus();
    ASSERT_EQ(ClassOf(box), "TXtEdit.UnicodeClass");
    const POINT entryGrip = GripOf(GetParent(box));
    Drag(p, entryGrip, POINT{entryGrip.x + 260, entryGrip.y - 190});
    ASSERT_NE(FloatingWindow(p), nullptr) << "the quick-entry bar did not float";
    EXPECT_EQ(p.Focus(), box) << "the keyboard went to " << ClassOf(p.Focus());
    Type(p, " typed");
    EXPECT_EQ(TextOf(box), "Half typed");
    EnterTask(p, "");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Half typed"), titles.end());
}

TEST(ExploreDockScenario, PanelsMovedAmongTheBarsAreDrawnAndTheNoteKeepsItsHeightFromTheSide) {
    TProgram p("dock-panels");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task", "Beta task"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND side = Panel(main, false);
    HWND note = Panel(main, true);
    ASSERT_NE(side, nullptr);
    ASSERT_NE(note, nullptr);

    // The side panel dragged by its tab strip in among the toolbars, then
    // the note panel above it: each is drawn where it lands, tabs and tree,
    // the "< New List >" strip and the note's caption.
    const RECT filters = RectOf(DockedBars(main).back());
    Drag(p, PanelCaptionPoint(side), POINT{(filters.left + filters.right) / 2 + 200, filters.bottom - 4});
    ASSERT_EQ(ClassOf(GetParent(side)), "TXtDock") << "the side panel did not join the bars";
    Shot(p, main, "dock-side-among-bars");
    const RECT tabs = RectOf(ChildrenOfClass(side, "TXtDockablePanelToolbar.UnicodeClass").front());
    EXPECT_LT(ShareOf(tabs, RGB(255, 255, 255)), 0.9) << "the side panel's tabs were not drawn";
    Drag(p, PanelCaptionPoint(note), POINT{(filters.left + filters.right) / 2, RectOf(DockedBars(main)[1]).bottom + 2});
    ASSERT_EQ(ClassOf(GetParent(note)), "TXtDock") << "the note panel did not join the bars";
    Shot(p, main, "dock-note-among-bars");
    const RECT noteCaption = RectOf(ChildrenOfClass(note, "TXtDockablePanelToolbar.UnicodeClass").front());
    EXPECT_LT(ShareOf(noteCaption, RGB(255, 255, 255)), 0.9) << "the note's caption was not drawn";
    const std::vector<HWND> strip = ChildrenOfClass(side, "TXtLabel.UnicodeClass");
    ASSERT_FALSE(strip.empty());
    EXPECT_LT(ShareOf(RectOf(strip.front()), RGB(255, 255, 255)), 0.99) << "the side panel's strip was not drawn";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Next start: the note panel dragged under the side panel and folded
    // there (Alt+Z). The height it is given across the window stays.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    side = Panel(main, false);
    note = Panel(main, true);
    const RECT sideRect = RectOf(side);
    Drag(p, PanelCaptionPoint(note), POINT{sideRect.left + 60, sideRect.bottom - 30});
    ASSERT_EQ(GetParent(note), GetParent(side)) << "the note panel did not join the side panel";
    Key(p, 'Z', Alt);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "Min"), "1");
    EXPECT_EQ(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), 80);

    // And the start after: the note unfolded below the list leaves the list
    // most of the window.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'Z', Alt);
    const RECT list = RectOf(ChildrenOfClass(main, "TGvListview").front());
    const RECT window = RectOf(main);
    EXPECT_GT(list.bottom - list.top, (window.bottom - window.top) / 2) << Describe(list);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreDockScenario, AListClickedInTheFloatingPanelThenLeftForTheQuickEntryKeepsItsName) {
    TProgram p("dock-tree-click");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    // The list "Work" (the row below "All") chosen, then its panel dragged
    // off to float by its tab strip.
    RECT tree = RectOf(ChildrenOfClass(main, "TUniTreeView.UnicodeClass").front());
    Click(p, POINT{tree.left + 60, tree.top + 36});
    Drag(p, PanelCaptionPoint(Panel(main, false)), POINT{tree.left + 660, tree.top + 200});
    ASSERT_NE(FloatingWindow(p), nullptr) << "the side panel did not float";
    // "Work" clicked once more there (the tree would rename it in a
    // moment), and New task (Ctrl+N) taking the keyboard to the quick-entry
    // box at once: what is typed there stays there, and the list keeps its
    // name.
    const std::vector<HWND> trees = ChildrenOfClass(FloatingWindow(p), "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    tree = RectOf(trees.front());
    Click(p, POINT{tree.left + 60, tree.top + 36});
    Key(p, 'N', Ctrl);
    Sleep(GetDoubleClickTime() + 300);
    Type(p, "Milk");
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    EXPECT_EQ(TextOf(p.Focus()), "Milk");
    Key(p, VK_ESCAPE);
    Key(p, 'S', Ctrl);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListsIn(p.DatabasePath()), std::vector<std::string>{"Work"});
}

TEST(ExploreDockScenario, PanelsSqueezedByASmallWindowComeBackWithItsRoomInThisRunAndTheNext) {
    TProgram p("dock-small-window");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    WriteFile(p.SettingsPath(), "[Org Panel]\r\nDockedWidth=250\r\n[Note Panel]\r\nDockedHeight=120\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT start = RectOf(main);
    const int sideWidth = RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left;
    const int noteHeight = RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top;
    // The window dragged by its corner as small as it goes and back: the
    // panels give the list room while it is small, and take the sizes they
    // had once it is large again.
    Drag(p, POINT{start.right - 2, start.bottom - 2}, POINT{start.left + 150, start.top + 100}, 8);
    const RECT small = RectOf(main);
    Drag(p, POINT{small.right - 2, small.bottom - 2}, POINT{start.right - 2, start.bottom - 2}, 8);
    EXPECT_EQ(RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left, sideWidth);
    EXPECT_EQ(RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top, noteHeight);
    // Left small: the next start has them back too once the window is as
    // large as before.
    Drag(p, POINT{start.right - 2, start.bottom - 2}, POINT{start.left + 150, start.top + 100}, 8);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniInt(p.SettingsPath(), "Org Panel", "DockedWidth"), 250);
    EXPECT_EQ(IniInt(p.SettingsPath(), "Note Panel", "DockedHeight"), 120);
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT again = RectOf(main);
    Drag(p, POINT{again.right - 2, again.bottom - 2}, POINT{again.left + 804, again.top + 500}, 8);
    Shot(p, main, "dock-small-window-again");
    EXPECT_EQ(RectOf(Panel(main, false)).right - RectOf(Panel(main, false)).left, sideWidth);
    EXPECT_EQ(RectOf(Panel(main, true)).bottom - RectOf(Panel(main, true)).top, noteHeight);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreDockScenario, TheQuickPanelsOfAFloatingQuickEntryBarOpenInsideTheWindow) {
    TProgram p("dock-quick-panels");
    HWND main = StartOnOneTask(p);
    ASSERT_NE(main, nullptr);
    const RECT window = RectOf(main);
    // The quick-entry bar floated below the window and left of it.
    const POINT grip = GripOf(DockedBars(main)[1]);
    Drag(p, grip, POINT{window.left - 200, window.bottom + 120});
    HWND floating = FloatingWindow(p);
    ASSERT_NE(floating, nullptr) << "the quick-entry bar did not float";
    ASSERT_GT(RectOf(floating).top, window.bottom) << Describe(RectOf(floating));
    // "[[" and ";;" typed after a title open the tags and the date panel:
    // each opens inside the window, whole.
    RECT client{};
    GetClientRect(main, &client);
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
    auto inside = [&](const RECT& r) {
        return r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom;
    };
    auto openPanel = [&] {
        for (HWND w : ChildrenOfClass(main, "TXtPanel.UnicodeClass"))
            if (GetParent(w) == main) return w;
        return HWND{};
    };
    Key(p, 'N', Ctrl);
    Type(p, "Buy milk[[");
    HWND tags = openPanel();
    ASSERT_NE(tags, nullptr) << "no tags panel";
    EXPECT_TRUE(inside(RectOf(tags))) << "the tags panel at " << Describe(RectOf(tags)) << " outside "
                                      << Describe(client);
    Key(p, VK_ESCAPE);
    Type(p, ";;");
    HWND date = openPanel();
    ASSERT_NE(date, nullptr) << "no date panel";
    EXPECT_TRUE(inside(RectOf(date))) << "the date panel at " << Describe(RectOf(date)) << " outside "
                                      << Describe(client);
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

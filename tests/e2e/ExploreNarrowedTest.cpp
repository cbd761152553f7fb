// Commands given while the task list is narrowed by the find box and a
// filter: a command that changes tasks the list does not show (a tag
// joined to the chosen one) or takes a shown task out of the filter (a
// tick with done tasks hidden) leaves the next search or regrouping
// showing exactly the tasks that pass, however the search reuses what it
// found before.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/BarItemsSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// The "Tags" tab on the side panel's title bar.
POINT TagsTabPoint(HWND main) {
    for (HWND w : ChildrenOfClass(main, "TXtDockablePanelToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300) return {RectOf(w).left + 86, RectOf(w).top + 11};
    return {};
}

// Shows the tags in the side tree and chooses Tag.
void ChooseTag(const TProgram& p, const TMainWindowParts& parts, const std::string& tag) {
    Click(p, TagsTabPoint(parts.Main));
    ClickNode(p, parts.Tree, tag);
}

// Whether the list shows First at its top and Last at its end, chosen
// with Home and End from the keyboard (the note panel's caption names the
// task chosen); Seen gets the names read.
bool ShowsFromTo(const TProgram& p, const TMainWindowParts& parts, const std::string& first, const std::string& last,
                 std::string& seen) {
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_END);
    Key(p, VK_DOWN);    // the keyboard goes to the list
    Key(p, VK_HOME);
    std::string top, end;
    const bool topRight = WaitUntil([&] { return (top = parts.ChosenTask()) == first; }, 3000);
    Key(p, VK_END);
    const bool endRight = WaitUntil([&] { return (end = parts.ChosenTask()) == last; }, 3000);
    seen = top + " .. " + end;
    return topRight && endRight;
}

// The dark pixels of each entry of the list menu that Ctrl+L opens, by
// the entry's name; the menu is closed again. The chosen list's entry is
// bold: it has more of them than it has plain.
std::map<std::string, int> InkOfListMenuEntries(TProgram& p) {
    const TComScope com;
    std::map<std::string, int> ink;
    Key(p, 'L', Ctrl);
    if (WaitUntil([&] { return !PopupMenus(p).empty(); }, 3000)) {
        p.Settle();
        for (const TBarItem& item : ItemsOf(PopupMenus(p).front())) {
            if (item.Name.empty() || !item.Visible) continue;
            int& dark = ink[item.Name];
            for (COLORREF c : PixelsOf(item.Place)) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
        }
    }
    Key(p, VK_ESCAPE);
    return ink;
}

} // namespace

TEST(ExploreNarrowedScenario, ASearchAfterATagJoinOrATickShowsExactlyTheTasksThatPass) {
    TProgram p("narrowed-join");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    // The tag "diy" chosen and "p" searched: Fix the tap, Paint the fence.
    ChooseTag(p, parts, "diy");
    Key(p, 'F', Ctrl);
    Type(p, "p");
    std::string seen;
    EXPECT_TRUE(ShowsFromTo(p, parts, "Fix the tap", "Paint the fence", seen)) << seen;
    // "office" renamed to "diy" joins it: its two tasks, which the list did
    // not show, now carry the chosen tag, and "pl" finds one of them.
    ClickNode(p, parts.Tree, "office");
    Key(p, VK_RETURN);
    Type(p, "diy");
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree).find("office") == std::string::npos; }, 3000))
        << Texts(p, parts.Tree);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_END);
    Type(p, "l");
    EXPECT_TRUE(ShowsFromTo(p, parts, "Plan the budget", "Plan the budget", seen)) << seen;

    // Done tasks hidden, every tag, "b" searched: Call the bank, Plan the
    // budget, Buy milk. The first ticked with Space stays until the list
    // is built again; grouping by tags builds it without the done task.
    ClickNode(p, parts.Tree, "All");
    Key(p, 'D', Ctrl);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_BACK);
    Key(p, VK_BACK);
    Type(p, "b");
    EXPECT_TRUE(ShowsFromTo(p, parts, "Call the bank", "Buy milk", seen)) << seen;
    Key(p, VK_HOME);
    Key(p, VK_SPACE);
    Key(p, 'T', Alt);
    EXPECT_TRUE(ShowsFromTo(p, parts, "Plan the budget", "Buy milk", seen)) << "the ticked task stays: " << seen;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> ticked = SavedTask(ReadFile(p.DatabasePath()), "Call the bank");
    ASSERT_GE(ticked.size(), 2u);
    EXPECT_EQ(ticked[1], "-d-") << "the tick was not saved";
}

// The list menu (Ctrl+L) marks the chosen list in bold. The chosen list
// moved up in the side tree (Ctrl+Up) left the mark on the list that took
// its old place, while the filter bar and the tasks shown still named the
// moved one.
TEST(ExploreNarrowedScenario, TheListMenuMarksTheChosenListAfterItMoved) {
    TProgram p("narrowed-moved-list");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Key(p, 'F', Ctrl);
    Type(p, "b");
    ClickNode(p, parts.Tree, "Shop");
    const std::map<std::string, int> before = InkOfListMenuEntries(p);
    ASSERT_GT(before.at("Shop"), 0);
    ASSERT_GT(before.at("Home"), 0);
    Key(p, VK_UP, Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|Work|Shop*|Home"; }, 3000))
        << Texts(p, parts.Tree);
    const std::map<std::string, int> after = InkOfListMenuEntries(p);
    EXPECT_EQ(after.at("Shop"), before.at("Shop")) << "the chosen list lost its mark";
    EXPECT_EQ(after.at("Home"), before.at("Home")) << "the list below it took the mark";
    EXPECT_EQ(TextOf(parts.TopEdit), "b");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A tag chosen and then let go with Ctrl+click leaves no tag chosen in
// the tree, but the list went on showing that tag's tasks alone; and the
// tree's keyboard place stayed on the tag: Delete took it off every task
// without a word, and Ctrl+Up moved it. The list follows the tree, and
// keys act on a chosen tag only.
TEST(ExploreNarrowedScenario, KeysLeaveATagAloneThatWasLetGo) {
    TProgram p("narrowed-tag-let-go");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ChooseTag(p, parts, "food");
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|diy|food*|money|office|phone"; }, 3000))
        << Texts(p, parts.Tree);
    Sleep(GetDoubleClickTime() + 50);
    for (const TNodeInfo& n : Nodes(p, parts.Tree))
        if (n.Text == "food") Click(p, Middle(n.Rect), Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, parts.Tree) == "All|diy|food|money|office|phone"; }, 3000))
        << Texts(p, parts.Tree);
    std::string seen;
    EXPECT_TRUE(ShowsFromTo(p, parts, "Write report", "Order a lamp", seen)) << "no tag chosen: " << seen;
    Key(p, VK_LEFT);    // the keyboard goes back to the tree
    ASSERT_EQ(p.Focus(), parts.Tree);
    Key(p, VK_DELETE);
    Key(p, VK_UP, Ctrl);
    p.Settle();
    EXPECT_EQ(Texts(p, parts.Tree), "All|diy|food|money|office|phone");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("diy\r\nfood\r\nmoney\r\n"), std::string::npos) << "the tag food was deleted or moved";
    EXPECT_NE(file.find("[food]Buy milk"), std::string::npos) << "Buy milk lost its tag";
}

} // namespace qelvo::e2e

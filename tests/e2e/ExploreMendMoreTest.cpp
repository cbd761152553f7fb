// Faults a user could reach, left over from earlier rounds and found
// again in the real program: the list menu over a list without a name.
#include <gtest/gtest.h>

#include "e2e/BarItemsSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// A database an older version left with a list without a name first, then
// Home (the task "Fix the tap") and Work (the task "Plan").
std::string NamelessListDatabase() {
    const std::string sep = "\xF7", eol = "\r\n";
    return "d_id-0123456789" + eol + sep + "1" + sep + eol + "Home" + sep + "3" + sep + eol + "Work" + sep + "0" +
           sep + eol + "<--<*&^Folders^&*>-->" + eol + "<--<*&^Tags^&*>-->" + eol + "Fix the tap" + sep + "--" +
           sep + "1000000001" + sep + "Home" + sep + "1/2/2025" + sep + sep + eol + "Plan" + sep + "--" + sep +
           "1000000002" + sep + "Work" + sep + "1/2/2025" + sep + sep + eol;
}

// Chooses the list Name in the list menu (Ctrl+L) with a click.
void ChooseInListMenu(TProgram& p, const std::string& name) {
    Key(p, 'L', Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return !PopupMenus(p).empty(); }, 3000)) << "no list menu";
    const TBarItem item = ItemNamed(PopupMenus(p).front(), name);
    ASSERT_TRUE(item.Visible) << "no item " << name;
    Click(p, Middle(item.Place));
    EXPECT_TRUE(WaitUntil([&] { return PopupMenus(p).empty(); }, 3000));
}

} // namespace

// The list menu lists what the side tree lists. A list without a name,
// which the tree leaves out, took a row of the menu, and every list after
// it chose the tree's next node: Home chose Work; the last list chose
// nothing. Moving a task (Shift+L) offered the empty row too, which took
// the task out of every list.
TEST(MendScenario, TheListMenuChoosesTheListItShowsBesideANamelessList) {
    TProgram p("mend-nameless-list-menu");
    HWND main = StartOn(p, NamelessListDatabase());
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Home|Work");

    TComScope com;
    ChooseInListMenu(p, "Home");
    EXPECT_EQ(Texts(p, tree), "All|Home*|Work") << "Home chose another list";
    ChooseInListMenu(p, "Work");
    EXPECT_EQ(Texts(p, tree), "All|Home|Work*") << "Work chose another list";
    ChooseInListMenu(p, "All");
    EXPECT_EQ(Texts(p, tree), "All*|Home|Work");

    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, 'L', Shift);
    ASSERT_TRUE(WaitUntil([&] { return !PopupMenus(p).empty(); }, 3000)) << "no Move To List menu";
    std::string names;
    for (const TBarItem& item : ItemsOf(PopupMenus(p).front())) names += item.Name + "|";
    EXPECT_EQ(names, "Home|Work|");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

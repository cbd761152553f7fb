// Faults a user could reach, left over from earlier rounds and found
// again in the real program: the list menu's mark of the chosen list.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// The dark pixels of the first row ("All") of the list menu that Ctrl+L
// opens; the menu is closed again. Bold letters have more of them.
int InkOfAllInListMenu(TProgram& p) {
    Key(p, 'L', Ctrl);
    int dark = -1;
    if (WaitUntil([&] { return !PopupMenus(p).empty(); }, 3000)) {
        p.Settle();
        Sleep(150);
        const RECT menu = RectOf(PopupMenus(p).front());
        const RECT row{menu.left + 2, menu.top + 3, menu.right - 2, menu.top + 20};
        dark = 0;
        for (COLORREF c : PixelsOf(row)) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 100;
    }
    Key(p, VK_ESCAPE);
    return dark;
}

} // namespace

// The list menu (Ctrl+L) shows the chosen list in bold. A list whose name
// is longer than the 50 characters a task keeps, chosen, lost its mark to
// "All" once the side tree was built again (here after another list was
// joined to it by a rename).
TEST(MendScenario, TheListMenuMarksAChosenListWithALongName) {
    TProgram p("mend-long-list-menu");
    const std::string sep = "\xF7", eol = "\r\n", longName(60, 'L');
    WriteFile(p.DatabasePath(), "d_id-0123456789" + eol + "Work" + sep + "0" + sep + eol + longName + sep + "2" +
                                    sep + eol + "<--<*&^Folders^&*>-->" + eol + "<--<*&^Tags^&*>-->" + eol +
                                    "Plan" + sep + "--" + sep + "1000000001" + sep + "Work" + sep + "1/2/2025" +
                                    sep + sep + eol);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    const int bold = InkOfAllInListMenu(p);
    ClickNode(p, tree, longName);
    const int plain = InkOfAllInListMenu(p);
    ASSERT_GT(bold, plain) << "All chosen is not told from All not chosen";

    Sleep(GetDoubleClickTime() + 50);
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    Type(p, longName);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All|" + longName + "*"; }, 3000)) << Texts(p, tree);
    EXPECT_EQ(InkOfAllInListMenu(p), plain) << "All is marked while the long list is chosen";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

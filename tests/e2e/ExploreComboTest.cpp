// Features meeting while one of them is under way, found faulty by
// exploring the real program: a title being typed meets a command chosen
// from a menu opened with the keys.
#include <gtest/gtest.h>

#include "e2e/PreparedDatabase.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Opens the title editor on task Index of the first group and types Title
// over the title.
void TypeTitle(TProgram& p, const TMainWindowParts& parts, int index, const std::string& title) {
    Click(p, parts.ListItem(index));
    Key(p, VK_F2);
    ASSERT_EQ(ClassOf(p.Focus()), "TGvEdit") << "no title editor opened";
    Type(p, title);
}

// A tap of Alt, then the menu bar's letter: the menu opens at its first entry.
void OpenMenuByKeys(TProgram& p, WORD letter) {
    Key(p, VK_MENU);
    Key(p, letter);
    ASSERT_FALSE(PopupMenus(p).empty()) << "no menu opened for " << char(letter);
}

} // namespace

// A menu opened with the keys (a tap of Alt and a menu's letter, or Alt
// held with the letter) left the title editor open, as the keyboard had
// not left it; a command chosen there that fills the task list anew (Hide
// Done, Count Items, the Options dialog's OK) dropped the editor and the
// title typed in it, which a click on the menu bar or the command's own
// shortcut would have taken first.
TEST(ExploreComboScenario, ATitleBeingTypedIsKeptByACommandFromAMenuOpenedWithTheKeys) {
    TProgram p("combo-title-menu-keys");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // View > Hide Done (the second entry).
    TypeTitle(p, parts, 1, "Ring the bank");
    OpenMenuByKeys(p, 'V');
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.ChosenTask(), "Ring the bank") << "the title typed before Hide Done was dropped";

    // Alt+V held with its letter, then Count Items (the fourth entry).
    TypeTitle(p, parts, 0, "Write the report");
    Key(p, 'V', Alt);
    ASSERT_FALSE(PopupMenus(p).empty()) << "no menu opened for Alt+V";
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.ChosenTask(), "Write the report") << "the title typed before Count Items was dropped";

    // Tools > Options... (the last entry), OK.
    TypeTitle(p, parts, 2, "Plan the whole budget");
    OpenMenuByKeys(p, 'O');
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    const TOptionsDialog dialog = WaitOptionsDialog(p);
    ASSERT_NE(dialog.Window, nullptr);
    Click(p, CenterOf(dialog.Ok));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(dialog.Window); }));
    p.Settle();
    EXPECT_NE(ClassOf(p.Focus()), "TGvEdit") << "the editor kept the keyboard";
    if (ClassOf(p.Focus()) == "TGvEdit") Key(p, VK_ESCAPE);
    Click(p, parts.ListItem(2));
    EXPECT_EQ(parts.ChosenTask(), "Plan the whole budget") << "the title typed before the options was dropped";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Ring the bank"), "") << "the title typed before Hide Done is not saved";
    EXPECT_NE(TaskLine(file, "Plan the whole budget"), "") << "the title typed before the options is not saved";
    EXPECT_NE(TaskLine(file, "Write the report"), "") << "the title typed before Count Items is not saved";
    EXPECT_EQ(TaskLines(file).size(), 10u);
}

} // namespace qelvo::e2e

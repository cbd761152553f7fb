// A day of use: quick entry in both modes, titles edited in place, the
// lists panel, several tasks moved at once, and the commands a user gives
// while a title is still being edited.
#include <gtest/gtest.h>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(ExploreDayScenario, QuickEntryTokensFindModeAndSeveralTasksMoved) {
    TProgram p("day-quick-entry");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));    // Work
    // ";;" opens the date panel with its calendar; Esc closes the calendar,
    // Enter writes today's token and gives the keyboard back to the edit.
    Key(p, 'N', Ctrl);
    Type(p, "+Buy bread;;");
    EXPECT_EQ(ClassOf(p.Focus()), "SysMonthCal32");
    Key(p, VK_ESCAPE);
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TextOf(parts.TopEdit), "+;t;Buy bread");
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "");
    // "[[" opens the tags panel; two tags typed there become the token.
    Type(p, "Milk [[");
    Type(p, "home, fresh");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TextOf(parts.TopEdit), "[home,fresh]Milk ");
    Key(p, VK_RETURN);

    // Find mode: Enter adds nothing, Down reaches the one task found, whose
    // title is edited; New task brings every task back.
    Key(p, 'F', Ctrl);
    Type(p, "rep");
    Key(p, VK_RETURN);
    Key(p, VK_DOWN);
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, VK_RETURN);
    Type(p, "Read book");
    Key(p, VK_RETURN);
    Key(p, 'N', Ctrl);

    // The first two tasks, selected with Shift+Down, go to Home at once.
    Click(p, parts.ListItem(0));
    Key(p, VK_DOWN, Shift);
    Key(p, 'L', Shift);
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom"))[3], "Home");
    EXPECT_EQ(Fields(TaskLine(file, "Read book"))[3], "Home");
    EXPECT_EQ(Fields(TaskLine(file, "Buy bread"))[0], "+;" + FileDate(0) + ";Buy bread");
    EXPECT_EQ(Fields(TaskLine(file, "Milk"))[0], "[home,fresh]Milk");
    EXPECT_EQ(Fields(TaskLine(file, "Milk"))[3], "Work");
    EXPECT_NE(file.find("\r\nfresh\r\n"), std::string::npos) << "the new tag was not listed";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreDayScenario, CommandsGivenWhileATitleIsEditedTakeTheTitle) {
    TProgram p("day-commands-while-editing");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // A click on the header takes the title being typed.
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    Type(p, "Call Tim");
    const RECT list = RectOf(parts.List);
    Click(p, POINT{list.left + 100, list.top + 8});
    EXPECT_EQ(p.Focus(), parts.List);

    // Save while typing a title: the title typed is saved, and typing goes on
    // in the list.
    Click(p, parts.ListItem(1));
    Key(p, VK_RETURN);
    Type(p, "Write memo");
    Key(p, 'S', Ctrl);
    EXPECT_EQ(p.Focus(), parts.List) << "the editor stayed open";
    EXPECT_NE(TextOf(main).find("[Last Save at"), std::string::npos) << TextOf(main);
    std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "+Call Tim"), "") << file;
    EXPECT_NE(TaskLine(file, "Write memo"), "") << file;

    // Grouping by date (Alt+D) while typing takes the title, and so does
    // Exit and save.
    Key(p, VK_RETURN);
    Type(p, "Write letter");
    Key(p, 'D', Alt);
    EXPECT_EQ(p.Focus(), parts.List);
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    Type(p, "Post letter");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Write letter"), "") << file;
    EXPECT_NE(TaskLine(file, "Post letter"), "") << file;
    EXPECT_EQ(IniValue(p.SettingsPath(), "Others", "Group M"), "2");
}

TEST(ExploreDayScenario, TabTakesTheTitleAndEditsTheNextTaskOrTheOneBefore) {
    TProgram p("day-tab-between-titles");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));    // Book the ferry, alone in Holidays
    Key(p, VK_RETURN);
    Type(p, "Book the night ferry");
    // Tab goes on to the first task of the next group, Ctrl+Tab back.
    Key(p, VK_TAB);
    EXPECT_EQ(TextOf(p.Focus()), "Call the plumber");
    Type(p, "Call the electrician");
    Key(p, VK_TAB, Ctrl);
    EXPECT_EQ(TextOf(p.Focus()), "Book the night ferry");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "ferry"))[0], "+;7/14/2031;Book the night ferry");
    EXPECT_EQ(Fields(TaskLine(file, "Call the"))[0], "[phone]Call the electrician");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A click on the selected task asks for its title to be edited after a
// pause; by then the user may have gone on.
TEST(ExploreDayScenario, AClickToEditDoesNotTakeTheKeysOfWhatCameAfterIt) {
    TProgram p("day-click-to-edit-later");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    auto armEdit = [&] {
        Click(p, parts.ListItem(1));
        Sleep(700);    // a second click, not a double-click
        Click(p, parts.ListItem(1));
    };
    const DWORD pastTheEditsPause = 3400;

    // The deletion question stays answerable from the keyboard.
    armEdit();
    Key(p, VK_DELETE);
    HWND question = p.WaitDialog();
    ASSERT_NE(question, nullptr);
    Sleep(pastTheEditsPause);
    Key(p, 'N');
    EXPECT_TRUE(p.NoDialogFor(300)) << "the question took no key";
    EXPECT_EQ(p.Focus(), parts.List);

    // Typing a search goes on in the search box.
    armEdit();
    Key(p, 'F', Ctrl);
    Type(p, "rep");
    Sleep(pastTheEditsPause);
    Type(p, "ort");
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TextOf(parts.TopEdit), "report");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(TaskLine(ReadFile(p.DatabasePath()), "Write report"), "");
}

} // namespace qelvo::e2e

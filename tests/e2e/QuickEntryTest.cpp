// The quick-entry bar as a user meets it: every token form typed, the
// date and tags panels opened from the "Add:" menu and by the double keys,
// the calendar of the date panel worked with the keyboard, and what the
// saved file holds afterwards.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(QuickEntryScenario, EveryTokenFormReachesTheSavedFile) {
    TProgram p("quick-entry-tokens");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    ASSERT_EQ(TextOf(parts.TopEdit), "< new task >");
    Click(p, parts.TreeRow(1));  // "Work"

    // "Add:" > "Set Due Date" while the placeholder shows: the calendar
    // drops down on today, day-first as the list shows dates; Right moves
    // it a day, Enter writes the token alone and closes the calendar.
    Click(p, parts.AddButton());
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    HWND picker = TMainWindowParts::First(ChildrenOfClass(main, "TDateTimePicker"));
    ASSERT_NE(picker, nullptr) << "no date panel";
    EXPECT_EQ(VisibleTops(p, "SysMonthCal32").size(), 1u) << "the calendar did not drop down";
    EXPECT_EQ(TextOf(picker), ShownDate(0));
    Key(p, VK_RIGHT);
    EXPECT_EQ(TextOf(picker), ShownDate(1)) << "Right did not move the date";
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), ";t1;") << "the placeholder became task text";
    EXPECT_TRUE(VisibleTops(p, "SysMonthCal32").empty()) << "the calendar stayed after its panel closed";
    EXPECT_FALSE(IsWindowVisible(picker));
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Type(p, "Buy milk");
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "");

    // Typed tokens: priority marks, relative and absolute dates, tags.
    Type(p, "+;t;[home,urgent]Pay rent");
    Key(p, VK_RETURN);
    Type(p, "-;25/12/2030;Xmas cards");
    Key(p, VK_RETURN);

    // ";;" opens the date panel with the calendar down: Down is a week on.
    Type(p, "Read book;;");
    ASSERT_TRUE(IsWindowVisible(picker)) << "\";;\" did not open the date panel";
    EXPECT_EQ(VisibleTops(p, "SysMonthCal32").size(), 1u);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), ";" + ShownDate(7) + ";Read book");
    EXPECT_TRUE(VisibleTops(p, "SysMonthCal32").empty());
    // "[[" opens the tags panel on the tags edit.
    Type(p, "[[");
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    EXPECT_NE(p.Focus(), parts.TopEdit) << "\"[[\" did not open the tags panel";
    Type(p, "home");
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "[home];" + ShownDate(7) + ";Read book");
    Key(p, VK_RETURN);

    // "Add:" > "Priority" > "High" puts the mark in front.
    Type(p, "Urgent fix");
    Click(p, parts.AddButton());
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "+Urgent fix");
    Key(p, VK_RETURN);

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk")).at(0), ";" + FileDate(1) + ";Buy milk");
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk")).at(3), "Work");
    EXPECT_EQ(Fields(TaskLine(file, "Pay rent")).at(0), "+;" + FileDate(0) + ";[home,urgent]Pay rent");
    EXPECT_EQ(Fields(TaskLine(file, "Xmas cards")).at(0), "-;12/25/2030;Xmas cards");
    EXPECT_EQ(Fields(TaskLine(file, "Read book")).at(0), ";" + FileDate(7) + ";[home]Read book");
    EXPECT_EQ(Fields(TaskLine(file, "Urgent fix")).at(0), "+Urgent fix");
    EXPECT_EQ(TaskLine(file, "new task"), "") << "a placeholder task was added";
    EXPECT_EQ(TaskLines(file).size(), 7u) << file;
    EXPECT_NE(file.find("\r\nurgent\r\n<--<*&^Tags^&*>-->"), std::string::npos) << "the new tag was not kept";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(QuickEntryScenario, TextTheFileCannotHoldIsKeptWithAWord) {
    TProgram p("quick-entry-unsavable");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));  // "Work"
    Click(p, CenterOf(parts.TopEdit));

    // Chinese and an emoji stay in the edit as typed; Enter says they
    // cannot be saved instead of adding "????".
    const std::wstring typed = L"\u4f60\u597d tea \U0001F375";
    Type(p, typed);
    EXPECT_EQ(WideTextOf(parts.TopEdit), typed);
    Key(p, VK_RETURN);
    HWND box = p.WaitDialog(3000);
    ASSERT_NE(box, nullptr) << "the task was taken without a word";
    EXPECT_EQ(TextOf(box), "Qelvo");
    EXPECT_NE(ChildTexts(box).find("cannot save"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);
    EXPECT_EQ(WideTextOf(parts.TopEdit), typed) << "the typed text was lost";
    EXPECT_EQ(p.Focus(), parts.TopEdit);

    // Once changed to what the file holds, the task goes in.
    Key(p, VK_HOME);
    Key(p, VK_END, Shift);
    Type(p, "Green tea");
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "tea")).at(0), "Green tea") << file;
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

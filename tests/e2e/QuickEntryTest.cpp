// The quick-entry bar: tasks typed with every token form (dates, tags,
// priority, list), the date and tags panels it opens, text the file cannot
// hold, a task before any list exists, a new task brought into sight, and
// tasks typed ahead while the first is still going in.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

TEST(QuickEntryScenario, TagsPastedIntoTheTagsPanelLeaveTheQuickEntryMarksOut) {
    TProgram p("clipboard-tags");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));  // Work: Enter adds there
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Buy milk");
    Key(p, VK_HOME);
    Type(p, "[[");
    const HWND tagsEdit = p.Focus();
    ASSERT_NE(tagsEdit, parts.TopEdit) << "no tags panel";

    // The marks typed are swallowed; pasted they are left out too (they
    // went in, and the new task's title began with the tags after "]").
    PutOnClipboard(L"x]y;z[w, two");
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(tagsEdit), "xyzw, two");
    Type(p, "s");
    EXPECT_EQ(TextOf(tagsEdit), "xyzw, twos") << "the caret moved";
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "[xyzw,twos]Buy milk");
    Key(p, VK_RETURN);

    // The tags of a task in the list, edited with Shift+T: the same.
    Click(p, parts.ListItem(0));
    Key(p, 'T', Shift);
    Key(p, VK_UP);  // from the tags to the edit
    PutOnClipboard(L"[home];");
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(p.Focus()), "home");
    Key(p, VK_RETURN);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk")).at(0), "[xyzw,twos]Buy milk");
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(0), "+[home]Call Tom");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(QuickEntryScenario, QuickEntryTokensFindModeAndSeveralTasksMoved) {
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
    SaveByKeys(p);
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

namespace {

// The task shown in the list's lowest row: a click on each row from the
// bottom up until one chooses a task ("Note" when none did).
std::string TaskInLowestRow(TProgram& p, const TMainWindowParts& parts) {
    const RECT list = RectOf(parts.List);
    for (int y = list.bottom - 13; y > list.top + 30; y -= 23) {
        Sleep(GetDoubleClickTime() + 50);
        Click(p, POINT{list.left + 150, y});
        if (parts.ChosenTask() != "Note") return parts.ChosenTask();
    }
    return parts.ChosenTask();
}

} // namespace

// A task added from the quick-entry bar goes last in its list or group,
// below the rows the list shows once it has a few tasks: the list stayed
// where it was (a grouped one at its top), so Enter seemed to do nothing.
// The new task is now scrolled into sight, grouped or not, the keyboard
// staying in the box for the next task.
TEST(QuickEntryScenario, ATaskAddedBelowTheRowsShownComesIntoSight) {
    TProgram p("entry-in-sight");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);

    // Grouped by list with every list shown, Shop's group lies below the
    // rows shown: Enter opens the lists menu, Up takes its last, Shop.
    Click(p, CenterOf(parts.TopEdit));
    Type(p, std::string("Buy stamps"));
    Key(p, VK_RETURN);
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), "");
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TaskInLowestRow(p, parts), "Buy stamps") << "the task added to Shop is out of sight";

    // Not grouped (Alt+L takes the grouping by list off): the task goes
    // last.
    Key(p, 'L', Alt);
    Click(p, CenterOf(parts.TopEdit));
    for (const char* title : {"Buy envelopes", "Buy a pen", "Post the letters"}) {
        Type(p, std::string(title));
        Key(p, VK_RETURN);
        Key(p, VK_UP);
        Key(p, VK_RETURN);
    }
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TaskInLowestRow(p, parts), "Post the letters") << "the task added last is out of sight";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Post the letters")).at(3), "Shop");
}

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

    SaveByKeys(p);
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
    HWND box = p.WaitDialog();
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
    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "tea")).at(0), "Green tea") << file;
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(QuickEntryScenario, TheFirstTaskTypedBeforeAnyListIsKeptWithAWord) {
    TProgram p("use-no-list");
    WriteFile(p.DatabasePath(), "d_id-0123456789\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Enter with no list to put the task in: the user is told why, and
    // the text stays for the list to come.
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Buy stamps");
    Key(p, VK_RETURN);
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "nothing happened and nothing was said";
    EXPECT_NE(ChildTexts(box).find("< New List >"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TextOf(parts.TopEdit), "Buy stamps");
    // With a list made, the same Enter offers it.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "Errands");
    Key(p, VK_RETURN);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, VK_END);
    Key(p, VK_RETURN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Buy stamps")).at(3), "Errands");
}

// The calendar that ";;" drops down wrote its "Today:" line in the
// system's short date form, month first under the usual setting ("Today:
// 12/10/2026" on 10 December) while every date of the program, the
// picker's above it too, reads day first. Its line now follows the
// program: the calendar shows the same pixels whether the system writes
// dates day first or year first.
TEST(QuickEntryScenario, CalendarWritesTodayAsTheProgramDoes) {
    const char* const systemForms[] = {"dd/MM/yyyy", "yyyy/MM/dd"};
    std::vector<COLORREF> shown[2];
    SYSTEMTIME day[2]{};
    for (int run = 0; run < 2; ++run) {
        TRegistryValues regional;
        SetRegional(regional, {{"sShortDate", systemForms[run]}, {"sDate", "/"}});
        TProgram p(run == 0 ? "quick-entry-today-day-first" : "quick-entry-today-year-first");
        HWND main = StartOnTwoLists(p);
        ASSERT_NE(main, nullptr);
        TMainWindowParts parts(main);
        Key(p, 'N', Ctrl);
        Type(p, "Call;;");
        HWND picker = TMainWindowParts::First(ChildrenOfClass(main, "TDateTimePicker"));
        ASSERT_NE(picker, nullptr) << "no date panel";
        EXPECT_EQ(TextOf(picker), ShownDate(0));
        ASSERT_TRUE(WaitUntil([&] { return VisibleTops(p, "SysMonthCal32").size() == 1; }))
            << "the calendar did not drop down";
        const HWND calendar = VisibleTops(p, "SysMonthCal32").front();
        GetLocalTime(&day[run]);
        Shot(p, calendar, run == 0 ? "calendar-today-day-first" : "calendar-today-year-first");
        shown[run] = PixelsOf(RectOf(calendar));
        Key(p, VK_ESCAPE);
        Key(p, VK_ESCAPE);
        EXPECT_EQ(p.Focus(), parts.TopEdit);
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
    }
    if (day[0].wDay != day[1].wDay) GTEST_SKIP() << "midnight came between the two starts";
    ASSERT_FALSE(shown[0].empty());
    EXPECT_TRUE(shown[0] == shown[1]) << "the calendar wrote today as the system does, not as the program";
}

} // namespace qelvo::e2e

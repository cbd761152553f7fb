// Due dates as a user gives them, found faulty by exploring the real
// program: dates typed that the file cannot keep, the picker at the last
// day of the calendar, Shift held after Shift+D, and a panel open on the
// chosen task when midnight passes.
#include <gtest/gtest.h>

#include <utility>

#include "e2e/ClockSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// A database of the lists "Work" (empty) and "Home", whose tasks are due
// on the given days (file form, "" for none).
std::string DueDatabase(const std::vector<std::pair<std::string, std::string>>& homeTasks) {
    const std::string sep = "\xF7", eol = "\r\n";
    std::string text = "d_id-4711471148" + eol + "Work" + sep + "0" + sep + eol + "Home" + sep + "1" + sep + eol +
                       "<--<*&^Folders^&*>-->" + eol + "<--<*&^Tags^&*>-->" + eol;
    int id = 1;
    for (const auto& [title, due] : homeTasks)
        text += (due.empty() ? "" : ";" + due + ";") + title + sep + "--" + sep + "000000000" + std::to_string(id++) +
                sep + "Home" + sep + "1/2/2025" + sep + sep + eol;
    return text;
}

// The short form (priority, due date, tags, title) of the saved task whose
// title part holds Title ("" when there is none).
std::string ShortFormOf(const std::string& file, const std::string& title) {
    const std::vector<std::string> fields = Fields(TaskLine(file, title));
    return fields.empty() ? std::string() : fields[0];
}

} // namespace

// Dates the file cannot keep (a year of 1901 or before, a day past the
// calendar) counted as overdue dates while the program ran, with an empty
// Due cell, outside "Without date set", and were gone after the next save.
// The picker refused the last day of the calendar with the time of day and
// OK took today instead; Shift held after Shift+D toggled the date's check
// box with each repeat, and OK then took the date away; a panel open on a
// task stayed, its OK doing nothing, once a shortcut refreshed the list.
TEST(DueEntryScenario, DatesAreKeptAsTheFileKeepsThem) {
    TProgram p("dates-entry");
    WriteFile(p.DatabasePath(), DueDatabase({{"Far future", "12/31/9999"}, {"Year 2038", "1/19/2038"}}));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // Into Work, dates that count as none and two that are dates.
    Click(p, parts.TreeRow(1));
    for (const char* text : {";1/1/1902;Year 1902", ";1/1/1900;Year 1900", ";31/12/1901;Year 1901",
                             ";t-50000;Long ago", ";t4000000;Far off", ";29/2/2024;Leap day", ";31/02/2025;No such day"}) {
        Key(p, 'N', Ctrl);
        Type(p, text);
        Key(p, VK_RETURN);
    }
    // A date and tags with no title are refused with a word, and the text
    // stays: the task made of them had an empty title, so the list never
    // showed it, yet it was saved with every save.
    Key(p, 'N', Ctrl);
    Type(p, "+;t;[ab]");
    Key(p, VK_RETURN);
    if (HWND box = p.WaitDialog(3000)) {
        EXPECT_NE(ChildTexts(box).find("title"), std::string::npos) << ChildTexts(box);
        Key(p, VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    } else {
        ADD_FAILURE() << "a task without a title went in without a word";
    }
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_EQ(TextOf(parts.TopEdit), "+;t;[ab]");
    // "Without date set" shows every task whose date went, in the order
    // they were made; "Overdue" shows only the two dates.
    Key(p, '0', Ctrl);
    const char* undated[] = {"Year 1900", "Year 1901", "Long ago", "Far off", "No such day"};
    for (int i = 0; i < 5; ++i) {
        Click(p, parts.ListItem(i));
        EXPECT_EQ(parts.NoteCaption(), std::string("No note - ") + undated[i]) << "row " << i;
    }
    Key(p, 'O', Ctrl);
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.NoteCaption(), "No note - Leap day");
    Click(p, parts.ListItem(2));
    EXPECT_EQ(parts.NoteCaption(), "Note") << "more overdue tasks than dates";

    // The picker opened by ";;" shows the last day of the calendar, which
    // Enter keeps.
    Key(p, 'N', Ctrl);
    Type(p, ";31/12/9999;Last day;;");
    Key(p, VK_ESCAPE);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), ";31/12/9999;Last day");
    // A day that counts as none starts it at today, not at the day it
    // showed last.
    Key(p, 'N', Ctrl);
    Type(p, ";1/1/1700;Long long ago;;");
    Key(p, VK_ESCAPE);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(parts.TopEdit), ";t;Long long ago");
    Key(p, VK_ESCAPE);

    // In Home: Shift+D and Enter keep 31 December 9999; Shift held after
    // Shift+D (five repeats) leaves the date checked.
    Click(p, parts.TreeRow(2));
    Key(p, 'A', Ctrl);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Far future");
    Key(p, 'D', Shift);
    Key(p, VK_RETURN);
    Click(p, parts.ListItem(1));
    KeyDown(p, VK_SHIFT);
    Key(p, 'D');
    for (int i = 0; i < 5; ++i) KeyDown(p, VK_SHIFT);
    KeyUp(p, VK_SHIFT);
    Key(p, VK_RETURN);

    // A grouping or a filter chosen by its shortcut while a panel is open
    // on the chosen task closes the panel as Esc does: the refresh takes
    // the task from the selection, and the panel's Enter found none.
    Key(p, 'T', Shift);
    Key(p, VK_UP);
    Type(p, "abc");
    Key(p, 'D', Alt);
    EXPECT_EQ(p.Focus(), parts.List) << "the tags panel stayed open";
    Key(p, 'L', Alt);
    Click(p, parts.ListItem(1));
    Key(p, 'D', Shift);
    Key(p, '4', Ctrl);
    EXPECT_EQ(p.Focus(), parts.List) << "the date panel stayed open";
    Key(p, 'A', Ctrl);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ShortFormOf(file, "Far future"), ";12/31/9999;Far future");
    EXPECT_EQ(ShortFormOf(file, "Year 2038"), ";1/19/2038;Year 2038");
    EXPECT_EQ(ShortFormOf(file, "Year 1902"), ";1/1/1902;Year 1902");
    EXPECT_EQ(ShortFormOf(file, "Leap day"), ";2/29/2024;Leap day");
    EXPECT_EQ(ShortFormOf(file, "Far off"), "Far off");
    EXPECT_EQ(TaskLines(file).size(), 9u) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Midnight passed under the tags panel opened on a task that "Today"
// showed: the day's refresh took the task from the selection, and the
// panel's OK found none: the tags typed went nowhere and the panel stayed.
// Midnight passed under a note being typed: the refresh emptied the note
// editor and made it read-only, and what was typed next went nowhere. The
// refresh waits for either, as it does for a title being typed. Two
// copies of the program (in folders of their own) share one midnight: the
// note is typed in the first, the tags in the second, which is in front.
TEST(DueEntryScenario, APanelOrANoteOpenOnATaskAtMidnightStillEditsIt) {
    TProgram notes("dates-midnight-note"), tags("dates-midnight-tags");
    const std::string database = DueDatabase({{"Due on the old day", FileDate(-1)}, {"Due on the new day", FileDate(0)}});
    WriteFile(notes.DatabasePath(), database);
    WriteFile(tags.DatabasePath(), database);
    // The programs' midnight comes 12 seconds from now.
    const TDayEndingSoon day(12);
    const ULONGLONG midnight = day.Midnight();

    notes.Start();
    HWND main = notes.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts n(main);
    Key(notes, '1', Ctrl);
    Click(notes, n.ListItem(0));
    EXPECT_EQ(n.NoteCaption(), "No note - Due on the old day");
    Key(notes, 'N', Shift);
    Type(notes, "Buy stamps");

    // Shift+T, Up to the tags edit, a tag typed.
    tags.Start();
    main = tags.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts t(main);
    Key(tags, '1', Ctrl);
    Click(tags, t.ListItem(0));
    EXPECT_EQ(t.NoteCaption(), "No note - Due on the old day");
    Key(tags, 'T', Shift);
    Key(tags, VK_UP);
    Type(tags, "urgent");
    ASSERT_LT(GetTickCount64(), midnight) << "the programs started too late to see their day end";

    // Midnight, and a tick of the programs' one-second timer after it.
    WaitUntil([&] { return GetTickCount64() > midnight + 2000; }, 20000);
    tags.Settle();
    Key(tags, VK_RETURN);
    EXPECT_EQ(tags.Focus(), t.List) << "the panel stayed open";
    // The new day comes once the panel is closed (the refresh leaves no
    // task chosen).
    EXPECT_TRUE(WaitUntil([&] { return t.NoteCaption() == "Note"; })) << t.NoteCaption();
    Click(tags, t.ListItem(0));
    EXPECT_EQ(t.NoteCaption(), "No note - Due on the new day");
    Key(tags, 'S', Ctrl);
    EXPECT_EQ(ShortFormOf(ReadFile(tags.DatabasePath()), "Due on the old day"),
              ";" + FileDate(-1) + ";[urgent]Due on the old day");
    Key(tags, 'Q', Ctrl);
    EXPECT_EQ(tags.WaitExit(), 0);

    // The note typed goes on; the new day comes once the note is left.
    Click(notes, CenterOf(n.NoteEditor));
    Key(notes, VK_END, Ctrl);
    Type(notes, " and envelopes");
    EXPECT_EQ(n.NoteCaption(), "No note - Due on the old day") << "the note editor left its task";
    Click(notes, n.TreeRow(0));    // All, as it was
    EXPECT_TRUE(WaitUntil([&] { return n.NoteCaption() == "Note"; })) << n.NoteCaption();
    Click(notes, n.ListItem(0));
    EXPECT_EQ(n.NoteCaption(), "No note - Due on the new day");
    Key(notes, 'S', Ctrl);
    const std::vector<std::string> fields = Fields(TaskLine(ReadFile(notes.DatabasePath()), "Due on the old day"));
    ASSERT_GE(fields.size(), 6u);
    EXPECT_EQ(fields[5], "Buy stamps and envelopes\xF8");
    Key(notes, 'Q', Ctrl);
    EXPECT_EQ(notes.WaitExit(), 0);
}

} // namespace qelvo::e2e

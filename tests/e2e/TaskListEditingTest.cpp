// Editing tasks in the list: titles edited in place, notes and done marks
// reaching the saved file, due dates and their panel, deleting, pasting,
// text the file cannot hold, undo in the title editor, and a title being
// typed kept whatever comes next (a command, a switch to another program,
// a maximised window, type-ahead).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ClockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/OtherProgramSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

const char* DeleteQuestion = "Are you sure you want to delete selected item(s)? (no undo is possible)";

TTitles Without(TTitles titles, const TTitles& gone) {
    for (const std::string& g : gone) titles.erase(std::remove(titles.begin(), titles.end(), g), titles.end());
    return titles;
}

// The rows of the task list: the lower half of the list view's window.
RECT LowerHalfOf(HWND list) {
    RECT r = RectOf(list);
    r.top = (r.top + r.bottom) / 2;
    r.right -= GetSystemMetrics(SM_CXVSCROLL) + 4;
    return r;
}

} // namespace

TEST(TaskListEditingScenario, DelKeepsThePlaceInALongListAndSelectsTheNextTask) {
    TProgram p("delete-tasks");
    const TTitles all = NumberedTitles(60);
    WriteWorkDatabase(p.DatabasePath(), all);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    // The last rows: Task 59 at the bottom, Task 57 selected two rows up.
    Click(p, CenterOf(list));
    Key(p, VK_END);
    Key(p, VK_UP);
    Key(p, VK_UP);
    const RECT rows = LowerHalfOf(list);
    Shot(p, main, "delete-tasks-before");
    ASSERT_GT(ShareOf(rows, SelectionBlue), 0.02) << "no selected row near the end of the list";

    // No keeps the task; Yes deletes it.
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&No"));
    SaveByKeys(p);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), all);
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&Yes"));
    p.Settle();
    Shot(p, main, "delete-tasks-after");
    // The list still shows its end, with the next task selected there.
    EXPECT_GT(ShareOf(rows, SelectionBlue), 0.02) << "the selection left the end of the list";
    // Del again deletes that next task.
    Key(p, VK_DELETE);
    ASSERT_TRUE(Answer(p, DeleteQuestion, "&Yes"));
    SaveByKeys(p);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), Without(all, {"Task 57", "Task 58"}));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Without the question (an option), Del deletes at once; the last
    // task gone, the one before it is selected.
    ASSERT_TRUE(WritePrivateProfileStringA("Options", "Confirm Delete", "0", p.SettingsPath().c_str()));
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, CenterOf(ChildrenOfClass(main, "TGvListview").front()));
    Key(p, VK_END);
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(200));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), Without(all, {"Task 56", "Task 57", "Task 58", "Task 59"}));
}

namespace {

// The share of the pixels of a screen rectangle that are red text
// (the screen may round colours, so near the priority red counts).
double RedShare(RECT r) {
    const std::vector<COLORREF> pixels = PixelsOf(r);
    if (pixels.empty()) return 0;
    const auto red = std::count_if(pixels.begin(), pixels.end(), [](COLORREF c) {
        return GetRValue(c) > 150 && GetGValue(c) < 80 && GetBValue(c) < 80;
    });
    return static_cast<double>(red) / static_cast<double>(pixels.size());
}

} // namespace

TEST(TaskListEditingScenario, TitleNoteAndDoneReachTheSavedFile) {
    TProgram p("editing-title-note-done");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const POINT row = parts.ListItem(0);
    const RECT title{row.x - 80, row.y - 8, row.x + 60, row.y + 8};
    Shot(p, main, "editing-start");  // lets the window paint
    EXPECT_GT(RedShare(title), 0.01) << "the high-priority title is not red";
    Click(p, row);
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    // Selected, its text takes the selection's colour over the blue.
    Shot(p, main, "editing-selected");
    EXPECT_EQ(RedShare(title), 0.0) << "red text on the selection";

    // The title edited in place: the note panel names the task anew at once.
    Key(p, VK_RETURN);
    EXPECT_NE(p.Focus(), parts.List) << "no editor opened";
    Type(p, "Call Tim");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.List);
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tim");

    // A note typed for it, kept with Shift+Enter.
    Key(p, 'N', Shift);
    EXPECT_EQ(p.Focus(), parts.NoteEditor);
    Type(p, "Ask about Friday");
    Key(p, VK_RETURN, Shift);
    EXPECT_EQ(p.Focus(), parts.List);

    // The other task shows its own note; ticking its box marks it done.
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.NoteCaption(), "Note: Write report");
    EXPECT_EQ(TextOf(parts.NoteEditor), "Two pages\r\n");
    Click(p, parts.ListItem(1, 10));
    Shot(p, main, "editing-done");

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    const std::vector<std::string> tim = Fields(TaskLine(file, "Call Tim"));
    ASSERT_EQ(tim.size(), 6u) << file;
    EXPECT_EQ(tim[0], "+Call Tim");
    EXPECT_EQ(tim[1], "--");
    EXPECT_EQ(tim[5], "Ask about Friday\xF8");
    const std::vector<std::string> report = Fields(TaskLine(file, "Write report"));
    ASSERT_EQ(report.size(), 6u) << file;
    EXPECT_EQ(report[1], "-d-") << "the tick did not mark the task done";
    EXPECT_EQ(report[5], "Two pages\xF8");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(TaskListEditingScenario, TitleAndNoteRefuseCharactersTheFileCannotHold) {
    TProgram p("editing-unsavable");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));

    // Greek typed in the title editor: the user is told, and no look-alike
    // Latin letter takes its place.
    Key(p, VK_RETURN);
    HWND editor = p.Focus();
    ASSERT_NE(editor, parts.List) << "no editor opened";
    Type(p, "Call ");
    Type(p, std::wstring(L"\u03b1"));
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "the Greek letter went in without a word";
    EXPECT_EQ(TextOf(box), "Qelvo");
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(editor), "Call ") << "a look-alike was typed";
    EXPECT_EQ(p.Focus(), editor);
    Type(p, "Al");
    Key(p, VK_RETURN);

    // The same in the note.
    Key(p, 'N', Shift);
    Type(p, std::wstring(L"\u4f60"));
    box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "the Chinese character went in without a word";
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.NoteEditor);
    Type(p, "Tea");
    Key(p, VK_RETURN, Shift);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    const std::vector<std::string> task = Fields(TaskLine(file, "Call Al"));
    ASSERT_EQ(task.size(), 6u) << file;
    EXPECT_EQ(task[0], "+Call Al");
    EXPECT_EQ(task[5], "Tea\xF8");
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Another program that holds the clipboard open, as a clipboard manager
// does while it reads it.
class TClipboardHolder {
public:
    TClipboardHolder() : FWindow(CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)) {}
    ~TClipboardHolder() {
        Release();
        DestroyWindow(FWindow);
    }
    TClipboardHolder(const TClipboardHolder&) = delete;
    TClipboardHolder& operator=(const TClipboardHolder&) = delete;

    bool Hold() { return FHeld = OpenClipboard(FWindow) != FALSE; }
    void Release() {
        if (FHeld) CloseClipboard();
        FHeld = false;
    }

private:
    HWND FWindow;
    bool FHeld = false;
};

} // namespace

TEST(TaskListEditingScenario, AClipboardHeldOpenByAnotherProgramNeitherHangsNorCrashesTheProgram) {
    TProgram p("clipboard-held");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));  // Write report: "Two pages"
    const HWND note = parts.NoteEditor;
    PutOnClipboard(L"pasted");
    TClipboardHolder holder;
    ASSERT_TRUE(holder.Hold());

    // Pastes into the note, the quick-entry box and the title editor take
    // nothing and come back at once, the keyboard where it was.
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(note), "Two pages\r\n");
    EXPECT_EQ(p.Focus(), note);
    Click(p, CenterOf(parts.TopEdit));
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(parts.TopEdit), "");
    Click(p, parts.ListItem(1));
    Key(p, VK_RETURN);
    const HWND editor = p.Focus();
    Key(p, VK_END);
    Key(p, VK_INSERT, Shift);
    EXPECT_EQ(TextOf(editor), "Write report");
    Key(p, VK_ESCAPE);
    holder.Release();

    // Text copied from the note, and the clipboard held again as the
    // program ends: it ends cleanly (it crashed in the end of OLE, which
    // called into the freed rich-edit library) and saved the note typed.
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, " more");
    Key(p, VK_HOME, Ctrl | Shift);
    Key(p, 'C', Ctrl);
    ASSERT_TRUE(holder.Hold());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    holder.Release();
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8 more\xF8");
}

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

} // namespace

// Dates the file cannot keep (a year of 1901 or before, a day past the
// calendar) counted as overdue dates while the program ran, with an empty
// Due cell, outside "Without date set", and were gone after the next save.
// The picker refused the last day of the calendar with the time of day and
// OK took today instead; Shift held after Shift+D toggled the date's check
// box with each repeat, and OK then took the date away; a panel open on a
// task stayed, its OK doing nothing, once a shortcut refreshed the list.
TEST(TaskListEditingScenario, DatesAreKeptAsTheFileKeepsThem) {
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
    if (HWND box = p.WaitDialog()) {
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
    SaveByKeys(p);
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
TEST(TaskListEditingScenario, APanelOrANoteOpenOnATaskAtMidnightStillEditsIt) {
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

TEST(TaskListEditingScenario, CommandsGivenWhileATitleIsEditedTakeTheTitle) {
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
    SaveByKeys(p);
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

TEST(TaskListEditingScenario, TabTakesTheTitleAndEditsTheNextTaskOrTheOneBefore) {
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
    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "ferry"))[0], "+;7/14/2031;Book the night ferry");
    EXPECT_EQ(Fields(TaskLine(file, "Call the"))[0], "[phone]Call the electrician");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A title being typed in a long list, scrolled to its last task: a double
// click on the caption maximises the window and keeps the edit, but the list
// scrolled back for its new height and the editor stayed where it was, over
// another task's title (Enter still renamed the task being edited). The
// editor now follows its task, which stays in sight, as the window maximises
// and as it is restored.
TEST(TaskListEditingScenario, TheTitleEditorFollowsItsTaskWhenTheWindowIsMaximisedAndRestored) {
    std::string file = "d_id-0123456789\r\nWork\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    for (int i = 1; i <= 40; ++i)
        file += "Task " + std::to_string(i) + "\xF7--\xF7" + std::to_string(1000000000 + i) + "\xF7Work\xF7" "1/2/2025\xF7\xF7\r\n";
    TProgram p("interrupt-title-maximise");
    WriteFile(p.DatabasePath(), file);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_END);
    Key(p, VK_RETURN);
    Type(p, "Last one");
    auto editorNearTheBottom = [&](const char* when) {
        const std::vector<HWND> editors = ChildrenOfClass(parts.List, "TGvEdit");
        ASSERT_EQ(editors.size(), 1u) << when;
        const RECT e = RectOf(editors.front()), l = RectOf(parts.List);
        // The last task is the lowest row shown (above the horizontal
        // scroll bar, when there is one).
        EXPECT_GT(e.top, l.bottom - 3 * 23 - GetSystemMetrics(SM_CYHSCROLL)) << when << ": the editor is not over the last task";
        EXPECT_LE(e.bottom, l.bottom + 4) << when;
    };
    editorNearTheBottom("at first");

    const RECT r = RectOf(main);
    DoubleClick(p, POINT{(r.left + r.right) / 2, r.top + 8});
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    p.Settle();
    editorNearTheBottom("maximised");
    Sleep(GetDoubleClickTime() + 50);
    const RECT big = RectOf(main);
    DoubleClick(p, POINT{(big.left + big.right) / 2, big.top + 8});
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }));
    p.Settle();
    editorNearTheBottom("restored");

    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Last one")).at(2), "1000000040");
}

// A long title pasted into the quick-entry box and a long note pasted into
// the note panel are kept, saved and read back whole: the next start
// crashed reading a task of some tens of thousands of characters, and the
// title editor (Enter on the task) held only the first few thousand of
// them, so letters typed at its end and Enter threw the rest away.
TEST(TaskListEditingScenario, ALongPastedTitleAndNoteSurviveARestartAndAnEdit) {
    TProgram p("limits-long-title-note");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    {
        const TMainWindowParts parts(main);
        ClickNode(p, parts.Tree, "Work");
        std::wstring title;
        for (int i = 0; title.size() < 70000; ++i) title += L"word" + std::to_wstring(i) + L" ";
        title.resize(69999);
        title += L"Z";
        PutOnClipboard(title);
        Click(p, CenterOf(parts.TopEdit));
        Key(p, 'V', Ctrl);
        Key(p, VK_RETURN);
        Click(p, parts.ListItem(1));
        ASSERT_EQ(parts.NoteCaption(), "Note: Write report");
        std::wstring note;
        for (int i = 0; note.size() < 60000; ++i) note += L"Line " + std::to_wstring(i) + L" of the minutes\r\n";
        PutOnClipboard(note);
        Key(p, 'N', Shift);
        Key(p, VK_END, Ctrl);
        Key(p, 'V', Ctrl);
        Key(p, VK_RETURN, Shift);
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
    const std::string first = ReadFile(p.DatabasePath());
    const std::vector<std::string> titled = SavedTask(first, "word7900 Z");
    ASSERT_FALSE(titled.empty()) << "the pasted title was not saved whole";
    EXPECT_EQ(titled[0].size(), 70000u);
    const std::vector<std::string> noted = SavedTask(first, "Write report");
    ASSERT_FALSE(noted.empty());
    EXPECT_NE(noted[5].find("Line 2000 of the minutes\xF8"), std::string::npos) << "the pasted note was not saved";

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr) << "the next start did not come up";
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Work");
    Click(p, parts.ListItem(2));
    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(parts.List, "TGvEdit").size(), 1u) << "Enter opened no title editor";
    Key(p, VK_END);
    Type(p, std::string("XY"));
    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    const std::string second = ReadFile(p.DatabasePath());
    const std::vector<std::string> edited = SavedTask(second, "ZXY");
    ASSERT_FALSE(edited.empty()) << "the typed letters did not go at the end of the title";
    EXPECT_EQ(edited[0], titled[0] + "XY");
    EXPECT_EQ(SavedTask(second, "Write report").at(5), noted[5]);
}

namespace {

// The chosen task's title, without the mark of a note.
std::string ChosenTitle(const TMainWindowParts& parts) {
    const std::string chosen = parts.ChosenTask(), noted = "Note: ";
    return chosen.compare(0, noted.size(), noted) == 0 ? chosen.substr(noted.size()) : chosen;
}

// The title editor opened with F2 on task Index of the list, whose title
// is Title; nullptr (and a failure) when none opened.
HWND EditTitle(TProgram& p, const TMainWindowParts& parts, int index, const std::string& title) {
    Click(p, parts.ListItem(index));
    EXPECT_EQ(ChosenTitle(parts), title) << "another task under the pointer";
    Key(p, VK_F2);
    const HWND editor = p.Focus();
    if (editor == parts.List || TextOf(editor) != title) {
        ADD_FAILURE() << "no title editor opened on " << title;
        return nullptr;
    }
    return editor;
}

// Back in the program by a click on its window's caption.
void ComeBack(TProgram& p, HWND main) {
    Click(p, CaptionPointOf(main));
    EXPECT_TRUE(p.BecomesActive(main));
}

} // namespace

// A title typed in place was dropped without a word when the user went to
// another program (brought it to the front) before
// pressing Enter: losing the activation cancelled the edit. The title
// typed is now taken, as a click elsewhere in the window takes it; Esc
// still throws it away, and a message box of the program's own that comes
// up while typing is no switch to another program. Taking the title moved
// the focus back into the list, which took the activation back: the other
// program lost the front, and the keys typed there went nowhere.
TEST(TaskListEditingScenario, ATitleBeingTypedIsKeptWhenTheUserSwitchesToAnotherProgram) {
    TProgram p("switch-away-title");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    TOtherProgram other;
    ComeBack(p, main);

    // Another program brought to the front, and typed into.
    HWND editor = EditTitle(p, parts, 1, "Write report");
    ASSERT_NE(editor, nullptr);
    Key(p, 'A', Ctrl);
    Type(p, "Write the annual report");
    EXPECT_TRUE(other.Activate(p)) << "the other program did not come to the front";
    Type(p, "elsewhere");
    EXPECT_TRUE(other.Shows("elsewhere")) << "the keys typed did not reach the other program";
    ComeBack(p, main);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the title editor is still open";
    EXPECT_EQ(ChosenTitle(parts), "Write the annual report") << "the title typed was lost on the switch";

    // Away again, and back with a click on the task.
    editor = EditTitle(p, parts, 0, "Call Tom");
    ASSERT_NE(editor, nullptr);
    Key(p, 'A', Ctrl);
    Type(p, "Call Tom about the roof");
    EXPECT_TRUE(other.Activate(p)) << "the other program did not come to the front";
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_FALSE(IsWindowVisible(editor)) << "the title editor is still open";
    EXPECT_EQ(ChosenTitle(parts), "Call Tom about the roof") << "the title typed was lost on the second switch";
    EXPECT_EQ(p.Focus(), parts.List);

    // Esc still throws the title typed away.
    editor = EditTitle(p, parts, 0, "Call Tom about the roof");
    ASSERT_NE(editor, nullptr);
    Type(p, " and the gutter");
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(ChosenTitle(parts), "Call Tom about the roof");

    // A character the file cannot hold brings the program's own message
    // box up while typing: the editor stays, with the title typed, even
    // when the user goes to another program and comes back to the box.
    editor = EditTitle(p, parts, 1, "Write the annual report");
    ASSERT_NE(editor, nullptr);
    Key(p, VK_END);
    Type(p, L" \x4E2D");
    const HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "no word on the character refused";
    EXPECT_TRUE(other.Activate(p)) << "the other program did not come to the front";
    ComeBack(p, box);
    Key(p, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_TRUE(IsWindowVisible(editor)) << "the message box ended the edit";
    EXPECT_EQ(TextOf(editor), "Write the annual report ");
    Type(p, "for 2026");
    Key(p, VK_RETURN);
    EXPECT_EQ(ChosenTitle(parts), "Write the annual report for 2026");

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Write the annual report for 2026"), "");
    EXPECT_NE(TaskLine(file, "Call Tom about the roof"), "");
    EXPECT_EQ(TaskLine(file, "gutter"), "");
    EXPECT_EQ(TaskLine(file, "Write report"), "");
}

TEST(TaskListEditingScenario, AccentedTextTypedIntoEveryEditorIsFoundShownAndKeptByteForByte) {
    TProgram p("text-beyond-ascii");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // A task typed into the quick-entry box with tags; a title typed in
    // place holding the file's mark letters (o-slash, the division sign),
    // "Œ", "Š" and a question mark; a note with the euro sign; the list
    // renamed in place.
    Click(p, parts.TreeRow(1));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, std::wstring(L"[na\u00efve,\u00d6l]Caf\u00e9 cr\u00e8me \u20ac stra\u00dfe"));
    Key(p, VK_RETURN);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"S\u00f8ren \u00f7 2 \u0152uvre \u0160koda?"));
    Key(p, VK_RETURN);
    EXPECT_EQ(parts.NoteCaption(), "No note - S\xF8ren \xF7 2 \x8Cuvre \x8Akoda?");
    Key(p, 'N', Shift);
    Type(p, std::wstring(L"K\u00f8benhavn \u20ac5"));
    Key(p, VK_RETURN, Shift);
    Click(p, parts.TreeRow(1));
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"Arbe\u00eft \u00f8"));
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(200));

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Arbe\xEFt \xF8", "Home"}));
    const std::vector<std::string> cafe = Fields(TaskLine(file, "Caf\xE9"));
    ASSERT_GE(cafe.size(), 6u) << file;
    EXPECT_EQ(cafe[0], "[na\xEFve,\xD6l]Caf\xE9 cr\xE8me \x80 stra\xDF" "e");
    EXPECT_EQ(cafe[3], "Arbe\xEFt \xF8");
    // The renamed title holds the marks: its line is written escaped, and
    // the note's "ø" does not end a note line.
    const std::vector<std::string> soren = Fields(TaskLine(file, "S%F8ren"));
    ASSERT_GE(soren.size(), 7u) << file;
    EXPECT_EQ(soren[0], "+S%F8ren %F7 2 \x8Cuvre \x8Akoda?");
    EXPECT_EQ(soren[5], "K%F8benhavn \x80" "5\xF8");

    // The find box: "é" finds the accented title; letters beyond A-Z keep
    // their case ("CAFÉ" is not "Café"); a character the 8-bit titles
    // cannot hold finds nothing, not the titles holding "?".
    RECT rows = RectOf(parts.List);
    rows.top += 24;
    rows.right -= 24;
    Key(p, 'F', Ctrl);
    ASSERT_EQ(p.Focus(), parts.TopEdit);
    Type(p, "qqqq");
    p.Settle();
    const std::vector<COLORREF> none = PixelsOf(rows);
    const auto clear = [&](int n) {
        for (int i = 0; i < n; ++i) Key(p, VK_BACK);
    };
    clear(4);
    Type(p, std::wstring(L"\u00e9 c"));
    p.Settle();
    EXPECT_NE(PixelsOf(rows), none) << "\"\u00e9 c\" found no task";
    clear(3);
    Type(p, std::wstring(L"CAF\u00c9"));
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), none) << "\"CAF\u00c9\" found a task";
    clear(4);
    Type(p, std::wstring(L"\u65e5"));
    p.Settle();
    Shot(p, main, "text-beyond-ascii-find-cjk");
    EXPECT_EQ(PixelsOf(rows), none) << "a character the titles cannot hold found a task";
    clear(1);
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // The next start reads every byte back: a save writes the same file.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Shot(p, main, "text-beyond-ascii-restarted");
    ASSERT_EQ(TextOf(main).find("[Last Save at"), std::string::npos);
    SaveByKeys(p);
    EXPECT_NE(TextOf(main).find("[Last Save at"), std::string::npos) << TextOf(main);
    EXPECT_EQ(ReadFile(p.DatabasePath()), file);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A title changed from the editor's own menu (Undo, Paste) kept the
// editor at the size of the text before: the title taken back by Undo
// showed only its last letters ("ort" of "Write report"), a long title
// pasted likewise. The editor now fits its text however the text changed.
TEST(TaskListEditingScenario, TheTitleEditorFitsATitleTheEditMenuPutBack) {
    TProgram p("undo-title-menu");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, VK_F2);
    const HWND editor = p.Focus();
    ASSERT_NE(editor, parts.List) << "no title editor opened";
    ASSERT_EQ(TextOf(editor), "Write report");
    const int fitting = WidthOf(editor);
    Type(p, "X");
    // The editor fits its text a moment after the change: waited for.
    ASSERT_TRUE(WaitUntil([&] { return WidthOf(editor) < fitting; }))
        << "the editor did not fit the short text typed: " << WidthOf(editor) << " wide";

    ChooseFromEditMenu(p, editor, 'U');
    EXPECT_EQ(TextOf(editor), "Write report");
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(editor) == fitting; }))
        << "the title put back by Undo does not fit its editor: " << WidthOf(editor) << " against " << fitting;
    Shot(p, main, "undo-title-menu-undo");

    Key(p, 'A', Ctrl);
    PutOnClipboard(L"Write the report for the board");
    ChooseFromEditMenu(p, editor, 'P');
    EXPECT_EQ(TextOf(editor), "Write the report for the board");
    EXPECT_TRUE(WaitUntil([&] { return WidthOf(editor) > fitting + 60; }))
        << "the pasted title does not fit its editor: " << WidthOf(editor) << " wide";
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_NE(TaskLine(ReadFile(p.DatabasePath()), "Write the report for the board"), "");
}

TEST(TaskListEditingScenario, PastedTextAndNamesTheFileCannotHoldAreRefusedWithAWord) {
    TProgram p("polish-unsavable");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));

    // Pasted into the title editor: refused, the editor keeps its text.
    PutOnClipboard(L"Call \u03b1\u03b2");
    Key(p, VK_RETURN);
    HWND editor = p.Focus();
    ASSERT_NE(editor, parts.List) << "no editor opened";
    Key(p, VK_END);
    Key(p, 'V', Ctrl);
    ASSERT_TRUE(RefusedWithAWord(p, "Greek pasted into the title"));
    EXPECT_EQ(TextOf(editor), "Call Tom") << "the pasted text went in";
    EXPECT_EQ(p.Focus(), editor);
    Key(p, VK_ESCAPE);

    // Pasted into the note, with Shift+Insert too.
    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    PutOnClipboard(L"\u4f60\u597d");
    Key(p, 'V', Ctrl);
    ASSERT_TRUE(RefusedWithAWord(p, "Chinese pasted into the note"));
    Key(p, VK_INSERT, Shift);
    ASSERT_TRUE(RefusedWithAWord(p, "Chinese pasted into the note by Shift+Insert"));
    EXPECT_EQ(p.Focus(), parts.NoteEditor);
    // Text the file holds pastes as ever.
    PutOnClipboard(L"Caf\u00e9");
    Key(p, 'V', Ctrl);
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, VK_RETURN, Shift);

    // A new list named in Greek: refused, and the name editor stays open.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"\u03b1\u03b2"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a Greek list name"));
    HWND nameEditor = p.Focus();
    ASSERT_EQ(ClassOf(nameEditor), "TXtEdit.UnicodeClass");
    EXPECT_EQ(WideTextOf(nameEditor), L"\u03b1\u03b2") << "the name typed was lost";
    Key(p, VK_BACK);
    Key(p, VK_BACK);
    Type(p, "Shop");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.Tree);

    // A tag likewise, and a list renamed in place.
    Key(p, VK_RIGHT, Ctrl);  // the tags tab
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"\u4f60"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a Chinese tag name"));
    Key(p, VK_ESCAPE);
    Key(p, VK_RIGHT, Ctrl);  // back to the lists
    Click(p, parts.TreeRow(1));  // Work
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"\u03b1"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a list renamed in Greek"));

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    EXPECT_NE(file.find("Work\xF7"), std::string::npos) << file;
    EXPECT_NE(file.find("Shop\xF7"), std::string::npos) << file;
    EXPECT_NE(TaskLine(file, "Call Tom"), "") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "Caf\xE9\xF8") << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(TaskListEditingScenario, TheDueDateSetFromItsPanelShowsAsARefreshShowsIt) {
    TProgram p("usemore-due-panel");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, 'D', Shift);
    Key(p, VK_UP);      // tomorrow: the panel starts on today
    Key(p, VK_RETURN);
    Shot(p, main, "usemore-due-after-panel");
    const RECT list = RectOf(parts.List);
    const POINT row = parts.ListItem(0);
    const RECT strip{list.left + 2, row.y - 8, list.right - 20, row.y + 8};
    const std::vector<COLORREF> afterPanel = PixelsOf(strip);
    // A refresh: to the list "Work" and back to "All".
    Click(p, parts.TreeRow(1));
    Click(p, parts.TreeRow(0));
    Click(p, parts.ListItem(0));
    Shot(p, main, "usemore-due-after-refresh");
    EXPECT_TRUE(PixelsOf(strip) == afterPanel) << "the Due cell changed on refresh";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// Right-clicks an edit and chooses Paste from its context menu (by its
// underlined letter, as the menu offers it).
void PasteFromContextMenu(TProgram& p, HWND edit) {
    const RECT r = RectOf(edit);
    Click(p, POINT{r.left + 20, (r.top + r.bottom) / 2}, true);
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "#32768" || ClassOf(w) == "TXtPopupWindow") return true;
        return false;
    }, 3000)) << "no context menu on " << ClassOf(edit);
    Key(p, 'P');
}

} // namespace

TEST(TaskListEditingScenario, TextTheFileCannotHoldPastedFromTheContextMenuIsRefused) {
    TProgram p("use-context-paste");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));

    // The title editor: refused, and it keeps its text and the keyboard.
    PutOnClipboard(L"Call \u03b1\u03b2");
    Key(p, VK_RETURN);
    HWND editor = p.Focus();
    ASSERT_NE(editor, parts.List) << "no editor opened";
    PasteFromContextMenu(p, editor);
    ASSERT_TRUE(RefusedWithAWord(p, "Greek pasted into the title from the menu"));
    EXPECT_EQ(TextOf(editor), "Call Tom") << "the pasted text went in";
    EXPECT_EQ(p.Focus(), editor);
    Key(p, VK_ESCAPE);

    // The note.
    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    PutOnClipboard(L"\u4f60\u597d");
    PasteFromContextMenu(p, parts.NoteEditor);
    ASSERT_TRUE(RefusedWithAWord(p, "Chinese pasted into the note from the menu"));
    EXPECT_EQ(TextOf(parts.NoteEditor), "") << "the pasted text went in";
    EXPECT_EQ(p.Focus(), parts.NoteEditor);
    // Text the file holds pastes as ever.
    PutOnClipboard(L"Caf\u00e9");
    PasteFromContextMenu(p, parts.NoteEditor);
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, VK_RETURN, Shift);

    // The editors of wide text take the paste and refuse the text where it
    // would be kept: quick entry ...
    PutOnClipboard(L"\u03b1\u03b2 tickets");
    Click(p, CenterOf(parts.TopEdit));
    PasteFromContextMenu(p, parts.TopEdit);
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a Greek task pasted from the menu"));
    EXPECT_EQ(WideTextOf(parts.TopEdit), L"\u03b1\u03b2 tickets");
    Key(p, 'A', Ctrl);
    Key(p, VK_DELETE);

    // ... a new list's name ...
    Click(p, CenterOf(parts.NewListLabel));
    const HWND nameEditor = p.Focus();
    ASSERT_EQ(ClassOf(nameEditor), "TXtEdit.UnicodeClass");
    PasteFromContextMenu(p, nameEditor);
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a Greek list name pasted from the menu"));
    Key(p, VK_ESCAPE);

    // ... and a list renamed in place.
    Click(p, parts.TreeRow(1));  // Work
    Key(p, VK_RETURN);
    PasteFromContextMenu(p, p.Focus());
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "a list renamed in Greek from the menu"));
    Key(p, VK_ESCAPE);

    // ... and the tags of a task, given in its tags panel.
    Click(p, parts.TreeRow(0));
    Click(p, parts.ListItem(1));
    Key(p, 'T', Shift);
    Key(p, VK_UP);  // from the tags' list to their edit
    const HWND tagsEditor = p.Focus();
    ASSERT_EQ(ClassOf(tagsEditor), "TXtEdit.UnicodeClass");
    PasteFromContextMenu(p, tagsEditor);
    Key(p, VK_RETURN);
    ASSERT_TRUE(RefusedWithAWord(p, "Greek tags pasted from the menu"));
    EXPECT_EQ(p.Focus(), tagsEditor) << "the tags panel closed";
    Key(p, VK_ESCAPE);

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    EXPECT_NE(file.find("Work\xF7"), std::string::npos) << file;
    EXPECT_EQ(TaskLines(file).size(), 2u) << file;
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "Caf\xE9\xF8") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(0), "Write report") << "the tags were kept";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

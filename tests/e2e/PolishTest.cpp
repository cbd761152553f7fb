// Small things a user meets in passing: the wheel over a long list (a
// turn of several notches, a fine wheel's small steps), Save As starting
// beside the open database, the due date of a sticky note written as the
// list writes it, text the database cannot hold pasted into the editors or
// given as a list or tag name, and the menu keys in the note editor, the
// date panel and the tags panel.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Task 00 .. Task <count - 1> in the list Work.
void WriteNumberedTasks(const std::string& path, int count) {
    MakeFolderOf(path);
    TuData data;
    data.Folders->Add("Work\xF7" "0\xF7");
    for (int i = 0; i < count; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "Task %02d", i);
        TuTask* task = new TuTask();
        task->Title = title;
        task->Folder = std::string("Work");
        data.Tasks->AddObject(title, task);
    }
    data.SaveToFile(path);
}

UINT WheelLines() {
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    return lines;
}

// The title of the task shown in the list's first row: a click there
// chooses it, and the note panel names it. Clicks alternate between two
// places so that two of them never make a double click.
std::string TopRowTask(TProgram& p, const TMainWindowParts& parts) {
    static bool right = false;
    right = !right;
    const POINT row = parts.ListItem(0, right ? 200 : 120);
    Click(p, row);
    const std::string caption = parts.NoteCaption();
    const size_t dash = caption.find(" - ");
    return dash == std::string::npos ? caption : caption.substr(dash + 3);
}

// The menu bar waits for keys while the program holds the capture for its
// menu loop; a menu of it is open when its popup window shows.
bool MenuBarWaits(const TProgram& p) { return p.ThreadInfo().hwndCapture != nullptr; }
bool MenuOpen(const TProgram& p) { return !VisibleTops(p, "TXtPopupWindow").empty(); }

// Alt, F10 and Alt+F open the menu bar from the focused control, and
// Escape gives the keyboard back to it.
void MenuKeysWorkIn(TProgram& p, const char* where) {
    const HWND target = p.Focus();
    Key(p, VK_MENU);
    EXPECT_TRUE(MenuBarWaits(p)) << "Alt in " << where;
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(MenuBarWaits(p)) << "Esc after Alt in " << where;
    Key(p, VK_F10);
    EXPECT_TRUE(MenuBarWaits(p)) << "F10 in " << where;
    Key(p, VK_ESCAPE);
    Key(p, 'F', Alt);
    EXPECT_TRUE(MenuOpen(p)) << "Alt+F in " << where;
    Key(p, VK_ESCAPE);
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(MenuOpen(p) || MenuBarWaits(p)) << "Esc Esc after Alt+F in " << where;
    EXPECT_EQ(p.Focus(), target) << "the keyboard did not go back to " << where;
}

// One line of the sticky-note library's record: its fields.
std::vector<std::vector<std::string>> RecordLines(const TProgram& p) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(ReadFile(p.PathOf(JotpaperRecordFileName)));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string f; std::getline(parts, f, '\t');) fields.push_back(f);
        lines.push_back(fields);
    }
    return lines;
}

} // namespace

TEST(PolishScenario, TheWheelScrollsByHowFarItTurned) {
    TProgram p("polish-wheel");
    WriteNumberedTasks(p.DatabasePath(), 80);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const int lines = static_cast<int>(WheelLines());
    ASSERT_EQ(TopRowTask(p, parts), "Task 00");
    const POINT over = CenterOf(parts.List);
    char expected[16];

    // Three notches in one message scroll three notches' rows.
    Wheel(p, over, -3 * WHEEL_DELTA);
    std::snprintf(expected, sizeof expected, "Task %02d", 3 * lines);
    EXPECT_EQ(TopRowTask(p, parts), expected) << "a turn of three notches";
    // One notch back up.
    Wheel(p, over, WHEEL_DELTA);
    std::snprintf(expected, sizeof expected, "Task %02d", 2 * lines);
    EXPECT_EQ(TopRowTask(p, parts), expected) << "a notch up";

    // A fine wheel: twelve steps of a tenth of a notch make one notch.
    Wheel(p, over, 20 * WHEEL_DELTA);
    ASSERT_EQ(TopRowTask(p, parts), "Task 00");
    for (int i = 0; i < 12; ++i) Wheel(p, over, -WHEEL_DELTA / 10);
    std::snprintf(expected, sizeof expected, "Task %02d", lines);
    EXPECT_EQ(TopRowTask(p, parts), expected) << "twelve tenths of a notch";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PolishScenario, SaveAsStartsBesideTheOpenDatabaseWithItsName) {
    TProgram p("polish-save-as");
    WriteNumberedTasks(p.DatabasePath(), 2);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // File > Save as... (New task, New List, Open..., Save, Save as...).
    Key(p, 'N', Ctrl);
    Key(p, VK_MENU);
    Key(p, 'F');
    for (int i = 0; i < 4; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    ASSERT_FALSE(edits.empty()) << "no save dialog";
    EXPECT_EQ(TextOf(edits.front()), "ActualData.kpx");
    // A bare name lands beside the open database.
    Click(p, CenterOf(edits.front()));
    Key(p, 'A', Ctrl);
    Type(p, "Copy");
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_TRUE(FileExists(p.PathOf("Data\\Copy.kpx")));
    EXPECT_FALSE(FileExists(p.PathOf("Copy.kpx")));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PolishScenario, AStickyNoteShowsTheDueDateAsTheListDoes) {
    TProgram p("polish-sticky-date");
    WritePreparedDatabase(p.DatabasePath());
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, PreparedTaskPoint(main, 4));  // Write the quarterly report, due 28/11/2031
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return !VisibleTops(p, "QelvoJotpaperNote").empty(); }));
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const auto lines = RecordLines(p);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_GE(lines[0].size(), 11u) << "the record does not say what the note shows";
    EXPECT_EQ(lines[0][1], "Write the quarterly report");
    EXPECT_EQ(lines[0][10], "Due: 28/11/2031");
}

TEST(PolishScenario, PastedTextAndNamesTheFileCannotHoldAreRefusedWithAWord) {
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

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    EXPECT_NE(file.find("Work\xF7"), std::string::npos) << file;
    EXPECT_NE(file.find("Shop\xF7"), std::string::npos) << file;
    EXPECT_NE(TaskLine(file, "Call Tom"), "") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "Caf\xE9\xF8") << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PolishScenario, MenuKeysWorkInTheNoteTheDatePanelAndTheTagsPanel) {
    TProgram p("polish-menu-keys");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));

    Key(p, 'N', Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    MenuKeysWorkIn(p, "the note editor");

    // The date panel, its calendar closed.
    Click(p, parts.TreeRow(1));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Read;;");
    Key(p, VK_ESCAPE);
    ASSERT_EQ(ClassOf(p.Focus()), "TDateTimePicker");
    MenuKeysWorkIn(p, "the date panel");
    Key(p, VK_ESCAPE);

    // The tags panel's list of tags.
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "[[");
    Key(p, VK_TAB);
    ASSERT_EQ(ClassOf(p.Focus()), "TXtCheckListBox.UnicodeClass");
    MenuKeysWorkIn(p, "the tags panel");

    // Alt+F4 from there closes the window; nothing was changed.
    Key(p, VK_F4, Alt);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// Edits a user has begun when something else comes in between: the
// auto-save's moment while a list is renamed in the side tree, and the hot
// key while the quick-entry date panel has its calendar dropped down. What
// was typed stays, the keyboard stays where the user left it, and no part
// of an editor is left on the screen.
#include <gtest/gtest.h>

#include "e2e/ClockSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// A clock shift (QELVO_CLOCK_SHIFT) under which the program starts at
// second Second of a minute: its auto-save, due every minute, comes
// 60 - Second seconds later.
std::string ShiftToSecond(int second) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    int shift = second - now.wSecond;
    if (shift < 0) shift += 60;
    return std::to_string(shift);
}

// Starts the program on TwoListsDatabase with an auto-save every minute,
// the first one due some eight seconds after the start; its main window.
HWND StartWithAutoSaveSoon(TProgram& p) {
    TEnvironmentScope shift("QELVO_CLOCK_SHIFT", ShiftToSecond(52));
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    WriteFile(p.SettingsPath(), "[Options]\r\nAutoSave=1\r\nAutoSave Interval=1\r\n");
    p.Start();
    return p.Main();
}

bool CaptionSaysSaved(HWND main) { return TextOf(main).find("[Last Save at ") != std::string::npos; }

void PressHotKey(const TProgram& p) { Key(p, 'O', Ctrl | Shift); }

} // namespace

// The auto-save wrote the side tree back by ending the rename being typed:
// the list took the half-typed name ("Wor"), the rest of the name went to
// the tree's search, and Enter opened the editor again. The clock's save now
// leaves the editor alone: the file keeps the old name until the rename is
// done, which the next save writes.
TEST(InterruptedEditScenario, TheAutoSaveLeavesAListBeingRenamedInItsEditor) {
    TProgram p("interrupt-rename-autosave");
    HWND main = StartWithAutoSaveSoon(p);
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    Type(p, "Wor");
    ASSERT_FALSE(CaptionSaysSaved(main)) << "the auto-save came before the rename began";

    ASSERT_TRUE(WaitUntil([&] { return CaptionSaysSaved(main); }, 15000)) << "no auto-save came";
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "the auto-save closed the name's editor";
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Call Tom")).at(3), "Work")
        << "the auto-save wrote a name still being typed";
    Type(p, "shop");
    Key(p, VK_RETURN);
    EXPECT_EQ(Texts(p, tree), "All|Worshop*|Home");
    EXPECT_EQ(p.Focus(), tree);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(3), "Worshop");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(3), "Worshop");
}

// A note being typed when the auto-save came was taken into its task as if
// the user had left the note: the file has it (a save is a save), but Esc
// afterwards dropped only what was typed since the save, leaving the first
// half of an edit the user meant to drop. Esc now drops the whole edit.
TEST(InterruptedEditScenario, EscAfterTheAutoSaveDropsTheWholeNoteEdit) {
    TProgram p("interrupt-note-autosave");
    HWND main = StartWithAutoSaveSoon(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    ASSERT_EQ(parts.NoteCaption(), "Note: Write report");
    const std::wstring stored = WideTextOf(parts.NoteEditor);
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, " and a table");
    ASSERT_FALSE(CaptionSaysSaved(main)) << "the auto-save came before the note was typed";

    ASSERT_TRUE(WaitUntil([&] { return CaptionSaysSaved(main); }, 15000)) << "no auto-save came";
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8 and a table\xF8")
        << "the note typed so far is not in the auto-saved file";
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, " for Ann");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(WideTextOf(parts.NoteEditor), stored) << "Esc left part of the edit";
    EXPECT_EQ(p.Focus(), parts.List);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5), "Two pages\xF8");
}

// A title being typed in a long list, scrolled to its last task: a double
// click on the caption maximises the window and keeps the edit, but the list
// scrolled back for its new height and the editor stayed where it was, over
// another task's title (Enter still renamed the task being edited). The
// editor now follows its task, which stays in sight, as the window maximises
// and as it is restored.
TEST(InterruptedEditScenario, TheTitleEditorFollowsItsTaskWhenTheWindowIsMaximisedAndRestored) {
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
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }, 3000));
    p.Settle();
    editorNearTheBottom("maximised");
    Sleep(GetDoubleClickTime() + 50);
    const RECT big = RectOf(main);
    DoubleClick(p, POINT{(big.left + big.right) / 2, big.top + 8});
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }, 3000));
    p.Settle();
    editorNearTheBottom("restored");

    Key(p, VK_RETURN);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Last one")).at(2), "1000000040");
}

// The hot key pressed while the date panel's calendar was dropped down (";;"
// in the quick-entry box) minimised the window and left the calendar alone
// on the screen; the hot key again brought the window back with the keyboard
// nowhere, so what the user typed next was lost. The calendar now closes as
// the window goes, and the keyboard comes back to the quick-entry box.
TEST(InterruptedEditScenario, TheHotKeyTakesADroppedCalendarAlongAndBringsTheKeyboardBack) {
    TProgram p("interrupt-calendar-hotkey");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Buy ;;");
    ASSERT_EQ(VisibleTops(p, "SysMonthCal32").size(), 1u) << "no calendar dropped down";

    PressHotKey(p);
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().empty(); }, 3000))
        << "left on the screen: " << (p.TopWindows().empty() ? "" : ClassOf(p.TopWindows().front()));

    PressHotKey(p);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, 3000));
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_TRUE(VisibleTops(p, "SysMonthCal32").empty());
    Type(p, "milk");
    EXPECT_EQ(TextOf(parts.TopEdit), "Buy milk");
    Shot(p, main, "interrupt-calendar-hotkey");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

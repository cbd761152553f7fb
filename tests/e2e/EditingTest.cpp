// Editing tasks in the list as a user does: a title in place, a note,
// marking done, the popup menu on the task under the pointer, and a new
// list whose icon was chosen in the drop-down; each checked in what the
// window shows and in the saved file.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

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

TEST(EditingScenario, TitleNoteAndDoneReachTheSavedFile) {
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

    Key(p, 'S', Ctrl);
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

TEST(EditingScenario, RightClickSelectsTheTaskUnderThePointer) {
    TProgram p("editing-right-click");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");

    // The popup menu acts on the task under the pointer: its Delete is on.
    Click(p, parts.ListItem(1), true);
    EXPECT_EQ(parts.NoteCaption(), "Note: Write report");
    ASSERT_EQ(VisibleTops(p, "TXtPopupWindow").size(), 1u) << "no popup menu";
    Key(p, VK_DOWN);  // Make Sticky Note
    Key(p, VK_DOWN);  // Delete
    Key(p, VK_RETURN);
    HWND box = p.WaitDialog(3000);
    ASSERT_NE(box, nullptr) << "Delete was not enabled for the task under the pointer";
    EXPECT_NE(ChildTexts(box).find("delete selected item"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);  // Yes

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(TaskLine(file, "Write report"), "");
    EXPECT_NE(TaskLine(file, "Call Tom"), "");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(EditingScenario, TitleAndNoteRefuseCharactersTheFileCannotHold) {
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
    HWND box = p.WaitDialog(3000);
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
    box = p.WaitDialog(3000);
    ASSERT_NE(box, nullptr) << "the Chinese character went in without a word";
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.NoteEditor);
    Type(p, "Tea");
    Key(p, VK_RETURN, Shift);

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    const std::vector<std::string> task = Fields(TaskLine(file, "Call Al"));
    ASSERT_EQ(task.size(), 6u) << file;
    EXPECT_EQ(task[0], "+Call Al");
    EXPECT_EQ(task[5], "Tea\xF8");
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(EditingScenario, NewListsBeforeAndAfterTheIconDropDown) {
    TProgram p("editing-new-lists");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);

    // A list whose icon is chosen with the keyboard in the drop-down.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "Shop");
    Key(p, VK_DOWN);
    const std::vector<HWND> lists = VisibleTops(p, "ComboLBox");
    ASSERT_EQ(lists.size(), 1u) << "the icon drop-down did not open";
    HWND combo = p.Focus();
    const RECT list = RectOf(lists[0]), field = RectOf(combo), window = RectOf(main);
    // Wide enough for an icon and its number, short enough for the window,
    // and on the screen.
    EXPECT_GT(list.right - list.left, field.right - field.left) << "the drop-down is no wider than its field";
    EXPECT_LT(list.bottom - list.top, (window.bottom - window.top) / 2);
    EXPECT_GE(list.top, 0);
    EXPECT_LE(list.bottom, GetSystemMetrics(SM_CYSCREEN));
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    EXPECT_TRUE(VisibleTops(p, "ComboLBox").empty());
    EXPECT_EQ(p.Focus(), parts.Tree);

    // The next list: the name typed goes into the name editor and Enter
    // adds it; nothing of the drop-down comes back.
    Click(p, CenterOf(parts.NewListLabel));
    EXPECT_TRUE(VisibleTops(p, "ComboLBox").empty()) << "the drop-down opened again";
    Type(p, "Garden");
    EXPECT_EQ(TextOf(p.Focus()), "Garden");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.Tree);
    // Escape closes an editor opened and left empty.
    Click(p, CenterOf(parts.NewListLabel));
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), parts.Tree);
    EXPECT_TRUE(IsWindowVisible(parts.NewListLabel));

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(file.find("Home\xF7" "3\xF7\r\nShop\xF7" "1\xF7\r\nGarden\xF7"), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

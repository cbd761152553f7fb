// A day of use: what a user meets working with the program for a while,
// each found by doing it: text the database cannot hold pasted through an
// editor's context menu (or typed as a task's tags), names with an
// ampersand ("R&D") in the menus and captions that show them, a question
// left open while the hot key hides the window and brings it back, the
// first task typed into a database that has no list yet.
#include <gtest/gtest.h>

#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

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

TEST(UseScenario, TextTheFileCannotHoldPastedFromTheContextMenuIsRefused) {
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

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(file.find('?'), std::string::npos) << file;
    EXPECT_NE(file.find("Work\xF7"), std::string::npos) << file;
    EXPECT_EQ(TaskLines(file).size(), 2u) << file;
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "Caf\xE9\xF8") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(0), "Write report") << "the tags were kept";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(UseScenario, ANameWithAnAmpersandIsShownAndChosenAsItIs) {
    TProgram p("use-ampersand");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "R&D");
    Key(p, VK_RETURN);

    // A task titled with an ampersand: the note panel names it as it is.
    Click(p, parts.TreeRow(3));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Pay rent & fees");
    Key(p, VK_RETURN);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Pay rent && fees") << "the caption makes \"& \" a shortcut mark";
    Shot(p, main, "use-ampersand-list");

    // "Move To List": the list's "&" marks no shortcut, so D chooses
    // nothing; the arrows choose "R&D" itself.
    Click(p, parts.TreeRow(1));  // Work
    Click(p, parts.ListItem(0));
    Key(p, 'L', Shift);
    Key(p, 'D');
    Key(p, VK_ESCAPE);
    // From the quick-entry's lists menu likewise ("All" chosen, so the
    // menu asks for the list).
    Click(p, parts.TreeRow(0));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Plan the budget");
    Key(p, VK_RETURN);
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(3), "Work") << "D chose the list R&D";
    EXPECT_EQ(Fields(TaskLine(file, "Plan the budget")).at(3), "R&D") << file;
    EXPECT_EQ(Fields(TaskLine(file, "Pay rent & fees")).at(3), "R&D") << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(UseScenario, AQuestionOpenWhileTheHotKeyHidesAndShowsTheWindowStillTakesTheKeys) {
    TProgram p("use-hotkey-question");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_TRUE(WaitUntil([] { return WineSystemTray() != nullptr && IsWindowVisible(WineSystemTray()); }))
        << "no notification area";
    Click(p, parts.ListItem(1));
    Key(p, VK_DELETE);
    const HWND question = p.WaitDialog();
    ASSERT_NE(question, nullptr);
    // To the tray and back with the question up: the question has the
    // keyboard again, and No keeps the task.
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(question)) << "the window came back over its own question";
    Key(p, 'N');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) || !IsWindowVisible(question); }, 3000))
        << "the question did not take the keys";
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TaskLines(ReadFile(p.DatabasePath())).size(), 2u);
}

TEST(UseScenario, TheFirstTaskTypedBeforeAnyListIsKeptWithAWord) {
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
    HWND box = p.WaitDialog(3000);
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

} // namespace qelvo::e2e

// Switching to another program while a task's title is being typed: what
// was typed is kept, as Explorer keeps a name being typed.
#include <gtest/gtest.h>

#include <string>

#include "e2e/E2eDriver.h"
#include "e2e/OtherProgramSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The chosen task's title, without the mark of a note.
std::string Chosen(const TMainWindowParts& parts) {
    const std::string chosen = parts.ChosenTask(), noted = "Note: ";
    return chosen.compare(0, noted.size(), noted) == 0 ? chosen.substr(noted.size()) : chosen;
}

// The title editor opened with F2 on task Index of the list, whose title
// is Title; nullptr (and a failure) when none opened.
HWND EditTitle(TProgram& p, const TMainWindowParts& parts, int index, const std::string& title) {
    Click(p, parts.ListItem(index));
    EXPECT_EQ(Chosen(parts), title) << "another task under the pointer";
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
// up while typing is no switch to another program.
TEST(ExploreSwitchAwayScenario, ATitleBeingTypedIsKeptWhenTheUserSwitchesToAnotherProgram) {
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
    other.Activate(p);
    Type(p, "elsewhere");
    EXPECT_NE(TextOf(other.Window()).find("elsewhere"), std::string::npos)
        << "the keys typed did not reach the other program";
    ComeBack(p, main);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the title editor is still open";
    EXPECT_EQ(Chosen(parts), "Write the annual report") << "the title typed was lost on the switch";

    // Away again, and back with a click on the task.
    editor = EditTitle(p, parts, 0, "Call Tom");
    ASSERT_NE(editor, nullptr);
    Key(p, 'A', Ctrl);
    Type(p, "Call Tom about the roof");
    other.Activate(p);
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_FALSE(IsWindowVisible(editor)) << "the title editor is still open";
    EXPECT_EQ(Chosen(parts), "Call Tom about the roof") << "the title typed was lost on the second switch";
    EXPECT_EQ(p.Focus(), parts.List);

    // Esc still throws the title typed away.
    editor = EditTitle(p, parts, 0, "Call Tom about the roof");
    ASSERT_NE(editor, nullptr);
    Type(p, " and the gutter");
    Key(p, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(Chosen(parts), "Call Tom about the roof");

    // A character the file cannot hold brings the program's own message
    // box up while typing: the editor stays, with the title typed, even
    // when the user goes to another program and comes back to the box.
    editor = EditTitle(p, parts, 1, "Write the annual report");
    ASSERT_NE(editor, nullptr);
    Key(p, VK_END);
    Type(p, L" \x4E2D");
    const HWND box = p.WaitDialog(3000);
    ASSERT_NE(box, nullptr) << "no word on the character refused";
    other.Activate(p);
    ComeBack(p, box);
    Key(p, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }));
    EXPECT_TRUE(IsWindowVisible(editor)) << "the message box ended the edit";
    EXPECT_EQ(TextOf(editor), "Write the annual report ");
    Type(p, "for 2026");
    Key(p, VK_RETURN);
    EXPECT_EQ(Chosen(parts), "Write the annual report for 2026");

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_NE(TaskLine(file, "Write the annual report for 2026"), "");
    EXPECT_NE(TaskLine(file, "Call Tom about the roof"), "");
    EXPECT_EQ(TaskLine(file, "gutter"), "");
    EXPECT_EQ(TaskLine(file, "Write report"), "");
}

} // namespace qelvo::e2e

// Content at its limits as a user meets it: many lists and tags in the
// side tree, names made of blanks or of the separators the quick-entry
// syntax uses, long titles and tag lists, and big notes; each must end in
// the right result or a clear word, never a lost task or a stuck window.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

#include <algorithm>
#include <cstdio>

namespace qelvo::e2e {

namespace {

const std::string S = "\xF7";

// The size of a long note (a pasted log): short lines, so that loading it
// takes the editor a second or two under Wine and emptying it in place far
// longer than any wait of a scenario.
constexpr size_t LongNoteSize = 300000;

std::string TaskLineOf(const std::string& shortForm, const std::string& list, int id, const std::string& note = "") {
    char number[16];
    std::snprintf(number, sizeof number, "%010d", id);
    return shortForm + S + "--" + S + number + S + list + S + "1/2/2025" + S + note + S + "\r\n";
}

// A database of Lists lists ("List 0" ...) and Tags tags ("tag0" ...), with
// one task in List 0 carrying the first TaskTags tags and one without.
std::string CrowdedDatabase(int lists, int tags, int taskTags) {
    std::string db = "d_id-0123456789\r\n";
    for (int i = 0; i < lists; ++i) db += "List " + std::to_string(i) + S + std::to_string(i % 20) + S + "\r\n";
    db += "<--<*&^Folders^&*>-->\r\n";
    for (int i = 0; i < tags; ++i) db += "tag" + std::to_string(i) + "\r\n";
    db += "<--<*&^Tags^&*>-->\r\n";
    std::string list;
    for (int i = 0; i < taskTags; ++i) list += (i ? "," : "") + std::string("tag") + std::to_string(i);
    db += TaskLineOf("[" + list + "]Many tags", "List 0", 1);
    db += TaskLineOf("No tags", "List 0", 2);
    return db;
}

// Starts the program on CrowdedDatabase; its main window.
HWND StartOnCrowded(TProgram& p, int lists, int tags, int taskTags) {
    WriteFile(p.DatabasePath(), CrowdedDatabase(lists, tags, taskTags));
    p.Start();
    return p.Main();
}

// Types Name under "< New List >" (or "< New tag >") and presses Enter.
void AddNode(TProgram& p, const TMainWindowParts& parts, const std::string& name) {
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, name);
    Key(p, VK_RETURN);
}

// Saves (Ctrl+S) and tells whether the file holds Line as a whole line.
bool SavedWithLine(TProgram& p, const std::string& line) {
    Key(p, 'S', Ctrl);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Whether the tree shows the node of that text inside its window.
bool NodeInSight(const TProgram& p, HWND tree, const std::string& text) {
    const RECT box = RectOf(tree);
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == text)
            return n.Rect.top >= box.top && n.Rect.bottom <= box.bottom && n.Rect.bottom > n.Rect.top;
    return false;
}

} // namespace

// A list or tag added under "< New List >" / "< New tag >" goes last in the
// tree. With more lists than the tree shows it went below the rows in
// sight: Enter seemed to do nothing, and the user added it again.
TEST(ExploreLimitsScenario, ANewListOrTagInALongTreeComesIntoSight) {
    TProgram p("limits-new-node-in-sight");
    HWND main = StartOnCrowded(p, 40, 40, 0);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_FALSE(NodeInSight(p, parts.Tree, "List 39")) << "the tree shows every list: the scenario needs more";

    AddNode(p, parts, "Groceries");
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "Groceries")) << "the new list is out of sight";

    Key(p, VK_RIGHT, Ctrl);  // the tags
    AddNode(p, parts, "urgent");
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "urgent")) << "the new tag is out of sight";

    EXPECT_TRUE(SavedWithLine(p, "Groceries" + S + "0" + S));
    EXPECT_TRUE(SavedWithLine(p, "urgent"));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A name of blanks only gave a list or tag that shows as an empty row; a
// blank tag chosen filtered every task away under a filter caption of
// blanks. Such a name adds nothing, as an empty one does.
TEST(ExploreLimitsScenario, ANameOfBlanksAddsNoListAndNoTag) {
    TProgram p("limits-blank-names");
    HWND main = StartOnCrowded(p, 2, 2, 2);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    AddNode(p, parts, "   ");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|List 0|List 1");

    Key(p, VK_RIGHT, Ctrl);
    AddNode(p, parts, "   ");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|tag0|tag1");
    // Every task is still shown: click the first row.
    Click(p, parts.ListItem(0));
    EXPECT_NE(parts.ChosenTask(), "Note") << "the tasks are filtered away";

    EXPECT_FALSE(SavedWithLine(p, "   ")) << "a blank tag was saved";
    EXPECT_FALSE(SavedWithLine(p, "   " + S + "0" + S)) << "a blank list was saved";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The tags panel of a task (Shift+T) lists every tag of the database. With
// two thousand tags it took some fifteen seconds to open, the window
// neither painting nor answering meanwhile.
TEST(ExploreLimitsScenario, TheTagsPanelOpensAtOnceAmongThousandsOfTags) {
    TProgram p("limits-tags-panel");
    HWND main = StartOnCrowded(p, 2, 2000, 200);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.ChosenTask(), "Many tags");

    Key(p, 'T', Shift);  // fails when the program does not answer
    EXPECT_NE(ClassOf(p.Focus()).find("CheckList"), std::string::npos) << ClassOf(p.Focus());
    // Up from the first line reaches the tags text: one more tag, Enter.
    Key(p, VK_UP);
    Type(p, std::string(",tag1999"));
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), parts.List);

    Key(p, 'S', Ctrl);
    const std::vector<std::string> task = SavedTask(ReadFile(p.DatabasePath()), "Many tags");
    ASSERT_FALSE(task.empty());
    std::string expected = "[";
    for (int i = 0; i < 200; ++i) expected += "tag" + std::to_string(i) + ",";
    EXPECT_EQ(task[0], expected + "tag1999]Many tags");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A long title pasted into the quick-entry box and a long note pasted into
// the note panel are kept, saved and read back whole: the next start
// crashed reading a task of some tens of thousands of characters, and the
// title editor (Enter on the task) held only the first few thousand of
// them, so letters typed at its end and Enter threw the rest away.
TEST(ExploreLimitsScenario, ALongPastedTitleAndNoteSurviveARestartAndAnEdit) {
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

// A long note in the note panel (a few hundred thousand characters to a
// few megabytes): choosing another task emptied the editor holding it,
// which took minutes; the window did not answer meanwhile, so a save or an
// exit asked for did not happen. The next task's note comes at once, the
// long one is saved whole, and it shows again when its task is chosen.
TEST(ExploreLimitsScenario, ALongNoteGivesWayToAnotherTaskAtOnce) {
    TProgram p("limits-megabyte-note");
    std::string note;
    for (int i = 0; note.size() < LongNoteSize; ++i) note += "Line " + std::to_string(i) + " of the minutes\xF8";
    WriteFile(p.DatabasePath(), "d_id-0123456789\r\nWork" + S + "0" + S + "\r\n<--<*&^Folders^&*>-->\r\n"
                                "<--<*&^Tags^&*>-->\r\n" + TaskLineOf("Minutes", "Work", 1, note) +
                                TaskLineOf("Call Tom", "Work", 2, "Ask about Friday\xF8"));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ClickNode(p, parts.Tree, "Work");
    Click(p, parts.ListItem(0));
    ASSERT_EQ(parts.NoteCaption(), "Note: Minutes");

    Click(p, parts.ListItem(1));  // fails when the program does not answer
    if (HasFailure()) return;
    EXPECT_EQ(parts.NoteCaption(), "Note: Call Tom");
    EXPECT_EQ(TextOf(parts.NoteEditor), "Ask about Friday\r\n");
    Key(p, 'S', Ctrl);
    if (HasFailure()) return;
    EXPECT_EQ(SavedTask(ReadFile(p.DatabasePath()), "Minutes").at(5), note) << "the long note was not kept whole";

    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "Note: Minutes");
    DWORD_PTR length = 0;
    SendMessageTimeoutA(parts.NoteEditor, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, WaitBound, &length);
    EXPECT_GE(length, note.size());
    EXPECT_EQ(TextOf(parts.NoteEditor).substr(0, 30), "Line 0 of the minutes\r\nLine 1 ") << length;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

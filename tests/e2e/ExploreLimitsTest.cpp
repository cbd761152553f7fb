// Content at its limits as a user meets it: many lists and tags in the
// side tree, names made of blanks or of the separators the quick-entry
// syntax uses, long titles and tag lists, and big notes; each must end in
// the right result or a clear word, never a lost task or a stuck window.
#include <gtest/gtest.h>

#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace qelvo::e2e {

namespace {

const std::string S = "\xF7";

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

// Whether the tree shows the node of that text inside its window.
bool NodeInSight(const TProgram& p, HWND tree, const std::string& text) {
    const RECT box = RectOf(tree);
    for (const TNodeInfo& n : Nodes(p, tree))
        if (n.Text == text)
            return n.Rect.top >= box.top && n.Rect.bottom <= box.bottom && n.Rect.bottom > n.Rect.top;
    return false;
}

double Ms(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

// A list or tag added under "< New List >" / "< New tag >" goes last in the
// tree. With more lists than the tree shows it went below the rows in
// sight: Enter seemed to do nothing, and the user added it again.
TEST(ExploreLimitsScenario, ANewListOrTagInALongTreeComesIntoSight) {
    TProgram p("limits-new-node-in-sight");
    WriteFile(p.DatabasePath(), CrowdedDatabase(40, 40, 0));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_FALSE(NodeInSight(p, parts.Tree, "List 39")) << "the tree shows every list: the scenario needs more";

    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::string("Groceries"));
    Key(p, VK_RETURN);
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "Groceries")) << "the new list is out of sight";

    Key(p, VK_RIGHT, Ctrl);  // the tags
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::string("urgent"));
    Key(p, VK_RETURN);
    EXPECT_TRUE(NodeInSight(p, parts.Tree, "urgent")) << "the new tag is out of sight";

    Key(p, 'S', Ctrl);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Groceries" + S + "0" + S), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "urgent"), lines.end());
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A name of blanks only gave a list or tag that shows as an empty row; a
// blank tag chosen filtered every task away under a filter caption of
// blanks. Such a name adds nothing, as an empty one does.
TEST(ExploreLimitsScenario, ANameOfBlanksAddsNoListAndNoTag) {
    TProgram p("limits-blank-names");
    WriteFile(p.DatabasePath(), CrowdedDatabase(2, 2, 2));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::string("   "));
    Key(p, VK_RETURN);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|List 0|List 1");

    Key(p, VK_RIGHT, Ctrl);
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::string("   "));
    Key(p, VK_RETURN);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, parts.Tree), "All*|tag0|tag1");
    // Every task is still shown: click the first row.
    Click(p, parts.ListItem(0));
    EXPECT_NE(parts.ChosenTask(), "Note") << "the tasks are filtered away";

    Key(p, 'S', Ctrl);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "   "), lines.end()) << "a blank tag was saved";
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "   " + S + "0" + S), lines.end()) << "a blank list was saved";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The tags panel of a task (Shift+T) lists every tag of the database. With
// two thousand tags it took some fifteen seconds to open, the window
// neither painting nor answering meanwhile.
TEST(ExploreLimitsScenario, TheTagsPanelOpensAtOnceAmongThousandsOfTags) {
    TProgram p("limits-tags-panel");
    WriteFile(p.DatabasePath(), CrowdedDatabase(2, 2000, 200));
    p.Start();
    HWND main = p.Main();
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

} // namespace qelvo::e2e

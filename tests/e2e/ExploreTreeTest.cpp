// The side panel of lists and tags together with a grouped, filtered task
// list: names given in place that other nodes already carry, the tree's
// keyboard, and deleting what the filter names.
#include <gtest/gtest.h>

#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

void Save(const TProgram& p) { Key(p, 'S', Ctrl); }

} // namespace

TEST(ExploreTreeScenario, AnEditEndedByEscLeavesTheTreesKeysWorking) {
    TProgram p("explore-tree-esc");
    WriteFile(p.DatabasePath(), ThreeTasksDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree), "All*|Work|Home");

    // Lists: Enter opens the name's editor, Esc closes it unchanged; then
    // Delete asks, Enter edits again, Ctrl+Right shows the tags.
    ClickNode(p, tree, "Work");
    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u);
    Type(p, "Office");
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty());
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Key(p, VK_DELETE);
    HWND box = p.WaitDialog();
    EXPECT_NE(box, nullptr) << "Delete did nothing after an edit ended by Esc";
    if (box) {
        Key(p, 'N');
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    Key(p, VK_RETURN);
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Enter did not edit the name again";
    Key(p, VK_ESCAPE);
    Key(p, VK_RIGHT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All*|work|home") << "Ctrl+Right did not show the tags";

    // Tags: the same after Esc, and Right gives the keyboard to the tasks.
    ClickNode(p, tree, "home");
    Key(p, VK_RETURN);
    Type(p, "house");
    Key(p, VK_ESCAPE);
    EXPECT_EQ(Texts(p, tree), "All|work|home*");
    Key(p, VK_DELETE);  // a tag goes without a question
    EXPECT_EQ(Texts(p, tree), "All*|work") << "Delete did nothing after an edit ended by Esc";
    Key(p, VK_LEFT, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|Work*|Home");
    Save(p);
    const std::string saved = ReadFile(p.DatabasePath());
    const auto both = SavedTask(saved, "Both");
    ASSERT_FALSE(both.empty()) << saved;
    EXPECT_EQ(both[0], "[work]Both");
    EXPECT_EQ(both[3], "Work");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

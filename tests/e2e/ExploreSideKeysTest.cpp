// A keyboard user in the side panel of lists and tags: moving a node while
// its name is being typed over.
#include <gtest/gtest.h>

#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// ThreeTasksDatabase with more lists (Shop, then List A to List T) and a
// third tag, shop.
std::string ThreeListsDatabase() {
    std::string file = ThreeTasksDatabase();
    std::string more = "Shop\xF7" "5\xF7\r\n";
    // Enough lists below it for the tree to scroll.
    for (char c = 'A'; c <= 'T'; ++c) more += std::string("List ") + c + "\xF7" "1\xF7\r\n";
    file.replace(file.find("<--<*&^Folders"), 0, more);
    file.replace(file.find("<--<*&^Tags"), 0, "shop\r\n");
    return file;
}

// Enter on the chosen node, Name typed over it, then Ctrl with Arrow:
// the tree as it shows then, its first Length characters; the editor
// must be gone and the keyboard back in the tree.
std::string NameAndMove(const TProgram& p, HWND tree, const std::string& name, WORD arrow, size_t length) {
    Key(p, VK_RETURN);
    EXPECT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u) << "Enter opened no editor for " << name;
    Type(p, name);
    Key(p, arrow, Ctrl);
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty()) << name;
    EXPECT_EQ(p.Focus(), tree) << name;
    return Texts(p, tree).substr(0, length);
}

} // namespace

// Ctrl+Up and Ctrl+Down reach the tree from the name's editor and move the
// node; the name typed went with the editor when the node moved down past
// one that was not the last, while the node moved. The name typed goes
// with the node; one that joins another list or tag moves nothing.
TEST(ExploreSideKeysScenario, MovingANodeWhileItsNameIsTypedTakesTheName) {
    TProgram p("explore-sidekeys-move-editing");
    WriteFile(p.DatabasePath(), ThreeListsDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ASSERT_EQ(Texts(p, tree).substr(0, 20), "All*|Work|Home|Shop|");

    ClickNode(p, tree, "Home");
    EXPECT_EQ(NameAndMove(p, tree, "House", VK_UP, 21), "All|House*|Work|Shop|");
    EXPECT_EQ(NameAndMove(p, tree, "Flat", VK_DOWN, 20), "All|Work|Flat*|Shop|");

    // The tags tab the same way; a name that joins another tag leaves
    // nothing to move.
    Key(p, VK_RIGHT, Ctrl);
    ClickNode(p, tree, "work");
    EXPECT_EQ(NameAndMove(p, tree, "job", VK_DOWN, 99), "All|home|job*|shop");
    Key(p, VK_UP);
    EXPECT_EQ(NameAndMove(p, tree, "shop", VK_DOWN, 99), "All|job|shop*");
    Shot(p, main, "explore-sidekeys-move-editing");

    Key(p, 'S', Ctrl);
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_NE(saved.find("\r\nWork\xF7" "0\xF7\r\nFlat\xF7" "3\xF7\r\nShop\xF7" "5\xF7\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\r\njob\r\nshop\r\n<--"), std::string::npos) << saved;
    const auto milk = SavedTask(saved, "Buy milk");
    ASSERT_FALSE(milk.empty()) << saved;
    EXPECT_EQ(milk[0], "[shop]Buy milk");
    EXPECT_EQ(milk[3], "Flat");
    const auto both = SavedTask(saved, "Both");
    ASSERT_FALSE(both.empty()) << saved;
    EXPECT_EQ(both[0], "[job,shop]Both");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

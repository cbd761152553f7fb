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
    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u);
    Type(p, "House");
    Key(p, VK_UP, Ctrl);
    EXPECT_EQ(Texts(p, tree).substr(0, 21), "All|House*|Work|Shop|");
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty());
    EXPECT_EQ(p.Focus(), tree);

    Key(p, VK_RETURN);
    ASSERT_EQ(ChildrenOfClass(tree, "Edit").size(), 1u);
    Type(p, "Flat");
    Key(p, VK_DOWN, Ctrl);
    EXPECT_EQ(Texts(p, tree).substr(0, 20), "All|Work|Flat*|Shop|");
    EXPECT_TRUE(ChildrenOfClass(tree, "Edit").empty());
    EXPECT_EQ(p.Focus(), tree);

    // The tags tab the same way.
    Key(p, VK_RIGHT, Ctrl);
    ClickNode(p, tree, "work");
    Key(p, VK_RETURN);
    Type(p, "job");
    Key(p, VK_DOWN, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|home|job*|shop");
    // A name that joins another tag leaves nothing to move.
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    Type(p, "shop");
    Key(p, VK_DOWN, Ctrl);
    EXPECT_EQ(Texts(p, tree), "All|job|shop*");
    EXPECT_EQ(p.Focus(), tree);
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

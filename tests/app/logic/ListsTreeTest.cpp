// The lists-and-tags tree model: building and writing back, selection,
// filters, new tags, renames, deletes, moves and drops.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/ListsTree.h"
#include "app/logic/MainShell.h"

namespace qelvo {
namespace {

const std::string F(1, FieldSeparator);

std::vector<std::string> Texts(const TListsTreeModel& tree) {
    std::vector<std::string> out;
    for (const TTreeNode& n : tree.Nodes) out.push_back(n.Text);
    return out;
}

TEST(ListsTree, RoundTripThroughTheTables) {
    TuData data;
    data.Folders->Add("Work" + F + "3" + F);
    data.Folders->Add(F + "1" + F);       // no name: skipped
    data.Folders->Add("Home" + F + "x" + F);  // icon not a number: no image
    data.Folders->Add("Bare");
    TListsTreeModel tree;
    tree.BuildListsTree(*data.Folders);
    EXPECT_EQ((std::vector<std::string>{"All", "Work", "Home", "Bare"}), Texts(tree));
    EXPECT_EQ(3, tree.Nodes[1].ImageIndex);
    EXPECT_EQ(-1, tree.Nodes[2].ImageIndex);
    EXPECT_TRUE(tree.ListsMode);

    // An unchanged table leaves Modified alone; a changed one sets it.
    TuData clean;
    clean.Folders->Add("Work" + F + "3" + F);
    clean.Folders->Add("Home" + F + "1" + F);
    tree.BuildListsTree(*clean.Folders);
    tree.StoreToData(clean);
    EXPECT_FALSE(clean.Modified);
    EXPECT_TRUE(tree.MoveDown(1));
    tree.StoreToData(clean);
    EXPECT_TRUE(clean.Modified);
    EXPECT_EQ("Home" + F + "1" + F + "\r\nWork" + F + "3" + F + "\r\n", clean.Folders->GetText());

    data.Tags->Add("b");
    data.Tags->Add("a");
    tree.BuildTagsTree(*data.Tags);
    EXPECT_FALSE(tree.ListsMode);
    EXPECT_EQ((std::vector<std::string>{"All", "b", "a"}), Texts(tree));
    EXPECT_EQ(TagNodeImage, tree.Nodes[1].ImageIndex);
    tree.AddNode("c", TagNodeImage);
    tree.StoreToData(data);
    EXPECT_EQ("b\r\na\r\nc\r\n", data.Tags->GetText());

    // Only "All": nothing is written back (an empty table stays as it is).
    TuData empty;
    tree.BuildListsTree(*empty.Folders);
    EXPECT_EQ((std::vector<std::string>{"All"}), Texts(tree));
    data.Modified = false;
    tree.ListsMode = true;
    tree.StoreToData(data);
    EXPECT_EQ(4, data.Folders->GetCount());
    EXPECT_FALSE(data.Modified);
}

TEST(ListsTree, SelectionAndFilters) {
    gcl::TStringList tags;
    for (const char* t : {"work", "homework", "Shop", "ab"}) tags.Add(t);
    TListsTreeModel tree;
    tree.BuildTagsTree(tags);
    // Whole items of the filter only: "work" is not selected by "homework,".
    tree.RestoreTreeSelection("", "homework,");
    EXPECT_EQ("homework,", tree.SelectedTagFilter());
    tree.RestoreTreeSelection("", "SHOP, work,");
    EXPECT_EQ("work,Shop,", tree.SelectedTagFilter());
    tree.RestoreTreeSelection("", "zz,");
    EXPECT_EQ(0, tree.SelectedIndex());
    EXPECT_EQ("", tree.SelectedTagFilter());
    tree.RestoreTreeSelection("", "");
    EXPECT_EQ(0, tree.SelectedIndex());
    // Tags that differ in letter case or blanks alone: each item of the
    // filter chooses its own.
    tags.Clear();
    for (const char* t : {"Home", "home", " Car", "Car"}) tags.Add(t);
    tree.BuildTagsTree(tags);
    for (const char* filter : {"home,", "Car,", " Car,", "Home,Car,"}) {
        tree.RestoreTreeSelection("", filter);
        EXPECT_EQ(filter, tree.SelectedTagFilter());
    }
    tree.RestoreTreeSelection("", "HOME, car ,");
    EXPECT_EQ("Home, Car,", tree.SelectedTagFilter());

    gcl::TStringList folders;
    folders.Add("Work" + F + "0" + F);
    folders.Add("work" + F + "0" + F);
    tree.BuildListsTree(folders);
    tree.RestoreTreeSelection("work", "");
    EXPECT_EQ(2, tree.SelectedIndex());  // exact name
    EXPECT_EQ("work", tree.SelectedListName());
    tree.RestoreTreeSelection("Gone", "");
    EXPECT_EQ(0, tree.SelectedIndex());
    EXPECT_EQ("", tree.SelectedListName());
    // A list is chosen by the first 50 characters of its name.
    folders.Add(std::string(60, 'x') + F + "0" + F);
    tree.BuildListsTree(folders);
    tree.RestoreTreeSelection(std::string(MaxFolderLength, 'x'), "");
    EXPECT_EQ(3, tree.SelectedIndex());
    EXPECT_EQ(2, ChosenFolderEntry(folders, std::string(MaxFolderLength, 'x')));
    EXPECT_EQ(-1, FindFolderEntry(folders, std::string(MaxFolderLength, 'x')));
    EXPECT_EQ(1, ChosenFolderEntry(folders, "work"));

    EXPECT_EQ("All lists > All tags", FilterCaption("", ""));
    EXPECT_EQ("Work > a,b", FilterCaption("Work", "a,b,"));
    EXPECT_EQ("All lists > a", FilterCaption("", "a"));
}

TEST(ListsTree, MovesKeepAllFirst) {
    gcl::TStringList tags;
    for (const char* t : {"a", "b", "c"}) tags.Add(t);
    TListsTreeModel tree;
    tree.BuildTagsTree(tags);
    EXPECT_FALSE(tree.MoveUp(0));
    EXPECT_FALSE(tree.MoveUp(1));  // nothing moves above "All"
    EXPECT_FALSE(tree.MoveDown(0));
    EXPECT_FALSE(tree.MoveDown(3));  // the last one
    EXPECT_TRUE(tree.MoveUp(3));
    EXPECT_TRUE(tree.MoveDown(1));
    EXPECT_EQ((std::vector<std::string>{"All", "c", "a", "b"}), Texts(tree));
}

TEST(ListsTree, TaskTags) {
    TuData data;
    data.Tags->Add("Work");
    EXPECT_FALSE(RegisterTaskTags(data, ""));
    EXPECT_FALSE(RegisterTaskTags(data, "work"));
    EXPECT_FALSE(data.Modified);
    EXPECT_TRUE(RegisterTaskTags(data, "home, ,work,car,home"));
    EXPECT_EQ("Work\r\nhome\r\ncar\r\n", data.Tags->GetText());
    EXPECT_TRUE(data.Modified);
    // A tag written as a marker line of the file stays out of the table
    // (it would end the tags there in the saved file).
    EXPECT_FALSE(RegisterTaskTags(data, "<--<*&^TAGS^&*>-->,<--<*&^Folders^&*>-->"));
    EXPECT_EQ(3, data.Tags->GetCount());

    EXPECT_FALSE(RegisterTaskTags("zz"));  // no open database
    Database = &data;
    EXPECT_TRUE(RegisterTaskTags("zz"));
    Database = nullptr;
    EXPECT_EQ(4, data.Tags->GetCount());
    // A one-letter tag is a tag as any other: the table lists it, so the
    // tags panel and the side tree offer it.
    EXPECT_TRUE(RegisterTaskTags(data, "x"));
    EXPECT_EQ(5, data.Tags->GetCount());

    EXPECT_EQ("t", ToggleTag("", "t"));
    EXPECT_EQ("a,t", ToggleTag("a", "t"));
    EXPECT_EQ("a,c", ToggleTag("a,t,c", "t"));
    EXPECT_EQ("", ToggleTag("t", "t"));
    EXPECT_EQ("a", ToggleTag("a,t", "t"));
    EXPECT_EQ("at,t", ToggleTag("at", "t"));  // whole items only
    EXPECT_EQ("T,t", ToggleTag("T", "t"));    // compared exactly
    EXPECT_TRUE(IsTagNameKeySwallowed(','));
    EXPECT_TRUE(IsTagNameKeySwallowed(';'));
    EXPECT_FALSE(IsTagNameKeySwallowed('a'));
    EXPECT_TRUE(IsTagNameAllowed("home office"));
    EXPECT_FALSE(IsTagNameAllowed("a,b"));
    EXPECT_FALSE(IsTagNameAllowed("[x"));
    EXPECT_FALSE(IsTagNameAllowed("x]"));
    EXPECT_TRUE(IsListNameAllowed("Work, home; [misc]"));
    EXPECT_FALSE(IsListNameAllowed("10\xF7" "2"));
}

TEST(ListsTree, RenameDeleteAndDrop) {
    TuData data;
    data.Folders->Add("Work" + F + "abc" + F);  // stored in another form
    data.Folders->Add("Home" + F + "2" + F);
    TuTask* w = test::AddTask(data, "w", "Work", "x,y");
    TuTask* h = test::AddTask(data, "h", "Home", "y");
    TListsTreeModel tree;
    tree.BuildListsTree(*data.Folders);

    EXPECT_FALSE(RenameNode(tree, 0, "Everything", data));  // "All"
    EXPECT_FALSE(RenameNode(tree, 1, "  ", data));          // an empty name cancels
    EXPECT_EQ("Work", w->Folder);
    EXPECT_EQ(2, data.Folders->GetCount());
    EXPECT_TRUE(RenameNode(tree, 1, "Job", data));
    EXPECT_EQ("Job", w->Folder);
    EXPECT_EQ("Job" + F + "abc" + F, data.Folders->Get(0));
    EXPECT_EQ("Job", tree.Nodes[1].Text);

    EXPECT_TRUE(DropOnNode(tree, 2, {w}, data));
    EXPECT_EQ("Home", w->Folder);
    EXPECT_FALSE(DropOnNode(tree, 0, {w}, data));

    EXPECT_TRUE(DeleteNode(tree, 2, data));  // Home and both its tasks
    EXPECT_EQ(0, data.Tasks->GetCount());
    EXPECT_EQ("Job" + F + "abc" + F + "\r\n", data.Folders->GetText());
    EXPECT_EQ((std::vector<std::string>{"All", "Job"}), Texts(tree));
    EXPECT_FALSE(DeleteNode(tree, 0, data));
    (void)h;

    // Tags.
    TuData td;
    td.Tags->Add("y");
    td.Tags->Add("x");
    TuTask* a = test::AddTask(td, "a", "", "x,y");
    TuTask* b = test::AddTask(td, "b", "", "y");
    TuTask* c = test::AddTask(td, "c", "", "");
    tree.BuildTagsTree(*td.Tags);
    EXPECT_FALSE(RenameNode(tree, 1, "", td));  // would strip "y" from every task
    EXPECT_EQ("x,y", a->Tags);
    EXPECT_TRUE(DropOnNode(tree, 2, {a, b, c}, td));  // toggles "x"
    EXPECT_EQ("y", a->Tags);
    EXPECT_EQ("y,x", b->Tags);
    EXPECT_EQ("x", c->Tags);
    EXPECT_TRUE(RenameNode(tree, 1, "why", td));
    EXPECT_EQ("why,x", b->Tags);
    EXPECT_TRUE(DeleteNode(tree, 2, td));
    EXPECT_EQ("why", b->Tags);
    EXPECT_EQ("", c->Tags);
    EXPECT_EQ("why\r\n", td.Tags->GetText());
}

// A name another node has (letter case and blanks around it aside) joins
// the two: one entry is left, in the other's place and spelling, and every
// task of the renamed one is kept under it (a tag once per task).
TEST(ListsTree, RenamingOntoAnotherNameJoinsTheTwo) {
    TuData data;
    data.Folders->Add("Work" + F + "0" + F);
    data.Folders->Add("Home" + F + "3" + F);
    data.Folders->Add("Workshop" + F + "1" + F);
    TuTask* w = test::AddTask(data, "w", "Work", "");
    TuTask* h = test::AddTask(data, "h", "Home", "");
    TuTask* s = test::AddTask(data, "s", "Workshop", "");
    TListsTreeModel tree;
    tree.BuildListsTree(*data.Folders);
    EXPECT_EQ(-1, NamesakeNode(tree, 1, "work"));  // its own name in other letters
    EXPECT_EQ(2, NamesakeNode(tree, -1, "HOME"));
    std::string joined = "stale";
    EXPECT_TRUE(RenameNode(tree, 1, "WORK ", data, &joined));  // a new spelling of its own
    EXPECT_EQ("", joined);
    EXPECT_EQ("WORK", w->Folder);
    data.Modified = false;
    EXPECT_TRUE(RenameNode(tree, 1, " home", data, &joined));
    EXPECT_EQ("Home", joined);
    EXPECT_EQ((std::vector<std::string>{"All", "Home", "Workshop"}), Texts(tree));
    EXPECT_EQ("Home" + F + "3" + F + "\r\n" + "Workshop" + F + "1" + F + "\r\n", data.Folders->GetText());
    EXPECT_EQ("Home", w->Folder);
    EXPECT_EQ("Home", h->Folder);
    EXPECT_EQ("Workshop", s->Folder);
    EXPECT_EQ(3, data.Tasks->GetCount());
    EXPECT_TRUE(data.Modified);

    TuData td;
    for (const char* t : {"work", "home", "x"}) td.Tags->Add(t);
    TuTask* a = test::AddTask(td, "a", "", "work,home");
    TuTask* b = test::AddTask(td, "b", "", "Work,x");
    TuTask* c = test::AddTask(td, "c", "", "homework");
    tree.BuildTagsTree(*td.Tags);
    EXPECT_TRUE(RenameNode(tree, 1, "HOME", td, &joined));
    EXPECT_EQ("home", joined);
    EXPECT_EQ("home\r\nx\r\n", td.Tags->GetText());
    EXPECT_EQ("home", a->Tags);
    EXPECT_EQ("home,x", b->Tags);
    EXPECT_EQ("homework", c->Tags);
    EXPECT_EQ((std::vector<std::string>{"All", "home", "x"}), Texts(tree));
}

// What was chosen stays chosen under its new name; other choices stay.
TEST(ListsTree, RenamesCarryTheChosenListAndTags) {
    std::string list = "Work", tags = "home,Work,";
    FollowRename(true, "Work", "Office", list, tags);
    EXPECT_EQ("Office", list);
    EXPECT_EQ("home,Work,", tags);  // a list rename leaves tags alone
    FollowRename(true, "Home", "House", list, tags);
    EXPECT_EQ("Office", list);
    // Lists are chosen by their first 50 characters.
    const std::string longName(60, 'n');
    list = longName.substr(0, MaxFolderLength);
    FollowRename(true, longName, std::string(55, 'm'), list, tags);
    EXPECT_EQ(std::string(MaxFolderLength, 'm'), list);
    // "All" (no list) never follows a rename.
    list.clear();
    FollowRename(true, "", "X", list, tags);
    EXPECT_EQ("", list);

    // Tags: the renamed item of the filter, letter case ignored as the
    // table does; the others and the order stay.
    list = "Office";
    FollowRename(false, "work", "job", list, tags);
    EXPECT_EQ("home,job,", tags);
    EXPECT_EQ("Office", list);
    FollowRename(false, "other", "x", list, tags);
    EXPECT_EQ("home,job,", tags);
    tags.clear();
    FollowRename(false, "home", "x", list, tags);
    EXPECT_EQ("", tags);
    // A tag joining another the filter names is in it once.
    tags = "work,Home,";
    FollowRename(false, "work", "home", list, tags);
    EXPECT_EQ("home,", tags);
}

// After a load or a clear only lists and tags the database holds stay
// chosen.
TEST(ListsTree, ReplacedTablesDropChoicesThatAreGone) {
    TuData data;
    data.Folders->Add("Work" + F + "0" + F);
    data.Tags->Add("home");
    std::string list = "Work", tags = "Home,gone,";
    KeepExistingFilter(data, list, tags);
    EXPECT_EQ("Work", list);
    EXPECT_EQ("Home,", tags);

    list = "Home";
    KeepExistingFilter(data, list, tags);
    EXPECT_EQ("", list);

    // A list named longer than 50 characters is chosen by its first 50.
    data.Folders->Add(std::string(60, 'n') + F + "1" + F);
    list = std::string(MaxFolderLength, 'n');
    KeepExistingFilter(data, list, tags);
    EXPECT_EQ(std::string(MaxFolderLength, 'n'), list);

    TuData cleared;
    KeepExistingFilter(cleared, list, tags);
    EXPECT_EQ("", list);
    EXPECT_EQ("", tags);
}

} // namespace
} // namespace qelvo

// Database files from other hands: edited in a text editor, written by an
// older copy, cut short. What the program reads of them it writes back
// as it read it, and nothing the user typed can make it write a file that
// reads back as something else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

const std::string F = "\xF7";
const std::string ListsMarker = "<--<*&^Folders^&*>-->", TagsMarker = "<--<*&^Tags^&*>-->";

std::string TaskLine(const std::string& shortForm, const std::string& id, const std::string& list) {
    return shortForm + F + "--" + F + id + F + list + F + "1/2/2025" + F + F + "\r\n";
}

// How many lines of the file equal Line.
int CountLines(const std::string& file, const std::string& line) {
    int n = 0;
    for (const std::string& l : Lines(file)) n += l == line;
    return n;
}

void SaveAndQuit(TProgram& p) {
    Key(p, 'S', Ctrl);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace

// A database whose id line was deleted in a text editor, so that it
// begins with the lists' marker: each save and start wrote the marker
// once more and the tags tab grew a tag of that name every time. The
// first line is no id then; the file gets a new one.
TEST(ExploreDbFileScenario, AFileWithoutItsIdLineStaysTheSameAcrossSaves) {
    TProgram p("explore-dbfile-no-id");
    WriteFile(p.DatabasePath(), ListsMarker + "\r\nhome\r\n" + TagsMarker + "\r\n" +
                                    TaskLine("[home]Buy milk", "1000000001", "Home"));
    for (int round = 0; round < 2; ++round) {
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        HWND tree = TreeOf(main);
        ClickNode(p, tree, "All");
        Key(p, VK_RIGHT, Ctrl);  // the tags tab
        EXPECT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All*|home"; })) << round << ": " << Texts(p, tree);
        SaveAndQuit(p);
    }
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(CountLines(saved, ListsMarker), 1) << saved;
    EXPECT_EQ(saved.substr(0, 5), "d_id-") << saved;
    EXPECT_FALSE(SavedTask(saved, "Buy milk").empty()) << saved;
}

// A tag named as one of the file's markers: the save wrote it as a line
// of the tags, where it ended them, and the next start read the tags
// after it and the real marker as tasks without titles.
TEST(ExploreDbFileScenario, ATagNamedAsAMarkerIsRefused) {
    TProgram p("explore-dbfile-marker-tag");
    HWND main = StartOn(p, ThreeTasksDatabase());
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Work");
    Key(p, VK_RIGHT, Ctrl);  // the tags tab
    ClickNode(p, tree, "work");
    Key(p, 'N', Ctrl | Shift);
    Type(p, "<--<*&^TAGS^&*>-->");
    Key(p, VK_RETURN);
    NameRefused(p, "a tag named as the tags' marker", "marks");
    Key(p, VK_ESCAPE);
    // Renamed so in place.
    ClickNode(p, tree, "home");
    Key(p, VK_RETURN);
    Type(p, " <--<*&^tags^&*>-->");
    Key(p, VK_RETURN);
    NameRefused(p, "a tag renamed as the tags' marker", "marks");
    EXPECT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All|work|home*"; })) << Texts(p, tree);
    // Given to a task as it is typed: the task keeps it, the tags do not
    // list it.
    Key(p, 'N', Ctrl);
    Type(p, "[<--<*&^Tags^&*>-->]Odd tag");
    Key(p, VK_RETURN);
    SaveAndQuit(p);
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(CountLines(saved, TagsMarker), 1) << saved;
    const auto odd = SavedTask(saved, "Odd tag");
    ASSERT_FALSE(odd.empty()) << saved;
    EXPECT_EQ(odd[0], "[<--<*&^Tags^&*>-->]Odd tag");

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ReadFile(p.DatabasePath()), saved);
}

// Due days the file does not keep, written by another hand (a year of 1901
// or before): the task showed no date, yet it was overdue, italic and
// under "Overdue", outside "Without date set", and the next save dropped
// the day anyway. Such a day reads as no due date, as one typed does.
TEST(ExploreDbFileScenario, ADueDayTheFileCannotKeepReadsAsNone) {
    TProgram p("explore-dbfile-old-due");
    const std::string lists = "d_id-4711471149\r\nHome" + F + "1" + F + "\r\n" + ListsMarker + "\r\n" + TagsMarker + "\r\n";
    HWND main = StartOn(p, lists + TaskLine(";6/1/1901;Year 1901", "1000000001", "Home") +
                               TaskLine(";1/1/1;Year one", "1000000002", "Home") +
                               TaskLine(";3/4/2020;Long overdue", "1000000003", "Home"));
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Key(p, 'O', Ctrl);  // Overdue
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Long overdue"; })) << parts.ChosenTask();
    Click(p, parts.ListItem(1));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Note"; })) << "more overdue tasks than dates";
    Key(p, '0', Ctrl);  // Without date set
    const char* undated[] = {"Year 1901", "Year one"};
    for (int i = 0; i < 2; ++i) {
        Click(p, parts.ListItem(i));
        EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == undated[i]; })) << i << ": " << parts.ChosenTask();
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A task line of a megabyte written elsewhere: a hundred thousand tags that
// the tag table does not list. OK in the task's tags panel adds them to
// the table; that took minutes, each tag looked for along the whole table
// grown so far, the window neither painting nor answering, and so did
// the panel opened again once the table held them.
TEST(ExploreDbFileScenario, AMegabyteOfTagsJoinsTheTagTableAtOnce) {
    TProgram p("explore-dbfile-many-tags");
    std::string tags;
    for (int i = 0; i < 100000; ++i) tags += (i ? ",t" : "t") + std::to_string(i);
    HWND main = StartOn(p, "d_id-4711471150\r\nHome" + F + "1" + F + "\r\n" + ListsMarker + "\r\nT5\r\n" + TagsMarker +
                               "\r\n" + TaskLine("[" + tags + "]Many tags", "1000000001", "Home"));
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Many tags"; })) << parts.ChosenTask();
    Key(p, 'T', Shift);
    Key(p, VK_RETURN);  // fails when the program does not answer
    EXPECT_TRUE(WaitUntil([&] { return p.Focus() == parts.List; }));
    Key(p, 'S', Ctrl);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    const auto from = std::find(lines.begin(), lines.end(), ListsMarker);
    const auto to = std::find(lines.begin(), lines.end(), TagsMarker);
    ASSERT_TRUE(from < to);
    // T5 was there already (letter case aside); every other tag once.
    EXPECT_EQ(to - from - 1, 100000);
    EXPECT_EQ(from[1], "T5");
    EXPECT_EQ(from[2], "t0");
    EXPECT_EQ(to[-1], "t99999");
    // The panel opens again on a table of them, its lines checked by the
    // task's tags: each tag was looked for along every line, and each
    // line's check painted again, whether in sight or not.
    Key(p, 'T', Shift);  // fails when the program does not answer
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return p.Focus() == parts.List; }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

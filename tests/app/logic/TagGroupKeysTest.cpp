// Grouping by tags and by list reads each task's key from its tags text's
// or list name's memo once the text was met: the groups must follow every
// way a task's tags or list change (typed, dropped, a tag or list renamed
// or deleted, tasks moved, a write in place, another database loaded into
// the same one), with the keys of one run or of a fresh start alike.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AppLogicTest.h"
#include "app/logic/FilterBar.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "support/TestEnvironment.h"

namespace qelvo {
namespace {

TTaskListLayout TagLayout(TuData& data, TGroupKeys& keys) {
    TFilterSystem filter;
    TTaskListState state;
    state.GroupMode = gmTags;
    return BuildTaskListLayout(data, filter, state, keys);
}

// The groups of a layout by tags, checked against the tasks' texts as they
// are now: each group holds every task whose tags name its set and no
// other, in database order, the groups in the order their first tasks
// come, and its caption names that set.
void ExpectGroupsOfTagSets(TuData& data, TGroupKeys& keys, const std::string& what) {
    const TTaskListLayout layout = TagLayout(data, keys);
    std::vector<std::vector<std::string>> sets;
    std::vector<std::vector<const TuTask*>> tasks;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        const std::vector<std::string> set = TagSet(task->Tags);
        size_t g = 0;
        while (g < sets.size() && sets[g] != set) ++g;
        if (g == sets.size()) {
            sets.push_back(set);
            tasks.emplace_back();
        }
        tasks[g].push_back(task);
    }
    ASSERT_EQ(layout.Groups.size(), sets.size()) << what;
    for (size_t g = 0; g < sets.size(); ++g) {
        const TTaskGroup& group = layout.Groups[g];
        EXPECT_EQ(std::vector<const TuTask*>(group.Tasks.begin(), group.Tasks.end()), tasks[g]) << what << " group " << g;
        const std::string caption = GroupCaption(gmTags, group.Key, *group.First, keys);
        if (sets[g].empty())
            EXPECT_EQ(caption, "No Tags specified") << what;
        else
            EXPECT_EQ(TagSet(caption), sets[g]) << what << " caption " << caption;
    }
}

std::string TasksFile(const std::vector<std::string>& tags) {
    std::string file = "d_id-0000000001\r\nHome\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\nhome\r\nwork\r\n"
                       "<--<*&^Tags^&*>-->\r\n";
    for (size_t n = 0; n < tags.size(); ++n)
        file += (tags[n].empty() ? std::string() : "[" + tags[n] + "]") + "Task " + std::to_string(n) + "\xF7--\xF7" +
                std::to_string(1000000000 + n) + "\xF7Home\xF7" "2/1/2024\xF7\xF7\r\n";
    return file;
}

TEST(TagGroupKeys, GroupsFollowEveryChangeOfATasksTags) {
    // Texts held in the task (short) and in the loaded tasks' blocks
    // (long), some naming the same set in other words.
    const std::vector<std::string> first = {"home,work", "errands,home,shopping", "work,home", "", "x",
                                            "errands,home,shopping", "garden,home,kids,work", "Home, work"};
    test::TempDir dir;
    test::WriteTestFile(dir.File("a.kpx"), TasksFile(first));
    test::WriteTestFile(dir.File("b.kpx"), TasksFile({"garden,home,kids,work", "x", "errands,home,shopping", "home,work"}));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    TGroupKeys keys;
    ExpectGroupsOfTagSets(data, keys, "loaded");
    ExpectGroupsOfTagSets(data, keys, "grouped again");

    TuTask* longTags = data.Tasks->GetTask(1);
    // Overwritten where it lies: a text of the same length.
    longTags->Tags = "errands,hove,shopping";
    ExpectGroupsOfTagSets(data, keys, "same length");
    // Typed in the tags editor.
    ApplyTagsEdit(*data.Tasks->GetTask(4), " work , home ", data);
    ExpectGroupsOfTagSets(data, keys, "typed");
    // Written through the text's bytes.
    data.Tasks->GetTask(5)->Tags[0] = 'E';
    ExpectGroupsOfTagSets(data, keys, "byte written");
    // Dropped on another task's group.
    ASSERT_TRUE(ApplyDrop(gmTags, *data.Tasks->GetTask(6), {data.Tasks->GetTask(0)}, data));
    ExpectGroupsOfTagSets(data, keys, "dropped");
    // A tag renamed and one deleted in every task.
    data.RenameTag("home", "house");
    ExpectGroupsOfTagSets(data, keys, "renamed");
    data.DeleteTag("work");
    ExpectGroupsOfTagSets(data, keys, "deleted");
    // A task's tags back to a text met before.
    data.Tasks->GetTask(2)->Tags = "errands,home,shopping";
    ExpectGroupsOfTagSets(data, keys, "back");
    // Another database in the same one: new tasks, maybe where the old lay.
    ASSERT_TRUE(data.LoadFromFile(dir.File("b.kpx")));
    ExpectGroupsOfTagSets(data, keys, "other database");
    // A fresh start of the grouping (the texts keep what the run learnt).
    TGroupKeys fresh;
    ExpectGroupsOfTagSets(data, fresh, "fresh keys");
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ExpectGroupsOfTagSets(data, fresh, "first database again");
    ExpectGroupsOfTagSets(data, keys, "first database, first keys");
}

TEST(TagGroupKeys, ATextsNumberIsItsOwnForTheWholeRun) {
    TTaskText a("errands,home,shopping");
    TTaskText b("errands,home,shopping");
    TTaskText c("home");
    TTaskText d("a,b,c,d,e");  // held inside without room for a memo (32-bit programs)
    const std::uint32_t na = TagTextNumber(a);
    EXPECT_NE(na, 0u);
    EXPECT_EQ(TagTextNumber(b), na);
    EXPECT_NE(TagTextNumber(c), na);
    EXPECT_EQ(TagTextNumber(d), TagTextNumber(TTaskText("a,b,c,d,e")));
    // A changed text is numbered by what it says now.
    b = "errands,hove,shopping";
    EXPECT_NE(TagTextNumber(b), na);
    b = "errands,home,shopping";
    EXPECT_EQ(TagTextNumber(b), na);
    // A memo lost is found again by the text.
    const std::uint32_t nc = TagTextNumber(c);
    c.SetMemo(0);
    EXPECT_EQ(TagTextNumber(c), nc);
}

TEST(TagGroupKeys, TextsNamingOneSetInOtherWordsShareOneGroup) {
    // Each line: texts of one set (order, A-Z case, blanks around items,
    // blank items, repeats), then texts of other sets that look close
    // (a blank inside an item, case beyond A-Z, a tag that is a part of
    // another, an item left out). The first text met names the group.
    const std::vector<std::vector<std::string>> sets = {
        {"home,work", "work,home", "Home, WORK", " work ,\thome", ",home,,work,", "home,work,HOME,work"},
        {"b", " B ", "b,b", ",b,"},
        {"a b,c", "c, A B"},
        {"ab,c"},
        {"\xC9t\xE9,z", "z,\xC9T\xE9"},
        {"\xE9t\xE9,z"},
        {"home", "HOME,home"},
        {"garden,home,kids,work", "kids,Garden,work , home"},
        {"garden,home,kids"}};
    std::vector<std::string> tags;
    std::vector<size_t> setOf;
    for (size_t n = 0; n < 3; ++n)
        for (size_t s = 0; s < sets.size(); ++s)
            for (size_t t = 0; t < sets[s].size(); ++t)
                if ((t + n) % 2 == 0 || n == 2) {
                    tags.push_back(sets[s][t]);
                    setOf.push_back(s);
                }
    test::TempDir dir;
    test::WriteTestFile(dir.File("a.kpx"), TasksFile(std::vector<std::string>(tags.size())));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ASSERT_EQ(data.Tasks->GetCount(), static_cast<int>(tags.size()));
    for (size_t i = 0; i < tags.size(); ++i) data.Tasks->GetTask(static_cast<int>(i))->Tags = tags[i];
    std::map<const TuTask*, size_t> indexOf;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) indexOf[data.Tasks->GetTask(i)] = static_cast<size_t>(i);
    for (int round = 0; round < 2; ++round) {
        TGroupKeys keys;
        const TTaskListLayout layout = TagLayout(data, keys);
        ASSERT_EQ(layout.Groups.size(), sets.size()) << "round " << round;
        std::map<size_t, size_t> groupOfSet;
        for (size_t g = 0; g < layout.Groups.size(); ++g) {
            const TTaskGroup& group = layout.Groups[g];
            for (const TuTask* task : group.Tasks) {
                const size_t i = indexOf.at(task);
                const auto [at, added] = groupOfSet.emplace(setOf[i], g);
                EXPECT_EQ(at->second, g) << tags[i];
            }
            // The caption is the first text met of the set, as written.
            const size_t first = indexOf.at(group.First);
            EXPECT_EQ(keys.TagText(group.Key), tags[first]);
        }
        EXPECT_EQ(groupOfSet.size(), sets.size()) << "round " << round;
        // Forgotten numbers are found again, to the same groups.
        for (int i = 0; i < data.Tasks->GetCount(); ++i) data.Tasks->GetTask(i)->Tags.SetMemo(0);
    }
}

// A layout by tags with a filter, as groups of tasks named by their tags
// sets: what a fresh grouping must show alike.
std::vector<std::pair<std::vector<std::string>, std::vector<const TuTask*>>> ShownTagGroups(TuData& data,
                                                                                        TGroupKeys& keys,
                                                                                        bool hideDone) {
    TFilterBarState bar;
    bar.HideDone = hideDone;
    TFilterSystem filter;
    BuildFilter(filter, bar);
    filter.Data = &data;
    TTaskListState state;
    state.GroupMode = gmTags;
    const TTaskListLayout layout = BuildTaskListLayout(data, filter, state, keys);
    std::vector<std::pair<std::vector<std::string>, std::vector<const TuTask*>>> groups;
    for (const TTaskGroup& g : layout.Groups)
        groups.emplace_back(TagSet(GroupCaption(gmTags, g.Key, *g.First, keys)),
                            std::vector<const TuTask*>(g.Tasks.begin(), g.Tasks.end()));
    return groups;
}

TEST(TagGroupKeys, RegroupingAfterFiltersAndEditsEqualsAFreshGrouping) {
    // Texts of one set in other words, some too short to keep a memo in a
    // 32-bit program, each met by many tasks, every third task done.
    const std::vector<std::string> texts = {"a,b,c,d,e", "e,d,c,b,a", "home,work", "work,home,home", "", "x",
                                            "garden,home,kids,work", "kids,garden,work,home"};
    std::vector<std::string> tags;
    for (int n = 0; n < 60; ++n) tags.push_back(texts[static_cast<size_t>(n * 7 % 8)]);
    test::TempDir dir;
    test::WriteTestFile(dir.File("a.kpx"), TasksFile(tags));
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    for (int i = 0; i < data.Tasks->GetCount(); i += 3) data.Tasks->GetTask(i)->Done = true;
    TGroupKeys keys;
    auto expectFresh = [&](const std::string& what) {
        for (bool hideDone : {false, true}) {
            TGroupKeys fresh;
            const auto shown = ShownTagGroups(data, keys, hideDone);
            EXPECT_EQ(shown, ShownTagGroups(data, fresh, hideDone)) << what << (hideDone ? ", done hidden" : "");
            // One group per set.
            std::set<std::vector<std::string>> sets;
            for (const auto& g : shown) EXPECT_TRUE(sets.insert(g.first).second) << what;
        }
        ExpectGroupsOfTagSets(data, keys, what);
    };
    expectFresh("loaded");
    expectFresh("regrouped");
    // Edits: a task moves to a set met already, one to a new set, one loses
    // its tags, a done task comes back, and a text without memo room is
    // rewritten to another set in place.
    ApplyTagsEdit(*data.Tasks->GetTask(1), "work, home", data);
    ApplyTagsEdit(*data.Tasks->GetTask(2), "brand,new", data);
    ApplyTagsEdit(*data.Tasks->GetTask(4), "", data);
    data.Tasks->GetTask(3)->Done = false;
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (data.Tasks->GetTask(i)->Tags == "a,b,c,d,e") {
            data.Tasks->GetTask(i)->Tags[0] = 'z';
            break;
        }
    expectFresh("edited");
    data.RenameTag("home", "house");
    expectFresh("renamed");
}

// The groups of a layout by list against the tasks' list names as they
// are now: one group per entry of the list table a name starts (unknown
// names together), in table order with the unknown
// first, each holding its tasks in database order. (A name in other case
// is another, unknown list.)
void ExpectGroupsOfLists(TuData& data, const std::string& what) {
    TGroupKeys keys;
    TFilterSystem filter;
    TTaskListState state;
    state.GroupMode = gmList;
    const TTaskListLayout layout = BuildTaskListLayout(data, filter, state, keys);
    std::map<int, std::vector<const TuTask*>> byList;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* task = data.Tasks->GetTask(i);
        int list = -1;
        for (int f = 0; f < data.Folders->GetCount() && list < 0; ++f)
            if (data.Folders->GetRef(f).starts_with(std::string(task->Folder) + FieldSeparator))
                list = f;
        byList[list].push_back(task);
    }
    ASSERT_EQ(layout.Groups.size(), byList.size()) << what;
    size_t g = 0;
    for (const auto& [list, tasks] : byList) {
        const TTaskGroup& group = layout.Groups[g++];
        EXPECT_EQ(group.Key, list) << what;
        EXPECT_EQ(std::vector<const TuTask*>(group.Tasks.begin(), group.Tasks.end()), tasks) << what << " list " << list;
    }
}

TEST(TagGroupKeys, ListGroupsFollowEveryChangeOfATasksList) {
    test::TempDir dir;
    const std::string lists = "d_id-0000000001\r\nHome\xF7" "0\xF7\r\nWork\xF7" "1\xF7\r\nShopping\xF7" "2\xF7\r\n"
                              "A list with a very long name\xF7" "3\xF7\r\n<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    std::string file = lists;
    const char* names[] = {"Work", "Home", "Shopping", "A list with a very long name", "Nowhere", "home", "Work"};
    for (int i = 0; i < 14; ++i)
        file += "Task " + std::to_string(i) + "\xF7--\xF7" + std::to_string(1000000000 + i) + "\xF7" + names[i % 7] +
                "\xF7" "2/1/2024\xF7\xF7\r\n";
    test::WriteTestFile(dir.File("a.kpx"), file);
    test::WriteTestFile(dir.File("b.kpx"), lists + "Other\xF7--\xF7" "1000000099\xF7Shopping\xF7" "2/1/2024\xF7\xF7\r\n");
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ExpectGroupsOfLists(data, "loaded");
    ExpectGroupsOfLists(data, "grouped again");
    auto task = [&](int i) { return data.Tasks->GetTask(i); };
    // Names written in place, at the same length.
    task(0)->Folder = "Home";
    task(3)->Folder = "A list with a very long nAme";
    task(4)->Folder[0] = 'W';
    ExpectGroupsOfLists(data, "written in place");
    // Moved to another list, and a list renamed and one deleted.
    MoveTasksToList({task(1), task(2)}, "Work", data);
    ExpectGroupsOfLists(data, "moved");
    data.RenameFolder(std::string("Work") + FieldSeparator + "1" + FieldSeparator,
                      std::string("Jobs") + FieldSeparator + "1" + FieldSeparator);
    ExpectGroupsOfLists(data, "renamed");
    data.DeleteFolder(std::string("Home") + FieldSeparator + "0" + FieldSeparator);
    ExpectGroupsOfLists(data, "deleted");
    ASSERT_TRUE(data.LoadFromFile(dir.File("b.kpx")));
    ExpectGroupsOfLists(data, "other database");
    ASSERT_TRUE(data.LoadFromFile(dir.File("a.kpx")));
    ExpectGroupsOfLists(data, "first database again");
}

} // namespace
} // namespace qelvo

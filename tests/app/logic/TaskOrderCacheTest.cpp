// The kept order of the task list: every layout built with it is the
// layout a build without it makes, across filter, group and sort changes
// and after every kind of edit, add and delete.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

#include "AppLogicTest.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {
using test::Today;
namespace {

// Titles and tags that agree in their first 24 bytes (ignoring case)
// and differ after them, so that an edit past the prepared key still has
// to move a task.
const char* const TitleTexts[] = {"Pay the rent", "pay the rent", "Call the plumber about the sink",
                             "CALL THE PLUMBER about the tap", "call the plumber about the bath", "zebra",
                             "alpha", "Alpha", "\xE9t\xE9", "b"};
const char* const TagTexts[] = {"", "home", "home,work", "work", "Work,home", "errand,home", "x"};

void FillOrderDatabase(TuData& data, int count) {
    for (const char* list : {"Home", "Work", "Errands"})
        data.Folders->Add(std::string(list) + FieldSeparator + "0" + FieldSeparator);
    const char* lists[] = {"Home", "Work", "Errands"};
    for (int i = 0; i < count; ++i)
        test::AddTask(data, std::string(TitleTexts[(i * 7) % 10]) + (i % 4 == 0 ? " " + std::to_string(i % 5) : ""),
                      lists[(i * 5) % 3], TagTexts[(i * 3) % 7], i % 3 ? Today + (i * 11) % 9 : 0, i % 3,
                      i % 4 == 1);
}

// The done marks a layout gives stand beside their tasks: each group's
// run of them, from its DoneAt, says of each of its tasks in turn whether
// it is done, and the runs cover the marks once.
void ExpectDoneMarksOfTasks(const TTaskListLayout& layout, const std::string& what) {
    if (layout.Done.empty()) return;
    std::vector<int> covered(layout.Done.size(), 0);
    for (size_t g = 0; g < layout.Groups.size(); ++g) {
        const TTaskGroup& group = layout.Groups[g];
        ASSERT_LE(group.DoneAt + group.Tasks.size(), layout.Done.size()) << what << " group " << g;
        for (size_t i = 0; i < group.Tasks.size(); ++i) {
            EXPECT_EQ(group.Tasks[i]->Done, layout.Done[group.DoneAt + i] != 0) << what << " group " << g << " task " << i;
            ++covered[group.DoneAt + i];
        }
    }
    EXPECT_EQ(std::vector<int>(layout.Done.size(), 1), covered) << what;
}

// Both layouts, group by group, task by task.
void ExpectSameLayout(const TTaskListLayout& kept, const TTaskListLayout& fresh, const std::string& what) {
    ExpectDoneMarksOfTasks(kept, what + " (kept order)");
    ExpectDoneMarksOfTasks(fresh, what);
    ASSERT_EQ(fresh.Grouped, kept.Grouped) << what;
    ASSERT_EQ(fresh.Groups.size(), kept.Groups.size()) << what;
    for (size_t g = 0; g < fresh.Groups.size(); ++g) {
        EXPECT_EQ(fresh.Groups[g].Key, kept.Groups[g].Key) << what << " group " << g;
        EXPECT_EQ(fresh.Groups[g].Caption, kept.Groups[g].Caption) << what << " group " << g;
        EXPECT_EQ(fresh.Groups[g].ImageIndex, kept.Groups[g].ImageIndex) << what << " group " << g;
        ASSERT_EQ(fresh.Groups[g].Tasks, kept.Groups[g].Tasks) << what << " group " << g;
    }
}

// One kept order per sort column, so that each lives from one check to the
// next, across the edits between them.
using TOrders = std::array<TTaskOrderCache, 4>;

// Every grouping, sort column and direction under Filter: the kept order
// gives the layout of a plain build.
void ExpectKeptOrderRightUnder(TuData& data, TOrders& orders, TFilterSystem& filter, const std::string& what) {
    TGroupKeys keys;
    for (int mode : {gmNone, gmList, gmDate, gmPriority, gmTags})
        for (int column = 0; column <= 3; ++column)
            for (bool ascending : {true, false}) {
                TTaskListState state;
                state.GroupMode = mode;
                state.Grouped = mode != gmNone;
                state.SortColumn = column;
                state.SortAscending = ascending;
                const std::string name = what + " mode " + std::to_string(mode) + " column " + std::to_string(column) +
                                         (ascending ? " up" : " down");
                const TTaskListLayout fresh = BuildTaskListLayout(data, filter, state, keys);
                const TTaskListLayout kept =
                    BuildTaskListLayout(data, filter, state, keys, &orders[static_cast<size_t>(column)]);
                ExpectSameLayout(kept, fresh, name);
                if (::testing::Test::HasFailure()) return;
            }
}

// The same with and without a filter.
void ExpectKeptOrderRight(TuData& data, TOrders& orders, const std::string& what) {
    for (int filterKind = 0; filterKind < 3; ++filterKind) {
        TFilterSystem filter;
        if (filterKind == 1) filter.Conditions[fkDone].Enabled = true;  // hide done
        if (filterKind == 2) {
            filter.Conditions[fkFolder].Enabled = true;
            filter.Conditions[fkFolder].Value1 = "Work";
        }
        ExpectKeptOrderRightUnder(data, orders, filter, what + ": filter " + std::to_string(filterKind));
        if (::testing::Test::HasFailure()) return;
    }
}

// Orders that trust Data's change mark, checked over it once.
void TrustOrders(TuData& data, TOrders& orders, const std::string& what) {
    for (TTaskOrderCache& order : orders) order.TrustChangeMarkOf(&data);
    ExpectKeptOrderRight(data, orders, what);
}

TEST(TaskOrderCache, KeptOrderStaysRightAcrossEditsAddsAndDeletes) {
    TuData data;
    FillOrderDatabase(data, 600);
    TOrders orders;
    ExpectKeptOrderRight(data, orders, "fresh database");
    auto task = [&](int i) { return data.Tasks->GetTask(i); };

    // A title changed past the prepared key, and one changed in it.
    ApplyTitleEdit(*task(10), "call the plumber about the attic", data);
    ApplyTitleEdit(*task(11), "aardvark", data);
    ExpectKeptOrderRight(data, orders, "titles edited");
    // Tags and due dates, done and priority.
    ApplyTagsEdit(*task(12), "zzz,home", data);
    ApplyTagsEdit(*task(13), "", data);
    ApplyDueEdit(*task(14), true, Today - 40, data);
    ApplyDueEdit(*task(15), false, 0, data);
    ApplyItemCheck(*task(16), !task(16)->Done, data);
    SetTaskPriority(*task(17), 2, data);
    ExpectKeptOrderRight(data, orders, "tags, dates, done and priority edited");
    // A field written directly, as any code may.
    task(18)->Title = "Pay the rent tomorrow";
    task(19)->Due = Today + 100;
    ExpectKeptOrderRight(data, orders, "fields written");
    // Added tasks, at the end and in the middle.
    test::AddTask(data, "alpha", "Home", "home", Today, 1);
    auto* inserted = new TuTask();
    inserted->Title = "Alpha";
    inserted->Folder = "Work";
    data.Tasks->InsertObject(3, inserted->Title, inserted);
    ExpectKeptOrderRight(data, orders, "tasks added");
    // Deleted tasks, and a task added where one was deleted.
    auto gone = DeleteTasks(data, {task(0), task(50), task(51)});
    gone.clear();
    test::AddTask(data, "zebra", "Errands", "x", 0, 1);
    ExpectKeptOrderRight(data, orders, "tasks deleted");
    // Lists and tags renamed, tasks moved to another list.
    data.RenameFolder(std::string("Work") + FieldSeparator + "0" + FieldSeparator,
                      std::string("Office") + FieldSeparator + "0" + FieldSeparator);
    data.RenameTag("home", "house");
    MoveTasksToList({task(20), task(21)}, "Errands", data);
    ExpectKeptOrderRight(data, orders, "lists and tags renamed");
    // Two tasks swap places in the database.
    data.Tasks->Exchange(5, 6);
    ExpectKeptOrderRight(data, orders, "tasks exchanged");
    // Titles rewritten where they lie, at the same length: the kept order
    // must see each change, also with a second kept order of the same
    // tasks used in between.
    TOrders others;
    ExpectKeptOrderRight(data, others, "a second kept order");
    ExpectKeptOrderRight(data, orders, "the first kept order again");
    std::string title(task(22)->Title);
    title[0] = title[0] == 'z' ? 'A' : 'z';
    task(22)->Title = title;
    task(23)->Title[1] = '!';
    ExpectKeptOrderRight(data, orders, "titles rewritten in place");
    // (A title of its own, which no tie with an equal one brings to light.)
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (task(i)->Title == "aardvark") task(i)->Title.data()[1] = 'z';
    ExpectKeptOrderRight(data, orders, "a title's byte written");
    ExpectKeptOrderRight(data, others, "the second kept order after them");
}

TEST(TaskOrderCache, TrustingTheChangeMarkSeesEveryEditOfTheProgramsCommands) {
    // The order rests on the database's change mark: each command below
    // leaves the tasks where they were and changes a key only, which the
    // new mark alone reveals.
    TuData data;
    FillOrderDatabase(data, 600);
    TOrders orders;
    TrustOrders(data, orders, "trusted: fresh database");
    ExpectKeptOrderRight(data, orders, "trusted: nothing changed");
    auto task = [&](int i) { return data.Tasks->GetTask(i); };
    ApplyTitleEdit(*task(10), "call the plumber about the attic", data);
    ExpectKeptOrderRight(data, orders, "trusted: a title changed past the key");
    ApplyTitleEdit(*task(11), "aardvark", data);
    ExpectKeptOrderRight(data, orders, "trusted: a title changed in the key");
    ApplyTagsEdit(*task(12), "zzz,home", data);
    ExpectKeptOrderRight(data, orders, "trusted: tags edited");
    ApplyDueEdit(*task(14), true, Today - 40, data);
    ExpectKeptOrderRight(data, orders, "trusted: a due date edited");
    MoveTasksToList({task(20), task(21)}, "Errands", data);
    ExpectKeptOrderRight(data, orders, "trusted: tasks moved to another list");
    data.RenameTag("home", "house");
    ExpectKeptOrderRight(data, orders, "trusted: a tag renamed");
    auto gone = DeleteTasks(data, {task(0), task(50)});
    gone.clear();
    ExpectKeptOrderRight(data, orders, "trusted: tasks deleted");
    // Another database in the same place of memory would carry another mark.
    TuData other;
    FillOrderDatabase(other, 40);
    TrustOrders(other, orders, "trusted: another database");
}

// The kept order is SortItems' own order of All.
void ExpectSortItemsOrder(int column, const std::vector<TuTask*>& all, const std::vector<std::uint32_t>* order,
                          const std::string& what) {
    ASSERT_TRUE(order) << what;
    std::vector<TuTask*> sorted = all;
    SortItems(column, true, sorted);
    ASSERT_EQ(sorted.size(), order->size()) << what;
    for (size_t k = 0; k < sorted.size(); ++k) ASSERT_EQ(sorted[k], all[(*order)[k]]) << what << " at " << k;
}

std::vector<TuTask*> AllTasks(const TuData& data) {
    std::vector<TuTask*> all;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) all.push_back(data.Tasks->GetTask(i));
    return all;
}

// Each two tasks next to each other in the title order whose titles
// agree in their kept keys (their first 24 bytes, folded) but not past
// them, given each other's titles: the kept order (a copy, as it sorts
// anew on finding them) must see that they changed places, which it
// learns from its ties alone.
void ExpectTiesWatched(TuData& data, const TTaskOrderCache& kept, const std::string& what) {
    const std::vector<TuTask*> all = AllTasks(data);
    std::vector<TuTask*> sorted = all;
    SortItems(1, true, sorted);
    auto key = [](const TuTask* t) { return gcl::LowerCase(std::string(std::string_view(t->Title).substr(0, 24))); };
    int pairs = 0;
    for (size_t k = 1; k < sorted.size(); ++k) {
        TuTask* a = sorted[k - 1];
        TuTask* b = sorted[k];
        if (a->Title.size() <= 24 || b->Title.size() <= 24 || key(a) != key(b) ||
            gcl::CompareText(a->Title, b->Title) == 0)
            continue;
        const std::string first(a->Title), second(b->Title);
        a->Title = second;
        b->Title = first;
        data.Modified = true;
        TTaskOrderCache probe = kept;
        ExpectSortItemsOrder(1, all, probe.Order(1, all), what + ": titles exchanged at " + std::to_string(k));
        a->Title = first;
        b->Title = second;
        data.Modified = true;
        ++pairs;
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_GT(pairs, 0) << what;
}

TEST(TaskOrderCache, FollowingTheProgramsAddTickAndDeleteGivesTheOrderOfAFreshSort) {
    // Each command below changes no kept task's key: the order follows it
    // at once and must be the order a fresh sort gives, ties and all (the
    // layouts compare every grouping, which walks the ties too).
    TuData data;
    FillOrderDatabase(data, 600);
    TOrders orders;
    TrustOrders(data, orders, "followed: fresh database");
    auto task = [&](int i) { return data.Tasks->GetTask(i); };
    // Edit runs Command between the database's mark before it and the
    // kept orders told of it; Followed: whether each sort column's order
    // is to follow it.
    auto edit = [&](const std::string& what, bool followed, auto&& command) {
        const std::uint64_t before = data.ChangeMark();
        command();
        for (int column = 1; column <= 3; ++column)
            EXPECT_EQ(followed, orders[static_cast<size_t>(column)].Follow(before)) << what << " column " << column;
        ExpectKeptOrderRight(data, orders, "followed: " + what);
        // (A layout of a few tasks sorts them itself.)
        const std::vector<TuTask*> all = AllTasks(data);
        for (int column = 1; column <= 3; ++column)
            ExpectSortItemsOrder(column, all, orders[static_cast<size_t>(column)].Order(column, all), what);
        if (!followed || all.size() < 64) return;
        ExpectTiesWatched(data, orders[1], "followed: " + what);
        // (Which changed the mark: the orders check the tasks again.)
        for (int column = 1; column <= 3; ++column) orders[static_cast<size_t>(column)].Order(column, all);
    };
    edit("a task ticked", true, [&] { ApplyItemCheck(*task(16), !task(16)->Done, data); });
    // Added at the end: equal to a kept task (a tie either side), one
    // equal in the key only, the first and the last of every order.
    auto add = [&](const std::string& title, const std::string& tags, double due) {
        test::AddTask(data, title, "Home", tags, due, 1);
        data.Modified = true;
    };
    edit("a task added equal to others", true, [&] { add("Pay the rent", "home", Today + 2); });
    edit("a task added equal in its key", true,
         [&] { add("call the plumber about the shed", "home,work", Today + 3); });
    edit("tasks added first and last", true, [&] {
        add("", "", -5);
        add("\xFF\xFF last", "\xFF", Today + 400);
        add("  first", " ", 0);
    });
    // Deleted: among ties, so that kept tasks either side now tie or not.
    edit("tasks deleted", true, [&] {
        auto gone = DeleteTasks(data, {task(0), task(1), task(2), task(7), task(300)});
    });
    edit("tasks deleted and one added", true, [&] {
        auto gone = DeleteTasks(data, {task(3)});
        add("alpha", "work", Today);
    });
    edit("every task deleted but one", true, [&] {
        std::vector<TuTask*> all = AllTasks(data);
        all.pop_back();
        auto gone = DeleteTasks(data, all);
    });
    edit("tasks added to one", true, [&] {
        add("zebra", "x", 0);
        add("Zebra", "x", 0);
    });
    // An edit the orders were not told of (a title changed), then one
    // they are told of: they were not up to date before it, and must see
    // the first still.
    FillOrderDatabase(data, 200);
    data.Modified = true;
    ExpectKeptOrderRight(data, orders, "followed: many added, not told");
    ApplyTitleEdit(*task(5), "aaaa", data);
    edit("a tick after an edit not told", false, [&] { ApplyItemCheck(*task(6), !task(6)->Done, data); });
    // Tasks that came otherwise than at the end, or too many, are left to
    // the next use.
    edit("a task inserted at the front", false, [&] {
        data.Tasks->InsertObject(0, "middle", new TuTask());
        task(0)->Title = "middle";
        data.Modified = true;
    });
    edit("many tasks added", false, [&] {
        for (int i = 0; i < 40; ++i) add("many " + std::to_string(i), "", Today + i);
    });
}

TEST(TaskOrderCache, AListOfAFewTasksAmongManyTakesTheKeptOrderOnlyWhileItIsUpToDate) {
    // A list of a twentieth of the tasks: too few for the kept order to be
    // checked for it, enough for it to be walked while nothing changed
    // since it was made, checked or followed.
    TuData data;
    FillOrderDatabase(data, 2000);
    data.Folders->Add(std::string("Few") + FieldSeparator + "0" + FieldSeparator);
    for (int i = 0; i < data.Tasks->GetCount(); i += 20) data.Tasks->GetTask(i)->Folder = "Few";
    data.Modified = true;
    TOrders orders;
    for (TTaskOrderCache& order : orders) order.TrustChangeMarkOf(&data);
    auto task = [&](int i) { return data.Tasks->GetTask(i); };
    auto bringUpToDate = [&] {
        const std::vector<TuTask*> all = AllTasks(data);
        for (int column = 1; column <= 3; ++column) orders[static_cast<size_t>(column)].Order(column, all);
    };
    auto expectFewRight = [&](bool upToDate, const std::string& what) {
        for (int column = 1; column <= 3; ++column)
            ASSERT_EQ(upToDate, orders[static_cast<size_t>(column)].UpToDate(column, data)) << what << " column " << column;
        TFilterSystem filter;
        filter.Conditions[fkFolder].Enabled = true;
        filter.Conditions[fkFolder].Value1 = "Few";
        ExpectKeptOrderRightUnder(data, orders, filter, what + ":");
    };
    expectFewRight(false, "no order made yet");
    bringUpToDate();
    expectFewRight(true, "orders up to date");
    // Equal tasks in the list, by every column: their order is the
    // database's, up and down.
    for (int i = 0; i < 10; ++i) {
        task(i * 40)->Title = i % 2 ? "Same title" : "SAME TITLE";
        task(i * 40)->Tags = "same";
        task(i * 40)->Due = Today;
    }
    data.Modified = true;
    expectFewRight(false, "equal tasks, orders not yet checked");
    bringUpToDate();
    expectFewRight(true, "equal tasks");
    // An edit of a task in the list moves it: the orders no longer stand
    // as they are, and the list is sorted as it is now.
    ApplyTitleEdit(*task(60), "aaaa first", data);
    ApplyDueEdit(*task(80), true, Today - 400, data);
    expectFewRight(false, "tasks of the list edited");
    bringUpToDate();
    // An add and a delete the orders follow: up to date with the new task
    // in its place.
    const std::uint64_t before = data.ChangeMark();
    auto gone = DeleteTasks(data, {task(100), task(5)});
    test::AddTask(data, "call the plumber about the roof", "Few", "home", Today + 1, 2);
    data.Modified = true;
    for (int column = 1; column <= 3; ++column)
        ASSERT_TRUE(orders[static_cast<size_t>(column)].Follow(before)) << column;
    expectFewRight(true, "a task added and two deleted, followed");
    // Other columns, databases and orders never trusted are not up to date.
    EXPECT_FALSE(orders[1].UpToDate(2, data));
    TuData other;
    FillOrderDatabase(other, 40);
    EXPECT_FALSE(orders[1].UpToDate(1, other));
    TTaskOrderCache untrusted;
    untrusted.Order(1, AllTasks(data));
    EXPECT_FALSE(untrusted.UpToDate(1, data));
}

TEST(TaskOrderCache, KeptWhileOnlyTheFilterChangesAndMendedAfterFewChanges) {
    TuData data;
    FillOrderDatabase(data, 300);
    TTaskOrderCache orders;
    std::vector<TuTask*> all = AllTasks(data);
    ASSERT_TRUE(orders.Order(1, all));
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "kept");
    EXPECT_EQ(1, orders.GetSortCount());
    // Another column sorts anew.
    ExpectSortItemsOrder(3, all, orders.Order(3, all), "due dates");
    EXPECT_EQ(2, orders.GetSortCount());
    // A few changed, deleted or added tasks mend the order.
    all[7]->Due = -1;
    ExpectSortItemsOrder(3, all, orders.Order(3, all), "a due date changed");
    EXPECT_EQ(7u, orders.Order(3, all)->front());
    all[8]->Due = 0;
    all[9]->Due = -0.0;
    ExpectSortItemsOrder(3, all, orders.Order(3, all), "no due date");
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "titles");
    all[20]->Title = "aaa";
    all[21]->Title = std::string(all[22]->Title) + "!";
    all[23]->Title = all[24]->Title;
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "titles changed");
    auto gone = DeleteTasks(data, {all[0], all[100], all[299]});
    test::AddTask(data, "Pay the rent", "Home", "", Today, 1);
    test::AddTask(data, "aaa", "Home", "", Today, 1);
    all = AllTasks(data);
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "tasks deleted and added");
    // Every task's title the same in its first 27 bytes, then one
    // changed after them.
    for (TuTask* t : all) t->Title = "Call the plumber about it: " + std::string(t->Title);
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "long equal beginnings");
    all[40]->Title = "Call the plumber about it: zzz";
    all[41]->Title = "Call the plumber about it: 000";
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "changed after the beginning");
    // One task changed past its key while another changed in it.
    all[42]->Title = "Call the plumber about it: 001";
    all[43]->Title = "aaaa";
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "changed past the key while another changed");
    // Sorted anew: the first order, two column changes, every title changed,
    // and twice tasks of equal keys out of order; kept or mended otherwise.
    EXPECT_EQ(6, orders.GetSortCount());
}

TEST(TaskOrderCache, MendedOrderComparesTiesAcrossDeletedAndChangedTasks) {
    // Every fourth task's tags agree in their first 24 bytes (one run of
    // ties in the order); the others differ early. The tags column keeps
    // no memo, so each task's key is read again on every use.
    const std::string same = "household,errands,garden";
    ASSERT_EQ(24u, same.size());
    TuData data;
    for (int i = 0; i < 200; ++i)
        test::AddTask(data, "task " + std::to_string(i), "L",
                      i % 4 == 0 ? same + "," + std::string(1, static_cast<char>('b' + (i * 7) % 24))
                                 : "t" + std::to_string(1000 + (i * 37) % 900));
    TTaskOrderCache orders;
    std::vector<TuTask*> all = AllTasks(data);
    ExpectSortItemsOrder(2, all, orders.Order(2, all), "first");
    auto run = [&] {
        std::vector<TuTask*> tied;
        for (std::uint32_t at : *orders.Order(2, all))
            if (std::string_view(all[at]->Tags).substr(0, 24) == same) tied.push_back(all[at]);
        return tied;
    };
    const int sorts = orders.GetSortCount();

    // One of the run deleted and a tie added: mended, not sorted again.
    std::vector<TuTask*> tied = run();
    auto gone = DeleteTasks(data, {tied[1]});
    TuTask* added = test::AddTask(data, "added", "L", same + ",a");
    all = AllTasks(data);
    ExpectSortItemsOrder(2, all, orders.Order(2, all), "a tie deleted and one added");
    EXPECT_EQ(sorts, orders.GetSortCount());
    // Two kept ties at the end of the run change places by the rest of
    // their texts, the tasks unchanged otherwise.
    tied = run();
    tied[tied.size() - 2]->Tags = std::string(tied.back()->Tags) + "z";
    ExpectSortItemsOrder(2, all, orders.Order(2, all), "kept ties changed places");
    // The added task changed past its key, the tasks unchanged otherwise:
    // the ties it now stands among are compared again.
    added->Tags = same + ",zzz";
    ExpectSortItemsOrder(2, all, orders.Order(2, all), "the added tie moved past its key");

    // A task of the run changed past its key, while the one after it in
    // the order was deleted and the one after that changed its key: the
    // first and the next kept one still tie across both.
    tied = run();
    tied[0]->Tags = std::string(tied[3]->Tags) + "z";
    tied[2]->Tags = "aaa";
    gone = DeleteTasks(data, {tied[1]});
    all = AllTasks(data);
    ExpectSortItemsOrder(2, all, orders.Order(2, all), "ties across a deleted and a changed task");
    // And by titles, whose memos skip the unchanged ones: a task added and
    // one deleted keep the order, a title changed past its key in a run of
    // equal beginnings moves.
    for (TuTask* t : all) t->Title = same + " " + std::string(t->Title);
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "titles");
    const int titleSorts = orders.GetSortCount();
    gone = DeleteTasks(data, {all[10], all[11]});
    test::AddTask(data, same + " task 0", "L", "");
    all = AllTasks(data);
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "titles: tasks deleted and added");
    EXPECT_EQ(titleSorts, orders.GetSortCount());
    all[0]->Title = same + " zz";
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "titles: one changed past its key");
    // While tasks come and go (the order mended), a title changed past its
    // key in the run must move: one that now goes before the task it
    // followed, and one that now goes after the task that followed it.
    auto mended = [&](size_t place, const std::string& title, const std::string& what) {
        const std::vector<std::uint32_t> order = *orders.Order(1, all);
        all[order[place]]->Title = title;
        gone = DeleteTasks(data, {all[order[place + 40]]});
        test::AddTask(data, same + " task 5", "L", "");
        all = AllTasks(data);
        ExpectSortItemsOrder(1, all, orders.Order(1, all), what);
    };
    mended(120, same + " a", "titles mended: one moved to the front");
    mended(5, same + " zzzz", "titles mended: one moved to the end");
}

// Lists of tasks as a grouped list shows them (groups of a few hundred,
// one of them of tasks with equal titles, tags or dates, each group in an
// order a sort before may have left): the kept order sorts every group as
// its own sort does, equal tasks keeping their order in their group.
void ExpectListsSortedAsEachAlone(TuData& data, TTaskOrderCache& orders, unsigned seed, const std::string& what) {
    const std::vector<TuTask*> all = AllTasks(data);
    for (int column = 1; column <= 3; ++column) {
        std::vector<std::vector<TuTask*>> lists(5);
        for (size_t i = 0; i < all.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            const unsigned pick = (seed >> 16) % 6;
            if (pick < lists.size()) lists[pick].push_back(all[i]);  // the sixth not shown
        }
        for (size_t l = 0; l < lists.size(); ++l)
            if (l % 2) std::reverse(lists[l].begin(), lists[l].end());
        std::vector<std::vector<std::uint32_t>> positions;
        ASSERT_TRUE(orders.SortLists(column, all, lists, positions)) << what << " column " << column;
        ASSERT_EQ(lists.size(), positions.size()) << what;
        for (size_t l = 0; l < lists.size(); ++l) {
            std::vector<std::uint32_t> alone;
            ASSERT_TRUE(SortedPositions(column, lists[l], alone)) << what;
            ASSERT_EQ(alone, positions[l]) << what << " column " << column << " list " << l;
        }
    }
}

TEST(TaskOrderCache, HeaderSortOfShownGroupsFromTheKeptOrder) {
    TuData data;
    FillOrderDatabase(data, 500);
    TTaskOrderCache orders;
    ExpectListsSortedAsEachAlone(data, orders, 1, "fresh");
    auto task = [&](int i) { return data.Tasks->GetTask(i); };
    // Tasks equal in every column, spread over the groups.
    for (int i = 0; i < 40; ++i) {
        task(i * 11)->Title = i % 2 ? "Same title" : "SAME TITLE";
        task(i * 11)->Tags = "same,tags";
        task(i * 11)->Due = Today;
    }
    ExpectListsSortedAsEachAlone(data, orders, 2, "equal tasks");
    // Edits, adds and deletes between header clicks: the kept order is
    // mended or made anew, and still sorts each group as alone.
    ApplyTitleEdit(*task(3), "Same title", data);
    ApplyTagsEdit(*task(4), "same,tags", data);
    ApplyDueEdit(*task(5), true, Today, data);
    test::AddTask(data, "same title", "Home", "same,tags", Today, 1);
    auto gone = DeleteTasks(data, {task(0), task(77)});
    ExpectListsSortedAsEachAlone(data, orders, 3, "after edits, adds and deletes");
    data.RenameTag("same", "other");
    ExpectListsSortedAsEachAlone(data, orders, 4, "a tag renamed");

    // A list holding a task the database does not, none, or one task
    // twice: no kept order applies, and the caller sorts each alone.
    std::vector<TuTask*> all = AllTasks(data);
    std::vector<std::vector<std::uint32_t>> positions;
    TuTask stranger;
    stranger.Title = "stranger";
    EXPECT_FALSE(orders.SortLists(1, all, {{all[1], &stranger}}, positions));
    EXPECT_FALSE(orders.SortLists(1, all, {{all[1]}, {nullptr}}, positions));
    EXPECT_FALSE(orders.SortLists(1, all, {{all[1], all[2]}, {all[2]}}, positions));
    EXPECT_FALSE(orders.SortLists(0, all, {{all[1]}}, positions));
    // Empty lists, and every task in one list.
    ASSERT_TRUE(orders.SortLists(2, all, {{}, all, {}}, positions));
    std::vector<std::uint32_t> alone;
    ASSERT_TRUE(SortedPositions(2, all, alone));
    EXPECT_EQ(alone, positions[1]);
    EXPECT_TRUE(positions[0].empty() && positions[2].empty());
}

TEST(TaskOrderCache, PreparedSortOrdersAsThePlainStableSort) {
    // Enough tasks for the sort by leading keys: texts equal but for case,
    // sharing their first eight bytes or more, shorter than eight, empty,
    // with bytes past 0x7F; dates equal, negative, nought of either sign,
    // far apart and none. Every column orders as the plain stable sort
    // by TaskSortsAfter does, equal tasks in their given order.
    const char* const heads[] = {"Call the plumber", "call THE plumber", "Call th", "", "b", "B", "\xE9t\xE9",
                                 "\xC9T\xC9 plans", "Pay the rent on time", "pay the rent", "zz", "Z"};
    const double dates[] = {0, -0.0, Today, Today + 0.5, -3, 1e7, Today, -0.25};
    TuData data;
    for (int i = 0; i < 900; ++i) {
        std::string text = heads[(i * 7) % 12];
        if (i % 3 == 0) text += " " + std::to_string(i % 11);
        if (i % 5 == 0) text += "\x80\xFF";
        test::AddTask(data, text.empty() ? "x" : text, "L", i % 4 ? text : "", dates[(i * 5) % 8], 1);
    }
    const std::vector<TuTask*> all = AllTasks(data);
    for (int column = 1; column <= 3; ++column) {
        std::vector<std::uint32_t> plain(all.size());
        for (std::uint32_t i = 0; i < plain.size(); ++i) plain[i] = i;
        std::stable_sort(plain.begin(), plain.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return TaskSortsAfter(column, *all[b], *all[a]); });
        std::vector<std::uint32_t> prepared;
        ASSERT_TRUE(SortedPositions(column, all, prepared));
        EXPECT_EQ(plain, prepared) << "column " << column;
    }
}

TEST(TaskOrderCache, SortFoldsEveryByteAsCompareTextDoes) {
    // Every byte value, in each of the prepared eight-byte parts and past
    // them, against the letters around it: the order is CompareText's.
    TuData data;
    for (int c = 1; c < 256; ++c)
        for (size_t at : {0, 5, 8, 15, 16, 23, 24, 30}) {
            std::string text(at, 'm');
            text += static_cast<char>(c);
            test::AddTask(data, text + (c % 3 ? "q" : ""), "L", "", 0, 1);
            test::AddTask(data, text.substr(0, at) + (c % 2 ? "A" : "z") + "q", "L", "", 0, 1);
        }
    std::vector<TuTask*> all = AllTasks(data);
    std::vector<TuTask*> sorted = all;
    SortItems(1, true, sorted);
    for (size_t i = 0; i + 1 < sorted.size(); ++i)
        ASSERT_LE(gcl::CompareText(sorted[i]->Title, sorted[i + 1]->Title), 0) << i;
    TTaskOrderCache orders;
    ExpectSortItemsOrder(1, all, orders.Order(1, all), "every byte");
}

TEST(TaskOrderCache, ManyListsAndTagTextsEachMakeOneGroup) {
    // Hundreds of distinct texts, each met many times: one group per list
    // and per tag text, each holding exactly the tasks of its text; tag
    // groups stand in the order their texts are first met.
    TuData data;
    for (int n = 0; n < 150; ++n)
        data.Folders->Add("List " + std::to_string(n) + FieldSeparator + "0" + FieldSeparator);
    for (int i = 0; i < 3000; ++i) {
        const int n = (i * 37) % 300;
        test::AddTask(data, "t" + std::to_string(i), "List " + std::to_string(n % 150), "tag" + std::to_string(n), 0,
                      1);
    }
    for (int mode : {gmList, gmTags}) {
        TFilterSystem filter;
        TTaskListState state;
        state.GroupMode = mode;
        TGroupKeys keys;
        const TTaskListLayout layout = BuildTaskListLayout(data, filter, state, keys);
        auto textOf = [mode](const TuTask* t) { return std::string(mode == gmList ? t->Folder : t->Tags); };
        std::vector<std::string> met;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) {
            const std::string text = textOf(data.Tasks->GetTask(i));
            if (std::find(met.begin(), met.end(), text) == met.end()) met.push_back(text);
        }
        ASSERT_EQ(met.size(), layout.Groups.size()) << mode;
        size_t total = 0;
        for (size_t g = 0; g < layout.Groups.size(); ++g) {
            const TTaskGroup& group = layout.Groups[g];
            ASSERT_FALSE(group.Tasks.empty());
            total += group.Tasks.size();
            for (const TuTask* t : group.Tasks) ASSERT_EQ(textOf(group.Tasks[0]), textOf(t)) << mode << " " << g;
            const std::string expected = mode == gmTags ? met[g] : "List " + std::to_string(g);
            EXPECT_EQ(expected, textOf(group.Tasks[0])) << mode << " " << g;
        }
        EXPECT_EQ(3000u, total) << mode;
    }
}

TEST(TaskOrderCache, DueDatesWithoutOrderFallBackToThePlainSort) {
    TuData data;
    FillOrderDatabase(data, 200);
    data.Tasks->GetTask(9)->Due = std::numeric_limits<double>::quiet_NaN();
    TTaskOrderCache orders;
    std::vector<TuTask*> all;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) all.push_back(data.Tasks->GetTask(i));
    EXPECT_EQ(nullptr, orders.Order(3, all));
    EXPECT_NE(nullptr, orders.Order(1, all));
    TOrders each;
    ExpectKeptOrderRight(data, each, "a due date that is not a number");
}

} // namespace
} // namespace qelvo

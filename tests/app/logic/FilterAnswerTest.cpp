// The filter's answer kept between refreshes: a refresh that changes only
// the grouping, the order or the numbering takes the tasks the last pass
// let through, and every layout it gives is the layout of a pass over
// every task; any change of the tasks, of the task list or of the filter
// in between makes the filter test every task again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppLogicTest.h"
#include "app/logic/FilterBar.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo {
namespace {

// A list's entry in the database's table.
std::string Entry(const std::string& name) {
    return name + FieldSeparator + "0" + FieldSeparator;
}

class TRefreshes {
public:
    TRefreshes() {
        for (const char* list : {"Home", "Work", "Garden"}) Data.Folders->Add(Entry(list));
        Data.Tags->Add("mail");
        Data.Tags->Add("bank");
        const char* lists[] = {"Home", "Work", "Garden"};
        const char* tags[] = {"", "mail", "mail,bank", "bank"};
        for (int i = 0; i < 240; ++i)
            test::AddTask(Data, "Job " + std::to_string((i * 37) % 240), lists[i % 3], tags[(i * 5) % 4],
                          i % 4 ? Today + (i % 9) - 3 : 0, i % 3, i % 5 == 0);
        Bar.CurrentFolder = "Work";
        Bar.HideDone = true;
    }
    // The layout with the kept answer, checked against one made from
    // nothing; whether the kept answer served it.
    bool Refresh(const std::string& what) {
        const int before = Answer.GetAnswered();
        const TTaskListLayout kept = RefreshTaskListLayout(Data, Bar, State, Keys, nullptr, nullptr, &Answer);
        TGroupKeys keys;
        const TTaskListLayout full = RefreshTaskListLayout(Data, Bar, State, keys);
        EXPECT_EQ(full.Grouped, kept.Grouped) << what;
        EXPECT_EQ(full.Groups.size(), kept.Groups.size()) << what;
        for (size_t g = 0; g < full.Groups.size() && g < kept.Groups.size(); ++g) {
            EXPECT_EQ(full.Groups[g].Tasks, kept.Groups[g].Tasks) << what << ", group " << g;
        }
        EXPECT_EQ(full.Done, kept.Done) << what;
        Shown.clear();
        for (const TTaskGroup& g : kept.Groups) Shown.insert(Shown.end(), g.Tasks.begin(), g.Tasks.end());
        return Answer.GetAnswered() > before;
    }
    TuTask* Task(const std::string& title) {
        for (int i = 0; i < Data.Tasks->GetCount(); ++i)
            if (Data.Tasks->TaskAt(i)->Title == title) return Data.Tasks->TaskAt(i);
        return nullptr;
    }

    static constexpr double Today = 46100;  // a day in 2026
    TuData Data;
    TFilterBarState Bar;
    TTaskListState State;
    TGroupKeys Keys;
    TFilterAnswer Answer;
    std::vector<TuTask*> Shown;
};

TEST(FilterAnswer, OnlyTheGroupingOrOrderChangedTakesTheLastAnswer) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TRefreshes r;
    EXPECT_FALSE(r.Refresh("first"));
    ASSERT_FALSE(r.Shown.empty());
    for (int mode : {gmDate, gmPriority, gmTags, gmNone, gmList}) {
        r.State.GroupMode = mode;
        EXPECT_TRUE(r.Refresh("grouped by " + std::to_string(mode)));
    }
    r.State.SortColumn = 1;
    r.State.SortAscending = true;
    EXPECT_TRUE(r.Refresh("sorted by title"));
    r.State.SortColumn = 3;
    r.State.SortAscending = false;
    EXPECT_TRUE(r.Refresh("sorted by due date, down"));
    r.State.Grouped = false;
    r.State.CountItems = false;
    EXPECT_TRUE(r.Refresh("not grouped, not numbered"));
    // Another filter is tested whole, and its answer serves next.
    r.Bar.HideDone = false;
    EXPECT_FALSE(r.Refresh("done shown"));
    r.State.Grouped = true;
    EXPECT_TRUE(r.Refresh("grouped again"));
    r.Bar.FindMode = true;
    r.Bar.SearchText = "job 1";
    EXPECT_FALSE(r.Refresh("a search"));
    EXPECT_TRUE(r.Refresh("the same search"));
    // A filter every task passes tests none, and leaves the answer kept.
    r.Bar = TFilterBarState();
    EXPECT_FALSE(r.Refresh("all lists"));
    EXPECT_EQ(r.Shown.size(), 240u);
    r.Bar.CurrentFolder = "Work";
    r.Bar.FindMode = true;
    r.Bar.SearchText = "job 1";
    EXPECT_TRUE(r.Refresh("the search again"));
    r.Answer.Forget();
    EXPECT_FALSE(r.Refresh("forgotten"));
}

TEST(FilterAnswer, EveryChangeBetweenRefreshesMakesTheFilterTestEveryTask) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TRefreshes r;
    r.Bar.DueCaption = DueChoiceInfo(TDueChoice::Next10Days).Caption;
    r.Bar.DateFilter = DueDateFilterFor(TDueChoice::Next10Days, TRefreshes::Today);
    struct TStep {
        const char* What;
        std::function<void()> Do;
    };
    // Each change lets a task in or out of the filter (a list chosen, done
    // hidden, the next ten days), or moves the tasks.
    const std::vector<TStep> steps = {
        {"a task shown done", [&] { ApplyItemCheck(*r.Shown.front(), true, r.Data); }},
        {"a hidden task not done", [&] { ApplyItemCheck(*r.Task("Job 0"), false, r.Data); }},
        {"a task moved to the list",
         [&] { MoveTasksToList({r.Task("Job 1"), r.Task("Job 2")}, "Work", r.Data); }},
        {"a task due today", [&] { ApplyDueEdit(*r.Shown.back(), true, TRefreshes::Today + 20, r.Data); }},
        {"a hidden task due soon", [&] { ApplyDueEdit(*r.Task("Job 5"), true, TRefreshes::Today + 2, r.Data); }},
        {"a title edited", [&] { ApplyTitleEdit(*r.Shown.front(), "Job renamed", r.Data); }},
        {"a list renamed into the one chosen", [&] { r.Data.RenameFolder(Entry("Home"), Entry("Work")); }},
        {"a list deleted", [&] { r.Data.DeleteFolder(Entry("Garden")); }},
        {"tasks deleted",
         [&] { DeleteTasks(r.Data, {r.Shown.front(), r.Shown.back()}); }},
        {"a task added",
         [&] {
             test::AddTask(r.Data, "Job new", "Work", "", TRefreshes::Today + 1);
             r.Data.Modified = true;
         }},
        {"tasks swapped in the list, with no mark", [&] { r.Data.Tasks->Exchange(0, r.Data.Tasks->GetCount() - 1); }},
        {"a task taken out, with no mark",
         [&] { std::unique_ptr<TuTask> gone(r.Data.Tasks->Extract(r.Data.Tasks->GetCount() / 2)); }},
        {"the database cleared and filled again",
         [&] {
             r.Data.Clear();
             for (int i = 0; i < 30; ++i) test::AddTask(r.Data, "Again " + std::to_string(i), "Work", "", TRefreshes::Today + 1);
         }},
    };
    int mode = gmList;
    r.Refresh("first");
    for (const TStep& step : steps) {
        step.Do();
        r.State.GroupMode = mode = mode == gmTags ? gmList : mode + 1;
        EXPECT_FALSE(r.Refresh(std::string(step.What) + ", regrouped")) << step.What;
        r.State.GroupMode = mode = mode == gmTags ? gmList : mode + 1;
        EXPECT_TRUE(r.Refresh(std::string(step.What) + ", regrouped again")) << step.What;
    }
    // The next ten days counted from the day after: other days, tested anew.
    r.Bar.DateFilter = DueDateFilterFor(TDueChoice::Next10Days, TRefreshes::Today + 1);
    EXPECT_FALSE(r.Refresh("past midnight"));
    // Another database of the same tasks' content is not the one answered for.
    TuData other;
    for (int i = 0; i < 30; ++i) test::AddTask(other, "Again " + std::to_string(i), "Work", "", TRefreshes::Today + 1);
    const int before = r.Answer.GetAnswered();
    RefreshTaskListLayout(other, r.Bar, r.State, r.Keys, nullptr, nullptr, &r.Answer);
    EXPECT_EQ(r.Answer.GetAnswered(), before);
}

TEST(FilterAnswer, AFilterPassesEveryTaskOnlyWithNoConditionButAllLists) {
    TFilterSystem filter;
    EXPECT_TRUE(filter.PassesEvery());
    TFilterBarState bar;
    BuildFilter(filter, bar);
    EXPECT_TRUE(filter.PassesEvery());  // the list condition names no list
    const std::vector<std::function<void(TFilterBarState&)>> narrowing = {
        [](TFilterBarState& b) { b.CurrentFolder = "Work"; },
        [](TFilterBarState& b) { b.HideDone = true; },
        [](TFilterBarState& b) { b.PriorityTag = 0; },
        [](TFilterBarState& b) { b.TagFilter = "mail"; },
        [](TFilterBarState& b) {
            b.FindMode = true;
            b.SearchText = "x";
        },
        [](TFilterBarState& b) {
            b.DueCaption = DueChoiceInfo(TDueChoice::WithoutDate).Caption;
            b.DateFilter = DueDateFilterFor(TDueChoice::WithoutDate, TRefreshes::Today);
        },
    };
    for (size_t i = 0; i < narrowing.size(); ++i) {
        TFilterBarState b;
        narrowing[i](b);
        TFilterSystem f;
        BuildFilter(f, b);
        EXPECT_FALSE(f.PassesEvery()) << i;
    }
    // Find mode with no text yet searches nothing.
    bar.FindMode = true;
    BuildFilter(filter, bar);
    EXPECT_TRUE(filter.PassesEvery());
}

} // namespace
} // namespace qelvo

// Grouping by due date finds a task's key from its whole day in a table
// kept for the run: the groups must follow every change of a task's date
// (another time of the same day, another day, no date, a day far from the
// others, a date that is no number) and tasks added and deleted, as a
// grouping with keys made afresh gives them.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AppLogicTest.h"
#include "app/logic/FilterBar.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/rtl/DateTime.h"
#include "support/TestEnvironment.h"

namespace qelvo {
namespace {

using test::AddTask;

// The groups of a layout by date as (caption, titles), in order.
std::vector<std::pair<std::string, std::vector<std::string>>> DateGroups(TuData& data, TGroupKeys& keys) {
    TFilterSystem filter;
    TTaskListState state;
    state.GroupMode = gmDate;
    const TTaskListLayout layout = BuildTaskListLayout(data, filter, state, keys);
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    for (const TTaskGroup& g : layout.Groups) {
        std::vector<std::string> titles;
        for (const TuTask* t : g.Tasks) titles.push_back(t->Title);
        groups.emplace_back(GroupCaption(gmDate, g.Key, *g.First, keys), titles);
    }
    return groups;
}

TEST(DateGroupKeys, RegroupingAfterEditsAddsAndDeletesEqualsAFreshGrouping) {
    test::TProgramFolder folder;  // the program's date format
    TuData data;
    const double day = 46000;  // 9 December 2025
    // Tasks over a few days and times of day, some without a date.
    for (int n = 0; n < 40; ++n)
        AddTask(data, "t" + std::to_string(n), "", "", n % 5 == 0 ? 0 : day + (n % 7) + 0.1 * (n % 3));
    TGroupKeys keys;
    auto expectFresh = [&](const std::string& what) {
        TGroupKeys fresh;
        const auto kept = DateGroups(data, keys);
        EXPECT_EQ(kept, DateGroups(data, fresh)) << what;
        // One group per date as the date format writes it.
        std::map<std::string, int> days;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) ++days[gcl::DateToStr(data.Tasks->GetTask(i)->Due)];
        EXPECT_EQ(kept.size(), days.size()) << what;
    };
    expectFresh("made");
    expectFresh("regrouped");
    // Another time of the same day, another day met already, a new day,
    // a date dropped, a day before the others, a day far from all of
    // them, and a date that is no number.
    data.Tasks->GetTask(1)->Due = day + 1 + 0.9;
    data.Tasks->GetTask(2)->Due = day + 4;
    data.Tasks->GetTask(3)->Due = day + 30;
    data.Tasks->GetTask(4)->Due = 0;
    data.Tasks->GetTask(6)->Due = day - 400.5;
    data.Tasks->GetTask(7)->Due = day + 5000000;
    data.Tasks->GetTask(8)->Due = std::numeric_limits<double>::quiet_NaN();
    data.Tasks->GetTask(9)->Due = -2.5;  // before the calendar's day 0
    expectFresh("edited");
    // Tasks added on new and known days, others deleted.
    AddTask(data, "new1", "", "", day + 60.25);
    AddTask(data, "new2", "", "", day + 3.75);
    data.Tasks->Delete(0);
    data.Tasks->Delete(10);
    expectFresh("added and deleted");
    // Every task moved to one day: one group left.
    for (int i = 0; i < data.Tasks->GetCount(); ++i) data.Tasks->GetTask(i)->Due = day + 2.5;
    const auto one = DateGroups(data, keys);
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ(static_cast<size_t>(data.Tasks->GetCount()), one[0].second.size());
    expectFresh("one day");
}

} // namespace
} // namespace qelvo

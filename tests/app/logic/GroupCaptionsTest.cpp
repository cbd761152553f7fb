// A layout made without group captions (for a list that asks for each
// caption when it shows the group) names, for every group, the task that
// opened it: its caption made from that task and the key is the caption a
// layout with captions holds, in every grouping and item order.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo {
using test::Today;
namespace {

TTaskListLayout CaptionedLayout(TuData& data, int mode, TGroupKeys& keys, bool captions, int column, bool ascending) {
    TFilterSystem filter;
    TTaskListState state;
    state.GroupMode = mode;
    state.Grouped = true;
    state.SortColumn = column;
    state.SortAscending = ascending;
    state.GroupCaptions = captions;
    return BuildTaskListLayout(data, filter, state, keys);
}

TEST(GroupCaptions, MadeFromTheOpeningTaskTheyMatchTheLayoutsOwnInEveryGroupingAndOrder) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    data.Folders->Add(std::string("Work") + FieldSeparator + "0" + FieldSeparator);
    data.Folders->Add(std::string("Home") + FieldSeparator + "3" + FieldSeparator);
    // Two lists missing from the table share one group, named after the
    // first of them in the database ("Trips"), whatever the item order.
    test::AddTask(data, "m", "Trips", "x,Y", Today + 2, 1);
    test::AddTask(data, "b", "Work", "", 0, 0);
    test::AddTask(data, "a", "Attic", "y,X", Today, 2);
    test::AddTask(data, "d", "Home", "ab,c", gcl::EncodeDate(2024, 2, 29), 0);
    test::AddTask(data, "e", "Workshop", "b,ac", Today + 2.5, 2);
    test::AddTask(data, "c", "Work", "q", Today, 1);
    TGroupKeys keys;
    for (int mode : {gmList, gmDate, gmPriority, gmTags}) {
        for (int column : {0, 1, 3}) {
            for (bool ascending : {true, false}) {
                const TTaskListLayout named = CaptionedLayout(data, mode, keys, true, column, ascending);
                const TTaskListLayout bare = CaptionedLayout(data, mode, keys, false, column, ascending);
                ASSERT_EQ(named.Groups.size(), bare.Groups.size()) << mode;
                for (size_t g = 0; g < bare.Groups.size(); ++g) {
                    const TTaskGroup& n = named.Groups[g];
                    const TTaskGroup& b = bare.Groups[g];
                    const std::string what = "mode " + std::to_string(mode) + " column " + std::to_string(column) +
                                             (ascending ? " up" : " down") + " group " + std::to_string(g);
                    EXPECT_TRUE(b.Caption.empty()) << what;
                    ASSERT_NE(nullptr, b.First) << what;
                    EXPECT_EQ(n.First, b.First) << what;
                    EXPECT_EQ(n.Caption, GroupCaption(mode, b.Key, *b.First, keys)) << what;
                    EXPECT_EQ(n.ImageIndex, GroupImageIndex(mode, *b.First)) << what;
                    EXPECT_EQ(n.Key, b.Key) << what;
                    EXPECT_EQ(n.Tasks, b.Tasks) << what;
                }
            }
        }
    }
    // The shared group of the unknown lists keeps the first one's name
    // though a title sort puts "a" (in "Attic") first.
    const TTaskListLayout byTitle = CaptionedLayout(data, gmList, keys, false, 1, true);
    ASSERT_FALSE(byTitle.Groups.empty());
    EXPECT_EQ("a", byTitle.Groups[0].Tasks.front()->Title);
    EXPECT_EQ("Trips", GroupCaption(gmList, byTitle.Groups[0].Key, *byTitle.Groups[0].First, keys));
    // Ungrouped, the one group has no opening task and no caption.
    TFilterSystem filter;
    TTaskListState none;
    none.GroupMode = gmTags;
    none.Grouped = false;
    const TTaskListLayout flat = BuildTaskListLayout(data, filter, none, keys);
    ASSERT_EQ(1u, flat.Groups.size());
    EXPECT_EQ(nullptr, flat.Groups[0].First);
    EXPECT_EQ("", flat.Groups[0].Caption);
}

TEST(GroupCaptions, DateKeysAreOnePerDayNearAndFarApart) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    // Days close together and far apart (no date, the far past, this year,
    // the far future, before 1899), each at several times of the day, met
    // in an order that makes the kept range of days grow both ways.
    const double days[] = {Today, 0, Today + 1, Today - 400, gcl::EncodeDate(9999, 12, 31), -700,
                           gcl::EncodeDate(1900, 1, 2), Today + 3000, gcl::EncodeDate(2200, 6, 1), Today - 1};
    TGroupKeys keys;
    const size_t n = std::size(days);
    std::vector<TuTask> tasks(3 * n);
    for (size_t i = 0; i < tasks.size(); ++i) {
        const double day = days[i % n];
        tasks[i].Due = day + (day < 0 ? -0.25 : 0.25) * static_cast<double>(i / n);
    }
    std::vector<int> first;
    for (const TuTask& t : tasks) first.push_back(keys.DateKey(t));
    for (size_t i = 0; i < tasks.size(); ++i) {
        // The same day, whatever the time, keeps its key; other days differ.
        EXPECT_EQ(first[i % n], first[i]) << i;
        EXPECT_EQ(first[i], keys.DateKey(tasks[i])) << i;
        for (size_t j = 0; j < n; ++j)
            if (j != i % n) {
                EXPECT_NE(first[j], first[i]) << i << " " << j;
            }
        EXPECT_EQ(keys.DateText(first[i]), gcl::DateToStr(tasks[i].Due)) << i;
    }
}

} // namespace
} // namespace qelvo

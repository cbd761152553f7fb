// The filter bar: the due-date choices, the priority filter, BuildFilter
// and the lists menu.
#include <gtest/gtest.h>

#include "AppLogicTest.h"
#include "app/logic/FilterBar.h"

namespace qelvo {
namespace {

struct TDueRow {
    TDueChoice Choice;
    std::uint16_t Op;
    const char* Value1;
    const char* Value2;  // "-" = left as it was
};

void ExpectChoices(double day, const std::vector<TDueRow>& rows) {
    TFieldFilter previous;
    previous.Value2 = "kept";
    for (const TDueRow& r : rows) {
        const TFieldFilter f = DueDateFilterFor(r.Choice, day + 0.6, previous);
        const char* caption = DueChoiceInfo(r.Choice).Caption;
        EXPECT_EQ(r.Op, f.Op) << caption;
        EXPECT_EQ(r.Value1, f.Value1) << caption;
        EXPECT_EQ(std::string(r.Value2) == "-" ? std::string("kept") : std::string(r.Value2), f.Value2) << caption;
    }
}

TEST(FilterBar, DueChoicesOnAWednesday) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    ExpectChoices(gcl::EncodeDate(2025, 3, 5), {
        {TDueChoice::AllDates, foEqual, "", "-"},
        {TDueChoice::WithoutDate, foEqual, "", "-"},
        {TDueChoice::Overdue, foLess, "05/03/2025", "-"},
        {TDueChoice::Today, foEqual, "05/03/2025", "-"},
        {TDueChoice::Tomorrow, foEqual, "06/03/2025", "-"},
        {TDueChoice::Yesterday, foEqual, "04/03/2025", "-"},
        {TDueChoice::ThisWeek, foBetween, "02/03/2025", "10/03/2025"},
        {TDueChoice::ThisMonth, foBetween, "28/02/2025", "01/04/2025"},
        {TDueChoice::NextWeek, foBetween, "09/03/2025", "17/03/2025"},
        {TDueChoice::NextMonth, foBetween, "31/03/2025", "01/05/2025"},
        {TDueChoice::Next3Days, foBetween, "04/03/2025", "09/03/2025"},
        {TDueChoice::Next5Days, foBetween, "04/03/2025", "11/03/2025"},
        {TDueChoice::Next10Days, foBetween, "04/03/2025", "16/03/2025"},
        {TDueChoice::Next30Days, foBetween, "04/03/2025", "05/04/2025"},
        {TDueChoice::Last10Days, foBetween, "22/02/2025", "06/03/2025"},
        {TDueChoice::LastWeek, foBetween, "23/02/2025", "03/03/2025"},
    });
}

TEST(FilterBar, DueChoicesAtEdges) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    // A leap day (Thursday).
    ExpectChoices(gcl::EncodeDate(2024, 2, 29), {
        {TDueChoice::Tomorrow, foEqual, "01/03/2024", "-"},
        {TDueChoice::ThisWeek, foBetween, "25/02/2024", "04/03/2024"},
        {TDueChoice::ThisMonth, foBetween, "31/01/2024", "01/03/2024"},
        {TDueChoice::NextMonth, foBetween, "29/02/2024", "01/04/2024"},
        {TDueChoice::Next30Days, foBetween, "28/02/2024", "31/03/2024"},
        {TDueChoice::Last10Days, foBetween, "18/02/2024", "01/03/2024"},
    });
    // The last day of a month and of a year; a Sunday.
    ExpectChoices(gcl::EncodeDate(2025, 1, 31), {
        {TDueChoice::ThisWeek, foBetween, "26/01/2025", "03/02/2025"},
        {TDueChoice::NextMonth, foBetween, "31/01/2025", "01/03/2025"},
        {TDueChoice::Tomorrow, foEqual, "01/02/2025", "-"},
    });
    ExpectChoices(gcl::EncodeDate(2024, 12, 31), {
        {TDueChoice::ThisWeek, foBetween, "29/12/2024", "06/01/2025"},
        {TDueChoice::NextWeek, foBetween, "05/01/2025", "13/01/2025"},
        {TDueChoice::ThisMonth, foBetween, "30/11/2024", "01/01/2025"},
        {TDueChoice::NextMonth, foBetween, "31/12/2024", "01/02/2025"},
    });
    ExpectChoices(gcl::EncodeDate(2025, 3, 9), {
        {TDueChoice::ThisWeek, foBetween, "02/03/2025", "10/03/2025"},
        {TDueChoice::LastWeek, foBetween, "23/02/2025", "03/03/2025"},
    });
}

TEST(FilterBar, ChoicesFilterTheRightDays) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    const double wed = gcl::EncodeDate(2025, 3, 5);
    TuData data;
    TFilterSystem filter;
    filter.Data = &data;
    auto passes = [&](TDueChoice choice, double due) {
        TFilterBarState state;
        state.DueCaption = DueChoiceInfo(choice).Caption;
        state.DateFilter = DueDateFilterFor(choice, wed);
        BuildFilter(filter, state);
        TuTask t;
        t.Due = due;
        return filter.Match(-1, &t);
    };
    for (int d = 0; d < 7; ++d) EXPECT_TRUE(passes(TDueChoice::ThisWeek, wed - 2 + d + 0.5)) << d;
    EXPECT_FALSE(passes(TDueChoice::ThisWeek, wed - 3));
    EXPECT_FALSE(passes(TDueChoice::ThisWeek, wed + 5));
    EXPECT_FALSE(passes(TDueChoice::ThisWeek, 0));
    EXPECT_TRUE(passes(TDueChoice::WithoutDate, 0));
    EXPECT_FALSE(passes(TDueChoice::WithoutDate, wed));
    EXPECT_TRUE(passes(TDueChoice::Overdue, wed - 1));
    EXPECT_FALSE(passes(TDueChoice::Overdue, wed));
    EXPECT_FALSE(passes(TDueChoice::Overdue, 0));
    EXPECT_TRUE(passes(TDueChoice::Last10Days, wed - 10));
    EXPECT_TRUE(passes(TDueChoice::Last10Days, wed));
    EXPECT_FALSE(passes(TDueChoice::Last10Days, wed + 1));
    EXPECT_TRUE(passes(TDueChoice::AllDates, 0));  // "All dates" switches the condition off
}

TEST(FilterBar, BuildFilterFromTheBar) {
    TFilterSystem filter;
    TFilterBarState state;
    state.SearchText = "milk";  // Add mode: no search
    BuildFilter(filter, state);
    EXPECT_FALSE(filter.Conditions[fkTitle].Enabled);
    EXPECT_TRUE(filter.Conditions[fkFolder].Enabled);
    EXPECT_EQ("", filter.Conditions[fkFolder].Value1);
    EXPECT_FALSE(filter.Conditions[fkTags].Enabled);
    EXPECT_FALSE(filter.Conditions[fkDue].Enabled);
    EXPECT_FALSE(filter.Conditions[fkPriority].Enabled);
    EXPECT_FALSE(filter.Conditions[fkDone].Enabled);

    state.FindMode = true;
    state.CurrentFolder = "Work";
    state.TagFilter = "a,b,";
    state.DueCaption = "Today";
    state.DateFilter.Op = foEqual;
    state.DateFilter.Value1 = "05/03/2025";
    state.PriorityTag = 0;
    state.HideDone = true;
    BuildFilter(filter, state);
    EXPECT_TRUE(filter.Conditions[fkTitle].Enabled);
    EXPECT_EQ(foContains, filter.Conditions[fkTitle].Op);
    EXPECT_EQ("milk", filter.Conditions[fkTitle].Value1);
    EXPECT_EQ("Work", filter.Conditions[fkFolder].Value1);
    EXPECT_EQ(foContains, filter.Conditions[fkTags].Op);
    EXPECT_EQ("a,b,", filter.Conditions[fkTags].Value1);
    EXPECT_TRUE(filter.Conditions[fkDue].Enabled);
    EXPECT_EQ("05/03/2025", filter.Conditions[fkDue].Value1);
    EXPECT_EQ("0", filter.Conditions[fkPriority].Value1);
    EXPECT_TRUE(filter.Conditions[fkDone].Enabled);
    EXPECT_EQ("", filter.Conditions[fkDone].Value1);

    // A search text the titles' code page cannot hold ("?" in its 8-bit
    // form) passes no task, not the titles holding "?".
    state.SearchText = "?";
    state.SearchTextForeign = true;
    state.PriorityTag = -1;
    state.HideDone = false;
    state.DueCaption = AllDatesCaption;
    state.CurrentFolder.clear();
    state.TagFilter.clear();
    BuildFilter(filter, state);
    TuTask asking;
    asking.Title = std::string("Why?");
    EXPECT_FALSE(filter.Match(-1, &asking));
    state.SearchTextForeign = false;
    BuildFilter(filter, state);
    EXPECT_TRUE(filter.Match(-1, &asking));

    state.SearchText.clear();  // Find mode with an empty edit filters nothing
    BuildFilter(filter, state);
    EXPECT_FALSE(filter.Conditions[fkTitle].Enabled);
}

TEST(FilterBar, PriorityFilterAndListsMenu) {
    int tag = -1;
    std::vector<std::string> captions;
    for (int i = 0; i < 4; ++i) {
        tag = NextPriorityFilter(tag);
        captions.push_back(PriorityFilterCaption(tag));
    }
    EXPECT_EQ((std::vector<std::string>{"Priority: Low", "Priority: Normal", "Priority: High", "Priority: All"}),
              captions);

    gcl::TStringList folders;
    folders.Add(std::string("Work") + FieldSeparator + "0" + FieldSeparator);
    folders.Add("Home");
    const std::vector<TListsMenuItem> menu = ListsMenuModel(folders, 2);
    ASSERT_EQ(3u, menu.size());
    EXPECT_EQ("All", menu[0].Caption);
    EXPECT_TRUE(menu[0].SeparatorAfter);
    EXPECT_FALSE(menu[0].Bold);
    EXPECT_EQ("Work", menu[1].Caption);
    EXPECT_EQ(1, menu[1].Tag);
    EXPECT_TRUE(menu[2].Bold);
    EXPECT_EQ("", ListFromMenuItem(menu[0]));
    EXPECT_EQ("Home", ListFromMenuItem(menu[2]));
    EXPECT_EQ(16u, DueChoices.size());
    EXPECT_STREQ("FDate14A", DueChoiceInfo(TDueChoice::NextMonth).Action);
}

} // namespace
} // namespace qelvo

// The filter bar's rules: the six filter conditions built from the bar,
// the side tree and the quick-entry search; the sixteen due-date choices;
// the priority filter and its captions; the lists menu.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "data/uDataMan.h"

namespace qelvo {

// The due-date choices, in the order of the "Due date" menu.
enum class TDueChoice {
    AllDates, WithoutDate, Overdue, Today, Tomorrow, Yesterday, ThisWeek, ThisMonth, NextWeek, NextMonth,
    Next3Days, Next5Days, Next10Days, Next30Days, Last10Days, LastWeek,
};
inline constexpr int DueChoiceCount = 16;

struct TDueChoiceInfo {
    TDueChoice Choice;
    const char* Action;    // the action's name
    const char* Caption;
    const char* Shortcut;  // "" when none
};
// The sixteen choices in menu order.
extern const std::array<TDueChoiceInfo, DueChoiceCount> DueChoices;
const TDueChoiceInfo& DueChoiceInfo(TDueChoice choice);
inline constexpr const char* AllDatesCaption = "All dates";

// The condition a choice sets for the day Today (dates as DateToStr in
// the process date format; ranges exclude both bounds). AllDates and
// WithoutDate leave Value1 empty; the single-day and overdue choices leave
// Value2 as it was in Previous.
TFieldFilter DueDateFilterFor(TDueChoice choice, double today, const TFieldFilter& previous = TFieldFilter());
// Whether a choice's days count from today (all but AllDates and
// WithoutDate), so that it names other days once midnight has passed.
inline constexpr bool DueChoiceCountsFromToday(TDueChoice choice) {
    return choice != TDueChoice::AllDates && choice != TDueChoice::WithoutDate;
}

// The priority filter: -1 all, 0 low, 1 normal, 2 high.
inline constexpr std::array<const char*, 4> PriorityFilterCaptions = {"All", "Low", "Normal", "High"};
// Ctrl+P: All -> Low -> Normal -> High -> All.
int NextPriorityFilter(int tag);
// "Priority: " + the caption of the tag.
std::string PriorityFilterCaption(int tag);

// Everything the filter is built from.
struct TFilterBarState {
    bool FindMode = false;
    std::string SearchText;      // the quick-entry text
    // The text holds characters the 8-bit titles cannot (SearchText has
    // them as "?"): no title holds it.
    bool SearchTextForeign = false;
    std::string CurrentFolder;   // "" = every list
    std::string TagFilter;       // "" = every tag
    std::string DueCaption = AllDatesCaption;  // the due-date menu's caption
    TFieldFilter DateFilter;
    int PriorityTag = -1;
    bool HideDone = false;
};
void BuildFilter(TFilterSystem& filter, const TFilterBarState& state);

// The lists menu: "All" (Tag 0) and a separator, then one item per list
// (Tag = index + 1); the item whose Tag is the current choice is bold.
struct TListsMenuItem {
    std::string Caption;
    int Tag = 0;
    bool Bold = false;
    bool SeparatorAfter = false;
};
std::vector<TListsMenuItem> ListsMenuModel(const gcl::TStrings& folders, int currentTag);
// The list a lists-menu item chooses ("" for "All"), cut to 50 characters.
std::string ListFromMenuItem(const TListsMenuItem& item);

} // namespace qelvo

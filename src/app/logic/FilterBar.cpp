// The filter bar: BuildFilter, due-date choices, priority filter, lists menu.
#include "app/logic/FilterBar.h"

#include "app/logic/TaskCommands.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {

const std::array<TDueChoiceInfo, DueChoiceCount> DueChoices = {{
    {TDueChoice::AllDates, "FDateAll", "All dates", "Ctrl+A"},
    {TDueChoice::WithoutDate, "FDate0A", "Without date set", "Ctrl+0"},
    {TDueChoice::Overdue, "FOverdueA", "Overdue", "Ctrl+O"},
    {TDueChoice::Today, "FDate1A", "Today", "Ctrl+1"},
    {TDueChoice::Tomorrow, "FDate2A", "Tomorrow", "Ctrl+2"},
    {TDueChoice::Yesterday, "FDate3A", "Yesterday", "Ctrl+3"},
    {TDueChoice::ThisWeek, "FDate4A", "This Week", "Ctrl+4"},
    {TDueChoice::ThisMonth, "FDate5A", "This Month", "Ctrl+5"},
    {TDueChoice::NextWeek, "FDate6A", "Next Week", "Ctrl+6"},
    {TDueChoice::NextMonth, "FDate14A", "Next Month", ""},
    {TDueChoice::Next3Days, "FDate13A", "Next 3 days", ""},
    {TDueChoice::Next5Days, "FDate7A", "Next 5 days", "Ctrl+7"},
    {TDueChoice::Next10Days, "FDate8A", "Next 10 days", "Ctrl+8"},
    {TDueChoice::Next30Days, "FDate11A", "Next 30 days", ""},
    {TDueChoice::Last10Days, "FDate9A", "Last 10 days", "Ctrl+9"},
    {TDueChoice::LastWeek, "FDate12A", "Last Week", ""},
}};

const TDueChoiceInfo& DueChoiceInfo(TDueChoice choice) {
    return DueChoices[static_cast<size_t>(choice)];
}

namespace {

// A range condition: the day before Start and the day after End.
void SetRange(TFieldFilter& f, double start, double end) {
    f.Op = foBetween;
    f.Value1 = gcl::DateToStr(gcl::IncDay(gcl::DateOf(start), -1));
    f.Value2 = gcl::DateToStr(gcl::IncDay(gcl::DateOf(end), 1));
}

void SetPeriod(TFieldFilter& f, double around, std::uint16_t period) {
    double s = around, e = around;
    GetDateRange(s, e, period, around);
    SetRange(f, s, e);
}

void SetDay(TFieldFilter& f, std::uint16_t op, double day) {
    f.Op = op;
    f.Value1 = gcl::DateToStr(day);
}

} // namespace

TFieldFilter DueDateFilterFor(TDueChoice choice, double today, const TFieldFilter& previous) {
    TFieldFilter f = previous;
    const double d = gcl::DateOf(today);
    switch (choice) {
    case TDueChoice::AllDates:
    case TDueChoice::WithoutDate:
        f.Op = foEqual;
        f.Value1.clear();
        break;
    case TDueChoice::Overdue: SetDay(f, foLess, d); break;
    case TDueChoice::Today: SetDay(f, foEqual, d); break;
    case TDueChoice::Tomorrow: SetDay(f, foEqual, gcl::IncDay(d, 1)); break;
    case TDueChoice::Yesterday: SetDay(f, foEqual, gcl::IncDay(d, -1)); break;
    case TDueChoice::ThisWeek: SetPeriod(f, d, 1); break;
    case TDueChoice::ThisMonth: SetPeriod(f, d, 2); break;
    case TDueChoice::NextWeek: SetPeriod(f, gcl::IncWeek(d, 1), 1); break;
    case TDueChoice::NextMonth: SetPeriod(f, gcl::IncMonth(d, 1), 2); break;
    case TDueChoice::Next3Days: SetRange(f, d, gcl::IncDay(d, 3)); break;
    case TDueChoice::Next5Days: SetRange(f, d, gcl::IncDay(d, 5)); break;
    case TDueChoice::Next10Days: SetRange(f, d, gcl::IncDay(d, 10)); break;
    case TDueChoice::Next30Days: SetRange(f, d, gcl::IncDay(d, 30)); break;
    case TDueChoice::Last10Days: SetRange(f, gcl::IncDay(d, -10), d); break;
    case TDueChoice::LastWeek: SetPeriod(f, gcl::IncWeek(d, -1), 1); break;
    }
    return f;
}

int NextPriorityFilter(int tag) {
    return tag >= 2 || tag < -1 ? -1 : tag + 1;
}

std::string PriorityFilterCaption(int tag) {
    const int i = (tag >= -1 && tag <= 2) ? tag + 1 : 0;
    return std::string("Priority: ") + PriorityFilterCaptions[static_cast<size_t>(i)];
}

void BuildFilter(TFilterSystem& filter, const TFilterBarState& state) {
    TFieldFilter& search = filter.Conditions[fkTitle];
    search.Enabled = state.FindMode && !state.SearchText.empty();
    if (search.Enabled) {
        search.Value1 = state.SearchText;
        search.Op = state.SearchTextForeign ? foNever : foContains;
    }
    TFieldFilter& list = filter.Conditions[fkFolder];
    list.Value1 = state.CurrentFolder;
    list.Op = foEqual;
    list.Enabled = true;
    TFieldFilter& tags = filter.Conditions[fkTags];
    tags.Enabled = !state.TagFilter.empty();
    if (tags.Enabled) {
        tags.Value1 = state.TagFilter;
        tags.Op = foContains;
    }
    TFieldFilter& due = filter.Conditions[fkDue];
    if (state.DueCaption != AllDatesCaption) {
        due = state.DateFilter;
        due.Enabled = true;
    } else {
        due.Enabled = false;
    }
    TFieldFilter& priority = filter.Conditions[fkPriority];
    priority.Enabled = state.PriorityTag > -1;
    if (priority.Enabled) {
        priority.Value1 = gcl::IntToStr(state.PriorityTag);
        priority.Op = foEqual;
    }
    TFieldFilter& done = filter.Conditions[fkDone];
    done.Enabled = state.HideDone;
    done.Value1.clear();
}

std::vector<TListsMenuItem> ListsMenuModel(const gcl::TStrings& folders, int currentTag) {
    std::vector<TListsMenuItem> items;
    items.push_back({"All", 0, currentTag == 0, true});
    const std::vector<std::string> names = ListMenuCaptions(folders);
    for (size_t i = 0; i < names.size(); ++i) {
        const int tag = static_cast<int>(i) + 1;
        items.push_back({names[i], tag, tag == currentTag, false});
    }
    return items;
}

std::string ListFromMenuItem(const TListsMenuItem& item) {
    return item.Tag == 0 ? std::string() : item.Caption.substr(0, MaxFolderLength);
}

} // namespace qelvo

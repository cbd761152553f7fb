// The filter of the task database: six conditions a task must meet to be
// shown, and the tag and date helpers it rests on. Part of the uDataMan
// unit (include data/uDataMan.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/uDataMan.h"

namespace qelvo {

// ---- The filter ------------------------------------------------------------------

// Operator codes of a condition.
enum : std::uint16_t {
    foEqual = 0,
    foNotEqual = 1,
    foLess = 2,          // less than, earlier than
    foLessEqual = 3,
    foGreater = 4,       // greater than, later than
    foGreaterEqual = 5,
    foBetween = 6,       // strictly between Value1 and Value2
    foBeginsWith = 7,
    foContains = 8,      // for tags: every wanted tag present
    foNoDate = 9,        // due value exactly 0
    foHasDate = 10,      // due value not 0
    foNever = 11,
};

// Condition kinds: the index of a condition in TFieldsFilter.
enum : int {
    fkTitle = 1,     // search text
    fkFolder = 2,    // list name; "" = every list
    fkTags = 3,      // comma list of wanted tags
    fkDue = 4,       // dates in the process date format
    fkPriority = 5,  // decimal integers
    fkDone = 6,      // "D": done tasks, anything else: tasks not done
};

struct TFieldFilter {
    std::string Name;  // not used by the program
    std::uint16_t Op = foEqual;
    std::string Value1;
    std::string Value2;
    bool Enabled = false;
    std::string Extra;  // not used by the program
};

// Six conditions, indexed 1 to 6 by the kinds above.
class TFieldsFilter {
public:
    static constexpr int Low = 1;
    static constexpr int High = 6;
    // Raises ERangeError outside 1..6.
    TFieldFilter& operator[](int kind) {
        if (kind < Low || kind > High) RangeError();
        return FItems[static_cast<std::size_t>(kind - Low)];
    }
    const TFieldFilter& operator[](int kind) const {
        if (kind < Low || kind > High) RangeError();
        return FItems[static_cast<std::size_t>(kind - Low)];
    }

private:
    [[noreturn]] static void RangeError();
    std::array<TFieldFilter, 6> FItems;
};

// Decides which tasks pass: every enabled condition must hold. Fill the
// conditions, set Data, then ask Match for each task.
class TFilterSystem {
public:
    TFilterSystem();
    TFilterSystem(const TFilterSystem&) = delete;
    TFilterSystem& operator=(const TFilterSystem&) = delete;

    TFieldsFilter Conditions;
    TuData* Data = nullptr;  // not owned

    // The task of entry TaskIndex of Data->Tasks, or Task when TaskIndex
    // is -1. A due or priority value that is not a date or an integer
    // raises EConvertError (for any task, whatever the other conditions
    // say). An entry without a task does not pass.
    bool Match(int taskIndex, TuTask* task);
    // Condition K (1..6) for the task of the current Match call.
    bool MatchCondition(int k);
    // Whether every task passes (Match is true for every entry with a
    // task): no condition is enabled but a list condition naming no list.
    bool PassesEvery() const;

private:
    // Parsed forms of the condition texts, kept while the texts stay.
    struct TCache {
        std::string Source1, Source2;
        bool Valid = false;
        std::string Lower1, Lower2;  // title condition
        double Day1 = 0, Day2 = 0;   // due condition: whole days of the dates
        int Int1 = 0, Int2 = 0;      // priority condition
        std::string Wanted;          // tags condition: folded, ends with ','
        bool SingleTag = false;      // Wanted names one tag
    };
    // Fills in the defaults of condition K and reads its operands.
    void Prepare(int k);
    // Reads the operands of condition K again when its texts changed.
    bool Refresh(int k);
    void Reload(int k);
    // Condition K, prepared, for the current task.
    bool Evaluate(int k) const;
    TuTask* FTask = nullptr;
    std::array<TCache, 7> FCache;
};

// True when List holds the wanted tags (comma lists, A-Z case ignored).
// Not Exact: every wanted tag occurs in List, as a text search (a wanted
// "ab" is also found in "cab"); an empty List never matches, while a
// one-letter tag is a tag as any other. Exact: both lists name the same
// set of tags (whole items).
bool TagsMatch(const std::string& list, const std::string& wanted, bool exact);
// The tags of a comma list as a set: items trimmed, A-Z folded, empty
// items dropped, sorted without repeats (what an exact match compares).
std::vector<std::string> TagSet(std::string_view list);
// The same set made in place for a caller that meets many lists: the
// folded items go into Bytes (its old content dropped) and Items views
// them, sorted without repeats.
void TagSetViews(std::string_view list, std::string& bytes, std::vector<std::string_view>& items);
// -1, 0 or 1: A against B by calendar day (UseDate), by time of day to the
// minute (UseTime), or by both to the minute; 0 when neither.
int CompareDateTimeParts(bool useDate, bool useTime, double a, double b);
// Bounds of the period around ADate: 0 day (ADate itself), 1 ISO week
// (Monday 00:00 to Sunday 23:59:59.999), 2 month, 3 year; other values
// leave both bounds alone.
void GetDateRange(double& startDate, double& endDate, std::uint16_t period, double aDate);

} // namespace qelvo

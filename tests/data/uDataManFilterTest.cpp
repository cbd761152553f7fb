// The task filter: the six conditions and their operators, the tag
// matcher in both modes, day and time comparison, and the date ranges of
// the due-date filter commands.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Exceptions.h"
#include "data/DataTestSupport.h"

namespace qelvo::test {
namespace {

using gcl::EncodeDate;

TuTask* AddFilterTask(TuData& data, const std::string& title, const std::string& folder, const std::string& tags,
            double due, std::uint16_t priority, bool done) {
    TuTask* t = new TuTask();
    t->Title = title;
    t->Folder = folder;
    t->Tags = tags;
    t->Due = due;
    t->Priority = priority;
    t->Done = done;
    data.Tasks->AddObject(title, t);
    return t;
}

// Which entries of Data pass Filter, one "1" or "0" an entry in order.
std::string Matches(TFilterSystem& filter, const TuData& data) {
    std::string s;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) s += filter.Match(i, nullptr) ? '1' : '0';
    return s;
}

// Text with A-Z lowered and every other byte as it is: the title search's
// rule of case, for the plain searches its results are checked against.
std::string FoldedAZ(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return s;
}

TEST(uDataManFilter, TagsMatch) {
    // Filter mode: every wanted tag occurs, as text.
    EXPECT_TRUE(TagsMatch("cab,x", "ab", false));
    EXPECT_TRUE(TagsMatch("ab", "ab", false));
    EXPECT_FALSE(TagsMatch("a", "ab", false));
    // A one-letter tag is found as any other, alone or among others.
    EXPECT_TRUE(TagsMatch("a", "a", false));
    EXPECT_TRUE(TagsMatch("A", "a,", false));
    EXPECT_TRUE(TagsMatch("x", "X", false));
    EXPECT_FALSE(TagsMatch("a", "b", false));
    EXPECT_FALSE(TagsMatch("a", "a,b", false));
    EXPECT_FALSE(TagsMatch("", "a", false));
    EXPECT_FALSE(TagsMatch(",", "a", false));
    EXPECT_TRUE(TagsMatch("Work,Home", "home,WORK", false));
    EXPECT_TRUE(TagsMatch("ab,cd,ef", "cd,ab", false));
    EXPECT_FALSE(TagsMatch("ab,cd", "cd,xy", false));
    EXPECT_FALSE(TagsMatch("ab,cd", "ab,ab", false));  // wanted twice, present once
    EXPECT_TRUE(TagsMatch("ab,cd", "", false));
    // One wanted tag, at the list's end with and without its comma.
    EXPECT_TRUE(TagsMatch("ab,xCD", "cd", false));
    EXPECT_TRUE(TagsMatch("ab,CD,", "cd", false));
    EXPECT_FALSE(TagsMatch("ab,cdx", "cd", false));
    EXPECT_FALSE(TagsMatch("ab", "a", false));
    EXPECT_TRUE(TagsMatch("ab", "B,", false));
    EXPECT_TRUE(TagsMatch("ab", ",", false));
    // Deleting a found tag can join its neighbours into a new item.
    EXPECT_TRUE(TagsMatch("ab,c", "b,ac", false));

    // Exact mode: the same set of whole tags, case and order aside.
    EXPECT_TRUE(TagsMatch("b,a", "a,b", true));
    EXPECT_FALSE(TagsMatch("a,b,c", "a,b", true));
    EXPECT_FALSE(TagsMatch("ab,c", "b,ac", true));
    EXPECT_TRUE(TagsMatch("Work, home", "HOME,work", true));
    EXPECT_TRUE(TagsMatch("a", "a", true));
    EXPECT_FALSE(TagsMatch("ab", "a", true));
    EXPECT_FALSE(TagsMatch("cab", "ab", true));

    // The tag filter, as the side tree's choice of the tag x fills it:
    // every task that has x passes, x alone too.
    TuData data;
    for (const char* tags : {"x", "x,home", "home", "", "X"}) AddFilterTask(data, tags, "Home", tags, 0, 1, false);
    TFilterSystem filter;
    filter.Data = &data;
    TFieldFilter& wanted = filter.Conditions[fkTags];
    wanted.Enabled = true;
    auto matches = [&] { return Matches(filter, data); };
    wanted.Op = foContains;
    wanted.Value1 = "x,";
    EXPECT_EQ(matches(), "11001");
    wanted.Value1 = "x,home,";
    EXPECT_EQ(matches(), "01000");
    wanted.Op = foEqual;
    wanted.Value1 = "x";
    EXPECT_EQ(matches(), "10001");
}

TEST(uDataManFilter, ConditionsAndOperators) {
    gcl::FormatSettingsOverride fo(ProgramSettings());
    const double today = EncodeDate(2025, 3, 5);
    TuData data;
    TuTask* milk = AddFilterTask(data, "Buy MILK", "Home", "shop,food", today - 1, 1, false);
    TuTask* call = AddFilterTask(data, "Call Tom", "Work", "phone", today + 1.75, 2, true);
    TuTask* none = AddFilterTask(data, "Plan trip", "Workshop", "", 0, 0, false);
    data.Tasks->AddObject("no task", nullptr);

    TFilterSystem filter;
    filter.Data = &data;
    auto matches = [&] { return Matches(filter, data); };
    EXPECT_EQ(matches(), "1110");  // nothing enabled; an entry without a task never passes

    TFieldFilter& title = filter.Conditions[fkTitle];
    title.Enabled = true;
    title.Op = foContains;
    title.Value1 = "milk";
    EXPECT_EQ(matches(), "1000");
    title.Value1 = "";
    EXPECT_EQ(matches(), "1110");
    title.Op = foBeginsWith;
    title.Value1 = "CALL";
    EXPECT_EQ(matches(), "0100");
    title.Op = foEqual;
    title.Value1 = "plan TRIP";
    EXPECT_EQ(matches(), "0010");
    title.Op = foLess;
    title.Value1 = "c";
    EXPECT_EQ(matches(), "1000");
    title.Op = foBetween;
    title.Value1 = "buy milk";
    title.Value2 = "plan";
    EXPECT_EQ(matches(), "0100");
    title.Enabled = false;

    TFieldFilter& list = filter.Conditions[fkFolder];
    list.Enabled = true;
    list.Value1 = "Work";
    EXPECT_EQ(matches(), "0100");  // not Workshop
    list.Value1 = "work";
    EXPECT_EQ(matches(), "0000");  // lists compare exactly
    list.Value1 = "";
    EXPECT_EQ(matches(), "1110");
    list.Enabled = false;

    TFieldFilter& tags = filter.Conditions[fkTags];
    tags.Enabled = true;
    tags.Op = foContains;
    tags.Value1 = "SHOP";
    EXPECT_EQ(matches(), "1000");
    tags.Op = foEqual;
    tags.Value1 = "food,shop";
    EXPECT_EQ(matches(), "1000");
    tags.Value1 = "shop";
    EXPECT_EQ(matches(), "0000");
    // Operands changed between two calls take effect, also when the text
    // is edited in place.
    tags.Op = foContains;
    EXPECT_EQ(matches(), "1000");
    tags.Value1 = "phone";
    EXPECT_EQ(matches(), "0100");
    tags.Value1[0] = 'P';
    tags.Value1[1] = 'o';
    EXPECT_EQ(matches(), "0000");
    tags.Value1 = "food,shop";
    EXPECT_EQ(matches(), "1000");
    tags.Value1 = "ONE";  // found inside "phone"
    EXPECT_EQ(matches(), "0100");
    tags.Enabled = false;
    title.Enabled = true;
    title.Op = foContains;
    title.Value1 = "tom";
    EXPECT_EQ(matches(), "0100");
    title.Value1[0] = 'i';
    title.Value1[1] = 'L';
    title.Value1[2] = 'k';
    EXPECT_EQ(matches(), "1000");
    title.Enabled = false;

    TFieldFilter& due = filter.Conditions[fkDue];
    due.Enabled = true;
    due.Op = foLess;  // "Overdue": earlier than today, never a task without a date
    due.Value1 = "05/03/2025";
    EXPECT_EQ(matches(), "1000");
    due.Op = foEqual;
    EXPECT_EQ(matches(), "0000");
    due.Value1 = "06/03/2025";
    EXPECT_EQ(matches(), "0100");  // the time of day does not count
    due.Value1 = "";               // "Without date set": date 0
    EXPECT_EQ(matches(), "0010");
    EXPECT_EQ(due.Value1, "30/12/1899");
    EXPECT_EQ(due.Value2, "30/12/1899");
    due.Op = foBetween;
    due.Value1 = "03/03/2025";
    due.Value2 = "06/03/2025";
    EXPECT_EQ(matches(), "1000");
    due.Value2 = "07/03/2025";
    EXPECT_EQ(matches(), "1100");
    due.Op = foLessEqual;
    due.Value1 = "04/03/2025";
    EXPECT_EQ(matches(), "1000");
    due.Op = foGreaterEqual;
    EXPECT_EQ(matches(), "1100");
    due.Op = foNoDate;
    EXPECT_EQ(matches(), "0010");
    due.Op = foHasDate;
    EXPECT_EQ(matches(), "1100");
    due.Op = foNever;
    EXPECT_EQ(matches(), "0000");
    due.Op = foContains;
    EXPECT_EQ(matches(), "0000");
    due.Op = foEqual;
    due.Value1 = "not a date";
    EXPECT_THROW(filter.Match(0, nullptr), gcl::EConvertError);
    due.Enabled = false;

    TFieldFilter& priority = filter.Conditions[fkPriority];
    priority.Enabled = true;
    priority.Value1 = "2";
    EXPECT_EQ(matches(), "0100");
    priority.Value1 = "";
    EXPECT_EQ(matches(), "0000");
    EXPECT_EQ(priority.Value1, "-1");
    priority.Value1 = "high";
    EXPECT_THROW(filter.Match(0, nullptr), gcl::EConvertError);
    priority.Enabled = false;

    TFieldFilter& done = filter.Conditions[fkDone];
    done.Enabled = true;
    EXPECT_EQ(matches(), "1010");  // empty: tasks not done
    done.Value1 = "D";
    EXPECT_EQ(matches(), "0100");
    done.Value1 = "d";
    EXPECT_EQ(matches(), "1010");

    // All six at once, and a task given directly.
    title.Enabled = list.Enabled = tags.Enabled = due.Enabled = priority.Enabled = true;
    title.Op = foContains;
    title.Value1 = "tom";
    list.Value1 = "Work";
    tags.Op = foContains;
    tags.Value1 = "phone";
    due.Op = foBetween;
    due.Value1 = "05/03/2025";
    due.Value2 = "07/03/2025";
    priority.Op = foEqual;
    priority.Value1 = "2";
    done.Value1 = "D";
    EXPECT_EQ(matches(), "0100");
    EXPECT_TRUE(filter.Match(-1, call));
    EXPECT_FALSE(filter.Match(-1, milk));
    EXPECT_FALSE(filter.Match(-1, none));
    EXPECT_FALSE(filter.Match(-1, nullptr));
    EXPECT_THROW(filter.Conditions[7], gcl::ERangeError);
}

// The title search against a plain one (A-Z folded on both sides, then a
// byte search) over titles of every length around the widths the search
// reads at once, with bytes next to the letters ('@', '[', '`', '{') and
// accented ones that must not fold, and needles from 1 byte to longer
// than the titles: taken from the titles in another case, or made up.
TEST(uDataManFilter, TitleSearchAgreesWithAPlainSearch) {
    static const char alphabet[] = "aAbBcCzZ@[`{ 09.\xC0\xE0\xFF-";
    std::uint32_t seed = 12345;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    TuData data;
    std::vector<std::string> titles;
    for (int length = 1; length <= 90; ++length)
        for (int k = 0; k < 12; ++k) {
            std::string t;
            for (int i = 0; i < length; ++i) t += alphabet[next(sizeof alphabet - 1)];
            titles.push_back(t);
            AddFilterTask(data, t, "", "", 0, 1, false);
        }
    std::vector<std::string> needles = {"a", "A", "@", "`", "[", "{", "\xC0", "\xE0", "z9", "Bb", "a@[`{"};
    for (int k = 0; k < 60; ++k) {
        const std::string& t = titles[next(static_cast<std::uint32_t>(titles.size()))];
        const size_t at = next(static_cast<std::uint32_t>(t.size()));
        std::string needle = t.substr(at, 1 + next(40));
        for (char& c : needle)
            if (next(2) && c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
        needles.push_back(needle);
    }
    for (int k = 0; k < 20; ++k) {
        std::string needle;
        for (std::uint32_t i = 0, n = 1 + next(4); i < n; ++i) needle += alphabet[next(sizeof alphabet - 1)];
        needles.push_back(needle);
    }
    needles.push_back(std::string(95, 'a'));
    TFilterSystem filter;
    filter.Data = &data;
    TFieldFilter& title = filter.Conditions[fkTitle];
    title.Enabled = true;
    title.Op = foContains;
    int found = 0;
    for (const std::string& needle : needles) {
        title.Value1 = needle;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) {
            const bool expected = FoldedAZ(titles[static_cast<size_t>(i)]).find(FoldedAZ(needle)) != std::string::npos;
            ASSERT_EQ(filter.Match(i, nullptr), expected) << "title \"" << titles[static_cast<size_t>(i)]
                                                          << "\" needle \"" << needle << "\"";
            found += expected;
        }
    }
    EXPECT_GT(found, 1000);  // the cases are not all misses
}

// Letters beyond A-Z keep their case: "É" (0xC9) and "é" (0xE9) are two
// letters to the search, a byte of 0x80-0xFF matches only itself, at the
// ends and inside a needle, in titles short and long.
TEST(uDataManFilter, TitleSearchFoldsOnlyAToZ) {
    TuData data;
    std::vector<std::string> titles;
    for (unsigned c = 1; c < 256; ++c) {
        const std::string b(1, static_cast<char>(c));
        titles.push_back("q" + b + "z");
        titles.push_back(std::string(20, '.') + "q" + b + "z" + std::string(20, '.'));
    }
    for (const std::string& t : titles) AddFilterTask(data, t, "", "", 0, 1, false);
    TFilterSystem filter;
    filter.Data = &data;
    TFieldFilter& title = filter.Conditions[fkTitle];
    title.Enabled = true;
    title.Op = foContains;
    int found = 0;
    for (unsigned n = 1; n < 256; ++n) {
        const std::string b(1, static_cast<char>(n));
        for (const std::string& needle : {b, "q" + b, b + "z", "q" + b + "z"}) {
            title.Value1 = needle;
            for (int i = 0; i < data.Tasks->GetCount(); ++i) {
                const std::string& t = titles[static_cast<size_t>(i)];
                const bool expected = FoldedAZ(t).find(FoldedAZ(needle)) != std::string::npos;
                ASSERT_EQ(filter.Match(i, nullptr), expected) << "needle byte " << n << " in title " << t;
                found += expected;
            }
        }
    }
    EXPECT_GT(found, 2000);
}

TEST(uDataManFilter, DatesAndRanges) {
    const double t = EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 30, 20, 0);
    const double sameMinute = EncodeDate(2024, 1, 1) + gcl::EncodeTime(10, 30, 59, 999);
    EXPECT_EQ(CompareDateTimeParts(false, true, t, sameMinute), 0);
    EXPECT_EQ(CompareDateTimeParts(false, true, t, sameMinute + 1.0 / 1440), -1);
    EXPECT_EQ(CompareDateTimeParts(true, false, t, EncodeDate(2025, 3, 5)), 0);
    EXPECT_EQ(CompareDateTimeParts(true, false, t, EncodeDate(2025, 3, 6)), -1);
    EXPECT_EQ(CompareDateTimeParts(true, true, t, EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 30, 0, 0)), 0);
    EXPECT_EQ(CompareDateTimeParts(true, true, t, EncodeDate(2025, 3, 5) + gcl::EncodeTime(10, 29, 0, 0)), 1);
    EXPECT_EQ(CompareDateTimeParts(false, false, t, 0), 0);

    double s = -1, e = -1;
    GetDateRange(s, e, 0, t);
    EXPECT_EQ(s, t);
    EXPECT_EQ(e, t);
    GetDateRange(s, e, 1, EncodeDate(2024, 12, 31) + 0.5);
    EXPECT_EQ(s, EncodeDate(2024, 12, 30));
    EXPECT_EQ(gcl::DateOf(e), EncodeDate(2025, 1, 5));
    EXPECT_NEAR(e - gcl::DateOf(e), 1 - 1.0 / 86400000, 1e-9);
    GetDateRange(s, e, 1, EncodeDate(2025, 3, 5));  // a Wednesday
    EXPECT_EQ(s, EncodeDate(2025, 3, 3));
    EXPECT_EQ(gcl::DateOf(e), EncodeDate(2025, 3, 9));
    GetDateRange(s, e, 2, EncodeDate(2024, 2, 10));
    EXPECT_EQ(s, EncodeDate(2024, 2, 1));
    EXPECT_EQ(gcl::DateOf(e), EncodeDate(2024, 2, 29));
    GetDateRange(s, e, 3, EncodeDate(2024, 2, 10));
    EXPECT_EQ(s, EncodeDate(2024, 1, 1));
    EXPECT_EQ(gcl::DateOf(e), EncodeDate(2024, 12, 31));
    GetDateRange(s, e, 9, 0);
    EXPECT_EQ(s, EncodeDate(2024, 1, 1));

    // "This Week" on that Wednesday: the day before Monday to the day after
    // Sunday, both excluded, pass Monday through Sunday.
    gcl::FormatSettingsOverride fo(ProgramSettings());
    TuData data;
    for (int d = 1; d <= 11; ++d) AddFilterTask(data, "t", "", "", EncodeDate(2025, 3, d), 1, false);
    TFilterSystem filter;
    filter.Data = &data;
    TFieldFilter& due = filter.Conditions[fkDue];
    due.Enabled = true;
    due.Op = foBetween;
    due.Value1 = gcl::DateToStr(gcl::IncDay(EncodeDate(2025, 3, 3), -1));
    due.Value2 = gcl::DateToStr(gcl::IncDay(EncodeDate(2025, 3, 9), 1));
    std::string pass;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) pass += filter.Match(i, nullptr) ? '1' : '0';
    EXPECT_EQ(pass, "00111111100");
}

} // namespace
} // namespace qelvo::test

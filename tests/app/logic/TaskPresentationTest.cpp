// Item texts and style, group keys, captions, images and order for each
// grouping mode, item order and numbering.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "AppLogicTest.h"
#include "app/logic/TaskPresentation.h"
#include "gcl/rtl/Strings.h"

namespace qelvo {
using test::Today;
namespace {

const double Morning = Today + gcl::EncodeTime(9, 15, 0, 0);

std::vector<std::string> Captions(const TTaskListLayout& layout) {
    std::vector<std::string> out;
    for (const TTaskGroup& g : layout.Groups) out.push_back(g.Caption);
    return out;
}

// The titles of a list of tasks (a layout group's or a plain vector).
template <class TTasks>
std::vector<std::string> Titles(const TTasks& tasks) {
    std::vector<std::string> out;
    for (const TuTask* t : tasks) out.push_back(t->Title);
    return out;
}

TTaskListLayout PresentedLayout(TuData& data, int mode, TGroupKeys& keys, int column = 0, bool ascending = false) {
    TFilterSystem filter;
    TTaskListState state;
    state.GroupMode = mode;
    state.Grouped = mode > 0;  // the "Nothing" button is checked otherwise
    state.SortColumn = column;
    state.SortAscending = ascending;
    return BuildTaskListLayout(data, filter, state, keys);
}

TEST(TaskPresentation, ItemTextsImagesAndStyle) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuTask t;
    t.Title = "Pay";
    t.Tags = "a,b,c";
    t.Priority = 2;
    t.Done = true;
    t.Due = Today + 0.8;
    TTaskItemView v = TaskItemView(t, Morning, "ddddd");
    EXPECT_EQ((std::array<std::string, 3>{"Pay", "a, b, c", "Today"}), v.Captions);
    EXPECT_EQ((std::array<int, 3>{2, 3, 3}), v.Images);
    EXPECT_TRUE(v.Checked);
    // The cells one by one, as the list asks for them when it paints.
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(v.Captions[static_cast<size_t>(c)], TaskCellCaption(t, c, 0, Morning, "ddddd"));
        EXPECT_EQ(v.Images[static_cast<size_t>(c)], TaskCellImage(t, c));
    }
    EXPECT_EQ("12. Pay", TaskCellCaption(t, 0, 12, Morning, "ddddd"));
    EXPECT_EQ("a, b, c", TaskCellCaption(t, 1, 12, Morning, "ddddd"));
    EXPECT_EQ("", TaskCellCaption(t, 3, 0, Morning, "ddddd"));
    EXPECT_EQ(-1, TaskCellImage(t, 3));

    EXPECT_EQ("Tomorrow", DueCaption(Today + 1, Morning, "ddddd"));
    EXPECT_EQ("04/03/2025", DueCaption(Today - 1, Morning, "ddddd"));
    EXPECT_EQ("2025-03-10", DueCaption(Today + 5, Morning, "yyyy-mm-dd"));
    EXPECT_EQ("", DueCaption(0, Morning, "ddddd"));
    EXPECT_EQ("", DueCaption(gcl::EncodeDate(1901, 12, 31), Morning, "ddddd"));
    EXPECT_EQ("", TagsCaption(""));

    // Done and overdue: struck out and italic; priority colours on request.
    TItemPaintStyle s = ItemPaintStyle(&t, true, Morning + 2, true, 13);
    EXPECT_TRUE(s.StrikeOut && s.Italic && s.UseColor);
    EXPECT_EQ(0x0000CC, s.Color);
    EXPECT_EQ(13, s.FontSize);
    t.Due = 0;  // without a date never italic
    s = ItemPaintStyle(&t, false, Morning, false, 11);
    EXPECT_FALSE(s.StrikeOut || s.Italic || s.UseColor);
    t.Due = Today;
    t.Priority = 0;
    s = ItemPaintStyle(&t, false, Morning, true, 11);
    EXPECT_FALSE(s.Italic);  // due today is not overdue
    EXPECT_EQ(0x837467, s.Color);
    // Selected, the row keeps the selection's text colour; the rest stays.
    t.Due = Today - 3;
    s = ItemPaintStyle(&t, true, Morning, true, 11, true);
    EXPECT_FALSE(s.UseColor);
    EXPECT_TRUE(s.StrikeOut && s.Italic);

    EXPECT_FALSE(ShowsAsItem(nullptr));
    TuTask empty;
    EXPECT_FALSE(ShowsAsItem(&empty));

    // Ticking a box marks the task done at once and the data modified.
    TuData data;
    TuTask u;
    EXPECT_FALSE(ApplyItemCheck(u, false, data));
    EXPECT_FALSE(data.Modified);
    EXPECT_TRUE(ApplyItemCheck(u, true, data));
    EXPECT_TRUE(u.Done && data.Modified);
}

TEST(TaskPresentation, GroupsForEveryMode) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    data.Folders->Add(std::string("Work") + FieldSeparator + "0" + FieldSeparator);
    data.Folders->Add(std::string("Home") + FieldSeparator + "3" + FieldSeparator);
    test::AddTask(data, "a", "Home", "x,Y", Today + 2, 1);
    test::AddTask(data, "b", "Work", "", 0, 0);
    test::AddTask(data, "c", "Trips", "y,X", Today, 2);
    test::AddTask(data, "d", "Home", "ab,c", gcl::EncodeDate(2024, 2, 29), 0);
    test::AddTask(data, "e", "Workshop", "b,ac", Today + 2.5, 2);
    test::AddTask(data, "", "Work", "", 0, 2);  // never shown
    test::AddTask(data, "f", "Work", "q", Today, 1);
    TGroupKeys keys;

    TTaskListLayout l = PresentedLayout(data, gmList, keys);
    EXPECT_TRUE(l.Grouped);
    // Lists not in the table share key -1 and come first.
    EXPECT_EQ((std::vector<std::string>{"Trips", "Work", "Home"}), Captions(l));
    EXPECT_EQ((std::vector<std::string>{"c", "e"}), Titles(l.Groups[0].Tasks));
    EXPECT_EQ((std::vector<std::string>{"b", "f"}), Titles(l.Groups[1].Tasks));
    EXPECT_EQ(-1, l.Groups[0].ImageIndex);

    l = PresentedLayout(data, gmDate, keys);
    EXPECT_EQ((std::vector<std::string>{"No Due Date specified", "29 February 2024, Thursday",
                                        "05 March 2025, Wednesday", "07 March 2025, Friday"}),
              Captions(l));
    EXPECT_EQ((std::vector<std::string>{"a", "e"}), Titles(l.Groups[3].Tasks));  // same day, other times
    EXPECT_EQ(10, l.Groups[0].ImageIndex);

    l = PresentedLayout(data, gmPriority, keys);
    EXPECT_EQ((std::vector<std::string>{"Priority: High", "Priority: Normal", "Priority: Low"}), Captions(l));
    EXPECT_EQ((std::array<int, 3>{2, 1, 0}),
              (std::array<int, 3>{l.Groups[0].ImageIndex, l.Groups[1].ImageIndex, l.Groups[2].ImageIndex}));

    l = PresentedLayout(data, gmTags, keys);
    // Tag sets equal up to order and case share a group; "ab,c" and
    // "b,ac" do not; groups stay in creation order. The one-letter tag q
    // names its group as any tag does.
    EXPECT_EQ((std::vector<std::string>{"x, Y", "No Tags specified", "ab, c", "b, ac", "q"}), Captions(l));
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), Titles(l.Groups[0].Tasks));
    EXPECT_EQ(46, l.Groups[0].ImageIndex);
    // Keys stay stable across refreshes.
    EXPECT_EQ(l.Groups[3].Key, PresentedLayout(data, gmTags, keys).Groups[3].Key);
    EXPECT_EQ(keys.TagText(l.Groups[2].Key), "ab,c");

    // Tags of separators only name the empty set, as no tags do: they all
    // share the first key of that set, whichever came first, so that one
    // group holds every task without a tag.
    TGroupKeys blanks;
    TuTask spaces, none, commas, again;
    spaces.Tags = " ,";
    commas.Tags = " , ,";
    again.Tags = "Y, x,";
    const int spacesKey = blanks.TagKey(spaces);
    const int noneKey = blanks.TagKey(none);
    EXPECT_EQ(spacesKey, noneKey);
    TGroupKeys noneFirst;
    EXPECT_EQ(noneFirst.TagKey(none), noneFirst.TagKey(commas));
    EXPECT_EQ(spacesKey, blanks.TagKey(commas));
    EXPECT_EQ(noneKey, blanks.TagKey(none));
    EXPECT_EQ(blanks.TagKey(again), keys.TagKey(again) == l.Groups[0].Key ? blanks.TagKey(again) : -2);
    EXPECT_EQ(blanks.TagText(blanks.TagKey(again)), "Y, x,");
    // A text met again, and another text of a set met before, find the
    // first key of the set; each day's key serves every time of the day.
    TuTask other, later;
    other.Tags = "x,y";
    EXPECT_EQ(blanks.TagKey(again), blanks.TagKey(other));
    EXPECT_EQ(blanks.TagKey(other), blanks.TagKey(other));
    TGroupKeys days;
    later.Due = Today + 0.75;
    other.Due = Today + 0.25;
    EXPECT_EQ(days.DateKey(later), days.DateKey(other));
    other.Due = Today - 0.25;  // the day before
    EXPECT_NE(days.DateKey(later), days.DateKey(other));
    EXPECT_EQ(days.DateText(days.DateKey(other)), gcl::DateToStr(Today - 1));
    other.Due = 1e300;  // no day number: still a key, the same each time
    EXPECT_EQ(days.DateKey(other), days.DateKey(other));

    // A negative mode is remembered but off.
    l = PresentedLayout(data, -3, keys);
    EXPECT_FALSE(l.Grouped);
    ASSERT_EQ(1u, l.Groups.size());
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c", "d", "e", "f"}), Titles(l.Groups[0].Tasks));
}

TEST(TaskPresentation, TagKeysOfManyTexts) {
    // Thousands of texts, met twice: the key of a text never changes as
    // the table of texts grows, texts of one set share the set's first
    // key, and a text that only begins like another is not taken for it.
    TGroupKeys keys;
    std::vector<std::array<std::string, 3>> texts;
    for (int i = 0; i < 3000; ++i) {
        const std::string a = "a" + std::to_string(i), b = "b" + std::to_string(i);
        texts.push_back({a + "," + b, b + "," + a, a});
    }
    std::vector<std::array<int, 3>> first(texts.size());
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t k = 0; k < 3; ++k) {
                TuTask t;
                t.Tags = texts[i][k];
                const int key = keys.TagKey(t);
                if (pass == 0) first[i][k] = key;
                ASSERT_EQ(first[i][k], key) << texts[i][k];
            }
    std::vector<int> seen;
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(first[i][0], first[i][1]);
        EXPECT_NE(first[i][0], first[i][2]);
        EXPECT_EQ(texts[i][0], keys.TagText(first[i][0]));
        EXPECT_EQ(texts[i][2], keys.TagText(first[i][2]));
        seen.push_back(first[i][0]);
        seen.push_back(first[i][2]);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen.end(), std::adjacent_find(seen.begin(), seen.end()));
    // Captions: the first text of the set as written, less one comma at
    // its end, a space after each comma; a text of separators names no
    // tags, and a one-letter tag names itself.
    for (const auto& [text, caption] : std::vector<std::pair<std::string, std::string>>{
             {"p, q,", "p,  q"}, {"p,", "p"}, {"pq", "pq"}, {"q", "q"}, {",,", "No Tags specified"},
             {" ", "No Tags specified"}}) {
        TuTask t;
        t.Tags = text;
        EXPECT_EQ(caption, GroupCaption(gmTags, keys.TagKey(t), t, keys)) << text;
    }

    // A list of many tag groups: each task in the group of its set, the
    // groups in the order their sets are first met.
    TuData data;
    for (int i = 0; i < 2100; ++i) {
        const int set = i % 700;
        const std::string x = "x" + std::to_string(set), y = "y" + std::to_string(set);
        test::AddTask(data, std::to_string(i), "L", i % 2 ? x + "," + y : y + "," + x);
    }
    const TTaskListLayout l = PresentedLayout(data, gmTags, keys);
    ASSERT_EQ(700u, l.Groups.size());
    for (size_t g = 0; g < l.Groups.size(); ++g) {
        const std::string x = "x" + std::to_string(g), y = "y" + std::to_string(g);
        EXPECT_EQ(g % 2 ? x + ", " + y : y + ", " + x, l.Groups[g].Caption);  // the first text met
        EXPECT_EQ((std::vector<std::string>{std::to_string(g), std::to_string(g + 700), std::to_string(g + 1400)}),
                  Titles(l.Groups[g].Tasks));
    }
}

TEST(TaskPresentation, ListGroupsOfManyListsWithLookalikeNamesMixedThroughTheTasks) {
    gcl::FormatSettingsOverride fo(test::ProgramFormatSettings());
    TuData data;
    // Names of one length with the same first, middle and last letters,
    // more of them than a refresh keeps at hand; the last few are in no
    // list of the table (they share one group).
    std::vector<std::string> names;
    for (int k = 0; k < 95; ++k) {
        names.push_back(std::string("Plan") + static_cast<char>('A' + k % 26) + static_cast<char>('a' + k / 26) + "x");
        if (k < 90) data.Folders->Add(names.back() + FieldSeparator + "0" + FieldSeparator);
    }
    std::map<std::string, std::vector<std::string>> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string& folder = names[static_cast<size_t>((i * 37 + i / 7) % 95)];
        const std::string title = "t" + std::to_string(10000 + i);
        test::AddTask(data, title, folder);
        expected[folder].push_back(title);
    }
    TGroupKeys keys;
    const TTaskListLayout l = PresentedLayout(data, gmList, keys);
    ASSERT_EQ(91u, l.Groups.size());
    size_t shown = 0;
    for (const TTaskGroup& g : l.Groups) {
        ASSERT_FALSE(g.Tasks.empty());
        shown += g.Tasks.size();
        const std::string folder = g.Tasks.front()->Folder;
        if (g.Key < 0) {
            // The lists outside the table, each task in database order.
            std::vector<std::string> outside;
            for (int i = 0; i < 3000; ++i) {
                const TuTask* t = data.Tasks->GetTask(i);
                if (std::find(names.begin() + 90, names.end(), std::string(t->Folder)) != names.end())
                    outside.push_back(t->Title);
            }
            EXPECT_EQ(outside, Titles(g.Tasks));
            continue;
        }
        EXPECT_EQ(folder, g.Caption);
        EXPECT_EQ(expected[folder], Titles(g.Tasks)) << folder;
    }
    EXPECT_EQ(3000u, shown);
}

TEST(TaskPresentation, GroupOrderAsTheExchangeOfPairs) {
    // Groups told apart by their captions (their places when made).
    std::vector<TuTask> tasks(600);
    auto groupsOf = [&](int mode, size_t count, auto valueOf) {
        std::vector<TTaskGroup> groups(count);
        for (size_t g = 0; g < count; ++g) {
            groups[g].Caption = std::to_string(g);
            groups[g].Key = static_cast<int>(g);
            const double v = valueOf(g);
            if (std::isnan(v)) continue;  // a group without tasks
            if (mode == gmList) groups[g].Key = static_cast<int>(v);
            tasks[g].Due = v;
            tasks[g].Priority = static_cast<std::uint16_t>(v);
            groups[g].Tasks.push_back(&tasks[g]);
        }
        return groups;
    };
    auto same = [](int mode, std::vector<TTaskGroup> groups) {
        std::vector<TTaskGroup> expected = groups;
        ExchangeSortGroups(mode, expected);
        SortGroups(mode, groups);
        std::vector<std::string> a, b;
        for (const TTaskGroup& g : expected) a.push_back(g.Caption);
        for (const TTaskGroup& g : groups) b.push_back(g.Caption);
        return a == b;
    };
    std::uint32_t seed = 7;
    auto next = [&](std::uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int mode : {gmList, gmDate, gmPriority}) {
        SCOPED_TRACE(mode);
        // All different: a shuffle of distinct values (three priorities only).
        const size_t count = mode == gmPriority ? 3 : 500;
        std::vector<double> values(count);
        for (size_t g = 0; g < count; ++g) values[g] = mode == gmDate ? Today + double(g) - 250 + 0.5 : double(g) - 1;
        for (int round = 0; round < 5; ++round) {
            for (size_t g = count; g > 1; --g) std::swap(values[g - 1], values[next(static_cast<std::uint32_t>(g))]);
            EXPECT_TRUE(same(mode, groupsOf(mode, count, [&](size_t g) { return values[g]; })));
        }
        // Ties (the same day at other times, equal keys or priorities) and
        // groups without tasks keep the exchange's own order, which is not
        // the order they were made in.
        for (int round = 0; round < 20; ++round)
            EXPECT_TRUE(same(mode, groupsOf(mode, 60, [&](size_t) {
                if (mode != gmList && next(10) == 0) return std::nan("");
                return (mode == gmDate ? Today + next(8) * 0.3 : double(next(3)));
            })));
    }
    std::vector<TTaskGroup> ties = groupsOf(gmPriority, 3, [](size_t g) { return g < 2 ? 1.0 : 2.0; });
    SortGroups(gmPriority, ties);
    EXPECT_EQ("2", ties[0].Caption);
    EXPECT_EQ("1", ties[1].Caption);  // the two of priority 1 change places
    EXPECT_EQ("0", ties[2].Caption);

    // Many groups of distinct days: ascending.
    std::vector<TuTask> days(20000);
    std::vector<TTaskGroup> many(days.size());
    for (size_t g = 0; g < days.size(); ++g) {
        days[g].Due = Today + double((g * 7919) % days.size());
        many[g].Tasks.push_back(&days[g]);
    }
    SortGroups(gmDate, many);
    for (size_t g = 0; g < many.size(); ++g) ASSERT_EQ(Today + double(g), many[g].Tasks.front()->Due);
}

TEST(TaskPresentation, ItemOrder) {
    TuData data;
    test::AddTask(data, "b", "L", "t2", Today + 1, 1);
    test::AddTask(data, "A", "L", "t1", Today, 1);
    test::AddTask(data, "c", "L", "t1", Today + 1, 1);
    test::AddTask(data, "a", "L", "t3", Today, 1);
    TGroupKeys keys;
    // Before a header click the order of the database stays, in both
    // directions.
    EXPECT_EQ((std::vector<std::string>{"b", "A", "c", "a"}), Titles(PresentedLayout(data, gmNone, keys, 0, false).Groups[0].Tasks));
    EXPECT_EQ((std::vector<std::string>{"b", "A", "c", "a"}), Titles(PresentedLayout(data, gmNone, keys, 0, true).Groups[0].Tasks));
    EXPECT_EQ((std::vector<std::string>{"A", "a", "b", "c"}), Titles(PresentedLayout(data, gmNone, keys, 1, true).Groups[0].Tasks));
    // Descending is ascending turned round, equal items too: "A" and "a"
    // swap.
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a", "A"}), Titles(PresentedLayout(data, gmNone, keys, 1, false).Groups[0].Tasks));
    EXPECT_EQ((std::vector<std::string>{"A", "c", "b", "a"}), Titles(PresentedLayout(data, gmNone, keys, 2, true).Groups[0].Tasks));
    // Equal dates keep the database order ascending.
    EXPECT_EQ((std::vector<std::string>{"A", "a", "b", "c"}), Titles(PresentedLayout(data, gmNone, keys, 3, true).Groups[0].Tasks));
    EXPECT_EQ((std::vector<std::string>{"c", "b", "a", "A"}), Titles(PresentedLayout(data, gmNone, keys, 3, false).Groups[0].Tasks));

    // Within groups when grouped; numbering runs across the groups.
    data.Folders->Add(std::string("L") + FieldSeparator + "0" + FieldSeparator);
    data.Folders->Add(std::string("M") + FieldSeparator + "0" + FieldSeparator);
    test::AddTask(data, "z", "M", "", 0, 1);
    test::AddTask(data, "y", "M", "", 0, 1);
    TTaskListState state;
    state.GroupMode = gmList;
    state.SortColumn = 1;
    state.SortAscending = true;
    TFilterSystem filter;
    const TTaskListLayout l = BuildTaskListLayout(data, filter, state, keys);
    const TReportList list = LayoutToReportList(l, state, Morning, "ddddd");
    std::vector<std::string> captions;
    for (const TReportItem& i : list.Items) captions.push_back(i.Captions[0]);
    EXPECT_EQ((std::vector<std::string>{"1. A", "2. a", "3. b", "4. c", "5. y", "6. z"}), captions);
    EXPECT_EQ("M", list.Items[5].GroupCaption);
    EXPECT_EQ("7. x", NumberedCaption(6, "x"));
}

TEST(TaskPresentation, SortIsOrderedAndStableOnLargeLists) {
    // Many tasks with few distinct keys: the order must hold for every
    // column, equal items must keep their database order ascending, and
    // descending must be the exact reverse.
    TuData data;
    const char* titles[] = {"delta", "Alpha", "charlie", "alpha", "Bravo", "echo"};
    for (int i = 0; i < 3000; ++i)
        test::AddTask(data, std::string(titles[(i * 7) % 6]) + (i % 2 ? "" : " "), "L",
                      i % 3 ? "t1" : "T0", Today + (i * 13) % 5, 1);
    std::vector<TuTask*> base;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) base.push_back(data.Tasks->GetTask(i));
    auto position = [&](const TuTask* t) { return std::find(base.begin(), base.end(), t) - base.begin(); };
    for (int column = 1; column <= 3; ++column) {
        std::vector<TuTask*> up = base;
        SortItems(column, true, up);
        ASSERT_EQ(base.size(), up.size());
        for (size_t i = 0; i + 1 < up.size(); ++i) {
            ASSERT_FALSE(TaskSortsAfter(column, *up[i], *up[i + 1])) << column << " at " << i;
            if (!TaskSortsAfter(column, *up[i + 1], *up[i])) {
                ASSERT_LT(position(up[i]), position(up[i + 1])) << column << " at " << i;
            }
        }
        std::vector<TuTask*> down = base;
        SortItems(column, false, down);
        std::reverse(down.begin(), down.end());
        EXPECT_EQ(up, down) << column;
    }
    // Column 0 and unknown columns leave the order alone.
    std::vector<TuTask*> same = base;
    SortItems(0, true, same);
    SortItems(4, false, same);
    EXPECT_EQ(base, same);
}

TEST(TaskPresentation, SortTellsLongCommonBeginningsApart) {
    // Titles and tags that agree, ignoring case, in their first eight bytes
    // or more, end inside them, or differ only beyond them or in bytes
    // above 127: the order is CompareText's, equal texts keep their order.
    TuData data;
    const char* texts[] = {"alphabet soup", "ALPHABET SOUP!", "alphabet", "Alphabe", "alphabet\xE9", "\xE9t\xE9",
                           "alphabet soup", "alphabet Soup", "zz", "alphabet\x01", "ALPHABET"};
    const int n = static_cast<int>(std::size(texts));
    for (int i = 0; i < 200; ++i)
        test::AddTask(data, texts[(i * 7) % n], "L", texts[(i * 3) % n], Today + (i * 13) % 5, 1);
    std::vector<TuTask*> base;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) base.push_back(data.Tasks->GetTask(i));
    auto position = [&](const TuTask* t) { return std::find(base.begin(), base.end(), t) - base.begin(); };
    for (int column = 1; column <= 2; ++column) {
        std::vector<TuTask*> up = base;
        SortItems(column, true, up);
        for (size_t i = 0; i + 1 < up.size(); ++i) {
            const std::string_view a = column == 1 ? up[i]->Title.View() : up[i]->Tags.View();
            const std::string_view b = column == 1 ? up[i + 1]->Title.View() : up[i + 1]->Tags.View();
            const int d = gcl::CompareText(a, b);
            ASSERT_LE(d, 0) << column << " at " << i;
            if (d == 0) {
                ASSERT_LT(position(up[i]), position(up[i + 1])) << column << " at " << i;
            }
        }
    }
}

TEST(TaskPresentation, HeaderClicksAndGroupingActions) {
    int tag = 0, column = 0;
    bool ascending = false;
    HeaderClick(tag, 2, column, ascending);
    EXPECT_EQ(3, column);
    EXPECT_TRUE(ascending);
    HeaderClick(tag, 2, column, ascending);
    EXPECT_FALSE(ascending);
    tag = 7;
    HeaderClick(tag, 0, column, ascending);
    EXPECT_EQ(1, column);
    EXPECT_TRUE(ascending);

    // Checking "Date": group by date, regrouping.
    TGroupingChange c = GroupingAction(gmDate, true, false);
    EXPECT_EQ(gmDate, c.GroupMode);
    EXPECT_TRUE(c.AutoRegroup);
    EXPECT_FALSE(c.CheckNoGroup);
    // Clicking "Date" off: "Nothing" is checked, the mode is remembered.
    c = GroupingAction(gmDate, false, false);
    EXPECT_EQ(-gmDate, c.GroupMode);
    EXPECT_TRUE(c.CheckNoGroup);
    EXPECT_FALSE(c.AutoRegroup);
    // "Nothing" itself.
    c = GroupingAction(gmNone, true, true);
    EXPECT_EQ(0, c.GroupMode);
    EXPECT_FALSE(c.AutoRegroup || c.CheckNoGroup);
    // "Nothing" clicked again (its auto-check took its own mark off): it
    // stays the grouping shown as chosen.
    c = GroupingAction(gmNone, false, false);
    EXPECT_EQ(0, c.GroupMode);
    EXPECT_TRUE(c.CheckNoGroup);
    EXPECT_FALSE(c.AutoRegroup);
    // The rows grow with the screen as the text, sized in points, does.
    EXPECT_EQ(22, ListRowHeight(11, 96));
    EXPECT_EQ(28, ListRowHeight(11, 120));
    EXPECT_EQ(33, ListRowHeight(11, 144));
    // A group's header keeps its 30 pixels while the caption and its band
    // fit, and grows to hold a larger caption whole.
    EXPECT_EQ(30, GroupHeaderHeight(17, 6));
    EXPECT_EQ(30, GroupHeaderHeight(24, 6));
    EXPECT_EQ(43, GroupHeaderHeight(37, 6));
}

TEST(TaskPresentation, FilterDecidesWhatShows) {
    TuData data;
    test::AddTask(data, "Buy milk", "Home", "", 0, 1);
    test::AddTask(data, "Call", "Work", "", 0, 1, true);
    TFilterSystem filter;
    filter.Conditions[fkDone].Enabled = true;  // hide done
    TTaskListState state;
    state.Grouped = false;
    TGroupKeys keys;
    EXPECT_EQ((std::vector<std::string>{"Buy milk"}),
              Titles(BuildTaskListLayout(data, filter, state, keys).Groups[0].Tasks));
    // Layouts of another, larger database in between leave nothing behind
    // (the memory of one layout is kept for the next).
    {
        TuData large;
        for (int i = 0; i < 300; ++i) test::AddTask(large, "Task " + std::to_string(i), "Home", "", 0, 1, i % 3 == 0);
        EXPECT_EQ(BuildTaskListLayout(large, filter, state, keys).Groups[0].Tasks.size(), 200u);
        filter.Conditions[fkDone].Enabled = false;
        EXPECT_EQ(BuildTaskListLayout(large, filter, state, keys).Groups[0].Tasks.size(), 300u);
        filter.Conditions[fkDone].Enabled = true;
    }
    EXPECT_EQ((std::vector<std::string>{"Buy milk"}),
              Titles(BuildTaskListLayout(data, filter, state, keys).Groups[0].Tasks));

    // A refresh from the bars keeps its filter as the last one.
    TFilterBarState bar;
    bar.CurrentFolder = "Work";
    const TTaskListLayout l = RefreshTaskListLayout(data, bar, state, keys);
    EXPECT_EQ((std::vector<std::string>{"Call"}), Titles(l.Groups[0].Tasks));
    ASSERT_TRUE(LiveSettings.Filter);
    EXPECT_EQ("Work", LiveSettings.Filter->Conditions[fkFolder].Value1);
    EXPECT_EQ(&data, LiveSettings.Filter->Data);
    LiveSettings.Filter.reset();
}

} // namespace
} // namespace qelvo

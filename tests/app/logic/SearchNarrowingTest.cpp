// The search that tests only the tasks the last text passed: every layout
// it gives is the layout of a search over every task, as the text grows,
// shrinks or is replaced, and after tasks shown were edited, added or
// deleted between two characters.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AppLogicTest.h"
#include "app/logic/FilterBar.h"
#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"

namespace qelvo {
namespace {

const char* const Words[] = {"call", "Bob", "about", "the", "CALENDAR", "report", "recall", "cab",
                             "Cancel", "local", "scale", "tax", "\xC7" "ALL", "c@ll"};

void FillSearchDatabase(TuData& data, int count) {
    for (const char* list : {"Home", "Work"}) data.Folders->Add(std::string(list) + FieldSeparator + "0" + FieldSeparator);
    const char* lists[] = {"Home", "Work"};
    const char* tags[] = {"", "a", "a,b", "b"};
    for (int i = 0; i < count; ++i) {
        std::string title;
        for (int w = 0; w < 1 + (i * 7) % 5; ++w) {
            if (!title.empty()) title += ' ';
            title += Words[(i * 5 + w * 3) % 14];
        }
        test::AddTask(data, title, lists[i % 2], tags[(i * 3) % 4], 0, i % 3, i % 5 == 0);
    }
}

class TSearch {
public:
    TSearch() {
        FillSearchDatabase(Data, 700);
        State.GroupMode = gmList;
        State.Grouped = true;
        State.SortColumn = 1;
        State.SortAscending = true;
        Bar.FindMode = true;
    }
    // The layout with the narrowing, checked against one without it;
    // whether only the last text's tasks were tested.
    bool Type(const std::string& text) {
        Bar.SearchText = text;
        const TTaskListLayout narrowed = RefreshTaskListLayout(Data, Bar, State, Keys, nullptr, &Narrowing);
        const bool narrowedNow = Narrowing.GetNarrowed();
        TGroupKeys keys;
        const TTaskListLayout full = RefreshTaskListLayout(Data, Bar, State, keys);
        EXPECT_EQ(full.Groups.size(), narrowed.Groups.size()) << "\"" << text << "\"";
        for (size_t g = 0; g < full.Groups.size() && g < narrowed.Groups.size(); ++g)
            EXPECT_EQ(full.Groups[g].Tasks, narrowed.Groups[g].Tasks) << "\"" << text << "\" group " << g;
        Shown = 0;
        FirstShown = nullptr;
        for (const TTaskGroup& g : narrowed.Groups) {
            if (!FirstShown && !g.Tasks.empty()) FirstShown = g.Tasks[0];
            Shown += g.Tasks.size();
        }
        return narrowedNow;
    }

    TuData Data;
    TFilterBarState Bar;
    TTaskListState State;
    TGroupKeys Keys;
    TSearchNarrowing Narrowing;
    size_t Shown = 0;           // by the last text
    TuTask* FirstShown = nullptr;
};

TEST(SearchNarrowing, TypingPastingAndBackspace) {
    TSearch s;
    EXPECT_FALSE(s.Type(""));
    EXPECT_FALSE(s.Type("c"));  // nothing searched before
    const size_t all = s.Shown;
    EXPECT_TRUE(s.Type("ca"));
    EXPECT_TRUE(s.Type("cal"));
    EXPECT_TRUE(s.Type("call"));
    EXPECT_LT(s.Shown, all);
    EXPECT_GT(s.Shown, 0u);
    // Backspace goes back to the texts typed before.
    EXPECT_TRUE(s.Type("cal"));
    EXPECT_TRUE(s.Type("ca"));
    EXPECT_TRUE(s.Type("cal"));
    // Pasted around the text, or typed in another case: still narrower.
    EXPECT_TRUE(s.Type("recalL"));
    EXPECT_TRUE(s.Type("RECALL "));
    EXPECT_TRUE(s.Type("RECALL"));
    EXPECT_TRUE(s.Type("c"));
    EXPECT_EQ(s.Shown, all);
    // A text in the middle cut out holds the first one typed.
    EXPECT_TRUE(s.Type("cl"));
    // A paste that replaces the text; the same text again (a refresh after
    // a command).
    EXPECT_FALSE(s.Type("bob"));
    EXPECT_FALSE(s.Type("bob"));
    EXPECT_TRUE(s.Type("bob "));
    EXPECT_FALSE(s.Type("b"));  // shorter than every text kept
    // Bytes next to the letters and accented ones are not letters.
    EXPECT_FALSE(s.Type("c@"));
    EXPECT_TRUE(s.Type("c@l"));
    EXPECT_FALSE(s.Type("\xE7"));
    EXPECT_TRUE(s.Type("\xE7" "all"));
    EXPECT_FALSE(s.Type(""));
    EXPECT_EQ(s.Shown, 700u);
    // More texts typed than are kept: the first ones are tested anew.
    const std::string longText = "recall the book and call";
    for (size_t n = 1; n <= longText.size(); ++n) EXPECT_EQ(s.Type(longText.substr(0, n)), n > 1);
    EXPECT_TRUE(s.Type(longText.substr(0, longText.size() - 10)));
    EXPECT_FALSE(s.Type("r"));
}

TEST(SearchNarrowing, EditsAddsDeletesAndOtherFiltersBetweenCharacters) {
    TSearch s;
    s.Type("ca");
    // A shown title renamed so that it no longer holds the text, another
    // so that it holds only the next one, a shown task done with Hide
    // Done on: the next character tests them as it does every task.
    TuTask* renamed = s.FirstShown;
    ASSERT_NE(renamed, nullptr);
    ASSERT_TRUE(ApplyTitleEdit(*renamed, "plain", s.Data));
    EXPECT_TRUE(s.Type("cal"));
    TuTask* kept = s.FirstShown;
    ASSERT_TRUE(ApplyTitleEdit(*kept, "xcalL", s.Data));
    EXPECT_TRUE(s.Type("call"));
    EXPECT_TRUE(s.Type("cal"));
    s.Bar.HideDone = true;
    EXPECT_FALSE(s.Type("cal"));
    TuTask* done = s.FirstShown;
    done->Done = true;
    EXPECT_TRUE(s.Type("call"));
    // Shown tasks renamed between Backspaces: to a title with only the
    // shorter text, to one with none of the texts, to one with only the
    // shortest; a task shown by a shorter text done.
    EXPECT_FALSE(s.Type("c"));
    EXPECT_TRUE(s.Type("ca"));
    EXPECT_TRUE(s.Type("cal"));
    EXPECT_TRUE(s.Type("call"));
    ASSERT_TRUE(ApplyTitleEdit(*s.FirstShown, "calm", s.Data));
    EXPECT_TRUE(s.Type("cal"));
    ASSERT_TRUE(ApplyTitleEdit(*s.FirstShown, "plain", s.Data));
    EXPECT_TRUE(s.Type("ca"));
    ASSERT_TRUE(ApplyTitleEdit(*s.FirstShown, "c only", s.Data));
    s.FirstShown->Done = true;
    EXPECT_TRUE(s.Type("c"));

    // A task added or deleted: every task is tested.
    test::AddTask(s.Data, "recall the book", "Home");
    EXPECT_FALSE(s.Type("recall"));
    EXPECT_TRUE(s.Type("recall "));
    std::vector<std::unique_ptr<TuTask>> removed = DeleteTasks(s.Data, {s.FirstShown});
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_FALSE(s.Type("recall t"));
    EXPECT_TRUE(s.Type("recall th"));

    // Another filter changed with the text: every task.
    s.Bar.CurrentFolder = "Work";
    EXPECT_FALSE(s.Type("recall the"));
    s.Bar.CurrentFolder.clear();
    s.Bar.HideDone = false;
    EXPECT_FALSE(s.Type("recall the "));
    // Out of find mode nothing is kept; back in it, the first text tests all.
    s.Bar.FindMode = false;
    EXPECT_FALSE(s.Type("recall the b"));
    s.Bar.FindMode = true;
    EXPECT_FALSE(s.Type("recall the b"));
    EXPECT_TRUE(s.Type("recall the bo"));
}

} // namespace
} // namespace qelvo

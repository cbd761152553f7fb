// Mouse input that arrives while the program is still busy over tens of
// thousands of tasks: a click sent in the same burst as the key or click
// that regroups, filters or refills the list, and the close box clicked
// while a save runs. The
// system hands a queued click over at the point where it was made, to
// whatever the window shows when the program takes it; the file after a
// save holds exactly what that click did.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e/BigDatabase.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// What a database file holds of each task: its list and whether it is done.
std::map<std::string, std::string> StateIn(const std::string& path) {
    TuData data;
    std::map<std::string, std::string> state;
    if (!data.LoadFromFile(path)) return {{"<unreadable>", ""}};
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask* t = data.Tasks->GetTask(i);
        state[std::string(t->Title)] = std::string(t->Folder) + (t->Done ? " done" : "");
    }
    return state;
}

// The changes between two such states, a line a task.
std::vector<std::string> ChangesBetween(const std::map<std::string, std::string>& before,
                                        const std::map<std::string, std::string>& after) {
    std::vector<std::string> changes;
    for (const auto& [title, was] : before) {
        const auto now = after.find(title);
        if (now == after.end())
            changes.push_back(title + " gone");
        else if (now->second != was)
            changes.push_back(title + ": " + was + " -> " + now->second);
    }
    for (const auto& [title, now] : after)
        if (!before.count(title)) changes.push_back(title + " new: " + now);
    return changes;
}

// The changes the strokes Input makes to the file (saved with Ctrl+S) on a
// fresh program over Count tasks: with Ahead, all of them in one burst;
// otherwise each key and click taken before the next is sent.
std::vector<std::string> ChangesBy(const std::string& name, int count,
                                   const std::function<std::vector<TStroke>(const TMainWindowParts&)>& input,
                                   bool ahead) {
    TProgram p(name.c_str());
    HWND main = StartOnBigDatabase(p, count);
    if (!main) {
        ADD_FAILURE() << "no main window";
        return {};
    }
    const TMainWindowParts parts(main);
    const auto before = StateIn(p.DatabasePath());
    const std::vector<TStroke> strokes = input(parts);
    if (ahead)
        TypeAhead(p, strokes);
    else
        for (const TStroke& s : strokes) {
            if (s.Clicked)
                Click(p, s.At);
            else
                Key(p, s.Vk, s.Mods);
        }
    Key(p, 'S', Ctrl);
    const std::vector<std::string> changes = ChangesBetween(before, StateIn(p.DatabasePath()));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    return changes;
}

} // namespace

TEST(ExploreBusyMouseScenario, ACheckBoxClickedAsTheListRegroupsTicksTheTaskShownThereOnceRegrouped) {
    const int count = 30000;
    // Grouped by date, then by priority, then by nothing: each time the
    // click sent with the key ticks the task a click after the regroup
    // ticks, and that one alone. (A check box's middle is 156 pixels down
    // under a group's caption, 148 with no groups.)
    struct TRegroup {
        WORD Key;
        int Down;
    };
    const std::vector<TRegroup> regroups = {{'D', 156}, {'P', 156}, {'N', 148}};
    for (const TRegroup& r : regroups) {
        SCOPED_TRACE(r.Key);
        auto input = [&r](const TMainWindowParts& parts) {
            const RECT list = RectOf(parts.List);
            const POINT box{list.left + 10, list.top + r.Down};
            return std::vector<TStroke>{TStroke(r.Key, Alt), TStroke::ClickAt(box)};
        };
        const std::string name = std::string("explore-busymouse-regroup-") + char(r.Key);
        const std::vector<std::string> meant = ChangesBy(name, count, input, false);
        const std::vector<std::string> ahead = ChangesBy(name + "-ahead", count, input, true);
        EXPECT_EQ(meant.size(), 1u);
        EXPECT_EQ(ahead, meant);
    }
}

TEST(ExploreBusyMouseScenario, TheCloseBoxClickedWhileASaveRunsEndsTheProgramWithEveryChangeKept) {
    TProgram p("explore-busymouse-close");
    const int count = 60000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const auto before = StateIn(p.DatabasePath());
    Click(p, parts.ListItem(1, 10));
    // Ctrl+S and the close box at once: the save runs, the close follows.
    TypeAhead(p, {TStroke('S', Ctrl), TStroke::ClickAt(CloseBoxOf(main))});
    EXPECT_EQ(p.WaitExit(30000), 0);
    const TFileCounts after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(ChangesBetween(before, StateIn(p.DatabasePath())).size(), 1u);
}

TEST(ExploreBusyMouseScenario, ClicksSentWithTheInputThatRefillsTheListActOnWhatItShowsOnceRefilled) {
    const int count = 100000;
    using TInput = std::function<std::vector<TStroke>(const TMainWindowParts&)>;
    auto box = [](const TMainWindowParts& parts, int down) {
        return TStroke::ClickAt(POINT{RectOf(parts.List).left + 10, RectOf(parts.List).top + down});
    };
    const std::vector<std::pair<const char*, TInput>> cases = {
        // The list Work chosen in the side tree, then a check box.
        {"tree", [&](const TMainWindowParts& parts) {
             return std::vector<TStroke>{TStroke::ClickAt(parts.TreeRow(2)), box(parts, 156)};
         }},
        // Done tasks hidden, then a check box.
        {"hide", [&](const TMainWindowParts& parts) {
             return std::vector<TStroke>{TStroke('D', Ctrl), box(parts, 156)};
         }},
        // Regrouped by date, a check box, regrouped by priority, the
        // same place again.
        {"twice", [&](const TMainWindowParts& parts) {
             return std::vector<TStroke>{TStroke('D', Alt), box(parts, 156), TStroke('P', Alt), box(parts, 156)};
         }},
    };
    for (const auto& [name, input] : cases) {
        SCOPED_TRACE(name);
        const std::vector<std::string> meant = ChangesBy(std::string("explore-busymouse-") + name, count, input, false);
        const std::vector<std::string> ahead =
            ChangesBy(std::string("explore-busymouse-ahead-") + name, count, input, true);
        EXPECT_FALSE(meant.empty());
        EXPECT_EQ(ahead, meant);
    }
}

} // namespace qelvo::e2e

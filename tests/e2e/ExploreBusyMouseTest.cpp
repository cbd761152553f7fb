// Mouse input that arrives while the program is still busy over tens of
// thousands of tasks: a click sent in the same burst as the key that
// regroups the list, and the close box clicked while a save runs. The
// system hands a queued click over at the point where it was made, to
// whatever the window shows when the program takes it; the file after a
// save holds exactly what that click did.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "e2e/BigDatabase.h"
#include "e2e/ExitsSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The titles of the tasks a database file holds as done.
std::set<std::string> DoneIn(const std::string& path) {
    TuData data;
    std::set<std::string> done;
    if (!data.LoadFromFile(path)) return {"<unreadable>"};
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (data.Tasks->GetTask(i)->Done) done.insert(std::string(data.Tasks->GetTask(i)->Title));
    return done;
}

// The tasks whose done mark differs between two sets of done titles.
std::vector<std::string> Toggled(const std::set<std::string>& before, const std::set<std::string>& after) {
    std::vector<std::string> changed;
    for (const std::string& t : before)
        if (!after.count(t)) changed.push_back(t);
    for (const std::string& t : after)
        if (!before.count(t)) changed.push_back(t);
    return changed;
}

// The tasks a click Down pixels below the top of the list, on the check
// boxes, toggles after Keys, on a fresh program over Count tasks: with
// Ahead, the click goes in the same burst as the keys; otherwise each key
// and the click are taken in turn.
std::vector<std::string> ToggledByClickAfter(const char* name, int count, const std::vector<TStroke>& keys,
                                             int down, bool ahead) {
    TProgram p(name);
    HWND main = StartOnBigDatabase(p, count);
    if (!main) {
        ADD_FAILURE() << "no main window";
        return {};
    }
    TMainWindowParts parts(main);
    const std::set<std::string> before = DoneIn(p.DatabasePath());
    const POINT box{RectOf(parts.List).left + 10, RectOf(parts.List).top + down};
    if (ahead) {
        std::vector<TStroke> burst = keys;
        burst.push_back(TStroke::ClickAt(box));
        TypeAhead(p, burst);
    } else {
        for (const TStroke& k : keys) Key(p, k.Vk, k.Mods);
        Click(p, box);
    }
    Key(p, 'S', Ctrl);
    const std::vector<std::string> toggled = Toggled(before, DoneIn(p.DatabasePath()));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(30000), 0);
    return toggled;
}

} // namespace

TEST(ExploreBusyMouseScenario, ACheckBoxClickedAsTheListRegroupsTicksTheTaskShownThereOnceRegrouped) {
    const int count = 30000;
    // Grouped by date, then by priority, then by nothing: each time the
    // click sent with the key ticks the task a click after the regroup
    // ticks, and that one alone. (A check box's middle is 156 pixels down
    // under a group's caption, 148 with no groups.)
    struct TRegroup {
        std::vector<TStroke> Keys;
        int Down;
    };
    const std::vector<TRegroup> regroups = {
        {{TStroke('D', Alt)}, 156}, {{TStroke('P', Alt)}, 156}, {{TStroke('N', Alt)}, 148}};
    int n = 0;
    for (const TRegroup& r : regroups) {
        SCOPED_TRACE(n);
        const std::vector<std::string> meant = ToggledByClickAfter(
            ("explore-busymouse-slow" + std::to_string(n)).c_str(), count, r.Keys, r.Down, false);
        const std::vector<std::string> ahead = ToggledByClickAfter(
            ("explore-busymouse-ahead" + std::to_string(n)).c_str(), count, r.Keys, r.Down, true);
        EXPECT_EQ(meant.size(), 1u);
        EXPECT_EQ(ahead, meant);
        ++n;
    }
}

TEST(ExploreBusyMouseScenario, TheCloseBoxClickedWhileASaveRunsEndsTheProgramWithEveryChangeKept) {
    TProgram p("explore-busymouse-close");
    const int count = 60000;
    HWND main = StartOnBigDatabase(p, count);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const std::set<std::string> before = DoneIn(p.DatabasePath());
    Click(p, parts.ListItem(1, 10));
    // Ctrl+S and the close box at once: the save runs, the close follows.
    TypeAhead(p, {TStroke('S', Ctrl), TStroke::ClickAt(CloseBoxOf(main))});
    EXPECT_EQ(p.WaitExit(30000), 0);
    const TFileCounts after = CountsIn(p.DatabasePath());
    EXPECT_EQ(after.Tasks, count);
    EXPECT_EQ(Toggled(before, DoneIn(p.DatabasePath())).size(), 1u);
}

} // namespace qelvo::e2e

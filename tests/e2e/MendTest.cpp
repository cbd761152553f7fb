// Faults found by trying the program as a user does, each kept as the
// scenario that showed it: the task list's header when the list's scroll
// bar comes or goes, Escape in a toolbar's drop-down, a title edit in the
// task list ended by the wheel, the scroll bar or the exit, and the side
// tree's new-list editor left open when the Tags tab is chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"

namespace qelvo::e2e {

namespace {

// The lists Work (fifty tasks, more than the list shows at once) and Home
// (two tasks), in that order.
void WriteTwoListsDatabase(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    TuData data;
    data.Folders->Add("Work\xF7" "0\xF7");
    data.Folders->Add("Home\xF7" "0\xF7");
    auto add = [&data](const std::string& title, const char* list) {
        TuTask* task = new TuTask();
        task->Title = title;
        task->Folder = std::string(list);
        data.Tasks->AddObject(title, task);
    };
    for (int i = 0; i < 50; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "Task %02d", i);
        add(title, "Work");
    }
    add("Sweep", "Home");
    add("Cook", "Home");
    data.SaveToFile(path);
}

bool HasVerticalBar(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL) != 0; }

// Whether two pictures of a screen rectangle are the same; says where they
// differ when not.
::testing::AssertionResult SamePixels(const std::vector<COLORREF>& before, const std::vector<COLORREF>& after,
                                      RECT part) {
    if (before == after) return ::testing::AssertionSuccess();
    const int width = std::max<int>(part.right - part.left, 1);
    size_t changed = 0;
    size_t first = after.size();
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i]) {
            ++changed;
            if (first == after.size()) first = i;
        }
    auto failure = ::testing::AssertionFailure() << changed << " pixels differ";
    if (first < after.size()) failure << ", the first at x " << first % width << ", y " << first / width;
    return failure;
}

// Whether a part of the screen shows what it shows once the main window
// was painted whole again; says where it differs when not.
::testing::AssertionResult ShowsAsAWholeRepaint(const TProgram& p, HWND main, RECT part) {
    p.Settle();
    const std::vector<COLORREF> before = PixelsOf(part);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    p.Settle();
    return SamePixels(before, PixelsOf(part), part) << " from a repaint";
}

} // namespace

TEST(ListHeaderMendScenario, TheHeaderFollowsTheScrollBarComingAndGoing) {
    TProgram p("mend-header");
    WriteTwoListsDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(trees.size(), 1u);
    HWND list = lists.front();
    const RECT tr = RectOf(trees.front());
    // The rows of the side tree are 24 pixels high: All, Work, Home.
    const POINT all{tr.left + 60, tr.top + 12};
    const POINT work{tr.left + 60, tr.top + 12 + 24};
    const POINT home{tr.left + 60, tr.top + 12 + 48};

    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, RectOf(list))) << "at the start";
    struct Step {
        const char* name;
        POINT at;
        bool bar;
    };
    // After each step the list, its header and its groups' bands are laid
    // out for the width the list has now, with or without its bar: as a
    // repaint shows them, and as a second refresh that changes nothing
    // (grouping by nothing and by lists again, which keeps the bar as it
    // is) lays them out.
    auto sameAfterRegrouping = [&](const char* name) {
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, RectOf(list))) << name;
        const std::vector<COLORREF> shown = PixelsOf(RectOf(list));
        Key(p, 'N', Alt);
        Key(p, 'L', Alt);
        p.Settle();
        EXPECT_TRUE(SamePixels(shown, PixelsOf(RectOf(list)), RectOf(list)))
            << name << ": a second refresh lays the list out otherwise";
        Shot(p, main, std::string("mend-header-") + name + "-regrouped");
    };
    for (const Step& step : {Step{"Home", home, false}, Step{"Work", work, true}, Step{"Home again", home, false},
                             Step{"All", all, true}}) {
        Click(p, step.at);
        p.Settle();
        EXPECT_EQ(HasVerticalBar(list), step.bar) << step.name;
        Shot(p, main, std::string("mend-header-") + step.name);
        sameAfterRegrouping(step.name);
    }
    // Today (no task has a date) and all dates again, from the keyboard.
    Key(p, '1', Ctrl);
    EXPECT_FALSE(HasVerticalBar(list));
    sameAfterRegrouping("Today");
    Key(p, 'A', Ctrl);
    EXPECT_TRUE(HasVerticalBar(list));
    sameAfterRegrouping("All dates");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

namespace qelvo::e2e {

// Escape in a drop-down opened from a bar by a click closes the drop-down
// and leaves the bar's item chosen, as a menu bar's item stays chosen
// when Escape closes its menu; a second Escape leaves the bar and the
// keyboard is back where it was, so the next shortcut works.
TEST(ToolbarEscapeMendScenario, EscapeClosesTheDropDownThenLeavesTheBar) {
    TProgram p("mend-escape");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT m = RectOf(main);
    // The arrow of the quick-entry bar's Add item.
    const POINT addArrow{m.left + 114, m.top + 61};
    const HWND focus = p.Focus();
    ASSERT_NE(focus, nullptr);
    const size_t windows = p.TopWindows().size();
    Click(p, addArrow);
    EXPECT_GT(p.TopWindows().size(), windows) << "no drop-down opened";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.TopWindows().size(), windows) << "the drop-down is still open";
    EXPECT_NE(p.ThreadInfo().hwndCapture, nullptr) << "the bar let go of the keyboard at the first Escape";
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.ThreadInfo().hwndCapture, nullptr) << "the bar still holds the keyboard";
    EXPECT_EQ(p.Focus(), focus);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

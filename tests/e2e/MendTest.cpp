// Faults found by trying the program as a user does, each kept as the
// scenario that showed it: the task list's header when the list's scroll
// bar comes or goes, Escape in a toolbar's drop-down, a title edit in the
// task list ended by the exit keys, and the side tree's new-list editor
// left open when the Tags tab is chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The lists Work (fifty tasks, more than the list shows at once) and Home
// (two tasks), in that order.
void WriteTwoListsDatabase(const std::string& path) {
    MakeFolderOf(path);
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

    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {RectOf(list)})) << "at the start";
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
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {RectOf(list)})) << name;
        const std::vector<COLORREF> shown = PixelsOf(RectOf(list));
        Key(p, 'N', Alt);
        Key(p, 'L', Alt);
        p.Settle();
        EXPECT_TRUE(SamePixels(shown, PixelsOf(RectOf(list)), {RectOf(list)}))
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
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    // The arrow of the quick-entry bar's Add item.
    const POINT addArrow = parts.AddButton();
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

namespace qelvo::e2e {

namespace {

bool Holds(const std::vector<std::string>& titles, const std::string& title) {
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

// Chooses the task in the list's row Index and opens its title's editor
// with Enter; false when no editor took the keyboard.
bool EditTitleOfRow(TProgram& p, const TMainWindowParts& parts, int index) {
    Click(p, parts.ListItem(index));
    Key(p, VK_RETURN);
    return p.Focus() != parts.List && p.Focus() != nullptr;
}

} // namespace

// Ctrl+Q and Alt+F4 take a title being typed before the exit's save.
TEST(TitleEditMendScenario, TheExitKeysTakeTheTitleBeforeTheSave) {
    struct Exit {
        const char* name;
        WORD key;
        unsigned mods;
    };
    for (const Exit& exit : {Exit{"ctrl-q", 'Q', Ctrl}, Exit{"alt-f4", VK_F4, Alt}}) {
        TProgram p(std::string("mend-title-exit-") + exit.name);
        WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        ASSERT_TRUE(EditTitleOfRow(p, parts, 0)) << exit.name;
        Type(p, std::string("Typed before the exit"));
        Key(p, exit.key, exit.mods);
        // Alt+F4 asks about the changes first; Ctrl+Q saves them.
        if (exit.key == VK_F4) {
            EXPECT_TRUE(
                Answer(p, "You've made changes to this database, do you want to save before exiting?", "&Yes"));
        }
        EXPECT_EQ(p.WaitExit(), 0) << exit.name;
        EXPECT_TRUE(Holds(TitlesIn(p.DatabasePath()), "Typed before the exit")) << exit.name;
    }
}

} // namespace qelvo::e2e

namespace qelvo::e2e {

namespace {

// The tags of a database file.
std::vector<std::string> TagsIn(const std::string& path) {
    TuData data;
    std::vector<std::string> tags;
    if (!data.LoadFromFile(path)) return tags;
    for (int i = 0; i < data.Tags->GetCount(); ++i) tags.push_back(data.Tags->Get(i));
    return tags;
}

} // namespace

// A name typed into the side tree's "< New List >" editor and left by a
// click on the Tags tab is taken as a new list, as a list's name being
// changed in place is taken; the editor closes with the tab change, so
// Enter afterwards adds no tag. An empty editor closes without a list.
TEST(NewListMendScenario, ATabClickTakesTheNewListsName) {
    TProgram p("mend-new-list-tab");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.NewListLabel, nullptr);
    const RECT tree = RectOf(parts.Tree);
    const POINT tagsTab{tree.left + 90, tree.top - 10};
    const POINT listsTab{tree.left + 30, tree.top - 10};

    Click(p, CenterOf(parts.NewListLabel));
    const HWND editor = p.Focus();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, parts.Tree);
    Type(p, std::string("Errands"));
    Click(p, tagsTab);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the new list's editor stayed open in the tags tab";
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    const std::vector<std::string> lists = ListsIn(p.DatabasePath());
    EXPECT_TRUE(Holds(lists, "Errands")) << "the typed name made no list";
    const std::vector<std::string> tags = TagsIn(p.DatabasePath());
    EXPECT_FALSE(Holds(tags, "Errands")) << "the list's name became a tag";

    // Opened and left empty: nothing is added, in either tab.
    Click(p, CenterOf(parts.NewListLabel));
    Click(p, listsTab);
    EXPECT_FALSE(IsWindowVisible(editor)) << "the new tag's editor stayed open in the lists tab";

    // A name that cannot be saved is refused, and the tab stays with its
    // editor open on the name, for the user to mend it.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"Caf\u00e9 \u03a9"));
    Click(p, tagsTab);
    ASSERT_TRUE(Answer(p, "This name holds characters that cannot be saved", "OK"));
    EXPECT_TRUE(IsWindowVisible(editor)) << "the refused name's editor closed";
    EXPECT_EQ(TextOf(parts.NewListLabel), "< New List >") << "the tab changed under a refused name";
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Work", "Errands"}));
    EXPECT_TRUE(TagsIn(p.DatabasePath()).empty());
}

} // namespace qelvo::e2e

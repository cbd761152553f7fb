// Folded groups of the task list meeting the commands, found faulty by
// exploring the real program: what a fold hides is out of reach of what
// the user does next, and what the user asked for before the fold does
// not land on another task.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The sample grouped by list (Work, Home, Shop), as it starts: the places
// of the first group's fold button and of a task of the first group.
struct TFoldPlaces {
    RECT List;
    explicit TFoldPlaces(const TMainWindowParts& parts) : List(RectOf(parts.List)) {}
    // Work's fold button, under the header.
    POINT WorkButton() const { return {List.left + 11, List.top + 35}; }
    // Home's fold button while Work is folded above it.
    POINT SecondButtonUnderFoldedWork() const { return {List.left + 11, List.top + 80}; }
};

// Arms the title editor of task Index of the first group as a slow second
// click does: the editor opens after the list's pause unless something
// gives the request up.
void ArmTitleEdit(TProgram& p, const TMainWindowParts& parts, int index) {
    Click(p, parts.ListItem(index));
    Sleep(GetDoubleClickTime() + 50);    // a second click, not a double click
    Click(p, parts.ListItem(index));
}

// The program started over the sample.
struct TFoldSample {
    TProgram P;
    HWND Main;
    TMainWindowParts Parts;
    TFoldPlaces Places;
    explicit TFoldSample(const std::string& scenario)
        : P(scenario), Main(StartWithSample(P)), Parts(Main), Places(Parts) {}
};

// Lists Work, Home and Shop of twelve tasks each ("Work task 01" ...), more
// than the window shows.
void WriteThreeLongLists(const TProgram& p) {
    std::string file = "d_id-0123456789\r\n";
    for (const char* list : {"Work", "Home", "Shop"}) file += std::string(list) + "\xF7" "0\xF7\r\n";
    file += "<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n";
    int id = 1;
    for (const char* list : {"Work", "Home", "Shop"})
        for (int i = 1; i <= 12; ++i) {
            char line[160];
            std::snprintf(line, sizeof line, "%s task %02d\xF7--\xF7%010d\xF7%s\xF7" "1/2/2025\xF7\xF7\r\n", list, i,
                          id++, list);
            file += line;
        }
    MakeFolderOf(p.DatabasePath());
    WriteFile(p.DatabasePath(), file);
}

// Past the pause after which an armed title editor opens.
constexpr DWORD PastTheEditPause = 3400;

} // namespace

// A slow second click on a task asks for its title's editor; a click after
// it, before the pause ran out, went on to another task: folding the
// task's group opened the editor on the first task of the next group, one
// the user never clicked, and a click on another task opened it on that
// one. The next keys typed renamed it.
TEST(ExploreFoldScenario, AClickAfterTheSecondClickGivesUpTheTitleEdit) {
    TFoldSample sample("fold-click-to-edit");
    ASSERT_NE(sample.Main, nullptr);
    TProgram& p = sample.P;
    const TMainWindowParts& parts = sample.Parts;

    ArmTitleEdit(p, parts, 1);
    ASSERT_EQ(parts.ChosenTask(), "Call the bank");
    Click(p, sample.Places.WorkButton());
    Sleep(PastTheEditPause);
    p.Settle();
    EXPECT_EQ(p.Focus(), parts.List) << "an editor opened after the fold on " << TextOf(p.Focus());
    if (p.Focus() != parts.List) Key(p, VK_ESCAPE);

    // Work open again (a click on its caption), the second click on Call
    // the bank, then a click on Plan the budget.
    Click(p, POINT{sample.Places.List.left + 200, sample.Places.List.top + 35});
    ArmTitleEdit(p, parts, 1);
    Click(p, parts.ListItem(2));
    ASSERT_EQ(parts.ChosenTask(), "Plan the budget");
    Sleep(PastTheEditPause);
    p.Settle();
    EXPECT_EQ(p.Focus(), parts.List) << "an editor opened after a click on another task on " << TextOf(p.Focus());
    if (p.Focus() != parts.List) Key(p, VK_ESCAPE);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Folding the chosen task's group leaves no task chosen and moves the
// keyboard's place to the next task shown, which the list marks in no
// way: Space marked that task done and F2 opened its title's editor,
// though the user never chose it, and Down went on past it. Such a key
// now chooses it first.
TEST(ExploreFoldScenario, AKeyAfterAFoldChoosesTheTaskItWouldActOn) {
    TFoldSample sample("fold-space");
    ASSERT_NE(sample.Main, nullptr);
    TProgram& p = sample.P;
    const TMainWindowParts& parts = sample.Parts;

    Click(p, parts.ListItem(1));
    ASSERT_EQ(parts.ChosenTask(), "Call the bank");
    Click(p, sample.Places.WorkButton());
    ASSERT_EQ(parts.ChosenTask(), "Note");
    Key(p, VK_DOWN);
    EXPECT_EQ(parts.ChosenTask(), "Water the plants") << "Down went past the first task under the fold";

    // Home folded under it (Work folded above): the keyboard's place goes
    // to Buy milk, which Space chooses; chosen, Space marks it done.
    Click(p, sample.Places.SecondButtonUnderFoldedWork());
    ASSERT_EQ(parts.ChosenTask(), "Note");
    Key(p, VK_SPACE);
    EXPECT_EQ(parts.ChosenTask(), "Buy milk") << "Space chose no task";
    Key(p, VK_SPACE);

    // Home opened again by its caption, which leaves no task chosen: F2
    // chooses Buy milk rather than edit it unseen.
    Click(p, POINT{sample.Places.List.left + 200, sample.Places.List.top + 80});
    ASSERT_EQ(parts.ChosenTask(), "Note");
    Key(p, VK_F2);
    EXPECT_EQ(p.Focus(), parts.List) << "F2 edited " << TextOf(p.Focus());
    if (p.Focus() != parts.List) Key(p, VK_ESCAPE);
    EXPECT_EQ(parts.ChosenTask(), "Buy milk") << "F2 chose no task";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Water the plants"))[1], "--");
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk"))[1], "-d-");
    EXPECT_EQ(Fields(TaskLine(file, "Buy milk"))[0], ";" + FileDate(0) + ";[food]Buy milk");
}

// A click on a group's caption folds or opens the group; where the caption
// row crosses the places of a task's marks (its priority icon, the first
// pixels of the Tags and Due cells) the click also opened that mark's menu
// or panel for the chosen task, a task elsewhere: the priority menu over
// the caption, and the tags or date panel, whose OK then did nothing, as
// the click on the caption had left no task chosen.
TEST(ExploreFoldScenario, AClickOnAGroupsCaptionOpensNoTasksMark) {
    TFoldSample sample("fold-caption-marks");
    ASSERT_NE(sample.Main, nullptr);
    TProgram& p = sample.P;
    const TMainWindowParts& parts = sample.Parts;
    const RECT list = sample.Places.List;
    // By priority: High (three tasks) over Normal, whose caption row is
    // this far under the list's top.
    Key(p, 'P', Alt);
    const LONG normalCaption = list.top + 149;
    const struct {
        const char* What;
        POINT At;
    } marks[] = {{"the priority icon's place", {list.left + 24, normalCaption}},
                 {"the tags mark's place", {list.left + 328, normalCaption}},
                 {"the date mark's place", {list.left + 478, normalCaption}}};
    for (const auto& mark : marks) {
        Sleep(GetDoubleClickTime() + 50);
        Click(p, parts.ListItem(1));
        ASSERT_EQ(parts.ChosenTask(), "Fix the tap");
        Sleep(GetDoubleClickTime() + 50);
        Click(p, mark.At);
        EXPECT_TRUE(PopupMenus(p).empty()) << "a menu opened at " << mark.What;
        EXPECT_EQ(p.Focus(), parts.List) << "a panel opened at " << mark.What;
        if (!PopupMenus(p).empty() || p.Focus() != parts.List) Key(p, VK_ESCAPE);
    }
    // Three clicks on Normal's caption: folded.
    EXPECT_EQ(parts.ChosenTask(), "Note");
    Key(p, VK_HOME);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    EXPECT_EQ(parts.ChosenTask(), "Plan the budget") << "Normal is not folded";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Ctrl+click on a group's caption opens that group and folds the others;
// those above it got shorter under a list scrolled down to it, and the
// list kept its scroll place: the caption clicked went out of sight above,
// and a click where it had been chose one of its tasks.
TEST(ExploreFoldScenario, CtrlClickKeepsTheCaptionClickedInItsPlace) {
    TProgram p("fold-ctrl-click");
    WriteThreeLongLists(p);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const RECT list = RectOf(parts.List);
    // Home task 12 in sight at the top, Shop's caption right under it.
    Click(p, parts.ListItem(0));
    Key(p, VK_END);
    for (int i = 0; i < 12; ++i) Key(p, VK_UP);
    ASSERT_EQ(parts.ChosenTask(), "Home task 12");
    const POINT shopCaption{list.left + 200, list.top + 70};

    Click(p, shopCaption, Ctrl);
    Sleep(GetDoubleClickTime() + 50);
    // The same place again, without Ctrl: Shop's caption, which folds it
    // too, rather than a task of it.
    Click(p, shopCaption);
    EXPECT_EQ(parts.ChosenTask(), "Note") << "the click chose a task where Shop's caption was";
    Key(p, VK_DOWN);
    EXPECT_EQ(parts.ChosenTask(), "Note") << "a group is still open";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

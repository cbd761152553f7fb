// Faults a user met while changing the options with the main window in
// one state or another, each written as the user met it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The dark pixels of a window: the arrows of a number box's button.
int DarkPixels(HWND w) {
    int dark = 0;
    for (COLORREF c : PixelsOf(RectOf(w))) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
    return dark;
}

} // namespace

// A list font size typed past the box's limit was saved at the limit, but
// the list took the number as typed: "999" made every row a thousand
// pixels high, so the list showed one group caption and nothing else
// until the next start, which showed the rows of the saved size. The
// list shows at once what the next start shows, and so it does for a
// size typed below the limit.
TEST(ExploreOptionsScenario, AFontSizeTypedPastItsLimitShowsAtOnceAsItIsSaved) {
    TProgram p("explore-options-font-limit");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    for (const auto& [typed, saved] : {std::pair{999, "40"}, std::pair{-5, "6"}}) {
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        TypeNumber(p, d.ListFontSize, typed);
        Click(p, CenterOf(d.Ok));
        ASSERT_TRUE(Closed(d.Window));
        ASSERT_EQ(IniValue(p.SettingsPath(), "Options", "List Font Size"), saved);
        Shot(p, main, "explore-options-font-limit-" + std::string(saved));
        const std::vector<int> shown = GroupBandRows(main);
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
        p.Start();
        main = p.Main();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(Rows(shown), Rows(GroupBandRows(main))) << "the list's rows after Ok with " << typed << " typed";
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The options changed with the keyboard in the note editor: Ok and
// Cancel build the task list again, which chooses no task, so the note
// editor turns read-only and blank; the keyboard came back to it all the
// same, and what the user typed next went nowhere. It comes back to the
// task list instead, and the note typed before is kept.
TEST(ExploreOptionsScenario, AfterTheDialogTheKeyboardLeavesTheEmptiedNoteEditor) {
    TProgram p("explore-options-note-focus");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    for (const WORD close : {VK_RETURN, VK_ESCAPE}) {
        Click(p, PreparedTaskPoint(main, 1));
        ASSERT_NE(parts.NoteEditor.Get(), nullptr);
        Click(p, CenterOf(parts.NoteEditor.Get()));
        Key(p, VK_END, Ctrl);
        Type(p, std::string(close == VK_RETURN ? "Kitchen" : " sink"));
        ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        Key(p, close);    // Ok, then Cancel
        ASSERT_TRUE(Closed(d.Window));
        EXPECT_TRUE(BecomesForeground(main));
        EXPECT_EQ(parts.NoteCaption(), "Note");
        EXPECT_EQ(p.Focus(), parts.List) << "the keyboard is in " << ClassOf(p.Focus());
        Key(p, VK_DOWN);    // the list's keys work at once
        EXPECT_EQ(parts.NoteCaption(), "Note: Book the ferry");
    }
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_NE(TaskLine(ReadFile(p.DatabasePath()), "Call the plumber").find("Kitchen sink"), std::string::npos);
}


// The "General Settings" box folded with its arrow still let Tab walk
// through the settings inside it: the keyboard went, unseen, to check
// boxes that Space then changed. A folded box's settings are out of the
// keyboard's reach until it is unfolded again.
TEST(ExploreOptionsScenario, TabPassesOverTheSettingsOfAFoldedBox) {
    TProgram p("explore-options-folded");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    std::vector<HWND> boxes = ChildrenOfClass(d.Window, "TTxcExpandablePanel");
    ASSERT_EQ(boxes.size(), 2u);
    std::sort(boxes.begin(), boxes.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    const HWND general = boxes[0];
    const RECT unfolded = RectOf(general);
    const POINT arrow{unfolded.left + 12, unfolded.top + 11};
    Click(p, arrow);
    ASSERT_LT(RectOf(general).bottom - RectOf(general).top, 40) << "the box did not fold";
    Shot(p, d.Window, "explore-options-folded");
    std::string walked;
    for (int i = 0; i < 8; ++i) {
        Key(p, VK_TAB);
        const HWND focus = p.Focus();
        walked += ClassOf(focus) + " ";
        EXPECT_FALSE(IsChild(general, focus)) << "Tab went into the folded box: " << walked;
    }
    // Unfolded, its settings are reached again.
    Sleep(GetDoubleClickTime() + 50);
    Click(p, arrow);
    ASSERT_EQ(RectOf(general).bottom - RectOf(general).top, unfolded.bottom - unfolded.top);
    bool reached = false;
    for (int i = 0; i < 20 && !reached; ++i) {
        Key(p, VK_TAB);
        reached = IsChild(general, p.Focus()) && ClassOf(p.Focus()) == "TCheckBox";
    }
    EXPECT_TRUE(reached) << "Tab does not reach the unfolded box's check boxes";
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
}


// Tab through the dialog wiped the arrows of a number box: the box redrew
// its face as the keyboard went on to its arrow button, which stayed blank
// while it had the keyboard and after it, until the mouse passed over it.
TEST(ExploreOptionsScenario, TabThroughANumberBoxKeepsItsArrows) {
    TProgram p("explore-options-arrows");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    const std::vector<HWND> buttons = ChildrenOfClass(d.ListFontSize, "TTxcSpinButton");
    ASSERT_EQ(buttons.size(), 1u);
    const HWND arrows = buttons.front();
    // The program being idle does not mean the display has drawn what it
    // sent; on a busy machine the screen catches up a little later.
    int drawn = 0;
    WaitUntil([&] { return (drawn = DarkPixels(arrows)) > 6; });
    ASSERT_GT(drawn, 6) << "no arrows to begin with";
    for (int i = 0; i < 10 && p.Focus() != d.ListFontSize; ++i) Key(p, VK_TAB);
    ASSERT_EQ(p.Focus(), d.ListFontSize);
    Key(p, VK_TAB);
    ASSERT_EQ(p.Focus(), arrows);
    p.Settle();
    Shot(p, d.Window, "explore-options-arrows");
    EXPECT_TRUE(WaitUntil([&] { return DarkPixels(arrows) > 6; }))
        << "the arrows went blank with the keyboard on them";
    Key(p, VK_TAB);
    p.Settle();
    EXPECT_TRUE(WaitUntil([&] { return DarkPixels(arrows) == drawn; }))
        << "the arrows went blank after the keyboard passed: " << DarkPixels(arrows) << " dark pixels of " << drawn;
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

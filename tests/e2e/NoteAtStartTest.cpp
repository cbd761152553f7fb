// The note's place at the start, before any task is chosen: it looks as the
// empty note editor does, and a click there, the right button or Tab reach
// the editor as they always did, with no text taken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The screen rectangle below the note panel's caption bar: where the
// editor stands.
RECT NotePlace(const TMainWindowParts& parts) {
    RECT client{};
    GetClientRect(parts.NotePanel, &client);
    MapWindowPoints(parts.NotePanel, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const std::vector<HWND> bars = ChildrenOfClass(parts.NotePanel, "TXtDock");
    if (bars.empty()) return RECT{};
    client.top = RectOf(bars.front()).bottom;
    return client;
}

bool ContextMenuShows(const TProgram& p) {
    return WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "#32768" || ClassOf(w) == "TXtPopupWindow") return true;
        return false;
    }, 3000);
}

} // namespace

TEST(NoteAtStartScenario, TheNotesPlaceLooksAndAnswersAsTheEmptyEditor) {
    TProgram p("note-at-start");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    p.Settle();
    TMainWindowParts parts(main);
    ASSERT_NE(parts.NotePanel, nullptr);
    const RECT place = NotePlace(parts);
    ASSERT_GT(place.bottom - place.top, 20);
    const std::vector<COLORREF> first = PixelsOf(place);

    // The keyboard goes round the task list, the side tree and the note:
    // Shift+Tab from the list reaches the note, which takes no text while
    // no task is chosen, and Tab goes on to the list.
    ASSERT_EQ(p.Focus(), parts.List);
    Key(p, VK_TAB, Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    EXPECT_EQ(RectOf(parts.NoteEditor).top, place.top);
    EXPECT_EQ(RectOf(parts.NoteEditor).bottom, place.bottom);
    Type(p, "lost");
    EXPECT_EQ(TextOf(parts.NoteEditor), "");
    Key(p, VK_TAB);
    EXPECT_EQ(p.Focus(), parts.List);

    // A task without a note chosen, the keyboard back in the list: the
    // editor shows what its place showed at the start, pixel for pixel.
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    ASSERT_EQ(p.Focus(), parts.List);
    p.Settle();
    EXPECT_TRUE(PixelsOf(place) == first) << "the note's place changed its look";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Again from the start: a click in the note's place gives the editor the
    // keyboard, the right button opens its menu, and nothing is typed in.
    TProgram again("note-at-start-click");
    main = StartOnTwoLists(again);
    ASSERT_NE(main, nullptr);
    again.Settle();
    TMainWindowParts parts2(main);
    const RECT place2 = NotePlace(parts2);
    const POINT middle{(place2.left + place2.right) / 2, (place2.top + place2.bottom) / 2};
    Click(again, middle);
    ASSERT_EQ(again.Focus(), parts2.NoteEditor);
    Type(again, "lost");
    EXPECT_EQ(TextOf(parts2.NoteEditor), "");
    Click(again, middle, true);
    EXPECT_TRUE(ContextMenuShows(again)) << "no menu on the note";
    Key(again, VK_ESCAPE);
    // The note still follows the tasks chosen.
    Click(again, parts2.ListItem(1));
    EXPECT_EQ(TextOf(parts2.NoteEditor), "Two pages\r\n");
    Key(again, 'Q', Ctrl);
    EXPECT_EQ(again.WaitExit(), 0);
}

} // namespace qelvo::e2e

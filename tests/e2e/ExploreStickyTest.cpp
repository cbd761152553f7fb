// Sticky notes through the life of their tasks and of the database: the
// keyboard going between the main window and the notes while a note is
// typed in the note panel, and the database file after each step.
#include <gtest/gtest.h>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The program's sticky notes, top of the z-order first.
std::vector<HWND> StickyNotes(const TProgram& p) { return VisibleTops(p, "QelvoJotpaperNote"); }

bool WaitStickyCount(const TProgram& p, size_t count) {
    return WaitUntil([&] { return StickyNotes(p).size() == count; });
}

// Tools > Sticky Notes > Show All.
void ShowAllNotes(TProgram& p, HWND main) {
    OpenMainMenu(p, main, ToolsMenuX);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
}

// A point on a note's paper, clear of its caption.
POINT PaperOf(HWND note) {
    const RECT r = RectOf(note);
    return {r.left + 16, r.bottom - 16};
}

// The note field of a task in the saved file ("" when the task is missing).
std::string SavedNote(const TProgram& p, const std::string& title) {
    const std::string line = TaskLine(ReadFile(p.DatabasePath()), title);
    if (line.empty()) return "<no task " + title + ">";
    return Fields(line).at(5);
}

} // namespace

TEST(ExploreStickyScenario, ANoteTypedInThePanelReachesItsTaskAcrossTripsToTheStickyNotes) {
    TProgram p("sticky-typing-trips");
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitStickyCount(p, 1));
    HWND note = StickyNotes(p).front();

    // Typing in Write report's note, a click on its sticky note (lifted
    // over the main window first), then back by the main window's caption:
    // the keyboard is in the note again and the typing goes on.
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "alpha");
    ShowAllNotes(p, main);
    Click(p, PaperOf(note));
    EXPECT_TRUE(p.BecomesActive(note));
    Click(p, CaptionPointOf(main));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "beta");

    // The sticky note closed by its close box: the main window has the
    // keyboard back, in the note.
    ShowAllNotes(p, main);
    Click(p, PaperOf(note));
    const RECT r = RectOf(note);
    Click(p, POINT{r.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSMSIZE) / 2,
                   r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2});
    ASSERT_TRUE(WaitStickyCount(p, 0)) << "the close box left the note open";
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "gamma");

    // A new sticky note from the note shows all that was typed; its own
    // "Close all notes" ends it, and the typing goes on.
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitStickyCount(p, 1));
    EXPECT_NE(ReadFile(p.PathOf(JotpaperRecordFileName)).find("alphabetagamma"), std::string::npos);
    ShowAllNotes(p, main);
    Click(p, PaperOf(StickyNotes(p).front()), true);
    ASSERT_NE(p.WaitTopWindow("#32768"), nullptr) << "no menu on the note";
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitStickyCount(p, 0));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "delta");

    // Everything typed is in Write report's note, nothing in Call Tom's.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(SavedNote(p, "Write report").find("alphabetagammadelta"), std::string::npos)
        << SavedNote(p, "Write report");
    EXPECT_EQ(SavedNote(p, "Call Tom"), "");
}

} // namespace qelvo::e2e

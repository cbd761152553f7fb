// The main window through its states as a user takes it there and back:
// maximised and restored by the caption and the system menu (Alt+Space),
// minimised, closed in any of them, and what the next start makes of the
// place and size it was left with.
#include <gtest/gtest.h>

#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The window has the place and size 700 x 450 at 100, 80.
bool AtItsOwnPlace(HWND w) {
    const RECT r = RectOf(w);
    return r.left == 100 && r.top == 80 && r.right - r.left == 700 && r.bottom - r.top == 450;
}

int HeightOf(HWND w) {
    const RECT r = RectOf(w);
    return r.bottom - r.top;
}

// A command of the window's system menu by its underlined letter.
void SystemMenu(TProgram& p, WORD letter) {
    Key(p, VK_SPACE, Alt);
    Key(p, letter);
}

} // namespace

// Left maximised, the window comes back maximised; taken out of it, by the
// caption or the system menu, it takes the place and size it had before it
// was maximised, however many runs ago, and the file keeps them.
TEST(ExploreWindowStatesScenario, AWindowClosedMaximisedComesBackToItsOwnPlaceWhenRestored) {
    TProgram p("window-states-maximised");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=700\r\nHeight=450\r\nLeft=100\r\nTop=80\r\nMaximized=1\r\n"
                                "[Options]\r\nMinToTrayC=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(IsZoomed(main));
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(main); }));
    EXPECT_TRUE(AtItsOwnPlace(main)) << "restored to a place the user never gave it";

    // Maximised again from the system menu, closed from it: the next start
    // is maximised and Restore there gives the same place.
    SystemMenu(p, 'X');
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != 0; }));
    SystemMenu(p, 'C');
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Maximized"), "1");
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(IsZoomed(main));
    SystemMenu(p, 'R');
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(main); }));
    EXPECT_TRUE(AtItsOwnPlace(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Maximized"), "0");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Left"), "100");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Width"), "700");
}

// The side panel dropped beside the note for a while and then floated
// off: the note, which shared its dock's height meanwhile, gets back the
// height the user gave it, in this run and the next.
TEST(ExploreWindowStatesScenario, ANoteThatSharedItsDockWithTheSidePanelGetsItsHeightBack) {
    TProgram p("window-states-note-height");
    WriteWorkDatabase(p.DatabasePath(), {"Alpha task"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_TRUE(parts.SidePanel && parts.NotePanel);
    const int noteHeight = HeightOf(parts.NotePanel);
    const RECT note = RectOf(parts.NotePanel);
    Drag(p, PanelCaptionPoint(parts.SidePanel), POINT{note.right - 80, (note.top + note.bottom) / 2});
    // (A panel moved to another dock may be made again, with a new window.)
    const TMainWindowParts joined(main);
    ASSERT_NE(joined.SidePanel, nullptr);
    ASSERT_EQ(GetParent(joined.SidePanel), GetParent(joined.NotePanel)) << "the side panel did not join the note";
    const RECT window = RectOf(main);
    Drag(p, PanelCaptionPoint(joined.SidePanel), POINT{window.right + 150, window.top + 60});
    parts = TMainWindowParts(main);
    ASSERT_EQ(parts.SidePanel, nullptr) << "the side panel did not float off";
    Shot(p, main, "window-states-note-height");
    EXPECT_EQ(HeightOf(parts.NotePanel), noteHeight) << "the note kept the height of the panel that left";

    // Back beside the note when the program ends: the next start has the
    // side panel on its side and the note its own height.
    HWND floating = nullptr;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "TXtFloatingWindowParent") floating = w;
    ASSERT_NE(floating, nullptr);
    const std::vector<HWND> floated = ChildrenOfClass(floating, "TXtDockablePanel.UnicodeClass");
    ASSERT_EQ(floated.size(), 1u);
    Drag(p, PanelCaptionPoint(floated.front()), POINT{note.right - 80, (note.top + note.bottom) / 2});
    ASSERT_NE(TMainWindowParts(main).SidePanel, nullptr) << "the side panel did not dock again";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Note Panel", "DockedHeight"), "80");
}

} // namespace qelvo::e2e

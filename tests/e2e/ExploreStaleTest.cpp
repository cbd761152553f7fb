// Looks left over from an earlier state: the quick-entry box after a theme
// change, at the usual and at more dots per inch; a side panel wider than
// the window has room for; a stored colour that names no colour; the task
// list's header held as the window went away; a task's check box under a
// resting pointer after a refresh of the list, and the pointer's shape after
// the wheel scrolled other tasks under it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Theme menu entries of different metrics: the classic Default, an Office
// look, the striped one and one drawn over the default theme.
const std::vector<size_t> ThemesOfOtherMetrics = {0, 11, 16, 20};

// The quick-entry box (the only one-line edit of the main window), its
// place in the window's client area; empty when none is shown.
RECT QuickEntryBox(HWND main) {
    const std::vector<HWND> edits = ChildrenOfClass(main, "TXtEdit.UnicodeClass");
    if (edits.empty()) return RECT{};
    RECT box = RectOf(edits.front());
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&box), 2);
    return box;
}

// Where the box stands once the program has nothing left to do.
RECT SettledQuickEntryBox(TProgram& p, HWND main) {
    p.Settle();
    Sleep(300);
    p.Settle();
    return QuickEntryBox(main);
}

// Tools > Theme > the Index-th entry, all with the keyboard (the menu bar's
// captions move with the screen's dots per inch).
void ChooseThemeByKeys(TProgram& p, size_t index) {
    Key(p, 'O', Alt);
    Key(p, VK_UP);    // Options...
    Key(p, VK_UP);    // Theme
    Key(p, VK_RIGHT);
    for (size_t i = 0; i < index; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Starts under every theme of ThemesOfOtherMetrics for where the box is,
// then chooses each while one copy runs: the box stands where the start put
// it.
void QuickEntryFollowsThemes(const std::string& scenario) {
    std::vector<RECT> started;
    {
        TProgram p(scenario);
        ASSERT_NE(StartOnPrepared(p), nullptr);
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
    for (size_t theme : ThemesOfOtherMetrics) {
        TProgram p(scenario, true);
        WritePrivateProfileStringA("Form", "Theme", std::to_string(theme).c_str(), p.SettingsPath().c_str());
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        started.push_back(SettledQuickEntryBox(p, main));
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
    TProgram p(scenario, true);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    for (size_t i = 0; i < ThemesOfOtherMetrics.size(); ++i) {
        ChooseThemeByKeys(p, ThemesOfOtherMetrics[i]);
        const RECT box = SettledQuickEntryBox(p, main);
        EXPECT_TRUE(EqualRect(&box, &started[i]))
            << "theme entry " << ThemesOfOtherMetrics[i] << ": box at " << Describe(box) << ", a start puts it at "
            << Describe(started[i]);
        Shot(p, main, scenario + "-" + std::to_string(ThemesOfOtherMetrics[i]));
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The width of a window.
int WidthOf(HWND w) { return RectOf(w).right - RectOf(w).left; }

// Waits until the task list has at least half the main window's width.
bool ListHasHalf(TProgram& p, HWND main, HWND list) {
    return WaitUntil([&] {
        p.Settle();
        return WidthOf(list) * 2 >= WidthOf(main) - 40;
    }, 3000);
}

// Settled, and once more after the timers a move or a refill arms (the
// hot tracking's, the repaint's) have run.
void SettleAfterTimers(TProgram& p) {
    p.Settle();
    Sleep(200);
    p.Settle();
}

} // namespace

TEST(ExploreStaleScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesIt) {
    QuickEntryFollowsThemes("explore-stale-quick-entry");
}

TEST(ExploreStaleScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesItAtMoreDotsPerInch) {
    TRegistryValues values;
    SetScreenDpi(values, 144);
    QuickEntryFollowsThemes("explore-stale-quick-entry-dpi");
}

TEST(ExploreStaleScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesItInALargerSystemFont) {
    TRegistryValues values;
    SetScreenDpi(values, 144);
    SetSystemFonts(values, L"Tahoma", -18);
    QuickEntryFollowsThemes("explore-stale-quick-entry-font");
}


// A side panel wider than the window (stored on a larger screen, or dragged
// wide in a maximised window that was then restored) left the task list
// about 60 pixels: a column of row numbers. The panel gives way to half the
// window, and the width the user gave it comes back where it fits.
TEST(ExploreStaleScenario, ASidePanelWiderThanTheWindowLeavesTheListHalfAndComesBackWhereItFits) {
    TProgram p("explore-stale-side-width");
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=804\r\nHeight=500\r\n[Org Panel]\r\nDockedWidth=3000\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    EXPECT_TRUE(ListHasHalf(p, main, parts.List)) << "a list " << WidthOf(parts.List) << " wide";
    EXPECT_GE(WidthOf(parts.Tree), 100);
    Shot(p, main, "explore-stale-side-width-stored");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // A width no screen here shows beside a list is not kept.
    EXPECT_LE(std::atoi(IniValue(p.SettingsPath(), "Org Panel", "DockedWidth").c_str()), 804);

    // Maximised, the panel dragged wide; then restored and maximised again.
    WritePrivateProfileStringA("Org Panel", "DockedWidth", "200", p.SettingsPath().c_str());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    parts = TMainWindowParts(main);
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    p.Settle();
    const RECT m = RectOf(main), side = RectOf(parts.SidePanel);
    Drag(p, POINT{side.right - 1, (side.top + side.bottom) / 2}, POINT{m.right - 300, (side.top + side.bottom) / 2});
    p.Settle();
    const int given = WidthOf(parts.SidePanel);
    ASSERT_GT(given, 804) << "the drag did not widen the panel";
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }));
    EXPECT_TRUE(ListHasHalf(p, main, parts.List)) << "a list " << WidthOf(parts.List) << " wide";
    Shot(p, main, "explore-stale-side-width-restored");
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] {
        p.Settle();
        return WidthOf(parts.SidePanel) == given;
    }, 3000)) << "the panel came back " << WidthOf(parts.SidePanel) << " wide, not " << given;
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) == FALSE; }));
    p.Settle();
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // The user's width is the one kept for a window that has room for it.
    const int stored = std::atoi(IniValue(p.SettingsPath(), "Org Panel", "DockedWidth").c_str());
    EXPECT_GT(stored, 804);
    EXPECT_LE(stored, given);
}

// A group underline colour stored as a value that names no colour
// ("$FFFFFFFF", a top byte no colour has) painted the band black. The band
// keeps its usual colour instead.
TEST(ExploreStaleScenario, AnUnderlineColourThatNamesNoColourLeavesTheUsualBand) {
    const COLORREF usual = RGB(0xE4, 0x6D, 0x34);
    for (const char* stored : {"$FFFFFFFF", "$12345678", "$FF0000FF", "$00346DE4"}) {
        TProgram p("explore-stale-band-colour");
        WriteFile(p.DatabasePath(), TwoListsDatabase());
        WriteFile(p.SettingsPath(), std::string("[Options]\r\nGroups Underline Color=") + stored + "\r\n");
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const RECT list = RectOf(TMainWindowParts(main).List);
        EXPECT_TRUE(WaitUntil([&] {
            p.Settle();
            return ShareOf(list, usual) > 0.002;
        }, 2000)) << stored << ": no band of the usual colour";
        EXPECT_LT(ShareOf(list, RGB(0, 0, 0)), 0.002) << stored << ": a black band";
        Shot(p, main, "explore-stale-band-colour");
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
}

// A column of the task list's header held down by the mouse as the window
// went to the notification area (the hot key, pressed meanwhile) or to the
// taskbar: the button let go while the window was away, the column still
// looked held when it came back, and the next click on the header did not
// sort. It shows plain, and the next click sorts.
TEST(ExploreStaleScenario, AHeaderColumnHeldAsTheWindowWentAwayIsPlainWhenItComesBack) {
    TProgram p("explore-stale-header-held");
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    // Minimised to the taskbar, not to the notification area.
    WriteFile(p.SettingsPath(), "[Options]\r\nMinToTrayC=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const RECT list = RectOf(TMainWindowParts(main).List);
    const RECT header{list.left + 2, list.top + 2, list.right - 2, list.top + 18};
    const POINT onTitle{list.left + 60, list.top + 10};
    auto button = [&](bool down) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &in, sizeof in);
        p.Settle();
    };
    MoveTo(p, POINT{5, 5});
    SettleAfterTimers(p);
    const std::vector<COLORREF> plain = PixelsOf(header);
    for (const bool minimise : {false, true}) {
        const char* how = minimise ? "minimised" : "the hot key";
        MoveTo(p, onTitle);
        button(true);
        SettleAfterTimers(p);
        ASSERT_FALSE(SamePixels(plain, PixelsOf(header), {})) << "the column does not look held";
        if (minimise) {
            PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
            ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) || !IsWindowVisible(main); }));
        } else {
            Key(p, 'O', Ctrl | Shift);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
        }
        MoveTo(p, POINT{5, 5});
        button(false);
        if (minimise) {
            PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
            ASSERT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }));
        } else {
            Key(p, 'O', Ctrl | Shift);
            ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
        }
        SettleAfterTimers(p);
        EXPECT_TRUE(SamePixels(plain, PixelsOf(header), {})) << how;
        Shot(p, main, std::string("explore-stale-header-held-") + (minimise ? "minimised" : "hot-key"));
    }
    // A click on Title sorts by it (the sort mark comes); it is a click of
    // its own, not the second half of a double click with the last press.
    Sleep(GetDoubleClickTime() + 100);
    Click(p, onTitle);
    MoveTo(p, POINT{5, 5});
    SettleAfterTimers(p);
    EXPECT_FALSE(SamePixels(plain, PixelsOf(header), {})) << "a click on the header after did not sort";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The pointer rests on a task's check box, which shows lit; a filter
// changed from the keyboard fills the list again with the same task there:
// the box showed plain until the pointer moved.
TEST(ExploreStaleScenario, ACheckBoxUnderARestingPointerStaysLitThroughARefill) {
    TProgram p("explore-stale-check-lit");
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const POINT box = parts.ListItem(0, 10);
    const RECT around{box.x - 8, box.y - 8, box.x + 8, box.y + 8};
    MoveTo(p, POINT{5, 5});
    SettleAfterTimers(p);
    const std::vector<COLORREF> plain = PixelsOf(around);
    MoveTo(p, box);
    SettleAfterTimers(p);
    const std::vector<COLORREF> lit = PixelsOf(around);
    ASSERT_FALSE(SamePixels(plain, lit, {})) << "the box under the pointer is not lit";
    for (int i = 0; i < 2; ++i) {
        Key(p, 'D', Ctrl);  // Hide Done, on and off: the list is filled again
        SettleAfterTimers(p);
        EXPECT_TRUE(SamePixels(lit, PixelsOf(around), {})) << "after refill " << i + 1;
    }
    Shot(p, main, "explore-stale-check-lit");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The pointer rests on a task's priority mark (a hot zone: the hand) while
// the wheel scrolls the list: marks and group captions (the arrow) pass
// under it. The pointer kept the shape of what was scrolled away until it
// moved.
TEST(ExploreStaleScenario, ThePointerTakesTheShapeOfWhatTheWheelScrollsUnderIt) {
    TProgram p("explore-stale-wheel-cursor");
    std::string lists, tasks;
    for (int l = 0; l < 15; ++l) {
        lists += "List " + std::to_string(l) + "\xF7" "0\xF7\r\n";
        for (int t = 0; t < 3; ++t)
            tasks += "Task " + std::to_string(l * 3 + t) + "\xF7--\xF7" + std::to_string(1000000000 + l * 3 + t) +
                     "\xF7List " + std::to_string(l) + "\xF7" "1/2/2025\xF7\xF7\r\n";
    }
    const std::string db =
        "d_id-0123456789\r\n" + lists + "<--<*&^Folders^&*>-->\r\n<--<*&^Tags^&*>-->\r\n" + tasks;
    WriteFile(p.DatabasePath(), db);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const POINT at = parts.ListItem(0, 27);
    auto cursor = [] {
        CURSORINFO info{};
        info.cbSize = sizeof info;
        GetCursorInfo(&info);
        return info.hCursor;
    };
    MoveTo(p, at);
    SettleAfterTimers(p);
    int changes = 0;
    HCURSOR last = cursor();
    for (int i = 0; i < 8; ++i) {
        Wheel(p, at, -WHEEL_DELTA);
        SettleAfterTimers(p);
        const HCURSOR afterWheel = cursor();
        // A move on the spot shows the shape the pointer should have.
        MoveTo(p, POINT{at.x + 1, at.y});
        MoveTo(p, at);
        SettleAfterTimers(p);
        EXPECT_EQ(afterWheel, cursor()) << "wheel notch " << i + 1;
        changes += cursor() != last;
        last = cursor();
    }
    EXPECT_GT(changes, 0) << "the pointer never passed from a mark to a caption";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

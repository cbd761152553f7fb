// Switching themes the way a user does, through Tools > Theme, and looking
// at the real main window under each one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

// The Theme menu lists Default first, then the others by name.
const std::vector<std::string> ThemeMenuOrder = {
    "Default", "Aluminum", "Athen",   "Dream",   "Miranda",  "Monai", "Nexos2",
    "Nexos3",  "Nexos4",   "Nexos5",  "NexosX",  "Office11Adaptive", "OfficeC", "Relifer",
    "Roma",    "SentimoX", "Stripes", "Tristan", "Tristan2", "Whidbey", "Zezio"};

// The flat blue of the program icon's tile.
constexpr COLORREF IconBlue = RGB(36, 104, 196);

// The share of pure black in a window's rectangle on the screen.
double BlackShare(HWND w) { return ShareOf(RectOf(w), RGB(0, 0, 0)); }

} // namespace

TEST(ThemesScenario, EveryThemeFromTheMenuPaintsTheTabStripAndNoteCaptionAndIsKept) {
    TProgram p("themes");
    p.Start();
    ASSERT_NE(p.WaitDialog(), nullptr);
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // The program's own icon, not the system's blank one: in the caption
    // and in the notification area.
    const RECT frame = RectOf(main);
    EXPECT_TRUE(
        WaitUntil([&] { return ShareOf(RECT{frame.left, frame.top, frame.left + 28, frame.top + 24}, IconBlue) > 0.0; }));
    // The tray icon goes up once the window has painted.
    HWND trayArea = nullptr;
    WaitUntil([&] { return (trayArea = FindWindowA(nullptr, "Wine System Tray")) != nullptr; });
    ASSERT_NE(trayArea, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ShareOf(RectOf(trayArea), IconBlue) > 0.0; }));
    // The side panel's caption bar holds the tab strip; the note panel's
    // holds its caption. Both are the panels' caption toolbars.
    const std::vector<HWND> captions = ChildrenOfClass(main, "TXtDockablePanelToolbar.UnicodeClass");
    ASSERT_EQ(captions.size(), 2u);
    for (size_t i = 0; i < ThemeMenuOrder.size(); ++i) {
        const std::string& name = ThemeMenuOrder[i];
        ChooseTheme(p, main, i);
        ASSERT_EQ(p.TopWindows().front(), main) << name << ": a menu stayed open";
        Shot(p, main, "theme-" + name);
        for (HWND caption : captions)
            EXPECT_LT(BlackShare(caption), 0.3) << name << ": the caption bar at " << RectOf(caption).top
                                                << " is painted black";
    }
    // The last choice is the one the next start gets.
    ChooseTheme(p, main, 19);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Theme"), "19");
}

} // namespace qelvo::e2e

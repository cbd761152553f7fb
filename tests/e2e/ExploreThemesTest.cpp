// Themes chosen while the program runs: the window then shows what a start
// under the same theme shows, and with the system's classic look a choice
// made while the note is being written keeps the keyboard in the note and
// leaves nothing on the screen that a whole repaint would change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Theme menu entries: the classic Default, a theme of its own colour table
// and one drawn over the default theme.
constexpr size_t DefaultTheme = 0, Office11AdaptiveTheme = 11, StripesTheme = 16, ZezioTheme = 20;

// The pointer passes into the task list and out of the window, so nothing
// of the window is left under it or lit by it.
void PointerAway(TProgram& p, HWND main) {
    MoveTo(p, CenterOf(ChildrenOfClass(main, "TGvListview").front()));
    MoveTo(p, POINT{5, 5});
    p.Settle();
    Sleep(200);
    p.Settle();
}

// The system's classic look (visual styles off) for the programs started
// while it lives; the look the user had comes back after it.
class TClassicLook {
public:
    TClassicLook() {
        FValues.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager",
                          "ThemeActive", "0");
    }

private:
    TRegistryValues FValues;
};

} // namespace

TEST(ExploreThemesScenario, AThemeChosenWhileTheProgramRunsLooksAsAStartUnderIt) {
    const std::vector<size_t> themes = {DefaultTheme, Office11AdaptiveTheme, ZezioTheme};
    std::vector<std::vector<COLORREF>> started;
    RECT frame{};
    {
        TProgram p("explore-themes-as-started");
        ASSERT_NE(StartOnPrepared(p), nullptr);
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
    for (size_t theme : themes) {
        TProgram p("explore-themes-as-started", true);
        WritePrivateProfileStringA("Form", "Theme", std::to_string(theme).c_str(), p.SettingsPath().c_str());
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        PointerAway(p, main);
        frame = RectOf(main);
        started.push_back(PixelsOf(frame));
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
    TProgram p("explore-themes-as-started", true);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    for (size_t i = 0; i < themes.size(); ++i) {
        ChooseTheme(p, main, themes[i]);
        PointerAway(p, main);
        EXPECT_TRUE(SamePixels(started[i], PixelsOf(RectOf(main)), {frame})) << "theme entry " << themes[i];
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreThemesScenario, InTheClassicLookThemesChosenWhileTheNoteIsWrittenKeepItsKeyboardAndPaintWhole) {
    TClassicLook classic;
    TProgram p("explore-themes-classic-note");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    Click(p, PreparedTaskPoint(main, 0));
    const TMainWindowParts parts(main);
    HWND note = parts.NoteEditor.Get();
    ASSERT_NE(note, nullptr);
    Click(p, CenterOf(note));
    Key(p, VK_END, Ctrl);
    Type(p, " (port)");
    for (size_t theme : {ZezioTheme, DefaultTheme, StripesTheme}) {
        ChooseTheme(p, main, theme);
        EXPECT_EQ(p.Focus(), note) << "theme entry " << theme << ": the keyboard went to " << ClassOf(p.Focus());
        PointerAway(p, main);
        EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {RectOf(main)})) << "theme entry " << theme;
    }
    Type(p, "!");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(ReadFile(p.DatabasePath()).find("Cabin for two\xF8 (port)!"), std::string::npos)
        << "the note did not keep what was typed round the theme changes";
}

} // namespace qelvo::e2e

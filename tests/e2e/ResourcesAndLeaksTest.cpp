// A day's use leaves nothing behind: windows, panels, views, menus,
// themes, font sizes and titles used over and over, the program's GDI
// objects, handles, windows, threads and memory compared after warm-up
// rounds and after more rounds of the same use.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "gcl/rtl/WinApi.h"

namespace qelvo::e2e {

namespace {

constexpr int HelpMenuX = 125;

// Whether a window of the program opened by the last input goes again.
bool Goes(HWND w) { return WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); }); }

} // namespace

TEST(ResourcesAndLeaksScenario, MenusAndSmallWindowsOpenedAllDayLeaveNothingBehind) {
    TProgram p("leaks-menus-and-small-windows");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    int round = 0;
    auto oneRound = [&] {
        ++round;
        for (int x : {FileMenuX, ViewMenuX, ToolsMenuX, HelpMenuX}) {
            OpenMainMenu(p, main, x);
            if (PopupMenus(p).empty()) {
                ADD_FAILURE() << "no menu at " << x;
                return false;
            }
            Key(p, VK_ESCAPE);
            Key(p, VK_ESCAPE);
        }
        // The task list's and the side tree's menus, and the filter bar's
        // menu of lists (Ctrl+L).
        Click(p, PreparedTaskPoint(main, 1), true);
        const bool listMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        Click(p, parts.TreeRow(1), true);
        const bool treeMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        Key(p, 'L', Ctrl);
        const bool listsMenu = !PopupMenus(p).empty();
        Key(p, VK_ESCAPE);
        if (!listMenu || !treeMenu || !listsMenu) {
            ADD_FAILURE() << "round " << round << ": task menu " << listMenu << ", tree menu " << treeMenu
                          << ", menu of lists " << listsMenu;
            return false;
        }
        // The note's edit menu, on a task with a note.
        Click(p, PreparedTaskPoint(main, 0));
        if (!parts.NoteEditor || !OpenEditMenu(p, parts.NoteEditor)) {
            ADD_FAILURE() << "round " << round << ": no note menu";
            return false;
        }
        Key(p, VK_ESCAPE);
        // Help > About..., and Exit without saving answered No.
        ChooseFromMenu(p, main, HelpMenuX, -1);
        HWND about = p.WaitTopWindow("TAboutF");
        if (!about) {
            ADD_FAILURE() << "round " << round << ": no About box";
            return false;
        }
        Key(p, VK_ESCAPE);
        if (!Goes(about)) {
            ADD_FAILURE() << "the About box stayed";
            return false;
        }
        Key(p, 'X', Ctrl | Shift);
        if (!Answer(p, "exit without saving", "&No")) {
            ADD_FAILURE() << "round " << round << ": the question before exiting without saving";
            return false;
        }
        return true;
    };
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoLeak(p, warm, "menus, About, a question", [&] {
        for (int i = 0; i < 3; ++i)
            if (!oneRound()) return false;
        return true;
    });
    EXPECT_TRUE(p.Running()) << "the program ended after a question answered No";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The main window's client area as it shows on the screen (the caption
// names the last save's time, which moves on).
std::vector<COLORREF> ClientPixels(const TProgram& p, HWND main) {
    p.Settle();
    Sleep(150);    // painting waits for an empty queue
    p.Settle();
    RECT r{};
    GetClientRect(main, &r);
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return PixelsOf(r);
}

size_t Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

// A window the program opens modally, closed with Keys; false when it did
// not come or did not go.
bool OpensAndCloses(TProgram& p, const std::string& className, const std::function<void()>& close) {
    HWND w = p.WaitTopWindow(className);
    if (!w) {
        ADD_FAILURE() << "no " << className;
        return false;
    }
    close();
    const bool gone = WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); });
    EXPECT_TRUE(gone) << className << " stayed";
    return gone;
}

} // namespace

TEST(ResourcesAndLeaksScenario, WindowsPanelsViewsAndNotesOpenedAllDayLeaveNothingBehind) {
    TProgram p("long-day-windows");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    int round = 0;
    auto oneRound = [&] {
        ++round;
        // Tools > Options, looked at and left with Esc; File > Print...,
        // closed with Alt+F4.
        ChooseFromMenu(p, main, ToolsMenuX, OptionsSteps);
        if (!OpensAndCloses(p, "TOptionsF", [&] { Key(p, VK_ESCAPE); })) return false;
        ChooseFromMenu(p, main, FileMenuX, PrintSteps);
        if (!OpensAndCloses(p, "TPrintF", [&] { Key(p, VK_F4, Alt); })) return false;
        // A task's tags, due date and list panels opened and left; its
        // priority up and down again; a sticky note made and closed.
        Click(p, PreparedTaskPoint(main, 1));
        for (WORD panel : {'T', 'D', 'L'}) {
            Key(p, panel, Shift);
            Key(p, VK_ESCAPE);
        }
        Key(p, VK_UP, Ctrl);
        Key(p, VK_DOWN, Ctrl);
        Key(p, 'K', Ctrl);
        if (!WaitUntil([&] { return VisibleTops(p, "QelvoJotpaperNote").size() == 1; })) {
            ADD_FAILURE() << "no sticky note";
            return false;
        }
        OpenMainMenu(p, main, ToolsMenuX);    // Sticky Notes > Close All
        for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
        Key(p, VK_RIGHT);
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return VisibleTops(p, "QelvoJotpaperNote").empty(); }));
        // Find mode on and off; the filters and groupings through their
        // keys, each back where it was.
        Key(p, 'F', Ctrl);
        Type(p, "the");
        Key(p, 'N', Ctrl);
        Key(p, VK_TAB);    // to the task list: Ctrl+A in the box selects its text
        for (WORD filter : {'1', '4', '0', 'O', 'A'}) Key(p, filter, Ctrl);
        Key(p, 'D', Ctrl);
        Key(p, 'D', Ctrl);
        for (int i = 0; i < 4; ++i) Key(p, 'P', Ctrl);
        for (WORD grouping : {'D', 'P', 'T', 'N', 'L'}) Key(p, grouping, Alt);
        // The Tags column and the note panel hidden and shown again.
        for (int steps : {ShowTagsColumnSteps, ShowTagsColumnSteps, ShowNotePanelSteps, ShowNotePanelSteps})
            ChooseFromMenu(p, main, ViewMenuX, steps);
        // To the notification area with the hot key, and back.
        Key(p, 'O', Ctrl | Shift);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "round " << round;
        Key(p, 'O', Ctrl | Shift);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main); })) << "round " << round;
        // The group-by bar floated and docked again.
        HWND groupBy = GroupByBar(main, parts);
        if (!groupBy) {
            ADD_FAILURE() << "no group-by bar\n" << DescribeChildren(main);
            return false;
        }
        const RECT docked = RectOf(groupBy);
        Drag(p, POINT{docked.left + 3, (docked.top + docked.bottom) / 2}, POINT{500, 560});
        HWND floating = GetAncestor(groupBy, GA_ROOT);
        if (ClassOf(floating) != "TXtFloatingWindowParent") {
            ADD_FAILURE() << "the group-by bar did not float";
            return false;
        }
        const RECT f = RectOf(floating);
        const RECT quickBar = RectOf(GetParent(parts.TopEdit));
        Drag(p, POINT{f.left + 30, f.top + 8}, POINT{quickBar.left + 30, quickBar.bottom + 4});
        if (!WaitUntil([&] { return VisibleTops(p, "TXtFloatingWindowParent").empty(); })) {
            ADD_FAILURE() << "the group-by bar did not dock again";
            return false;
        }
        Click(p, PreparedTaskPoint(main, 5));
        return true;
    };
    // Two rounds of warm-up: the first moves the group-by bar below the
    // filter bar for good, and the task list keeps its paint bitmap for the
    // height that leaves it.
    ASSERT_TRUE(oneRound()) << "warm-up";
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    const std::vector<COLORREF> look = ClientPixels(p, main);
    const RECT place = RectOf(main);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoLeak(p, warm, "dialogs, panels, views, notes, tray, toolbar", [&] {
        for (int i = 0; i < 3; ++i)
            if (!oneRound()) return false;
        return true;
    });
    EXPECT_EQ(Differing(look, ClientPixels(p, main)), 0u) << "the window looks other than after the warm-up";
    const RECT now = RectOf(main);
    EXPECT_TRUE(EqualRect(&place, &now)) << "the window moved to " << now.left << "," << now.top << " "
                                         << now.right - now.left << "x" << now.bottom - now.top;
    // The keyboard is still the main window's: a shortcut works.
    EXPECT_TRUE(IsChild(main, p.Focus()));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ResourcesAndLeaksScenario, ThemesFontSizesAndTitlesChangedAllDayLeaveNothingBehind) {
    TProgram p("long-day-themes");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The rounds start with a task chosen, and so the note editor made
    // (which a first choice makes): so does the warm-up.
    Click(p, PreparedTaskPoint(main, 5));
    const std::vector<size_t> themes = {1, 16, 12, 0};    // Aluminum, Stripes, OfficeC, Default
    int round = 0;
    auto oneRound = [&] {
        ++round;
        for (size_t theme : themes) ChooseTheme(p, main, theme);
        // The list's and the note's font sizes set in Tools > Options,
        // then set back.
        for (int size : {12, 11}) {
            const TOptionsDialog options = OpenOptionsDialog(p, main);
            if (!options.NoteFontSize) return false;
            TypeNumber(p, options.ListFontSize, size);
            TypeNumber(p, options.NoteFontSize, size - 1);
            Key(p, VK_RETURN);
            if (!WaitUntil([&] { return !IsWindow(options.Window) || !IsWindowVisible(options.Window); })) {
                ADD_FAILURE() << "Options stayed";
                return false;
            }
        }
        // A title typed in place and saved, and typed back and saved.
        for (const char* title : {"Book the ferry early", "Book the ferry"}) {
            Click(p, PreparedTaskPoint(main, 5));
            Key(p, VK_HOME);
            Key(p, VK_RETURN);
            Type(p, title);
            Key(p, VK_RETURN);
            SaveByKeys(p);
            const std::vector<std::string> fields = Fields(TaskLine(ReadFile(p.DatabasePath()), title));
            if (fields.empty() || fields[0] != std::string("+;7/14/2031;") + title) {
                ADD_FAILURE() << "\"" << title << "\" was not saved";
                return false;
            }
        }
        return true;
    };
    ASSERT_TRUE(oneRound()) << "warm-up";
    const TUsage warm = UsageOf(p);
    const std::vector<COLORREF> look = ClientPixels(p, main);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(oneRound()) << "round " << round;
    ExpectNoGrowth(warm, UsageAtTheEnd(p, warm), "themes, font sizes, titles saved");
    EXPECT_EQ(Differing(look, ClientPixels(p, main)), 0u) << "the window looks other than after the warm-up";
    EXPECT_NE(TextOf(main).find("[Last Save at"), std::string::npos) << TextOf(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

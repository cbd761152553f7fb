// More of a day of use: a list or tag named with the characters that
// separate them in the file, the due date set from the list's date panel,
// a toolbar's hint when a toolbar is dragged off its dock, numbers out of
// range typed into the Options dialog.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// The tag lines of a saved database.
std::vector<std::string> TagLines(const std::string& file) {
    std::vector<std::string> tags;
    const std::string start = "<--<*&^Folders^&*>-->\r\n", end = "<--<*&^Tags^&*>-->";
    size_t at = file.find(start);
    const size_t stop = file.find(end);
    if (at == std::string::npos || stop == std::string::npos) return tags;
    for (at += start.size(); at < stop;) {
        const size_t eol = file.find("\r\n", at);
        tags.push_back(file.substr(at, eol - at));
        at = eol + 2;
    }
    return tags;
}

} // namespace

TEST(UseMoreScenario, ListAndTagNamesKeepOutWhatSeparatesThemInTheFile) {
    TProgram p("usemore-name-separators");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // A list's name ends at "\xF7" in the file: a new list or a list
    // renamed in place with one is refused.
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, std::wstring(L"10\u00f72"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new list named 10/2", "A list name cannot hold"));
    Key(p, VK_ESCAPE);
    Click(p, parts.TreeRow(1));  // Work
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"W\u00f7rk"));
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "Work renamed with a division sign", "A list name cannot hold"));

    // A task carries the tag "home".
    Click(p, parts.ListItem(0));
    Key(p, 'T', Shift);
    Key(p, VK_UP);  // from the tags' list to their edit
    Type(p, "home");
    Key(p, VK_RETURN);

    // To the tags, and rename "home" in place to "a,b": refused, the tag
    // keeps its name.
    Click(p, parts.TreeRow(0));
    Key(p, VK_RIGHT, Ctrl);
    ASSERT_EQ(TextOf(parts.NewListLabel), "< New tag >");
    Click(p, parts.TreeRow(1));
    Key(p, VK_RETURN);
    Type(p, "a,b");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a tag renamed to a,b"));
    // "[", "]" and ";" likewise.
    Key(p, VK_RETURN);
    Type(p, "x;y");
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a tag renamed to x;y"));
    // A plain name goes in.
    Key(p, VK_RETURN);
    Type(p, "house");
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(300));

    // A new tag pasted with a comma: the same word.
    PutOnClipboard(L"c,d");
    Click(p, CenterOf(parts.NewListLabel));
    Key(p, 'V', Ctrl);
    Key(p, VK_RETURN);
    ASSERT_TRUE(NameRefused(p, "a new tag pasted as c,d"));
    Key(p, VK_ESCAPE);

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(TagLines(file), std::vector<std::string>{"house"}) << file;
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Work", "Home"}));
    EXPECT_NE(Fields(TaskLine(file, "Call Tom")).at(0).find("[house]"), std::string::npos) << file;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(UseMoreScenario, TheDueDateSetFromItsPanelShowsAsARefreshShowsIt) {
    TProgram p("usemore-due-panel");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, 'D', Shift);
    Key(p, VK_UP);      // tomorrow: the panel starts on today
    Key(p, VK_RETURN);
    Shot(p, main, "usemore-due-after-panel");
    const RECT list = RectOf(parts.List);
    const POINT row = parts.ListItem(0);
    const RECT strip{list.left + 2, row.y - 8, list.right - 20, row.y + 8};
    const std::vector<COLORREF> afterPanel = PixelsOf(strip);
    // A refresh: to the list "Work" and back to "All".
    Click(p, parts.TreeRow(1));
    Click(p, parts.TreeRow(0));
    Click(p, parts.ListItem(0));
    Shot(p, main, "usemore-due-after-refresh");
    EXPECT_TRUE(PixelsOf(strip) == afterPanel) << "the Due cell changed on refresh";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(UseMoreScenario, AToolbarHintGoesWhenTheToolbarMoves) {
    TProgram p("usemore-hint-move");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // The group-by toolbar: the narrow one right under the quick-entry bar.
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300 && RectOf(w).top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || RectOf(w).top < RectOf(groupBy).top))
            groupBy = w;
    ASSERT_NE(groupBy, nullptr);
    const RECT bar = RectOf(groupBy);
    auto hint = [&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "TBitmapHint") return w;
        return HWND{};
    };
    auto floatingWindow = [&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "TXtFloatingWindowParent") return w;
        return HWND{};
    };
    // Off its dock by its grip: it floats, and its buttons show hints.
    Drag(p, POINT{bar.left + 3, (bar.top + bar.bottom) / 2}, POINT{bar.left + 300, bar.top + 200});
    HWND floating = floatingWindow();
    ASSERT_NE(floating, nullptr) << "the toolbar did not float";
    auto restOnNothing = [&] {
        const RECT f = RectOf(floating);
        MoveTo(p, POINT{f.left + 90, f.bottom - 10});
        MoveTo(p, POINT{f.left + 92, f.bottom - 10});
        return WaitUntil([&] { return hint() != nullptr; }, 3000);
    };
    // Resting on "Nothing" shows its hint; moved by its caption, the hint
    // goes with the move.
    ASSERT_TRUE(restOnNothing()) << "no hint on the floating toolbar";
    EXPECT_EQ(TextOf(hint()), "Nothing (Alt+N)");
    const RECT f = RectOf(floating);
    Drag(p, POINT{f.left + 30, f.top + 5}, POINT{f.left + 90, f.top + 85}, 3);
    EXPECT_EQ(hint(), nullptr) << "the hint stayed after the toolbar moved";
    // Likewise when the other toolbar is dragged off its dock.
    ASSERT_TRUE(restOnNothing());
    HWND filters = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 400 && w != groupBy) filters = w;
    ASSERT_NE(filters, nullptr);
    const RECT fr = RectOf(filters);
    Drag(p, POINT{fr.left + 3, (fr.top + fr.bottom) / 2}, POINT{fr.left + 200, fr.top + 250}, 3);
    EXPECT_EQ(hint(), nullptr) << "the hint stayed after a toolbar floated";
    Shot(p, GetDesktopWindow(), "usemore-hint-moved");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(UseMoreScenario, NumbersOutOfRangeTypedIntoTheOptionsAreTakenAtTheirLimits) {
    TProgram p("usemore-options-range");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, ToolsMenuX, -1);
    HWND dialog = p.WaitTopWindow("TOptionsF");
    ASSERT_NE(dialog, nullptr);
    // The number boxes, top to bottom: list font, note font, auto-save
    // interval; each typed over from the keyboard.
    std::vector<HWND> spins = ChildrenOfClass(dialog, "TTxcSpinEdit");
    ASSERT_EQ(spins.size(), 3u);
    std::sort(spins.begin(), spins.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    const char* typed[] = {"2", "999", "0"};
    for (size_t i = 0; i < 3; ++i) {
        const RECT r = RectOf(spins[i]);
        Click(p, POINT{r.left + 12, (r.top + r.bottom) / 2});
        Key(p, VK_END);
        Key(p, VK_HOME, Shift);
        Type(p, typed[i]);
    }
    // Enter in a number box is the dialog's Ok.
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000))
        << "Enter in a number box did not close the dialog";
    const std::string ini = p.SettingsPath();
    EXPECT_EQ(IniValue(ini, "Options", "List Font Size"), "6");
    EXPECT_EQ(IniValue(ini, "Options", "Lists Font Size"), "40");
    EXPECT_EQ(IniValue(ini, "Options", "AutoSave Interval"), "1") << "auto-save ticked, and never due";
    // The main window's shortcuts wait while the dialog is up: Ctrl+Q
    // does not end the program from under it.
    ChooseFromMenu(p, main, ToolsMenuX, -1);
    dialog = p.WaitTopWindow("TOptionsF");
    ASSERT_NE(dialog, nullptr);
    Key(p, 'Q', Ctrl);
    ASSERT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog)) << "Ctrl+Q ended the program under the dialog";
    // And Esc in a number box is its Cancel.
    spins = ChildrenOfClass(dialog, "TTxcSpinEdit");
    ASSERT_FALSE(spins.empty());
    Click(p, CenterOf(spins.front()));
    Type(p, "5");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000))
        << "Esc in a number box did not close the dialog";
    EXPECT_EQ(IniValue(ini, "Options", "List Font Size"), "6");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// The screen's settings as the user sets them outside the program: more
// dots per inch, larger system fonts and regional settings (date forms,
// the 12-hour clock). The windows keep their text whole and readable, and
// dates typed under one form read back under another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

constexpr int LargeFont = 18;

// The program started on the prepared database at 144 dots per inch with
// the system's fonts 18 pixels high (Tahoma).
struct TLargeDisplay {
    TRegistryValues Values;
    TLargeDisplay() {
        SetScreenDpi(Values, 144);
        SetSystemFonts(Values, L"Tahoma", -LargeFont);
    }
};

// The height of a line of Face Height pixels high (bold or not).
int LineHeight(const wchar_t* face, int height, bool bold = true) { return TextExtent(face, height, bold, L"Hg").cy; }

// The caption bar of the dockable panel captioned Caption ("" for the
// side panel, whose bar holds only its tabs).
HWND PanelCaptionBar(HWND main, const std::string& caption) {
    for (HWND panel : ChildrenOfClass(main, "TXtDockablePanel.UnicodeClass"))
        if (TextOf(panel) == caption) {
            const std::vector<HWND> bars = ChildrenOfClass(panel, "TXtDockablePanelToolbar.UnicodeClass");
            return bars.empty() ? nullptr : bars.front();
        }
    return nullptr;
}

// The first shown child of a class of the main window; nullptr when none.
HWND FirstOfClass(HWND main, const std::string& className) {
    const std::vector<HWND> found = ChildrenOfClass(main, className);
    return found.empty() ? nullptr : found.front();
}

// Starts the program on the large display, runs Check on its main window,
// saves the window's picture as Name and ends the program.
void OnLargeDisplay(const std::string& name, const std::function<void(TProgram&, HWND)>& check) {
    TProgram p(name);
    TLargeDisplay display;
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    check(p, main);
    Shot(p, main, name);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The width of a line of the dialogs' font (MS Sans Serif, 8 points) at 144
// dots per inch.
int DialogTextWidth(const std::wstring& text) { return TextExtent(L"MS Sans Serif", 8 * 144 / 72, false, text).cx; }

// A title in the quick-entry box, then the Steps-th entry of the Add:
// button's menu (1 Set Due Date, 2 Set Tags).
void ChooseFromAddMenu(TProgram& p, HWND main, int steps) {
    Key(p, 'N', Ctrl);
    Type(p, "x");
    HWND edit = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (edit = FirstOfClass(main, "TXtEdit.UnicodeClass")) != nullptr; }));
    const RECT box = RectOf(edit);
    Click(p, POINT{box.left - 20, (box.top + box.bottom) / 2});
    for (int i = 0; i < steps; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
}

} // namespace

// The note panel's caption strip kept the 19 pixels it has for the usual
// caption font: in a font of 18 pixels "Note" lost its lower half. The
// strip grows to a line of its caption.
TEST(DisplaySettingsScenario, TheNotePanelsCaptionHoldsALargerSystemFont) {
    OnLargeDisplay("explore-display-note-caption", [](TProgram&, HWND main) {
        // The system keeps its fonts for 96 dots per inch and hands them
        // out grown to the screen's.
        const int line = LineHeight(L"Tahoma", LargeFont * 144 / 96);
        HWND bar = nullptr;
        const bool holds = WaitUntil([&] {
            bar = PanelCaptionBar(main, "Note");
            return bar && RectOf(bar).bottom - RectOf(bar).top >= line + 2;
        });
        EXPECT_TRUE(holds) << "a caption bar of " << (bar ? RectOf(bar).bottom - RectOf(bar).top : 0)
                           << " pixels for a line of " << line << "\n"
                           << DescribeChildren(main);
    });
}

// The side panel kept its 200 pixels while its tabs grew with the font:
// "Tags" ran past the panel's edge, cut in half. The panel starts wide
// enough for its tabs, and a click on the end of "Tags" shows the tags.
TEST(DisplaySettingsScenario, TheSidePanelsTabsFitItsWidthInALargerSystemFont) {
    OnLargeDisplay("explore-display-side-tabs", [](TProgram& p, HWND main) {
        HWND bar = nullptr;
        const bool fits = WaitUntil([&] {
            bar = PanelCaptionBar(main, "");
            return bar && RectOf(bar).right <= RectOf(GetParent(GetParent(bar))).right;
        });
        ASSERT_TRUE(fits) << DescribeChildren(main);
        const RECT tabs = RectOf(bar);
        Click(p, POINT{tabs.right - 12, (tabs.top + tabs.bottom) / 2});
        EXPECT_TRUE(WaitUntil([&] { return TextOf(FirstOfClass(main, "TXtLabel.UnicodeClass")) == "< New tag >"; }))
            << TextOf(FirstOfClass(main, "TXtLabel.UnicodeClass"));
    });
}

// The quick-entry box kept the width the bar's buttons leave at the usual
// font: with wider "Find" and "Add:" it no longer fitted and went behind
// the bar's chevron, so the bar showed no box to type a task in. It takes
// the room the buttons leave.
TEST(DisplaySettingsScenario, TheQuickEntryBoxStaysOnItsBarInALargerSystemFont) {
    OnLargeDisplay("explore-display-quick-entry", [](TProgram&, HWND main) {
        const bool onBar = WaitUntil([&] {
            HWND edit = FirstOfClass(main, "TXtEdit.UnicodeClass");
            if (!edit) return false;
            const RECT box = RectOf(edit), bar = RectOf(GetParent(edit));
            return box.left >= bar.left && box.right <= bar.right && box.right - box.left > 200;
        });
        EXPECT_TRUE(onBar) << DescribeChildren(main);
    });
}

// The quick tags panel kept its 96 dots per inch pixels while its text
// and check boxes grew. Its 16-pixel rows cut the text's foot, and each box
// ran into the next row, the first one's top cut off; the box beside
// "Tags :" covered the colon, and the button's text touched its edges. The
// rows hold a line and a box, and the panel grows with the screen.
TEST(DisplaySettingsScenario, TheQuickTagsPanelHoldsItsTextAtMoreDotsPerInch) {
    OnLargeDisplay("explore-display-quick-tags", [](TProgram& p, HWND main) {
        ChooseFromAddMenu(p, main, 2);
        HWND list = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (list = FirstOfClass(main, "TXtCheckListBox.UnicodeClass")) != nullptr; }))
            << DescribeChildren(main);
        const int row = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        const int line = LineHeight(L"MS Sans Serif", 8 * 144 / 72, false);
        EXPECT_GE(row, line) << "rows of " << row << " pixels for a line of " << line;
        HWND panel = GetParent(list), label = nullptr;
        for (HWND l : ChildrenOfClass(panel, "TXtLabel.UnicodeClass"))
            if (TextOf(l) == "Tags :") label = l;
        const std::vector<HWND> edits = ChildrenOfClass(panel, "TXtEdit.UnicodeClass");
        const std::vector<HWND> buttons = ChildrenOfClass(panel, "TXtButton.UnicodeClass");
        ASSERT_TRUE(label && !edits.empty() && !buttons.empty()) << DescribeChildren(panel);
        EXPECT_LE(RectOf(label).left + DialogTextWidth(L"Tags :"), RectOf(edits.front()).left);
        const RECT ok = RectOf(buttons.front());
        EXPECT_GE(ok.right - ok.left, DialogTextWidth(L"Click here or press enter...") + 4);
        Key(p, VK_ESCAPE);
        Key(p, VK_ESCAPE);
    });
}

namespace {

// The pitch of the task list's first group (Holidays, one task): from the
// band under its caption to the band closing it, which is its one row and
// a band. 0 when the bands are not there.
int FirstGroupPitch(TProgram& p, int dpi) {
    TRegistryValues values;
    if (dpi != 96) SetScreenDpi(values, dpi);
    HWND main = StartOnPrepared(p);
    if (!main) return 0;
    std::vector<int> bands;
    WaitUntil([&] {
        bands = GroupBandRows(main);
        return bands.size() >= 2;
    });
    Shot(p, main, "explore-display-rows-" + std::to_string(dpi));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    return bands.size() >= 2 ? bands[1] - bands[0] : 0;
}

// The size of a line of text in a face of points on a screen of Dpi dots
// per inch.
SIZE TextSizeAt(const wchar_t* face, int points, int dpi, const std::wstring& text) {
    return TextExtent(face, MulDiv(points, dpi, 72), false, text);
}

// The height of a line of the list's text (Arial, 11 points, the size the
// options start with).
int ListTextHeight(int dpi) { return TextSizeAt(L"Arial", 11, dpi, L"Hg").cy; }

// The width of a line of text in the dialogs' font (MS Sans Serif, 8 points).
int DialogTextWidth(const std::wstring& text, int dpi) { return TextSizeAt(L"MS Sans Serif", 8, dpi, text).cx; }

} // namespace

// At 144 dots per inch the list's text, sized in points, came out half
// as tall again, but the rows kept their height in pixels: every task's
// text was cut at the bottom, descenders gone and the line under a done
// task's title hidden. The rows grow with the text.
TEST(DisplaySettingsScenario, TheTaskListsRowsGrowWithTheTextAtMoreDotsPerInch) {
    TProgram p("explore-display-rows");
    const int normal = FirstGroupPitch(p, 96);
    ASSERT_GT(normal, 0);
    for (const int dpi : {120, 144}) {
        const int larger = FirstGroupPitch(p, dpi);
        const int textGrowth = ListTextHeight(dpi) - ListTextHeight(96);
        ASSERT_GT(textGrowth, 0);
        EXPECT_GE(larger - normal, textGrowth) << dpi << " dots per inch: a group " << larger << " pixels high where 96 have "
                                               << normal << ", and the text grew by " << textGrowth;
    }
}

// The Options dialog at 120 and 144 dots per inch: its text grew with the
// screen, its boxes kept their places in pixels, so the number boxes and
// the database's path covered the ends of their labels ("Note panel font
// si", "Default Databa") and the longest check box's text ran out of its
// panel. The dialog grows with the screen: every label ends before its
// box, and the buttons stay inside the dialog.
TEST(DisplaySettingsScenario, TheOptionsDialogsLabelsStayClearOfTheirBoxesAtMoreDotsPerInch) {
    TProgram p("explore-display-options");
    for (const int dpi : {120, 144}) {
        TRegistryValues values;
        SetScreenDpi(values, dpi);
        HWND main = StartOnPrepared(p);
        ASSERT_NE(main, nullptr);
        // Tools > Options from the keyboard: the menu bar's captions
        // grew with the screen.
        Key(p, 'O', Alt);
        Key(p, VK_UP);
        Key(p, VK_RETURN);
        TOptionsDialog d = WaitOptionsDialog(p);
        ASSERT_NE(d.Ok, nullptr);
        Shot(p, d.Window, "explore-display-options-" + std::to_string(dpi));
        // The check boxes stand where the labels of the left column start.
        std::vector<HWND> checks = ChildrenOfClass(d.Window, "TCheckBox");
        ASSERT_FALSE(checks.empty());
        const LONG column = RectOf(checks.front()).left;
        EXPECT_GE(RectOf(d.NoteFontSize).left, column + DialogTextWidth(L"Note panel font size :", dpi))
            << dpi << " dots per inch";
        EXPECT_GE(RectOf(d.ListFontSize).left, column + DialogTextWidth(L"Task List font size : ", dpi));
        HWND path = nullptr;
        for (HWND e : ChildrenOfClass(d.Window, "TTxcEdit"))
            if (RectOf(e).top > RectOf(d.AutoSaveInterval).bottom) path = e;
        ASSERT_NE(path, nullptr) << DescribeChildren(d.Window);
        EXPECT_GE(RectOf(path).left, column + DialogTextWidth(L"Default Database :", dpi));
        // The longest check box's text inside the panel it is on.
        const RECT panel = RectOf(GetParent(checks.front()));
        EXPECT_LE(column + 20 + DialogTextWidth(L"Confirm before deleting items (no undo is possible)", dpi),
                  panel.right);
        RECT client{};
        GetClientRect(d.Window, &client);
        MapWindowPoints(d.Window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        const RECT ok = RectOf(d.Ok);
        EXPECT_TRUE(ok.right <= client.right && ok.bottom <= client.bottom);
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(d.Window) || !IsWindowVisible(d.Window); }));
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
}

namespace {

// The list "Work" with the task "Dentist", due 5 March 2030.
std::string DentistDatabase() {
    return "d_id-0123456789\r\n"
           "Work\xF7" "0\xF7\r\n"
           "<--<*&^Folders^&*>-->\r\n"
           "<--<*&^Tags^&*>-->\r\n"
           ";3/5/2030;Dentist\xF7--\xF7" "1111111111\xF7Work\xF7" "1/2/2025\xF7\xF7\r\n";
}

// The due text of the sticky note made last ("" when none was made).
std::string LastNoteDue(const TProgram& p) {
    const std::string record = ReadFile(p.PathOf(JotpaperRecordFileName));
    const size_t at = record.rfind("Due: ");
    return at == std::string::npos ? std::string() : record.substr(at, record.find('\r', at) - at);
}

// Makes a sticky note of task Index of the list Work and waits for it.
std::string NoteOfWorkTask(TProgram& p, const TMainWindowParts& parts, int index) {
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(index));
    Key(p, 'K', Ctrl);
    WaitUntil([&] { return !LastNoteDue(p).empty(); });
    return LastNoteDue(p);
}

} // namespace

// A date typed under one date form, kept, and read back by a start under
// another (the user changed the settings or took the file to a computer
// set otherwise): the day stays the same and each start shows it in its
// own separator.
TEST(DisplaySettingsScenario, DueDatesOutliveAChangeOfDateForm) {
    TRegistryValues regional;
    SetRegional(regional, {{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}});
    {
        TProgram p("regional-dates");
        WriteFile(p.DatabasePath(), DentistDatabase());
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        Click(p, parts.TreeRow(1));
        Key(p, 'N', Ctrl);
        Type(p, ";20.12.2030;Winter");
        Key(p, VK_RETURN);
        EXPECT_EQ(NoteOfWorkTask(p, parts, 1), "Due: 20.12.2030");
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
        EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Winter"))[0], ";12/20/2030;Winter");
    }
    for (const auto& [shortDate, separator, shown] :
         {std::tuple<const char*, const char*, const char*>{"M/d/yyyy", "/", "Due: 20/12/2030"},
          {"yyyy-MM-dd", "-", "Due: 20-12-2030"}}) {
        SetRegional(regional, {{"sShortDate", shortDate}, {"sDate", separator}});
        TProgram p("regional-dates", true);
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const TMainWindowParts parts(main);
        EXPECT_EQ(NoteOfWorkTask(p, parts, 0), "Due: 05" + std::string(separator) + "03" + separator + "2030");
        EXPECT_EQ(NoteOfWorkTask(p, parts, 1), shown);
        // Typed in this start's own form, the day goes into the file as
        // every other.
        Key(p, 'N', Ctrl);
        Type(p, std::string(";1") + separator + "2" + separator + "2031;Feb " + separator);
        Key(p, VK_RETURN);
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
        const std::string file = ReadFile(p.DatabasePath());
        EXPECT_EQ(Fields(TaskLine(file, "Winter"))[0], ";12/20/2030;Winter");
        EXPECT_EQ(Fields(TaskLine(file, std::string("Feb ") + separator))[0], std::string(";2/1/2031;Feb ") + separator);
    }
}

// A clock whose AM/PM marker comes before the hour (Korean and Chinese
// settings write "tt h:mm:ss") showed the hour of the 24-hour clock beside
// the marker: a due date shown with its time read "AM 0:00:00" for
// midnight, and the Options preview "PM 16:31:23".
TEST(DisplaySettingsScenario, MarkerBeforeTheHourKeepsTheTwelveHourClock) {
    TRegistryValues regional;
    SetRegional(regional, {{"sShortDate", "dd.MM.yyyy"}, {"sDate", "."}, {"sTimeFormat", "tt h:mm:ss"},
                           {"s1159", "AM"}, {"s2359", "PM"}});
    TProgram p("regional-time");
    WriteFile(p.DatabasePath(), DentistDatabase());
    WriteFile(p.SettingsPath(), "[Options]\r\nDateTime Format=ddddd tt\r\n");
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Dentist");
    Key(p, 'K', Ctrl);
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(p.PathOf(JotpaperRecordFileName)).find("Due:") != std::string::npos; }));
    // The day in the user's separator, the time on the 12-hour clock.
    EXPECT_NE(ReadFile(p.PathOf(JotpaperRecordFileName)).find("Due: 05.03.2030 AM 12:00:00"), std::string::npos)
        << ReadFile(p.PathOf(JotpaperRecordFileName));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

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

std::string DescribeRect(const RECT& r) {
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
            << "theme entry " << ThemesOfOtherMetrics[i] << ": box at " << DescribeRect(box) << ", a start puts it at "
            << DescribeRect(started[i]);
        Shot(p, main, scenario + "-" + std::to_string(ThemesOfOtherMetrics[i]));
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace

TEST(DisplaySettingsScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesIt) {
    QuickEntryFollowsThemes("explore-stale-quick-entry");
}

TEST(DisplaySettingsScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesItAtMoreDotsPerInch) {
    TRegistryValues values;
    SetScreenDpi(values, 144);
    QuickEntryFollowsThemes("explore-stale-quick-entry-dpi");
}

TEST(DisplaySettingsScenario, TheQuickEntryBoxTakesTheRoomEachThemeLeavesItInALargerSystemFont) {
    TRegistryValues values;
    SetScreenDpi(values, 144);
    SetSystemFonts(values, L"Tahoma", -18);
    QuickEntryFollowsThemes("explore-stale-quick-entry-font");
}

} // namespace qelvo::e2e

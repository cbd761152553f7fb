// The Options dialog's settings one by one and what the program writes for
// other programs: settings changed with Ok show at once and are kept in
// settings.ini under their keys, Cancel leaves everything as it was, the
// text export of a grouped, sorted and filtered list follows the new date
// format and holds what the list shows, a theme change keeps the chosen
// group line colour, and the next start shows the same settings. A large
// list font leaves every group caption whole inside its group's header.
// The print window shows its whole bar, and a bar too long for a narrow
// main window gives way from its end. The print window's report of a
// filtered, grouped list with chosen tasks, under a long heading of the
// user's, is what its export writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/logic/Options.h"
#include "app/logic/TaskPresentation.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

constexpr int ExportToTextSteps = 9;
constexpr size_t FirstCheck = 0, MinToTrayCheck = 1, ConfirmDeleteCheck = 2, PrioritiesCheck = 3, AutoSaveCheck = 4;
// The colour dialog's first basic colour, a light red.
constexpr COLORREF FirstBasicColour = RGB(255, 128, 128);

// The check boxes' states as "0" and "1", top to bottom.
std::string CheckStates(HWND dialog) {
    std::string states;
    for (HWND check : ChecksOf(dialog)) states += SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    return states;
}

// The date format box's edit.
HWND DateFormatEdit(HWND dialog) {
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    return edits.empty() ? nullptr : edits.front();
}

void TypeDateFormat(TProgram& p, HWND dialog, const std::string& format) {
    Click(p, CenterOf(DateFormatEdit(dialog)));
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    Type(p, format);
}

// Closes the Notepad the text export opened.
void CloseNotepad(TProgram& p) {
    HWND notepad = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (notepad = FindWindowA("Notepad", nullptr)) != nullptr && IsWindowVisible(notepad); }));
    ASSERT_TRUE(BecomesForeground(notepad));
    Key(p, VK_F4, Alt);
    EXPECT_TRUE(WaitUntil([] { return FindWindowA("Notepad", nullptr) == nullptr; }));
}

RECT ListRect(HWND main) {
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    return lists.empty() ? RECT{} : RectOf(lists.front());
}

// The task list's rows (from its top) where a group line starts, and the
// runs of rows holding group caption ink, top and bottom row of each.
struct TGroupRows {
    std::vector<int> Bands;
    std::vector<std::pair<int, int>> Captions;
};

TGroupRows GroupRowsOf(HWND main) {
    TGroupRows rows;
    const RECT list = ListRect(main);
    const int width = list.right - list.left;
    const std::vector<COLORREF> pixels = PixelsOf(list);
    if (pixels.empty()) return rows;
    bool inBand = false, inCaption = false;
    for (int y = 0; y < list.bottom - list.top; ++y) {
        const COLORREF* row = &pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        const bool band = row[width - 40] == static_cast<COLORREF>(DefaultUnderlineColor);
        if (band && !inBand) rows.Bands.push_back(y);
        inBand = band;
        const bool caption = std::find(row + 24, row + 300, static_cast<COLORREF>(GroupCaptionColor)) != row + 300;
        if (caption && !inCaption) rows.Captions.push_back({y, y});
        if (caption) rows.Captions.back().second = y;
        inCaption = caption;
    }
    return rows;
}

std::string Describe(const TGroupRows& rows) {
    std::string s = "lines";
    for (int y : rows.Bands) s += " " + std::to_string(y);
    s += ", captions";
    for (const auto& [top, bottom] : rows.Captions) s += " " + std::to_string(top) + "-" + std::to_string(bottom);
    return s;
}

} // namespace

TEST(OptionsOutputScenario, SettingsApplyAtOnceCancelKeepsThemAndTheExportFollowsThem) {
    TProgram p("options-output");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);

    // Confirm delete and priority colours off, another date format, the
    // group line in the colour dialog's first colour; Ok.
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    ASSERT_EQ(CheckStates(d.Window), "01111");
    for (size_t i : {ConfirmDeleteCheck, PrioritiesCheck}) Click(p, CenterOf(ChecksOf(d.Window)[i]));
    TypeDateFormat(p, d.Window, "dd MMM yyyy");
    const std::vector<HWND> panels = ChildrenOfClass(d.Window, "TColorPanel");
    ASSERT_EQ(panels.size(), 1u);
    Click(p, CenterOf(panels.front()));
    HWND colour = p.WaitDialog();
    ASSERT_NE(colour, nullptr);
    Click(p, {RectOf(colour).left + 20, RectOf(colour).top + 45});
    Key(p, VK_RETURN);
    ASSERT_TRUE(Closed(colour));
    EXPECT_TRUE(p.BecomesActive(d.Window)) << "the keyboard did not come back to Options";
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_EQ(Option(p, "DateTime Format"), "dd MMM yyyy");
    EXPECT_EQ(Option(p, "Confirm Delete"), "0");
    EXPECT_EQ(Option(p, "Distinguish Tasks Priorities"), "0");
    EXPECT_EQ(Option(p, "Groups Underline Color"), "$008080FF");
    EXPECT_GT(ShareOf(ListRect(main), FirstBasicColour), 0.002) << "the group lines kept their colour";
    const std::string kept = ReadFile(p.SettingsPath());

    // Everything changed again, then Cancel: nothing changes, in the file
    // or in the dialog.
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_EQ(CheckStates(d.Window), "01001");
    EXPECT_EQ(TextOf(DateFormatEdit(d.Window)), "dd MMM yyyy");
    for (size_t i : {FirstCheck, MinToTrayCheck, ConfirmDeleteCheck, PrioritiesCheck, AutoSaveCheck})
        Click(p, CenterOf(ChecksOf(d.Window)[i]));
    TypeDateFormat(p, d.Window, "yyyy");
    TypeNumber(p, d.ListFontSize, 20);
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_EQ(ReadFile(p.SettingsPath()), kept);
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_EQ(CheckStates(d.Window), "01001");
    EXPECT_EQ(TextOf(DateFormatEdit(d.Window)), "dd MMM yyyy");
    EXPECT_EQ(TextOf(d.ListFontSize), "11");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));

    // Grouped by tags, sorted by title, done tasks hidden: the text export
    // holds what the list shows, its dates in the new format.
    Key(p, 'T', Alt);
    const RECT list = ListRect(main);
    Click(p, {list.left + 60, list.top + 10});
    Key(p, 'D', Ctrl);
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("by-tags")));
    CloseNotepad(p);
    EXPECT_EQ(ReadFile(p.PathOf("by-tags.txt")),
              "No Tags specified\r\n"
              "     +1. Book the ferry        14 Jul 2031\r\n"
              "           Night crossing\r\n"
              "           Cabin for two\r\n"
              "     -2. Renew the parking permit        \r\n"
              "       3. Write the quarterly report        28 Nov 2031\r\n"
              "           Figures from Ann\r\n"
              "phone\r\n"
              "       4. Call the plumber        \r\n"
              "                   [ phone ]\r\n"
              "food, shop\r\n"
              "     -5. Buy milk        \r\n"
              "                   [ food, shop ]\r\n");

    // Another theme keeps the group lines' colour; Delete asks nothing.
    Click(p, CaptionPointOf(main));
    ASSERT_TRUE(BecomesForeground(main));
    ChooseTheme(p, main, 5);
    EXPECT_GT(ShareOf(ListRect(main), FirstBasicColour), 0.002) << "a theme change took the group lines' colour";
    Click(p, PreparedTaskPoint(main, 0));
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(500)) << "Delete asked with confirmation off";
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()).size(), PreparedTasks().size() - 1);

    // The next start shows the same settings.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_GT(ShareOf(ListRect(main), FirstBasicColour), 0.002);
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_EQ(CheckStates(d.Window), "01001");
    EXPECT_EQ(TextOf(DateFormatEdit(d.Window)), "dd MMM yyyy");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(OptionsOutputScenario, ALargeListFontKeepsEachGroupCaptionWholeInsideItsHeader) {
    TProgram p("options-large-font");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    TypeNumber(p, d.ListFontSize, 24);
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    Shot(p, main, "options-large-font");
    // Holidays, then Home: each caption lies above its own group line, and
    // the second below the line closing the first group; the first is not
    // cut at the list's top, so it is at least as tall as the second
    // (its "y" reaches lower).
    const TGroupRows rows = GroupRowsOf(main);
    ASSERT_GE(rows.Bands.size(), 3u) << Describe(rows);
    ASSERT_GE(rows.Captions.size(), 2u) << Describe(rows);
    EXPECT_LT(rows.Captions[0].second, rows.Bands[0]) << Describe(rows);
    EXPECT_GT(rows.Captions[1].first, rows.Bands[1] + 1) << Describe(rows);
    EXPECT_LT(rows.Captions[1].second, rows.Bands[2]) << Describe(rows);
    EXPECT_GE(rows.Captions[0].second - rows.Captions[0].first, rows.Captions[1].second - rows.Captions[1].first)
        << Describe(rows);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(NarrowBarsScenario, ThePrintWindowShowsItsWholeBarAndANarrowMainWindowsBarsGiveWayFromTheirEnd) {
    constexpr int PrintSteps = 8;
    TProgram p("narrow-bars");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // File > Print: "Print Now", the bar's first button, is on the bar, not
    // behind a chevron at its end.
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const std::vector<HWND> printBars = ChildrenOfClass(print, "TXtToolbar.UnicodeClass");
    ASSERT_EQ(printBars.size(), 1u);
    const RECT printBar = RectOf(printBars.front());
    Shot(p, print, "narrow-bars-print");
    Click(p, {printBar.right - 7, (printBar.top + printBar.bottom) / 2});
    EXPECT_EQ(p.WaitTopWindow("TXtChevronPopupWindow", 300), nullptr) << "the print window's bar has a chevron";
    Key(p, VK_ESCAPE);
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Closed(print));

    // The main window made narrow: the filter bar (the lowest bar) keeps
    // its label "Filters :" at its start; a click there opens nothing.
    RECT m = RectOf(main);
    Drag(p, {m.right - 2, (m.top + m.bottom) / 2}, {m.left + 330, (m.top + m.bottom) / 2});
    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    const HWND filters =
        *std::max_element(bars.begin(), bars.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    const RECT filterBar = RectOf(filters);
    Shot(p, main, "narrow-bars-main");
    Click(p, {filterBar.left + 30, (filterBar.top + filterBar.bottom) / 2});
    EXPECT_EQ(p.WaitTopWindow("TXtPopupWindow", 300), nullptr) << "the filter bar's first item gave way";
    Key(p, VK_ESCAPE);
    m = RectOf(main);
    Drag(p, {m.right - 2, (m.top + m.bottom) / 2}, {m.left + 800, (m.top + m.bottom) / 2});
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PrintReportScenario, ALongHeadingTypedInThePrintWindowIsInItsExportOfTheChosenTasks) {
    constexpr int PrintSteps = 8;
    // Places on the print window's bar, from its left.
    constexpr int ExportAsHtmlX = 190, PrintNotesX = 418, HeadingX = 700;
    TProgram p("print-report");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // Two tasks chosen: the report holds those two under their lists.
    Click(p, PreparedTaskPoint(main, 0));
    ClickWith(p, PreparedTaskPoint(main, 4), VK_CONTROL);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const std::vector<HWND> bars = ChildrenOfClass(print, "TXtToolbar.UnicodeClass");
    ASSERT_EQ(bars.size(), 1u);
    const RECT bar = RectOf(bars.front());
    const int y = (bar.top + bar.bottom) / 2;
    // "Print notes" off; a long heading with marks that HTML escapes,
    // typed over the one given and taken with Enter.
    Click(p, {bar.left + PrintNotesX, y});
    Click(p, {bar.left + HeadingX, y});
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    const std::string heading =
        "Errands & <chores> for the week of the move, with the car, the van and the keys to the new flat";
    Type(p, heading);
    Key(p, VK_RETURN);
    ASSERT_TRUE(p.Running()) << "the program ended";
    Click(p, {bar.left + ExportAsHtmlX, y});
    ASSERT_TRUE(TypeFileName(p, p.PathOf("report")));
    const std::string html = ReadFile(p.PathOf("report.html"));
    EXPECT_NE(html.find("<title>Errands &amp; &lt;chores&gt; for the week of the move, with the car, the van and the "
                        "keys to the new flat</title>"),
              std::string::npos)
        << html.substr(0, 400);
    size_t last = 0;
    for (const char* part : {">Holidays<", ">1. Book the ferry<", ">14/07/2031<", ">Work<",
                             ">5. Write the quarterly report<", ">28/11/2031<", "</html>"}) {
        const size_t at = html.find(part, last);
        EXPECT_NE(at, std::string::npos) << part << " is missing or out of order";
        if (at != std::string::npos) last = at;
    }
    for (const char* absent : {"Call the plumber", "Buy milk", "Pay rent", ">Home<", "Night crossing", "Figures"})
        EXPECT_EQ(html.find(absent), std::string::npos) << absent;
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Closed(print));
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

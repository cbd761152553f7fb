// Themes and the Options dialog: every theme from the menu, themes chosen
// while the program runs, font sizes, the auto-save interval, date
// formats, colours and check boxes set from the dialog and kept by the
// settings file, numbers out of range, and settings that cannot be saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/logic/Options.h"
#include "app/logic/TaskPresentation.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

// Tools > Options; the dialog (nullptr when none came).
HWND OpenOptions(TProgram& p, HWND main) {
    ChooseFromMenu(p, main, ToolsMenuX, OptionsSteps);
    return p.WaitTopWindow("TOptionsF");
}

// The edit of the Options dialog's date format box.
HWND DateFormatEdit(HWND options) {
    const std::vector<HWND> combos = ChildrenOfClass(options, "TTxcComboBox");
    if (combos.size() != 1) return nullptr;
    const std::vector<HWND> edits = ChildrenOfClass(combos.front(), "Edit");
    return edits.empty() ? nullptr : edits.front();
}

// The dark pixels of the row a check box's label starts on (the label
// lies to the right of its box, its top one pixel below the box's): a
// focus rectangle around the label draws a dotted line there.
int DarkPixelsAboveLabelText(HWND check) {
    const RECT box = RectOf(check);
    const RECT row{box.right + 4, box.top + 1, box.right + 4 + 120, box.top + 2};
    int dark = 0;
    for (COLORREF c : PixelsOf(row)) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
    return dark;
}

// The dark pixels of a window: the arrows of a number box's button.
int DarkPixels(HWND w) {
    int dark = 0;
    for (COLORREF c : PixelsOf(RectOf(w))) dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 200;
    return dark;
}

} // namespace

// A date format with words of its own in quotes at both ends, or with a
// blank at its end (as the offered "ddd dd,MM yy " has), came back from
// settings.ini after a restart without its outer quotes or its blank: the
// list then showed dates in a format the user never chose.
TEST(ThemesAndOptionsScenario, ADateFormatComesBackAfterARestartAsTyped) {
    const std::vector<std::string> formats = {"'by' dd/MM/yyyy 'latest'", "ddd dd,MM yy "};
    for (size_t round = 0; round < formats.size(); ++round) {
        const std::string& format = formats[round];
        {
            TProgram p("explore-date-format", round > 0);
            if (round == 0) WritePreparedDatabase(p.DatabasePath());
            p.Start();
            HWND main = p.Main();
            ASSERT_NE(main, nullptr);
            HWND options = OpenOptions(p, main);
            ASSERT_NE(options, nullptr);
            HWND edit = DateFormatEdit(options);
            ASSERT_NE(edit, nullptr) << DescribeChildren(options);
            Click(p, CenterOf(edit));
            Key(p, VK_END);
            Key(p, VK_HOME, Shift);
            Type(p, format);
            ASSERT_EQ(TextOf(edit), format);
            Key(p, VK_RETURN);    // Ok
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));
            Key(p, 'Q', Ctrl);
            ASSERT_EQ(p.WaitExit(), 0);
        }
        TProgram p("explore-date-format", true);
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        HWND options = OpenOptions(p, main);
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(TextOf(DateFormatEdit(options)), format);
        Key(p, VK_ESCAPE);    // Cancel
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
    }
}
// The Options dialog worked from the keyboard, opened afresh for each
// check in one run over the prepared database.
TEST(ThemesAndOptionsScenario, TheOptionsDialogIsWorkedFromTheKeyboard) {
    TProgram p("options-keyboard");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // The Options dialog's check boxes are small boxes beside labels of their
    // own: a check box that had the keyboard showed no sign of it, so a user
    // tabbing through the dialog could not tell which setting Space would
    // change. The label of the focused check box is framed as a system check
    // box's caption is.
    {
        SCOPED_TRACE("the check box with the keyboard shows it on its label");
        HWND options = OpenOptions(p, main);
        ASSERT_NE(options, nullptr);
        std::vector<HWND> checks = ChildrenOfClass(options, "TCheckBox");
        std::sort(checks.begin(), checks.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
        ASSERT_EQ(checks.size(), 5u);
        ASSERT_EQ(p.Focus(), checks[0]) << "the first check box has the keyboard when the dialog opens";
        Key(p, VK_TAB);
        Key(p, VK_TAB);
        ASSERT_EQ(p.Focus(), checks[2]);
        Shot(p, options, "explore-options-focus");
        EXPECT_GT(DarkPixelsAboveLabelText(checks[2]), 20) << "the focused check box's label shows no focus";
        EXPECT_LT(DarkPixelsAboveLabelText(checks[0]), 5) << "a label keeps its frame after its box lost the keyboard";
        Key(p, VK_SPACE);    // the setting the label names changes
        Key(p, VK_TAB);
        Key(p, VK_TAB);
        EXPECT_LT(DarkPixelsAboveLabelText(checks[2]), 5);
        Key(p, VK_RETURN);    // Ok
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));
    }
    // The group underline colour was the one setting the keyboard could not
    // reach: its colour panel took no focus, so a user without a mouse could
    // not open the colour dialog. Tab reaches it after the date format box,
    // Space opens the dialog, and Esc there gives the keyboard back to it.
    {
        SCOPED_TRACE("the keyboard reaches the underline colour");
        HWND options = OpenOptions(p, main);
        ASSERT_NE(options, nullptr);
        HWND format = DateFormatEdit(options);
        ASSERT_NE(format, nullptr);
        for (int i = 0; i < 8 && p.Focus() != format; ++i) Key(p, VK_TAB);
        ASSERT_EQ(p.Focus(), format);
        Key(p, VK_TAB);
        HWND panel = p.Focus();
        ASSERT_EQ(ClassOf(panel), "TColorPanel") << "Tab went to " << ClassOf(panel) << " '" << TextOf(panel) << "'";
        Shot(p, options, "explore-options-colour");
        Key(p, VK_SPACE);
        HWND colours = p.WaitDialog();
        ASSERT_NE(colours, nullptr) << "Space opened no colour dialog";
        EXPECT_NE(colours, options);
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(colours) || !IsWindowVisible(colours); }));
        EXPECT_EQ(p.Focus(), panel);
        Key(p, VK_ESCAPE);    // Cancel
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));
    }
    // The "General Settings" box folded with its arrow still let Tab walk
    // through the settings inside it: the keyboard went, unseen, to check
    // boxes that Space then changed. A folded box's settings are out of the
    // keyboard's reach until it is unfolded again.
    {
        SCOPED_TRACE("Tab passes over the settings of a folded box");
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        std::vector<HWND> boxes = ChildrenOfClass(d.Window, "TTxcExpandablePanel");
        ASSERT_EQ(boxes.size(), 2u);
        std::sort(boxes.begin(), boxes.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
        const HWND general = boxes[0];
        const RECT unfolded = RectOf(general);
        const POINT arrow{unfolded.left + 12, unfolded.top + 11};
        Click(p, arrow);
        ASSERT_LT(RectOf(general).bottom - RectOf(general).top, 40) << "the box did not fold";
        Shot(p, d.Window, "explore-options-folded");
        std::string walked;
        for (int i = 0; i < 8; ++i) {
            Key(p, VK_TAB);
            const HWND focus = p.Focus();
            walked += ClassOf(focus) + " ";
            EXPECT_FALSE(IsChild(general, focus)) << "Tab went into the folded box: " << walked;
        }
        // Unfolded, its settings are reached again.
        Sleep(GetDoubleClickTime() + 50);
        Click(p, arrow);
        ASSERT_EQ(RectOf(general).bottom - RectOf(general).top, unfolded.bottom - unfolded.top);
        bool reached = false;
        for (int i = 0; i < 20 && !reached; ++i) {
            Key(p, VK_TAB);
            reached = IsChild(general, p.Focus()) && ClassOf(p.Focus()) == "TCheckBox";
        }
        EXPECT_TRUE(reached) << "Tab does not reach the unfolded box's check boxes";
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(Closed(d.Window));
    }
    // Tab through the dialog wiped the arrows of a number box: the box redrew
    // its face as the keyboard went on to its arrow button, which stayed blank
    // while it had the keyboard and after it, until the mouse passed over it.
    {
        SCOPED_TRACE("Tab through a number box keeps its arrows");
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        const std::vector<HWND> buttons = ChildrenOfClass(d.ListFontSize, "TTxcSpinButton");
        ASSERT_EQ(buttons.size(), 1u);
        const HWND arrows = buttons.front();
        // The program being idle does not mean the display has drawn what it
        // sent; on a busy machine the screen catches up a little later.
        int drawn = 0;
        WaitUntil([&] { return (drawn = DarkPixels(arrows)) > 6; });
        ASSERT_GT(drawn, 6) << "no arrows to begin with";
        for (int i = 0; i < 10 && p.Focus() != d.ListFontSize; ++i) Key(p, VK_TAB);
        ASSERT_EQ(p.Focus(), d.ListFontSize);
        Key(p, VK_TAB);
        // (The arrows are no stop of their own: the keyboard passes from
        // the box on to the next setting.)
        ASSERT_NE(p.Focus(), arrows);
        ASSERT_NE(p.Focus(), d.ListFontSize);
        p.Settle();
        Shot(p, d.Window, "explore-options-arrows");
        EXPECT_TRUE(WaitUntil([&] { return DarkPixels(arrows) > 6; }))
            << "the arrows went blank as the keyboard left the box";
        Key(p, VK_TAB);
        p.Settle();
        EXPECT_TRUE(WaitUntil([&] { return DarkPixels(arrows) == drawn; }))
            << "the arrows went blank after the keyboard passed: " << DarkPixels(arrows) << " dark pixels of " << drawn;
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(Closed(d.Window));
    }
    // The options changed with the keyboard in the note editor: Ok and
    // Cancel build the task list again, which chooses no task, so the note
    // editor turns read-only and blank; the keyboard came back to it all the
    // same, and what the user typed next went nowhere. It comes back to the
    // task list instead, and the note typed before is kept.
    {
        SCOPED_TRACE("after the dialog the keyboard leaves the emptied note editor");
        TMainWindowParts parts(main);
        for (const WORD close : {VK_RETURN, VK_ESCAPE}) {
            Click(p, PreparedTaskPoint(main, 1));
            ASSERT_NE(parts.NoteEditor.Get(), nullptr);
            Click(p, CenterOf(parts.NoteEditor.Get()));
            Key(p, VK_END, Ctrl);
            Type(p, std::string(close == VK_RETURN ? "Kitchen" : " sink"));
            ASSERT_EQ(p.Focus(), parts.NoteEditor.Get());
            TOptionsDialog d = OpenOptionsDialog(p, main);
            ASSERT_NE(d.Ok, nullptr);
            Key(p, close);    // Ok, then Cancel
            ASSERT_TRUE(Closed(d.Window));
            EXPECT_TRUE(BecomesForeground(main));
            EXPECT_EQ(parts.NoteCaption(), "Note");
            EXPECT_EQ(p.Focus(), parts.List) << "the keyboard is in " << ClassOf(p.Focus());
            Key(p, VK_DOWN);    // the list's keys work at once
            EXPECT_EQ(parts.NoteCaption(), "Note: Book the ferry");
        }
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "Confirm Delete"), "0");
    EXPECT_NE(TaskLine(ReadFile(p.DatabasePath()), "Call the plumber").find("Kitchen sink"), std::string::npos);
}

// A list font size typed past the box's limit was saved at the limit, but
// the list took the number as typed: "999" made every row a thousand
// pixels high, so the list showed one group caption and nothing else
// until the next start, which showed the rows of the saved size. The
// list shows at once what the next start shows, and so it does for a
// size typed below the limit.
TEST(ThemesAndOptionsScenario, AFontSizeTypedPastItsLimitShowsAtOnceAsItIsSaved) {
    TProgram p("explore-options-font-limit");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    for (const auto& [typed, saved] : {std::pair{999, "40"}, std::pair{-5, "6"}}) {
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        TypeNumber(p, d.ListFontSize, typed);
        Click(p, CenterOf(d.Ok));
        ASSERT_TRUE(Closed(d.Window));
        ASSERT_EQ(IniValue(p.SettingsPath(), "Options", "List Font Size"), saved);
        Shot(p, main, "explore-options-font-limit-" + std::string(saved));
        const std::vector<int> shown = GroupBandRows(main);
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
        p.Start();
        main = p.Main();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(Rows(shown), Rows(GroupBandRows(main))) << "the list's rows after Ok with " << typed << " typed";
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

constexpr size_t FirstCheck = 0;
constexpr size_t MinToTrayCheck = 1;
constexpr size_t ConfirmDeleteCheck = 2;
constexpr size_t PrioritiesCheck = 3;
constexpr size_t AutoSaveCheck = 4;
// The colour dialog's first basic colour, a light red.
constexpr COLORREF FirstBasicColour = RGB(255, 128, 128);

// The check boxes' states as "0" and "1", top to bottom.
std::string CheckStates(HWND dialog) {
    std::string states;
    for (HWND check : ChecksOf(dialog)) states += SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    return states;
}

// The date format box's edit.
HWND FirstEditOf(HWND dialog) {
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    return edits.empty() ? nullptr : edits.front();
}

void TypeDateFormat(TProgram& p, HWND dialog, const std::string& format) {
    Click(p, CenterOf(FirstEditOf(dialog)));
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

std::string DescribeRows(const TGroupRows& rows) {
    std::string s = "lines";
    for (int y : rows.Bands) s += " " + std::to_string(y);
    s += ", captions";
    for (const auto& [top, bottom] : rows.Captions) s += " " + std::to_string(top) + "-" + std::to_string(bottom);
    return s;
}

} // namespace

TEST(ThemesAndOptionsScenario, SettingsApplyAtOnceCancelKeepsThemAndTheExportFollowsThem) {
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
    EXPECT_EQ(TextOf(FirstEditOf(d.Window)), "dd MMM yyyy");
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
    EXPECT_EQ(TextOf(FirstEditOf(d.Window)), "dd MMM yyyy");
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
    EXPECT_EQ(TextOf(FirstEditOf(d.Window)), "dd MMM yyyy");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ThemesAndOptionsScenario, ALargeListFontKeepsEachGroupCaptionWholeInsideItsHeader) {
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
    ASSERT_GE(rows.Bands.size(), 3u) << DescribeRows(rows);
    ASSERT_GE(rows.Captions.size(), 2u) << DescribeRows(rows);
    EXPECT_LT(rows.Captions[0].second, rows.Bands[0]) << DescribeRows(rows);
    EXPECT_GT(rows.Captions[1].first, rows.Bands[1] + 1) << DescribeRows(rows);
    EXPECT_LT(rows.Captions[1].second, rows.Bands[2]) << DescribeRows(rows);
    EXPECT_GE(rows.Captions[0].second - rows.Captions[0].first, rows.Captions[1].second - rows.Captions[1].first)
        << DescribeRows(rows);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

bool Checked(HWND check) { return SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }

} // namespace

// An interval of 0 minutes (an older copy, a hand edit) means no auto-save:
// the dialog shows auto-save off, and Ok on it leaves auto-save off rather
// than saving every minute.
TEST(ThemesAndOptionsScenario, AnAutoSaveIntervalOfNoneShowsAutoSaveOffAndOkKeepsItOff) {
    TProgram p("settings-interval-none");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    WriteFile(p.SettingsPath(), "[Options]\r\nAutoSave=1\r\nAutoSave Interval=0\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    const std::vector<HWND> checks = ChecksOf(d.Window);
    ASSERT_EQ(checks.size(), 5u);
    EXPECT_FALSE(Checked(checks.back())) << "auto-save shown on, every " << TextOf(d.AutoSaveInterval) << " minutes";
    EXPECT_FALSE(IsWindowEnabled(d.AutoSaveInterval));
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_TRUE(Option(p, "AutoSave") == "0" || Option(p, "AutoSave Interval") == "0")
        << "AutoSave=" << Option(p, "AutoSave") << " every " << Option(p, "AutoSave Interval");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A settings file the program may not write: Ok in Options and "Set as
// default database" say that the settings were not saved, what Ok took
// holds until the end (a later Cancel does not take it back), and the
// tasks are saved all the same.
TEST(ThemesAndOptionsScenario, SettingsThatCannotBeSavedAreToldAndHoldForTheRun) {
    TProgram p("settings-read-only");
    WriteWorkDatabase(p.DatabasePath(), {"Old", "Kept"});
    WriteFile(p.SettingsPath(), "[Options]\r\nConfirm Delete=1\r\n");
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = ReadFile(p.SettingsPath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    constexpr size_t ConfirmDeleteCheck = 2;
    Click(p, CenterOf(ChecksOf(d.Window)[ConfirmDeleteCheck]));
    Click(p, CenterOf(d.Ok));
    EXPECT_TRUE(Answer(p, "The settings could not be saved to: " + p.SettingsPath(), "OK"));
    ASSERT_TRUE(Closed(d.Window));
    FileMenuItem(p, 5);  // Set as default database
    EXPECT_TRUE(Answer(p, "The settings could not be saved to: " + p.SettingsPath(), "OK"));
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_FALSE(Checked(ChecksOf(d.Window)[ConfirmDeleteCheck]));
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(d.Window));
    // Delete asks no question, as Ok left it.
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    Click(p, CenterOf(lists.front()));
    Key(p, VK_HOME);
    Key(p, VK_DELETE);
    EXPECT_TRUE(p.NoDialogFor(500)) << ChildTexts(p.WaitDialog(0));
    if (p.WaitDialog(0)) Answer(p, "delete", "&Yes");
    AddTask(p, "Added");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Kept", "Added"}));
}

// A group underline colour stored as a value that names no colour
// ("$FFFFFFFF", a top byte no colour has) painted the band black. The band
// keeps its usual colour instead.
TEST(ThemesAndOptionsScenario, AnUnderlineColourThatNamesNoColourLeavesTheUsualBand) {
    const COLORREF usual = RGB(0xE4, 0x6D, 0x34);
    for (const char* stored : {"$FFFFFFFF", "$12345678", "$FF0000FF", "$00346DE4"}) {
        TProgram p("explore-stale-band-colour");
        WriteFile(p.DatabasePath(), TwoListsDatabase());
        WriteFile(p.SettingsPath(), std::string("[Options]\r\nGroups Underline Color=") + stored + "\r\n");
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        const RECT list = RectOf(TMainWindowParts(main).List);
        // The keyboard goes on to the side tree: the list with it and no
        // task chosen shows a dotted black frame of its own.
        Key(p, VK_TAB);
        EXPECT_TRUE(WaitUntil([&] {
            p.Settle();
            return ShareOf(list, usual) > 0.002;
        })) << stored << ": no band of the usual colour";
        EXPECT_LT(ShareOf(list, RGB(0, 0, 0)), 0.002) << stored << ": a black band";
        Shot(p, main, "explore-stale-band-colour");
        Key(p, 'Q', Ctrl);
        ASSERT_EQ(p.WaitExit(), 0);
    }
}

namespace {

// Theme menu entries: the classic Default, a theme of its own colour table
// and one drawn over the default theme.
constexpr size_t DefaultTheme = 0;
constexpr size_t Office11AdaptiveTheme = 11;
constexpr size_t StripesTheme = 16;
constexpr size_t ZezioTheme = 20;

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

TEST(ThemesAndOptionsScenario, AThemeChosenWhileTheProgramRunsLooksAsAStartUnderIt) {
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

TEST(ThemesAndOptionsScenario, InTheClassicLookThemesChosenWhileTheNoteIsWrittenKeepItsKeyboardAndPaintWhole) {
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

namespace {

// The width of the first group's caption text, which lies above the line
// starting at Band (a row of the list).
int CaptionInkWidth(HWND main, int band) {
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    if (lists.empty()) return 0;
    const RECT r = RectOf(lists.front());
    const RECT area{r.left + 24, r.top + band - 24, r.left + 300, r.top + band - 2};
    const std::vector<COLORREF> pixels = PixelsOf(area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return 0;
    int first = -1, last = -1;
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    return first < 0 ? 0 : last - first + 1;
}

// The number of pixel rows of the note panel's text box holding ink (the
// note's text grows with the note font size).
int NoteInkRows(HWND main) {
    const std::vector<HWND> notes = ChildrenOfClass(main, "TKitRichEdit");
    if (notes.empty()) return 0;
    const RECT r = RectOf(notes.front());
    const RECT area{r.left + 1, r.top + 1, std::min<LONG>(r.right - 1, r.left + 200), r.bottom - 1};
    const std::vector<COLORREF> pixels = PixelsOf(area);
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) return 0;
    int rows = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 300) {
                ++rows;
                break;
            }
        }
    return rows;
}

} // namespace

TEST(ThemesAndOptionsScenario, SizesAndIntervalChangedInTheDialogApplyAtOnceAndSurviveARestart) {
    TProgram p("options");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // A task with a two-line note, shown in the note panel.
    Click(p, PreparedTaskPoint(main, 0));
    Shot(p, main, "options-before");
    const std::vector<int> bandsBefore = GroupBandRows(main);
    const int inkBefore = NoteInkRows(main);
    ASSERT_EQ(bandsBefore.size(), 6u) << Rows(bandsBefore);
    ASSERT_GT(inkBefore, 0);
    const int captionBefore = CaptionInkWidth(main, bandsBefore[0]);

    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    EXPECT_EQ(TextOf(d.ListFontSize), "11");
    EXPECT_EQ(TextOf(d.NoteFontSize), "10");
    EXPECT_EQ(TextOf(d.AutoSaveInterval), "5");
    TypeNumber(p, d.ListFontSize, 14);
    TypeNumber(p, d.NoteFontSize, 15);
    TypeNumber(p, d.AutoSaveInterval, 7);
    Shot(p, d.Window, "options-changed");
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(d.Window) || !IsWindowVisible(d.Window); }));
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_TRUE(BecomesForeground(main));

    // Applied at once: the rows and the group captions are taller, so each
    // stretch between two group lines is, and the note's text is taller.
    Shot(p, main, "options-applied");
    const std::vector<int> bandsAfter = GroupBandRows(main);
    // (The last group's closing line is now below the list's bottom.)
    ASSERT_EQ(bandsAfter.size(), 5u) << Rows(bandsAfter);
    for (size_t i : {1, 3})
        EXPECT_GT(bandsAfter[i] - bandsAfter[i - 1], bandsBefore[i] - bandsBefore[i - 1])
            << "before " << Rows(bandsBefore) << "after " << Rows(bandsAfter);
    const int captionAfter = CaptionInkWidth(main, bandsAfter[0]);
    EXPECT_GT(captionAfter, captionBefore + 8) << "the group caption \"Holidays\" is cut short";
    Click(p, PreparedTaskPoint(main, 0));    // the list was built again
    const int inkAfter = NoteInkRows(main);
    EXPECT_GT(inkAfter, inkBefore + 4);
    // Kept in settings.ini as soon as Ok was pressed, and after the exit.
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "List Font Size"), "14");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "List Font Size"), "14");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "Lists Font Size"), "15");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "AutoSave Interval"), "7");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "AutoSave"), "1");

    // The next start shows the same window and the same values.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, PreparedTaskPoint(main, 0));
    Shot(p, main, "options-restarted");
    EXPECT_EQ(GroupBandRows(main), bandsAfter);
    EXPECT_EQ(CaptionInkWidth(main, bandsAfter[0]), captionAfter);
    EXPECT_EQ(NoteInkRows(main), inkAfter);
    d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Window, nullptr);
    EXPECT_EQ(TextOf(d.ListFontSize), "14");
    EXPECT_EQ(TextOf(d.NoteFontSize), "15");
    EXPECT_EQ(TextOf(d.AutoSaveInterval), "7");
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(d.Window) || !IsWindowVisible(d.Window); }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

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

TEST(ThemesAndOptionsScenario, EveryThemeFromTheMenuPaintsTheTabStripAndNoteCaptionAndIsKept) {
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
    ASSERT_TRUE(TrayShown());
    const HWND trayArea = WineSystemTrayInView();
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

TEST(ThemesAndOptionsScenario, NumbersOutOfRangeTypedIntoTheOptionsAreTakenAtTheirLimits) {
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
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
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
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        << "Esc in a number box did not close the dialog";
    EXPECT_EQ(IniValue(ini, "Options", "List Font Size"), "6");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Each number box of the Options dialog took two Tab stops: the second
// (its arrows) looked the same, but typing and the arrow keys changed
// nothing there. A number box is one stop, where typing and Up and Down
// change its number.
TEST(ThemesAndOptionsScenario, EachNumberBoxIsOneTabStopWhereTypingAndTheArrowsWork) {
    TProgram p("themes-options-number-boxes");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.Ok, nullptr);
    struct TBox {
        HWND Window;
        const char* Name;
        WORD Arrow;
        const char* Saved;
    };
    for (const TBox& box : {TBox{d.ListFontSize, "List Font Size", VK_UP, "11"},
                            TBox{d.NoteFontSize, "Lists Font Size", VK_DOWN, "9"},
                            TBox{d.AutoSaveInterval, "AutoSave Interval", VK_UP, "11"}}) {
        for (int i = 0; i < 30 && p.Focus() != box.Window; ++i) Key(p, VK_TAB);
        ASSERT_EQ(p.Focus(), box.Window) << "Tab did not reach the box of " << box.Name;
        Type(p, "10");
        Key(p, box.Arrow);
        EXPECT_EQ(TextOf(box.Window), box.Saved) << box.Name;
        Key(p, VK_TAB);
        EXPECT_NE(p.Focus(), box.Window) << box.Name;
        EXPECT_NE(ClassOf(GetParent(p.Focus())), "TTxcSpinEdit") << "a second stop in the box of " << box.Name;
    }
    Click(p, CenterOf(d.Ok));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_EQ(Option(p, "List Font Size"), "11");
    EXPECT_EQ(Option(p, "Lists Font Size"), "9");
    EXPECT_EQ(Option(p, "AutoSave Interval"), "11");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A default database that does not exist was taken without a word, the
// next start opened the standard one in silence, and auto-save, which
// saves only the default database, saved nothing with no sign. Ok now
// says the file does not exist and what opens instead, and asks (No goes
// back to the name); a start that cannot open the default database says
// which file it opened; and the caption says that auto-save leaves it.
TEST(ThemesAndOptionsScenario, AMissingDefaultDatabaseIsToldInTheOptionsAndAtTheStart) {
    TProgram p("options-missing-default");
    WriteWorkDatabase(p.DatabasePath(), {"Was there"});
    WriteFile(p.SettingsPath(), "[Options]\r\nMinToTrayC=0\r\nAutoSave=1\r\nAutoSave Interval=1\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TOptionsDialog d = OpenOptionsDialog(p, main);
    ASSERT_NE(d.DefaultDatabase, nullptr);
    ASSERT_NE(d.Ok, nullptr);
    Click(p, CenterOf(d.DefaultDatabase));
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    Type(p, "Data\\Nope.kpx");

    const auto okAndAsked = [&] {
        Click(p, CenterOf(d.Ok));
        HWND box = p.WaitDialog();
        return box && box != d.Window ? ChildTexts(box) : std::string("<nothing asked>");
    };
    const std::string asked = okAndAsked();
    EXPECT_NE(asked.find("Nope.kpx"), std::string::npos) << asked;
    EXPECT_NE(asked.find("does not exist"), std::string::npos) << asked;
    EXPECT_NE(asked.find(p.DatabasePath()), std::string::npos) << "not said what opens instead: " << asked;
    ASSERT_TRUE(Answer(p, "does not exist", "&No"));
    EXPECT_TRUE(IsWindowVisible(d.Window)) << "No closed the dialog";
    EXPECT_EQ(Option(p, "Default Database Tasks"), "");
    okAndAsked();
    ASSERT_TRUE(Answer(p, "does not exist", "&Yes"));
    ASSERT_TRUE(Closed(d.Window));
    EXPECT_EQ(Option(p, "Default Database Tasks"), "Data\\Nope.kpx");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main).find(NotAutoSavedNote) != std::string::npos; }))
        << "the caption does not say that auto-save leaves the open database: " << TextOf(main);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);

    p.Start();
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "the start said nothing of the missing default database";
    const std::string said = ChildTexts(box);
    EXPECT_NE(said.find("Nope.kpx"), std::string::npos) << said;
    EXPECT_NE(said.find("does not exist"), std::string::npos) << said;
    EXPECT_NE(said.find(p.DatabasePath()), std::string::npos) << "not said which file opened: " << said;
    Key(p, VK_RETURN);
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - ActualData.kpx" + std::string(NotAutoSavedNote); }))
        << TextOf(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

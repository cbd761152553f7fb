// Tools > Options with the keyboard and the mouse: the task list's font
// size (and so its row height), the note panel's font size and the
// auto-save interval changed, Ok; the main window shows the new sizes at
// once, settings.ini holds them after the exit, and the next start shows
// the same window and the same values in the dialog.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/logic/Options.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

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

TEST(OptionsScenario, SizesAndIntervalChangedInTheDialogApplyAtOnceAndSurviveARestart) {
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

} // namespace qelvo::e2e

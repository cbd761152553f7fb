// The quick-entry bar and the filter bar as their captions change: each
// switch of the quick-entry mode and each date or priority filter changes
// several captions, images and fonts of one bar at once, and the bar is
// laid out and painted once for all of them. What it shows then must be
// what a full repaint of the bar shows, with the edit where the mode's
// captions leave it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/E2eDriver.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

int WidthOf(HWND w) {
    const RECT r = RectOf(w);
    return r.right - r.left;
}

// The bar's pixels as the program left them, and after the whole bar was
// invalidated and painted again.
struct TRepaint {
    std::vector<COLORREF> Before;
    std::vector<COLORREF> After;
};

TRepaint RepaintOf(const TProgram& p, HWND bar) {
    p.Settle();
    TRepaint r;
    r.Before = PixelsOf(RectOf(bar));
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    p.Settle();
    r.After = PixelsOf(RectOf(bar));
    return r;
}

} // namespace

TEST(BarsScenario, ModeSwitchesAndFiltersShowTheirBarsAsAFullRepaintDoes) {
    TProgram p("bars");
    HWND main = StartWithSample(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    ASSERT_NE(parts.TopEdit, nullptr);
    HWND topBar = GetParent(parts.TopEdit);

    // Add mode: "Find" and "Add:" before the edit.
    Click(p, CenterOf(parts.TopEdit));
    const RECT add = RectOf(parts.TopEdit);

    // Find mode: "Add " and "Find:" move the edit, which keeps its size.
    Key(p, 'F', Ctrl);
    const RECT find = RectOf(parts.TopEdit);
    EXPECT_NE(find.left, add.left) << "the edit stayed where the Add captions left it";
    EXPECT_EQ(find.right - find.left, add.right - add.left);
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Shot(p, topBar, "bars-find-mode");
    TRepaint r = RepaintOf(p, topBar);
    EXPECT_EQ(r.Before, r.After) << "the bar in Find mode is not what a repaint shows";

    // Back to Add mode: the edit returns to its place.
    Key(p, 'N', Ctrl);
    EXPECT_EQ(RectOf(parts.TopEdit).left, add.left);
    r = RepaintOf(p, topBar);
    EXPECT_EQ(r.Before, r.After) << "the bar in Add mode is not what a repaint shows";
    // And once more into Find mode: the same place as the first time.
    Key(p, 'F', Ctrl);
    EXPECT_EQ(RectOf(parts.TopEdit).left, find.left);
    Key(p, 'N', Ctrl);

    // "Today" (in italics) is narrower than "All dates": the filter bar is
    // the bar whose width changes.
    std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    std::vector<int> widths;
    for (HWND w : bars) widths.push_back(WidthOf(w));
    Key(p, '1', Ctrl);
    HWND filters = nullptr;
    for (size_t i = 0; i < bars.size(); ++i)
        if (WidthOf(bars[i]) != widths[i]) filters = bars[i];
    ASSERT_NE(filters, nullptr) << "no bar changed its width for Today";
    const int allDates = widths[static_cast<size_t>(std::find(bars.begin(), bars.end(), filters) - bars.begin())];
    Shot(p, filters, "bars-today");
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with Today is not what a repaint shows";
    Key(p, 'A', Ctrl);
    EXPECT_EQ(WidthOf(filters), allDates);
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with All dates is not what a repaint shows";

    // The priority filter: "Priority: Low" in italics, then back to All.
    Key(p, 'P', Ctrl);
    EXPECT_NE(WidthOf(filters), allDates);
    r = RepaintOf(p, filters);
    EXPECT_EQ(r.Before, r.After) << "the filter bar with a priority is not what a repaint shows";
    for (int i = 0; i < 3; ++i) Key(p, 'P', Ctrl);
    EXPECT_EQ(WidthOf(filters), allDates);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

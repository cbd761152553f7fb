// The task list's header after the actions that change it and those that
// leave it as it was: filters that refill the list under the same header,
// sorting by a click (the sort mark and the pressed and hot column), a
// column resized, a scroll bar going and coming, the list scrolled
// sideways, another theme. After each the list shows what a paint of the
// whole window shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"

namespace qelvo::e2e {

namespace {

// The list view's client area on the screen.
RECT ClientOnScreen(HWND list) {
    RECT r{};
    GetClientRect(list, &r);
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

// The header bar's strip at the top of the client area (the bar is 21
// pixels tall in the first-start font).
RECT HeaderStripOf(HWND list) {
    RECT r = ClientOnScreen(list);
    r.bottom = r.top + 20;
    return r;
}

// Tools > Theme > Default: the first entry of the theme menu.
void ChooseDefaultTheme(TProgram& p, HWND main) {
    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    const RECT menuBar = RectOf(bars[0]);
    Click(p, POINT{menuBar.left + 88, menuBar.top + 11});
    Key(p, VK_UP);    // Options...
    Key(p, VK_UP);    // Theme
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
}

} // namespace

TEST(HeaderRepaintScenario, TheHeaderShowsAsAWholeRepaintAfterEachChangeOfTheListOrOfItself) {
    TProgram p("header-repaint");
    WriteWorkDatabase(p.DatabasePath(), NumberedTitles(50));
    WriteFile(p.SettingsPath() + "col",
              "[columns]\r\nC0p=0\r\nC0w=260\r\nC0v=1\r\nC1p=1\r\nC1w=150\r\nC1v=1\r\nC2p=2\r\nC2w=100\r\nC2v=1\r\n");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    HWND list = lists.front();
    const RECT client = ClientOnScreen(list);
    auto header = [&](int x) { return POINT{client.left + x, client.top + 10}; };
    const POINT rows{client.left + 120, client.top + 120};
    // The client area: the header and the rows (a scroll bar's arrow
    // clicked keeps a look of its own until the frame is painted again).
    auto listShowsAsRepaint = [&] { return ShowsAsAWholeRepaint(p, main, {ClientOnScreen(list)}); };

    // Filters refill the list under a header that stays as it was.
    MoveTo(p, rows);
    const std::vector<COLORREF> unsorted = PixelsOf(HeaderStripOf(list));
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done on";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done off";
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) == unsorted) << "the header changed with a filter";

    // A click on Title sorts: the sort mark comes, under the mouse; the
    // mouse leaves the header; another click turns the sort round.
    Click(p, header(40));
    Shot(p, main, "header-repaint-sorted");
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted, the mouse over the header";
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted, the mouse over the rows";
    const std::vector<COLORREF> ascending = PixelsOf(HeaderStripOf(list));
    EXPECT_TRUE(ascending != unsorted) << "no sort mark";
    Click(p, header(80));
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "sorted the other way";
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) != ascending) << "the sort mark did not turn";

    // Title narrowed by its edge.
    Drag(p, header(260), header(200));
    MoveTo(p, rows);
    EXPECT_TRUE(listShowsAsRepaint()) << "a column resized";

    // Today shows no task and no scroll bar, so the header is wider; all
    // dates bring the bar back.
    ASSERT_TRUE(HasVerticalBar(list));
    Key(p, '1', Ctrl);
    EXPECT_FALSE(HasVerticalBar(list));
    EXPECT_TRUE(listShowsAsRepaint()) << "the scroll bar went";
    Key(p, 'A', Ctrl);
    EXPECT_TRUE(HasVerticalBar(list));
    EXPECT_TRUE(listShowsAsRepaint()) << "the scroll bar came";

    // Title wider than the list: a bar to scroll sideways, and a click on
    // its right arrow moves the header with the rows.
    Drag(p, header(200), header(client.right - client.left - 20));
    MoveTo(p, rows);
    ASSERT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    const RECT widened = ClientOnScreen(list);
    const std::vector<COLORREF> left = PixelsOf(HeaderStripOf(list));
    Click(p, POINT{widened.right - GetSystemMetrics(SM_CXHSCROLL) / 2,
                   widened.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2});
    MoveTo(p, rows);
    Shot(p, main, "header-repaint-scrolled-sideways");
    EXPECT_TRUE(PixelsOf(HeaderStripOf(list)) != left) << "the header did not scroll";
    EXPECT_TRUE(listShowsAsRepaint()) << "scrolled sideways";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done while scrolled sideways";

    // Another theme.
    ChooseDefaultTheme(p, main);
    MoveTo(p, rows);
    Shot(p, main, "header-repaint-default-theme");
    EXPECT_TRUE(listShowsAsRepaint()) << "the Default theme";
    Key(p, 'D', Ctrl);
    EXPECT_TRUE(listShowsAsRepaint()) << "Hide Done in the Default theme";

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

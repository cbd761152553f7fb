// The print window and the print and export commands used for real.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

// The File menu's print and export entries, counted from its top.
constexpr int PrintSteps = 8, PendrillaxSteps = 11;

bool Closed(HWND w) {
    return WaitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); });
}

} // namespace

// The Pendrillax export aimed at the database's own file (typed in the
// save dialog under another letter case) is refused with a message; the
// database keeps every task through the exit and the next start, and an
// export under another name is written.
TEST(ExplorePrintScenario, ThePendrillaxExportNeverReplacesTheOpenDatabase) {
    TProgram p("explore-print-jmw-db");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    std::string shouted = p.DatabasePath();
    shouted.replace(shouted.size() - 14, 14, "ACTUALDATA.KPX");
    ChooseFromMenu(p, main, FileMenuX, PendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, shouted));
    EXPECT_TRUE(Answer(p, msg::ExportOverDatabaseHead, "OK"));
    ChooseFromMenu(p, main, FileMenuX, PendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("moving")));
    const std::string jmw = ReadFile(p.PathOf("moving.jmw"));
    EXPECT_NE(jmw.find(".jmw"), std::string::npos);
    EXPECT_NE(jmw.find("Book the ferry\xBD"), std::string::npos);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_EQ(titles.size(), PreparedTasks().size());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Book the ferry"), titles.end());
}

TEST(ExplorePrintProbe, KeyboardInThePrintWindow) {
    TProgram p("explore-print-keys");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    FileMenuItem(p, PrintSteps - 1);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    std::cerr << DescribeChildren(print);
    std::cerr << "focus " << ClassOf(p.Focus()) << "\n";
    for (int i = 0; i < 6; ++i) {
        Key(p, VK_TAB);
        std::cerr << "tab focus " << ClassOf(p.Focus()) << " '" << TextOf(p.Focus()) << "'\n";
    }
    Shot(p, print, "explore-print-keys");
    Key(p, VK_ESCAPE);
    std::cerr << "closed after esc " << Closed(print) << "\n";
    Key(p, 'Q', Ctrl);
    std::cerr << "exit " << p.WaitExit() << "\n";
}

TEST(ExplorePrintProbe, HotKeyWhileThePrintWindowIsUp) {
    TProgram p("explore-print-tray");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    Key(p, 'O', Ctrl | Shift);
    p.Settle();
    std::cerr << "main visible " << IsWindowVisible(main) << " print visible " << IsWindowVisible(print) << "\n";
    Key(p, 'O', Ctrl | Shift);
    p.Settle();
    std::cerr << "main visible " << IsWindowVisible(main) << " print visible " << IsWindowVisible(print)
              << " main enabled " << IsWindowEnabled(main) << " fg '" << TextOf(GetForegroundWindow()) << "'\n";
    Shot(p, main, "explore-print-tray");
    p.Kill();
}

TEST(ExplorePrintProbe, TrayExitWhileThePrintWindowIsUp) {
    TProgram p("explore-print-tray-exit");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    AddTask(p, "Typed before printing");
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const RECT r = RectOf(WineSystemTray());
    Click(p, {r.left + GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXSMICON) / 2 + 2, (r.top + r.bottom) / 2 + 4},
          true);
    WaitUntil([&] { return p.TopWindows().size() > 2; }, 3000);
    for (HWND w : p.TopWindows()) std::cerr << "top " << ClassOf(w) << " '" << TextOf(w) << "'\n";
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    std::cerr << "exit " << p.WaitExit() << "\n";
    for (HWND w : p.TopWindows()) std::cerr << "top " << ClassOf(w) << " '" << TextOf(w) << "' " << ChildTexts(w) << "\n";
    for (const std::string& t : TitlesIn(p.DatabasePath())) std::cerr << "title: " << t << "\n";
    p.Kill();
}

TEST(ExplorePrintProbe, WidthBox) {
    TProgram p("explore-print-width");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const std::vector<HWND> bars = ChildrenOfClass(print, "TXtToolbar.UnicodeClass");
    ASSERT_EQ(bars.size(), 1u);
    const RECT bar = RectOf(bars.front());
    const int y = (bar.top + bar.bottom) / 2;
    Shot(p, print, "explore-print-width-0");
    Click(p, {bar.left + 560, y});
    std::cerr << "focus " << ClassOf(p.Focus()) << " '" << TextOf(p.Focus()) << "'\n";
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    Type(p, "50");
    Key(p, VK_RETURN);
    std::cerr << "focus " << ClassOf(p.Focus()) << " '" << TextOf(p.Focus()) << "'\n";
    Shot(p, print, "explore-print-width-1");
    Click(p, {bar.left + 190, y});
    ASSERT_TRUE(TypeFileName(p, p.PathOf("report")));
    const std::string html = ReadFile(p.PathOf("report.html"));
    std::cerr << html.substr(html.find("<table"), 60) << "\n";
    Key(p, VK_ESCAPE);
    std::cerr << "closed " << Closed(print) << "\n";
    p.Kill();
}

} // namespace qelvo::e2e

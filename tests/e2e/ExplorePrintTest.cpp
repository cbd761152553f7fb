// The print window and the print and export commands used for real: an
// export never replaces the open database's file, and the print window
// answers the keyboard alone.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

// The File menu's print and export entries, counted from its top.
constexpr int PrintSteps = 8, PendrillaxSteps = 11;

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
    // The dialog asks before it replaces a file; the refusal comes after.
    ASSERT_TRUE(ChooseFileName(p, shouted));
    ASSERT_TRUE(Answer(p, "already exists", "&Yes"));
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

// The print window worked from the keyboard alone: opened from the File
// menu, F10 takes the keyboard to its bar, the arrows reach the width box
// (past the buttons that stay off without an HTML engine), a width typed
// there and taken with Enter makes the report, which Export As HTML
// writes; Esc closes the window and the main window has the keyboard.
TEST(ExplorePrintScenario, TheKeyboardAloneSetsTheWidthExportsAndCloses) {
    TProgram p("explore-print-keys");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    FileMenuItem(p, PrintSteps - 1);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    // Print Now, Print Preview, Export As HTML, the two options, the width.
    Key(p, VK_F10);
    for (int i = 0; i < 5; ++i) Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(p.Focus()), "670");
    Key(p, 'A', Ctrl);
    Type(p, "300");
    Key(p, VK_RETURN);
    EXPECT_EQ(p.Focus(), print);
    Key(p, VK_F10);
    Key(p, VK_RIGHT);
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("report"), true));
    const std::string html = ReadFile(p.PathOf("report.html"));
    EXPECT_NE(html.find("<title>To Do List</title>"), std::string::npos);
    EXPECT_NE(html.find("<table width=\"300\""), std::string::npos) << html.substr(0, 600);
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(Closed(print));
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_TRUE(IsChild(main, p.Focus()));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

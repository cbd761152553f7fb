// The print window opened from the File menu on a system without an HTML
// engine (Wine here has none): it says so as soon as it shows, keeps
// answering, and once closed the main window has the keyboard again.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/logic/AppMessages.h"
#include "e2e/PreparedDatabase.h"

namespace qelvo::e2e {

namespace {

constexpr int PrintSteps = 8;

// Whether a child window of W shows Text.
bool HasChildText(HWND w, const std::string& text) {
    for (HWND child : ChildrenOfClass(w, ""))
        if (TextOf(child) == text) return true;
    return false;
}

} // namespace

TEST(PrintWindowScenario, WithoutAnHtmlEngineItSaysSoAtOnceAndKeepsAnswering) {
    TProgram p("print-window-no-engine");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr) << "no print window";
    // The window is modal and, once shown, says why there is no report.
    EXPECT_EQ(TextOf(print), "Print preview....");
    EXPECT_TRUE(HasChildText(print, msg::PrintEngineMissing)) << DescribeChildren(print);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_TRUE(BecomesForeground(print));
    Shot(p, print, "print-window-no-engine");
    // It answers its close box.
    Click(p, CloseBoxOf(print));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
    EXPECT_TRUE(IsWindowEnabled(main));
    Click(p, CaptionPointOf(main));    // the keyboard's return is the next scenario's
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PrintWindowScenario, ClosingItGivesTheKeyboardBackToTheMainWindow) {
    TProgram p("print-window-focus");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    for (int round = 0; round < 2; ++round) {
        ChooseFromMenu(p, main, FileMenuX, PrintSteps);
        HWND print = p.WaitTopWindow("TPrintF");
        ASSERT_NE(print, nullptr) << "no print window";
        // The close box (first round) or Alt+F4 ends it.
        if (round == 0)
            Click(p, CloseBoxOf(print));
        else
            Key(p, VK_F4, Alt);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
        // The main window is in front, active, and takes shortcuts at once.
        EXPECT_TRUE(BecomesForeground(main))
            << "the foreground went to '" << TextOf(GetForegroundWindow()) << "'";
        EXPECT_TRUE(p.BecomesActive(main));
        EXPECT_TRUE(IsChild(main, p.Focus()));
        Key(p, 'N', Ctrl);    // New task
        EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
        EnterTask(p, "Printed " + std::to_string(round + 1));
        // Whatever happened, the next round starts from the main window.
        if (GetForegroundWindow() != main) Click(p, CaptionPointOf(main));
    }
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Printed 1"), titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Printed 2"), titles.end());
}

} // namespace qelvo::e2e

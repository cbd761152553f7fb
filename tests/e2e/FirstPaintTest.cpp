// The main window as it first shows: the first paint must leave every
// window's frame, background and content as a paint of the whole window
// does, with the window active and its task list and side tree (both with
// their scroll bars) in place, in the first-start theme and in another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "e2e/ExitsSupport.h"
#include "e2e/RepaintSupport.h"

namespace qelvo::e2e {

namespace {

// The layout the program writes at its first exit, with a theme.
std::string SettingsWithTheme(int theme) {
    return "[Form]\r\nWidth=804\r\nHeight=500\r\nLeft=110\r\nTop=134\r\nMaximized=0\r\nTheme=" + std::to_string(theme) +
           "\r\n[Org Panel]\r\nDockedWidth=200\r\n[Note Panel]\r\nDockedHeight=80\r\nMin=0\r\n"
           "[Group By Panel]\r\nvisible=1\r\n[Filters Panel]\r\nvisible=1\r\n";
}

// How far two colours lie apart, channel by channel.
int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// Starts the program on 60 tasks in 30 lists (both the task list and the
// side tree scroll) and checks the window once it has painted: active,
// where the layout put it, and showing what a whole repaint shows.
void CheckFirstPaint(int theme) {
    TProgram p("first-paint-" + std::to_string(theme));
    MakeFolderOf(p.DatabasePath());
    {
        TuData data;
        for (int list = 0; list < 30; ++list)
            data.Folders->Add("List " + std::to_string(list) + "\xF7" "0\xF7");
        for (const std::string& title : NumberedTitles(60)) {
            TuTask* task = new TuTask();
            task->Title = title;
            task->Folder = "List " + title.substr(title.size() - 1);
            data.Tasks->AddObject(title, task);
        }
        data.SaveToFile(p.DatabasePath());
    }
    WriteFile(p.SettingsPath(), SettingsWithTheme(theme));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    p.Settle();
    // Shown as a normal window is: active, in front, with the keyboard.
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_TRUE(p.Focus() == main || IsChild(main, p.Focus()));
    EXPECT_FALSE(IsIconic(main) || IsZoomed(main));
    const RECT frame = RectOf(main);
    // The caption shows the active look (its gradient's end, beside the
    // buttons), which the activation on the way to showing gave it.
    const COLORREF caption = PixelAt(POINT{frame.right - 90, frame.top + 6});
    EXPECT_LT(Distance(caption, GetSysColor(COLOR_GRADIENTACTIVECAPTION)),
              Distance(caption, GetSysColor(COLOR_GRADIENTINACTIVECAPTION)))
        << std::hex << caption;
    EXPECT_EQ(frame.left, 110);
    EXPECT_EQ(frame.top, 134);
    EXPECT_EQ(frame.right - frame.left, 804);
    EXPECT_EQ(frame.bottom - frame.top, 500);
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_TRUE(HasVerticalBar(lists.front()));
    const std::vector<HWND> trees = ChildrenOfClass(main, "TUniTreeView.UnicodeClass");
    ASSERT_EQ(trees.size(), 1u);
    EXPECT_TRUE(HasVerticalBar(trees.front()));
    // Every window's frame, background and content, the window's own frame
    // and caption among them.
    Shot(p, main, "first-paint-" + std::to_string(theme));
    EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {frame})) << "theme " << theme;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace

TEST(FirstPaintScenario, TheFirstPaintShowsWhatAWholeRepaintShows) {
    CheckFirstPaint(17);
    CheckFirstPaint(0);
}

} // namespace qelvo::e2e

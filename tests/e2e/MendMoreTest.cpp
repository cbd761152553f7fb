// Faults found by exploring the real program, each written here as it
// failed before it was mended: a due-date filter that kept yesterday's
// day past midnight, a print window the keyboard could neither reach nor
// leave, a second start that went unheard while the first copy was still
// starting, a Save As that offered the very file the user chose to keep,
// and the note panel's caption bar losing its lower edge.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/ClockSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// A database of one list whose tasks are due on the day before today,
// today, and on no day.
void WriteDueDatabase(const std::string& path) {
    const std::string sep = "\xF7", eol = "\r\n";
    std::string text = "d_id-4711471148" + eol + "Home" + sep + "1" + sep + eol + "<--<*&^Folders^&*>-->" + eol +
                       "<--<*&^Tags^&*>-->" + eol;
    const std::pair<std::string, std::string> tasks[] = {
        {"Due on the old day", ";" + FileDate(-1) + ";"},
        {"Due on the new day", ";" + FileDate(0) + ";"},
        {"Due some day", ""},
    };
    int id = 1;
    for (const auto& [title, due] : tasks)
        text += due + title + sep + "--" + sep + "000000000" + std::to_string(id++) + sep + "Home" + sep + "1/2/2025" +
                sep + sep + eol;
    WriteFile(path, text);
}

} // namespace

// A program left running overnight with the "Today" filter showed the day
// before's tasks under "Today" until something refreshed the list. The
// program's clock is set to end the day a few seconds after the start.
TEST(DayChangeMendScenario, TheTodayFilterShowsTheNewDaysTasksPastMidnight) {
    TProgram p("mend-more-midnight");
    WriteDueDatabase(p.DatabasePath());
    // The program's midnight comes 10 seconds from now.
    ULONGLONG midnight = 0;
    {
        const TDayEndingSoon day(10);
        midnight = day.Midnight();
        p.Start();
    }
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Key(p, '1', Ctrl);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Due on the old day");
    ASSERT_LT(GetTickCount64(), midnight) << "the program started too late to see its day end";
    // Midnight, and a tick of the program's one-second timer after it.
    WaitUntil([&] { return GetTickCount64() > midnight + 2000; }, 20000);
    p.Settle();
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Due on the new day");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The print window's bar had no key to reach it and Esc did nothing: a
// keyboard user could leave the window by Alt+F4 only. F10 takes the
// keyboard to the bar, whose buttons the arrows and Enter work; Esc
// leaves the bar, and Esc closes the window.
TEST(PrintKeysMendScenario, F10ReachesTheBarAndEscapeClosesTheWindow) {
    TProgram p("mend-more-print-keys");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, FileMenuX, 8);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr) << "no print window";
    // Esc closes it.
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }, 3000));
    if (IsWindow(print) && IsWindowVisible(print)) Key(p, VK_F4, Alt);
    EXPECT_TRUE(IsWindowEnabled(main));

    // F10 (on "Print Now"), then Right past "Print Preview" to "Export As
    // HTML" (the first two are off without a web browser), Enter: the
    // export's save dialog.
    ChooseFromMenu(p, main, FileMenuX, 8);
    print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr) << "no print window";
    Key(p, VK_F10);
    Key(p, VK_RIGHT);
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
    HWND dialog = p.WaitDialog(3000);
    EXPECT_NE(dialog, nullptr) << "Export As HTML did not run";
    if (dialog) {
        Key(p, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    }
    // F10 and Esc leave the bar with the window still open; Esc closes it.
    Key(p, VK_F10);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(print));
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }, 3000));
    if (IsWindow(print) && IsWindowVisible(print)) Key(p, VK_F4, Alt);
    EXPECT_TRUE(BecomesForeground(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

struct TWindowSearch {
    DWORD ProcessId;
    const std::string* ClassName;
    bool Found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<TWindowSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == s->ProcessId && (s->ClassName->empty() || ClassOf(w) == *s->ClassName)) {
        s->Found = true;
        return FALSE;
    }
    return TRUE;
}

// Whether a process has a top-level window (shown or hidden) of a class,
// or of any class when ClassName is empty.
bool HasWindow(DWORD processId, const std::string& className) {
    TWindowSearch search{processId, &className, false};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

// A second start while the first copy was still starting ended at once
// without a word to it, since the first had no main window yet (here it
// says first that its database is missing). The second start now waits
// for that window and hands over as it does to a copy that runs.
TEST(SecondStartMendScenario, ASecondStartWhileTheFirstStartsWaitsForItsWindow) {
    TProgram p("mend-more-second-start");
    p.Start();
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "no message about the missing database";
    EXPECT_FALSE(HasWindow(p.ProcessId(), "TMainForm"));
    TProgram second("mend-more-second-start", true);
    second.Start();
    EXPECT_EQ(second.WaitExit(1500), -1) << "the second start ended while the first had no window";
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_TRUE(BecomesForeground(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// After a save found the database changed on disk and the user answered
// No ("keep it and save the tasks shown under another name"), the save
// dialog offered the very file the user had chosen to keep: Enter and the
// replace question's Yes wrote over it. The dialog now offers a name of
// its own beside it.
TEST(SaveAsMendScenario, NoToReplacingAChangedFileOffersAnotherName) {
    TProgram p("mend-more-save-as");
    WriteWorkDatabase(p.DatabasePath(), {"Mine"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Added here");
    // Another writer changes the file.
    WriteWorkDatabase(p.DatabasePath(), {"Theirs"});
    Key(p, 'S', Ctrl);
    ASSERT_TRUE(Answer(p, "was changed by another program", "&No"));
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    ASSERT_FALSE(edits.empty());
    const std::string offered = TextOf(edits.front());
    EXPECT_EQ(offered, "ActualData (2).kpx");
    // Taken as offered, the copy goes beside the kept file.
    Key(p, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{"Theirs"});
    std::vector<std::string> copied = TitlesIn(p.PathOf("Data\\ActualData (2).kpx"));
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, (std::vector<std::string>{"Added here", "Mine"}));
    // With the tasks saved in the copy, the exit leaves the kept file alone.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{"Theirs"});
}

// The note panel's caption bar lost the lower rows of its look (painted
// white) when choosing a task with a note changed its caption: the bar
// painted the caption alone. Checked with the theme of a first start and
// with the classic Default theme (Tools > Theme, its first entry).
TEST(NoteCaptionMendScenario, ChoosingATaskRepaintsTheNoteCaptionBarWhole) {
    TProgram p("mend-more-note-caption");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    const std::vector<HWND> captions = ChildrenOfClass(parts.NotePanel, "TXtDockablePanelToolbar.UnicodeClass");
    ASSERT_EQ(captions.size(), 1u);
    const RECT noteBar = RectOf(captions[0]);
    for (const char* theme : {"first start", "Default"}) {
        if (std::string(theme) == "Default") {
            OpenMainMenu(p, main, ToolsMenuX);
            Key(p, VK_UP);    // Options...
            Key(p, VK_UP);    // Theme
            Key(p, VK_RIGHT);
            Key(p, VK_RETURN);    // its first entry
        }
        for (size_t task : {size_t(1), size_t(0), size_t(4)}) {
            Click(p, PreparedTaskPoint(main, task));
            // Painting waits for an empty queue.
            Sleep(150);
            EXPECT_TRUE(ShowsAsAWholeRepaint(p, main, {noteBar})) << theme << ", task " << task;
        }
        Shot(p, main, std::string("mend-more-note-caption-") + theme);
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Theme"), "0");
}

} // namespace qelvo::e2e

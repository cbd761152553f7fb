// The notification area and the hot key: the window hidden to the tray and
// brought back with its keyboard, dialogs and questions open on the way,
// "Run: Minimized" and quick clicks on the tray icon.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <oleacc.h>
#include <string>
#include <vector>

#include "e2e/BarItemsSupport.h"
#include "e2e/ClockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/SampleDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

void PressHotKey(const TProgram& p) { Key(p, 'O', Ctrl | Shift); }

} // namespace

// The hot key pressed while the date panel's calendar was dropped down (";;"
// in the quick-entry box) minimised the window and left the calendar alone
// on the screen; the hot key again brought the window back with the keyboard
// nowhere, so what the user typed next was lost. The calendar now closes as
// the window goes, and the keyboard comes back to the quick-entry box.
TEST(TrayAndHotKeyScenario, TheHotKeyTakesADroppedCalendarAlongAndBringsTheKeyboardBack) {
    TProgram p("interrupt-calendar-hotkey");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, CenterOf(parts.TopEdit));
    Type(p, "Buy ;;");
    ASSERT_EQ(VisibleTops(p, "SysMonthCal32").size(), 1u) << "no calendar dropped down";

    PressHotKey(p);
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().empty(); }))
        << "left on the screen: " << (p.TopWindows().empty() ? "" : ClassOf(p.TopWindows().front()));

    PressHotKey(p);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    EXPECT_TRUE(VisibleTops(p, "SysMonthCal32").empty());
    Type(p, "milk");
    EXPECT_EQ(TextOf(parts.TopEdit), "Buy milk");
    Shot(p, main, "interrupt-calendar-hotkey");

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The window sent to the notification area by a click on the icon, and a
// quick second click to bring it back: the second click came as a double
// click, which the icon has no use for, and the window stayed hidden.
TEST(TrayAndHotKeyScenario, AQuickSecondClickOnTheTrayIconBringsTheWindowBack) {
    TProgram p("quick-clicks-tray");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TrayShown());
    const POINT icon = TrayIconPoint();
    const DWORD first = GetTickCount();
    StampedClick(p, icon, first);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    StampedClick(p, icon, first + 100);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; })) << "the second click was lost";
    if (!IsWindowVisible(main)) {
        Sleep(GetDoubleClickTime() + 50);
        Click(p, icon);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

struct TTrayWindowSearch {
    DWORD Process = 0;
    std::string ClassName;
    HWND Found = nullptr;
};
BOOL CALLBACK FindWindowOfClass(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<TTrayWindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != search->Process || ClassOf(w) != search->ClassName) return TRUE;
    search->Found = w;
    return FALSE;
}
// A top-level window of the program by class, shown or not.
HWND AnyTopWindow(const TProgram& p, const std::string& className) {
    TTrayWindowSearch search{p.ProcessId(), className, nullptr};
    WaitUntil([&] {
        EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
        return search.Found != nullptr;
    });
    return search.Found;
}

// The shell's word to every window that the taskbar was made again (after
// Explorer ended and started): the icons it showed are gone.
void TaskbarMadeAgain(HWND iconOwner) {
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = iconOwner;
    icon.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &icon);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_NORMAL, 5000, &result);
}

} // namespace

// "Run: Minimized" with the layout saved maximised and the icon on: the
// program waits in the notification area, and the hot key and the icon
// bring back the whole window, maximised, with the keyboard.
TEST(TrayAndHotKeyScenario, RunMinimizedWaitsInTheTrayAndComesBackMaximisedAndWhole) {
    TProgram p("shell-run-minimized");
    WritePreparedDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=700\r\nHeight=450\r\nLeft=40\r\nTop=30\r\nMaximized=1\r\n");
    p.StartAs(SW_SHOWMINNOACTIVE);
    const HWND main = AnyTopWindow(p, "TMainForm");
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TrayShown());
    p.Settle();
    EXPECT_FALSE(IsWindowVisible(main)) << "the window shows, as an icon of its own, instead of waiting in the tray";
    EXPECT_FALSE(IsIconic(main));

    // The hot key brings it back maximised, its panes laid out, the
    // keyboard in the quick-entry box.
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    p.Settle();
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsZoomed(main));
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    TMainWindowParts parts(main);
    ASSERT_NE(parts.List, nullptr);
    const RECT window = RectOf(main), list = RectOf(parts.List);
    EXPECT_GT(list.right - list.left, (window.right - window.left) / 2) << "the task list keeps a squeezed width";
    EXPECT_GT(list.bottom - list.top, (window.bottom - window.top) / 2) << "the task list keeps a squeezed height";
    Shot(p, parts.List, "shell-run-minimized-restored");    // the whole window lies past the screen's edges
    Type(p, "Typed after a minimised start");
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 3) {
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }

    // To the tray and back with a click on the icon.
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Click(p, TrayIconPoint());
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; })) << DescribeTray();
    EXPECT_TRUE(IsZoomed(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Maximized"), "1");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Width"), "700");
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_TRUE(std::find(titles.begin(), titles.end(), "Typed after a minimised start") != titles.end());
}

// "Run: Minimized" on a database that cannot be loaded: once its message
// is answered the program waits in the tray as well.
TEST(TrayAndHotKeyScenario, RunMinimizedAfterAMessageAtStartWaitsInTheTray) {
    TProgram p("shell-run-minimized-message");
    WriteFile(p.DatabasePath(), "not a database\r\n\xF7\xF7\r\n");
    p.StartAs(SW_SHOWMINNOACTIVE);
    // The icon goes up while the message is read.
    ASSERT_NE(p.WaitDialog(), nullptr);
    ASSERT_TRUE(TrayShown());
    ASSERT_TRUE(Answer(p, "cannot be loaded. Possible corrupted database.", "OK"));
    const HWND main = AnyTopWindow(p, "TMainForm");
    const HWND application = AnyTopWindow(p, "TApplication");
    ASSERT_TRUE(main && application);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(application) != 0; }));
    // The application hides once it has gone down to the tray.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(application); }))
        << "minimised to the taskbar, not to the tray";
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Without the icon, "Run: Minimized" minimises the application to the
// taskbar and the hot key restores the window where it was; "Run:
// Maximized" shows it maximised and it comes back to its own size.
TEST(TrayAndHotKeyScenario, RunMinimizedOrMaximizedWithoutTheTrayKeepsTheWindowsPlace) {
    TProgram p("shell-run-min-max");
    WritePreparedDatabase(p.DatabasePath());
    WriteFile(p.SettingsPath(), "[Form]\r\nWidth=700\r\nHeight=450\r\nLeft=40\r\nTop=30\r\nMaximized=0\r\n"
                                "[Options]\r\nMinToTrayC=0\r\n");
    p.StartAs(SW_SHOWMINNOACTIVE);
    const HWND main = AnyTopWindow(p, "TMainForm");
    const HWND application = AnyTopWindow(p, "TApplication");
    ASSERT_TRUE(main && application);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(application) != 0; })) << "the application is not minimised";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(application) != 0; }))
        << "no taskbar button to restore it from";
    p.Settle();
    EXPECT_FALSE(IsWindowVisible(main) && IsIconic(main)) << "the window is minimised apart from its application";
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(application); }));
    p.Settle();
    EXPECT_FALSE(IsIconic(main));
    const RECT r = RectOf(main);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.right - r.left, 700);
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(ClassOf(p.Focus()), "TXtEdit.UnicodeClass");
    Shot(p, main, "shell-run-minimized-normal");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Left"), "40");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Form", "Width"), "700");

    // Maximised from the shortcut: the task list has the keyboard; a
    // double click on the caption gives the window its own place back.
    TProgram again("shell-run-min-max", true);
    again.StartAs(SW_SHOWMAXIMIZED);
    const HWND second = again.Main();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsZoomed(second));
    EXPECT_EQ(ClassOf(again.Focus()), "TGvListview");
    DoubleClick(again, CaptionPointOf(second));
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(second); }));
    EXPECT_EQ(RectOf(second).left, 40);
    EXPECT_EQ(RectOf(second).right - RectOf(second).left, 700);
    Key(again, 'Q', Ctrl);
    EXPECT_EQ(again.WaitExit(), 0);
    EXPECT_EQ(IniValue(again.SettingsPath(), "Form", "Maximized"), "0");
}

// With a dialog open, the icon brings back the dialog with the keyboard,
// and its menu leaves the keyboard with the dialog or the window; the
// icon comes back when the taskbar is made again, hidden or shown.
TEST(TrayAndHotKeyScenario, TheTrayIconKeepsTheKeyboardWithAnOpenDialogAndOutlivesTheTaskbar) {
    TProgram p("shell-tray-dialog");
    const HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(TrayShown());
    const HWND iconOwner = AnyTopWindow(p, "TPUtilWindowEx");

    // A click hides the window with its dialog, a second brings both back:
    // the dialog has the keyboard (Esc closes it).
    HWND options = OpenOptionsDialog(p, main).Window;
    ASSERT_NE(options, nullptr);
    Click(p, TrayIconPoint());
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Sleep(GetDoubleClickTime());    // two clicks, not a double click
    Click(p, TrayIconPoint());
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(options)) << "the disabled window is above its dialog with the keyboard";
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));

    // The icon's menu under the dialog: New task, then a menu closed with
    // Esc; the dialog keeps the keyboard.
    options = OpenOptionsDialog(p, main).Window;
    ASSERT_NE(options, nullptr);
    Click(p, TrayIconPoint(), true);
    ASSERT_TRUE(WaitUntil([&] { return p.TopWindows().size() > 3; }));
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(options)) << "the keyboard stays on the icon's hidden window";
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(options) || !IsWindowVisible(options); }));
    Click(p, TrayIconPoint(), true);
    ASSERT_TRUE(WaitUntil([&] { return p.TopWindows().size() > 2; }));
    Key(p, VK_ESCAPE);
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(main));

    // A title being typed when the hot key takes the window to the tray is
    // taken, as a click elsewhere takes it. (A click on the icon is a
    // click on the taskbar, which takes the activation first: that takes
    // it too, as switching to another program does.)
    Click(p, PreparedTaskPoint(main, 1));
    Key(p, VK_RETURN);
    Type(p, "Renamed before the hot key");
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != 0; }));
    p.Settle();
    EXPECT_TRUE(ChildrenOfClass(main, "TGvEdit").empty()) << "the title editor stayed";
    Key(p, 'N', Ctrl);
    Type(p, "Typed after the icon's menu");
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 2) {
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }

    // The taskbar made again: the icon is back, shown or hidden.
    TaskbarMadeAgain(iconOwner);
    EXPECT_TRUE(TrayShown());
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    TaskbarMadeAgain(iconOwner);
    EXPECT_TRUE(TrayShown());
    EXPECT_FALSE(IsWindowVisible(main));
    // The menu opened from the keyboard (the shell's NIN_KEYSELECT) ends
    // the program with a save.
    PostMessageA(iconOwner, WM_USER + 1, 1, NIN_KEYSELECT);
    ASSERT_TRUE(WaitUntil([&] { return p.TopWindows().size() > 0; }));
    Key(p, VK_UP);
    Key(p, VK_RETURN);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    for (const char* title : {"Typed after the icon's menu", "Renamed before the hot key"})
        EXPECT_TRUE(std::find(titles.begin(), titles.end(), title) != titles.end()) << "lost: " << title;
}

TEST(TrayAndHotKeyScenario, AQuestionOpenWhileTheHotKeyHidesAndShowsTheWindowStillTakesTheKeys) {
    TProgram p("use-hotkey-question");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    ASSERT_TRUE(WaitUntil([] { return WineSystemTray() != nullptr && IsWindowVisible(WineSystemTray()); }))
        << "no notification area";
    Click(p, parts.ListItem(1));
    Key(p, VK_DELETE);
    const HWND question = p.WaitDialog();
    ASSERT_NE(question, nullptr);
    // To the tray and back with the question up: the question has the
    // keyboard again, and No keeps the task.
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
    p.Settle();
    EXPECT_TRUE(p.BecomesActive(question)) << "the window came back over its own question";
    Key(p, 'N');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question) || !IsWindowVisible(question); }))
        << "the question did not take the keys";
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TaskLines(ReadFile(p.DatabasePath())).size(), 2u);
}

} // namespace qelvo::e2e

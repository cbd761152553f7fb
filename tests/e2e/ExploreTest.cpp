// A third day of use: toolbars floated and closed by their close box,
// typing in the note with and without a task chosen, files named in letters
// the 8-bit character set lacks.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The group-by toolbar: the narrow one right under the quick-entry bar.
HWND GroupByBar(HWND main, const TMainWindowParts& parts) {
    HWND groupBy = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 300 && RectOf(w).top > RectOf(parts.TopEdit).bottom &&
            (!groupBy || RectOf(w).top < RectOf(groupBy).top))
            groupBy = w;
    return groupBy;
}

// A toolbar dragged off its dock by its grip to Where; the floating
// window that holds it (nullptr when it did not float).
HWND FloatBar(TProgram& p, HWND bar, POINT where) {
    const RECT r = RectOf(bar);
    Drag(p, POINT{r.left + 3, (r.top + r.bottom) / 2}, where);
    HWND root = GetAncestor(bar, GA_ROOT);
    return ClassOf(root) == "TXtFloatingWindowParent" ? root : nullptr;
}

// Where a floating window shows its close box.
POINT CloseBoxOfFloating(HWND floating) {
    const RECT f = RectOf(floating);
    return {f.right - 10, f.top + 10};
}

constexpr int ShowGroupBySteps = 5, ShowFiltersSteps = 6;  // View menu entries

} // namespace

TEST(ExploreScenario, ToolbarsClosedWhileFloatingComeBackOrCannotBeClosed) {
    TProgram p("explore-bars-closed");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    HWND groupBy = GroupByBar(main, parts);
    ASSERT_NE(groupBy, nullptr);
    HWND filters = nullptr;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (RectOf(w).right - RectOf(w).left < 400 && w != groupBy) filters = w;
    ASSERT_NE(filters, nullptr);
    // No command brings back the print window's bar: floating, it keeps no
    // close box.
    ChooseFromMenu(p, main, FileMenuX, 8);
    HWND print = p.WaitTopWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    HWND printBar = ChildrenOfClass(print, "TXtToolbar.UnicodeClass").at(0);
    HWND floating = FloatBar(p, printBar, POINT{300, 300});
    ASSERT_NE(floating, nullptr) << "the print window's bar did not float";
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(printBar)) << "the print window's bar was closed";
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));

    // The group-by bar closed by its close box: View > Show Group By panel
    // brings it back at once.
    floating = FloatBar(p, groupBy, POINT{500, 560});
    ASSERT_NE(floating, nullptr);
    Click(p, CloseBoxOfFloating(floating));
    ASSERT_FALSE(IsWindowVisible(groupBy));
    ChooseFromMenu(p, main, ViewMenuX, ShowGroupBySteps);
    EXPECT_TRUE(IsWindowVisible(groupBy)) << "Show Group By panel hid the closed bar once more";

    // The filter bar closed so: the next start keeps it closed, and the
    // View menu shows it.
    floating = FloatBar(p, filters, POINT{500, 700});
    ASSERT_NE(floating, nullptr);
    Click(p, CloseBoxOfFloating(floating));
    ASSERT_FALSE(IsWindowVisible(filters));
    // The menu bar and the quick-entry bar have no command that shows them
    // again: floating, they keep no close box.
    HWND menuBar = ChildrenOfClass(main, "TXtToolbar.UnicodeClass").at(0);
    floating = FloatBar(p, menuBar, POINT{40, 120});
    ASSERT_NE(floating, nullptr) << "the menu bar did not float";
    // Its floating window fits its items, with no unpainted room beside
    // them (docked, it spanned the window).
    const RECT f = RectOf(floating), m = RectOf(menuBar);
    EXPECT_LT((f.right - f.left) - (m.right - m.left), 20) << "floating window " << f.right - f.left
                                                            << " wide, menu bar " << m.right - m.left;
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(menuBar)) << "the menu bar was closed";
    HWND quickBar = GetParent(parts.TopEdit);
    floating = FloatBar(p, quickBar, POINT{40, 200});
    ASSERT_NE(floating, nullptr) << "the quick-entry bar did not float";
    Click(p, CloseBoxOfFloating(floating));
    EXPECT_TRUE(IsWindowVisible(parts.TopEdit)) << "the quick-entry bar was closed";

    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Filters Panel", "visible"), "0");
    EXPECT_EQ(IniValue(p.SettingsPath(), "Group By Panel", "visible"), "1");

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, ViewMenuX, ShowFiltersSteps);
    size_t shown = 0;
    for (HWND w : ChildrenOfClass(main, "TXtToolbar.UnicodeClass"))
        if (IsWindowVisible(w)) ++shown;
    EXPECT_EQ(shown, 4u) << DescribeChildren(main);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreScenario, TypingInTheNoteGoesToItsTaskOrIsRefused) {
    TProgram p("explore-note-typing");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Typed into Write report's note, then straight to Call Tom: its note
    // is empty and undo there brings nothing of the other note back.
    Click(p, parts.ListItem(1));
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "more");
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(parts.NoteEditor), "");
    // No task chosen (a click under the tasks): the note belongs to none,
    // and what is typed there would be lost, so it is not taken.
    Click(p, parts.ListItem(8));
    EXPECT_EQ(parts.NoteCaption(), "Note");
    Click(p, CenterOf(parts.NoteEditor));
    Type(p, "lost");
    EXPECT_EQ(TextOf(parts.NoteEditor), "") << "the note took text that belongs to no task";
    // A task chosen again takes typing as before.
    Click(p, parts.ListItem(0));
    Click(p, CenterOf(parts.NoteEditor));
    Type(p, "ring");
    Key(p, VK_RETURN, Shift);
    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "Two pages\xF8more\xF8");
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "ring\xF8");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// Text in the system code page as wide text.
std::wstring AnsiToWideForTest(const std::string& text) {
    std::wstring out(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(static_cast<size_t>(n > 0 ? n : 0));
    return out;
}

// The bytes of a file named in wide text ("" when it cannot be read).
std::string ReadWideNamedFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Types a wide file name into the file dialog that is up and presses Enter.
void AnswerFileDialog(TProgram& p, const std::wstring& name) {
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(ChildrenOfClass(dialog, "Edit").empty());
    Click(p, CenterOf(ChildrenOfClass(dialog, "Edit").front()));
    Key(p, 'A', Ctrl);
    Type(p, name);
    Key(p, VK_RETURN);
}

TEST(ExploreScenario, AFileNamedInLettersTheCodePageLacksOpensOrIsRefusedWithAWord) {
    TProgram p("explore-wide-names");
    WriteWorkDatabase(p.DatabasePath(), {"In the default"});
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(other, {"In the Tokyo file"});
    const std::wstring data = AnsiToWideForTest(p.PathOf("Data\\"));
    const std::wstring tokyo = data + L"\u6771\u4eac.kpx";
    DeleteFileW(tokyo.c_str());
    ASSERT_TRUE(MoveFileW(AnsiToWideForTest(other).c_str(), tokyo.c_str()));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // Opened through the dialog: the file it names, not "??.kpx".
    FileMenuItem(p, 2);
    AnswerFileDialog(p, tokyo);
    HWND box = p.WaitDialog(1000);
    EXPECT_EQ(box, nullptr) << ChildTexts(box);
    if (box) Key(p, VK_RETURN);
    EXPECT_EQ(TextOf(main).find('?'), std::string::npos) << TextOf(main);
    AddTask(p, "Kept in Tokyo");
    Key(p, 'S', Ctrl);
    const std::string saved = ReadWideNamedFile(tokyo);
    EXPECT_NE(saved.find("In the Tokyo file"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Kept in Tokyo"), std::string::npos) << saved;
    // Saved as a new file of such a name: there is no form of it the
    // program can keep, so it says so and the dialog comes back.
    FileMenuItem(p, 4);
    AnswerFileDialog(p, data + L"\u5927\u962a.kpx");
    box = p.WaitDialog();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(ChildTexts(box).find("8-bit character set"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);
    HWND again = p.WaitDialog();
    ASSERT_NE(again, nullptr);
    EXPECT_FALSE(ChildrenOfClass(again, "Edit").empty()) << "the file dialog did not come back";
    Key(p, VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again) || !IsWindowVisible(again); }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ExploreScenario, AStickyNoteMadeWhileTypingTheNoteShowsWhatWasTyped) {
    TProgram p("explore-sticky-typing");
    WriteFile(p.DatabasePath(), TwoListsDatabase());
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    // Typing in Write report's note, then Ctrl+K from the note.
    Click(p, parts.ListItem(1));
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "and a chart");
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(p.PathOf(JotpaperRecordFileName)).empty(); }))
        << "no sticky note was made";
    const std::string call = ReadFile(p.PathOf(JotpaperRecordFileName));
    EXPECT_NE(call.find("Two pages"), std::string::npos) << call;
    EXPECT_NE(call.find("and a chart"), std::string::npos) << "the note left out what was typed: " << call;
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(Fields(TaskLine(ReadFile(p.DatabasePath()), "Write report")).at(5).find("and a chart"),
              std::string::npos);
}

TEST(ExploreScenario, PanelsDraggedLargeLeaveTheTaskListInSight) {
    TProgram p("explore-panel-sizes");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    const RECT m = RectOf(main);
    // The side panel's edge dragged to the window's right edge.
    const RECT side = RectOf(GetParent(GetParent(parts.Tree)));
    Drag(p, POINT{side.right - 1, (side.top + side.bottom) / 2}, POINT{m.right - 5, (side.top + side.bottom) / 2});
    RECT list = RectOf(parts.List);
    EXPECT_GE(list.right - list.left, 50) << "the task list was squeezed away";
    EXPECT_GT(RectOf(GetParent(parts.Tree)).right - side.right, 100) << "the side panel did not grow";
    // The note panel's edge dragged to the window's top.
    const RECT note = RectOf(GetParent(parts.NotePanel));
    Drag(p, POINT{(note.left + note.right) / 2, note.top + 1}, POINT{(note.left + note.right) / 2, m.top + 40});
    list = RectOf(parts.List);
    EXPECT_GE(list.bottom - list.top, 50) << "the task list was squeezed away";
    EXPECT_TRUE(IsWindowVisible(parts.TopEdit) && RectOf(parts.TopEdit).bottom > RectOf(parts.TopEdit).top);
    Shot(p, main, "explore-panel-sizes");
    // Maximised, the note panel made tall, then restored: the smaller
    // window keeps the list in sight too.
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_TRUE(IsZoomed(main));
    const RECT big = RectOf(GetParent(parts.NotePanel));
    const RECT whole = RectOf(main);
    Drag(p, POINT{(big.left + big.right) / 2, big.top + 1}, POINT{(big.left + big.right) / 2, whole.top + 260});
    DoubleClick(p, CaptionPointOf(main));
    ASSERT_FALSE(IsZoomed(main));
    ASSERT_TRUE(WaitUntil([&] {
        p.Settle();
        const RECT l = RectOf(parts.List);
        return l.bottom - l.top >= 50;
    }, 3000)) << "the restored window squeezed the task list away";
    // And so they come back.
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    // A note panel stored taller than the window (a larger screen's).
    WritePrivateProfileStringA("Note Panel", "DockedHeight", "2000", p.SettingsPath().c_str());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    WaitUntil([&] {
        p.Settle();
        const RECT l = RectOf(TMainWindowParts(main).List);
        return l.bottom - l.top >= 50;
    }, 3000);
    list = RectOf(TMainWindowParts(main).List);
    EXPECT_GE(list.bottom - list.top, 50);
    EXPECT_GE(list.right - list.left, 50);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

// Sticky notes: made, shown and closed through the menus, one a chosen
// task, what they show of a task (its note, due date, tabs), and a note
// typed in the panel reaching its task across trips to the sticky notes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <shlobj.h>
#include <sstream>
#include <utility>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ClockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

TEST(StickyNotesScenario, ATabInANoteShowsAsSpaceOnItsStickyNote) {
    TProgram p("note-sticky-tab");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, 'N', Shift);
    Key(p, VK_HOME, Ctrl);
    Key(p, VK_END, Ctrl | Shift);
    PutOnClipboard(L"col\tcol\r\nnext");
    Key(p, 'V', Ctrl);
    Key(p, VK_RETURN, Shift);
    Key(p, 'K', Ctrl);
    HWND sticky = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "QelvoJotpaperNote") sticky = w;
        return sticky != nullptr;
    }));
    Shot(p, sticky, "note-sticky-tab");
    // The widest gap between the inked columns of the first line: a tab
    // stop's width, where the tab showed as a box between the words.
    POINT origin{8, 6};
    ClientToScreen(sticky, &origin);
    const RECT line{origin.x, origin.y, origin.x + 200, origin.y + 12};
    const std::vector<COLORREF> pixels = PixelsOf(line);
    const int width = line.right - line.left;
    int first = -1, gap = 0, widest = 0;
    for (int x = 0; x < width; ++x) {
        bool ink = false;
        for (int y = 0; y < line.bottom - line.top; ++y) {
            const COLORREF c = pixels[static_cast<size_t>(y * width + x)];
            ink = ink || GetRValue(c) + GetGValue(c) + GetBValue(c) < 500;
        }
        if (ink) {
            if (first >= 0) widest = std::max(widest, gap);
            first = first < 0 ? x : first;
            gap = 0;
        } else {
            ++gap;
        }
    }
    EXPECT_GE(first, 0) << "no text on the sticky note";
    EXPECT_GE(widest, 12) << "the tab shows as a box";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The program's sticky notes, top of the z-order first.
std::vector<HWND> StickyNotes(const TProgram& p) { return VisibleTops(p, "QelvoJotpaperNote"); }

bool WaitStickyCount(const TProgram& p, size_t count) {
    return WaitUntil([&] { return StickyNotes(p).size() == count; });
}

// Tools > Sticky Notes > Show All.
void ShowAllNotes(TProgram& p, HWND main) {
    OpenMainMenu(p, main, ToolsMenuX);
    for (int i = 0; i < 3; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    Key(p, VK_RETURN);
}

// A point on a note's paper, clear of its caption.
POINT PaperOf(HWND note) {
    const RECT r = RectOf(note);
    return {r.left + 16, r.bottom - 16};
}

// The note field of a task in the saved file ("" when the task is missing).
std::string SavedNote(const TProgram& p, const std::string& title) {
    const std::string line = TaskLine(ReadFile(p.DatabasePath()), title);
    if (line.empty()) return "<no task " + title + ">";
    return Fields(line).at(5);
}

} // namespace

TEST(StickyNotesScenario, ANoteTypedInThePanelReachesItsTaskAcrossTripsToTheStickyNotes) {
    TProgram p("sticky-typing-trips");
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(1));
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitStickyCount(p, 1));
    HWND note = StickyNotes(p).front();

    // Typing in Write report's note, a click on its sticky note (lifted
    // over the main window first), then back by the main window's caption:
    // the keyboard is in the note again and the typing goes on.
    Click(p, CenterOf(parts.NoteEditor));
    Key(p, VK_END, Ctrl);
    Type(p, "alpha");
    ShowAllNotes(p, main);
    Click(p, PaperOf(note));
    EXPECT_TRUE(p.BecomesActive(note));
    Click(p, CaptionPointOf(main));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "beta");

    // The sticky note closed by its close box: the main window has the
    // keyboard back, in the note.
    ShowAllNotes(p, main);
    Click(p, PaperOf(note));
    const RECT r = RectOf(note);
    Click(p, POINT{r.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSMSIZE) / 2,
                   r.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2});
    ASSERT_TRUE(WaitStickyCount(p, 0)) << "the close box left the note open";
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "gamma");

    // A new sticky note from the note shows all that was typed; its own
    // "Close all notes" ends it, and the typing goes on.
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitStickyCount(p, 1));
    EXPECT_NE(ReadFile(p.PathOf(JotpaperRecordFileName)).find("alphabetagamma"), std::string::npos);
    ShowAllNotes(p, main);
    Click(p, PaperOf(StickyNotes(p).front()), true);
    ASSERT_NE(p.WaitTopWindow("#32768"), nullptr) << "no menu on the note";
    Key(p, VK_DOWN);
    Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitStickyCount(p, 0));
    EXPECT_EQ(p.Focus(), parts.NoteEditor.Get());
    Type(p, "delta");

    // Everything typed is in Write report's note, nothing in Call Tom's.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(SavedNote(p, "Write report").find("alphabetagammadelta"), std::string::npos)
        << SavedNote(p, "Write report");
    EXPECT_EQ(SavedNote(p, "Call Tom"), "");
}

TEST(StickyNotesScenario, AStickyNoteMadeWhileTypingTheNoteShowsWhatWasTyped) {
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

namespace {

// One line of the sticky-note library's record: its fields.
std::vector<std::vector<std::string>> RecordLines(const TProgram& p) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(ReadFile(p.PathOf(JotpaperRecordFileName)));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string f; std::getline(parts, f, '\t');) fields.push_back(f);
        lines.push_back(fields);
    }
    return lines;
}

} // namespace

TEST(StickyNotesScenario, AStickyNoteShowsTheDueDateAsTheListDoes) {
    TProgram p("polish-sticky-date");
    WritePreparedDatabase(p.DatabasePath());
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, PreparedTaskPoint(main, 4));  // Write the quarterly report, due 28/11/2031
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitUntil([&] { return !VisibleTops(p, "QelvoJotpaperNote").empty(); }));
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const auto lines = RecordLines(p);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_GE(lines[0].size(), 11u) << "the record does not say what the note shows";
    EXPECT_EQ(lines[0][1], "Write the quarterly report");
    EXPECT_EQ(lines[0][10], "Due: 28/11/2031");
}

namespace {

// Tools > Sticky Notes > the Index-th entry (0 Show All, 1 Close All).
void ChooseFromStickyNotesMenu(TProgram& p, HWND main, int index) {
    OpenMainMenu(p, main, ToolsMenuX);
    for (int i = 0; i < StickyNotesMenuSteps; ++i) Key(p, VK_DOWN);
    Key(p, VK_RIGHT);
    for (int i = 0; i < index; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
}

// One line of the record file.
struct TRecordedCall {
    std::uintptr_t Parent = 0;
    std::string Title, Note, DateFormat;
    std::string Flags;
    double Due = 0;
    long Left = 0, Top = 0;
    std::uintptr_t Result = 0;
};

std::vector<TRecordedCall> RecordedCalls(const TProgram& p) {
    std::vector<TRecordedCall> calls;
    std::istringstream lines(ReadFile(p.PathOf(JotpaperRecordFileName)));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
        if (!line.empty() && line.back() == '\t') f.push_back(std::string());  // an empty last field
        if (f.size() != 11) {
            ADD_FAILURE() << "a record line of " << f.size() << " fields: " << line;
            continue;
        }
        TRecordedCall c;
        c.Parent = std::stoul(f[0]);
        c.Title = f[1];
        c.Note = f[2];
        c.DateFormat = f[3];
        c.Flags = f[4] + f[5];
        c.Due = std::stod(f[6]);
        c.Left = std::stol(f[7]);
        c.Top = std::stol(f[8]);
        c.Result = std::stoul(f[9]);
        calls.push_back(c);
    }
    return calls;
}

// The program's note windows, top of the z-order first.
std::vector<HWND> NotesOf(const TProgram& p) {
    std::vector<HWND> notes;
    for (HWND w : p.TopWindows())
        if (ClassOf(w) == "QelvoJotpaperNote") notes.push_back(w);
    return notes;
}

bool WaitNoteCount(const TProgram& p, size_t count) {
    return WaitUntil([&] { return NotesOf(p).size() == count; });
}

// Whether Upper lies above Lower in the z-order of top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

// A point of a note's paper that the notes cascading after it leave
// uncovered.
POINT NoteClickPoint(HWND note) {
    const RECT r = RectOf(note);
    return {r.left + 16, r.bottom - 16};
}

// Opens a note's own menu with a right-click and takes an entry with the
// keys (Steps as in ChooseFromMenu).
void ChooseFromNoteMenu(TProgram& p, HWND note, int steps) {
    Click(p, NoteClickPoint(note), true);
    ASSERT_NE(p.WaitTopWindow("#32768"), nullptr) << "no menu on the note";
    for (int i = 0; i < steps; ++i) Key(p, VK_DOWN);
    for (int i = 0; i > steps; --i) Key(p, VK_UP);
    Key(p, VK_RETURN);
}

} // namespace

TEST(StickyNotesScenario, NotesMadeShownAndClosedThroughTheMenusAndTheLibraryGetsTheTasks) {
    TProgram p("sticky-notes");
    WritePreparedDatabase(p.DatabasePath());
    ASSERT_TRUE(FileExists(p.PathOf(JotpaperLibraryName))) << "no recording library beside the program";
    WriteFile(p.PathOf(JotpaperRecordFileName), "");
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);

    // Ctrl+K on one task: its note shows, and the main window keeps the
    // keyboard.
    Click(p, PreparedTaskPoint(main, 0));
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitNoteCount(p, 1));
    EXPECT_EQ(TextOf(NotesOf(p).front()), "Book the ferry");
    EXPECT_TRUE(BecomesForeground(main));
    // Tools > Make Sticky Note with two tasks chosen: a note each.
    Click(p, PreparedTaskPoint(main, 1));
    ClickWith(p, PreparedTaskPoint(main, 4), VK_CONTROL);
    ChooseFromMenu(p, main, ToolsMenuX, MakeStickyNoteSteps);
    ASSERT_TRUE(WaitNoteCount(p, 3));
    Shot(p, GetDesktopWindow(), "sticky-notes-made");

    // The main window brought over the notes (a click on a note, then on
    // the main window); Tools > Sticky Notes > Show All lifts every note
    // above it again.
    Click(p, NoteClickPoint(NotesOf(p).front()));
    Click(p, CaptionPointOf(main));
    for (HWND note : NotesOf(p)) EXPECT_TRUE(Above(main, note)) << TextOf(note);
    ChooseFromStickyNotesMenu(p, main, 0);
    for (HWND note : NotesOf(p)) EXPECT_TRUE(Above(note, main)) << TextOf(note) << " stayed below";
    EXPECT_TRUE(p.BecomesActive(main));

    // A note's own menu: Close ends that note, "Close all notes" the rest.
    std::vector<HWND> notes = NotesOf(p);
    const auto plumber = std::find_if(notes.begin(), notes.end(), [](HWND w) { return TextOf(w) == "Call the plumber"; });
    ASSERT_NE(plumber, notes.end());
    ChooseFromNoteMenu(p, *plumber, -1);
    ASSERT_TRUE(WaitNoteCount(p, 2));
    for (HWND note : NotesOf(p)) EXPECT_NE(TextOf(note), "Call the plumber");
    ChooseFromNoteMenu(p, NotesOf(p).front(), 2);
    ASSERT_TRUE(WaitNoteCount(p, 0));

    // With every note gone the next one starts the cascade again; Tools >
    // Sticky Notes > Close All closes it, and the program ends cleanly with
    // one more open.
    Click(p, CaptionPointOf(main));
    Click(p, PreparedTaskPoint(main, 0));
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitNoteCount(p, 1));
    Click(p, CaptionPointOf(main));
    ChooseFromStickyNotesMenu(p, main, 1);
    ASSERT_TRUE(WaitNoteCount(p, 0));
    Key(p, 'K', Ctrl);
    ASSERT_TRUE(WaitNoteCount(p, 1));
    const HWND lastNote = NotesOf(p).front();
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_FALSE(IsWindow(lastNote));

    // What the library was asked for: the chosen tasks' titles, notes and
    // due dates, the date format, the window they belong to, cascading
    // places, and the windows it made.
    const std::vector<TRecordedCall> calls = RecordedCalls(p);
    ASSERT_EQ(calls.size(), 5u);
    const std::string ferryNote = "Night crossing\\r\\nCabin for two";
    const std::string titles[] = {"Book the ferry", "Call the plumber", "Write the quarterly report", "Book the ferry",
                                  "Book the ferry"};
    const std::string noteTexts[] = {ferryNote, "", "Figures from Ann", ferryNote, ferryNote};
    const double ferryDue = gcl::EncodeDate(2031, 7, 14);
    const double dues[] = {ferryDue, 0, gcl::EncodeDate(2031, 11, 28), ferryDue, ferryDue};
    const long left = GetSystemMetrics(SM_CXSCREEN) / 4, top = GetSystemMetrics(SM_CYSCREEN) / 4;
    const long places[] = {40, 80, 120, 40, 40};
    for (size_t i = 0; i < calls.size(); ++i) {
        const TRecordedCall& c = calls[i];
        EXPECT_EQ(c.Parent, reinterpret_cast<std::uintptr_t>(main)) << i;
        EXPECT_EQ(c.Title, titles[i]) << i;
        EXPECT_EQ(c.Note.substr(0, noteTexts[i].size()), noteTexts[i]) << i;
        EXPECT_EQ(c.DateFormat, "ddddd") << i;
        EXPECT_EQ(c.Flags, "00") << i;
        EXPECT_DOUBLE_EQ(c.Due, dues[i]) << i;
        EXPECT_EQ(c.Left, left + places[i]) << i;
        EXPECT_EQ(c.Top, top + places[i]) << i;
        EXPECT_NE(c.Result, 0u) << i;
    }
    EXPECT_EQ(calls[4].Result, reinterpret_cast<std::uintptr_t>(lastNote));
}

} // namespace qelvo::e2e

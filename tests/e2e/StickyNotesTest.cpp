// Sticky notes with the recording companion library beside the program:
// notes made for chosen tasks by the shortcut and the Tools menu, shown
// and closed from the menu and from a note's own menu, and an exit with a
// note still open. The library writes each call it gets to its record
// file, which the scenario reads as the library saw it.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/PreparedDatabase.h"
#include "gcl/rtl/DateTime.h"

namespace qelvo::e2e {

namespace {

constexpr int MakeStickyNoteSteps = 2, StickyNotesMenuSteps = 3;

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

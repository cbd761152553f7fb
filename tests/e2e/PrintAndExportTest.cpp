// The print window and the exports: the report of the chosen tasks, the
// print window worked by the keyboard alone or without an HTML engine, the
// text, HTML and Pendrillax exports through the save dialog, and a file
// that is there or held open when an export would replace it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/logic/AppMessages.h"
#include "app/logic/Options.h"
#include "app/logic/TaskPresentation.h"
#include "e2e/ClockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// The dialog that is up (after a question about it was answered) is the
// save dialog still: Escape closes it.
bool CancelSaveDialog(TProgram& p) {
    HWND dialog = p.WaitDialog();
    if (!dialog || ChildrenOfClass(dialog, "Edit").empty()) {
        ADD_FAILURE() << "the save dialog did not stay";
        return false;
    }
    Key(p, VK_ESCAPE);
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

} // namespace

// The Pendrillax export's dialog lists the other program's databases, and
// one clicked (or its name typed) was replaced by the export without a
// word: the other program's tasks were gone. The text export did the
// same to any text file. Both ask first now; No leaves the file as it was.
TEST(PrintAndExportScenario, AnExportAsksBeforeItReplacesAFileThatIsThere) {
    TProgram p("files-export-replace");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::string theirs = p.PathOf("Pendrillax.jmw"), notes = p.PathOf("notes.txt");
    WriteFile(theirs, "the other program's own tasks");
    WriteFile(notes, "notes of my own");

    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, theirs));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&No"));
    ASSERT_TRUE(CancelSaveDialog(p));
    EXPECT_EQ(ReadFile(theirs), "the other program's own tasks");

    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(ChooseFileName(p, notes));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&No"));
    ASSERT_TRUE(CancelSaveDialog(p));
    EXPECT_EQ(ReadFile(notes), "notes of my own");

    // A name the text export adds its extension to: the file it writes
    // is asked about too.
    const std::string log = p.PathOf("log.md.txt");
    WriteFile(log, "a log of my own");
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(ChooseFileName(p, p.PathOf("log.md")));
    ASSERT_TRUE(Answer(p, "log.md.txt already exists", "&No"));
    EXPECT_EQ(ReadFile(log), "a log of my own");

    // Yes replaces it, as asked.
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, theirs));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    EXPECT_TRUE(WaitUntil([&] { return ReadFile(theirs).find("Book the ferry") != std::string::npos; }));

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// An export over an earlier one while another program holds that file
// with part of it locked (as a program reading it may): the write fails,
// and the earlier export stays whole with the user told. The export
// emptied the file first and then failed to write into it, leaving a
// truncated file where the good one was.
TEST(PrintAndExportScenario, AFailedExportLeavesTheEarlierExportWhole) {
    TProgram p("files-export-locked");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::string earlier = p.PathOf("moving.jmw");
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, earlier));
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(earlier).find("Book the ferry") != std::string::npos; }));
    const std::string good = ReadFile(earlier);

    HANDLE held = CreateFileA(earlier.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OVERLAPPED from{};
    ASSERT_TRUE(LockFileEx(held, LOCKFILE_FAIL_IMMEDIATELY, 0, 1 << 20, 0, &from));
    Key(p, 'N', Ctrl);
    Type(p, "One more task");
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 1) {  // "All" is current: the first list takes it
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(ChooseFileName(p, earlier));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    HWND told = p.WaitDialog(5000);
    EXPECT_NE(told, nullptr) << "the failed export was not told";
    if (told) {
        EXPECT_NE(ChildTexts(told).find("moving.jmw"), std::string::npos) << ChildTexts(told);
        Key(p, VK_RETURN);
    }
    UnlockFileEx(held, 0, 1 << 20, 0, &from);
    CloseHandle(held);
    EXPECT_TRUE(ReadFile(earlier) == good) << "the earlier export was damaged: " << ReadFile(earlier).size()
                                           << " bytes of " << good.size();

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The line (without its CR LF) of a text that holds Part; "" when none does.
std::string LineWith(const std::string& text, const std::string& part) {
    const size_t at = text.find(part);
    if (at == std::string::npos) return std::string();
    const size_t start = text.rfind("\r\n", at);
    const size_t from = start == std::string::npos ? 0 : start + 2;
    return text.substr(from, text.find("\r\n", at) - from);
}

size_t CountOf(const std::string& text, char c) {
    size_t n = 0;
    for (char x : text) n += x == c;
    return n;
}

} // namespace

// A title typed with "½" and "¿" (letters of the code page whose bytes are
// the Pendrillax format's field and part marks) ended its record's first
// field early: the other program read every field of that task shifted.
TEST(PrintAndExportScenario, APendrillaxRecordStaysWholeWithLettersThatAreTheFormatsMarks) {
    TProgram p("explore-pendrillax-marks");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    Key(p, 'N', Ctrl);
    Type(p, std::wstring(L"Buy \u00BD kg \u00BFflour?"));
    Key(p, VK_RETURN);
    if (p.TopWindows().size() > 1) {    // "All" is current: the first list takes it
        Key(p, VK_DOWN);
        Key(p, VK_RETURN);
    }
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("moving")));
    const std::string jmw = WrittenFile(p.PathOf("moving.jmw"));
    const std::string record = LineWith(jmw, "Buy 1/2 kg ?flour?\xBD");
    ASSERT_FALSE(record.empty()) << "the task is not in the export as one record";
    EXPECT_EQ(CountOf(record, '\xBD'), 39u);
    EXPECT_EQ(CountOf(record, '\xBF'), 4u) << "only the task's list entry has parts";
    // Every other task's record is whole too.
    EXPECT_EQ(CountOf(LineWith(jmw, "Book the ferry\xBD"), '\xBD'), 39u);

    // The database itself keeps the letters as typed.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Buy \xBD kg \xBF" "flour?"), titles.end());
}

// A heading typed into the print window with characters the code page
// lacks ("Week → plan") was printed and exported with "?" in their place;
// HTML holds them as numeric character references.
TEST(PrintAndExportScenario, AHeadingKeepsCharactersTheCodePageLacks) {
    TProgram p("explore-print-heading");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitActiveWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    // The bar at the bottom: the heading box right of "Heading : ", the
    // export button left of the option buttons.
    const RECT bar = RectOf(ChildrenOfClass(print, "TXtToolbar.UnicodeClass").at(0));
    const int y = (bar.top + bar.bottom) / 2;
    Click(p, {bar.left + 660, y});
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    Type(p, std::wstring(L"Week \u2192 plan"));
    Key(p, VK_RETURN);
    Click(p, {bar.left + 190, y});    // Export As HTML
    ASSERT_TRUE(TypeFileName(p, p.PathOf("week")));
    const std::string html = WrittenFile(p.PathOf("week.html"));
    EXPECT_NE(html.find("<title>Week &#8594; plan</title>"), std::string::npos) << html.substr(0, 400);
    EXPECT_EQ(html.find("Week ? plan"), std::string::npos);
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PrintAndExportScenario, ThePrintWindowShowsItsWholeBarAndANarrowMainWindowsBarsGiveWayFromTheirEnd) {
    TProgram p("narrow-bars");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // File > Print: "Print Now", the bar's first button, is on the bar, not
    // behind a chevron at its end.
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitActiveWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const std::vector<HWND> printBars = ChildrenOfClass(print, "TXtToolbar.UnicodeClass");
    ASSERT_EQ(printBars.size(), 1u);
    const RECT printBar = RectOf(printBars.front());
    Shot(p, print, "narrow-bars-print");
    Click(p, {printBar.right - 7, (printBar.top + printBar.bottom) / 2});
    EXPECT_EQ(p.WaitTopWindow("TXtChevronPopupWindow", 300), nullptr) << "the print window's bar has a chevron";
    Key(p, VK_ESCAPE);
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Closed(print));

    // The main window made narrow: the filter bar (the lowest bar) keeps
    // its label "Filters :" at its start; a click there opens nothing.
    RECT m = RectOf(main);
    Drag(p, {m.right - 2, (m.top + m.bottom) / 2}, {m.left + 330, (m.top + m.bottom) / 2});
    const std::vector<HWND> bars = ChildrenOfClass(main, "TXtToolbar.UnicodeClass");
    ASSERT_FALSE(bars.empty());
    const HWND filters =
        *std::max_element(bars.begin(), bars.end(), [](HWND a, HWND b) { return RectOf(a).top < RectOf(b).top; });
    const RECT filterBar = RectOf(filters);
    Shot(p, main, "narrow-bars-main");
    Click(p, {filterBar.left + 30, (filterBar.top + filterBar.bottom) / 2});
    EXPECT_EQ(p.WaitTopWindow("TXtPopupWindow", 300), nullptr) << "the filter bar's first item gave way";
    Key(p, VK_ESCAPE);
    m = RectOf(main);
    Drag(p, {m.right - 2, (m.top + m.bottom) / 2}, {m.left + 800, (m.top + m.bottom) / 2});
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(PrintAndExportScenario, ALongHeadingTypedInThePrintWindowIsInItsExportOfTheChosenTasks) {
    // Places on the print window's bar, from its left.
    constexpr int ExportAsHtmlX = 190, PrintNotesX = 418, HeadingX = 700;
    TProgram p("print-report");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    // Two tasks chosen: the report holds those two under their lists.
    Click(p, PreparedTaskPoint(main, 0));
    ClickWith(p, PreparedTaskPoint(main, 4), VK_CONTROL);
    ChooseFromMenu(p, main, FileMenuX, PrintSteps);
    HWND print = p.WaitActiveWindow("TPrintF");
    ASSERT_NE(print, nullptr);
    const std::vector<HWND> bars = ChildrenOfClass(print, "TXtToolbar.UnicodeClass");
    ASSERT_EQ(bars.size(), 1u);
    const RECT bar = RectOf(bars.front());
    const int y = (bar.top + bar.bottom) / 2;
    // "Print notes" off; a long heading with marks that HTML escapes,
    // typed over the one given and taken with Enter.
    Click(p, {bar.left + PrintNotesX, y});
    Click(p, {bar.left + HeadingX, y});
    Key(p, VK_END);
    Key(p, VK_HOME, Shift);
    const std::string heading =
        "Errands & <chores> for the week of the move, with the car, the van and the keys to the new flat";
    Type(p, heading);
    Key(p, VK_RETURN);
    ASSERT_TRUE(p.Running()) << "the program ended";
    Click(p, {bar.left + ExportAsHtmlX, y});
    ASSERT_TRUE(TypeFileName(p, p.PathOf("report")));
    const std::string html = WrittenFile(p.PathOf("report.html"));
    EXPECT_NE(html.find("<title>Errands &amp; &lt;chores&gt; for the week of the move, with the car, the van and the "
                        "keys to the new flat</title>"),
              std::string::npos)
        << html.substr(0, 400);
    size_t last = 0;
    for (const char* part : {">Holidays<", ">1. Book the ferry<", ">14/07/2031<", ">Work<",
                             ">5. Write the quarterly report<", ">28/11/2031<", "</html>"}) {
        const size_t at = html.find(part, last);
        EXPECT_NE(at, std::string::npos) << part << " is missing or out of order";
        if (at != std::string::npos) last = at;
    }
    for (const char* absent : {"Call the plumber", "Buy milk", "Pay rent", ">Home<", "Night crossing", "Figures"})
        EXPECT_EQ(html.find(absent), std::string::npos) << absent;
    Key(p, VK_F4, Alt);
    ASSERT_TRUE(Closed(print));
    Click(p, CaptionPointOf(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// The Pendrillax export aimed at the database's own file (typed in the
// save dialog under another letter case) is refused with a message; the
// database keeps every task through the exit and the next start, and an
// export under another name is written.
TEST(PrintAndExportScenario, ThePendrillaxExportNeverReplacesTheOpenDatabase) {
    TProgram p("explore-print-jmw-db");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    std::string shouted = p.DatabasePath();
    shouted.replace(shouted.size() - 14, 14, "ACTUALDATA.KPX");
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    // The dialog asks before it replaces a file; the refusal comes after.
    ASSERT_TRUE(ChooseFileName(p, shouted));
    ASSERT_TRUE(Answer(p, "already exists", "&Yes"));
    EXPECT_TRUE(Answer(p, msg::ExportOverDatabaseHead, "OK"));
    ChooseFromMenu(p, main, FileMenuX, ExportToPendrillaxSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("moving")));
    const std::string jmw = WrittenFile(p.PathOf("moving.jmw"));
    EXPECT_NE(jmw.find(".jmw"), std::string::npos);
    EXPECT_NE(jmw.find("Book the ferry\xBD"), std::string::npos);
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    const std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_EQ(titles.size(), PreparedTasks().size());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Book the ferry"), titles.end());
}

namespace {

// Waits for Notepad showing a file, checks its caption and closes it with
// Alt+F4; false when it did not come or did not end.
bool CloseNotepadShowing(TProgram& p, const std::string& fileName) {
    HWND notepad = nullptr;
    if (!WaitUntil([&] { return (notepad = FindWindowA("Notepad", nullptr)) != nullptr && IsWindowVisible(notepad); })) {
        ADD_FAILURE() << "Notepad did not show " << fileName;
        return false;
    }
    EXPECT_EQ(TextOf(notepad), fileName + " - Notepad");
    DWORD pid = 0;
    GetWindowThreadProcessId(notepad, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    EXPECT_TRUE(BecomesForeground(notepad));
    Key(p, VK_F4, Alt);
    const bool ended = process && WaitForSingleObject(process, WaitBound) == WAIT_OBJECT_0;
    if (process) CloseHandle(process);
    EXPECT_TRUE(ended) << "Notepad is still running";
    return ended;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// The file a picture's address in a style names: "url('file:///Z:/a%20b/c.gif')"
// at At gives "Z:\\a b\\c.gif"; "" when the address is not quoted or no
// file URL.
std::string PicturePathAt(const std::string& html, size_t at) {
    const std::string head = "url('file:///";
    const size_t end = html.find("')", at);
    if (html.compare(at, head.size(), head) != 0 || end == std::string::npos) return std::string();
    std::string path;
    for (size_t i = at + head.size(); i < end; ++i) {
        const char c = html[i];
        if (c == '%' && i + 2 < end) {
            path += static_cast<char>(std::stoi(html.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += c == '/' ? '\\' : c;
        }
    }
    return path;
}

} // namespace

TEST(PrintAndExportScenario, TextOfTheChosenTasksAndHtmlOfTheWholeListThroughTheSaveDialog) {
    TProgram p("exports");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);

    // Two tasks chosen with Ctrl+click: the text export holds them alone,
    // under their lists' captions, and Notepad shows it.
    Click(p, PreparedTaskPoint(main, 0));
    ClickWith(p, PreparedTaskPoint(main, 4), VK_CONTROL);
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(TypeFileName(p, p.PathOf("chosen"), true));
    ASSERT_TRUE(CloseNotepadShowing(p, "chosen.txt"));
    EXPECT_EQ(ReadFile(p.PathOf("chosen.txt")),
              "Holidays\r\n"
              "     +1. Book the ferry        14/07/2031\r\n"
              "           Night crossing\r\n"
              "           Cabin for two\r\n"
              "Work\r\n"
              "       5. Write the quarterly report        28/11/2031\r\n"
              "           Figures from Ann\r\n");

    // One task chosen: the HTML export holds the whole list, in order,
    // each text made safe for HTML; the done task alone struck through.
    // (Notepad was another program: the user clicks back into ours.)
    Click(p, PreparedTaskPoint(main, 3));
    ASSERT_TRUE(BecomesForeground(main));
    ChooseFromMenu(p, main, FileMenuX, ExportToHtmlSteps);
    ASSERT_TRUE(TypeFileName(p, "week", true));
    const std::string html = WrittenFile(p.PathOf("week.html"));
    EXPECT_NE(html.find("<title>To do list</title>"), std::string::npos);
    size_t last = 0;
    for (const std::string& part :
         {std::string(">Holidays<"), std::string(">1. Book the ferry<"), std::string(">14/07/2031<"),
          std::string(">Night crossing<br/>Cabin for two<br/><"), std::string(">Home<"),
          std::string(">2. Call the plumber<"), std::string(">phone<"), std::string(">3. Pay rent &amp; &lt;fees&gt;<"),
          std::string(">bills<"), std::string(">05/03/2030<"), std::string(">Standing order<br/><"),
          std::string(">4. Buy milk<"), std::string(">food, shop<"), std::string(">Work<"),
          std::string(">5. Write the quarterly report<"), std::string(">28/11/2031<"),
          std::string(">Figures from Ann<br/><"), std::string(">6. Renew the parking permit<"),
          std::string("</html>")}) {
        const size_t at = html.find(part, last);
        EXPECT_NE(at, std::string::npos) << part << " is missing or out of order";
        if (at != std::string::npos) last = at;
    }
    EXPECT_EQ(Count(html, "line-through"), 1u);
    EXPECT_EQ(Count(html, "phigh.gif"), 2u);
    EXPECT_EQ(Count(html, "plow.gif"), 2u);
    // A browser reads the text in the code page it is written in, and
    // each priority's picture from the program's folder (a space in an
    // unquoted address drops the whole style).
    EXPECT_NE(html.find("charset=windows-1252\">"), std::string::npos) << html.substr(0, 400);
    size_t pictures = 0;
    for (size_t at = html.find("url("); at != std::string::npos; at = html.find("url(", at + 1), ++pictures) {
        const std::string path = PicturePathAt(html, at);
        EXPECT_TRUE(!path.empty() && FileExists(path)) << html.substr(at, 160);
    }
    EXPECT_EQ(pictures, PreparedTasks().size());

    // Nothing chosen any more: the text export holds every task.
    ChooseFromMenu(p, main, FileMenuX, ExportToTextSteps);
    ASSERT_TRUE(TypeFileName(p, "all", true));
    ASSERT_TRUE(CloseNotepadShowing(p, "all.txt"));
    EXPECT_EQ(ReadFile(p.PathOf("all.txt")),
              "Holidays\r\n"
              "     +1. Book the ferry        14/07/2031\r\n"
              "           Night crossing\r\n"
              "           Cabin for two\r\n"
              "Home\r\n"
              "       2. Call the plumber        \r\n"
              "                   [ phone ]\r\n"
              "   [X]+3. Pay rent & <fees>        05/03/2030\r\n"
              "                   [ bills ]\r\n"
              "           Standing order\r\n"
              "     -4. Buy milk        \r\n"
              "                   [ food, shop ]\r\n"
              "Work\r\n"
              "       5. Write the quarterly report        28/11/2031\r\n"
              "           Figures from Ann\r\n"
              "     -6. Renew the parking permit        \r\n");

    // Back in the main window, the keys reach it: Ctrl+Q ends the program
    // and the database keeps every task.
    Click(p, CaptionPointOf(main));
    ASSERT_TRUE(BecomesForeground(main));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()).size(), PreparedTasks().size());
}

namespace {

// Whether a child window of W shows Text.
bool HasChildText(HWND w, const std::string& text) {
    for (HWND child : ChildrenOfClass(w, ""))
        if (TextOf(child) == text) return true;
    return false;
}

} // namespace
// The print window (File > Print...) as it is here, without an HTML
// engine, opened and closed again and again in one run over the prepared
// database.
TEST(PrintAndExportScenario, ThePrintWindowWithoutAnHtmlEngineAnswersTheKeysAndGivesThemBack) {
    TProgram p("print-window-keys");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    {
        SCOPED_TRACE("without an HTML engine it says so at once and keeps answering");
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
        Click(p, CaptionPointOf(main));    // the keyboard's return is the next check's
    }
    {
        SCOPED_TRACE("closing it gives the keyboard back to the main window");
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
    }
    // The print window's bar had no key to reach it and Esc did nothing: a
    // keyboard user could leave the window by Alt+F4 only. F10 takes the
    // keyboard to the bar, whose buttons the arrows and Enter work; Esc
    // leaves the bar, and Esc closes the window.
    {
        SCOPED_TRACE("F10 reaches the bar and Escape closes the window");
        ChooseFromMenu(p, main, FileMenuX, 8);
        HWND print = p.WaitTopWindow("TPrintF");
        ASSERT_NE(print, nullptr) << "no print window";
        // Esc closes it.
        Key(p, VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
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
        HWND dialog = p.WaitDialog();
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
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(print) || !IsWindowVisible(print); }));
        if (IsWindow(print) && IsWindowVisible(print)) Key(p, VK_F4, Alt);
        EXPECT_TRUE(BecomesForeground(main));
    }
    // The print window worked from the keyboard alone: opened from the File
    // menu, F10 takes the keyboard to its bar, the arrows reach the width box
    // (past the buttons that stay off without an HTML engine), a width typed
    // there and taken with Enter makes the report, which Export As HTML
    // writes; Esc closes the window and the main window has the keyboard.
    {
        SCOPED_TRACE("the keyboard alone sets the width, exports and closes");
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
        const std::string html = WrittenFile(p.PathOf("report.html"));
        EXPECT_NE(html.find("<title>To Do List</title>"), std::string::npos);
        EXPECT_NE(html.find("<table width=\"300\""), std::string::npos) << html.substr(0, 600);
        Key(p, VK_ESCAPE);
        ASSERT_TRUE(Closed(print));
        EXPECT_TRUE(BecomesForeground(main));
        EXPECT_TRUE(IsChild(main, p.Focus()));
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    std::vector<std::string> titles = TitlesIn(p.DatabasePath());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Printed 1"), titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Printed 2"), titles.end());
}

} // namespace qelvo::e2e

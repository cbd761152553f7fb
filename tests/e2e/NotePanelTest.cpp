// The note panel: typing, pasting (plain and rich text), undo and the edit
// menu, links, and what the note's place shows and answers before any
// task is chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <shlobj.h>
#include <string>
#include <utility>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ClockSupport.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// Puts several formats on the clipboard at once, as a word processor or a
// browser does.
void PutFormats(const std::vector<std::pair<UINT, std::string>>& formats) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    for (const auto& [format, bytes] : formats) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

// Text as the clipboard holds it: UTF-16 with its NUL, or 8-bit with it.
std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}
std::string Zero(const std::string& text) { return text + '\0'; }

UINT RichTextFormat() { return RegisterClipboardFormatA("Rich Text Format"); }

// The commands of an edit menu, top to bottom (Undo, Cut, Copy, Paste,
// Delete, Select All): whether each is offered, read from the menu's
// pixels (an offered command's caption is black, the others grey; the
// separators are lines one pixel high).
std::vector<bool> OfferedCommands(HWND menu) {
    std::vector<bool> offered;
    RECT r = RectOf(menu);
    InflateRect(&r, -4, -3);
    const std::vector<COLORREF> pixels = PixelsOf(r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    int bandTop = -1;
    bool black = false;
    for (int y = 0; y <= height; ++y) {
        bool ink = false;
        for (int x = 0; y < height && x < width; ++x) {
            const int s = sum(pixels[static_cast<size_t>(y * width + x)]);
            ink = ink || s < 450;
            if (s < 100 && bandTop >= 0) black = true;
        }
        if (ink && bandTop < 0) {
            bandTop = y;
            black = false;
            for (int x = 0; x < width; ++x) black = black || sum(pixels[static_cast<size_t>(y * width + x)]) < 100;
        } else if (!ink && bandTop >= 0) {
            if (y - bandTop > 3) offered.push_back(black);
            bandTop = -1;
        }
    }
    return offered;
}
enum : size_t { UndoCommand, CutCommand, CopyCommand, PasteCommand, DeleteCommand, SelectAllCommand };

// Opens an edit's menu with a right click, reads which commands it offers
// and closes it.
std::vector<bool> OfferedCommands(TProgram& p, HWND edit) {
    HWND menu = OpenEditMenu(p, edit);
    if (!menu) {
        ADD_FAILURE() << "no edit menu on " << ClassOf(edit);
        return {};
    }
    MoveTo(p, POINT{5, 5});
    p.Settle();
    std::vector<bool> offered = OfferedCommands(menu);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(offered.size(), 6u) << "the edit menu has not six commands";
    offered.resize(6);
    return offered;
}

// The screen point inside character Index of an edit (a rich edit
// answers EM_POSFROMCHAR with the point packed when asked by index).
POINT CharPoint(HWND edit, int index) {
    const LRESULT packed = SendMessageA(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    POINT at{static_cast<short>(LOWORD(packed)) + 3, static_cast<short>(HIWORD(packed)) + 7};
    ClientToScreen(edit, &at);
    return at;
}

// The clipboard's text.
std::wstring WideTextOfClipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// Starts on the two lists and gives the keyboard to the note of the first
// task, Call Tom, which has none; no parts when the program did not start.
std::optional<TMainWindowParts> StartInFirstNote(TProgram& p) {
    HWND main = StartOnTwoLists(p);
    if (!main) return std::nullopt;
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, 'N', Shift);
    return parts;
}

void SelectWholeNote(TProgram& p) {
    Key(p, VK_HOME, Ctrl);
    Key(p, VK_END, Ctrl | Shift);
}

} // namespace

TEST(NotePanelScenario, WhatIsPastedIsThePlainTextTheNoteShowsAndKeeps) {
    TProgram p("note-paste");
    const std::optional<TMainWindowParts> started = StartInFirstNote(p);
    ASSERT_TRUE(started);
    const TMainWindowParts& parts = *started;
    const HWND note = parts.NoteEditor;
    ASSERT_EQ(p.Focus(), note);

    // A table from a word processor, with its plain text: the note takes
    // the plain text, cells apart and no hidden words.
    PutFormats({{RichTextFormat(), Zero("{\\rtf1\\ansi\\trowd\\cellx1000\\cellx2000 A1\\cell B1\\cell\\row"
                                        "\\trowd\\cellx1000\\cellx2000 A2\\cell B2\\cell\\row"
                                        "{\\v hidden }{\\b\\cf1 shown}\\par}")},
                {CF_UNICODETEXT, Utf16(L"A1\tB1\r\nA2\tB2\r\nshown")}});
    Key(p, 'V', Ctrl);
    std::string seen = "A1\tB1\r\nA2\tB2\r\nshown";
    EXPECT_EQ(TextOf(note), seen) << "the table's rich text went in";

    // Rich text alone, with letters the file cannot hold: nothing of it
    // goes in (it showed the letters and saved "a" and a sharp s).
    PutFormats({{RichTextFormat(), Zero("{\\rtf1\\ansi Greek \\u945?\\u946? end\\par}")}});
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(note), seen);
    // Ctrl+Shift+V pastes too: such text is refused with a word as with
    // Ctrl+V (it went in and was saved as look-alike letters).
    PutOnClipboard(L"Greek \u03b1\u03b2");
    Key(p, 'V', Ctrl | Shift);
    EXPECT_TRUE(RefusedWithAWord(p, "Greek pasted by Ctrl+Shift+V"));
    EXPECT_EQ(TextOf(note), seen);

    // A page of HTML alone, a picture, files: no text, nothing goes in, no
    // word, and the program answers.
    PutFormats({{RegisterClipboardFormatA("HTML Format"),
                 Zero("Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000170\r\nStartFragment:00000133\r\n"
                      "EndFragment:00000152\r\n<html><body><!--StartFragment--><b>html</b><!--EndFragment-->"
                      "</body></html>")}});
    Key(p, 'V', Ctrl);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HDC screen = GetDC(nullptr);
    SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 32, 32));
    ReleaseDC(nullptr, screen);
    CloseClipboard();
    Key(p, VK_INSERT, Shift);
    std::string files(sizeof(DROPFILES), '\0');
    reinterpret_cast<DROPFILES*>(files.data())->pFiles = sizeof(DROPFILES);
    reinterpret_cast<DROPFILES*>(files.data())->fWide = TRUE;
    files += Utf16(L"C:\\windows\\win.ini") + std::string(2, '\0');
    PutFormats({{CF_HDROP, files}});
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(note), seen);
    EXPECT_TRUE(p.NoDialogFor(200));

    // CR alone, LF alone, a tab and a NUL, pasted from the edit menu: one
    // line each, the tab kept, nothing after the NUL. Undo takes the paste
    // back, and it is pasted again.
    Key(p, VK_END, Ctrl);
    PutOnClipboard(std::wstring(L" one\rtwo\nthree\tfour\0gone", 25));
    ChooseFromEditMenu(p, note, 'P');
    EXPECT_EQ(TextOf(note), seen + " one\r\ntwo\r\nthree\tfour");
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(note), seen) << "undo left the paste";
    Key(p, 'V', Ctrl);
    seen += " one\r\ntwo\r\nthree\tfour";
    EXPECT_EQ(TextOf(note), seen);
    // Plain text that reads like rich text goes in as it reads.
    PutOnClipboard(L"{\\rtf1 \\b bold}");
    Key(p, 'V', Ctrl);
    EXPECT_EQ(TextOf(note), seen + "{\\rtf1 \\b bold}");
    Key(p, 'Z', Ctrl);

    // Leaving the note by a click on the other task keeps the paste; the
    // file and the next start hold what was seen (each note line ends with
    // a line break in the file).
    Click(p, parts.ListItem(1));
    SaveByKeys(p);
    EXPECT_EQ(Fields(TaskLine(ReadFile(p.DatabasePath()), "Call Tom")).at(5),
              "A1\tB1\xF8" "A2\tB2\xF8shown one\xF8two\xF8three\tfour\xF8");
    Key(p, 'Q', Ctrl);
    ASSERT_EQ(p.WaitExit(), 0);
    p.Start();
    const HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts again(main);
    Click(p, again.ListItem(0));
    EXPECT_EQ(TextOf(again.NoteEditor), seen + "\r\n");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(NotePanelScenario, ANoteThatBeginsAsRichTextSourceShowsAndKeepsThatSource) {
    TProgram p("note-rtf-source");
    const std::optional<TMainWindowParts> started = StartInFirstNote(p);
    ASSERT_TRUE(started);
    const TMainWindowParts& parts = *started;
    const HWND note = parts.NoteEditor;
    const std::string source = "{\\rtf1 hello}";
    Type(p, source);
    // Shown again with its task, the note reads as typed (it showed
    // "hello", and a letter typed then saved "hello" with it: the source
    // was gone).
    Click(p, parts.ListItem(1));
    Click(p, parts.ListItem(0));
    EXPECT_EQ(TextOf(note), source);
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, "!");
    // Esc puts back the note as it was kept, the source whole.
    Key(p, VK_ESCAPE);
    EXPECT_EQ(TextOf(note), source);
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, "!");
    Click(p, parts.ListItem(1));
    // The other form the library reads as rich text, in the other task.
    Key(p, 'N', Shift);
    Key(p, VK_HOME, Ctrl);
    Key(p, VK_END, Ctrl | Shift);
    Type(p, "{\\urtf1 x}");
    Click(p, parts.ListItem(0));
    EXPECT_EQ(TextOf(note), source + "!");
    Click(p, parts.ListItem(1));
    EXPECT_EQ(TextOf(note), "{\\urtf1 x}");
    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), source + "!\xF8");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "{\\urtf1 x}\xF8");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(NotePanelScenario, UndoTheEditMenuAndTheKeyboardStayWithTheTaskTheNoteShows) {
    TProgram p("note-undo-menu");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);

    // Typing in one task's note, then the other task: undo has nothing of
    // the first note to put into the second, by key or menu.
    Click(p, parts.ListItem(1));  // Write report: "Two pages"
    const HWND note = parts.NoteEditor;
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, " more");
    Click(p, parts.ListItem(0));  // Call Tom: no note
    Key(p, 'N', Shift);
    EXPECT_FALSE(OfferedCommands(p, note)[UndoCommand]) << "Undo offered in another task's note";
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(note), "");
    // Esc drops the typing, and undo brings none of it back.
    Type(p, "dropped");
    Key(p, VK_ESCAPE);
    Key(p, 'N', Shift);
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(note), "");
    // After Shift+Enter undo and redo work on the same note.
    Type(p, "kept");
    Key(p, VK_RETURN, Shift);
    Key(p, 'N', Shift);
    Key(p, 'Z', Ctrl);
    EXPECT_EQ(TextOf(note), "");
    Key(p, 'Y', Ctrl);
    EXPECT_EQ(TextOf(note), "kept");

    // The edit menu over a note of two lines, all of it selected: Select
    // All is not offered, Copy is.
    Click(p, parts.ListItem(1));
    Key(p, 'N', Shift);
    ASSERT_EQ(TextOf(note), "Two pages\r\n more");
    SelectWholeNote(p);
    const std::vector<bool> offered = OfferedCommands(p, note);
    EXPECT_FALSE(offered[SelectAllCommand]) << "Select All offered with the whole note selected";
    EXPECT_TRUE(offered[CopyCommand] && offered[CutCommand] && offered[DeleteCommand] && offered[PasteCommand]);
    PutOnClipboard(L"-");
    ChooseFromEditMenu(p, note, 'C');
    EXPECT_EQ(WideTextOfClipboard(), L"Two pages\r\n more");
    // The menu key opens the menu at the caret, below its line (it opened
    // at the note's top left corner, over the first line), and Esc gives
    // the keyboard back to the note.
    Key(p, VK_END, Ctrl);
    const POINT caret = CharPoint(note, 16);
    const HWND menu = OpenEditMenu(p, note, true);
    ASSERT_NE(menu, nullptr);
    const RECT menuRect = RectOf(menu);
    EXPECT_GT(menuRect.top, caret.y) << "the menu covers the caret's line";
    EXPECT_LT(menuRect.top, caret.y + 30);
    EXPECT_GE(menuRect.left, caret.x - 5);
    EXPECT_LT(menuRect.left, caret.x + 10);
    Key(p, VK_ESCAPE);
    EXPECT_EQ(p.Focus(), note);
    // No task chosen: the note takes nothing, and its menu offers no Paste.
    const RECT list = RectOf(parts.List);
    Click(p, POINT{list.left + 200, list.bottom - 20});
    ASSERT_EQ(parts.NoteCaption(), "Note");
    EXPECT_EQ(OfferedCommands(p, note), std::vector<bool>(6, false)) << "commands offered with no task chosen";
    EXPECT_EQ(TextOf(note), "");

    // A filter key pressed in the note (Ctrl+0, Without date set, which
    // every task here passes): the typing is kept, the refreshed list has
    // no chosen task, and the keyboard goes to the list instead of staying
    // in an empty note that takes no key.
    Click(p, parts.ListItem(0));
    Key(p, 'N', Shift);
    Key(p, VK_END, Ctrl);
    Type(p, " typed");
    Key(p, '0', Ctrl);
    EXPECT_EQ(parts.NoteCaption(), "Note");
    EXPECT_EQ(p.Focus(), parts.List) << "the keyboard stayed in the empty note";
    Key(p, VK_DOWN);
    EXPECT_EQ(parts.NoteCaption(), "Note: Call Tom");
    EXPECT_EQ(TextOf(note), "kept typed");
    // Likewise Hide Done (Ctrl+D), and back.
    Key(p, 'N', Shift);
    Key(p, 'D', Ctrl);
    EXPECT_EQ(p.Focus(), parts.List);
    Key(p, 'D', Ctrl);

    // Edits that the note's window does not count as typing, a cut by
    // Ctrl+X and a Delete from the edit menu while the keyboard is
    // elsewhere, are kept as typing is when another task is chosen (they
    // were dropped: the note came back as it was).
    Click(p, parts.ListItem(1));
    Key(p, 'N', Shift);
    Key(p, VK_HOME, Ctrl);
    Key(p, VK_RIGHT, Ctrl | Shift);
    Key(p, 'X', Ctrl);
    Click(p, parts.ListItem(0));
    Click(p, parts.ListItem(1));
    EXPECT_EQ(TextOf(note), "pages\r\n more") << "the cut was dropped";
    Key(p, 'N', Shift);
    Key(p, VK_HOME, Ctrl);
    Key(p, VK_END, Shift);
    Key(p, VK_TAB);
    ASSERT_NE(p.Focus(), note);
    ChooseFromEditMenu(p, note, 'D');
    EXPECT_EQ(TextOf(note), "\r\n more");
    Click(p, parts.ListItem(0));
    Click(p, parts.ListItem(1));
    EXPECT_EQ(TextOf(note), "\r\n more") << "the Delete from the menu was dropped";

    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "kept typed\xF8");
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "\xF8 more\xF8");
    // The end with text cut from the note: a clean exit (it crashed in the
    // end of OLE after a copy), and the text stays on the clipboard.
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(WideTextOfClipboard(), L"Two ");
}

TEST(NotePanelScenario, ALinkClickedWithTheLeftButtonOpensItsOwnTextAndNothingElseOpens) {
    TProgram p("note-links");
    const std::string opened = p.PathOf("opened.txt");
    TEnvironmentScope shell("QELVO_SHELL_RECORD", opened);
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    const HWND note = parts.NoteEditor;
    Key(p, 'N', Shift);
    const std::string first = "see www.example.com and http://example.org/a, or file:c:/x.txt";
    // Pasted rather than typed: a key costs a round trip each.
    PutOnClipboard(std::wstring(first.begin(), first.end()) + L"\r\nmailto:me@example.com");
    Key(p, 'V', Ctrl);
    Key(p, VK_RETURN, Shift);
    // The links of a note loaded with its task.
    Click(p, parts.ListItem(1));
    Click(p, parts.ListItem(0));
    const std::string text = TextOf(note);
    ASSERT_EQ(text, first + "\r\nmailto:me@example.com");
    // Character places count a line break as one.
    auto at = [&](const char* part) { return static_cast<int>(first.find(part)); };
    const int mail = static_cast<int>(first.size()) + 1 + 8;

    Click(p, CharPoint(note, at("example.com")));
    EXPECT_EQ(ReadFile(opened), "www.example.com\t\r\n");
    // The right button opens the edit menu, not the link.
    Click(p, CharPoint(note, at("org/a")), true);
    Key(p, VK_ESCAPE);
    // A press on one link and a release on another, a click right of a
    // line's last link: nothing.
    Drag(p, CharPoint(note, at("example.com")), CharPoint(note, mail), 4);
    POINT pastTheEnd = CharPoint(note, at("x.txt") + 4);
    pastTheEnd.x += 120;
    Click(p, pastTheEnd);
    EXPECT_EQ(ReadFile(opened), "www.example.com\t\r\n");
    Click(p, CharPoint(note, at("org/a")));
    // A double click opens once.
    DoubleClick(p, CharPoint(note, at("x.txt")));
    Click(p, CharPoint(note, mail));
    // A link edited where it stands opens as it now reads.
    Key(p, VK_HOME, Ctrl);
    for (int i = 0; i < at(".org"); ++i) Key(p, VK_RIGHT);
    Type(p, "zz");
    Click(p, CharPoint(note, at("org/a") + 2));
    EXPECT_EQ(ReadFile(opened), "www.example.com\t\r\nhttp://example.org/a\t\r\nfile:c:/x.txt\t\r\n"
                                "mailto:me@example.com\t\r\nhttp://examplezz.org/a\t\r\n");
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(NotePanelScenario, TypingInTheNoteGoesToItsTaskOrIsRefused) {
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
    SaveByKeys(p);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(Fields(TaskLine(file, "Write report")).at(5), "Two pages\xF8more\xF8");
    EXPECT_EQ(Fields(TaskLine(file, "Call Tom")).at(5), "ring\xF8");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

namespace {

// The screen rectangle below the note panel's caption bar: where the
// editor stands.
RECT NotePlace(const TMainWindowParts& parts) {
    RECT client{};
    GetClientRect(parts.NotePanel, &client);
    MapWindowPoints(parts.NotePanel, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const std::vector<HWND> bars = ChildrenOfClass(parts.NotePanel, "TXtDock");
    if (bars.empty()) return RECT{};
    client.top = RectOf(bars.front()).bottom;
    return client;
}

bool ContextMenuShows(const TProgram& p) {
    return WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "#32768" || ClassOf(w) == "TXtPopupWindow") return true;
        return false;
    }, 3000);
}

} // namespace

TEST(NotePanelScenario, TheNotesPlaceLooksAndAnswersAsTheEmptyEditor) {
    TProgram p("note-at-start");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    p.Settle();
    TMainWindowParts parts(main);
    ASSERT_NE(parts.NotePanel, nullptr);
    const RECT place = NotePlace(parts);
    ASSERT_GT(place.bottom - place.top, 20);
    const std::vector<COLORREF> first = PixelsOf(place);

    // The keyboard goes round the quick-entry box, the task list, the side
    // tree and the note: Shift+Tab twice from the list reaches the note,
    // which takes no text while no task is chosen, and Tab twice goes on
    // to the list.
    ASSERT_EQ(p.Focus(), parts.List);
    Key(p, VK_TAB, Shift);
    Key(p, VK_TAB, Shift);
    ASSERT_EQ(p.Focus(), parts.NoteEditor);
    EXPECT_EQ(RectOf(parts.NoteEditor).top, place.top);
    EXPECT_EQ(RectOf(parts.NoteEditor).bottom, place.bottom);
    Type(p, "lost");
    EXPECT_EQ(TextOf(parts.NoteEditor), "");
    Key(p, VK_TAB);
    Key(p, VK_TAB);
    EXPECT_EQ(p.Focus(), parts.List);

    // A task without a note chosen, the keyboard back in the list: the
    // editor shows what its place showed at the start, pixel for pixel.
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    ASSERT_EQ(p.Focus(), parts.List);
    p.Settle();
    EXPECT_TRUE(PixelsOf(place) == first) << "the note's place changed its look";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // Again from the start: a click in the note's place gives the editor the
    // keyboard, the right button opens its menu, and nothing is typed in.
    TProgram again("note-at-start-click");
    main = StartOnTwoLists(again);
    ASSERT_NE(main, nullptr);
    again.Settle();
    TMainWindowParts parts2(main);
    const RECT place2 = NotePlace(parts2);
    const POINT middle{(place2.left + place2.right) / 2, (place2.top + place2.bottom) / 2};
    Click(again, middle);
    ASSERT_EQ(again.Focus(), parts2.NoteEditor);
    Type(again, "lost");
    EXPECT_EQ(TextOf(parts2.NoteEditor), "");
    Click(again, middle, true);
    EXPECT_TRUE(ContextMenuShows(again)) << "no menu on the note";
    Key(again, VK_ESCAPE);
    // The note still follows the tasks chosen.
    Click(again, parts2.ListItem(1));
    EXPECT_EQ(TextOf(parts2.NoteEditor), "Two pages\r\n");
    Key(again, 'Q', Ctrl);
    EXPECT_EQ(again.WaitExit(), 0);
}

} // namespace qelvo::e2e

// Text beyond ASCII and the folders a user keeps the program in: accented
// letters, the euro sign and the letters whose bytes the file uses as
// marks, typed into every editor, searched for, saved and read again byte
// for byte; a database another editor saved again as UTF-8; the program
// in a folder the 8-bit character set cannot name, in a folder whose path
// nearly fills MAX_PATH, started from another working folder and through
// its path written in other letter case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/TaskEntrySupport.h"

namespace qelvo::e2e {

namespace {

// 8-bit text of the system code page in wide form.
std::wstring Wide(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    w.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), static_cast<int>(w.size()))));
    return w;
}

bool WideFileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadWideFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n) out.append(buffer, n);
    CloseHandle(h);
    return out;
}

// Removes a folder and all it holds, named in wide form (the driver's own
// clean-up cannot name it).
void RemoveWideTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveWideTree(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

// Copies the program of a scenario's folder into Folder (made here).
void CopyProgramTo(const TProgram& p, const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Wide(p.PathOf("qelvo.exe")).c_str(), (folder + L"\\qelvo.exe").c_str(), FALSE));
}

// Answers a message box holding Words with Enter; false when none came.
bool Told(TProgram& p, const std::string& words, const char* what) {
    HWND box = p.WaitDialog(3000);
    if (!box) {
        ADD_FAILURE() << what << ": no message";
        return false;
    }
    EXPECT_NE(ChildTexts(box).find(words), std::string::npos) << what << ": " << ChildTexts(box);
    Key(p, VK_RETURN);
    return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

// A first start in an empty folder: the word that the database is not
// there yet, then a list "Work" made and chosen.
HWND FirstStartWithAList(TProgram& p) {
    Told(p, "does not exist", "a first start");
    HWND main = p.Main();
    if (!main) return nullptr;
    const TMainWindowParts parts(main);
    Click(p, CenterOf(parts.NewListLabel));
    Type(p, "Work");
    Key(p, VK_RETURN);
    Click(p, parts.TreeRow(1));
    return main;
}

} // namespace

TEST(TextBeyondAsciiScenario, AccentedTextTypedIntoEveryEditorIsFoundShownAndKeptByteForByte) {
    TProgram p("text-beyond-ascii");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);

    // A task typed into the quick-entry box with tags; a title typed in
    // place holding the file's mark letters (o-slash, the division sign),
    // "Œ", "Š" and a question mark; a note with the euro sign; the list
    // renamed in place.
    Click(p, parts.TreeRow(1));
    Click(p, CenterOf(parts.TopEdit));
    Type(p, std::wstring(L"[na\u00efve,\u00d6l]Caf\u00e9 cr\u00e8me \u20ac stra\u00dfe"));
    Key(p, VK_RETURN);
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Call Tom");
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"S\u00f8ren \u00f7 2 \u0152uvre \u0160koda?"));
    Key(p, VK_RETURN);
    EXPECT_EQ(parts.NoteCaption(), "No note - S\xF8ren \xF7 2 \x8Cuvre \x8Akoda?");
    Key(p, 'N', Shift);
    Type(p, std::wstring(L"K\u00f8benhavn \u20ac5"));
    Key(p, VK_RETURN, Shift);
    Click(p, parts.TreeRow(1));
    Key(p, VK_RETURN);
    Type(p, std::wstring(L"Arbe\u00eft \u00f8"));
    Key(p, VK_RETURN);
    EXPECT_TRUE(p.NoDialogFor(200));

    Key(p, 'S', Ctrl);
    const std::string file = ReadFile(p.DatabasePath());
    EXPECT_EQ(ListsIn(p.DatabasePath()), (std::vector<std::string>{"Arbe\xEFt \xF8", "Home"}));
    const std::vector<std::string> cafe = Fields(TaskLine(file, "Caf\xE9"));
    ASSERT_GE(cafe.size(), 6u) << file;
    EXPECT_EQ(cafe[0], "[na\xEFve,\xD6l]Caf\xE9 cr\xE8me \x80 stra\xDF" "e");
    EXPECT_EQ(cafe[3], "Arbe\xEFt \xF8");
    // The renamed title holds the marks: its line is written escaped, and
    // the note's "ø" does not end a note line.
    const std::vector<std::string> soren = Fields(TaskLine(file, "S%F8ren"));
    ASSERT_GE(soren.size(), 7u) << file;
    EXPECT_EQ(soren[0], "+S%F8ren %F7 2 \x8Cuvre \x8Akoda?");
    EXPECT_EQ(soren[5], "K%F8benhavn \x80" "5\xF8");

    // The find box: "é" finds the accented title; letters beyond A-Z keep
    // their case ("CAFÉ" is not "Café"); a character the 8-bit titles
    // cannot hold finds nothing, not the titles holding "?".
    RECT rows = RectOf(parts.List);
    rows.top += 24;
    rows.right -= 24;
    Key(p, 'F', Ctrl);
    ASSERT_EQ(p.Focus(), parts.TopEdit);
    Type(p, "qqqq");
    p.Settle();
    const std::vector<COLORREF> none = PixelsOf(rows);
    const auto clear = [&](int n) {
        for (int i = 0; i < n; ++i) Key(p, VK_BACK);
    };
    clear(4);
    Type(p, std::wstring(L"\u00e9 c"));
    p.Settle();
    EXPECT_NE(PixelsOf(rows), none) << "\"\u00e9 c\" found no task";
    clear(3);
    Type(p, std::wstring(L"CAF\u00c9"));
    p.Settle();
    EXPECT_EQ(PixelsOf(rows), none) << "\"CAF\u00c9\" found a task";
    clear(4);
    Type(p, std::wstring(L"\u65e5"));
    p.Settle();
    Shot(p, main, "text-beyond-ascii-find-cjk");
    EXPECT_EQ(PixelsOf(rows), none) << "a character the titles cannot hold found a task";
    clear(1);
    Key(p, VK_ESCAPE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    // The next start reads every byte back: a save writes the same file.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Shot(p, main, "text-beyond-ascii-restarted");
    ASSERT_EQ(TextOf(main).find("[Last Save at"), std::string::npos);
    Key(p, 'S', Ctrl);
    EXPECT_NE(TextOf(main).find("[Last Save at"), std::string::npos) << TextOf(main);
    EXPECT_EQ(ReadFile(p.DatabasePath()), file);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(TextBeyondAsciiScenario, ADatabaseAnotherEditorSavedAsUtf8OpensWithEveryTaskAndSavesBackInTheCodePage) {
    TProgram p("text-utf8-database");
    const std::string ansi = TwoListsDatabase() + "Caf\xE9 cr\xE8me\xF7--\xF7" "3333333333\xF7Home\xF7" "1/2/2025\xF7\xF7\r\n";
    const std::wstring wide = Wide(ansi);
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                                        utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
    MakeFolderOf(p.DatabasePath());
    WriteFile(p.DatabasePath(), utf8);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    EXPECT_TRUE(p.NoDialogFor(200));
    Click(p, parts.ListItem(1));
    EXPECT_EQ(parts.NoteCaption(), "Note: Write report");
    Click(p, parts.TreeRow(2));
    Click(p, parts.ListItem(0));
    EXPECT_EQ(parts.NoteCaption(), "No note - Caf\xE9 cr\xE8me");
    Key(p, 'S', Ctrl);
    EXPECT_EQ(ReadFile(p.DatabasePath()), ansi);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ProgramFolderScenario, AFolderTheCodePageCannotNameStartedFromElsewhereKeepsItsFilesAndSavesAsThere) {
    TProgram p("folder-unnamed");
    const std::wstring root = Wide(p.Folder());
    const std::wstring folder = root + L"\\\u65e5\u672c\u8a9e \u30d5\u30a9\u30eb\u30c0";
    const std::wstring other = root + L"\\\u65e5\u672c";
    RemoveWideTree(folder);
    RemoveWideTree(other);
    CopyProgramTo(p, folder);
    ASSERT_TRUE(CopyFileW(Wide(p.PathOf("Jotpaper.dll")).c_str(), (folder + L"\\Jotpaper.dll").c_str(), FALSE));
    CreateDirectoryW(other.c_str(), nullptr);

    // Started with the root of the drive as its working folder (a
    // shortcut's "Start in"): the database and the settings go beside
    // the program.
    p.StartAt(folder + L"\\qelvo.exe", L"C:\\");
    HWND main = FirstStartWithAList(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, CenterOf(parts.TopEdit));
    Type(p, std::wstring(L"T\u00e2che"));
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    EXPECT_TRUE(p.NoDialogFor(200));
    // The sticky-note library beside the program loads from there.
    Click(p, parts.ListItem(0));
    Key(p, 'K', Ctrl);
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND w : p.TopWindows())
            if (ClassOf(w) == "QelvoJotpaperNote") return TextOf(w) == "T\xE2" "che";
        return false;
    })) << "no sticky note";

    // Save as into a folder named in Japanese; a Japanese file name is
    // refused with a word and the dialog comes back.
    FileMenuItem(p, 4);
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    Type(p, other + L"\\copy.kpx");
    Key(p, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    FileMenuItem(p, 4);
    dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    Type(p, other + L"\\\u30e1\u30e2.kpx");
    Key(p, VK_RETURN);
    EXPECT_TRUE(Told(p, "cannot keep in its 8-bit character set", "a Japanese file name"));
    dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    const std::string saved = ReadWideFile(folder + L"\\Data\\ActualData.kpx");
    EXPECT_NE(saved.find("T\xE2" "che\xF7"), std::string::npos) << saved;
    EXPECT_EQ(ReadWideFile(other + L"\\copy.kpx"), saved);
    EXPECT_TRUE(WideFileExists(folder + L"\\settings.ini"));
    EXPECT_FALSE(WideFileExists(other + L"\\\u30e1\u30e2.kpx"));
    EXPECT_FALSE(WideFileExists(L"C:\\Data\\ActualData.kpx"));
    EXPECT_FALSE(WideFileExists(L"C:\\settings.ini"));

    // The next start, from the folder above, opens that database.
    p.StartAt(folder + L"\\qelvo.exe", root);
    ASSERT_NE(p.Main(), nullptr);
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(ProgramFolderScenario, ALongPathSavesAndASecondStartThroughOtherLetterCaseBringsTheFirstForward) {
    TProgram p("folder-long");
    // A folder whose database path is 255 characters long, its last
    // part holding a "ü" (and a blank, or Wine hands the program the
    // name as the disk holds it).
    std::wstring folder = Wide(p.Folder());
    const size_t length = 255 - std::wstring(L"\\Pr\u00fcfung Ordner\\Data\\ActualData.kpx").size();
    // Folders of "x" up to that length, each "\\" and at most 40 of them.
    ASSERT_GE(length, folder.size() + 2);
    const size_t rest = length - folder.size(), parts = (rest + 40) / 41;
    for (size_t i = 0; i < parts; ++i) {
        folder += L"\\" + std::wstring(rest / parts + (i < rest % parts ? 1 : 0) - 1, L'x');
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    folder += L"\\Pr\u00fcfung Ordner";
    CopyProgramTo(p, folder);
    std::wstring upper = folder;
    upper.replace(upper.size() - 14, 14, L"PR\u00dcFUNG ORDNER");
    ASSERT_EQ((folder + L"\\Data\\ActualData.kpx").size(), 255u);

    p.StartAt(folder + L"\\qelvo.exe", Wide(p.Folder()));
    HWND main = FirstStartWithAList(p);
    ASSERT_NE(main, nullptr);

    // A second start through the same folder written in capitals finds
    // the first, which comes forward; it does not open the database again.
    {
        TProgram second("folder-long", true);
        second.StartAt(upper + L"\\qelvo.exe", Wide(p.Folder()));
        const int code = second.WaitExit(8000);
        EXPECT_EQ(code, 0) << "a second copy runs on the same database";
        if (code == -1) second.Kill();
    }

    Click(p, CenterOf(TMainWindowParts(main).TopEdit));
    Type(p, "Plan the week");
    Key(p, VK_RETURN);
    Key(p, 'S', Ctrl);
    Shot(p, main, "folder-long-saved");
    if (HWND box = p.WaitDialog(500)) {
        ADD_FAILURE() << "the save failed: " << ChildTexts(box);
        Key(p, VK_RETURN);
    }
    Key(p, 'Q', Ctrl);
    if (HWND box = p.WaitDialog(500)) {
        ADD_FAILURE() << "the exit asks: " << ChildTexts(box);
        Key(p, VK_TAB);  // No: the window stays
        Key(p, VK_RETURN);
        p.Kill();
    }
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string saved = ReadWideFile(folder + L"\\Data\\ActualData.kpx");
    EXPECT_NE(saved.find("Plan the week\xF7"), std::string::npos) << saved;
    EXPECT_NE(ReadWideFile(folder + L"\\settings.ini").find("[Form]"), std::string::npos);
}

} // namespace qelvo::e2e

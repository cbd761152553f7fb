// Starting the program and the files it works on: a first start and a
// start over a missing, empty, unreadable or oddly written database, the
// settings files, folders and names the code page cannot hold, Open,
// Save as and Set as default, a second start, and the database's own
// format kept across saves.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/jotpaper/Jotpaper.h"
#include "e2e/ClockSupport.h"
#include "e2e/E2eDriver.h"
#include "e2e/ExitsSupport.h"
#include "e2e/PreparedDatabase.h"
#include "e2e/RepaintSupport.h"
#include "e2e/TaskEntrySupport.h"
#include "e2e/TreeSupport.h"

namespace qelvo::e2e {

namespace {

const std::string F = "\xF7";
const std::string ListsMarker = "<--<*&^Folders^&*>-->";
const std::string TagsMarker = "<--<*&^Tags^&*>-->";

std::string SampleTaskLine(const std::string& shortForm, const std::string& id, const std::string& list) {
    return shortForm + F + "--" + F + id + F + list + F + "1/2/2025" + F + F + "\r\n";
}

// How many lines of the file equal Line.
int CountLines(const std::string& file, const std::string& line) {
    int n = 0;
    for (const std::string& l : Lines(file)) n += l == line;
    return n;
}

void SaveAndQuit(TProgram& p) {
    SaveByKeys(p);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace

// A database whose id line was deleted in a text editor, so that it
// begins with the lists' marker: each save and start wrote the marker
// once more and the tags tab grew a tag of that name every time. The
// first line is no id then; the file gets a new one.
TEST(StartAndFilesScenario, AFileWithoutItsIdLineStaysTheSameAcrossSaves) {
    TProgram p("explore-dbfile-no-id");
    WriteFile(p.DatabasePath(), ListsMarker + "\r\nhome\r\n" + TagsMarker + "\r\n" +
                                    SampleTaskLine("[home]Buy milk", "1000000001", "Home"));
    for (int round = 0; round < 2; ++round) {
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        HWND tree = TreeOf(main);
        ClickNode(p, tree, "All");
        Key(p, VK_RIGHT, Ctrl);  // the tags tab
        EXPECT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All*|home"; })) << round << ": " << Texts(p, tree);
        SaveAndQuit(p);
    }
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(CountLines(saved, ListsMarker), 1) << saved;
    EXPECT_EQ(saved.substr(0, 5), "d_id-") << saved;
    EXPECT_FALSE(SavedTask(saved, "Buy milk").empty()) << saved;
}

// A tag named as one of the file's markers: the save wrote it as a line
// of the tags, where it ended them, and the next start read the tags
// after it and the real marker as tasks without titles.
TEST(StartAndFilesScenario, ATagNamedAsAMarkerIsRefused) {
    TProgram p("explore-dbfile-marker-tag");
    HWND main = StartOn(p, ThreeTasksDatabase());
    ASSERT_NE(main, nullptr);
    HWND tree = TreeOf(main);
    ClickNode(p, tree, "Work");
    Key(p, VK_RIGHT, Ctrl);  // the tags tab
    ClickNode(p, tree, "work");
    Key(p, 'N', Ctrl | Shift);
    Type(p, "<--<*&^TAGS^&*>-->");
    Key(p, VK_RETURN);
    NameRefused(p, "a tag named as the tags' marker", "marks");
    Key(p, VK_ESCAPE);
    // Renamed so in place.
    ClickNode(p, tree, "home");
    Key(p, VK_RETURN);
    Type(p, " <--<*&^tags^&*>-->");
    Key(p, VK_RETURN);
    NameRefused(p, "a tag renamed as the tags' marker", "marks");
    EXPECT_TRUE(WaitUntil([&] { return Texts(p, tree) == "All|work|home*"; })) << Texts(p, tree);
    // Given to a task as it is typed: the task keeps it, the tags do not
    // list it.
    Key(p, 'N', Ctrl);
    Type(p, "[<--<*&^Tags^&*>-->]Odd tag");
    Key(p, VK_RETURN);
    SaveAndQuit(p);
    const std::string saved = ReadFile(p.DatabasePath());
    EXPECT_EQ(CountLines(saved, TagsMarker), 1) << saved;
    const auto odd = SavedTask(saved, "Odd tag");
    ASSERT_FALSE(odd.empty()) << saved;
    EXPECT_EQ(odd[0], "[<--<*&^Tags^&*>-->]Odd tag");

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(ReadFile(p.DatabasePath()), saved);
}

// Due days the file does not keep, written by another hand (a year of 1901
// or before): the task showed no date, yet it was overdue, italic and
// under "Overdue", outside "Without date set", and the next save dropped
// the day anyway. Such a day reads as no due date, as one typed does.
TEST(StartAndFilesScenario, ADueDayTheFileCannotKeepReadsAsNone) {
    TProgram p("explore-dbfile-old-due");
    const std::string lists = "d_id-4711471149\r\nHome" + F + "1" + F + "\r\n" + ListsMarker + "\r\n" + TagsMarker + "\r\n";
    HWND main = StartOn(p, lists + SampleTaskLine(";6/1/1901;Year 1901", "1000000001", "Home") +
                               SampleTaskLine(";1/1/1;Year one", "1000000002", "Home") +
                               SampleTaskLine(";3/4/2020;Long overdue", "1000000003", "Home"));
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.TreeRow(1));
    Key(p, 'O', Ctrl);  // Overdue
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Long overdue"; })) << parts.ChosenTask();
    Click(p, parts.ListItem(1));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Note"; })) << "more overdue tasks than dates";
    Key(p, '0', Ctrl);  // Without date set
    const char* undated[] = {"Year 1901", "Year one"};
    for (int i = 0; i < 2; ++i) {
        Click(p, parts.ListItem(i));
        EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == undated[i]; })) << i << ": " << parts.ChosenTask();
    }
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

// A task line of a megabyte written elsewhere: a hundred thousand tags that
// the tag table does not list. OK in the task's tags panel adds them to
// the table; that took minutes, each tag looked for along the whole table
// grown so far, the window neither painting nor answering, and so did
// the panel opened again once the table held them.
TEST(StartAndFilesScenario, AMegabyteOfTagsJoinsTheTagTableAtOnce) {
    TProgram p("explore-dbfile-many-tags");
    std::string tags;
    for (int i = 0; i < 100000; ++i) tags += (i ? ",t" : "t") + std::to_string(i);
    HWND main = StartOn(p, "d_id-4711471150\r\nHome" + F + "1" + F + "\r\n" + ListsMarker + "\r\nT5\r\n" + TagsMarker +
                               "\r\n" + SampleTaskLine("[" + tags + "]Many tags", "1000000001", "Home"));
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    EXPECT_TRUE(WaitUntil([&] { return parts.ChosenTask() == "Many tags"; })) << parts.ChosenTask();
    Key(p, 'T', Shift);
    Key(p, VK_RETURN);  // fails when the program does not answer
    EXPECT_TRUE(WaitUntil([&] { return p.Focus() == parts.List; }));
    SaveByKeys(p);
    const std::vector<std::string> lines = Lines(ReadFile(p.DatabasePath()));
    const auto from = std::find(lines.begin(), lines.end(), ListsMarker);
    const auto to = std::find(lines.begin(), lines.end(), TagsMarker);
    ASSERT_TRUE(from < to);
    // T5 was there already (letter case aside); every other tag once.
    EXPECT_EQ(to - from - 1, 100000);
    EXPECT_EQ(from[1], "T5");
    EXPECT_EQ(from[2], "t0");
    EXPECT_EQ(to[-1], "t99999");
    // The panel opens again on a table of them, its lines checked by the
    // task's tags: each tag was looked for along every line, and each
    // line's check painted again, whether in sight or not.
    Key(p, 'T', Shift);  // fails when the program does not answer
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return p.Focus() == parts.List; }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(StartAndFilesScenario, SettingsFilesOfGarbageOutOfRangeOrUnwritableNeverCostTheTasks) {
    TProgram p("fail-settings");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    // Binary garbage with a line of two megabytes, and values no window wrote.
    std::string garbage("\xFF\xFE[Form]\x00\x1A\r\nWidth=\x00\x01\r\n", 26);
    garbage += std::string(2 << 20, 'A') + "\r\n[Others]\r\nGroup M=99\r\nCount items=7\r\n[Form]\r\nTheme=999999\r\n"
               "[Options]\r\nGroups Underline Color=$ZZ\r\nDateTime Format=" + std::string(3000, 'y') +
               "\r\nDefault Database Tasks=C:\\\r\n[Note Panel]\r\nMin=-1\r\n[Options";
    WriteFile(p.SettingsPath(), garbage);
    WriteFile(p.PathOf("settings.inicol"), std::string("[columns]\r\nC0v=0\r\nC1v=0\r\nC2v=0\r\n"));
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(p.NoDialogFor(200));
    AddTask(p, "Added on garbage");
    // The tasks show: a column file that hides every column keeps the
    // titles (no command could bring them back).
    const std::vector<HWND> lists = ChildrenOfClass(main, "TGvListview");
    ASSERT_EQ(lists.size(), 1u);
    const RECT list = RectOf(lists.front());
    Shot(p, main, "fail-settings-garbage");
    EXPECT_LT(ShareOf({list.left + 2, list.top + 24, list.right - 2, list.top + 90}, RGB(255, 255, 255)), 0.97)
        << "no task is shown";
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Added on garbage"}));
    EXPECT_NE(ReadFile(p.SettingsPath()).find("\r\nGroup M=1\r\n"), std::string::npos);
    EXPECT_EQ(IniValue(p.PathOf("settings.inicol"), "columns", "C0v"), "1");

    // Settings files that cannot be written (read-only; a folder in the
    // place of the column file).
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFileA(p.PathOf("settings.inicol").c_str());
    CreateDirectoryA(p.PathOf("settings.inicol").c_str(), nullptr);
    const std::string before = ReadFile(p.SettingsPath());
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Added read-only");
    Key(p, 'P', Alt);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (TTitles{"Old", "Added on garbage", "Added read-only"}));
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
    SetFileAttributesA(p.SettingsPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(p.PathOf("settings.inicol").c_str());

    // Held open by a program that lets others remove or replace the file
    // but not read it: what cannot be read is not replaced by the few keys
    // written.
    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    HANDLE held = CreateFileA(p.SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    CloseHandle(held);
    EXPECT_EQ(ReadFile(p.SettingsPath()), before);
}

// "Clear database..." offers to keep a copy first, and its dialog offered
// the open file's own name: taken, the "copy" was the file being cleared,
// and the next save wrote the empty database over it. The dialog now
// offers a free name beside it, and the open file itself is refused as
// the copy.
TEST(StartAndFilesScenario, TheCopyKeptBeforeClearingIsNotTheFileBeingCleared) {
    TProgram p("files-clear-copy");
    HWND main = StartOnPrepared(p);
    ASSERT_NE(main, nullptr);
    const std::vector<std::string> before = TitlesIn(p.DatabasePath());
    const std::string copy = p.PathOf("Data\\ActualData (2).kpx");

    // The open file's name typed: refused with a word, nothing cleared.
    ChooseFromMenu(p, main, FileMenuX, ClearDatabaseSteps);
    ASSERT_TRUE(Answer(p, "Current database will be erased", "&Yes"));
    ASSERT_TRUE(ChooseFileName(p, p.DatabasePath()));
    ASSERT_TRUE(Answer(p, ReplaceQuestion, "&Yes"));
    ASSERT_TRUE(Answer(p, "is the database being cleared", "OK"));
    EXPECT_TRUE(p.NoDialogFor(300));
    SaveByKeys(p);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), before);

    // The name the dialog offers is free, and taken with Enter it keeps
    // the tasks the next save takes from the open file.
    ChooseFromMenu(p, main, FileMenuX, ClearDatabaseSteps);
    ASSERT_TRUE(Answer(p, "Current database will be erased", "&Yes"));
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(ChildrenOfClass(dialog, "Edit").empty());
    EXPECT_EQ(TextOf(ChildrenOfClass(dialog, "Edit").front()), "ActualData (2).kpx");
    Key(p, VK_RETURN);
    if (HWND box = p.WaitDialog(1000); box && box != dialog && ChildTexts(box).find(ReplaceQuestion) != std::string::npos)
        Answer(p, ReplaceQuestion, "&Yes");
    EXPECT_TRUE(WaitUntil([&] { return p.TopWindows().size() == 2; }));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), std::vector<std::string>{});
    EXPECT_EQ(TitlesIn(copy), before);
}

// A second start while a task's title was being typed moved the keyboard to
// the quick-entry box and left the title's editor on the screen: the title
// was never taken, and Ctrl+Q no longer ended the program. The title is now
// taken as the window comes forward.
TEST(StartAndFilesScenario, ASecondStartTakesATitleBeingTypedAndClosesAnOpenMenu) {
    TProgram p("modal-second-start-title");
    HWND main = StartOnTwoLists(p);
    ASSERT_NE(main, nullptr);
    const TMainWindowParts parts(main);
    Click(p, parts.ListItem(0));
    Key(p, VK_RETURN);
    Key(p, VK_END);
    Type(p, " at noon");
    ASSERT_EQ(ChildrenOfClass(main, "TGvEdit").size(), 1u) << "no editor opened";

    TProgram second("modal-second-start-title", true);
    second.Start();
    EXPECT_EQ(second.WaitExit(), 0);
    p.Settle();
    EXPECT_TRUE(ChildrenOfClass(main, "TGvEdit").empty()) << "the title's editor stayed without the keyboard";
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Shot(p, main, "modal-second-start-title");

    // With the File menu open the keyboard went to the quick-entry box too,
    // while the menu stayed and took the letters typed as its commands'
    // ("c" asked to clear the database). The menu closes now.
    OpenMainMenu(p, main, FileMenuX);
    ASSERT_GT(p.TopWindows().size(), 1u) << "no menu opened";
    TProgram third("modal-second-start-title", true);
    third.Start();
    EXPECT_EQ(third.WaitExit(), 0);
    p.Settle();
    for (HWND w : p.TopWindows()) {
        if (w != main) {
            EXPECT_EQ(ClassOf(w), "TApplication") << "the menu stayed";
        }
    }
    EXPECT_EQ(p.Focus(), parts.TopEdit);
    Type(p, "Buy a clock");
    EXPECT_TRUE(p.NoDialogFor(300)) << "the letters went to the menu";
    EXPECT_EQ(TextOf(parts.TopEdit), "Buy a clock");
    Key(p, VK_ESCAPE);

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), (std::vector<std::string>{"Call Tom at noon", "Write report"}));
}

// A default database left empty or naming a folder cannot be opened: the
// program opens the standard one, and it is the default of this run too,
// so auto-save and "Set as default database" go by it.
TEST(StartAndFilesScenario, ADefaultDatabaseEmptyOrAFolderIsTheStandardOne) {
    TProgram p("settings-default-empty");
    WriteWorkDatabase(p.DatabasePath(), {"Old"});
    for (const std::string& stored : {std::string(), p.PathOf("Data")}) {
        WriteFile(p.SettingsPath(), "[Options]\r\nDefault Database Tasks=" + stored + "\r\n");
        p.Start();
        HWND main = p.Main();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(TextOf(main), "Qelvo v1.1 - ActualData.kpx");
        TOptionsDialog d = OpenOptionsDialog(p, main);
        ASSERT_NE(d.Ok, nullptr);
        HWND edit = d.DefaultDatabase;
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(TextOf(edit), p.DatabasePath()) << "stored: " << stored;
        Click(p, CenterOf(d.Ok));
        ASSERT_TRUE(Closed(d.Window));
        EXPECT_EQ(Option(p, "Default Database Tasks"), p.DatabasePath());
        Key(p, 'Q', Ctrl);
        EXPECT_EQ(p.WaitExit(), 0);
    }
}

namespace {

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

// Types a wide file name into the file dialog that is up and presses
// Enter; returns once the dialog has gone (what the program says of the
// name comes after it).
void AnswerFileDialog(TProgram& p, const std::wstring& name) {
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_FALSE(ChildrenOfClass(dialog, "Edit").empty());
    Click(p, CenterOf(ChildrenOfClass(dialog, "Edit").front()));
    Key(p, 'A', Ctrl);
    Type(p, name);
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }))
        << "the file dialog did not take the name";
}

} // namespace

TEST(StartAndFilesScenario, AFileNamedInLettersTheCodePageLacksOpensOrIsRefusedWithAWord) {
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
    SaveByKeys(p);
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
    HWND box = p.WaitDialog();
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

TEST(StartAndFilesScenario, ADatabaseAnotherEditorSavedAsUtf8OpensWithEveryTaskAndSavesBackInTheCodePage) {
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
    SaveByKeys(p);
    EXPECT_EQ(ReadFile(p.DatabasePath()), ansi);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(StartAndFilesScenario, AFolderTheCodePageCannotNameStartedFromElsewhereKeepsItsFilesAndSavesAsThere) {
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

TEST(StartAndFilesScenario, ALongPathSavesAndASecondStartThroughOtherLetterCaseBringsTheFirstForward) {
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
    SaveByKeys(p);
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

namespace {

const char* SaveBeforeOpenQuestion = "You've made changes to this database, do you want to save before opening another?";

constexpr int OpenItem = 2;          // New task, New List, Open...
constexpr int SetAsDefaultItem = 5;  // ... Save, Save as..., Set as default database

// A shown edit box of the main window that holds Text.
bool AnEditShows(HWND main, const std::wstring& text) {
    for (HWND edit : ChildrenOfClass(main, "TXtEdit.UnicodeClass"))
        if (IsWindowVisible(edit) && WideTextOf(edit) == text) return true;
    return false;
}

// The file dialog that is up, or nullptr when a message box came instead.
HWND FileDialog(TProgram& p) {
    HWND dialog = p.WaitDialog();
    return dialog && !ChildrenOfClass(dialog, "Edit").empty() ? dialog : nullptr;
}

} // namespace

TEST(StartAndFilesScenario, OpenAsksBeforeUnsavedChangesAreDropped) {
    TProgram p("file-open-unsaved");
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(p.DatabasePath(), {});
    WriteWorkDatabase(other, {"In the other file"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    AddTask(p, "Typed before Open");

    // Cancel: no open dialog, the change stays unsaved in the window.
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "Cancel"));
    EXPECT_TRUE(p.NoDialogFor(300));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{});

    // Yes: the change is saved, then the other file opens.
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "&Yes"));
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Typed before Open"});
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, other));
    // The file opens once the dialog has gone.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - Other.kpx" + std::string(NotAutoSavedNote); })) << TextOf(main);

    // No: the change is dropped on purpose, and the first file opens again.
    AddTask(p, "Dropped by No");
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "&No"));
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, p.DatabasePath()));
    // The file opens once the dialog has gone.
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main) == "Qelvo v1.1 - ActualData.kpx"; })) << TextOf(main);
    EXPECT_EQ(TitlesIn(other), TTitles{"In the other file"});

    // Nothing unsaved: the open dialog comes without a question.
    FileMenuItem(p, OpenItem);
    HWND dialog = FileDialog(p);
    ASSERT_NE(dialog, nullptr) << ChildTexts(p.WaitDialog());
    Key(p, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));

    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"Typed before Open"});
}

TEST(StartAndFilesScenario, SetAsDefaultDatabaseIsTheOneTheNextStartOpens) {
    TProgram p("file-set-default");
    const std::string other = p.PathOf("Data\\Other.kpx");
    WriteWorkDatabase(p.DatabasePath(), {"In the first file"});
    WriteWorkDatabase(other, {"In the other file"});
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // A new list's name typed without Enter moved, box and all, into the
    // database opened next, where Enter added it. It is taken first, as a
    // change of the database it was typed in, which the question covers.
    Key(p, 'N', Ctrl | Shift);
    Type(p, "Half typed");
    FileMenuItem(p, OpenItem);
    ASSERT_TRUE(Answer(p, SaveBeforeOpenQuestion, "&Yes")) << "the name typed was not taken as a change";
    EXPECT_TRUE(Holds(ListsIn(p.DatabasePath()), "Half typed")) << "not saved with the database it was typed in";
    ASSERT_NE(FileDialog(p), nullptr);
    ASSERT_TRUE(SaveDialogAnswer(p, other));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(main).find("Other.kpx") != std::string::npos; })) << TextOf(main);
    EXPECT_FALSE(AnEditShows(main, L"Half typed")) << "the name's box came along into Other.kpx";
    Key(p, VK_RETURN);
    FileMenuItem(p, SetAsDefaultItem);
    EXPECT_EQ(IniValue(p.SettingsPath(), "Options", "Default Database Tasks"), other);
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);

    p.Start();
    main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1 - Other.kpx");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(other), TTitles{"In the other file"});
    EXPECT_FALSE(Holds(ListsIn(other), "Half typed")) << "the name went into Other.kpx";
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"In the first file"});
}

namespace {

struct TClassWindowSearch {
    DWORD ProcessId;
    const std::string* ClassName;
    bool Found;
};

BOOL CALLBACK FindWindowOf(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<TClassWindowSearch*>(data);
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
    TClassWindowSearch search{processId, &className, false};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

// A second start while the first copy was still starting ended at once
// without a word to it, since the first had no main window yet (here it
// says first that its database is missing). The second start now waits
// for that window and hands over as it does to a copy that runs.
TEST(StartAndFilesScenario, ASecondStartWhileTheFirstStartsWaitsForItsWindow) {
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

TEST(StartAndFilesScenario, SaveAsStartsBesideTheOpenDatabaseWithItsName) {
    TProgram p("polish-save-as");
    WriteNumberedTasks(p.DatabasePath(), 2);
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    // File > Save as... (New task, New List, Open..., Save, Save as...).
    Key(p, 'N', Ctrl);
    Key(p, VK_MENU);
    Key(p, 'F');
    for (int i = 0; i < 4; ++i) Key(p, VK_DOWN);
    Key(p, VK_RETURN);
    HWND dialog = p.WaitDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
    ASSERT_FALSE(edits.empty()) << "no save dialog";
    EXPECT_EQ(TextOf(edits.front()), "ActualData.kpx");
    // A bare name lands beside the open database.
    Click(p, CenterOf(edits.front()));
    Key(p, 'A', Ctrl);
    Type(p, "Copy");
    Key(p, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }));
    EXPECT_TRUE(FileExists(p.PathOf("Data\\Copy.kpx")));
    EXPECT_FALSE(FileExists(p.PathOf("Copy.kpx")));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST(StartAndFilesScenario, ASecondStartInTheSameFolderBringsTheRunningCopyForward) {
    TProgram p("second-start");
    WriteEmptyDatabase(p.DatabasePath());
    p.Start();
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Key(p, 'O', Ctrl | Shift);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
    TProgram second("second-start", true);
    second.Start();
    EXPECT_EQ(second.WaitExit(), 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; }));
    AddTask(p, "One window");
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(TitlesIn(p.DatabasePath()), TTitles{"One window"});
}

TEST(StartAndFilesScenario, EmptyFolderShowsTheMissingDatabaseOnceThenTheMainWindow) {
    TProgram p("start-empty");
    p.Start();
    HWND box = p.WaitDialog();
    ASSERT_NE(box, nullptr) << "no first-start message";
    EXPECT_NE(ChildTexts(box).find("ActualData.kpx does not exists!"), std::string::npos) << ChildTexts(box);
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), "Qelvo v1.1");
    EXPECT_TRUE(p.BecomesActive(main));
    EXPECT_TRUE(BecomesForeground(main));
    EXPECT_TRUE(p.NoDialogFor(300));
    Shot(p, main, "start-empty");
    Key(p, 'Q', Ctrl);    // Exit and save
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_TRUE(FileExists(p.SettingsPath()));
}

// A first start changes nothing the user made: closing the window at once
// asks no question, and the next start finds a database and no message.
TEST(StartAndFilesScenario, AFirstStartClosedAtOnceAsksNothingAndLeavesADatabase) {
    TProgram p("start-close");
    p.Start();
    ASSERT_NE(p.WaitDialog(), nullptr);
    Key(p, VK_RETURN);
    HWND main = p.Main();
    ASSERT_NE(main, nullptr);
    Click(p, CloseBoxOf(main));
    EXPECT_EQ(p.WaitExit(), 0) << "a question held the exit:\n" << (p.WaitDialog(0) ? ChildTexts(p.WaitDialog(0)) : "");
    p.Kill();
    p.Start();
    ASSERT_NE(p.Main(), nullptr);
    EXPECT_TRUE(p.NoDialogFor(300));
    Key(p, 'Q', Ctrl);
    EXPECT_EQ(p.WaitExit(), 0);
}

} // namespace qelvo::e2e

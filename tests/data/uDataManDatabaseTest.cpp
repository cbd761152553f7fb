// The open database: the file form byte for byte, loading and its failure
// cases, atomic saving, renaming and deleting lists and tags, and the
// ownership of the tasks.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#else
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <random>
#include <set>
#include <vector>

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "gcl/rtl/Strings.h"
#include "support/TestEnvironment.h"
#include "data/DataTestSupport.h"

namespace qelvo::test {
namespace {

#ifdef _WIN32
unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

// The id of a process that ran and has ended.
unsigned long EndedProcessId() {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    std::string command = std::string(system) + "\\cmd.exe /c exit 0";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return 0;
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return pi.dwProcessId;
}

// Gives the file a last-write time long in the past.
void MakeOld(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    SYSTEMTIME st{};
    st.wYear = 2001;
    st.wMonth = 1;
    st.wDay = 1;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
}
#else
unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

unsigned long EndedProcessId() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    int status = 0;
    waitpid(pid, &status, 0);
    return static_cast<unsigned long>(pid);
}

void MakeOld(const std::string& path) {
    const struct timeval times[2] = {{978307200, 0}, {978307200, 0}};  // 1 January 2001
    utimes(path.c_str(), times);
}
#endif

using gcl::EncodeDate;

const std::string Markers = std::string(FoldersMarker) + "\r\n" + TagsMarker + "\r\n";

TuTask* AddTask(TuData& data, const std::string& title, const std::string& folder, const std::string& tags = "") {
    TuTask* t = new TuTask();
    t->Title = title;
    t->Folder = folder;
    t->Tags = tags;
    data.Tasks->AddObject(title, t);
    return t;
}

// The database of fixtures/data/database/sample.kpx, built field by field.
void BuildKpxSample(TuData& data) {
    data.DbId = "d_id-0123456789";
    data.Folders->Add("Work" + F + "0" + F);
    data.Folders->Add("Home" + F + "3" + F);
    data.Tags->Add("work");
    data.Tags->Add("home");
    data.Tags->Add("urgent");
    const double jan2 = EncodeDate(2025, 1, 2) + 0.4;
    struct Row {
        const char *Title, *Tags, *Folder, *Id, *Notes;
        std::uint16_t Priority;
        bool Done;
        double Due, Created;
    } rows[] = {
        {"Call Tom", "work,urgent", "Work", "1234567890", "", 2, false, EncodeDate(2025, 3, 5) + 0.5, jan2},
        {"Plain task", "", "Home", "0000000001", "first line\r\nsecond line", 1, true, 0, EncodeDate(2024, 12, 31)},
        {"Low one", "", "", "0987654321", "", 0, false, 0, EncodeDate(2024, 2, 29)},
        {"100% sure; no doubt", "", "Work", "5555555555", "", 1, false, EncodeDate(2025, 10, 1), jan2},
        {"Call Bob; then Ann; done", "", "Work", "2222222222", "", 1, false, 0, jan2},
        {"Sm\xF8rrebr\xF8" "d \xF7 2", "", "Home", "3333333333", "Line \xF7 one\r\nLine two\r\n", 1, true, 0, jan2},
        {"One-letter tag", "a", "", "4444444444", "", 1, false, 0, jan2},
    };
    for (const Row& r : rows) {
        TuTask* t = AddTask(data, r.Title, r.Folder, r.Tags);
        t->Id = r.Id;
        t->Notes = r.Notes;
        t->Priority = r.Priority;
        t->Done = r.Done;
        t->Due = r.Due;
        t->Created = r.Created;
    }
}

TEST(uDataManFile, SampleFileByteForByte) {
    const std::string fixture = ReadTestFile(TestDataDir() + "data/database/sample.kpx");
    ASSERT_FALSE(fixture.empty());
    TuData data;
    BuildKpxSample(data);
    EXPECT_EQ(data.GetFileText(), fixture);

    TempDir dir;
    data.Modified = true;
    ASSERT_TRUE(data.SaveToFile(dir.File("saved.kpx")));
    EXPECT_FALSE(data.Modified);
    EXPECT_EQ(data.FileName, "");  // saving does not change the open file
    EXPECT_EQ(ReadTestFile(dir.File("saved.kpx")), fixture);

    TuData loaded;
    loaded.Modified = true;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("saved.kpx")));
    EXPECT_FALSE(loaded.Modified);
    EXPECT_EQ(loaded.FileName, dir.File("saved.kpx"));
    EXPECT_EQ(loaded.DbId, "d_id-0123456789");
    ASSERT_EQ(loaded.Folders->GetCount(), 2);
    EXPECT_EQ(loaded.Folders->Get(1), "Home" + F + "3" + F);
    ASSERT_EQ(loaded.Tags->GetCount(), 3);
    EXPECT_EQ(loaded.Tags->Get(2), "urgent");
    ASSERT_EQ(loaded.Tasks->GetCount(), data.Tasks->GetCount());
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        const TuTask& a = *data.Tasks->GetTask(i);
        const TuTask& b = *loaded.Tasks->GetTask(i);
        SCOPED_TRACE(a.Title);
        EXPECT_EQ(loaded.Tasks->Get(i), a.Title);
        EXPECT_EQ(b.Title, a.Title);
        EXPECT_EQ(b.Tags, a.Tags);
        EXPECT_EQ(b.Folder, a.Folder);
        EXPECT_EQ(b.Id, a.Id);
        EXPECT_EQ(b.Done, a.Done);
        EXPECT_EQ(b.Priority, a.Priority);
        EXPECT_EQ(b.Due, gcl::DateOf(a.Due));          // dates to the day
        EXPECT_EQ(b.Created, gcl::DateOf(a.Created));
    }
    EXPECT_EQ(loaded.Tasks->GetTask(1)->Notes, "first line\r\nsecond line\r\n");
    EXPECT_EQ(loaded.Tasks->GetTask(5)->Notes, "Line \xF7 one\r\nLine two\r\n");
    EXPECT_EQ(loaded.GetFileText(), fixture);
}

TEST(uDataManFile, ReadingRules) {
    TempDir dir;
    const std::string path = dir.File("db.kpx");
    {
        // Only the markers and an empty first line: a new id, nothing else,
        // and the new id is written by the next save.
        WriteTestFile(path, "\r\n" + Markers);
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path));
        EXPECT_EQ(data.DbId.substr(0, 5), "d_id-");
        EXPECT_EQ(data.DbId.size(), 15u);
        EXPECT_EQ(data.Folders->GetCount() + data.Tags->GetCount() + data.Tasks->GetCount(), 0);
        ASSERT_TRUE(data.SaveToFile(path));
        EXPECT_EQ(ReadTestFile(path), data.DbId + "\r\n" + Markers);
    }
    {
        // Markers in any case, the first occurrence counts; CR-only breaks;
        // empty task lines give empty tasks; a last line without a break.
        WriteTestFile(path, "id\rL1" + F + "0" + F + "\r<--<*&^FOLDERS^&*>-->\rt1\r<--<*&^tags^&*>-->\r\rT" + F +
                           "--" + F + "1" + F + "L1" + F + "1/1/2025" + F + F + "\r<--<*&^Tags^&*>-->");
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path));
        EXPECT_EQ(data.DbId, "id");
        EXPECT_EQ(data.Folders->GetCount(), 1);
        EXPECT_EQ(data.Tags->GetCount(), 1);
        ASSERT_EQ(data.Tasks->GetCount(), 3);
        EXPECT_EQ(data.Tasks->GetTask(0)->Title, "");
        EXPECT_EQ(data.Tasks->GetTask(1)->Title, "T");
        EXPECT_EQ(data.Tasks->GetTask(1)->Folder, "L1");
        EXPECT_EQ(data.Tasks->GetTask(2)->Title, "");  // the second tag marker is a task line
    }
    {
        // LF-only breaks, and the tag marker before the list marker: no
        // tags, the list marker line belongs to the lists, tasks start
        // after the tag marker.
        WriteTestFile(path, std::string("id\n") + TagsMarker + "\nx\n" + FoldersMarker + "\nT" + F + "--" + F + "\n");
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path));
        ASSERT_EQ(data.Folders->GetCount(), 2);
        EXPECT_EQ(data.Folders->Get(0), TagsMarker);
        EXPECT_EQ(data.Tags->GetCount(), 0);
        EXPECT_EQ(data.Tasks->GetCount(), 3);
    }
    {
        // The id line taken out, so the file begins with a marker: that
        // line is the marker, not the id, and the file gets a new id, so
        // that a save writes the marker once.
        WriteTestFile(path, std::string(FoldersMarker) + "\r\nhome\r\n" + TagsMarker + "\r\nT" + F + "--" + F + "\r\n");
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path));
        EXPECT_EQ(data.DbId.substr(0, 5), "d_id-");
        EXPECT_EQ(data.Folders->GetCount(), 0);
        EXPECT_EQ(data.Tags->GetText(), "home\r\n");
        EXPECT_EQ(data.Tasks->GetCount(), 1);
        const std::string text = data.GetFileText();
        EXPECT_EQ(text.substr(text.find("\r\n") + 2, std::string(FoldersMarker).size()), FoldersMarker);
        EXPECT_EQ(text.find(FoldersMarker), text.rfind(FoldersMarker));
        EXPECT_TRUE(IsFileMarker("<--<*&^tags^&*>-->"));
        EXPECT_FALSE(IsFileMarker(" <--<*&^Tags^&*>-->"));
    }
    {
        // Due days the writer leaves out (a year of 1901 or before) read
        // as no due date; the first day of 1902 is a date.
        WriteTestFile(path, "id\r\n" + Markers + ";12/31/1901;A" + F + "--" + F + "\r\n;1/1/1;B" + F + "--" + F +
                                "\r\n;1/1/1902;C" + F + "--" + F + "\r\n");
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path));
        ASSERT_EQ(data.Tasks->GetCount(), 3);
        EXPECT_EQ(data.Tasks->GetTask(0)->Due, 0);
        EXPECT_EQ(data.Tasks->GetTask(0)->Title, "A");
        EXPECT_EQ(data.Tasks->GetTask(1)->Due, 0);
        EXPECT_EQ(data.Tasks->GetTask(2)->Due, EncodeDate(1902, 1, 1));
    }
}

TEST(uDataManFile, FailedLoadLeavesTheDatabaseAsItWas) {
    TempDir dir;
    TuData data;
    BuildKpxSample(data);
    data.FileName = "open.kpx";
    data.Modified = true;
    const std::string before = data.GetFileText();
    const std::string cases[] = {
        "",                                                    // empty
        "id\r\n" + std::string(FoldersMarker) + "\r\n",        // fewer than three lines
        "id\r\nx\r\n" + std::string(FoldersMarker) + "\r\n",   // no tag marker
        "id\r\nx\r\n" + std::string(TagsMarker) + "\r\n",      // no list marker
        std::string("\x00\x01\xFF\xF7\xF8junk", 9),
    };
    int n = 0;
    for (const std::string& bytes : cases) {
        const std::string path = dir.File("bad" + std::to_string(n++) + ".kpx");
        WriteTestFile(path, bytes);
        EXPECT_FALSE(data.LoadFromFile(path)) << n;
    }
    EXPECT_FALSE(data.LoadFromFile(dir.File("missing.kpx")));
    EXPECT_FALSE(data.LoadFromFile(dir.Path()));  // a folder
    EXPECT_EQ(data.GetFileText(), before);
    EXPECT_EQ(data.FileName, "open.kpx");
    EXPECT_TRUE(data.Modified);
}

// A database another editor saved again as Unicode (UTF-8 with or
// without its mark, UTF-16 either way round) reads as the file it was:
// every list, tag and task with its separators, letters beyond ASCII
// and the euro sign. A file in the code page that holds bytes of a UTF-8
// look-alike reads as it stands.
TEST(uDataManFile, AFileSavedAgainAsUnicodeReadsAsItWas) {
    TempDir dir;
    const std::string original = "d_id-0123456789\r\n\xC9t\xE9" + F + "0" + F + "\r\nWork" + F + "3" + F + "\r\n" +
                                 FoldersMarker + "\r\nna\xEFve\r\n" + TagsMarker + "\r\n+[na\xEFve]Caf\xE9 \x80 5" + F +
                                 "--" + F + "1111111111" + F + "\xC9t\xE9" + F + "1/2/2025" + F + "K%F8benhavn\xF8" + F +
                                 "%" + F + "\r\nPlain" + F + "-d-" + F + "2222222222" + F + "Work" + F + "1/2/2025" + F + F +
                                 "\r\n";
    const std::wstring wide = gcl::AnsiToWide(original);
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (wchar_t c : wide) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
        be += static_cast<char>(c >> 8);
        be += static_cast<char>(c & 0xFF);
    }
    const std::string utf8 = gcl::Utf8Encode(wide);
    const std::pair<const char*, std::string> forms[] = {
        {"UTF-8", utf8}, {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8}, {"UTF-16", le}, {"UTF-16 big-endian", be}};
    for (const auto& [name, bytes] : forms) {
        const std::string path = dir.File("unicode.kpx");
        WriteTestFile(path, bytes);
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(path)) << name;
        EXPECT_EQ(data.GetFileText(), original) << name;
        ASSERT_EQ(data.Tasks->GetCount(), 2) << name;
        EXPECT_EQ(data.Tasks->GetTask(0)->Notes, "K\xF8" "benhavn\r\n") << name;
    }
    // A file in the code page whose lists happen to read as UTF-8 up to
    // its first task line.
    const std::string lookAlike = "id\r\n\xC3\xB7" + F + "0" + F + "\r\n" + Markers + "T" + F + "--" + F + "\r\n";
    WriteTestFile(dir.File("ansi.kpx"), lookAlike);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(dir.File("ansi.kpx")));
    EXPECT_EQ(data.Folders->Get(0), "\xC3\xB7" + F + "0" + F);
    EXPECT_EQ(data.Tasks->GetTask(0)->Title, "T");
}

TEST(uDataManFile, OddContentLoadsWithoutHarm) {
    TempDir dir;
    const std::string path = dir.File("odd.kpx");
    std::string bytes = "id\r\n" + Markers;
    bytes += std::string(3'000'000, 'x') + F + "--" + F + "\r\n";         // a very long line
    bytes += std::string("\0\0\x01", 3) + F + F + F + F + F + F + F + F + "\n";  // NULs, extra separators
    bytes += "no separator at all\r\n";
    bytes += "Title" + F + "-d-" + F + "1\r\n";                                 // missing trailing separator
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);                // every byte value
    WriteTestFile(path, bytes);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(path));
    ASSERT_EQ(data.Tasks->GetCount(), 7);  // the byte run holds an LF and a CR
    EXPECT_EQ(data.Tasks->GetTask(0)->Title.size(), 3'000'000u);
    EXPECT_EQ(data.Tasks->GetTask(2)->Title, "");
    EXPECT_EQ(data.Tasks->GetTask(3)->Title, "Title");
    EXPECT_TRUE(data.Tasks->GetTask(3)->Done);
    EXPECT_EQ(data.Tasks->GetTask(3)->Id, "");
    // Whatever was read is written back as a file that reads the same.
    ASSERT_TRUE(data.SaveToFile(path));
    TuData again;
    ASSERT_TRUE(again.LoadFromFile(path));
    EXPECT_EQ(again.GetFileText(), data.GetFileText());
}

// Tasks of tens of thousands of characters, in the file's own shape, first
// in the file and among short ones: each reads whole (they once went to a
// block of the reader smaller than their text).
TEST(uDataManFile, LongTitlesAndNotesInTheWritersShapeReadWhole) {
    TempDir dir;
    const std::string path = dir.File("long.kpx");
    std::string bytes = "id\r\n" + Markers;
    std::vector<std::string> titles, notes;
    for (size_t size : {70'000u, 20'000u, 5u, 100'000u, 40'000u, 7u, 127'000u}) {
        std::string title(size, 't');
        title.back() = 'Z';
        std::string note((size * 3) % 90'000, 'n');
        if (!note.empty()) note += "\xF8";
        bytes += title + F + "--" + F + "0123456789" + F + "Work" + F + "1/2/2025" + F + note + F + "\r\n";
        titles.push_back(title);
        notes.push_back(note.empty() ? note : note.substr(0, note.size() - 1) + "\r\n");
    }
    WriteTestFile(path, bytes);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(path));
    ASSERT_EQ(data.Tasks->GetCount(), static_cast<int>(titles.size()));
    for (size_t i = 0; i < titles.size(); ++i) {
        const TuTask* task = data.Tasks->GetTask(static_cast<int>(i));
        EXPECT_EQ(std::string(task->Title), titles[i]) << i;
        EXPECT_EQ(std::string(task->Notes), notes[i]) << i;
        EXPECT_EQ(std::string(task->Folder), "Work") << i;
    }
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_EQ(ReadTestFile(path), bytes);
}

// The reader takes the file a block at a time; lines and line breaks
// that straddle its blocks, and lines longer than a block, read as in a
// file read whole.
TEST(uDataManFile, LinesAcrossReadBlocks) {
    TempDir dir;
    const std::string path = dir.File("blocks.kpx");
    const std::string header = "id\r\n" + Markers;
    const char* const breaks[] = {"\r\n", "\r", "\n", "\r\n\r\n"};
    for (size_t boundary : {size_t(1) << 18, size_t(1) << 19}) {
        for (size_t shift = 0; shift < 4; ++shift) {
            // Filler lines up to a break whose first byte sits a few bytes
            // before the boundary (a CR LF split by it when Shift is 1),
            // then lines of every length and break, and one line of three
            // blocks.
            std::string bytes = header;
            std::vector<std::string> titles;
            while (bytes.size() + 1000 < boundary - shift - 1) {
                titles.push_back(std::string(900, 'f'));
                bytes += titles.back() + F + "\r\n";
            }
            titles.push_back(std::string(boundary - shift - 2 - bytes.size(), 'g'));
            bytes += titles.back() + F + "\r\n";
            for (size_t n = 0; n < 600; ++n) {
                titles.push_back(std::string(n % 97 + 1, char('a' + n % 26)));
                const std::string brk = breaks[n % 4];
                bytes += titles.back() + F + brk;
                if (brk == std::string("\r\n\r\n")) titles.push_back("");
            }
            titles.push_back(std::string(3 * boundary, 'L'));
            bytes += titles.back() + F;  // no break at the very end
            WriteTestFile(path, bytes);
            TuData data;
            ASSERT_TRUE(data.LoadFromFile(path));
            ASSERT_EQ(data.Tasks->GetCount(), int(titles.size())) << boundary << " " << shift;
            for (size_t i = 0; i < titles.size(); ++i)
                if (data.Tasks->GetTask(int(i))->Title != titles[i]) {
                    ADD_FAILURE() << "line " << i << " of case " << boundary << " " << shift;
                    break;
                }
        }
    }
}

// The file text is written through a quicker path than a line of one
// task; every task, of whatever shape, must come out as its own line:
// texts short and long, with blanks, marks, separators and every kind of
// line break, dates of every kind (none, before 1902, out of range,
// with a time of day), every priority.
TEST(uDataManFile, FileTextHoldsEachTaskAsItsOwnLine) {
    std::mt19937 rng(4711);
    auto below = [&rng](unsigned n) { return unsigned(rng() % n); };
    const std::string pieces[] = {"a", "Zz", "word ", " ", "  ", "+", "-", ";", "[", "]", ",", ", ", "%",
                                  "\r", "\n", "\r\n", "\xF7", "\xF8", "\t", "\xE9", "t1", "12/31/2024",
                                  std::string(1, '\0'), "Call Bob", "x,y", "; "};
    auto text = [&](unsigned maxPieces, unsigned oddOneIn) {
        std::string s;
        const unsigned n = below(maxPieces + 1);
        for (unsigned i = 0; i < n; ++i)
            s += below(oddOneIn) == 0 ? pieces[below(std::size(pieces))] : std::string(below(20) + 1, char('a' + below(26)));
        return s;
    };
    const double dates[] = {0, -1, 1, 2.5, 731, EncodeDate(1901, 12, 31) + 0.75, EncodeDate(1902, 1, 1),
                            EncodeDate(2024, 2, 29) + 0.999, EncodeDate(9999, 12, 31), EncodeDate(1, 1, 1),
                            -700000, 3e6, 1e300, -1e300, -0.5, EncodeDate(2025, 6, 1) + 0.5};
    TuData data;
    data.DbId = "d_id-0123456789";
    data.Folders->Add("Work\xF7" "3\xF7");
    data.Tags->Add("home");
    for (int n = 0; n < 20000; ++n) {
        auto* t = new TuTask();
        // Most tasks plain, as in a real file; the rest odd in one way or more.
        const unsigned odd = below(4) == 0 ? 3 : 1000;
        t->Title = text(6, odd);
        t->Tags = below(3) == 0 ? text(3, odd) : std::string(below(2) ? "home,work" : "");
        t->Id = below(50) == 0 ? text(2, 2) : std::string("0123456789");
        t->Folder = below(50) == 0 ? text(2, 2) : std::string(below(2) ? "Work" : "");
        std::string notes;
        for (unsigned lines = below(4); lines > 0; --lines) notes += text(3, odd) + (below(4) ? "\r\n" : below(2) ? "\n" : "\r");
        if (below(3) == 0) notes += text(2, odd);
        t->Notes = notes;
        t->Done = below(2);
        t->Priority = static_cast<std::uint16_t>(below(5));
        t->Due = below(2) ? dates[below(std::size(dates))] : EncodeDate(2020, 1, 1) + below(3000);
        t->Created = below(10) ? EncodeDate(2020, 1, 1) + below(3000) + below(1440) / 1440.0 : dates[below(std::size(dates))];
        data.Tasks->AddObject(t->Title, t);
    }
    std::string expected = data.DbId + "\r\nWork\xF7" "3\xF7\r\n" + FoldersMarker + "\r\nhome\r\n" + TagsMarker + "\r\n";
    for (int i = 0; i < data.Tasks->GetCount(); ++i) {
        data.Tasks->GetTask(i)->AppendLine(expected, IndependentDateFormat);
        expected += "\r\n";
    }
    const std::string written = data.GetFileText();
    ASSERT_EQ(written.size(), expected.size());
    if (written != expected) {
        const size_t at = std::mismatch(written.begin(), written.end(), expected.begin()).first - written.begin();
        const size_t line = expected.rfind("\r\n", at);
        FAIL() << "differs at byte " << at << " in the line: " << expected.substr(line + 2, 200);
    }
    // Saving writes those bytes and hands them back.
    TempDir dir;
    const std::string path = dir.File("odd.kpx");
    std::string saved;
    ASSERT_TRUE(data.SaveToFile(path, &saved));
    EXPECT_TRUE(saved == expected);
    EXPECT_TRUE(ReadTestFile(path) == expected);
}

// A file read takes the lines the writer writes through a quicker path
// than a single line; every line, of whatever shape, must come out of a
// file as it does on its own.
TEST(uDataManFile, EveryLineOfAFileReadsAsTheLineAlone) {
    gcl::FixedClock clock(EncodeDate(2025, 3, 5) + 0.25);
    gcl::ServiceOverride<gcl::IClock> co(gcl::Clock, clock);
    std::mt19937 rng(20);
    auto pick = [&](const std::vector<std::string>& from) { return from[rng() % from.size()]; };
    const std::vector<std::string> marks = {"", "", "", "+", "-", "+-"};
    const std::vector<std::string> dues = {"", "", ";3/5/2025;", ";12/31/2024;", ";2/29/2024;", ";2/29/2025;",
                                           ";t;", ";t3;", ";tx;", "; 1/2/2030 ;", ";;", "; ;", ";x;",
                                           ";1/1/1899;", ";1/1/2200;", ";13/1/2025;", ";1/2/03;", ";[a];"};
    const std::vector<std::string> tagLists = {"", "", "[work]", "[work,home]", "[ab]", "[a]", "[]", "[ a , b ]",
                                               "[a,,b]", "[x,]", "[a;b]", "[a;b;c]", "[a[b]", "[" + std::string(40, 't') + "]"};
    const std::vector<std::string> titles = {"Buy milk", "", " ", "Call Bob; then Ann; done", "Title [x] y",
                                             "a]b", "[late]", "semi;", "tab\tend ", std::string(70, 'T'),
                                             "Sm\xF8rrebr\xF8" "d", "100% sure", "t", "+1 for Bob"};
    const std::vector<std::string> dones = {"--", "-d-", "", "x"};
    const std::vector<std::string> ids = {"1234567890", "", "12", "%41"};
    const std::vector<std::string> folders = {"Work", "", "L", std::string(49, 'f'), std::string(55, 'g'),
                                              std::string(70, 'h')};
    const std::vector<std::string> dates = {"1/2/2025", "12/31/2024", "2/29/2024", "2/30/2024", "", "1/2/03", "x",
                                            "1/2/2025/", "01/02/2025", "1//2025"};
    const std::vector<std::string> pieces = {"note", "", "a longer line of the note, past sixteen", "x" + F + "y",
                                             std::string(33, 'n'), "tail without end"};
    std::string bytes = "id\r\n" + Markers;
    std::vector<std::string> lines;
    for (int i = 0; i < 4000; ++i) {
        std::string line = pick(marks) + pick(dues) + pick(tagLists) + pick(titles);
        const unsigned shape = rng() % 10;
        const int fields = shape == 0 ? int(rng() % 6) : 6;  // some lines end early
        const std::string parts[] = {pick(dones), pick(ids), pick(folders), pick(dates)};
        for (int k = 0; k < fields && k < 4; ++k) line += F + parts[k];
        if (fields >= 5) {
            line += F;
            for (int n = int(rng() % 4); n > 0; --n) line += pick(pieces) + N;
            if (rng() % 4 == 0) line += pick(pieces);
        }
        if (fields == 6) line += F;
        if (shape == 1) line += "%" + F;               // escaped form
        if (shape == 2) line += "more" + F;            // a field after the note
        if (shape == 3) line += std::string(rng() % 70, 'z');
        lines.push_back(line);
        bytes += line + "\r\n";
    }
    TempDir dir;
    const std::string path = dir.File("shapes.kpx");
    WriteTestFile(path, bytes);
    TuData data;
    ASSERT_TRUE(data.LoadFromFile(path));
    ASSERT_EQ(data.Tasks->GetCount(), int(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        const TuTask alone(lines[i], true, true);
        const TuTask& read = *data.Tasks->GetTask(int(i));
        if (read.Title != alone.Title || read.Tags != alone.Tags || read.Id != alone.Id || read.Folder != alone.Folder ||
            read.Notes != alone.Notes || read.Priority != alone.Priority || read.Done != alone.Done ||
            read.Due != alone.Due || read.Created != alone.Created) {
            ADD_FAILURE() << "line " << i << ": \"" << lines[i] << "\" reads as title \"" << read.Title << "\" tags \""
                          << read.Tags << "\" id \"" << read.Id << "\" list \"" << read.Folder << "\" note \""
                          << read.Notes << "\" priority " << int(read.Priority) << " done " << read.Done << " due "
                          << read.Due << " created " << read.Created << ", alone as \"" << alone.Title << "\" \""
                          << alone.Tags << "\" \"" << alone.Id << "\" \"" << alone.Folder << "\" \"" << alone.Notes
                          << "\" " << int(alone.Priority) << " " << alone.Done << " " << alone.Due << " " << alone.Created;
            break;
        }
    }
}

TEST(uDataManFile, SavingReplacesInOneStepOrNotAtAll) {
    TempDir dir;
    TuData data;
    BuildKpxSample(data);
    const std::string path = dir.File("db.kpx");
    WriteTestFile(path, std::string(100'000, 'o'));  // longer than the new content
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_EQ(ReadTestFile(path), data.GetFileText());

    data.Modified = true;
    EXPECT_FALSE(data.SaveToFile(dir.File("no-such-folder/db.kpx")));
    EXPECT_TRUE(data.Modified);
    // A folder in the way is not replaced.
    ASSERT_TRUE(gcl::ForceDirectories(dir.File("taken")));
    EXPECT_FALSE(data.SaveToFile(dir.File("taken")));
    EXPECT_TRUE(gcl::DirectoryExists(dir.File("taken")));
    EXPECT_TRUE(data.Modified);
    EXPECT_EQ(ReadTestFile(path), data.GetFileText());
}

// A save of many blocks: the bytes come to the caller in order while the
// file is written, and the file replaces the old one only once complete
// and allowed; refused, the old file stays, nothing is left beside it and
// the changes stay unsaved.
TEST(uDataManFile, SavingHandsOnTheBytesAndAsksBeforeReplacing) {
    TempDir dir;
    TuData data;
    BuildKpxSample(data);
    for (int i = 0; i < 100000; ++i) {
        auto* t = new TuTask();
        t->Title = "Task number " + std::to_string(i);
        t->Notes = i % 3 ? "" : "a note\r\nof two lines";
        data.Tasks->AddObject(t->Title, t);
    }
    const std::string text = data.GetFileText();
    // More blocks than the save keeps in flight, more bytes than it writes between flushes.
    ASSERT_GT(text.size(), size_t(4) << 20);
    const std::string path = dir.File("db.kpx");
    WriteTestFile(path, "the old file");

    data.Modified = true;
    std::string pieces;
    int asked = 0;
    auto collect = [&](std::string_view piece) { pieces += piece; };
    EXPECT_FALSE(data.SaveToFile(path, collect, [&] {
        ++asked;
        // Asked once every byte is written.
        EXPECT_TRUE(pieces == text);
        return false;
    }));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(data.Modified);
    EXPECT_EQ(ReadTestFile(path), "the old file");
    EXPECT_EQ(gcl::RemoveStaleTempFiles(path), 0);

    pieces.clear();
    EXPECT_TRUE(data.SaveToFile(path, collect, [] { return true; }));
    EXPECT_FALSE(data.Modified);
    EXPECT_TRUE(pieces == text);
    EXPECT_TRUE(ReadTestFile(path) == text);
    std::string written;
    EXPECT_TRUE(data.SaveToFile(path, &written));
    EXPECT_TRUE(written == text);
}

// Temporary files of saves that were cut short: loading or saving a
// database removes those of its own file whose process has ended, and
// nothing else.
TEST(uDataManFile, LeftoversOfInterruptedSavesGo) {
    TempDir dir;
    TuData data;
    BuildKpxSample(data);
    const std::string path = dir.File("db.kpx");
    ASSERT_TRUE(data.SaveToFile(path));
    const unsigned long ended = EndedProcessId();
    ASSERT_NE(ended, 0u);
    const std::string me = std::to_string(CurrentProcessId());
    const std::string dead = std::to_string(ended);
    auto plant = [&](const std::string& name) {
        WriteTestFile(dir.File(name), "half a database");
        return name;
    };
    auto entries = [&] { return FileNamesIn(dir.Path()); };
    const std::set<std::string> kept = {
        "db.kpx",
        plant("db.kpx." + me + "-3.tmp"),           // a running process (this one) may still rename it
        plant("other.kpx." + dead + "-0.tmp"),      // another database's
        plant("db.kpx." + dead + "-x.tmp"),         // not the pattern
        plant("db.kpx." + dead + "-0.tmp.bak"),
        plant("db.kpx." + dead + ".tmp"),
        plant("xdb.kpx." + dead + "-0.tmp"),
    };
    plant("db.kpx." + dead + "-0.tmp");
    plant("db.kpx." + dead + "-17.tmp");
    ASSERT_TRUE(data.LoadFromFile(path));
    EXPECT_EQ(entries(), kept);

    // Saving does the same; so does a load that fails because the save
    // never got as far as the database file.
    plant("db.kpx." + dead + "-1.tmp");
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_EQ(entries(), kept);
    plant("gone.kpx." + dead + "-0.tmp");
    EXPECT_FALSE(data.LoadFromFile(dir.File("gone.kpx")));
    EXPECT_EQ(entries(), kept);

    // A running process whose id a file names, but that started after the
    // file was last written, did not write it.
    MakeOld(dir.File("db.kpx." + me + "-3.tmp"));
    ASSERT_TRUE(data.LoadFromFile(path));
    std::set<std::string> left = kept;
    left.erase("db.kpx." + me + "-3.tmp");
    EXPECT_EQ(entries(), left);

    // Beside a database whose path nearly fills MAX_PATH, the leftovers'
    // longer paths are found and removed too.
    std::string deep = dir.Path();
    while (deep.size() < 230) {
        deep += std::string(std::min<size_t>(40, 230 - deep.size()), 'x');
        ASSERT_TRUE(gcl::CreateDir(deep));
        deep += gcl::PathDelim;
    }
    const std::string deepPath = deep + std::string(255 - deep.size() - 4, 'd') + ".kpx";
    ASSERT_TRUE(data.SaveToFile(deepPath));
    const std::string leftover = deepPath + "." + dead + "-0.tmp";
    ASSERT_TRUE(gcl::WriteFileAtomic(leftover, "half", 4));
    auto deepEntries = [&] { return FileNamesIn(deep); };
    const std::string deepName = gcl::ExtractFileName(deepPath);
    EXPECT_EQ(deepEntries(), (std::set<std::string>{deepName, gcl::ExtractFileName(leftover)}));
    ASSERT_TRUE(data.LoadFromFile(deepPath));
    EXPECT_EQ(deepEntries(), std::set<std::string>{deepName});
}

TEST(uDataManDatabase, RenameAndDeleteLists) {
    TuData data;
    data.Folders->Add("Work" + F + "0" + F);
    data.Folders->Add("Workshop" + F + "2" + F);
    AddTask(data, "a", "Work");
    AddTask(data, "b", "Workshop");
    AddTask(data, "c", "Work");

    data.RenameFolder("nothing" + F, "x" + F);
    EXPECT_FALSE(data.Modified);
    data.RenameFolder("WORK" + F + "0" + F, "Job" + F + "0" + F);  // found ignoring case...
    EXPECT_FALSE(data.Modified);                                   // ...but tasks compare exactly
    EXPECT_EQ(data.Folders->Get(0), "Job" + F + "0" + F);
    data.RenameFolder("Job" + F + "0" + F, "Work" + F + "0" + F);
    data.RenameFolder("Work" + F + "0" + F, "Office" + F + "0" + F);
    EXPECT_TRUE(data.Modified);
    EXPECT_EQ(data.Tasks->GetTask(0)->Folder, "Office");
    EXPECT_EQ(data.Tasks->GetTask(1)->Folder, "Workshop");
    EXPECT_EQ(data.Tasks->GetTask(2)->Folder, "Office");
    // A name longer than 50 characters: the tasks keep it cut to 50 and
    // are still found by it.
    data.RenameFolder("Office" + F + "0" + F, std::string(60, 'N') + F + "0" + F);
    EXPECT_EQ(data.Tasks->GetTask(0)->Folder, std::string(50, 'N'));
    data.RenameFolder(std::string(60, 'N') + F + "0" + F, "Office" + F + "0" + F);
    EXPECT_EQ(data.Tasks->GetTask(0)->Folder, "Office");
    EXPECT_EQ(data.Tasks->GetTask(2)->Folder, "Office");

    AddTask(data, "d", "Workshop");
    data.Modified = false;
    data.DeleteFolder("Workshop" + F + "2" + F);
    EXPECT_TRUE(data.Modified);
    ASSERT_EQ(data.Folders->GetCount(), 1);
    EXPECT_EQ(data.Folders->Get(0), "Office" + F + "0" + F);
    ASSERT_EQ(data.Tasks->GetCount(), 2);  // both Workshop tasks, adjacent or not
    EXPECT_EQ(data.Tasks->Get(0), "a");
    EXPECT_EQ(data.Tasks->Get(1), "c");
    data.DeleteFolder("absent" + F);  // nothing to delete
    EXPECT_EQ(data.Folders->GetCount(), 1);
}

// What the task list worked out from the tasks is kept while the
// database's change mark stays: every entry point that changes the
// content gives a new mark, one no database had before, and nothing else
// does.
TEST(uDataManDatabase, EveryChangeOfTheContentGivesANewMark) {
    TempDir dir;
    TuData data;
    TuData other;
    EXPECT_NE(data.ChangeMark(), other.ChangeMark());
    BuildKpxSample(data);
    std::set<std::uint64_t> seen{data.ChangeMark(), other.ChangeMark()};
    // Each step must leave a mark never seen before.
    auto expectNewMark = [&](const char* what) {
        EXPECT_TRUE(seen.insert(data.ChangeMark()).second) << what;
    };
    data.Modified = true;
    expectNewMark("marked modified");
    EXPECT_TRUE(data.Modified);
    data.Modified = true;
    expectNewMark("marked modified again");
    data.Modified = false;
    expectNewMark("marked saved");
    EXPECT_FALSE(data.Modified);

    data.RenameFolder("Work" + F + "0" + F, "Job" + F + "0" + F);
    expectNewMark("list renamed");
    data.Folders->Add("Empty" + F + "1" + F);
    data.Modified = false;
    const std::uint64_t beforeEmptyRename = data.ChangeMark();
    data.RenameFolder("Empty" + F + "1" + F, "Spare" + F + "1" + F);  // no task follows: the table still changed
    EXPECT_NE(data.ChangeMark(), beforeEmptyRename);
    EXPECT_FALSE(data.Modified);
    data.RenameTag("urgent", "soon");
    expectNewMark("tag renamed");
    data.RenameTag("home", "house");  // no task has it
    expectNewMark("tag renamed in the table alone");
    data.DeleteTag("soon");
    expectNewMark("tag deleted");
    data.DeleteFolder("Home" + F + "3" + F);
    expectNewMark("list deleted with its tasks");

    // Names that are not there change nothing.
    const std::uint64_t still = data.ChangeMark();
    data.RenameFolder("absent" + F, "x" + F);
    data.RenameTag("absent", "x");
    EXPECT_EQ(data.ChangeMark(), still);

    const std::string path = dir.File("marks.kpx");
    // A save clears the flag and changes no content: the mark stays, and
    // what was worked out from the tasks still holds.
    data.Modified = true;
    expectNewMark("marked modified before the save");
    const std::uint64_t beforeSave = data.ChangeMark();
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_FALSE(data.Modified);
    EXPECT_EQ(data.ChangeMark(), beforeSave);
    data.Clear();
    expectNewMark("cleared");
    EXPECT_FALSE(data.Modified);  // the flag stays as it was
    ASSERT_TRUE(data.LoadFromFile(path));
    expectNewMark("loaded");
    // A load that fails leaves the database, and so its mark, as it was.
    const std::uint64_t loaded = data.ChangeMark();
    EXPECT_FALSE(data.LoadFromFile(dir.File("missing.kpx")));
    EXPECT_EQ(data.ChangeMark(), loaded);

    // A copy of the flag carries the flag, never the mark.
    TModifiedFlag copy = data.Modified;
    EXPECT_EQ(static_cast<bool>(copy), static_cast<bool>(data.Modified));
    EXPECT_NE(copy.Mark(), data.ChangeMark());
    other.Modified = data.Modified;
    EXPECT_NE(other.ChangeMark(), data.ChangeMark());
}

TEST(uDataManDatabase, DeletingAListWithALongNameDeletesItsTasks) {
    TuData data;
    const std::string longName = "Projects of the second half of the year, and the rest";  // 54
    const std::string line = longName + F + "3" + F;
    data.Folders->Add(line);
    data.Folders->Add("Home" + F + "0" + F);
    AddTask(data, "a", longName.substr(0, MaxFolderLength));
    AddTask(data, "b", "Home");
    AddTask(data, "c", longName.substr(0, MaxFolderLength));
    // Saved and read back, as the tasks of such a list always are.
    TempDir dir;
    ASSERT_TRUE(data.SaveToFile(dir.File("db.kpx")));
    TuData loaded;
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("db.kpx")));
    loaded.DeleteFolder(line);
    EXPECT_TRUE(loaded.Modified);
    ASSERT_EQ(loaded.Folders->GetCount(), 1);
    ASSERT_EQ(loaded.Tasks->GetCount(), 1);
    EXPECT_EQ(loaded.Tasks->GetTask(0)->Title, "b");
}

TEST(uDataManDatabase, RenameAndDeleteTags) {
    TuData data;
    data.Tags->Add("ab");
    data.Tags->Add("abc");
    TuTask* t1 = AddTask(data, "1", "", "ab,abc");
    TuTask* t2 = AddTask(data, "2", "", "cab");
    TuTask* t3 = AddTask(data, "3", "", "x,ab,ab");
    data.RenameTag("ab", "x");
    EXPECT_EQ(data.Tags->Get(0), "x");
    EXPECT_EQ(t1->Tags, "x,abc");
    EXPECT_EQ(t2->Tags, "cab");
    EXPECT_EQ(t3->Tags, "x,x,x");  // a tag named twice changes both times
    EXPECT_TRUE(data.Modified);

    data.Modified = false;
    data.DeleteTag("x");
    EXPECT_EQ(data.Tags->GetCount(), 1);
    EXPECT_EQ(t1->Tags, "abc");
    EXPECT_EQ(t3->Tags, "");
    EXPECT_TRUE(data.Modified);
    data.DeleteTag("absent");
    EXPECT_EQ(data.Tags->GetCount(), 1);

    // A task's tag in other letters is the same tag (the filter and the
    // tags a new task brings in see it so); a longer name is not.
    TuTask* t4 = AddTask(data, "4", "", "ABC,xabc,Abc");
    data.RenameTag("abc", "job");
    EXPECT_EQ(t4->Tags, "job,xabc,job");
    data.DeleteTag("JOB");
    EXPECT_EQ(t4->Tags, "xabc");
    EXPECT_EQ(data.Tags->GetCount(), 0);
}

// An older database can hold names that differ in letter case or blanks
// alone: each is its own list or tag, with its own tasks.
TEST(uDataManDatabase, NamesDifferingInLetterCaseOrBlanksKeepTheirOwnTasks) {
    TuData data;
    for (const std::string name : {"Work", "work"}) {
        data.Folders->Add(name + F + "0" + F);
        AddTask(data, name == "Work" ? "a" : "b", name);
    }
    data.RenameFolder("work" + F + "0" + F, "Job" + F + "0" + F);
    EXPECT_EQ(data.Folders->Get(0), "Work" + F + "0" + F);
    EXPECT_EQ(data.Folders->Get(1), "Job" + F + "0" + F);
    data.DeleteFolder("Job" + F + "0" + F);
    ASSERT_EQ(data.Folders->GetCount(), 1);
    EXPECT_EQ(data.Folders->Get(0), "Work" + F + "0" + F);
    ASSERT_EQ(data.Tasks->GetCount(), 1);
    EXPECT_EQ(data.Tasks->GetTask(0)->Folder, "Work");

    data.Tags->Add("Home");
    data.Tags->Add("home");
    data.Tags->Add(" Car");
    data.Tags->Add("Car");
    TuTask* t1 = AddTask(data, "1", "", "Home,home,HOME");
    TuTask* t2 = AddTask(data, "2", "", "Car, Car, car,CAR");
    data.RenameTag("home", "Garden");
    EXPECT_EQ(data.Tags->Get(0), "Home");
    EXPECT_EQ(data.Tags->Get(1), "Garden");
    // HOME is neither spelling: it goes with the first, Home.
    EXPECT_EQ(t1->Tags, "Home,Garden,HOME");
    data.DeleteTag("Home");
    EXPECT_EQ(t1->Tags, "Garden");
    EXPECT_EQ(data.Tags->IndexOf("Home"), -1);

    // " Car" and "Car": each keeps its spelling; the others go with the
    // one they differ from in letter case alone, else the first.
    data.RenameTag(" Car", "Van");
    EXPECT_EQ(t2->Tags, "Car,Van,Van,CAR");
    data.RenameTag("Car", "Bus");
    EXPECT_EQ(t2->Tags, "Bus,Van,Van,Bus");
    EXPECT_EQ(data.Tags->Get(1), "Van");
    EXPECT_EQ(data.Tags->Get(2), "Bus");
}

TEST(uDataManDatabase, TheTaskListOwnsItsTasks) {
    TuData data;
    AddTask(data, "a", "");
    AddTask(data, "b", "");
    AddTask(data, "c", "");
    TuTask* kept = data.Tasks->Extract(1);
    EXPECT_EQ(kept->Title, "b");
    EXPECT_EQ(data.Tasks->GetCount(), 2);
    delete kept;
    data.Tasks->Delete(0);  // frees "a" (the sanitizer build checks)
    data.Tasks->AddObject("no task", nullptr);
    data.Clear();
    EXPECT_EQ(data.Tasks->GetCount(), 0);
    AddTask(data, "d", "");  // freed by the destructor
}

TEST(uDataManDatabase, ManyTasksTakenOutAtOnceKeepTheRestInOrder) {
    TuData data;
    std::vector<TuTask*> all;
    for (int i = 0; i < 10; ++i) all.push_back(AddTask(data, std::string(1, char('a' + i)), ""));
    data.Tasks->AddObject("no task", nullptr);
    TuTask stranger;
    // Asked in any order, with a stranger, a repeat and a null: the tasks
    // of the list come out in list order, once each, and stay alive.
    std::vector<TuTask*> out = data.Tasks->ExtractAll({all[7], &stranger, all[0], all[7], nullptr, all[9], all[3]});
    EXPECT_EQ(out, (std::vector<TuTask*>{all[0], all[3], all[7], all[9]}));
    std::string left;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) left += data.Tasks->Get(i) + " ";
    EXPECT_EQ(left, "b c e f g i no task ");
    EXPECT_EQ(out[2]->Title, "h");
    for (TuTask* task : out) delete task;
    EXPECT_TRUE(data.Tasks->ExtractAll({&stranger}).empty());
    EXPECT_EQ(data.Tasks->GetCount(), 7);
    // Those of some tasks the list holds, in the order asked.
    EXPECT_EQ(data.Tasks->Held({all[8], &stranger, all[0], nullptr, all[1]}), (std::vector<TuTask*>{all[8], all[1]}));
    EXPECT_EQ(data.Tasks->Held({&stranger}), std::vector<TuTask*>{});
    // A list deleted among others takes its tasks wherever they lie.
    data.Folders->Add("Home" + F + "0" + F);
    for (int i = 0; i < 6; ++i) AddTask(data, "h" + std::to_string(i), i % 2 ? "Home" : "Work");
    data.DeleteFolder("Home" + F + "0" + F);
    left.clear();
    for (int i = 7; i < data.Tasks->GetCount(); ++i) left += data.Tasks->Get(i) + " ";
    EXPECT_EQ(left, "h0 h2 h4 ");
}

} // namespace
} // namespace qelvo::test

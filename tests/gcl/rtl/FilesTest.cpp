#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

#include <gtest/gtest.h>

#include "gcl/rtl/Files.h"
#include "gcl/rtl/Streams.h"
#include "gcl/rtl/SysInfo.h"
#include "support/TestEnvironment.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace gcl;

namespace {

std::set<std::string> Entries(const std::string& folder, int attr = faAnyFile) {
    std::set<std::string> names;
    TSearchRec f;
    if (FindFirst(folder + "*", attr, f) == 0) {
        do names.insert(f.Name);
        while (FindNext(f) == 0);
        FindClose(f);
    }
    names.erase(".");
    names.erase("..");
    return names;
}

void SetReadOnly(const std::string& name, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesA(name.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(name.c_str(), readOnly ? 0444 : 0644);
#endif
}

} // namespace

TEST(FilesTest, PathPartsAndBoundaries) {
    const std::string d(1, PathDelim);
    std::string full = d + "a" + d + "b.c" + d + "name.tar.gz";
    EXPECT_EQ(ExtractFileName(full), "name.tar.gz");
    EXPECT_EQ(ExtractFilePath(full), d + "a" + d + "b.c" + d);
    EXPECT_EQ(ExtractFileDir(full), d + "a" + d + "b.c");
    EXPECT_EQ(ExtractFileExt(full), ".gz");
    EXPECT_EQ(ChangeFileExt(full, ".ini"), d + "a" + d + "b.c" + d + "name.tar.ini");
    EXPECT_EQ(ChangeFileExt(full, ""), d + "a" + d + "b.c" + d + "name.tar");

    // A dot in a folder name is no extension.
    EXPECT_EQ(ExtractFileExt(d + "a.b" + d + "file"), "");
    EXPECT_EQ(ChangeFileExt(d + "a.b" + d + "file", ".x"), d + "a.b" + d + "file.x");
    EXPECT_EQ(ExtractFileExt("file."), ".");
    EXPECT_EQ(ExtractFileExt(".hidden"), ".hidden");
    EXPECT_EQ(ExtractFileName("plain"), "plain");
    EXPECT_EQ(ExtractFilePath("plain"), "");
    EXPECT_EQ(ExtractFileDir("plain"), "");
    EXPECT_EQ(ExtractFileName(""), "");
    EXPECT_EQ(ExtractFileName("dir" + d), "");
    EXPECT_EQ(ExtractFileDir(d + "f"), d);    // the root keeps its delimiter
    EXPECT_EQ(ExtractFileDir("a" + d + d + "f"), "a" + d + d);

    EXPECT_EQ(IncludeTrailingPathDelimiter("dir"), "dir" + d);
    EXPECT_EQ(IncludeTrailingPathDelimiter("dir" + d), "dir" + d);
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), d);
    EXPECT_EQ(ExcludeTrailingPathDelimiter("dir" + d), "dir");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("dir"), "dir");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(""), "");

#ifdef _WIN32
    EXPECT_EQ(PathDelim, '\\');
    EXPECT_EQ(ExtractFileName("C:file.txt"), "file.txt");
    EXPECT_EQ(ExtractFilePath("C:file.txt"), "C:");
    EXPECT_EQ(ExtractFileDir("C:\\file.txt"), "C:\\");
    EXPECT_EQ(ExtractFileDir("C:\\a\\file.txt"), "C:\\a");
    EXPECT_EQ(ExtractFileName("C:\\a/b.txt"), "b.txt");    // Windows also takes "/"
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\a/"), "C:\\a/");
    EXPECT_EQ(ExpandFileName("C:\\a\\b\\..\\c\\.\\d.txt"), "C:\\a\\c\\d.txt");
#else
    EXPECT_EQ(PathDelim, '/');
    EXPECT_EQ(ExtractFileName("a\\b.txt"), "a\\b.txt");    // a backslash is a name character
    EXPECT_EQ(ExpandFileName("/a/b/../c/./d.txt"), "/a/c/d.txt");
    EXPECT_EQ(ExpandFileName("/a//b/"), "/a/b/");
    EXPECT_EQ(ExpandFileName("/.."), "/");
#endif
    EXPECT_EQ(ExpandFileName(""), "");
    std::string relative = ExpandFileName("some-file.txt");
    EXPECT_EQ(ExtractFileName(relative), "some-file.txt");
    EXPECT_TRUE(DirectoryExists(ExtractFilePath(relative)));

    std::string exe = ExeFileName();
    EXPECT_TRUE(FileExists(exe)) << exe;
    EXPECT_EQ(ChangeFileExt(ExtractFileName(exe), ""), "gcl_rtl_tests");
}

TEST(FilesTest, FoldersFilesAndSearches) {
    qelvo::test::TempDir dir;
    const std::string d(1, PathDelim);
    std::string deep = dir.Path() + "x" + d + "y" + d + "z";
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep + d));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_TRUE(ForceDirectories(deep));    // already there
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_FALSE(CreateDir(deep));
    EXPECT_FALSE(FileExists(deep));

    qelvo::test::WriteTestFile(dir.File("a.txt"), "12345");
    qelvo::test::WriteTestFile(dir.File("b.txt"), "");
    qelvo::test::WriteTestFile(dir.File("c.dat"), "x");
    qelvo::test::WriteTestFile(dir.File("noext"), "x");
    EXPECT_TRUE(FileExists(dir.File("a.txt")));
    EXPECT_FALSE(DirectoryExists(dir.File("a.txt")));
    EXPECT_FALSE(FileExists(dir.File("none")));
    ForceDirectories(deep + d + "blocked");
    qelvo::test::WriteTestFile(dir.File("file"), "x");
    EXPECT_FALSE(ForceDirectories(dir.File("file") + d + "sub"));    // a file is in the way

    // Files only unless folders are asked for.
    EXPECT_EQ(Entries(dir.Path(), 0), (std::set<std::string>{"a.txt", "b.txt", "c.dat", "noext", "file"}));
    EXPECT_EQ(Entries(dir.Path(), faDirectory),
              (std::set<std::string>{"a.txt", "b.txt", "c.dat", "noext", "file", "x"}));
    TSearchRec f;
    ASSERT_EQ(FindFirst(dir.Path() + "*.txt", 0, f), 0);
    std::set<std::string> txt;
    do {
        txt.insert(f.Name);
        if (f.Name == "a.txt") {
            EXPECT_EQ(f.Size, 5);
            EXPECT_NE(f.Time, 0);
            EXPECT_EQ(f.Attr & faDirectory, 0);
        }
    } while (FindNext(f) == 0);
    FindClose(f);
    EXPECT_EQ(txt, (std::set<std::string>{"a.txt", "b.txt"}));
    ASSERT_EQ(FindFirst(dir.Path() + "*.*", faDirectory, f), 0);    // "*.*" matches every name
    std::set<std::string> all;
    do all.insert(f.Name);
    while (FindNext(f) == 0);
    FindClose(f);
    EXPECT_TRUE(all.count("noext") && all.count("x"));
    ASSERT_EQ(FindFirst(dir.Path() + "x", faDirectory, f), 0);
    EXPECT_NE(f.Attr & faDirectory, 0);
    FindClose(f);
    EXPECT_NE(FindFirst(dir.Path() + "*.none", faAnyFile, f), 0);
    EXPECT_NE(FindFirst(dir.File("missing") + d + "*", faAnyFile, f), 0);

    EXPECT_TRUE(RenameFile(dir.File("c.dat"), dir.File("d.dat")));
    EXPECT_FALSE(RenameFile(dir.File("d.dat"), dir.File("a.txt")));    // never over another file
    EXPECT_EQ(ReadFileBytes(dir.File("a.txt")), "12345");
    EXPECT_TRUE(DeleteFile(dir.File("d.dat")));
    EXPECT_FALSE(DeleteFile(dir.File("d.dat")));
    EXPECT_FALSE(DeleteFile(deep));
    EXPECT_FALSE(RemoveDir(dir.Path() + "x"));    // not empty
    EXPECT_TRUE(RemoveDir(deep + d + "blocked"));

    EXPECT_EQ(ReadFileBytes(dir.File("b.txt")), "");
    try {
        ReadFileBytes(dir.File("nothing.txt"));
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.GetMessage().rfind("Cannot open file \"" + dir.File("nothing.txt") + "\". ", 0), 0u)
            << e.GetMessage();
    }
}

// One file reached by other names is the same file; a copy of it, a
// missing name or a folder is not.
TEST(FilesTest, SameFileKnowsAFileByAnyOfItsNames) {
    qelvo::test::TempDir dir;
    const std::string d(1, PathDelim);
    qelvo::test::WriteTestFile(dir.File("tasks.kpx"), "one");
    qelvo::test::WriteTestFile(dir.File("copy.kpx"), "one");
    ForceDirectories(dir.File("sub"));
    EXPECT_TRUE(SameFile(dir.File("tasks.kpx"), dir.File("tasks.kpx")));
    EXPECT_TRUE(SameFile(dir.File("tasks.kpx"), dir.File("sub") + d + ".." + d + "tasks.kpx"));
#ifdef _WIN32
    std::string upper = dir.File("TASKS.KPX");
    EXPECT_TRUE(SameFile(dir.File("tasks.kpx"), upper));
    ASSERT_TRUE(CreateHardLinkA(dir.File("linked.kpx").c_str(), dir.File("tasks.kpx").c_str(), nullptr));
#else
    ASSERT_EQ(link(dir.File("tasks.kpx").c_str(), dir.File("linked.kpx").c_str()), 0);
#endif
    EXPECT_TRUE(SameFile(dir.File("linked.kpx"), dir.File("tasks.kpx")));
    EXPECT_FALSE(SameFile(dir.File("tasks.kpx"), dir.File("copy.kpx")));
    EXPECT_FALSE(SameFile(dir.File("tasks.kpx"), dir.File("missing.kpx")));
    EXPECT_FALSE(SameFile(dir.File("missing.kpx"), dir.File("missing.kpx")));
    EXPECT_FALSE(SameFile(dir.File("sub"), dir.File("sub")));
    EXPECT_FALSE(SameFile("", ""));
}

TEST(FilesTest, WriteFileAtomicReplacesOrLeavesAlone) {
    qelvo::test::TempDir dir;
    std::string target = dir.File("tasks.kpx");
    EXPECT_TRUE(WriteFileAtomic(target, "first", 5));
    EXPECT_EQ(ReadFileBytes(target), "first");
    std::string big(1 << 20, 'q');
    EXPECT_TRUE(WriteFileAtomic(target, big.data(), big.size()));
    EXPECT_EQ(ReadFileBytes(target), big);
    EXPECT_TRUE(WriteFileAtomic(target, "", 0));
    EXPECT_EQ(ReadFileBytes(target), "");
    EXPECT_TRUE(WriteFileAtomic(target, "kept", 4));
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});    // no temporary left

    // A read-only target stays as it was.
    SetReadOnly(target, true);
    EXPECT_FALSE(WriteFileAtomic(target, "lost", 4));
    SetReadOnly(target, false);
    EXPECT_EQ(ReadFileBytes(target), "kept");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});

    // The folder is gone.
    std::string gone = dir.File("gone");
    ASSERT_TRUE(CreateDir(gone));
    ASSERT_TRUE(RemoveDir(gone));
    EXPECT_FALSE(WriteFileAtomic(gone + PathDelim + "f.kpx", "x", 1));
    EXPECT_FALSE(DirectoryExists(gone));

    // A folder where the file should be.
    ASSERT_TRUE(CreateDir(dir.File("folder")));
    EXPECT_FALSE(WriteFileAtomic(dir.File("folder"), "x", 1));
    EXPECT_TRUE(DirectoryExists(dir.File("folder")));
    EXPECT_FALSE(WriteFileAtomic("", "x", 1));

#ifdef _WIN32
    // The replacing step fails (the target is held open without delete
    // sharing): the old bytes stay and the temporary file is removed.
    HANDLE h = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteFileAtomic(target, "lost", 4));
    CloseHandle(h);
    EXPECT_EQ(ReadFileBytes(target), "kept");
    EXPECT_EQ(Entries(dir.Path(), 0), std::set<std::string>{"tasks.kpx"});
#endif
}

// A file whose path nearly fills MAX_PATH (the 8-bit functions' limit) is
// written and replaced, though its temporary's path is longer than that,
// and no temporary stays.
TEST(FilesTest, WriteFileAtomicNearTheLongestPath) {
    qelvo::test::TempDir dir;
    std::string folder = dir.Path();
    while (folder.size() < 230) {
        folder += std::string(std::min<size_t>(40, 230 - folder.size()), 'x');
        ASSERT_TRUE(CreateDir(folder)) << folder.size();
        folder += PathDelim;
    }
    const std::string target = folder + std::string(255 - folder.size() - 4, 'd') + ".kpx";
    ASSERT_EQ(target.size(), 255u);
    EXPECT_TRUE(WriteFileAtomic(target, "first", 5));
    EXPECT_EQ(ReadFileBytes(target), "first");
    EXPECT_TRUE(WriteFileAtomic(target, "second", 6));
    EXPECT_EQ(ReadFileBytes(target), "second");
    TAtomicFileWriter dropped(target);
    EXPECT_TRUE(dropped.Write("lost", 4));
    dropped.Abort();
    EXPECT_EQ(ReadFileBytes(target), "second");
    EXPECT_EQ(Entries(folder), std::set<std::string>{ExtractFileName(target)});
    EXPECT_TRUE(DeleteFile(target));
}

// Written in pieces: the file appears whole at the commit and not before;
// a writer aborted or dropped, or one whose commit fails, leaves the old
// file and no temporary behind.
TEST(FilesTest, AtomicFileWriterInPieces) {
    qelvo::test::TempDir dir;
    const std::string target = dir.File("tasks.kpx");
    ASSERT_TRUE(WriteFileAtomic(target, "old", 3));
    std::string whole;
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.IsOpen());
        for (int i = 0; i < 40; ++i) {
            const std::string piece(size_t(i) * 997 + 1, char('a' + i % 26));
            whole += piece;
            ASSERT_TRUE(file.Write(piece.data(), piece.size()));
            if (i % 10 == 9) {
                ASSERT_TRUE(file.Flush());
            }
            EXPECT_EQ(ReadFileBytes(target), "old");
        }
        EXPECT_EQ(Entries(dir.Path()).size(), 2u);  // the target and the temporary
        ASSERT_TRUE(file.Commit());
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(file.Write("x", 1));
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_TRUE(ReadFileBytes(target) == whole);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});

    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.Write("lost", 4));
        file.Abort();
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(file.Commit());
    }
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.Write("lost too", 8));
    }
    EXPECT_TRUE(ReadFileBytes(target) == whole);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});

    SetReadOnly(target, true);
    {
        TAtomicFileWriter file(target);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_FALSE(file.Write("x", 1));
        EXPECT_FALSE(file.Commit());
    }
    SetReadOnly(target, false);
    EXPECT_TRUE(ReadFileBytes(target) == whole);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});
#ifdef _WIN32
    // The replacing step fails: the old bytes stay, the temporary goes.
    HANDLE h = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.Write("lost", 4));
        EXPECT_FALSE(file.Commit());
    }
    CloseHandle(h);
    EXPECT_TRUE(ReadFileBytes(target) == whole);
    EXPECT_EQ(Entries(dir.Path(), 0), std::set<std::string>{"tasks.kpx"});
#endif
}

// The writer's last question comes once the temporary file is whole,
// on the disk and closed, right before the replace: No leaves the old
// file and no temporary. A file's version tells, without reading it,
// another file put in its place or a write to it.
TEST(FilesTest, AtomicFileWriterAsksLastAndFileVersionsTellChanges) {
    qelvo::test::TempDir dir;
    const std::string target = dir.File("tasks.kpx");
    ASSERT_TRUE(WriteFileAtomic(target, "old", 3));
    const TFileVersion old = FileVersionOf(target);
    EXPECT_TRUE(old.Exists);
    EXPECT_EQ(old.Size, 3u);
    {
        TFileStream open(target, fmOpenRead | fmShareDenyNone);
        EXPECT_EQ(FileVersionOfHandle(open.GetHandle()), old);
    }
    int asked = 0;
    const auto temporaryIsWholeAndClosed = [&] {
        ++asked;
        const std::set<std::string> names = Entries(dir.Path());
        EXPECT_EQ(names.size(), 2u);
        for (const std::string& name : names) {
            if (name == "tasks.kpx") continue;
            EXPECT_EQ(ReadFileBytes(dir.File(name)), "new bytes");
#ifdef _WIN32
            // Nobody, the writer included, holds it open any more.
            HANDLE h = CreateFileA(dir.File(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(h, INVALID_HANDLE_VALUE);
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
#endif
        }
        EXPECT_EQ(ReadFileBytes(target), "old");
    };
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.Write("new bytes", 9));
        EXPECT_FALSE(file.Commit([&] {
            temporaryIsWholeAndClosed();
            return false;
        }));
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});
    EXPECT_EQ(FileVersionOf(target), old);
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.Write("new bytes", 9));
        EXPECT_TRUE(file.Commit([&] {
            temporaryIsWholeAndClosed();
            return true;
        }));
    }
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ReadFileBytes(target), "new bytes");
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});

    // Another file in its place (both were there at once, so they are two
    // files), and a write in place of another length: other versions.
    const TFileVersion replaced = FileVersionOf(target);
    EXPECT_TRUE(replaced.Exists);
    EXPECT_NE(replaced.Index, old.Index);
    qelvo::test::WriteTestFile(target, "written in place");
    const TFileVersion written = FileVersionOf(target);
    EXPECT_EQ(written.Index, replaced.Index);
    EXPECT_NE(written, replaced);
    // Neither a missing file nor a folder has one.
    ASSERT_TRUE(CreateDir(dir.File("folder")));
    EXPECT_FALSE(FileVersionOf(dir.File("folder")).Exists);
    EXPECT_FALSE(FileVersionOf(dir.File("missing.kpx")).Exists);
    EXPECT_EQ(FileVersionOf(dir.File("missing.kpx")), TFileVersion{});
}

// One thread writes while another flushes what is written so far: the
// file is whole at the commit, and not there before.
TEST(FilesTest, AtomicFileWriterFlushesBesideTheWriter) {
    qelvo::test::TempDir dir;
    const std::string target = dir.File("tasks.kpx");
    ASSERT_TRUE(WriteFileAtomic(target, "old", 3));
    std::string whole;
    {
        TAtomicFileWriter file(target);
        ASSERT_TRUE(file.IsOpen());
        std::atomic<bool> writing{true};
        std::atomic<int> flushes{0};
        std::thread flusher([&] {
            while (writing) {
                if (file.Flush()) ++flushes;
                std::this_thread::yield();
            }
        });
        for (int i = 0; i < 200; ++i) {
            const std::string piece(size_t(i) * 131 + 7, char('a' + i % 26));
            whole += piece;
            EXPECT_TRUE(file.Write(piece.data(), piece.size()));
            // Half way, the writer lets a flush happen (bounded wait).
            for (int wait = 0; i == 100 && flushes == 0 && wait < 20000; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        writing = false;
        flusher.join();
        EXPECT_GT(flushes, 0);
        EXPECT_EQ(ReadFileBytes(target), "old");
        ASSERT_TRUE(file.Commit());
    }
    EXPECT_TRUE(ReadFileBytes(target) == whole);
    EXPECT_EQ(Entries(dir.Path()), std::set<std::string>{"tasks.kpx"});
}

namespace {

struct TRecordingShell : IShell {
    std::vector<std::string> Calls;
    bool Open(const std::string& target, const std::string& params) override {
        Calls.push_back(target + "|" + params);
        return true;
    }
};

} // namespace

TEST(SysInfoTest, VersionShellAndCriticalSection) {
    EXPECT_EQ(int(Win32Platform), PlatformWin32NT);
#ifdef _WIN32
    EXPECT_GE(int(Win32MajorVersion), 5);
#else
    EXPECT_EQ(Win32MajorVersion, 6);
    EXPECT_EQ(Win32MinorVersion, 1);
    EXPECT_EQ(Win32BuildNumber, 7601);
#endif
    int major = Win32MajorVersion;
    {
        TFixedOSVersion win98{{PlatformWin32Windows, 4, 10, 2222}};
        ServiceOverride<IOSVersion> use(OSVersion, win98);
        EXPECT_EQ(Win32Platform, PlatformWin32Windows);
        EXPECT_TRUE(Win32MajorVersion == 4 && Win32MinorVersion == 10 && Win32BuildNumber == 2222);
        EXPECT_FALSE(Win32MajorVersion >= 6);
    }
    EXPECT_EQ(Win32MajorVersion, major);

    TRecordingShell shell;
    {
        ServiceOverride<IShell> use(gcl::Shell, shell);
        EXPECT_TRUE(gcl::Shell->Open("http://example.com"));
        EXPECT_TRUE(gcl::Shell->Open("notepad.exe", "a.txt"));
    }
    EXPECT_EQ(shell.Calls, (std::vector<std::string>{"http://example.com|", "notepad.exe|a.txt"}));
#ifndef _WIN32
    EXPECT_FALSE(gcl::Shell->Open("/tmp"));
#endif

    TCriticalSection section;
    section.Enter();
    section.Enter();    // the owner may enter again
    section.Leave();
    section.Leave();
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            TCriticalSectionLock lock(section);
            ++counter;
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(counter, 40000);
    section.Acquire();
    std::thread probe([&] { EXPECT_FALSE(section.TryEnter()); });
    probe.join();
    section.Release();
}

TEST(FilesTest, WideNamedPathsAsEightBitText) {
    // A path the code page holds is itself; one it cannot hold, with no
    // file behind it, has no 8-bit form.
    EXPECT_EQ(AnsiFilePath(L"C:\\Data\\Caf\u00e9.kpx"), "C:\\Data\\Caf\xE9.kpx");
    EXPECT_EQ(AnsiFilePath(L"C:\\no such folder\\\u6771\u4eac.kpx"), "");
#ifdef _WIN32
    qelvo::test::TempDir dir;
    std::wstring folder(dir.Path().begin(), dir.Path().end());
    // An existing file named in letters the code page lacks: its short
    // form, which reads the same file.
    const std::wstring tokyo = folder + L"\u6771\u4eac.kpx";
    HANDLE h = CreateFileW(tokyo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, "tokyo", 5, &written, nullptr);
    CloseHandle(h);
    const std::string shortTokyo = AnsiFilePath(tokyo);
    ASSERT_FALSE(shortTokyo.empty());
    EXPECT_EQ(ReadFileBytes(shortTokyo), "tokyo");
    // A file still to be made in such a folder: the folder's short form
    // and the name, where the file is then made.
    const std::wstring osaka = folder + L"\u5927\u962a";
    ASSERT_TRUE(CreateDirectoryW(osaka.c_str(), nullptr));
    const std::string made = AnsiFilePath(osaka + L"\\new.kpx");
    ASSERT_FALSE(made.empty());
    EXPECT_TRUE(WriteFileAtomic(made, "new", 3));
    EXPECT_NE(GetFileAttributesW((osaka + L"\\new.kpx").c_str()), INVALID_FILE_ATTRIBUTES);
    // A new name of such letters: none.
    EXPECT_EQ(AnsiFilePath(folder + L"\u5927.kpx"), "");
    // The program's own path reads back as a file.
    EXPECT_TRUE(FileExists(ExeFileName()));
    DeleteFileW((osaka + L"\\new.kpx").c_str());
    RemoveDirectoryW(osaka.c_str());
    DeleteFileW(tokyo.c_str());
#endif
}

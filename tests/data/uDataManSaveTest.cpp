// Saving split over threads: the file holds the same bytes however the
// task lines are shared out (any number of helper threads, pieces cut at
// every task), the bytes reach the caller in order, and a save that fails
// on the way (the callback, the disk, the target) leaves the old file and
// nothing beside it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "support/TestEnvironment.h"

namespace qelvo::test {
namespace {

using gcl::EncodeDate;

// Count tasks of every shape: plain ones as most files hold, and tasks
// whose texts hold separators, line breaks, marks and odd dates (which
// take the escaped form), with entries without a task among them.
void FillRandom(TuData& data, int count, unsigned seed) {
    std::mt19937 rng(seed);
    auto below = [&rng](unsigned n) { return unsigned(rng() % n); };
    const std::string odd[] = {"+", "-", ";", "[", "]", ",", "\r\n", "\n", "\xF7", "\xF8", " ", "t1", "\xE9"};
    auto text = [&](unsigned words, bool oddOnes) {
        std::string s;
        for (unsigned i = below(words + 1); i > 0; --i)
            s += oddOnes && below(3) == 0 ? odd[below(std::size(odd))] : std::string(below(12) + 1, char('a' + below(26)));
        return s;
    };
    data.DbId = "d_id-0123456789";
    data.Folders->Add("Work\xF7" "3\xF7");
    data.Folders->Add("Home\xF7" "0\xF7");
    data.Tags->Add("home");
    for (int n = 0; n < count; ++n) {
        if (below(60) == 0) {
            data.Tasks->AddObject("no task here", nullptr);
            continue;
        }
        auto* t = new TuTask();
        const bool oddOnes = below(5) == 0;
        t->Title = text(5, oddOnes);
        t->Tags = below(3) == 0 ? text(2, oddOnes) : std::string(below(2) ? "home,work" : "");
        t->Folder = below(2) ? "Work" : "";
        t->Notes = below(3) == 0 ? text(3, oddOnes) + "\r\n" + text(4, oddOnes) : std::string();
        t->Done = below(2);
        t->Priority = static_cast<std::uint8_t>(below(3));
        t->Due = below(2) ? 0 : EncodeDate(2020, 1, 1) + below(3000) + (below(4) == 0 ? 0.5 : 0);
        t->Created = below(20) ? EncodeDate(2019, 1, 1) + below(3000) + below(1440) / 1440.0 : -1e300;
        data.Tasks->AddObject(t->Title, t);
    }
}

// The file text as the one-line writer makes it.
std::string LineByLine(const TuData& data) {
    std::string text = data.DbId + "\r\n";
    for (int i = 0; i < data.Folders->GetCount(); ++i) text += data.Folders->Get(i) + "\r\n";
    text += std::string(FoldersMarker) + "\r\n";
    for (int i = 0; i < data.Tags->GetCount(); ++i) text += data.Tags->Get(i) + "\r\n";
    text += std::string(TagsMarker) + "\r\n";
    for (int i = 0; i < data.Tasks->GetCount(); ++i)
        if (const TuTask* t = data.Tasks->GetTask(i)) {
            t->AppendLine(text, IndependentDateFormat);
            text += "\r\n";
        }
    return text;
}

// Where two texts first differ, for a failure message.
std::string FirstDifference(const std::string& got, const std::string& wanted) {
    size_t at = 0;
    while (at < got.size() && at < wanted.size() && got[at] == wanted[at]) ++at;
    return "sizes " + std::to_string(got.size()) + " / " + std::to_string(wanted.size()) + ", first difference at byte " +
           std::to_string(at);
}

TEST(uDataManSave, EverySplitWritesTheSameBytes) {
    TempDir dir;
    const std::string path = dir.File("db.kpx");
    for (int count : {0, 1, 5, 333}) {
        TuData data;
        FillRandom(data, count, 1000u + unsigned(count));
        const std::string wanted = LineByLine(data);
        ASSERT_TRUE(data.GetFileText() == wanted) << FirstDifference(data.GetFileText(), wanted);
        const int tasks = data.Tasks->GetCount();
        for (int helpers : {0, 1, 2, 5}) {
            // Pieces of one task, of a few, and around the whole list.
            for (int perPiece : {1, 2, 3, 7, 64, tasks - 1, tasks, tasks + 1, 2048}) {
                if (perPiece < 1) continue;
                std::string handed;
                data.Modified = true;
                const bool saved = data.SaveToFile(
                    path, [&handed](std::string_view piece) { handed += piece; }, nullptr, TSaveSplit{helpers, perPiece});
                const std::string context = std::to_string(count) + " tasks, " + std::to_string(helpers) +
                                            " helpers, pieces of " + std::to_string(perPiece);
                ASSERT_TRUE(saved) << context;
                EXPECT_FALSE(data.Modified) << context;
                EXPECT_TRUE(handed == wanted) << context << ": " << FirstDifference(handed, wanted);
                const std::string file = ReadTestFile(path);
                EXPECT_TRUE(file == wanted) << context << ": " << FirstDifference(file, wanted);
            }
        }
    }
}

// Many pieces, more than the save keeps in flight and more bytes than it
// writes between two flushes, with the default split and with helpers
// that all work at once.
TEST(uDataManSave, LargeFilesInManyPieces) {
    TempDir dir;
    const std::string path = dir.File("db.kpx");
    TuData data;
    FillRandom(data, 70000, 7);
    const std::string wanted = LineByLine(data);
    ASSERT_GT(wanted.size(), size_t(4) << 20);
    for (const TSaveSplit& split : {TSaveSplit{}, TSaveSplit{3, 500}, TSaveSplit{1, 69999}}) {
        std::string handed;
        ASSERT_TRUE(data.SaveToFile(path, [&handed](std::string_view piece) { handed += piece; }, nullptr, split));
        EXPECT_TRUE(handed == wanted) << FirstDifference(handed, wanted);
        EXPECT_TRUE(ReadTestFile(path) == wanted);
    }
}

// A save that fails part way, on whichever thread, leaves the old file as
// it was, no temporary file, and the changes unsaved; the next save works.
TEST(uDataManSave, FailuresLeaveTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("db.kpx");
    WriteTestFile(path, "the old file");
    TuData data;
    FillRandom(data, 3000, 3);
    auto leftovers = [&] {
        int n = 0;
        gcl::TSearchRec f;
        if (gcl::FindFirst(dir.Path() + "*.tmp", 0, f) == 0) {
            do ++n;
            while (gcl::FindNext(f) == 0);
            gcl::FindClose(f);
        }
        return n;
    };
    for (int helpers : {0, 2}) {
        for (size_t failAt : {size_t(0), size_t(2), size_t(20)}) {
            data.Modified = true;
            size_t calls = 0;
            bool asked = false;
            // The callback runs on the writer's thread: what it throws
            // ends the save there.
            const bool saved = data.SaveToFile(
                path,
                [&](std::string_view) {
                    if (calls++ == failAt) throw std::runtime_error("no room");
                },
                [&] { return asked = true; }, TSaveSplit{helpers, 50});
            EXPECT_FALSE(saved) << helpers << " " << failAt;
            EXPECT_FALSE(asked);
            EXPECT_TRUE(data.Modified);
            EXPECT_EQ(ReadTestFile(path), "the old file");
            EXPECT_EQ(leftovers(), 0);
        }
    }
    // A target that may not be replaced: nothing is made beside it.
    ASSERT_TRUE(gcl::ForceDirectories(dir.File("taken")));
    EXPECT_FALSE(data.SaveToFile(dir.File("taken"), nullptr, nullptr, TSaveSplit{2, 10}));
    EXPECT_TRUE(gcl::DirectoryExists(dir.File("taken")));
    EXPECT_FALSE(data.SaveToFile(dir.File("no-such-folder/db.kpx"), nullptr, nullptr, TSaveSplit{2, 10}));
    EXPECT_EQ(leftovers(), 0);
    EXPECT_TRUE(data.Modified);

    ASSERT_TRUE(data.SaveToFile(path, nullptr, nullptr, TSaveSplit{2, 10}));
    EXPECT_TRUE(ReadTestFile(path) == LineByLine(data));
}

#ifndef _WIN32
// The disk runs full part way through the file (a limit on the size of
// the files this process writes stands in for it): the save fails, the
// old file stays whole and the half-written temporary file goes.
TEST(uDataManSave, AFullDiskLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.File("db.kpx");
    TuData data;
    FillRandom(data, 40000, 11);
    ASSERT_TRUE(data.SaveToFile(path));
    const std::string old = ReadTestFile(path);
    ASSERT_GT(old.size(), size_t(2) << 20);
    data.Tasks->Delete(0);
    data.Modified = true;

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const TSaveSplit& split : {TSaveSplit{0, 100}, TSaveSplit{3, 100}, TSaveSplit{}}) {
        rlimit limit = before;
        limit.rlim_cur = 1 << 20;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool saved = data.SaveToFile(path, nullptr, nullptr, split);
        setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_FALSE(saved);
        EXPECT_TRUE(data.Modified);
        EXPECT_TRUE(ReadTestFile(path) == old);
        EXPECT_EQ(gcl::RemoveStaleTempFiles(path), 0);
        gcl::TSearchRec f;
        EXPECT_NE(gcl::FindFirst(dir.Path() + "*.tmp", 0, f), 0);
    }
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(data.SaveToFile(path));
    EXPECT_TRUE(ReadTestFile(path) == LineByLine(data));
}
#endif

} // namespace
} // namespace qelvo::test

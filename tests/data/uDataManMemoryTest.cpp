// The memory of loaded tasks: a database freed gives back every block it
// took, whatever happened to its tasks after the load (texts changed to
// longer ones, tasks taken out, moved to another database, freed one by
// one or from another thread), and frees no text a task still reads.
// Heap blocks are counted by replacing the global operator new and delete
// of this test program.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "data/uDataMan.h"
#include "support/TestEnvironment.h"

namespace {
std::atomic<long> LiveHeapBlocks{0};
} // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    LiveHeapBlocks.fetch_add(1, std::memory_order_relaxed);
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    LiveHeapBlocks.fetch_sub(1, std::memory_order_relaxed);
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete[](void* p) noexcept {
    operator delete(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    operator delete(p);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}

namespace qelvo::test {
namespace {

// COUNT tasks of every kind the reader meets: long texts (in a block),
// short ones only (none in a block), escaped lines and unusual short
// forms (the full reader), and now and then a task with more text than a
// shared block takes.
std::string MixedFile(int count) {
    std::string file = "d_id-0000000001\r\nWork\xF7" "0\xF7\r\n<--<*&^Folders^&*>-->\r\nhome\r\n<--<*&^Tags^&*>-->\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string id = std::to_string(1000000000 + i);
        switch (i % 5) {
        case 0:
            file += "+;3/5/2025;[errands,home]Task number " + std::to_string(i) + " with a long title\xF7--\xF7" + id +
                    "\xF7Work\xF7" "2/1/2024\xF7" "a note line\xF8\xF7\r\n";
            break;
        case 1:
            file += "Short " + std::to_string(i % 100) + "\xF7-d-\xF7" + id + "\xF7Work\xF7" "2/1/2024\xF7\xF7\r\n";
            break;
        case 2:
            // Escaped: a separator in the title.
            file += "Title with %F7 inside and more words after it\xF7--\xF7" + id +
                    "\xF7Work\xF7" "2/1/2024\xF7" "note\xF8\xF7%\xF7\r\n";
            break;
        case 3:
            // Tags after the title: the general short-form reader.
            file += "Buy the milk and the bread [home,errands] today\xF7--\xF7" + id + "\xF7Work\xF7" "2/1/2024\xF7\xF7\r\n";
            break;
        default:
            if (i % 1000 == 4)
                file += std::string(200000, 't') + "\xF7--\xF7" + id + "\xF7Work\xF7" "2/1/2024\xF7\xF7\r\n";
            else
                file += "-Another task that reads in one pass " + std::to_string(i) + "\xF7--\xF7" + id +
                        "\xF7Work\xF7" "2/1/2024\xF7\xF7\r\n";
        }
    }
    return file;
}

class TTaskMemory : public ::testing::Test {
protected:
    void SetUp() override {
        WriteTestFile(FDir.File("a.kpx"), MixedFile(3000));
        WriteTestFile(FDir.File("b.kpx"), MixedFile(40));
    }
    std::string File(const char* name) { return FDir.File(name); }

private:
    TempDir FDir;
};

// Runs Work twice and expects the second run to leave as many heap blocks
// as it found (the first fills what lives for the whole process: buffers
// of the thread, the pool's table of blocks).
template <class F>
void ExpectNoHeapBlockLeft(F&& work) {
    work();
    const long before = LiveHeapBlocks.load();
    work();
    EXPECT_EQ(LiveHeapBlocks.load(), before);
}

TEST_F(TTaskMemory, ALoadedDatabaseFreedUntouchedGivesBackEverything) {
    ExpectNoHeapBlockLeft([&] {
        auto data = std::make_unique<TuData>();
        ASSERT_TRUE(data->LoadFromFile(File("a.kpx")));
        ASSERT_EQ(data->Tasks->GetCount(), 3000);
        EXPECT_EQ(data->Tasks->GetTask(4)->Title.size(), 200000u);
        EXPECT_EQ(data->Tasks->GetTask(2)->Title, "Title with \xF7 inside and more words after it");
        EXPECT_EQ(data->Tasks->GetTask(3)->Tags, "home,errands");
        // Loading again frees the tasks loaded before; Clear the new ones.
        ASSERT_TRUE(data->LoadFromFile(File("a.kpx")));
        data->Clear();
        ASSERT_TRUE(data->LoadFromFile(File("b.kpx")));
    });
}

TEST_F(TTaskMemory, TasksChangedTakenOutOrMovedAfterTheLoad) {
    ExpectNoHeapBlockLeft([&] {
        auto data = std::make_unique<TuData>();
        ASSERT_TRUE(data->LoadFromFile(File("a.kpx")));
        TuData other;
        ASSERT_TRUE(other.LoadFromFile(File("b.kpx")));
        TuTaskList& tasks = *data->Tasks;
        const std::string longText(100, 'x');

        // Texts that move to heap blocks of their own, in every way a
        // field can change.
        tasks.GetTask(0)->Title = longText;
        tasks.GetTask(1)->Notes += longText;
        tasks.GetTask(5)->Title.insert(3, longText);
        tasks.GetTask(6)->Folder.resize(40, 'f');
        tasks.GetTask(10)->Tags.replace(0, 1, longText);
        swap(tasks.GetTask(11)->Title, tasks.GetTask(15)->Notes);
        tasks.GetTask(16)->FromString(longText + "\xF7-d-\xF7" "1\xF7L\xF7" "1/2/2020\xF7" + longText + "\xF8\xF7", true, true);
        tasks.GetTask(20)->Title = "short";  // in place
        tasks.GetTask(21)->Title.erase(2, 5);
        tasks.GetTask(25)->Title.clear();
        // A text of a task made in this test, and tasks added to the
        // loaded list.
        auto* made = new TuTask();
        made->Title = longText;
        tasks.AddObject(made->Title, made);
        tasks.InsertObject(7, "", new TuTask());

        // Taken out (as for undo), moved to the other database, freed one
        // by one, placed elsewhere in the list.
        TuTask* kept = tasks.Extract(30);
        TuTask* changedKept = tasks.Extract(0);
        TuTask* moved = tasks.Extract(40);
        other.Tasks->AddObject(moved->Title, moved);
        tasks.Delete(50);
        gcl::Free(tasks.Extract(51));
        tasks.Exchange(60, 2500);
        tasks.Move(70, 2900);

        const std::string keptTitle = kept->Title;
        const std::string movedTitle = moved->Title;
        data.reset();
        // What outlives the database still reads as before.
        EXPECT_EQ(kept->Title, keptTitle);
        EXPECT_EQ(changedKept->Title, longText);
        EXPECT_EQ(moved->Title, movedTitle);
        EXPECT_NE(other.GetFileText().find(movedTitle), std::string::npos);
        gcl::Free(kept);
        gcl::Free(changedKept);
    });
}

TEST_F(TTaskMemory, TasksOfOneLoadChangedAndFreedInTwoThreads) {
    ExpectNoHeapBlockLeft([&] {
        TuData data;
        ASSERT_TRUE(data.LoadFromFile(File("a.kpx")));
        // Every other task to the other thread, which changes some of them
        // to long texts and frees them all together, while this thread
        // does the same with the rest.
        std::vector<TuTask*> halves[2];
        while (data.Tasks->GetCount() > 0) {
            const int i = data.Tasks->GetCount() - 1;
            halves[i % 2].push_back(data.Tasks->Extract(i));
        }
        auto work = [&halves](int half) {
            std::vector<TuTask*>& mine = halves[half];
            for (size_t i = 0; i < mine.size(); i += 3) mine[i]->Notes = std::string(64, static_cast<char>('a' + half));
            TuTask::FreeMany(mine.data(), mine.size());
        };
        std::thread other(work, 1);
        work(0);
        other.join();
    });
}

} // namespace
} // namespace qelvo::test

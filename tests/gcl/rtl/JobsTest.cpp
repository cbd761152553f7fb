// Jobs on kept threads: every job of a group runs beside the others and
// the caller, the threads are kept and taken again by later groups, and a
// job that throws ends alone and is reported by Wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "gcl/rtl/Jobs.h"

namespace gcl {
namespace {

// A meeting point: each arrival waits (bounded) until Count have arrived.
struct TMeeting {
    explicit TMeeting(int count) : Count(count) {}
    bool Arrive() {
        std::unique_lock lock(Mutex);
        ++Arrived;
        Changed.notify_all();
        return Changed.wait_for(lock, std::chrono::seconds(20), [this] { return Arrived >= Count; });
    }
    const int Count;
    int Arrived = 0;
    std::mutex Mutex;
    std::condition_variable Changed;
};

TEST(JobsTest, JobsRunAtOnceOnThreadsKeptForLaterGroups) {
    const std::thread::id caller = std::this_thread::get_id();
    std::set<std::thread::id> firstThreads;
    {
        // Five jobs and the caller all meet: each job has a thread of its own.
        TMeeting meeting(6);
        std::mutex mutex;
        std::atomic<int> met{0};
        TJobGroup group;
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(group.Start([&] {
                {
                    std::lock_guard lock(mutex);
                    firstThreads.insert(std::this_thread::get_id());
                }
                if (meeting.Arrive()) ++met;
            }));
        EXPECT_TRUE(meeting.Arrive());
        EXPECT_TRUE(group.Wait());
        EXPECT_EQ(met, 5);
        EXPECT_EQ(firstThreads.size(), 5u);
        EXPECT_EQ(firstThreads.count(caller), 0u);
    }
    const int kept = TJobGroup::KeptThreads();
    EXPECT_GE(kept, 5);
    // Later groups of as many jobs take threads already kept.
    for (int round = 0; round < 3; ++round) {
        TMeeting meeting(5);
        {
            TJobGroup group;
            for (int i = 0; i < 5; ++i) ASSERT_TRUE(group.Start([&] { meeting.Arrive(); }));
            // The destructor waits for them.
        }
        EXPECT_EQ(meeting.Arrived, 5);
    }
    EXPECT_EQ(TJobGroup::KeptThreads(), kept);
}

// A job may start more jobs in its own group; one that throws ends there,
// the others run on, and Wait reports the failure (a group with no jobs,
// or only good ones, reports none).
TEST(JobsTest, AThrowingJobEndsAloneAndIsReported) {
    TJobGroup none;
    EXPECT_TRUE(none.Wait());

    std::atomic<int> done{0};
    TJobGroup group;
    ASSERT_TRUE(group.Start([&] {
        for (int i = 0; i < 3; ++i) group.Start([&] { ++done; });
        ++done;
    }));
    ASSERT_TRUE(group.Start([] { throw std::runtime_error("job failed"); }));
    ASSERT_TRUE(group.Start([&] { ++done; }));
    EXPECT_FALSE(group.Wait());
    EXPECT_EQ(done, 5);

    TJobGroup good;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(good.Start([&] { ++done; }));
    EXPECT_TRUE(good.Wait());
    EXPECT_EQ(done, 8);
}

} // namespace
} // namespace gcl

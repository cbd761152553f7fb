// The threads kept for jobs and the groups that wait for them.
#include "gcl/rtl/Jobs.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace gcl {

struct TJobGroup::TState {
    std::mutex Mutex;
    std::condition_variable Changed;
    int Running = 0;
    bool Failed = false;

    void Ended(bool failed) noexcept {
        std::lock_guard lock(Mutex);
        Failed = Failed || failed;
        --Running;
        Changed.notify_all();
    }
};

namespace {

// One kept thread: it runs the job handed to it, then waits for the next.
struct TJobThread {
    std::mutex Mutex;
    std::condition_variable Wake;
    TJobGroup::TJob Job;
    std::shared_ptr<TJobGroup::TState> Group;
    bool Stop = false;
    std::thread Thread;
};

// Every kept thread, and the idle ones among them.
class TJobThreads {
public:
    // Made once and never destroyed: the kept threads wait idle until the
    // process ends, which ends them. Stopping and joining them from the
    // exit's destructors hung the program's exit under load under Wine: a
    // thread ending there waited for ever on the heap's lock, with every
    // window already gone.
    static TJobThreads& Instance() {
        static TJobThreads* const threads = new TJobThreads;
        return *threads;
    }

    // Hands Job to an idle thread, or to a new one. False when no thread
    // could be made.
    bool Start(const std::shared_ptr<TJobGroup::TState>& group, TJobGroup::TJob&& job) {
        TJobThread* t = nullptr;
        {
            std::lock_guard lock(FMutex);
            if (!FIdle.empty()) {
                t = FIdle.back();
                FIdle.pop_back();
            }
        }
        if (t) {
            {
                std::lock_guard lock(t->Mutex);
                t->Job = std::move(job);
                t->Group = group;
            }
            t->Wake.notify_one();
            return true;
        }
        std::lock_guard lock(FMutex);
        FAll.push_back(std::make_unique<TJobThread>());
        t = FAll.back().get();
        t->Job = std::move(job);
        t->Group = group;
        try {
            t->Thread = std::thread([this, t] { Run(*t); });
        } catch (const std::system_error&) {
            FAll.pop_back();
            return false;
        }
        return true;
    }

    int Count() {
        std::lock_guard lock(FMutex);
        return static_cast<int>(FAll.size());
    }

private:
    void Run(TJobThread& t) noexcept {
        std::unique_lock lock(t.Mutex);
        for (;;) {
            t.Wake.wait(lock, [&] { return t.Group != nullptr || t.Stop; });
            if (!t.Group) return;
            TJobGroup::TJob job = std::move(t.Job);
            std::shared_ptr<TJobGroup::TState> group = std::move(t.Group);
            t.Group = nullptr;
            lock.unlock();
            bool failed = false;
            try {
                job();
            } catch (...) {
                failed = true;
            }
            try {
                job = nullptr;
            } catch (...) {
                failed = true;
            }
            // Idle before the group hears of the end, so that the group's
            // next job finds this thread.
            {
                std::lock_guard pool(FMutex);
                try {
                    FIdle.push_back(&t);
                } catch (...) {
                    // Not kept idle: it waits for the end of the process.
                }
            }
            group->Ended(failed);
            group.reset();
            lock.lock();
        }
    }

    std::mutex FMutex;
    std::vector<std::unique_ptr<TJobThread>> FAll;
    std::vector<TJobThread*> FIdle;
};

} // namespace

TJobGroup::~TJobGroup() {
    Wait();
}

bool TJobGroup::Start(TJob job) noexcept {
    try {
        if (!FState) FState = std::make_shared<TState>();
        {
            std::lock_guard lock(FState->Mutex);
            ++FState->Running;
        }
        if (TJobThreads::Instance().Start(FState, std::move(job))) return true;
    } catch (...) {
        if (!FState) return false;
    }
    std::lock_guard lock(FState->Mutex);
    --FState->Running;
    return false;
}

bool TJobGroup::Wait() noexcept {
    if (!FState) return true;
    std::unique_lock lock(FState->Mutex);
    FState->Changed.wait(lock, [this] { return FState->Running == 0; });
    return !FState->Failed;
}

int TJobGroup::KeptThreads() noexcept {
    try {
        return TJobThreads::Instance().Count();
    } catch (...) {
        return 0;
    }
}

} // namespace gcl

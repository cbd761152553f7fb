// Jobs run on threads the process keeps for them.
//
// Work that is split over threads again and again (each save of the
// database) would pay for making and ending its threads every time. A
// TJobGroup starts each job on a thread of its own at once, taken from
// the threads kept idle by earlier jobs or made when none is idle; a
// thread whose job is done waits for the next one. So the process makes
// as many threads as its jobs ever needed at one time, once. The kept
// threads end when the process's static objects are destroyed.
//
// A job must not let an exception out; one that does ends there, and the
// group's Wait reports it (it never crosses into another thread).
#pragma once

#include <functional>
#include <memory>

namespace gcl {

class TJobGroup {
public:
    using TJob = std::function<void()>;

    TJobGroup() = default;
    // Waits for the jobs still running.
    ~TJobGroup();
    TJobGroup(const TJobGroup&) = delete;
    TJobGroup& operator=(const TJobGroup&) = delete;

    // Runs Job on a thread of its own, beside the caller and every other
    // job. False when no thread could be had: Job was not run.
    bool Start(TJob job) noexcept;
    // Waits until every job started has ended. False when one of them
    // ended by an exception.
    bool Wait() noexcept;

    // How many threads the process keeps for jobs, running or idle.
    static int KeptThreads() noexcept;

    // What the group's threads report to (shared with them, so that it
    // outlives the last report whenever the group itself goes).
    struct TState;

private:
    std::shared_ptr<TState> FState;
};

} // namespace gcl

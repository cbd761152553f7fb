// The start-up log: QueryPerformanceCounter marks written to the file that
// QELVO_STARTUP_LOG names, and the first-idle mark.
#include "app/StartupLog.h"

#include "gcl/rtl/WinApi.h"

#include <cstdio>

#include "gcl/Forms.h"

namespace qelvo {

namespace {

struct TStartupLog {
    std::FILE* File = nullptr;
    LARGE_INTEGER Frequency{};
    LARGE_INTEGER Last{};
    double Base = 0;  // milliseconds from the process's creation to Last at the first mark
    bool Idle = false;
};

// Opened on first use; stays closed when no log is asked for.
TStartupLog& Log() noexcept {
    static TStartupLog log = [] {
        TStartupLog l;
        char path[MAX_PATH];
        const DWORD n = GetEnvironmentVariableA("QELVO_STARTUP_LOG", path, sizeof path);
        if (n == 0 || n >= sizeof path) return l;
        l.File = std::fopen(path, "a");
        if (!l.File) return l;
        QueryPerformanceFrequency(&l.Frequency);
        QueryPerformanceCounter(&l.Last);
        FILETIME created, exited, kernel, user, now;
        GetSystemTimeAsFileTime(&now);
        if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
            const auto ticks = [](const FILETIME& t) {
                return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                           t.dwLowDateTime);
            };
            l.Base = (ticks(now) - ticks(created)) / 10000.0;
        }
        std::fprintf(l.File, "%9.2f ms  %+8.2f ms  process %lu made, the log opens\n", l.Base, l.Base,
                     GetCurrentProcessId());
        return l;
    }();
    return log;
}

void IdleMark(gcl::TObject*, bool&) {
    TStartupLog& log = Log();
    if (log.Idle) return;
    log.Idle = true;
    StartupMark("first idle: the window is shown and painted");
    std::fclose(log.File);
    log.File = nullptr;
}

} // namespace

void StartupMark(const char* What) noexcept {
    TStartupLog& log = Log();
    if (!log.File) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double step = static_cast<double>(now.QuadPart - log.Last.QuadPart) * 1000.0 /
                        static_cast<double>(log.Frequency.QuadPart);
    log.Base += step;
    log.Last = now;
    std::fprintf(log.File, "%9.2f ms  %+8.2f ms  %s\n", log.Base, step, What);
}

void MarkStartupIdle() {
    if (!Log().File || !gcl::Application) return;
    // Chained before the forms' application events, which call the
    // handler they found.
    gcl::Application->OnIdle = gcl::TIdleEvent(&IdleMark);
}

} // namespace qelvo

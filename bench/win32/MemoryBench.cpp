// The task database in the 32-bit program, run under Wine: the memory a
// loaded database takes against its file size, at rest and at the peak of
// loading, and the time of loading and freeing it against one sized read
// of the file and a view of each line.
//   memory_bench FILE.kpx        (bench/memory-win32.sh runs it)
#include "gcl/rtl/WinApi.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClock.h"
#include "data/uDataMan.h"

namespace {

// One sized read of the whole file and a view of each line.
size_t ReadAndView(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    GetFileSizeEx(h, &size);
    std::string bytes(size_t(size.QuadPart), '\0');
    DWORD read = 0;
    ReadFile(h, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(h);
    std::vector<std::string_view> lines;
    const char* p = bytes.data();
    const char* end = p + read;
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        const char* stop = lf ? lf : end;
        lines.emplace_back(p, size_t(stop - p - (stop > p && stop[-1] == '\r')));
        p = lf ? lf + 1 : end;
    }
    return lines.size();
}

// Wine reports the working set (resident pages) but no private bytes.
struct TMemory {
    double Working = 0;  // working set
    double PeakWorking = 0;
};

TMemory Memory() {
    PROCESS_MEMORY_COUNTERS_EX c{};
    c.cb = sizeof c;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
    return {double(c.WorkingSetSize), double(c.PeakWorkingSetSize)};
}

template <class F>
double MedianTime(int runs, F&& f) {
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        f();
        t.push_back(Now() - t0);
    }
    return Median(t);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: memory_bench FILE.kpx\n");
        return 2;
    }
    const std::string path = argv[1];
    WIN32_FILE_ATTRIBUTE_DATA attr;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attr)) {
        std::fprintf(stderr, "cannot find %s\n", path.c_str());
        return 1;
    }
    const double fileSize = double(attr.nFileSizeLow) + double(attr.nFileSizeHigh) * 4294967296.0;

    // Memory first, in a process that has not loaded anything yet.
    const TMemory before = Memory();
    auto data = std::make_unique<qelvo::TuData>();
    if (!data->LoadFromFile(path)) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        return 1;
    }
    const TMemory loaded = Memory();
    const int tasks = data->Tasks->GetCount();
    data.reset();

    const double floor = MedianTime(5, [&] { ReadAndView(path); });
    double load = 0, free = 0;
    for (int i = 0; i < 5; ++i) {
        auto d = std::make_unique<qelvo::TuData>();
        const double t0 = Now();
        d->LoadFromFile(path);
        const double t1 = Now();
        d.reset();
        load += t1 - t0;
        free += Now() - t1;
    }
    load /= 5;
    free /= 5;

    std::printf("tasks %d, file %.1f MB\n", tasks, fileSize / 1e6);
    std::printf("at rest: working set +%.1f MB = %.2f x file (limit 2.5)\n", (loaded.Working - before.Working) / 1e6,
                (loaded.Working - before.Working) / fileSize);
    std::printf("peak of loading: working set +%.1f MB = %.2f x file; whole process %.1f MB = %.2f x file\n",
                (loaded.PeakWorking - before.Working) / 1e6, (loaded.PeakWorking - before.Working) / fileSize,
                loaded.PeakWorking / 1e6, loaded.PeakWorking / fileSize);
    std::printf("load %.1f ms, floor (sized read + line views) %.1f ms, ratio %.2f; free %.1f ms = %.3f of load\n",
                load * 1e3, floor * 1e3, load / floor, free * 1e3, free / load);
    return 0;
}

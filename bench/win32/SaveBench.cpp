// Saving the task database in the 32-bit program, run under Wine: the
// program's whole save (the check that no other writer changed the file,
// building the text, writing it safely) and each of its steps, against
// one plain write of the same bytes to a new file.
//   save_bench FILE.kpx [RUNS]        (bench/save-win32.sh runs it)
#include "gcl/rtl/WinApi.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "app/logic/MainShell.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"

namespace {

// The floor: the bytes written once to a new file, no flush.
bool WritePlain(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    return CloseHandle(h) && ok;
}

template <class F>
double MedianMs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        f();
        times.push_back((Now() - t0) * 1e3);
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: save_bench FILE.kpx [RUNS]\n");
        return 2;
    }
    const std::string source = argv[1];
    const int runs = argc > 2 ? std::atoi(argv[2]) : 15;
    qelvo::TuData data;
    if (!data.LoadFromFile(source)) {
        std::fprintf(stderr, "cannot load %s\n", source.c_str());
        return 1;
    }
    const std::string target = source + ".saved";
    const std::string plain = source + ".plain";
    const std::string bytes = data.GetFileText();
    if (!data.SaveToFile(target)) return 1;
    qelvo::TFileStamp stamp = qelvo::StampBytes(bytes);

    const double floor = MedianMs(runs, [&] { WritePlain(plain, bytes); });
    const double atomic = MedianMs(runs, [&] { gcl::WriteFileAtomic(plain, bytes.data(), bytes.size()); });
    const double check = MedianMs(runs, [&] {
        if (qelvo::ChangedOnDisk(stamp, target)) std::fprintf(stderr, "check: changed?\n");
    });
    const double build = MedianMs(runs, [&] { volatile size_t n = data.GetFileText().size(); (void)n; });
    const double hash = MedianMs(runs, [&] { stamp = qelvo::StampBytes(bytes); });
    const double save = MedianMs(runs, [&] { data.SaveToFile(target); });
    const double whole = MedianMs(runs, [&] {
        const qelvo::TSaveResult r = qelvo::SaveDatabase(data, target, 0, &stamp);
        if (!r.Saved) std::fprintf(stderr, "whole: failed\n");
        stamp = r.Stamp;
    });
    gcl::DeleteFile(plain);
    gcl::DeleteFile(target);

    std::printf("save of %d tasks (%.1f MB), median of %d runs\n", data.Tasks->GetCount(), bytes.size() / 1e6, runs);
    std::printf("  floor: one plain write of the bytes   %7.2f ms\n", floor);
    auto row = [&](const char* name, double ms) { std::printf("  %-36s %7.2f ms %6.2f x floor\n", name, ms, ms / floor); };
    row("the program's save (checked save)", whole);
    row("  stamp check before the save", check);
    row("  save (build and safe write)", save);
    row("    building the text", build);
    row("    safe write (temp, flush, rename)", atomic);
    row("  stamp of the written bytes", hash);
    return 0;
}

// The task database at 1k to 1M tasks: loading against one sized read of
// the file and a view of each line, freeing against loading, saving
// against writing the same bytes, filtering with all six conditions, and
// the memory of a loaded database against its file size, and the task
// list's layout grouped each way. Each case measures its floor in the
// same run and reports it with the ratio (counters floor_ms, ratio and
// the ratio allowed, limit).
//
// The databases come from a seeded generator (GenerateDatabase below), so
// every run and every machine sees the same data. Two plain commands use
// it from outside:
//   qelvo_bench generate COUNT FILE.kpx
//   qelvo_bench load-filter FILE.kpx [--tag T] [--list L]
//   qelvo_bench read FILE.kpx
// The second loads the file, filters it by tag (as the tag filter of the
// program does) and list, and prints the number of matching tasks; the
// third only reads the file, the floor of the second as a whole process
// (bench/load-filter.sh runs both).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/logic/TaskCommands.h"
#include "app/logic/TaskPresentation.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"
#include "BenchTiming.h"

using qelvo::bench::MedianSeconds;

namespace {

using qelvo::TuData;
using qelvo::TuTask;

// ---- The generator -----------------------------------------------------------------

// A small fixed pseudo-random sequence (xorshift), the same on every
// platform and library, unlike the standard distributions.
class TRandom {
public:
    explicit TRandom(uint32_t seed) : FState(seed ? seed : 1) {}
    uint32_t Next() {
        FState ^= FState << 13;
        FState ^= FState >> 17;
        FState ^= FState << 5;
        return FState;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }

private:
    uint32_t FState;
};

const char* const Words[] = {
    "call", "Bob", "about", "the", "quarterly", "report", "buy", "milk", "and", "bread", "book", "flights",
    "to", "Oslo", "review", "pull", "request", "for", "release", "prepare", "slides", "meeting", "with",
    "Anna", "fix", "leaking", "tap", "in", "kitchen", "renew", "passport", "before", "June", "send",
    "invoice", "client", "water", "plants", "update", "budget", "spreadsheet", "pick", "up", "kids",
    "from", "school", "order", "new", "printer", "ink", "plan", "weekend", "trip", "write", "blog", "post",
    "on", "caching", "clean", "garage", "dentist", "appointment", "at", "10:30", "check", "car", "tyres",
    "(urgent)", "e.g.", "100%", "v2.1", "Q3", "backup", "photos", "cancel", "gym", "membership",
};
constexpr int WordCount = static_cast<int>(sizeof Words / sizeof Words[0]);

const char* const TagNames[50] = {
    "work", "home", "urgent", "shopping", "errands", "phone", "email", "finance", "health", "family",
    "travel", "car", "garden", "kids", "school", "reading", "writing", "code", "review", "meeting",
    "planning", "ideas", "someday", "waiting", "follow-up", "bills", "taxes", "insurance", "house", "repair",
    "sport", "gym", "music", "movies", "friends", "birthday", "gifts", "cooking", "groceries", "pets",
    "vet", "doctor", "dentist", "bank", "project-a", "project-b", "project-c", "release", "support", "admin",
};

const char* const ListNames[20] = {
    "Inbox", "Work", "Home", "Personal", "Shopping", "Errands", "Projects", "Someday", "Finance", "Health",
    "Travel", "Garden", "Car", "Kids", "Reading", "Writing", "Code", "Admin", "Family", "Misc",
};

std::string Sentence(TRandom& rng, int minLength, int maxLength) {
    const size_t target = static_cast<size_t>(rng.Between(minLength, maxLength));
    std::string s;
    while (s.size() < target) {
        if (!s.empty()) s += ' ';
        s += Words[rng.Below(WordCount)];
    }
    s.resize(target);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    if (!s.empty()) s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

// COUNT realistic tasks: titles of 20 to 80 characters (one in two
// hundred with a ";"), a third with a note of 1 to 5 lines, 0 to 3 tags
// from a pool of 50, a list from a pool of 20, half with a due date.
std::unique_ptr<TuData> GenerateDatabase(int count, uint32_t seed = 20250305) {
    TRandom rng(seed);
    auto data = std::make_unique<TuData>();
    data->DbId = "d_id-";
    for (int i = 0; i < 10; ++i) data->DbId += static_cast<char>('0' + rng.Below(10));
    for (int i = 0; i < 20; ++i) data->Folders->Add(std::string(ListNames[i]) + "\xF7" + std::to_string(i % 12) + "\xF7");
    for (const char* tag : TagNames) data->Tags->Add(tag);

    const double base = gcl::EncodeDate(2025, 6, 1);
    data->Tasks->SetCapacity(count);
    for (int n = 0; n < count; ++n) {
        auto* t = new TuTask();
        t->Title = Sentence(rng, 20, 80);
        if (rng.Below(200) == 0) t->Title.insert(t->Title.size() / 2, "; ");
        const int listIndex = rng.Below(20);
        t->Folder = ListNames[listIndex];
        const int tagCount = rng.Below(10) < 3 ? 0 : rng.Between(1, 3);
        for (int k = 0; k < tagCount; ++k) {
            const char* tag = TagNames[rng.Below(50)];
            if (!t->Tags.empty()) t->Tags += ',';
            t->Tags += tag;
        }
        t->Id.clear();
        for (int i = 0; i < 10; ++i) t->Id += static_cast<char>('0' + rng.Below(10));
        if (rng.Below(3) == 0) {
            t->Notes.clear();
            for (int lines = rng.Between(1, 5); lines > 0; --lines) t->Notes += Sentence(rng, 10, 60) + "\r\n";
        }
        t->Done = rng.Below(4) == 0;
        t->Due = rng.Below(2) == 0 ? base + rng.Between(-365, 365) : 0;
        t->Created = base - rng.Between(0, 900) + rng.Below(1440) / 1440.0;
        const int p = rng.Below(10);
        t->Priority = static_cast<uint8_t>(p < 2 ? 0 : (p < 8 ? 1 : 2));
        data->Tasks->AddObject(t->Title, t);
    }
    return data;
}

// ---- Files of the run ------------------------------------------------------------------

class TBenchFiles {
public:
    ~TBenchFiles() {
        std::error_code ec;
        if (!FDir.empty()) std::filesystem::remove_all(FDir, ec);
    }
    std::string Dir() {
        if (FDir.empty()) {
            FDir = (std::filesystem::temp_directory_path() / ("qelvo-bench-" + std::to_string(getpid()))).string();
            std::filesystem::create_directories(FDir);
        }
        return FDir + "/";
    }
    // The generated database of COUNT tasks, written once per run.
    const std::string& Database(int count) {
        auto it = FFiles.find(count);
        if (it != FFiles.end()) return it->second;
        const std::string path = Dir() + "db" + std::to_string(count) + ".kpx";
        if (!GenerateDatabase(count)->SaveToFile(path)) throw std::runtime_error("cannot write " + path);
        return FFiles[count] = path;
    }

private:
    std::string FDir;
    std::map<int, std::string> FFiles;
};

TBenchFiles& Files() {
    static TBenchFiles files;
    return files;
}

// ---- Floors -------------------------------------------------------------------------------

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point a, TClock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// The file read with one call into a buffer of its size.
std::string ReadSized(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    struct stat st {};
    fstat(fd, &st);
    std::string bytes(static_cast<size_t>(st.st_size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(done);
    return bytes;
}

// The floor of loading: one sized read of the whole file and a view of
// each line.
size_t ReadAndView(const std::string& path) {
    const std::string bytes = ReadSized(path);
    std::vector<std::string_view> lines;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = lf ? lf : end;
        lines.emplace_back(p, static_cast<size_t>(stop - p - (stop > p && stop[-1] == '\r')));
        p = lf ? lf + 1 : end;
    }
    return lines.size();
}

// The floor this benchmark had before: the file read by the library's
// reader and split into owned lines. Shown beside the honest floor.
size_t ReadAndSplit(const std::string& path) {
    const std::string bytes = gcl::ReadFileBytes(path);
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < bytes.size()) {
        size_t j = i;
        while (j < bytes.size() && bytes[j] != '\r' && bytes[j] != '\n') ++j;
        lines.emplace_back(bytes, i, j - i);
        if (j < bytes.size()) j += (bytes[j] == '\r' && j + 1 < bytes.size() && bytes[j + 1] == '\n') ? 2 : 1;
        i = j;
    }
    return lines.size();
}

bool WritePlain(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bool(f);
}

void ReportAgainstFloorMs(benchmark::State& state, double seconds, int iterations, double floor, double limit) {
    const double mean = seconds / std::max(iterations, 1);
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = mean / floor;
    state.counters["limit"] = limit;
}

// ---- Benchmarks ---------------------------------------------------------------------------

// Loading, against one sized read of the file and a view of each line
// (floor_ms), with the older floor beside it (old_floor_ms, ratio_old);
// and freeing the loaded database, against its own load (free_ratio,
// limit 0.1) and per task (free_ns_per_task, which stays flat when
// freeing grows linearly).
void BM_Load(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& path = Files().Database(count);
    const int samples = count >= 1000000 ? 3 : 7;
    const double floor = MedianSeconds(samples, [&] { benchmark::DoNotOptimize(ReadAndView(path)); });
    const double oldFloor = MedianSeconds(samples, [&] { benchmark::DoNotOptimize(ReadAndSplit(path)); });
    double load = 0, free = 0;
    int runs = 0;
    for (auto _ : state) {
        auto data = std::make_unique<TuData>();
        const auto t0 = TClock::now();
        if (!data->LoadFromFile(path)) state.SkipWithError("load failed");
        const auto t1 = TClock::now();
        data.reset();
        const auto t2 = TClock::now();
        load += Seconds(t0, t1);
        free += Seconds(t1, t2);
        ++runs;
    }
    runs = std::max(runs, 1);
    state.counters["load_ms"] = load / runs * 1e3;
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = load / runs / floor;
    state.counters["limit"] = 4;
    state.counters["old_floor_ms"] = oldFloor * 1e3;
    state.counters["ratio_old"] = load / runs / oldFloor;
    state.counters["free_ms"] = free / runs * 1e3;
    state.counters["free_ratio"] = free / load;
    state.counters["free_ns_per_task"] = free / runs / count * 1e9;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TuData data;
    data.LoadFromFile(Files().Database(count));
    const std::string bytes = data.GetFileText();
    const std::string target = Files().Dir() + "save" + std::to_string(count) + ".kpx";
    // The floor writes the same bytes the same way: a temporary file
    // flushed to the disk, then renamed over the target. Plain writing
    // without the flush is shown beside it.
    const double floor =
        MedianSeconds(7, [&] { benchmark::DoNotOptimize(gcl::WriteFileAtomic(target, bytes.data(), bytes.size())); });
    const double plain = MedianSeconds(7, [&] { benchmark::DoNotOptimize(WritePlain(target, bytes)); });
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        if (!data.SaveToFile(target)) state.SkipWithError("save failed");
        total += Seconds(t0, TClock::now());
        ++runs;
    }
    ReportAgainstFloorMs(state, total, runs, floor, 4);
    state.counters["plain_floor_ms"] = plain * 1e3;
    state.counters["ratio_plain"] = total / std::max(runs, 1) / plain;
}
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Building the file text alone, the part of saving that is ours.
void BM_BuildFileText(benchmark::State& state) {
    TuData data;
    data.LoadFromFile(Files().Database(static_cast<int>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(data.GetFileText());
}
BENCHMARK(BM_BuildFileText)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor of a pass over the tasks: visiting every task of the list
// once, reading one field.
double VisitFloor(const TuData& data) {
    return MedianSeconds(7, [&] {
        int sum = 0;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) sum += data.Tasks->GetTask(i)->Priority;
        benchmark::DoNotOptimize(sum);
    });
}

// All six conditions on. Typical: one list picked, as in the program;
// most tasks stop at the list condition. Worst: values that most tasks
// pass, so nearly every task goes through all six.
void FilterCase(benchmark::State& state, bool worst) {
    TuData data;
    data.LoadFromFile(Files().Database(100000));
    gcl::TFormatSettings fs = gcl::DefaultFormatSettings();
    fs.ShortDateFormat = "dd/MM/yyyy";
    gcl::FormatSettingsOverride fo(fs);
    qelvo::TFilterSystem filter;
    filter.Data = &data;
    auto set = [&](int k, uint16_t op, const std::string& v1, const std::string& v2 = "") {
        qelvo::TFieldFilter& c = filter.Conditions[k];
        c.Enabled = true;
        c.Op = op;
        c.Value1 = v1;
        c.Value2 = v2;
    };
    set(qelvo::fkTitle, qelvo::foContains, worst ? "e" : "report");
    set(qelvo::fkFolder, qelvo::foEqual, worst ? "" : "Work");
    set(qelvo::fkTags, qelvo::foContains, worst ? "" : "work");
    set(qelvo::fkDue, qelvo::foBetween, worst ? "01/01/2020" : "01/01/2025", worst ? "31/12/2030" : "31/12/2025");
    set(qelvo::fkPriority, worst ? qelvo::foGreaterEqual : qelvo::foEqual, worst ? "0" : "1");
    set(qelvo::fkDone, qelvo::foEqual, "");
    const double floor = VisitFloor(data);
    int matches = 0;
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        matches = 0;
        for (int i = 0; i < data.Tasks->GetCount(); ++i) matches += filter.Match(i, nullptr);
        total += Seconds(t0, TClock::now());
        ++runs;
    }
    state.counters["matches"] = matches;
    state.counters["mean_ms"] = total / std::max(runs, 1) * 1e3;
    state.counters["limit_ms"] = 10;
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = total / std::max(runs, 1) / floor;
}

void BM_Filter100k_Typical(benchmark::State& state) {
    FilterCase(state, false);
}
BENCHMARK(BM_Filter100k_Typical)->Unit(benchmark::kMillisecond);

void BM_Filter100k_AllSixEvaluated(benchmark::State& state) {
    FilterCase(state, true);
}
BENCHMARK(BM_Filter100k_AllSixEvaluated)->Unit(benchmark::kMillisecond);

// Heap in use by a loaded database of 100k tasks, against the file size:
// the heap's blocks in use and those it maps on their own (large blocks).
size_t HeapInUse() {
    const auto info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_Memory100k(benchmark::State& state) {
    const std::string& path = Files().Database(100000);
    const double fileSize = static_cast<double>(std::filesystem::file_size(path));
    double used = 0;
    for (auto _ : state) {
        malloc_trim(0);
        const size_t before = HeapInUse();
        auto data = std::make_unique<TuData>();
        data->LoadFromFile(path);
        used = static_cast<double>(HeapInUse() - before);
        state.PauseTiming();
        data.reset();
        state.ResumeTiming();
    }
    state.counters["heap_MB"] = used / 1e6;
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["ratio"] = used / fileSize;
    state.counters["limit"] = 3;
}
BENCHMARK(BM_Memory100k)->Iterations(3)->Unit(benchmark::kMillisecond);

// The task list's layout at 100k tasks (no filter, all shown), grouped by
// tags (thousands of groups of a few tasks: one per combination of tags),
// by list (20 groups), by date and by priority, unsorted or sorted by
// title as after a click on its header. Each layout after the first meets
// the keys and the sorted order kept from the one before, as a refresh
// that changes only the grouping does; with FreshKeys each layout starts
// from new group keys and tasks that forgot their texts' numbers, as the
// first grouping after the start does. Floor: visiting every task once,
// reading one field.
void LayoutCase(benchmark::State& state, int mode, int sortColumn, bool freshKeys = false) {
    TuData data;
    data.LoadFromFile(Files().Database(100000));
    qelvo::TFilterSystem filter;
    qelvo::BuildFilter(filter, qelvo::TFilterBarState{});
    filter.Data = &data;
    auto keysHeld = std::make_unique<qelvo::TGroupKeys>();
    qelvo::TTaskOrderCache orders;
    qelvo::TFilterAnswer answer;
    qelvo::TTaskListState list;
    list.GroupMode = mode;
    list.SortColumn = sortColumn;
    list.SortAscending = true;
    list.GroupCaptions = false;
    auto layout = [&] { return qelvo::BuildTaskListLayout(data, filter, list, *keysHeld, &orders, nullptr, &answer); };
    const size_t groups = layout().Groups.size();
    const double floor = VisitFloor(data);
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        if (freshKeys) {
            state.PauseTiming();
            keysHeld = std::make_unique<qelvo::TGroupKeys>();
            for (int i = 0; i < data.Tasks->GetCount(); ++i) data.Tasks->GetTask(i)->Tags.SetMemo(0);
            state.ResumeTiming();
        }
        const auto t0 = TClock::now();
        {
            // (Freed inside the timing, as the list frees the last one.)
            const qelvo::TTaskListLayout made = layout();
            benchmark::DoNotOptimize(made.Groups.data());
        }
        total += Seconds(t0, TClock::now());
        ++runs;
    }
    state.counters["groups"] = static_cast<double>(groups);
    state.counters["mean_ms"] = total / std::max(runs, 1) * 1e3;
    state.counters["floor_ms"] = floor * 1e3;
    state.counters["ratio"] = total / std::max(runs, 1) / floor;
}

void BM_Layout100k_Tags(benchmark::State& state) { LayoutCase(state, qelvo::gmTags, 0); }
BENCHMARK(BM_Layout100k_Tags)->Unit(benchmark::kMillisecond);
void BM_Layout100k_TagsFirst(benchmark::State& state) { LayoutCase(state, qelvo::gmTags, 0, true); }
BENCHMARK(BM_Layout100k_TagsFirst)->Unit(benchmark::kMillisecond);
void BM_Layout100k_TagsByTitle(benchmark::State& state) { LayoutCase(state, qelvo::gmTags, 1); }
BENCHMARK(BM_Layout100k_TagsByTitle)->Unit(benchmark::kMillisecond);
void BM_Layout100k_ListsByTitle(benchmark::State& state) { LayoutCase(state, qelvo::gmList, 1); }
BENCHMARK(BM_Layout100k_ListsByTitle)->Unit(benchmark::kMillisecond);
void BM_Layout100k_DatesByTitle(benchmark::State& state) { LayoutCase(state, qelvo::gmDate, 1); }
BENCHMARK(BM_Layout100k_DatesByTitle)->Unit(benchmark::kMillisecond);
void BM_Layout100k_PrioritiesByTitle(benchmark::State& state) { LayoutCase(state, qelvo::gmPriority, 1); }
BENCHMARK(BM_Layout100k_PrioritiesByTitle)->Unit(benchmark::kMillisecond);

// Commands on 10,000 chosen tasks of the 100k database (every tenth, as
// scattered over the memory as a choice across the whole list), each
// against a plain loop setting its field on the same tasks to the same
// value (floor_ms): the priority keys and menu, Space, the date panel and
// the tags panel. Each is one change of the database however many tasks
// it changes.
template <class Command, class Set>
void ChosenCase(benchmark::State& state, Command command, Set set, double limit) {
    TuData data;
    data.LoadFromFile(Files().Database(100000));
    std::vector<TuTask*> chosen;
    for (int i = 0; i < data.Tasks->GetCount(); i += 10) chosen.push_back(data.Tasks->GetTask(i));
    const double floor = MedianSeconds(15, [&] {
        for (TuTask* task : chosen) set(*task);
        benchmark::ClobberMemory();
    });
    // The median of the runs, as the floor's: a run the machine took away
    // for a while weighs on neither side.
    std::vector<double> times;
    for (auto _ : state) {
        const auto t0 = TClock::now();
        command(chosen, data);
        benchmark::ClobberMemory();
        times.push_back(Seconds(t0, TClock::now()));
    }
    std::sort(times.begin(), times.end());
    state.counters["tasks"] = static_cast<double>(chosen.size());
    ReportAgainstFloorMs(state, times.empty() ? 0 : times[times.size() / 2], 1, floor, limit);
}

void BM_Chosen10k_Priority(benchmark::State& state) {
    ChosenCase(
        state, [](const std::vector<TuTask*>& tasks, TuData& data) { qelvo::SetTasksPriority(tasks, 2, data); },
        [](TuTask& task) { task.Priority = 2; }, 2);
}
BENCHMARK(BM_Chosen10k_Priority)->Unit(benchmark::kMicrosecond);
void BM_Chosen10k_Tick(benchmark::State& state) {
    ChosenCase(
        state, [](const std::vector<TuTask*>& tasks, TuData& data) { qelvo::TickTasks(tasks, data); },
        [](TuTask& task) { task.Done = !task.Done; }, 3);
}
BENCHMARK(BM_Chosen10k_Tick)->Unit(benchmark::kMicrosecond);
void BM_Chosen10k_DueDate(benchmark::State& state) {
    const double day = gcl::EncodeDate(2025, 3, 7);
    ChosenCase(
        state, [day](const std::vector<TuTask*>& tasks, TuData& data) { qelvo::ApplyDueEdit(tasks, true, day, data); },
        [day](TuTask& task) { task.Due = day; }, 3);
}
BENCHMARK(BM_Chosen10k_DueDate)->Unit(benchmark::kMicrosecond);
void BM_Chosen10k_Tags(benchmark::State& state) {
    const std::string tags = "work,home";
    ChosenCase(
        state,
        [&tags](const std::vector<TuTask*>& tasks, TuData& data) { qelvo::ApplyTagsEdit(tasks, tags, data); },
        [&tags](TuTask& task) { task.Tags = tags; }, 3);
}
BENCHMARK(BM_Chosen10k_Tags)->Unit(benchmark::kMicrosecond);

// ---- Commands -------------------------------------------------------------------------------

int Usage() {
    std::fprintf(stderr,
                 "usage: qelvo_bench load-filter FILE.kpx [--tag T] [--list L]\n"
                 "       qelvo_bench read FILE.kpx\n"
                 "       qelvo_bench generate COUNT FILE.kpx\n"
                 "       qelvo_bench [benchmark options]\n");
    return 2;
}

// The floor of load-filter as a whole process: the same program reading
// the file with one sized read; prints its size.
int Read(int argc, char** argv) {
    if (argc != 3) return Usage();
    try {
        std::printf("%zu\n", ReadSized(argv[2]).size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}

int LoadFilter(int argc, char** argv) {
    if (argc < 3) return Usage();
    std::string tag, list;
    bool useTag = false, useList = false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tag") == 0 && i + 1 < argc) {
            tag = argv[++i];
            useTag = true;
        } else if (std::strcmp(argv[i], "--list") == 0 && i + 1 < argc) {
            list = argv[++i];
            useList = true;
        } else {
            return Usage();
        }
    }
    TuData data;
    if (!data.LoadFromFile(argv[2])) {
        std::fprintf(stderr, "cannot load %s\n", argv[2]);
        return 1;
    }
    qelvo::TFilterSystem filter;
    filter.Data = &data;
    qelvo::TFieldFilter& tags = filter.Conditions[qelvo::fkTags];
    tags.Enabled = useTag;
    tags.Op = qelvo::foContains;
    tags.Value1 = tag;
    qelvo::TFieldFilter& folder = filter.Conditions[qelvo::fkFolder];
    folder.Enabled = useList;
    folder.Op = qelvo::foEqual;
    folder.Value1 = list;
    int matches = 0;
    for (int i = 0; i < data.Tasks->GetCount(); ++i) matches += filter.Match(i, nullptr);
    std::printf("%d\n", matches);
    return 0;
}

int Generate(int argc, char** argv) {
    if (argc != 4) return Usage();
    const int count = std::atoi(argv[2]);
    if (count < 0) return Usage();
    if (!GenerateDatabase(count)->SaveToFile(argv[3])) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

// The peak resident size of this process since it started this program
// (VmHWM: the memory of whatever ran in the process before the exec, such
// as the forked caller, is not counted); 0 when unknown.
long long PeakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
    return 0;
}

// With QELVO_REPORT_PEAK set, a command ends by writing "peak BYTES" on
// the error stream (bench/load-filter.py reads it).
int WithPeak(int code) {
    if (std::getenv("QELVO_REPORT_PEAK")) std::fprintf(stderr, "peak %lld\n", PeakResidentBytes());
    return code;
}

} // namespace

// The plain commands of the benchmark executable; -1 when the arguments
// are not one of them (they are then benchmark options).
int RunBenchCommand(int argc, char** argv) {
    if (argc < 2) return -1;
    if (std::strcmp(argv[1], "load-filter") == 0) return WithPeak(LoadFilter(argc, argv));
    if (std::strcmp(argv[1], "generate") == 0) return Generate(argc, argv);
    if (std::strcmp(argv[1], "read") == 0) return WithPeak(Read(argc, argv));
    return -1;
}

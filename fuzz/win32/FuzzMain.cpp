// A small stand-in for libFuzzer's driver for the targets whose code only
// builds for Windows (the Unicode layer, the list view): the mingw
// toolchain has neither libFuzzer nor the sanitizers. It runs a target's
// LLVMFuzzerTestOneInput on every seed file of the folders it is given,
// then on inputs mutated from them (bit flips, byte changes, inserts,
// erases, repeats, splices), reproducibly from -seed. A crash or an
// escaping exception saves the input as crash-<target>.bin in the current
// folder and ends the run with exit code 1.
//
//     fuzz_uni_strings.exe [-runs=N] [-seed=S] [-max_len=L] [-max_total_time=T] folder...
#include "gcl/rtl/WinApi.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> GCurrent;
std::string GCrashFile = "crash.bin";

void SaveCurrent(const char* why) {
    std::fprintf(stderr, "fuzz driver: %s; input (%u bytes) saved as %s\n", why, unsigned(GCurrent.size()),
                 GCrashFile.c_str());
    if (FILE* f = std::fopen(GCrashFile.c_str(), "wb")) {
        if (!GCurrent.empty()) std::fwrite(GCurrent.data(), 1, GCurrent.size(), f);
        std::fclose(f);
    }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    char why[64];
    std::snprintf(why, sizeof why, "system exception 0x%08lX",
                  info && info->ExceptionRecord ? static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode) : 0ul);
    SaveCurrent(why);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 1);
    return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() {
    SaveCurrent("uncaught C++ exception");
    std::fflush(stderr);
    std::_Exit(1);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void AddSeeds(const std::string& folder, std::vector<std::vector<uint8_t>>& seeds) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        seeds.push_back(ReadFile(folder + "\\" + data.cFileName));
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

class TMutator {
public:
    explicit TMutator(uint32_t seed) : FRandom(seed) {}

    std::vector<uint8_t> Mutate(std::vector<uint8_t> input, const std::vector<std::vector<uint8_t>>& seeds,
                                size_t maxLen) {
        const int steps = 1 + static_cast<int>(Below(4));
        for (int i = 0; i < steps; ++i) Step(input, seeds);
        if (input.size() > maxLen) input.resize(maxLen);
        return input;
    }

    size_t Below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(FRandom) : 0; }

private:
    void Step(std::vector<uint8_t>& b, const std::vector<std::vector<uint8_t>>& seeds) {
        static const uint8_t interesting[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF, 0x0D, 0x0A, 0x10, 0x20};
        switch (Below(b.empty() ? 2 : 8)) {
        case 0:  // insert a byte
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(Below(b.size() + 1)), static_cast<uint8_t>(Below(256)));
            break;
        case 1: {  // splice in a piece of a seed
            const std::vector<uint8_t>& other = seeds[Below(seeds.size())];
            if (other.empty()) break;
            const size_t from = Below(other.size()), length = 1 + Below(std::min<size_t>(64, other.size() - from));
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(Below(b.size() + 1)), other.begin() + static_cast<std::ptrdiff_t>(from),
                     other.begin() + static_cast<std::ptrdiff_t>(from + length));
            break;
        }
        case 2:  // flip a bit
            b[Below(b.size())] ^= static_cast<uint8_t>(1u << Below(8));
            break;
        case 3:  // any byte
            b[Below(b.size())] = static_cast<uint8_t>(Below(256));
            break;
        case 4:  // a boundary byte
            b[Below(b.size())] = interesting[Below(sizeof interesting)];
            break;
        case 5: {  // erase a run
            const size_t at = Below(b.size()), length = 1 + Below(std::min<size_t>(16, b.size() - at));
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + length));
            break;
        }
        case 6: {  // repeat a run
            const size_t at = Below(b.size()), length = 1 + Below(std::min<size_t>(16, b.size() - at));
            std::vector<uint8_t> run(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at + length));
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            break;
        }
        default: {  // a 32-bit boundary value (sizes and counts)
            static const uint32_t values[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x10000, 255, 256};
            if (b.size() < 4) break;
            const uint32_t v = values[Below(std::size(values))];
            std::memcpy(&b[Below(b.size() - 3)], &v, 4);
            break;
        }
        }
    }

    std::mt19937 FRandom;
};

bool Option(const char* arg, const char* name, long long& value) {
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0) return false;
    value = std::atoll(arg + n);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    long long runs = 10000, seed = 1, maxLen = 4096, maxTime = 0;
    std::vector<std::vector<uint8_t>> seeds;
    for (int i = 1; i < argc; ++i) {
        if (Option(argv[i], "-runs=", runs) || Option(argv[i], "-seed=", seed) || Option(argv[i], "-max_len=", maxLen) ||
            Option(argv[i], "-max_total_time=", maxTime))
            continue;
        if (argv[i][0] == '-') continue;  // other libFuzzer options do not apply
        AddSeeds(argv[i], seeds);
    }
    std::string name = argv[0];
    name = name.substr(name.find_last_of("\\/") + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
    GCrashFile = "crash-" + name + ".bin";
    SetUnhandledExceptionFilter(&OnCrash);
    std::set_terminate(&OnTerminate);

    if (seeds.empty()) seeds.emplace_back();
    const auto start = std::chrono::steady_clock::now();
    long long execs = 0;
    for (const auto& s : seeds) {
        GCurrent = s;
        LLVMFuzzerTestOneInput(GCurrent.data(), GCurrent.size());
        ++execs;
    }
    TMutator mutator(static_cast<uint32_t>(seed));
    std::vector<uint8_t> last = seeds[0];
    for (long long i = 0; i < runs || maxTime > 0; ++i) {
        if (maxTime > 0 && (i & 255) == 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::seconds(maxTime))
            break;
        // Mostly from a seed, sometimes on from the last input.
        const std::vector<uint8_t>& base = mutator.Below(4) == 0 ? last : seeds[mutator.Below(seeds.size())];
        GCurrent = mutator.Mutate(base, seeds, static_cast<size_t>(maxLen));
        LLVMFuzzerTestOneInput(GCurrent.data(), GCurrent.size());
        last = GCurrent;
        ++execs;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fuzz driver: %s: %lld inputs from %u seeds in %.1f s (%.0f/s), nothing found\n", name.c_str(), execs,
                unsigned(seeds.size()), seconds, seconds > 0 ? execs / seconds : 0.0);
    return 0;
}

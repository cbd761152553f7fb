// Another writer against the program's own load and save, natively: the
// same calls the main window makes (LoadDatabaseFile, then SaveDatabase
// with the stamp of what was loaded), while another thread renames its
// version of the database over the file at a random moment: 5-25 ms
// after the save's temporary file appears, or during the load. Counts how
// often the save asked (a conflict), and how often the other version was
// lost without a question. bench/other-writer-native.sh builds it against
// a native build's libraries (OLD_STAMP for a build from before the load
// was stamped from the bytes it read) and runs it.
//   other_writer_race OURS.kpx THEIRS.kpx FOLDER save|load TRIES SEED
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <random>
#include <string>
#include <thread>

#include "app/logic/MainShell.h"
#include "data/uDataMan.h"
#include "gcl/rtl/Files.h"

namespace {

using TClock = std::chrono::steady_clock;
constexpr const char* Marker = "Their extra task";

bool TempFileThere(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool found = false;
    while (dirent* e = readdir(dir))
        if (std::string(e->d_name).ends_with(".tmp")) found = true;
    closedir(dir);
    return found;
}

void Copy(const std::string& from, const std::string& to) {
    const std::string bytes = gcl::ReadFileBytes(from);
    gcl::WriteFileAtomic(to, bytes.data(), bytes.size());
}

qelvo::TFileStamp Loaded(qelvo::TuData& data, const std::string& db) {
    const qelvo::TLoadResult load = qelvo::LoadDatabaseFile(data, db);
#ifdef OLD_STAMP
    return qelvo::StampFile(db);
#else
    return load.Stamp;
#endif
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "usage: other_writer_race OURS.kpx THEIRS.kpx FOLDER save|load TRIES SEED\n");
        return 2;
    }
    const std::string ours = argv[1], theirs = argv[2], folder = argv[3], mode = argv[4];
    const int tries = std::atoi(argv[5]);
    std::mt19937 random(unsigned(std::atoi(argv[6])));
    const std::string db = folder + "/ActualData.kpx", pending = folder + "/theirs-pending.kpx";
    const bool load = mode == "load";
    double loadMs = 0;
    if (load) {
        // The load of a file read before (as each try's is): its own time
        // and its stamp's.
        Copy(ours, db);
        for (int warm = 0; warm < 2; ++warm) {
            qelvo::TuData data;
            const auto t0 = TClock::now();
            Loaded(data, db);
            loadMs = std::chrono::duration<double, std::milli>(TClock::now() - t0).count();
        }
        std::printf("the load takes %.1f ms; renames 0 to %.1f ms after it begins\n", loadMs, loadMs);
    }
    int asked = 0, lost = 0, kept = 0, failed = 0;
    for (int t = 0; t < tries; ++t) {
        Copy(ours, db);
        Copy(theirs, pending);
        const double delay = load ? std::uniform_real_distribution<double>(0, loadMs)(random)
                                  : std::uniform_real_distribution<double>(5, 25)(random);
        qelvo::TuData data;
        qelvo::TFileStamp stamp;
        const auto rename = [&] { std::rename(pending.c_str(), db.c_str()); };
        if (load) {
            std::thread writer([&] {
                std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(delay));
                rename();
            });
            stamp = Loaded(data, db);
            writer.join();
        } else {
            stamp = Loaded(data, db);
        }
        data.Modified = true;
        std::thread writer;
        if (!load)
            writer = std::thread([&] {
                const auto bound = TClock::now() + std::chrono::seconds(30);
                while (!TempFileThere(folder) && TClock::now() < bound) {
                }
                std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(delay));
                rename();
            });
        const qelvo::TSaveResult r = qelvo::SaveDatabase(data, db, 0, &stamp);
        if (writer.joinable()) writer.join();
        const bool theirsThere = gcl::ReadFileBytes(db).find(Marker) != std::string::npos;
        const char* outcome = r.Conflict ? "asked"
                              : !r.Saved ? "failed"
                              : theirsThere ? "no question, their version kept (renamed before the read or after the replace)"
                                            : "no question, their version LOST";
        asked += r.Conflict;
        failed += !r.Conflict && !r.Saved;
        kept += r.Saved && theirsThere;
        lost += r.Saved && !theirsThere;
        std::printf("try %d: renamed %.1f ms after %s: %s\n", t + 1, delay,
                    load ? "the load began" : "the temporary file appeared", outcome);
    }
    std::printf("%s: %d tries, %d asked, %d lost, %d kept without a question, %d failed\n", mode.c_str(), tries,
                asked, lost, kept, failed);
    return 0;
}

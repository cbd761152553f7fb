#include "support/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Files.h"

#include <gtest/gtest.h>

namespace qelvo::test {

void SetUpProcess() {
    // Every test sees the fixed English format settings, whatever the
    // machine's (or the Wine prefix's) locale says.
    gcl::FormatSettings() = gcl::DefaultFormatSettings();
}

std::string TestDataDir() {
    const char* dir = std::getenv("QELVO_TEST_DATA");
    std::string s = dir ? dir : "tests/fixtures";
#ifdef _WIN32
    // ctest hands Wine a Unix path; Wine maps the root to drive Z:.
    if (!s.empty() && s[0] == '/') s = "Z:" + s;
    for (auto& c : s) if (c == '/') c = '\\';
    return s + "\\";
#else
    return s + "/";
#endif
}

TempDir::TempDir() {
    namespace fs = std::filesystem;
    std::random_device rd;
    fs::path p = fs::temp_directory_path() / ("qelvo-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    fs::create_directories(p);
    FPath = p.string();
#ifdef _WIN32
    FPath += "\\";
#else
    FPath += "/";
#endif
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string ReadTestFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteTestFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
    f.flush();
    if (!f) ADD_FAILURE() << "cannot write " << path;
}

std::set<std::string> FileNamesIn(const std::string& folder) {
    std::set<std::string> names;
    gcl::TSearchRec f;
    if (gcl::FindFirst(folder + "*", 0, f) == 0) {
        do names.insert(f.Name);
        while (gcl::FindNext(f) == 0);
        gcl::FindClose(f);
    }
    return names;
}

} // namespace qelvo::test

// Shared main of every test executable: fixed process settings, then gtest.
//
// With QELVO_TEST_TIMES naming a file, the file is emptied as the program
// starts and each test's time is appended to it as it ends (milliseconds,
// a tab, Suite.Name, a tab, OK or FAILED), so a run split over several
// processes gives one report (scripts/test-times).
//
// With QELVO_SUITE_FILTER holding a gtest filter, only the tests that pass
// both it and the run's own filter (--gtest_filter or GTEST_FILTER) run: a
// ctest entry keeps to its part of a program ("-WindowManagerScenario.*")
// while a developer's GTEST_FILTER still picks tests within it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <string>
#include <utility>

#include "support/TestEnvironment.h"

namespace {

class TTimesListener : public testing::EmptyTestEventListener {
public:
    explicit TTimesListener(std::string path) : FPath(std::move(path)) {
#ifdef _WIN32
        // ctest hands Wine a Unix path; Wine maps the root to drive Z:.
        if (!FPath.empty() && FPath[0] == '/') FPath = "Z:" + FPath;
#endif
    }
    // A run's report starts empty, in a folder made when missing.
    void OnTestProgramStart(const testing::UnitTest&) override {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(FPath).parent_path(), ignored);
        if (std::FILE* f = std::fopen(FPath.c_str(), "wb")) std::fclose(f);
    }
    void OnTestEnd(const testing::TestInfo& test) override {
        const testing::TestResult* r = test.result();
        if (!r || r->Skipped()) return;
        // Opened for each line: a test that ends the process keeps the
        // lines before it.
        if (std::FILE* f = std::fopen(FPath.c_str(), "ab")) {
            std::fprintf(f, "%lld\t%s.%s\t%s\n", static_cast<long long>(r->elapsed_time()), test.test_suite_name(),
                         test.name(), r->Passed() ? "OK" : "FAILED");
            std::fclose(f);
        }
    }

private:
    std::string FPath;
};

// Whether Name matches Pattern: '*' any run of characters, '?' any one.
bool WildcardMatch(const char* pattern, const char* name) {
    for (;; ++pattern, ++name) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            if (!*pattern) return true;
            for (; *name; ++name)
                if (WildcardMatch(pattern, name)) return true;
            return false;
        }
        if (!*pattern) return !*name;
        if (!*name || (*pattern != '?' && *pattern != *name)) return false;
    }
}

bool AnyPatternMatches(const std::string& patterns, const std::string& name) {
    for (size_t at = 0; at <= patterns.size();) {
        size_t end = patterns.find(':', at);
        if (end == std::string::npos) end = patterns.size();
        if (WildcardMatch(patterns.substr(at, end - at).c_str(), name.c_str())) return true;
        at = end + 1;
    }
    return false;
}

// gtest's filter: patterns separated by ':', the ones after the first '-'
// excluded; no positive pattern means every test.
bool FilterMatches(const std::string& filter, const std::string& name) {
    const size_t dash = filter.find('-');
    return (dash == 0 || AnyPatternMatches(filter.substr(0, dash), name)) &&
           (dash == std::string::npos || !AnyPatternMatches(filter.substr(dash + 1), name));
}

// The run's filter narrowed to the tests that also pass Restriction, named
// one by one ("-*" when none does).
void NarrowFilter(const std::string& restriction) {
    const std::string own = GTEST_FLAG_GET(filter);
    std::string names;
    const testing::UnitTest* unit = testing::UnitTest::GetInstance();
    for (int i = 0; i < unit->total_test_suite_count(); ++i) {
        const testing::TestSuite* suite = unit->GetTestSuite(i);
        for (int j = 0; j < suite->total_test_count(); ++j) {
            const testing::TestInfo* test = suite->GetTestInfo(j);
            const std::string name = std::string(test->test_suite_name()) + "." + test->name();
            if (FilterMatches(own, name) && FilterMatches(restriction, name)) names += (names.empty() ? "" : ":") + name;
        }
    }
    GTEST_FLAG_SET(filter, names.empty() ? "-*" : names);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qelvo::test::SetUpProcess();
    if (const char* restriction = std::getenv("QELVO_SUITE_FILTER"); restriction && *restriction)
        NarrowFilter(restriction);
    if (const char* times = std::getenv("QELVO_TEST_TIMES"); times && *times)
        testing::UnitTest::GetInstance()->listeners().Append(new TTimesListener(times));
    return RUN_ALL_TESTS();
}

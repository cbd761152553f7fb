// Process-wide settings every test runs under, the same natively and
// under Wine: fixed format settings and a fixed clock where a test asks.
#pragma once

#include <set>
#include <string>

namespace qelvo::test {

void SetUpProcess();

// Folder of checked-in test files (tests/fixtures), from QELVO_TEST_DATA.
std::string TestDataDir();

// A fresh empty folder for one test's files; removed by the caller's
// TempDir destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // Path with a trailing separator.
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + name; }

private:
    std::string FPath;
};

// A whole file's bytes ("" when it cannot be read), and a file made of
// Bytes (a file that cannot be written fails the test).
std::string ReadTestFile(const std::string& path);
void WriteTestFile(const std::string& path, const std::string& bytes);
// The names of the files (not folders) in Folder (with its trailing
// separator).
std::set<std::string> FileNamesIn(const std::string& folder);

} // namespace qelvo::test

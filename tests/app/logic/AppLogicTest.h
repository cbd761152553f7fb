// Helpers of the window-free application tests: the program's date
// format, a program folder of the test's own, fixture and golden files.
#pragma once

#include <memory>
#include <string>

#include "app/logic/LayoutSettings.h"
#include "data/uDataMan.h"
#include "gcl/rtl/DateTime.h"
#include "support/TestEnvironment.h"

namespace qelvo::test {

// The day the tests of dates take for today: 5 March 2025, a Wednesday.
inline const double Today = gcl::EncodeDate(2025, 3, 5);

// The process date formats the main window sets at start-up.
gcl::TFormatSettings ProgramFormatSettings();

// A temporary folder that is the program's folder for the test's length:
// AppDir is its path, with the format settings of the program.
class TProgramFolder {
public:
    TProgramFolder();
    const std::string& Dir() const { return FTemp.Path(); }
    std::string File(const std::string& name) const { return FTemp.File(name); }

private:
    TempDir FTemp;
    TFixedAppLocation FLocation;
    gcl::ServiceOverride<IAppLocation> FUse;
    gcl::FormatSettingsOverride FFormats;
};

// A task appended to Data.Tasks (owned by Data).
TuTask* AddTask(TuData& data, const std::string& title, const std::string& folder = "",
                const std::string& tags = "", double due = 0, int priority = 1, bool done = false);

// The path of a file of tests/fixtures/app.
std::string AppFixture(const std::string& name);
std::string ReadFile(const std::string& path);
// Compares Actual with the golden file Name; with QELVO_UPDATE_GOLDEN set
// the golden file is written instead.
void ExpectGolden(const std::string& name, const std::string& actual);

} // namespace qelvo::test

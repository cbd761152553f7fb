// Helpers of the window-free application tests.
#include "AppLogicTest.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "gcl/rtl/Files.h"

namespace qelvo::test {

gcl::TFormatSettings ProgramFormatSettings() {
    gcl::TFormatSettings fs = gcl::DefaultFormatSettings();
    fs.ShortDateFormat = "dd/MM/yyyy";
    fs.LongDateFormat = "dd/MM/yyyy";
    fs.DateSeparator = '/';
    return fs;
}

TProgramFolder::TProgramFolder()
    : FLocation(FTemp.File("qelvo.exe")), FUse(AppLocation, FLocation), FFormats(ProgramFormatSettings()) {}

TuTask* AddTask(TuData& data, const std::string& title, const std::string& folder, const std::string& tags,
                double due, int priority, bool done) {
    TuTask* t = new TuTask();
    t->Title = title;
    t->Folder = folder;
    t->Tags = tags;
    t->Due = due;
    t->Priority = static_cast<std::uint16_t>(priority);
    t->Done = done;
    data.Tasks->AddObject(title, t);
    return t;
}

std::string AppFixture(const std::string& name) {
    return TestDataDir() + "app" + gcl::PathDelim + name;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    const std::string path = AppFixture(name);
    if (std::getenv("QELVO_UPDATE_GOLDEN")) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(gcl::FileExists(path)) << path;
    EXPECT_EQ(ReadFile(path), actual) << "golden file " << name;
}

} // namespace qelvo::test

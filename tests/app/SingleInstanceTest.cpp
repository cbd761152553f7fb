// One copy of the program per program folder.
#include <gtest/gtest.h>

#include "app/SingleInstance.h"

namespace qelvo {
namespace {

TEST(SingleInstance, TheFolderBelongsToTheFirstCopyUntilItEnds) {
    const std::string folder = "C:\\Programs\\Qelvo test " + std::to_string(GetCurrentProcessId()) + "\\";
    {
        TSingleInstance first(folder);
        EXPECT_FALSE(first.AnotherRuns());
        EXPECT_FALSE(first.BringOtherForward(100));
        // The same folder, written otherwise, is held.
        TSingleInstance second("c:\\programs\\QELVO TEST " + std::to_string(GetCurrentProcessId()) + "\\");
        EXPECT_TRUE(second.AnotherRuns());
        // The holder has no main window to bring forward (and none comes
        // while it is waited for).
        EXPECT_FALSE(second.BringOtherForward(100));
        // Another folder is free.
        TSingleInstance accented(folder + "Pr\xFC" "fung\\");
        EXPECT_FALSE(accented.AnotherRuns());
        // ... and held by its first copy, whatever the case of its letters
        // beyond A-Z.
        TSingleInstance capitals(folder + "PR\xDC" "FUNG\\");
        EXPECT_TRUE(capitals.AnotherRuns());
        TSingleInstance elsewhere(folder + "Other\\");
        EXPECT_FALSE(elsewhere.AnotherRuns());
    }
    TSingleInstance after(folder);
    EXPECT_FALSE(after.AnotherRuns());
    EXPECT_NE(ShowRunningCopyMessage(), 0u);
}

} // namespace
} // namespace qelvo

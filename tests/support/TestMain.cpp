// Shared main of every test executable: fixed process settings, then gtest.
#include <gtest/gtest.h>

#include "support/TestEnvironment.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qelvo::test::SetUpProcess();
    return RUN_ALL_TESTS();
}

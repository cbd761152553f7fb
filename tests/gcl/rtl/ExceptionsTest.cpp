#include <gtest/gtest.h>

#include "gcl/rtl/Exceptions.h"

using namespace gcl;

TEST(Exceptions, HierarchyAndMessages) {
    try {
        throw EReadError(msg::InvalidPropertyValue);
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.GetMessage(), "Invalid property value");
        EXPECT_STREQ(e.ClassName(), "EReadError");
    }
    EXPECT_THROW(Abort(), EAbort);
}

TEST(Exceptions, AssertSurvivesRelease) {
    EXPECT_NO_THROW(Assert(true, "x", "unit"));
    try {
        Assert(false, "broken", "uUnit");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.GetMessage(), "broken");
        EXPECT_EQ(e.UnitName, "uUnit");
    }
}

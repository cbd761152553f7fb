#include <gtest/gtest.h>

#include <cerrno>

#include "gcl/rtl/Exceptions.h"
#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

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

namespace {

void SetLastOSError(unsigned long code) {
#ifdef _WIN32
    SetLastError(code);
#else
    errno = static_cast<int>(code);
#endif
}

#ifdef _WIN32
constexpr unsigned long kAccessDenied = ERROR_ACCESS_DENIED;
#else
constexpr unsigned long kAccessDenied = EACCES;
#endif

} // namespace

TEST(Exceptions, OperatingSystemErrors) {
    const std::string text = SysErrorMessage(kAccessDenied);
    ASSERT_FALSE(text.empty());
    EXPECT_GT(static_cast<unsigned char>(text.front()), ' ');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');

    // Win32Check passes a non-zero value through and leaves the error alone.
    SetLastOSError(kAccessDenied);
    EXPECT_EQ(Win32Check(7), 7);
    EXPECT_EQ(Win32Check(-1), -1);
    try {
        Win32Check(0);
        ADD_FAILURE() << "no error";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, kAccessDenied);
        EXPECT_EQ(e.GetMessage(), text);
        EXPECT_STREQ(e.ClassName(), "EOSError");
    }
    // The last error is read before anything else can change it.
    SetLastOSError(kAccessDenied);
    try {
        RaiseLastOSError();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, kAccessDenied);
        EXPECT_EQ(e.GetMessage(), text);
    }
    // A code without a text, and code 0, name the code.
    try {
        RaiseLastOSError(0);
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, 0u);
        EXPECT_EQ(e.GetMessage(), "System Error.  Code: 0.");
    }
#ifdef _WIN32
    EXPECT_EQ(SysErrorMessage(99999), "");
    EXPECT_THROW(
        {
            try {
                RaiseLastOSError(99999);
            } catch (const EOSError& e) {
                EXPECT_EQ(e.GetMessage(), "System Error.  Code: 99999.");
                throw;
            }
        },
        EOSError);
#endif
}

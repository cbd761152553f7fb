// Rounding, integer helpers and the random generator.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <limits>
#include <set>

#include "gcl/rtl/DateTime.h"
#include "gcl/rtl/Maths.h"

#ifdef _WIN32
#include "gcl/rtl/WinApi.h"
#endif

using namespace gcl;

TEST(Maths, RoundingAndTruncation) {
    // Halves go to the even neighbour, everything else to the nearest.
    EXPECT_EQ(Round(0.5), 0);
    EXPECT_EQ(Round(1.5), 2);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
    EXPECT_EQ(Round(-1.5), -2);
    EXPECT_EQ(Round(-2.5), -2);
    EXPECT_EQ(Round(2.4999999999999996), 2);
    EXPECT_EQ(Round(2.5000000000000004), 3);
    EXPECT_EQ(Round(-2.6), -3);
    EXPECT_EQ(Round(1e300), INT_MAX);
    EXPECT_EQ(Round(-1e300), INT_MIN);
    EXPECT_EQ(Round(2147483646.5), 2147483646);
    EXPECT_EQ(Round(std::numeric_limits<double>::quiet_NaN()), 0);

    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_EQ(Trunc(-0.1), 0);
    EXPECT_EQ(Trunc(1e10), 10000000000LL);
    EXPECT_EQ(Trunc(1e30), INT64_MAX);
    EXPECT_EQ(Trunc(-1e30), INT64_MIN);
    EXPECT_EQ(Trunc(std::numeric_limits<double>::infinity()), INT64_MAX);
    EXPECT_EQ(Floor(-2.1), -3);
    EXPECT_EQ(Floor(2.9), 2);
    EXPECT_EQ(Ceil(-2.9), -2);
    EXPECT_EQ(Ceil(2.1), 3);
    EXPECT_EQ(Ceil(3.0), 3);
    EXPECT_EQ(Floor(-1e20), INT_MIN);

    EXPECT_EQ(Mod(7, 3), 1);
    EXPECT_EQ(Mod(-7, 3), 2);
    EXPECT_EQ(Mod(-3, 3), 0);
    EXPECT_EQ(Mod(7, -3), 1);
    EXPECT_EQ(Mod(INT_MIN, -1), 0);
    EXPECT_EQ(Mod(INT_MIN, 7), 5);
    EXPECT_EQ(Mod(5, 0), 0);
    EXPECT_EQ(Min(3, -4), -4);
    EXPECT_EQ(Max(3, -4), 3);
    EXPECT_EQ(Max(2.5, 2.25), 2.5);
    static_assert(Min(1, 2) == 1 && Max(1, 2) == 2);
}

TEST(Maths, MulDivMatchesWindows) {
    struct Case { int a, b, c, expected; };
    const Case cases[] = {
        {1, 1, 2, 1},   {-1, 1, 2, -1},   {3, 1, 2, 2},     {-3, 1, 2, -2},   {1, -1, 2, -1},  {1, 1, -2, -1},
        {-1, -1, -2, -1}, {7, 1, 3, 2},   {8, 1, 3, 3},     {-8, 1, 3, -3},   {5, 1, -3, -2},  {2, 1, 4, 1},
        {96, 120, 72, 160}, {5, 3, 0, -1}, {100000, 100000, 1, -1}, {INT_MAX, 2, 2, INT_MAX},
        {INT_MIN, 1, 1, -1}, {INT_MIN, -1, 1, -1}, {-INT_MAX, 1, 1, -INT_MAX}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& t : cases) EXPECT_EQ(gcl::MulDiv(t.a, t.b, t.c), t.expected) << t.a << "*" << t.b << "/" << t.c;
#ifdef _WIN32
    for (int a = -25; a <= 25; ++a)
        for (int b = -7; b <= 7; ++b)
            for (int c = -9; c <= 9; ++c) ASSERT_EQ(gcl::MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " " << b << " " << c;
#endif
}

TEST(Maths, RandomNumbers) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        int r = Random(10);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 10);
        seen.insert(r);
        double f = RandomFloat();
        ASSERT_GE(f, 0.0);
        ASSERT_LT(f, 1.0);
    }
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-5), 0);
    EXPECT_EQ(Random(1), 0);

    // Seeding happens once, from the clock service; it leaves the range alone.
    FixedClock clock(45721.5);
    ServiceOverride<IClock> o(Clock, clock);
    Randomize();
    Randomize();
    int big = Random(INT_MAX);
    EXPECT_GE(big, 0);
    EXPECT_LT(big, INT_MAX);
}

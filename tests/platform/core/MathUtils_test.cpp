#include "platform/core/Exceptions.h"
#include "platform/core/MathUtils.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Round, HalvesGoToTheEvenNeighbour)
{
    const struct { double v; int64_t r; } cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999999, 2}, {2.5000001, 3}, {-2.6, -3}, {1e15 + 0.5, 1000000000000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.v), c.r) << c.v;
}

TEST(Trunc, TowardZeroAndFailures)
{
    EXPECT_EQ(Trunc(2.9), 2);
    EXPECT_EQ(Trunc(-2.9), -2);
    EXPECT_DOUBLE_EQ(Frac(-2.25), -0.25);
    EXPECT_THROW(Trunc(NAN), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Round(-1e19), EInvalidOp);
}

TEST(MulDiv, NearestWithHalvesAwayFromZero)
{
    const struct { int a, b, c, r; } cases[] = {
        {5, 3, 2, 8},    {-5, 3, 2, -8},  {5, -3, 2, -8},   {-5, -3, 2, 8},  {5, 3, -2, -8},
        {7, 1, 3, 2},    {8, 1, 3, 3},    {-7, 1, 3, -2},   {1, 1, 0, -1},
        // The product needs 64 bits but the quotient fits.
        {2000000000, 3, 4, 1500000000},
        // The quotient does not fit 32 bits.
        {2000000000, 3, 1, -1},
        {INT32_MIN, 1, 1, INT32_MIN},
        {100, 96, 96, 100},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.r) << c.a << "*" << c.b << "/" << c.c;
}

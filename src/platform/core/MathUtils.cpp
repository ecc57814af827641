#include "platform/core/MathUtils.h"

#include "platform/core/Exceptions.h"

#include <cmath>

namespace {
// 2^63 as a double: the first value that no longer fits a signed 64-bit number.
constexpr double kInt64Limit = 9223372036854775808.0;

int64_t checkedInt64(double v)
{
    if (std::isnan(v) || v >= kInt64Limit || v < -kInt64Limit)
        throw EInvalidOp(QStringLiteral("Invalid floating point operation"));
    return int64_t(v);
}
} // namespace

int64_t Round(double value)
{
    // Decided by hand rather than by the floating-point rounding mode, which
    // other code could have changed.
    double r = std::floor(value);
    const double diff = value - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    return checkedInt64(r);
}

int64_t Trunc(double value)
{
    return checkedInt64(std::trunc(value));
}

double Frac(double value)
{
    return value - std::trunc(value);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const int64_t p = int64_t(a) * int64_t(b);
    int64_t q = p / c;
    const int64_t r = p % c;
    // Twice the remainder against the divisor decides the half, in magnitudes.
    const uint64_t r2 = uint64_t(r < 0 ? -r : r) * 2;
    const uint64_t cm = uint64_t(c < 0 ? -int64_t(c) : int64_t(c));
    if (r2 >= cm)
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return int(q);
}

#pragma once
// MulDiv as the logs' arithmetic expects it: a * b / c in 64 bits, rounded to the nearest
// integer with halves away from zero; -1 when c is 0 or the result does not fit 32 bits.

#include <cstdint>

namespace cindral {

constexpr int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const int64_t num = product < 0 ? -product : product;
    const int64_t den = c < 0 ? -int64_t(c) : int64_t(c);
    const int64_t magnitude = (num + den / 2) / den;
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int32_t>(result);
}

}  // namespace cindral

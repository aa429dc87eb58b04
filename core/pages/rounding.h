#pragma once
// The one rounding the logs' arithmetic uses: half to even, into int, with NaN landing on 0
// and absurd values held inside the int range, so no header or command can overflow a row.

#include <cmath>
#include <cstdint>

namespace cindral {

inline int RoundToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483647.0) return -2147483647;
    return static_cast<int>(std::nearbyint(v));
}

inline int ClampToInt(int64_t v) {
    if (v > 2147483647) return 2147483647;
    if (v < -2147483647) return -2147483647;
    return static_cast<int>(v);
}

}  // namespace cindral

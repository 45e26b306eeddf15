// A plain reference for the saturating decimal conversion: the C library's own conversion to a
// wide integer, brought into the 32-bit range. Used by the fuzz targets to check the program's
// conversion, which must agree with it for every text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

inline std::int32_t referenceDecimal(const char* text)
{
    const long long wide = std::strtoll(text, nullptr, 10);
    const long long low = std::numeric_limits<std::int32_t>::min();
    const long long high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(wide, low, high));
}

// How a stored setting of the snow scene becomes the value the scene runs with. Portable: no
// operating-system header.
#pragma once

#include <cstdint>

// The flakes-per-second rate for a stored value. A stored 0 means the same as no value at all:
// the current rate stays. Any other value is raised to minimum, then lowered to maximum.
std::int32_t storedSnowRate(std::int32_t stored, std::int32_t current, std::int32_t minimum,
                            std::int32_t maximum);

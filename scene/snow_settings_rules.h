// How a stored setting of the snow scene becomes the value the scene runs with. Portable: no
// operating-system header.
#pragma once

#include <cstdint>

// The flake rate the scene runs with when nothing else is chosen, and the bounds every chosen
// rate is held to, on every platform.
constexpr std::int32_t snowRateDefault = 100;
constexpr std::int32_t snowRateMinimum = 10;
constexpr std::int32_t snowRateMaximum = 300;

// The rate raised to minimum if smaller, then lowered to maximum if larger.
std::int32_t clampedSnowRate(std::int32_t rate, std::int32_t minimum, std::int32_t maximum);

// The flakes-per-second rate for a stored value. A stored 0 means the same as no value at all:
// the current rate stays. Any other value is raised to minimum, then lowered to maximum.
std::int32_t storedSnowRate(std::int32_t stored, std::int32_t current, std::int32_t minimum,
                            std::int32_t maximum);

// The flake rate as the configuration dialog shows and reads it: the stored number as the edit
// box's text, and the edit box's text as the rate that OK stores. Portable: no operating-system
// header.
#pragma once

#include <cstdint>
#include <string>

// The dialog reads the edit box into a buffer of this many characters, terminator included, so
// at most rateTextCapacity - 1 characters of a longer text take part in the conversion.
constexpr int rateTextCapacity = 60;

// The edit box's text for a stored rate: the number unchanged (not clamped) in plain decimal, a
// leading minus sign when negative, no grouping and no leading zeros. A stored 0 means no rate
// was chosen, so the box shows inEffect, the rate the saver runs with then, and OK without an
// edit keeps it.
std::string storedRateText(std::int32_t stored, std::int32_t inEffect);

// The rate that OK stores for the text read from the edit box: the text's leading decimal number
// (saturating, as parseDecimal reads it; no digits give 0), raised to minimum if smaller, then
// lowered to maximum if larger. Any text gives a rate; nothing is rejected. A null text reads as
// empty.
std::int32_t snowRateFromText(const char* text, std::int32_t minimum, std::int32_t maximum);

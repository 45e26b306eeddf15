// Decimal text to a 32-bit number, as the screen-saver host reads the preview window's handle and
// the configuration dialog reads the flake rate. Portable: no operating-system header.
#pragma once

#include <cstdint>

// Reads like the C runtime's decimal conversion: leading white space (blank, tab, newline,
// vertical tab, form feed, carriage return) is skipped, then an optional '+' or '-', then the
// digits up to the first non-digit. Text without leading digits gives 0. Unlike atoi, values
// beyond the 32-bit range do not overflow: they saturate at INT32_MIN or INT32_MAX.
// A null pointer reads as empty text.
std::int32_t parseDecimal(const char* text);

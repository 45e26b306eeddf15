// The configuration dialog's flake rate as text: what the edit box shows for a stored rate, and
// the rate that OK stores for what was typed.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "scene/rate_text_rules.h"

namespace {

TEST(SnowRateFromText, ConvertsTheLeadingNumberAndClampsIt)
{
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"250", 250},
        {"250abc", 250},
        {" 42", 42},
        {"\t 42 ", 42},
        {"+77", 77},
        {"-20", 10},
        {"abc", 10},
        {"", 10},
        {"-", 10},
        {"5", 10},
        {"9", 10},
        {"10", 10},
        {"300", 300},
        {"301", 300},
        {"0300", 300},
        {"12345678901234567890", 300},
        {"-12345678901234567890", 10},
        {std::string(59, '9'), 300},
        {std::string(58, ' ') + "7", 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(snowRateFromText(c.text.c_str(), 10, 300), c.expected) << '"' << c.text << '"';
}

TEST(SnowRateFromText, NullTextGivesTheMinimum)
{
    EXPECT_EQ(snowRateFromText(nullptr, 10, 300), 10);
}

TEST(StoredRateText, ShowsTheStoredNumberUnclampedAndZeroAsTheRateInEffect)
{
    struct Case {
        std::int32_t stored;
        std::string expected;
    };
    const Case cases[] = {
        {0, "100"},
        {500, "500"},
        {5, "5"},
        {100, "100"},
        {1000000, "1000000"},
        {-20, "-20"},
        {std::numeric_limits<std::int32_t>::max(), "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(storedRateText(c.stored, 100), c.expected) << c.stored;
}

TEST(StoredRateText, ReadsBackAsTheClampedStoredRate)
{
    // What the dialog shows, confirmed unchanged with OK, stores the rate the scene runs with.
    const std::int32_t stored[] = {5, 10, 99, 300, 500, -7, 0};
    const std::int32_t expected[] = {10, 10, 99, 300, 300, 10, 100};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(snowRateFromText(storedRateText(stored[i], 100).c_str(), 10, 300), expected[i])
            << stored[i];
}

TEST(RateTextCapacity, HoldsEveryStoredNumber)
{
    const std::string longest = storedRateText(std::numeric_limits<std::int32_t>::min(), 100);
    EXPECT_LT(static_cast<int>(longest.size()), rateTextCapacity);
}

} // namespace

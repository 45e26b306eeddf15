#include "host/decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct DecimalCase {
    const char* name;
    std::string text;
    std::int32_t expected;
};

class DecimalTest : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalTest, ReadsLikeTheRuntimeButSaturates) {
    EXPECT_EQ(parseDecimal(GetParam().text.c_str()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalTest,
    ::testing::Values(
        DecimalCase{"plain", "250", 250},
        DecimalCase{"trailing_letters", "250abc", 250},
        DecimalCase{"leading_blank", " 42", 42},
        DecimalCase{"every_kind_of_white_space", " \t\n\v\f\r17", 17},
        DecimalCase{"negative", "-20", -20},
        DecimalCase{"explicit_plus", "+9", 9},
        DecimalCase{"letters_only", "abc", 0},
        DecimalCase{"empty", "", 0},
        DecimalCase{"sign_without_digits", "-", 0},
        DecimalCase{"two_signs", "+-5", 0},
        DecimalCase{"blank_after_sign", "- 5", 0},
        DecimalCase{"leading_zeros", "000123", 123},
        DecimalCase{"int_max", "2147483647", INT32_MAX},
        DecimalCase{"one_past_int_max", "2147483648", INT32_MAX},
        DecimalCase{"int_min", "-2147483648", INT32_MIN},
        DecimalCase{"one_below_int_min", "-2147483649", INT32_MIN},
        DecimalCase{"twenty_digits", "12345678901234567890", INT32_MAX},
        DecimalCase{"fifty_nine_digits", std::string(59, '9'), INT32_MAX},
        DecimalCase{"huge_negative", "-" + std::string(80, '7'), INT32_MIN},
        DecimalCase{"zeros_then_small", std::string(70, '0') + "42", 42},
        DecimalCase{"high_bytes_stop_the_number", "12\x80" "34", 12},
        DecimalCase{"window_handle", "1234", 1234}),
    [](const ::testing::TestParamInfo<DecimalCase>& info) { return std::string(info.param.name); });

TEST(DecimalTest, NullReadsAsEmpty) { EXPECT_EQ(parseDecimal(nullptr), 0); }

} // namespace

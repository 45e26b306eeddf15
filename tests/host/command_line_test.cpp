#include "host/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct CommandCase {
    const char* name;
    std::string line;
    SaverMode mode;
    std::int32_t parentHandle;
};

class CommandLineTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLineTest, SelectsTheModeAndHandle) {
    const SaverCommand command = parseSaverCommand(GetParam().line);
    EXPECT_EQ(command.mode, GetParam().mode);
    EXPECT_EQ(command.parentHandle, GetParam().parentHandle);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        CommandCase{"empty_configures", "", Configure, 0},
        CommandCase{"one_character_configures", "s", Configure, 0},
        CommandCase{"slash_alone_configures", "/", Configure, 0},
        CommandCase{"slash_c", "/c", Configure, 0},
        CommandCase{"upper_c", "/C", Configure, 0},
        CommandCase{"configure_ignores_its_number", "/c:1234", Configure, 0},
        CommandCase{"slash_a", "/a", ChangePassword, 0},
        CommandCase{"upper_a_with_number", "-A 77", ChangePassword, 0},
        CommandCase{"slash_s", "/s", Fullscreen, 0},
        CommandCase{"hyphen_upper_s", "-S", Fullscreen, 0},
        CommandCase{"any_switch_character", "xs", Fullscreen, 0},
        CommandCase{"preview_p", "/p 1234", Preview, 1234},
        CommandCase{"preview_upper_p", "/P 1234", Preview, 1234},
        CommandCase{"preview_l", "/l 1234", Preview, 1234},
        CommandCase{"preview_upper_l", "-L 1234", Preview, 1234},
        CommandCase{"several_blanks_before_handle", "/p    1234", Preview, 1234},
        CommandCase{"tab_after_blank", "/p \t1234", Preview, 1234},
        CommandCase{"preview_without_blank", "/p1234", Preview, 0},
        CommandCase{"preview_without_number", "/p", Preview, 0},
        CommandCase{"preview_blank_without_number", "/p ", Preview, 0},
        CommandCase{"preview_zero", "/p 0", Preview, 0},
        CommandCase{"preview_letters", "/p abc", Preview, 0},
        CommandCase{"preview_number_then_text", "/p 42xyz", Preview, 42},
        CommandCase{"preview_negative", "/p -5", Preview, -5},
        CommandCase{"preview_saturates_high", "/p 99999999999999999999", Preview, INT32_MAX},
        CommandCase{"preview_saturates_low", "/p -99999999999999999999", Preview, INT32_MIN},
        CommandCase{"preview_handle_after_first_blank_only", "/p 12 34", Preview, 12},
        CommandCase{"slash_x_unknown", "/x", Unknown, 0},
        CommandCase{"digit_unknown", "/1", Unknown, 0},
        CommandCase{"blank_unknown", "/ s", Unknown, 0},
        CommandCase{"byte_0x80_unknown", std::string("/\x80"), Unknown, 0},
        CommandCase{"byte_0xff_unknown", std::string("/\xff 12"), Unknown, 0},
        CommandCase{"byte_0xd3_unknown", std::string("/\xd3"), Unknown, 0}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

} // namespace

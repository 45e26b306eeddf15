// The Linux program's command line: where it draws, the snow's settings, and the lines it
// refuses.
#include "linux/hack_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

struct OptionsCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* screensaverWindow;
    HackTarget target;
    unsigned long windowId;
    std::int32_t rate;
    bool transparent;
    bool gravity;
    bool help;
    bool refused;
    bool wayland = false;
    std::uint32_t idleSeconds = 0;
    bool residentSnowfall = false;
};

class HackOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(HackOptionsTest, ReadsTheLine)
{
    const OptionsCase& c = GetParam();
    const HackOptions options = parseHackOptions(c.arguments, c.screensaverWindow);
    EXPECT_EQ(!options.error.empty(), c.refused) << options.error;
    EXPECT_EQ(options.error.find('\n'), std::string::npos);
    if (c.refused)
        return;
    EXPECT_EQ(options.target, c.target);
    EXPECT_EQ(options.windowId, c.windowId);
    EXPECT_EQ(options.rate, c.rate);
    EXPECT_EQ(options.transparent, c.transparent);
    EXPECT_EQ(options.gravity, c.gravity);
    EXPECT_EQ(options.help, c.help);
    EXPECT_EQ(options.wayland, c.wayland);
    EXPECT_EQ(options.idleSeconds, c.idleSeconds);
    EXPECT_EQ(options.residentSnowfall, c.residentSnowfall);
}

constexpr auto own = HackTarget::OwnWindow;
constexpr auto named = HackTarget::NamedWindow;
constexpr auto root = HackTarget::Root;
const char* const none = nullptr;
constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Lines, HackOptionsTest,
    ::testing::Values(
        OptionsCase{"nothing_is_a_window_of_its_own", {}, none, own, 0, 100, false, false, false, false},
        OptionsCase{"root_one_dash", {"-root"}, none, root, 0, 100, false, false, false, false},
        OptionsCase{"root_two_dashes", {"--root"}, none, root, 0, 100, false, false, false, false},
        OptionsCase{"daemon_window_wins_over_root", {"--root"}, "0x40000c", named, 0x40000c, 100, false, false, false, false},
        OptionsCase{"daemon_window_without_options", {}, "4194316", named, 4194316, 100, false, false, false, false},
        OptionsCase{"window_wins_over_daemon_window", {"-window"}, "0x40000c", own, 0, 100, false, false, false, false},
        OptionsCase{"window_id_hex", {"-window-id", "0x1a00003"}, none, named, 0x1a00003, 100, false, false, false, false},
        OptionsCase{"window_id_upper_case_hex", {"-window-id", "0X1A00003"}, none, named, 0x1a00003, 100, false, false, false, false},
        OptionsCase{"display_without_value", {"-display"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"window_id_joined", {"--window-id=77"}, "0x40000c", named, 77, 100, false, false, false, false},
        OptionsCase{"settings", {"--rate", "250", "--transparent", "-gravity"}, none, own, 0, 250, true, true, false, false},
        OptionsCase{"rate_joined_and_signed", {"--rate=-4"}, none, own, 0, -4, false, false, false, false},
        OptionsCase{"rate_saturates", {"--rate", "99999999999"}, none, own, 0, most, false, false, false, false},
        OptionsCase{"help", {"--help"}, none, own, 0, 100, false, false, true, false},
        OptionsCase{"unknown_option", {"--snow"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"bare_word", {"root"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"rate_without_value", {"--rate"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"rate_with_letters", {"--rate", "12x"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"rate_empty", {"--rate="}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"rate_sign_alone", {"--rate", "-"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"newline_in_a_bad_value", {"--rate", "1\n2"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"flag_with_value", {"--gravity=1"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"window_id_zero", {"-window-id", "0"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"window_id_beyond_32_bits", {"-window-id", "0x100000000"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"window_id_hex_prefix_alone", {"-window-id", "0x"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"daemon_window_not_a_number", {"-root"}, "screen", own, 0, 100, false, false, false, true},
        OptionsCase{"wayland", {"--wayland", "--rate", "50", "--transparent"}, none, own, 0, 50, true, false, false, false, true},
        OptionsCase{"wayland_reads_no_daemon_window", {"-wayland"}, "screen", own, 0, 100, false, false, false, false, true},
        OptionsCase{"wayland_refuses_gravity", {"--gravity", "--wayland"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"idle", {"--wayland", "--idle", "600"}, none, own, 0, 100, false, false, false, false, true, 600},
        OptionsCase{"idle_joined_at_its_most", {"--wayland", "--idle=4294967"}, none, own, 0, 100, false, false, false, false, true, 4294967},
        OptionsCase{"idle_needs_wayland", {"--idle", "600"}, none, own, 0, 100, false, false, false, true},
        OptionsCase{"idle_zero", {"--wayland", "--idle", "0"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"idle_signed", {"--wayland", "--idle", "+5"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"idle_past_32_bit_milliseconds", {"--wayland", "--idle", "4294968"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"idle_without_value", {"--wayland", "--idle"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"resident_snowfall", {"--wayland", "--resident-snowfall"}, none, own, 0, 100, false, false, false, false, true, 0, true},
        OptionsCase{"resident_snowfall_not_resident", {"--wayland", "--idle", "5", "--resident-snowfall"}, none, own, 0, 100, false, false, false, true, true},
        OptionsCase{"resident_snowfall_needs_wayland", {"--resident-snowfall"}, none, own, 0, 100, false, false, false, true}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

// Each snowfall of the resident saver is the program again, with the snow the saver was given.
TEST(ResidentSnowfall, SnowsWithTheResidentSaversSettings)
{
    const std::vector<std::vector<std::string>> lines = {
        {"--wayland", "--idle", "600"},
        {"--wayland", "--idle=5", "--rate", "250", "--transparent"},
        {"-idle", "9", "-wayland", "--rate=-4"},
    };
    for (const auto& line : lines) {
        const HackOptions resident = parseHackOptions(line, nullptr);
        const HackOptions snowfall =
            parseHackOptions(residentSnowfallArguments(resident), "0x40000c");
        EXPECT_TRUE(snowfall.error.empty()) << snowfall.error;
        EXPECT_TRUE(snowfall.wayland && snowfall.residentSnowfall);
        EXPECT_EQ(snowfall.idleSeconds, 0u);
        EXPECT_EQ(snowfall.rate, resident.rate);
        EXPECT_EQ(snowfall.transparent, resident.transparent);
    }
}

TEST(HackOptionsDisplay, NamesTheDisplayToOpen)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* display;
    };
    const Case cases[] = {
        {{}, ""},
        {{"-display", ":1.0", "-root"}, ":1.0"},
        {{"--display=host:2"}, "host:2"},
        {{"-display", ":3", "--display", ":4"}, ":4"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseHackOptions(c.arguments, nullptr).display, c.display) << c.display;
}

} // namespace

// When the resident saver snows beside the desktop's own blank and lock: the wait asked for
// against GNOME's idle-delay and KDE Plasma's locker settings, as their tools print them.
#include "linux/wayland/desktop_blank_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct WaitCase {
    const char* name;
    const char* currentDesktop;  // XDG_CURRENT_DESKTOP
    const char* printed;         // gsettings' idle-delay, or kreadconfig's Timeout
    bool autolock;
    std::uint32_t asked;
    std::uint32_t wait;
    const char* line;
};

class SnowWaitTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(SnowWaitTest, ComesBeforeTheDesktopBlanks)
{
    const WaitCase& c = GetParam();
    const BlankingDesktop desktop = blankingDesktop(c.currentDesktop);
    const std::uint32_t desktopSeconds = desktop == BlankingDesktop::KdePlasma
                                             ? kdeLockSeconds(c.printed, c.autolock)
                                             : gnomeBlankSeconds(c.printed);
    const SnowWait wait = snowWait(c.asked, desktop, desktopSeconds);
    EXPECT_EQ(wait.seconds, c.wait);
    EXPECT_EQ(wait.line, c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, SnowWaitTest,
    ::testing::Values(
        WaitCase{"gnome_default", "GNOME", "uint32 300\n", true, 600, 240, "GNOME blanks the screen after 300 s: snowing after 240 s"},
        WaitCase{"gnome_in_a_list", "ubuntu:GNOME", "uint32 300\n", true, 600, 240, "GNOME blanks the screen after 300 s: snowing after 240 s"},
        WaitCase{"gnome_as_long_as_asked", "GNOME", "uint32 600", true, 600, 480, "GNOME blanks the screen after 600 s: snowing after 480 s"},
        WaitCase{"gnome_longer", "GNOME", "uint32 900\n", true, 600, 600, ""},
        WaitCase{"gnome_never", "GNOME", "uint32 0\n", true, 600, 600, ""},
        WaitCase{"gnome_without_the_schema", "GNOME", "", true, 600, 600, ""},
        WaitCase{"gnome_one_second", "GNOME", "uint32 1\n", true, 600, 1, "GNOME blanks the screen after 1 s: snowing after 1 s"},
        WaitCase{"gnome_at_its_most", "GNOME", "uint32 4294967295\n", true, 4294967, 4294967, ""},
        WaitCase{"gnome_another_type", "GNOME", "int32 300\n", true, 600, 600, ""},
        WaitCase{"gnome_past_32_bits", "GNOME", "uint32 4294967296\n", true, 600, 600, ""},
        WaitCase{"gnome_setting_elsewhere", "sway", "uint32 300\n", true, 600, 600, ""},
        WaitCase{"no_desktop", nullptr, "uint32 300\n", true, 600, 600, ""},
        WaitCase{"kde_default", "KDE", "5\n", true, 600, 240, "KDE Plasma locks the screen after 300 s: snowing after 240 s"},
        WaitCase{"kde_autolock_off", "KDE", "5\n", false, 600, 600, ""},
        WaitCase{"kde_never", "KDE", "0\n", true, 600, 600, ""},
        WaitCase{"kde_longer", "KDE", "15\n", true, 600, 600, ""},
        WaitCase{"kde_beyond_32_bit_seconds", "KDE", "99999999\n", true, 4294967, 4294967, ""},
        WaitCase{"kde_not_a_number", "KDE", "five\n", true, 600, 600, ""},
        WaitCase{"kde_setting_on_gnome", "GNOME", "5\n", true, 600, 600, ""}),
    [](const ::testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.name); });

} // namespace

// Fuzzes the Linux program's command line and XSCREENSAVER_WINDOW with any arguments: a line is
// either refused with one line of error, or names somewhere to draw, with a window id that is a
// real one whenever a window is named, a display name only when one was given, and never gravity
// on Wayland.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "linux/hack_options.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool daemonWindow = input.ConsumeBool();
    const std::string screensaverWindow = input.ConsumeRandomLengthString(24);
    std::vector<std::string> arguments;
    while (input.remaining_bytes() > 0 && arguments.size() < 16)
        arguments.push_back(input.ConsumeRandomLengthString(32));

    const HackOptions options =
        parseHackOptions(arguments, daemonWindow ? screensaverWindow.c_str() : nullptr);
    if (!options.error.empty()) {
        FUZZ_CHECK(options.error.find('\n') == std::string::npos);
        return 0;
    }
    FUZZ_CHECK(!(options.wayland && options.gravity));
    FUZZ_CHECK(options.idleSeconds == 0 || options.wayland);
    FUZZ_CHECK(options.idleSeconds <= 4294967u);
    FUZZ_CHECK(!options.residentSnowfall || (options.wayland && options.idleSeconds == 0));
    if (options.idleSeconds > 0)
        FUZZ_CHECK(parseHackOptions(residentSnowfallArguments(options), nullptr).error.empty());
    if (!options.display.empty()) {
        bool named = false;
        for (const std::string& argument : arguments)
            named = named || argument.find("display") != std::string::npos;
        FUZZ_CHECK(named);
    }
    if (options.target == HackTarget::NamedWindow)
        FUZZ_CHECK(options.windowId != 0 && options.windowId <= 0xFFFFFFFFul);
    else
        FUZZ_CHECK(options.windowId == 0);
    return 0;
}

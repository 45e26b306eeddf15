// Fuzzes the screen-saver command line: any text the system hands over, including bytes of 0x80
// and above, selects exactly the mode its second character names, and only a preview carries the
// handle that follows the first blank.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/command_line.h"
#include "tests/fuzz/decimal_reference.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

SaverMode expectedMode(const char* line)
{
    if (line[0] == '\0')
        return Configure;
    const char* modes[] = {"Cc", "Aa", "PpLl", "Ss"};
    const SaverMode named[] = {Configure, ChangePassword, Preview, Fullscreen};
    const char letter = line[1];
    if (letter == '\0')
        return Configure;
    for (int i = 0; i < 4; ++i) {
        if (std::strchr(modes[i], letter) != nullptr)
            return named[i];
    }
    return Unknown;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The system passes the command line as a C string, so it holds no NUL of its own.
    const std::string raw(reinterpret_cast<const char*>(data), size);
    const std::string line(raw.c_str());
    const SaverCommand command = parseSaverCommand(line);

    const SaverMode mode = expectedMode(line.c_str());
    FUZZ_CHECK(command.mode == mode);
    if (mode != Preview) {
        FUZZ_CHECK(command.parentHandle == 0);
        return 0;
    }
    const char* blank = std::strchr(line.c_str(), ' ');
    const std::int32_t handle = blank == nullptr ? 0 : referenceDecimal(blank + 1);
    FUZZ_CHECK(command.parentHandle == handle);
    return 0;
}

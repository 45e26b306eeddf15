// Fuzzes the resident saver's wait beside the desktop's own blank and lock with whatever the
// desktop's tools print: the snow never comes later than asked, never at once, and only a wait
// the desktop shortened is said, in one line.
#include <cstddef>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "linux/wayland/desktop_blank_rules.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::uint32_t asked = input.ConsumeIntegralInRange<std::uint32_t>(1, 4294967);
    const bool autolock = input.ConsumeBool();
    const std::string currentDesktop = input.ConsumeRandomLengthString(24);
    const std::string printed = input.ConsumeRemainingBytesAsString();

    const BlankingDesktop desktop = blankingDesktop(currentDesktop.c_str());
    const std::uint32_t desktopSeconds = desktop == BlankingDesktop::KdePlasma
                                             ? kdeLockSeconds(printed, autolock)
                                             : gnomeBlankSeconds(printed);
    const SnowWait wait = snowWait(asked, desktop, desktopSeconds);
    FUZZ_CHECK(wait.seconds >= 1 && wait.seconds <= asked);
    FUZZ_CHECK(wait.line.empty() == (desktop == BlankingDesktop::Other || desktopSeconds == 0 ||
                                     desktopSeconds > asked));
    FUZZ_CHECK(wait.line.find('\n') == std::string::npos);
    FUZZ_CHECK(wait.line.empty() || wait.seconds < desktopSeconds || desktopSeconds == 1);
    return 0;
}

// Fuzzes the flake rate's conversions: whatever number the registry holds, the scene runs with
// the current rate (for a stored 0) or with a rate inside the bounds, equal to the stored one when
// that already lies inside; whatever text the dialog's edit box holds, OK stores its leading
// number brought into the bounds; and a stored rate shown in the box reads back unchanged.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "scene/rate_text_rules.h"
#include "scene/snow_settings_rules.h"
#include "tests/fuzz/decimal_reference.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

void checkRate(std::int32_t stored, std::int32_t current, std::int32_t minimum,
               std::int32_t maximum)
{
    const std::int32_t rate = storedSnowRate(stored, current, minimum, maximum);
    if (stored == 0) {
        FUZZ_CHECK(rate == current);
        return;
    }
    FUZZ_CHECK(rate >= minimum && rate <= maximum);
    if (stored >= minimum && stored <= maximum)
        FUZZ_CHECK(rate == stored);
    if (stored < minimum)
        FUZZ_CHECK(rate == minimum);
    if (stored > maximum)
        FUZZ_CHECK(rate == maximum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::int32_t stored = input.ConsumeIntegral<std::int32_t>();
    // The bounds the scene really uses, then any ordered pair of bounds.
    checkRate(stored, 100, 10, 300);
    const std::int32_t current = input.ConsumeIntegral<std::int32_t>();
    const std::int32_t low = input.ConsumeIntegral<std::int32_t>();
    const std::int32_t high = input.ConsumeIntegralInRange<std::int32_t>(low, INT32_MAX);
    checkRate(stored, current, low, high);

    const std::string shown = storedRateText(stored, 100);
    FUZZ_CHECK(referenceDecimal(shown.c_str()) == (stored != 0 ? stored : 100));

    // The dialog reads at most rateTextCapacity - 1 characters of the box, as a C string.
    const std::string typed =
        input.ConsumeRandomLengthString(rateTextCapacity - 1).c_str();
    const std::int32_t rate = snowRateFromText(typed.c_str(), 10, 300);
    FUZZ_CHECK(rate == std::clamp(referenceDecimal(typed.c_str()), 10, 300));
    return 0;
}

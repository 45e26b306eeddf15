// The flake rate as the configuration dialog shows and reads it.
#include "scene/rate_text_rules.h"

#include "host/decimal.h"

std::string storedRateText(std::int32_t stored, std::int32_t inEffect)
{
    return std::to_string(stored != 0 ? stored : inEffect);
}

std::int32_t snowRateFromText(const char* text, std::int32_t minimum, std::int32_t maximum)
{
    std::int32_t rate = parseDecimal(text);
    if (rate < minimum)
        rate = minimum;
    if (rate > maximum)
        rate = maximum;
    return rate;
}

// How a stored setting of the snow scene becomes the value the scene runs with.
#include "scene/snow_settings_rules.h"

std::int32_t clampedSnowRate(std::int32_t rate, std::int32_t minimum, std::int32_t maximum)
{
    if (rate < minimum)
        rate = minimum;
    if (rate > maximum)
        rate = maximum;
    return rate;
}

std::int32_t storedSnowRate(std::int32_t stored, std::int32_t current, std::int32_t minimum,
                            std::int32_t maximum)
{
    if (stored == 0)
        return current;
    return clampedSnowRate(stored, minimum, maximum);
}

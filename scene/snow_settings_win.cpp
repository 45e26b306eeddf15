// The snow scene's settings, read from the host's settings key.
#include "scene/snow_settings_rules.h"
#include "scene/tavrel.h"

namespace {

// A value that is absent and a stored 0 mean the same: nothing stored.
int storedOrZero(ScreenSaver& saver, const char* name)
{
    return saver.valueExists(name) ? saver.readValue(name) : 0;
}

} // namespace

void Tavrel::loadSettings()
{
    if (storedOrZero(*this, "useGravity") != 0) {
        useGravity = true;
        keepRunningOnInput = true;
    }
    if (storedOrZero(*this, "useTransparentFlakes") != 0)
        useTransparentFlakes = true;
    snowCountPerSecond = storedSnowRate(storedOrZero(*this, "snowCountPerSecond"),
                                        snowCountPerSecond, minSnowCountPerSecond,
                                        maxSnowCountPerSecond);
}

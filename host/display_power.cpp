// The display's power states as the console display's state and the monitor-power command give
// them.
#include "host/display_power.h"

DisplayPower consoleDisplayState(unsigned long state)
{
    switch (state) {
    case 0:
        return DisplayPower::Off;
    case 2:
        return DisplayPower::Dimmed;
    default:
        return DisplayPower::On;
    }
}

DisplayPower monitorPowerRequest(long long request)
{
    switch (request) {
    case 2:
        return DisplayPower::Off;
    case 1:
        return DisplayPower::LowPower;
    default:
        return DisplayPower::On;
    }
}

bool displayShowsPicture(DisplayPower power)
{
    return power == DisplayPower::On || power == DisplayPower::Dimmed;
}

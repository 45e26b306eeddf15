// What the display's power state means for the picture. Portable: no operating-system header.
#pragma once

enum class DisplayPower { On, Dimmed, LowPower, Off };

// The state that a change of the console display's state reports: 0 off, 1 on, 2 dimmed. An
// unknown value counts as on, so that a state this program does not know never hides the snow.
DisplayPower consoleDisplayState(unsigned long state);

// The state that a monitor-power system command asks for: 2 off, 1 low power, -1 on; unknown
// values count as on.
DisplayPower monitorPowerRequest(long long request);

// Whether anybody can see a picture drawn now: a dimmed display still shows it.
bool displayShowsPicture(DisplayPower power);

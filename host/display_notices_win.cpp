// The display's power as Windows tells it to the saver's window: the console display's state,
// which comes as a power broadcast once the window asked for it, and the monitor-power system
// command, which comes before Windows turns the display off or on.
#include "host/display_notices.h"

#include "host/screen_saver.h"

namespace {

// The console display's state (GUID_CONSOLE_DISPLAY_STATE), spelled out so that no GUID library
// is linked for it.
const GUID consoleDisplayStateSetting = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

} // namespace

DisplayNotices::DisplayNotices(HWND window)
    : notices(RegisterPowerSettingNotification(window, &consoleDisplayStateSetting,
                                               DEVICE_NOTIFY_WINDOW_HANDLE)) {}

DisplayNotices::~DisplayNotices() {
    if (notices != nullptr) {
        UnregisterPowerSettingNotification(notices);
    }
}

void ScreenSaver::notePowerBroadcast(WPARAM event, LPARAM setting) {
    const auto* change = reinterpret_cast<const POWERBROADCAST_SETTING*>(setting);
    if (event != PBT_POWERSETTINGCHANGE || change == nullptr ||
        change->PowerSetting != consoleDisplayStateSetting ||
        change->DataLength < sizeof(DWORD)) {
        return;
    }
    DWORD state;
    CopyMemory(&state, change->Data, sizeof(state));
    displayPower = consoleDisplayState(state);
}

void ScreenSaver::noteSystemCommand(WPARAM command, LPARAM request) {
    // The low four bits of a system command are Windows' own.
    if ((command & 0xFFF0) == SC_MONITORPOWER) {
        displayPower = monitorPowerRequest(request);
    }
}

// The time after which the session's desktop blanks or locks the screen itself, read through the
// desktop's own tools each time it is asked, so that a change takes effect from the next wait:
// GNOME's idle-delay through GSettings (`gsettings`, which GNOME Shell depends on), KDE Plasma's
// locker settings through KConfig (`kreadconfig6`, else `kreadconfig5`, which Plasma depends on).
// KConfig files are not plain key files (groups such as [Greeter][Wallpaper][org.kde.image], keys
// marked [$i] immutable, settings cascading from /etc/xdg), so only KConfig reads them rightly.
// The tools run as processes of their own, so that the resident saver never maps GLib or Qt.
#pragma once

#include <cstdint>

#include "linux/wayland/desktop_blank_rules.h"

struct DesktopBlank {
    BlankingDesktop desktop = BlankingDesktop::Other;
    std::uint32_t seconds = 0;  // 0: it does not blank or lock of its own accord
};

// The desktop named by XDG_CURRENT_DESKTOP, and its time; a tool that is missing, fails or takes
// more than a second is taken as no time.
DesktopBlank readDesktopBlank();

// The desktop's own screen shield or locker: GNOME Shell's (interface org.gnome.ScreenSaver) and
// KDE Plasma's (org.freedesktop.ScreenSaver) on the session bus say when it comes up and goes down
// (ActiveChanged) and whether it is up now (GetActive). Nothing drawn under it can be seen, so no
// snowfall starts or goes on while it is up. Where neither service answers, it is never up.
#pragma once

#include <systemd/sd-bus.h>

class ScreenShield {
public:
    ScreenShield() = default;
    ScreenShield(const ScreenShield&) = delete;
    ScreenShield& operator=(const ScreenShield&) = delete;
    ~ScreenShield();

    // Connects to the session bus, follows both shields and asks whether either is up; without a
    // session bus it stays down.
    void open();
    bool up() const { return gnomeUp || freedesktopUp; }

    // What a wait watches for it, as IdleSource has them.
    int descriptor() const;
    short events() const;
    int timeoutMilliseconds() const;
    // Handles what came; a bus that is lost leaves the shield down for good.
    void dispatch();

    // The session bus, for the desktop's other services; null without one.
    sd_bus* bus() const { return connection; }

private:
    static int onActiveChanged(sd_bus_message* signal, void* shield, sd_bus_error*);
    void close();

    sd_bus* connection = nullptr;
    sd_bus_slot* gnomeSlot = nullptr;
    sd_bus_slot* freedesktopSlot = nullptr;
    bool gnomeUp = false;
    bool freedesktopUp = false;
};

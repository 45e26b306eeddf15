// GNOME's idle monitor (mutter's org.gnome.Mutter.IdleMonitor on the session bus) as an idle
// source: a watch that fires once the session has been idle for the time asked, and a one-shot
// watch for the next input after it. Whether gnome-session keeps the snow away (something asked
// it not to treat the session as idle) comes from org.gnome.SessionManager.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <optional>
#include <string>

#include "linux/wayland/idle_source.h"

class GnomeIdleMonitor : public IdleSource {
public:
    GnomeIdleMonitor() = default;
    GnomeIdleMonitor(const GnomeIdleMonitor&) = delete;
    GnomeIdleMonitor& operator=(const GnomeIdleMonitor&) = delete;
    ~GnomeIdleMonitor() override;

    // Connects to the session bus and asks for a watch of the given idle time; answers false,
    // with a one-line reason, when there is no session bus or no idle monitor on it.
    bool open(unsigned seconds, std::string& error);

    bool inhibited() override;
    int descriptor() const override;
    short events() const override;
    int timeoutMilliseconds() const override;
    bool dispatch() override;

private:
    static int onWatchFired(sd_bus_message* signal, void* monitor, sd_bus_error*);
    void watchFired(std::uint32_t id);
    std::optional<std::uint32_t> addWatch(const char* method, const std::uint64_t* interval,
                                          std::uint64_t timeout, std::string& error);
    void removeWatch(std::uint32_t id);

    sd_bus* bus = nullptr;
    sd_bus_slot* watchFiredSlot = nullptr;
    std::optional<std::uint32_t> idleWatch;
    // Only while idle: mutter drops a user-active watch once it has fired.
    std::optional<std::uint32_t> activeWatch;
    // The user-active watch could not be added: idle would never end.
    bool broken = false;
};

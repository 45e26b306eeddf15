// The idle notifications that come over the Wayland connection, and the choice among the
// session's idle sources.
#include "linux/wayland/idle_sources_wayland.h"

#include <wayland-client.h>

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"
#include "linux/wayland/gnome_idle_monitor.h"

namespace {

// Both protocols say the same two things, each in its own words: idle for the time asked, and
// active again.
class WaylandIdle : public IdleSource {
public:
    void becameIdle() { idleNow = true; }
    void resumed() { idleNow = false; }
};

template <typename Notification>
void onIdled(void* data, Notification*)
{
    static_cast<WaylandIdle*>(data)->becameIdle();
}

template <typename Notification>
void onResumed(void* data, Notification*)
{
    static_cast<WaylandIdle*>(data)->resumed();
}

class ExtIdleNotification : public WaylandIdle {
public:
    ExtIdleNotification(ext_idle_notifier_v1* notifier, wl_seat* seat, std::uint32_t milliseconds)
        : notification(ext_idle_notifier_v1_get_idle_notification(notifier, milliseconds, seat))
    {
        ext_idle_notification_v1_add_listener(notification, &listener, this);
    }
    ~ExtIdleNotification() override { ext_idle_notification_v1_destroy(notification); }

private:
    static constexpr ext_idle_notification_v1_listener listener = {
        onIdled<ext_idle_notification_v1>, onResumed<ext_idle_notification_v1>};
    ext_idle_notification_v1* notification;
};

class KdeIdleTimeout : public WaylandIdle {
public:
    KdeIdleTimeout(org_kde_kwin_idle* idle, wl_seat* seat, std::uint32_t milliseconds)
        : timeout(org_kde_kwin_idle_get_idle_timeout(idle, seat, milliseconds))
    {
        org_kde_kwin_idle_timeout_add_listener(timeout, &listener, this);
    }
    ~KdeIdleTimeout() override { org_kde_kwin_idle_timeout_release(timeout); }

private:
    static constexpr org_kde_kwin_idle_timeout_listener listener = {
        onIdled<org_kde_kwin_idle_timeout>, onResumed<org_kde_kwin_idle_timeout>};
    org_kde_kwin_idle_timeout* timeout;
};

} // namespace

std::unique_ptr<IdleSource> openIdleSource(WaylandHack& hack, std::uint32_t seconds,
                                           std::string& error)
{
    // Seconds are held by the options to what fits 32 bits of milliseconds.
    const std::uint32_t milliseconds = seconds * 1000u;
    wl_seat* seat = hack.seats.empty() ? nullptr : hack.seats.front()->seat;
    if (seat != nullptr && hack.idleNotifier != nullptr)
        return std::make_unique<ExtIdleNotification>(hack.idleNotifier, seat, milliseconds);
    if (seat != nullptr && hack.kdeIdle != nullptr)
        return std::make_unique<KdeIdleTimeout>(hack.kdeIdle, seat, milliseconds);
    auto gnome = std::make_unique<GnomeIdleMonitor>();
    std::string gnomeError;
    if (gnome->open(seconds, gnomeError))
        return gnome;
    error = "the session tells no idle time: the compositor offers neither ext-idle-notify-v1 "
            "nor org_kde_kwin_idle" +
            std::string(seat == nullptr ? " on a seat" : "") + ", and " + gnomeError;
    return nullptr;
}

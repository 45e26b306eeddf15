// Where the resident saver learns that the session is idle: the compositor's idle notifications
// (ext-idle-notify-v1 or org_kde_kwin_idle, over the Wayland connection) or GNOME's idle monitor
// on the session bus. Each says when the session has been idle for the time asked and when the
// user is active again.
#pragma once

class IdleSource {
public:
    virtual ~IdleSource() = default;

    // The session has been idle for the time asked, and no input has come since.
    bool idle() const { return idleNow; }
    // Something keeps the snow away although the session is idle (a video playing). Asked just
    // before the snow starts.
    virtual bool inhibited() { return false; }

    // A descriptor of its own to wait on beside the compositor's, with the poll events it waits
    // for and how long at most (milliseconds, -1 for no limit); -1 where everything comes over
    // the Wayland connection.
    virtual int descriptor() const { return -1; }
    virtual short events() const { return 0; }
    virtual int timeoutMilliseconds() const { return -1; }
    // Handles what came on that descriptor; answers false when the source is lost.
    virtual bool dispatch() { return true; }

protected:
    bool idleNow = false;
};

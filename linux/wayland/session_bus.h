// What the session's services on the bus (GNOME's idle monitor, the desktop's screen shield and
// overview) share: the messages and errors sd-bus hands out, freed when they go out of scope; a
// call with a time limit; and what a wait watches for a connection.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>

struct BusMessage {
    sd_bus_message* value = nullptr;
    BusMessage() = default;
    BusMessage(const BusMessage&) = delete;
    BusMessage& operator=(const BusMessage&) = delete;
    ~BusMessage() { sd_bus_message_unref(value); }
};

struct BusError {
    sd_bus_error value = SD_BUS_ERROR_NULL;
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&value); }
};

// A reason on one line: the bus's error message, or the error number's text.
std::string busReason(const BusError& error, int result);

// Sends call (which must not start a service that is not running: none of those asked for here
// is started on demand) and waits at most timeoutMicroseconds for the reply.
int callWithin(sd_bus* bus, const BusMessage& call, std::uint64_t timeoutMicroseconds,
               BusError& error, BusMessage& reply);

// Handles every message the connection has read; answers false when it is lost.
bool processBus(sd_bus* bus);

// A connection as a wait watches it: its descriptor (-1 without one), the poll events it waits
// for, and the milliseconds until sd-bus must be called again (-1 for no limit).
int busDescriptor(sd_bus* bus);
short busEvents(sd_bus* bus);
int busTimeoutMilliseconds(sd_bus* bus);

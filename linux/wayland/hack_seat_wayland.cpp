// The seats' input, by the close rules of the full-screen saver: a key, a button or a touch ends
// it, and so does a pointer that moves more than the mouse threshold from where it entered the
// saver's surface. Entering alone never ends it: the surfaces appear under a pointer that stands
// still, and a pointer that crosses to another output's surface starts measuring afresh there.
#include "linux/wayland/hack_display_wayland.h"

#include <wayland-client.h>

#include <unistd.h>

#include <algorithm>

#include "host/close_rules.h"

namespace {

HackSeat& seatOf(void* data)
{
    return *static_cast<HackSeat*>(data);
}

void endSaver(HackSeat& seat)
{
    seat.hack->closeRequested = true;
}

void pointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface*,
                  wl_fixed_t x, wl_fixed_t y)
{
    HackSeat& seat = seatOf(data);
    seat.entered = true;
    seat.enterX = wl_fixed_to_int(x);
    seat.enterY = wl_fixed_to_int(y);
    // No cursor over the saver, as over the Windows saver's full-screen window.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
}

void pointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*)
{
    seatOf(data).entered = false;
}

void pointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    HackSeat& seat = seatOf(data);
    if (seat.entered &&
        mouseJumped(seat.enterX, seat.enterY, wl_fixed_to_int(x), wl_fixed_to_int(y)))
        endSaver(seat);
}

void pointerButton(void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t,
                   std::uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED)
        endSaver(seatOf(data));
}

void pointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, std::uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void pointerAxisSteps(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

const wl_pointer_listener pointerListener = {
    pointerEnter, pointerLeave,      pointerMotion,   pointerButton,    pointerAxis,
    pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisSteps, pointerAxisSteps};

// The key map is of no use to a saver that any key ends; its descriptor is closed at once.
void keyboardKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t)
{
    close(fd);
}

void keyboardEnter(void* data, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*)
{
    HackSeat& seat = seatOf(data);
    seat.keyboardFocus = true;
    seat.hack->everHadKeyboard = true;
}

void keyboardLeave(void* data, wl_keyboard*, std::uint32_t, wl_surface*)
{
    seatOf(data).keyboardFocus = false;
}

void keyboardKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                 std::uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        endSaver(seatOf(data));
}

void keyboardModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t, std::uint32_t)
{
}

void keyboardRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener keyboardListener = {keyboardKeymap, keyboardEnter,     keyboardLeave,
                                               keyboardKey,    keyboardModifiers, keyboardRepeat};

void touchDown(void* data, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t,
               wl_fixed_t, wl_fixed_t)
{
    endSaver(seatOf(data));
}

void touchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void touchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touchFrame(void*, wl_touch*) {}
void touchCancel(void*, wl_touch*) {}
void touchShape(void*, wl_touch*, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void touchOrientation(void*, wl_touch*, std::int32_t, wl_fixed_t) {}

const wl_touch_listener touchListener = {touchDown,   touchUp,    touchMotion,     touchFrame,
                                         touchCancel, touchShape, touchOrientation};

// Version 3 of the seat brought the release requests.
template <typename Device>
void releaseDevice(const HackSeat& seat, Device*& device, void (*release)(Device*),
                   void (*destroy)(Device*))
{
    if (device == nullptr)
        return;
    (wl_seat_get_version(seat.seat) >= 3 ? release : destroy)(device);
    device = nullptr;
}

void seatCapabilities(void* data, wl_seat* wlSeat, std::uint32_t capabilities)
{
    HackSeat& seat = seatOf(data);
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool touch = (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0;
    if (pointer && seat.pointer == nullptr) {
        seat.pointer = wl_seat_get_pointer(wlSeat);
        wl_pointer_add_listener(seat.pointer, &pointerListener, &seat);
    } else if (!pointer) {
        releaseDevice(seat, seat.pointer, wl_pointer_release, wl_pointer_destroy);
        seat.entered = false;
    }
    if (keyboard && seat.keyboard == nullptr) {
        seat.keyboard = wl_seat_get_keyboard(wlSeat);
        wl_keyboard_add_listener(seat.keyboard, &keyboardListener, &seat);
    } else if (!keyboard) {
        releaseDevice(seat, seat.keyboard, wl_keyboard_release, wl_keyboard_destroy);
        seat.keyboardFocus = false;
    }
    if (touch && seat.touch == nullptr) {
        seat.touch = wl_seat_get_touch(wlSeat);
        wl_touch_add_listener(seat.touch, &touchListener, &seat);
    } else if (!touch) {
        releaseDevice(seat, seat.touch, wl_touch_release, wl_touch_destroy);
    }
}

void seatName(void*, wl_seat*, const char*) {}

const wl_seat_listener seatListener = {seatCapabilities, seatName};

} // namespace

void addSeat(WaylandHack& hack, std::uint32_t name, std::uint32_t version)
{
    auto seat = std::make_unique<HackSeat>();
    seat->hack = &hack;
    seat->name = name;
    // The listeners above know the events of version 5 and before.
    seat->seat = static_cast<wl_seat*>(
        wl_registry_bind(hack.registry, name, &wl_seat_interface, std::min(version, 5u)));
    wl_seat_add_listener(seat->seat, &seatListener, seat.get());
    hack.seats.push_back(std::move(seat));
}

void removeSeat(WaylandHack& hack, std::uint32_t name)
{
    releaseNamed(hack.seats, name, releaseSeat);
}

void releaseSeat(HackSeat& seat)
{
    releaseDevice(seat, seat.pointer, wl_pointer_release, wl_pointer_destroy);
    releaseDevice(seat, seat.keyboard, wl_keyboard_release, wl_keyboard_destroy);
    releaseDevice(seat, seat.touch, wl_touch_release, wl_touch_destroy);
    if (wl_seat_get_version(seat.seat) >= 5)
        wl_seat_release(seat.seat);
    else
        wl_seat_destroy(seat.seat);
}

/* Touches a point of a kwin session once, down and up, through kwin's fake input
 * (org_kde_kwin_fake_input), which kwin offers only to a program that a desktop entry with
 * X-KDE-Wayland-Interfaces names: the tests' one way to touch a screen, as this machine has no
 * uinput.
 *
 *     fake_touch X Y
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>
#include "fake-input-client.h"

static struct org_kde_kwin_fake_input *input;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                   uint32_t version)
{
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 2)
        input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 2);
}

static void global_remove(void *data, struct wl_registry *registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: fake_touch X Y\n");
        return 2;
    }
    struct wl_display *display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "fake_touch: no compositor\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
    wl_display_roundtrip(display);
    if (input == NULL) {
        fprintf(stderr, "fake_touch: the compositor offers this program no fake input\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "fake_touch", "a test's touch");
    wl_display_roundtrip(display);
    /* The seat gains touch with this device; its clients need a moment to ask for it. */
    usleep(500000);
    wl_fixed_t x = wl_fixed_from_int(atoi(argv[1])), y = wl_fixed_from_int(atoi(argv[2]));
    org_kde_kwin_fake_input_touch_down(input, 0, x, y);
    org_kde_kwin_fake_input_touch_frame(input);
    org_kde_kwin_fake_input_touch_up(input, 0);
    org_kde_kwin_fake_input_touch_frame(input);
    int status = wl_display_roundtrip(display) < 0;
    wl_display_disconnect(display);
    return status;
}

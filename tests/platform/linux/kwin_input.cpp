// Input for the end-to-end tests on KWin, through KWin's fake-input protocol (offered to every
// client when KWin runs with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), as a user's keyboard and
// pointer would give it:
//   kwin_input key CODE        presses and releases an evdev key (30 = KEY_A)
//   kwin_input motion DX DY    moves the pointer by (DX, DY)
// Exit 0 once KWin has taken the events (a round trip later), 1 when it cannot.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fake-input-client.h"

namespace {

org_kde_kwin_fake_input* fakeInput = nullptr;

const wl_registry_listener kRegistryListener = {
    .global =
        [](void*, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
          if (std::string_view(interface) == org_kde_kwin_fake_input_interface.name) {
            // Version 4 is the first with keys.
            fakeInput = static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(
                registry, name, &org_kde_kwin_fake_input_interface, version < 4 ? version : 4));
          }
        },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

int usage() {
  std::fprintf(stderr, "usage: kwin_input key CODE | motion DX DY\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string_view command = argv[1];
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "kwin_input: no Wayland compositor at WAYLAND_DISPLAY\n");
    return 1;
  }
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, nullptr);
  wl_display_roundtrip(display);
  if (!fakeInput || org_kde_kwin_fake_input_get_version(fakeInput) < 4) {
    std::fprintf(stderr,
                 "kwin_input: no fake input of version 4 (KWin without "
                 "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1?)\n");
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(fakeInput, "drevanti tests", "input for a test");
  if (command == "key") {
    const auto code = static_cast<std::uint32_t>(std::atoi(argv[2]));
    org_kde_kwin_fake_input_keyboard_key(fakeInput, code, 1);
    org_kde_kwin_fake_input_keyboard_key(fakeInput, code, 0);
  } else if (command == "motion" && argc == 4) {
    org_kde_kwin_fake_input_pointer_motion(fakeInput, wl_fixed_from_double(std::atof(argv[2])),
                                           wl_fixed_from_double(std::atof(argv[3])));
  } else {
    return usage();
  }
  const int result = wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return result < 0 ? 1 : 0;
}

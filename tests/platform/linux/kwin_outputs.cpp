// KWin's outputs laid out for the end-to-end tests, through KWin's output-management protocol
// (offered to every client when KWin runs with KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), as the
// display settings would lay them out:
//   kwin_outputs NAME SCALE X Y [NAME SCALE X Y ...]
// puts each output named at (X, Y) of the logical layout with that scale (fractional ones too).
// Exit 0 once KWin has applied it, 1 when it cannot or refuses.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kde-output-device-v2-client.h"
#include "kde-output-management-v2-client.h"

namespace {

kde_output_management_v2* management = nullptr;
// Each output device by the name it told.
std::vector<kde_output_device_v2*> devices;
std::map<std::string, kde_output_device_v2*> named;

enum class Outcome { Waiting, Applied, Failed };
Outcome outcome = Outcome::Waiting;

template <class... Args>
void ignore(void*, kde_output_device_v2*, Args...) {}

const kde_output_device_v2_listener kDeviceListener = {
    .geometry =
        ignore<int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t>,
    .current_mode = ignore<kde_output_device_mode_v2*>,
    .mode = ignore<kde_output_device_mode_v2*>,
    .done = ignore<>,
    .scale = ignore<wl_fixed_t>,
    .edid = ignore<const char*>,
    .enabled = ignore<int32_t>,
    .uuid = ignore<const char*>,
    .serial_number = ignore<const char*>,
    .eisa_id = ignore<const char*>,
    .capabilities = ignore<uint32_t>,
    .overscan = ignore<uint32_t>,
    .vrr_policy = ignore<uint32_t>,
    .rgb_range = ignore<uint32_t>,
    .name = [](void*, kde_output_device_v2* device, const char* name) { named[name] = device; },
};

const kde_output_configuration_v2_listener kConfigurationListener = {
    .applied = [](void*, kde_output_configuration_v2*) { outcome = Outcome::Applied; },
    .failed = [](void*, kde_output_configuration_v2*) { outcome = Outcome::Failed; },
};

const wl_registry_listener kRegistryListener = {
    .global =
        [](void*, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
          const std::string_view is = interface;
          if (is == kde_output_management_v2_interface.name) {
            management = static_cast<kde_output_management_v2*>(
                wl_registry_bind(registry, name, &kde_output_management_v2_interface, 1));
          } else if (is == kde_output_device_v2_interface.name && version >= 2) {
            // Version 2 is the first that tells the output's name.
            auto* device = static_cast<kde_output_device_v2*>(
                wl_registry_bind(registry, name, &kde_output_device_v2_interface, 2));
            kde_output_device_v2_add_listener(device, &kDeviceListener, nullptr);
            devices.push_back(device);
          }
        },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};

int fail(const std::string& message) {
  std::fprintf(stderr, "kwin_outputs: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 1) % 4 != 0) {
    std::fprintf(stderr, "usage: kwin_outputs NAME SCALE X Y [NAME SCALE X Y ...]\n");
    return 2;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return fail("no Wayland compositor at WAYLAND_DISPLAY");
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, nullptr);
  // The globals, then the devices' descriptions.
  wl_display_roundtrip(display);
  wl_display_roundtrip(display);
  if (!management || devices.empty()) {
    return fail(
        "no output management of KWin's (KWin without KWIN_WAYLAND_NO_PERMISSION_CHECKS=1?)");
  }
  kde_output_configuration_v2* configuration =
      kde_output_management_v2_create_configuration(management);
  kde_output_configuration_v2_add_listener(configuration, &kConfigurationListener, nullptr);
  for (int i = 1; i < argc; i += 4) {
    const auto found = named.find(argv[i]);
    if (found == named.end()) return fail(std::string("no output named ") + argv[i]);
    kde_output_configuration_v2_scale(configuration, found->second,
                                      wl_fixed_from_double(std::atof(argv[i + 1])));
    kde_output_configuration_v2_position(configuration, found->second, std::atoi(argv[i + 2]),
                                         std::atoi(argv[i + 3]));
  }
  kde_output_configuration_v2_apply(configuration);
  while (outcome == Outcome::Waiting && wl_display_dispatch(display) >= 0) {
  }
  wl_display_disconnect(display);
  if (outcome != Outcome::Applied) return fail("KWin did not apply the layout");
  return 0;
}

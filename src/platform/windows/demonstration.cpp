#include "demonstration.h"

#include <cstdio>
#include <exception>

#include "app/demonstrations.h"
#include "app/window_owner.h"
#include "system_settings.h"
#include "win32_window_system.h"

namespace drevanti::win32 {

namespace {

// Runs the owner over the window system; a failure is reported and ends the program with 1.
template <class Run>
int runOwner(Win32WindowSystem& windows, std::uint32_t seed, Run run) {
  try {
    Demonstrations demonstrations([&windows] { windows.wake(); });
    WindowOwner owner(windows, demonstrations, seed);
    run(owner);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "drevanti: %s\n", error.what());
    return 1;
  }
}

}  // namespace

int runFullScreen(HINSTANCE instance, std::uint32_t seed) {
  Win32WindowSystem windows(instance);
  Win32SystemSettings desktop;
  return runOwner(windows, seed, [&](WindowOwner& owner) { owner.runFullScreen(desktop); });
}

int runHosted(HINSTANCE instance, HWND parent, std::uint32_t seed) {
  Win32WindowSystem windows(instance, parent);
  return runOwner(windows, seed,
                  [&](WindowOwner& owner) { owner.runHosted(windows.previewSize()); });
}

}  // namespace drevanti::win32

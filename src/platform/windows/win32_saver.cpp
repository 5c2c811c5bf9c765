#include "win32_saver.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "app/run_saver.h"
#include "system_settings.h"
#include "win32_window_system.h"

namespace drevanti::win32 {

int runSaverOnWindows(HINSTANCE instance, LaunchMode mode, HWND parent, std::uint32_t seed) {
  try {
    const auto windows = mode == LaunchMode::Hosted
                             ? std::make_unique<Win32WindowSystem>(instance, parent)
                             : std::make_unique<Win32WindowSystem>(instance);
    Win32SystemSettings desktop;
    // Windows has no signals for a screen saver: only its windows' messages end it.
    StopRequest stop;
    runSaver(mode, {*windows, desktop, stop, seed});
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "drevanti: %s\n", error.what());
    return 1;
  }
}

}  // namespace drevanti::win32

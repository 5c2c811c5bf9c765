#include "sdl_saver_windows.h"

#include <charconv>
#include <string>
#include <string_view>

#include "app/demonstrations.h"
#include "app/window_owner.h"
#include "sdl_session.h"
#include "sdl_system_settings.h"
#include "sdl_window_system.h"
#include "x11_windows.h"
#include "x11_workarounds.h"

namespace drevanti::linux_platform {

namespace {

std::string hex(unsigned long value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return "0x" + std::string(digits, end);
}

}  // namespace

int runFullScreen(TextRenderer& text, std::uint32_t seed) {
  SdlWindowSystem windows(text);
  Demonstrations demonstrations([&windows] { windows.wake(); });
  WindowOwner owner(windows, demonstrations, seed);
  SdlSystemSettings desktop;
  owner.runFullScreen(desktop);
  return 0;
}

int runHosted(TextRenderer& text, WindowId window, std::uint32_t seed) {
  if (std::string_view(SDL_GetCurrentVideoDriver()) != "x11") {
    throw DisplayError("drawing in a given window needs an X11 display");
  }
  const unsigned long id = window == kRootWindow ? x11RootWindow() : window;
  watchHostWindow(id);
  const auto size = x11WindowSize(id);
  if (!size) throw DisplayError("there is no window " + hex(id) + " to draw in");
  SdlWindowSystem windows(text, id);
  Demonstrations demonstrations([&windows] { windows.wake(); });
  WindowOwner owner(windows, demonstrations, seed);
  owner.runHosted(*size);
  return 0;
}

}  // namespace drevanti::linux_platform

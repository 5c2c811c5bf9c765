#include "settings_form_window.h"

#include <SDL.h>

#include <string>

#include "owned.h"
#include "sdl_session.h"
#include "settings_form_controller.h"
#include "settings_form_view.h"

namespace drevanti::x11 {

int runSettingsForm(linux_shared::TextRenderer& text, StopRequest& stop) {
  const int width = twipsToPixels(frmSteinerConf::kClientWidth);
  const int height = twipsToPixels(frmSteinerConf::kClientHeight);
  const std::string title(frmSteinerConf::kTitle);
  // Not resizable: SDL fixes the minimum and maximum size at the client size.
  const linux_shared::Owned<SDL_Window, SDL_DestroyWindow> window(
      SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                       height, SDL_WINDOW_HIDDEN));
  if (!window) throw DisplayError(std::string("cannot create the window: ") + SDL_GetError());
  const linux_shared::Owned<SDL_Surface, SDL_FreeSurface> backBuffer(
      SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888));
  if (!backBuffer) throw DisplayError(std::string("cannot draw the form: ") + SDL_GetError());

  SettingsFormController controller;
  auto show = [&] {
    drawSettingsForm(backBuffer.get(), controller, text);
    if (SDL_Surface* front = SDL_GetWindowSurface(window.get())) {
      SDL_BlitSurface(backBuffer.get(), nullptr, front, nullptr);
      SDL_UpdateWindowSurface(window.get());
    }
  };
  // A stop is the window system's close request: it unloads the form.
  const StopRequest::Wakeup wakeup(stop, [] {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  });
  // The Load event: the form shows itself.
  SDL_ShowWindow(window.get());
  show();
  while (!controller.form().unloaded() && !stop.raised()) {
    SDL_Event event;
    if (!SDL_WaitEvent(&event)) {
      throw DisplayError(std::string("lost the display: ") + SDL_GetError());
    }
    bool redraw = controller.handle(event);
    while (!controller.form().unloaded() && SDL_PollEvent(&event)) {
      redraw = controller.handle(event) || redraw;
    }
    if (redraw && !controller.form().unloaded()) show();
  }
  // The Unload event ends the program.
  return 0;
}

}  // namespace drevanti::x11

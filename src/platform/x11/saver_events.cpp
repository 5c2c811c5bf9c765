#include "saver_events.h"

namespace drevanti::x11 {

namespace {

int shiftState(Uint16 mod) {
  return ((mod & KMOD_SHIFT) ? 1 : 0) | ((mod & KMOD_CTRL) ? 2 : 0) | ((mod & KMOD_ALT) ? 4 : 0);
}

int buttonState(Uint32 held) {
  return ((held & SDL_BUTTON_LMASK) ? 1 : 0) | ((held & SDL_BUTTON_RMASK) ? 2 : 0) |
         ((held & SDL_BUTTON_MMASK) ? 4 : 0);
}

}  // namespace

SaverInput translateSaverEvent(const SDL_Event& event) {
  SaverInput input;
  using Kind = SaverInput::Kind;
  switch (event.type) {
    case SDL_KEYDOWN:
      input.kind = Kind::KeyDown;
      input.keyCode = static_cast<int>(event.key.keysym.scancode);
      input.shift = shiftState(event.key.keysym.mod);
      break;
    case SDL_MOUSEBUTTONDOWN:
      input.kind = Kind::Click;
      break;
    case SDL_MOUSEMOTION:
      input.kind = Kind::MouseMove;
      input.button = buttonState(event.motion.state);
      input.x = static_cast<float>(event.motion.x);
      input.y = static_cast<float>(event.motion.y);
      break;
    case SDL_QUIT:
      input.kind = Kind::CloseRequest;
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) input.kind = Kind::CloseRequest;
      break;
    default:
      break;
  }
  return input;
}

}  // namespace drevanti::x11

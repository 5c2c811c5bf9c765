#include "saver_events.h"

#include <gtest/gtest.h>

namespace drevanti::x11 {
namespace {

using Kind = SaverInput::Kind;

SDL_Event windowEvent(Uint8 which) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = which;
  return e;
}

TEST(SaverEvents, EveryKeyIsAKeyDownModifiersIncluded) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = SDL_SCANCODE_A;
  e.key.keysym.sym = SDLK_a;
  e.key.keysym.mod = KMOD_LSHIFT | KMOD_RCTRL;
  SaverInput in = translateSaverEvent(e);
  EXPECT_EQ(in.kind, Kind::KeyDown);
  EXPECT_EQ(in.keyCode, SDL_SCANCODE_A);
  EXPECT_EQ(in.shift, 1 + 2);
  e.key.keysym.scancode = SDL_SCANCODE_LSHIFT;
  e.key.keysym.mod = KMOD_NONE;
  EXPECT_EQ(translateSaverEvent(e).kind, Kind::KeyDown);
  // Releasing a key is no new input.
  e.type = SDL_KEYUP;
  EXPECT_EQ(translateSaverEvent(e).kind, Kind::None);
}

TEST(SaverEvents, AnyMouseButtonIsAClick) {
  for (Uint8 button : {SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT}) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = button;
    EXPECT_EQ(translateSaverEvent(e).kind, Kind::Click) << int(button);
  }
  SDL_Event up{};
  up.type = SDL_MOUSEBUTTONUP;
  EXPECT_EQ(translateSaverEvent(up).kind, Kind::None);
}

TEST(SaverEvents, MotionCarriesTheWindowPositionAndHeldButtons) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 641;
  e.motion.y = 360;
  e.motion.xrel = 1;
  e.motion.state = SDL_BUTTON_LMASK | SDL_BUTTON_MMASK;
  const SaverInput in = translateSaverEvent(e);
  EXPECT_EQ(in.kind, Kind::MouseMove);
  EXPECT_EQ(in.x, 641.0f);
  EXPECT_EQ(in.y, 360.0f);
  EXPECT_EQ(in.button, 1 + 4);
}

TEST(SaverEvents, CloseRequestsAndNothingElseOfTheWindowsOwn) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(translateSaverEvent(quit).kind, Kind::CloseRequest);
  EXPECT_EQ(translateSaverEvent(windowEvent(SDL_WINDOWEVENT_CLOSE)).kind, Kind::CloseRequest);
  // Exposure, size, focus, the pointer entering or leaving, a wheel turn: none of them is input.
  EXPECT_EQ(translateSaverEvent(windowEvent(SDL_WINDOWEVENT_EXPOSED)).kind, Kind::None);
  EXPECT_EQ(translateSaverEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED)).kind, Kind::None);
  EXPECT_EQ(translateSaverEvent(windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)).kind, Kind::None);
  EXPECT_EQ(translateSaverEvent(windowEvent(SDL_WINDOWEVENT_ENTER)).kind, Kind::None);
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  EXPECT_EQ(translateSaverEvent(wheel).kind, Kind::None);
}

}  // namespace
}  // namespace drevanti::x11

#include "settings_form_controller.h"

namespace drevanti::x11 {

namespace {

bool isButton(int control) {
  return control >= 0 && frmSteinerConf::kControls[control].kind == FormControl::Kind::Button;
}

}  // namespace

SDL_Rect controlRect(const FormControl& control) {
  return {twipsToPixels(control.left), twipsToPixels(control.top), twipsToPixels(control.width),
          twipsToPixels(control.height)};
}

int controlAt(int x, int y) {
  const SDL_Point point{x, y};
  for (std::size_t i = 0; i < frmSteinerConf::kControls.size(); ++i) {
    const SDL_Rect rect = controlRect(frmSteinerConf::kControls[i]);
    if (SDL_PointInRect(&point, &rect)) return static_cast<int>(i);
  }
  return -1;
}

void SettingsFormController::focus(int button) {
  // The form moves its focus in tab order only: step until the button has it.
  for (std::size_t step = 0; step < frmSteinerConf::kControls.size(); ++step) {
    if (form_.focused() == button) return;
    form_.moveFocus(false);
  }
}

bool SettingsFormController::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      switch (event.key.keysym.sym) {
        case SDLK_TAB:
          form_.moveFocus((event.key.keysym.mod & KMOD_SHIFT) != 0);
          return true;
        case SDLK_SPACE:
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
          form_.click(form_.focused());
          return true;
        default:
          return false;
      }
    case SDL_MOUSEBUTTONDOWN: {
      if (event.button.button != SDL_BUTTON_LEFT) return false;
      const int control = controlAt(event.button.x, event.button.y);
      if (isButton(control)) {
        pressed_ = control;
        pointerOverPressed_ = true;
        focus(control);
        return true;
      }
      if (control >= 0) form_.click(control);  // a label's click
      return false;
    }
    case SDL_MOUSEMOTION: {
      if (pressed_ < 0) return false;
      const bool over = controlAt(event.motion.x, event.motion.y) == pressed_;
      const bool changed = over != pointerOverPressed_;
      pointerOverPressed_ = over;
      return changed;
    }
    case SDL_MOUSEBUTTONUP: {
      if (event.button.button != SDL_BUTTON_LEFT || pressed_ < 0) return false;
      const int released = pressed_;
      pressed_ = -1;
      pointerOverPressed_ = false;
      if (controlAt(event.button.x, event.button.y) == released) form_.click(released);
      return true;
    }
    case SDL_QUIT:
      form_.onCloseRequest();
      return true;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        form_.onCloseRequest();
        return true;
      }
      return event.window.event == SDL_WINDOWEVENT_EXPOSED;
    default:
      return false;
  }
}

}  // namespace drevanti::x11

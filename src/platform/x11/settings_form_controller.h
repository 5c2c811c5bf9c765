// frmSteinerConf's input on SDL: which control lies under the pointer, and what keys, mouse
// buttons and the close request do to the form. Pure: it works on SDL events given to it.
#pragma once

#include <SDL.h>

#include "app/frm_steiner_conf.h"

namespace drevanti::x11 {

// A control's rectangle in client pixels.
SDL_Rect controlRect(const FormControl& control);
// The index into frmSteinerConf::kControls of the control at this client pixel, or -1.
int controlAt(int x, int y);

class SettingsFormController {
 public:
  // Returns true when the form must be drawn again (focus or pressed look changed).
  // Tab and Shift+Tab move the focus; Space and Enter press the focused button. A button is
  // pressed by the left mouse button and clicked when released over it (released elsewhere, it
  // only springs back); pressing it gives it the focus. A left click on a label is the label's
  // click. The close request unloads the form.
  bool handle(const SDL_Event& event);

  const frmSteinerConf& form() const { return form_; }
  // The button held down by the mouse and drawn sunken (the pointer is over it), or -1.
  int sunken() const { return pressed_ >= 0 && pointerOverPressed_ ? pressed_ : -1; }

 private:
  void focus(int button);
  frmSteinerConf form_;
  int pressed_ = -1;
  bool pointerOverPressed_ = false;
};

}  // namespace drevanti::x11

// The main window's input handlers. Each only asks for a stop: a click, any key, the pointer
// moved from where it was first seen, or the window system's request to close.
#pragma once

#include "app/saver_window.h"

namespace drevanti {

// The module's state: 0 while the saver runs, -1 once a stop was asked for; never set back.
struct mdlSteiner {
  Integer quitFlag = 0;
};

class StopOnInput final : public FormEvents {
 public:
  void onClick() override;
  void onKeyDown(Integer keyCode, Integer shift) override;
  void onMouseMove(Integer button, Integer shift, float x, float y) override;
  void onCloseRequest() override;

  bool stopRequested() const { return module_.quitFlag == -1; }
  Integer quitFlag() const { return module_.quitFlag; }

 private:
  mdlSteiner module_;
  // The first pointer position seen; (0, 0) means not seen yet.
  Integer firstMouseX_ = 0, firstMouseY_ = 0;
};

}  // namespace drevanti

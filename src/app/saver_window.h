// The window as a demonstration (frmSteiner) sees it: a canvas, a present, its clock and size, and
// the input and requests that reach it between frames. The core implements it (HostedWindow over
// a backend's frames; the headless tool's and the tests' windows).
#pragma once

#include <chrono>

#include "render/canvas.h"
#include "state/screen_size.h"
#include "state/solver_state.h"

namespace drevanti {

using SaverClock = std::chrono::steady_clock;

// The main window's handlers, which the window calls only while it dispatches input.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void onClick() = 0;
  virtual void onKeyDown(Integer keyCode, Integer shift) = 0;
  // Pointer position in pixels of the window.
  virtual void onMouseMove(Integer button, Integer shift, float x, float y) = 0;
  // The window system asks the program to end (the session ends, the user interrupts it): the
  // saver stops as if the user had touched a key.
  virtual void onCloseRequest() = 0;
};

class SaverWindow {
 public:
  virtual ~SaverWindow() = default;
  virtual void show() = 0;
  virtual void hide() = 0;
  // Destroys the window.
  virtual void unload() = 0;
  // What is drawn shows only once present is called, as one complete frame.
  virtual Canvas& canvas() = 0;
  virtual void present() = 0;
  // Dispatches the pending input to the handlers and returns.
  virtual void doEvents(FormEvents& handlers) = 0;
  // Sleeps until input arrives or the timeout passes, dispatching whatever arrived.
  virtual void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) = 0;
  virtual SaverClock::time_point now() const = 0;
  // The window's size in pixels: the screen the demonstration lays its instances out on.
  virtual ScreenSize screenSize() const = 0;
};

}  // namespace drevanti

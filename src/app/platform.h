// What a window system gives the saver: a window with its drawing surface, input, clock and size,
// and the two desktop settings the saver touches. One implementation per backend.
#pragma once

#include <chrono>
#include <optional>

#include "app/screen_size.h"
#include "app/solver_state.h"
#include "render/canvas.h"

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

class SystemSettings {
 public:
  virtual ~SystemSettings() = default;
  virtual void showCursor(bool visible) = 0;
  // Whether the desktop's screen saver may start (on Windows SPI_GETSCREENSAVEACTIVE); nothing
  // when the system cannot tell.
  virtual std::optional<bool> screenSaverActive() = 0;
  virtual void setScreenSaverActive(bool active) = 0;
};

// The desktop as the full-screen saver takes it: the pointer hidden and the desktop's screen saver
// allowed to start; both given back as they were when the guard goes, on every way out. A
// screen-saver setting that cannot be read is neither changed nor written back.
class DesktopGuard {
 public:
  explicit DesktopGuard(SystemSettings& system) : system_(system) {
    before_ = system_.screenSaverActive();
    if (before_) system_.setScreenSaverActive(true);
    system_.showCursor(false);
  }
  ~DesktopGuard() {
    if (before_) system_.setScreenSaverActive(*before_);
    system_.showCursor(true);
  }
  DesktopGuard(const DesktopGuard&) = delete;
  DesktopGuard& operator=(const DesktopGuard&) = delete;

 private:
  SystemSettings& system_;
  std::optional<bool> before_;
};

}  // namespace drevanti

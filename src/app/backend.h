// Everything a backend implements, and everything it is handed. A backend is a folder under
// src/platform with:
//   - a WindowSystem: opens and closes windows, gives one the keyboard, says where the monitors and
//     the pointer are, and in dispatch sleeps on its window system's connection and translates what
//     arrives into the WindowEvents calls below;
//   - a FrameTarget per window: a Canvas (render/canvas.h: fills, one-pixel lines and circles,
//     text at the window's scale) the size of the window, and the step that shows it (sending only
//     the rectangles it is told changed);
//   - SystemSettings: the pointer's visibility and the desktop's screen-saver switch;
//   - a main that makes these for the way it was launched (app/launch.h) and calls runSaver
//     (app/run_saver.h), which runs the window owner over them.
// Nothing else is the backend's: which monitors get a window, which window has the keyboard, what
// input, a new size, an exposure, a stop request or a vanished host window mean, and how frames
// pass between threads are decided once, in the core (app/window_owner.h).
//
// Threads. Each window's demonstration runs on a thread of its own and draws its frames on its
// FrameTarget's canvas; it also shows them (FrameTarget::present), on its own thread, so that a
// frame costs the program's main thread nothing. Every other call below comes on the main thread
// (the one that runs runSaver), except WindowSystem::wake. A present puts the frame on the screen
// before it returns; where the canvas may not be drawn on again until the window system has
// answered (the compositor still reads the buffer to draw on next), present says so, and before
// its next frame the demonstration waits for finishPresent, which the owner calls on the main
// thread after each dispatch, or until the owner serves frames no more (it is stopping, or the
// host's window is gone). A resize, rare, is carried out on the main thread while the
// demonstration waits. (On the browser page the one demonstration runs on the main thread
// itself.)
#pragma once

#include <optional>
#include <vector>

#include "render/canvas.h"
#include "state/screen_size.h"

namespace drevanti {

// Units. Monitors, and the pointer on the desktop, are in the one space the window system lays its
// monitors out in: Wayland's logical layout (xdg-output), X11's root window, Windows' desktop as a
// per-monitor-aware program sees it (device pixels on X11 and Windows, logical ones on Wayland). A
// window's own size, drawing and input are in that window's device pixels. A backend converts
// what its window system says into these; the owner alone converts between the two.

// A monitor: its rectangle in the window system's layout space, its size in its own device
// pixels, and how many of those make one of the scene's pixels (a 96th of an inch as the system
// reckons it): its demonstration runs on the logical size (logicalSize), drawn at the monitor's
// own density (render/scaled_canvas.h). Where the layout space is in device pixels (X11, Windows,
// a host's window) the device size is the rectangle's, as it is unless given.
struct Monitor {
  int x = 0, y = 0, width = 0, height = 0;
  double scale = 1;
  ScreenSize pixels{width, height};
  friend bool operator==(const Monitor&, const Monitor&) = default;
};

// A point in the window system's layout space.
struct DesktopPoint {
  float x = 0, y = 0;
};

// The user's input and the window system's requests, as every backend translates them.
struct SaverInput {
  enum class Kind {
    None,
    KeyDown,       // any key, modifiers alone included
    Click,         // any mouse button pressed
    MouseMove,     // the pointer at (x, y)
    CloseRequest,  // the window system asks the program to end
  };
  Kind kind = Kind::None;
  int keyCode = 0;     // KeyDown: the window system's code for the key
  int shift = 0;       // 1 Shift, 2 Ctrl, 4 Alt, summed
  int button = 0;      // MouseMove: the buttons held, 1 left, 2 right, 4 middle, summed
  float x = 0, y = 0;  // MouseMove: device pixels of the window the input came to
  friend bool operator==(const SaverInput&, const SaverInput&) = default;
};

// The owner's name for one of its windows, given when it asks the backend to open it.
using WindowKey = int;
// Events that belong to no window of the owner's (the session's end, a key on a surface that is
// not known).
inline constexpr WindowKey kNoWindow = -1;

// One window's frames.
class FrameTarget {
 public:
  virtual ~FrameTarget() = default;
  // The canvas the next frame is drawn on, the window's size in its device pixels. The
  // demonstration's thread; a backend may hand out another canvas after each present or resize.
  virtual Canvas& canvas() = 0;
  // Which frame the canvas holds when it is handed out: the one presented last (1), the one
  // before it (2, buffers taking turns), or none known (0: the canvas is new, or another's).
  virtual int canvasAge() { return 0; }
  // The demonstration's thread: puts the frame drawn on the canvas on the screen, whole; it
  // differs from the frame presented before only in the rectangles changed, which are all that
  // need sending (all of the window for a frame shown again, or on a new canvas). True
  // when the canvas may be drawn on again at once; false when only once the window system has
  // answered, which then wakes the main thread (an event on its connection, or
  // WindowSystem::wake): before its next frame the demonstration calls finishPresent, and if that
  // is not yet true, waits while the owner calls it on the main thread after each dispatch.
  virtual bool present(const std::vector<Rect>& changed) = 0;
  // True once the canvas may be drawn on again. Called with the frames' lock held (FrameHandOver),
  // on either thread.
  virtual bool finishPresent() { return true; }
  // The main thread, while the demonstration waits: makes the canvas the given size (device
  // pixels), its text scale times the default font's size (the window's scale, as
  // WindowSystem::open's place has it); what it shows is left to the next frame.
  virtual void resize(ScreenSize size, double scale) = 0;
};

// What the backend tells the owner, from inside WindowSystem::dispatch.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window's picture was lost (uncovered, or shown for the first time).
  virtual void exposed(WindowKey window) = 0;
  // The window's new size, in device pixels.
  virtual void resized(WindowKey window, ScreenSize size) = 0;
  // The user's input in the window, or a close request (for any window, or kNoWindow).
  virtual void input(WindowKey window, const SaverInput& input) = 0;
  // The monitors may have changed: the whole list as it is now. Told as often as the window
  // system hints at a change; the owner compares it with the list it has.
  virtual void monitorsChanged(const std::vector<Monitor>& now) = 0;
  // The host's window is gone (hosted): nothing can be shown any more.
  virtual void hostWindowGone() = 0;
};

// Lends a dispatch's events to the slot its callbacks report through, and empties the slot when
// the dispatch returns, however it returns: a callback outside a dispatch finds nobody to tell.
class LentEvents {
 public:
  LentEvents(WindowEvents*& slot, WindowEvents& events) : slot_(slot) { slot_ = &events; }
  ~LentEvents() { slot_ = nullptr; }
  LentEvents(const LentEvents&) = delete;
  LentEvents& operator=(const LentEvents&) = delete;

 private:
  WindowEvents*& slot_;
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Full screen: the monitors as the window system reports them now, in its order. Hosted: the
  // host's window, as one monitor at (0, 0) of its size.
  virtual std::vector<Monitor> monitors() = 0;
  // Full screen: opens a window covering place (its rectangle in the layout space, of
  // place.pixels device pixels), above everything, and shows it. Hosted: takes the host's window
  // (place has its size). The window's frames go to the target returned (its canvas's text at
  // place.scale), which stays valid until close(window). Throws when it cannot.
  virtual FrameTarget& open(WindowKey window, const Monitor& place) = 0;
  // Full screen: gives the window the keyboard (where the window system leaves that to its
  // clients).
  virtual void focus(WindowKey window) = 0;
  // Destroys the window (a host's window is only let go); its demonstration has ended.
  virtual void close(WindowKey window) = 0;
  // Where the pointer is in the layout space, when the window system can tell.
  virtual std::optional<DesktopPoint> pointer() = 0;
  // Sleeps until the window system has something to say or wake() is called (also a call made
  // before the sleep began), then passes every pending event on and returns. Sleeps as long as
  // that takes: no timeout, no periodic wake-up.
  virtual void dispatch(WindowEvents& events) = 0;
  // Ends dispatch's sleep, or the next one. From any thread.
  virtual void wake() = 0;
};

// The two desktop settings the full-screen saver touches.
class SystemSettings {
 public:
  virtual ~SystemSettings() = default;
  virtual void showCursor(bool visible) = 0;
  // Whether the desktop's screen saver may start (on Windows SPI_GETSCREENSAVEACTIVE); nothing
  // when the system cannot tell.
  virtual std::optional<bool> screenSaverActive() = 0;
  virtual void setScreenSaverActive(bool active) = 0;
};

}  // namespace drevanti

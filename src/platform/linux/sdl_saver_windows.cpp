#include "sdl_saver_windows.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/demonstrations.h"
#include "app/monitor_layout.h"
#include "app/saver_input.h"
#include "app/stop_on_input.h"
#include "quit_signals.h"
#include "saver_events.h"
#include "sdl_frame.h"
#include "sdl_session.h"
#include "sdl_system_settings.h"
#include "x11_windows.h"
#include "x11_workarounds.h"

namespace drevanti::linux_platform {

namespace {

constexpr const char* kTitle = "シュタイナー問題";
// The longest the main thread sleeps between looks at signals and at the host's window: a hosted
// saver ends within 200 ms of SIGTERM.
constexpr int kPollMs = 50;

// How the main thread sleeps until it has something to do. In full screen it sleeps in SDL's own
// wait, which the user's input ends at once, and is woken by an SDL event. SDL wakes that wait
// with an X message to one of its windows, though, and such a message to a window someone else
// made goes to its maker: a hosted saver would send its host messages and never be woken itself.
// So a hosted saver sleeps in a wait of its own and looks at SDL's events after it.
class MainThreadWait {
 public:
  explicit MainThreadWait(bool inSdl) : inSdl_(inSdl) {}

  // From any thread.
  void wake() {
    if (inSdl_) {
      SDL_Event wake{};
      wake.type = wakeEvent();
      SDL_PushEvent(&wake);
      return;
    }
    {
      const std::lock_guard lock(mutex_);
      woken_ = true;
    }
    wokenCondition_.notify_all();
  }

  // Sleeps until woken, an SDL event arrives (full screen) or the time is up; true when it took
  // an event.
  bool wait(SDL_Event& event, int milliseconds) {
    if (inSdl_) return SDL_WaitEventTimeout(&event, milliseconds) != 0;
    {
      std::unique_lock lock(mutex_);
      wokenCondition_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                               [this] { return woken_; });
      woken_ = false;
    }
    return SDL_PollEvent(&event) != 0;
  }

 private:
  static Uint32 wakeEvent() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
  }
  bool inSdl_;
  std::mutex mutex_;
  std::condition_variable wokenCondition_;
  bool woken_ = false;
};

std::string hex(unsigned long value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return "0x" + std::string(digits, end);
}

bool onX11() {
  return std::string_view(SDL_GetCurrentVideoDriver()) == "x11";
}

// The windows of one run, their frames and the demonstrations' views of them.
class WindowSet {
 public:
  WindowSet(TextRenderer& text, MainThreadWait& wait) : text_(text), wait_(wait) {}
  ~WindowSet() {
    // A foreign window stays: SDL only lets go of it.
    for (Entry& e : entries_) SDL_DestroyWindow(e.window);
  }
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  // Takes the window over; place is where it lies on the desktop.
  void add(SDL_Window* window, Monitor place) {
    if (!window) throw DisplayError(std::string("cannot create a window: ") + SDL_GetError());
    entries_.push_back({window, place, nullptr, nullptr});
    // An 8-bit display, for one, offers no surface the saver can draw on.
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || surface->format->BytesPerPixel < 2) {
      throw DisplayError(std::string("cannot draw on this display: ") +
                         (surface ? "8 bits a pixel" : SDL_GetError()));
    }
    Entry& e = entries_.back();
    e.frame = std::make_unique<SdlFrame>(window, surface, text_, [this] { wait_.wake(); });
    e.hosted = std::make_unique<HostedWindow>(*e.frame, ScreenSize{surface->w, surface->h});
  }

  struct Entry {
    SDL_Window* window;
    Monitor place;
    std::unique_ptr<SdlFrame> frame;
    std::unique_ptr<HostedWindow> hosted;
  };
  std::vector<Entry>& entries() { return entries_; }
  Entry* find(Uint32 windowId) {
    for (Entry& e : entries_) {
      if (SDL_GetWindowID(e.window) == windowId) return &e;
    }
    return nullptr;
  }
  // The main thread serves the frames no more.
  void abandonFrames() {
    for (Entry& e : entries_) e.frame->abandon();
  }
  std::vector<HostedWindow*> hosted() {
    std::vector<HostedWindow*> all;
    for (Entry& e : entries_) all.push_back(e.hosted.get());
    return all;
  }

 private:
  TextRenderer& text_;
  MainThreadWait& wait_;
  std::vector<Entry> entries_;
};

// Runs one demonstration per window until all have ended. input judges the user's input (full
// screen); hosted runs pass none and name the host's window instead, whose end ends them.
void runDemonstrations(WindowSet& set, MainThreadWait& wait, std::uint32_t seed, StopOnInput* input,
                       unsigned long hostWindow) {
  Demonstrations demonstrations(set.hosted(), seed, [&wait] { wait.wake(); });
  // Should this thread leave early (an exception), no demonstration may wait for it to show a
  // frame: that happens before the demonstrations are joined.
  struct AbandonFrames {
    WindowSet& set;
    ~AbandonFrames() { set.abandonFrames(); }
  } abandon{set};

  const auto handle = [&](const SDL_Event& event) {
    if (event.type == SDL_WINDOWEVENT) {
      WindowSet::Entry* e = set.find(event.window.windowID);
      if (!e) return;
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        // The demonstration may be drawing the next frame into the window's surface: it shows
        // the surface again between frames.
        e->hosted->requestRefresh();
      } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        e->hosted->requestResize({event.window.data1, event.window.data2});
      }
    }
    if (hostWindow != 0 && x11WindowDestroyed(event, hostWindow)) demonstrations.closeAll();
    SaverInput in = translateSaverEvent(event);
    if (in.kind == SaverInput::Kind::CloseRequest) {
      demonstrations.closeAll();
    } else if (input && in.kind != SaverInput::Kind::None) {
      if (in.kind == SaverInput::Kind::MouseMove) {
        // Positions on the desktop, so that one rule holds across the monitors.
        if (const WindowSet::Entry* e = set.find(event.motion.windowID)) {
          in.x += static_cast<float>(e->place.x);
          in.y += static_cast<float>(e->place.y);
        }
      }
      deliver(in, *input);
      if (input->stopRequested()) demonstrations.closeAll();
    }
  };

  const auto hostGone = [&] { return hostWindow != 0 && hostWindowGone(); };
  while (demonstrations.running()) {
    if (QuitSignals::received()) demonstrations.closeAll();
    if (hostGone()) {
      // SDL can do nothing more with the window but fail: the demonstrations end without it.
      set.abandonFrames();
      demonstrations.closeAll();
      break;
    }
    SDL_Event event;
    if (wait.wait(event, kPollMs)) {
      do handle(event);
      while (!hostGone() && SDL_PollEvent(&event));
    }
    for (auto& e : set.entries()) e.frame->serve();
  }
  demonstrations.finish();
}

std::vector<Monitor> monitors() {
  if (onX11()) {
    if (const auto screen = x11Screen()) return monitorsToCover(screen->monitors, screen->whole);
  }
  std::vector<Monitor> displays;
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(i, &bounds) == 0) {
      displays.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
    }
  }
  if (displays.empty()) throw DisplayError(std::string("no monitor found: ") + SDL_GetError());
  return monitorsToCover(displays, displays.front());
}

}  // namespace

int runFullScreen(TextRenderer& text, std::uint32_t seed) {
  const std::vector<Monitor> covered = monitors();
  const bool x11 = onX11();
  // On X11 the windows are placed on the monitors themselves, past any window manager, as
  // screen savers' windows are; Wayland offers full screen on a chosen output instead.
  if (x11) SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, "1");
  SdlSystemSettings system;
  // Declared before the windows, so that they are gone before the pointer comes back.
  std::optional<DesktopGuard> desktop;
  MainThreadWait wait(true);
  WindowSet set(text, wait);
  for (std::size_t i = 0; i < covered.size(); ++i) {
    const Monitor& m = covered[i];
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    const int display = static_cast<int>(i);
    set.add(x11 ? SDL_CreateWindow(kTitle, m.x, m.y, m.width, m.height, flags)
                : SDL_CreateWindow(kTitle, SDL_WINDOWPOS_UNDEFINED_DISPLAY(display),
                                   SDL_WINDOWPOS_UNDEFINED_DISPLAY(display), m.width, m.height,
                                   flags | SDL_WINDOW_FULLSCREEN_DESKTOP),
            m);
  }
  desktop.emplace(system);
  for (auto& e : set.entries()) {
    SDL_ShowWindow(e.window);
    SDL_RaiseWindow(e.window);
  }
  // Without a window manager nobody else gives a window the keyboard.
  SDL_SetWindowInputFocus(set.entries().front().window);
  StopOnInput input;
  runDemonstrations(set, wait, seed, &input, 0);
  return 0;
}

int runHosted(TextRenderer& text, WindowId window, std::uint32_t seed) {
  if (!onX11()) throw DisplayError("drawing in a given window needs an X11 display");
  const unsigned long id = window == kRootWindow ? x11RootWindow() : window;
  watchHostWindow(id);
  if (!x11WindowSize(id)) throw DisplayError("there is no window " + hex(id) + " to draw in");
  MainThreadWait wait(false);
  WindowSet set(text, wait);
  set.add(SDL_CreateWindowFrom(reinterpret_cast<const void*>(id)), {});
  x11FollowForeignWindow(set.entries().front().window);
  runDemonstrations(set, wait, seed, nullptr, id);
  return 0;
}

}  // namespace drevanti::linux_platform

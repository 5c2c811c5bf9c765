#include "sdl_window_system.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "quit_signals.h"
#include "saver_events.h"
#include "sdl_session.h"
#include "x11_windows.h"
#include "x11_workarounds.h"

namespace drevanti::linux_platform {

namespace {

constexpr const char* kTitle = "シュタイナー問題";

bool onX11() {
  return std::string_view(SDL_GetCurrentVideoDriver()) == "x11";
}

// The window an event came to, 0 when it names none.
Uint32 windowIdOf(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      return event.window.windowID;
    case SDL_KEYDOWN:
      return event.key.windowID;
    case SDL_MOUSEBUTTONDOWN:
      return event.button.windowID;
    case SDL_MOUSEMOTION:
      return event.motion.windowID;
    default:
      return 0;
  }
}

}  // namespace

SdlWindowSystem::SdlWindowSystem(TextRenderer& text) : text_(text), wait_(true) {
  // A Wayland compositor gets the saver's own Wayland backend; SDL draws full screen on X11 only.
  if (!onX11()) throw DisplayError("full screen needs an X11 display or a Wayland compositor");
  desktop_ = std::make_unique<X11Desktop>();
  // Every window, those of monitors added later too, is placed on its monitor past any window
  // manager.
  SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, "1");
}

SdlWindowSystem::SdlWindowSystem(TextRenderer& text, unsigned long hostWindow)
    : text_(text), hostWindow_(hostWindow), wait_(false) {}

SdlWindowSystem::~SdlWindowSystem() {
  while (!windows_.empty()) close(windows_.back().key);
}

MonitorReport SdlWindowSystem::monitors() {
  reported_ = desktop_->monitors();
  return reported_;
}

SDL_Window* SdlWindowSystem::create(const Monitor& place) {
  if (hostWindow_ != 0) return SDL_CreateWindowFrom(reinterpret_cast<const void*>(hostWindow_));
  const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
  return SDL_CreateWindow(kTitle, place.x, place.y, place.width, place.height, flags);
}

FrameTarget& SdlWindowSystem::open(WindowKey key, const Monitor& place) {
  SDL_Window* window = create(place);
  if (!window) throw DisplayError(std::string("cannot create a window: ") + SDL_GetError());
  // An 8-bit display, for one, offers no surface the saver can draw on.
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (!surface || surface->format->BytesPerPixel < 2) {
    const std::string why = surface ? "8 bits a pixel" : SDL_GetError();
    SDL_DestroyWindow(window);
    throw DisplayError("cannot draw on this display: " + why);
  }
  windows_.push_back(
      {key, window, std::make_unique<SdlFrame>(window, surface, text_, [this] { wake(); })});
  if (hostWindow_ != 0) {
    x11FollowForeignWindow(window);
    return *windows_.back().frame;
  }
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  // Showing it gave it the keyboard, where there is no window manager; the focus is given to it
  // here in any case, so that the saver always knows which window has it.
  SDL_SetWindowInputFocus(window);
  focused_ = key;
  return *windows_.back().frame;
}

void SdlWindowSystem::close(WindowKey key) {
  const auto w =
      std::find_if(windows_.begin(), windows_.end(), [&](const Window& w) { return w.key == key; });
  if (w == windows_.end()) return;
  if (focused_ == key) {
    // The keyboard goes to a window that stays: a key must still reach the saver.
    focused_.reset();
    for (const Window& other : windows_) {
      if (other.key == key) continue;
      SDL_SetWindowInputFocus(other.window);
      focused_ = other.key;
      break;
    }
  }
  SDL_Window* window = w->window;
  windows_.erase(w);
  // A host's window stays: SDL only lets go of it.
  SDL_DestroyWindow(window);
}

std::optional<DesktopPoint> SdlWindowSystem::pointer() {
  // A hosted saver has no say about the pointer.
  return desktop_ ? desktop_->pointer() : std::nullopt;
}

void SdlWindowSystem::stopServing() {
  serving_ = false;
  for (Window& w : windows_) w.frame->abandon();
}

bool SdlWindowSystem::hostLost() const {
  return hostWindow_ != 0 && hostWindowGone();
}

WindowKey SdlWindowSystem::keyOf(Uint32 windowId) const {
  for (const Window& w : windows_) {
    if (SDL_GetWindowID(w.window) == windowId) return w.key;
  }
  return kNoWindow;
}

void SdlWindowSystem::dispatch(WindowEvents& events, std::chrono::milliseconds timeout) {
  if (QuitSignals::received()) events.input(kNoWindow, {SaverInput::Kind::CloseRequest});
  if (!serving_) {
    wait_.sleep(timeout);
    return;
  }
  SDL_Event event;
  for (bool took = wait_.wait(event, timeout); took && serving_; took = SDL_PollEvent(&event)) {
    if (hostLost()) break;
    translate(event, events);
  }
  if (hostLost()) events.hostWindowGone();
  if (!serving_) return;
  followMonitors(events);
  for (Window& w : windows_) w.frame->serve();
}

void SdlWindowSystem::translate(const SDL_Event& event, WindowEvents& events) {
  const WindowKey key = keyOf(windowIdOf(event));
  if (event.type == SDL_WINDOWEVENT) {
    if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
      events.exposed(key);
    } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      events.resized(key, {event.window.data1, event.window.data2});
    }
  }
  if (hostWindow_ != 0 && x11WindowDestroyed(event, hostWindow_)) {
    events.hostWindowGone();
    return;
  }
  const SaverInput input = translateSaverEvent(event);
  if (input.kind != SaverInput::Kind::None) events.input(key, input);
}

void SdlWindowSystem::followMonitors(WindowEvents& events) {
  if (!desktop_ || !desktop_->changed()) return;
  MonitorReport now = desktop_->monitors();
  if (now == reported_) return;
  reported_ = std::move(now);
  events.monitorsChanged(reported_);
}

}  // namespace drevanti::linux_platform

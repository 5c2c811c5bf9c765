#include "sdl_window_system.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include "saver_events.h"
#include "sdl_session.h"
#include "x11_windows.h"
#include "x11_workarounds.h"

namespace drevanti::x11 {

namespace {

constexpr const char* kTitle = "シュタイナー問題";

bool onX11() {
  return std::string_view(SDL_GetCurrentVideoDriver()) == "x11";
}

std::string hex(unsigned long value) {
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
  return "0x" + std::string(digits, end);
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

SdlWindowSystem::SdlWindowSystem(linux_shared::TextRenderer& text) : text_(text) {
  // A Wayland compositor gets the saver's own Wayland backend; SDL draws full screen on X11 only.
  if (!onX11()) throw DisplayError("full screen needs an X11 display or a Wayland compositor");
  desktop_ = std::make_unique<X11Desktop>();
  // Every window, those of monitors added later too, is placed on its monitor past any window
  // manager.
  SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, "1");
}

SdlWindowSystem::SdlWindowSystem(linux_shared::TextRenderer& text, WindowId host)
    : text_(text), hostWindow_(host == kRootWindow ? x11RootWindow() : host) {
  if (!onX11()) throw DisplayError("drawing in a given window needs an X11 display");
  watchHostWindow(hostWindow_);
  const auto size = x11WindowSize(hostWindow_);
  if (!size) throw DisplayError("there is no window " + hex(hostWindow_) + " to draw in");
  hostSize_ = *size;
}

SdlWindowSystem::~SdlWindowSystem() {
  while (!windows_.empty()) close(windows_.back().key);
}

std::vector<Monitor> SdlWindowSystem::monitors() {
  if (hostWindow_ != 0) return {{0, 0, hostSize_.width, hostSize_.height, x11DesktopScale()}};
  return desktop_->monitors();
}

SDL_Window* SdlWindowSystem::create(const Monitor& place) {
  if (hostWindow_ != 0) return SDL_CreateWindowFrom(reinterpret_cast<const void*>(hostWindow_));
  const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
  return SDL_CreateWindow(kTitle, place.x, place.y, place.width, place.height, flags);
}

FrameTarget& SdlWindowSystem::open(WindowKey key, const Monitor& place) {
  SDL_Window* window = create(place);
  if (!window) throw DisplayError(std::string("cannot create a window: ") + SDL_GetError());
  std::unique_ptr<X11Frame> frame;
  try {
    if (!sdl_) sdl_.emplace(window);
    frame = std::make_unique<X11Frame>(hostWindow_ != 0 ? hostWindow_ : x11WindowOf(window),
                                       place.pixels, place.scale, text_);
  } catch (...) {
    SDL_DestroyWindow(window);
    throw;
  }
  windows_.push_back({key, window, std::move(frame)});
  if (hostWindow_ != 0) {
    x11FollowForeignWindow(window);
  } else {
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
  }
  return *windows_.back().frame;
}

void SdlWindowSystem::focus(WindowKey key) {
  for (const Window& w : windows_) {
    if (w.key == key) SDL_SetWindowInputFocus(w.window);
  }
}

void SdlWindowSystem::close(WindowKey key) {
  const auto w =
      std::find_if(windows_.begin(), windows_.end(), [&](const Window& w) { return w.key == key; });
  if (w == windows_.end()) return;
  SDL_Window* window = w->window;
  windows_.erase(w);
  // A host's window stays: SDL only lets go of it.
  SDL_DestroyWindow(window);
}

std::optional<DesktopPoint> SdlWindowSystem::pointer() {
  // A hosted saver has no say about the pointer.
  return desktop_ ? desktop_->pointer() : std::nullopt;
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

bool SdlWindowSystem::eventsWaiting() {
  // SDL's calls since the last dispatch (showing a frame, a window) may have read events off the
  // connections into Xlib's queues, and QueuedAfterFlush also sends what waits to be sent.
  return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) || (sdl_ && sdl_->queued()) ||
         (desktop_ && desktop_->pending());
}

void SdlWindowSystem::dispatch(WindowEvents& events) {
  // Once the host's window is gone nothing is asked of SDL any more: only a wake-up ends a sleep.
  if (hostGone_ || !sdl_) {
    sleep_.sleep({});
    return;
  }
  std::vector<pollfd> connections{{sdl_->socket(), POLLIN, 0}};
  if (desktop_) connections.push_back({desktop_->connection(), POLLIN, 0});
  sleep_.sleep(connections, !eventsWaiting());
  SDL_Event event;
  while (!hostGone_ && !hostLost() && SDL_PollEvent(&event)) translate(event, events);
  if (hostLost() && !hostGone_) {
    hostGone_ = true;
    events.hostWindowGone();
  }
  if (desktop_ && desktop_->changed()) events.monitorsChanged(desktop_->monitors());
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
    hostGone_ = true;
    events.hostWindowGone();
    return;
  }
  const SaverInput input = translateSaverEvent(event);
  if (input.kind != SaverInput::Kind::None) events.input(key, input);
}

}  // namespace drevanti::x11

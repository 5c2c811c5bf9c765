#include "app/window_owner.h"

#include <algorithm>
#include <stdexcept>

#include "app/desktop_guard.h"
#include "app/monitor_layout.h"
#include "app/saver_input.h"

namespace drevanti {

WindowOwner::WindowOwner(WindowSystem& system, DemonstrationRunner& demonstrations,
                         StopRequest& stop, std::uint32_t seed)
    : system_(system), demonstrations_(demonstrations), stop_(stop), seed_(seed) {}

void WindowOwner::runFullScreen(SystemSettings& desktop) {
  fullScreen_ = true;
  // Declared before the windows open, so that they are all closed before it gives the desktop back.
  std::optional<DesktopGuard> guard;
  run([&] {
    reported_ = system_.monitors();
    const std::vector<Monitor> monitors = monitorsToCover(reported_);
    if (monitors.empty()) throw std::runtime_error("the window system reports no monitor");
    cover(monitors);
    guard.emplace(desktop);
    if (const auto pointer = system_.pointer()) {
      stopOnInput_.onMouseMove(0, 0, pointer->x, pointer->y);
    }
  });
}

void WindowOwner::runHosted() {
  run([&] {
    const std::vector<Monitor> host = system_.monitors();
    if (host.empty()) throw std::logic_error("a hosted window system reports no host window");
    open(host.front());
  });
}

template <class Start>
void WindowOwner::run(Start start) {
  const StopRequest::Wakeup wakeup(stop_, [this] { system_.wake(); });
  try {
    start();
    while (demonstrations_.running()) {
      if (stop_.raised() && !stopping_) closeAll();
      system_.dispatch(*this);
      for (Window& w : windows_) w.hosted->serveFrame();
      closeEndedWindows();
    }
  } catch (...) {
    closeAll();
    try {
      demonstrations_.finish();
    } catch (...) {
      // The main thread's own failure is the one to report.
    }
    closeEndedWindows();
    throw;
  }
  closeEndedWindows();
  demonstrations_.finish();
}

void WindowOwner::open(const Monitor& place) {
  const WindowKey key = nextKey_++;
  FrameTarget& frames = system_.open(key, place);
  windows_.push_back({key, place,
                      std::make_unique<HostedWindow>(
                          frames, place.pixels, [this] { system_.wake(); }, place.scale)});
  demonstrations_.start(*windows_.back().hosted, seed_ + static_cast<std::uint32_t>(key));
  if (!fullScreen_) return;
  // The newest window takes the keyboard: without a window manager nobody else gives it one.
  system_.focus(key);
  focused_ = key;
}

void WindowOwner::cover(const std::vector<Monitor>& monitors) {
  const auto covered = [this](const Monitor& m) {
    return std::any_of(windows_.begin(), windows_.end(),
                       [&](const Window& w) { return !w.retired && w.place == m; });
  };
  // The same rectangle of the layout space: the same monitor, at another density.
  const auto rescaled = [&](const Monitor& m) {
    const auto found = std::find_if(windows_.begin(), windows_.end(), [&](const Window& w) {
      const Monitor& p = w.place;
      return !w.retired && p.x == m.x && p.y == m.y && p.width == m.width && p.height == m.height;
    });
    return found == windows_.end() ? nullptr : &*found;
  };
  // New monitors get their windows before the old ones' go, so that a monitor that only changed
  // its size or place never shows the desktop in between. One that changed its scale alone keeps
  // its window, which takes a new instance at the new logical size.
  for (const Monitor& m : monitors) {
    if (covered(m)) continue;
    if (Window* w = rescaled(m)) {
      w->place = m;
      w->hosted->requestResize(m.pixels, m.scale);
    } else {
      open(m);
    }
  }
  for (Window& w : windows_) {
    if (w.retired || std::find(monitors.begin(), monitors.end(), w.place) != monitors.end()) {
      continue;
    }
    w.retired = true;
    demonstrations_.retire(*w.hosted);
  }
  keepFocus();
}

void WindowOwner::keepFocus() {
  if (!focused_ || stopping_ || find(*focused_)) return;
  // A key must still reach the saver.
  focused_.reset();
  const auto staying =
      std::find_if(windows_.begin(), windows_.end(), [](const Window& w) { return !w.retired; });
  if (staying == windows_.end()) return;
  system_.focus(staying->key);
  focused_ = staying->key;
}

void WindowOwner::closeAll() {
  stopping_ = true;
  demonstrations_.closeAll();
  // No frame is worth waiting for now: a compositor that shows the windows no more (under its
  // lock screen) may hold their buffers, and a demonstration waiting for one would never end.
  stopServing();
}

void WindowOwner::stopServing() {
  for (Window& w : windows_) w.hosted->stopServing();
}

void WindowOwner::closeEndedWindows() {
  for (HostedWindow* ended : demonstrations_.takeEnded()) {
    const auto w = std::find_if(windows_.begin(), windows_.end(),
                                [&](const Window& w) { return w.hosted.get() == ended; });
    if (w == windows_.end()) continue;
    system_.close(w->key);
    windows_.erase(w);
  }
}

WindowOwner::Window* WindowOwner::find(WindowKey key) {
  const auto w =
      std::find_if(windows_.begin(), windows_.end(), [&](const Window& w) { return w.key == key; });
  return w == windows_.end() || w->retired ? nullptr : &*w;
}

void WindowOwner::exposed(WindowKey window) {
  // The demonstration may be drawing the next frame: it shows the last complete one again between
  // frames.
  if (Window* w = find(window)) w->hosted->requestRefresh();
}

void WindowOwner::resized(WindowKey window, ScreenSize size) {
  if (Window* w = find(window)) w->hosted->requestResize(size, w->place.scale);
}

void WindowOwner::input(WindowKey window, const SaverInput& input) {
  if (input.kind == SaverInput::Kind::CloseRequest) {
    closeAll();
    return;
  }
  // A host's window's input is its host's; so is the user's, while a preview runs.
  if (!fullScreen_ || input.kind == SaverInput::Kind::None) return;
  SaverInput onDesktop = input;
  if (input.kind == SaverInput::Kind::MouseMove) {
    // Positions in the layout space, so that one rule holds across the monitors.
    const Window* w = find(window);
    if (!w) return;
    const Monitor& p = w->place;
    onDesktop.x = p.x + input.x * p.width / p.pixels.width;
    onDesktop.y = p.y + input.y * p.height / p.pixels.height;
  }
  deliver(onDesktop, stopOnInput_);
  if (stopOnInput_.stopRequested()) closeAll();
}

void WindowOwner::monitorsChanged(const std::vector<Monitor>& now) {
  if (!fullScreen_ || stopping_ || now == reported_) return;
  const std::vector<Monitor> monitors = monitorsToCover(now);
  // Between the last monitor going and the next coming there is none: the windows wait for it.
  if (monitors.empty()) return;
  reported_ = now;
  cover(monitors);
}

void WindowOwner::hostWindowGone() {
  closeAll();
}

}  // namespace drevanti

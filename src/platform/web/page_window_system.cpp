#include "page_window_system.h"

#include <stdexcept>

#include "page_bridge.h"

namespace drevanti::web {

namespace {

// The Escape key's code, for the browser's own Esc that gives full screen back.
constexpr int kEscapeKey = 27;

SaverInput inputOf(const PageEvent& event) {
  SaverInput input;
  switch (event.kind) {
    case PageEventKind::Key:
      input.kind = SaverInput::Kind::KeyDown;
      input.keyCode = event.a;
      input.shift = event.b;
      break;
    case PageEventKind::LeftFullScreen:
      input.kind = SaverInput::Kind::KeyDown;
      input.keyCode = kEscapeKey;
      break;
    case PageEventKind::Press:
      input.kind = SaverInput::Kind::Click;
      break;
    case PageEventKind::Move:
      input.kind = SaverInput::Kind::MouseMove;
      input.x = static_cast<float>(event.a);
      input.y = static_cast<float>(event.b);
      input.button = event.c;
      break;
    case PageEventKind::Resize:
    case PageEventKind::Rescale:
      break;
  }
  return input;
}

}  // namespace

std::vector<Monitor> PageWindowSystem::monitors() {
  const ScreenSize size = pageSize();
  return {{0, 0, size.width, size.height, pageScale()}};
}

FrameTarget& PageWindowSystem::open(WindowKey window, const Monitor& place) {
  if (frame_) throw std::logic_error("the page has one window");
  const ScreenSize size = place.pixels;
  frame_ = std::make_unique<PageFrame>(size, place.scale);
  window_ = window;
  opened_ = size;
  showScene(size);
  return *frame_;
}

void PageWindowSystem::close(WindowKey window) {
  if (window != window_) return;
  showStartScreen();
  frame_.reset();
  window_ = kNoWindow;
}

void PageWindowSystem::dispatch(WindowEvents& events) {
  const BrowserDemonstration::Wait wait = [&](std::chrono::milliseconds t) {
    waitAndPass(events, t);
  };
  if (!demonstration_.runStarted(wait)) waitAndPass(events, std::nullopt);
}

void PageWindowSystem::waitAndPass(WindowEvents& events,
                                   std::optional<std::chrono::milliseconds> timeout) {
  std::optional<PageEvent> event = takeEvent();
  if (!event) {
    waitForEvent(timeout ? static_cast<int>(timeout->count()) : kNoTimeout);
    event = takeEvent();
  }
  for (; event; event = takeEvent()) {
    if (event->kind == PageEventKind::Resize) {
      events.resized(window_, {event->a, event->b});
    } else if (event->kind == PageEventKind::Rescale) {
      // The page is the window's monitor, as it was when the window opened: the owner keeps the
      // window and gives it the new scale, then the page's size as it is now.
      events.monitorsChanged({{0, 0, opened_.width, opened_.height, pageScale()}});
      events.resized(window_, pageSize());
    } else {
      events.input(window_, inputOf(*event));
    }
  }
}

void PageSettings::showCursor(bool visible) {
  setPointerHidden(!visible);
}

}  // namespace drevanti::web

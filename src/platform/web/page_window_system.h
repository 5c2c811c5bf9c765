// The page as the owner's window system: one monitor, the page at device pixels; one window, the
// scene's canvas over the whole page; the browser's events, queued by the page's listeners, passed
// on in the core's vocabulary.
#pragma once

#include <memory>

#include "app/backend.h"
#include "browser_demonstration.h"
#include "page_bridge.h"
#include "page_frame.h"

namespace drevanti::web {

class PageWindowSystem final : public WindowSystem {
 public:
  explicit PageWindowSystem(BrowserDemonstration& demonstration) : demonstration_(demonstration) {}

  std::vector<Monitor> monitors() override;
  // Throws std::logic_error for a second window: the page has one.
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  // The browser gives the page the keyboard.
  void focus(WindowKey) override {}
  // Back to the start screen.
  void close(WindowKey window) override;
  std::optional<DesktopPoint> pointer() override { return lastPointer(); }
  // Runs the demonstration the owner started, if it waits to run; else yields to the browser
  // until one of its events comes.
  void dispatch(WindowEvents& events) override;
  // One thread: a wait that could be ended is not going on while anyone could call this.
  void wake() override {}

 private:
  // Yields to the browser until one of its events comes, or for at most timeout when there is one,
  // and passes the events on.
  void waitAndPass(WindowEvents& events, std::optional<std::chrono::milliseconds> timeout);

  BrowserDemonstration& demonstration_;
  WindowKey window_ = kNoWindow;
  ScreenSize opened_;
  std::unique_ptr<PageFrame> frame_;
};

// The pointer over the page's canvas; the page has no screen-saver setting.
class PageSettings final : public SystemSettings {
 public:
  void showCursor(bool visible) override;
  std::optional<bool> screenSaverActive() override { return std::nullopt; }
  void setScreenSaverActive(bool) override {}
};

}  // namespace drevanti::web

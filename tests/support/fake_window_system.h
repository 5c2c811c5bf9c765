// A window system for the window owner's tests: no windows, each window's frames recorded, every
// open, focus and close logged. Like a real backend it sleeps in dispatch until it is woken (a
// frame shown, a resize asked for, a demonstration ended, a stop request), and then plays the
// test's script, which stands for the window system's events; nothing in it sleeps for a while and
// looks again.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/backend.h"
#include "fake_platform.h"

namespace drevanti::test_support {

// A wake-up that is kept until it is waited for, as a window system's wake-up is.
class WakeSignal {
 public:
  void wake() {
    {
      const std::lock_guard lock(mutex_);
      woken_ = true;
    }
    condition_.notify_all();
  }
  // False when nothing woke it within a time no passing test comes near: the test has hung.
  bool wait() {
    std::unique_lock lock(mutex_);
    const bool woken =
        condition_.wait_for(lock, std::chrono::seconds(30), [this] { return woken_; });
    woken_ = false;
    return woken;
  }

 private:
  std::mutex mutex_;
  std::condition_variable condition_;
  bool woken_ = false;
};

// A window's frames as a monitor's window would show them, recorded. The demonstration draws and
// presents on its own thread, a resize comes on the owner's; each present wakes whoever waits for
// news of the frames (as a compositor's word that it took the frame wakes a backend).
class RecordedFrames final : public FrameTarget {
 public:
  Canvas& canvas() override {
    if (failAtCanvas_ != 0 && ++canvasCalls_ == failAtCanvas_) {
      throw std::runtime_error("the window's surface is lost");
    }
    return canvas_;
  }
  bool present(const std::vector<Rect>&) override {
    {
      const std::lock_guard lock(mutex_);
      // The demonstration waits while its frame is shown: what it drew so far is the frame.
      drawnAtPresent_.push_back(canvas_.calls.size());
    }
    ++presents;
    if (shown_) shown_->wake();
    return true;
  }
  void resize(ScreenSize size, double scale) override {
    sizes.push_back(size);
    scales.push_back(scale);
  }
  // The nth canvas asked for fails, on the demonstration's thread.
  void failAtCanvas(int n) { failAtCanvas_ = n; }
  void wakeOnPresent(WakeSignal& shown) { shown_ = &shown; }
  // How many drawing calls the canvas had at each present.
  std::vector<std::size_t> drawnAtPresent() {
    const std::lock_guard lock(mutex_);
    return drawnAtPresent_;
  }

  RecordingCanvas canvas_;
  std::atomic<int> presents{0};
  std::vector<ScreenSize> sizes;
  std::vector<double> scales;

 private:
  std::mutex mutex_;
  std::vector<std::size_t> drawnAtPresent_;
  WakeSignal* shown_ = nullptr;
  int failAtCanvas_ = 0;
  int canvasCalls_ = 0;
};

class FakeWindowSystem final : public WindowSystem {
 public:
  using Script = std::function<void(FakeWindowSystem&, WindowEvents&)>;
  FakeWindowSystem(std::vector<Monitor> monitors, Script script)
      : report(std::move(monitors)), script_(std::move(script)) {}

  std::vector<Monitor> monitors() override { return report; }
  FrameTarget& open(WindowKey window, const Monitor& place) override {
    if (failAtOpen == window) throw std::runtime_error("cannot create a window");
    log.push_back("open " + std::to_string(window));
    places[window] = place;
    frames[window].wakeOnPresent(woken_);
    return frames[window];
  }
  void focus(WindowKey window) override { log.push_back("focus " + std::to_string(window)); }
  void close(WindowKey window) override { log.push_back("close " + std::to_string(window)); }
  std::optional<DesktopPoint> pointer() override { return pointerAt; }
  void dispatch(WindowEvents& events) override {
    if (!woken_.wait()) {
      timedOut = true;
      events.input(kNoWindow, {SaverInput::Kind::CloseRequest});
      return;
    }
    script_(*this, events);
  }
  void wake() override { woken_.wake(); }

  bool closed(WindowKey key) const { return logged("close " + std::to_string(key)); }
  bool logged(const std::string& line) const {
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  int presents(WindowKey key) { return frames[key].presents; }
  std::size_t openCount() const { return places.size() - closedCount(); }
  std::size_t closedCount() const {
    return std::count_if(log.begin(), log.end(),
                         [](const std::string& l) { return l.rfind("close", 0) == 0; });
  }

  std::vector<Monitor> report;
  std::optional<DesktopPoint> pointerAt;
  std::map<WindowKey, RecordedFrames> frames;
  std::map<WindowKey, Monitor> places;
  std::vector<std::string> log;
  // The window whose opening fails, as a window system's can.
  WindowKey failAtOpen = kNoWindow;
  bool timedOut = false;
  int step = 0;  // the script's own progress

 private:
  WakeSignal woken_;
  Script script_;
};

}  // namespace drevanti::test_support

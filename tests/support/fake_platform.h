// A window system for tests: records every drawing and window call, keeps a clock that only moves
// when the saver waits, and delivers input at chosen do-events calls.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/backend.h"
#include "app/saver_window.h"
#include "render/canvas.h"

namespace drevanti::test_support {

struct DrawCall {
  std::string what;                      // "fill", "rect", "line", "circle", "text", "clipped text"
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // circle: centre and radius in x2; rect: x, y, w, h
  Rgb colour;
  std::string text;
  Rect clip;  // clipped text
};

class RecordingCanvas final : public Canvas {
 public:
  // Every text is this many pixels high.
  static constexpr int kTextHeight = 13;

  void fill(Rgb colour, const Rect* r) override {
    if (!r) {
      calls.push_back({"fill", 0, 0, 0, 0, colour, {}, {}});
      return;
    }
    calls.push_back({"rect",
                     static_cast<float>(r->x),
                     static_cast<float>(r->y),
                     static_cast<float>(r->width),
                     static_cast<float>(r->height),
                     colour,
                     {},
                     {}});
  }
  void line(float x1, float y1, float x2, float y2, Rgb colour) override {
    calls.push_back({"line", x1, y1, x2, y2, colour, {}, {}});
  }
  void circle(float x, float y, float radius, Rgb colour) override {
    calls.push_back({"circle", x, y, radius, 0, colour, {}, {}});
  }
  void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) override {
    calls.push_back({clip ? "clipped text" : "text", x, y, 0, 0, colour, std::string(utf8),
                     clip ? *clip : Rect{}});
  }
  int textHeight(std::string_view) override { return kTextHeight; }

  // Whether the last drawing was the cleared window: the background, then only the label.
  bool clearedLast() const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
      if (it->what == "fill") return true;
      if (it->what != "rect" && it->what != "clipped text") return false;
    }
    return false;
  }
  std::vector<DrawCall> calls;
};

class FakeWindow final : public SaverWindow {
 public:
  explicit FakeWindow(ScreenSize screen = {1920, 1080}) : screen_(screen) {}

  void show() override { log.push_back("show"); }
  void hide() override { log.push_back("hide"); }
  void unload() override { log.push_back("unload"); }
  Canvas& canvas() override { return canvas_; }
  void present() override {
    log.push_back("present");
    presents.push_back({now_, lastStatus()});
  }
  void doEvents(FormEvents& handlers) override {
    ++dispatches;
    if (onDispatch) onDispatch(handlers, dispatches);
  }
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override {
    ++waits;
    waited += timeout;
    now_ += timeout;
    doEvents(handlers);
  }
  SaverClock::time_point now() const override { return now_; }
  ScreenSize screenSize() const override { return screen_; }

  // The window takes a new size, as a host's window does when it is resized.
  void resize(ScreenSize screen) { screen_ = screen; }

  // Moves the clock, as computing does in the real saver.
  void advance(std::chrono::milliseconds d) { now_ += d; }
  // The text of the status label as last drawn.
  std::string lastStatus() const {
    for (auto it = canvas_.calls.rbegin(); it != canvas_.calls.rend(); ++it) {
      if (it->what == "clipped text") return it->text;
    }
    return "";
  }
  const RecordingCanvas& recorded() const { return canvas_; }

  struct Frame {
    SaverClock::time_point at;
    std::string status;
  };
  std::vector<std::string> log;
  std::vector<Frame> presents;
  long dispatches = 0;
  long waits = 0;
  std::chrono::milliseconds waited{0};
  // Called on every dispatch of input, with its 1-based number.
  std::function<void(FormEvents&, long)> onDispatch;

 private:
  ScreenSize screen_;
  RecordingCanvas canvas_;
  SaverClock::time_point now_{};
};

// The desktop's settings; a setting of nothing stands for a system that cannot report it.
class FakeSystem final : public SystemSettings {
 public:
  explicit FakeSystem(std::optional<bool> screenSaverActive) : active(screenSaverActive) {}
  void showCursor(bool visible) override {
    log.push_back(visible ? "cursor shown" : "cursor hidden");
  }
  std::optional<bool> screenSaverActive() override {
    log.push_back("screen saver read");
    return active;
  }
  void setScreenSaverActive(bool value) override {
    active = value;
    log.push_back(value ? "screen saver on" : "screen saver off");
  }
  std::optional<bool> active;
  std::vector<std::string> log;
};

}  // namespace drevanti::test_support

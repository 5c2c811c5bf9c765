// A window that shows nothing: the saver's own demonstration loop runs in it without a display,
// as fast as it computes. Its clock moves only when the loop waits (by the time it waits), so the
// display's pacing costs no time, and it gets no input but the close request its owner asks for.
#pragma once

#include "app/saver_window.h"

namespace drevanti {

class HeadlessWindow final : public SaverWindow {
 public:
  explicit HeadlessWindow(ScreenSize screen) : screen_(screen) {}

  // The demonstration stops at its next checkpoint.
  void requestClose() { close_ = true; }

  void show() override {}
  void hide() override {}
  void unload() override {}
  Canvas& canvas() override { return canvas_; }
  void present() override {}
  void doEvents(FormEvents& handlers) override {
    if (close_) handlers.onCloseRequest();
  }
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override {
    now_ += timeout;
    doEvents(handlers);
  }
  SaverClock::time_point now() const override { return now_; }
  ScreenSize screenSize() const override { return screen_; }

 private:
  struct NoCanvas final : Canvas {
    void fill(Rgb, const Rect*) override {}
    void line(float, float, float, float, Rgb) override {}
    void circle(float, float, float, Rgb) override {}
    void text(float, float, std::string_view, Rgb, const Rect*) override {}
    int textHeight(std::string_view) override { return 0; }
  };
  ScreenSize screen_;
  NoCanvas canvas_;
  SaverClock::time_point now_{};
  bool close_ = false;
};

}  // namespace drevanti

// A window owned by the program's main thread, as the demonstration that draws in it, on a thread
// of its own, sees it. The owner handles the window system and passes on what the demonstration
// must know (stop, show the frame again, new size) through the thread-safe requests; the
// demonstration acts on them in its do-events calls, which come between frames. Its frames go
// through a FrameHandOver, which the owner serves where they wait for the main thread. No input
// reaches it: the owner decides what input means.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "app/backend.h"
#include "app/frame_hand_over.h"
#include "app/saver_window.h"
#include "render/damage_canvas.h"
#include "render/scaled_canvas.h"

namespace drevanti {

class HostedWindow final : public SaverWindow {
 public:
  // Made on the main thread, for a window of size device pixels at scale device pixels to one of
  // the scene's; wake tells it that the frames ask something of it.
  HostedWindow(FrameTarget& target, ScreenSize size, std::function<void()> wake, double scale = 1)
      : frames_(target, std::move(wake)),
        scaled_(scale),
        damage_(size),
        device_(size),
        size_(logicalSize(size, scale)) {}

  // The owner's requests; each may come from any thread and ends a wait at once.
  void requestClose();
  void requestRefresh();
  // The new size in device pixels, and the new scale.
  void requestResize(ScreenSize size, double scale);
  // The owner's thread: carries out what the frames wait for, if anything (FrameHandOver::serve).
  void serveFrame() { frames_.serve(); }
  // The owner shows no more frames: presents return at once.
  void stopServing() { frames_.abandon(); }

  // The owner shows, hides and destroys the window itself.
  void show() override {}
  void hide() override {}
  void unload() override {}
  Canvas& canvas() override;
  void present() override { frames_.present(damage_.present()); }
  void doEvents(FormEvents& handlers) override;
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override;
  SaverClock::time_point now() const override { return SaverClock::now(); }
  // In the scene's pixels. Changes only inside doEvents, on the demonstration's thread.
  ScreenSize screenSize() const override { return size_; }
  // Whether a request waits for the next do-events call: for a demonstration that shares the
  // owner's thread (the browser page's), which cannot sleep here and yields to the owner instead.
  bool hasRequests();

 private:
  bool pending() const { return close_ || refresh_ || resize_.has_value(); }

  FrameHandOver frames_;
  ScaledCanvas scaled_;
  // Between the scaled canvas and the device's: only what a frame changes is cleared and sent.
  DamageCanvas damage_;
  ScreenSize device_;
  ScreenSize size_;
  std::mutex mutex_;
  std::condition_variable requested_;
  bool close_ = false;
  bool refresh_ = false;
  struct Resize {
    ScreenSize size;
    double scale;
  };
  std::optional<Resize> resize_;
};

}  // namespace drevanti

// A window owned by the program's main thread, as the demonstration that draws in it, on a thread
// of its own, sees it. The owner handles the window system and passes on what the demonstration
// must know (stop, show the frame again, new size) through the thread-safe requests; the
// demonstration acts on them in its do-events calls, which come between frames. No input reaches
// it: the owner decides what input means.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

#include "app/platform.h"

namespace drevanti {

// Where a demonstration's frames go: a canvas the size of the window and a way to show it.
class FrameTarget {
 public:
  virtual ~FrameTarget() = default;
  virtual Canvas& canvas() = 0;
  // Puts the canvas's frame on the screen. Called on the demonstration's thread.
  virtual void present() = 0;
  // Makes the canvas the given size; what it shows is left to the next drawing. Called on the
  // demonstration's thread.
  virtual void resize(ScreenSize size) = 0;
};

class HostedWindow final : public SaverWindow {
 public:
  HostedWindow(FrameTarget& target, ScreenSize size) : target_(target), size_(size) {}

  // The owner's requests; each may come from any thread and ends a wait at once.
  void requestClose();
  void requestRefresh();
  void requestResize(ScreenSize size);

  // The owner shows, hides and destroys the window itself.
  void show() override {}
  void hide() override {}
  void unload() override {}
  Canvas& canvas() override { return target_.canvas(); }
  void present() override { target_.present(); }
  void doEvents(FormEvents& handlers) override;
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override;
  SaverClock::time_point now() const override { return SaverClock::now(); }
  // Changes only inside doEvents, on the demonstration's thread.
  ScreenSize screenSize() const override { return size_; }
  // Whether a request waits for the next do-events call: for a demonstration that shares the
  // owner's thread (the browser page's), which cannot sleep here and yields to the owner instead.
  bool hasRequests();

 private:
  bool pending() const { return close_ || refresh_ || resize_.has_value(); }

  FrameTarget& target_;
  ScreenSize size_;
  std::mutex mutex_;
  std::condition_variable requested_;
  bool close_ = false;
  bool refresh_ = false;
  std::optional<ScreenSize> resize_;
};

}  // namespace drevanti

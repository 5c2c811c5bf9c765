// A demonstration's frames, shown on the demonstration's own thread as far as the window system
// allows. What must wait for the program's main thread is handed over to it: the rest of a present
// once the window system has answered (FrameTarget::finishPresent), which the next frame waits
// for, and a resize, for which the main thread is woken. The demonstration waits meanwhile, until
// the main thread has done it or serves no more; so the canvas is never drawn on while it is being
// shown, and only complete frames reach the screen. On the main thread itself (the browser page's
// one thread) everything is done at once.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/backend.h"

namespace drevanti {

class FrameHandOver {
 public:
  // Made on the main thread. wake tells it, from the demonstration's thread, that a resize waits.
  FrameHandOver(FrameTarget& target, std::function<void()> wake);

  // The demonstration's side. Each waits first for what the last present left to the main thread.
  Canvas& canvas();
  // The frame the canvas holds (FrameTarget::canvasAge).
  int canvasAge();
  void present(const std::vector<Rect>& changed);
  void resize(ScreenSize size, double scale);

  // The main thread's side: carries out what waits, if it can now, and lets the demonstration go
  // on once it is done.
  void serve();
  // The main thread serves no more: the demonstration waits for it no more, and shows nothing.
  void abandon();

 private:
  enum class Request { None, FinishPresent, Resize };
  bool onMainThread() const { return std::this_thread::get_id() == mainThread_; }
  // With the lock held: waits until the last present is finished, or nobody serves.
  void finishPresent(std::unique_lock<std::mutex>& lock);
  // With the lock held: waits until the main thread has done the request, or serves no more.
  void waitUntilDone(std::unique_lock<std::mutex>& lock);

  FrameTarget& target_;
  std::function<void()> wake_;
  const std::thread::id mainThread_;
  // Held while the target presents or finishes, so that the main thread, which serves once the
  // window system has answered, never looks before the demonstration has said it waits.
  std::mutex mutex_;
  std::condition_variable done_;
  Request request_ = Request::None;
  ScreenSize size_;
  double scale_ = 1;
  // The last present is not finished yet.
  bool unfinished_ = false;
  bool abandoned_ = false;
};

}  // namespace drevanti

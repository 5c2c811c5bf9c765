// A demonstration's frames, shown by the program's main thread. Only the main thread may touch the
// windows, so when the demonstration presents (or takes a new size) it hands the request over,
// wakes the main thread and waits until the main thread has carried it out on the window's
// FrameTarget, or serves no more. The canvas is thus never drawn on while it is being shown, and
// only complete frames reach the screen. A request made on the main thread itself (the browser
// page's one thread) is carried out at once.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "app/backend.h"

namespace drevanti {

class FrameHandOver {
 public:
  // Made on the main thread. wake tells it, from the demonstration's thread, that a request waits.
  FrameHandOver(FrameTarget& target, std::function<void()> wake);

  // The demonstration's side.
  Canvas& canvas() { return target_.canvas(); }
  void present();
  void resize(ScreenSize size);

  // The main thread's side: carries out the request waiting, if any, and lets the demonstration go
  // on once it is done.
  void serve();
  // The main thread serves no more: the request waiting and every later one return at once.
  void abandon();

 private:
  enum class Request { None, Present, Resize };
  void handOver(Request request, ScreenSize size);
  // True once the target has done it.
  bool carryOut(Request request, ScreenSize size);

  FrameTarget& target_;
  std::function<void()> wake_;
  const std::thread::id mainThread_;
  std::mutex mutex_;
  std::condition_variable done_;
  Request request_ = Request::None;
  ScreenSize size_;
  bool abandoned_ = false;
};

}  // namespace drevanti

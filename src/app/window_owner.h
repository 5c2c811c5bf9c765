// The main thread's rules for the saver's windows, the same on every system: in full screen one
// window and one demonstration on every monitor, following the monitors as they come and go, the
// keyboard with one of them, until input on any of them (or the stop request) ends all; hosted, one
// demonstration in the host's window until the host says stop. It sleeps in its window system's
// dispatch until there is something to do, and shows the frames the demonstrations hand over.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/backend.h"
#include "app/demonstrations.h"
#include "app/stop_on_input.h"
#include "app/stop_request.h"

namespace drevanti {

class WindowOwner final : private WindowEvents {
 public:
  // Window i opened in the run (counting from 0) gets the random sequence of seed + i.
  WindowOwner(WindowSystem& system, DemonstrationRunner& demonstrations, StopRequest& stop,
              std::uint32_t seed);
  ~WindowOwner() override = default;
  WindowOwner(const WindowOwner&) = delete;
  WindowOwner& operator=(const WindowOwner&) = delete;

  // Full screen. The pointer is hidden and the desktop's screen saver allowed (desktop) from the
  // moment the first windows are open until the last is closed. The first pointer position is
  // where the window system says the pointer is when the windows are open, or else the first
  // position reported: moving from there ends the run. Returns when every demonstration has ended;
  // rethrows the first failure.
  void runFullScreen(SystemSettings& desktop);
  // Hosted in the host's window (the window system's one monitor): no input but a close request is
  // judged, and nothing of the desktop is touched.
  void runHosted();

 private:
  struct Window {
    WindowKey key;
    Monitor place;
    std::unique_ptr<HostedWindow> hosted;
    bool retired = false;
  };

  void exposed(WindowKey window) override;
  void resized(WindowKey window, ScreenSize size) override;
  void input(WindowKey window, const SaverInput& input) override;
  void monitorsChanged(const std::vector<Monitor>& now) override;
  void hostWindowGone() override;

  void open(const Monitor& place);
  void cover(const std::vector<Monitor>& monitors);
  // The keyboard to a window that stays, when the one that has it is retired (full screen).
  void keepFocus();
  // Ends every demonstration, and shows their frames no more meanwhile.
  void closeAll();
  void stopServing();
  // Runs the start, then dispatches until every demonstration has ended, showing the frames they
  // hand over and closing each window once its demonstration is over. Should the main thread
  // itself fail, every demonstration is ended without it and the failure passed on.
  template <class Start>
  void run(Start start);
  void closeEndedWindows();
  Window* find(WindowKey key);

  WindowSystem& system_;
  DemonstrationRunner& demonstrations_;
  StopRequest& stop_;
  std::uint32_t seed_;
  bool fullScreen_ = false;
  bool stopping_ = false;
  WindowKey nextKey_ = 0;
  std::optional<WindowKey> focused_;
  // The monitors as last reported (full screen).
  std::vector<Monitor> reported_;
  StopOnInput stopOnInput_;
  std::vector<Window> windows_;
};

}  // namespace drevanti

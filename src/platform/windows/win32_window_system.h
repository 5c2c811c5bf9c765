// The Windows saver's windows, as the window owner asks for them: a topmost borderless window on
// each monitor, or a child window filling the preview's parent. It translates the windows'
// messages (input, painting, a change of the displays, a window destroyed from outside) and the
// parent's size and end into the owner's events. Made and used on the program's main thread.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/window_system.h"
#include "win32_frame.h"

namespace drevanti::win32 {

class Win32WindowSystem final : public WindowSystem {
 public:
  // Full screen.
  explicit Win32WindowSystem(HINSTANCE instance);
  // The preview, in a child window of parent.
  Win32WindowSystem(HINSTANCE instance, HWND parent);
  ~Win32WindowSystem() override;
  // The preview's size: the parent's client area when the system was made.
  ScreenSize previewSize() const { return *parentSize_; }
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  MonitorReport monitors() override;
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  void close(WindowKey window) override;
  std::optional<DesktopPoint> pointer() override;
  void dispatch(WindowEvents& events, std::chrono::milliseconds timeout) override;
  void wake() override;
  // Each demonstration blits its frames from its own thread: none waits for the main thread.
  void stopServing() override {}

 private:
  struct Window {
    Win32WindowSystem* system = nullptr;
    WindowKey key = kNoWindow;
    HWND window = nullptr;
    std::unique_ptr<Win32Frame> frame;
  };

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The window's messages; w.window is not set yet while CreateWindowExW runs.
  LRESULT handle(const Window& w, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void followParent(WindowEvents& events);
  void followMonitors(WindowEvents& events);
  void focus(const Window& w);

  HINSTANCE instance_;
  HWND parent_ = nullptr;  // null: full screen
  DWORD thread_;
  std::vector<std::unique_ptr<Window>> windows_;
  // Set while dispatch runs: the messages' procedure passes events on only then.
  WindowEvents* events_ = nullptr;
  std::optional<ScreenSize> parentSize_;
  MonitorReport reported_;
  bool displaysChanged_ = false;
  std::optional<WindowKey> focused_;
  // The window close() destroys: its WM_DESTROY is no news.
  WindowKey closing_ = kNoWindow;
};

}  // namespace drevanti::win32

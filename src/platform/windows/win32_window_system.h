// The Windows saver's windows, as the window owner asks for them: a topmost borderless window on
// each monitor, or a child window filling the preview's parent. It translates the windows'
// messages (input, painting, a change of the displays, a window destroyed from outside) and the
// parent's size and end into the owner's events. The main thread sleeps until a message comes;
// Windows tells a child nothing of its parent's size, nor always of a parent whose program ended,
// so the preview looks at its parent on a timer.
// Made and used on the program's main thread.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "app/backend.h"
#include "win32_frame.h"

namespace drevanti::win32 {

class Win32WindowSystem final : public WindowSystem {
 public:
  // Full screen.
  explicit Win32WindowSystem(HINSTANCE instance);
  // The preview, in a child window of parent.
  Win32WindowSystem(HINSTANCE instance, HWND parent);
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  std::vector<Monitor> monitors() override;
  FrameTarget& open(WindowKey window, const Monitor& place) override;
  void focus(WindowKey window) override;
  void close(WindowKey window) override;
  std::optional<DesktopPoint> pointer() override;
  void dispatch(WindowEvents& events) override;
  void wake() override;

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
  void followParent();

  HINSTANCE instance_;
  HWND parent_ = nullptr;  // null: full screen
  DWORD thread_;
  std::vector<std::unique_ptr<Window>> windows_;
  // Set while dispatch runs: the messages' procedure passes events on only then.
  WindowEvents* events_ = nullptr;
  ScreenSize parentSize_;
  // The preview's look at its parent (0: none).
  UINT_PTR parentTimer_ = 0;
  bool displaysChanged_ = false;
  // The window close() destroys: its WM_DESTROY is no news.
  WindowKey closing_ = kNoWindow;
};

}  // namespace drevanti::win32

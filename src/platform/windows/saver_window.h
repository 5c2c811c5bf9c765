// frmSteiner's window on Windows: a black WS_POPUP window covering the screen, or, for the
// preview, a child window filling the client area of the host's window. Pixel units.
#pragma once

#include <windows.h>

#include <memory>

#include "app/platform.h"
#include "gdi_canvas.h"

namespace drevanti::win32 {

class Win32SaverWindow final : public SaverWindow {
 public:
  // Full screen when previewParent is null. The window is made at once, hidden, so that its size
  // is known before it is shown.
  Win32SaverWindow(HINSTANCE instance, HWND previewParent);
  ~Win32SaverWindow() override;
  Win32SaverWindow(const Win32SaverWindow&) = delete;
  Win32SaverWindow& operator=(const Win32SaverWindow&) = delete;

  void show() override;
  void hide() override;
  void unload() override;
  Canvas& canvas() override { return *canvas_; }
  // One blit of the finished picture.
  void present() override;
  void doEvents(FormEvents& handlers) override;
  void waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) override;
  SaverClock::time_point now() const override { return SaverClock::now(); }
  ScreenSize screenSize() const override { return screen_; }

  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool preview() const { return parent_ != nullptr; }

  HWND parent_;
  HWND window_ = nullptr;
  ScreenSize screen_;
  std::unique_ptr<GdiCanvas> canvas_;
  // Set only while doEvents dispatches: input is delivered to the handlers only then.
  FormEvents* handlers_ = nullptr;
  // The window system asked the saver to end (WM_CLOSE, the preview's host window gone).
  bool closeRequested_ = false;
  bool unloading_ = false;
};

}  // namespace drevanti::win32

#include "win32_window_system.h"

#include <shellscalingapi.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

#include "saver_input.h"
#include "wide_text.h"

namespace drevanti::win32 {

namespace {

constexpr std::string_view kCaption = "シュタイナー問題";
constexpr wchar_t kWindowClass[] = L"DrevantiSaverWindow";
// How often the preview looks at its parent's size, and whether the parent is still there.
constexpr UINT kParentTimerMilliseconds = 250;

ScreenSize clientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {static_cast<int>(client.right - client.left),
          static_cast<int>(client.bottom - client.top)};
}

// The monitor's effective DPI (the user's scale setting) over the 96 of a scale of 100 %.
double scaleOf(HMONITOR monitor) {
  UINT x = 0, y = 0;
  if (GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y) != S_OK || x == 0) return 1;
  return x / 96.0;
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
        {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
         static_cast<int>(r.bottom - r.top), scaleOf(monitor)});
  }
  return TRUE;
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance)
    : instance_(instance), thread_(GetCurrentThreadId()) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
}

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance, HWND parent)
    : Win32WindowSystem(instance) {
  parent_ = parent;
  parentSize_ = clientSize(parent);
  // The thread's own timer: the preview's window may be taken along with its parent unannounced.
  parentTimer_ = SetTimer(nullptr, 0, kParentTimerMilliseconds, nullptr);
}

Win32WindowSystem::~Win32WindowSystem() {
  if (parentTimer_ != 0) KillTimer(nullptr, parentTimer_);
  while (!windows_.empty()) close(windows_.back()->key);
}

std::vector<Monitor> Win32WindowSystem::monitors() {
  if (parent_ != nullptr) {
    return {{0, 0, parentSize_.width, parentSize_.height,
             scaleOf(MonitorFromWindow(parent_, MONITOR_DEFAULTTONEAREST))}};
  }
  // With per-monitor DPI awareness (the manifest) these are physical pixels.
  std::vector<Monitor> found;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
  return found;
}

FrameTarget& Win32WindowSystem::open(WindowKey key, const Monitor& place) {
  auto w = std::make_unique<Window>();
  w->system = this;
  w->key = key;
  const std::wstring caption = widen(kCaption);
  w->window =
      parent_ != nullptr
          ? CreateWindowExW(0, kWindowClass, caption.c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                            place.width, place.height, parent_, nullptr, instance_, w.get())
          : CreateWindowExW(WS_EX_TOPMOST, kWindowClass, caption.c_str(), WS_POPUP, place.x,
                            place.y, place.width, place.height, nullptr, nullptr, instance_,
                            w.get());
  if (w->window == nullptr) {
    throw std::runtime_error("cannot create a window (error " + std::to_string(GetLastError()) +
                             ")");
  }
  w->frame = std::make_unique<Win32Frame>(w->window, place.pixels, place.scale);
  windows_.push_back(std::move(w));
  const Window& made = *windows_.back();
  if (parent_ != nullptr) {
    ShowWindow(made.window, SW_SHOWNA);
  } else {
    SetWindowPos(made.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
  return *made.frame;
}

void Win32WindowSystem::focus(WindowKey key) {
  for (const auto& w : windows_) {
    if (w->key != key) continue;
    SetForegroundWindow(w->window);
    SetFocus(w->window);
  }
}

void Win32WindowSystem::close(WindowKey key) {
  const auto w =
      std::find_if(windows_.begin(), windows_.end(), [&](const auto& w) { return w->key == key; });
  if (w == windows_.end()) return;
  closing_ = key;
  if (IsWindow((*w)->window)) DestroyWindow((*w)->window);
  closing_ = kNoWindow;
  windows_.erase(w);
}

std::optional<DesktopPoint> Win32WindowSystem::pointer() {
  POINT at{};
  if (!GetCursorPos(&at)) return std::nullopt;
  return DesktopPoint{static_cast<float>(at.x), static_cast<float>(at.y)};
}

void Win32WindowSystem::wake() {
  PostThreadMessageW(thread_, WM_NULL, 0, 0);
}

void Win32WindowSystem::dispatch(WindowEvents& events) {
  const LentEvents lent(events_, events);
  MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      events.input(kNoWindow, {SaverInput::Kind::CloseRequest});
      continue;
    }
    if (message.message == WM_TIMER && message.hwnd == nullptr && message.wParam == parentTimer_) {
      followParent();
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (displaysChanged_) {
    displaysChanged_ = false;
    events.monitorsChanged(monitors());
  }
}

void Win32WindowSystem::followParent() {
  if (!events_) return;
  if (!IsWindow(parent_)) {
    events_->hostWindowGone();
    return;
  }
  const ScreenSize now = clientSize(parent_);
  if (now == parentSize_ || windows_.empty()) return;
  parentSize_ = now;
  const Window& child = *windows_.front();
  MoveWindow(child.window, 0, 0, now.width, now.height, FALSE);
  events_->resized(child.key, now);
}

LRESULT CALLBACK Win32WindowSystem::windowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  const auto* w = reinterpret_cast<const Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (w == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return w->system->handle(*w, window, message, wParam, lParam);
}

LRESULT Win32WindowSystem::handle(const Window& w, HWND window, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  const bool fullScreen = parent_ == nullptr;
  switch (message) {
    case WM_PAINT: {
      // The frame is the demonstration's to show again: only it knows when one is complete.
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      if (events_) events_->exposed(w.key);
      return 0;
    }
    case WM_SYSCOMMAND:
      // No other screen saver starts over this one.
      if (fullScreen && (wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:
      // Sent to every top-level window (a new scale setting to those on its monitor); the
      // monitors are read again once the messages are done, and the owner resizes or replaces
      // the windows itself.
      displaysChanged_ = fullScreen;
      if (message == WM_DPICHANGED) return 0;
      break;

    case WM_DESTROY:
      // Destroyed from outside: the preview's parent took it along, or someone ended the saver.
      if (w.key != closing_ && events_) {
        if (fullScreen) {
          events_->input(w.key, {SaverInput::Kind::CloseRequest});
        } else {
          events_->hostWindowGone();
        }
      }
      break;
    default: {
      const SaverInput input = translateInput(message, wParam, lParam, shiftState());
      if (input.kind == SaverInput::Kind::None) break;
      if (events_) events_->input(w.key, input);
      // A close request is the owner's to carry out; the preview's other input is the page's.
      if (input.kind == SaverInput::Kind::CloseRequest || fullScreen) return 0;
      break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace drevanti::win32

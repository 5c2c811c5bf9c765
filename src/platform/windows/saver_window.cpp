#include "saver_window.h"

#include <algorithm>
#include <string_view>

#include "saver_input.h"
#include "wide_text.h"

namespace drevanti::win32 {

namespace {

constexpr std::string_view kCaption = "シュタイナー問題";
constexpr wchar_t kWindowClass[] = L"DrevantiSaverWindow";
// The preview looks at its host window at least this often while it waits.
constexpr DWORD kPreviewPollMs = 100;

void registerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);
}

ScreenSize clientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {static_cast<int>(client.right - client.left),
          static_cast<int>(client.bottom - client.top)};
}

}  // namespace

Win32SaverWindow::Win32SaverWindow(HINSTANCE instance, HWND previewParent)
    : parent_(previewParent) {
  registerClass(instance, &Win32SaverWindow::windowProc);
  const std::wstring caption = widen(kCaption);
  if (preview()) {
    screen_ = clientSize(parent_);
    window_ = CreateWindowExW(0, kWindowClass, caption.c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                              screen_.width, screen_.height, parent_, nullptr, instance, this);
  } else {
    // With per-monitor DPI awareness (the manifest) these are physical pixels.
    screen_ = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    window_ = CreateWindowExW(WS_EX_TOPMOST, kWindowClass, caption.c_str(), WS_POPUP, 0, 0,
                              screen_.width, screen_.height, nullptr, nullptr, instance, this);
  }
  canvas_ = std::make_unique<GdiCanvas>(screen_.width, screen_.height, nullptr);
}

Win32SaverWindow::~Win32SaverWindow() {
  if (window_ != nullptr) {
    unloading_ = true;
    DestroyWindow(window_);
  }
}

void Win32SaverWindow::show() {
  if (window_ == nullptr) return;
  if (preview()) {
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
    return;
  }
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, screen_.width, screen_.height, SWP_SHOWWINDOW);
  SetForegroundWindow(window_);
  SetFocus(window_);
  UpdateWindow(window_);
  // A window appearing under a still pointer is told where the pointer is, so the saver knows the
  // position that a later movement is measured from.
  POINT pointer{};
  if (GetCursorPos(&pointer) && ScreenToClient(window_, &pointer)) {
    PostMessageW(window_, WM_MOUSEMOVE, 0,
                 MAKELPARAM(static_cast<WORD>(pointer.x), static_cast<WORD>(pointer.y)));
  }
}

void Win32SaverWindow::hide() {
  if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void Win32SaverWindow::unload() {
  if (window_ == nullptr) return;
  unloading_ = true;
  DestroyWindow(window_);
}

void Win32SaverWindow::present() {
  if (window_ == nullptr) return;
  const HDC dc = GetDC(window_);
  canvas_->blitTo(dc);
  ReleaseDC(window_, dc);
}

void Win32SaverWindow::doEvents(FormEvents& handlers) {
  handlers_ = &handlers;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      closeRequested_ = true;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  handlers_ = nullptr;
  // The preview ends with its host's window, whether or not that took this window along.
  if (preview() && !IsWindow(parent_)) closeRequested_ = true;
  if (closeRequested_) handlers.onCloseRequest();
}

void Win32SaverWindow::waitEvents(FormEvents& handlers, std::chrono::milliseconds timeout) {
  auto wait = static_cast<DWORD>(std::clamp<std::chrono::milliseconds::rep>(
      timeout.count(), 0, std::chrono::milliseconds::rep{INFINITE - 1}));
  if (preview()) wait = std::min(wait, kPreviewPollMs);
  MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  doEvents(handlers);
}

LRESULT CALLBACK Win32SaverWindow::windowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (self->window_ == nullptr && message == WM_NCCREATE) self->window_ = window;
  return self->onMessage(message, wParam, lParam);
}

LRESULT Win32SaverWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = window_;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the picture covers the whole window
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = BeginPaint(window, &paint);
      canvas_->blitTo(dc, paint.rcPaint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SYSCOMMAND:
      // No other screen saver starts over this one.
      if (!preview() && (wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_DESTROY:
      // Destroyed from outside: the preview's host window took it along.
      if (!unloading_) closeRequested_ = true;
      break;
    case WM_NCDESTROY:
      window_ = nullptr;
      break;
    default: {
      const SaverInput input = translateInput(message, wParam, lParam, shiftState());
      if (input.kind == SaverInput::Kind::Close) {
        closeRequested_ = true;
        return 0;  // the stop sequence closes the window
      }
      // The preview does not end on input: the user is working in the host's page.
      if (input.kind == SaverInput::Kind::None || preview()) break;
      if (handlers_ != nullptr) deliver(input, *handlers_);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace drevanti::win32

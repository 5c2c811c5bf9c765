#include "demonstration.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/demonstrations.h"
#include "app/monitor_layout.h"
#include "app/stop_on_input.h"
#include "saver_input.h"
#include "system_settings.h"
#include "wide_text.h"
#include "win32_frame.h"

namespace drevanti::win32 {

namespace {

constexpr std::string_view kCaption = "シュタイナー問題";
constexpr wchar_t kWindowClass[] = L"DrevantiSaverWindow";
// The longest the main thread sleeps between looks at the preview's parent window.
constexpr DWORD kPollMs = 100;

// What the windows' procedure needs of the run: who judges input (full screen only) and whom to
// tell that the run must end.
struct Run {
  StopOnInput* input = nullptr;
  Demonstrations* demonstrations = nullptr;
  bool closeRequested = false;
  void close() {
    closeRequested = true;
    if (demonstrations) demonstrations->closeAll();
  }
};

struct Entry {
  Run* run = nullptr;
  Monitor place;  // the window's place on the desktop (full screen)
  HWND window = nullptr;
  std::unique_ptr<Win32Frame> frame;
  std::unique_ptr<HostedWindow> hosted;
};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* entry = reinterpret_cast<Entry*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (entry == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  Run& run = *entry->run;
  switch (message) {
    case WM_PAINT: {
      // The frame is the demonstration's to draw again: only it knows when one is complete.
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      if (entry->hosted) entry->hosted->requestRefresh();
      return 0;
    }
    case WM_SYSCOMMAND:
      // No other screen saver starts over this one.
      if (run.input && (wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_DESTROY:
      // Destroyed from outside (the preview's parent took it along), or at the end of the run.
      run.close();
      break;
    default: {
      SaverInput input = translateInput(message, wParam, lParam, shiftState());
      if (input.kind == SaverInput::Kind::CloseRequest) {
        run.close();
        return 0;  // the run's end destroys the window
      }
      // The preview does not end on input: the user is working in the host's page.
      if (input.kind == SaverInput::Kind::None || run.input == nullptr) break;
      input.x += static_cast<float>(entry->place.x);
      input.y += static_cast<float>(entry->place.y);
      deliver(input, *run.input);
      if (run.input->stopRequested()) run.close();
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The windows of one run, destroyed with it.
class WindowSet {
 public:
  WindowSet(HINSTANCE instance, Run& run) : instance_(instance), run_(run) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
  }
  ~WindowSet() {
    for (auto& e : entries_) {
      if (IsWindow(e->window)) DestroyWindow(e->window);
    }
  }
  WindowSet(const WindowSet&) = delete;
  WindowSet& operator=(const WindowSet&) = delete;

  // A full-screen window on the monitor, or a child filling the parent's client area.
  Entry* add(Monitor place, HWND parent) {
    auto e = std::make_unique<Entry>();
    e->run = &run_;
    e->place = place;
    const std::wstring caption = widen(kCaption);
    e->window =
        parent != nullptr
            ? CreateWindowExW(0, kWindowClass, caption.c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                              place.width, place.height, parent, nullptr, instance_, e.get())
            : CreateWindowExW(WS_EX_TOPMOST, kWindowClass, caption.c_str(), WS_POPUP, place.x,
                              place.y, place.width, place.height, nullptr, nullptr, instance_,
                              e.get());
    if (e->window == nullptr) return nullptr;
    const ScreenSize size{place.width, place.height};
    e->frame = std::make_unique<Win32Frame>(e->window, size);
    e->hosted = std::make_unique<HostedWindow>(*e->frame, size);
    entries_.push_back(std::move(e));
    return entries_.back().get();
  }
  std::vector<HostedWindow*> hosted() const {
    std::vector<HostedWindow*> all;
    for (const auto& e : entries_) all.push_back(e->hosted.get());
    return all;
  }
  const std::vector<std::unique_ptr<Entry>>& entries() const { return entries_; }

 private:
  HINSTANCE instance_;
  Run& run_;
  std::vector<std::unique_ptr<Entry>> entries_;
};

ScreenSize clientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {static_cast<int>(client.right - client.left),
          static_cast<int>(client.bottom - client.top)};
}

// Runs one demonstration per window until all have ended, dispatching the thread's messages
// meanwhile. A preview also watches its parent: its size, and whether it is still there.
void runDemonstrations(WindowSet& set, Run& run, std::uint32_t seed, HWND parent) {
  const DWORD thread = GetCurrentThreadId();
  Demonstrations demonstrations(set.hosted(), seed,
                                [thread] { PostThreadMessageW(thread, WM_NULL, 0, 0); });
  run.demonstrations = &demonstrations;
  struct Detach {
    Run& run;
    ~Detach() { run.demonstrations = nullptr; }
  } detach{run};
  if (run.closeRequested) demonstrations.closeAll();
  std::optional<ScreenSize> parentSize;
  if (parent != nullptr) parentSize = clientSize(parent);
  while (demonstrations.running()) {
    MsgWaitForMultipleObjectsEx(0, nullptr, kPollMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        run.close();
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (parent == nullptr) continue;
    if (!IsWindow(parent)) {
      run.close();
    } else if (const ScreenSize now = clientSize(parent); now != *parentSize) {
      parentSize = now;
      const Entry& e = *set.entries().front();
      MoveWindow(e.window, 0, 0, now.width, now.height, FALSE);
      e.hosted->requestResize(now);
    }
  }
  demonstrations.finish();
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
        {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
         static_cast<int>(r.bottom - r.top)});
  }
  return TRUE;
}

}  // namespace

int runFullScreen(HINSTANCE instance, std::uint32_t seed) {
  std::vector<Monitor> reported;
  EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&reported));
  // With per-monitor DPI awareness (the manifest) these are physical pixels.
  const std::vector<Monitor> covered = monitorsToCover(
      reported, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  Win32SystemSettings system;
  // Taken before the windows are made and given back after they are gone.
  const DesktopGuard desktop(system);
  StopOnInput input;
  Run run;
  run.input = &input;
  WindowSet set(instance, run);
  for (const Monitor& m : covered) {
    if (set.add(m, nullptr) == nullptr) return 1;
  }
  for (const auto& e : set.entries()) {
    SetWindowPos(e->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  }
  const HWND first = set.entries().front()->window;
  SetForegroundWindow(first);
  SetFocus(first);
  // Where the pointer is when the windows appear: a later movement is measured from there.
  POINT pointer{};
  if (GetCursorPos(&pointer)) {
    input.onMouseMove(0, shiftState(), static_cast<float>(pointer.x),
                      static_cast<float>(pointer.y));
  }
  runDemonstrations(set, run, seed, nullptr);
  return 0;
}

int runHosted(HINSTANCE instance, HWND parent, std::uint32_t seed) {
  Run run;
  WindowSet set(instance, run);
  const ScreenSize size = clientSize(parent);
  const Entry* entry = set.add({0, 0, size.width, size.height}, parent);
  if (entry == nullptr) return 1;
  ShowWindow(entry->window, SW_SHOWNA);
  runDemonstrations(set, run, seed, parent);
  return 0;
}

}  // namespace drevanti::win32

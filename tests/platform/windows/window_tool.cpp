// Test helper: looks at the saver's windows from another program in the same wine session.
//   window_tool cursor            "shown" or "hidden": the pointer as the foreground window has it
//   window_tool find NAME         "HWND LEFT TOP WIDTH HEIGHT STYLE": client area on the screen
//   window_tool controls NAME     one line per child in tab order: "CLASS|TEXT|L T W H|TABSTOP"
//   window_tool focus NAME        the text of the control that has the keyboard focus
//   window_tool closebox NAME     "X Y": a screen point on the title bar's close control
//   window_tool close NAME        posts WM_CLOSE
//   window_tool awareness NAME    the window's DPI awareness: unaware, system or per-monitor
//   window_tool owner NAME        the handle of the window's owner, 0 when it has none
//   window_tool layout            the scene's layout as JSON
// NAME is main (the saver's window), settings (the settings form) or host (preview_host).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "client_area.h"
#include "scene_layout_json.h"

namespace {

HWND findWindow(const char* name) {
  const wchar_t* title = nullptr;
  if (std::strcmp(name, "main") == 0) title = L"シュタイナー問題";
  if (std::strcmp(name, "settings") == 0) title = L"シュタイナー問題設定画面";
  if (std::strcmp(name, "host") == 0) title = L"Drevanti preview host";
  return title != nullptr ? FindWindowW(nullptr, title) : nullptr;
}

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.resize(std::strlen(out.c_str()));
  return out;
}

std::string windowText(HWND window) {
  wchar_t text[256] = L"";
  GetWindowTextW(window, text, 256);
  return utf8(text);
}

int find(HWND window) {
  printClientArea(window);
  std::printf(" %08lx\n", static_cast<unsigned long>(GetWindowLongW(window, GWL_STYLE)));
  return 0;
}

int controls(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = L"";
    GetClassNameW(child, className, 64);
    RECT box{};
    GetWindowRect(child, &box);
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    std::printf("%s|%s|%ld %ld %ld %ld|%d\n", utf8(className).c_str(), windowText(child).c_str(),
                box.left - origin.x, box.top - origin.y, box.right - box.left, box.bottom - box.top,
                (style & WS_TABSTOP) ? 1 : 0);
  }
  return 0;
}

int focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return 1;
  std::printf("%s\n", info.hwndFocus != nullptr ? windowText(info.hwndFocus).c_str() : "");
  return 0;
}

int closeBox(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  // The title bar's right end, where the close control sits: the middle of the points that hit it.
  LONG left = frame.right, right = frame.left, top = frame.bottom, bottom = frame.top;
  for (LONG y = frame.top; y < frame.top + 48; ++y) {
    for (LONG x = frame.right - 64; x < frame.right; ++x) {
      if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTCLOSE) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (left > right) return 1;
  std::printf("%ld %ld\n", (left + right) / 2, (top + bottom) / 2);
  return 0;
}

int owner(HWND window) {
  std::printf("%llu\n", static_cast<unsigned long long>(
                            reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER))));
  return 0;
}

int awareness(HWND window) {
  switch (GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(window))) {
    case DPI_AWARENESS_UNAWARE:
      std::printf("unaware\n");
      return 0;
    case DPI_AWARENESS_SYSTEM_AWARE:
      std::printf("system\n");
      return 0;
    case DPI_AWARENESS_PER_MONITOR_AWARE:
      std::printf("per-monitor\n");
      return 0;
    default:
      return 1;
  }
}

int cursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return 1;
  std::printf("%s\n", (info.flags & CURSOR_SHOWING) ? "shown" : "hidden");
  return 0;
}

int layout() {
  std::fputs(drevanti::test_support::sceneLayoutJson().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "cursor") == 0) return cursor();
  if (argc == 2 && std::strcmp(argv[1], "layout") == 0) return layout();
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_tool cursor | window_tool COMMAND NAME\n");
    return 2;
  }
  const HWND window = findWindow(argv[2]);
  if (window == nullptr) return 1;
  const std::string command = argv[1];
  if (command == "find") return find(window);
  if (command == "controls") return controls(window);
  if (command == "focus") return focus(window);
  if (command == "closebox") return closeBox(window);
  if (command == "close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == "awareness") return awareness(window);
  if (command == "owner") return owner(window);
  return 2;
}

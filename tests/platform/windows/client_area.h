// The helpers' way of naming a window to the test: "HWND LEFT TOP WIDTH HEIGHT", its client area
// on the screen, with no line end, so that a helper may add more.
#pragma once

#include <windows.h>

#include <cstdio>

inline void printClientArea(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("%llu %ld %ld %ld %ld",
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), origin.x,
              origin.y, client.right, client.bottom);
}

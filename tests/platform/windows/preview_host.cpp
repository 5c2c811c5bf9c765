// Test helper: a plain window standing in for the Screen Saver Settings page's preview. It prints
// its handle and the screen place of its client area, then runs until it is closed.
//   preview_host WIDTH HEIGHT               prints "HWND LEFT TOP WIDTH HEIGHT"
//   preview_host WIDTH HEIGHT in-process    the same, then runs the saver's preview itself
// The second form exists because wine shows nothing that a program draws into a window whose
// top-level window belongs to another program; in one program the preview's drawing shows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client_area.h"
#include "win32_saver.h"

namespace {

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool inProcess = argc == 4 && std::strcmp(argv[3], "in-process") == 0;
  if (argc != 3 && !inProcess) {
    std::fprintf(stderr, "usage: preview_host WIDTH HEIGHT [in-process]\n");
    return 2;
  }
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = hostProcedure;
  windowClass.hInstance = instance;
  // Grey, so that a preview which does not cover the whole client area shows.
  windowClass.hbrBackground = CreateSolidBrush(RGB(96, 96, 96));
  windowClass.lpszClassName = L"DrevantiPreviewHost";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Drevanti preview host",
                                      WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 80, width,
                                      height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  UpdateWindow(window);
  printClientArea(window);
  std::printf("\n");
  std::fflush(stdout);
  // The saver's message loop serves this window too: it is on the same thread.
  if (inProcess) {
    return drevanti::win32::runSaverOnWindows(instance, drevanti::LaunchMode::Hosted, window, 1);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

#include "saver_input.h"

#include <windowsx.h>

namespace drevanti::win32 {

int shiftState() {
  const auto held = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
  return (held(VK_SHIFT) ? 1 : 0) | (held(VK_CONTROL) ? 2 : 0) | (held(VK_MENU) ? 4 : 0);
}

SaverInput translateInput(UINT message, WPARAM wParam, LPARAM lParam, int shift) {
  SaverInput input;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:  // Alt and F10, alone or with another key
      input.kind = SaverInput::Kind::KeyDown;
      input.keyCode = static_cast<int>(wParam & 0xFFFF);
      input.shift = shift;
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      input.kind = SaverInput::Kind::Click;
      break;
    case WM_MOUSEMOVE:
      input.kind = SaverInput::Kind::MouseMove;
      input.button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                     ((wParam & MK_MBUTTON) ? 4 : 0);
      input.shift = shift;
      // Signed: left of or above the window (another monitor) the coordinates are negative.
      input.x = static_cast<float>(GET_X_LPARAM(lParam));
      input.y = static_cast<float>(GET_Y_LPARAM(lParam));
      break;
    case WM_CLOSE:
      input.kind = SaverInput::Kind::CloseRequest;
      break;
    default:
      break;
  }
  return input;
}

}  // namespace drevanti::win32

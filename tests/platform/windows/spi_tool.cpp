// Test helper: reads or sets the desktop's screen-saver-active setting inside a wine session, the
// way the saver does (SystemParametersInfoA, for the current logon only).
//   spi_tool get        prints 1 or 0
//   spi_tool set 0|1
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool active() {
  BOOL value = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &value, 0);
  return value != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  // A (hidden) window first: under wine the desktop's display driver, which keeps this setting in
  // the X server for programs with windows such as the saver, is loaded with the first window.
  CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (argc == 2 && std::strcmp(argv[1], "get") == 0) {
    std::printf("%d\n", active() ? 1 : 0);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "set") == 0) {
    const UINT value = std::strcmp(argv[2], "0") == 0 ? FALSE : TRUE;
    if (!SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, value, nullptr, 0)) return 1;
    // Read back, so that the change has reached the desktop before this program ends.
    return active() == (value != FALSE) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: spi_tool get | spi_tool set 0|1\n");
  return 2;
}

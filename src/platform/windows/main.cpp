// drevanti.scr: the screen saver as the Windows screen-saver host starts it.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h, which it builds on
// clang-format on

#include <string>
#include <vector>

#include "app/launch.h"
#include "settings_dialog.h"
#include "state/random_source.h"
#include "wide_text.h"
#include "win32_saver.h"

namespace {

std::vector<std::string> commandLineArguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(drevanti::win32::narrow(words[i]));
  LocalFree(words);
  return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace drevanti;
  using namespace drevanti::win32;
  const Launch launch = parseWindowsLaunch(commandLineArguments());
  switch (launch.mode) {
    case LaunchMode::Settings: {
      const auto owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(launch.window));
      return runSettingsDialog(instance, IsWindow(owner) ? owner : nullptr);
    }
    case LaunchMode::Hosted: {
      const auto parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(launch.window));
      // The host's window may be gone already: then there is nothing to draw into.
      return IsWindow(parent) ? runSaverOnWindows(instance, launch.mode, parent, clockSeed()) : 0;
    }
    case LaunchMode::FullScreen:
      return runSaverOnWindows(instance, launch.mode, nullptr, clockSeed());
    default:
      return 0;  // the host's password-change request: there is no password
  }
}

// drevanti.scr: the screen saver as the Windows screen-saver host starts it.
// clang-format off
#include <windows.h>
#include <shellapi.h>  // after windows.h, which it builds on
// clang-format on

#include <string>
#include <vector>

#include "demonstration.h"
#include "saver_arguments.h"
#include "settings_dialog.h"
#include "wide_text.h"

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
  using namespace drevanti::win32;
  const SaverArguments arguments = parseSaverArguments(commandLineArguments());
  switch (arguments.mode) {
    case SaverMode::ExitAtOnce:
      return 0;
    case SaverMode::Settings:
      return runSettingsDialog(instance);
    case SaverMode::Preview: {
      const auto parent = reinterpret_cast<HWND>(arguments.window);
      // The host's window may be gone already: then there is nothing to draw into.
      return IsWindow(parent) ? runDemonstration(instance, parent) : 0;
    }
    case SaverMode::FullScreen:
      break;
  }
  return runDemonstration(instance, nullptr);
}

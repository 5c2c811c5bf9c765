// frmSteinerConf on Windows: a real dialog window built from the form's description, which says
// that the saver has no settings. Both buttons and the title bar's close control end it.
#pragma once

#include <windows.h>

namespace drevanti::win32 {

// Shows the form (modeless; owned by owner when it is not null, as the Screen Saver Settings page
// asks with /c:HWND) and runs its message loop until it is unloaded. The result is the program's
// exit code.
int runSettingsDialog(HINSTANCE instance, HWND owner);

}  // namespace drevanti::win32

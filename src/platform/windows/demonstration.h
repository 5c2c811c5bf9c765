// The demonstration itself: frmSteiner on the Windows window, until the user stops it (full
// screen) or the host's window goes away (preview).
#pragma once

#include <windows.h>

namespace drevanti::win32 {

// Full screen when previewParent is null, otherwise inside that window's client area. The result
// is the program's exit code.
int runDemonstration(HINSTANCE instance, HWND previewParent);

}  // namespace drevanti::win32

// frmSteinerConf as a real window: fixed size, title bar, drawn by settings_form_view and driven
// by settings_form_controller until either button or the close control unloads it.
#pragma once

#include "text_renderer.h"

namespace drevanti::linux_platform {

// Shows the form and runs it until it is unloaded; needs a running SdlSession. Returns the
// program's exit code.
int runSettingsForm(TextRenderer& text);

}  // namespace drevanti::linux_platform

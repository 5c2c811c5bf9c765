// frmSteinerConf as a real window: fixed size, title bar, drawn by settings_form_view and driven
// by settings_form_controller until either button or the close control unloads it.
#pragma once

#include "app/stop_request.h"
#include "platform/linux_shared/text_renderer.h"

namespace drevanti::x11 {

// Shows the form and runs it until it is unloaded, or the stop request is raised; needs a running
// SdlSession. Returns the program's exit code.
int runSettingsForm(linux_shared::TextRenderer& text, StopRequest& stop);

}  // namespace drevanti::x11

#include "demonstration.h"

#include "app/frm_steiner.h"
#include "app/random_source.h"
#include "saver_window.h"
#include "system_settings.h"

namespace drevanti::win32 {

int runDemonstration(HINSTANCE instance, HWND previewParent) {
  Win32SaverWindow window(instance, previewParent);
  if (window.handle() == nullptr) return 1;
  Win32SystemSettings desktop;
  PreviewSystemSettings untouched;
  SystemSettings& system = previewParent != nullptr ? static_cast<SystemSettings&>(untouched)
                                                    : static_cast<SystemSettings&>(desktop);
  frmSteiner form(window, system, clockSeed());
  form.load();
  return 0;
}

}  // namespace drevanti::win32

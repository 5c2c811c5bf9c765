#include "settings_layout.h"

namespace drevanti::win32 {

int formPixels(int twips, unsigned dpi) {
  const long long base = twipsToPixels(twips);
  const long long scaled = base * static_cast<long long>(dpi);
  return static_cast<int>((scaled + kBaseDpi / 2) / kBaseDpi);
}

PixelBox controlBox(const FormControl& control, unsigned dpi) {
  return {formPixels(control.left, dpi), formPixels(control.top, dpi),
          formPixels(control.width, dpi), formPixels(control.height, dpi)};
}

PixelBox clientBox(unsigned dpi) {
  return {0, 0, formPixels(frmSteinerConf::kClientWidth, dpi),
          formPixels(frmSteinerConf::kClientHeight, dpi)};
}

}  // namespace drevanti::win32

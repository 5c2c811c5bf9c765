// Where the settings form's window and controls go, in pixels of a display of the given DPI: the
// form's twips at 15 per pixel give its size at 96 DPI, scaled up for larger text settings.
#pragma once

#include "app/frm_steiner_conf.h"

namespace drevanti::win32 {

struct PixelBox {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

constexpr int kBaseDpi = 96;

// A length of the form in pixels at the given DPI (rounded to the nearest pixel).
int formPixels(int twips, unsigned dpi);

// A control's place in the client area.
PixelBox controlBox(const FormControl& control, unsigned dpi);

// The client area's size (left and top are 0).
PixelBox clientBox(unsigned dpi);

}  // namespace drevanti::win32

// The scene's layout as JSON, from the code that draws it, for the scripts that check the pictures
// (x11_probe layout, window_tool layout).
#pragma once

#include <cstdio>
#include <string>

#include "render/scene_layout.h"

namespace drevanti::test_support {

inline std::string sceneLayoutJson() {
  char text[256];
  std::snprintf(text, sizeof text,
                "{\"label\": [%d, %d, %d, %d], \"bar_y\": %g, \"bar_length\": %g, "
                "\"bar_right_margin\": %g, \"tick\": %g, \"terminal_radius\": %g}\n",
                kStatusLabel.x, kStatusLabel.y, kStatusLabel.width, kStatusLabel.height,
                static_cast<double>(kScaleBarY), static_cast<double>(kScaleBarLength),
                static_cast<double>(kScaleBarRightMargin), static_cast<double>(kScaleTickHeight),
                static_cast<double>(kTerminalRadius));
  return text;
}

}  // namespace drevanti::test_support

// What the scene is drawn on: drawing primitives only, in pixel units, origin at the top-left
// corner, Y growing downwards; lines and circle outlines one pixel wide unless the density says
// otherwise. Where things go and how they look is the scene's (scene_layout.h); each backend
// implements the primitives.
#pragma once

#include <cstdint>
#include <string_view>

namespace drevanti {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kRed{255, 0, 0};

// A rectangle of whole pixels: its top-left corner and its size.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // The whole surface in one colour.
  virtual void fill(Rgb colour) = 0;
  virtual void fillRect(const Rect& area, Rgb colour) = 0;
  virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  // An outline, not filled.
  virtual void circle(float x, float y, float radius, Rgb colour) = 0;
  // Text with its top-left corner at (x, y), transparent background, platform default font.
  virtual void text(float x, float y, std::string_view utf8, Rgb colour) = 0;
  // The same, of which only the part inside clip is drawn.
  virtual void clippedText(const Rect& clip, float x, float y, std::string_view utf8,
                           Rgb colour) = 0;
  // The height of a line of the text in the default font, in pixels.
  virtual int textHeight(std::string_view utf8) = 0;
  // For what is drawn from now on, on a screen of more than one pixel to the scene's (see
  // ScaledCanvas): lines and circle outlines lineWidth pixels thick, a line's every pixel grown to
  // a lineWidth square to its right and below it, a circle's outline grown inwards; text at
  // textScale times the default font's size. A new canvas draws at (1, 1).
  virtual void setDensity(int lineWidth, double textScale) = 0;
};

}  // namespace drevanti

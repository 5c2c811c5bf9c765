// What the scene is drawn on: drawing primitives only, in pixel units, origin at the top-left
// corner, Y growing downwards; lines and circle outlines one pixel wide. Where things go and how
// they look is the scene's (scene_layout.h); each backend implements the primitives, with its text
// at the density the canvas was made for (thicker lines are ScaledCanvas's).
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

// Coordinates beyond this a canvas may clamp, so that a wild one cannot make a line run for ever:
// it lies far beyond any screen, and a line between two such points stays cheap to walk.
inline constexpr float kCoordinateLimit = 1 << 20;

// A rectangle of whole pixels: its top-left corner and its size.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // The area in one colour; the whole surface when there is none.
  virtual void fill(Rgb colour, const Rect* area) = 0;
  virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  // An outline, not filled.
  virtual void circle(float x, float y, float radius, Rgb colour) = 0;
  // Text with its top-left corner at (x, y), transparent background, platform default font; only
  // the part inside clip is drawn, when there is one.
  virtual void text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) = 0;
  // The height of a line of the text in the default font, in pixels.
  virtual int textHeight(std::string_view utf8) = 0;
};

}  // namespace drevanti

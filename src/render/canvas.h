// The main window's drawing surface as the scene drawing sees it: pixel units, origin at the
// top-left corner, Y growing downwards; lines and circle outlines one pixel wide.
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

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Fills the window with its black background.
  virtual void clear() = 0;
  virtual void line(float x1, float y1, float x2, float y2, Rgb colour) = 0;
  // An outline, not filled.
  virtual void circle(float x, float y, float radius, Rgb colour) = 0;
  // Text with its top-left corner at (x, y), transparent background, platform default font.
  virtual void text(float x, float y, std::string_view utf8, Rgb colour) = 0;
  // The status label: a fixed rectangle with opaque background that keeps its text until changed.
  virtual void setStatus(std::string_view utf8, Rgb textColour, Rgb background) = 0;
};

}  // namespace drevanti

// Text in the platform default font: the face fontconfig chooses for the text (font_lookup.h),
// opened once with SDL_ttf at each pixel size asked for (the renderer's own, times a screen's
// scale), blended onto a surface with a transparent background. Needs TTF_Init; no display.
// Several demonstrations' threads may share one renderer: FreeType's faces must not be used by two
// threads at once.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "font_lookup.h"
#include "owned.h"
#include "render/canvas.h"

namespace drevanti::linux_shared {

// Sizes of the default font, in pixels of its em square. The form's is the classic 9-point dialog
// size at 96 dots per inch; the saver's is one smaller, so that the status line fits the label's
// 401 pixels even with a length of 15 significant digits.
inline constexpr int kFormTextPixels = 12;
inline constexpr int kSaverTextPixels = 11;

struct TextSize {
  int width = 0, height = 0;
};

class TextRenderer {
 public:
  explicit TextRenderer(int pixelSize) : pixelSize_(pixelSize) {}
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  // Draws the text with its top-left corner at (x, y), clipped to the surface's clip rectangle, at
  // scale times the renderer's size.
  void draw(SDL_Surface* target, int x, int y, std::string_view utf8, Rgb colour, double scale = 1);
  TextSize measure(std::string_view utf8, double scale = 1);
  // The face used for this text (for tests and diagnostics).
  TTF_Font* fontFor(std::string_view utf8, double scale = 1);

 private:
  int pixelSize_;
  std::recursive_mutex mutex_;
  // By file, face and pixel size.
  std::map<std::tuple<std::string, int, int>, Owned<TTF_Font, TTF_CloseFont>> open_;
  // ASCII text's face, by pixel size.
  std::map<int, TTF_Font*> ascii_;
  // Non-ASCII strings keep their face, by text and pixel size: the status line never needs one,
  // the form has three.
  std::map<std::pair<std::string, int>, TTF_Font*> byText_;
};

}  // namespace drevanti::linux_shared

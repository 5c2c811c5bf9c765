#include "text_renderer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace drevanti::linux_shared {

namespace {

bool isAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TTF_Font* TextRenderer::fontFor(std::string_view utf8, double scale) {
  const std::lock_guard lock(mutex_);
  const int pixels = std::max(1, static_cast<int>(std::lround(pixelSize_ * scale)));
  const bool ascii = isAscii(utf8);
  if (ascii) {
    if (const auto known = ascii_.find(pixels); known != ascii_.end()) return known->second;
  } else if (const auto known = byText_.find({std::string(utf8), pixels}); known != byText_.end()) {
    return known->second;
  }
  const FontFile file = findFont(ascii ? std::string_view("A") : utf8);
  auto& slot = open_[{file.path, file.index, pixels}];
  if (!slot) {
    slot.reset(TTF_OpenFontIndex(file.path.c_str(), pixels, file.index));
    if (!slot) {
      throw std::runtime_error("cannot open the font " + file.path + ": " + TTF_GetError());
    }
  }
  if (ascii) {
    ascii_.emplace(pixels, slot.get());
  } else {
    byText_.emplace(std::pair{std::string(utf8), pixels}, slot.get());
  }
  return slot.get();
}

void TextRenderer::draw(SDL_Surface* target, int x, int y, std::string_view utf8, Rgb colour,
                        double scale) {
  if (utf8.empty()) return;
  const std::lock_guard lock(mutex_);
  const std::string text(utf8);
  const SDL_Color fg{colour.r, colour.g, colour.b, 255};
  // Blended: anti-aliased glyphs with per-pixel alpha, so whatever lies beneath shows through.
  const Owned<SDL_Surface, SDL_FreeSurface> glyphs(
      TTF_RenderUTF8_Blended(fontFor(utf8, scale), text.c_str(), fg));
  if (!glyphs) return;
  SDL_SetSurfaceBlendMode(glyphs.get(), SDL_BLENDMODE_BLEND);
  SDL_Rect at{x, y, glyphs->w, glyphs->h};
  SDL_BlitSurface(glyphs.get(), nullptr, target, &at);
}

TextSize TextRenderer::measure(std::string_view utf8, double scale) {
  TextSize size;
  if (utf8.empty()) return size;
  const std::lock_guard lock(mutex_);
  const std::string text(utf8);
  TTF_SizeUTF8(fontFor(utf8, scale), text.c_str(), &size.width, &size.height);
  return size;
}

}  // namespace drevanti::linux_shared

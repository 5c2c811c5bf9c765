#include "surface_canvas.h"

#include <stdexcept>

#include "raster.h"

namespace drevanti::linux_shared {

SurfaceCanvas::SurfaceCanvas(SDL_Surface* target, TextRenderer& text, double textScale)
    : surface_(target), text_(text), textScale_(textScale) {
  if (surface_->format->BytesPerPixel < 2) {
    throw std::runtime_error("cannot draw on a surface of 8 bits a pixel");
  }
}

Uint32 SurfaceCanvas::map(Rgb colour) const {
  return SDL_MapRGB(surface_->format, colour.r, colour.g, colour.b);
}

void SurfaceCanvas::plot(int x, int y, Uint32 pixel) {
  if (x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return;
  auto* at = static_cast<Uint8*>(surface_->pixels) +
             static_cast<std::ptrdiff_t>(y) * surface_->pitch +
             static_cast<std::ptrdiff_t>(x) * surface_->format->BytesPerPixel;
  switch (surface_->format->BytesPerPixel) {
    case 2:
      *reinterpret_cast<Uint16*>(at) = static_cast<Uint16>(pixel);
      break;
    case 3:
      // The bytes in the order the surface keeps them.
      for (int i = 0; i < 3; ++i) {
        const int shift = SDL_BYTEORDER == SDL_LIL_ENDIAN ? 8 * i : 8 * (2 - i);
        at[i] = static_cast<Uint8>(pixel >> shift);
      }
      break;
    default:
      *reinterpret_cast<Uint32*>(at) = pixel;
      break;
  }
}

void SurfaceCanvas::fill(Rgb colour, const Rect* area) {
  if (!area) {
    SDL_FillRect(surface_, nullptr, map(colour));
    return;
  }
  SDL_Rect box{area->x, area->y, area->width, area->height};
  SDL_FillRect(surface_, &box, map(colour));
}

void SurfaceCanvas::line(float x1, float y1, float x2, float y2, Rgb colour) {
  const Uint32 pixel = map(colour);
  rasterLine(toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2),
             [&](int x, int y) { plot(x, y, pixel); });
}

void SurfaceCanvas::circle(float x, float y, float radius, Rgb colour) {
  const Uint32 pixel = map(colour);
  rasterCircle(toPixel(x), toPixel(y), toPixel(radius),
               [&](int px, int py) { plot(px, py, pixel); });
}

void SurfaceCanvas::text(float x, float y, std::string_view utf8, Rgb colour, const Rect* clip) {
  if (clip) {
    const SDL_Rect box{clip->x, clip->y, clip->width, clip->height};
    SDL_SetClipRect(surface_, &box);
  }
  text_.draw(surface_, toPixel(x), toPixel(y), utf8, colour, textScale_);
  if (clip) SDL_SetClipRect(surface_, nullptr);
}

int SurfaceCanvas::textHeight(std::string_view utf8) {
  return text_.measure(utf8, textScale_).height;
}

}  // namespace drevanti::linux_shared

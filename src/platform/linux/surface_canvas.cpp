#include "surface_canvas.h"

#include <stdexcept>
#include <string>

#include "raster.h"

namespace drevanti::linux_platform {

SurfaceCanvas::SurfaceCanvas(int width, int height, Uint32 pixelFormat, TextRenderer& text)
    : surface_(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, pixelFormat)), text_(text) {
  if (!surface_) {
    throw std::runtime_error(std::string("cannot create the back buffer: ") + SDL_GetError());
  }
  if (surface_->format->BytesPerPixel != 4) throw std::runtime_error("back buffer is not 32-bit");
  // Copied as it is onto the window, never blended.
  SDL_SetSurfaceBlendMode(surface_.get(), SDL_BLENDMODE_NONE);
  clear();
}

Uint32 SurfaceCanvas::map(Rgb colour) const {
  return SDL_MapRGB(surface_->format, colour.r, colour.g, colour.b);
}

void SurfaceCanvas::plot(int x, int y, Uint32 pixel) {
  if (x < 0 || y < 0 || x >= surface_->w || y >= surface_->h) return;
  auto* row =
      static_cast<Uint8*>(surface_->pixels) + static_cast<std::ptrdiff_t>(y) * surface_->pitch;
  reinterpret_cast<Uint32*>(row)[x] = pixel;
}

void SurfaceCanvas::clear() {
  SDL_FillRect(surface_.get(), nullptr, map(kBlack));
  drawLabel();
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

void SurfaceCanvas::text(float x, float y, std::string_view utf8, Rgb colour) {
  text_.draw(surface_.get(), toPixel(x), toPixel(y), utf8, colour);
}

void SurfaceCanvas::setStatus(std::string_view utf8, Rgb textColour, Rgb background) {
  status_.assign(utf8);
  statusText_ = textColour;
  statusBackground_ = background;
  drawLabel();
}

void SurfaceCanvas::drawLabel() {
  SDL_Rect label = kStatusLabel;
  SDL_FillRect(surface_.get(), &label, map(statusBackground_));
  if (status_.empty()) return;
  // One line, left-aligned, centred in the label's height and cut off at its edges.
  const int textHeight = text_.measure(status_).height;
  SDL_SetClipRect(surface_.get(), &label);
  text_.draw(surface_.get(), label.x + 2, label.y + (label.h - textHeight) / 2, status_,
             statusText_);
  SDL_SetClipRect(surface_.get(), nullptr);
}

}  // namespace drevanti::linux_platform

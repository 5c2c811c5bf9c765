// The saver's back buffer: a software surface the scene is drawn on, shown only as a whole frame.
// It implements the drawing surface of the main window, status label included. Needs no display.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "render/canvas.h"
#include "text_renderer.h"

namespace drevanti::linux_platform {

// lblStatus: left 8, top 0, 401 x 25 pixels.
inline constexpr SDL_Rect kStatusLabel{8, 0, 401, 25};

class SurfaceCanvas final : public Canvas {
 public:
  // A black surface of the given size; pixelFormat is a 32-bit SDL_PIXELFORMAT_* value (the
  // window's, so that showing the frame is a plain copy).
  SurfaceCanvas(int width, int height, Uint32 pixelFormat, TextRenderer& text);

  // Black, with the status label on top: the label is a control that stays when the window's
  // drawing is cleared, and everything drawn after the clear lies above it.
  void clear() override;
  void line(float x1, float y1, float x2, float y2, Rgb colour) override;
  void circle(float x, float y, float radius, Rgb colour) override;
  void text(float x, float y, std::string_view utf8, Rgb colour) override;
  // Repaints the label with its new text and colours, over whatever was drawn there since the
  // last clear (the scene sets it right after clearing, so the tree ends up above it).
  void setStatus(std::string_view utf8, Rgb textColour, Rgb background) override;

  SDL_Surface* surface() const { return surface_.get(); }
  const std::string& status() const { return status_; }

 private:
  struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
  };
  Uint32 map(Rgb colour) const;
  void plot(int x, int y, Uint32 pixel);
  void drawLabel();

  std::unique_ptr<SDL_Surface, SurfaceDeleter> surface_;
  TextRenderer& text_;
  std::string status_;
  Rgb statusText_ = kWhite;
  Rgb statusBackground_ = kBlack;
};

}  // namespace drevanti::linux_platform

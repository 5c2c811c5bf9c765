#include "settings_form_view.h"

namespace drevanti::x11 {

namespace {

class Painter {
 public:
  explicit Painter(SDL_Surface* target) : target_(target) {}

  void fill(SDL_Rect rect, Rgb colour) { SDL_FillRect(target_, &rect, map(colour)); }
  // A one-pixel frame: top and left edges in one colour, bottom and right in another.
  void frame(SDL_Rect r, Rgb topLeft, Rgb bottomRight) {
    fill({r.x, r.y, r.w, 1}, topLeft);
    fill({r.x, r.y, 1, r.h}, topLeft);
    fill({r.x, r.y + r.h - 1, r.w, 1}, bottomRight);
    fill({r.x + r.w - 1, r.y, 1, r.h}, bottomRight);
  }
  // Every other pixel of the rectangle's outline.
  void dotted(SDL_Rect r, Rgb colour) {
    for (int x = r.x; x < r.x + r.w; x += 2) {
      fill({x, r.y, 1, 1}, colour);
      fill({x, r.y + r.h - 1, 1, 1}, colour);
    }
    for (int y = r.y; y < r.y + r.h; y += 2) {
      fill({r.x, y, 1, 1}, colour);
      fill({r.x + r.w - 1, y, 1, 1}, colour);
    }
  }

 private:
  Uint32 map(Rgb c) const { return SDL_MapRGB(target_->format, c.r, c.g, c.b); }
  SDL_Surface* target_;
};

SDL_Rect inset(SDL_Rect r, int by) {
  return {r.x + by, r.y + by, r.w - 2 * by, r.h - 2 * by};
}

void drawButton(Painter& paint, linux_shared::TextRenderer& text, SDL_Surface* target,
                const FormControl& button, bool focused, bool sunken) {
  SDL_Rect r = controlRect(button);
  paint.fill(r, kDialogFace);
  if (focused || sunken) {
    paint.frame(r, kDialogText, kDialogText);
    r = inset(r, 1);
  }
  if (sunken) {
    paint.frame(r, kDialogShadow, kDialogShadow);
  } else {
    paint.frame(r, kDialogHighlight, kDialogDarkShadow);
    paint.frame(inset(r, 1), kDialogFace, kDialogShadow);
  }
  const linux_shared::TextSize size = text.measure(button.text);
  const int shift = sunken ? 1 : 0;
  const int x = r.x + (r.w - size.width) / 2 + shift;
  const int y = r.y + (r.h - size.height) / 2 + shift;
  SDL_SetClipRect(target, &r);
  text.draw(target, x, y, button.text, kDialogText);
  SDL_SetClipRect(target, nullptr);
  if (focused) paint.dotted(inset(r, 3), kDialogText);
}

}  // namespace

void drawSettingsForm(SDL_Surface* target, const SettingsFormController& state,
                      linux_shared::TextRenderer& text) {
  Painter paint(target);
  paint.fill({0, 0, target->w, target->h}, kDialogFace);
  const auto& controls = frmSteinerConf::kControls;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const auto& control = controls[i];
    const int index = static_cast<int>(i);
    if (control.kind == FormControl::Kind::Button) {
      drawButton(paint, text, target, control, state.form().focused() == index,
                 state.sunken() == index);
    } else {
      // A label: its text from the top-left corner, cut off at its edges.
      SDL_Rect r = controlRect(control);
      SDL_SetClipRect(target, &r);
      text.draw(target, r.x, r.y, control.text, kDialogText);
      SDL_SetClipRect(target, nullptr);
    }
  }
}

}  // namespace drevanti::x11

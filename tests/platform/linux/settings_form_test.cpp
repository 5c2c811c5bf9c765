#include <SDL_ttf.h>
#include <gtest/gtest.h>

#include <memory>

#include "settings_form_controller.h"
#include "settings_form_view.h"

namespace drevanti::x11 {
namespace {

constexpr int kOk = 0, kCancel = 1, kComment = 2;

SDL_Point middle(int control) {
  const SDL_Rect r = controlRect(frmSteinerConf::kControls[control]);
  return {r.x + r.w / 2, r.y + r.h / 2};
}

SDL_Event key(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event mouse(Uint32 type, SDL_Point at, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.x = at.x;
    e.motion.y = at.y;
  } else {
    e.button.button = button;
    e.button.x = at.x;
    e.button.y = at.y;
  }
  return e;
}

TEST(SettingsFormInput, PointsFindTheControlsUnderThem) {
  EXPECT_EQ(controlAt(120, 192), kOk);  // top-left pixel of OK
  EXPECT_EQ(controlAt(192, 216), kOk);  // bottom-right pixel
  EXPECT_EQ(controlAt(193, 204), -1);   // just right of it
  EXPECT_EQ(controlAt(296, 204), kCancel);
  EXPECT_EQ(controlAt(297, 204), -1);
  EXPECT_EQ(controlAt(110, 100), kComment);
  EXPECT_EQ(controlAt(5, 5), -1);
}

TEST(SettingsFormInput, TabAndShiftTabMoveTheFocusAndSpaceOrEnterPressesIt) {
  for (SDL_Keycode press : {SDLK_SPACE, SDLK_RETURN, SDLK_KP_ENTER}) {
    SettingsFormController c;
    EXPECT_EQ(c.form().focused(), kOk);
    EXPECT_TRUE(c.handle(key(SDLK_TAB)));
    EXPECT_EQ(c.form().focused(), kCancel);
    EXPECT_TRUE(c.handle(key(SDLK_TAB, KMOD_LSHIFT)));
    EXPECT_EQ(c.form().focused(), kOk);
    EXPECT_FALSE(c.handle(key(SDLK_x)));
    EXPECT_FALSE(c.handle(key(SDLK_ESCAPE)));
    EXPECT_FALSE(c.form().unloaded());
    c.handle(key(press));
    EXPECT_TRUE(c.form().unloaded()) << press;
  }
}

TEST(SettingsFormInput, AButtonClicksWhenReleasedOverIt) {
  for (int button : {kOk, kCancel}) {
    SettingsFormController c;
    EXPECT_TRUE(c.handle(mouse(SDL_MOUSEBUTTONDOWN, middle(button))));
    EXPECT_EQ(c.sunken(), button);
    EXPECT_EQ(c.form().focused(), button);
    EXPECT_FALSE(c.form().unloaded());
    c.handle(mouse(SDL_MOUSEBUTTONUP, middle(button)));
    EXPECT_TRUE(c.form().unloaded()) << button;
  }
}

TEST(SettingsFormInput, ReleasedElsewhereTheButtonOnlySpringsBack) {
  SettingsFormController c;
  c.handle(mouse(SDL_MOUSEBUTTONDOWN, middle(kCancel)));
  EXPECT_TRUE(c.handle(mouse(SDL_MOUSEMOTION, {5, 5})));
  EXPECT_EQ(c.sunken(), -1);
  EXPECT_TRUE(c.handle(mouse(SDL_MOUSEMOTION, middle(kCancel))));
  EXPECT_EQ(c.sunken(), kCancel);
  c.handle(mouse(SDL_MOUSEBUTTONUP, middle(kOk)));
  EXPECT_FALSE(c.form().unloaded());
  EXPECT_EQ(c.sunken(), -1);
  // Right button, labels, empty places: nothing.
  c.handle(mouse(SDL_MOUSEBUTTONDOWN, middle(kOk), SDL_BUTTON_RIGHT));
  c.handle(mouse(SDL_MOUSEBUTTONUP, middle(kOk), SDL_BUTTON_RIGHT));
  c.handle(mouse(SDL_MOUSEBUTTONDOWN, middle(kComment)));
  c.handle(mouse(SDL_MOUSEBUTTONUP, middle(kComment)));
  c.handle(mouse(SDL_MOUSEBUTTONDOWN, {5, 5}));
  c.handle(mouse(SDL_MOUSEBUTTONUP, {5, 5}));
  EXPECT_FALSE(c.form().unloaded());
}

TEST(SettingsFormInput, TheCloseControlUnloadsIt) {
  SettingsFormController byWindow;
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT;
  close.window.event = SDL_WINDOWEVENT_CLOSE;
  byWindow.handle(close);
  EXPECT_TRUE(byWindow.form().unloaded());
  SettingsFormController byQuit;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  byQuit.handle(quit);
  EXPECT_TRUE(byQuit.form().unloaded());
}

class SettingsFormLook : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TTF_Init(), 0) << TTF_GetError();
    text_ = std::make_unique<linux_shared::TextRenderer>(linux_shared::kFormTextPixels);
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, 340, 246, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(surface_, nullptr);
  }
  void TearDown() override {
    SDL_FreeSurface(surface_);
    text_.reset();
    TTF_Quit();
  }
  Rgb at(int x, int y) const {
    const auto* row = static_cast<const Uint8*>(surface_->pixels) + y * surface_->pitch;
    Rgb c;
    SDL_GetRGB(reinterpret_cast<const Uint32*>(row)[x], surface_->format, &c.r, &c.g, &c.b);
    return c;
  }
  int dark(SDL_Rect r) const {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y) {
      for (int x = r.x; x < r.x + r.w; ++x) {
        const Rgb c = at(x, y);
        n += (c.r < 80 && c.g < 80 && c.b < 80) ? 1 : 0;
      }
    }
    return n;
  }
  // The focused button's outer frame is black all round; an unfocused one's top edge is white.
  bool framed(int control) const {
    const SDL_Rect r = controlRect(frmSteinerConf::kControls[control]);
    return dark({r.x + 2, r.y, r.w - 4, 1}) == r.w - 4;
  }
  std::unique_ptr<linux_shared::TextRenderer> text_;
  SDL_Surface* surface_ = nullptr;
};

TEST_F(SettingsFormLook, GreyFaceDarkTextAndTheFocusMarked) {
  SettingsFormController c;
  drawSettingsForm(surface_, c, *text_);
  EXPECT_EQ(at(2, 2), kDialogFace);
  EXPECT_EQ(at(337, 243), kDialogFace);
  for (std::size_t i = 0; i < frmSteinerConf::kControls.size(); ++i) {
    const SDL_Rect r = controlRect(frmSteinerConf::kControls[i]);
    EXPECT_GE(dark({r.x + 3, r.y + 3, r.w - 6, r.h - 6}), 10) << frmSteinerConf::kControls[i].name;
  }
  EXPECT_TRUE(framed(kOk));
  EXPECT_FALSE(framed(kCancel));
  const SDL_Rect cancel = controlRect(frmSteinerConf::kControls[kCancel]);
  EXPECT_EQ(at(cancel.x + 5, cancel.y), kDialogHighlight);

  c.handle(key(SDLK_TAB));
  drawSettingsForm(surface_, c, *text_);
  EXPECT_FALSE(framed(kOk));
  EXPECT_TRUE(framed(kCancel));
}

TEST_F(SettingsFormLook, APressedButtonLooksSunken) {
  SettingsFormController c;
  c.handle(mouse(SDL_MOUSEBUTTONDOWN, middle(kCancel)));
  drawSettingsForm(surface_, c, *text_);
  const SDL_Rect r = controlRect(frmSteinerConf::kControls[kCancel]);
  // Inside the black frame, a grey shadow where the raised look has white.
  EXPECT_EQ(at(r.x + 5, r.y + 1), kDialogShadow);
  EXPECT_EQ(at(r.x + 1, r.y + 5), kDialogShadow);
}

}  // namespace
}  // namespace drevanti::x11

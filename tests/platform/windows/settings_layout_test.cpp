#include "settings_layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string_view>

namespace drevanti::win32 {
namespace {

const FormControl& control(std::string_view name) {
  for (const FormControl& c : frmSteinerConf::kControls) {
    if (c.name == name) return c;
  }
  throw std::invalid_argument("no such control");
}

TEST(SettingsLayoutTest, AtNinetySixDpiTheFormIsItsTwipsOverFifteen) {
  EXPECT_EQ(clientBox(96), (PixelBox{0, 0, 340, 246}));
  EXPECT_EQ(controlBox(control("cmdOk"), 96), (PixelBox{120, 192, 73, 25}));
  EXPECT_EQ(controlBox(control("cmdCancel"), 96), (PixelBox{216, 192, 81, 25}));
  EXPECT_EQ(controlBox(control("lblComment"), 96), (PixelBox{104, 88, 169, 25}));
  EXPECT_EQ(controlBox(control("lblSteiner"), 96), (PixelBox{56, 8, 185, 49}));
  EXPECT_EQ(controlBox(control("lblName"), 96), (PixelBox{144, 136, 121, 33}));
}

TEST(SettingsLayoutTest, LargerTextSettingsScaleEverything) {
  // 150 %: every length half again, rounded to the nearest pixel.
  EXPECT_EQ(clientBox(144), (PixelBox{0, 0, 510, 369}));
  EXPECT_EQ(controlBox(control("cmdOk"), 144), (PixelBox{180, 288, 110, 38}));
  // 125 %.
  EXPECT_EQ(clientBox(120), (PixelBox{0, 0, 425, 308}));
  EXPECT_EQ(controlBox(control("cmdCancel"), 120), (PixelBox{270, 240, 101, 31}));
  // 200 %.
  EXPECT_EQ(controlBox(control("lblName"), 192), (PixelBox{288, 272, 242, 66}));
}

TEST(SettingsLayoutTest, ButtonsLieSideBySideBelowTheLabelsInsideTheClientArea) {
  for (const unsigned dpi : {96u, 120u, 144u, 192u}) {
    const PixelBox client = clientBox(dpi);
    const PixelBox ok = controlBox(control("cmdOk"), dpi);
    const PixelBox cancel = controlBox(control("cmdCancel"), dpi);
    EXPECT_LT(ok.left + ok.width, cancel.left) << dpi;
    EXPECT_EQ(ok.top, cancel.top) << dpi;
    for (const FormControl& c : frmSteinerConf::kControls) {
      const PixelBox box = controlBox(c, dpi);
      EXPECT_LE(box.left + box.width, client.width) << c.name << " at " << dpi;
      EXPECT_LE(box.top + box.height, client.height) << c.name << " at " << dpi;
      if (c.kind == FormControl::Kind::Label) {
        EXPECT_LT(box.top + box.height, ok.top) << c.name;
      }
    }
  }
}

}  // namespace
}  // namespace drevanti::win32

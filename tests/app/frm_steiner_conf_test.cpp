#include "app/frm_steiner_conf.h"

#include <gtest/gtest.h>

namespace drevanti {
namespace {

TEST(SettingsForm, ControlsSitAtTheirPixelPositions) {
  EXPECT_EQ(twipsToPixels(frmSteinerConf::kClientWidth), 340);
  EXPECT_EQ(twipsToPixels(frmSteinerConf::kClientHeight), 246);
  const auto& ok = frmSteinerConf::kControls[0];
  EXPECT_EQ(ok.name, "cmdOk");
  EXPECT_EQ(twipsToPixels(ok.left), 120);
  EXPECT_EQ(twipsToPixels(ok.top), 192);
  EXPECT_EQ(twipsToPixels(ok.width), 73);
  EXPECT_EQ(twipsToPixels(ok.height), 25);
  const auto& cancel = frmSteinerConf::kControls[1];
  EXPECT_EQ(cancel.text, "Cancel");
  EXPECT_EQ(twipsToPixels(cancel.left), 216);
  EXPECT_EQ(twipsToPixels(cancel.width), 81);
  for (std::size_t i = 0; i < frmSteinerConf::kControls.size(); ++i) {
    const auto& c = frmSteinerConf::kControls[i];
    EXPECT_EQ(c.tabIndex, static_cast<int>(i)) << c.name;
    EXPECT_LE(twipsToPixels(c.left + c.width), 340) << c.name;
    EXPECT_LE(twipsToPixels(c.top + c.height), 246) << c.name;
  }
}

TEST(SettingsForm, TabMovesTheFocusBetweenTheButtonsOnly) {
  frmSteinerConf form;
  EXPECT_EQ(form.focused(), 0);
  form.moveFocus(false);
  EXPECT_EQ(form.focused(), 1);
  form.moveFocus(false);
  EXPECT_EQ(form.focused(), 0);
  form.moveFocus(true);
  EXPECT_EQ(form.focused(), 1);
  EXPECT_FALSE(form.unloaded());
}

TEST(SettingsForm, EitherButtonOrTheCloseControlUnloadsIt) {
  for (int control : {0, 1}) {
    frmSteinerConf form;
    form.click(control);
    EXPECT_TRUE(form.unloaded()) << control;
  }
  frmSteinerConf closed;
  closed.onCloseRequest();
  EXPECT_TRUE(closed.unloaded());
  frmSteinerConf label;
  for (int control : {2, 3, 4, -1, 5}) label.click(control);
  EXPECT_FALSE(label.unloaded());
}

}  // namespace
}  // namespace drevanti

#include "saver_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/saver_input.h"

namespace drevanti::win32 {
namespace {

using Kind = SaverInput::Kind;

class Recorder final : public FormEvents {
 public:
  void onClick() override { calls.push_back("click"); }
  void onKeyDown(Integer keyCode, Integer shift) override {
    calls.push_back("key " + std::to_string(keyCode) + " " + std::to_string(shift));
  }
  void onMouseMove(Integer button, Integer shift, float x, float y) override {
    calls.push_back("move " + std::to_string(button) + " " + std::to_string(shift) + " " +
                    std::to_string(static_cast<int>(x)) + " " +
                    std::to_string(static_cast<int>(y)));
  }
  void onCloseRequest() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

LPARAM point(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

TEST(SaverInputTest, EveryKeyIsAKeyDownModifiersIncluded) {
  const SaverInput a = translateInput(WM_KEYDOWN, 'A', 0, 0);
  EXPECT_EQ(a.kind, Kind::KeyDown);
  EXPECT_EQ(a.keyCode, 'A');
  EXPECT_EQ(translateInput(WM_KEYDOWN, VK_SHIFT, 0, 1).shift, 1);
  const SaverInput alt = translateInput(WM_SYSKEYDOWN, VK_MENU, 0, 4);
  EXPECT_EQ(alt.kind, Kind::KeyDown);
  EXPECT_EQ(alt.keyCode, VK_MENU);
  EXPECT_EQ(alt.shift, 4);
  EXPECT_EQ(translateInput(WM_SYSKEYDOWN, VK_F10, 0, 0).kind, Kind::KeyDown);
  // Releases and the characters made from a key are not new keys.
  EXPECT_EQ(translateInput(WM_KEYUP, 'A', 0, 0).kind, Kind::None);
  EXPECT_EQ(translateInput(WM_SYSKEYUP, VK_MENU, 0, 0).kind, Kind::None);
  EXPECT_EQ(translateInput(WM_CHAR, 'a', 0, 0).kind, Kind::None);
}

TEST(SaverInputTest, AnyButtonPressIsAClickReleasesAreNot) {
  for (const UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_XBUTTONDOWN}) {
    EXPECT_EQ(translateInput(message, 0, point(5, 5), 0).kind, Kind::Click) << message;
  }
  for (const UINT message : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_MOUSEWHEEL}) {
    EXPECT_EQ(translateInput(message, 0, point(5, 5), 0).kind, Kind::None) << message;
  }
}

TEST(SaverInputTest, PointerPositionsAreSignedClientPixels) {
  const SaverInput move =
      translateInput(WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, point(1279, 719), 2);
  EXPECT_EQ(move.kind, Kind::MouseMove);
  EXPECT_EQ(move.x, 1279.0f);
  EXPECT_EQ(move.y, 719.0f);
  EXPECT_EQ(move.button, 1 | 4);
  EXPECT_EQ(move.shift, 2);
  // Left of and above the window, on another monitor.
  const SaverInput outside = translateInput(WM_MOUSEMOVE, MK_RBUTTON, point(-3, -1200), 0);
  EXPECT_EQ(outside.x, -3.0f);
  EXPECT_EQ(outside.y, -1200.0f);
  EXPECT_EQ(outside.button, 2);
}

TEST(SaverInputTest, CloseAndOtherMessages) {
  EXPECT_EQ(translateInput(WM_CLOSE, 0, 0, 0).kind, Kind::CloseRequest);
  EXPECT_EQ(translateInput(WM_PAINT, 0, 0, 0).kind, Kind::None);
  EXPECT_EQ(translateInput(WM_TIMER, 1, 0, 0).kind, Kind::None);
}

TEST(SaverInputTest, EachKindReachesItsHandler) {
  Recorder recorder;
  deliver(translateInput(WM_KEYDOWN, VK_SPACE, 0, 1), recorder);
  deliver(translateInput(WM_RBUTTONDOWN, 0, point(1, 1), 0), recorder);
  deliver(translateInput(WM_MOUSEMOVE, 0, point(640, 360), 0), recorder);
  deliver(translateInput(WM_CLOSE, 0, 0, 0), recorder);
  deliver(translateInput(WM_KEYUP, VK_SPACE, 0, 0), recorder);
  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{"key 32 1", "click", "move 0 0 640 360", "close"}));
}

}  // namespace
}  // namespace drevanti::win32

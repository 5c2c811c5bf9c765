#include "app/launch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/saver_input.h"

namespace drevanti {
namespace {

using Args = std::vector<std::string>;

const Launch kFullScreen{LaunchMode::FullScreen, 0, {}};
const Launch kNothing{LaunchMode::DoNothing, 0, {}};

Launch hosted(WindowId window) {
  return {LaunchMode::Hosted, window, {}};
}

TEST(WindowId, DecimalOrHexadecimalInEitherCase) {
  EXPECT_EQ(parseWindowId("12345"), 12345u);
  EXPECT_EQ(parseWindowId("0x2a00007"), 0x2a00007u);
  EXPECT_EQ(parseWindowId("0X2A00007"), 0x2a00007u);
  EXPECT_EQ(parseWindowId("0xFfFf"), 0xffffu);
  for (const char* bad :
       {"", "0x", "x12", "12ab", "-5", "+5", " 5", "0x-1", "0x1g", "99999999999999999999999"}) {
    EXPECT_EQ(parseWindowId(bad), std::nullopt) << bad;
  }
}

TEST(LinuxLaunch, FullScreenUnlessAHostOrTheFormIsAskedFor) {
  EXPECT_EQ(parseLinuxLaunch({}, nullptr), kFullScreen);
  EXPECT_EQ(parseLinuxLaunch({"--anything", "-x"}, nullptr), kFullScreen);
  // Without --root the host's variable means nothing.
  EXPECT_EQ(parseLinuxLaunch({}, "0x400001"), kFullScreen);
  EXPECT_EQ(parseLinuxLaunch({"--settings"}, nullptr), (Launch{LaunchMode::Settings, 0, {}}));
}

TEST(LinuxLaunch, RootDrawsInTheHostsWindowInHexOrDecimalElseTheRootWindow) {
  // xscreensaver writes the window in hexadecimal, xsecurelock in decimal.
  EXPECT_EQ(parseLinuxLaunch({"--root"}, "0x400001"), hosted(0x400001));
  EXPECT_EQ(parseLinuxLaunch({"-root"}, "4194305"), hosted(4194305));
  EXPECT_EQ(parseLinuxLaunch({"-root"}, nullptr), hosted(kRootWindow));
  const Launch bad = parseLinuxLaunch({"--root"}, "window\x1b[2J");
  EXPECT_EQ(bad.mode, LaunchMode::Invalid);
  EXPECT_EQ(bad.error, "XSCREENSAVER_WINDOW is not a window id: 'window\\x1b[2J'");
}

TEST(LinuxLaunch, WindowIdWinsOverRootAndMustBeAWindow) {
  // xscreensaver's settings preview passes both.
  EXPECT_EQ(parseLinuxLaunch({"--root", "--window-id", "0x3e00004"}, "0x400001"),
            hosted(0x3e00004));
  EXPECT_EQ(parseLinuxLaunch({"-window-id", "65011716", "-root"}, nullptr), hosted(65011716));
  EXPECT_EQ(parseLinuxLaunch({"--window-id"}, nullptr).mode, LaunchMode::Invalid);
  EXPECT_EQ(parseLinuxLaunch({"--window-id", "0"}, nullptr).mode, LaunchMode::Invalid);
  EXPECT_EQ(parseLinuxLaunch({"--window-id", "preview"}, nullptr).error,
            "--window-id takes a window id in decimal or 0x-hexadecimal, not 'preview'");
}

TEST(LinuxLaunch, OnIdleTakesMinutesWithFractionsOrLeavesThemToTheDesktop) {
  EXPECT_EQ(parseLinuxLaunch({"--on-idle"}, nullptr), (Launch{LaunchMode::OnIdle, 0, {}}));
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=4"}, nullptr).idleMinutes, 4.0);
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=0.05"}, nullptr).idleMinutes, 0.05);
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=.5"}, nullptr).idleMinutes, 0.5);
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=1440"}, nullptr).idleMinutes, 1440.0);
  // The first request decides, and its minutes with it.
  EXPECT_EQ(parseLinuxLaunch({"--register", "--on-idle=3"}, nullptr),
            (Launch{LaunchMode::Register, 0, {}}));
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=2", "--on-idle=3"}, nullptr).idleMinutes, 2.0);
  EXPECT_EQ(parseLinuxLaunch({"--unregister"}, nullptr), (Launch{LaunchMode::Unregister, 0, {}}));
  for (const char* bad :
       {"", "0", "0.001", "1441", "-1", "+1", "1e2", "nan", "inf", "4min", "4,5", " 4", "0x10"}) {
    const Launch launch = parseLinuxLaunch({std::string("--on-idle=") + bad}, nullptr);
    EXPECT_EQ(launch.mode, LaunchMode::Invalid) << bad;
  }
  EXPECT_EQ(parseLinuxLaunch({"--on-idle=soon"}, nullptr).error,
            "--on-idle= takes minutes, from 0.01 to 1440, such as 4 or 0.5, not 'soon'");
}

TEST(WindowsLaunch, FullScreenWithoutArgumentsAndForS) {
  EXPECT_EQ(parseWindowsLaunch({}), kFullScreen);
  EXPECT_EQ(parseWindowsLaunch({"/s"}), kFullScreen);
  EXPECT_EQ(parseWindowsLaunch({"/S"}), kFullScreen);
  EXPECT_EQ(parseWindowsLaunch({"-s"}), kFullScreen);
}

TEST(WindowsLaunch, SettingsWithOrWithoutTheHostsWindow) {
  EXPECT_EQ(parseWindowsLaunch({"/c"}), (Launch{LaunchMode::Settings, 0, {}}));
  EXPECT_EQ(parseWindowsLaunch({"-C"}), (Launch{LaunchMode::Settings, 0, {}}));
  EXPECT_EQ(parseWindowsLaunch({"/c:1234"}), (Launch{LaunchMode::Settings, 1234, {}}));
  EXPECT_EQ(parseWindowsLaunch({"/C:66254"}), (Launch{LaunchMode::Settings, 66254, {}}));
  EXPECT_EQ(parseWindowsLaunch({"/c", "4321"}), (Launch{LaunchMode::Settings, 4321, {}}));
  // A handle that cannot be read still opens the form, without an owner.
  EXPECT_EQ(parseWindowsLaunch({"/c:window"}), (Launch{LaunchMode::Settings, 0, {}}));
}

TEST(WindowsLaunch, PreviewTakesTheWindowAfterASpaceOrAColon) {
  EXPECT_EQ(parseWindowsLaunch({"/p", "131242"}), hosted(131242));
  EXPECT_EQ(parseWindowsLaunch({"/P", "7"}), hosted(7));
  EXPECT_EQ(parseWindowsLaunch({"-p:65630"}), hosted(65630));
  // One argument holding both, as some hosts quote it.
  EXPECT_EQ(parseWindowsLaunch({"/p 9876"}), hosted(9876));
  // Handles are pointer-sized.
  EXPECT_EQ(parseWindowsLaunch({"/p", "4294967297"}), hosted(4294967297u));
}

TEST(WindowsLaunch, PreviewWithoutAUsableWindowDoesNothing) {
  for (const Args& args : {Args{"/p"}, Args{"/p", "0"}, Args{"/p", "12ab"}, Args{"/p", "-5"},
                           Args{"/p:"}, Args{"/p", "99999999999999999999999"}}) {
    EXPECT_EQ(parseWindowsLaunch(args), kNothing) << args.size();
  }
}

TEST(WindowsLaunch, PasswordChangeDoesNothing) {
  EXPECT_EQ(parseWindowsLaunch({"/a"}), kNothing);
  EXPECT_EQ(parseWindowsLaunch({"-A", "1234"}), kNothing);
  EXPECT_EQ(parseWindowsLaunch({"/a:1234"}), kNothing);
}

TEST(WindowsLaunch, AnythingElseRunsFullScreenAndOnlyTheFirstArgumentDecides) {
  for (const Args& args :
       {Args{""}, Args{"/"}, Args{"/x"}, Args{"c"}, Args{"settings"}, Args{"/config"},
        Args{"/preview", "1234"}, Args{"--c"}, Args{"/s", "/c"}, Args{"/x", "/p", "1234"}}) {
    EXPECT_EQ(parseWindowsLaunch(args), kFullScreen) << args[0];
  }
  EXPECT_EQ(parseWindowsLaunch({"/c", "/p"}), (Launch{LaunchMode::Settings, 0, {}}));
}

struct Recorder final : FormEvents {
  void onClick() override { calls.push_back("click"); }
  void onKeyDown(Integer key, Integer shift) override {
    calls.push_back("key " + std::to_string(key) + " " + std::to_string(shift));
  }
  void onMouseMove(Integer button, Integer, float x, float y) override {
    calls.push_back("move " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) +
                    "," + std::to_string(static_cast<int>(y)));
  }
  void onCloseRequest() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

TEST(SaverInput, DeliverCallsTheMatchingHandlerOnly) {
  using Kind = SaverInput::Kind;
  Recorder r;
  deliver({Kind::KeyDown, 4, 1, 0, 0, 0}, r);
  deliver({Kind::Click}, r);
  deliver({Kind::MouseMove, 0, 0, 2, 12.0f, 34.0f}, r);
  deliver({Kind::CloseRequest}, r);
  deliver({Kind::None}, r);
  EXPECT_EQ(r.calls, (std::vector<std::string>{"key 4 1", "click", "move 2 12,34", "close"}));
}

}  // namespace
}  // namespace drevanti

#include "saver_arguments.h"

#include <gtest/gtest.h>

namespace drevanti::win32 {
namespace {

SaverArguments parse(std::vector<std::string> arguments) {
  return parseSaverArguments(arguments);
}

constexpr SaverArguments kFullScreen{SaverMode::FullScreen, 0};
constexpr SaverArguments kExit{SaverMode::ExitAtOnce, 0};

TEST(SaverArgumentsTest, FullScreenWithoutArgumentsAndForS) {
  EXPECT_EQ(parse({}), kFullScreen);
  EXPECT_EQ(parse({"/s"}), kFullScreen);
  EXPECT_EQ(parse({"/S"}), kFullScreen);
  EXPECT_EQ(parse({"-s"}), kFullScreen);
}

TEST(SaverArgumentsTest, SettingsWithOrWithoutTheHostsWindow) {
  EXPECT_EQ(parse({"/c"}), (SaverArguments{SaverMode::Settings, 0}));
  EXPECT_EQ(parse({"-C"}), (SaverArguments{SaverMode::Settings, 0}));
  EXPECT_EQ(parse({"/c:1234"}), (SaverArguments{SaverMode::Settings, 1234}));
  EXPECT_EQ(parse({"/C:66254"}), (SaverArguments{SaverMode::Settings, 66254}));
  EXPECT_EQ(parse({"/c", "4321"}), (SaverArguments{SaverMode::Settings, 4321}));
  // A handle that cannot be read still opens the form, without an owner.
  EXPECT_EQ(parse({"/c:window"}), (SaverArguments{SaverMode::Settings, 0}));
}

TEST(SaverArgumentsTest, PreviewTakesTheWindowAfterASpaceOrAColon) {
  EXPECT_EQ(parse({"/p", "131242"}), (SaverArguments{SaverMode::Preview, 131242}));
  EXPECT_EQ(parse({"/P", "7"}), (SaverArguments{SaverMode::Preview, 7}));
  EXPECT_EQ(parse({"-p:65630"}), (SaverArguments{SaverMode::Preview, 65630}));
  // One argument holding both, as some hosts quote it.
  EXPECT_EQ(parse({"/p 9876"}), (SaverArguments{SaverMode::Preview, 9876}));
  // Handles are pointer-sized.
  EXPECT_EQ(parse({"/p", "4294967297"}), (SaverArguments{SaverMode::Preview, 4294967297u}));
}

TEST(SaverArgumentsTest, PreviewWithoutAUsableWindowExits) {
  EXPECT_EQ(parse({"/p"}), kExit);
  EXPECT_EQ(parse({"/p", "0"}), kExit);
  EXPECT_EQ(parse({"/p", "12ab"}), kExit);
  EXPECT_EQ(parse({"/p", "-5"}), kExit);
  EXPECT_EQ(parse({"/p:"}), kExit);
  EXPECT_EQ(parse({"/p", "99999999999999999999999"}), kExit);
}

TEST(SaverArgumentsTest, PasswordChangeExitsAtOnce) {
  EXPECT_EQ(parse({"/a"}), kExit);
  EXPECT_EQ(parse({"-A", "1234"}), kExit);
  EXPECT_EQ(parse({"/a:1234"}), kExit);
}

TEST(SaverArgumentsTest, AnythingElseRunsFullScreen) {
  EXPECT_EQ(parse({""}), kFullScreen);
  EXPECT_EQ(parse({"/"}), kFullScreen);
  EXPECT_EQ(parse({"/x"}), kFullScreen);
  EXPECT_EQ(parse({"c"}), kFullScreen);
  EXPECT_EQ(parse({"settings"}), kFullScreen);
  EXPECT_EQ(parse({"/config"}), kFullScreen);
  EXPECT_EQ(parse({"/preview", "1234"}), kFullScreen);
  EXPECT_EQ(parse({"--c"}), kFullScreen);
}

TEST(SaverArgumentsTest, OnlyTheFirstArgumentChoosesTheMode) {
  EXPECT_EQ(parse({"/s", "/c"}), kFullScreen);
  EXPECT_EQ(parse({"/x", "/p", "1234"}), kFullScreen);
  EXPECT_EQ(parse({"/c", "/p"}), (SaverArguments{SaverMode::Settings, 0}));
}

}  // namespace
}  // namespace drevanti::win32

#include "app/frm_steiner.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/desktop_guard.h"
#include "fake_platform.h"

namespace drevanti {
namespace {

using test_support::FakeSystem;
using test_support::FakeWindow;
using Strings = std::vector<std::string>;

struct Saver {
  explicit Saver(ScreenSize screen = {1920, 1080}) : window(screen) {}
  // Runs the saver; the given input arrives with the do-events call numbered at.
  void runUntil(long at, std::function<void(FormEvents&)> input) {
    window.onDispatch = [at, input](FormEvents& handlers, long call) {
      if (call == at) input(handlers);
    };
    form->load();
  }
  FakeWindow window;
  std::unique_ptr<frmSteiner> form = std::make_unique<frmSteiner>(window, 7);
};

const auto kKey = [](FormEvents& h) { h.onKeyDown(65, 0); };

TEST(SaverLifecycle, StartsUpInOrderAndAnEarlyKeyStopsBeforeAnyInstance) {
  Saver saver;
  saver.runUntil(1, kKey);
  EXPECT_EQ(saver.window.log, (Strings{"show", "present", "present", "hide", "unload"}));
  EXPECT_EQ(saver.form->state().terminalCount, 0);
  EXPECT_EQ(saver.form->quitFlag(), -1);
  // The stop sequence clears the window before it is hidden.
  EXPECT_TRUE(saver.window.recorded().clearedLast());
}

TEST(DesktopGuard, GivesThePointerAndTheScreenSaverSettingBackAsTheyWere) {
  for (bool before : {false, true}) {
    FakeSystem system(before);
    {
      DesktopGuard guard(system);
      EXPECT_EQ(system.active, true);
    }
    EXPECT_EQ(system.active, before);
    EXPECT_EQ(system.log,
              (Strings{"screen saver read", "screen saver on", "cursor hidden",
                       before ? "screen saver on" : "screen saver off", "cursor shown"}));
  }
}

TEST(DesktopGuard, GivesThemBackWhenTheSaverFails) {
  FakeSystem system(false);
  try {
    DesktopGuard guard(system);
    throw std::runtime_error("the window system went away");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(system.active, false);
  EXPECT_EQ(system.log.back(), "cursor shown");
}

TEST(DesktopGuard, ASettingThatCannotBeReadIsNeverWritten) {
  FakeSystem system(std::nullopt);
  { DesktopGuard guard(system); }
  EXPECT_EQ(system.log, (Strings{"screen saver read", "cursor hidden", "cursor shown"}));
}

TEST(SaverLifecycle, ClickKeyAndCloseRequestEachStopTheSaver) {
  const std::vector<std::function<void(FormEvents&)>> inputs = {
      [](FormEvents& h) { h.onClick(); }, [](FormEvents& h) { h.onKeyDown(16, 1); },
      [](FormEvents& h) { h.onCloseRequest(); }};
  for (const auto& input : inputs) {
    Saver saver;
    saver.runUntil(200, input);
    EXPECT_GE(saver.window.dispatches, 200);
    EXPECT_LE(saver.window.dispatches, 201);
    EXPECT_EQ(saver.window.log.back(), "unload");
  }
}

TEST(SaverLifecycle, AStopDuringTheRoundsEndsAtTheNextCheckpoint) {
  for (long at : {2L, 40L, 777L, 5000L}) {
    Saver saver;
    saver.runUntil(at, kKey);
    // The request is seen right after the dispatch that brought it, or, when it arrived while the
    // saver was pausing for the display, at the checkpoint after the pause.
    EXPECT_LE(saver.window.dispatches, at + 1) << at;
    EXPECT_EQ(saver.window.log.back(), "unload") << at;
  }
}

TEST(SaverLifecycle, AStopDuringAPauseEndsThePause) {
  Saver saver;
  saver.window.onDispatch = [&](FormEvents& h, long) {
    if (saver.window.waits == 1) h.onClick();
  };
  saver.form->load();
  EXPECT_EQ(saver.window.waits, 1);
}

TEST(SaverLifecycle, FramesComeAtLeastAPauseApartAndEachFinalTreeStaysTwoSeconds) {
  Saver saver;
  saver.window.onDispatch = [&](FormEvents& h, long) {
    if (saver.window.presents.size() > 150) h.onClick();
  };
  saver.form->load();
  const auto& frames = saver.window.presents;
  ASSERT_GT(frames.size(), 150u);
  int newInstances = 0;
  // Frame 0 is the black window at start-up; the last one is the stop sequence's clear.
  for (std::size_t i = 2; i + 1 < frames.size(); ++i) {
    const auto gap = frames[i].at - frames[i - 1].at;
    EXPECT_GE(gap, kMinFrameInterval) << i;
    if (frames[i].status.find(" counter=0 d=99999.9 ") != std::string::npos) {
      ++newInstances;
      EXPECT_GE(gap, kFinalTreeHold) << i;
    }
  }
  EXPECT_GE(newInstances, 2);
}

TEST(SaverLifecycle, TheFirstFrameShowsTheNewInstanceWithNoTreeYet) {
  Saver saver;
  saver.runUntil(3, kKey);
  ASSERT_GE(saver.window.presents.size(), 2u);
  const int n = saver.form->state().terminalCount;
  ASSERT_GE(n, 4);
  EXPECT_EQ(saver.window.presents[1].status, "N=" + std::to_string(n) + " M=-" + std::to_string(n) +
                                                 " N+M=0 counter=0 d=99999.9 counter2=0");
}

TEST(SaverLifecycle, AResizedWindowGetsANewInstanceLaidOutForItsNewSize) {
  Saver saver({1920, 1080});
  saver.window.onDispatch = [&](FormEvents& h, long call) {
    if (call == 300) saver.window.resize({640, 400});
    if (saver.window.presents.size() > 40) h.onClick();
  };
  saver.form->load();
  // The scale bar follows the window's width, and the terminals of the new instance lie on it.
  const auto& calls = saver.window.recorded().calls;
  bool newBar = false;
  for (const auto& c : calls)
    newBar |= c.what == "line" && c.x1 == 440 && c.x2 == 540 && c.y1 == 30;
  EXPECT_TRUE(newBar);
  const SolverState& s = saver.form->state();
  for (int j = 0; j < s.terminalCount; ++j) {
    EXPECT_LT(s.savedX[j], 640 - 15) << j;
    EXPECT_LT(s.savedY[j], 400 - 15) << j;
  }
}

TEST(SaverLifecycle, AScreenWithNoRoomStaysBlackAndStillAnswers) {
  for (ScreenSize screen : {ScreenSize{30, 200}, ScreenSize{30, 30}}) {
    Saver saver(screen);
    saver.window.onDispatch = [&](FormEvents& h, long) {
      if (saver.window.waited > std::chrono::seconds(10)) h.onKeyDown(65, 0);
    };
    saver.form->load();
    EXPECT_EQ(saver.form->state().terminalCount, 0);
    EXPECT_EQ(saver.window.log.back(), "unload");
    // It pauses between looks rather than spinning (a spin would never move the clock on).
    EXPECT_LE(saver.window.dispatches, 2 * (saver.window.waited / kNoRoomPause) + 2);
  }
}

TEST(MouseMove, TheFirstEventOnlyRecordsThePosition) {
  StopOnInput handlers;
  handlers.onMouseMove(0, 0, 300, 200);
  EXPECT_EQ(handlers.quitFlag(), 0);
  handlers.onMouseMove(0, 0, 300, 200);
  EXPECT_EQ(handlers.quitFlag(), 0);
  handlers.onMouseMove(0, 0, 300, 201);
  EXPECT_EQ(handlers.quitFlag(), -1);
}

TEST(MouseMove, OnePixelInEitherDirectionStops) {
  for (auto [dx, dy] : {std::pair{1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, -1.0f}}) {
    StopOnInput handlers;
    handlers.onMouseMove(0, 0, 50, 60);
    handlers.onMouseMove(0, 0, 50 + dx, 60 + dy);
    EXPECT_EQ(handlers.quitFlag(), -1) << dx << "," << dy;
  }
}

TEST(MouseMove, APointerFirstSeenAtTheCornerCountsAsNotYetSeen) {
  StopOnInput handlers;
  handlers.onMouseMove(0, 0, 0, 0);
  handlers.onMouseMove(0, 0, 5, 5);
  EXPECT_EQ(handlers.quitFlag(), 0);
  handlers.onMouseMove(0, 0, 5, 5);
  EXPECT_EQ(handlers.quitFlag(), 0);
  handlers.onMouseMove(0, 0, 5, 6);
  EXPECT_EQ(handlers.quitFlag(), -1);
}

TEST(MouseMove, PositionsRoundToTheNearestIntegerWithHalvesToEven) {
  StopOnInput handlers;
  handlers.onMouseMove(0, 0, 2.5f, 3.5f);  // recorded as (2, 4)
  for (auto [x, y] : {std::pair{2.4f, 4.4f}, {1.5f, 3.6f}, {2.49f, 4.5f}}) {
    handlers.onMouseMove(0, 0, x, y);
    EXPECT_EQ(handlers.quitFlag(), 0) << x << "," << y;
  }
  handlers.onMouseMove(0, 0, 2.51f, 4.0f);
  EXPECT_EQ(handlers.quitFlag(), -1);
}

TEST(MouseMove, NothingSetsTheQuitFlagBack) {
  StopOnInput handlers;
  handlers.onKeyDown(17, 2);
  handlers.onMouseMove(0, 0, 10, 10);
  handlers.onMouseMove(0, 0, 10, 10);
  EXPECT_EQ(handlers.quitFlag(), -1);
}

}  // namespace
}  // namespace drevanti

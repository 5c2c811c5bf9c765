// Full screen on several monitors: which monitors get a window, and one demonstration per window,
// each laid out for its own window, all ending together.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/demonstrations.h"
#include "app/monitor_layout.h"
#include "app/window_owner.h"
#include "fake_platform.h"

namespace drevanti {
namespace {

TEST(MonitorLayout, EachMonitorOnceMirrorsAndEmptyOnesLeftOut) {
  const Monitor whole{0, 0, 2304, 768};
  const Monitor left{0, 0, 1280, 720}, right{1280, 0, 1024, 768};
  EXPECT_EQ(monitorsToCover({left, right}, whole), (std::vector<Monitor>{left, right}));
  // A mirror showing part of the left picture, the same monitor twice, an empty one.
  EXPECT_EQ(monitorsToCover({left, {0, 0, 1024, 720}, right, right, {5, 5, 0, 0}}, whole),
            (std::vector<Monitor>{left, right}));
  // Overlapping without one containing the other: both are covered.
  const Monitor shifted{1000, 0, 1280, 720};
  EXPECT_EQ(monitorsToCover({left, shifted}, whole), (std::vector<Monitor>{left, shifted}));
  EXPECT_EQ(monitorsToCover({}, whole), (std::vector<Monitor>{whole}));
  EXPECT_EQ(monitorsToCover({{0, 0, 0, 768}}, whole), (std::vector<Monitor>{whole}));
}

// A window's frames as a monitor's window would show them, recorded.
class RecordedFrames final : public FrameTarget {
 public:
  Canvas& canvas() override { return canvas_; }
  void present() override {
    if (failAt_ != 0 && presents + 1 == failAt_) throw std::runtime_error("the display went away");
    ++presents;
  }
  void resize(ScreenSize size) override { resizedWidth = size.width; }
  void failAtPresent(int n) { failAt_ = n; }

  test_support::RecordingCanvas canvas_;
  std::atomic<int> presents{0};
  std::atomic<int> resizedWidth{0};

 private:
  int failAt_ = 0;
};

bool hasScaleBarFor(const test_support::RecordingCanvas& canvas, int width) {
  for (const auto& c : canvas.calls) {
    if (c.what == "line" && c.y1 == 30 && c.y2 == 30 && c.x1 == width - 200 &&
        c.x2 == width - 100) {
      return true;
    }
  }
  return false;
}

void waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!condition() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(condition());
}

TEST(Demonstrations, OnePerWindowEachOnItsOwnSizeAllEndingTogether) {
  RecordedFrames first, second;
  HostedWindow a(first, {1280, 720}), b(second, {1024, 768});
  std::atomic<int> ended{0};
  Demonstrations demonstrations([&] { ++ended; });
  demonstrations.start(a, 5);
  demonstrations.start(b, 6);
  waitFor([&] { return first.presents >= 3 && second.presents >= 3; });
  // A monitor whose window changes size gets an instance for the new size.
  b.requestResize({800, 600});
  waitFor([&] { return second.resizedWidth == 800; });
  const int before = second.presents;
  waitFor([&] { return second.presents >= before + 2; });
  EXPECT_TRUE(demonstrations.running());
  demonstrations.closeAll();
  demonstrations.finish();
  EXPECT_FALSE(demonstrations.running());
  EXPECT_EQ(ended, 2);
  EXPECT_TRUE(hasScaleBarFor(first.canvas_, 1280));
  EXPECT_FALSE(hasScaleBarFor(first.canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(second.canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(second.canvas_, 800));
  // Each ran the stop sequence; their own random sequences gave them different instances.
  EXPECT_TRUE(first.canvas_.clearedLast());
  EXPECT_TRUE(second.canvas_.clearedLast());
  std::string firstStatus, secondStatus;
  for (const auto& c : first.canvas_.calls) {
    if (c.what == "clipped text" && firstStatus.empty()) firstStatus = c.text;
  }
  for (const auto& c : second.canvas_.calls) {
    if (c.what == "clipped text" && secondStatus.empty()) secondStatus = c.text;
  }
  EXPECT_NE(firstStatus, secondStatus);
}

TEST(Demonstrations, OneFailingEndsTheOthersAndTheFailureReachesTheOwner) {
  RecordedFrames failing, other;
  failing.failAtPresent(3);
  HostedWindow a(failing, {640, 480}), b(other, {640, 480});
  Demonstrations demonstrations(nullptr);
  demonstrations.start(a, 1);
  demonstrations.start(b, 2);
  waitFor([&] { return !demonstrations.running(); });
  EXPECT_THROW(demonstrations.finish(), std::runtime_error);
  EXPECT_TRUE(other.canvas_.clearedLast());
}

// A window system with no windows: each window's frames are recorded, every open and close is
// logged, and the test's script runs at each dispatch, as the backend's events would.
class FakeWindowSystem final : public WindowSystem {
 public:
  using Script = std::function<void(FakeWindowSystem&, WindowEvents&)>;
  FakeWindowSystem(MonitorReport monitors, Script script)
      : report(std::move(monitors)), script_(std::move(script)) {}

  MonitorReport monitors() override { return report; }
  FrameTarget& open(WindowKey window, const Monitor& place) override {
    log.push_back("open " + std::to_string(window));
    places[window] = place;
    return frames[window];
  }
  void close(WindowKey window) override { log.push_back("close " + std::to_string(window)); }
  std::optional<DesktopPoint> pointer() override { return pointerAt; }
  void dispatch(WindowEvents& events, std::chrono::milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (std::chrono::steady_clock::now() > deadline_) {
      timedOut = true;
      events.input(kNoWindow, {SaverInput::Kind::CloseRequest});
      return;
    }
    script_(*this, events);
  }
  void wake() override {}
  void stopServing() override {}

  bool closed(WindowKey key) const {
    return std::find(log.begin(), log.end(), "close " + std::to_string(key)) != log.end();
  }
  int presents(WindowKey key) { return frames[key].presents; }
  std::size_t openCount() const { return places.size() - closedCount(); }
  std::size_t closedCount() const {
    return std::count_if(log.begin(), log.end(), [](const std::string& l) { return l[0] == 'c'; });
  }

  MonitorReport report;
  std::optional<DesktopPoint> pointerAt;
  std::map<WindowKey, RecordedFrames> frames;
  std::map<WindowKey, Monitor> places;
  std::vector<std::string> log;
  bool timedOut = false;
  int step = 0;  // the script's own progress

 private:
  Script script_;
  std::chrono::steady_clock::time_point deadline_ =
      std::chrono::steady_clock::now() + std::chrono::seconds(30);
};

// Runs the owner in full screen over the fake until the script ends it: every window is closed
// before the desktop is given back.
void runOwner(FakeWindowSystem& system) {
  Demonstrations demonstrations([] {});
  WindowOwner owner(system, demonstrations, 7);
  test_support::FakeSystem desktop(false);
  owner.runFullScreen(desktop);
  EXPECT_FALSE(system.timedOut);
  EXPECT_EQ(system.openCount(), 0u);
  EXPECT_EQ(desktop.log.back(), "cursor shown");
  EXPECT_EQ(desktop.active, false);
}

const SaverInput kKey{SaverInput::Kind::KeyDown, 30};

const Monitor kLeft{0, 0, 1280, 720}, kRight{1280, 0, 1024, 768};
const Monitor kWhole{0, 0, 2304, 768};

TEST(WindowOwner, AMonitorAddedGetsItsOwnWindowAndDemonstration) {
  FakeWindowSystem system({{kLeft}, kWhole}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(0) >= 2) {
      events.monitorsChanged({{kLeft, kRight}, kWhole});
      ++s.step;
    } else if (s.step == 1 && s.presents(1) >= 3) {
      events.input(1, kKey);  // input on the new monitor ends all
      ++s.step;
    }
  });
  runOwner(system);
  ASSERT_EQ(system.log.size(), 4u);
  EXPECT_EQ(system.log[1], "open 1");
  EXPECT_EQ(system.places[1], kRight);
  EXPECT_TRUE(hasScaleBarFor(system.frames[1].canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(system.frames[0].canvas_, 1280));
}

TEST(WindowOwner, AMonitorRemovedEndsOnlyItsOwnDemonstration) {
  FakeWindowSystem system({{kLeft, kRight}, kWhole}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(1) >= 2) {
      events.monitorsChanged({{kLeft}, kLeft});
      ++s.step;
    } else if (s.step == 1 && s.closed(1)) {
      s.step = 2;
      s.frames[0].presents = 0;
    } else if (s.step == 2 && s.presents(0) >= 3) {
      // The other monitor's demonstration went on after its neighbour's window was gone.
      events.input(0, {SaverInput::Kind::Click});
      ++s.step;
    }
  });
  runOwner(system);
  EXPECT_EQ(system.log, (std::vector<std::string>{"open 0", "open 1", "close 1", "close 0"}));
  EXPECT_TRUE(system.frames[1].canvas_.clearedLast());
}

TEST(WindowOwner, AllMonitorsReplacedAtOnceAreCoveredBeforeTheOldWindowsGo) {
  const Monitor a{0, 0, 1920, 1080}, b{1920, 0, 1920, 1080};
  FakeWindowSystem system({{kLeft, kRight}, kWhole}, [&](FakeWindowSystem& s, WindowEvents& ev) {
    if (s.step == 0 && s.presents(0) >= 2 && s.presents(1) >= 2) {
      ev.monitorsChanged({{a, b}, {0, 0, 3840, 1080}});
      ++s.step;
    } else if (s.step == 1 && s.closed(0) && s.closed(1) && s.presents(2) >= 2 &&
               s.presents(3) >= 2) {
      ev.input(3, kKey);
      ++s.step;
    }
  });
  runOwner(system);
  ASSERT_GE(system.log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(system.log.begin(), system.log.begin() + 4),
            (std::vector<std::string>{"open 0", "open 1", "open 2", "open 3"}));
  EXPECT_EQ(system.places[2], a);
  EXPECT_EQ(system.places[3], b);
  EXPECT_TRUE(hasScaleBarFor(system.frames[2].canvas_, 1920));
}

TEST(WindowOwner, AChangeDuringAStopOpensNothing) {
  FakeWindowSystem system({{kLeft}, kLeft}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(0) >= 2) {
      events.input(0, kKey);
      events.monitorsChanged({{kLeft, kRight}, kWhole});
      ++s.step;
    }
  });
  runOwner(system);
  EXPECT_EQ(system.log, (std::vector<std::string>{"open 0", "close 0"}));
}

TEST(WindowOwner, ThePointerIsMeasuredFromWhereTheSystemSaysItIsOnTheDesktop) {
  // The pointer rests on the right monitor when the windows appear; a report of the same place in
  // that window's own pixels changes nothing, one pixel further ends all.
  FakeWindowSystem system({{kLeft, kRight}, kWhole}, [](FakeWindowSystem& s, WindowEvents& events) {
    SaverInput move{SaverInput::Kind::MouseMove};
    move.x = 20;
    move.y = 40;
    if (s.step == 0 && s.presents(1) >= 2) {
      events.input(1, move);
      ++s.step;
    } else if (s.step == 1 && s.presents(1) >= 4) {
      EXPECT_FALSE(s.closed(0));
      move.x = 21;
      events.input(1, move);
      ++s.step;
    }
  });
  system.pointerAt = DesktopPoint{1300, 40};
  runOwner(system);
  EXPECT_EQ(system.step, 2);
  EXPECT_EQ(system.closedCount(), 2u);
}

}  // namespace
}  // namespace drevanti

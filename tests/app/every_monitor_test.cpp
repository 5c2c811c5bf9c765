// The window owner over a fake window system: which monitors get a window, one demonstration per
// window, each laid out for its own window, the keyboard with a window that stays, hosted runs, the
// frames' hand-over, and the ways a run ends (input, the stop request, the host's window gone, a
// failure).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/demonstrations.h"
#include "app/frame_hand_over.h"
#include "app/monitor_layout.h"
#include "app/run_saver.h"
#include "fake_window_system.h"
#include "render/scene_layout.h"

namespace drevanti {
namespace {

using test_support::FakeWindowSystem;
using test_support::RecordedFrames;
using test_support::WakeSignal;
using Strings = std::vector<std::string>;

TEST(MonitorLayout, EachMonitorOnceMirrorsAndEmptyOnesLeftOut) {
  const Monitor left{0, 0, 1280, 720}, right{1280, 0, 1024, 768};
  EXPECT_EQ(monitorsToCover({left, right}), (std::vector<Monitor>{left, right}));
  // A mirror showing part of the left picture, the same monitor twice, an empty one.
  EXPECT_EQ(monitorsToCover({left, {0, 0, 1024, 720}, right, right, {5, 5, 0, 0}}),
            (std::vector<Monitor>{left, right}));
  // Overlapping without one containing the other: both are covered.
  const Monitor shifted{1000, 0, 1280, 720};
  EXPECT_EQ(monitorsToCover({left, shifted}), (std::vector<Monitor>{left, shifted}));
  EXPECT_TRUE(monitorsToCover({}).empty());
  EXPECT_TRUE(monitorsToCover({{0, 0, 0, 768}}).empty());
  // Judged in the layout space, whatever the devices' pixels: a panel of 3840x2400 at scale 2
  // beside a monitor at scale 1, and a mirror of the panel at another density.
  const Monitor panel{0, 0, 1920, 1200, 2, {3840, 2400}}, external{1920, 0, 1920, 1080};
  EXPECT_EQ(monitorsToCover({panel, external, {0, 0, 1920, 1200, 1}}),
            (std::vector<Monitor>{panel, external}));
}

bool hasScaleBarFor(const test_support::RecordingCanvas& canvas, int width) {
  for (const auto& c : canvas.calls) {
    if (c.what == "line" && c.y1 == 30 && c.y2 == 30 && c.x1 == width - 200 &&
        c.x2 == width - 100) {
      return true;
    }
  }
  return false;
}

std::string firstStatus(const test_support::RecordingCanvas& canvas) {
  for (const auto& c : canvas.calls) {
    if (c.what == "clipped text") return c.text;
  }
  return "";
}

// The demonstrations without an owner: this thread serves their frames as the owner's would, each
// time one is shown or asks for the main thread.
struct Served {
  void until(const std::function<bool()>& condition, std::initializer_list<HostedWindow*> windows) {
    while (!condition()) {
      ASSERT_TRUE(woken.wait()) << "nothing happened for 30 s";
      for (HostedWindow* w : windows) w->serveFrame();
    }
  }
  WakeSignal woken;
};

TEST(Demonstrations, OnePerWindowEachOnItsOwnSizeAllEndingTogether) {
  Served served;
  RecordedFrames first, second;
  first.wakeOnPresent(served.woken);
  second.wakeOnPresent(served.woken);
  const auto wake = [&] { served.woken.wake(); };
  HostedWindow a(first, {1280, 720}, wake), b(second, {1024, 768}, wake);
  int ended = 0;
  Demonstrations demonstrations([&] {
    ++ended;
    wake();
  });
  demonstrations.start(a, 5);
  demonstrations.start(b, 6);
  served.until([&] { return first.presents >= 3 && second.presents >= 3; }, {&a, &b});
  // A monitor whose window changes size gets an instance for the new size.
  b.requestResize({800, 600}, 1);
  served.until([&] { return !second.sizes.empty(); }, {&a, &b});
  EXPECT_EQ(second.sizes, (std::vector<ScreenSize>{{800, 600}}));
  const int before = second.presents.load();
  served.until([&] { return second.presents >= before + 2; }, {&a, &b});
  EXPECT_TRUE(demonstrations.running());
  demonstrations.closeAll();
  // Each shows its last, cleared frame before it ends.
  served.until([&] { return !demonstrations.running(); }, {&a, &b});
  demonstrations.finish();
  EXPECT_EQ(ended, 2);
  EXPECT_TRUE(hasScaleBarFor(first.canvas_, 1280));
  EXPECT_FALSE(hasScaleBarFor(first.canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(second.canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(second.canvas_, 800));
  // Each ran the stop sequence; their own random sequences gave them different instances.
  EXPECT_TRUE(first.canvas_.clearedLast());
  EXPECT_TRUE(second.canvas_.clearedLast());
  EXPECT_NE(firstStatus(first.canvas_), firstStatus(second.canvas_));
}

TEST(Demonstrations, OneFailingEndsTheOthersAndTheFailureReachesTheOwner) {
  Served served;
  RecordedFrames failing, other;
  failing.failAtCanvas(3);
  failing.wakeOnPresent(served.woken);
  other.wakeOnPresent(served.woken);
  const auto wake = [&] { served.woken.wake(); };
  HostedWindow a(failing, {640, 480}, wake), b(other, {640, 480}, wake);
  Demonstrations demonstrations(wake);
  demonstrations.start(a, 1);
  demonstrations.start(b, 2);
  served.until([&] { return !demonstrations.running(); }, {&a, &b});
  EXPECT_THROW(demonstrations.finish(), std::runtime_error);
  EXPECT_TRUE(other.canvas_.clearedLast());
}

// Frames whose canvas may be drawn on again only once the window system has answered, as a
// compositor that still reads the other buffer makes them wait; each answer serves one present.
class WaitingFrames final : public FrameTarget {
 public:
  Canvas& canvas() override { return canvas_; }
  bool present(const std::vector<Rect>&) override {
    ++presents;
    return false;
  }
  bool finishPresent() override { return answered.exchange(false); }
  void resize(ScreenSize, double) override {}

  test_support::RecordingCanvas canvas_;
  std::atomic<int> presents{0};
  std::atomic<bool> answered{false};
};

TEST(FrameHandOver, TheNextFrameWaitsForTheWindowSystemUntilServedOrAbandoned) {
  WaitingFrames frames;
  FrameHandOver handOver(frames, [] {});
  std::atomic<int> framesBegun{0};
  std::thread demonstration([&] {
    for (int frame = 0; frame < 3; ++frame) {
      handOver.canvas();
      ++framesBegun;
      handOver.present({});
    }
  });
  while (frames.presents < 1) std::this_thread::yield();
  // Served before the window system has answered, the second frame goes on waiting.
  handOver.serve();
  EXPECT_EQ(framesBegun, 1);
  frames.answered = true;
  handOver.serve();
  // The third waits until nobody serves any more.
  while (frames.presents < 2) std::this_thread::yield();
  handOver.abandon();
  demonstration.join();
  EXPECT_EQ(framesBegun, 3);
  // From then on a present shows nothing.
  EXPECT_EQ(frames.presents, 2);
}

const SaverInput kKey{SaverInput::Kind::KeyDown, 30};

const Monitor kLeft{0, 0, 1280, 720}, kRight{1280, 0, 1024, 768};

// Runs the saver in full screen over the fake until the script ends it: every window is closed
// before the desktop is given back.
void runFullScreen(FakeWindowSystem& system, StopRequest& stop) {
  test_support::FakeSystem desktop(false);
  runSaver(LaunchMode::FullScreen, {system, desktop, stop, 7});
  EXPECT_FALSE(system.timedOut);
  EXPECT_EQ(system.openCount(), 0u);
  EXPECT_EQ(desktop.log.back(), "cursor shown");
  EXPECT_EQ(desktop.active, false);
}

void runFullScreen(FakeWindowSystem& system) {
  StopRequest stop;
  runFullScreen(system, stop);
}

// The lines of the log that begin with word.
Strings only(const Strings& log, const std::string& word) {
  Strings kept;
  for (const std::string& line : log) {
    if (line.rfind(word, 0) == 0) kept.push_back(line);
  }
  return kept;
}

TEST(WindowOwner, AMonitorAddedGetsItsOwnWindowDemonstrationAndTheKeyboard) {
  FakeWindowSystem system({kLeft}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(0) >= 2) {
      events.monitorsChanged({kLeft, kRight});
      ++s.step;
    } else if (s.step == 1 && s.presents(1) >= 3) {
      events.input(1, kKey);  // input on the new monitor ends all
      ++s.step;
    }
  });
  runFullScreen(system);
  ASSERT_EQ(system.log.size(), 6u);
  EXPECT_EQ(Strings(system.log.begin(), system.log.begin() + 4),
            (Strings{"open 0", "focus 0", "open 1", "focus 1"}));
  EXPECT_EQ(system.places[1], kRight);
  EXPECT_TRUE(hasScaleBarFor(system.frames[1].canvas_, 1024));
  EXPECT_TRUE(hasScaleBarFor(system.frames[0].canvas_, 1280));
}

TEST(WindowOwner, AMonitorRemovedEndsOnlyItsOwnDemonstrationAndTheKeyboardStays) {
  FakeWindowSystem system({kLeft, kRight}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(1) >= 2) {
      events.monitorsChanged({kLeft});
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
  runFullScreen(system);
  // The keyboard left the window of the monitor that went as soon as the monitor went.
  EXPECT_EQ(system.log,
            (Strings{"open 0", "focus 0", "open 1", "focus 1", "focus 0", "close 1", "close 0"}));
  EXPECT_TRUE(system.frames[1].canvas_.clearedLast());
}

TEST(WindowOwner, AllMonitorsReplacedAtOnceAreCoveredBeforeTheOldWindowsGo) {
  const Monitor a{0, 0, 1920, 1080}, b{1920, 0, 1920, 1080};
  FakeWindowSystem system({kLeft, kRight}, [&](FakeWindowSystem& s, WindowEvents& ev) {
    if (s.step == 0 && s.presents(0) >= 2 && s.presents(1) >= 2) {
      ev.monitorsChanged({a, b});
      ++s.step;
    } else if (s.step == 1 && s.closed(0) && s.closed(1) && s.presents(2) >= 2 &&
               s.presents(3) >= 2) {
      ev.input(3, kKey);
      ++s.step;
    }
  });
  runFullScreen(system);
  EXPECT_EQ(only(system.log, "open"), (Strings{"open 0", "open 1", "open 2", "open 3"}));
  // All four were open before the first closed.
  const auto firstClose = std::find_if(system.log.begin(), system.log.end(),
                                       [](const std::string& l) { return l[0] == 'c'; });
  EXPECT_EQ(only(Strings(system.log.begin(), firstClose), "open").size(), 4u);
  EXPECT_EQ(system.places[2], a);
  EXPECT_EQ(system.places[3], b);
  EXPECT_TRUE(hasScaleBarFor(system.frames[2].canvas_, 1920));
}

TEST(WindowOwner, ReportsThatChangeNothingAndAChangeDuringAStopOpenNothing) {
  FakeWindowSystem system({kLeft}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(0) >= 2) {
      // The same list again, and a moment with no monitor at all (the last one unplugged before
      // the next appears): the window stays.
      events.monitorsChanged({kLeft});
      events.monitorsChanged({});
      events.monitorsChanged({{0, 0, 0, 0}});
      ++s.step;
    } else if (s.step == 1 && s.presents(0) >= 6) {
      // Paced frames: the demonstration went on.
      events.input(0, kKey);
      events.monitorsChanged({kLeft, kRight});
      ++s.step;
    }
  });
  runFullScreen(system);
  EXPECT_EQ(system.step, 2);
  EXPECT_EQ(system.log, (Strings{"open 0", "focus 0", "close 0"}));
}

bool drew(const test_support::RecordingCanvas& canvas, const std::string& what, float a, float b,
          float c) {
  return std::any_of(canvas.calls.begin(), canvas.calls.end(), [&](const auto& call) {
    return call.what == what && call.x1 == a && call.y1 == b && call.x2 == c;
  });
}

TEST(WindowOwner, AScaledMonitorShowsTheLogicalScreensInstanceAtItsDensityAndKeepsItsWindow) {
  // Two device pixels to the scene's: the instance of a 1280x720 screen, each of its pixels
  // drawn on two by two; then the scale goes to one, and the same window shows 2560x1440's.
  int before = 0;
  FakeWindowSystem dense({{0, 0, 2560, 1440, 2}}, [&](FakeWindowSystem& s, WindowEvents& events) {
    if (s.step == 0 && s.presents(0) >= 3) {
      events.monitorsChanged({{0, 0, 2560, 1440, 1}});
      before = s.presents(0);
      ++s.step;
    } else if (s.step == 1 && s.presents(0) >= before + 3) {
      events.input(0, kKey);
      ++s.step;
    }
  });
  runFullScreen(dense);
  EXPECT_EQ(only(dense.log, "open"), Strings{"open 0"});
  const auto& device = dense.frames[0].canvas_;
  // The window's canvas is made for its scale when it opens, and again when the scale changes.
  EXPECT_EQ(dense.places[0].scale, 2);
  EXPECT_EQ(dense.frames[0].sizes, (std::vector<ScreenSize>{{2560, 1440}}));
  EXPECT_EQ(dense.frames[0].scales, std::vector<double>{1});
  // The bar from 2 * (1280 - 200) to 2 * (1280 - 100) on rows 60 and 61, two one-pixel lines
  // over each other on each; terminals as rings twice their radius out and two pixels thick,
  // drawn row by row (the top row five pixels wide).
  EXPECT_TRUE(drew(device, "line", 2160, 60, 2360));
  EXPECT_TRUE(drew(device, "line", 2161, 61, 2361));
  EXPECT_TRUE(std::any_of(device.calls.begin(), device.calls.end(), [](const auto& c) {
    return c.what == "rect" && c.colour == kTerminalColour && c.x2 == 5 && c.y2 == 1;
  }));
  EXPECT_TRUE(hasScaleBarFor(device, 2560));
  EXPECT_FALSE(hasScaleBarFor(device, 1280));

  // The first instance is the one a 1280x720 monitor shows.
  FakeWindowSystem plain({kLeft}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.presents(0) >= 2) events.input(0, kKey);
  });
  runFullScreen(plain);
  EXPECT_EQ(firstStatus(device), firstStatus(plain.frames[0].canvas_));
  EXPECT_TRUE(plain.frames[0].scales.empty());
}

TEST(WindowOwner, MonitorsOfMixedDensitiesEachGetTheirOwnWindowAndSceneAtTheirOwnDensity) {
  // As a compositor lays them out (logical rectangles), each with its device pixels and scale.
  const Monitor dense{0, 0, 960, 600, 2, {1920, 1200}}, plain{960, 0, 800, 600};
  const std::vector<std::vector<Monitor>> layouts = {
      {dense, plain},                                                // scale 2 on the left
      {{0, 0, 800, 600}, {800, 0, 960, 600, 2, {1920, 1200}}},       // on the right
      {dense, {0, 600, 800, 600}},                                   // stacked
      {dense, plain, {1760, 0, 640, 360, 3, {1920, 1080}}},          // three densities
      {{0, 0, 1280, 720, 1.5, {1920, 1080}}, {1280, 0, 1280, 720}},  // fractional
  };
  for (const std::vector<Monitor>& layout : layouts) {
    FakeWindowSystem system(layout, [&](FakeWindowSystem& s, WindowEvents& events) {
      for (std::size_t i = 0; i < layout.size(); ++i) {
        if (s.presents(static_cast<WindowKey>(i)) < 2) return;
      }
      events.input(0, kKey);
    });
    runFullScreen(system);
    ASSERT_EQ(system.places.size(), layout.size());
    for (std::size_t i = 0; i < layout.size(); ++i) {
      const Monitor& m = layout[i];
      SCOPED_TRACE(testing::Message() << "monitor " << i << " at scale " << m.scale);
      EXPECT_EQ(system.places[static_cast<WindowKey>(i)], m);
      // The bar of the monitor's logical width, on its device pixels.
      const double logical = std::round(m.pixels.width / m.scale);
      const auto device = [&](double v) { return static_cast<float>(std::floor(v * m.scale)); };
      EXPECT_TRUE(drew(system.frames[static_cast<WindowKey>(i)].canvas_, "line",
                       device(logical - 200), device(30), device(logical - 100)));
    }
  }
}

TEST(WindowOwner, ThePointerIsMeasuredFromWhereTheSystemSaysItIsOnTheDesktop) {
  // The pointer rests on a monitor when the windows appear; a report of the same place in that
  // window's own device pixels changes nothing, one of the layout's pixels further ends all: on
  // the right monitor, and on a left one of two device pixels to a layout pixel.
  struct Case {
    std::vector<Monitor> monitors;
    DesktopPoint pointer;
    WindowKey window;
    float x, y, further;
  };
  const Case cases[] = {
      {{kLeft, kRight}, {1300, 40}, 1, 20, 40, 21},
      {{{0, 0, 1280, 720, 2, {2560, 1440}}, kRight}, {100, 50}, 0, 200, 100, 202}};
  for (const Case& c : cases) {
    FakeWindowSystem system(c.monitors, [&](FakeWindowSystem& s, WindowEvents& events) {
      SaverInput move{SaverInput::Kind::MouseMove};
      move.x = c.x;
      move.y = c.y;
      if (s.step == 0 && s.presents(c.window) >= 2) {
        events.input(c.window, move);
        ++s.step;
      } else if (s.step == 1 && s.presents(c.window) >= 4) {
        EXPECT_FALSE(s.closed(0));
        move.x = c.further;
        events.input(c.window, move);
        ++s.step;
      }
    });
    system.pointerAt = c.pointer;
    runFullScreen(system);
    EXPECT_EQ(system.step, 2);
    EXPECT_EQ(system.closedCount(), 2u);
  }
}

TEST(WindowOwner, AStopRequestFromAnyThreadEndsTheRun) {
  StopRequest stop;
  std::thread signals;
  FakeWindowSystem system({kLeft, kRight}, [&](FakeWindowSystem& s, WindowEvents&) {
    if (s.step == 0 && s.presents(0) >= 2 && s.presents(1) >= 2) {
      signals = std::thread([&] { stop.raise(); });
      ++s.step;
    }
  });
  runFullScreen(system, stop);
  signals.join();
  EXPECT_EQ(system.closedCount(), 2u);
  EXPECT_TRUE(system.frames[0].canvas_.clearedLast());
}

TEST(WindowOwner, AFailureOfTheMainThreadEndsEveryDemonstrationAndGivesTheDesktopBack) {
  // The window for a monitor plugged in cannot be made.
  FakeWindowSystem system({kLeft}, [](FakeWindowSystem& s, WindowEvents& events) {
    if (s.presents(0) >= 2) events.monitorsChanged({kLeft, kRight});
  });
  system.failAtOpen = 1;
  StopRequest stop;
  test_support::FakeSystem desktop(false);
  try {
    runSaver(LaunchMode::FullScreen, {system, desktop, stop, 7});
    ADD_FAILURE() << "the failure was not passed on";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "cannot create a window");
  }
  EXPECT_TRUE(system.closed(0));
  EXPECT_TRUE(system.frames[0].canvas_.clearedLast());
  EXPECT_EQ(desktop.log.back(), "cursor shown");
  EXPECT_FALSE(system.timedOut);
}

TEST(WindowOwner, HostedFollowsTheHostsSizeShowsItsFrameAgainAndEndsWithTheHostsWindow) {
  const Monitor host{0, 0, 640, 480};
  std::size_t exposedAt = 0;
  int presentsWhenGone = 0;
  FakeWindowSystem system({host}, [&](FakeWindowSystem& s, WindowEvents& events) {
    RecordedFrames& frames = s.frames[0];
    if (s.step == 0 && frames.presents >= 2) {
      // A preview's input is its host's.
      events.input(0, kKey);
      events.input(0, {SaverInput::Kind::Click});
      events.resized(0, {800, 600});
      ++s.step;
    } else if (s.step == 1 && frames.sizes.size() == 1 && frames.presents >= 4) {
      exposedAt = frames.drawnAtPresent().size();
      events.exposed(0);
      ++s.step;
    } else if (s.step == 2 && frames.presents >= static_cast<int>(exposedAt) + 3) {
      events.hostWindowGone();
      // From now on nothing is shown.
      presentsWhenGone = frames.presents;
      ++s.step;
    }
  });
  StopRequest stop;
  test_support::FakeSystem desktop(false);
  runSaver(LaunchMode::Hosted, {system, desktop, stop, 7});
  EXPECT_FALSE(system.timedOut);
  EXPECT_EQ(system.step, 3);
  EXPECT_EQ(system.log, (Strings{"open 0", "close 0"}));
  EXPECT_EQ(system.places[0], host);
  EXPECT_TRUE(desktop.log.empty());
  RecordedFrames& frames = system.frames[0];
  EXPECT_EQ(frames.sizes, (std::vector<ScreenSize>{{800, 600}}));
  EXPECT_TRUE(hasScaleBarFor(frames.canvas_, 800));
  // The exposure had the last frame shown again, with nothing drawn since the frame before.
  const std::vector<std::size_t> drawn = frames.drawnAtPresent();
  bool shownAgain = false;
  for (std::size_t i = std::max<std::size_t>(exposedAt, 1); i < drawn.size(); ++i) {
    shownAgain = shownAgain || drawn[i] == drawn[i - 1];
  }
  EXPECT_TRUE(shownAgain);
  // Nothing is shown once the host's window is gone.
  EXPECT_EQ(frames.presents, presentsWhenGone);
}

}  // namespace
}  // namespace drevanti

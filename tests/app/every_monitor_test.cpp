// Full screen on several monitors: which monitors get a window, and one demonstration per window,
// each laid out for its own window, all ending together.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "app/demonstrations.h"
#include "app/monitor_layout.h"
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
  Demonstrations demonstrations({&a, &b}, 5, [&] { ++ended; });
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
  Demonstrations demonstrations({&a, &b}, 1, nullptr);
  waitFor([&] { return !demonstrations.running(); });
  EXPECT_THROW(demonstrations.finish(), std::runtime_error);
  EXPECT_TRUE(other.canvas_.clearedLast());
}

}  // namespace
}  // namespace drevanti

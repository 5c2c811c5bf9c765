#include "render/scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "fake_platform.h"
#include "render/scene_layout.h"

namespace drevanti {
namespace {

using test_support::DrawCall;
using test_support::RecordingCanvas;

std::unique_ptr<SolverState> emptyState() {
  return std::make_unique<SolverState>();
}

TEST(StatusText, ShowsTheNumbersInTheirFixedOrder) {
  auto s = emptyState();
  s->terminalCount = 7;
  s->bestLength = kNoBestLength;
  EXPECT_EQ(statusText(*s), "N=7 M=-7 N+M=0 counter=0 d=99999.9 counter2=0");
  s->bestVertexCount = 12;
  s->roundCounter = 50;
  s->improvementCount = 31;
  s->bestLength = 3456.789012345671234;
  EXPECT_EQ(statusText(*s), "N=7 M=5 N+M=12 counter=50 d=3456.78901234567 counter2=31");
  s->bestLength = 1234.5;
  EXPECT_EQ(statusText(*s), "N=7 M=5 N+M=12 counter=50 d=1234.5 counter2=31");
  s->bestLength = 0.1 + 0.2;  // 0.30000000000000004 has 17 digits; 15 are shown
  EXPECT_EQ(statusText(*s), "N=7 M=5 N+M=12 counter=50 d=0.3 counter2=31");
}

TEST(Repaint, DrawsTheLabelThenCirclesThenEdgesThenTheScaleBar) {
  auto s = emptyState();
  s->terminalCount = 2;
  s->bestVertexCount = 3;
  s->bestX[0] = 100, s->bestY[0] = 200, s->bestKind[0] = 0;
  s->bestX[1] = 300, s->bestY[1] = 400, s->bestKind[1] = 0;
  s->bestX[2] = 250, s->bestY[2] = 260, s->bestKind[2] = 1;
  s->bestEdgeFrom[0] = 0, s->bestEdgeTo[0] = 2;
  s->bestEdgeFrom[1] = 1, s->bestEdgeTo[1] = 2;
  s->bestEdgeFrom[2] = 0, s->bestEdgeTo[2] = 1;  // stale slot: never drawn
  RecordingCanvas canvas;
  Scene scene;
  scene.repaint(*s, canvas, 1920);
  const auto& c = canvas.calls;
  ASSERT_EQ(c.size(), 13u);
  EXPECT_EQ(c[0].what, "fill");
  EXPECT_EQ(c[0].colour, kBlack);
  // The label: opaque black at 8, 0, 401 x 25, its white text 2 pixels in, centred on its
  // height, cut at its edges.
  EXPECT_EQ(c[1].what, "rect");
  EXPECT_EQ(std::tuple(c[1].x1, c[1].y1, c[1].x2, c[1].y2), std::tuple(8.f, 0.f, 401.f, 25.f));
  EXPECT_EQ(c[1].colour, kBlack);
  EXPECT_EQ(c[2].what, "clipped text");
  EXPECT_EQ(c[2].text, statusText(*s));
  EXPECT_EQ(c[2].clip, (Rect{8, 0, 401, 25}));
  EXPECT_EQ(std::tuple(c[2].x1, c[2].y1),
            std::tuple(10.f, static_cast<float>((25 - RecordingCanvas::kTextHeight) / 2)));
  EXPECT_EQ(c[2].colour, kWhite);
  const DrawCall& terminal = c[3];
  EXPECT_EQ(terminal.what, "circle");
  EXPECT_EQ(terminal.x1, 100);
  EXPECT_EQ(terminal.x2, 4);
  EXPECT_EQ(terminal.colour, kYellow);
  EXPECT_EQ(c[5].what, "circle");
  EXPECT_EQ(c[5].x2, 2);
  EXPECT_EQ(c[5].colour, kWhite);
  EXPECT_EQ(c[6].what, "line");
  EXPECT_EQ(c[6].x1, 100);
  EXPECT_EQ(c[6].y2, 260);
  EXPECT_EQ(c[6].colour, kWhite);
  EXPECT_EQ(c[7].x1, 300);
  // Scale bar: 100 pixels at y = 30 ending 100 pixels from the right edge, ticks rising 5.
  EXPECT_EQ(c[8].what, "line");
  EXPECT_EQ(c[8].colour, kRed);
  EXPECT_EQ(std::tuple(c[8].x1, c[8].y1, c[8].x2, c[8].y2), std::tuple(1720.f, 30.f, 1820.f, 30.f));
  EXPECT_EQ(std::tuple(c[9].x1, c[9].y1, c[9].x2, c[9].y2), std::tuple(1720.f, 25.f, 1720.f, 30.f));
  EXPECT_EQ(c[10].what, "text");
  EXPECT_EQ(c[10].text, "0");
  EXPECT_EQ(std::tuple(c[10].x1, c[10].y1), std::tuple(1720.f, 30.f));
  EXPECT_EQ(std::tuple(c[11].x1, c[11].y1, c[11].x2, c[11].y2),
            std::tuple(1820.f, 25.f, 1820.f, 30.f));
  EXPECT_EQ(c[12].text, "100");
  EXPECT_EQ(std::tuple(c[12].x1, c[12].y1), std::tuple(1820.f, 30.f));
}

TEST(Scene, TheLabelKeepsItsTextWhenTheWindowIsCleared) {
  auto s = emptyState();
  s->terminalCount = 4;
  RecordingCanvas canvas;
  Scene scene;
  scene.clear(canvas);
  // Before the first repaint the label is empty.
  EXPECT_EQ(canvas.calls.size(), 2u);
  scene.repaint(*s, canvas, 640);
  canvas.calls.clear();
  scene.clear(canvas);
  ASSERT_EQ(canvas.calls.size(), 3u);
  EXPECT_EQ(canvas.calls[2].text, statusText(*s));
}

TEST(Repaint, BeforeAnyTreeDrawsOnlyTheScaleBar) {
  auto s = emptyState();
  s->terminalCount = 9;
  s->bestLength = kNoBestLength;
  RecordingCanvas canvas;
  Scene().repaint(*s, canvas, 800);
  int circles = 0, lines = 0;
  for (const auto& call : canvas.calls) {
    circles += call.what == "circle";
    lines += call.what == "line";
  }
  EXPECT_EQ(circles, 0);
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(canvas.calls.back().text, "100");
  EXPECT_EQ(canvas.calls.back().x1, 700);
  EXPECT_EQ(canvas.calls.back().y1, 30);
}

}  // namespace
}  // namespace drevanti

#include "render/repaint.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "fake_platform.h"

namespace drevanti {
namespace {

using testing::DrawCall;
using testing::RecordingCanvas;

std::unique_ptr<SolverState> emptyState() {
  return std::make_unique<SolverState>();
}

TEST(StatusText, ShowsTheNumbersInTheirFixedOrder) {
  auto s = emptyState();
  s->terminalCount = 7;
  s->bestLength = 99999.9;
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

TEST(Repaint, DrawsCirclesThenEdgesThenTheScaleBar) {
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
  repaint(*s, canvas, 1920);
  const auto& c = canvas.calls;
  ASSERT_EQ(c.size(), 12u);
  EXPECT_EQ(c[0].what, "clear");
  EXPECT_EQ(c[1].what, "status");
  EXPECT_EQ(c[1].colour, kWhite);
  EXPECT_EQ(canvas.statusBackground, kBlack);
  const DrawCall& terminal = c[2];
  EXPECT_EQ(terminal.what, "circle");
  EXPECT_EQ(terminal.x1, 100);
  EXPECT_EQ(terminal.x2, 4);
  EXPECT_EQ(terminal.colour, kYellow);
  EXPECT_EQ(c[4].what, "circle");
  EXPECT_EQ(c[4].x2, 2);
  EXPECT_EQ(c[4].colour, kWhite);
  EXPECT_EQ(c[5].what, "line");
  EXPECT_EQ(c[5].x1, 100);
  EXPECT_EQ(c[5].y2, 260);
  EXPECT_EQ(c[5].colour, kWhite);
  EXPECT_EQ(c[6].x1, 300);
  // Scale bar: 100 pixels at y = 30 ending 100 pixels from the right edge, ticks rising 5.
  EXPECT_EQ(c[7].what, "line");
  EXPECT_EQ(c[7].colour, kRed);
  EXPECT_EQ(std::tuple(c[7].x1, c[7].y1, c[7].x2, c[7].y2), std::tuple(1720.f, 30.f, 1820.f, 30.f));
  EXPECT_EQ(std::tuple(c[8].x1, c[8].y1, c[8].x2, c[8].y2), std::tuple(1720.f, 25.f, 1720.f, 30.f));
  EXPECT_EQ(c[9].what, "text");
  EXPECT_EQ(c[9].text, "0");
  EXPECT_EQ(std::tuple(c[9].x1, c[9].y1), std::tuple(1720.f, 30.f));
  EXPECT_EQ(std::tuple(c[10].x1, c[10].y1, c[10].x2, c[10].y2),
            std::tuple(1820.f, 25.f, 1820.f, 30.f));
  EXPECT_EQ(c[11].text, "100");
  EXPECT_EQ(std::tuple(c[11].x1, c[11].y1), std::tuple(1820.f, 30.f));
}

TEST(Repaint, BeforeAnyTreeDrawsOnlyTheScaleBar) {
  auto s = emptyState();
  s->terminalCount = 9;
  s->bestLength = 99999.9;
  RecordingCanvas canvas;
  repaint(*s, canvas, 800);
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

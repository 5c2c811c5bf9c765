#include "render/repaint.h"

#include <charconv>

namespace drevanti {

namespace {

std::string decimal(long long value) {
  return std::to_string(value);
}

std::string shortestGeneral(double value) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string statusText(const SolverState& s) {
  return "N=" + decimal(s.terminalCount) + " M=" + decimal(s.bestVertexCount - s.terminalCount) +
         " N+M=" + decimal(s.bestVertexCount) + " counter=" + decimal(s.roundCounter) +
         " d=" + shortestGeneral(s.bestLength) + " counter2=" + decimal(s.improvementCount);
}

void repaint(const SolverState& s, Canvas& canvas, int screenWidth) {
  canvas.clear();
  canvas.setStatus(statusText(s), kWhite, kBlack);
  for (int i = 0; i < s.bestVertexCount; ++i) {
    const auto x = static_cast<float>(s.bestX[i]);
    const auto y = static_cast<float>(s.bestY[i]);
    if (s.bestKind[i] == 0) {
      canvas.circle(x, y, 4, kYellow);
    } else {
      canvas.circle(x, y, 2, kWhite);
    }
  }
  for (int k = 0; k <= s.bestVertexCount - 2; ++k) {
    const int a = s.bestEdgeFrom[k];
    const int b = s.bestEdgeTo[k];
    canvas.line(static_cast<float>(s.bestX[a]), static_cast<float>(s.bestY[a]),
                static_cast<float>(s.bestX[b]), static_cast<float>(s.bestY[b]), kWhite);
  }
  // The scale bar: pixels are the unit of bestLength, so 100 pixels read as 100.
  const auto w = static_cast<float>(screenWidth);
  canvas.line(w - 200, 30, w - 100, 30, kRed);
  canvas.line(w - 200, 25, w - 200, 30, kRed);
  canvas.text(w - 200, 30, "0", kWhite);
  canvas.line(w - 100, 25, w - 100, 30, kRed);
  canvas.text(w - 100, 30, "100", kWhite);
}

}  // namespace drevanti

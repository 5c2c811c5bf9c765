#include "render/scene.h"

#include "render/decimal_text.h"
#include "render/scene_layout.h"

namespace drevanti {

namespace {

// The status line's length has at most this many significant digits.
constexpr int kStatusLengthDigits = 15;

std::string decimal(long long value) {
  return std::to_string(value);
}

}  // namespace

std::string statusText(const SolverState& s) {
  return "N=" + decimal(s.terminalCount) + " M=" + decimal(s.bestVertexCount - s.terminalCount) +
         " N+M=" + decimal(s.bestVertexCount) + " counter=" + decimal(s.roundCounter) +
         " d=" + generalDecimal(s.bestLength, kStatusLengthDigits) +
         " counter2=" + decimal(s.improvementCount);
}

void Scene::clear(Canvas& canvas) const {
  canvas.fill(kBackground, nullptr);
  canvas.fill(kStatusBackground, &kStatusLabel);
  if (status_.empty()) return;
  const int top = kStatusLabel.y + (kStatusLabel.height - canvas.textHeight(status_)) / 2;
  canvas.text(static_cast<float>(kStatusLabel.x + kStatusTextInset), static_cast<float>(top),
              status_, kStatusText, &kStatusLabel);
}

void Scene::repaint(const SolverState& s, Canvas& canvas, int screenWidth) {
  status_ = statusText(s);
  clear(canvas);
  for (int i = 0; i < s.bestVertexCount; ++i) {
    const auto x = static_cast<float>(s.bestX[i]);
    const auto y = static_cast<float>(s.bestY[i]);
    if (s.bestKind[i] == 0) {
      canvas.circle(x, y, kTerminalRadius, kTerminalColour);
    } else {
      canvas.circle(x, y, kSteinerRadius, kSteinerColour);
    }
  }
  for (int k = 0; k <= s.bestVertexCount - 2; ++k) {
    const int a = s.bestEdgeFrom[k];
    const int b = s.bestEdgeTo[k];
    canvas.line(static_cast<float>(s.bestX[a]), static_cast<float>(s.bestY[a]),
                static_cast<float>(s.bestX[b]), static_cast<float>(s.bestY[b]), kEdgeColour);
  }
  const float left = scaleBarLeft(screenWidth);
  const float right = left + kScaleBarLength;
  const float tickTop = kScaleBarY - kScaleTickHeight;
  canvas.line(left, kScaleBarY, right, kScaleBarY, kScaleBarColour);
  canvas.line(left, tickTop, left, kScaleBarY, kScaleBarColour);
  canvas.text(left, kScaleBarY, "0", kScaleTextColour, nullptr);
  canvas.line(right, tickTop, right, kScaleBarY, kScaleBarColour);
  canvas.text(right, kScaleBarY, "100", kScaleTextColour, nullptr);
}

}  // namespace drevanti

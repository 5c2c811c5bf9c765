// Where everything of the scene goes and how it looks. Backends, the SVG writer and the tests take
// these from here; a canvas only draws what it is told.
#pragma once

#include "render/canvas.h"

namespace drevanti {

// The window's background.
inline constexpr Rgb kBackground = kBlack;

// lblStatus: left 120, top 0, width 6015, height 375 twips at 15 twips a pixel. An opaque
// control beneath the tree; its text starts kStatusTextInset pixels in from its left edge, is
// centred on its height, and is cut at its edges.
inline constexpr Rect kStatusLabel{8, 0, 401, 25};
inline constexpr int kStatusTextInset = 2;
inline constexpr Rgb kStatusText = kWhite;
inline constexpr Rgb kStatusBackground = kBlack;

// The best tree: terminals as yellow circles, Steiner points as small white ones, white edges.
inline constexpr float kTerminalRadius = 4;
inline constexpr Rgb kTerminalColour = kYellow;
inline constexpr float kSteinerRadius = 2;
inline constexpr Rgb kSteinerColour = kWhite;
inline constexpr Rgb kEdgeColour = kWhite;

// The scale bar: kScaleBarLength pixels at height kScaleBarY, ending kScaleBarRightMargin pixels
// from the right edge, with ticks rising kScaleTickHeight at its ends and the labels "0" and
// "100" hanging below them. Pixels are the unit of the status line's length, so it reads as 100.
inline constexpr float kScaleBarLength = 100;
inline constexpr float kScaleBarRightMargin = 100;
inline constexpr float kScaleBarY = 30;
inline constexpr float kScaleTickHeight = 5;
inline constexpr Rgb kScaleBarColour = kRed;
inline constexpr Rgb kScaleTextColour = kWhite;

// Where the scale bar starts on a screen of the given width.
constexpr float scaleBarLeft(int screenWidth) {
  return static_cast<float>(screenWidth) - kScaleBarRightMargin - kScaleBarLength;
}

}  // namespace drevanti

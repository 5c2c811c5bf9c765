// repaint: the best tree of the current instance, the scale bar and the status line.
#pragma once

#include <string>

#include "app/solver_state.h"
#include "render/canvas.h"

namespace drevanti {

// "N=7 M=-7 N+M=0 counter=0 d=99999.9 counter2=0": integers in plain decimal, bestLength in the
// shortest general form with at most 15 significant digits.
std::string statusText(const SolverState& s);

// Clears the canvas and draws the best-tree snapshot (yellow terminals of radius 4, white Steiner
// points of radius 2, white edges over them), the red 100-pixel scale bar ending 100 pixels from
// the right edge of a screen screenWidth pixels wide, and the status text.
void repaint(const SolverState& s, Canvas& canvas, int screenWidth);

}  // namespace drevanti

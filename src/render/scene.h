// The main window's picture: the black background with the status label, and the best tree of the
// current instance with the scale bar, as repaint draws it.
#pragma once

#include <string>

#include "render/canvas.h"
#include "state/solver_state.h"

namespace drevanti {

// "N=7 M=-7 N+M=0 counter=0 d=99999.9 counter2=0": integers in plain decimal, bestLength in the
// shortest general form with at most 15 significant digits.
std::string statusText(const SolverState& s);

class Scene {
 public:
  // The cleared window: its background, and the status label, which is a control of the window
  // and keeps its text when the window's drawing is cleared.
  void clear(Canvas& canvas) const;

  // The best-tree snapshot on the cleared window (the label, with the new status text, lies
  // beneath the tree), then the scale bar of a screen screenWidth pixels wide.
  void repaint(const SolverState& s, Canvas& canvas, int screenWidth);

 private:
  std::string status_;
};

}  // namespace drevanti

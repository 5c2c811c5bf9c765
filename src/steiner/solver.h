// The solver: the one record plus the host it runs in. Every tree procedure takes a Solver (or, if
// it needs neither yields nor random numbers, just the record).
#pragma once

#include "state/random_source.h"
#include "state/screen_size.h"
#include "state/solver_state.h"

namespace drevanti {

// Thrown when the program ends (the unload handler has run): it unwinds the solver wherever it
// was, and whoever started the run catches it.
struct ProgramEnded {};

// What the program running the solver provides: the saver's window, the headless tool, or a test.
class SolverHost {
 public:
  virtual ~SolverHost() = default;
  // The do-events call: dispatches pending input, whose handlers may ask for a stop.
  virtual void doEvents() = 0;
  // True once a stop has been asked for (quitFlag = -1); never reset.
  virtual bool quitRequested() const = 0;
  // Clears, hides and unloads the window, which ends the program. Never returns: it unwinds the
  // solver by throwing, so whoever started the run gets control back.
  [[noreturn]] virtual void stopSequence() = 0;
  // Draws the best tree of the current instance.
  virtual void repaint() = 0;
  virtual ScreenSize screenSize() const = 0;
  virtual RandomSource& random() = 0;
};

struct Solver {
  explicit Solver(SolverHost& solverHost) : host(solverHost) {}
  SolverHost& host;
  SolverState s;
};

// The one way the solver yields: a do-events call followed by the quitFlag test.
inline void checkpoint(SolverHost& host) {
  host.doEvents();
  if (host.quitRequested()) host.stopSequence();
}

}  // namespace drevanti

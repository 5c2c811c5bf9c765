// The saver's run, the same for every program: the demonstrations, the window owner over the
// window system the program made for the way it was launched, and the desktop's settings taken and
// given back around full screen.
#pragma once

#include <cstdint>

#include "app/backend.h"
#include "app/demonstrations.h"
#include "app/launch.h"
#include "app/stop_request.h"

namespace drevanti {

struct SaverRun {
  WindowSystem& windows;
  // Touched in full screen only.
  SystemSettings& desktop;
  StopRequest& stop;
  std::uint32_t seed;
  // Where the demonstrations run; none: each on a thread of its own.
  DemonstrationRunner* demonstrations = nullptr;
};

// Runs the saver in full screen or hosted (the window system was made for the host's window) until
// input, the host or the stop request ends it. Rethrows the first failure.
void runSaver(LaunchMode mode, const SaverRun& run);

}  // namespace drevanti

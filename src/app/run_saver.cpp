#include "app/run_saver.h"

#include <optional>
#include <stdexcept>

#include "app/window_owner.h"

namespace drevanti {

void runSaver(LaunchMode mode, const SaverRun& run) {
  std::optional<Demonstrations> threads;
  DemonstrationRunner& demonstrations =
      run.demonstrations ? *run.demonstrations : threads.emplace([&run] { run.windows.wake(); });
  WindowOwner owner(run.windows, demonstrations, run.stop, run.seed);
  switch (mode) {
    case LaunchMode::FullScreen:
      owner.runFullScreen(run.desktop);
      break;
    case LaunchMode::Hosted:
      owner.runHosted();
      break;
    default:
      throw std::logic_error("the saver runs full screen or hosted only");
  }
}

}  // namespace drevanti

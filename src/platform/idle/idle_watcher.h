// drevanti --on-idle: waits until the user has been away for a while, runs the full-screen saver
// (which ends on input), and waits again, until SIGTERM, SIGINT or SIGHUP. It sleeps on its
// connections: nothing runs at rest.
#pragma once

#include <optional>

namespace drevanti::idle {

// Runs the watcher and returns the program's exit code: 0 when told to end, or when another
// watcher runs already for the user; 1 when nothing here reports idleness or what did went away.
// Minutes as the command line gave them, or nothing for the desktop's default. Made in main,
// before any other thread.
int runIdleWatcher(std::optional<double> minutes);

}  // namespace drevanti::idle

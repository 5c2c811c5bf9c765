#include "registration.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>

#include "autostart_entry.h"
#include "desktop_session.h"
#include "own_program.h"
#include "watcher_lock.h"

namespace drevanti::idle {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// How long a watcher may take to start, or to end when told.
constexpr auto kAnswerTime = 10s;
constexpr auto kLook = 20ms;

fs::path entryFile() {
  return autostartEntryFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

// Where the watcher started by --register writes, away from the terminal that started it.
fs::path detachedLog(const fs::path& lockFile) {
  return lockFile.parent_path() / "drevanti-on-idle.log";
}

std::string contentOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether PATH names a folder with an executable file of that name.
bool onPath(const char* name) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  while (!folders.empty()) {
    const auto colon = folders.find(':');
    const fs::path folder(folders.substr(0, colon));
    if (!folder.empty() && access((folder / name).c_str(), X_OK) == 0) return true;
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
  }
  return false;
}

// Starts drevanti --on-idle in a session of its own, its output in log; its process id.
pid_t startDetached(const fs::path& log) {
  const std::string program = ownProgram();
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("cannot start the watcher: fork failed");
  if (pid == 0) {
    setsid();
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(out, 2) < 0) _exit(127);
    execl(program.c_str(), "drevanti", "--on-idle", static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits until the watcher holds the lock (nothing) or has ended (its exit code; what it said is
// passed on).
std::optional<int> awaitWatcher(pid_t pid, const fs::path& lockFile, const fs::path& log) {
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
  while (std::chrono::steady_clock::now() < deadline) {
    if (watcherHolding(lockFile) == pid) return std::nullopt;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      const std::string said = contentOf(log);
      std::fputs(said.c_str(), WIFEXITED(status) && WEXITSTATUS(status) == 0 ? stdout : stderr);
      return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    std::this_thread::sleep_for(kLook);
  }
  std::fprintf(stderr, "drevanti: the watcher (process %d) did not start watching within %lld s\n",
               static_cast<int>(pid), static_cast<long long>(kAnswerTime.count()));
  return 1;
}

int startOnIdle(const char* desktop) {
  const fs::path entry = entryFile();
  const bool existed = fs::exists(entry);
  writeAutostartEntry(entry);
  std::printf(
      "drevanti: %s %s: %s starts drevanti --on-idle at each login, which shows Drevanti "
      "when the computer is idle\n",
      existed ? "rewrote" : "wrote", entry.c_str(), desktop);
  if (!onPath("drevanti")) {
    std::fprintf(stderr,
                 "drevanti: but no drevanti is on PATH, where the desktop looks for it: install "
                 "the package, or link drevanti into a folder on PATH\n");
  }
  const fs::path lockFile = watcherLockFile();
  if (const auto holder = watcherHolding(lockFile)) {
    std::printf("drevanti: the watcher runs already (process %d)\n", static_cast<int>(*holder));
    return 0;
  }
  std::fflush(stdout);
  const fs::path log = detachedLog(lockFile);
  const pid_t pid = startDetached(log);
  const std::optional<int> ended = awaitWatcher(pid, lockFile, log);
  // Another watcher took the lock first, as it said.
  if (ended == 0) return 0;
  if (ended) {
    if (!existed) fs::remove(entry);
    std::fprintf(stderr, "drevanti: the watcher cannot run here, so %s\n",
                 existed ? "it did not start now" : "the autostart entry is taken out again");
    return *ended;
  }
  std::printf(
      "drevanti: the watcher runs now (process %d), writing to %s; drevanti --unregister "
      "takes it all out again\n",
      static_cast<int>(pid), log.c_str());
  return 0;
}

// Tells the user's watcher to end and waits until it has; false when it does not end.
bool stopWatcher(pid_t pid, const fs::path& lockFile) {
  kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + kAnswerTime;
  while (watcherHolding(lockFile)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLook);
  }
  return true;
}

}  // namespace

std::optional<int> registerWithDesktop() {
  switch (desktopOf(std::getenv("XDG_CURRENT_DESKTOP"))) {
    case Desktop::Gnome:
      return startOnIdle("GNOME");
    case Desktop::Plasma:
      return startOnIdle("KDE Plasma");
    case Desktop::Mate:
      std::printf(
          "drevanti: MATE's screen saver lists Drevanti already: choose it in the "
          "Screensaver Preferences (mate-screensaver-preferences)\n");
      return 0;
    case Desktop::Xfce:
      std::printf(
          "drevanti: Xfce's screen saver lists Drevanti already: choose it in the "
          "Screensaver Preferences (xfce4-screensaver-preferences)\n");
      return 0;
    case Desktop::Other:
      break;
  }
  return std::nullopt;
}

int unregisterFromDesktop() {
  const fs::path entry = entryFile();
  bool done = false;
  if (fs::remove(entry)) {
    std::printf("drevanti: removed %s\n", entry.c_str());
    done = true;
  }
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) {
    const fs::path lockFile = watcherLockFile();
    if (const auto holder = watcherHolding(lockFile)) {
      if (!stopWatcher(*holder, lockFile)) {
        std::fprintf(stderr, "drevanti: the watcher (process %d) did not end when told to\n",
                     static_cast<int>(*holder));
        return 1;
      }
      std::printf("drevanti: stopped the watcher (process %d)\n", static_cast<int>(*holder));
      done = true;
    }
  }
  if (!done) {
    std::printf("drevanti: nothing to take out: no %s and no watcher running\n", entry.c_str());
  }
  return 0;
}

}  // namespace drevanti::idle

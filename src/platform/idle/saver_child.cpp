#include "saver_child.h"

#include <glib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <stdexcept>
#include <utility>

#include "own_program.h"

extern char** environ;

namespace drevanti::idle {

namespace {

// How long a saver told to end may take before it is killed.
constexpr guint kStopSeconds = 5;

}  // namespace

SaverChild::SaverChild(std::function<void(int)> ended) : ended_(std::move(ended)) {}

SaverChild::~SaverChild() {
  if (deadline_ != 0) g_source_remove(deadline_);
  if (watch_ != 0) g_source_remove(watch_);
}

void SaverChild::start() {
  if (running()) return;
  // The saver's signal dispositions are its own, whatever the watcher's main loop set.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  char name[] = "drevanti";
  char* arguments[] = {name, nullptr};
  pid_t pid = 0;
  const std::string program = ownProgram();
  const int error = posix_spawn(&pid, program.c_str(), nullptr, &attributes, arguments, environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    throw std::runtime_error(std::string("cannot start the saver: ") + std::strerror(error));
  }
  pid_ = pid;
  watch_ = g_child_watch_add(
      pid,
      [](GPid pid, gint status, gpointer data) {
        auto& child = *static_cast<SaverChild*>(data);
        g_spawn_close_pid(pid);
        child.pid_ = 0;
        child.watch_ = 0;
        if (child.deadline_ != 0) g_source_remove(std::exchange(child.deadline_, 0));
        child.ended_(status);
      },
      this);
}

void SaverChild::stop() {
  if (!running() || deadline_ != 0) return;
  kill(pid_, SIGTERM);
  deadline_ = g_timeout_add_seconds(
      kStopSeconds,
      [](gpointer data) -> gboolean {
        auto& child = *static_cast<SaverChild*>(data);
        child.deadline_ = 0;
        if (child.running()) kill(child.pid_, SIGKILL);
        return G_SOURCE_REMOVE;
      },
      this);
}

std::string describeStatus(int status) {
  if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return std::string("signal ") + strsignal(WTERMSIG(status));
  return "wait status " + std::to_string(status);
}

}  // namespace drevanti::idle

#include "idle_watcher.h"

#include <glib-unix.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "desktop_screen_saver.h"
#include "ext_idle_notifier.h"
#include "glib_handles.h"
#include "gnome_idle_delay.h"
#include "gnome_overview.h"
#include "idle_time.h"
#include "mutter_idle_monitor.h"
#include "saver_child.h"
#include "session_bus.h"
#include "watcher_lock.h"

namespace drevanti::idle {

namespace {

void say(const std::string& line) {
  std::printf("drevanti: %s\n", line.c_str());
  std::fflush(stdout);
}

void complain(const std::string& line) {
  std::fprintf(stderr, "drevanti: %s\n", line.c_str());
}

constexpr const char* kNothingReportsIdleness =
    "nothing here reports idleness: neither GNOME's idle monitor (org.gnome.Mutter.IdleMonitor on "
    "the session bus) nor a Wayland compositor with ext_idle_notifier_v1 (KDE Plasma's KWin) is "
    "there. Elsewhere let the desktop's own screen saver or idle daemon start drevanti: "
    "xscreensaver (drevanti --register), xss-lock or swayidle; see drevanti(6).";

class Watcher {
 public:
  explicit Watcher(std::optional<double> minutes)
      : minutes_(minutes), loop_(g_main_loop_new(nullptr, FALSE)) {}
  ~Watcher() { g_main_loop_unref(loop_); }
  Watcher(const Watcher&) = delete;
  Watcher& operator=(const Watcher&) = delete;

  int run() {
    if (!findSource()) {
      complain(kNothingReportsIdleness);
      return 1;
    }
    const auto file = watcherLockFile();
    const auto lock = WatcherLock::take(file);
    if (!lock) {
      std::printf("drevanti: a watcher runs already for this user (process %d)\n",
                  static_cast<int>(watcherHolding(file).value_or(0)));
      return 0;
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
      g_unix_signal_add(
          signal,
          [](gpointer data) -> gboolean {
            static_cast<Watcher*>(data)->end(0);
            return G_SOURCE_CONTINUE;
          },
          this);
    }
    watch();
    if (!ending_) g_main_loop_run(loop_);
    return status_;
  }

 private:
  // GNOME's idle monitor on the session bus first (GNOME on Wayland or on Xorg), else the
  // Wayland compositor's idle notifier.
  bool findSource() {
    IdleEvents events{
        .idle = [this] { idle(); },
        .lost = [this](const std::string& why) { lost(why); },
    };
    bus_ = connectSessionBus();
    if (bus_) {
      source_ = MutterIdleMonitor::find(bus_.get(), events);
      if (source_ && !minutes_) delay_ = GnomeIdleDelay::open([this] { watch(); });
    }
    if (!source_) source_ = ExtIdleNotifier::connect(events);
    if (!source_) return false;
    if (bus_) {
      screenSaver_ =
          std::make_unique<DesktopScreenSaver>(bus_.get(), [this] { desktopScreenSaverOn(); });
      overview_ = std::make_unique<GnomeOverview>(bus_.get(), complain);
    }
    return true;
  }

  // Asks the source for the time chosen (again when GNOME's own idle delay has changed).
  void watch() {
    std::string why;
    std::chrono::milliseconds time = kDefaultIdleTime;
    if (minutes_) {
      time = idleTimeOfMinutes(*minutes_);
      why = "as asked";
    } else if (delay_) {
      const std::uint32_t gnome = delay_->seconds();
      time = idleTimeBeforeGnome(gnome);
      why = gnome == 0
                ? "GNOME's own screen blanking being off"
                : "GNOME blanking the screen after " + describeTime(std::chrono::seconds(gnome));
    } else {
      why = "the default";
    }
    if (time == watching_) return;
    watching_ = time;
    source_->watchFor(time);
    if (!ending_) {
      say("the saver starts after " + describeTime(time) + " without input (" + why + "), as " +
          source_->name() + " reports");
    }
  }

  // Under the desktop's own screen saver or lock the saver would draw for no one.
  bool saverWanted() const {
    return !ending_ && !saver_.running() && !(screenSaver_ && screenSaver_->active());
  }

  void idle() {
    if (!saverWanted()) return;
    if (overview_) {
      overview_->closeThen([this] { startSaver(); });
    } else {
      startSaver();
    }
  }

  // Once GNOME's overview is closed, unless the watcher is ending or the desktop's own screen
  // saver came on meanwhile.
  void startSaver() {
    if (!saverWanted()) return;
    try {
      saver_.start();
    } catch (const std::exception& error) {
      // Tried again at the next idle time, which only comes after the user was back.
      complain(error.what());
    }
  }

  void saverEnded(int status) {
    if (ending_) {
      g_main_loop_quit(loop_);
    } else if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
      complain("the saver ended with " + describeStatus(status));
    }
  }

  // The desktop's own fade or lock came on top: the saver under it would draw for no one.
  void desktopScreenSaverOn() { saver_.stop(); }

  void lost(const std::string& why) {
    if (ending_) return;
    complain(why);
    end(1);
  }

  void end(int status) {
    if (ending_) return;
    ending_ = true;
    status_ = status;
    if (saver_.running()) {
      saver_.stop();
    } else {
      g_main_loop_quit(loop_);
    }
  }

  std::optional<double> minutes_;
  GMainLoop* loop_;
  ObjectRef<GDBusConnection> bus_;
  std::unique_ptr<IdleSource> source_;
  std::unique_ptr<GnomeIdleDelay> delay_;
  std::unique_ptr<DesktopScreenSaver> screenSaver_;
  std::unique_ptr<GnomeOverview> overview_;
  SaverChild saver_{[this](int status) { saverEnded(status); }};
  std::chrono::milliseconds watching_{0};
  bool ending_ = false;
  int status_ = 0;
};

}  // namespace

int runIdleWatcher(std::optional<double> minutes) {
  Watcher watcher(minutes);
  return watcher.run();
}

}  // namespace drevanti::idle

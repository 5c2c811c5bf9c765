#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "autostart_entry.h"
#include "desktop_session.h"
#include "idle_time.h"

namespace drevanti::idle {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

TEST(IdleTime, AMinuteBeforeGnomeBlanksHalfItsTimeWhenShortAndFiveMinutesWhenItNeverDoes) {
  EXPECT_EQ(idleTimeBeforeGnome(300), minutes(4));  // GNOME's default
  EXPECT_EQ(idleTimeBeforeGnome(900), minutes(14));
  EXPECT_EQ(idleTimeBeforeGnome(120), minutes(1));
  EXPECT_EQ(idleTimeBeforeGnome(119), std::chrono::milliseconds(59'500));
  EXPECT_EQ(idleTimeBeforeGnome(60), seconds(30));  // GNOME's shortest choice
  EXPECT_EQ(idleTimeBeforeGnome(1), std::chrono::milliseconds(500));
  EXPECT_EQ(idleTimeBeforeGnome(0), minutes(5));  // "Never"
}

TEST(IdleTime, CommandLineMinutesToTheMillisecondAndDescribedAsTheyRead) {
  EXPECT_EQ(idleTimeOfMinutes(0.05), seconds(3));
  EXPECT_EQ(idleTimeOfMinutes(1440), minutes(1440));
  EXPECT_EQ(describeTime(minutes(4)), "4 minutes");
  EXPECT_EQ(describeTime(minutes(1)), "1 minute");
  EXPECT_EQ(describeTime(seconds(90)), "90 seconds");
  EXPECT_EQ(describeTime(std::chrono::milliseconds(2500)), "2.5 seconds");
}

TEST(DesktopSession, TheFirstKnownDesktopOfTheListDecides) {
  EXPECT_EQ(desktopOf("GNOME"), Desktop::Gnome);
  EXPECT_EQ(desktopOf("ubuntu:GNOME"), Desktop::Gnome);
  EXPECT_EQ(desktopOf("KDE"), Desktop::Plasma);
  EXPECT_EQ(desktopOf("MATE"), Desktop::Mate);
  EXPECT_EQ(desktopOf("XFCE"), Desktop::Xfce);
  EXPECT_EQ(desktopOf("Budgie:GNOME"), Desktop::Gnome);
  EXPECT_EQ(desktopOf("MATE:GNOME"), Desktop::Mate);
  for (const char* other : {"", "X-Cinnamon", "sway", "gnome", "GNOME-Flashback", "KDE4"}) {
    EXPECT_EQ(desktopOf(other), Desktop::Other) << other;
  }
  EXPECT_EQ(desktopOf(nullptr), Desktop::Other);
}

TEST(AutostartEntry, InTheConfigFolderTheXdgBaseDirectoriesName) {
  EXPECT_EQ(autostartEntryFile("/home/u/cfg", "/home/u"), "/home/u/cfg/autostart/drevanti.desktop");
  // A relative XDG_CONFIG_HOME is not valid, and an empty one unset.
  for (const char* ignored : {"cfg", "", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(autostartEntryFile(ignored, "/home/u"), "/home/u/.config/autostart/drevanti.desktop");
  }
  EXPECT_THROW(autostartEntryFile(nullptr, nullptr), std::runtime_error);
  EXPECT_THROW(autostartEntryFile("relative", ""), std::runtime_error);
}

}  // namespace
}  // namespace drevanti::idle

#include "xscreensaver_registration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace drevanti::linux_program {
namespace {

namespace fs = std::filesystem;

// ~/.xscreensaver as xscreensaver writes it (shortened), with a line that does not end in a
// line break at the end.
const std::string kSettings =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "mode:\t\trandom\n"
    "programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t\t    \\n\\\n"
    "\t\t\t\tattraction --root\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:  10";

const std::string kAppDefaults =
    "*timeout:\t0:10:00\n"
    "*programs:\t\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
    "\t\t\t\tqix --root\t\t\t\t    \\n\n"
    "*lock:\tFalse\n";

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The text with the one added line taken out again.
std::string withoutEntry(std::string text) {
  const auto at = text.find(kXscreensaverEntry);
  if (at != std::string::npos) text.erase(at, kXscreensaverEntry.size());
  return text;
}

struct XscreensaverRegistration : ::testing::Test {
  void SetUp() override {
    home = fs::temp_directory_path() /
           ("drevanti-registration-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(home);
    fs::create_directories(home);
    write(home / "app-defaults", kAppDefaults);
  }
  void TearDown() override { fs::remove_all(home); }
  RegistrationResult registerIn(const fs::path& file) {
    return registerWithXscreensaver(file, home / "app-defaults");
  }
  fs::path home;
};

TEST_F(XscreensaverRegistration, KeepsEveryOtherByteAndTheOldFileAndItsPermissions) {
  const fs::path file = home / ".xscreensaver";
  write(file, kSettings);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const RegistrationResult result = registerIn(file);
  EXPECT_TRUE(result.added);
  const std::string now = read(file);
  EXPECT_EQ(withoutEntry(now), kSettings);
  // First in the list, which goes on into the old first entry.
  EXPECT_NE(now.find("\\\n" + std::string(kXscreensaverEntry) + "\t\t\t\tmaze"), std::string::npos);
  EXPECT_EQ(read(result.backup), kSettings);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_FALSE(fs::exists(home / ".xscreensaver.drevanti-new"));
}

TEST_F(XscreensaverRegistration, DoesNothingWhenDrevantiIsListedAlready) {
  const fs::path file = home / ".xscreensaver";
  write(file, kSettings);
  ASSERT_TRUE(registerIn(file).added);
  const std::string once = read(file);
  fs::remove(home / ".xscreensaver.drevanti-backup");
  EXPECT_FALSE(registerIn(file).added);
  EXPECT_EQ(read(file), once);
  EXPECT_FALSE(fs::exists(home / ".xscreensaver.drevanti-backup"));
  // Also when the user has switched it off (a leading '-') or gave it other arguments.
  EXPECT_FALSE(withDrevantiListed(
      "programs: \\\n-\t\tdrevanti --root --fps \\n\\\n\t\tmaze --root \\n\n", std::nullopt));
  EXPECT_TRUE(withDrevantiListed("programs: \\\n\t\tdrevantic --root \\n\n", std::nullopt));
}

TEST_F(XscreensaverRegistration, AFailedWriteLeavesTheOldFileAsItWas) {
  const fs::path file = home / ".xscreensaver";
  write(file, kSettings);
  // Where the new text would be written stands something that is not a file.
  fs::create_directories(home / ".xscreensaver.drevanti-new" / "occupied");
  EXPECT_THROW(registerIn(file), std::runtime_error);
  EXPECT_EQ(read(file), kSettings);
  EXPECT_FALSE(fs::exists(home / ".xscreensaver.drevanti-backup"));
}

TEST_F(XscreensaverRegistration, WithoutAFileTheListHoldsDrevantiAndXscreensaversDefaults) {
  const fs::path file = home / ".xscreensaver";
  const RegistrationResult result = registerIn(file);
  EXPECT_TRUE(result.added);
  EXPECT_TRUE(result.backup.empty());
  EXPECT_EQ(read(file), "programs:\t\t\t\t\t\t\t\t      \\\n" + std::string(kXscreensaverEntry) +
                            "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n"
                            "\t\t\t\tqix --root\t\t\t\t    \\n\n");
  // A file without a list of its own gets the same list after its last byte.
  write(file, "mode:\t\tone");
  ASSERT_TRUE(registerIn(file).added);
  EXPECT_EQ(read(file).rfind("mode:\t\tone\nprograms:", 0), 0u);
}

TEST_F(XscreensaverRegistration, AListInAnotherLayoutIsLeftToTheUser) {
  const fs::path file = home / ".xscreensaver";
  write(file, "programs: maze --root \\n\n");
  EXPECT_THROW(registerIn(file), std::runtime_error);
  EXPECT_EQ(read(file), "programs: maze --root \\n\n");
}

}  // namespace
}  // namespace drevanti::linux_program

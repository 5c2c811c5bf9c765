// Registering drevanti with xscreensaver, which lists a screen saver only when a line of the
// programs list in ~/.xscreensaver names it. A package must leave that file to its user, so the
// user asks for it: `drevanti --register`.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace drevanti::linux_program {

// The entry added, laid out as xscreensaver lays out its own.
inline constexpr std::string_view kXscreensaverEntry = "\t\t\t\tdrevanti --root\t\t\t\t    \\n\\\n";

// The text ~/.xscreensaver should hold with drevanti listed, or nothing when it is listed already.
// Every byte of the old text stays; the entry goes first in the programs list. Without a file
// (contents is nothing) or without a programs list in it, a programs list is added that holds
// the entry and xscreensaver's own defaults, read from appDefaults (the text of its app-defaults
// file; nothing when there is none). Throws std::runtime_error when the list is not in the form
// xscreensaver writes, so that the entry cannot be added safely.
std::optional<std::string> withDrevantiListed(const std::optional<std::string>& contents,
                                              const std::optional<std::string>& appDefaults);

struct RegistrationResult {
  bool added = false;
  std::filesystem::path file;    // the file written (a link's target)
  std::filesystem::path backup;  // where the old file was kept, empty when there was none
};

// Lists drevanti in the given file. The new text is written beside it and renamed into place, so
// the file is at every moment either the old one or the new one; the old one is kept as
// FILE.drevanti-backup. Throws std::runtime_error, with the old file untouched, when anything
// fails.
RegistrationResult registerWithXscreensaver(const std::filesystem::path& file,
                                            const std::filesystem::path& appDefaults);

}  // namespace drevanti::linux_program

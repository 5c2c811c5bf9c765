#include "xscreensaver_registration.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace drevanti::linux_program {

namespace {

namespace fs = std::filesystem;

// The lines of a text, each with its line end.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const auto length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

// A resource line that goes on in the next line ends in a backslash.
bool continues(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return !line.empty() && line.back() == '\\';
}

bool namesDrevanti(std::string_view line) {
  for (auto at = line.find("drevanti"); at != std::string_view::npos;
       at = line.find("drevanti", at + 1)) {
    const auto word = [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    };
    const bool startsWord = at == 0 || !word(line[at - 1]);
    const bool endsWord = at + 8 == line.size() || !word(line[at + 8]);
    if (startsWord && endsWord) return true;
  }
  return false;
}

// Where the programs list starts among the lines (the index of its first line), if anywhere.
std::optional<std::size_t> programsList(const std::vector<std::string_view>& lines,
                                        std::string_view key) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].substr(0, key.size()) == key) return i;
  }
  return std::nullopt;
}

// A programs list of its own: the entry, then xscreensaver's defaults.
std::string newProgramsList(const std::optional<std::string>& appDefaults) {
  std::string list = "programs:\t\t\t\t\t\t\t\t      \\\n";
  std::string defaults;
  if (appDefaults) {
    const auto lines = linesOf(*appDefaults);
    if (const auto first = programsList(lines, "*programs:")) {
      for (std::size_t i = *first; continues(lines[i]) && i + 1 < lines.size(); ++i) {
        defaults += lines[i + 1];
      }
    }
  }
  if (defaults.empty()) {
    // The entry ends the list.
    list += kXscreensaverEntry.substr(0, kXscreensaverEntry.size() - 2);
    list += '\n';
    return list;
  }
  if (defaults.back() != '\n') defaults += '\n';
  return list + std::string(kXscreensaverEntry) + defaults;
}

std::optional<std::string> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw std::runtime_error(path.string() + ": cannot be read");
  return text.str();
}

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

// Writes the text to a new file and makes sure it is on the disk before anything refers to it.
void writeNewFile(const fs::path& path, const std::string& text, fs::perms permissions) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        static_cast<mode_t>(permissions & fs::perms::mask));
  if (fd < 0) fail("cannot create " + path.string());
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = errno;
      ::close(fd);
      ::unlink(path.c_str());
      errno = error;
      fail("cannot write " + path.string());
    }
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    const int error = errno;
    ::unlink(path.c_str());
    errno = error;
    fail("cannot write " + path.string());
  }
}

}  // namespace

std::optional<std::string> withDrevantiListed(const std::optional<std::string>& contents,
                                              const std::optional<std::string>& appDefaults) {
  if (!contents) return newProgramsList(appDefaults);
  const auto lines = linesOf(*contents);
  const auto first = programsList(lines, "programs:");
  if (!first) {
    // No list of its own yet: xscreensaver uses its defaults, which the new list keeps.
    std::string text = *contents;
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text + newProgramsList(appDefaults);
  }
  std::size_t last = *first;
  while (continues(lines[last]) && last + 1 < lines.size()) ++last;
  for (std::size_t i = *first; i <= last; ++i) {
    if (namesDrevanti(lines[i])) return std::nullopt;
  }
  if (!continues(lines[*first])) {
    throw std::runtime_error(
        "the programs list is not laid out as xscreensaver writes it (one entry a line); add this "
        "line to it by hand:  drevanti --root \\n\\");
  }
  // Right after the list's first line: the entry goes on into the old first entry.
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i == *first) text += kXscreensaverEntry;
  }
  return text;
}

RegistrationResult registerWithXscreensaver(const fs::path& file, const fs::path& appDefaults) {
  RegistrationResult result;
  std::error_code error;
  // A link (a managed dotfile) stays a link: its target gets the new text.
  result.file = fs::is_symlink(file, error) ? fs::canonical(file) : file;
  const std::optional<std::string> old = readFile(result.file);
  std::optional<std::string> text;
  try {
    text = withDrevantiListed(old, readFile(appDefaults));
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(result.file.string() + ": " + e.what());
  }
  if (!text) return result;

  const fs::path fresh = result.file.string() + ".drevanti-new";
  fs::remove(fresh, error);
  const fs::perms permissions =
      old ? fs::status(result.file).permissions() : fs::perms::owner_read | fs::perms::owner_write;
  writeNewFile(fresh, *text, permissions);
  if (old) {
    result.backup = result.file.string() + ".drevanti-backup";
    fs::copy_file(result.file, result.backup, fs::copy_options::overwrite_existing, error);
    if (error) {
      fs::remove(fresh);
      throw std::runtime_error("cannot keep the old file as " + result.backup.string() + ": " +
                               error.message());
    }
  }
  if (::rename(fresh.c_str(), result.file.c_str()) != 0) {
    const int failure = errno;
    fs::remove(fresh, error);
    errno = failure;
    fail("cannot replace " + result.file.string());
  }
  result.added = true;
  return result;
}

}  // namespace drevanti::linux_program

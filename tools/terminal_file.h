// Reading terminals: plain "x y" lines, or the OR-Library Euclidean Steiner format. The text is
// read as it is parsed, one instance at a time, so that memory stays small whatever comes in and
// the first problem is reported as soon as its line has been read.
#pragma once

#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "state/solver_state.h"

namespace drevanti::tool {

struct Point {
  double x = 0, y = 0;
};

// Bad input, with a message naming the file, the line and the problem.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fewer terminals have a trivial tree; the most are the solver's (kMaxTerminals).
inline constexpr int kMinTerminals = 3;
// No line of either format comes near this; a longer one is not terminals (a binary file, say).
inline constexpr std::size_t kMaxLineLength = 1000;

struct TerminalInstance {
  std::vector<Point> terminals;
};

// Plain text: one "x y" pair per line, blank lines and '#' comments allowed. OR-Library: the number
// of instances, then per instance the number of points and that many "x y" lines. The format is
// told by the first line that is not blank: one number starts an OR-Library file. Numbers are
// separated by blanks, tabs or commas; a UTF-8 byte order mark and CRLF line ends are accepted.
// Every instance must have 3 to 49 terminals, all finite and pairwise distinct.
class TerminalReader {
 public:
  // fileName names the input in messages.
  TerminalReader(std::istream& in, std::string fileName);
  ~TerminalReader();
  TerminalReader(const TerminalReader&) = delete;
  TerminalReader& operator=(const TerminalReader&) = delete;

  // The next instance, or nothing once the input is done. Throws InputError at the first problem.
  std::optional<TerminalInstance> next();
  // How many instances next() has returned.
  long instancesRead() const;
  // How many instances the input holds: 1 for a plain file, the number an OR-Library file starts
  // with. Known once next() has been called.
  long instancesAnnounced() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// A file of terminals opened for a TerminalReader; throws InputError ("PATH: cannot be read") when
// it cannot be, a folder included.
std::ifstream openTerminalFile(const std::string& path);

}  // namespace drevanti::tool

// Reading terminals from a file: plain "x y" lines, or the OR-Library Euclidean Steiner format.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace drevanti::tool {

struct Point {
  double x = 0, y = 0;
};

// Bad input, with a message naming the file, the line and the problem.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The solver's vertex arrays hold 101 vertices: at most 49 terminals leave room for the Steiner
// points a round can add.
inline constexpr int kMinTerminals = 3;
inline constexpr int kMaxTerminals = 49;

struct TerminalInstance {
  std::vector<Point> terminals;
};

// Plain text: one "x y" pair per line, blank lines and '#' comments allowed. OR-Library: the number
// of instances, then per instance the number of points and that many "x y" lines. The format is
// told by the first line that is not blank: one number starts an OR-Library file. Every instance
// must have 3 to 49 terminals, all finite and pairwise distinct.
std::vector<TerminalInstance> parseTerminals(std::string_view text, std::string_view fileName);
std::vector<TerminalInstance> readTerminalFile(const std::string& path);

}  // namespace drevanti::tool

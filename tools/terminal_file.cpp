#include "terminal_file.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

namespace drevanti::tool {

namespace {

struct Line {
  int number = 0;  // 1-based
  std::vector<std::string_view> tokens;
};

// Lines that carry tokens, with comments and blank lines dropped.
std::vector<Line> tokenize(std::string_view text) {
  std::vector<Line> lines;
  int number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    line = line.substr(0, line.find('#'));
    Line tokens{number, {}};
    std::size_t at = 0;
    while (true) {
      at = line.find_first_not_of(" \t\r\f\v,", at);
      if (at == std::string_view::npos) break;
      const auto stop = line.find_first_of(" \t\r\f\v,", at);
      tokens.tokens.push_back(line.substr(at, stop - at));
      at = stop;
    }
    if (!tokens.tokens.empty()) lines.push_back(std::move(tokens));
  }
  return lines;
}

std::string quoted(std::string_view token) {
  std::string text(1, '\'');
  text.append(token).push_back('\'');
  return text;
}

class Reader {
 public:
  Reader(std::vector<Line> lines, std::string_view fileName)
      : lines_(std::move(lines)), fileName_(fileName) {}

  bool atEnd() const { return next_ >= lines_.size(); }

  [[noreturn]] void fail(int line, const std::string& problem) const {
    throw InputError(std::string(fileName_) + ":" + std::to_string(line) + ": " + problem);
  }

  const Line& take(std::size_t tokenCount, const char* what) {
    if (atEnd()) fail(lastLine(), std::string("the file ends where ") + what + " was expected");
    const Line& line = lines_[next_++];
    if (line.tokens.size() != tokenCount) {
      fail(line.number, std::string("expected ") + what + ", found " +
                            std::to_string(line.tokens.size()) + " values");
    }
    return line;
  }

  double number(const Line& line, std::string_view token) const {
    std::string_view digits = token;
    if (digits.size() > 1 && digits.front() == '+') digits.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size()) {
      fail(line.number, quoted(token) + " is not a number");
    }
    if (!std::isfinite(value)) fail(line.number, quoted(token) + " is not a finite number");
    return value;
  }

  long count(const Line& line, const char* what) const {
    const double value = number(line, line.tokens[0]);
    if (value < 0 || value != std::floor(value) || value > 1e6) {
      fail(line.number,
           std::string(what) + " must be a whole number, found " + quoted(line.tokens[0]));
    }
    return static_cast<long>(value);
  }

  TerminalInstance points(std::size_t howMany, int headerLine) {
    TerminalInstance instance;
    std::map<std::pair<double, double>, int> seen;
    for (std::size_t k = 0; k < howMany; ++k) {
      const Line& line = take(2, "an 'x y' pair");
      const Point p{number(line, line.tokens[0]), number(line, line.tokens[1])};
      // -0 and 0 are one coordinate.
      const auto [it, fresh] = seen.emplace(std::pair{p.x + 0.0, p.y + 0.0}, line.number);
      if (!fresh)
        fail(line.number, "duplicate of the terminal on line " + std::to_string(it->second));
      instance.terminals.push_back(p);
    }
    checkCount(instance.terminals.size(), headerLine);
    return instance;
  }

  void checkCount(std::size_t n, int line) const {
    if (n < kMinTerminals) {
      fail(line, std::to_string(n) + " terminals; at least " + std::to_string(kMinTerminals) +
                     " are needed");
    }
    if (n > kMaxTerminals) {
      fail(line, std::to_string(n) + " terminals; at most " + std::to_string(kMaxTerminals) +
                     " fit the solver");
    }
  }

  std::size_t remaining() const { return lines_.size() - next_; }
  const Line& peek() const { return lines_[next_]; }
  int lastLine() const { return lines_.empty() ? 1 : lines_.back().number; }

 private:
  std::vector<Line> lines_;
  std::string_view fileName_;
  std::size_t next_ = 0;
};

}  // namespace

std::vector<TerminalInstance> parseTerminals(std::string_view text, std::string_view fileName) {
  Reader reader(tokenize(text), fileName);
  if (reader.atEnd()) reader.fail(1, "no terminals in the file");
  if (reader.peek().tokens.size() != 1) {
    const int first = reader.peek().number;
    return {reader.points(reader.remaining(), first)};
  }
  const Line& header = reader.take(1, "the number of instances");
  const long instances = reader.count(header, "the number of instances");
  if (instances < 1) reader.fail(header.number, "the file holds no instance");
  std::vector<TerminalInstance> result;
  for (long k = 0; k < instances; ++k) {
    const Line& size = reader.take(1, "the number of points of an instance");
    const long n = reader.count(size, "the number of points");
    reader.checkCount(static_cast<std::size_t>(n), size.number);
    result.push_back(reader.points(static_cast<std::size_t>(n), size.number));
  }
  if (!reader.atEnd()) reader.fail(reader.peek().number, "unexpected data after the last instance");
  return result;
}

std::vector<TerminalInstance> readTerminalFile(const std::string& path) {
  std::error_code ignored;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ignored))
    throw InputError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError(path + ": cannot be read");
  return parseTerminals(text.str(), path);
}

}  // namespace drevanti::tool

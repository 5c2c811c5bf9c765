#include "terminal_file.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <utility>

#include "app/quoted_text.h"
#include "render/decimal_text.h"

namespace drevanti::tool {

namespace {

// A line that carries tokens; comments and blank lines never make one.
struct Line {
  long number = 0;  // 1-based
  std::vector<std::string> tokens;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kSeparators = " \t\r\f\v,";

// The input's lines one by one, each read through a buffer of fixed size and never longer than
// kMaxLineLength, so that neither a huge file nor one without line breaks is held in memory.
class LineSource {
 public:
  LineSource(std::istream& in, std::string_view name) : in_(in), name_(name) {}

  // The next line that carries tokens, or nothing at the end of the input.
  std::optional<Line> next() {
    std::string text;
    while (readLine(text)) {
      Line line{number_, tokens(text)};
      if (!line.tokens.empty()) return line;
    }
    return std::nullopt;
  }

  long lastNumber() const { return number_; }

 private:
  bool readLine(std::string& text) {
    text.clear();
    bool any = false;
    while (true) {
      if (at_ == size_) {
        in_.read(buffer_, sizeof buffer_);
        size_ = static_cast<std::size_t>(in_.gcount());
        at_ = 0;
        if (in_.bad()) throw InputError(std::string(name_) + ": cannot be read");
        if (size_ == 0) break;
      }
      any = true;
      const char c = buffer_[at_++];
      if (c == '\n') break;
      if (text.size() == kMaxLineLength) {
        throw InputError(std::string(name_) + ":" + std::to_string(number_ + 1) +
                         ": the line is longer than " + std::to_string(kMaxLineLength) +
                         " characters: not a file of terminals");
      }
      text += c;
    }
    if (!any) return false;
    ++number_;
    if (number_ == 1 && text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    return true;
  }

  static std::vector<std::string> tokens(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string> found;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(kSeparators, at)) != std::string_view::npos) {
      const auto stop = line.find_first_of(kSeparators, at);
      found.emplace_back(line.substr(at, stop - at));
      at = stop;
    }
    return found;
  }

  std::istream& in_;
  std::string_view name_;
  char buffer_[1 << 16];
  std::size_t at_ = 0, size_ = 0;
  long number_ = 0;
};

}  // namespace

class TerminalReader::Impl {
 public:
  Impl(std::istream& in, std::string fileName)
      : fileName_(std::move(fileName)), lines_(in, fileName_) {}

  std::optional<TerminalInstance> next() {
    if (!started_) start();
    if (plain_) {
      if (read_ == 1) return std::nullopt;
      ++read_;
      return points(std::nullopt, first_.number);
    }
    if (read_ == announced_) {
      if (auto extra = lines_.next())
        fail(extra->number, "unexpected data after the last instance");
      return std::nullopt;
    }
    const Line size = take(1, "the number of points of an instance");
    const long n = count(size, "the number of points");
    checkCount(n, size.number);
    ++read_;
    return points(n, size.number);
  }

  long read() const { return read_; }
  long announced() const { return plain_ ? 1 : announced_; }

 private:
  [[noreturn]] void fail(long line, const std::string& problem) const {
    throw InputError(fileName_ + ":" + std::to_string(line) + ": " + problem);
  }

  // The first line tells the format.
  void start() {
    started_ = true;
    auto first = lines_.next();
    if (!first) fail(1, "no terminals in the file");
    first_ = std::move(*first);
    plain_ = first_.tokens.size() != 1;
    if (plain_) {
      pending_ = first_;
      return;
    }
    announced_ = count(first_, "the number of instances");
    if (announced_ < 1) fail(first_.number, "the file holds no instance");
  }

  Line take(std::size_t tokenCount, const char* what) {
    std::optional<Line> line = std::exchange(pending_, std::nullopt);
    if (!line) line = lines_.next();
    if (!line) {
      fail(std::max(lines_.lastNumber(), 1L),
           std::string("the file ends where ") + what + " was expected");
    }
    if (line->tokens.size() != tokenCount) {
      fail(line->number, std::string("expected ") + what + ", found " +
                             std::to_string(line->tokens.size()) + " values");
    }
    return std::move(*line);
  }

  bool more() {
    if (!pending_) pending_ = lines_.next();
    return pending_.has_value();
  }

  double number(const Line& line, std::string_view token) const {
    std::string_view digits = token;
    if (digits.size() > 1 && digits.front() == '+') digits.remove_prefix(1);
    const std::optional<double> read = readDecimal(digits);
    if (!read) fail(line.number, quotedText(token) + " is not a number");
    const double value = *read;
    if (!std::isfinite(value)) fail(line.number, quotedText(token) + " is not a finite number");
    return value;
  }

  long count(const Line& line, const char* what) const {
    const double value = number(line, line.tokens[0]);
    if (value < 0 || value != std::floor(value) || value > 1e6) {
      fail(line.number,
           std::string(what) + " must be a whole number, found " + quotedText(line.tokens[0]));
    }
    return static_cast<long>(value);
  }

  // The points of one instance: howMany of them, or, in a plain file, all that follow.
  TerminalInstance points(std::optional<long> howMany, long headerLine) {
    TerminalInstance instance;
    std::map<std::pair<double, double>, long> seen;
    while (howMany ? static_cast<long>(instance.terminals.size()) < *howMany : more()) {
      const Line line = take(2, "an 'x y' pair");
      const Point p{number(line, line.tokens[0]), number(line, line.tokens[1])};
      // -0 and 0 are one coordinate.
      const auto [it, fresh] = seen.emplace(std::pair{p.x + 0.0, p.y + 0.0}, line.number);
      if (!fresh)
        fail(line.number, "duplicate of the terminal on line " + std::to_string(it->second));
      instance.terminals.push_back(p);
      // Reading stops at the first terminal too many, however long the file goes on.
      if (instance.terminals.size() > kMaxTerminals) checkCount(kMaxTerminals + 1, headerLine);
    }
    checkCount(static_cast<long>(instance.terminals.size()), headerLine);
    return instance;
  }

  void checkCount(long n, long line) const {
    if (n < kMinTerminals) {
      fail(line, std::to_string(n) + " terminals; at least " + std::to_string(kMinTerminals) +
                     " are needed");
    }
    if (n > kMaxTerminals) {
      fail(line, std::to_string(n) + " terminals; at most " + std::to_string(kMaxTerminals) +
                     " fit the solver");
    }
  }

  std::string fileName_;
  LineSource lines_;
  bool started_ = false;
  bool plain_ = false;
  Line first_;
  std::optional<Line> pending_;
  long announced_ = 0;
  long read_ = 0;
};

TerminalReader::TerminalReader(std::istream& in, std::string fileName)
    : impl_(std::make_unique<Impl>(in, std::move(fileName))) {}

TerminalReader::~TerminalReader() = default;

std::optional<TerminalInstance> TerminalReader::next() {
  return impl_->next();
}

long TerminalReader::instancesRead() const {
  return impl_->read();
}

long TerminalReader::instancesAnnounced() const {
  return impl_->announced();
}

std::ifstream openTerminalFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ignored;
  if (!in || std::filesystem::is_directory(path, ignored)) {
    throw InputError(path + ": cannot be read");
  }
  return in;
}

}  // namespace drevanti::tool

#include "render/decimal_text.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace drevanti {

namespace {

// Enough for any double in "%.17e" or "%.17g" (and, times 8, in "%.0f": 309 digits at most).
constexpr int kBufferSize = 40;

bool isDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// The next number up in magnitude with the same count of significant digits ("7.12e-307" ->
// "7.13e-307"); nothing when the digits are all nines.
std::optional<std::string> nextInMagnitude(std::string scientific) {
  for (auto i = static_cast<std::ptrdiff_t>(scientific.find('e')) - 1; i >= 0; --i) {
    char& c = scientific[static_cast<std::size_t>(i)];
    if (!isDigit(c)) continue;
    if (c != '9') {
      ++c;
      return scientific;
    }
    c = '0';
  }
  return std::nullopt;
}

bool readsBackAs(const std::string& text, double value) {
  return std::strtod(text.c_str(), nullptr) == value;
}

// value in "%.Ne" with the fewest significant digits (at most 17, which always suffice) that read
// back as the same double. The nearest number of that many digits is tried first; where the
// doubles' spacing changes (at powers of two) the gap below is half the gap above, and then the
// next one up may read back where the nearest does not.
std::string shortestScientific(double value) {
  char buffer[kBufferSize];
  for (int digits = 1;; ++digits) {
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
    if (digits == 17 || readsBackAs(buffer, value)) return buffer;
    if (const auto up = nextInMagnitude(buffer); up && readsBackAs(*up, value)) return *up;
  }
}

// The same number written out without an exponent. A whole number is written with all its digits,
// as it is exactly (the shortest digits of 2^60 are 1152921504606847e3, its fixed form is
// 1152921504606846976).
std::string fixedForm(double value, const std::string& scientific) {
  const std::size_t e = scientific.find('e');
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const bool negative = scientific.front() == '-';
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
    if (scientific[i] != '.') digits += scientific[i];
  }
  std::string fixed = negative ? "-" : "";
  const int count = static_cast<int>(digits.size());
  if (exponent < 0) {
    fixed += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else if (count <= exponent + 1) {
    char whole[kBufferSize * 8];
    std::snprintf(whole, sizeof whole, "%.0f", value);
    return whole;
  } else {
    const auto whole = static_cast<std::size_t>(exponent + 1);
    fixed += digits.substr(0, whole) + "." + digits.substr(whole);
  }
  return fixed;
}

}  // namespace

std::string generalDecimal(double value, int significantDigits) {
  char buffer[kBufferSize];
  std::snprintf(buffer, sizeof buffer, "%.*g", significantDigits, value);
  return buffer;
}

std::string shortestDecimal(double value) {
  if (!std::isfinite(value)) return generalDecimal(value, 1);
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  std::string scientific = shortestScientific(value);
  std::string fixed = fixedForm(value, scientific);
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

std::optional<double> readDecimal(std::string_view text) {
  const std::string copy(text);
  const char* begin = copy.c_str();
  const std::size_t start = copy.empty() || copy.front() != '-' ? 0 : 1;
  const char first = begin[start];
  // strtod also takes leading blanks, a "+" and hexadecimal numbers, which are no numbers here.
  if (!isDigit(first) && first != '.' && !isLetter(first)) return std::nullopt;
  if (first == '0' && (begin[start + 1] == 'x' || begin[start + 1] == 'X')) return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end != begin + copy.size()) return std::nullopt;
  // Out of range: a number too large for a double, or too small to be told from zero.
  if (std::isinf(value) && !isLetter(first)) return std::nullopt;
  if (value == 0) {
    for (const char* c = begin + start; *c != 'e' && *c != 'E' && *c != '\0'; ++c) {
      if (*c >= '1' && *c <= '9') return std::nullopt;
    }
  }
  return value;
}

}  // namespace drevanti

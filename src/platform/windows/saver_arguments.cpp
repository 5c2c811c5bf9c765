#include "saver_arguments.h"

#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

namespace drevanti::win32 {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

// A window handle in decimal; nothing else may follow it.
std::optional<std::uintptr_t> handle(std::string_view text) {
  text = trimmed(text);
  std::uintptr_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

SaverArguments parseSaverArguments(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  const std::string_view first = trimmed(arguments[0]);
  if (first.size() < 2 || (first[0] != '/' && first[0] != '-')) return {};
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(first[1])));
  std::string_view rest = first.substr(2);

  // The handle: glued on after a colon or a space, or as the next argument.
  std::optional<std::uintptr_t> window;
  if (rest.empty()) {
    if (arguments.size() > 1) window = handle(arguments[1]);
  } else if (rest[0] == ':' || rest[0] == ' ' || rest[0] == '\t') {
    window = handle(rest.substr(1));
  } else {
    return {};  // a longer word, such as /save: not a switch of the host's
  }

  switch (letter) {
    case 's':
      return {};
    case 'c':
      return {SaverMode::Settings, window.value_or(0)};
    case 'p':
      if (!window || *window == 0) return {SaverMode::ExitAtOnce, 0};
      return {SaverMode::Preview, *window};
    case 'a':
      return {SaverMode::ExitAtOnce, 0};
    default:
      return {};
  }
}

}  // namespace drevanti::win32

#include "app/launch.h"

#include <cctype>
#include <charconv>
#include <cstdint>

#include "app/quoted_text.h"

namespace drevanti {

namespace {

std::string_view trimmed(std::string_view text) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

Launch invalid(std::string error) {
  return {LaunchMode::Invalid, 0, std::move(error)};
}

}  // namespace

std::optional<WindowId> parseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  WindowId value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> parseIdleMinutes(std::string_view text) {
  // Read by hand: from_chars for a double is not in every standard library the core is built
  // with (libc++ for the browser), and strtod follows the locale. The digits, without the point,
  // make an integer that a double holds exactly, so the one division rounds as the literal would.
  constexpr int kMostDigits = 15;
  std::uint64_t digits = 0;
  int count = 0;
  double divisor = 1;
  bool point = false;
  for (const char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9' && count < kMostDigits) {
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      ++count;
      if (point) divisor *= 10;
    } else {
      return std::nullopt;
    }
  }
  if (count == 0) return std::nullopt;
  const double minutes = static_cast<double>(digits) / divisor;
  if (minutes < kFewestIdleMinutes || minutes > kMostIdleMinutes) return std::nullopt;
  return minutes;
}

Launch parseLinuxLaunch(const std::vector<std::string>& arguments, const char* xscreensaverWindow) {
  bool root = false;
  std::optional<LaunchMode> request;
  std::optional<WindowId> window;
  std::optional<double> idleMinutes;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    const auto ask = [&](LaunchMode mode) {
      if (!request) request = mode;
    };
    if (argument == "--root" || argument == "-root") {
      root = true;
    } else if (argument == "--settings") {
      ask(LaunchMode::Settings);
    } else if (argument == "--register") {
      ask(LaunchMode::Register);
    } else if (argument == "--unregister") {
      ask(LaunchMode::Unregister);
    } else if (argument == "--on-idle") {
      ask(LaunchMode::OnIdle);
    } else if (argument.starts_with("--on-idle=")) {
      const std::string_view value = argument.substr(argument.find('=') + 1);
      const auto minutes = parseIdleMinutes(value);
      if (!minutes) {
        return invalid("--on-idle= takes minutes, from 0.01 to 1440, such as 4 or 0.5, not " +
                       quotedText(value));
      }
      if (!request) idleMinutes = minutes;
      ask(LaunchMode::OnIdle);
    } else if (argument == "--help" || argument == "-h") {
      ask(LaunchMode::Help);
    } else if (argument == "--version") {
      ask(LaunchMode::Version);
    } else if (argument == "--window-id" || argument == "-window-id") {
      if (i + 1 == arguments.size()) return invalid(std::string(argument) + " needs a window id");
      window = parseWindowId(arguments[++i]);
      if (!window || *window == 0) {
        return invalid(std::string(argument) +
                       " takes a window id in decimal or 0x-hexadecimal, not " +
                       quotedText(arguments[i]));
      }
    }
  }
  if (request) return {*request, 0, {}, idleMinutes};
  if (window) return {LaunchMode::Hosted, *window, {}};
  if (!root) return {};
  if (xscreensaverWindow == nullptr) return {LaunchMode::Hosted, kRootWindow, {}};
  const auto named = parseWindowId(trimmed(xscreensaverWindow));
  if (!named || *named == 0) {
    return invalid("XSCREENSAVER_WINDOW is not a window id: " + quotedText(xscreensaverWindow));
  }
  return {LaunchMode::Hosted, *named, {}};
}

Launch parseWindowsLaunch(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return {};
  const std::string_view first = trimmed(arguments[0]);
  if (first.size() < 2 || (first[0] != '/' && first[0] != '-')) return {};
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(first[1])));
  std::string_view rest = first.substr(2);

  // The handle: glued on after a colon or a space, or as the next argument.
  std::optional<WindowId> window;
  if (rest.empty()) {
    if (arguments.size() > 1) window = parseWindowId(trimmed(arguments[1]));
  } else if (rest[0] == ':' || rest[0] == ' ' || rest[0] == '\t') {
    window = parseWindowId(trimmed(rest.substr(1)));
  } else {
    return {};  // a longer word, such as /save: not a switch of the host's
  }

  switch (letter) {
    case 's':
      return {};
    case 'c':
      return {LaunchMode::Settings, window.value_or(0), {}};
    case 'p':
      if (!window || *window == 0) return {LaunchMode::DoNothing, 0, {}};
      return {LaunchMode::Hosted, *window, {}};
    case 'a':
      return {LaunchMode::DoNothing, 0, {}};
    default:
      return {};
  }
}

}  // namespace drevanti

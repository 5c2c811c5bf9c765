// drevanti-solve: the Steiner tree heuristic without a window.
//   drevanti-solve demo [--seed S] [--screen WxH] [--instances K]
//   drevanti-solve solve [--seed S] [--rounds R] [--instance K] [--svg OUT] [--tree] FILE|-
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/improvement_rounds.h"
#include "app/instance_generation.h"
#include "app/quoted_text.h"
#include "app/version.h"
#include "solve_runs.h"
#include "state/random_source.h"
#include "terminal_file.h"

namespace {

using namespace drevanti;
using namespace drevanti::tool;

constexpr int kExitInput = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: drevanti-solve demo [--seed S] [--screen WxH] [--instances K]\n"
    "       drevanti-solve solve [--seed S] [--rounds R] [--instance K] [--svg OUT] [--tree] "
    "FILE\n"
    "       drevanti-solve --help | --version\n"
    "FILE - reads standard input. See drevanti-solve(1).\n";

struct UsageError {
  std::string message;
};

// The reader of the output has gone (a closed pipe, as after `| head`): nothing more is wanted.
struct ReaderGone {};
struct OutputError {
  std::string message;
};

// Writes to standard output and checks it at once, so that a full disk or a failing device is
// reported rather than taken for success.
void writeOut(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    if (errno == EPIPE) throw ReaderGone{};
    throw OutputError{std::strerror(errno)};
  }
}

// long long: the seed's range needs 32 unsigned bits, more than a Windows long holds.
long long wholeNumber(std::string_view option, std::string_view text, long long low,
                      long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    throw UsageError{std::string(option) + " takes a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", not " + quotedText(text)};
  }
  return value;
}

// The options after the command, each "--name value" unless it is a flag.
class Arguments {
 public:
  Arguments(int argc, char** argv) : args_(argv + 2, argv + argc) {}

  template <class Handler>
  void each(Handler&& handler) {
    for (std::size_t i = 0; i < args_.size(); ++i) {
      const std::string_view arg = args_[i];
      const auto value = [&]() -> std::string_view {
        if (i + 1 >= args_.size()) throw UsageError{std::string(arg) + " needs a value"};
        return args_[++i];
      };
      handler(arg, value);
    }
  }

 private:
  std::vector<std::string_view> args_;
};

// Any size the saver may meet, down to a single pixel, but for the one width that leaves no room
// for an instance (the saver shows nothing there, so the demonstration would never report one).
ScreenSize screenSize(std::string_view text) {
  const auto x = text.find('x');
  if (x == std::string_view::npos) throw UsageError{"--screen takes WxH, for example 1920x1080"};
  const ScreenSize screen{
      static_cast<int>(wholeNumber("--screen width", text.substr(0, x), 1, 16384)),
      static_cast<int>(wholeNumber("--screen height", text.substr(x + 1), 1, 16384))};
  if (screen.width == 2 * kScreenMargin) {
    throw UsageError{"--screen: a screen " + std::to_string(2 * kScreenMargin) +
                     " pixels wide has no room for terminals between its " +
                     std::to_string(kScreenMargin) + "-pixel margins"};
  }
  return screen;
}

int demo(int argc, char** argv) {
  std::optional<std::uint32_t> seed;
  ScreenSize screen{1920, 1080};
  long instances = 1;
  Arguments(argc, argv).each([&](std::string_view arg, auto value) {
    if (arg == "--seed") {
      seed = static_cast<std::uint32_t>(wholeNumber(arg, value(), 0, 4294967295LL));
    } else if (arg == "--screen") {
      screen = screenSize(value());
    } else if (arg == "--instances") {
      instances = static_cast<long>(wholeNumber(arg, value(), 1, 1000000));
    } else {
      throw UsageError{"unknown option " + quotedText(arg) + " for demo"};
    }
  });
  runDemo(seed ? *seed : clockSeed(), screen, instances,
          [](const std::string& line) { writeOut(line + '\n'); });
  return 0;
}

std::string numberedPath(const std::string& path, long instance) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  const auto at =
      dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path.size() : dot;
  return path.substr(0, at) + "-" + std::to_string(instance) + path.substr(at);
}

int solve(int argc, char** argv) {
  std::uint32_t seed = 1;
  long rounds = kRoundsPerInstance;
  long only = 0;
  std::string svg, file;
  bool tree = false;
  Arguments(argc, argv).each([&](std::string_view arg, auto value) {
    if (arg == "--seed") {
      seed = static_cast<std::uint32_t>(wholeNumber(arg, value(), 0, 4294967295LL));
    } else if (arg == "--rounds") {
      rounds = static_cast<long>(wholeNumber(arg, value(), 1, 100000));
    } else if (arg == "--instance") {
      only = static_cast<long>(wholeNumber(arg, value(), 1, 1000000));
    } else if (arg == "--svg") {
      svg = value();
    } else if (arg == "--tree") {
      tree = true;
    } else if (arg.starts_with("-") && arg != "-") {
      throw UsageError{"unknown option " + quotedText(arg) + " for solve"};
    } else if (!file.empty()) {
      throw UsageError{"only one FILE may be given"};
    } else {
      file = arg;
    }
  });
  if (file.empty()) throw UsageError{"solve needs a FILE of terminals (- for standard input)"};

  std::ifstream opened;
  if (file != "-") opened = openTerminalFile(file);
  const std::string name = file == "-" ? "standard input" : file;
  TerminalReader reader(file == "-" ? std::cin : opened, name);
  // Each instance is solved and reported as soon as it is read.
  while (const auto instance = reader.next()) {
    const long k = reader.instancesRead();
    if (only && k < only) continue;
    SolveResult result;
    try {
      result = solveTerminals(instance->terminals, seed, rounds);
    } catch (const InputError& e) {
      throw InputError(name + ": instance " + std::to_string(k) + ": " + e.what());
    }
    writeOut(solveJson(k, result, tree) + '\n');
    if (!svg.empty()) {
      const std::string path = reader.instancesAnnounced() == 1 ? svg : numberedPath(svg, k);
      std::ofstream out(path, std::ios::binary);
      out << result.svg;
      if (!out.flush()) throw InputError(path + ": cannot be written");
    }
    if (only) return 0;
  }
  if (only) {
    throw InputError(name + ": has " + std::to_string(reader.instancesRead()) +
                     " instance(s), so --instance " + std::to_string(only) + " does not exist");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGPIPE
  // A closed pipe is told by the failed write instead (see writeOut).
  std::signal(SIGPIPE, SIG_IGN);
#endif
  try {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "demo") return demo(argc, argv);
    if (command == "solve") return solve(argc, argv);
    if (command == "--help" || command == "-h") {
      writeOut(kUsage);
      return 0;
    }
    if (command == "--version") {
      writeOut("drevanti-solve " + std::string(kVersion) + '\n');
      return 0;
    }
    throw UsageError{command.empty() ? "no command given"
                                     : "unknown command " + quotedText(command)};
  } catch (const ReaderGone&) {
    return 0;
  } catch (const OutputError& e) {
    std::cerr << "drevanti-solve: cannot write the output: " << e.message << '\n';
    return kExitInput;
  } catch (const UsageError& e) {
    std::cerr << "drevanti-solve: " << e.message << '\n' << kUsage;
    return kExitUsage;
  } catch (const InputError& e) {
    std::cerr << "drevanti-solve: " << e.what() << '\n';
    return kExitInput;
  } catch (const std::exception& e) {
    std::cerr << "drevanti-solve: " << e.what() << '\n';
    return kExitInput;
  }
}

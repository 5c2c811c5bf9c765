// drevanti-solve: the Steiner tree heuristic without a window.
//   drevanti-solve demo [--seed S] [--screen WxH] [--instances K]
//   drevanti-solve solve [--seed S] [--rounds R] [--instance K] [--svg OUT] [--tree] FILE
#include <charconv>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/random_source.h"
#include "app/version.h"
#include "solve_runs.h"
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
    "       drevanti-solve --help | --version\n";

struct UsageError {
  std::string message;
};

// long long: the seed's range needs 32 unsigned bits, more than a Windows long holds.
long long wholeNumber(std::string_view option, std::string_view text, long long low,
                      long long high) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < low || value > high) {
    throw UsageError{std::string(option) + " takes a whole number from " + std::to_string(low) +
                     " to " + std::to_string(high) + ", not '" + std::string(text) + "'"};
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

// The screen must leave room for the 15-pixel margins with enough pixels that distinct random
// X coordinates stay apart.
ScreenSize screenSize(std::string_view text) {
  const auto x = text.find('x');
  if (x == std::string_view::npos) throw UsageError{"--screen takes WxH, for example 1920x1080"};
  return {static_cast<int>(wholeNumber("--screen width", text.substr(0, x), 48, 16384)),
          static_cast<int>(wholeNumber("--screen height", text.substr(x + 1), 48, 16384))};
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
      throw UsageError{"unknown option '" + std::string(arg) + "' for demo"};
    }
  });
  for (const std::string& line : runDemo(seed ? *seed : clockSeed(), screen, instances)) {
    std::cout << line << '\n' << std::flush;
  }
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
  long rounds = 51;
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
      throw UsageError{"unknown option '" + std::string(arg) + "' for solve"};
    } else if (!file.empty()) {
      throw UsageError{"only one FILE may be given"};
    } else {
      file = arg;
    }
  });
  if (file.empty()) throw UsageError{"solve needs a FILE of terminals"};

  const std::vector<TerminalInstance> instances = readTerminalFile(file);
  if (only > static_cast<long>(instances.size())) {
    throw InputError(file + ": has " + std::to_string(instances.size()) +
                     " instance(s), so --instance " + std::to_string(only) + " does not exist");
  }
  const long first = only ? only : 1, last = only ? only : static_cast<long>(instances.size());
  for (long k = first; k <= last; ++k) {
    SolveResult result;
    try {
      result = solveTerminals(instances[k - 1].terminals, seed, rounds);
    } catch (const InputError& e) {
      throw InputError(file + ": instance " + std::to_string(k) + ": " + e.what());
    }
    std::cout << solveJson(k, result, tree) << '\n' << std::flush;
    if (!svg.empty()) {
      const std::string path = first == last ? svg : numberedPath(svg, k);
      std::ofstream out(path, std::ios::binary);
      out << result.svg;
      if (!out.flush()) throw InputError(path + ": cannot be written");
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "demo") return demo(argc, argv);
    if (command == "solve") return solve(argc, argv);
    if (command == "--help" || command == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (command == "--version") {
      std::cout << "drevanti-solve " << kVersion << '\n';
      return 0;
    }
    throw UsageError{command.empty() ? "no command given"
                                     : "unknown command '" + std::string(command) + "'"};
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

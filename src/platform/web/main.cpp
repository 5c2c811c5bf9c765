// The browser page's program: the start screen, and on Start the demonstration over the whole
// page until the user is back, again and again. With --seed (the page's ?seed=N) every run starts
// from that seed and writes each finished instance to the console as drevanti-solve demo does.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "app/demo_line.h"
#include "app/run_saver.h"
#include "app/stop_request.h"
#include "browser_demonstration.h"
#include "page_bridge.h"
#include "page_window_system.h"
#include "state/random_source.h"

namespace {

using namespace drevanti;

struct BadSeed {
  std::string message;
};

// The page passes its URL's seed as --seed N.
std::optional<std::uint32_t> seedOf(int argc, char** argv) {
  if (argc < 3 || std::string_view(argv[1]) != "--seed") return std::nullopt;
  const std::string_view text = argv[2];
  std::uint32_t seed = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
  if (error != std::errc{} || end != text.data() + text.size()) {
    throw BadSeed{"seed takes a whole number from 0 to 4294967295, not '" + std::string(text) +
                  "'"};
  }
  return seed;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<std::uint32_t> seed;
  try {
    seed = seedOf(argc, argv);
  } catch (const BadSeed& bad) {
    web::showProblem(bad.message);
    return 1;
  }
  web::BrowserDemonstration demonstration;
  if (seed) {
    demonstration.afterEachInstance([](long instance, std::uint32_t s, const SolverState& state) {
      web::consoleLine(demoLine(instance, s, state));
    });
  }
  web::PageWindowSystem system(demonstration);
  web::PageSettings settings;
  // The page has no signals: only the user ends a run.
  StopRequest stop;
  while (true) {
    web::waitForStart();
    try {
      runSaver(LaunchMode::FullScreen, {.windows = system,
                                        .desktop = settings,
                                        .stop = stop,
                                        .seed = seed ? *seed : clockSeed(),
                                        .demonstrations = &demonstration});
    } catch (const std::exception& failure) {
      web::showProblem(std::string("the demonstration failed: ") + failure.what());
    }
  }
}

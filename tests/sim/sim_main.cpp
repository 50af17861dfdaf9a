// pelloram_sim: replays simulated worlds.
//   pelloram_sim --seed N            one world: what it was, what happened, which promise broke
//   pelloram_sim --seeds FIRST COUNT  many worlds: worlds per second and the faults injected;
//                                    a broken promise is shrunk to the smallest world that
//                                    still breaks it
//   ... --taught                     also worlds whose points were taught with F10, with the
//                                    client moved and resized under them
//   ... --waits                      also long waits, interrupted by a pause, a close of the
//                                    tool or a change to the client, on a screen that lags
//   ... --scales                     taught worlds on monitors of mixed scales, the client
//                                    dragged onto another scale before and during the run;
//                                    with --seeds, only the worlds of that kind are run
//   pelloram_sim --seed N --shrunk   the smallest world of that seed that still breaks a
//                                    promise, replayed with what happened in it
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/sim/world.h"

namespace {

using namespace pelloram::sim;

struct Kinds {
  bool taught = false;
  bool waits = false;
  bool scales = false;
};

World Of(std::uint64_t seed, const Kinds& kinds) {
  return Generate(seed, 50, 8, kinds.taught, kinds.waits, kinds.scales);
}

int Replay(std::uint64_t seed, const Kinds& kinds, bool shrunk) {
  World world = Of(seed, kinds);
  if (shrunk && !Simulate(world).broken.empty()) world = Shrink(world);
  const Result result = Simulate(world);
  std::printf("%s\n", Describe(world).c_str());
  for (const std::string& line : result.log) std::printf("  %s\n", line.c_str());
  std::printf("%s\n", result.broken.empty() ? "every promise held" : result.broken.c_str());
  return result.broken.empty() ? 0 : 1;
}

// A message that names a control the run could not find by its look.
bool TellsALookNotFound(const std::string& line) {
  return line.rfind("message: ", 0) == 0 && line.find("找不到") != std::string::npos;
}

int Many(std::uint64_t first, std::uint64_t count, const Kinds& kinds) {
  std::size_t injected[static_cast<std::size_t>(Happening::kCount)] = {};
  std::uint64_t broken = 0, run = 0, notFound = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::uint64_t seed = first; seed < first + count; ++seed) {
    const World world = Of(seed, kinds);
    if (kinds.scales && world.monitors.empty()) continue;
    ++run;
    for (const Event& e : world.events) ++injected[static_cast<std::size_t>(e.what)];
    const Result result = Simulate(world);
    notFound += std::any_of(result.log.begin(), result.log.end(), TellsALookNotFound);
    if (result.broken.empty()) continue;
    ++broken;
    std::printf("seed %llu broke a promise: %s\nsmallest world that still does:\n%s\n",
                static_cast<unsigned long long>(seed), result.broken.c_str(),
                Describe(Shrink(world)).c_str());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%llu worlds in %.1f s: %.0f worlds per second; %llu broke a promise\n",
              static_cast<unsigned long long>(run), seconds, run / seconds,
              static_cast<unsigned long long>(broken));
  // Not a promise (a covered or closed client hides its controls), but the share of worlds
  // where a run could not find a taught control tells how well finding does.
  std::printf("%llu of them told the user a taught control was not found\n",
              static_cast<unsigned long long>(notFound));
  std::printf("happenings injected:\n");
  for (std::size_t i = 0; i < std::size(injected); ++i) {
    std::printf("  %-14s %zu\n", NameOf(static_cast<Happening>(i)), injected[i]);
  }
  return broken == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // The flags come last, in any order.
  Kinds kinds;
  bool shrunk = false;
  for (; argc > 1; --argc) {
    if (std::strcmp(argv[argc - 1], "--taught") == 0) {
      kinds.taught = true;
    } else if (std::strcmp(argv[argc - 1], "--waits") == 0) {
      kinds.waits = true;
    } else if (std::strcmp(argv[argc - 1], "--scales") == 0) {
      kinds.scales = true;
    } else if (std::strcmp(argv[argc - 1], "--shrunk") == 0) {
      shrunk = true;
    } else {
      break;
    }
  }
  if (argc == 3 && std::strcmp(argv[1], "--seed") == 0) {
    return Replay(std::strtoull(argv[2], nullptr, 10), kinds, shrunk);
  }
  if (argc == 4 && std::strcmp(argv[1], "--seeds") == 0) {
    return Many(std::strtoull(argv[2], nullptr, 10), std::strtoull(argv[3], nullptr, 10), kinds);
  }
  std::fprintf(stderr,
               "usage: pelloram_sim --seed N [--shrunk] | --seeds FIRST COUNT [--taught] [--waits] "
               "[--scales]\n");
  return 2;
}

// Two thousand simulated worlds, each from its own seed: every promise holds in each.
// Seeds that once broke one stay here as regular tests.
#include <gtest/gtest.h>

#include "tests/sim/world.h"

namespace pelloram::testing {
namespace {

constexpr std::uint64_t kWorlds = 2000;

TEST(Simulation, EveryPromiseHoldsInEveryWorld) {
  for (std::uint64_t seed = 1; seed <= kWorlds; ++seed) {
    const sim::Result result = sim::Simulate(sim::Generate(seed));
    ASSERT_TRUE(result.broken.empty()) << result.broken << "\n"
                                       << sim::Describe(sim::Shrink(sim::Generate(seed)))
                                       << "\nreplay: pelloram_sim --seed " << seed;
  }
}

// Each broke a promise once: a forward window later than the delay counted as added, a menu
// told from any late window of the client's, an item clicked off its menu, a deletion
// counted before the client took it, a client gone before it could show what it took, a
// restart's first click on a menu left open, a client moved while its menu was open.
TEST(Simulation, SeedsThatOnceBrokeAPromise) {
  for (const std::uint64_t seed : {149u, 160u, 229u, 748u, 981u, 1403u, 2992u, 7227u, 58520u}) {
    const sim::Result result = sim::Simulate(sim::Generate(seed));
    EXPECT_TRUE(result.broken.empty()) << "seed " << seed << ": " << result.broken;
  }
}

}  // namespace
}  // namespace pelloram::testing

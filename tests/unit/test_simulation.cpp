// Two thousand simulated worlds, each from its own seed: every promise holds in each.
// Seeds that once broke one stay here as regular tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

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
  // 2920: a pause during the clipboard's retries; 4618, 20818: a pause before a right
  // click's menu came, which the next run then took for its own.
  for (const std::uint64_t seed :
       {149u, 160u, 229u, 748u, 981u, 1403u, 2920u, 2992u, 4618u, 7227u, 20818u, 58520u}) {
    const sim::Result result = sim::Simulate(sim::Generate(seed));
    EXPECT_TRUE(result.broken.empty()) << "seed " << seed << ": " << result.broken;
  }
}

// A range of seeds, one CTest case each, so that the taught worlds spread over the cores.
struct SeedRange {
  std::uint64_t first;
  std::uint64_t last;
};

void PrintTo(const SeedRange& range, std::ostream* out) {
  *out << "seeds " << range.first << " to " << range.last;
}

std::string RangeName(const ::testing::TestParamInfo<SeedRange>& info) {
  return "Seeds" + std::to_string(info.param.first) + "To" + std::to_string(info.param.last);
}

// Worlds whose points were taught with F10, the client moved, resized and covered before
// and during the run: the runs click only where the look of what they mean is. (The other
// worlds of these seeds are the ones above.) About one seed in four gives a taught world:
// eight thousand seeds, two thousand taught worlds.
class TaughtWorlds : public ::testing::TestWithParam<SeedRange> {};

TEST_P(TaughtWorlds, KeepEveryPromise) {
  int taught = 0;
  for (std::uint64_t seed = GetParam().first; seed <= GetParam().last; ++seed) {
    const sim::World world = sim::Generate(seed, 50, 8, true);
    if (!world.taught) continue;
    ++taught;
    const sim::Result result = sim::Simulate(world);
    ASSERT_TRUE(result.broken.empty())
        << result.broken << "\nreplay: pelloram_sim --seed " << seed << " --taught --shrunk";
  }
  EXPECT_GT(taught, 200);
}

INSTANTIATE_TEST_SUITE_P(Simulation, TaughtWorlds,
                         ::testing::Values(SeedRange{1, 1000}, SeedRange{1001, 2000},
                                           SeedRange{2001, 3000}, SeedRange{3001, 4000},
                                           SeedRange{4001, 5000}, SeedRange{5001, 6000},
                                           SeedRange{6001, 7000}, SeedRange{7001, 8000}),
                         RangeName);

// Long waits, and a pause, a close of the tool or a change to the client inside them, on a
// screen that lags the windows (taught worlds among them): a pause or close ends the run at
// once with nothing clicked but an open menu's item, and a stop names the client first.
class InterruptedWaits : public ::testing::TestWithParam<SeedRange> {};

TEST_P(InterruptedWaits, KeepEveryPromise) {
  for (std::uint64_t seed = GetParam().first; seed <= GetParam().last; ++seed) {
    const sim::Result result = sim::Simulate(sim::Generate(seed, 50, 8, true, true));
    ASSERT_TRUE(result.broken.empty()) << result.broken << "\nreplay: pelloram_sim --seed " << seed
                                       << " --taught --waits --shrunk";
  }
}

INSTANTIATE_TEST_SUITE_P(Simulation, InterruptedWaits,
                         ::testing::Values(SeedRange{1, 250}, SeedRange{251, 500},
                                           SeedRange{501, 750}, SeedRange{751, 1000}),
                         RangeName);

// Taught worlds on monitors of mixed scales: taught on one monitor, the client dragged onto
// one of another scale before the run and inside its waits, where it takes its size at the
// new scale; every click lands on a control of the step's kind, and the run ends as a taught
// world's does. About one seed in four gives such a world.
class MixedScaleWorlds : public ::testing::TestWithParam<SeedRange> {};

TEST_P(MixedScaleWorlds, KeepEveryPromise) {
  int scaled = 0;
  for (std::uint64_t seed = GetParam().first; seed <= GetParam().last; ++seed) {
    const sim::World world = sim::Generate(seed, 50, 8, false, false, true);
    if (world.monitors.empty()) continue;
    ++scaled;
    const sim::Result result = sim::Simulate(world);
    ASSERT_TRUE(result.broken.empty())
        << result.broken << "\nreplay: pelloram_sim --seed " << seed << " --scales --shrunk";
  }
  EXPECT_GT(scaled, 40);
}

INSTANTIATE_TEST_SUITE_P(Simulation, MixedScaleWorlds,
                         ::testing::Values(SeedRange{1, 250}, SeedRange{251, 500},
                                           SeedRange{501, 750}, SeedRange{751, 1000}),
                         RangeName);

// The fifth stream leaves every other draw of a seed as it was: it only puts taught worlds on
// monitors of mixed scales, teaches on one of them, and adds drags onto another scale.
TEST(Simulation, MixedScalesLeaveTheRestOfEachWorldAsItWas) {
  int scaled = 0, inWaits = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const sim::World taught = sim::Generate(seed, 50, 8, true);
    const sim::World world = sim::Generate(seed, 50, 8, true, false, true);
    EXPECT_TRUE(taught.monitors.empty());
    EXPECT_EQ(world.collection, taught.collection);
    EXPECT_EQ(world.count, taught.count);
    EXPECT_EQ(world.delayMs, taught.delayMs);
    EXPECT_EQ(world.taught, taught.taught);
    ASSERT_GE(world.events.size(), taught.events.size());
    ASSERT_GE(world.beforeRun.size(), taught.beforeRun.size());
    for (std::size_t i = 0; i < taught.events.size(); ++i) {
      EXPECT_EQ(world.events[i].at, taught.events[i].at);
      EXPECT_EQ(world.events[i].what, taught.events[i].what);
    }
    if (!world.taught) {
      EXPECT_TRUE(world.monitors.empty());
      EXPECT_EQ(world.events.size(), taught.events.size());
      continue;
    }
    ++scaled;
    ASSERT_GE(world.monitors.size(), 2u);
    EXPECT_LT(world.teachOn, static_cast<int>(world.monitors.size()));
    EXPECT_GT(world.beforeRun.size(), taught.beforeRun.size());
    EXPECT_NE(world.monitors[0].dpi, world.monitors[1].dpi);
    for (std::size_t i = taught.events.size(); i < world.events.size(); ++i) {
      EXPECT_EQ(world.events[i].what, sim::Happening::MoveClientToMonitor);
      inWaits += world.events[i].afterInput >= 0;
    }
  }
  EXPECT_GT(scaled, 30);
  EXPECT_GT(inWaits, 30);
}

// Each broke a promise once: a second run's opening click shut the panel its collected tab
// is on, a page change emptied the points under a run, a restarted client; and an add pass
// paused with its sticker already sent, gone on with after the client restarted, whose
// first click was on the sent sticker's place in a client that never showed it.
TEST(Simulation, TaughtSeedsThatOnceBrokeAPromise) {
  for (const std::uint64_t seed :
       {317u, 1073u, 1481u, 1722u, 7297u, 7768u, 7927u, 8150u, 8194u, 9828u, 16498u, 17069u}) {
    const sim::Result result = sim::Simulate(sim::Generate(seed, 50, 8, true));
    EXPECT_TRUE(result.broken.empty()) << "seed " << seed << ": " << result.broken;
  }
}

// 10439: the client moved again while the screen caught up with its first move, and the
// picture showed the collected tab where it had been; 5479: a start taken after a paused run
// bound the client restarted meanwhile.
TEST(Simulation, InterruptedWaitSeedsThatOnceBrokeAPromise) {
  for (const std::uint64_t seed : {5479u, 10439u}) {
    const sim::Result result = sim::Simulate(sim::Generate(seed, 50, 8, true, true));
    EXPECT_TRUE(result.broken.empty()) << "seed " << seed << ": " << result.broken;
  }
}

// Worlds with taught points come from a stream of their own: every other draw of a seed stays
// as it was, and only mode-two worlds are taught.
TEST(Simulation, TaughtWorldsLeaveTheRestOfEachWorldAsItWas) {
  int taught = 0, changes = 0;
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const sim::World plain = sim::Generate(seed);
    const sim::World world = sim::Generate(seed, 50, 8, true);
    EXPECT_FALSE(plain.taught);
    EXPECT_TRUE(plain.beforeRun.empty());
    EXPECT_EQ(world.collection, plain.collection);
    EXPECT_EQ(world.count, plain.count);
    EXPECT_EQ(world.modeTwo, plain.modeTwo);
    EXPECT_EQ(world.delayMs, plain.delayMs);
    ASSERT_GE(world.events.size(), plain.events.size());
    for (std::size_t i = 0; i < plain.events.size(); ++i) {
      EXPECT_EQ(world.events[i].at, plain.events[i].at);
      EXPECT_EQ(world.events[i].what, plain.events[i].what);
    }
    if (!world.taught) {
      EXPECT_EQ(world.events.size(), plain.events.size());
      EXPECT_TRUE(world.beforeRun.empty());
      continue;
    }
    EXPECT_TRUE(world.modeTwo);
    ++taught;
    changes += static_cast<int>(world.beforeRun.size() + world.events.size() - plain.events.size());
  }
  EXPECT_GT(taught, 30);
  EXPECT_GT(changes, 30);
}

// The fourth stream leaves every other draw of a seed as it was: only the delay may grow
// long, the screen may lag, and its happenings come after the others, each inside a wait.
TEST(Simulation, InterruptedWaitsLeaveTheRestOfEachWorldAsItWas) {
  int longer = 0, lagging = 0, kinds[static_cast<int>(sim::Happening::kCount)] = {};
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    const sim::World taught = sim::Generate(seed, 50, 8, true);
    const sim::World world = sim::Generate(seed, 50, 8, true, true);
    EXPECT_EQ(sim::Generate(seed).screenLagMs, 0);
    EXPECT_EQ(world.collection, taught.collection);
    EXPECT_EQ(world.folder, taught.folder);
    EXPECT_EQ(world.count, taught.count);
    EXPECT_EQ(world.taught, taught.taught);
    EXPECT_EQ(world.beforeRun.size(), taught.beforeRun.size());
    ASSERT_GT(world.events.size(), taught.events.size());
    for (std::size_t i = 0; i < taught.events.size(); ++i) {
      EXPECT_EQ(world.events[i].at, taught.events[i].at);
      EXPECT_EQ(world.events[i].what, taught.events[i].what);
      EXPECT_EQ(world.events[i].afterInput, -1);
    }
    for (std::size_t i = taught.events.size(); i < world.events.size(); ++i) {
      EXPECT_GE(world.events[i].afterInput, 0);
      ++kinds[static_cast<int>(world.events[i].what)];
    }
    longer += world.delayMs > taught.delayMs;
    lagging += world.screenLagMs > 0;
  }
  EXPECT_GT(longer, 100);
  EXPECT_GT(lagging, 100);
  for (const sim::Happening what :
       {sim::Happening::F11, sim::Happening::CloseTool, sim::Happening::MoveClientWindow,
        sim::Happening::MinimiseClient, sim::Happening::HideClient,
        sim::Happening::RestartClient}) {
    EXPECT_GT(kinds[static_cast<int>(what)], 10) << sim::NameOf(what);
  }
}

// Points taught over the client where it is: the runs click only the controls they mean,
// wherever the client stood when it was taught.
TEST(Simulation, TaughtPointsKeepEveryPromiseWhileTheClientStaysPut) {
  for (const bool addJob : {false, true}) {
    for (const bool offOrigin : {false, true}) {
      sim::World w;
      w.seed = 7;
      w.collection = 10;
      w.folder = 5;
      w.addJob = addJob;
      w.modeTwo = true;
      w.pointsOffClient = offOrigin;
      w.taught = true;
      w.count = 4;
      w.delayMs = 100;
      w.reactMs = 100;
      const sim::Result result = sim::Simulate(w);
      EXPECT_TRUE(result.broken.empty()) << sim::Describe(w) << "\n" << result.broken;
      // The first click is on the taught button, where the client stood (the file button's
      // centre is a pixel off the built-in point, which a run in mode one would click).
      const std::string first = addJob ? (offOrigin ? "click 574,646" : "click 374,526")
                                       : (offOrigin ? "click 540,645" : "click 340,525");
      const auto clicked = [](const std::string& line) {
        return line.find(" click ") != std::string::npos;
      };
      const auto it = std::find_if(result.log.begin(), result.log.end(), clicked);
      ASSERT_NE(it, result.log.end());
      EXPECT_NE(it->find(first), std::string::npos) << *it;
      const std::string done = addJob ? "3 added" : "4 deleted";
      EXPECT_TRUE(std::any_of(result.log.begin(), result.log.end(), [&done](const std::string& l) {
        return l.find(done) != std::string::npos;
      })) << done;
    }
  }
}

// Points taught on a monitor of one scale, the client dragged onto a monitor of another before
// the run or inside its first waits: the run finds every control where it lies at the new
// scale, clicks only those, and deletes or adds all it was asked to.
struct ScaleChange {
  const char* name;
  std::vector<Monitor> monitors;
  int teachOn;
  int afterInput;  // the drag inside the wait after this input; -1: before the run
};

void PrintTo(const ScaleChange& change, std::ostream* out) { *out << change.name; }

class TaughtAtOneScale : public ::testing::TestWithParam<ScaleChange> {};

TEST_P(TaughtAtOneScale, TheRunFindsEveryControlAtAnother) {
  for (const bool addJob : {false, true}) {
    sim::World w;
    w.seed = 11;
    w.collection = 10;
    w.folder = 5;
    w.addJob = addJob;
    w.modeTwo = true;
    w.taught = true;
    w.count = 4;
    w.delayMs = 100;
    w.reactMs = 100;
    w.monitors = GetParam().monitors;
    w.teachOn = GetParam().teachOn;
    const sim::Event drag{20, sim::Happening::MoveClientToMonitor, 500, GetParam().afterInput};
    (drag.afterInput < 0 ? w.beforeRun : w.events).push_back(drag);
    const sim::Result result = sim::Simulate(w);
    EXPECT_TRUE(result.broken.empty()) << sim::Describe(w) << "\n" << result.broken;
    const std::string done = addJob ? "3 added" : "4 deleted";
    EXPECT_TRUE(
        std::any_of(result.log.begin(), result.log.end(),
                    [&done](const std::string& l) { return l.find(done) != std::string::npos; }))
        << sim::Describe(w) << "\nexpected " << done << ", log ends: " << result.log.back();
  }
}

std::string ScaleChangeName(const ::testing::TestParamInfo<ScaleChange>& change) {
  return change.param.name;
}

const Monitor kHundred{Rect{0, 0, 1920, 1080}, 96};
const Monitor kOneFifty{Rect{1920, 0, 4800, 1620}, 144};
const Monitor kOneTwentyFive{Rect{-1920, -120, 0, 1080}, 120};

INSTANTIATE_TEST_SUITE_P(
    Simulation, TaughtAtOneScale,
    ::testing::Values(ScaleChange{"HundredToOneFifty", {kHundred, kOneFifty}, 0, -1},
                      ScaleChange{"OneFiftyToHundred", {kHundred, kOneFifty}, 1, -1},
                      ScaleChange{
                          "HundredToOneTwentyFiveLeftOfIt", {kHundred, kOneTwentyFive}, 0, -1},
                      ScaleChange{"OneTwentyFiveToHundred", {kHundred, kOneTwentyFive}, 1, -1},
                      ScaleChange{"HundredToOneFiftyInsideAWait", {kHundred, kOneFifty}, 0, 1},
                      ScaleChange{"OneFiftyToHundredInsideAWait", {kHundred, kOneFifty}, 1, 2}),
    ScaleChangeName);

}  // namespace
}  // namespace pelloram::testing

// Runs of 20 stickers on the virtual clock against the practice client's model: a fast
// client and a slow one, each with observed waits and with every wait fixed at the delay.
// Prints seconds per sticker (virtual time) and how many stickers were lost or spoiled.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"

namespace pelloram::testing {
namespace {

constexpr int kStickers = 20;
constexpr const char* kDelay = "500";

struct Figures {
  double secondsPerSticker;
  int lost;
};

struct World : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{kStickers, {}}};
  World(int reactMs, bool fixed) {
    world.reactMs = reactMs;
    tool.state.fixedWaits = fixed;
  }
  double Run() {
    const std::uint32_t start = desktop.now;
    ui.PressHotkey(vk::kF11);
    return (desktop.now - start) / 1000.0 / kStickers;
  }
};

Figures AddRun(int reactMs, bool fixed) {
  World w(reactMs, fixed);
  w.ui.SelectPage(1);
  w.ui.Type(Control::AddDelay, kDelay);
  for (int i = 0; i < kStickers; ++i) {
    w.tool.state.stickerFiles.push_back("C:\\stickers\\new" + std::to_string(i) + ".gif");
  }
  const double seconds = w.Run();
  return {seconds, kStickers - w.world.Count("added")};
}

Figures DeleteRun(int reactMs, bool fixed) {
  World w(reactMs, fixed);
  w.ui.Type(Control::DeleteCount, std::to_string(kStickers));
  w.ui.Type(Control::DeleteDelay, kDelay);
  const double seconds = w.Run();
  // A deletion counted but not done is spoiled; one not done is lost: either way missing.
  const int deleted = w.world.Count("deleted");
  const int counted = kStickers - FieldValue(w.ui.Text(Control::DeleteCount));
  return {seconds, (kStickers - deleted) + (counted > deleted ? counted - deleted : 0)};
}

void Print(const char* job, const char* client, int reactMs, Figures (*run)(int, bool)) {
  const Figures observed = run(reactMs, false);
  const Figures fixed = run(reactMs, true);
  std::printf("%-6s %-22s  observed %5.2f s/sticker, %2d lost   fixed %5.2f s/sticker, %2d lost",
              job, client, observed.secondsPerSticker, observed.lost, fixed.secondsPerSticker,
              fixed.lost);
  // A fixed run that lost stickers ended early: its time says nothing.
  if (fixed.lost == 0) {
    std::printf("   observed/fixed %3.0f %%",
                100.0 * observed.secondsPerSticker / fixed.secondsPerSticker);
  }
  std::printf("\n");
}

}  // namespace
}  // namespace pelloram::testing

int main() {
  using namespace pelloram::testing;
  std::printf("%d stickers per run, delay 500 ms, virtual time\n", kStickers);
  Print("add", "fast client (100 ms)", 100, AddRun);
  Print("add", "slow client (1500 ms)", 1500, AddRun);
  Print("delete", "fast client (100 ms)", 100, DeleteRun);
  Print("delete", "slow client (1500 ms)", 1500, DeleteRun);
  return 0;
}

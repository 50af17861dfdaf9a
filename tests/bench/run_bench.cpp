// Runs of 20 stickers on the virtual clock against the practice client's model: a fast
// client and a slow one, each run by the tool, which watches the client, and by a blind
// replay of the same clicks and keys with every wait fixed at the delay, for comparison.
// Prints seconds per sticker (virtual time) and how many stickers were lost or spoiled.
#include <cstdio>

#include "tests/bench/sticker_runs.h"

namespace pelloram::testing {
namespace {

void Print(const char* job, const char* client, int reactMs, Figures (*run)(int, bool)) {
  const Figures observed = run(reactMs, false);
  const Figures fixed = run(reactMs, true);
  std::printf("%-6s %-22s  observed %5.2f s/sticker, %2d lost   fixed %5.2f s/sticker, %2d lost",
              job, client, observed.secondsPerSticker, observed.lost, fixed.secondsPerSticker,
              fixed.lost);
  // A fixed run that lost stickers did not do the job: its time says nothing.
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
  std::printf("%d stickers per run, delay %d ms, virtual time\n", kStickers, kDelayMs);
  Print("add", "fast client (100 ms)", 100, AddRun);
  Print("add", "slow client (1300 ms)", 1300, AddRun);
  Print("delete", "fast client (100 ms)", 100, DeleteRun);
  Print("delete", "slow client (1300 ms)", 1300, DeleteRun);
  return 0;
}

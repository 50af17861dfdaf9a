// Runs of 20 stickers on the virtual clock against the practice client's model: a fast
// client and a slow one, each run by the tool, which watches the client, and by a blind
// replay of the same clicks and keys with every wait fixed at the delay, for comparison.
// Prints seconds per sticker (virtual time) and how many stickers were lost or spoiled.
#include <cstdio>
#include <string>
#include <vector>

#include "client/chat_client.h"
#include "client/clipboard.h"
#include "client/input.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"

namespace pelloram::testing {
namespace {

constexpr int kStickers = 20;
constexpr int kDelayMs = 500;

struct Figures {
  double secondsPerSticker;
  int lost;
};

std::string StickerPath(int i) { return "C:\\stickers\\new" + std::to_string(i) + ".gif"; }

struct World : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{kStickers, {}}};
  explicit World(int reactMs) {
    world.reactMs = reactMs;
    desktop.MoveWindowTo(client, 0, 0, chat::kModeOneWidth, chat::kModeOneHeight);
  }
  // The blind replay: each step, then its delay, whatever the client did.
  void Click(Point at, MouseButton button) {
    desktop.Click(at, button);
    ResponsiveDelay(desktop, kDelayMs);
  }
  void Keys(int modifier, int key) {
    modifier != 0 ? PressKeyChord(desktop, key, modifier) : PressKey(desktop, key);
    ResponsiveDelay(desktop, kDelayMs);
  }
  double Timed(const std::function<void()>& run) {
    const std::uint32_t start = desktop.now;
    run();
    return (desktop.now - start) / 1000.0 / kStickers;
  }
};

void FixedAddSticker(World& w, int i) {
  PutTextOnClipboard(w.desktop, StickerPath(i));
  ResponsiveDelay(w.desktop, kDelayMs);
  w.Click(chat::kFileButton, MouseButton::Left);
  w.Keys(vk::kControl, vk::kV);
  w.Keys(0, vk::kReturn);
  w.Keys(0, vk::kReturn);
  w.Click(chat::kSentSticker, MouseButton::Right);
  w.Click(chat::kAddItem, MouseButton::Left);
  ResponsiveDelay(w.desktop, kDelayMs);
}

Figures AddRun(int reactMs, bool fixed) {
  World w(reactMs);
  w.ui.SelectPage(1);
  w.ui.Type(Control::AddDelay, std::to_string(kDelayMs));
  for (int i = 0; i < kStickers; ++i) w.tool.state.stickerFiles.push_back(StickerPath(i));
  const double seconds = w.Timed([&] {
    if (!fixed) return w.ui.PressHotkey(vk::kF11);
    for (int i = 0; i < kStickers; ++i) FixedAddSticker(w, i);
  });
  return {seconds, kStickers - w.world.Count("added")};
}

Figures DeleteRun(int reactMs, bool fixed) {
  World w(reactMs);
  w.ui.Type(Control::DeleteCount, std::to_string(kStickers));
  w.ui.Type(Control::DeleteDelay, std::to_string(kDelayMs));
  int counted = 0;
  const double seconds = w.Timed([&] {
    if (!fixed) {
      w.ui.PressHotkey(vk::kF11);
      counted = kStickers - FieldValue(w.ui.Text(Control::DeleteCount));
      return;
    }
    w.Click(chat::kStickerPanelButton, MouseButton::Left);
    w.Click(chat::kCollectedTab, MouseButton::Left);
    for (; counted < kStickers; ++counted) {
      ResponsiveDelay(w.desktop, kDelayMs);
      w.Click(chat::kFirstSticker, MouseButton::Right);
      w.Click(chat::kDeleteItem, MouseButton::Left);
    }
  });
  // A deletion counted but not done is spoiled; one not done is lost: either way missing.
  const int deleted = w.world.Count("deleted");
  return {seconds, (kStickers - deleted) + (counted > deleted ? counted - deleted : 0)};
}

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
  Print("add", "slow client (1500 ms)", 1500, AddRun);
  Print("delete", "fast client (100 ms)", 100, DeleteRun);
  Print("delete", "slow client (1500 ms)", 1500, DeleteRun);
  return 0;
}

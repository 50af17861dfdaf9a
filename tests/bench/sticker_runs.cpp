#include "tests/bench/sticker_runs.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "client/chat_client.h"
#include "client/clipboard.h"
#include "client/input.h"
#include "client/waits.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"

namespace pelloram::testing {
namespace {

std::string StickerPath(int i) { return "C:\\stickers\\new" + std::to_string(i) + ".gif"; }

struct World : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{kStickers, {}}};
  explicit World(int reactMs) {
    world.reactMs = reactMs;
    world.strictOrder = true;
    desktop.MoveWindowTo(client, 0, 0, chat::kModeOneWidth, chat::kModeOneHeight);
  }
  // The blind replay: each step, then its delay, whatever the client did. A step whose
  // window (`needs`) is not up yet misfires, as on a real client, where the keys and clicks
  // would reach whatever is there instead: that sticker is lost.
  bool Step(WindowHandle needs, const std::function<void()>& act) {
    const bool there = needs == 0 || desktop.IsWindowShown(needs);
    if (there) act();
    ResponsiveDelay(desktop, kDelayMs);
    return there;
  }
  bool Click(Point at, MouseButton button, WindowHandle needs = 0) {
    return Step(needs, [&] { desktop.Click(at, button); });
  }
  bool Keys(int modifier, int key, WindowHandle needs) {
    return Step(needs, [&] {
      modifier != 0 ? PressKeyChord(desktop, key, modifier) : PressKey(desktop, key);
    });
  }
  double Timed(const std::function<void()>& run) {
    const std::uint32_t start = desktop.now;
    run();
    return (desktop.now - start) / 1000.0 / kStickers;
  }
};

// The per-sticker steps at fixed delays; false when a step misfired.
bool FixedAddSticker(World& w, int i) {
  PutTextOnClipboard(w.desktop, StickerPath(i));
  ResponsiveDelay(w.desktop, kDelayMs);
  const WindowHandle dialog = w.world.openDialog;
  return w.Click(chat::kFileButton, MouseButton::Left) && w.Keys(vk::kControl, vk::kV, dialog) &&
         w.Keys(0, vk::kReturn, dialog) && w.Keys(0, vk::kReturn, 0) &&
         w.Click(chat::kSentSticker, MouseButton::Right) &&
         w.Click(chat::kAddItem, MouseButton::Left, w.world.menuWindow);
}

}  // namespace

Figures AddRun(int reactMs, bool fixed) {
  World w(reactMs);
  w.ui.SelectPage(1);
  w.ui.Type(Control::AddDelay, std::to_string(kDelayMs));
  for (int i = 0; i < kStickers; ++i) w.tool.state.stickerFiles.push_back(StickerPath(i));
  int misfired = 0;
  const double seconds = w.Timed([&] {
    if (!fixed) return w.ui.PressHotkey(vk::kF11);
    for (int i = 0; i < kStickers; ++i) misfired += FixedAddSticker(w, i) ? 0 : 1;
  });
  return {seconds, std::max(misfired, kStickers - w.world.Count("added"))};
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
      w.Click(chat::kDeleteItem, MouseButton::Left, w.world.menuWindow);
    }
  });
  // A deletion not done is lost; one the tool counted but the client did not make is
  // spoiled (the blind replay counts nothing).
  const int deleted = w.world.Count("deleted");
  return {seconds, (kStickers - deleted) + (!fixed && counted > deleted ? counted - deleted : 0)};
}

}  // namespace pelloram::testing

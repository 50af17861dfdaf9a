#include "workflows/delete_run.h"

#include <limits>
#include <utility>

#include "client/chat_client.h"
#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"
#include "workflows/run_control.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

void ShowCount(Tool& tool) {
  tool.ui.WriteControlText(Control::DeleteCount, ToText(tool.state.remainingCount));
}

void MarkRunning(Tool& tool) {
  tool.ui.WriteControlText(Control::DeleteStartButton, kPauseCaption);
  tool.state.running = 1;
}

void ReadDeleteDelay(Tool& tool) {
  tool.state.deleteDelayMs = FieldValue(tool.ui.ReadControlText(Control::DeleteDelay));
}

// A deletion both of whose clicks passed their checks: one fewer to go. The count never
// wraps around.
void CountDeletion(Tool& tool) {
  std::int32_t& remaining = tool.state.remainingCount;
  if (remaining > std::numeric_limits<std::int32_t>::min()) --remaining;
  ShowCount(tool);
}

// The sticker panel, then the collected stickers.
bool OpenCollection(Tool& tool, Mode mode) {
  const int delay = tool.state.deleteDelayMs;
  return ClickStep(tool, JobPointId::StickerPanel, mode, delay) &&
         ClickStep(tool, JobPointId::CollectedTab, mode, delay);
}

// The first sticker's menu. The panel button toggles: a panel left open by an earlier run
// is shut by the opening click, so the first deletion that finds no menu opens the
// collection once more before it gives up.
bool OpenStickerMenu(Tool& tool, Mode mode, bool mayReopen, WindowHandle& menu) {
  const int delay = tool.state.deleteDelayMs;
  if (MenuStep(tool, JobPointId::FirstSticker, mode, delay, menu)) return true;
  if (!mayReopen || tool.state.stopFault != TargetFault::NoMenu) return false;
  tool.state.stopFault = TargetFault::None;
  return OpenCollection(tool, mode) && MenuStep(tool, JobPointId::FirstSticker, mode, delay, menu);
}

// One deletion; false when the run must end (tool closing, a failed check, or the count
// reached 0).
bool DeleteFirstSticker(Tool& tool, Mode mode, bool first) {
  const int delay = tool.state.deleteDelayMs;
  if (!WaitStep(tool, delay)) return false;
  WindowHandle menu = 0;
  if (!OpenStickerMenu(tool, mode, first, menu)) return false;
  if (!ClickStep(tool, JobPointId::DeleteItem, mode, 0, menu)) return false;
  // Counted once the client has taken the item's click, which closes the menu.
  if (!MenuClosed(tool, menu, delay)) return false;
  CountDeletion(tool);
  if (tool.state.remainingCount != 0) return true;
  tool.ui.WriteControlText(Control::DeleteStartButton, kFinishedCaption);
  return false;
}

// F11 pauses by clearing `running`, which is looked at before each deletion; the number
// of passes is the count at the start, so a count typed meanwhile changes what is shown,
// not how often it runs.
void DeleteStickers(Tool& tool, Mode mode) {
  const std::int32_t passes = tool.state.remainingCount;
  CaptionProgress progress(tool.ui, "删除中");
  for (std::int64_t i = 1; i <= passes; ++i) {
    ProcessPendingEvents(tool.desktop);
    if (tool.state.closing || tool.state.running != 1) return;
    progress.Show(i, passes);
    if (!DeleteFirstSticker(tool, mode, i == 1)) return;
  }
}

// A run that had to end leaves the count at what is still to do, goes back to the start
// caption and says why. A closing tool says nothing.
void ReportStop(Tool& tool) {
  tool.state.pointerLeftAt.reset();
  const TargetFault fault = std::exchange(tool.state.stopFault, TargetFault::None);
  if (fault == TargetFault::None || tool.state.closing) return;
  tool.state.running = 0;
  tool.ui.WriteControlText(Control::DeleteStartButton, kStartCaption);
  if (fault == TargetFault::UserMoved) {
    TipUserMoved(tool);
  } else {
    tool.ui.ShowMessage(StopMessage(fault), kDefaultMessageCaption);
  }
}

}  // namespace

void RunDeleteModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  MarkRunning(tool);
  ReadDeleteDelay(tool);
  tool.desktop.MoveWindowTo(tool.state.chatClient, chat::kModeOneLeft, chat::kModeOneTop,
                            chat::kModeOneWidth, chat::kModeOneHeight);
  if (WaitStep(tool, 500) && OpenCollection(tool, Mode::One)) DeleteStickers(tool, Mode::One);
  ReportStop(tool);
}

void RunDeleteModeTwo(Tool& tool) {
  if (!CheckModeTwoFields(tool, Job::Delete)) return;
  ActiveRun active(tool.state);
  MarkRunning(tool);
  if (tool.ui.ReadControlText(Control::DeleteCount).empty()) {
    tool.state.remainingCount = 1;
    ShowCount(tool);
  }
  if (!WaitStep(tool, 500)) return;
  ReadDeleteDelay(tool);
  if (OpenCollection(tool, Mode::Two)) DeleteStickers(tool, Mode::Two);
  ReportStop(tool);
}

}  // namespace pelloram

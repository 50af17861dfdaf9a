#include "workflows/delete_run.h"

#include <limits>

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

// A deletion whose clicks are done: one fewer to go. The count never wraps around.
void CountDeletion(Tool& tool) {
  std::int32_t& remaining = tool.state.remainingCount;
  if (remaining > std::numeric_limits<std::int32_t>::min()) --remaining;
  ShowCount(tool);
}

// One deletion; false when the run must end (tool closing, or the count reached 0).
bool DeleteFirstSticker(Tool& tool, Mode mode) {
  const int delay = tool.state.deleteDelayMs;
  if (!WaitStep(tool, delay)) return false;
  if (!ClickStep(tool, JobPointId::FirstSticker, mode, delay)) return false;
  if (!ClickStep(tool, JobPointId::DeleteItem, mode, delay)) return false;
  CountDeletion(tool);
  if (tool.state.remainingCount != 0) return true;
  tool.ui.WriteControlText(Control::DeleteStartButton, kFinishedCaption);
  return false;
}

// The sticker panel, the collected stickers, then the deletions. F11 pauses by clearing
// `running`, which is looked at before each deletion; the number of passes is the count
// at the start, so a count typed meanwhile changes what is shown, not how often it runs.
void OpenAndDelete(Tool& tool, Mode mode) {
  const int delay = tool.state.deleteDelayMs;
  if (!ClickStep(tool, JobPointId::StickerPanel, mode, delay)) return;
  if (!ClickStep(tool, JobPointId::CollectedTab, mode, delay)) return;
  const std::int32_t passes = tool.state.remainingCount;
  for (std::int64_t i = 1; i <= passes; ++i) {
    ProcessPendingEvents(tool.desktop);
    if (tool.state.closing || tool.state.running != 1) return;
    if (!DeleteFirstSticker(tool, mode)) return;
  }
}

}  // namespace

void RunDeleteModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  MarkRunning(tool);
  ReadDeleteDelay(tool);
  PlaceWindow(tool.desktop, tool.state.chatClient, chat::kModeOneLeft, chat::kModeOneTop,
              chat::kModeOneWidth, chat::kModeOneHeight);
  if (!WaitStep(tool, 500)) return;
  OpenAndDelete(tool, Mode::One);
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
  OpenAndDelete(tool, Mode::Two);
}

}  // namespace pelloram

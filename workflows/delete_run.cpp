#include "workflows/delete_run.h"

#include "client/chat_client.h"
#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"
#include "workflows/run_control.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

enum class Target { StickerPanel, CollectedTab, FirstSticker, DeleteItem };

Point BuiltInPoint(Target target) {
  switch (target) {
    case Target::StickerPanel:
      return chat::kStickerPanelButton;
    case Target::CollectedTab:
      return chat::kCollectedTab;
    case Target::FirstSticker:
      return chat::kFirstSticker;
    case Target::DeleteItem:
      return chat::kDeleteItem;
  }
  return {};
}

// Captured points are read at the moment of each click: an F10 capture during the run
// moves the next click.
Point CapturedPoint(const RunState& s, Target target) {
  switch (target) {
    case Target::StickerPanel:
      return {s.stickerPanelX, s.stickerPanelY};
    case Target::CollectedTab:
      return {s.collectedTabX, s.collectedTabY};
    case Target::FirstSticker:
      return {s.firstStickerX, s.firstStickerY};
    case Target::DeleteItem:
      return {s.deleteItemX, s.deleteItemY};
  }
  return {};
}

MouseButton ButtonFor(Target target) {
  return target == Target::FirstSticker ? MouseButton::Right : MouseButton::Left;
}

void ClickTarget(Tool& tool, bool modeTwo, Target target) {
  if (modeTwo) {
    const WindowHandle desktopWindow = FindDesktopWindow(tool.desktop);
    const Point at = CapturedPoint(tool.state, target);
    ClickAt(tool.desktop, desktopWindow, at.x, at.y, ButtonFor(target));
  } else {
    const Point at = BuiltInPoint(target);
    ClickAt(tool.desktop, tool.state.ChatClientWindow, at.x, at.y, ButtonFor(target));
  }
}

// Opening steps after placement: the sticker panel, then the collected stickers.
bool OpenCollection(Tool& tool, bool modeTwo) {
  const int delay = tool.state.deleteDelayMs;
  ClickTarget(tool, modeTwo, Target::StickerPanel);
  if (!WaitStep(tool, delay)) return false;
  ClickTarget(tool, modeTwo, Target::CollectedTab);
  return WaitStep(tool, delay);
}

// One deletion; false when the run must end (tool closing, or the count reached 0).
bool DeleteFirstSticker(Tool& tool, bool modeTwo) {
  RunState& s = tool.state;
  const int delay = s.deleteDelayMs;
  if (!WaitStep(tool, delay)) return false;
  ClickTarget(tool, modeTwo, Target::FirstSticker);
  if (!WaitStep(tool, delay)) return false;
  ClickTarget(tool, modeTwo, Target::DeleteItem);
  if (!WaitStep(tool, delay)) return false;
  // The count goes down through its field; the field's rule lowers remainingCount.
  tool.ui.WriteControlText(Control::编辑框7,
                           ToText(static_cast<std::int64_t>(s.remainingCount) - 1));
  if (s.remainingCount != 0) return true;
  tool.ui.WriteControlText(Control::按钮1, kFinishedCaption);
  return false;
}

void DeletionLoop(Tool& tool, bool modeTwo) {
  const std::int32_t passes = tool.state.remainingCount;
  for (std::int64_t i = 1; i <= passes; ++i) {
    ProcessPendingEvents(tool.desktop);
    if (tool.state.closing || tool.state.running != 1) return;
    if (!DeleteFirstSticker(tool, modeTwo)) return;
  }
}

}  // namespace

void RunDeleteModeOne(Tool& tool) {
  PlaceWindow(tool.desktop, tool.state.ChatClientWindow, chat::kModeOneLeft, chat::kModeOneTop,
              chat::kModeOneWidth, chat::kModeOneHeight);
  if (!WaitStep(tool, 500)) return;
  if (!OpenCollection(tool, false)) return;
  DeletionLoop(tool, false);
}

void RunDeleteModeTwo(Tool& tool) {
  if (tool.state.closing) return;
  if (!OpenCollection(tool, true)) return;
  DeletionLoop(tool, true);
}

}  // namespace pelloram

#include "workflows/add_run.h"

#include "client/chat_client.h"
#include "client/clipboard.h"
#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"
#include "workflows/run_steps.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr std::string_view kEmptyListMessage =
    "表情都不选，我操作什么？空气吗？\r\n选完表情再来一次！";
constexpr std::string_view kAlreadyCollectedMessage = "添加失败！已有此表情....\r\n继续下一个！";

int Delay(const Tool& tool) { return tool.state.addDelayMs; }

// Steps 4 to 8 of one sticker: paste, open, send, menu, add item. False when closing.
bool SendAndAdd(Tool& tool, Mode mode) {
  PressKeyChord(tool.desktop, vk::kV, vk::kControl);
  if (!WaitStep(tool, Delay(tool))) return false;
  PressKey(tool.desktop, vk::kReturn);
  if (!WaitStep(tool, Delay(tool))) return false;
  PressKey(tool.desktop, vk::kReturn);
  if (!WaitStep(tool, Delay(tool))) return false;
  if (!ClickStep(tool, JobPointId::SentSticker, mode, Delay(tool))) return false;
  return ClickStep(tool, JobPointId::AddItem, mode, Delay(tool));
}

// One sticker; false when the tool is closing and the run must end.
bool AddOneSticker(Tool& tool, const std::string& path, Mode mode) {
  // A forward window that came up late for the previous sticker would cover the client
  // and quietly spoil every sticker after it: report and close it first.
  if (FindForwardWindow(tool.desktop) != 0) {
    HandleAlreadyCollected(tool);
    if (tool.state.closing) return false;
  }
  // A clipboard another program holds would paste stale content: skip this sticker
  // before opening anything.
  const bool onClipboard = PutTextOnClipboard(tool.desktop, path);
  if (!WaitStep(tool, Delay(tool))) return false;
  if (!onClipboard) return true;
  ClickJobPoint(tool, JobPointId::FileButton, mode);
  ProcessPendingEvents(tool.desktop);
  if (!WaitStep(tool, Delay(tool))) return false;
  if (FindOpenDialog(tool.desktop) == 0) return true;
  if (!SendAndAdd(tool, mode)) return false;
  HandleAlreadyCollected(tool);
  return !tool.state.closing;
}

void AddAllStickers(Tool& tool, Mode mode) {
  // The pass works on the list as it was when it began: a folder chosen meanwhile is for
  // the next start, and no entry is skipped or doubled.
  const std::vector<std::string> list = tool.state.stickerFiles;
  for (const std::string& path : list) {
    if (!AddOneSticker(tool, path, mode)) return;
  }
}

// Reads the delay; one that reads 0 (also empty or text) becomes the mode's default,
// shown in its field.
void SettleDelay(Tool& tool, std::int32_t fallback) {
  tool.state.addDelayMs = FieldValue(tool.ui.ReadControlText(Control::AddDelay));
  if (tool.state.addDelayMs != 0) return;
  tool.state.addDelayMs = fallback;
  tool.ui.WriteControlText(Control::AddDelay, ToText(fallback));
}

// With no files chosen yet the start asks for the folder and ends there; the next start
// adds the chosen files.
void AddChosenFiles(Tool& tool, Mode mode) {
  SettleDelay(tool, mode == Mode::One ? 300 : 500);
  if (!tool.state.stickerFiles.empty()) {
    AddAllStickers(tool, mode);
    return;
  }
  tool.ui.ShowBalloonTip(Control::NoteTip, tool.ui.CursorPosition(), kEmptyListMessage, false);
  ChooseStickerFolder(tool);
}

}  // namespace

void StartAddRun(Tool& tool) {
  if (StartRefused(tool)) return;
  if (IsChecked(tool, Control::AddModeOneRadio)) {
    StartAddModeOne(tool);
  } else if (IsChecked(tool, Control::AddModeTwoRadio)) {
    if (!CheckModeTwoFields(tool, Job::Add)) return;
    ActiveRun active(tool.state);
    if (!WaitStep(tool, 500)) return;
    StartAddModeTwo(tool);
  }
}

void StartAddModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  PlaceWindow(tool.desktop, tool.state.chatClient, chat::kModeOneLeft, chat::kModeOneTop,
              chat::kModeOneWidth, chat::kModeOneHeight);
  AddChosenFiles(tool, Mode::One);
}

void StartAddModeTwo(Tool& tool) {
  ActiveRun active(tool.state);
  AddChosenFiles(tool, Mode::Two);
}

void HandleAlreadyCollected(Tool& tool) {
  const int delay = Delay(tool);
  if (FindForwardWindow(tool.desktop) != 0) {
    if (!BlockStep(tool, delay)) return;
    PlaceWindow(tool.desktop, FindForwardWindow(tool.desktop), chat::kForwardLeft,
                chat::kForwardTop, chat::kForwardWidth, chat::kForwardHeight);
    tool.ui.ShowBalloonTip(Control::NoteTip, tool.ui.CursorPosition(), kAlreadyCollectedMessage,
                           true);
    if (!WaitStep(tool, delay)) return;
    PressKey(tool.desktop, vk::kEscape);
    if (!WaitStep(tool, delay)) return;
  }
  BlockStep(tool, delay);
}

}  // namespace pelloram

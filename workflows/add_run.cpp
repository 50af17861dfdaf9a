#include "workflows/add_run.h"

#include <array>

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

constexpr std::array<RequiredField, 6> kAddModeTwoFields{{
    {Control::编辑框9, "文件坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框10, "文件坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框11, "已发送表情坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框12, "已发送表情坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框13, "添加表情坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
    {Control::编辑框14, "添加表情坐标Y都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
}};

enum class AddTarget { FileButton, SentSticker, AddItem };

// Mode one clicks built-in points of the placed client; mode two the point fields, read at
// the moment of each click, as screen points relative to the desktop window.
void ClickAddTarget(Tool& tool, bool modeTwo, AddTarget target, MouseButton button) {
  if (!modeTwo) {
    const Point at = target == AddTarget::FileButton    ? chat::kFileButton
                     : target == AddTarget::SentSticker ? chat::kSentSticker
                                                        : chat::kAddItem;
    ClickAt(tool.desktop, tool.state.ChatClientWindow, at.x, at.y, button);
    return;
  }
  const auto [xBox, yBox] =
      target == AddTarget::FileButton    ? std::pair{Control::编辑框9, Control::编辑框10}
      : target == AddTarget::SentSticker ? std::pair{Control::编辑框11, Control::编辑框12}
                                         : std::pair{Control::编辑框13, Control::编辑框14};
  const std::int32_t x = FieldValue(tool.ui.ReadControlText(xBox));
  const std::int32_t y = FieldValue(tool.ui.ReadControlText(yBox));
  ClickAt(tool.desktop, FindDesktopWindow(tool.desktop), x, y, button);
}

int Delay(const Tool& tool) { return tool.state.ClickDelay; }

// Steps 4 to 8 of one sticker: paste, open, send, menu, add item. False when closing.
bool SendAndAdd(Tool& tool, bool modeTwo) {
  PressKeyChord(tool.desktop, vk::kV, vk::kControl);
  if (!WaitStep(tool, Delay(tool))) return false;
  PressKey(tool.desktop, vk::kReturn);
  if (!WaitStep(tool, Delay(tool))) return false;
  PressKey(tool.desktop, vk::kReturn);
  if (!WaitStep(tool, Delay(tool))) return false;
  ClickAddTarget(tool, modeTwo, AddTarget::SentSticker, MouseButton::Right);
  if (!WaitStep(tool, Delay(tool))) return false;
  ClickAddTarget(tool, modeTwo, AddTarget::AddItem, MouseButton::Left);
  return WaitStep(tool, Delay(tool));
}

// One sticker; false when the tool is closing and the run must end.
bool AddOneSticker(Tool& tool, const std::string& path, bool modeTwo) {
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
  ClickAddTarget(tool, modeTwo, AddTarget::FileButton, MouseButton::Left);
  ProcessPendingEvents(tool.desktop);
  if (!WaitStep(tool, Delay(tool))) return false;
  if (FindOpenDialog(tool.desktop) == 0) return true;
  if (!SendAndAdd(tool, modeTwo)) return false;
  HandleAlreadyCollected(tool);
  return !tool.state.closing;
}

void AddAllStickers(Tool& tool, bool modeTwo) {
  // The pass works on the list as it was when it began: a folder chosen meanwhile is for
  // the next start, and no entry is skipped or doubled.
  const std::vector<std::string> list = tool.state.StickerFileList;
  for (const std::string& path : list) {
    if (!AddOneSticker(tool, path, modeTwo)) return;
  }
}

void AskForFolder(Tool& tool) {
  tool.ui.ShowBalloonTip(Control::气球提示框2, PointerForTip(tool), kEmptyListMessage, false);
  ChooseStickerFolder(tool);
}

// Reads the delay and puts the mode's default into the field when it reads 0.
void SettleDelay(Tool& tool, std::string_view fallback) {
  tool.state.ClickDelay = FieldValue(tool.ui.ReadControlText(Control::编辑框8));
  if (tool.state.ClickDelay == 0) tool.ui.WriteControlText(Control::编辑框8, fallback);
}

}  // namespace

void StartAddRun(Tool& tool) {
  if (StartRefused(tool)) return;
  if (IsChecked(tool, Control::单选框3)) {
    StartAddModeOne(tool);
  } else if (IsChecked(tool, Control::单选框4)) {
    if (!CheckRequiredFields(tool, kAddModeTwoFields)) return;
    ActiveRun active(tool.state);
    if (!WaitStep(tool, 500)) return;
    StartAddModeTwo(tool);
  }
}

void StartAddModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  PlaceWindow(tool.desktop, tool.state.ChatClientWindow, chat::kModeOneLeft, chat::kModeOneTop,
              chat::kModeOneWidth, chat::kModeOneHeight);
  SettleDelay(tool, "300");
  if (tool.state.StickerFileList.empty()) {
    AskForFolder(tool);  // the start ends here; the next one adds the chosen files
    return;
  }
  AddAllStickers(tool, false);
}

void StartAddModeTwo(Tool& tool) {
  ActiveRun active(tool.state);
  SettleDelay(tool, "500");
  if (tool.state.StickerFileList.empty()) {
    AskForFolder(tool);
    return;
  }
  AddAllStickers(tool, true);
}

void HandleAlreadyCollected(Tool& tool) {
  const int delay = Delay(tool);
  if (FindForwardWindow(tool.desktop) != 0) {
    if (!BlockStep(tool, delay)) return;
    PlaceWindow(tool.desktop, FindForwardWindow(tool.desktop), chat::kForwardLeft,
                chat::kForwardTop, chat::kForwardWidth, chat::kForwardHeight);
    tool.ui.ShowBalloonTip(Control::气球提示框2, PointerForTip(tool), kAlreadyCollectedMessage,
                           true);
    if (!WaitStep(tool, delay)) return;
    PressKey(tool.desktop, vk::kEscape);
    if (!WaitStep(tool, delay)) return;
  }
  BlockStep(tool, delay);
}

}  // namespace pelloram

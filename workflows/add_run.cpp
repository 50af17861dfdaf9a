#include "workflows/add_run.h"

#include <utility>

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
// A file dialog shows an error box over itself for a path it cannot open; one Escape
// closes that box, the next the dialog.
constexpr int kEscapesToCloseDialog = 3;
constexpr std::size_t kSkippedNamesShown = 3;

enum class Outcome { Added, AlreadyCollected, Skipped, Ended };

int Delay(const Tool& tool) { return tool.state.addDelayMs; }

bool RunMustEnd(const Tool& tool) {
  return tool.state.closing || tool.state.stopFault != TargetFault::None;
}

std::string FileName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Escape until the open dialog is gone, so the next sticker starts from a clean client.
// False when the run must end.
bool CloseOpenDialog(Tool& tool, Mode mode) {
  for (int i = 0; i < kEscapesToCloseDialog && FindOpenDialog(tool.desktop) != 0; ++i) {
    if (!KeyStep(tool, mode, vk::kEscape, 0, Delay(tool))) return false;
  }
  return true;
}

// A step whose effect never showed: the sticker is skipped, unless the client itself went
// away, which ends the run.
Outcome SkipUnlessGone(Tool& tool, Mode mode) {
  if (tool.desktop.IsWindowShown(RunClient(tool, mode))) return Outcome::Skipped;
  Stop(tool, TargetFault::ClientGone);
  return Outcome::Ended;
}

// A step that failed on the dialog: closed, so the next sticker starts from a clean client.
Outcome SkipWithDialogClosed(Tool& tool, Mode mode, Awaited awaited) {
  if (awaited == Awaited::Closing) return Outcome::Ended;
  if (SkipUnlessGone(tool, mode) == Outcome::Ended) return Outcome::Ended;
  return CloseOpenDialog(tool, mode) ? Outcome::Skipped : Outcome::Ended;
}

// Paste (the path shows in the dialog's file-name box), open (the dialog goes; one still
// up refused the path: the file went away, or cannot be read), send, menu, add item.
Outcome SendAndAdd(Tool& tool, Mode mode, const std::string& path) {
  const WindowHandle dialog = FindOpenDialog(tool.desktop);
  if (!KeyStep(tool, mode, vk::kV, vk::kControl, 0)) return Outcome::Ended;
  const Awaited pasted =
      Await(tool, Delay(tool), [&] { return tool.desktop.ReadFileNameBox(dialog) == path; });
  if (pasted != Awaited::Ready) return SkipWithDialogClosed(tool, mode, pasted);
  if (!KeyStep(tool, mode, vk::kReturn, 0, 0)) return Outcome::Ended;
  const Awaited opened =
      Await(tool, Delay(tool), [&] { return FindOpenDialog(tool.desktop) == 0; });
  if (opened != Awaited::Ready) return SkipWithDialogClosed(tool, mode, opened);
  if (!KeyStep(tool, mode, vk::kReturn, 0, Delay(tool))) return Outcome::Ended;
  WindowHandle menu = 0;
  if (!MenuStep(tool, JobPointId::SentSticker, mode, Delay(tool), menu)) {
    // No menu on the sent sticker: it cannot be added, but the next one may be.
    if (tool.state.stopFault != TargetFault::NoMenu) return Outcome::Ended;
    tool.state.stopFault = TargetFault::None;
    return SkipUnlessGone(tool, mode);
  }
  if (!ClickStep(tool, JobPointId::AddItem, mode, 0, menu)) return Outcome::Ended;
  // The menu closing shows the client has taken the click; a forward window, which tells
  // of a sticker collected before, comes with it or soon after.
  if (!MenuClosed(tool, menu, Delay(tool))) return Outcome::Ended;
  const WindowHandle client = RunClient(tool, mode);
  if (!AwaitAtMost(tool, Delay(tool), [&] { return FindForwardWindow(tool.desktop, client); })) {
    return Outcome::Ended;
  }
  // A client gone meanwhile cannot tell whether it took the sticker: not counted as added.
  if (!tool.desktop.IsWindowShown(client)) {
    Stop(tool, TargetFault::ClientGone);
    return Outcome::Ended;
  }
  const bool already = HandleAlreadyCollected(tool, mode);
  if (RunMustEnd(tool)) return Outcome::Ended;
  return already ? Outcome::AlreadyCollected : Outcome::Added;
}

// One sticker: the path onto the clipboard, the file button, then the dialog.
Outcome AddOneSticker(Tool& tool, const std::string& path, Mode mode) {
  // Checked first, so a file removed since the folder was chosen leaves nothing to undo.
  if (!tool.desktop.FileExists(path)) return Outcome::Skipped;
  // A clipboard another program holds would paste stale content: skip this sticker
  // before opening anything.
  const bool onClipboard = PutTextOnClipboard(tool.desktop, path);
  // Once the clipboard holds the path there is nothing to wait for.
  if (!WaitStep(tool, tool.state.fixedWaits ? Delay(tool) : 0)) return Outcome::Ended;
  if (!onClipboard) return Outcome::Skipped;
  if (!ClickStep(tool, JobPointId::FileButton, mode, 0)) return Outcome::Ended;
  ProcessPendingEvents(tool.desktop);
  const Awaited dialog = Await(tool, Delay(tool), [&] { return FindOpenDialog(tool.desktop); });
  if (dialog == Awaited::Closing) return Outcome::Ended;
  if (dialog == Awaited::TimedOut) return SkipUnlessGone(tool, mode);
  return SendAndAdd(tool, mode, path);
}

void Count(AddTally& tally, Outcome outcome, const std::string& path) {
  if (outcome == Outcome::Added) ++tally.added;
  if (outcome == Outcome::AlreadyCollected) ++tally.alreadyCollected;
  if (outcome == Outcome::Skipped) tally.skipped.push_back(FileName(path));
}

// A forward window that came up late for the previous sticker would cover the client and
// spoil every sticker after it: close it, and count that sticker as collected before.
void CloseLateForwardWindow(Tool& tool, Mode mode, Outcome previous, AddTally& tally) {
  if (FindForwardWindow(tool.desktop, RunClient(tool, mode)) == 0) return;
  if (HandleAlreadyCollected(tool, mode) && previous == Outcome::Added) {
    --tally.added;
    ++tally.alreadyCollected;
  }
}

void AddAllStickers(Tool& tool, Mode mode) {
  // The pass works on the list as it was when it began: a folder chosen meanwhile is for
  // the next start, and no entry is skipped or doubled.
  const std::vector<std::string> list = tool.state.stickerFiles;
  AddTally tally;
  Outcome previous = Outcome::Skipped;
  CaptionProgress progress(tool.ui, "添加中");
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto at = static_cast<std::int64_t>(i + 1),
               total = static_cast<std::int64_t>(list.size());
    progress.Show(at, total);
    tool.ui.WriteControlText(Control::FolderCountLabel,
                             "正在添加 " + ToText(at) + " / " + ToText(total));
    CloseLateForwardWindow(tool, mode, previous, tally);
    const Outcome outcome = RunMustEnd(tool) ? Outcome::Ended : AddOneSticker(tool, list[i], mode);
    if (outcome == Outcome::Ended) {
      tally.notReached = static_cast<int>(list.size() - i);
      break;
    }
    Count(tally, outcome, list[i]);
    previous = outcome;
  }
  if (!RunMustEnd(tool)) CloseLateForwardWindow(tool, mode, previous, tally);
  tool.state.pointerLeftAt.reset();
  const TargetFault fault = std::exchange(tool.state.stopFault, TargetFault::None);
  if (tool.state.closing) return;  // closing ends the run at once, with nothing to show
  tool.ui.WriteControlText(Control::FolderCountLabel,
                           std::string(kCountLabelPrefix) +
                               ToText(static_cast<std::int64_t>(tool.state.stickerFiles.size())));
  tool.ui.ShowMessage(AddSummary(tally, StopMessage(fault)), kDefaultMessageCaption);
  if (fault == TargetFault::UserMoved) TipUserMoved(tool);
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

std::string SkippedNames(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  std::string text = "（";
  for (std::size_t i = 0; i < names.size() && i < kSkippedNamesShown; ++i) {
    text += (i > 0 ? "、" : "") + names[i];
  }
  return text + (names.size() > kSkippedNamesShown ? " 等）" : "）");
}

}  // namespace

std::string AddSummary(const AddTally& tally, std::string_view stopReason) {
  const std::string counts =
      "成功 " + ToText(tally.added) + " 个，已有 " + ToText(tally.alreadyCollected) + " 个，跳过 " +
      ToText(static_cast<std::int64_t>(tally.skipped.size())) + " 个" + SkippedNames(tally.skipped);
  if (stopReason.empty() && tally.notReached == 0) return "添加完成：" + counts;
  return std::string(stopReason) + "\r\n添加未完成：" + counts + "，还有 " +
         ToText(tally.notReached) + " 个没有添加。";
}

void StartAddRun(Tool& tool) {
  if (StartRefused(tool)) return;
  const bool modeOne = IsChecked(tool, Control::AddModeOneRadio);
  if (!modeOne && !IsChecked(tool, Control::AddModeTwoRadio)) return;
  if (!FindClientForRun(tool)) return;
  if (modeOne) {
    if (ModeOneFitsClient(tool, Control::AddModeOneRadio)) StartAddModeOne(tool);
    return;
  }
  if (!CheckModeTwoFields(tool, Job::Add)) return;
  ActiveRun active(tool.state);
  if (!WaitStep(tool, 500)) return;
  StartAddModeTwo(tool);
}

void StartAddModeOne(Tool& tool) {
  ActiveRun active(tool.state);
  tool.desktop.MoveWindowTo(tool.state.chatClient, chat::kModeOneLeft, chat::kModeOneTop,
                            chat::kModeOneWidth, chat::kModeOneHeight);
  AddChosenFiles(tool, Mode::One);
}

void StartAddModeTwo(Tool& tool) {
  ActiveRun active(tool.state);
  AddChosenFiles(tool, Mode::Two);
}

bool HandleAlreadyCollected(Tool& tool, Mode mode) {
  const int delay = Delay(tool);
  const WindowHandle client = RunClient(tool, mode);
  const bool shown = FindForwardWindow(tool.desktop, client) != 0;
  if (shown) {
    if (!BlockStep(tool, delay)) return true;
    tool.desktop.MoveWindowTo(FindForwardWindow(tool.desktop, client), chat::kForwardLeft,
                              chat::kForwardTop, chat::kForwardWidth, chat::kForwardHeight);
    tool.ui.ShowBalloonTip(Control::NoteTip, tool.ui.CursorPosition(), kAlreadyCollectedMessage,
                           true);
    if (!WaitStep(tool, delay)) return true;
    if (!KeyStep(tool, mode, vk::kEscape, 0, 0)) return true;
    const Awaited closed =
        Await(tool, delay, [&] { return FindForwardWindow(tool.desktop, client) == 0; });
    if (closed == Awaited::TimedOut) Stop(tool, TargetFault::NoReaction);
    return true;
  }
  // Observed, the wait for the forward window has already given the client its delay.
  if (tool.state.fixedWaits) BlockStep(tool, delay);
  return false;
}

}  // namespace pelloram

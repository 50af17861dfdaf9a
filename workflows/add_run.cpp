#include "workflows/add_run.h"

#include "client/chat_client.h"
#include "client/clipboard.h"
#include "client/input.h"
#include "services/convert.h"
#include "workflows/run_report.h"
#include "workflows/start_gate.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr std::string_view kEmptyListMessage =
    "表情都不选，我操作什么？空气吗？\r\n选完表情再来一次！";
constexpr std::string_view kAlreadyCollectedMessage = "添加失败！已有此表情....\r\n继续下一个！";
// A file dialog shows an error box over itself for a path it cannot open; one Escape
// closes that box, the next the dialog.
constexpr int kEscapesToCloseDialog = 3;

enum class Outcome { Added, AlreadyCollected, Skipped, Ended };

std::string FileName(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// Escape until the open dialog is gone, so the next sticker starts from a clean client.
// False when the run must end.
bool CloseOpenDialog(Run& run) {
  for (int i = 0; i < kEscapesToCloseDialog && FindOpenDialog(run.tool().desktop) != 0; ++i) {
    if (!run.Key(vk::kEscape, run.delay())) return false;
  }
  return true;
}

// A step whose effect never showed: the sticker is skipped, unless the client itself went
// away, which ends the run.
Outcome SkipUnlessGone(Run& run) {
  if (run.tool().desktop.IsWindowShown(run.Client())) return Outcome::Skipped;
  run.Stop(TargetFault::ClientGone);
  return Outcome::Ended;
}

// A step that failed on the dialog: closed, so the next sticker starts from a clean client.
Outcome SkipWithDialogClosed(Run& run, Awaited awaited) {
  if (awaited == Awaited::Closing) return Outcome::Ended;
  if (SkipUnlessGone(run) == Outcome::Ended) return Outcome::Ended;
  return CloseOpenDialog(run) ? Outcome::Skipped : Outcome::Ended;
}

// The forward window tells of a sticker the client had collected before: said in a tip,
// then closed. True when it was up.
bool DismissForwardWindow(Run& run) {
  Desktop& desktop = run.tool().desktop;
  const WindowHandle client = run.Client();
  if (FindForwardWindow(desktop, client) == 0) return false;
  if (!run.Wait(run.delay())) return true;
  desktop.MoveWindowTo(FindForwardWindow(desktop, client), chat::kForwardLeft, chat::kForwardTop,
                       chat::kForwardWidth, chat::kForwardHeight);
  run.tool().ui.ShowBalloonTip(Control::NoteTip, ReadCursorPoint(desktop),
                               kAlreadyCollectedMessage, true);
  if (!run.Wait(run.delay()) || !run.Key(vk::kEscape, 0)) return true;
  const Awaited closed = run.Await([&] { return FindForwardWindow(desktop, client) == 0; });
  if (closed == Awaited::TimedOut) run.Stop(TargetFault::NoReaction);
  return true;
}

// The sent sticker's menu and its add item. The menu closing shows the client took the
// click; a forward window, which tells of a sticker collected before, comes with it or
// soon after.
Outcome AddSentSticker(Run& run) {
  WindowHandle menu = 0;
  if (!run.RightClickForMenu(JobPointId::SentSticker, menu)) {
    // No menu on the sent sticker: it cannot be added, but the next one may be.
    return run.Forgive(TargetFault::NoMenu) ? SkipUnlessGone(run) : Outcome::Ended;
  }
  if (!run.ClickMenuItem(JobPointId::AddItem, menu) || !run.AwaitMenuGone(menu)) {
    return Outcome::Ended;
  }
  Desktop& desktop = run.tool().desktop;
  const WindowHandle client = run.Client();
  if (!run.AwaitAtMost([&] { return FindForwardWindow(desktop, client); })) return Outcome::Ended;
  // A client gone meanwhile cannot tell whether it took the sticker: not counted as added.
  if (!desktop.IsWindowShown(client)) {
    run.Stop(TargetFault::ClientGone);
    return Outcome::Ended;
  }
  const bool already = DismissForwardWindow(run);
  if (run.Ended()) return Outcome::Ended;
  return already ? Outcome::AlreadyCollected : Outcome::Added;
}

// Paste (the path shows in the dialog's file-name box), open (the dialog goes; one still
// up refused the path: the file went away, or cannot be read), send, then add.
Outcome SendThroughDialog(Run& run, const std::string& path) {
  Desktop& desktop = run.tool().desktop;
  const WindowHandle dialog = FindOpenDialog(desktop);
  if (!run.Chord(vk::kControl, vk::kV, 0)) return Outcome::Ended;
  const Awaited pasted = run.Await([&] { return desktop.ReadFileNameBox(dialog) == path; });
  if (pasted != Awaited::Ready) return SkipWithDialogClosed(run, pasted);
  if (!run.Key(vk::kReturn, 0)) return Outcome::Ended;
  const Awaited opened = run.Await([&] { return FindOpenDialog(desktop) == 0; });
  if (opened != Awaited::Ready) return SkipWithDialogClosed(run, opened);
  if (!run.Key(vk::kReturn, run.delay())) return Outcome::Ended;
  return AddSentSticker(run);
}

// One sticker: the path onto the clipboard, the file button, then the dialog.
Outcome AddOneSticker(Run& run, const std::string& path) {
  Desktop& desktop = run.tool().desktop;
  // Checked first, so a file removed since the folder was chosen leaves nothing to undo.
  if (!desktop.FileExists(path)) return Outcome::Skipped;
  // A clipboard another program holds would paste stale content: skip this sticker
  // before opening anything.
  const bool onClipboard = PutTextOnClipboard(desktop, path);
  if (run.Ended()) return Outcome::Ended;
  if (!onClipboard) return Outcome::Skipped;
  if (!run.Click(JobPointId::FileButton, 0)) return Outcome::Ended;
  ProcessPendingEvents(desktop);
  const Awaited dialog = run.Await([&] { return FindOpenDialog(desktop); });
  if (dialog == Awaited::Closing) return Outcome::Ended;
  if (dialog == Awaited::TimedOut) return SkipUnlessGone(run);
  return SendThroughDialog(run, path);
}

void Record(AddTally& tally, Outcome outcome, const std::string& path) {
  if (outcome == Outcome::Added) ++tally.added;
  if (outcome == Outcome::AlreadyCollected) ++tally.alreadyCollected;
  if (outcome == Outcome::Skipped) tally.skipped.push_back(FileName(path));
}

// A forward window that came up late for the previous sticker would cover the client and
// spoil every sticker after it: close it, and count that sticker as collected before.
void CloseLateForwardWindow(Run& run, Outcome previous, AddTally& tally) {
  if (DismissForwardWindow(run) && previous == Outcome::Added) {
    --tally.added;
    ++tally.alreadyCollected;
  }
}

void ShowAddProgress(Run& run, std::size_t done, std::size_t total) {
  const auto at = static_cast<std::int64_t>(done), all = static_cast<std::int64_t>(total);
  run.progress().Show(at, all);
  run.tool().ui.WriteControlText(Control::FolderCountLabel,
                                 "正在添加 " + ToText(at) + " / " + ToText(all));
}

// The caption and the count label come back before the message that sums the run up.
void ReportAddEnd(Run& run, const AddTally& tally) {
  Tool& tool = run.tool();
  if (tool.state.closing) return;  // closing ends the run at once, with nothing to show
  run.progress().End();
  const auto count = static_cast<std::int64_t>(tool.state.stickerFiles.size());
  tool.ui.WriteControlText(Control::FolderCountLabel, std::string(kCountLabelPrefix) + ToText(count));
  tool.ui.ShowMessage(AddSummary(tally, StopMessage(run.fault())), kDefaultMessageCaption);
  if (run.fault() == TargetFault::UserMoved) TipUserMoved(tool);
}

void AddAllStickers(Run& run) {
  // The pass works on the list as it was when it began: a folder chosen meanwhile is for
  // the next start, and no entry is skipped or doubled.
  const std::vector<std::string> list = run.tool().state.stickerFiles;
  AddTally tally;
  Outcome previous = Outcome::Skipped;
  for (std::size_t i = 0; i < list.size(); ++i) {
    ShowAddProgress(run, i + 1, list.size());
    if (!run.Ended()) CloseLateForwardWindow(run, previous, tally);
    const Outcome outcome = run.Ended() ? Outcome::Ended : AddOneSticker(run, list[i]);
    if (outcome == Outcome::Ended) {
      tally.notReached = static_cast<int>(list.size() - i);
      break;
    }
    Record(tally, outcome, list[i]);
    previous = outcome;
  }
  if (!run.Ended()) CloseLateForwardWindow(run, previous, tally);
  ReportAddEnd(run, tally);
}

}  // namespace

void StartAddRun(Tool& tool) {
  const std::unique_ptr<Run> run = OpenRun(tool, Job::Add);
  if (!run) return;
  if (!tool.state.stickerFiles.empty()) {
    AddAllStickers(*run);
  } else if (run->Ended()) {
    if (!tool.state.closing) tool.ui.ShowMessage(StopMessage(run->fault()), kDefaultMessageCaption);
  } else {
    // The start asks for the folder and ends there; the next start adds the chosen files.
    tool.ui.ShowBalloonTip(Control::NoteTip, ReadCursorPoint(tool.desktop), kEmptyListMessage,
                           false);
    ChooseStickerFolder(tool);
  }
}

}  // namespace pelloram

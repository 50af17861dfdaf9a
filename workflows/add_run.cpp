#include "workflows/add_run.h"

#include <algorithm>
#include <utility>

#include "client/input.h"
#include "services/convert.h"
#include "workflows/add_sticker.h"
#include "workflows/run_control.h"
#include "workflows/run_report.h"
#include "workflows/start_gate.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr std::string_view kEmptyListMessage =
    "表情都不选，我操作什么？空气吗？\r\n选完表情再来一次！";

// `why`: for a skipped file, the reason the summary files it under.
void Record(AddTally& tally, Outcome outcome, const std::string& path, const std::string& why) {
  if (outcome == Outcome::Added) ++tally.added;
  if (outcome == Outcome::AlreadyCollected) ++tally.alreadyCollected;
  if (outcome != Outcome::Skipped) return;
  const std::string name = FileNameOf(path);
  tally.skipped.push_back(name);
  auto group = std::find_if(tally.skips.begin(), tally.skips.end(),
                            [&](const SkipGroup& g) { return g.reason == why; });
  if (group == tally.skips.end()) group = tally.skips.insert(tally.skips.end(), SkipGroup{why, {}});
  group->files.push_back(name);
}

// A forward window that came up late would cover the client and spoil every sticker after
// it: close it. It tells of the last sticker whose add item the client took (a skipped one
// in between never got so far): counted as added, that one was collected before.
void CloseLateForwardWindow(Run& run, Outcome& lastAdded, AddTally& tally) {
  if (!DismissForwardWindow(run) || lastAdded != Outcome::Added) return;
  --tally.added;
  ++tally.alreadyCollected;
  lastAdded = Outcome::AlreadyCollected;
}

// The user paused the run, by F11 or by taking the mouse: the pass is kept to go on from.
bool Pausing(Run& run) {
  return run.fault() == TargetFault::UserMoved ||
         (run.fault() == TargetFault::None && run.StopAsked() && !run.tool().state.closing);
}

void ShowAddProgress(Run& run, std::size_t done, std::size_t total) {
  const auto at = static_cast<std::int64_t>(done), all = static_cast<std::int64_t>(total);
  run.progress().Show(at, all);
  run.tool().ui.WriteControlText(Control::FolderCountLabel,
                                 "正在添加 " + ToText(at) + " / " + ToText(all));
}

// Where a pass starts: a pause in the same mode goes on where it stopped (a new folder, a
// page or a mode change has forgotten it), else the chosen list from its first file.
// A sticker sent into the chat of a client that has since been closed is not in this
// client's chat: its file goes again from the start.
PausedAdd StartingPoint(Run& run, std::optional<PausedAdd> paused) {
  if (!paused || paused->mode != run.mode()) {
    return PausedAdd{.files = run.tool().state.stickerFiles, .mode = run.mode()};
  }
  if (paused->clientProcess != run.ClientProcess()) paused->nextIsSent = false;
  paused->clientProcess = run.ClientProcess();
  return std::move(*paused);
}

// A folder that is gone keeps none of its files: the label shows none left, and the next
// start asks for a folder instead of skipping them all again.
void ForgetGoneFiles(Tool& tool) {
  std::vector<std::string>& files = tool.state.stickerFiles;
  std::erase_if(files, [&](const std::string& path) { return !tool.desktop.FileExists(path); });
}

// The client and the clipboard as found, the caption and the count label back, then the
// message that sums the pass up, or says where F11 goes on.
void EndAddPass(Run& run, PausedAdd pass, bool paused, std::uint32_t resetsAtStart) {
  Tool& tool = run.tool();
  run.LeaveAsFound();
  if (tool.state.closing) return;  // closing ends the run at once, with nothing to show
  run.progress().End();
  if (run.fault() != TargetFault::None && run.fault() != TargetFault::UserMoved) {
    tool.state.startWhenEnded.reset();  // the user reads why first
  }
  if (run.fault() == TargetFault::FolderGone) ForgetGoneFiles(tool);
  const auto count = static_cast<std::int64_t>(tool.state.stickerFiles.size());
  tool.ui.WriteControlText(Control::FolderCountLabel,
                           std::string(kCountLabelPrefix) + ToText(count));
  // A folder, page or mode changed since the start has started the next pass afresh.
  const bool keep =
      paused && pass.next < pass.files.size() && tool.state.addPassResets == resetsAtStart;
  if (!keep) {
    tool.ui.ShowMessage(AddSummary(pass.tally, run.FaultText()), kDefaultMessageCaption);
    return;
  }
  const bool byMouse = run.fault() == TargetFault::UserMoved;
  const std::string next = FileNameOf(pass.files[pass.next]);
  const auto nextNumber = static_cast<std::int64_t>(pass.next + 1);
  const std::string summary = AddPausedSummary(pass.tally, byMouse, nextNumber, next);
  // Kept before the box opens: a page changed while it is up forgets it, as always.
  tool.state.pausedAdd = std::move(pass);
  tool.ui.ShowMessage(summary, kDefaultMessageCaption);
  if (byMouse) {
    tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(Control::MainWindow),
                           AddPausedTip(nextNumber, next), false);
  }
}

void AddAllStickers(Run& run, std::optional<PausedAdd> paused, std::uint32_t resetsAtStart) {
  // The pass works on the list as it was when it began: a folder chosen meanwhile is for
  // the next start, and no entry is skipped or doubled.
  PausedAdd pass = StartingPoint(run, std::move(paused));
  pass.clientProcess = run.ClientProcess();
  const std::vector<std::string>& list = pass.files;
  Outcome lastAdded = Outcome::Skipped;  // of the last sticker that reached its add item
  std::size_t i = pass.next;
  for (; i < list.size() && !run.StopAsked(); ++i) {
    ShowAddProgress(run, i + 1, list.size());
    if (!run.Ended()) CloseLateForwardWindow(run, lastAdded, pass.tally);
    if (!run.Ended()) run.StopAtStrangeWindow();
    bool sent = std::exchange(pass.nextIsSent, false);
    const Outcome outcome = run.Ended() ? Outcome::Ended
                            : sent      ? AddSentSticker(run)
                                        : AddOneSticker(run, list[i], sent);
    if (outcome == Outcome::Ended) {
      // A sticker already in the chat is never sent again in this pass: a pause adds it
      // from there when F11 goes on; any other end names it as skipped.
      if (sent && Pausing(run)) pass.nextIsSent = true;
      if (sent && !pass.nextIsSent) {
        Record(pass.tally, Outcome::Skipped, list[i++], run.FaultText());
      }
      break;
    }
    Record(pass.tally, outcome, list[i], run.SkipText());
    if (outcome != Outcome::Skipped) lastAdded = outcome;
  }
  if (!run.Ended()) CloseLateForwardWindow(run, lastAdded, pass.tally);
  pass.next = i;
  pass.tally.notReached = static_cast<int>(list.size() - i);
  EndAddPass(run, std::move(pass), Pausing(run), resetsAtStart);
}

}  // namespace

namespace {

void StartAddRunNow(Tool& tool) {
  // Whether F11 goes on with a paused pass is settled now, as the user pressed it: what
  // happens while the run opens does not change it.
  std::optional<PausedAdd> paused = std::exchange(tool.state.pausedAdd, std::nullopt);
  const std::uint32_t resetsAtStart = tool.state.addPassResets;
  const std::unique_ptr<Run> run = OpenRun(tool, Job::Add);
  if (!run) {
    tool.state.pausedAdd = std::move(paused);
    return;
  }
  if (!tool.state.stickerFiles.empty()) {
    tool.state.addRunning = true;
    AddAllStickers(*run, std::move(paused), resetsAtStart);
    tool.state.addRunning = false;
  } else if (run->Ended()) {
    if (!tool.state.closing) tool.ui.ShowMessage(run->FaultText(), kDefaultMessageCaption);
  } else {
    // The start asks for the folder and ends there; the next start adds the chosen files.
    tool.ui.ShowBalloonTip(Control::NoteTip, ReadCursorPoint(tool.desktop), kEmptyListMessage,
                           false);
    ChooseStickerFolder(tool);
  }
}

}  // namespace

void StartAddRun(Tool& tool) {
  // The start of a run going is its pause: every wait ends and the run stops at once.
  if (tool.state.addRunning && !tool.state.pauseAsked) {
    tool.state.pauseAsked = true;
    return;
  }
  if (tool.state.runActive) return AskToStartWhenEnded(tool, Job::Add);
  StartAddRunNow(tool);
  StartWhatWasAsked(tool);
}

}  // namespace pelloram

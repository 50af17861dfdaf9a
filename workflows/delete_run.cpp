#include "workflows/delete_run.h"

#include <limits>

#include "client/input.h"
#include "client/waits.h"
#include "services/convert.h"
#include "workflows/run_report.h"
#include "workflows/start_gate.h"

namespace pelloram {
namespace {

// A deletion the client has taken: one fewer to go, shown in the count field. The count
// never wraps around.
void CountDeletion(Tool& tool) {
  std::int32_t remaining = tool.state.remainingCount;
  if (remaining > std::numeric_limits<std::int32_t>::min()) --remaining;
  tool.ui.WriteControlText(Control::DeleteCount, ToText(remaining));
}

// The sticker panel, then the collected stickers. The panel button toggles: a panel left
// open by an earlier run is shut by the opening click. A collected tab found by its look is
// then nowhere to be seen, and the panel is opened once more (`reopened`) before the run
// gives up; a tab clicked at its typed point leaves that to the first sticker's menu.
bool OpenCollection(Run& run, bool mayReopenPanel, bool& reopened) {
  if (!run.Click(JobPointId::StickerPanel, run.delay())) return false;
  if (run.Click(JobPointId::CollectedTab, run.delay())) return true;
  if (!mayReopenPanel || !run.Forgive(StopReason::LookNotFound)) return false;
  reopened = true;
  return run.Click(JobPointId::StickerPanel, run.delay()) &&
         run.Click(JobPointId::CollectedTab, run.delay());
}

// The first sticker's menu. A panel shut by the opening click shows no sticker: the first
// deletion that finds no menu opens the collection once more before it gives up.
bool OpenStickerMenu(Run& run, bool mayReopenPanel, WindowHandle& menu) {
  if (run.RightClickForMenu(JobPointId::FirstSticker, menu)) return true;
  if (!mayReopenPanel || !run.Forgive(StopReason::NoMenu)) return false;
  bool reopened = false;
  return OpenCollection(run, false, reopened) &&
         run.RightClickForMenu(JobPointId::FirstSticker, menu);
}

// The first sticker's menu and its delete item, taken by the client (the menu closes). A
// move of the client's window while the menu is open closes it and right-clicks again.
bool ChooseDeleteItem(Run& run, bool mayReopenPanel) {
  for (;;) {
    WindowHandle menu = 0;
    if (!OpenStickerMenu(run, mayReopenPanel, menu)) return false;
    if (run.ClickMenuItem(JobPointId::DeleteItem, menu)) return run.AwaitMenuGone(menu);
    if (!run.CloseMenuMovedAway(menu)) return false;
    mayReopenPanel = false;
  }
}

// One deletion; false when the run must end (a pause, the tool closing, a failed check, or
// the count reached 0).
bool DeleteOneSticker(Run& run, bool mayReopenPanel) {
  Tool& tool = run.tool();
  if (!run.Wait(run.delay())) return false;
  // Counted once the client has taken the item's click, also when a pause came meanwhile.
  if (!ChooseDeleteItem(run, mayReopenPanel)) return false;
  CountDeletion(tool);
  if (tool.state.remainingCount != 0) return true;
  const bool paused = tool.state.deleteButton == DeleteButton::Start;
  ShowDeleteButton(tool, paused ? DeleteButton::FinishedAfterPause : DeleteButton::Finished);
  return false;
}

// As many passes as the count held when the deletions began: a count typed meanwhile
// changes what is shown, and ends the run early only by reaching 0. A pause ends the wait
// it comes in; the deletion whose menu is open is finished first.
// A panel opened a second time already is not opened again for the first deletion.
void DeleteStickers(Run& run, bool panelReopened) {
  Tool& tool = run.tool();
  const std::int32_t passes = tool.state.remainingCount;
  for (std::int64_t i = 1; i <= passes; ++i) {
    ProcessPendingEvents(tool.desktop);
    if (run.StopAsked()) return;
    run.progress().Show(i, passes);
    if (!DeleteOneSticker(run, i == 1 && !panelReopened)) return;
  }
}

// A run that had to end leaves the count at what is still to do, goes back to the start
// caption and says why. A closing tool says nothing.
void ReportDeleteEnd(Run& run) {
  Tool& tool = run.tool();
  run.progress().End();
  if (run.fault() == StopReason::None || tool.state.closing) return;
  tool.state.startWhenEnded.reset();  // the user reads why first
  ShowDeleteButton(tool, DeleteButton::Start);
  if (run.fault() == StopReason::UserMoved) {
    TipUserMoved(tool);
  } else {
    tool.ui.ShowMessage(run.FaultText(), kDefaultMessageCaption);
  }
}

}  // namespace

void RunDeleteJob(Tool& tool) {
  const std::unique_ptr<Run> run = OpenRun(tool, Job::Delete);
  if (!run) return;
  bool reopened = false;
  if (!run->Ended() && OpenCollection(*run, true, reopened)) DeleteStickers(*run, reopened);
  ReportDeleteEnd(*run);
}

}  // namespace pelloram

#include "workflows/start_gate.h"

#include <optional>

#include "client/input.h"
#include "services/convert.h"
#include "workflows/run_report.h"

namespace pelloram {
namespace {

constexpr int kSettleAfterStartMs = 500;

Control ModeRadio(Job job, Mode mode) {
  if (job == Job::Delete) {
    return mode == Mode::One ? Control::DeleteModeOneRadio : Control::DeleteModeTwoRadio;
  }
  return mode == Mode::One ? Control::AddModeOneRadio : Control::AddModeTwoRadio;
}

std::optional<Mode> ChosenMode(Tool& tool, Job job) {
  for (const Mode mode : {Mode::One, Mode::Two}) {
    if (IsChecked(tool.ui, ModeRadio(job, mode))) return mode;
  }
  return std::nullopt;
}

bool RefuseDelay(Tool& tool, Control field) {
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(field), kDelayWarning, false);
  tool.ui.SetControlFocus(field);
  return false;
}

// A delay that is no whole number of milliseconds would run every step without a pause, and
// one over a minute would leave the run looking stuck: refused like an empty point field, on
// the field itself. The add page's empty, zero or unreadable delay takes its mode's default.
bool DelayAccepted(Tool& tool, Job job) {
  const Control field = job == Job::Delete ? Control::DeleteDelay : Control::AddDelay;
  const std::string text = tool.ui.ReadControlText(field);
  const LeadingInteger delete_ = ReadInteger(text);
  // Read as the run will read it.
  const std::int64_t delay = job == Job::Delete ? delete_.value : FieldValue(text);
  const bool whole = job == Job::Add || delete_.whole;
  if (!whole || delay < 0 || delay > kLongestDelayMs) return RefuseDelay(tool, field);
  return true;
}

bool ModeOneFitsClient(Tool& tool, Job job, const ChatClient& client) {
  if (client.generation == chat::Generation::Classic) return true;
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(ModeRadio(job, Mode::One)),
                         kModeOneNeedsClassic, false);
  return false;
}

// Mode two needs every checked point of the job filled in: the first field with no text
// at all gets its warning in a tip at the pointer (it stays up until clicked away) and
// the focus.
bool ModeTwoFieldsFilled(Tool& tool, Job job) {
  for (const JobPoint& point : PointsOf(job)) {
    if (point.warningName.empty()) continue;
    for (const bool isX : {true, false}) {
      const Control field = isX ? point.xField : point.yField;
      if (!tool.ui.ReadControlText(field).empty()) continue;
      tool.ui.ShowBalloonTip(Control::WarningTip, ReadCursorPoint(tool.desktop),
                             EmptyFieldWarning(point, isX), false);
      tool.ui.SetControlFocus(field);
      return false;
    }
  }
  return true;
}

// The delete delay was accepted as it stands; the add delay falls back to the mode's
// default when it reads 0 (also empty or text), shown in its field.
int ReadDelay(Tool& tool, Job job, Mode mode) {
  if (job == Job::Delete) {
    return static_cast<int>(ReadInteger(tool.ui.ReadControlText(Control::DeleteDelay)).value);
  }
  const std::int32_t typed = FieldValue(tool.ui.ReadControlText(Control::AddDelay));
  if (typed != 0) return typed;
  const std::int32_t fallback = mode == Mode::One ? 300 : 500;
  tool.ui.WriteControlText(Control::AddDelay, ToText(fallback));
  return fallback;
}

// The delete page shows the run going before it opens, so F11 during the opening pauses
// it; mode two deletes one sticker when no count was given.
void ShowDeleteRunGoing(Tool& tool, Mode mode) {
  ShowDeleteButton(tool, DeleteButton::Pause);
  if (mode == Mode::Two && tool.ui.ReadControlText(Control::DeleteCount).empty()) {
    tool.ui.WriteControlText(Control::DeleteCount, "1");
  }
}

}  // namespace

std::unique_ptr<Run> OpenRun(Tool& tool, Job job) {
  if (tool.state.closing) return nullptr;
  if (tool.state.runActive) {
    // Another run is executing (the add page's folder choice, or one winding down).
    tool.ui.ShowBalloonTip(Control::WarningTip, ReadCursorPoint(tool.desktop), kOtherRunGoing,
                           false);
    return nullptr;
  }
  const std::optional<Mode> mode = ChosenMode(tool, job);
  if (!mode) return nullptr;
  if (!DelayAccepted(tool, job)) return nullptr;
  const ChatClient client = FindChatClient(tool.desktop);
  if (client.window == 0) {
    tool.ui.ShowMessage(kClientMissingAtStart, kDefaultMessageCaption);
    return nullptr;
  }
  const bool fits =
      *mode == Mode::One ? ModeOneFitsClient(tool, job, client) : ModeTwoFieldsFilled(tool, job);
  if (!fits) return nullptr;
  auto run = std::make_unique<Run>(tool, job, *mode, client, ReadDelay(tool, job, *mode),
                                   job == Job::Delete ? "删除中" : "添加中");
  if (job == Job::Delete) ShowDeleteRunGoing(tool, *mode);
  if (*mode == Mode::One && !run->PlaceClient()) return run;
  run->Wait(kSettleAfterStartMs);
  return run;
}

}  // namespace pelloram

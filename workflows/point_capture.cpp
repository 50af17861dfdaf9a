#include "workflows/point_capture.h"

#include <cstdint>
#include <string>

#include "client/input.h"
#include "services/convert.h"
#include "workflows/job_points.h"
#include "workflows/points.h"
#include "workflows/teaching.h"

namespace pelloram {
namespace {

// Only a capture derives the points that follow their source on capture.
void WriteDerivedOnCapture(Tool& tool, JobPointId source, Point at) {
  for (const DerivedPoint& derived : DerivedPoints()) {
    if (derived.source != source || derived.when != Derivation::OnCapture) continue;
    const Point offset = MenuOffsetAt(tool.desktop, derived, at);
    ShowPoint(tool, PointOf(derived.derived), static_cast<std::int64_t>(at.x) + offset.x,
              static_cast<std::int64_t>(at.y) + offset.y);
  }
}

// Teaches one step of the job's capture cycle and returns the step that follows it
// (1-based, wrapping; a step out of range counts as the first). A picture that cannot
// tell the control from its surroundings is refused: the same step comes again.
std::int32_t CaptureNextPoint(Tool& tool, Job job, std::int32_t step, Point at) {
  std::int32_t count = 0;
  for (const JobPoint& point : PointsOf(job)) count += point.confirmation.empty() ? 0 : 1;
  const std::int32_t current = step >= 1 && step <= count ? step : 1;
  std::int32_t seen = 0;
  for (const JobPoint& point : PointsOf(job)) {
    if (point.confirmation.empty() || ++seen != current) continue;
    const Teaching taught = TeachPoint(tool, point, at);
    if (taught == Teaching::Plain) {
      tool.ui.ShowBalloonTip(Control::NoteTip, at, kPlainPictureTip, true);
      return current;
    }
    ShowPoint(tool, point, at.x, at.y);
    WriteDerivedOnCapture(tool, point.id, at);
    std::string note(point.confirmation);
    if (taught == Teaching::Unreadable) note += kUnreadableScreenNote;
    tool.ui.ShowBalloonTip(Control::NoteTip, at, note, true);
  }
  return current == count ? 1 : current + 1;
}

}  // namespace

void CapturePoint(Tool& tool) {
  const Point at = ReadCursorPoint(tool.desktop);
  RunState& s = tool.state;
  if (IsChecked(tool.ui, Control::DeleteModeTwoRadio)) {
    if (TeachMenuItem(tool, Job::Delete, at)) return;
    s.deleteCaptureStep = CaptureNextPoint(tool, Job::Delete, s.deleteCaptureStep, at);
  } else if (IsChecked(tool.ui, Control::AddModeTwoRadio)) {
    if (TeachMenuItem(tool, Job::Add, at)) return;
    s.addCaptureStep = CaptureNextPoint(tool, Job::Add, s.addCaptureStep, at);
  }
}

}  // namespace pelloram

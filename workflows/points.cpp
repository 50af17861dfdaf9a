#include "workflows/points.h"

#include "client/monitors.h"
#include "services/convert.h"
#include "workflows/job_points.h"

namespace pelloram {
namespace {

// A derived point follows its source on every change, untruncated: "12.5" gives "42.5".
// Shown, not edited: a menu item taught by its picture keeps its look.
void FollowSource(Tool& tool, Control field) {
  for (const DerivedPoint& derived : DerivedPoints()) {
    if (derived.when != Derivation::OnEdit) continue;
    const JobPoint& source = PointOf(derived.source);
    const JobPoint& target = PointOf(derived.derived);
    if (field != source.xField && field != source.yField) continue;
    const Point at{FieldValue(tool.ui.ReadControlText(source.xField)),
                   FieldValue(tool.ui.ReadControlText(source.yField))};
    const Point offset = MenuOffsetAt(tool.desktop, derived, at);
    const double value = ToNumber(tool.ui.ReadControlText(field));
    if (field == source.xField) {
      tool.ui.ShowControlText(target.xField, ToText(value + offset.x));
    } else {
      tool.ui.ShowControlText(target.yField, ToText(value + offset.y));
    }
  }
}

}  // namespace

Point MenuOffsetAt(Desktop& desktop, const DerivedPoint& derived, Point at) {
  return Scaled(derived.offset, DpiAt(desktop.Monitors(), at));
}

void ShowPoint(Tool& tool, const JobPoint& point, std::int64_t x, std::int64_t y) {
  tool.ui.ShowControlText(point.xField, ToText(x));
  FollowSource(tool, point.xField);
  tool.ui.ShowControlText(point.yField, ToText(y));
  FollowSource(tool, point.yField);
}

void PointFieldEdited(Tool& tool, Control field) {
  for (const Job job : {Job::Delete, Job::Add}) {
    for (const JobPoint& point : PointsOf(job)) {
      if (point.xField == field || point.yField == field) tool.state.LookOf(point.id).reset();
    }
  }
  FollowSource(tool, field);
}

}  // namespace pelloram

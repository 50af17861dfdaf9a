#include "workflows/run_steps.h"

#include "client/input.h"
#include "client/window_binding.h"
#include "services/convert.h"

namespace pelloram {
namespace {

struct ClickTarget {
  WindowHandle window;  // whose client origin the point is relative to; 0: the screen
  Point at;
  MouseButton button;
};

ClickTarget WhereToClick(Tool& tool, JobPointId id, Mode mode) {
  const JobPoint& point = PointOf(id);
  if (mode == Mode::One) return {tool.state.chatClient, point.builtIn, point.button};
  const Point typed{FieldValue(tool.ui.ReadControlText(point.xField)),
                    FieldValue(tool.ui.ReadControlText(point.yField))};
  return {FindDesktopWindow(tool.desktop), typed, point.button};
}

}  // namespace

bool WaitStep(Tool& tool, int milliseconds) {
  if (tool.state.closing) return false;
  ResponsiveDelay(tool.desktop, milliseconds);
  return !tool.state.closing;
}

bool BlockStep(Tool& tool, int milliseconds) {
  if (tool.state.closing) return false;
  BlockingDelay(tool.desktop, milliseconds);
  return !tool.state.closing;
}

void ClickJobPoint(Tool& tool, JobPointId point, Mode mode) {
  const ClickTarget target = WhereToClick(tool, point, mode);
  ClickAt(tool.desktop, target.window, target.at.x, target.at.y, target.button);
}

bool ClickStep(Tool& tool, JobPointId point, Mode mode, int milliseconds) {
  const ClickTarget target = WhereToClick(tool, point, mode);
  ClickAt(tool.desktop, target.window, target.at.x, target.at.y, target.button);
  return WaitStep(tool, milliseconds);
}

bool StartRefused(const Tool& tool) { return tool.state.closing || tool.state.runActive; }

bool IsChecked(Tool& tool, Control radio) {
  return tool.ui.ReadControlProperty(radio, Property::Checked) != 0;
}

bool CheckModeTwoFields(Tool& tool, Job job) {
  for (const JobPoint& point : PointsOf(job)) {
    if (point.warningName.empty()) continue;
    for (const bool isX : {true, false}) {
      const Control field = isX ? point.xField : point.yField;
      if (!tool.ui.ReadControlText(field).empty()) continue;
      tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.CursorPosition(),
                             EmptyFieldWarning(point, isX), false);
      tool.ui.SetControlFocus(field);
      return false;
    }
  }
  return true;
}

}  // namespace pelloram

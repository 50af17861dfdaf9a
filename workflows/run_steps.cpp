#include "workflows/run_steps.h"

#include "client/input.h"

namespace pelloram {

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

bool StartRefused(const Tool& tool) { return tool.state.closing || tool.state.runActive; }

bool IsChecked(Tool& tool, Control radio) {
  return tool.ui.ReadControlProperty(radio, Property::Checked) != 0;
}

Point PointerForTip(Tool& tool) { return tool.ui.CursorPosition(); }

bool CheckRequiredFields(Tool& tool, std::span<const RequiredField> fields) {
  for (const RequiredField& field : fields) {
    if (!tool.ui.ReadControlText(field.box).empty()) continue;
    tool.ui.ShowBalloonTip(Control::气球提示框1, PointerForTip(tool), field.warning, false);
    tool.ui.SetControlFocus(field.box);
    return false;
  }
  return true;
}

}  // namespace pelloram

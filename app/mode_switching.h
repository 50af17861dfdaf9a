// The four mode selections and the tab page change.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

void SelectDeleteModeOne(Tool& tool);
void SelectDeleteModeTwo(Tool& tool);
void SelectAddModeOne(Tool& tool);
void SelectAddModeTwo(Tool& tool);
void SwitchTabPage(Tool& tool);
void ClearAllEditBoxes(Tool& tool);

}  // namespace pelloram

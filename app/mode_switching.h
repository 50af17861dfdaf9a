// The four mode selections and the tab page change.
#pragma once

#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

// What one mode selection writes, in the order it writes it.
struct ModeLayout {
  Control radio;  // the radio button that selects it
  Control groupBox;
  std::string_view groupCaption;
  Control helpLabel;
  int helpHeight;
  std::string_view helpText;
  int helpFontPt;
  bool wordWrap;
  bool clearFields;
  Control delayBox;
  bool resetCount;
  Control focus;
};

// What the mode radio button selects.
const ModeLayout& LayoutOf(Control modeRadio);

void SelectDeleteModeOne(Tool& tool);
void SelectDeleteModeTwo(Tool& tool);
void SelectAddModeOne(Tool& tool);
void SelectAddModeTwo(Tool& tool);
void SwitchTabPage(Tool& tool);
void ClearAllEditBoxes(Tool& tool);

}  // namespace pelloram

// The add run: every chosen sticker file sent into the chat and added to the collection.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

void StartAddRun(Tool& tool);
void StartAddModeOne(Tool& tool);
void StartAddModeTwo(Tool& tool);
void HandleAlreadyCollected(Tool& tool);

}  // namespace pelloram

// The add run: every chosen sticker file sent into the chat and added to the collection.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

// The add page's start (its button, or F11 there): through the start gate; with no files
// chosen yet it asks for the folder and ends there, else it adds every file of the list
// and sums up what it did in one message.
void StartAddRun(Tool& tool);

}  // namespace pelloram

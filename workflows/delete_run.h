// The delete run: opens the sticker panel and the collection, then deletes the first
// sticker as often as the count says, counting the count field down.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

// Both start from the delete page's start/pause with the run not going.
void RunDeleteModeOne(Tool& tool);
void RunDeleteModeTwo(Tool& tool);

}  // namespace pelloram

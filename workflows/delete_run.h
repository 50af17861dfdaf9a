// The delete run: opens the sticker panel and the collection, then deletes the first
// sticker as often as the count says, counting the count field down.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

// A start from the delete page's start/pause: through the start gate, then the run to its
// end, then what the user is told.
void RunDeleteJob(Tool& tool);

}  // namespace pelloram

// The delete run: opens the sticker panel and the collection, then deletes the first
// sticker as often as the count says, counting 编辑框7 down.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

void RunDeleteModeOne(Tool& tool);
void RunDeleteModeTwo(Tool& tool);

}  // namespace pelloram

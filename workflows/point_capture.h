// F10: one capture step of the page in mode two.
#pragma once

#include "workflows/tool.h"

namespace pelloram {

void CapturePoint(Tool& tool);

}  // namespace pelloram

// The main window's event table: which operation each control's event runs. The Win32
// window procedure and the test fakes both deliver events here and nowhere else.
#pragma once

#include "services/controls.h"
#include "workflows/tool.h"

namespace pelloram {

void HandleEvent(Tool& tool, Control control, Event event);

}  // namespace pelloram

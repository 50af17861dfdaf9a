// The content-changed rules: the user's typing reaches the run state through them, and a
// derived point follows its source. Also the rules of the integer count box.
#pragma once

#include <string>
#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

// Content changed of an edit box: runs that box's rule (boxes without one are ignored).
void ApplyFieldRule(Tool& tool, Control editBox);

// The integer box takes only 0-9 and "-" as typed characters (editing keys pass).
bool IntegerBoxAccepts(char32_t typed);
// The text the integer box shows once it loses the focus: its 64-bit integer clamped to
// 32 bits in decimal, 0 as an empty text.
std::string NormalizeIntegerBox(std::string_view text);
// Focus lost by the count box: rewrites it when the normal form differs.
void NormalizeIntegerBoxOnFocusLost(Tool& tool);

}  // namespace pelloram

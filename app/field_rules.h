// The content-changed rules that keep RunState in step with the fields, and the rules of
// the integer box 编辑框7.
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
// Focus lost by 编辑框7: rewrites it when the normal form differs.
void NormalizeIntegerBoxOnFocusLost(Tool& tool);

}  // namespace pelloram

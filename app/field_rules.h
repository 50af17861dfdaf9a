// The content-changed rules: the user's typing reaches the run state through them, and a
// derived point follows its source. Also what the number boxes take as typed, and the rules
// of the integer count box.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "workflows/tool.h"

namespace pelloram {

// Content changed of an edit box: runs that box's rule (boxes without one are ignored).
void ApplyFieldRule(Tool& tool, Control editBox);

// What a number box lets through as typed: the count box only an integer's characters,
// the point and delay boxes anything (they read the number out of whatever is there).
enum class TypedInput { IntegerOnly, AnyCharacter };

// The character a number box takes for one typed character, or nothing when it refuses it.
// Full-width digits and minus signs (an input method in full-width mode types those) are
// folded to ASCII, so a typed number reads as the same number pasted does; control
// characters (backspace, Ctrl+V, ...) pass as they are.
std::optional<char32_t> TypedIntoNumberBox(char32_t typed, TypedInput accepts);
// What a number box takes of pasted text (UTF-8): every character as if typed, so pasted
// full-width digits show folded at once, as typed ones do. Line breaks are dropped: a box
// holds one line.
std::string PastedIntoNumberBox(std::string_view pasted, TypedInput accepts);
// The text the integer box shows once it loses the focus: its 64-bit integer clamped to
// 32 bits in decimal, 0 as an empty text.
std::string NormalizeIntegerBox(std::string_view text);
// Focus lost by the count box: rewrites it when the normal form differs.
void NormalizeIntegerBoxOnFocusLost(Tool& tool);

}  // namespace pelloram

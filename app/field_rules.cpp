#include "app/field_rules.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "services/convert.h"
#include "services/utf8.h"
#include "workflows/job_points.h"
#include "workflows/points.h"

namespace pelloram {

void ApplyFieldRule(Tool& tool, Control editBox) {
  if (editBox == Control::DeleteCount) {
    tool.state.remainingCount = FieldValue(tool.ui.ReadControlText(editBox));
  } else if (editBox == Control::AddDelay) {
    tool.state.addDelayMs = FieldValue(tool.ui.ReadControlText(editBox));
  } else {
    PointFieldEdited(tool, editBox);
  }
}

std::optional<char32_t> TypedIntoNumberBox(char32_t typed, TypedInput accepts) {
  if (typed >= U'\uFF10' && typed <= U'\uFF19') return U'0' + (typed - U'\uFF10');
  if (typed == U'\uFF0D' || typed == U'\u2212') return U'-';
  if (accepts == TypedInput::AnyCharacter || typed < 0x20) return typed;
  if ((typed >= U'0' && typed <= U'9') || typed == U'-') return typed;
  return std::nullopt;
}

std::string PastedIntoNumberBox(std::string_view pasted, TypedInput accepts) {
  std::string taken;
  for (std::size_t at = 0; at < pasted.size();) {
    const utf8::Char c = utf8::Decode(pasted, at);
    at += c.length;
    if (c.codePoint < 0x20) continue;  // no control character is typed by a paste
    if (const std::optional<char32_t> kept = TypedIntoNumberBox(c.codePoint, accepts)) {
      utf8::Append(taken, *kept);
    }
  }
  return taken;
}

std::string NormalizeIntegerBox(std::string_view text) {
  // Its whole number, full-width digits and minus folded as anywhere else, clamped to the
  // 32-bit range.
  const std::int64_t value =
      std::clamp<std::int64_t>(ReadInteger(text).value, INT32_MIN, INT32_MAX);
  return value == 0 ? std::string() : std::to_string(value);
}

void NormalizeIntegerBoxOnFocusLost(Tool& tool) {
  const std::string current = tool.ui.ReadControlText(Control::DeleteCount);
  const std::string normal = NormalizeIntegerBox(current);
  if (normal != current) tool.ui.WriteControlText(Control::DeleteCount, normal);
}

}  // namespace pelloram

#include "app/field_rules.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "services/convert.h"
#include "services/utf8.h"
#include "workflows/job_points.h"
#include "workflows/teaching.h"

namespace pelloram {

namespace {

// A derived point follows its source on every change, untruncated: "12.5" gives "42.5".
// The tool writes it, so a menu item taught by its picture keeps its look.
void FollowSource(Tool& tool, Control editBox) {
  const bool wasWriting = std::exchange(tool.state.writingPoints, true);
  for (const DerivedPoint& derived : DerivedPoints()) {
    if (derived.when != Derivation::OnEdit) continue;
    const JobPoint& source = PointOf(derived.source);
    const JobPoint& target = PointOf(derived.derived);
    if (editBox == source.xField) {
      tool.ui.WriteControlText(
          target.xField, ToText(ToNumber(tool.ui.ReadControlText(editBox)) + derived.offset.x));
    } else if (editBox == source.yField) {
      tool.ui.WriteControlText(
          target.yField, ToText(ToNumber(tool.ui.ReadControlText(editBox)) + derived.offset.y));
    }
  }
  tool.state.writingPoints = wasWriting;
}

}  // namespace

void ApplyFieldRule(Tool& tool, Control editBox) {
  if (editBox == Control::DeleteCount) {
    tool.state.remainingCount = FieldValue(tool.ui.ReadControlText(editBox));
  } else if (editBox == Control::AddDelay) {
    tool.state.addDelayMs = FieldValue(tool.ui.ReadControlText(editBox));
  } else {
    ForgetTypedPoint(tool, editBox);
    FollowSource(tool, editBox);
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

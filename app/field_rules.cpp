#include "app/field_rules.h"

#include <charconv>
#include <cstdint>

#include "services/convert.h"

namespace pelloram {

namespace {

std::int32_t* StoredValueOf(RunState& state, Control box) {
  switch (box) {
    case Control::编辑框1:
      return &state.stickerPanelX;
    case Control::编辑框2:
      return &state.stickerPanelY;
    case Control::编辑框3:
      return &state.collectedTabX;
    case Control::编辑框4:
      return &state.collectedTabY;
    case Control::编辑框5:
      return &state.firstStickerX;
    case Control::编辑框6:
      return &state.firstStickerY;
    case Control::编辑框16:
      return &state.deleteItemX;
    case Control::编辑框17:
      return &state.deleteItemY;
    case Control::编辑框7:
      return &state.remainingCount;
    case Control::编辑框8:
      return &state.ClickDelay;
    default:
      return nullptr;
  }
}

// The add item lies 30 right of and 15 below the sent sticker; the derived box follows
// its source on every change, untruncated.
void DeriveAddPoint(Tool& tool, Control source, Control derived, double offset) {
  tool.ui.WriteControlText(derived, ToText(ToNumber(tool.ui.ReadControlText(source)) + offset));
}

}  // namespace

void ApplyFieldRule(Tool& tool, Control editBox) {
  if (std::int32_t* value = StoredValueOf(tool.state, editBox)) {
    *value = FieldValue(tool.ui.ReadControlText(editBox));
  } else if (editBox == Control::编辑框11) {
    DeriveAddPoint(tool, Control::编辑框11, Control::编辑框13, 30);
  } else if (editBox == Control::编辑框12) {
    DeriveAddPoint(tool, Control::编辑框12, Control::编辑框14, 15);
  }
}

bool IntegerBoxAccepts(char32_t typed) { return (typed >= U'0' && typed <= U'9') || typed == U'-'; }

std::string NormalizeIntegerBox(std::string_view text) {
  // Read like a 64-bit integer: optional blanks and sign, then digits; anything else ends
  // the number. Out-of-range values saturate, then clamp to the 32-bit range.
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude > (INT64_MAX - 9) / 10 ? INT64_MAX : magnitude * 10 + (text[i] - '0');
  }
  long long value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return value == 0 ? std::string() : std::to_string(value);
}

void NormalizeIntegerBoxOnFocusLost(Tool& tool) {
  const std::string current = tool.ui.ReadControlText(Control::编辑框7);
  const std::string normal = NormalizeIntegerBox(current);
  if (normal != current) tool.ui.WriteControlText(Control::编辑框7, normal);
}

}  // namespace pelloram

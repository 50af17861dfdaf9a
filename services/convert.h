// Conversions between text and numbers, text utilities, random numbers and colours.
// Text is UTF-8 in std::string; lengths and positions count bytes, but no operation
// ever splits a multi-byte character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "services/types.h"

namespace pelloram {

// Leading number of a text, like atof, after folding full-width forms (U+FF01..U+FF5E to
// ASCII, U+3000 to a blank, ☆ ★ to "*"). Empty or non-numeric text gives 0.
double ToNumber(std::string_view text);
// Truncates toward zero to 64 bits and keeps the low 32 bits; NaN gives 0 and values
// beyond the 64-bit range saturate before the low bits are taken.
std::int32_t TruncateToInt(double value);

// The whole number a text starts with: blanks, an optional sign, then digits, with the
// same full-width folding as ToNumber; beyond the 64-bit range it saturates.
struct LeadingInteger {
  std::int64_t value = 0;  // 0 when there are no digits
  bool found = false;      // there were digits
  bool whole = false;      // nothing but blanks follows them
};
LeadingInteger ReadInteger(std::string_view text);

// The number in a field: its text's leading number truncated toward zero; empty or
// non-numeric text gives 0.
inline std::int32_t FieldValue(std::string_view text) { return TruncateToInt(ToNumber(text)); }

std::string ToText(std::int64_t value);  // "%d" style
std::string ToText(double value);        // "%.13g"
inline std::string ToText(std::int32_t value) { return ToText(static_cast<std::int64_t>(value)); }

// The last n bytes, widened at the front so no character is split; whole text when shorter.
std::string RightText(std::string_view text, std::int32_t n);
// Parts between delimiters; empty parts kept except a trailing one.
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter);

// The tool's pseudo-random generator; the decorations reseed it on every tick.
struct RandomGenerator {
  std::uint64_t state = 1;
  std::uint32_t reseedCounter = 0;
};
void SeedRandom(RandomGenerator& generator, std::uint32_t seed);
// Without a seed: the tick count plus a counter that grows with each call.
void SeedRandomFromClock(RandomGenerator& generator, std::uint32_t tickCount);
// minimum + random % (maximum - minimum + 1); negative bounds count as 0, swapped if needed.
std::int32_t RandomInRange(RandomGenerator& generator, std::int32_t minimum, std::int32_t maximum);

Colour ColorFromRgb(int red, int green, int blue);

}  // namespace pelloram

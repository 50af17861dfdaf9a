#include "services/convert.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "services/utf8.h"

namespace pelloram {

namespace {

// Reads a text one character at a time, handing out the ASCII form of each character: ASCII
// as is, full-width forms folded, anything else as kNotAscii.
class FoldedReader {
 public:
  static constexpr int kNotAscii = -1;

  explicit FoldedReader(std::string_view text) : text_(text) { Load(); }

  int Peek() const { return current_; }
  bool AtEnd() const { return position_ >= text_.size(); }
  void Advance() {
    position_ += length_;
    Load();
  }

 private:
  void Load() {
    if (position_ >= text_.size()) {
      current_ = kNotAscii;
      length_ = 0;
      return;
    }
    const utf8::Char c = utf8::Decode(text_, position_);
    length_ = c.length;
    current_ = Fold(c.codePoint);
  }

  // U+FF01..U+FF5E are the full-width twins of 0x21..0x7E; a bad byte decodes as U+FFFD.
  static int Fold(char32_t c) {
    if (c < 0x80) return static_cast<int>(c);
    if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<int>(c - 0xFF01 + 0x21);
    if (c == 0x3000) return ' ';
    if (c == 0x2605 || c == 0x2606) return '*';
    return kNotAscii;
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::size_t length_ = 0;
  int current_ = kNotAscii;
};

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// White space as the C locale's isspace sees it.
bool IsBlank(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The numeric prefix of a folded text, split into the parts needed to parse it and to tell
// overflow from underflow.
struct NumberParts {
  bool negative = false;
  std::string digits;  // mantissa and exponent in plain ASCII, no sign: "12.5e3"
  // Power of ten of the leading significant digit, saturated; meaningless for zero.
  std::int64_t magnitude = 0;
};

constexpr std::int64_t kExponentLimit = std::int64_t{1} << 50;

std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  return std::clamp(a + std::clamp(b, -kExponentLimit, kExponentLimit), -kExponentLimit,
                    kExponentLimit);
}

// Reads "digits [. digits]"; returns false when there is not a single digit.
bool ReadMantissa(FoldedReader& reader, NumberParts& parts) {
  bool anyDigit = false;
  bool seenNonZero = false;
  std::int64_t integerDigits = 0;
  std::int64_t leadingFractionZeros = 0;
  for (; IsDigit(reader.Peek()); reader.Advance()) {
    anyDigit = true;
    seenNonZero = seenNonZero || reader.Peek() != '0';
    if (seenNonZero && integerDigits < kExponentLimit) ++integerDigits;
    parts.digits.push_back(static_cast<char>(reader.Peek()));
  }
  if (reader.Peek() == '.') {
    parts.digits.push_back('.');
    for (reader.Advance(); IsDigit(reader.Peek()); reader.Advance()) {
      anyDigit = true;
      if (!seenNonZero && reader.Peek() == '0' && leadingFractionZeros < kExponentLimit) {
        ++leadingFractionZeros;
      }
      seenNonZero = seenNonZero || reader.Peek() != '0';
      parts.digits.push_back(static_cast<char>(reader.Peek()));
    }
  }
  parts.magnitude = integerDigits > 0 ? integerDigits - 1 : -leadingFractionZeros - 1;
  return anyDigit;
}

// Reads "e [sign] digits"; an incomplete exponent, as in "1e" or "1e+", ends the number
// without one, as with atof.
void ReadExponent(FoldedReader& reader, NumberParts& parts) {
  if (reader.Peek() != 'e' && reader.Peek() != 'E') return;
  reader.Advance();
  bool negative = false;
  if (reader.Peek() == '+' || reader.Peek() == '-') {
    negative = reader.Peek() == '-';
    reader.Advance();
  }
  if (!IsDigit(reader.Peek())) return;
  std::int64_t exponent = 0;
  for (; IsDigit(reader.Peek()); reader.Advance()) {
    exponent = std::min(exponent * 10 + (reader.Peek() - '0'), kExponentLimit);
  }
  if (negative) exponent = -exponent;
  parts.magnitude = SaturatingAdd(parts.magnitude, exponent);
  // The clamped exponent keeps the same meaning: beyond ±2^50 every mantissa of a
  // realistic text over- or underflows either way.
  parts.digits += 'e';
  parts.digits += std::to_string(exponent);
}

// Leading blanks and an optional sign, as atof takes them; true for a minus.
bool ReadBlanksAndSign(FoldedReader& reader) {
  while (IsBlank(reader.Peek())) reader.Advance();
  if (reader.Peek() != '+' && reader.Peek() != '-') return false;
  const bool negative = reader.Peek() == '-';
  reader.Advance();
  return negative;
}

}  // namespace

// Unlike atof, "inf", "infinity", "nan" and hexadecimal forms are not numbers here (they give
// 0 like any other text that does not start with digits): a field must never hold NaN.
// Overflow still gives ±infinity as atof does, and underflow gives ±0; TruncateToInt turns
// either into a defined integer.
double ToNumber(std::string_view text) {
  FoldedReader reader(text);
  NumberParts parts;
  parts.negative = ReadBlanksAndSign(reader);
  if (!ReadMantissa(reader, parts)) return 0.0;
  ReadExponent(reader, parts);

  double value = 0.0;
  const char* first = parts.digits.data();
  const char* last = first + parts.digits.size();
  const auto result = std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = parts.magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc{}) {
    value = 0.0;
  }
  return parts.negative ? -value : value;
}

std::int32_t TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  // 2^63 is exact in a double; anything at or beyond it does not fit in int64.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  std::int64_t whole = 0;
  if (value >= kTwoTo63) {
    whole = std::numeric_limits<std::int64_t>::max();
  } else if (value < -kTwoTo63) {
    whole = std::numeric_limits<std::int64_t>::min();
  } else {
    whole = static_cast<std::int64_t>(value);
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(whole));
}

std::string ToText(std::int64_t value) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

// printf's "%.13g" without its dependence on the C locale's decimal point.
std::string ToText(double value) {
  // A field showing "-0" would read as a fault; zero has one face.
  if (value == 0) value = 0;
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, 13);
  return std::string(buffer.data(), result.ptr);
}

// The cut is moved to the front of the character it would split, so the result can be up
// to three bytes longer than n; a trailing backslash or ASCII tail is never affected.
std::string RightText(std::string_view text, std::int32_t n) {
  if (n <= 0) return {};
  const auto count = static_cast<std::size_t>(n);
  if (count >= text.size()) return std::string(text);
  return std::string(text.substr(utf8::StartOfChar(text, text.size() - count)));
}

namespace {

// A delimiter counts only where it both starts and ends on a character boundary.
bool DelimiterAt(std::string_view text, std::size_t at, std::string_view delimiter) {
  if (text.substr(at, delimiter.size()) != delimiter) return false;
  std::size_t end = at;
  while (end < at + delimiter.size()) end += utf8::Decode(text, end).length;
  return end == at + delimiter.size();
}

}  // namespace

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  if (delimiter.empty()) return {std::string(text)};
  std::size_t partStart = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    if (DelimiterAt(text, at, delimiter)) {
      parts.emplace_back(text.substr(partStart, at - partStart));
      at += delimiter.size();
      partStart = at;
    } else {
      at += utf8::Decode(text, at).length;
    }
  }
  if (partStart < text.size()) parts.emplace_back(text.substr(partStart));
  return parts;
}

namespace {

// splitmix64: any state, zero included, gives a full-period, well-mixed sequence, and
// neighbouring seeds (tick counts) give unrelated outputs.
std::uint64_t NextRandom(RandomGenerator& generator) {
  std::uint64_t z = (generator.state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

void SeedRandom(RandomGenerator& generator, std::uint32_t seed) { generator.state = seed; }

void SeedRandomFromClock(RandomGenerator& generator, std::uint32_t tickCount) {
  ++generator.reseedCounter;
  SeedRandom(generator, tickCount + generator.reseedCounter);
}

std::int32_t RandomInRange(RandomGenerator& generator, std::int32_t minimum, std::int32_t maximum) {
  minimum = std::max(minimum, 0);
  maximum = std::max(maximum, 0);
  if (minimum > maximum) std::swap(minimum, maximum);
  // Up to 2^31 values: computed in 64 bits so maximum = INT32_MAX cannot overflow.
  const std::uint64_t span = static_cast<std::uint64_t>(maximum) - minimum + 1;
  return minimum + static_cast<std::int32_t>(NextRandom(generator) % span);
}

// Each channel keeps its low 8 bits, so an out-of-range red cannot spill into green.
Colour ColorFromRgb(int red, int green, int blue) {
  const auto channel = [](int value) { return static_cast<Colour>(value) & 0xFFu; };
  return channel(red) | (channel(green) << 8) | (channel(blue) << 16);
}

LeadingInteger ReadInteger(std::string_view text) {
  FoldedReader reader(text);
  const bool negative = ReadBlanksAndSign(reader);
  LeadingInteger result;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (; IsDigit(reader.Peek()); reader.Advance()) {
    const int digit = reader.Peek() - '0';
    result.value = result.value > (kMax - digit) / 10 ? kMax : result.value * 10 + digit;
    result.found = true;
  }
  while (IsBlank(reader.Peek())) reader.Advance();
  result.whole = result.found && reader.AtEnd();
  if (negative) result.value = -result.value;
  return result;
}

}  // namespace pelloram

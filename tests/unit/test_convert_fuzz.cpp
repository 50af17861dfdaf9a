// Seeded random inputs for the conversions: any text must be accepted without a crash or
// undefined behaviour (the sanitizer build runs this), and the results must keep the
// properties the rest of the tool relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "services/convert.h"
#include "services/utf8.h"

namespace pelloram {
namespace {

class TextSource {
 public:
  explicit TextSource(std::uint32_t seed) : engine_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }

  std::string RandomBytes() {
    std::string text(Length(), '\0');
    for (char& c : text) c = static_cast<char>(Below(256));
    return text;
  }

  std::string RandomUtf8() {
    static const char32_t kPool[] = {U'a', U'|',  U'\\', U'.',      U'0',  U'9', U' ', U'\0',
                                     U'é', U'表', U'情', U'\u3000', U'１', U'★', U'😀'};
    std::string text;
    for (int i = Length(); i > 0; --i) {
      const bool fromPool = Below(2) == 0;
      utf8::Append(text, fromPool ? kPool[Below(std::size(kPool))] : RandomCodePoint());
    }
    return text;
  }

  // Texts that look like numbers, in the alphabet where atof has no hex, inf or nan forms.
  std::string NumberLike() {
    static const char kAlphabet[] = "0123456789012345678901234.eE+- \t";
    std::string text;
    for (int i = Length(); i > 0; --i) text += kAlphabet[Below(sizeof kAlphabet - 1)];
    return text;
  }

  static std::string FullWidth(const std::string& ascii) {
    std::string text;
    for (const char c : ascii) {
      if (c == ' ') {
        utf8::Append(text, U'\u3000');
      } else if (c > 0x20 && c < 0x7F) {
        utf8::Append(text, U'\uFF01' + static_cast<char32_t>(c - 0x21));
      } else {
        text += c;
      }
    }
    return text;
  }

 private:
  int Length() { return Below(4) == 0 ? Below(64) : Below(12); }

  char32_t RandomCodePoint() {
    for (;;) {
      const auto cp = static_cast<char32_t>(Below(0x110000));
      if (cp < 0xD800 || cp > 0xDFFF) return cp;
    }
  }

  std::mt19937 engine_;
};

// Where characters start, walking forward from the first byte, and the end: the only places
// a cut may fall.
std::vector<bool> Boundaries(const std::string& text) {
  std::vector<bool> boundary(text.size() + 1, false);
  for (std::size_t at = 0; at < text.size(); at += utf8::Decode(text, at).length) {
    boundary[at] = true;
  }
  boundary[text.size()] = true;
  return boundary;
}

void CheckNumber(const std::string& text) {
  const double number = ToNumber(text);
  ASSERT_FALSE(std::isnan(number)) << text;
  const std::int32_t whole = TruncateToInt(number);
  if (std::abs(number) < 2147483648.0) {
    ASSERT_EQ(whole, std::trunc(number)) << text;
  }
  // A captured or counted integer shown in a field reads back as itself.
  ASSERT_EQ(FieldValue(ToText(whole)), whole) << text;
  if (!std::isfinite(number)) return;
  // A derived field shows a number and is read again: that must not drift.
  const std::string shown = ToText(number);
  const double reread = ToNumber(shown);
  ASSERT_LE(std::abs(reread - number),
            std::abs(number) * 1e-12 + std::numeric_limits<double>::denorm_min())
      << text << " shown as " << shown;
  ASSERT_EQ(ToText(reread), shown) << text;
}

void CheckRight(const std::string& text, int n, const std::vector<bool>& boundary) {
  const std::string right = RightText(text, n);
  ASSERT_TRUE(text.ends_with(right));
  // The shortest tail of at least n bytes that starts on a boundary.
  std::size_t cut = text.size() - std::min<std::size_t>(std::max(n, 0), text.size());
  while (!boundary[cut]) --cut;
  ASSERT_EQ(right.size(), text.size() - cut) << text << " / " << n;
}

// Every delimiter that starts and ends on a boundary splits, and no other.
void CheckSplit(const std::string& text, const std::string& delimiter,
                const std::vector<bool>& boundary) {
  const auto parts = SplitText(text, delimiter);
  const auto splitsAt = [&](std::size_t at) {
    return boundary[at] && text.compare(at, delimiter.size(), delimiter) == 0 &&
           boundary[at + delimiter.size()];
  };
  std::size_t at = 0;
  for (const std::string& part : parts) {
    ASSERT_EQ(text.compare(at, part.size(), part), 0) << text;
    for (std::size_t i = at; i + delimiter.size() <= at + part.size(); ++i) {
      ASSERT_FALSE(splitsAt(i)) << text << " at " << i;
    }
    at += part.size();
    if (at == text.size()) break;
    ASSERT_TRUE(splitsAt(at)) << text << " at " << at;
    at += delimiter.size();
  }
  ASSERT_EQ(at, text.size()) << text;  // only a trailing empty part is dropped
}

void CheckText(TextSource& source, const std::string& text) {
  ASSERT_NO_FATAL_FAILURE(CheckNumber(text));
  const std::vector<bool> boundary = Boundaries(text);
  const int n = source.Below(static_cast<int>(text.size()) + 3) - 1;
  ASSERT_NO_FATAL_FAILURE(CheckRight(text, n, boundary));
  // Whole characters, a continuation byte, and the first byte of "表".
  for (const std::string delimiter : {"|", "表", "\xA1", "\xE8"}) {
    ASSERT_NO_FATAL_FAILURE(CheckSplit(text, delimiter, boundary));
  }
}

void CheckNumberLike(const std::string& ascii) {
  // The C library is the reference for ASCII input; the tests run in the "C" locale.
  const double expected = std::strtod(ascii.c_str(), nullptr);
  ASSERT_EQ(ToNumber(ascii), expected) << '"' << ascii << '"';
  ASSERT_EQ(ToNumber(TextSource::FullWidth(ascii)), expected) << '"' << ascii << '"';
}

TEST(ConvertFuzz, AnyTextKeepsTheProperties) {
  TextSource source(20240611);
  for (int i = 0; i < 120000; ++i) {
    const int kind = i % 3;
    const std::string text = kind == 0   ? source.RandomBytes()
                             : kind == 1 ? source.RandomUtf8()
                                         : source.NumberLike();
    ASSERT_NO_FATAL_FAILURE(CheckText(source, text));
    if (kind == 2) {
      ASSERT_NO_FATAL_FAILURE(CheckNumberLike(text));
    }
  }
}

TEST(ConvertFuzz, LargeInputs) {
  const std::string digits(1 << 20, '9');
  EXPECT_EQ(ToNumber(digits), std::numeric_limits<double>::infinity());
  EXPECT_EQ(ToNumber("0." + std::string(1 << 20, '0') + "1e1048570"), 1e-7);
  EXPECT_EQ(ToNumber("1" + std::string(1 << 20, '0') + "e-1048570"), 1e6);
  EXPECT_EQ(ToNumber(std::string(1 << 20, ' ') + "5"), 5.0);
  EXPECT_EQ(ToNumber("1e" + digits), std::numeric_limits<double>::infinity());
  EXPECT_EQ(TruncateToInt(ToNumber(digits)), -1);

  std::string mixed;
  while (mixed.size() < (1u << 20)) mixed += "表|a\xFF|";
  const auto parts = SplitText(mixed, "|");
  EXPECT_EQ(parts.size(), mixed.size() / 7 * 2);
  const std::size_t right = RightText(mixed, 1 << 19).size();
  EXPECT_GE(right, std::size_t{1} << 19);
  EXPECT_LE(right, (std::size_t{1} << 19) + 2);
}

}  // namespace
}  // namespace pelloram

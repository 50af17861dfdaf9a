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
      AppendUtf8(text, fromPool ? kPool[Below(std::size(kPool))] : RandomCodePoint());
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
        AppendUtf8(text, U'\u3000');
      } else if (c > 0x20 && c < 0x7F) {
        AppendUtf8(text, U'\uFF01' + static_cast<char32_t>(c - 0x21));
      } else {
        text += c;
      }
    }
    return text;
  }

  static void AppendUtf8(std::string& text, char32_t cp) {
    const auto put = [&](unsigned value) { text += static_cast<char>(value); };
    if (cp < 0x80) {
      put(cp);
    } else if (cp < 0x800) {
      put(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
      put(0xE0 | (cp >> 12));
      put(0x80 | ((cp >> 6) & 0x3F));
    } else {
      put(0xF0 | (cp >> 18));
      put(0x80 | ((cp >> 12) & 0x3F));
      put(0x80 | ((cp >> 6) & 0x3F));
    }
    if (cp >= 0x80) put(0x80 | (cp & 0x3F));
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

bool IsValidUtf8(const std::string& text) {
  // Decode by the same rules as the encoder above: well-formed and shortest form.
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80   ? 1
                       : lead < 0xC2 ? 0
                       : lead < 0xE0 ? 2
                       : lead < 0xF0 ? 3
                       : lead < 0xF5 ? 4
                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto byte = static_cast<unsigned char>(text[i + k]);
      if ((byte & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (byte & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string Join(const std::vector<std::string>& parts, const std::string& delimiter) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) text += (i ? delimiter : "") + parts[i];
  return text;
}

void CheckText(TextSource& source, const std::string& text, bool valid) {
  const double number = ToNumber(text);
  ASSERT_FALSE(std::isnan(number)) << text;
  TruncateToInt(number);
  ToText(number);

  const int n = source.Below(static_cast<int>(text.size()) + 3) - 1;
  const std::string right = RightText(text, n);
  ASSERT_TRUE(text.ends_with(right));
  ASSERT_GE(right.size(), std::min<std::size_t>(std::max(n, 0), text.size()));
  ASSERT_LE(right.size(), static_cast<std::size_t>(std::max(n, 0)) + 3);
  if (valid) {
    ASSERT_TRUE(IsValidUtf8(right)) << text << " / " << n;
  }

  for (const std::string delimiter : {"|", "表", "\xA1"}) {
    const auto parts = SplitText(text, delimiter);
    const std::string joined = Join(parts, delimiter);
    ASSERT_TRUE(joined == text || joined + delimiter == text) << text;
    for (const auto& part : parts) {
      if (valid) {
        ASSERT_TRUE(IsValidUtf8(part)) << text;
      }
    }
    const int limit = source.Below(4) + 1;
    const auto limited = SplitText(text, delimiter, limit);
    ASSERT_LE(limited.size(), static_cast<std::size_t>(limit));
    ASSERT_LE(limited.size(), parts.size());
    ASSERT_TRUE(std::equal(limited.begin(), limited.end(), parts.begin()));
  }
}

void CheckNumberLike(const std::string& ascii) {
  // The C library is the reference for ASCII input; the tests run in the "C" locale.
  const double expected = std::strtod(ascii.c_str(), nullptr);
  ASSERT_EQ(ToNumber(ascii), expected) << '"' << ascii << '"';
  ASSERT_EQ(ToNumber(TextSource::FullWidth(ascii)), expected) << '"' << ascii << '"';
}

TEST(ConvertFuzz, AnyTextIsAccepted) {
  TextSource source(20240611);
  for (int i = 0; i < 120000; ++i) {
    const int kind = i % 3;
    const std::string text = kind == 0   ? source.RandomBytes()
                             : kind == 1 ? source.RandomUtf8()
                                         : source.NumberLike();
    ASSERT_NO_FATAL_FAILURE(CheckText(source, text, kind != 0));
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

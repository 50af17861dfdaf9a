// The UTF-8 codec through its two users at the boundaries: the UTF-16 pair and JSON quoting.
// Expected forms are written out byte by byte, never computed.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "services/json_quote.h"
#include "services/utf16.h"
#include "services/utf8.h"
#include "tests/support/case_name.h"

namespace pelloram {
namespace {

using testing::TextCaseName;

const std::u16string kBad = u"\uFFFD";

struct Utf16Case {
  std::string utf8;
  std::u16string utf16;
};
void PrintTo(const Utf16Case& c, std::ostream* out) {
  *out << '"';
  for (const char byte : c.utf8) *out << "\\x" << std::hex << (static_cast<unsigned>(byte) & 0xFF);
  *out << '"';
}
std::string NameOfUtf16(const ::testing::TestParamInfo<Utf16Case>& p) {
  return TextCaseName(p.param.utf8);
}

class WellFormedUtf8 : public ::testing::TestWithParam<Utf16Case> {};

TEST_P(WellFormedUtf8, ConvertsToUtf16AndBackUnchanged) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(Utf16ToUtf8(GetParam().utf16), GetParam().utf8);
}

// The first and last code point of each sequence length, and one in between.
INSTANTIATE_TEST_SUITE_P(
    EachLength, WellFormedUtf8,
    ::testing::Values(Utf16Case{"", u""}, Utf16Case{std::string(1, '\0'), std::u16string(1, 0)},
                      Utf16Case{"\x7F", u"\x7F"}, Utf16Case{"\xC2\x80", u"\x80"},
                      Utf16Case{"\xC3\xA9", u"\xE9"}, Utf16Case{"\xDF\xBF", u"\x7FF"},
                      Utf16Case{"\xE0\xA0\x80", u"\x800"}, Utf16Case{"\xE8\xA1\xA8", u"\x8868"},
                      Utf16Case{"\xED\x9F\xBF", u"\xD7FF"}, Utf16Case{"\xEE\x80\x80", u"\xE000"},
                      Utf16Case{"\xEF\xBF\xBD", u"\xFFFD"}, Utf16Case{"\xEF\xBF\xBF", u"\xFFFF"},
                      Utf16Case{"\xF0\x90\x80\x80", u"\xD800\xDC00"},
                      Utf16Case{"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
                      Utf16Case{"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
                      Utf16Case{"a\xE8\xA1\xA8\xF0\x9F\x98\x80z", u"a\x8868\xD83D\xDE00z"}),
    NameOfUtf16);

class MalformedUtf8 : public ::testing::TestWithParam<Utf16Case> {};

// One U+FFFD per bad byte, and decoding goes on at the very next byte.
TEST_P(MalformedUtf8, BecomesOneReplacementPerBadByte) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, MalformedUtf8,
    ::testing::Values(Utf16Case{"\x80", kBad}, Utf16Case{"\xBF", kBad}, Utf16Case{"\xFF", kBad},
                      Utf16Case{"\xC2", kBad},                          // cut short at the end
                      Utf16Case{"\xE8\xA1", kBad + kBad},               // cut short at the end
                      Utf16Case{"\xE8\xA1z", kBad + kBad + u"z"},       // cut short by ASCII
                      Utf16Case{"\xE8\xE8\xA1\xA8", kBad + u"\x8868"},  // by a new character
                      Utf16Case{"\xC0\xAF", kBad + kBad},               // overlong "/"
                      Utf16Case{"\xC1\xBF", kBad + kBad},
                      Utf16Case{"\xE0\x9F\xBF", kBad + kBad + kBad},  // overlong
                      Utf16Case{"\xF0\x8F\xBF\xBF", kBad + kBad + kBad + kBad},
                      Utf16Case{"\xED\xA0\x80", kBad + kBad + kBad},  // an encoded surrogate
                      Utf16Case{"\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},  // past U+10FFFF
                      Utf16Case{"\xF5\x80\x80\x80", kBad + kBad + kBad + kBad},
                      Utf16Case{"x\xE8\xA1y\x80z\xC0\xAF",
                                u"x" + kBad + kBad + u"y" + kBad + u"z" + kBad + kBad}),
    NameOfUtf16);

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacements) {
  const std::string bad = "\xEF\xBF\xBD";
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), bad);
  EXPECT_EQ(Utf16ToUtf8(u"\xDFFF"), bad);
  EXPECT_EQ(Utf16ToUtf8(u"\xD83Dz"), bad + "z");
  EXPECT_EQ(Utf16ToUtf8(u"\xDE00\xD83D"), bad + bad);  // the wrong way round
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xD83D\xDE00"), bad + "\xF0\x9F\x98\x80");
}

TEST(Utf8Append, WritesReplacementForWhatIsNoScalarValue) {
  for (const char32_t invalid : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
    std::string out = "a";
    utf8::Append(out, invalid);
    EXPECT_EQ(out, "a\xEF\xBF\xBD") << static_cast<unsigned>(invalid);
  }
}

struct QuoteCase {
  std::string text;
  std::string quoted;
};
void PrintTo(const QuoteCase& c, std::ostream* out) { *out << c.quoted; }
std::string NameOfQuote(const ::testing::TestParamInfo<QuoteCase>& p) {
  return TextCaseName(p.param.text);
}

class JsonQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(JsonQuoting, GivesOneValidStringLiteral) {
  EXPECT_EQ(JsonQuote(GetParam().text), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonQuoting,
    ::testing::Values(QuoteCase{"", R"("")"}, QuoteCase{"sticker01.gif", R"("sticker01.gif")"},
                      QuoteCase{R"(C:\表情\"引号"/a.gif)", R"("C:\\表情\\\"引号\"/a.gif")"},
                      QuoteCase{"\n\r\t", R"("\n\r\t")"},
                      QuoteCase{std::string("\0\x01\x1F\x7F", 4), R"("\u0000\u0001\u001f\u007f")"},
                      QuoteCase{"表情😀 é", R"("表情😀 é")"},
                      // Bytes that are not UTF-8 never reach the line.
                      QuoteCase{"x\xE8\xA1y\x80z\xC0\xAF",
                                "\"x\uFFFD\uFFFDy\uFFFDz\uFFFD\uFFFD\""}),
    NameOfQuote);

}  // namespace
}  // namespace pelloram

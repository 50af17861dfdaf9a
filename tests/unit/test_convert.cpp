#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "services/convert.h"
#include "tests/support/case_name.h"

namespace pelloram {
namespace {

using Parts = std::vector<std::string>;
using testing::TextCaseName;
constexpr double kInf = std::numeric_limits<double>::infinity();

struct NumberCase {
  std::string text;
  double expected;
};
void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
std::string NameOfNumber(const ::testing::TestParamInfo<NumberCase>& p) {
  return TextCaseName(p.param.text);
}

class ToNumberReads : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ToNumberReads, TheLeadingNumber) {
  EXPECT_EQ(ToNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(LikeAtof, ToNumberReads,
                         ::testing::Values(NumberCase{"12abc", 12}, NumberCase{" 7", 7},
                                           NumberCase{"\t\n\v\f\r 7", 7}, NumberCase{"12.7", 12.7},
                                           NumberCase{"-4.5x", -4.5}, NumberCase{"+8", 8},
                                           NumberCase{".5", 0.5}, NumberCase{"5.", 5},
                                           NumberCase{"1.5e3", 1500}, NumberCase{"25E-1", 2.5},
                                           NumberCase{"007", 7}, NumberCase{"1 2", 1},
                                           // correctly rounded, not accumulated
                                           NumberCase{"0.1", 0.1}),
                         NameOfNumber);

// An incomplete exponent is left unread.
INSTANTIATE_TEST_SUITE_P(IncompleteExponent, ToNumberReads,
                         ::testing::Values(NumberCase{"1e", 1}, NumberCase{"1e+", 1},
                                           NumberCase{"2E-x", 2}, NumberCase{"3e 4", 3}),
                         NameOfNumber);

// Unlike atof, infinity, NaN and hexadecimal forms are no numbers: a field must never hold NaN.
INSTANTIATE_TEST_SUITE_P(
    NotANumber, ToNumberReads,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"-", 0},
                      NumberCase{"+", 0}, NumberCase{".", 0}, NumberCase{"-.", 0},
                      NumberCase{" ", 0}, NumberCase{"e5", 0}, NumberCase{"--1", 0},
                      NumberCase{"- 1", 0}, NumberCase{"x12", 0}, NumberCase{"nan", 0},
                      NumberCase{"-nan", 0}, NumberCase{"inf", 0}, NumberCase{"-inf", 0},
                      NumberCase{"Infinity", 0}, NumberCase{"ｉｎｆ", 0},
                      NumberCase{"0x10", 0}),  // the 0 before the x
    NameOfNumber);

INSTANTIATE_TEST_SUITE_P(
    FullWidthForms, ToNumberReads,
    ::testing::Values(NumberCase{"１２３", 123}, NumberCase{"－１２．５", -12.5},
                      NumberCase{"＋３ｅ２", 300},
                      NumberCase{"\u3000\u30009", 9},  // ideographic spaces are blanks
                      NumberCase{"1２3", 123},         // mixed widths read as one number
                      NumberCase{"４２个", 42},
                      NumberCase{"★1", 0},  // a star folds to "*", which is no number
                      NumberCase{"表1", 0},
                      // U+FF00 sits just below the folded block; it must not turn into a blank.
                      NumberCase{"\xEF\xBC\x80"
                                 "5",
                                 0}),
    NameOfNumber);

INSTANTIATE_TEST_SUITE_P(OutOfRange, ToNumberReads,
                         ::testing::Values(NumberCase{"1e999", kInf}, NumberCase{"-1e999", -kInf},
                                           NumberCase{"1e-999", 0},
                                           NumberCase{"0e999999999999999999999999", 0},
                                           NumberCase{"1e99999999999999999999999999", kInf},
                                           NumberCase{"1e-99999999999999999999999999", 0},
                                           NumberCase{"0.0000000000000000000000001e999", kInf},
                                           // subnormal, not out of range
                                           NumberCase{"100000000000000000000e-330", 1e-310},
                                           NumberCase{"99999999999999999999", 1e20}),
                         NameOfNumber);

INSTANTIATE_TEST_SUITE_P(StopsAtInvalidUtf8AndNul, ToNumberReads,
                         ::testing::Values(NumberCase{"12\xFF"
                                                      "3",
                                                      12},
                                           NumberCase{"\xFF"
                                                      "3",
                                                      0},
                                           NumberCase{std::string("4\0"
                                                                  "5",
                                                                  3),
                                                      4},
                                           NumberCase{"\xEF\xBC", 0},  // truncated full-width form
                                           // the complete one after it folds
                                           NumberCase{"9\xEF\xBC\x91", 91}),
                         NameOfNumber);

TEST(ConvertTruncate, TowardZeroKeepingLowBits) {
  EXPECT_EQ(TruncateToInt(3.9), 3);
  EXPECT_EQ(TruncateToInt(-3.9), -3);
  EXPECT_EQ(TruncateToInt(2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInt(4294967296.0 + 5), 5);
  EXPECT_EQ(TruncateToInt(-4294967297.0), -1);
  EXPECT_EQ(FieldValue("12.7"), 12);
  EXPECT_EQ(FieldValue(""), 0);
}

TEST(ConvertTruncate, NanAndOutOfRangeSaturateFirst) {
  EXPECT_EQ(TruncateToInt(std::nan("")), 0);
  // INT64_MAX keeps 0xFFFFFFFF, INT64_MIN keeps 0.
  EXPECT_EQ(TruncateToInt(kInf), -1);
  EXPECT_EQ(TruncateToInt(1e300), -1);
  EXPECT_EQ(TruncateToInt(9223372036854775808.0), -1);
  EXPECT_EQ(TruncateToInt(-kInf), 0);
  EXPECT_EQ(TruncateToInt(-1e300), 0);
  EXPECT_EQ(TruncateToInt(-9223372036854775808.0), 0);
}

TEST(ConvertToText, Integers) {
  EXPECT_EQ(ToText(std::int32_t{-5}), "-5");
  EXPECT_EQ(ToText(std::int32_t{0}), "0");
  EXPECT_EQ(ToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(ToText(std::uint8_t{200}), "200");
}

TEST(ConvertToText, FloatingPointLikePrintfG) {
  EXPECT_EQ(ToText(4.0), "4");
  EXPECT_EQ(ToText(2.5), "2.5");
  EXPECT_EQ(ToText(-0.0), "0");
  EXPECT_EQ(ToText(0.1), "0.1");
  EXPECT_EQ(ToText(1.0 / 3), "0.3333333333333");
  EXPECT_EQ(ToText(1e13), "1e+13");
  EXPECT_EQ(ToText(1234567890123.0), "1234567890123");
  EXPECT_EQ(ToText(1.5e-7), "1.5e-07");
  EXPECT_EQ(ToText(kInf), "inf");
}

TEST(ConvertToText, FieldRoundTrip) {
  // What the field rules do: text to number, arithmetic, back to text.
  EXPECT_EQ(ToText(ToNumber("１００") + 30), "130");
  EXPECT_EQ(ToText(ToNumber("12.5") + 15), "27.5");
  EXPECT_EQ(ToText(ToNumber("") + 15), "15");
}

struct RightCase {
  std::string text;
  std::int32_t n;
  std::string expected;
};
void PrintTo(const RightCase& c, std::ostream* out) { *out << '"' << c.text << "\", " << c.n; }
std::string NameOfRight(const ::testing::TestParamInfo<RightCase>& p) {
  return TextCaseName(p.param.text) + "_" + TextCaseName(std::to_string(p.param.n));
}

class TextRight : public ::testing::TestWithParam<RightCase> {};

TEST_P(TextRight, TakesTheLastBytesWithoutSplittingACharacter) {
  EXPECT_EQ(RightText(GetParam().text, GetParam().n), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bytes, TextRight,
                         ::testing::Values(RightCase{"C:\\", 1, "\\"}, RightCase{"abc", 5, "abc"},
                                           RightCase{"abc", 3, "abc"}, RightCase{"abc", 0, ""},
                                           RightCase{"abc", -2, ""}, RightCase{"", 1, ""},
                                           RightCase{"D:\\表情\\", 1, "\\"}),
                         NameOfRight);

INSTANTIATE_TEST_SUITE_P(
    WidenedToACharacter, TextRight,
    ::testing::Values(RightCase{"a表", 1, "表"}, RightCase{"a表", 2, "表"},
                      RightCase{"a表", 3, "表"}, RightCase{"a表", 4, "a表"},
                      RightCase{"x😀", 3, "😀"},
                      // Bad bytes are characters of their own: no widening past them.
                      RightCase{"ab\x80\x80", 1, "\x80"}, RightCase{"\xE8\xA1", 1, "\xA1"},
                      // Overlong forms and encoded surrogates are not characters either.
                      RightCase{"a\xE0\x80\xAF", 1, "\xAF"}, RightCase{"a\xED\xA0\x80", 1, "\x80"},
                      RightCase{"a\xF4\x90\x80\x80", 1, "\x80"}),
    NameOfRight);

struct SplitCase {
  std::string text;
  std::string delimiter;
  Parts expected;
};
void PrintTo(const SplitCase& c, std::ostream* out) {
  *out << '"' << c.text << "\" by \"" << c.delimiter << '"';
}
std::string NameOfSplit(const ::testing::TestParamInfo<SplitCase>& p) {
  return TextCaseName(p.param.text) + "_by_" + TextCaseName(p.param.delimiter);
}

class TextSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(TextSplit, Parts) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitText(c.text, c.delimiter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    InnerEmptyPartsKeptButNotATrailingOne, TextSplit,
    ::testing::Values(SplitCase{"a||b", "|", {"a", "", "b"}}, SplitCase{"a|", "|", {"a"}},
                      SplitCase{"|a", "|", {"", "a"}}, SplitCase{"|", "|", {""}},
                      SplitCase{"a||", "|", {"a", ""}}, SplitCase{"*.gif", "|", {"*.gif"}},
                      SplitCase{"", "|", {}}, SplitCase{"a, b,c", ", ", {"a", "b,c"}}),
    NameOfSplit);

INSTANTIATE_TEST_SUITE_P(EmptyDelimiter, TextSplit,
                         ::testing::Values(SplitCase{"abc", "", {"abc"}}, SplitCase{"", "", {}}),
                         NameOfSplit);

// "表" is E8 A1 A8, "情" is E6 83 85: byte pieces of them must not split.
INSTANTIATE_TEST_SUITE_P(
    DelimitersOnlyAtCharacterBoundaries, TextSplit,
    ::testing::Values(SplitCase{"表情", "\xA1", {"表情"}}, SplitCase{"表情", "\xA8\xE6", {"表情"}},
                      SplitCase{"表情", "\xE8", {"表情"}},  // starts on a boundary, ends inside
                      SplitCase{"表|情", "|", {"表", "情"}}, SplitCase{"a表b表", "表", {"a", "b"}},
                      SplitCase{"a\xFF|b", "|", {"a\xFF", "b"}}),
    NameOfSplit);

TEST(Random, StaysInRangeAndReachesBothBounds) {
  RandomGenerator generator;
  SeedRandom(generator, 42);
  std::set<std::int32_t> seen;
  for (int i = 0; i < 20000; ++i) {
    const std::int32_t value = RandomInRange(generator, 0, 255);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 255);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 256u);
}

TEST(Random, BoundsAreClampedAndSwapped) {
  RandomGenerator generator;
  std::set<std::int32_t> seen;
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t value = RandomInRange(generator, 5, -3);  // counts as 0..5
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 5);
    seen.insert(value);
  }
  EXPECT_EQ(seen.size(), 6u);
  EXPECT_EQ(RandomInRange(generator, 7, 7), 7);
  EXPECT_EQ(RandomInRange(generator, -4, -9), 0);
  for (int i = 0; i < 1000; ++i) {
    ASSERT_GE(RandomInRange(generator, 0, std::numeric_limits<std::int32_t>::max()), 0);
    ASSERT_GE(RandomInRange(generator, std::numeric_limits<std::int32_t>::max(), 1), 1);
  }
}

TEST(Random, SeedRestartsTheSequence) {
  RandomGenerator first;
  RandomGenerator second;
  SeedRandom(first, 1234);
  RandomInRange(second, 0, 100);
  SeedRandom(second, 1234);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(RandomInRange(first, 0, 1000000), RandomInRange(second, 0, 1000000));
  }
}

TEST(Random, ClockSeedsDifferWithinOneTick) {
  RandomGenerator generator;
  const auto draw = [&] {
    std::vector<std::int32_t> values;
    for (int i = 0; i < 4; ++i) values.push_back(RandomInRange(generator, 0, 255));
    return values;
  };
  SeedRandomFromClock(generator, 5000);
  const auto first = draw();
  SeedRandomFromClock(generator, 5000);
  EXPECT_NE(draw(), first);
}

TEST(ConvertColour, PacksRedGreenBlue) {
  EXPECT_EQ(ColorFromRgb(0, 0, 0), 0u);
  EXPECT_EQ(ColorFromRgb(255, 0, 0), 0x0000FFu);
  EXPECT_EQ(ColorFromRgb(0, 255, 0), 0x00FF00u);
  EXPECT_EQ(ColorFromRgb(0, 0, 255), 0xFF0000u);
  EXPECT_EQ(ColorFromRgb(1, 2, 3), 0x030201u);
  // Out-of-range channels keep their low 8 bits instead of spilling into the next one.
  EXPECT_EQ(ColorFromRgb(256 + 1, -1, 0x1FF), 0xFFFF01u);
}

}  // namespace
}  // namespace pelloram

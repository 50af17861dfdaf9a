#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "services/convert.h"

namespace pelloram {
namespace {

using Parts = std::vector<std::string>;
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ConvertToNumber, ReadsTheLeadingNumberLikeAtof) {
  EXPECT_EQ(ToNumber("12abc"), 12.0);
  EXPECT_EQ(ToNumber(" 7"), 7.0);
  EXPECT_EQ(ToNumber("\t\n\v\f\r 7"), 7.0);
  EXPECT_EQ(ToNumber("12.7"), 12.7);
  EXPECT_EQ(ToNumber("3.9"), 3.9);
  EXPECT_EQ(ToNumber("-4.5x"), -4.5);
  EXPECT_EQ(ToNumber("+8"), 8.0);
  EXPECT_EQ(ToNumber(".5"), 0.5);
  EXPECT_EQ(ToNumber("5."), 5.0);
  EXPECT_EQ(ToNumber("1.5e3"), 1500.0);
  EXPECT_EQ(ToNumber("25E-1"), 2.5);
  EXPECT_EQ(ToNumber("007"), 7.0);
  EXPECT_EQ(ToNumber("1 2"), 1.0);
  EXPECT_EQ(ToNumber("0.1"), 0.1);  // correctly rounded, not accumulated
}

TEST(ConvertToNumber, IncompleteExponentIsLeftUnread) {
  EXPECT_EQ(ToNumber("1e"), 1.0);
  EXPECT_EQ(ToNumber("1e+"), 1.0);
  EXPECT_EQ(ToNumber("2E-x"), 2.0);
  EXPECT_EQ(ToNumber("3e 4"), 3.0);
}

TEST(ConvertToNumber, TextThatIsNotANumberGivesZero) {
  for (const char* text : {"", "abc", "-", "+", ".", "-.", " ", "e5", "--1", "- 1", "x12"}) {
    EXPECT_EQ(ToNumber(text), 0.0) << '"' << text << '"';
  }
}

TEST(ConvertToNumber, FoldsFullWidthForms) {
  EXPECT_EQ(ToNumber("１２３"), 123.0);
  EXPECT_EQ(ToNumber("－１２．５"), -12.5);
  EXPECT_EQ(ToNumber("＋３ｅ２"), 300.0);
  EXPECT_EQ(ToNumber("\u3000\u30009"), 9.0);  // ideographic spaces are blanks
  EXPECT_EQ(ToNumber("1２3"), 123.0);         // mixed widths read as one number
  EXPECT_EQ(ToNumber("４２个"), 42.0);
  EXPECT_EQ(ToNumber("★1"), 0.0);  // a star folds to "*", which is no number
  EXPECT_EQ(ToNumber("表1"), 0.0);
  // U+FF00 sits just below the folded block; it must not turn into a blank.
  EXPECT_EQ(ToNumber("\xEF\xBC\x80"
                     "5"),
            0.0);
}

TEST(ConvertToNumber, InfinityAndNanAreNotNumbers) {
  for (const char* text : {"nan", "NAN", "-nan", "inf", "-inf", "Infinity", "0x10", "ｉｎｆ"}) {
    const double value = ToNumber(text);
    EXPECT_FALSE(std::isnan(value)) << text;
    EXPECT_TRUE(std::isfinite(value)) << text;
  }
  EXPECT_EQ(ToNumber("0x10"), 0.0);  // the 0 before the x
}

TEST(ConvertToNumber, OverflowAndUnderflowAreDefined) {
  EXPECT_EQ(ToNumber("1e999"), kInf);
  EXPECT_EQ(ToNumber("-1e999"), -kInf);
  EXPECT_EQ(ToNumber("1e-999"), 0.0);
  EXPECT_EQ(ToNumber("0e999999999999999999999999"), 0.0);
  EXPECT_EQ(ToNumber("1e99999999999999999999999999"), kInf);
  EXPECT_EQ(ToNumber("1e-99999999999999999999999999"), 0.0);
  EXPECT_EQ(ToNumber("0.0000000000000000000000001e999"), kInf);
  EXPECT_EQ(ToNumber("100000000000000000000e-330"), 1e-310);  // subnormal, not out of range
  EXPECT_EQ(ToNumber("99999999999999999999"), 1e20);
}

TEST(ConvertToNumber, StopsAtInvalidUtf8AndEmbeddedNul) {
  EXPECT_EQ(ToNumber("12\xFF"
                     "3"),
            12.0);
  EXPECT_EQ(ToNumber("\xFF"
                     "3"),
            0.0);
  EXPECT_EQ(ToNumber(std::string("4\0"
                                 "5",
                                 3)),
            4.0);
  EXPECT_EQ(ToNumber("\xEF\xBC"), 0.0);        // truncated full-width form
  EXPECT_EQ(ToNumber("9\xEF\xBC\x91"), 91.0);  // the complete one after it folds
}

TEST(ConvertTruncate, TowardZeroKeepingLowBits) {
  EXPECT_EQ(TruncateToInt(3.9), 3);
  EXPECT_EQ(TruncateToInt(-3.9), -3);
  EXPECT_EQ(TruncateToInt(ToNumber("12.7")), 12);
  EXPECT_EQ(TruncateToInt(ToNumber("")), 0);
  EXPECT_EQ(TruncateToInt(2147483648.0), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncateToInt(4294967296.0 + 5), 5);
  EXPECT_EQ(TruncateToInt(-4294967297.0), -1);
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
  EXPECT_EQ(ToText(3.0), "3");
  EXPECT_EQ(ToText(2.5), "2.5");
  EXPECT_EQ(ToText(-0.0), "0");
  EXPECT_EQ(ToText(0.1), "0.1");
  EXPECT_EQ(ToText(1.0 / 3), "0.3333333333333");
  EXPECT_EQ(ToText(1e13), "1e+13");
  EXPECT_EQ(ToText(1234567890123.0), "1234567890123");
  EXPECT_EQ(ToText(1.5e-7), "1.5e-07");
  EXPECT_EQ(ToText(2.5f), "2.5");
  EXPECT_EQ(ToText(1.0f / 3), "0.333333");
  EXPECT_EQ(ToText(1234567.0f), "1.23457e+06");
  EXPECT_EQ(ToText(kInf), "inf");
}

TEST(ConvertToText, TruthValuesAndTexts) {
  EXPECT_EQ(ToText(true), "真");
  EXPECT_EQ(ToText(false), "假");
  EXPECT_EQ(ToText("abc"), "abc");  // a literal must not decay to bool
  EXPECT_EQ(ToText(static_cast<const char*>(nullptr)), "");
  EXPECT_EQ(ToText(std::string("表情")), "表情");
}

TEST(ConvertToText, FieldRoundTrip) {
  // What the field rules do: text to number, arithmetic, back to text.
  EXPECT_EQ(ToText(ToNumber("１００") + 30), "130");
  EXPECT_EQ(ToText(ToNumber("12.5") + 15), "27.5");
  EXPECT_EQ(ToText(ToNumber("") + 15), "15");
}

TEST(TextLength, CountsBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("abc"), 3);
  EXPECT_EQ(TextLength("表情"), 6);
}

TEST(TextRight, TakesTheLastBytes) {
  EXPECT_EQ(RightText("C:\\", 1), "\\");
  EXPECT_EQ(RightText("abc", 5), "abc");
  EXPECT_EQ(RightText("abc", 3), "abc");
  EXPECT_EQ(RightText("abc", 0), "");
  EXPECT_EQ(RightText("abc", -2), "");
  EXPECT_EQ(RightText("", 1), "");
  EXPECT_EQ(RightText("D:\\表情\\", 1), "\\");
}

TEST(TextRight, NeverSplitsACharacter) {
  EXPECT_EQ(RightText("a表", 1), "表");
  EXPECT_EQ(RightText("a表", 2), "表");
  EXPECT_EQ(RightText("a表", 3), "表");
  EXPECT_EQ(RightText("a表", 4), "a表");
  EXPECT_EQ(RightText("x😀", 3), "😀");
  // Bad bytes are characters of their own: no widening past them.
  EXPECT_EQ(RightText("ab\x80\x80", 1), "\x80");
  EXPECT_EQ(RightText("\xE8\xA1", 1), "\xA1");
  // Overlong forms and encoded surrogates are not characters either.
  EXPECT_EQ(RightText("a\xE0\x80\xAF", 1), "\xAF");
  EXPECT_EQ(RightText("a\xED\xA0\x80", 1), "\x80");
  EXPECT_EQ(RightText("a\xF4\x90\x80\x80", 1), "\x80");
}

TEST(TextSplit, KeepsInnerEmptyPartsButNotATrailingOne) {
  EXPECT_EQ(SplitText("a||b", "|"), (Parts{"a", "", "b"}));
  EXPECT_EQ(SplitText("a|", "|"), (Parts{"a"}));
  EXPECT_EQ(SplitText("|a", "|"), (Parts{"", "a"}));
  EXPECT_EQ(SplitText("|", "|"), (Parts{""}));
  EXPECT_EQ(SplitText("a||", "|"), (Parts{"a", ""}));
  EXPECT_EQ(SplitText("*.gif", "|"), (Parts{"*.gif"}));
  EXPECT_EQ(SplitText("", "|"), Parts{});
  EXPECT_EQ(SplitText("a, b,c", ", "), (Parts{"a", "b,c"}));
}

TEST(TextSplit, LimitAndEmptyDelimiter) {
  EXPECT_EQ(SplitText("a|b|c", "|", 2), (Parts{"a", "b"}));
  EXPECT_EQ(SplitText("a|b|c", "|", 1), (Parts{"a"}));
  EXPECT_EQ(SplitText("a|b|c", "|", 3), (Parts{"a", "b", "c"}));
  EXPECT_EQ(SplitText("a|b|c", "|", -1), (Parts{"a", "b", "c"}));
  EXPECT_EQ(SplitText("abc", ""), (Parts{"abc"}));
  EXPECT_EQ(SplitText("", ""), Parts{});
}

TEST(TextSplit, DelimitersOnlyAtCharacterBoundaries) {
  // "表" is E8 A1 A8, "情" is E6 83 85: byte pieces of them must not split.
  EXPECT_EQ(SplitText("表情", "\xA1"), (Parts{"表情"}));
  EXPECT_EQ(SplitText("表情", "\xA8\xE6"), (Parts{"表情"}));
  EXPECT_EQ(SplitText("表情", "\xE8"), (Parts{"表情"}));  // starts on a boundary, ends inside
  EXPECT_EQ(SplitText("表|情", "|"), (Parts{"表", "情"}));
  EXPECT_EQ(SplitText("a表b表", "表"), (Parts{"a", "b"}));
  EXPECT_EQ(SplitText("a\xFF|b", "|"), (Parts{"a\xFF", "b"}));
}

TEST(TextCase, UpperTouchesAsciiLettersOnly) {
  EXPECT_EQ(ToUpper("abc.gif"), "ABC.GIF");
  EXPECT_EQ(ToUpper("ａｂ表z"), "ａｂ表Z");
  EXPECT_EQ(ToUpper("\xE8\xA1\xA8"), "\xE8\xA1\xA8");
}

TEST(TextCompare, OrdersByByteAndCodePoint) {
  EXPECT_EQ(CompareText("abc", "abc", true), 0);
  EXPECT_LT(CompareText("abc", "abd", true), 0);
  EXPECT_GT(CompareText("abd", "abc", true), 0);
  EXPECT_LT(CompareText("ab", "abc", true), 0);
  EXPECT_LT(CompareText("", "a", true), 0);
  EXPECT_LT(CompareText("Z", "a", true), 0);
  EXPECT_LT(CompareText("z", "表", true), 0);  // non-ASCII after ASCII, unsigned bytes
  EXPECT_LT(CompareText("\u00FF", "\u0100", true), 0);
  EXPECT_LT(CompareText("\uFFFF", "😀", true), 0);
}

TEST(TextCompare, CaseInsensitiveOnlyForAsciiLetters) {
  EXPECT_EQ(CompareText("ABC.gif", "abc.GIF", false), 0);
  EXPECT_NE(CompareText("ABC", "abc", true), 0);
  EXPECT_NE(CompareText("ａ", "Ａ", false), 0);
  EXPECT_LT(CompareText("a", "B", false), 0);
  EXPECT_LT(CompareText("B", "c", false), 0);
}

TEST(ConvertIntegerDivide, TruncatesTowardZero) {
  EXPECT_EQ(IntegerDivide(7, 2), 3.0);
  EXPECT_EQ(IntegerDivide(-7, 2), -3.0);
  EXPECT_EQ(IntegerDivide(6, 2), 3.0);
  EXPECT_EQ(IntegerDivide(1, 2), 0.0);
  EXPECT_EQ(IntegerDivide(7, 0), 0.0);
  EXPECT_EQ(IntegerDivide(0, 0), 0.0);
}

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

// Mode selections, page changes, field rules, the integer box and the flashing radio,
// through the same event table the real window uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>

#include "app/decorations.h"
#include "app/field_rules.h"
#include "app/form.h"
#include "app/startup.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/job_points.h"

namespace pelloram::testing {
namespace {

std::vector<Control> AllBoxes() {
  std::vector<Control> boxes;
  for (const ControlForm& form : Form()) {
    if (form.kind == ControlKind::EditBox || form.kind == ControlKind::IntegerEditBox) {
      boxes.push_back(form.id);
    }
  }
  return boxes;
}
const std::vector<Control> kAllBoxes = AllBoxes();

void FillEveryBox(FakeUi& ui) {
  for (Control box : kAllBoxes) ui.Type(box, "77");
}

// Mode one needs no points: its help label, at the height the mode gave it, lies over the
// middle of every point field of its job, where a click would go. Mode two's clears them all,
// so the fields can be filled in.
struct Span {
  int top, bottom;
};
Span HelpSpan(FakeUi& ui, Control help) {
  const int top = FormOf(help).y;
  return {top, top + ui.State(help).height};
}
std::vector<Span> PointRows(Control help, Job job) {
  std::vector<Span> rows;
  for (const JobPoint& point : PointsOf(job)) {
    for (Control field : {point.xField, point.yField}) {
      const ControlForm& form = FormOf(field);
      EXPECT_EQ(form.container, FormOf(help).container) << form.role;
      rows.push_back({form.y, form.y + form.height});
    }
  }
  return rows;
}
bool HelpCoversEveryPointRow(FakeUi& ui, Control help, Job job) {
  const Span label = HelpSpan(ui, help);
  return std::ranges::all_of(PointRows(help, job), [&](Span row) {
    const int middle = (row.top + row.bottom) / 2;
    return label.top <= middle && middle < label.bottom;
  });
}
bool HelpClearsEveryPointRow(FakeUi& ui, Control help, Job job) {
  const Span label = HelpSpan(ui, help);
  return std::ranges::all_of(PointRows(help, job),
                             [&](Span row) { return label.bottom <= row.top; });
}

TEST(StartUp, LeavesTheDeletePageInModeOne) {
  ToolHarness h;
  EXPECT_EQ(h.ui.Text(Control::DeleteModeFrame), "模式一");
  EXPECT_TRUE(HelpCoversEveryPointRow(h.ui, Control::DeleteModeHelp, Job::Delete));
  EXPECT_EQ(h.ui.State(Control::DeleteModeHelp).fontSize, 12);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.Text(Control::DeleteDelay), "500");
  EXPECT_EQ(h.ui.Text(Control::AddDelay), "");
  EXPECT_EQ(h.ui.focus, Control::DeleteCount);
  EXPECT_EQ(h.tool.state.remainingCount, 1);
  EXPECT_EQ(h.tool.state.deleteCaptureStep, 1);
  EXPECT_EQ(h.tool.state.addCaptureStep, 1);
  EXPECT_TRUE(h.ui.messages.empty());
}

TEST(ModeSelection, DeleteModeOneEmptiesBothPagesAndResetsCountAndDelay) {
  ToolHarness h;
  FillEveryBox(h.ui);
  h.ui.Click(Control::DeleteModeOneRadio);
  for (Control box : kAllBoxes) {
    if (box == Control::DeleteCount || box == Control::DeleteDelay) continue;
    EXPECT_EQ(h.ui.Text(box), "") << FormOf(box).role;
  }
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.Text(Control::DeleteDelay), "500");
  EXPECT_EQ(h.tool.state.addDelayMs, 0);
  EXPECT_EQ(h.ui.focus, Control::DeleteCount);
}

TEST(ModeSelection, DeleteModeTwoKeepsFieldsAndUncoversThePointRows) {
  ToolHarness h;
  h.ui.Type(Control::StickerPanelX, "12");
  h.ui.Type(Control::DeleteDelay, "900");
  h.ui.Click(Control::DeleteModeTwoRadio);
  EXPECT_EQ(h.ui.Text(Control::DeleteModeFrame), "模式二");
  EXPECT_EQ(h.ui.Text(Control::DeleteModeHelp), "F10依次获取①表情②收藏③首个表情坐标");
  EXPECT_TRUE(HelpClearsEveryPointRow(h.ui, Control::DeleteModeHelp, Job::Delete));
  EXPECT_EQ(h.ui.State(Control::DeleteModeHelp).width, 304);
  EXPECT_EQ(h.ui.State(Control::DeleteModeHelp).fontSize, 11);
  EXPECT_EQ(h.ui.State(Control::DeleteModeHelp).wordWrap, 0);
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "12");
  EXPECT_EQ(h.ui.Text(Control::DeleteDelay), "500");
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.focus, Control::StickerPanelX);
}

TEST(ModeSelection, AddModesSetTheirHelpAndDelay) {
  ToolHarness h;
  h.ui.Type(Control::DeleteCount, "9");
  h.ui.Click(Control::AddModeOneRadio);
  EXPECT_EQ(h.ui.Text(Control::AddModeFrame), "模式一");
  EXPECT_TRUE(HelpCoversEveryPointRow(h.ui, Control::AddModeHelp, Job::Add));
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "");  // the delete page's count is emptied too
  EXPECT_EQ(h.tool.state.remainingCount, 0);
  EXPECT_EQ(h.ui.Text(Control::AddDelay), "500");
  EXPECT_EQ(h.tool.state.addDelayMs, 500);
  h.ui.Type(Control::FileButtonX, "5");
  h.ui.Click(Control::AddModeTwoRadio);
  EXPECT_EQ(h.ui.Text(Control::AddModeFrame), "模式二");
  EXPECT_TRUE(HelpClearsEveryPointRow(h.ui, Control::AddModeHelp, Job::Add));
  EXPECT_EQ(h.ui.State(Control::AddModeHelp).wordWrap, 1);
  EXPECT_EQ(h.ui.Text(Control::FileButtonX), "5");
  EXPECT_EQ(h.ui.focus, Control::AddDelay);
}

TEST(ModeSelection, ClickingACheckedRadioAgainClearsAgain) {
  ToolHarness h;
  h.ui.Type(Control::CollectedTabX, "40");
  h.ui.Click(Control::DeleteModeOneRadio);
  EXPECT_EQ(h.ui.Text(Control::CollectedTabX), "");
}

TEST(ClearAllEditBoxes, EndsWithTheDerivedAddPointsEmpty) {
  ToolHarness h;
  h.ui.Type(Control::SentStickerX, "100");
  h.ui.Type(Control::SentStickerY, "200");
  ASSERT_EQ(h.ui.Text(Control::AddItemX), "130");
  ASSERT_EQ(h.ui.Text(Control::AddItemY), "215");
  h.ui.Click(Control::AddModeOneRadio);
  EXPECT_EQ(h.ui.Text(Control::AddItemX), "");
  EXPECT_EQ(h.ui.Text(Control::AddItemY), "");
}

TEST(SwitchTabPage, ResetsTheShownPageToModeOneAndLosesCapturedPoints) {
  ToolHarness h;
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.ui.Type(Control::StickerPanelX, "300");
  h.ui.SelectPage(1);
  EXPECT_EQ(h.ui.State(Control::AddModeOneRadio).checked, 1);
  EXPECT_EQ(h.ui.State(Control::DeleteModeOneRadio).checked, 0);
  EXPECT_EQ(h.ui.State(Control::DeleteModeTwoRadio).checked, 0);
  EXPECT_EQ(h.ui.State(Control::AddModeTwoRadio).checked, 0);
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "");
  EXPECT_EQ(h.ui.Text(Control::AddDelay), "500");
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "");
  h.ui.Click(Control::AddModeTwoRadio);
  h.ui.Type(Control::FileButtonX, "8");
  h.ui.SelectPage(0);
  EXPECT_EQ(h.ui.State(Control::DeleteModeOneRadio).checked, 1);
  EXPECT_EQ(h.ui.State(Control::AddModeTwoRadio).checked, 0);
  EXPECT_EQ(h.ui.Text(Control::FileButtonX), "");
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.Text(Control::DeleteModeFrame), "模式一");
}

TEST(FieldRules, DerivedAddPointFollowsItsSourceUntruncated) {
  ToolHarness h;
  h.ui.Type(Control::SentStickerX, "100");
  EXPECT_EQ(h.ui.Text(Control::AddItemX), "130");
  h.ui.Type(Control::SentStickerX, "12.5");
  EXPECT_EQ(h.ui.Text(Control::AddItemX), "42.5");
  h.ui.Type(Control::SentStickerY, "abc");
  EXPECT_EQ(h.ui.Text(Control::AddItemY), "15");
  h.ui.Type(Control::AddItemX, "1");  // a hand edit stays until the source changes
  EXPECT_EQ(h.ui.Text(Control::AddItemX), "1");
}

TEST(FieldRules, ValuesAreTruncatedTowardZero) {
  ToolHarness h;
  const std::pair<std::string, int> cases[] = {{"2.9", 2}, {"-3.9", -3},    {"1e3", 1000}, {"", 0},
                                               {"abc", 0}, {"１２３", 123}, {" 7", 7}};
  for (const auto& [text, value] : cases) {
    h.ui.Type(Control::AddDelay, text);
    EXPECT_EQ(h.tool.state.addDelayMs, value) << text;
  }
}

TEST(FieldRules, AWriteRaisesTheChangeOnceEvenWhenUnchanged) {
  ToolHarness h;
  h.ui.raised.clear();
  h.ui.WriteControlText(Control::DeleteCount, "1");
  ASSERT_EQ(h.ui.raised.size(), 1u);
  EXPECT_EQ(h.ui.raised[0], std::make_pair(Control::DeleteCount, Event::ContentChanged));
}

struct TypedCase {
  const char* name;
  char32_t typed;
  TypedInput box;
  std::optional<char32_t> taken;  // nothing: the box refuses it
};

class TypedIntoNumberBoxTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedIntoNumberBoxTest, TakesTheFoldedCharacter) {
  const TypedCase& c = GetParam();
  EXPECT_EQ(TypedIntoNumberBox(c.typed, c.box), c.taken);
}

constexpr TypedInput kCount = TypedInput::IntegerOnly;
constexpr TypedInput kPoint = TypedInput::AnyCharacter;

INSTANTIATE_TEST_SUITE_P(
    CountBox, TypedIntoNumberBoxTest,
    ::testing::Values(TypedCase{"Digit", U'7', kCount, U'7'},
                      TypedCase{"Minus", U'-', kCount, U'-'},
                      TypedCase{"FullWidthZero", U'\uFF10', kCount, U'0'},
                      TypedCase{"FullWidthNine", U'\uFF19', kCount, U'9'},
                      TypedCase{"FullWidthMinus", U'\uFF0D', kCount, U'-'},
                      TypedCase{"MinusSign", U'\u2212', kCount, U'-'},
                      TypedCase{"Backspace", U'\b', kCount, U'\b'},
                      TypedCase{"CtrlV", char32_t{0x16}, kCount, char32_t{0x16}},
                      TypedCase{"Letter", U'x', kCount, std::nullopt},
                      TypedCase{"Dot", U'.', kCount, std::nullopt},
                      TypedCase{"Plus", U'+', kCount, std::nullopt},
                      TypedCase{"Space", U' ', kCount, std::nullopt},
                      TypedCase{"FullWidthPlus", U'\uFF0B', kCount, std::nullopt},
                      TypedCase{"FullWidthLetter", U'\uFF41', kCount, std::nullopt},
                      TypedCase{"ChineseNumeral", U'\u4E00', kCount, std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

// Point and delay boxes keep taking whatever they took; only the full-width number
// characters change.
INSTANTIATE_TEST_SUITE_P(
    PointOrDelayBox, TypedIntoNumberBoxTest,
    ::testing::Values(TypedCase{"Digit", U'7', kPoint, U'7'},
                      TypedCase{"FullWidthFive", U'\uFF15', kPoint, U'5'},
                      TypedCase{"FullWidthMinus", U'\uFF0D', kPoint, U'-'},
                      TypedCase{"Letter", U'x', kPoint, U'x'}, TypedCase{"Dot", U'.', kPoint, U'.'},
                      TypedCase{"Space", U' ', kPoint, U' '},
                      TypedCase{"ChineseCharacter", U'\u8868', kPoint, U'\u8868'},
                      TypedCase{"Backspace", U'\b', kPoint, U'\b'}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(IntegerBox, NormalisesOnFocusLoss) {
  const std::pair<std::string, std::string> cases[] = {{"007", "7"},
                                                       {"0", ""},
                                                       {"-", ""},
                                                       {"", ""},
                                                       {"99999999999", "2147483647"},
                                                       {"-99999999999", "-2147483648"},
                                                       {"-0012", "-12"},
                                                       {"12-3", "12"},
                                                       {"999999999999999999999999", "2147483647"},
                                                       {"１２", "12"},  // pasted full-width
                                                       {"－５", "-5"}};
  for (const auto& [typed, shown] : cases) EXPECT_EQ(NormalizeIntegerBox(typed), shown) << typed;
  ToolHarness h;
  h.ui.Type(Control::DeleteCount, "007");
  h.ui.raised.clear();
  h.ui.LeaveFocus(Control::DeleteCount);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "7");
  EXPECT_EQ(h.tool.state.remainingCount, 7);
  h.ui.raised.clear();
  h.ui.LeaveFocus(Control::DeleteCount);  // already normal: not rewritten
  EXPECT_EQ(h.ui.raised.size(), 1u);
}

TEST(FlashModeRadio, OnlyTheFirstCheckedRadioFlashes) {
  ToolHarness h;
  // After start-up both DeleteModeOneRadio and AddModeOneRadio are checked; DeleteModeOneRadio
  // wins.
  for (Control radio :
       {Control::DeleteModeTwoRadio, Control::AddModeOneRadio, Control::AddModeTwoRadio}) {
    h.ui.WriteControlProperty(radio, Property::TextColour, 0x123456);
  }
  bool changed = false;
  for (int tick = 0; tick < 5; ++tick) {
    const int before = h.ui.State(Control::DeleteModeOneRadio).colour;
    h.desktop.now += 500;
    h.ui.RaiseEvent(Control::FlashTimer, Event::Tick);
    changed = changed || h.ui.State(Control::DeleteModeOneRadio).colour != before;
  }
  EXPECT_TRUE(changed);
  for (Control radio :
       {Control::DeleteModeTwoRadio, Control::AddModeOneRadio, Control::AddModeTwoRadio}) {
    EXPECT_EQ(h.ui.State(radio).colour, 0) << FormOf(radio).role;
  }
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.ui.RaiseEvent(Control::FlashTimer, Event::Tick);
  EXPECT_EQ(h.ui.State(Control::DeleteModeOneRadio).colour, 0);
}

TEST(ShowThanks, BothButtonsShowTheSameMessage) {
  ToolHarness h;
  h.ui.Click(Control::AddThanksButton);
  h.ui.Click(Control::DeleteThanksButton);
  ASSERT_EQ(h.ui.messages.size(), 2u);
  EXPECT_EQ(h.ui.messages[0].caption, "非常感谢");
  EXPECT_EQ(h.ui.messages[0].text, h.ui.messages[1].text);
  EXPECT_TRUE(h.ui.messages[0].text.ends_with("\r\n                         By:Tovrin"));
}

TEST(FieldRules, AnyTextInAnyBoxKeepsEveryValueDefined) {
  ToolHarness h;
  std::mt19937 random(12345);
  const std::vector<std::string> samples{"",
                                         "abc",
                                         "  ",
                                         std::string(10000, '9'),
                                         "１２.５",
                                         "😀😀",
                                         "1\r\n2",
                                         "-",
                                         "1e999",
                                         "nan",
                                         "inf",
                                         "-1e999",
                                         std::string("\xff\xfe\x80", 3),
                                         std::string("5\0"
                                                     "7",
                                                     3)};
  for (int round = 0; round < 2000; ++round) {
    const Control box = kAllBoxes[random() % kAllBoxes.size()];
    std::string text = samples[random() % samples.size()];
    if (round % 3 == 0) {
      for (int k = 0; k < 8; ++k) text += static_cast<char>(random() % 256);
    }
    h.ui.Type(box, text);
    if (box == Control::DeleteCount) h.ui.LeaveFocus(box);
  }
  // Whatever was typed, each value is its field's number (the sanitizers watch the rest).
  EXPECT_EQ(h.tool.state.addDelayMs, FieldValue(h.ui.Text(Control::AddDelay)));
  EXPECT_EQ(h.tool.state.remainingCount, FieldValue(h.ui.Text(Control::DeleteCount)));
}

}  // namespace
}  // namespace pelloram::testing

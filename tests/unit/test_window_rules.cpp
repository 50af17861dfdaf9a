// Mode selections, page changes, field rules, the integer box and the flashing radio,
// through the same event table the real window uses.
#include <gtest/gtest.h>

#include <random>

#include "app/decorations.h"
#include "app/field_rules.h"
#include "app/startup.h"
#include "tests/fakes/tool_harness.h"

namespace pelloram::testing {
namespace {

const std::vector<Control> kAllBoxes = FindControlsByName("编辑框");

void FillEveryBox(FakeUi& ui) {
  for (Control box : kAllBoxes) ui.Type(box, "77");
}

TEST(StartUp, LeavesTheDeletePageInModeOne) {
  ToolHarness h;
  EXPECT_EQ(h.ui.Text(Control::分组框1), "模式一");
  EXPECT_EQ(h.ui.State(Control::标签8).height, 164);
  EXPECT_EQ(h.ui.State(Control::标签8).fontSize, 12);
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "1");
  EXPECT_EQ(h.ui.Text(Control::编辑框18), "500");
  EXPECT_EQ(h.ui.Text(Control::编辑框8), "");
  EXPECT_EQ(h.ui.focus, Control::编辑框7);
  EXPECT_EQ(h.tool.state.remainingCount, 1);
  EXPECT_EQ(h.tool.state.deleteCaptureStep, 1);
  EXPECT_EQ(h.tool.state.addCaptureStep, 1);
  EXPECT_TRUE(h.ui.messages.empty());
}

TEST(ModeSelection, DeleteModeOneEmptiesBothPagesAndResetsCountAndDelay) {
  ToolHarness h;
  FillEveryBox(h.ui);
  h.ui.Click(Control::单选框1);
  for (Control box : kAllBoxes) {
    if (box == Control::编辑框7 || box == Control::编辑框18) continue;
    EXPECT_EQ(h.ui.Text(box), "") << ControlName(box);
  }
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "1");
  EXPECT_EQ(h.ui.Text(Control::编辑框18), "500");
  EXPECT_EQ(h.tool.state.ClickDelay, 0);
  EXPECT_EQ(h.tool.state.stickerPanelX, 0);
  EXPECT_EQ(h.ui.focus, Control::编辑框7);
}

TEST(ModeSelection, DeleteModeTwoKeepsFieldsAndShrinksTheHelp) {
  ToolHarness h;
  h.ui.Type(Control::编辑框1, "12");
  h.ui.Type(Control::编辑框18, "900");
  h.ui.Click(Control::单选框2);
  EXPECT_EQ(h.ui.Text(Control::分组框1), "模式二");
  EXPECT_EQ(h.ui.Text(Control::标签8), "F10依次获取①表情②收藏③首个表情坐标");
  EXPECT_EQ(h.ui.State(Control::标签8).height, 24);
  EXPECT_EQ(h.ui.State(Control::标签8).width, 304);
  EXPECT_EQ(h.ui.State(Control::标签8).fontSize, 11);
  EXPECT_EQ(h.ui.State(Control::标签8).wordWrap, 0);
  EXPECT_EQ(h.ui.Text(Control::编辑框1), "12");
  EXPECT_EQ(h.ui.Text(Control::编辑框18), "500");
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "1");
  EXPECT_EQ(h.ui.focus, Control::编辑框1);
}

TEST(ModeSelection, AddModesSetTheirHelpAndDelay) {
  ToolHarness h;
  h.ui.Type(Control::编辑框7, "9");
  h.ui.Click(Control::单选框3);
  EXPECT_EQ(h.ui.Text(Control::分组框3), "模式一");
  EXPECT_EQ(h.ui.State(Control::标签11).height, 183);
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "");  // the delete page's count is emptied too
  EXPECT_EQ(h.tool.state.remainingCount, 0);
  EXPECT_EQ(h.ui.Text(Control::编辑框8), "500");
  EXPECT_EQ(h.tool.state.ClickDelay, 500);
  h.ui.Type(Control::编辑框9, "5");
  h.ui.Click(Control::单选框4);
  EXPECT_EQ(h.ui.Text(Control::分组框3), "模式二");
  EXPECT_EQ(h.ui.State(Control::标签11).height, 87);
  EXPECT_EQ(h.ui.State(Control::标签11).wordWrap, 1);
  EXPECT_EQ(h.ui.Text(Control::编辑框9), "5");
  EXPECT_EQ(h.ui.focus, Control::编辑框8);
}

TEST(ModeSelection, ClickingACheckedRadioAgainClearsAgain) {
  ToolHarness h;
  h.ui.Type(Control::编辑框3, "40");
  h.ui.Click(Control::单选框1);
  EXPECT_EQ(h.ui.Text(Control::编辑框3), "");
}

TEST(ClearAllEditBoxes, EndsWithTheDerivedAddPointsEmpty) {
  ToolHarness h;
  h.ui.Type(Control::编辑框11, "100");
  h.ui.Type(Control::编辑框12, "200");
  ASSERT_EQ(h.ui.Text(Control::编辑框13), "130");
  ASSERT_EQ(h.ui.Text(Control::编辑框14), "215");
  h.ui.Click(Control::单选框3);
  EXPECT_EQ(h.ui.Text(Control::编辑框13), "");
  EXPECT_EQ(h.ui.Text(Control::编辑框14), "");
}

TEST(SwitchTabPage, ResetsTheShownPageToModeOneAndLosesCapturedPoints) {
  ToolHarness h;
  h.ui.Click(Control::单选框2);
  h.ui.Type(Control::编辑框1, "300");
  h.ui.SelectPage(1);
  EXPECT_EQ(h.ui.State(Control::单选框3).checked, 1);
  EXPECT_EQ(h.ui.State(Control::单选框1).checked, 0);
  EXPECT_EQ(h.ui.State(Control::单选框2).checked, 0);
  EXPECT_EQ(h.ui.State(Control::单选框4).checked, 0);
  EXPECT_EQ(h.ui.Text(Control::编辑框1), "");
  EXPECT_EQ(h.ui.Text(Control::编辑框8), "500");
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "");
  h.ui.Click(Control::单选框4);
  h.ui.Type(Control::编辑框9, "8");
  h.ui.SelectPage(0);
  EXPECT_EQ(h.ui.State(Control::单选框1).checked, 1);
  EXPECT_EQ(h.ui.State(Control::单选框4).checked, 0);
  EXPECT_EQ(h.ui.Text(Control::编辑框9), "");
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "1");
  EXPECT_EQ(h.ui.Text(Control::分组框1), "模式一");
}

TEST(FieldRules, DerivedAddPointFollowsItsSourceUntruncated) {
  ToolHarness h;
  h.ui.Type(Control::编辑框11, "100");
  EXPECT_EQ(h.ui.Text(Control::编辑框13), "130");
  h.ui.Type(Control::编辑框11, "12.5");
  EXPECT_EQ(h.ui.Text(Control::编辑框13), "42.5");
  h.ui.Type(Control::编辑框12, "abc");
  EXPECT_EQ(h.ui.Text(Control::编辑框14), "15");
  h.ui.Type(Control::编辑框13, "1");  // a hand edit stays until the source changes
  EXPECT_EQ(h.ui.Text(Control::编辑框13), "1");
}

TEST(FieldRules, ValuesAreTruncatedTowardZero) {
  ToolHarness h;
  const std::pair<std::string, int> cases[] = {{"2.9", 2}, {"-3.9", -3},    {"1e3", 1000}, {"", 0},
                                               {"abc", 0}, {"１２３", 123}, {" 7", 7}};
  for (const auto& [text, value] : cases) {
    h.ui.Type(Control::编辑框8, text);
    EXPECT_EQ(h.tool.state.ClickDelay, value) << text;
  }
  h.ui.Type(Control::编辑框16, "630");
  h.ui.Type(Control::编辑框17, "450");
  EXPECT_EQ(h.tool.state.deleteItemX, 630);
  EXPECT_EQ(h.tool.state.deleteItemY, 450);
}

TEST(FieldRules, AWriteRaisesTheChangeOnceEvenWhenUnchanged) {
  ToolHarness h;
  h.ui.raised.clear();
  h.ui.WriteControlText(Control::编辑框7, "1");
  ASSERT_EQ(h.ui.raised.size(), 1u);
  EXPECT_EQ(h.ui.raised[0], std::make_pair(Control::编辑框7, Event::ContentChanged));
}

TEST(IntegerBox, AcceptsOnlyDigitsAndMinus) {
  EXPECT_TRUE(IntegerBoxAccepts(U'0'));
  EXPECT_TRUE(IntegerBoxAccepts(U'9'));
  EXPECT_TRUE(IntegerBoxAccepts(U'-'));
  for (char32_t refused : {U'a', U'.', U' ', U'１', U'+', U'e'})
    EXPECT_FALSE(IntegerBoxAccepts(refused));
}

TEST(IntegerBox, NormalisesOnFocusLoss) {
  const std::pair<std::string, std::string> cases[] = {{"007", "7"},
                                                       {"0", ""},
                                                       {"-", ""},
                                                       {"", ""},
                                                       {"99999999999", "2147483647"},
                                                       {"-99999999999", "-2147483648"},
                                                       {"-0012", "-12"},
                                                       {"12-3", "12"},
                                                       {"999999999999999999999999", "2147483647"}};
  for (const auto& [typed, shown] : cases) EXPECT_EQ(NormalizeIntegerBox(typed), shown) << typed;
  ToolHarness h;
  h.ui.Type(Control::编辑框7, "007");
  h.ui.raised.clear();
  h.ui.LeaveFocus(Control::编辑框7);
  EXPECT_EQ(h.ui.Text(Control::编辑框7), "7");
  EXPECT_EQ(h.tool.state.remainingCount, 7);
  h.ui.raised.clear();
  h.ui.LeaveFocus(Control::编辑框7);  // already normal: not rewritten
  EXPECT_EQ(h.ui.raised.size(), 1u);
}

TEST(FlashModeRadio, OnlyTheFirstCheckedRadioFlashes) {
  ToolHarness h;
  // After start-up both 单选框1 and 单选框3 are checked; 单选框1 wins.
  for (Control radio : {Control::单选框2, Control::单选框3, Control::单选框4}) {
    h.ui.WriteControlProperty(radio, Property::TextColour, 0x123456);
  }
  bool changed = false;
  for (int tick = 0; tick < 5; ++tick) {
    const int before = h.ui.State(Control::单选框1).colour;
    h.desktop.now += 500;
    h.ui.RaiseEvent(Control::时钟1, Event::Tick);
    changed = changed || h.ui.State(Control::单选框1).colour != before;
  }
  EXPECT_TRUE(changed);
  for (Control radio : {Control::单选框2, Control::单选框3, Control::单选框4}) {
    EXPECT_EQ(h.ui.State(radio).colour, 0) << ControlName(radio);
  }
  h.ui.Click(Control::单选框2);
  h.ui.RaiseEvent(Control::时钟1, Event::Tick);
  EXPECT_EQ(h.ui.State(Control::单选框1).colour, 0);
}

TEST(ShowThanks, BothButtonsShowTheSameMessage) {
  ToolHarness h;
  h.ui.Click(Control::按钮4);
  h.ui.Click(Control::按钮5);
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
    if (box == Control::编辑框7) h.ui.LeaveFocus(box);
  }
  // Reaching here under the sanitizers is the point; the values are plain integers.
  EXPECT_GE(h.tool.state.ClickDelay, INT32_MIN);
}

}  // namespace
}  // namespace pelloram::testing

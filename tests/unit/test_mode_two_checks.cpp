// Mode two's start checks on both pages: the first empty field of the job's points is
// named in a warning at the pointer and gets the focus, and nothing is clicked or waited.
#include <gtest/gtest.h>

#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"
#include "workflows/run_report.h"

namespace pelloram::testing {
namespace {

struct CheckCase {
  const char* name;
  int page;
  Control modeTwoRadio;
  Control filledX, filledY;  // the job's first point, filled in
  Control firstEmpty;        // the next point's X field
  Control thenEmpty;         // its Y field, empty once X holds a blank
  const char* warning;
};

class ModeTwoChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(ModeTwoChecks, NameTheFirstEmptyFieldAndStayIdle) {
  const CheckCase& c = GetParam();
  ToolHarness h;
  h.ui.SelectPage(c.page);
  h.ui.Click(c.modeTwoRadio);
  h.tool.state.stickerFiles = {"C:\\a.gif"};
  h.ui.Type(c.filledX, "1");
  h.ui.Type(c.filledY, "2");
  const auto start = h.desktop.now;
  h.ui.PressHotkey(vk::kF11);
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].tip, Control::WarningTip);
  EXPECT_EQ(h.ui.tips[0].text, c.warning);
  EXPECT_FALSE(h.ui.tips[0].hideBySelf);
  EXPECT_EQ(h.ui.tips[0].at, h.desktop.cursor);
  EXPECT_EQ(h.ui.focus, c.firstEmpty);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStartCaption);
  EXPECT_EQ(h.desktop.now, start);
  EXPECT_TRUE(h.desktop.inputs.empty());
  h.ui.Type(c.firstEmpty, " ");  // a blank is not empty
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.ui.focus, c.thenEmpty);
  EXPECT_TRUE(h.desktop.inputs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    BothJobs, ModeTwoChecks,
    ::testing::Values(
        CheckCase{"Delete", 0, Control::DeleteModeTwoRadio, Control::StickerPanelX,
                  Control::StickerPanelY, Control::CollectedTabX, Control::CollectedTabY,
                  "收藏坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"},
        CheckCase{"Add", 1, Control::AddModeTwoRadio, Control::FileButtonX, Control::FileButtonY,
                  Control::SentStickerX, Control::SentStickerY,
                  "已发送表情坐标X都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！"}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace pelloram::testing

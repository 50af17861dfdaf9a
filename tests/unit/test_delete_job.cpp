// The delete job on the fake desktop's virtual clock: start-up and hotkeys, the delete
// runs, F10 capture and the start/pause state table.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "tests/support/case_name.h"
#include "workflows/run_control.h"
#include "workflows/start_gate.h"

namespace pelloram::testing {
namespace {

constexpr std::string_view kStart = "F11\r\n开  始";
constexpr std::string_view kPause = "F11\r\n暂  停";

// A harness on the delete page with a count and a delay typed in.
// The practice client's model plays the client: a right click on a sticker brings up its
// menu, and the delete item removes it.
struct DeleteJob : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{20, {}}};
  DeleteJob(std::string_view count, std::string_view delay) {
    ui.Type(Control::DeleteCount, count);
    ui.Type(Control::DeleteDelay, delay);
  }
  void F11() { ui.PressHotkey(vk::kF11); }
  void F10() { ui.PressHotkey(vk::kF10); }
  // The user acts right after the run's n-th click (1-based), while the client reacts.
  void AfterClick(std::size_t n, std::function<void()> action) {
    desktop.onInput = [this, n, action](const InputRecord&) {
      if (desktop.Clicks().size() == n) At(desktop.now + 10, action);
    };
  }
  // The client at the place where the points were captured.
  void EnterModeTwoPoints() {
    desktop.WindowAt(client).rect = Rect{0, 0, 910, 647};
    ui.Click(Control::DeleteModeTwoRadio);
    TypeDeletePoints();
  }
};

TEST(InitMainWindow, WithTheClientHoldsF10AndF11) {
  ToolHarness h;
  std::vector<int> keys;
  for (const auto& [id, key] : h.ui.hotkeys) keys.push_back(key);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(keys, (std::vector<int>{vk::kF10, vk::kF11}));
  EXPECT_TRUE(h.ui.messages.empty());
  h.ui.Type(Control::DeleteCount, "0");
  h.ui.PressHotkey(vk::kF11);  // the key held is the key that starts
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause);
}

TEST(InitMainWindow, WithoutTheClientSaysSoAndRegistersNothing) {
  ToolHarness h(false);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, "未获取到微信！请打开微信后重新开启程序！");
  EXPECT_EQ(h.ui.messages[0].caption, "信息：");
  EXPECT_TRUE(h.ui.hotkeyCalls.empty());
  EXPECT_EQ(h.tool.state.f10HotkeyId, 0);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.Text(Control::DeleteDelay), "500");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_TRUE(h.desktop.Clicks().empty());
}

TEST(InitMainWindow, AKeyHeldElsewhereGivesZeroAndTheOtherStillWorks) {
  ToolHarness h(true, false);
  h.ui.keysHeldElsewhere.insert(vk::kF10);
  h.Start();
  EXPECT_EQ(h.tool.state.f10HotkeyId, 0);
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(
      h.ui.tips[0].text,
      "F10 已被其他程序占用，按了不起作用。开始和暂停请点窗口上的按钮，模式二的坐标请手动填写。");
  EXPECT_EQ(h.ui.tips[0].at, h.ui.ControlCentre(Control::MainWindow));
  h.ui.Type(Control::DeleteCount, "0");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause);
}

TEST(InitMainWindow, AHeldF11IsNamedOnceAndTheButtonStillStarts) {
  ToolHarness h(true, false);
  h.ui.keysHeldElsewhere.insert(vk::kF11);
  h.Start();
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, "F11 已被其他程序占用，按了不起作用。开始和暂停请点窗口上的按钮。");
  EXPECT_EQ(h.ui.tips[0].tip, Control::WarningTip);
  h.ui.Type(Control::DeleteCount, "0");
  h.ui.Click(Control::DeleteStartButton);
  EXPECT_EQ(h.desktop.Clicks().size(), 2u);  // the panel and the collected tab
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause);
}

TEST(ReleaseHotkeys, UnregistersBothKeys) {
  ToolHarness h;
  h.Close();
  EXPECT_TRUE(h.ui.hotkeys.empty());
}

TEST(DeleteRun, CountThreeDeletesThreeTimesAndFinishes) {
  DeleteJob h("3", "100");
  std::vector<std::string> counts;
  h.ui.SetSink([&](Control c, Event e) {
    if (c == Control::DeleteCount && e == Event::ContentChanged) counts.push_back(h.ui.Text(c));
    HandleEvent(h.tool, c, e);
  });
  h.F11();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, 910, 647}));
  const std::vector<Point> expected{{340, 525}, {220, 460}, {175, 210}, {213, 259},
                                    {175, 210}, {213, 259}, {175, 210}, {213, 259}};
  EXPECT_EQ(h.desktop.ClickPoints(), expected);
  EXPECT_EQ(counts, (std::vector<std::string>{"2", "1", "0"}));
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
  const auto clicks = h.desktop.Clicks();
  EXPECT_EQ(clicks[2].button, MouseButton::Right);
  EXPECT_EQ(clicks[3].button, MouseButton::Left);
}

// The delay spaces the deletions: each starts a whole delay after the one before ended,
// however quickly the client reacts.
TEST(DeleteRun, EachDeletionWaitsTheDelayFirst) {
  DeleteJob h("3", "400");
  h.F11();
  const auto clicks = h.desktop.Clicks();
  ASSERT_EQ(clicks.size(), 8u);
  for (const std::size_t rightClick : {4u, 6u}) {
    EXPECT_GE(clicks[rightClick].time - clicks[rightClick - 1].time, 400u) << rightClick;
  }
}

TEST(DeleteRun, ZeroEmptyOrTextCountStillMakesTheOpeningSteps) {
  for (const char* count : {"0", "", "abc"}) {
    DeleteJob h(count, "100");
    h.F11();
    EXPECT_EQ(h.desktop.ClickPoints(), (std::vector<Point>{{340, 525}, {220, 460}})) << count;
    EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause) << count;  // ended without finishing
  }
}

TEST(DeleteRun, F11DuringADeletionLetsItFinishThenStops) {
  DeleteJob h("5", "500");
  h.AfterClick(3, [&] { h.F11(); });  // the first sticker's menu is up
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 4u);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "4");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
  h.F11();  // the next press starts again
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
}

TEST(DeleteRun, CountRaisedBeforeTheFirstUpdateStillMakesTheStartingPasses) {
  DeleteJob h("2", "100");
  h.At(h.desktop.now + 800, [&] { h.ui.Type(Control::DeleteCount, "10"); });
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 2u + 2 * 2);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "8");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause);
}

TEST(DeleteRun, CountZeroTypedDuringARunNeverFinishes) {
  DeleteJob h("5", "100");
  h.At(h.desktop.now + 800, [&] { h.ui.Type(Control::DeleteCount, "0"); });
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 2u + 5 * 2);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "-5");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kPause);
}

TEST(DeleteRun, ZeroDelayClicksWithOnlyEventProcessingBetween) {
  DeleteJob h("2", "0");
  const auto start = h.desktop.now;
  h.F11();
  const auto clicks = h.desktop.Clicks();
  ASSERT_EQ(clicks.size(), 6u);
  // The fixed 500 ms opening wait, and then only as long as the client takes to react.
  EXPECT_EQ(h.WholeDelays(clicks.back().time - start, 500), 1u);
}

TEST(DeleteRun, ModeTwoClicksTheCapturedPointsAfterItsOwnWait) {
  DeleteJob h("1", "100");
  h.EnterModeTwoPoints();
  const auto start = h.desktop.now;
  h.F11();
  EXPECT_EQ(h.desktop.ClickPoints(),
            (std::vector<Point>{{340, 525}, {220, 460}, {175, 210}, {205, 260}}));
  EXPECT_EQ(h.desktop.Clicks()[0].time - start, 501u);
  EXPECT_TRUE(h.desktop.moved.empty());  // mode two never places the client
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
}

TEST(DeleteRun, ModeTwoNeverClicksAPointOffTheClient) {
  DeleteJob h("1", "100");
  h.EnterModeTwoPoints();
  h.desktop.WindowAt(h.client).rect = Rect{10, 10, 910, 647};
  h.ui.Type(Control::DeleteItemX, "0");  // (0, 0): the desktop, not the client
  h.ui.Type(Control::DeleteItemY, "0");
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 3u);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "1");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "要点击的位置不在微信窗口上，已停止。请确认微信在前台且没有被遮挡。");
}

// A monitor left of the primary one puts the desktop's window at (-1920, 0); captured
// points are screen points and are clicked exactly where they were captured.
TEST(DeleteRun, ModeTwoClicksTheCapturedScreenPointsOnEveryMonitorLayout) {
  DeleteJob h("1", "100");
  h.EnterModeTwoPoints();
  h.desktop.WindowAt(h.desktopWindow).rect = Rect{-1920, 0, 1280, 1080};
  h.F11();
  EXPECT_EQ(h.desktop.ClickPoints(),
            (std::vector<Point>{{340, 525}, {220, 460}, {175, 210}, {205, 260}}));
  EXPECT_EQ(h.world.Count("deleted"), 1);
}

TEST(DeleteRun, ModeTwoReadsEachPointAtTheMomentOfItsClick) {
  DeleteJob h("2", "100");
  h.EnterModeTwoPoints();
  h.desktop.cursor = {180, 215};  // still on the first sticker
  // During the first deletion the user captures a new first sticker with F10.
  h.tool.state.deleteCaptureStep = 3;
  h.At(h.desktop.now + 1200, [&] { h.F10(); });
  h.F11();
  const auto points = h.desktop.ClickPoints();
  ASSERT_EQ(points.size(), 6u);
  EXPECT_EQ(points[4], (Point{180, 215}));
  EXPECT_EQ(points[5], (Point{210, 265}));
}

TEST(RunControl, ModeTwoWritesOneIntoAnEmptyCountAndDeletesOnce) {
  DeleteJob h("", "100");
  h.EnterModeTwoPoints();
  h.ui.Type(Control::DeleteCount, "");
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 4u);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
}

TEST(RunControl, APauseDuringTheOpeningWaitClicksNothing) {
  DeleteJob h("3", "100");
  h.EnterModeTwoPoints();
  h.At(h.desktop.now + 200, [&] { h.F11(); });
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), 0u);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "3");
}

TEST(RunControl, AfterFinishingOnePressResetsAndTheNextStarts) {
  DeleteJob h("1", "100");
  h.F11();
  ASSERT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
  h.F11();
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
  EXPECT_EQ(h.desktop.Clicks().size(), 4u);
  h.ui.Type(Control::DeleteCount, "1");
  // The panel the first run left open is shut by the opening click: the run finds no menu,
  // opens the collection again and deletes.
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 2);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
  EXPECT_TRUE(h.ui.messages.empty());
}

TEST(RunControl, PausedRunThatReachesZeroStillSaysFinished) {
  DeleteJob h("1", "100");
  h.AfterClick(3, [&] { h.ui.Click(Control::DeleteStartButton); });  // during deletion 1
  h.F11();
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
  h.ui.Type(Control::DeleteCount, "0");
  h.F11();  // finished after a pause: the next press starts a new run
  EXPECT_EQ(h.desktop.Clicks().size(), 4u + 2);
}

TEST(RunControl, AStartWhileThePausedRunWindsDownStartsTheNextOnceItHasEnded) {
  DeleteJob h("5", "500");
  std::size_t clicksAtPause = 0;
  h.AfterClick(3, [&] {
    clicksAtPause = h.desktop.Clicks().size();
    h.F11();                                 // pause with deletion 1's menu coming up
    h.F11();                                 // start again while it finishes
    h.ui.Click(Control::DeleteStartButton);  // and once more with the button
    h.desktop.onInput = nullptr;
  });
  h.F11();
  ASSERT_EQ(clicksAtPause, 3u);
  ASSERT_FALSE(h.ui.tips.empty());
  EXPECT_EQ(h.ui.tips.back().text, kStartsWhenEnded);
  // The menu already open got its item; the next run, one and not nested, did the rest.
  EXPECT_EQ(h.world.Count("deleted"), 5);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), "给我删");
}

TEST(RunControl, F11OnTheAddPageNeverPausesADeleteRun) {
  DeleteJob h("3", "100");
  h.At(h.desktop.now + 800, [&] {
    h.ui.page = 1;  // the user looks at the other page without the change event
    h.F11();
  });
  h.F11();
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
}

TEST(RunControl, ClosingDuringAWaitEndsTheRunAtOnce) {
  DeleteJob h("5", "500");
  const auto closeAt = h.desktop.now + 2300;
  h.At(closeAt, [&] { h.Close(); });
  h.F11();
  for (const auto& input : h.desktop.inputs) EXPECT_LE(input.time, closeAt);
  EXPECT_LE(h.desktop.now, closeAt);  // no wait ran out its delay
  EXPECT_TRUE(h.desktop.quitPosted);
  EXPECT_TRUE(h.ui.hotkeys.empty());
}

TEST(CapturePoint, DeleteCycleFillsThreePointsAndWraps) {
  DeleteJob h("1", "100");
  h.ui.Click(Control::DeleteModeTwoRadio);
  const Point at[] = {{10, 20}, {30, 40}, {600, 400}, {-5, -6}};
  for (const Point& p : at) {
    h.desktop.cursor = p;
    h.F10();
  }
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "-5");
  EXPECT_EQ(h.ui.Text(Control::StickerPanelY), "-6");
  EXPECT_EQ(h.ui.Text(Control::CollectedTabX), "30");
  EXPECT_EQ(h.ui.Text(Control::FirstStickerX), "600");
  EXPECT_EQ(h.ui.Text(Control::FirstStickerY), "400");
  EXPECT_EQ(h.ui.Text(Control::DeleteItemX), "630");
  EXPECT_EQ(h.ui.Text(Control::DeleteItemY), "450");
  ASSERT_EQ(h.ui.tips.size(), 4u);
  EXPECT_EQ(h.ui.tips[0].text, "表情坐标获取成功！！继续F10将获取已收藏位置");
  EXPECT_EQ(h.ui.tips[1].text, "收藏坐标获取成功！继续F10将获取首个表情位置");
  EXPECT_EQ(h.ui.tips[2].text, "首个表情坐标获取成功！继续F10将获取表情位置");
  EXPECT_EQ(h.ui.tips[3].text, h.ui.tips[0].text);
  EXPECT_TRUE(h.ui.tips[0].hideBySelf);
  EXPECT_EQ(h.ui.tips[0].tip, Control::NoteTip);
}

TEST(CapturePoint, HandTypedFirstStickerLeavesTheDeletePointAlone) {
  DeleteJob h("1", "100");
  h.ui.Type(Control::FirstStickerX, "100");
  EXPECT_EQ(h.ui.Text(Control::DeleteItemX), "");
}

TEST(CapturePoint, StepsSurviveModeChangesAndBothModeOneDoesNothing) {
  DeleteJob h("1", "100");
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.desktop.cursor = {10, 10};  // off the client: bare points, taken whatever is there
  h.F10();
  h.F10();
  h.ui.Click(Control::DeleteModeOneRadio);  // both pages in mode one now
  const auto tips = h.ui.tips.size();
  h.F10();
  EXPECT_EQ(h.ui.tips.size(), tips);
  h.ui.Click(Control::AddModeTwoRadio);
  h.desktop.cursor = {77, 88};
  h.F10();  // captures for the add page
  EXPECT_EQ(h.ui.Text(Control::FileButtonX), "77");
  EXPECT_EQ(h.ui.tips.back().text, "文件位置获取成功！继续F10将获取已发送表情位置");
  h.F10();
  EXPECT_EQ(h.ui.Text(Control::AddItemX), "107");
  EXPECT_EQ(h.ui.Text(Control::AddItemY), "103");
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.desktop.cursor = {1, 2};
  h.F10();
  EXPECT_EQ(h.ui.Text(Control::FirstStickerX), "1");  // resumed at step 3
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

class DeleteDelayField : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

// A delay that is no whole number of milliseconds is refused on the field; any whole
// number from 0 up starts the run.
TEST_P(DeleteDelayField, OnlyWholeMillisecondsStartARun) {
  const auto& [typed, accepted] = GetParam();
  DeleteJob h("1", typed);
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), accepted ? 4u : 0u);
  if (accepted) return;
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, kDelayWarning);
  EXPECT_EQ(h.ui.tips[0].at, h.ui.ControlCentre(Control::DeleteDelay));
  EXPECT_EQ(h.ui.focus, Control::DeleteDelay);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
}

INSTANTIATE_TEST_SUITE_P(Texts, DeleteDelayField,
                         ::testing::Values(std::pair{"abc", false}, std::pair{"", false},
                                           std::pair{"-5", false}, std::pair{"12.5", false},
                                           std::pair{"0", true}, std::pair{" 300 ", true},
                                           std::pair{"５００", true}),
                         [](const auto& test) { return TextCaseName(test.param.first); });

}  // namespace
}  // namespace pelloram::testing

// Every click and key of a run is checked against the client first: a client that went
// away, a point off the client, a foreground window of another program or input the system
// refuses ends the run before anything reaches another program, and the user is told.
#include <gtest/gtest.h>

#include "client/target_check.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/add_run.h"
#include "workflows/run_control.h"
#include "workflows/run_report.h"
#include "workflows/start_gate.h"

namespace pelloram::testing {
namespace {

constexpr std::string_view kClientGone = "微信窗口不见了，已停止。请打开微信后重新开始。";
constexpr std::string_view kOffClient =
    "要点击的位置不在微信窗口上，已停止。请确认微信在前台且没有被遮挡。";
constexpr std::string_view kRefused =
    "微信以管理员身份运行，本工具无法操作它。请以相同身份运行本工具。";

// A delete run of 10 with a delay of 100: each deletion takes three waits.
struct DeleteRun : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{20, {}}};
  explicit DeleteRun(bool modeTwo) {
    ui.Type(Control::DeleteCount, "10");
    ui.Type(Control::DeleteDelay, "100");
    if (!modeTwo) return;
    desktop.WindowAt(client).rect = Rect{0, 0, 910, 647};
    ui.Click(Control::DeleteModeTwoRadio);
    TypeDeletePoints();
  }
  // Acts right after the n-th deletion's count update.
  void AfterDeletion(int n, std::function<void()> action) {
    ui.SetSink([this, n, action](Control c, Event e) {
      HandleEvent(tool, c, e);
      if (c == Control::DeleteCount && e == Event::ContentChanged && tool.state.runActive &&
          tool.state.remainingCount == 10 - n) {
        action();
      }
    });
  }
};

class ClientGoneDuringDeletion : public ::testing::TestWithParam<bool> {};

TEST_P(ClientGoneDuringDeletion, NothingMoreIsClickedAndTheCountKeepsWhatIsLeft) {
  DeleteRun h(GetParam());
  std::size_t inputsWhenGone = 0;
  h.AfterDeletion(2, [&] {
    h.desktop.WindowAt(h.client).exists = false;
    inputsWhenGone = h.desktop.inputs.size();
  });
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.inputs.size(), inputsWhenGone);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "8");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStartCaption);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, kClientGone);
  // The tool stays usable: the next start looks for the client and says it is missing.
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.inputs.size(), inputsWhenGone);
  ASSERT_EQ(h.ui.messages.size(), 2u);
  EXPECT_EQ(h.ui.messages[1].text, "没有找到微信窗口！请打开并登录微信后再开始。");
}

INSTANTIATE_TEST_SUITE_P(BothModes, ClientGoneDuringDeletion, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "ModeTwo" : "ModeOne"; });

TEST(TargetCheck, AWindowOfAnotherProgramOverThePointIsNeverClicked) {
  DeleteRun h(false);
  std::size_t clicksBefore = 0;
  h.AfterDeletion(1, [&] {
    h.desktop.AddWindow("Notepad", "", Rect{100, 150, 400, 400}, {}, 77);  // covers the sticker
    clicksBefore = h.desktop.Clicks().size();
  });
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.Clicks().size(), clicksBefore);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "9");
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, kOffClient);
}

// The user's hand can come between the checks and the click: the click is one act on the
// checked point, so it still lands on the client, and the moved mouse pauses the run
// before its next click.
TEST(TargetCheck, APointerMovedBetweenCheckAndClickCannotTakeTheClickOffTheClient) {
  DeleteRun h(false);
  const WindowHandle other = h.desktop.AddWindow("Notepad", "", Rect{1000, 0, 1280, 300}, {}, 77);
  h.AfterDeletion(1, [&] {
    h.desktop.beforeClick = [&] {
      h.desktop.cursor = Point{1100, 100};  // over another program
      h.desktop.beforeClick = nullptr;
    };
  });
  h.ui.PressHotkey(vk::kF11);
  for (const Point& at : h.desktop.ClickPoints()) EXPECT_NE(h.desktop.TopLevelWindowAt(at), other);
  EXPECT_EQ(h.world.Count("deleted"), 1);
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, StopMessage(TargetFault::UserMoved));
}

// The pointer cannot be put on the point (a program holds it in a clip rectangle):
// nothing is pressed, and the run stops and says so.
TEST(TargetCheck, AClickThePointerCannotReachStopsTheRunWithoutPressing) {
  DeleteRun h(false);
  std::size_t clicksBefore = 0;
  h.AfterDeletion(1, [&] {
    h.desktop.divertedClicks = 1;
    clicksBefore = h.desktop.Clicks().size();
  });
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.Clicks().size(), clicksBefore);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "9");
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, StopMessage(TargetFault::ClickMissed));
}

// Mode one's points are measured from the placed window: a client that does not end up
// there (maximised, or keeping a size of its own) gets no click.
TEST(TargetCheck, ModeOneStopsWhenTheClientCannotBePlaced) {
  for (const int page : {0, 1}) {
    ToolHarness h;
    PracticeWorld world{h.desktop, h.client, practice::Options{5, {}}};
    h.desktop.windowsStayPut = true;
    h.ui.SelectPage(page);
    h.tool.state.stickerFiles = {"C:\\a.gif"};
    h.ui.PressHotkey(vk::kF11);
    EXPECT_TRUE(h.desktop.inputs.empty()) << page;
    ASSERT_EQ(h.ui.messages.size(), 1u) << page;
    EXPECT_NE(h.ui.messages[0].text.find(StopMessage(TargetFault::PlacementFailed)),
              std::string::npos)
        << page;
    EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStartCaption) << page;
  }
}

TEST(TargetCheck, InputTheSystemRefusesEndsTheRunAndIsNotCounted) {
  DeleteRun h(false);
  h.AfterDeletion(1, [&] { h.desktop.refuseInput = true; });
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "9");
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, kRefused);
}

TEST(TargetCheck, EachStartUsesTheClientAsItIsFoundThen) {
  ToolHarness h;
  h.desktop.WindowAt(h.client).exists = false;  // restarted since the tool started
  const WindowHandle restarted =
      h.desktop.AddWindow("WeChatMainWndForPC", "微信", Rect{50, 50, 800, 600}, {}, 9);
  h.ui.Type(Control::DeleteCount, "0");  // the opening clicks only
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.WindowAt(restarted).rect, (Rect{0, 0, 910, 647}));
  for (const Point& at : h.desktop.ClickPoints()) {
    EXPECT_EQ(h.desktop.TopLevelWindowAt(at), restarted);
  }
  EXPECT_EQ(h.desktop.Clicks().size(), 2u);
  EXPECT_TRUE(h.ui.messages.empty());
}

TEST(TargetCheck, KeysGoOnlyToAForegroundWindowOfTheClient) {
  FakeDesktop desktop;
  const WindowHandle client = desktop.AddWindow("C", "c", Rect{0, 0, 100, 100});
  const WindowHandle other = desktop.AddWindow("O", "o", Rect{0, 0, 50, 50}, {}, 5);
  EXPECT_EQ(CheckKeyTarget(desktop, client), TargetFault::ClientNotInFront);
  EXPECT_EQ(CheckClickTarget(desktop, client, Point{10, 10}), TargetFault::PointOffClient);
  EXPECT_EQ(CheckClickTarget(desktop, client, Point{60, 60}), TargetFault::None);
  desktop.BringToTop(client);
  EXPECT_EQ(CheckKeyTarget(desktop, client), TargetFault::None);
  EXPECT_EQ(CheckClickTarget(desktop, client, Point{10, 10}), TargetFault::None);
  desktop.WindowAt(other).exists = false;
  desktop.WindowAt(client).exists = false;
  EXPECT_EQ(CheckKeyTarget(desktop, client), TargetFault::ClientGone);
}

// The add job on the practice client's model, files a.gif to d.gif.
struct AddRun : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{0, {"old.gif"}}};
  AddRun() {
    ui.SelectPage(1);
    ui.Type(Control::AddDelay, "100");
    tool.state.stickerFiles = {"C:\\s\\a.gif", "C:\\s\\b.gif", "C:\\s\\c.gif", "C:\\s\\d.gif"};
  }
};

TEST(AddRunChecks, AClientClosedMidRunGetsNothingMoreAndTheSummarySaysWhatWasDone) {
  AddRun h;
  std::size_t inputsWhenGone = 0;
  h.desktop.onInput = [&](const InputRecord&) {
    if (h.desktop.Clicks().size() != 4 || inputsWhenGone != 0) return;
    h.At(h.desktop.now + 10, [&] {  // the second sticker's file button was clicked
      h.desktop.WindowAt(h.client).exists = false;
      inputsWhenGone = h.desktop.inputs.size();
    });
  };
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.desktop.inputs.size(), inputsWhenGone);
  EXPECT_EQ(h.world.Count("added"), 1);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, std::string(kClientGone) +
                                       "\r\n添加未完成：成功 1 个，已有 0 个，跳过 0 个，还有 3 "
                                       "个没有添加。");
}

TEST(AddRunChecks, MissingAndRefusedFilesAreSkippedTheDialogClosedAndTheRestAdded) {
  AddRun h;
  h.desktop.missingFiles.insert("C:\\s\\a.gif");
  h.world.dialogRefuses.insert("C:\\s\\c.gif");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "b.gif", "d.gif"}));
  EXPECT_FALSE(h.world.model.OpenDialogShowing());
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "添加完成：成功 2 个，已有 0 个，跳过 2 个（a.gif、c.gif）\r\n"
            "跳过 a.gif：文件不见了（选好文件夹后被删除或移走）\r\n"
            "跳过 c.gif：打开对话框没有接受这个文件");
}

TEST(AddRunChecks, AnAlreadyCollectedStickerIsCountedAsSuch) {
  AddRun h;
  h.tool.state.stickerFiles = {"C:\\s\\old.gif", "C:\\s\\new.gif"};
  h.ui.PressHotkey(vk::kF11);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, "添加完成：成功 1 个，已有 1 个，跳过 0 个");
}

TEST(AddSummary, NamesTheFirstThreeSkippedFiles) {
  AddTally tally;
  tally.added = 12;
  tally.alreadyCollected = 3;
  tally.skipped = {"a.gif", "b.gif", "c.gif", "d.gif"};
  EXPECT_EQ(AddSummary(tally, ""),
            "添加完成：成功 12 个，已有 3 个，跳过 4 个（a.gif、b.gif、c.gif 等）");
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

// Nothing to delete where the first sticker should be (an empty collection): no menu comes
// up, even after opening the collection again, and no deletion is counted.
TEST(TargetCheck, NoMenuOnTheFirstStickerEndsTheRunWithoutCounting) {
  ToolHarness h;
  PracticeWorld world{h.desktop, h.client, practice::Options{0, {}}};
  h.ui.Type(Control::DeleteCount, "3");
  h.ui.Type(Control::DeleteDelay, "100");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(world.Count("deleted"), 0);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "3");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStartCaption);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(
      h.ui.messages[0].text,
      "右键点击后没有出现菜单，已停止。请确认微信的表情面板开着、收藏里还有表情，再重新开始。");
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

// The newer client: mode one's built-in layout does not fit it, mode two works in full.
struct NewerClient : ToolHarness {
  NewerClient() : ToolHarness(false, false) {
    client = desktop.AddWindow("Qt51514QWindowIcon", "Weixin", Rect{0, 0, 910, 647});
    const WindowHandle decoy = desktop.AddWindow("Qt51514QWindowIcon", "微信", Rect{0, 0, 9, 9});
    desktop.WindowAt(decoy).shown = false;
    Start();
  }
};

class ModeOneOnTheNewerClient : public ::testing::TestWithParam<int> {};

TEST_P(ModeOneOnTheNewerClient, IsRefusedOnTheRadioWithoutMovingAnything) {
  NewerClient h;
  EXPECT_TRUE(h.ui.messages.empty());  // found at start-up: no missing-client message
  EXPECT_EQ(h.ui.hotkeys.size(), 2u);
  const int page = GetParam();
  h.ui.SelectPage(page);
  h.tool.state.stickerFiles = {"C:\\a.gif"};
  h.ui.PressHotkey(vk::kF11);
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, kModeOneNeedsClassic);
  EXPECT_EQ(h.ui.tips[0].at,
            h.ui.ControlCentre(page == 0 ? Control::DeleteModeOneRadio : Control::AddModeOneRadio));
  EXPECT_TRUE(h.desktop.moved.empty());
  EXPECT_TRUE(h.desktop.inputs.empty());
}

INSTANTIATE_TEST_SUITE_P(BothPages, ModeOneOnTheNewerClient, ::testing::Values(0, 1),
                         [](const auto& test) { return test.param == 0 ? "Delete" : "Add"; });

TEST(NewerClientModeTwo, DeletesAtTheCapturedPoints) {
  NewerClient h;
  PracticeWorld world{h.desktop, h.client, practice::Options{5, {}}};
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.TypeDeletePoints();
  h.ui.Type(Control::DeleteCount, "2");
  h.ui.Type(Control::DeleteDelay, "100");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(world.Count("deleted"), 2);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kFinishedCaption);
}

}  // namespace
}  // namespace pelloram::testing

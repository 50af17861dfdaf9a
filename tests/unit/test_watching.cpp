// Runs that watch the client rather than the clock: a slow client loses nothing, the user's
// mouse pauses a run before its next click, and both runs show their progress.
#include <gtest/gtest.h>

#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "workflows/run_control.h"
#include "workflows/run_report.h"

namespace pelloram::testing {
namespace {

constexpr std::string_view kMoved = "检测到鼠标移动，已暂停。按 F11 继续。";

struct Job : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{20, {}}};
  void Delete(std::string_view count, std::string_view delay) {
    ui.Type(Control::DeleteCount, count);
    ui.Type(Control::DeleteDelay, delay);
  }
  void Add(std::vector<std::string> files, std::string_view delay) {
    ui.SelectPage(1);
    ui.Type(Control::AddDelay, delay);
    tool.state.stickerFiles = std::move(files);
  }
  void F11() { ui.PressHotkey(vk::kF11); }
};

const std::vector<std::string> kFour{"C:\\s\\a.gif", "C:\\s\\b.gif", "C:\\s\\c.gif",
                                     "C:\\s\\d.gif"};

// A client that takes 1.5 s to show what it did, against a delay of 500 ms: the run waits
// for what it needs to see and loses nothing.
TEST(SlowClient, EveryStickerIsAdded) {
  Job h;
  h.world.reactMs = 1500;
  h.Add(kFour, "500");
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 4);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, "添加完成：成功 4 个，已有 0 个，跳过 0 个");
}

TEST(SlowClient, ObservedWaitsDeleteExactlyTheCount) {
  Job h;
  h.world.reactMs = 1500;
  h.world.jitterMs = 300;
  h.Delete("3", "500");
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kFinishedCaption);
}

// The user takes the mouse in the middle of a run: nothing more is clicked, the count keeps
// what is left, a tip says why, and F11 resumes like any start.
TEST(FailSafe, AMovedMousePausesADeleteRunBeforeItsNextClick) {
  Job h;
  h.Delete("10", "100");
  std::size_t clicksWhenMoved = 0;
  h.At(h.desktop.now + 1500, [&] {
    h.desktop.cursor = Point{h.desktop.cursor.x + 40, h.desktop.cursor.y};
    clicksWhenMoved = h.desktop.Clicks().size();
  });
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), clicksWhenMoved);
  const int deleted = h.world.Count("deleted");
  EXPECT_GT(deleted, 0);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), ToText(10 - deleted));
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStartCaption);
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, kMoved);
  EXPECT_TRUE(h.ui.messages.empty());
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 10);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kFinishedCaption);
}

// An add run paused by the user's hand goes on where it stopped: each sticker is sent
// once, and the end sums up the whole folder.
TEST(FailSafe, AMovedMousePausesAnAddRunAndF11GoesOnWithTheNextSticker) {
  Job h;
  h.Add(kFour, "100");
  std::size_t clicksWhenMoved = 0;
  h.desktop.onInput = [&](const InputRecord&) {  // while the first sticker is being sent
    if (h.desktop.Clicks().size() != 1 || clicksWhenMoved != 0) return;
    h.At(h.desktop.now + 10, [&] {
      h.desktop.cursor = Point{10, 10};
      clicksWhenMoved = h.desktop.Clicks().size();
    });
  };
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), clicksWhenMoved);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "检测到鼠标移动，已暂停。\r\n添加暂停：成功 0 个，已有 0 个，跳过 0 个，还有 4 个。\r\n"
            "按 F11 从第 1 个（a.gif）继续添加。");
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, "检测到鼠标移动，已暂停。按 F11 从第 1 个（a.gif）继续添加。");
  EXPECT_EQ(h.world.Count("sent"), 1);  // a.gif is in the chat: the resumed run adds it
  h.desktop.onInput = nullptr;
  h.F11();
  EXPECT_EQ(h.world.Count("sent"), 4);
  EXPECT_EQ(h.world.Count("added"), 4);
  ASSERT_EQ(h.ui.messages.size(), 2u);
  EXPECT_EQ(h.ui.messages[1].text, "添加完成：成功 4 个，已有 0 个，跳过 0 个");
}

TEST(Progress, TheCaptionCountsTheDeletionsAndComesBack) {
  Job h;
  h.Delete("3", "100");
  h.F11();
  const std::vector<std::string> expected{
      "Pelloram  By:Tovrin — 删除中 1 / 3", "Pelloram  By:Tovrin — 删除中 2 / 3",
      "Pelloram  By:Tovrin — 删除中 3 / 3", "Pelloram  By:Tovrin"};
  EXPECT_EQ(h.ui.captions, expected);
}

TEST(Progress, TheAddPageCountsTheStickersAndComesBack) {
  Job h;
  h.Add({"C:\\s\\a.gif", "C:\\s\\b.gif"}, "500");
  std::string labelDuring, captionDuring;
  h.At(h.desktop.now + 1800, [&] {  // during the second sticker
    labelDuring = h.ui.Text(Control::FolderCountLabel);
    captionDuring = h.ui.caption;
  });
  h.F11();
  EXPECT_EQ(labelDuring, "正在添加 2 / 2");
  EXPECT_EQ(captionDuring, "Pelloram  By:Tovrin — 添加中 2 / 2");
  EXPECT_EQ(h.ui.Text(Control::FolderCountLabel), "当前表情数量： 2");
  EXPECT_EQ(h.ui.caption, "Pelloram  By:Tovrin");
}

}  // namespace
}  // namespace pelloram::testing

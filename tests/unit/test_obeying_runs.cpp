// A run obeys at once and tells the truth: a pause or a close ends any wait, a stop names
// the client before a control and the screen before a look, a window moved between two
// steps is found again before the click, and every skipped file says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/field_rules.h"
#include "tests/fakes/taught_world.h"
#include "workflows/run_report.h"
#include "workflows/start_gate.h"

namespace pelloram::testing {
namespace {

constexpr std::string_view kStart = "F11\r\n开  始";

// The test acts `laterMs` after the run's n-th click, at a moment of its own.
void AfterClick(ToolHarness& h, std::size_t n, std::uint32_t laterMs,
                std::function<void()> action) {
  h.desktop.onInput = [&h, n, laterMs, action](const InputRecord& input) {
    if (input.kind == InputRecord::Kind::Click && h.desktop.Clicks().size() == n) {
      h.At(h.desktop.now + laterMs, action);
    }
  };
}

// The practice client at the screen's origin, where mode one places it anyway.
struct ModeOne : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{10, {}}};
  void F11() { ui.PressHotkey(vk::kF11); }
};

TEST(Pause, AtALongDelayEndsTheRunAtOnceAndTheNextF11StartsAtOnce) {
  ModeOne h;
  h.ui.Type(Control::DeleteCount, "5");
  h.ui.Type(Control::DeleteDelay, "20000");
  std::uint32_t pausedAt = 0;
  std::size_t clicksAtPause = 0;
  h.At(h.desktop.now + 3000, [&] {
    pausedAt = h.desktop.now;
    clicksAtPause = h.desktop.Clicks().size();
    h.F11();
  });
  h.F11();
  // Virtual time: the run did not wait out its 20 s step after the pause.
  EXPECT_LT(h.desktop.now - pausedAt, 300u);
  EXPECT_EQ(h.desktop.Clicks().size(), clicksAtPause);
  EXPECT_EQ(h.ui.Text(Control::DeleteStartButton), kStart);
  EXPECT_TRUE(h.ui.messages.empty());
  const std::uint32_t pressed = h.desktop.now;
  std::uint32_t firstClick = 0;
  h.desktop.onInput = [&](const InputRecord&) {
    if (firstClick == 0) firstClick = h.desktop.now;
  };
  h.At(h.desktop.now + 1000, [&] { h.F11(); });  // and paused again
  h.F11();
  EXPECT_GT(firstClick, 0u);
  EXPECT_LT(firstClick - pressed, 1000u);  // placement and its settle, not a 20 s step
}

TEST(Pause, ClosingTheToolDuringALongWaitClicksNothingMore) {
  for (const bool addJob : {false, true}) {
    ModeOne h;
    if (addJob) {
      h.ui.SelectPage(1);
      h.ui.Type(Control::AddDelay, "20000");
      h.tool.state.stickerFiles = kThree;
    } else {
      h.ui.Type(Control::DeleteCount, "5");
      h.ui.Type(Control::DeleteDelay, "20000");
    }
    std::size_t clicksAtClose = 0;
    std::uint32_t closedAt = 0;
    h.At(h.desktop.now + 2500, [&] {
      clicksAtClose = h.desktop.Clicks().size();
      closedAt = h.desktop.now;
      h.Close();
    });
    h.F11();
    EXPECT_EQ(h.desktop.Clicks().size(), clicksAtClose) << addJob;
    EXPECT_LT(h.desktop.now - closedAt, 3000u) << addJob;  // only the clean-up's Escapes
  }
}

TEST(Pause, AnAddRunPausedInALongWaitKeepsItsPlaceAndGoesOnFromIt) {
  ModeOne h;
  h.ui.SelectPage(1);
  h.ui.Type(Control::AddDelay, "20000");
  h.tool.state.stickerFiles = kThree;
  std::size_t clicksAtPause = 0;
  h.At(h.desktop.now + 2000, [&] {
    clicksAtPause = h.desktop.Clicks().size();
    h.F11();
  });
  h.F11();
  EXPECT_EQ(h.desktop.Clicks().size(), clicksAtPause);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_NE(h.ui.messages[0].text.find("已暂停。"), std::string::npos);
  h.ui.Type(Control::AddDelay, "100");
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 3);
  EXPECT_EQ(h.world.Count("sent"), 3);  // none twice
}

TEST(Pause, AStartWhileTheOtherPagesRunGoesSaysSoAndStartsNothing) {
  ModeOne h;
  h.ui.Type(Control::DeleteCount, "3");
  h.ui.Type(Control::DeleteDelay, "500");
  h.At(h.desktop.now + 1200, [&] { h.ui.Click(Control::AddStartButton); });
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  ASSERT_FALSE(h.ui.tips.empty());
  EXPECT_EQ(h.ui.tips.back().text, kOtherRunGoing);
  EXPECT_EQ(h.world.Count("sent"), 0);
}

TEST(Delay, OverAMinuteIsRefusedOnItsFieldOnBothPages) {
  for (const bool addJob : {false, true}) {
    ModeOne h;
    if (addJob) h.ui.SelectPage(1);
    const Control field = addJob ? Control::AddDelay : Control::DeleteDelay;
    h.ui.Type(Control::DeleteCount, "1");
    h.tool.state.stickerFiles = kThree;
    for (const char* typed : {"99999999999", "60001", "-1"}) {
      h.ui.Type(field, typed);
      h.F11();
      ASSERT_FALSE(h.ui.tips.empty()) << typed;
      EXPECT_EQ(h.ui.tips.back().text, kDelayWarning) << typed;
      EXPECT_TRUE(h.desktop.Clicks().empty()) << typed;
    }
    h.ui.Type(field, "60000");
    const std::size_t tips = h.ui.tips.size();
    h.At(h.desktop.now + 100, [&] { h.Close(); });
    h.F11();
    EXPECT_EQ(h.ui.tips.size(), tips) << addJob;  // a minute is still a delay
  }
}

struct ClientGoes {
  const char* name;
  std::function<void(Taught&)> happen;
  std::string_view message;
};

class TaughtRunStops : public ::testing::TestWithParam<ClientGoes> {};

// The client goes away while a taught run waits: the run says what happened to the client,
// never that a control looks different.
TEST_P(TaughtRunStops, NamesTheClientNotALook) {
  Taught h;
  h.TeachDelete("5");
  AfterClick(h, 4, 30, [&] { GetParam().happen(h); });  // after the first deletion
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 1);
  EXPECT_EQ(h.LastMessage(), GetParam().message);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "4");
}

void Kill(Taught& h) {
  for (const WindowHandle w :
       {h.client, h.world.openDialog, h.world.forwardWindow, h.world.menuWindow}) {
    h.desktop.WindowAt(w).exists = false;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ClientFirst, TaughtRunStops,
    ::testing::Values(ClientGoes{"Killed", Kill, StopMessage(StopReason::ClientGone)},
                      ClientGoes{"KilledAndStartedAgain",
                                 [](Taught& h) {
                                   const Rect at = h.desktop.WindowAt(h.client).rect;
                                   Kill(h);
                                   h.desktop.AddWindow("WeChatMainWndForPC", "微信", at, {}, 9);
                                 },
                                 StopMessage(StopReason::ClientGone)},
                      ClientGoes{"Minimised",
                                 [](Taught& h) { h.desktop.WindowAt(h.client).minimised = true; },
                                 StopMessage(StopReason::ClientMinimised)},
                      ClientGoes{"Hidden",
                                 [](Taught& h) { h.desktop.WindowAt(h.client).shown = false; },
                                 StopMessage(StopReason::ClientHidden)}),
    [](const auto& test) { return std::string(test.param.name); });

// Every click of a taught run lands on a control of the kind its step means.
TEST(SameScreen, AClientMovedBetweenDeletionsIsFoundAgainBeforeTheNextClick) {
  Taught h;
  h.TeachDelete("3");
  std::vector<std::string> wrong;
  h.desktop.onInput = [&](const InputRecord& input) {
    if (input.kind != InputRecord::Kind::Click) return;
    const std::optional<Box> box = h.world.BoxAt(input.at);
    const bool right = input.button == MouseButton::Right;
    if (!box || right != (box->kind == Kind::Cell)) {
      wrong.push_back(std::to_string(input.at.x) + "," + std::to_string(input.at.y));
    }
    if (h.desktop.Clicks().size() == 4) {  // the first deletion's item: moved right after
      h.At(h.desktop.now + 30, [&] {
        const Rect r = h.desktop.WindowAt(h.client).rect;
        h.world.MoveClient(r.left + 120, r.top + 60);
      });
    }
  };
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
  EXPECT_TRUE(wrong.empty()) << wrong.front();
}

TEST(SameScreen, AMoveWhileTheMenuIsOpenClosesItAndDeletesOnceFromTheRightClick) {
  Taught h;
  h.TeachDelete("3");
  bool movedOnce = false;
  h.desktop.onInput = [&](const InputRecord& input) {
    if (movedOnce || input.kind != InputRecord::Kind::Click || input.button != MouseButton::Right) {
      return;
    }
    movedOnce = true;  // the first sticker's menu is coming up
    h.At(h.desktop.now + 5, [&] {
      const Rect r = h.desktop.WindowAt(h.client).rect;
      h.world.MoveClient(r.left + 120, r.top + 60);
    });
  };
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
  const std::vector<InputRecord> keys = h.desktop.Keys();
  EXPECT_TRUE(std::any_of(keys.begin(), keys.end(),
                          [](const InputRecord& k) { return k.key == vk::kEscape; }));
}

TEST(Screens, AWindowReachingPastTheScreensEdgeIsSearchedWhereItShows) {
  Taught h;
  h.desktop.monitors = {Monitor{Rect{0, 0, 1280, 800}}};
  h.TeachDelete("3");
  h.world.ResizeClient(1100, 860);
  h.world.MoveClient(100, 20);  // its lower part past the screen's lower edge
  ASSERT_LT(h.Centre(Kind::Button, Picture::SmilingFace).y, 800);
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(Screens, AControlOffEveryScreenStopsTheRunSayingSo) {
  Taught h;
  h.desktop.monitors = {Monitor{Rect{0, 0, 1280, 800}}};
  h.TeachDelete("3");
  h.world.MoveClient(120, 500);  // the sticker button below the screen
  ASSERT_GE(h.Centre(Kind::Button, Picture::SmilingFace).y, 800);
  h.F11();
  EXPECT_TRUE(h.desktop.Clicks().empty());
  EXPECT_EQ(h.LastMessage(), StopText(StopReason::OffScreen, "“表情”按钮"));
}

// The tool's window over the client, away from its controls, shows an icon like the sticker
// button's: it is no part of the client, and the button is found where it is.
TEST(Screens, TheToolsOwnIconsAreNeverTakenForTheClientsControls) {
  Taught h;
  h.TeachDelete("2");
  const Point button = h.Centre(Kind::Button, Picture::SmilingFace);
  Image icon;
  ASSERT_TRUE(h.desktop.CaptureScreen(
      Rect{button.x - 20, button.y - 20, button.x + 20, button.y + 20}, icon));
  h.world.ResizeClient(1000, 720);  // the button moved: the whole client is searched
  const WindowHandle tool = h.desktop.AddWindow(
      "PelloramMainWindow", "Pelloram", Rect{700, 200, 780, 280}, {}, FakeDesktop::kToolProcess);
  h.desktop.WindowAt(tool).paint = [icon](Image& picture) {
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const std::size_t from = icon.Offset(x % icon.width, y % icon.height);
        std::copy_n(icon.bgra.data() + from, 4, picture.bgra.data() + picture.Offset(x, y));
      }
    }
  };
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 2);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(Screens, TheToolsOwnWindowOverAControlIsNamed) {
  for (const bool typed : {false, true}) {
    Taught h;
    h.TeachDelete("3");
    if (typed) {
      // Typed by hand over what the user taught: bare screen points.
      for (const Control field : {Control::StickerPanelX, Control::CollectedTabX,
                                  Control::FirstStickerX, Control::DeleteItemX}) {
        h.ui.Type(field, h.ui.Text(field));
      }
    }
    const Point button = h.Centre(Kind::Button, Picture::SmilingFace);
    h.desktop.AddWindow("PelloramMainWindow", "Pelloram",
                        Rect{button.x - 60, button.y - 40, button.x + 240, button.y + 200}, {},
                        FakeDesktop::kToolProcess);
    h.F11();
    EXPECT_TRUE(h.desktop.Clicks().empty()) << typed;
    EXPECT_EQ(h.LastMessage(), StopText(StopReason::ToolInTheWay, "“表情”按钮")) << typed;
  }
}

// The delete item's fields need not be filled in: with the first sticker's point typed by
// hand, the item lies at the client's menu offset from the right click.
TEST(MenuItem, AnEmptyDeleteItemIsFoundAtTheMenuOffsetFromATypedPoint) {
  ModeOne h;
  h.desktop.WindowAt(h.client).rect = Rect{0, 0, 910, 647};
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.TypeDeletePoints();
  h.ui.Type(Control::DeleteItemX, "");
  h.ui.Type(Control::DeleteItemY, "");
  h.ui.Type(Control::DeleteCount, "2");
  h.ui.Type(Control::DeleteDelay, "100");
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 2);
  EXPECT_TRUE(h.ui.messages.empty()) << h.ui.messages.back().text;
}

// Two things wrong at once: the stop names the first of client, screen, look.
TEST(ReasonOrder, TheClientComesBeforeTheScreenAndTheScreenBeforeTheLook) {
  struct Case {
    bool minimise;
    bool toolOver;
    bool offScreen;
    std::string expected;
  };
  const Case cases[] = {
      {true, true, false, std::string(StopMessage(StopReason::ClientMinimised))},
      {true, false, true, std::string(StopMessage(StopReason::ClientMinimised))},
      {false, true, false, StopText(StopReason::ToolInTheWay, "“表情”按钮")},
      {false, false, true, StopText(StopReason::OffScreen, "“表情”按钮")},
  };
  for (const Case& c : cases) {
    Taught h;
    h.desktop.monitors = {Monitor{Rect{0, 0, 1280, 800}}};
    h.TeachDelete("2");
    if (c.offScreen) h.world.MoveClient(120, 500);
    const Point button = h.Centre(Kind::Button, Picture::SmilingFace);
    if (c.toolOver) {
      h.desktop.AddWindow("PelloramMainWindow", "Pelloram",
                          Rect{button.x - 50, button.y - 50, button.x + 50, button.y + 50}, {},
                          FakeDesktop::kToolProcess);
    }
    if (c.minimise) h.desktop.WindowAt(h.client).minimised = true;
    h.F11();
    EXPECT_TRUE(h.desktop.Clicks().empty()) << c.expected;
    EXPECT_EQ(h.LastMessage(), c.expected);
  }
}

TEST(Skips, ADialogThatComesLateIsClosedAndNeverUsedForTheNextFile) {
  Taught h;
  h.TeachAdd();
  h.world.dialogLateFor["C:\\s\\a.gif"] = 7000;  // past the 5 s the run waits for it
  const int sentBefore = h.world.Count("sent");  // teaching sent one
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 2);
  EXPECT_EQ(h.world.Count("sent"), sentBefore + 2);
  EXPECT_FALSE(h.world.model.OpenDialogShowing());
  EXPECT_EQ(h.LastMessage(),
            "添加完成：成功 2 个，已有 0 个，跳过 1 个（a.gif）\r\n"
            "跳过 a.gif：微信的打开对话框没有出现");
}

TEST(Skips, EachReasonIsSaidOnceWithItsFiles) {
  AddTally tally;
  tally.added = 1;
  tally.skipped = {"a.gif", "b.gif", "c.gif"};
  tally.skips = {{"不是 GIF 或是空文件", {"a.gif", "c.gif"}},
                 {"微信的打开对话框没有出现", {"b.gif"}}};
  EXPECT_EQ(AddSummary(tally, ""),
            "添加完成：成功 1 个，已有 0 个，跳过 3 个（a.gif、b.gif、c.gif）\r\n"
            "跳过 a.gif、c.gif：不是 GIF 或是空文件\r\n"
            "跳过 b.gif：微信的打开对话框没有出现");
}


struct Pasted {
  const char* name;
  std::string_view text;
  TypedInput accepts;
  std::string_view taken;
};

class PasteIntoNumberBox : public ::testing::TestWithParam<Pasted> {};

TEST_P(PasteIntoNumberBox, FoldsAsTyping) {
  EXPECT_EQ(PastedIntoNumberBox(GetParam().text, GetParam().accepts), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PasteIntoNumberBox,
    ::testing::Values(Pasted{"FullWidthDigits", "１２０", TypedInput::AnyCharacter, "120"},
                      Pasted{"FullWidthMinus", "－５", TypedInput::IntegerOnly, "-5"},
                      Pasted{"CountDropsLetters", "１2ab３", TypedInput::IntegerOnly, "123"},
                      Pasted{"PointKeepsOtherText", "x：１", TypedInput::AnyCharacter, "x：1"},
                      Pasted{"LineBreaksDropped", "12\r\n", TypedInput::AnyCharacter, "12"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace pelloram::testing

// A run keeps the client it started with, a paused add run goes on where it stopped, the
// client and the clipboard are left as found, and a failed step names its real reason.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "tests/support/temp_folder.h"
#include "workflows/run_report.h"

namespace pelloram::testing {
namespace {

const std::vector<std::string> kFour{"C:\\s\\a.gif", "C:\\s\\b.gif", "C:\\s\\c.gif",
                                     "C:\\s\\d.gif"};

struct Bound : ToolHarness {
  PracticeWorld world{desktop, client, practice::Options{20, {"old.gif"}}};
  static constexpr std::uint32_t kRestartedProcess = 9;
  void Delete(bool modeTwo) {
    desktop.WindowAt(client).rect = Rect{0, 0, 910, 647};
    if (modeTwo) {
      ui.Click(Control::DeleteModeTwoRadio);
      TypeDeletePoints();
    }
    ui.Type(Control::DeleteCount, "10");
    ui.Type(Control::DeleteDelay, "100");
  }
  void Add(bool modeTwo) {
    desktop.WindowAt(client).rect = Rect{0, 0, 910, 647};
    ui.SelectPage(1);
    if (modeTwo) {
      ui.Click(Control::AddModeTwoRadio);
      TypeAddPoints();
    }
    ui.Type(Control::AddDelay, "100");
    tool.state.stickerFiles = kFour;
  }
  void F11() { ui.PressHotkey(vk::kF11); }
  // The user acts right after the run's n-th click, while the client reacts.
  void AfterClick(std::size_t n, std::function<void()> action) {
    desktop.onInput = [this, n, action](const InputRecord&) {
      if (desktop.Clicks().size() == n) At(desktop.now + 10, action);
    };
  }
  // The client is closed and started again at the same place.
  WindowHandle Restart() {
    for (const WindowHandle w : {client, world.openDialog, world.forwardWindow, world.menuWindow}) {
      desktop.WindowAt(w).exists = false;
    }
    return desktop.AddWindow("WeChatMainWndForPC", "微信", Rect{0, 0, 910, 647}, {},
                             kRestartedProcess);
  }
  // Inputs since the n-th that reached a window of the process.
  std::size_t InputsInto(std::uint32_t process, std::size_t since) {
    std::size_t n = 0;
    for (std::size_t i = since; i < desktop.inputs.size(); ++i) {
      const InputRecord& input = desktop.inputs[i];
      const WindowHandle target = input.kind == InputRecord::Kind::Click
                                      ? desktop.TopLevelWindowAt(input.at)
                                      : desktop.ForegroundWindow();
      n += desktop.ProcessOf(target) == process;
    }
    return n;
  }
};

struct Restart {
  const char* name;
  bool addJob;
  bool modeTwo;
};

class RestartedClient : public ::testing::TestWithParam<Restart> {};

// Whatever window of the client's kind comes up later, the run never works it.
TEST_P(RestartedClient, GetsNoInputAndTheRunSaysTheClientWentAway) {
  const Restart& c = GetParam();
  Bound h;
  c.addJob ? h.Add(c.modeTwo) : h.Delete(c.modeTwo);
  std::size_t inputsAtRestart = 0;
  h.AfterClick(4, [&] {
    h.Restart();
    inputsAtRestart = h.desktop.inputs.size();
  });
  h.F11();
  ASSERT_GT(inputsAtRestart, 0u);
  EXPECT_EQ(h.InputsInto(Bound::kRestartedProcess, inputsAtRestart), 0u);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text.rfind(StopMessage(TargetFault::ClientGone), 0), 0u)
      << h.ui.messages[0].text;
  // The next start binds to the client running then.
  h.ui.messages.clear();
  h.desktop.onInput = nullptr;
  const std::size_t before = h.desktop.inputs.size();
  h.F11();
  EXPECT_GT(h.InputsInto(Bound::kRestartedProcess, before), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothJobsBothModes, RestartedClient,
                         ::testing::Values(Restart{"DeleteModeOne", false, false},
                                           Restart{"DeleteModeTwo", false, true},
                                           Restart{"AddModeOne", true, false},
                                           Restart{"AddModeTwo", true, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(Resume, F11PausesAnAddRunAtOnceAndTheStickerInHandStartsAgainOnTheNextF11) {
  Bound h;
  h.Add(false);
  h.AfterClick(1, [&] { h.F11(); });  // while the first sticker's dialog comes up
  h.F11();
  EXPECT_EQ(h.world.Count("sent"), 0);
  EXPECT_FALSE(h.world.model.OpenDialogShowing());  // closed on the way out
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "已暂停。\r\n添加暂停：成功 0 个，已有 0 个，跳过 0 个，还有 4 个。\r\n"
            "按 F11 从第 1 个（a.gif）继续添加。");
  h.desktop.onInput = nullptr;
  h.F11();
  EXPECT_EQ(h.world.Count("sent"), 4);
  EXPECT_EQ(h.world.model.Collection(),
            (std::vector<std::string>{"old.gif", "a.gif", "b.gif", "c.gif", "d.gif"}));
  ASSERT_EQ(h.ui.messages.size(), 2u);
  EXPECT_EQ(h.ui.messages[1].text, "添加完成：成功 4 个，已有 0 个，跳过 0 个");
}

// A new folder, a page change or a mode change forgets the pause: the next start begins
// the list afresh.
TEST(Resume, APageChangeForgetsThePause) {
  Bound h;
  h.Add(false);
  h.AfterClick(1, [&] { h.F11(); });
  h.F11();
  ASSERT_TRUE(h.tool.state.pausedAdd.has_value());
  h.ui.SelectPage(0);
  h.ui.SelectPage(1);
  EXPECT_FALSE(h.tool.state.pausedAdd.has_value());
  h.ui.Click(Control::AddModeTwoRadio);
  h.ui.Click(Control::AddModeOneRadio);
  EXPECT_FALSE(h.tool.state.pausedAdd.has_value());
}

TEST(RealReason, AClientClosedWhileTheRunWaitsForItsMenuIsNamed) {
  Bound h;
  h.Delete(false);
  h.world.reactMs = 800;  // the menu would come after the client is gone
  h.AfterClick(3, [&] {
    for (const WindowHandle w : {h.client, h.world.menuWindow}) {
      h.desktop.WindowAt(w).exists = false;
    }
  });
  h.F11();
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text, StopMessage(TargetFault::ClientGone));
}

TEST(RealReason, AHiddenOrMinimisedClientIsNamed) {
  for (const bool minimised : {false, true}) {
    Bound h;
    h.Delete(false);
    h.AfterClick(3, [&] {
      auto& window = h.desktop.WindowAt(h.client);
      (minimised ? window.minimised : window.shown) = minimised;
    });
    h.F11();
    ASSERT_EQ(h.ui.messages.size(), 1u);
    EXPECT_EQ(h.ui.messages[0].text,
              StopMessage(minimised ? TargetFault::ClientMinimised : TargetFault::ClientHidden));
  }
}

TEST(RealReason, AFolderGoneMidRunIsNamedAndNotSkippedAgain) {
  Bound h;
  h.Add(false);
  h.AfterClick(4, [&] {  // the second sticker is on its way
    for (const std::string& path : kFour) h.desktop.missingFiles.insert(path);
    h.desktop.missingFolders.insert("C:\\s\\");
  });
  h.F11();
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text.rfind(StopMessage(TargetFault::FolderGone), 0), 0u);
  EXPECT_EQ(h.ui.Text(Control::FolderCountLabel), "当前表情数量： 0");
  h.F11();  // nothing left to add: the start asks for a folder
  EXPECT_EQ(h.ui.pickerTitles.size(), 1u);
}

TEST(LeaveAsFound, TheUsersClipboardTextComesBackAndNoTextLeavesItEmpty) {
  for (const bool hadText : {true, false}) {
    Bound h;
    h.Add(false);
    h.desktop.clipboard = hadText ? "copied by the user" : "";
    h.desktop.clipboardHasText = hadText;
    h.F11();
    EXPECT_EQ(h.world.Count("added"), 4);
    EXPECT_EQ(h.desktop.clipboardHasText, hadText);
    EXPECT_EQ(h.desktop.clipboard, hadText ? "copied by the user" : "");
  }
}

// Another program holds the clipboard as the run starts: what the user had is read once the
// hold ends, before the run's first path replaces it, and comes back at the end.
TEST(LeaveAsFound, AClipboardHeldAtTheStartStillComesBack) {
  Bound h;
  h.Add(false);
  h.desktop.clipboard = "copied by the user";
  h.desktop.clipboardRefusals = 150;  // 20 ms apart: about 3 s
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 3);  // the first sticker waited out its 2 s and was skipped
  EXPECT_EQ(h.desktop.clipboard, "copied by the user");
}

// The user closes the tool by its close box, so the tool's window is in front: the
// client's dialog is asked to the front for its Escape. Where the system does not grant
// that, no key goes out at all.
TEST(LeaveAsFound, ClosingTheToolClosesTheDialogTheRunOpenedAndPutsTheClipboardBack) {
  for (const bool granted : {true, false}) {
    Bound h;
    h.Add(false);
    h.desktop.clipboard = "copied by the user";
    h.desktop.refuseForeground = !granted;
    h.world.reactMs = 300;
    bool dialogWasUp = false;
    std::size_t keysAtClose = 0;
    h.desktop.onInput = [&](const InputRecord& input) {
      if (input.kind != InputRecord::Kind::KeyDown || input.key != vk::kV) return;
      h.At(h.desktop.now + 10, [&] {  // the path is pasted into the dialog
        dialogWasUp = h.world.model.OpenDialogShowing();
        h.desktop.AddWindow("PelloramMainWindow", "Pelloram", Rect{1000, 500, 1300, 800}, {}, 5);
        keysAtClose = h.desktop.Keys().size();
        h.Close();
      });
    };
    h.F11();
    EXPECT_TRUE(dialogWasUp);
    EXPECT_EQ(h.world.model.OpenDialogShowing(), !granted) << granted;
    EXPECT_EQ(h.desktop.Keys().size(), keysAtClose + (granted ? 2 : 0)) << granted;
    EXPECT_EQ(h.desktop.clipboard, "copied by the user");
    EXPECT_TRUE(h.ui.messages.empty());
  }
}

TEST(NotAGif, AnEmptyFileOrAnotherKindIsSkippedAndNamed) {
  Bound h;
  h.Add(false);
  h.desktop.fileStarts["C:\\s\\b.gif"] = "";
  h.desktop.fileStarts["C:\\s\\c.gif"] = "\x89PNG\r\n";
  h.F11();
  EXPECT_EQ(h.world.Count("sent"), 2);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "添加完成：成功 2 个，已有 0 个，跳过 2 个（b.gif、c.gif）\r\n"
            "跳过 b.gif、c.gif：不是 GIF 或是空文件");
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

// The newer client: its forward window is titled "微信发送给", and a window of its that
// the run does not know, come up after an add item, stops the run, named by its title.
TEST(NewerClientWindows, ItsForwardWindowIsKnownAndAStrangeOneStopsTheRun) {
  Bound h;
  h.desktop.WindowAt(h.world.forwardWindow).title = "微信发送给";
  h.Add(false);
  h.tool.state.stickerFiles = {"C:\\s\\old.gif", "C:\\s\\b.gif", "C:\\s\\c.gif"};
  h.AfterClick(6, [&] {  // the second sticker's add item
    h.desktop.AddWindow("Qt51514QWindowIcon", "提示", Rect{300, 300, 500, 400});
  });
  h.F11();
  EXPECT_EQ(h.world.Count("forward closed"), 1);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text.rfind("微信弹出了“提示”窗口，已停止。", 0), 0u)
      << h.ui.messages[0].text;
  EXPECT_EQ(h.world.Count("sent"), 2);  // nothing more after the strange window
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

// A folder chosen while the run that pauses is still going starts the next pass afresh.
TEST(Resume, ANewFolderChosenDuringThePausingRunIsNotGoneOnFrom) {
  Bound h;
  h.Add(false);
  const TempFolder folder;
  std::ofstream(folder.path() / "z.gif") << "GIF89a";
  h.ui.folderAnswers.push_back(folder.Utf8());
  h.AfterClick(1, [&] {
    h.ui.Click(Control::ChooseFolderButton);
    h.F11();
  });
  h.F11();
  EXPECT_FALSE(h.tool.state.pausedAdd.has_value());
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text.find("按 F11 从第"), std::string::npos) << h.ui.messages[0].text;
}

}  // namespace
}  // namespace pelloram::testing

// The add job against the practice client's model on the fake desktop, and the folder
// listing on real temporary folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "tests/support/temp_folder.h"
#include "workflows/add_run.h"
#include "workflows/sticker_folder.h"

namespace pelloram::testing {
namespace {

using Kind = InputRecord::Kind;

// The tool on the add page, the practice client holding `collected`.
struct AddJob : ToolHarness {
  PracticeWorld world;
  explicit AddJob(std::vector<std::string> collected = {"old.gif"}, std::string_view delay = "100")
      : world(desktop, client, practice::Options{0, std::move(collected)}) {
    ui.SelectPage(1);
    ui.Type(Control::AddDelay, delay);
  }
  void Files(std::vector<std::string> paths) { tool.state.stickerFiles = std::move(paths); }
  void F11() { ui.PressHotkey(vk::kF11); }
  void EnterModeTwoPoints() {
    ui.Click(Control::AddModeTwoRadio);
    TypeAddPoints();
  }
};

TEST(AddRun, OneStickerIsSentAndAdded) {
  AddJob h;
  h.Files({"C:\\s\\a.gif"});
  h.desktop.clipboard = "the user's own text";
  h.F11();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, 910, 647}));
  EXPECT_EQ(h.desktop.ClickPoints(), (std::vector<Point>{{373, 526}, {799, 459}, {829, 474}}));
  EXPECT_EQ(h.desktop.Clicks()[1].button, MouseButton::Right);
  std::vector<std::pair<Kind, int>> keys;
  for (const auto& key : h.desktop.Keys()) keys.emplace_back(key.kind, key.key);
  const std::vector<std::pair<Kind, int>> expected{
      {Kind::KeyDown, 0x11}, {Kind::KeyDown, 0x56}, {Kind::KeyUp, 0x11},   {Kind::KeyUp, 0x56},
      {Kind::KeyDown, 0x0D}, {Kind::KeyUp, 0x0D},   {Kind::KeyDown, 0x0D}, {Kind::KeyUp, 0x0D}};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "a.gif"}));
  EXPECT_EQ(h.desktop.clipboard, "the user's own text");  // put back at the end
  EXPECT_TRUE(h.ui.tips.empty());
}

// A step ends when the client has reacted: against a quick client the run takes less
// than one delay per click and key, and nothing is lost.
TEST(AddRun, StepsEndWhenTheClientHasReacted) {
  AddJob h({"old.gif"}, "500");
  h.Files({"C:\\s\\a.gif", "C:\\s\\b.gif"});
  const auto start = h.desktop.now;
  h.F11();
  const auto steps = h.desktop.Clicks().size() + h.desktop.Keys().size() / 2;
  EXPECT_LT(h.desktop.now - start, steps * 500);
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "a.gif", "b.gif"}));
}

TEST(AddRun, AStickerWhoseDialogDoesNotOpenIsSkippedAndNamed) {
  AddJob h;
  h.Files({"C:\\s\\1.gif", "C:\\s\\2.gif", "C:\\s\\3.gif"});
  h.world.dialogFailsFor.insert("C:\\s\\2.gif");
  h.F11();
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "1.gif", "3.gif"}));
  EXPECT_TRUE(h.ui.tips.empty());
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "添加完成：成功 2 个，已有 0 个，跳过 1 个（2.gif）\r\n"
            "跳过 2.gif：微信的打开对话框没有出现");
}

TEST(AddRun, AnAlreadyCollectedStickerIsReportedAndTheForwardWindowClosed) {
  AddJob h({"old.gif"});
  h.Files({"D:\\old.gif", "D:\\new.gif"});
  const auto start = h.desktop.now;
  h.F11();
  EXPECT_EQ(h.world.Count("refused"), 1);
  EXPECT_EQ(h.world.Count("forward closed"), 1);
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "new.gif"}));
  EXPECT_EQ(h.desktop.WindowAt(h.world.forwardWindow).rect, (Rect{0, 0, 550, 485}));
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].tip, Control::NoteTip);
  EXPECT_EQ(h.ui.tips[0].text, "添加失败！已有此表情....\r\n继续下一个！");
  EXPECT_TRUE(h.ui.tips[0].hideBySelf);
  // The forward window is given a delay before it is moved and Escape is pressed.
  EXPECT_GE(h.desktop.now - start, 100u);
}

TEST(AddRun, DelayRulesOfModeOne) {
  for (const char* typed : {"0", "", "abc"}) {
    AddJob h({}, typed);
    h.Files({"C:\\a.gif"});
    h.F11();
    EXPECT_EQ(h.ui.Text(Control::AddDelay), "300") << typed;
    EXPECT_EQ(h.world.Count("added"), 1) << typed;  // one pass, never two
    EXPECT_EQ(h.desktop.ClickPoints().front(), (Point{373, 526})) << typed;
  }
  AddJob fast({}, "100");
  fast.Files({"C:\\a.gif"});
  fast.F11();
  EXPECT_EQ(fast.ui.Text(Control::AddDelay), "100");
}

TEST(AddRun, AnEmptyListAsksForTheFolderOnceAndEndsThere) {
  AddJob h({}, "500");
  const TempFolder folder;
  std::ofstream(folder.path() / "x.gif") << "GIF89a";
  h.ui.folderAnswers.push_back(folder.Utf8());
  h.desktop.WindowAt(h.client).rect = Rect{50, 60, 700, 500};
  h.F11();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, 910, 647}));
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, "表情都不选，我操作什么？空气吗？\r\n选完表情再来一次！");
  EXPECT_EQ(h.ui.pickerTitles, (std::vector<std::string>{"选择要添加的表情文件夹"}));
  EXPECT_EQ(h.tool.state.stickerFiles.size(), 1u);
  EXPECT_TRUE(h.desktop.Clicks().empty());
  h.F11();  // the next start adds the chosen file
  EXPECT_EQ(h.world.Count("added"), 1);
}

TEST(AddRun, ModeTwoAddsWithTheCapturedPointsAndItsOwnDelayRule) {
  AddJob h({}, "0");
  h.EnterModeTwoPoints();
  h.ui.Type(Control::AddDelay, "0");
  h.Files({"C:\\a.gif"});
  h.desktop.WindowAt(h.client).rect = Rect{0, 0, 910, 647};  // where the points were taken
  const auto start = h.desktop.now;
  h.F11();
  EXPECT_EQ(h.ui.Text(Control::AddDelay), "500");
  EXPECT_EQ(h.desktop.ClickPoints(), (std::vector<Point>{{373, 526}, {799, 459}, {829, 474}}));
  // Only the 500 ms before a mode-two run: a path on the clipboard needs no wait.
  EXPECT_EQ(h.WholeDelays(h.desktop.Clicks()[0].time - start, 500), 1u);
  EXPECT_TRUE(h.desktop.moved.empty());
  EXPECT_EQ(h.world.Count("added"), 1);
}

TEST(AddRun, ModeTwoWithAnEmptyListAsksOnceAndEnds) {
  AddJob h;
  h.EnterModeTwoPoints();
  h.F11();
  EXPECT_EQ(h.ui.pickerTitles.size(), 1u);
  EXPECT_TRUE(h.desktop.Clicks().empty());
}

TEST(AddRun, AStartDuringARunIsRefused) {
  AddJob h;
  h.Files({"C:\\a.gif", "C:\\b.gif"});
  h.At(h.desktop.now + 250, [&] { h.F11(); });
  h.At(h.desktop.now + 350, [&] { h.ui.Click(Control::AddStartButton); });
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 2);
  EXPECT_EQ(h.desktop.Clicks().size(), 6u);
}

TEST(AddRun, AFolderChosenDuringARunIsForTheNextStart) {
  AddJob h;
  h.Files({"C:\\a.gif", "C:\\b.gif"});
  const TempFolder folder;
  std::ofstream(folder.path() / "z.gif") << "GIF89a";
  h.ui.folderAnswers.push_back(folder.Utf8());
  h.desktop.onInput = [&](const InputRecord&) {  // while the first sticker is being sent
    if (h.desktop.Clicks().size() == 1)
      h.At(h.desktop.now + 10, [&] { h.ui.Click(Control::ChooseFolderButton); });
  };
  h.F11();
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "a.gif", "b.gif"}));
  EXPECT_EQ(h.tool.state.stickerFiles.size(), 1u);
}

TEST(AddRun, ClosingDuringARunEndsItWithoutAnotherInput) {
  AddJob h;
  h.Files({"C:\\a.gif", "C:\\b.gif", "C:\\c.gif"});
  const auto closeAt = h.desktop.now + 1000;
  h.At(closeAt, [&] { h.Close(); });
  h.F11();
  for (const auto& input : h.desktop.inputs) EXPECT_LE(input.time, closeAt);
  EXPECT_LE(h.desktop.now, closeAt);
  EXPECT_LT(h.world.Count("added"), 3);
  EXPECT_TRUE(h.ui.messages.empty());  // closing ends the run without a word
}

// Another program holds the clipboard: a short hold is waited out, a long one skips the
// sticker before anything is opened or pasted, and the summary names it.
TEST(AddRun, AHeldClipboardIsWaitedOutOrTheStickerSkippedAndNamed) {
  AddJob h;
  h.Files({"C:\\a.gif", "C:\\b.gif", "C:\\c.gif"});
  h.desktop.clipboard = "stale";
  h.desktop.clipboardRefusalsFor["C:\\a.gif"] = 10;       // about 200 ms
  h.desktop.clipboardRefusalsFor["C:\\b.gif"] = 1 << 30;  // for good
  h.F11();
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "a.gif", "c.gif"}));
  EXPECT_EQ(h.world.Count("refused"), 0);
  ASSERT_EQ(h.ui.messages.size(), 1u);
  EXPECT_EQ(h.ui.messages[0].text,
            "添加完成：成功 2 个，已有 0 个，跳过 1 个（b.gif）\r\n"
            "跳过 b.gif：剪贴板被别的程序占用或改动了，路径没能交给打开对话框");
}

TEST(AddRun, PathsInAnyScriptReachTheDialogUnchanged) {
  AddJob h;
  const std::string path = "C:\\表情\\😀 a.gif";
  const std::string longPath = "C:\\" + std::string(300, 'x') + "\\ステッカー.gif";
  h.Files({path, longPath});
  h.F11();
  EXPECT_EQ(h.world.model.Collection(),
            (std::vector<std::string>{"old.gif", "😀 a.gif", "ステッカー.gif"}));
}

class ListFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(temp_.path().empty()); }
  void Touch(const std::u8string& name) {
    std::ofstream(folder_ / std::filesystem::path(name)) << "x";
  }
  std::string Folder() const { return temp_.Utf8(); }
  TempFolder temp_{"list"};
  const std::filesystem::path& folder_ = temp_.path();
  FakeDesktop desktop_;
};

TEST_F(ListFilesTest, TakesGifFilesOfAnyCaseAndPassesOverTheRest) {
  Touch(u8"a.gif");
  Touch(u8"B.GIF");
  Touch(u8"c.png");
  Touch(u8"a.gifx");
  std::filesystem::create_directories(folder_ / "d.gif");
  std::ofstream(folder_ / "d.gif" / "inner.gif") << "x";
  std::vector<std::string> list{"left over"};
  EXPECT_EQ(ListFiles(desktop_, Folder(), "*.gif", list), 2);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{Folder() + "/B.GIF", Folder() + "/a.gif"}));
}

TEST_F(ListFilesTest, KeepsNamesInEveryScriptAndDoesNotDoubleATrailingSeparator) {
  Touch(u8"表情.gif");
  Touch(u8"😀 smile.GIF");
  std::vector<std::string> list;
  EXPECT_EQ(ListFiles(desktop_, Folder() + "/", "*.gif", list), 2);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list[0], Folder() + "/表情.gif");
  EXPECT_EQ(list[1], Folder() + "/😀 smile.GIF");
}

TEST_F(ListFilesTest, EachPatternIsOnePassAndMissingFoldersGiveNothing) {
  Touch(u8"a.gif");
  Touch(u8"b.png");
  std::vector<std::string> list;
  EXPECT_EQ(ListFiles(desktop_, Folder(), "*.png|*.gif", list), 2);
  EXPECT_EQ(list[0], Folder() + "/b.png");
  EXPECT_EQ(ListFiles(desktop_, Folder() + "/missing", "*.gif", list), 0);
  EXPECT_TRUE(list.empty());
}

TEST_F(ListFilesTest, HandlesMessagesAfterEachFile) {
  for (int i = 0; i < 5; ++i) Touch(std::u8string(u8"f") + char8_t('0' + i) + u8".gif");
  int handled = 0;
  for (int i = 0; i < 3; ++i) desktop_.At(desktop_.now, [&] { ++handled; });
  std::vector<std::string> list;
  ListFiles(desktop_, Folder(), "*.gif", list);
  EXPECT_EQ(handled, 3);
}

TEST_F(ListFilesTest, ChoosingAFolderShowsTheCountAndACancelKeepsIt) {
  Touch(u8"a.gif");
  Touch(u8"b.gif");
  ToolHarness h;
  h.ui.folderAnswers = {Folder(), ""};
  h.ui.Click(Control::ChooseFolderButton);
  EXPECT_EQ(h.ui.Text(Control::FolderCountLabel), "当前表情数量： 2");
  EXPECT_EQ(h.tool.state.stickerFiles.size(), 2u);
  h.ui.Click(Control::ChooseFolderButton);
  EXPECT_EQ(h.ui.Text(Control::FolderCountLabel), "当前表情数量： 2");
  EXPECT_EQ(h.tool.state.stickerFiles.size(), 2u);
}

TEST(MatchesPattern, WorksLikeTheSystemsWildcards) {
  EXPECT_TRUE(MatchesPattern("a.gif", "*.gif"));
  EXPECT_TRUE(MatchesPattern("A.GiF", "*.gif"));
  EXPECT_TRUE(MatchesPattern(".gif", "*.gif"));
  EXPECT_TRUE(MatchesPattern("a.b.gif", "*.gif"));
  EXPECT_FALSE(MatchesPattern("a.gifx", "*.gif"));
  EXPECT_FALSE(MatchesPattern("gif", "*.gif"));
  EXPECT_TRUE(MatchesPattern("ab", "a?"));
  EXPECT_TRUE(MatchesPattern("表情.gif", "*.gif"));
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

TEST(AddRun, AForwardWindowLeftUpIsClosedBeforeTheNextSticker) {
  AddJob h({"old.gif"});
  // The previous sticker's forward window came up after its check had looked.
  h.world.model.Click({370, 520}, practice::Button::Left);
  h.world.model.OpenDialogShown();
  h.world.model.OpenDialogConfirmed("C:\\old.gif", true);
  h.world.model.KeyDown(vk::kReturn);
  h.world.model.Click({799, 459}, practice::Button::Right);
  h.world.model.Click({829, 474}, practice::Button::Left);
  h.desktop.WindowAt(h.world.forwardWindow).exists = h.world.model.ForwardShowing();
  ASSERT_TRUE(h.world.model.ForwardShowing());
  h.Files({"C:\\new.gif"});
  h.F11();
  EXPECT_FALSE(h.world.model.ForwardShowing());
  EXPECT_EQ(h.world.model.Collection(), (std::vector<std::string>{"old.gif", "new.gif"}));
  ASSERT_EQ(h.ui.tips.size(), 1u);
  EXPECT_EQ(h.ui.tips[0].text, "添加失败！已有此表情....\r\n继续下一个！");
}

}  // namespace
}  // namespace pelloram::testing

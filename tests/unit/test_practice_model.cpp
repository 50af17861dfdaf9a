// The practice client must react to the tool's points and offsets the way the chat client
// does, and its journal must stay machine-readable whatever the paths contain.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "client/chat_client.h"
#include "practice_client/command_line.h"
#include "practice_client/model.h"
#include "services/utf8.h"

namespace {

namespace chat = pelloram::chat;
using practice::Button;
using practice::Model;
using practice::Pt;

// A field's value as the line writes it, a string without its quotes. Enough for the
// numbers and names read here, which hold no comma, brace or escaped character.
std::string Field(const std::string& line, std::string_view key) {
  const std::string tag = "\"" + std::string(key) + "\":";
  const std::size_t at = line.find(tag);
  if (at == std::string::npos) return "(no " + std::string(key) + ")";
  const std::size_t start = at + tag.size();
  std::string value = line.substr(start, line.find_first_of(",}", start) - start);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

Pt At(pelloram::Point p) { return {p.x, p.y}; }
Pt Plus(Pt p, pelloram::Point offset) { return {p.x + offset.x, p.y + offset.y}; }

class PracticeClient : public ::testing::Test {
 protected:
  explicit PracticeClient(practice::Options options = {})
      : model_(std::move(options), [this](const std::string& line) { lines_.push_back(line); }) {}

  void Left(Pt p) { model_.Click(p, Button::Left); }
  void Right(Pt p) { model_.Click(p, Button::Right); }

  void OpenCollectedStickers() {
    Left(At(chat::kStickerPanelButton));
    Left(At(chat::kCollectedTab));
  }

  // The tool's per-file steps up to the send: file button, dialog, Enter.
  void SendFile(const std::string& path) {
    Left(At(chat::kFileButton));
    ASSERT_TRUE(model_.OpenDialogWanted());
    model_.OpenDialogShown();
    model_.OpenDialogConfirmed(path, true);
    model_.KeyDown(pelloram::vk::kReturn);
  }

  void AddNewest() {
    Right(At(chat::kSentSticker));
    Left(At(chat::kAddItem));
  }

  // Whatever the scenario, each line is one numbered object that ends with the collection size.
  void TearDown() override {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      const std::string& line = lines_[i];
      EXPECT_TRUE(line.starts_with("{\"seq\":" + std::to_string(i + 1) + ",\"event\":\"")) << line;
      EXPECT_TRUE(line.ends_with("}") && line.find(",\"count\":") != std::string::npos) << line;
      EXPECT_TRUE(pelloram::utf8::IsValid(line)) << line;
    }
  }

  std::vector<std::string> Events(std::string_view event) const {
    std::vector<std::string> found;
    for (const std::string& line : lines_) {
      if (Field(line, "event") == event) found.push_back(line);
    }
    return found;
  }

  std::string LastHit() const {
    const auto clicks = Events("click");
    return clicks.empty() ? "" : Field(clicks.back(), "hit");
  }

  using Names = std::vector<std::string>;
  std::vector<std::string> lines_;
  Model model_;
};

class PracticeDeleteJob : public PracticeClient {};

TEST_F(PracticeDeleteJob, BuiltInPointsDeleteTheFirstStickerUntilNoneIsLeft) {
  OpenCollectedStickers();
  EXPECT_EQ(LastHit(), "collected_tab");
  ASSERT_TRUE(model_.CollectedTabShown());
  for (int remaining = 9; remaining >= 0; --remaining) {
    Right(At(chat::kFirstSticker));
    ASSERT_TRUE(model_.StickerMenuOpen()) << remaining;
    Left(At(chat::kDeleteItem));
    EXPECT_EQ(model_.Collection().size(), static_cast<std::size_t>(remaining));
  }
  const auto deleted = Events("deleted");
  ASSERT_EQ(deleted.size(), 10u);
  EXPECT_EQ(Field(deleted.front(), "name"), "sticker01.gif");
  EXPECT_EQ(Field(deleted[1], "name"), "sticker02.gif");  // the next took its place
  EXPECT_EQ(Field(deleted.back(), "remaining"), "0");

  // Nothing left: the first cell is empty and opens no menu.
  Right(At(chat::kFirstSticker));
  EXPECT_FALSE(model_.StickerMenuOpen());
}

TEST_F(PracticeDeleteJob, CapturedPointAnywhereInTheFirstCellFindsDeleteAtTheModeTwoOffset) {
  OpenCollectedStickers();
  for (const Pt captured : {Pt{151, 186}, Pt{175, 210}, Pt{199, 234}, Pt{160, 230}}) {
    const std::string first = model_.Collection().front();
    Right(captured);
    EXPECT_EQ(LastHit(), "first_sticker");
    Left(Plus(captured, chat::kDeleteItemOffset));
    EXPECT_EQ(LastHit(), "delete_item") << captured.x << "," << captured.y;
    EXPECT_NE(model_.Collection().front(), first);
  }
}

TEST_F(PracticeDeleteJob, ALaterStickerCanBeDeletedThroughItsOwnMenu) {
  OpenCollectedStickers();
  const Pt third{175 + 2 * 50, 210};
  Right(third);
  EXPECT_EQ(LastHit(), "sticker");
  Left(Plus(third, chat::kDeleteItemOffset));
  EXPECT_EQ(model_.Collection()[2], "sticker04.gif");
  EXPECT_EQ(model_.Collection().front(), "sticker01.gif");
}

TEST_F(PracticeDeleteJob, StepsOutOfOrderDeleteNothing) {
  // Panel without the collected tab: the stickers are not on show.
  Left(At(chat::kStickerPanelButton));
  EXPECT_TRUE(model_.PanelOpen());
  EXPECT_FALSE(model_.CollectedTabShown());
  Right(At(chat::kFirstSticker));
  Left(At(chat::kDeleteItem));
  EXPECT_FALSE(model_.StickerMenuOpen());

  // A click elsewhere closes the menu, so a later click on the item's place is harmless.
  Left(At(chat::kCollectedTab));
  Right(At(chat::kFirstSticker));
  Left({400, 400});
  EXPECT_FALSE(model_.StickerMenuOpen());
  Left(At(chat::kDeleteItem));

  // A second press of the sticker button closes the panel; it reopens on its default tab.
  Left(At(chat::kStickerPanelButton));
  EXPECT_FALSE(model_.PanelOpen());
  Left(At(chat::kStickerPanelButton));
  EXPECT_FALSE(model_.CollectedTabShown());

  EXPECT_EQ(model_.Collection().size(), 10u);
  EXPECT_TRUE(Events("deleted").empty());
}

class PracticeAddJob : public PracticeClient {
 protected:
  PracticeAddJob() : PracticeClient(practice::Options{0, {"old.gif"}}) {}
};

TEST_F(PracticeAddJob, FileButtonDialogAndEnterSendTheFileUnderTheSentStickerPoint) {
  Left(At(chat::kFileButton));
  EXPECT_EQ(LastHit(), "file_button");
  EXPECT_TRUE(model_.OpenDialogWanted());
  model_.OpenDialogShown();
  EXPECT_FALSE(model_.OpenDialogWanted());
  EXPECT_TRUE(model_.OpenDialogShowing());
  model_.OpenDialogConfirmed("C:\\表情\\😀 a.gif");
  EXPECT_FALSE(model_.OpenDialogShowing());
  EXPECT_EQ(model_.PendingInput(), "😀 a.gif");

  model_.KeyDown(pelloram::vk::kReturn);
  EXPECT_EQ(model_.PendingInput(), "");
  EXPECT_EQ(model_.SentMessages(), Names{"😀 a.gif"});
  Right(At(chat::kSentSticker));
  EXPECT_EQ(LastHit(), "sent_sticker");
  EXPECT_TRUE(model_.SentMenuOpen());
}

TEST_F(PracticeAddJob, AddItemCollectsTheNewestSentStickerOnce) {
  SendFile("C:\\s\\one.gif");
  SendFile("D:/s/two.gif");
  AddNewest();
  EXPECT_EQ(LastHit(), "add_item");
  EXPECT_EQ(model_.Collection(), (Names{"old.gif", "two.gif"}));
  EXPECT_FALSE(model_.ForwardShowing());

  // The add item follows the right-clicked point, here the mode-two offset from elsewhere.
  SendFile("C:\\s\\three.gif");
  const Pt sent{770, 430};
  Right(sent);
  Left(Plus(sent, chat::kAddItemOffset));
  EXPECT_EQ(model_.Collection().back(), "three.gif");
  EXPECT_EQ(Field(Events("added").back(), "count"), "3");
}

TEST_F(PracticeAddJob, AlreadyCollectedStickerBringsUpTheForwardWindowThatEscapeCloses) {
  SendFile("C:\\s\\old.gif");
  AddNewest();
  EXPECT_TRUE(model_.ForwardShowing());
  EXPECT_EQ(model_.ForwardStickerName(), "old.gif");
  EXPECT_EQ(model_.Collection(), Names{"old.gif"});
  const auto refused = Events("refused");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(Field(refused[0], "reason"), "already collected");

  model_.ForwardKeyDown(pelloram::vk::kReturn);
  EXPECT_TRUE(model_.ForwardShowing());
  model_.ForwardKeyDown(pelloram::vk::kEscape);
  EXPECT_FALSE(model_.ForwardShowing());
  EXPECT_EQ(Events("forward closed").size(), 1u);
}

TEST_F(PracticeAddJob, NothingIsSentWithoutAFileInTheInput) {
  model_.KeyDown(pelloram::vk::kReturn);  // nothing pending
  Left(At(chat::kFileButton));
  model_.OpenDialogShown();
  model_.OpenDialogCancelled();
  model_.KeyDown(pelloram::vk::kReturn);
  Left(At(chat::kFileButton));
  model_.OpenDialogShown();
  model_.OpenDialogConfirmed("C:\\a folder\\");  // a folder, not a file
  model_.KeyDown(pelloram::vk::kReturn);

  EXPECT_TRUE(model_.SentMessages().empty());
  EXPECT_EQ(Events("key").size(), 3u);
  EXPECT_EQ(Events("dialog cancelled").size(), 1u);
  // With no message, the sent-sticker point and the add item are blank.
  AddNewest();
  EXPECT_EQ(LastHit(), "nothing");
  EXPECT_EQ(model_.Collection(), Names{"old.gif"});
}

class PracticeJournal : public PracticeClient {
 protected:
  PracticeJournal() : PracticeClient(practice::Options{3, {}}) {}
};

TEST_F(PracticeJournal, EveryEventIsOneLineWithTheCollectionSizeAfterIt) {
  Left(At(chat::kStickerPanelButton));
  Left(At(chat::kCollectedTab));
  Right(At(chat::kFirstSticker));
  Left(At(chat::kDeleteItem));
  Left({5, 300});
  model_.KeyDown(pelloram::vk::kEscape);

  const Names events = {"start", "click", "click", "click", "click", "deleted", "click", "key"};
  ASSERT_EQ(lines_.size(), events.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    EXPECT_EQ(Field(lines_[i], "event"), events[i]);
    EXPECT_EQ(Field(lines_[i], "count"), i < 5 ? "3" : "2") << lines_[i];
  }
  EXPECT_EQ(lines_[0],
            R"({"seq":1,"event":"start",)"
            R"("collection":["sticker01.gif","sticker02.gif","sticker03.gif"],"count":3})");
  EXPECT_EQ(Field(lines_[6], "hit"), "nothing");
}

TEST_F(PracticeJournal, PathsAreWrittenWholeAndEscaped) {
  model_.OpenDialogShown();
  model_.OpenDialogConfirmed("C:\\表情\\\"引号\"\t\x01😀 a\\b.gif", false);
  EXPECT_EQ(lines_.back(),
            R"({"seq":3,"event":"opened","path":"C:\\表情\\\"引号\"\t\u0001😀 a\\b.gif",)"
            R"("name":"b.gif","exists":false,"count":3})");
}

// --close-after: the client goes away right after the N-th line of one event, and says so.
class PracticeEnd : public PracticeClient {
 protected:
  PracticeEnd() : PracticeClient(practice::Options{3, {}, {"deleted", 2}}) {}

  void DeleteFirst() {
    Right(At(chat::kFirstSticker));
    Left(At(chat::kDeleteItem));
  }
};

TEST_F(PracticeEnd, EndsRightAfterTheNthLineOfItsEventOnce) {
  OpenCollectedStickers();
  DeleteFirst();
  EXPECT_FALSE(model_.EndWanted());
  DeleteFirst();
  ASSERT_TRUE(model_.EndWanted());
  EXPECT_FALSE(model_.CloseWanted());  // the close box was not clicked
  ASSERT_GE(lines_.size(), 2u);
  EXPECT_EQ(Field(lines_[lines_.size() - 2], "event"), "deleted");
  EXPECT_EQ(Field(lines_.back(), "event"), "closing");
  EXPECT_EQ(Field(lines_.back(), "after"), "deleted");
  EXPECT_EQ(Field(lines_.back(), "times"), "2");
  DeleteFirst();
  EXPECT_EQ(Events("closing").size(), 1u);
}

TEST(PracticeClientLayout, TheDragStripCoversNoControl) {
  const Model model({3, {}}, nullptr);
  for (const pelloram::Point p : {chat::kStickerPanelButton, chat::kCollectedTab,
                                  chat::kFirstSticker, chat::kFileButton, chat::kSentSticker}) {
    EXPECT_FALSE(model.InDragStrip(At(p)));
  }
  EXPECT_TRUE(model.InDragStrip({450, 10}));
  EXPECT_FALSE(model.InDragStrip({905, 10}));  // the close box
  for (const Model::Box& box : model.VisibleBoxes()) {
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= 910 && box.bottom <= 647)
        << box.label;
  }
}

TEST(PracticeClientOptions, CommandLineBuildsTheInitialCollection) {
  practice::LaunchOptions launch;
  std::string error;
  ASSERT_TRUE(practice::ParseCommandLine(
      {"--collected", "a.gif||表情 b.gif|", "--journal", "C:\\j.jsonl", "--pos", "-5", "40"},
      launch, error));
  EXPECT_EQ(launch.model.collected, (std::vector<std::string>{"a.gif", "表情 b.gif"}));
  EXPECT_EQ(launch.journalPath, "C:\\j.jsonl");
  EXPECT_EQ(launch.left, -5);
  EXPECT_EQ(launch.top, 40);
  EXPECT_EQ(Model(launch.model, nullptr).Collection().size(), 2u);

  launch = {};
  ASSERT_TRUE(practice::ParseCommandLine({"--stickers", "12"}, launch, error));
  EXPECT_EQ(Model(launch.model, nullptr).Collection().back(), "sticker12.gif");
  launch = {};
  ASSERT_TRUE(practice::ParseCommandLine({"--collected", ""}, launch, error));
  EXPECT_TRUE(Model(launch.model, nullptr).Collection().empty());
  launch = {};
  ASSERT_TRUE(
      practice::ParseCommandLine({"--react-ms", "1500", "--jitter-ms", "200"}, launch, error));
  EXPECT_EQ(launch.model.reactMs, 1500);
  EXPECT_EQ(launch.model.jitterMs, 200);
  launch = {};
  ASSERT_TRUE(practice::ParseCommandLine({"--generation", "newer-en"}, launch, error));
  EXPECT_EQ(launch.generation, practice::Generation::NewerEnglish);
  launch = {};
  ASSERT_TRUE(practice::ParseCommandLine({"--close-after", "dialog opened:3"}, launch, error));
  EXPECT_EQ(launch.model.closeAfter.event, "dialog opened");
  EXPECT_EQ(launch.model.closeAfter.times, 3);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--stickers", "-1"},
                                              {"--stickers", "5x"},
                                              {"--stickers", "99999999999"},
                                              {"--pos", "1"},
                                              {"--journal", ""},
                                              {"--close-after", "deleted"},
                                              {"--generation", "qt"},
                                              {"--react-ms", "-1"},
                                              {"--close-after", "deleted:0"},
                                              {"--close-after", ":2"},
                                              {"--bogus"}}) {
    launch = {};
    EXPECT_FALSE(practice::ParseCommandLine(bad, launch, error)) << bad.front();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace

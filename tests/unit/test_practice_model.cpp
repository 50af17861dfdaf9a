// The practice client must react to the tool's points and offsets the way the chat client
// does, and its journal must stay machine-readable whatever the paths contain.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "client/chat_client.h"
#include "practice_client/command_line.h"
#include "practice_client/model.h"
#include "practice_client/sticker_look.h"
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

// The layout at other window sizes: each part hangs on the edge a chat client hangs it on.
class PracticeLayout : public ::testing::TestWithParam<Pt> {};

TEST(PracticeLayoutDefault, TheDefaultSizeKeepsTheBoxesTheBuiltInPointsWereMeasuredOn) {
  const practice::Layout l = practice::LayoutFor(910, 647);
  using practice::Rect;
  EXPECT_EQ(l.stickerButton, (Rect{324, 511, 356, 539}));
  EXPECT_EQ(l.fileButton, (Rect{358, 512, 390, 540}));
  EXPECT_EQ(l.toolbar, (Rect{310, 505, 910, 547}));
  EXPECT_EQ(l.panel, (Rect{140, 172, 470, 482}));
  EXPECT_EQ(l.collectedTab, (Rect{196, 447, 244, 473}));
  EXPECT_EQ(l.grid, (Rect{150, 185, 450, 435}));
  EXPECT_EQ(l.newestMessage, (Rect{760, 420, 840, 500}));
  EXPECT_EQ(l.closeBox, (Rect{874, 0, 910, 28}));
  EXPECT_TRUE(l.stickerButton.Has(At(chat::kStickerPanelButton)));
  EXPECT_TRUE(l.collectedTab.Has(At(chat::kCollectedTab)));
  EXPECT_TRUE(l.fileButton.Has(At(chat::kFileButton)));
  EXPECT_TRUE(l.newestMessage.Has(At(chat::kSentSticker)));
}

TEST_P(PracticeLayout, ToolbarStaysBottomLeftSentStickerRightPanelAboveTheButton) {
  const Pt size = GetParam();
  const practice::Layout l = practice::LayoutFor(size.x, size.y);
  const practice::Layout d = practice::LayoutFor(910, 647);
  // The toolbar keeps its distance from the bottom-left corner of the chat area.
  EXPECT_EQ(l.stickerButton.left, d.stickerButton.left);
  EXPECT_EQ(size.y - l.stickerButton.top, 647 - d.stickerButton.top);
  EXPECT_EQ(size.y - l.fileButton.top, 647 - d.fileButton.top);
  EXPECT_EQ(l.toolbar.right, size.x);
  // Own messages keep their distance from the right edge, just above the toolbar.
  EXPECT_EQ(size.x - l.newestMessage.right, 910 - d.newestMessage.right);
  EXPECT_EQ(l.newestMessage.bottom, l.toolbar.top - 5);
  // The panel opens above the sticker button, its grid starting at its top left.
  EXPECT_LT(l.panel.bottom, l.stickerButton.top);
  EXPECT_TRUE(l.panel.left <= l.stickerButton.left && l.stickerButton.right <= l.panel.right);
  EXPECT_EQ(l.grid.left - l.panel.left, d.grid.left - d.panel.left);
  EXPECT_EQ(l.grid.top - l.panel.top, d.grid.top - d.panel.top);
  EXPECT_GE(l.panel.top, l.titleStrip.bottom);
  EXPECT_EQ(l.closeBox.right, size.x);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PracticeLayout,
                         ::testing::Values(Pt{640, 520}, Pt{800, 600}, Pt{1280, 900},
                                           Pt{1920, 1080}));

// Points where the layout has the controls at a size, as the tool would teach them.
struct TaughtPoints {
  Pt stickerButton, collectedTab, firstSticker, fileButton, sentSticker;
};

TaughtPoints PointsAt(int width, int height) {
  const practice::Layout l = practice::LayoutFor(width, height);
  const auto middle = [](practice::Rect r) {
    return Pt{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  return {middle(l.stickerButton), middle(l.collectedTab),
          Pt{l.grid.left + practice::kCell / 2, l.grid.top + practice::kCell / 2},
          middle(l.fileButton), middle(l.newestMessage)};
}

TEST(PracticeResize, AfterAResizeTheControlsAnswerWhereTheyNowAre) {
  std::vector<std::string> lines;
  Model model({3, {}}, [&lines](const std::string& line) { lines.push_back(line); });
  model.Resize(1200, 800);
  ASSERT_EQ(Field(lines.back(), "event"), "resized");
  EXPECT_EQ(Field(lines.back(), "width"), "1200");
  EXPECT_EQ(Field(lines.back(), "height"), "800");
  const std::size_t linesBefore = lines.size();
  model.Resize(1200, 800);  // the same size again is no change
  EXPECT_EQ(lines.size(), linesBefore);

  const TaughtPoints at = PointsAt(1200, 800);
  model.Click(at.stickerButton, Button::Left);
  model.Click(at.collectedTab, Button::Left);
  ASSERT_TRUE(model.CollectedTabShown());
  model.Click(at.firstSticker, Button::Right);
  ASSERT_TRUE(model.StickerMenuOpen());
  model.Click(Plus(at.firstSticker, chat::kDeleteItemOffset), Button::Left);
  EXPECT_EQ(model.Collection(), (std::vector<std::string>{"sticker02.gif", "sticker03.gif"}));

  // The old default points no longer reach the sticker button.
  model.Click(At(chat::kStickerPanelButton), Button::Left);
  EXPECT_EQ(Field(lines.back(), "hit"), "nothing");
  for (const Model::Box& box : model.VisibleBoxes()) {
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= 1200 && box.bottom <= 800)
        << box.label;
  }
}

TEST(PracticeResize, MoveAndResizeComeDueOnceAfterTheNthEventOfTheirKind) {
  practice::Options options{3, {}};
  options.moveAfter = {{"deleted", 2}, 30, 40};
  options.resizeAfter = {{"click", 1}, 1000, 700};
  std::vector<std::string> lines;
  Model model(options, [&lines](const std::string& line) { lines.push_back(line); });

  model.Click(At(chat::kStickerPanelButton), Button::Left);
  Model::WindowRequest request = model.TakeWindowRequest();
  EXPECT_TRUE(request.resize && !request.move);
  EXPECT_EQ(request.size.x, 1000);
  EXPECT_EQ(request.size.y, 700);
  EXPECT_FALSE(model.TakeWindowRequest().resize);  // taken once

  model.Click(At(chat::kCollectedTab), Button::Left);
  EXPECT_FALSE(model.TakeWindowRequest().resize);  // the second click is not the first
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(model.TakeWindowRequest().move);
    model.Click(At(chat::kFirstSticker), Button::Right);
    model.Click(At(chat::kDeleteItem), Button::Left);
  }
  request = model.TakeWindowRequest();
  ASSERT_TRUE(request.move);
  EXPECT_EQ(request.to.x, 30);
  EXPECT_EQ(request.to.y, 40);
  model.Moved(30, 40);
  EXPECT_EQ(Field(lines.back(), "event"), "moved");
  EXPECT_EQ(Field(lines.back(), "x"), "30");
  EXPECT_FALSE(model.EndWanted());
}

TEST(PracticeLooks, ControlsShowTheirPicturesAndEachStickerItsOwnImage) {
  practice::Options options{12, {}};
  options.looks["sticker_button"] = "other";
  Model model(options, nullptr);
  model.Click(At(chat::kStickerPanelButton), Button::Left);
  model.Click(At(chat::kCollectedTab), Button::Left);
  std::map<Model::Picture, std::vector<Model::Box>> byPicture;
  for (const Model::Box& box : model.VisibleBoxes()) byPicture[box.picture].push_back(box);
  ASSERT_EQ(byPicture[Model::Picture::SmilingFace].size(), 1u);
  EXPECT_EQ(byPicture[Model::Picture::SmilingFace][0].look, "other");
  ASSERT_EQ(byPicture[Model::Picture::Heart].size(), 1u);
  EXPECT_EQ(byPicture[Model::Picture::Heart][0].look, "");
  EXPECT_EQ(byPicture[Model::Picture::Heart][0].layer, Model::Layer::Panel);
  ASSERT_EQ(byPicture[Model::Picture::Folder].size(), 1u);
  const auto& cells = byPicture[Model::Picture::Sticker];
  ASSERT_EQ(cells.size(), 12u);
  EXPECT_EQ(cells[0].label, "sticker01.gif");
  EXPECT_TRUE((practice::Rect{cells[0].left, cells[0].top, cells[0].right, cells[0].bottom})
                  .Has(At(chat::kFirstSticker)));
}

TEST(PracticeLooks, NoTwoStickersLookAlike) {
  std::set<std::vector<std::uint32_t>> seen;
  std::vector<std::string> names;
  for (int i = 1; i <= 300; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "sticker%02d.gif", i);
    names.emplace_back(name);
  }
  for (const char* name : {"a.gif", "b.gif", "表情 b.gif", "😀 a.gif", "old.gif"}) {
    names.emplace_back(name);
  }
  for (const std::string& name : names) {
    const std::vector<std::uint32_t> image = practice::StickerPixels(name, 40);
    ASSERT_EQ(image.size(), 1600u);
    EXPECT_EQ(image, practice::StickerPixels(name, 40)) << name;  // the same every time
    EXPECT_TRUE(seen.insert(image).second) << name << " looks like an earlier sticker";
  }
}

TEST(PracticeClientOptions, SizeMovesResizesAndLooks) {
  practice::LaunchOptions launch;
  std::string error;
  ASSERT_TRUE(practice::ParseCommandLine(
      {"--size", "1024", "700", "--move-after", "deleted:2", "-10", "20", "--resize-after",
       "added:1", "800", "600", "--look", "sticker_button:other", "--look", "file_button:other",
       "--look", "file_button:own"},
      launch, error))
      << error;
  EXPECT_EQ(launch.model.width, 1024);
  EXPECT_EQ(launch.model.height, 700);
  EXPECT_EQ(launch.model.moveAfter.after.event, "deleted");
  EXPECT_EQ(launch.model.moveAfter.after.times, 2);
  EXPECT_EQ(launch.model.moveAfter.x, -10);
  EXPECT_EQ(launch.model.resizeAfter.after.event, "added");
  EXPECT_EQ(launch.model.resizeAfter.y, 600);
  EXPECT_EQ(launch.model.looks, (std::map<std::string, std::string>{{"sticker_button", "other"}}));
  EXPECT_EQ(Model(launch.model, nullptr).Width(), 1024);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--size", "910"},
                                              {"--size", "100", "647"},
                                              {"--size", "910", "99999"},
                                              {"--move-after", "deleted:1", "5"},
                                              {"--move-after", "deleted", "5", "5"},
                                              {"--resize-after", "deleted:1", "300", "300"},
                                              {"--look", "sticker_button"},
                                              {"--look", "first_sticker:other"},
                                              {"--look", "file_button:blue"}}) {
    launch = {};
    EXPECT_FALSE(practice::ParseCommandLine(bad, launch, error)) << bad.front() << bad[1];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace

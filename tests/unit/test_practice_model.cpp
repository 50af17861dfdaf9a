// The practice client must react to the tool's points and offsets the way the chat client
// does, and its journal must stay machine-readable whatever the paths contain.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "client/chat_client.h"
#include "practice_client/command_line.h"
#include "practice_client/json_line.h"
#include "practice_client/model.h"

namespace {

namespace chat = pelloram::chat;
using practice::Button;
using practice::Model;
using practice::Pt;

// A small JSON reader: enough to prove a line is one valid object and to read its fields.
struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> fields;
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool ReadDocument(Json& out) {
    if (!Value(out)) return false;
    Space();
    return pos_ == text_.size();
  }

 private:
  void Space() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  bool Eat(char c) {
    Space();
    if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
    return false;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  static void PutUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  bool Hex4(std::uint32_t& value) {
    if (pos_ + 4 > text_.size()) return false;
    value = static_cast<std::uint32_t>(std::stoul(std::string(text_.substr(pos_, 4)), nullptr, 16));
    pos_ += 4;
    return true;
  }
  bool Escape(std::string& out) {
    const char c = text_[pos_++];
    const std::string_view simple = "\"\\/bfnrt";
    const std::string_view meaning = "\"\\/\b\f\n\r\t";
    if (const auto k = simple.find(c); k != std::string_view::npos) {
      out += meaning[k];
      return true;
    }
    std::uint32_t code = 0;
    if (c != 'u' || !Hex4(code)) return false;
    if (code >= 0xD800 && code <= 0xDBFF) {  // a surrogate pair spells one character
      std::uint32_t low = 0;
      if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    PutUtf8(out, code);
    return true;
  }
  bool String(std::string& out) {
    if (!Eat('"')) return false;
    while (pos_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[pos_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;  // raw control characters are not allowed
      if (c != '\\') {
        out += static_cast<char>(c);
      } else if (pos_ >= text_.size() || !Escape(out)) {
        return false;
      }
    }
    return false;
  }
  bool Value(Json& out) {
    Space();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '{') {
      out.type = Json::Type::Object;
      ++pos_;
      if (Eat('}')) return true;
      do {
        std::string key;
        if (!String(key) || !Eat(':') || !Value(out.fields[key])) return false;
      } while (Eat(','));
      return Eat('}');
    }
    if (c == '[') {
      out.type = Json::Type::Array;
      ++pos_;
      if (Eat(']')) return true;
      do {
        if (!Value(out.items.emplace_back())) return false;
      } while (Eat(','));
      return Eat(']');
    }
    if (c == '"') return out.type = Json::Type::String, String(out.text);
    if (Word("true") || Word("false")) return out.type = Json::Type::Bool, true;
    if (Word("null")) return true;
    const std::size_t start = pos_;
    while (pos_ < text_.size() &&
           std::string_view("-0123456789.eE+").find(text_[pos_]) != std::string_view::npos) {
      ++pos_;
    }
    if (pos_ == start) return false;
    out.type = Json::Type::Number;
    out.number = std::stod(std::string(text_.substr(start, pos_ - start)));
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80                ? 1
                          : c >= 0xC2 && c < 0xE0 ? 2
                          : c >= 0xE0 && c < 0xF0 ? 3
                          : c >= 0xF0 && c < 0xF5 ? 4
                                                  : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

Json Parse(const std::string& line) {
  Json json;
  EXPECT_TRUE(IsValidUtf8(line)) << line;
  EXPECT_TRUE(JsonReader(line).ReadDocument(json)) << line;
  EXPECT_EQ(json.type, Json::Type::Object) << line;
  return json;
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

  std::vector<Json> Events(std::string_view event) const {
    std::vector<Json> found;
    for (const std::string& line : lines_) {
      Json json = Parse(line);
      if (json.fields["event"].text == event) found.push_back(json);
    }
    return found;
  }

  std::string LastHit() const {
    const auto clicks = Events("click");
    return clicks.empty() ? "" : clicks.back().fields.at("hit").text;
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
  EXPECT_EQ(deleted.front().fields.at("name").text, "sticker01.gif");
  EXPECT_EQ(deleted[1].fields.at("name").text, "sticker02.gif");  // the next took its place
  EXPECT_EQ(deleted.back().fields.at("remaining").number, 0);

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
  EXPECT_EQ(Events("added").back().fields.at("count").number, 3);
}

TEST_F(PracticeAddJob, AlreadyCollectedStickerBringsUpTheForwardWindowThatEscapeCloses) {
  SendFile("C:\\s\\old.gif");
  AddNewest();
  EXPECT_TRUE(model_.ForwardShowing());
  EXPECT_EQ(model_.ForwardStickerName(), "old.gif");
  EXPECT_EQ(model_.Collection(), Names{"old.gif"});
  const auto refused = Events("refused");
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].fields.at("reason").text, "already collected");

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

TEST(PracticeClientJournal, EveryLineIsOneObjectWithSequenceAndCollectionSize) {
  std::vector<std::string> lines;
  Model model({3, {}}, [&lines](const std::string& line) { lines.push_back(line); });
  model.Click(At(chat::kStickerPanelButton), Button::Left);
  model.Click(At(chat::kCollectedTab), Button::Left);
  model.Click(At(chat::kFirstSticker), Button::Right);
  model.Click(At(chat::kDeleteItem), Button::Left);
  model.Click({5, 300}, Button::Left);
  model.KeyDown(pelloram::vk::kEscape);

  const std::vector<std::string> events = {"start", "click",   "click", "click",
                                           "click", "deleted", "click", "key"};
  ASSERT_EQ(lines.size(), events.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Json json = Parse(lines[i]);
    EXPECT_EQ(json.fields["seq"].number, static_cast<double>(i + 1));
    EXPECT_EQ(json.fields["event"].text, events[i]);
    EXPECT_EQ(json.fields["count"].number, i < 5 ? 3 : 2) << lines[i];
  }
  EXPECT_EQ(Parse(lines[0]).fields["collection"].items.size(), 3u);
  EXPECT_EQ(Parse(lines[6]).fields["hit"].text, "nothing");
}

TEST(PracticeClientJournal, PathsComeBackUnchangedAndBrokenTextStaysValid) {
  std::vector<std::string> lines;
  Model model({0, {}}, [&lines](const std::string& line) { lines.push_back(line); });
  const std::string path = "C:\\表情\\\"引号\"\t\x01😀 a\\b.gif";
  model.OpenDialogShown();
  model.OpenDialogConfirmed(path, false);
  Json opened = Parse(lines.back());
  EXPECT_EQ(opened.fields["path"].text, path);
  EXPECT_EQ(opened.fields["name"].text, "b.gif");
  EXPECT_EQ(opened.fields["exists"].type, Json::Type::Bool);

  // Bytes that are not UTF-8 (a truncated sequence, a lone continuation, an overlong
  // slash) are replaced, never copied into the line.
  const std::string broken =
      "x\xE8\xA1"
      "y\x80z\xC0\xAF";
  Json quoted;
  ASSERT_TRUE(JsonReader(practice::JsonQuote(broken)).ReadDocument(quoted));
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD, one per bad byte
  EXPECT_EQ(quoted.text, "x" + r + r + "y" + r + "z" + r + r);
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

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--stickers", "-1"},
                                              {"--stickers", "5x"},
                                              {"--stickers", "99999999999"},
                                              {"--pos", "1"},
                                              {"--journal", ""},
                                              {"--bogus"}}) {
    launch = {};
    EXPECT_FALSE(practice::ParseCommandLine(bad, launch, error)) << bad.front();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace

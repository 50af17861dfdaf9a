#include "practice_client/model.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <utility>

#include "practice_client/json_line.h"

namespace practice {
namespace {

// Half-open pixel rectangle [left, right) x [top, bottom).
struct Rect {
  int left, top, right, bottom;
  bool Has(Pt p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(Pt p) const { return {left + p.x, top + p.y, right + p.x, bottom + p.y}; }
};

// The layout of the 910 x 647 window. The points the tool clicks must fall inside the
// matching rectangles: the sticker button (340, 525), the collected tab (220, 460), the
// first sticker (175, 210), the file button (373, 526) and the newest message (799, 459).
constexpr int kWidth = 910;
constexpr int kHeight = 647;
constexpr Rect kTitleStrip{0, 0, kWidth, 28};
constexpr Rect kCloseBox{874, 0, kWidth, 28};
constexpr Rect kSidebar{0, 28, 60, kHeight};
constexpr Rect kChatList{60, 28, 310, kHeight};
constexpr Rect kChatHeader{310, 28, kWidth, 70};
constexpr Rect kToolbar{310, 505, kWidth, 547};
constexpr Rect kStickerButton{324, 511, 356, 539};
constexpr Rect kFileButton{358, 512, 390, 540};
constexpr Rect kInputArea{310, 547, kWidth, kHeight};

constexpr Rect kPanel{140, 172, 470, 482};
constexpr Rect kDefaultTab{150, 447, 192, 473};
constexpr Rect kCollectedTab{196, 447, 244, 473};
constexpr Rect kGrid{150, 185, 450, 435};
constexpr int kCell = 50;
constexpr int kGridColumns = (kGrid.right - kGrid.left) / kCell;
constexpr int kGridRows = (kGrid.bottom - kGrid.top) / kCell;

// Messages stack upwards from the newest; older ones scroll out above the header.
constexpr Rect kNewestMessage{760, 420, 840, 500};
constexpr int kMessagePitch = 90;

// Menus open relative to the right-clicked point. The tool finds the delete item 30 right
// of and 50 below the sticker it right-clicked (and at (213, 259) for (175, 210)), and the
// add item 30 right of and 15 below the message.
constexpr Rect kStickerMenu{10, 10, 115, 67};
constexpr Rect kStickerMenuName{15, 15, 110, 37};
constexpr Rect kDeleteItem{15, 40, 110, 62};
constexpr Rect kSentMenu{5, 2, 125, 30};
constexpr Rect kAddItem{10, 5, 120, 27};

constexpr int kEnter = 0x0D;
constexpr int kEscape = 0x1B;

enum class Hit {
  Nothing,
  CloseBox,
  StickerPanel,
  CollectedTab,
  DefaultTab,
  FirstSticker,
  Sticker,
  DeleteItem,
  FileButton,
  SentSticker,
  AddItem,
};

const char* HitName(Hit hit) {
  switch (hit) {
    case Hit::CloseBox:
      return "close_button";
    case Hit::StickerPanel:
      return "sticker_panel";
    case Hit::CollectedTab:
      return "collected_tab";
    case Hit::DefaultTab:
      return "default_tab";
    case Hit::FirstSticker:
      return "first_sticker";
    case Hit::Sticker:
      return "sticker";
    case Hit::DeleteItem:
      return "delete_item";
    case Hit::FileButton:
      return "file_button";
    case Hit::SentSticker:
      return "sent_sticker";
    case Hit::AddItem:
      return "add_item";
    case Hit::Nothing:
      break;
  }
  return "nothing";
}

struct Target {
  Hit hit = Hit::Nothing;
  std::size_t index = 0;  // the sticker or message under the point
  bool inMenu = false;    // on an open menu, item or not
};

// The file name is the sticker's identity; the dialog hands back a full path.
std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::vector<std::string> InitialCollection(const Options& options) {
  std::vector<std::string> names;
  if (!options.collected.empty()) {
    for (const std::string& name : options.collected) {
      if (!name.empty()) names.push_back(name);
    }
    return names;
  }
  const int count = std::clamp(options.stickerCount, 0, kMaxInitialStickers);
  for (int i = 1; i <= count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "sticker%02d.gif", i);
    names.emplace_back(name);
  }
  return names;
}

}  // namespace

struct Model::State {
  enum class Menu { None, Sticker, Sent };

  JournalSink sink;
  std::int64_t sequence = 0;
  std::string_view emitting;  // the event of the line being built
  CloseAfter closeAfter;
  Options settings;  // as given, for the shell's reaction time
  int closeCounted = 0;
  std::vector<std::string> collection;
  bool panelOpen = false;
  bool collectedTab = false;
  Menu menu = Menu::None;
  Pt menuAt;
  std::size_t menuTarget = 0;
  bool dialogWanted = false;
  bool dialogShowing = false;
  std::string pendingName;
  std::string pendingPath;
  std::vector<std::string> sent;
  bool forwardShowing = false;
  std::string forwardName;
  bool closeWanted = false;
  bool endWanted = false;

  JsonLine Line(const char* event) {
    JsonLine line;
    line.Add("seq", ++sequence).Add("event", event);
    emitting = event;
    return line;
  }

  void Emit(JsonLine& line) {
    line.Add("count", static_cast<std::int64_t>(collection.size()));
    if (sink) sink(line.Text());
    CountTowardsClose(emitting);
  }

  void CountTowardsClose(std::string_view event) {
    if (endWanted || closeAfter.event.empty() || event != closeAfter.event) return;
    if (++closeCounted < closeAfter.times) return;
    endWanted = true;
    JsonLine line = Line("closing");
    line.Add("after", closeAfter.event).Add("times", closeAfter.times);
    Emit(line);
  }

  // Newest message first: position k counts back from the newest.
  bool MessageRect(std::size_t k, Rect& box) const {
    const int top = kNewestMessage.top - static_cast<int>(k) * kMessagePitch;
    if (k >= sent.size() || top < kChatHeader.bottom) return false;
    box = {kNewestMessage.left, top, kNewestMessage.right, top + kMessagePitch - 10};
    return true;
  }

  Target MenuTarget(Pt p) const {
    if (menu == Menu::Sticker) {
      if (kDeleteItem.Offset(menuAt).Has(p)) return {Hit::DeleteItem, menuTarget, true};
      if (kStickerMenu.Offset(menuAt).Has(p)) return {Hit::Nothing, 0, true};
    } else if (menu == Menu::Sent) {
      if (kAddItem.Offset(menuAt).Has(p)) return {Hit::AddItem, menuTarget, true};
      if (kSentMenu.Offset(menuAt).Has(p)) return {Hit::Nothing, 0, true};
    }
    return {};
  }

  Target PanelTarget(Pt p) const {
    if (kCollectedTab.Has(p)) return {Hit::CollectedTab};
    if (kDefaultTab.Has(p)) return {Hit::DefaultTab};
    if (collectedTab && kGrid.Has(p)) {
      const auto cell = static_cast<std::size_t>((p.y - kGrid.top) / kCell * kGridColumns +
                                                 (p.x - kGrid.left) / kCell);
      if (cell < collection.size()) return {cell == 0 ? Hit::FirstSticker : Hit::Sticker, cell};
    }
    return {};
  }

  // What lies under the point, topmost first.
  Target TargetAt(Pt p) const {
    if (menu != Menu::None) {
      if (const Target t = MenuTarget(p); t.inMenu) return t;
    }
    if (kCloseBox.Has(p)) return {Hit::CloseBox};
    if (kStickerButton.Has(p)) return {Hit::StickerPanel};
    if (panelOpen && kPanel.Has(p)) return PanelTarget(p);
    if (kFileButton.Has(p)) return {Hit::FileButton};
    Rect box{};
    for (std::size_t k = 0; MessageRect(k, box); ++k) {
      if (box.Has(p)) return {Hit::SentSticker, sent.size() - 1 - k};
    }
    return {};
  }

  void JournalClick(Pt p, Button button, const Target& target) {
    JsonLine line = Line("click");
    line.Add("button", button == Button::Left ? "left" : "right")
        .Add("x", p.x)
        .Add("y", p.y)
        .Add("hit", HitName(target.hit));
    switch (target.hit) {
      case Hit::FirstSticker:
      case Hit::Sticker:
      case Hit::DeleteItem:
        line.Add("index", static_cast<std::int64_t>(target.index))
            .Add("name", collection[target.index]);
        break;
      case Hit::SentSticker:
      case Hit::AddItem:
        line.Add("name", sent[target.index]);
        break;
      default:
        break;
    }
    Emit(line);
  }

  void Delete(std::size_t index) {
    const std::string name = collection[index];
    collection.erase(collection.begin() + static_cast<std::ptrdiff_t>(index));
    JsonLine line = Line("deleted");
    line.Add("name", name).Add("remaining", static_cast<std::int64_t>(collection.size()));
    Emit(line);
  }

  void AddToCollection(std::size_t message) {
    const std::string& name = sent[message];
    if (std::find(collection.begin(), collection.end(), name) != collection.end()) {
      forwardShowing = true;
      forwardName = name;
      JsonLine line = Line("refused");
      line.Add("name", name).Add("reason", "already collected");
      Emit(line);
      return;
    }
    collection.push_back(name);
    JsonLine line = Line("added");
    line.Add("name", name);
    Emit(line);
  }

  void LeftClick(const Target& target) {
    const Menu menuBefore = std::exchange(menu, Menu::None);
    switch (target.hit) {
      case Hit::DeleteItem:
        if (menuBefore == Menu::Sticker) Delete(target.index);
        return;
      case Hit::AddItem:
        if (menuBefore == Menu::Sent) AddToCollection(target.index);
        return;
      case Hit::CloseBox:
        closeWanted = true;
        return;
      case Hit::StickerPanel:
        panelOpen = !panelOpen;
        collectedTab = false;  // the panel always opens on its default tab
        return;
      default:
        break;
    }
    if (target.inMenu) return;
    if (panelOpen) {
      if (target.hit == Hit::CollectedTab) collectedTab = true;
      if (target.hit == Hit::DefaultTab) collectedTab = false;
    }
    if (target.hit == Hit::FileButton) dialogWanted = true;
  }

  void RightClick(Pt p, const Target& target) {
    menu = Menu::None;
    if (target.inMenu) return;
    if (target.hit == Hit::FirstSticker || target.hit == Hit::Sticker) {
      menu = Menu::Sticker;
    } else if (target.hit == Hit::SentSticker) {
      menu = Menu::Sent;
    } else {
      return;
    }
    menuAt = p;
    menuTarget = target.index;
  }

  void Send() {
    sent.push_back(pendingName);
    JsonLine line = Line("sent");
    line.Add("name", pendingName).Add("path", pendingPath);
    pendingName.clear();
    pendingPath.clear();
    Emit(line);
  }

  void Opened(const std::string& path, const bool* fileExists) {
    DialogEnded();
    JsonLine line = Line("opened");
    const std::string name = FileNameOf(path);
    line.Add("path", path).Add("name", name);
    if (fileExists) line.Add("exists", *fileExists);
    // A path naming a folder puts nothing into the input.
    if (!name.empty()) {
      pendingName = name;
      pendingPath = path;
    }
    Emit(line);
  }

  void DialogEnded() {
    dialogWanted = false;
    dialogShowing = false;
  }
};

const Options& Model::Settings() const { return state_->settings; }

Model::Model(Options options, JournalSink journal) : state_(std::make_shared<State>()) {
  state_->sink = std::move(journal);
  state_->collection = InitialCollection(options);
  state_->closeAfter = options.closeAfter;
  state_->settings = std::move(options);
  JsonLine line = state_->Line("start");
  line.Add("collection", state_->collection);
  state_->Emit(line);
}

void Model::Click(Pt at, Button button) {
  State& s = *state_;
  const Target target = s.TargetAt(at);
  s.JournalClick(at, button, target);
  if (button == Button::Left) {
    // Like any popup, the panel closes when something outside it is clicked.
    if (s.panelOpen && !target.inMenu && !kPanel.Has(at) && target.hit != Hit::StickerPanel) {
      s.panelOpen = false;
    }
    s.LeftClick(target);
  } else {
    s.RightClick(at, target);
  }
}

void Model::KeyDown(int virtualKey) {
  State& s = *state_;
  JsonLine line = s.Line("key");
  line.Add("window", "main").Add("vk", virtualKey);
  s.Emit(line);
  if (virtualKey == kEnter && !s.pendingName.empty()) {
    s.menu = State::Menu::None;
    s.Send();
  } else if (virtualKey == kEscape) {
    if (s.menu != State::Menu::None) {
      s.menu = State::Menu::None;
    } else {
      s.panelOpen = false;
    }
  }
}

bool Model::OpenDialogWanted() const { return state_->dialogWanted; }

void Model::OpenDialogShown() {
  State& s = *state_;
  s.dialogWanted = false;
  s.dialogShowing = true;
  JsonLine line = s.Line("dialog opened");
  s.Emit(line);
}

void Model::OpenDialogConfirmed(const std::string& path) { state_->Opened(path, nullptr); }

void Model::OpenDialogConfirmed(const std::string& path, bool fileExists) {
  state_->Opened(path, &fileExists);
}

void Model::OpenDialogCancelled() {
  State& s = *state_;
  s.DialogEnded();
  JsonLine line = s.Line("dialog cancelled");
  s.Emit(line);
}

void Model::OpenDialogCancelled(unsigned long errorCode) {
  State& s = *state_;
  s.DialogEnded();
  JsonLine line = s.Line("dialog cancelled");
  line.Add("error", static_cast<std::int64_t>(errorCode));
  s.Emit(line);
}

bool Model::OpenDialogShowing() const { return state_->dialogShowing; }

bool Model::ForwardShowing() const { return state_->forwardShowing; }

void Model::ForwardKeyDown(int virtualKey) {
  State& s = *state_;
  JsonLine line = s.Line("key");
  line.Add("window", "forward").Add("vk", virtualKey);
  s.Emit(line);
  if (virtualKey == kEscape) ForwardClosed();
}

void Model::ForwardClosed() {
  State& s = *state_;
  if (!s.forwardShowing) return;
  s.forwardShowing = false;
  JsonLine line = s.Line("forward closed");
  line.Add("name", s.forwardName);
  s.Emit(line);
}

std::string Model::ForwardStickerName() const { return state_->forwardName; }

const std::vector<std::string>& Model::Collection() const { return state_->collection; }
bool Model::PanelOpen() const { return state_->panelOpen; }
bool Model::CollectedTabShown() const { return state_->panelOpen && state_->collectedTab; }
bool Model::StickerMenuOpen() const { return state_->menu == State::Menu::Sticker; }
bool Model::SentMenuOpen() const { return state_->menu == State::Menu::Sent; }
std::string Model::PendingInput() const { return state_->pendingName; }
const std::vector<std::string>& Model::SentMessages() const { return state_->sent; }
bool Model::CloseWanted() const { return state_->closeWanted; }
bool Model::EndWanted() const { return state_->endWanted; }

bool Model::InDragStrip(Pt at) const { return kTitleStrip.Has(at) && !kCloseBox.Has(at); }

std::vector<Model::Box> Model::VisibleBoxes() const {
  const State& s = *state_;
  std::vector<Box> boxes;
  const auto add = [&boxes](Rect r, std::string label, Kind kind, bool active = false) {
    boxes.push_back({r.left, r.top, r.right, r.bottom, std::move(label), kind, active});
  };
  add({0, 0, kWidth, kHeight}, "", Kind::Area);
  add(kTitleStrip, "微信（练习客户端）", Kind::Title);
  add(kCloseBox, "X", Kind::Button);
  add(kSidebar, "", Kind::Area);
  add(kChatList, "练习会话", Kind::Text);
  add(kChatHeader, "练习会话", Kind::Title);

  Rect box{};
  for (std::size_t k = 0; s.MessageRect(k, box); ++k) {
    add(box, s.sent[s.sent.size() - 1 - k], Kind::Message);
  }

  add(kToolbar, "", Kind::Area);
  add(kStickerButton, "表情", Kind::Button, s.panelOpen);
  add(kFileButton, "文件", Kind::Button, s.dialogWanted || s.dialogShowing);
  add(kInputArea, s.pendingName.empty() ? "" : "[文件] " + s.pendingName, Kind::Input);

  if (s.panelOpen) {
    add(kPanel, "", Kind::Area);
    if (s.collectedTab) {
      const std::size_t shown =
          std::min(s.collection.size(), static_cast<std::size_t>(kGridColumns * kGridRows));
      for (std::size_t i = 0; i < shown; ++i) {
        const int left = kGrid.left + static_cast<int>(i % kGridColumns) * kCell;
        const int top = kGrid.top + static_cast<int>(i / kGridColumns) * kCell;
        add({left, top, left + kCell, top + kCell}, s.collection[i], Kind::Cell);
      }
    } else {
      add(kGrid, "默认表情", Kind::Text);
    }
    add(kDefaultTab, "默认", Kind::Tab, !s.collectedTab);
    add(kCollectedTab, "收藏", Kind::Tab, s.collectedTab);
  }

  if (s.menu == State::Menu::Sticker) {
    add(kStickerMenu.Offset(s.menuAt), "", Kind::Menu);
    add(kStickerMenuName.Offset(s.menuAt), s.collection[s.menuTarget], Kind::Text);
    add(kDeleteItem.Offset(s.menuAt), "删除", Kind::MenuItem);
  } else if (s.menu == State::Menu::Sent) {
    add(kSentMenu.Offset(s.menuAt), "", Kind::Menu);
    add(kAddItem.Offset(s.menuAt), "添加到表情", Kind::MenuItem);
  }
  return boxes;
}

}  // namespace practice

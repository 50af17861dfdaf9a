#include "practice_client/model.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <utility>

#include "practice_client/json_line.h"

namespace practice {
namespace {

int Clamp(int value, int low) { return std::clamp(value, low, kMaxSide); }

}  // namespace

// The 910 x 647 window keeps the layout the tool's built-in points were measured on: the
// sticker button (340, 525), the collected tab (220, 460), the first sticker (175, 210), the
// file button (373, 526) and the newest message (799, 459). Other sizes move each part with
// the edge it hangs on.
Layout LayoutFor(int width, int height) {
  const int w = Clamp(width, kMinWidth);
  const int h = Clamp(height, kMinHeight);
  constexpr int kTitleHeight = 28;
  constexpr int kChatLeft = 310;  // sidebar and conversation list keep their width
  Layout l;
  l.titleStrip = {0, 0, w, kTitleHeight};
  l.closeBox = {w - 36, 0, w, kTitleHeight};
  l.sidebar = {0, kTitleHeight, 60, h};
  l.chatList = {60, kTitleHeight, kChatLeft, h};
  l.chatHeader = {kChatLeft, kTitleHeight, w, 70};
  // The input box is 100 high at the bottom; the toolbar sits on it.
  l.inputArea = {kChatLeft, h - 100, w, h};
  l.toolbar = {kChatLeft, h - 142, w, h - 100};
  l.stickerButton = {kChatLeft + 14, l.toolbar.top + 6, kChatLeft + 46, l.toolbar.top + 34};
  l.fileButton = {kChatLeft + 48, l.toolbar.top + 7, kChatLeft + 80, l.toolbar.top + 35};
  // The panel opens above the sticker button, reaching left over the conversation list.
  const Pt button{l.stickerButton.left, l.stickerButton.top};
  l.panel = {button.x - 184, button.y - 339, button.x + 146, button.y - 29};
  l.grid = {l.panel.left + 10, l.panel.top + 13, l.panel.left + 310, l.panel.top + 263};
  l.defaultTab = {l.panel.left + 10, l.panel.bottom - 35, l.panel.left + 52, l.panel.bottom - 9};
  l.collectedTab = {l.panel.left + 56, l.panel.bottom - 35, l.panel.left + 104, l.panel.bottom - 9};
  l.newestMessage = {w - 150, l.toolbar.top - 85, w - 70, l.toolbar.top - 5};
  return l;
}

namespace {

constexpr int kGridColumns = 6;  // the grid is 300 x 250: six cells by five
constexpr int kGridRows = 5;

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
  int moveCounted = 0;
  int resizeCounted = 0;
  Layout layout = LayoutFor(kDefaultWidth, kDefaultHeight);
  Pt size{kDefaultWidth, kDefaultHeight};
  WindowRequest request;
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

  // Whether this line is the one a --*-after option waits for.
  static bool Due(const CloseAfter& after, std::string_view event, int& counted) {
    if (after.event.empty() || event != after.event) return false;
    return ++counted == after.times;
  }

  void CountTowardsClose(std::string_view event) {
    if (Due(settings.moveAfter.after, event, moveCounted)) {
      request.move = true;
      request.to = {settings.moveAfter.x, settings.moveAfter.y};
    }
    if (Due(settings.resizeAfter.after, event, resizeCounted)) {
      request.resize = true;
      request.size = {settings.resizeAfter.x, settings.resizeAfter.y};
    }
    if (endWanted || closeAfter.event.empty() || event != closeAfter.event) return;
    if (++closeCounted < closeAfter.times) return;
    endWanted = true;
    JsonLine line = Line("closing");
    line.Add("after", closeAfter.event).Add("times", closeAfter.times);
    Emit(line);
  }

  // Newest message first: position k counts back from the newest.
  bool MessageRect(std::size_t k, Rect& box) const {
    const Rect& newest = layout.newestMessage;
    const int top = newest.top - static_cast<int>(k) * kMessagePitch;
    if (k >= sent.size() || top < layout.chatHeader.bottom) return false;
    box = {newest.left, top, newest.right, top + kMessagePitch - 10};
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
    const Layout& l = layout;
    if (l.collectedTab.Has(p)) return {Hit::CollectedTab};
    if (l.defaultTab.Has(p)) return {Hit::DefaultTab};
    if (collectedTab && l.grid.Has(p)) {
      const auto cell = static_cast<std::size_t>((p.y - l.grid.top) / kCell * kGridColumns +
                                                 (p.x - l.grid.left) / kCell);
      if (cell < collection.size()) return {cell == 0 ? Hit::FirstSticker : Hit::Sticker, cell};
    }
    return {};
  }

  // What lies under the point, topmost first.
  Target TargetAt(Pt p) const {
    if (menu != Menu::None) {
      if (const Target t = MenuTarget(p); t.inMenu) return t;
    }
    if (layout.closeBox.Has(p)) return {Hit::CloseBox};
    if (layout.stickerButton.Has(p)) return {Hit::StickerPanel};
    if (panelOpen && layout.panel.Has(p)) return PanelTarget(p);
    if (layout.fileButton.Has(p)) return {Hit::FileButton};
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
  state_->size = {std::clamp(options.width, kMinWidth, kMaxSide),
                  std::clamp(options.height, kMinHeight, kMaxSide)};
  state_->layout = LayoutFor(state_->size.x, state_->size.y);
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
    if (s.panelOpen && !target.inMenu && !s.layout.panel.Has(at) &&
        target.hit != Hit::StickerPanel) {
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

bool Model::InDragStrip(Pt at) const {
  const Layout& l = state_->layout;
  return l.titleStrip.Has(at) && !l.closeBox.Has(at);
}

void Model::Resize(int width, int height) {
  State& s = *state_;
  const Pt size{std::clamp(width, kMinWidth, kMaxSide), std::clamp(height, kMinHeight, kMaxSide)};
  if (size.x == s.size.x && size.y == s.size.y) return;
  s.size = size;
  s.layout = LayoutFor(size.x, size.y);
  JsonLine line = s.Line("resized");
  line.Add("width", size.x).Add("height", size.y);
  s.Emit(line);
}

int Model::Width() const { return state_->size.x; }
int Model::Height() const { return state_->size.y; }

Model::WindowRequest Model::TakeWindowRequest() { return std::exchange(state_->request, {}); }

void Model::Moved(int left, int top) {
  State& s = *state_;
  JsonLine line = s.Line("moved");
  line.Add("x", left).Add("y", top);
  s.Emit(line);
}

std::vector<Model::Box> Model::VisibleBoxes() const {
  const State& s = *state_;
  const Layout& l = s.layout;
  const auto look = [&s](const char* control) {
    const auto found = s.settings.looks.find(control);
    return found == s.settings.looks.end() ? std::string() : found->second;
  };
  std::vector<Box> boxes;
  Layer layer = Layer::Window;
  const auto add = [&boxes, &layer](Rect r, std::string label, Kind kind, bool active = false,
                                    Picture picture = Picture::None) -> Box& {
    return boxes.emplace_back(Box{r.left,
                                  r.top,
                                  r.right,
                                  r.bottom,
                                  std::move(label),
                                  kind,
                                  active,
                                  picture,
                                  {},
                                  layer,
                                  false});
  };
  add({0, 0, s.size.x, s.size.y}, "", Kind::Area);
  add(l.titleStrip, "微信（练习客户端）", Kind::Title);
  add(l.closeBox, "X", Kind::Button);
  add(l.sidebar, "", Kind::Area);
  add(l.chatList, "练习会话", Kind::Text);
  add(l.chatHeader, "练习会话", Kind::Title);

  Rect box{};
  for (std::size_t k = 0; s.MessageRect(k, box); ++k) {
    add(box, s.sent[s.sent.size() - 1 - k], Kind::Message, false, Picture::Sticker);
  }

  add(l.toolbar, "", Kind::Area).textured = true;
  add(l.stickerButton, "表情", Kind::Button, s.panelOpen, Picture::SmilingFace).look =
      look("sticker_button");
  add(l.fileButton, "文件", Kind::Button, s.dialogWanted || s.dialogShowing, Picture::Folder).look =
      look("file_button");
  add(l.inputArea, s.pendingName.empty() ? "" : "[文件] " + s.pendingName, Kind::Input);

  if (s.panelOpen) {
    layer = Layer::Panel;
    add(l.panel, "", Kind::Area).textured = true;
    if (s.collectedTab) {
      const std::size_t shown =
          std::min(s.collection.size(), static_cast<std::size_t>(kGridColumns * kGridRows));
      for (std::size_t i = 0; i < shown; ++i) {
        const int left = l.grid.left + static_cast<int>(i % kGridColumns) * kCell;
        const int top = l.grid.top + static_cast<int>(i / kGridColumns) * kCell;
        add({left, top, left + kCell, top + kCell}, s.collection[i], Kind::Cell, false,
            Picture::Sticker);
      }
    } else {
      add(l.grid, "默认表情", Kind::Text);
    }
    add(l.defaultTab, "默认", Kind::Tab, !s.collectedTab);
    add(l.collectedTab, "收藏", Kind::Tab, s.collectedTab, Picture::Heart).look =
        look("collected_tab");
  }

  layer = Layer::Menu;
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

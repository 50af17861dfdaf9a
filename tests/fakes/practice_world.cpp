#include "tests/fakes/practice_world.h"

#include "services/types.h"

namespace pelloram::testing {

PracticeWorld::PracticeWorld(FakeDesktop& desktop, WindowHandle mainWindow,
                             practice::Options options)
    : model(std::move(options), [this](const std::string& line) { journal.push_back(line); }),
      desktop_(desktop),
      main_(mainWindow) {
  reactMs = model.Settings().reactMs;
  jitterMs = model.Settings().jitterMs;
  seed = model.Settings().seed;
  openDialog = desktop_.AddWindow("#32770", "打开", Rect{100, 100, 600, 450}, Point{8, 30});
  forwardWindow =
      desktop_.AddWindow("SelectContactWnd", "转发给", Rect{300, 200, 900, 700}, Point{0, 0});
  menuWindow = desktop_.AddWindow("PracticeMenu", "", Rect{}, Point{0, 0});
  desktop_.onClick = [this](Point screen, MouseButton button) { OnClick(screen, button); };
  desktop_.onKey = [this](int key, bool up) { OnKey(key, up); };
  desktop_.WindowAt(main_).paint = [this](Image& picture) {
    screen_.PaintMain(model.VisibleBoxes(), picture);
  };
  desktop_.WindowAt(menuWindow).paint = [this](Image& picture) {
    screen_.PaintMenu(model.VisibleBoxes(), picture);
  };
  Sync();
}

int PracticeWorld::Count(std::string_view event) const {
  const std::string needle = "\"event\":\"" + std::string(event) + "\"";
  int count = 0;
  for (const std::string& line : journal) count += line.find(needle) != std::string::npos;
  return count;
}

void PracticeWorld::OnClick(Point screen, MouseButton button) {
  if (ClickModel(screen, button)) Sync();
}

bool PracticeWorld::ClickModel(Point screen, MouseButton button) {
  if (!desktop_.WindowExists(main_)) return false;
  // The dialog and the forward window are modal: the main window takes no clicks then.
  if (model.OpenDialogShowing() || model.ForwardShowing()) return false;
  const Rect rect = desktop_.WindowAt(main_).rect;
  practice::Pt at{screen.x - rect.left, screen.y - rect.top};
  // The menu is a popup of its own: a click on it lands where it shows, even after the main
  // window has moved.
  if (desktop_.TopLevelWindowAt(screen) == menuWindow) {
    const Rect& menu = desktop_.WindowAt(menuWindow).rect;
    for (const practice::Model::Box& box : model.VisibleBoxes()) {
      if (box.kind == practice::Model::Kind::Menu) {
        at = {screen.x - menu.left + box.left, screen.y - menu.top + box.top};
      }
    }
  } else if (at.x < 0 || at.y < 0 || at.x >= rect.right - rect.left ||
             at.y >= rect.bottom - rect.top) {
    return false;
  }
  model.Click(at, button == MouseButton::Left ? practice::Button::Left : practice::Button::Right);
  PlaceMenu();
  if (model.OpenDialogWanted()) {
    const bool fails = dialogFailsFor.contains(desktop_.clipboard);
    const auto late = dialogLateFor.find(desktop_.clipboard);
    if (fails) {
      model.OpenDialogCancelled(1);
    } else if (late != dialogLateFor.end()) {
      desktop_.AtByItself(desktop_.now + static_cast<std::uint32_t>(late->second), [this] {
        model.OpenDialogShown();
        Sync();
      });
    } else {
      model.OpenDialogShown();
    }
  }
  CarryOutWindowRequest();
  return true;
}

// A popup menu opens where it was asked for and stays there, whatever its owner does.
void PracticeWorld::PlaceMenu() {
  const Rect rect = desktop_.WindowAt(main_).rect;
  for (const practice::Model::Box& box : model.VisibleBoxes()) {
    if (box.kind != practice::Model::Kind::Menu) continue;
    desktop_.WindowAt(menuWindow).rect = Rect{rect.left + box.left, rect.top + box.top,
                                              rect.left + box.right, rect.top + box.bottom};
  }
}

void PracticeWorld::CarryOutWindowRequest() {
  const practice::Model::WindowRequest request = model.TakeWindowRequest();
  if (request.resize) ResizeClient(request.size.x, request.size.y);
  if (request.move) {
    MoveClient(request.to.x, request.to.y);
    model.Moved(request.to.x, request.to.y);
  }
}

void PracticeWorld::MoveClient(int x, int y) {
  desktop_.WindowAt(main_).rect = Rect{x, y, x + model.Width(), y + model.Height()};
}

void PracticeWorld::ResizeClient(int width, int height) {
  model.Resize(width, height);
  Rect& rect = desktop_.WindowAt(main_).rect;
  rect = Rect{rect.left, rect.top, rect.left + model.Width(), rect.top + model.Height()};
  Repaint();
}

void PracticeWorld::UserClick(Point screen, MouseButton button) {
  ClickModel(screen, button);
  Show(Now());
}

void PracticeWorld::UserSends(const std::string& path) {
  if (!model.OpenDialogShowing()) {
    if (const auto button =
            FindBox(practice::Model::Kind::Button, practice::Model::Picture::Folder)) {
      UserClick(ScreenCentreOf(*button), MouseButton::Left);
    }
  }
  if (!model.OpenDialogShowing()) return;
  model.OpenDialogConfirmed(path, true);
  model.KeyDown(vk::kReturn);
  CarryOutWindowRequest();
  Show(Now());
}

void PracticeWorld::Repaint() {
  ++desktop_.WindowAt(main_).paintVersion;
  ++desktop_.WindowAt(menuWindow).paintVersion;
}

std::optional<practice::Model::Box> PracticeWorld::BoxAt(Point screen) const {
  const WindowHandle top = desktop_.TopLevelWindowAt(screen);
  const std::vector<practice::Model::Box> boxes = model.VisibleBoxes();
  Point origin;  // where the model's origin lies on the screen, for the window clicked
  bool menu = false;
  if (top == menuWindow) {
    const Rect& shown = desktop_.WindowAt(menuWindow).rect;
    for (const practice::Model::Box& box : boxes) {
      if (box.kind == practice::Model::Kind::Menu) {
        origin = {shown.left - box.left, shown.top - box.top};
      }
    }
    menu = true;
  } else if (top == main_) {
    const Rect& rect = desktop_.WindowAt(main_).rect;
    origin = {rect.left, rect.top};
  } else {
    return std::nullopt;
  }
  const Point at{screen.x - origin.x, screen.y - origin.y};
  // Back to front: the last box under the point is the one seen.
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
    if ((it->layer == practice::Model::Layer::Menu) != menu) continue;
    if (at.x >= it->left && at.x < it->right && at.y >= it->top && at.y < it->bottom) return *it;
  }
  return std::nullopt;
}

Point PracticeWorld::ScreenCentreOf(const practice::Model::Box& box) const {
  const Point centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  if (box.layer == practice::Model::Layer::Menu) {
    const Rect& shown = desktop_.WindowAt(menuWindow).rect;
    for (const practice::Model::Box& menu : model.VisibleBoxes()) {
      if (menu.kind == practice::Model::Kind::Menu) {
        return {shown.left + centre.x - menu.left, shown.top + centre.y - menu.top};
      }
    }
  }
  const Rect& rect = desktop_.WindowAt(main_).rect;
  return {rect.left + centre.x, rect.top + centre.y};
}

std::optional<practice::Model::Box> PracticeWorld::FindBox(practice::Model::Kind kind,
                                                           practice::Model::Picture picture) const {
  for (const practice::Model::Box& box : model.VisibleBoxes()) {
    if (box.kind == kind && box.picture == picture) return box;
  }
  return std::nullopt;
}

void PracticeWorld::OnKey(int key, bool up) {
  if (!desktop_.WindowExists(main_)) return;
  if (key == vk::kControl) {
    ctrlDown_ = !up;
    return;
  }
  if (up) return;
  if (model.OpenDialogShowing()) {
    OnDialogKey(key);
  } else if (model.ForwardShowing()) {
    model.ForwardKeyDown(key);
  } else {
    model.KeyDown(key);
  }
  CarryOutWindowRequest();
  Sync();
}

void PracticeWorld::OnDialogKey(int key) {
  if (key == vk::kV && ctrlDown_) {
    dialogText_ = desktop_.clipboard;
    desktop_.fileNameBoxes[openDialog] = dialogText_;
  } else if (key == vk::kReturn && !dialogRefuses.contains(dialogText_)) {
    model.OpenDialogConfirmed(dialogText_, true);
    dialogText_.clear();
  } else if (key == vk::kEscape) {
    model.OpenDialogCancelled();
    dialogText_.clear();
  }
}

PracticeWorld::Shown PracticeWorld::Now() const {
  return {model.OpenDialogShowing(), model.ForwardShowing(),
          model.StickerMenuOpen() || model.SentMenuOpen()};
}

void PracticeWorld::Sync() {
  Repaint();
  if (reactMs <= 0 && jitterMs <= 0) {
    Show(Now());
    return;
  }
  seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;  // one LCG step
  const int jitter = jitterMs > 0 ? static_cast<int>((seed >> 33) % (jitterMs + 1)) : 0;
  // By default a delayed show shows the client as it is by then; in strict order, as it
  // was when it reacted.
  const Shown then = Now();
  std::uint32_t at = desktop_.now + static_cast<std::uint32_t>(reactMs + jitter);
  // In strict order no reaction overtakes an earlier one, whatever its jitter.
  if (strictOrder && static_cast<std::int32_t>(lastShowAt_ - at) > 0) at = lastShowAt_;
  lastShowAt_ = at;
  desktop_.AtByItself(at, [this, then] { Show(strictOrder ? then : Now()); });
}

void PracticeWorld::Show(Shown shown) {
  // A client that was closed takes its dialog, forward window and menu with it.
  Repaint();
  const bool running = desktop_.WindowExists(main_);
  if (!running) {
    for (const WindowHandle w : {openDialog, forwardWindow, menuWindow}) {
      desktop_.WindowAt(w).exists = false;
    }
    return;
  }
  desktop_.WindowAt(openDialog).exists = shown.dialog;
  if (!shown.dialog) desktop_.fileNameBoxes[openDialog].clear();
  desktop_.WindowAt(forwardWindow).exists = shown.forward;
  desktop_.WindowAt(menuWindow).exists = shown.menu;
}

}  // namespace pelloram::testing

#include "tests/fakes/practice_world.h"

#include "client/monitors.h"
#include "services/scale.h"
#include "services/types.h"

namespace pelloram::testing {
namespace {

// The model's unit a pixel `u` pixels from its origin lies in at `dpi`: the m whose scaled
// edges hold it (Scaled(m) <= u < Scaled(m + 1)), so a pixel is in a box exactly where the
// box is drawn.
int Unscaled(int u, int dpi) {
  if (dpi == kBaseDpi || dpi <= 0) return u;
  const long long scaled = static_cast<long long>(u) * kBaseDpi;
  int m = static_cast<int>(scaled >= 0 ? scaled / dpi : -((-scaled + dpi - 1) / dpi));
  while (Scaled(m + 1, dpi) <= u) ++m;
  while (Scaled(m, dpi) > u) --m;
  return m;
}

practice::Pt ToModel(Point offset, int dpi) {
  return {Unscaled(offset.x, dpi), Unscaled(offset.y, dpi)};
}

}  // namespace

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
  // Moved by the tool onto a monitor of another scale, the client lays itself out anew.
  desktop_.onMoved = [this](WindowHandle window) {
    if (window == main_) FollowMonitor();
  };
  dpi_ = menuDpi_ = DpiOf(desktop_.monitors, desktop_.WindowAt(main_).rect);
  desktop_.WindowAt(main_).paint = [this](Image& picture) {
    screen_.PaintMain(model.VisibleBoxes(), dpi_, picture);
  };
  desktop_.WindowAt(menuWindow).paint = [this](Image& picture) {
    screen_.PaintMenu(model.VisibleBoxes(), menuDpi_, picture);
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
  // The menu is a popup of its own: a click on it lands where it shows, even after the main
  // window has moved.
  std::optional<Mapping> on;
  if (desktop_.TopLevelWindowAt(screen) == menuWindow) on = MappingFor(menuWindow);
  if (!on) {
    const Point offset{screen.x - rect.left, screen.y - rect.top};
    const bool onMenu = desktop_.TopLevelWindowAt(screen) == menuWindow;
    if (!onMenu && (offset.x < 0 || offset.y < 0 || offset.x >= rect.right - rect.left ||
                    offset.y >= rect.bottom - rect.top)) {
      return false;
    }
    on = MappingFor(main_);
  }
  const practice::Pt at = ToModel(Point{screen.x - on->origin.x, screen.y - on->origin.y}, on->dpi);
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
    const Rect shown = ScaledEdges(Rect{box.left, box.top, box.right, box.bottom}, dpi_);
    desktop_.WindowAt(menuWindow).rect = Rect{rect.left + shown.left, rect.top + shown.top,
                                              rect.left + shown.right, rect.top + shown.bottom};
    menuDpi_ = dpi_;
  }
}

void PracticeWorld::CarryOutWindowRequest() {
  const practice::Model::WindowRequest request = model.TakeWindowRequest();
  if (request.resize) LayOut(request.size.x, request.size.y);
  if (request.move) {
    MoveClient(request.to.x, request.to.y);
    model.Moved(request.to.x, request.to.y);
  }
}

Point PracticeWorld::ShownSize() const {
  return Scaled(Point{model.Width(), model.Height()}, dpi_);
}

void PracticeWorld::MoveClient(int x, int y) {
  const Point size = ShownSize();
  desktop_.WindowAt(main_).rect = Rect{x, y, x + size.x, y + size.y};
  FollowMonitor();
}

void PracticeWorld::ResizeClient(int width, int height) {
  LayOut(Scaled(width, kBaseDpi, dpi_), Scaled(height, kBaseDpi, dpi_));
}

void PracticeWorld::LayOut(int width, int height) {
  model.Resize(width, height);
  Rect& rect = desktop_.WindowAt(main_).rect;
  const Point size = ShownSize();
  rect = Rect{rect.left, rect.top, rect.left + size.x, rect.top + size.y};
  Repaint();
  FollowMonitor();  // a window grown over a monitor's edge may now lie mostly on the next
}

void PracticeWorld::FollowMonitor() {
  Rect& rect = desktop_.WindowAt(main_).rect;
  const int dpi = DpiOf(desktop_.monitors, rect);
  if (dpi == dpi_) return;
  dpi_ = dpi;
  const Point size = ShownSize();
  rect = Rect{rect.left, rect.top, rect.left + size.x, rect.top + size.y};
  Repaint();
}

std::optional<PracticeWorld::Mapping> PracticeWorld::MappingFor(WindowHandle window) const {
  if (window == main_) {
    const Rect& rect = desktop_.WindowAt(main_).rect;
    return Mapping{{rect.left, rect.top}, dpi_};
  }
  if (window != menuWindow) return std::nullopt;
  const Rect& shown = desktop_.WindowAt(menuWindow).rect;
  for (const practice::Model::Box& box : model.VisibleBoxes()) {
    if (box.kind != practice::Model::Kind::Menu) continue;
    const Point corner = Scaled(Point{box.left, box.top}, menuDpi_);
    return Mapping{{shown.left - corner.x, shown.top - corner.y}, menuDpi_};
  }
  return std::nullopt;
}

Point PracticeWorld::ScreenPointOf(practice::Pt at) const {
  const Rect& rect = desktop_.WindowAt(main_).rect;
  const Point scaled = Scaled(Point{at.x, at.y}, dpi_);
  return {rect.left + scaled.x, rect.top + scaled.y};
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
  if (top != menuWindow && top != main_) return std::nullopt;
  const std::optional<Mapping> on = MappingFor(top);
  if (!on) return std::nullopt;
  const bool menu = top == menuWindow;
  const practice::Pt at = ToModel(Point{screen.x - on->origin.x, screen.y - on->origin.y}, on->dpi);
  const std::vector<practice::Model::Box> boxes = model.VisibleBoxes();
  // Back to front: the last box under the point is the one seen.
  for (auto it = boxes.rbegin(); it != boxes.rend(); ++it) {
    if ((it->layer == practice::Model::Layer::Menu) != menu) continue;
    if (at.x >= it->left && at.x < it->right && at.y >= it->top && at.y < it->bottom) return *it;
  }
  return std::nullopt;
}

Point PracticeWorld::ScreenCentreOf(const practice::Model::Box& box) const {
  const Point centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  const bool menu = box.layer == practice::Model::Layer::Menu;
  const std::optional<Mapping> on = MappingFor(menu ? menuWindow : main_);
  const Mapping mapping = on ? *on : *MappingFor(main_);
  const Point scaled = Scaled(centre, mapping.dpi);
  return {mapping.origin.x + scaled.x, mapping.origin.y + scaled.y};
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

// The practice client's model living on the fake desktop: clicks at screen points reach
// it through its window, keys reach whichever of its windows has the focus, and its
// open dialog and forward window exist as windows while it shows them. The client is laid out
// at the scale of its window's monitor, as a per-monitor aware client is: the model keeps its
// 96-dpi units, and its window, clicks, boxes, menus and pictures are mapped to the screen's
// physical pixels at that scale.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "practice_client/model.h"
#include "tests/fakes/fake_desktop.h"
#include "tests/fakes/practice_screen.h"

namespace pelloram::testing {

class PracticeWorld {
 public:
  PracticeWorld(FakeDesktop& desktop, WindowHandle mainWindow, practice::Options options);

  std::vector<std::string> journal;  // before the model: it journals while constructed
  practice::Model model;
  // Files whose open dialog fails to come up (by the path pasted last).
  std::set<std::string> dialogFailsFor;
  // Files whose open dialog comes up only this many ms after the click (by the path on the
  // clipboard then).
  std::map<std::string, int> dialogLateFor;
  // Paths the open dialog refuses: Enter leaves it up, as a real one does for a missing file.
  std::set<std::string> dialogRefuses;
  // How long the client takes before what it did shows on screen (its dialog, menus and
  // forward window appear or go), plus up to `jitterMs` more drawn from `seed`.
  int reactMs = 0;
  int jitterMs = 0;
  std::uint64_t seed = 1;
  // Each reaction shows the windows as they were when the client reacted, never a later
  // state early: what a blind replay of fixed delays meets on a slow client.
  bool strictOrder = false;
  WindowHandle openDialog = 0;
  WindowHandle forwardWindow = 0;
  WindowHandle menuWindow = 0;  // a context menu is a popup window of the client's own

  int Count(std::string_view event) const;  // journal lines of one event kind

  // The user drags the main window to a new top-left corner, or to a new size in screen
  // pixels (which the client takes within its limits; the window keeps the size the client
  // took). The client lays itself out again; a menu open stays where it opened, as a popup
  // does. Moved onto a monitor of another scale, the window keeps its top-left corner and
  // takes its size at the new scale, the rectangle the system suggests.
  void MoveClient(int x, int y);
  void ResizeClient(int width, int height);
  // The scale the client is laid out at: that of its window's monitor since it last moved.
  int Dpi() const { return dpi_; }
  // The screen point of a point of the main window's model.
  Point ScreenPointOf(practice::Pt at) const;
  // The user's own click on the client (not the tool's: it is not recorded as input), and
  // what the user sends from the open dialog. The client is settled when the user acts:
  // what it shows, shows at once.
  void UserClick(Point screen, MouseButton button);
  void UserSends(const std::string& path);
  // What the user sees at a screen point: the client's box under it on the menu or the main
  // window, when that window is the topmost there; none on any other window.
  std::optional<practice::Model::Box> BoxAt(Point screen) const;
  // The screen point at the centre of a box of the model's (a menu's box: where the menu
  // window shows it).
  Point ScreenCentreOf(const practice::Model::Box& box) const;
  // Where a box of a kind (and picture, for buttons and tabs) lies now, if it is shown.
  std::optional<practice::Model::Box> FindBox(practice::Model::Kind kind,
                                              practice::Model::Picture picture) const;
  // After changing the model directly: its windows are painted afresh at the next capture.
  void Repaint();

 private:
  void OnClick(Point screen, MouseButton button);
  bool ClickModel(Point screen, MouseButton button);  // false: the click reached no window
  void OnKey(int key, bool up);
  void OnDialogKey(int key);
  struct Shown {
    bool dialog = false;
    bool forward = false;
    bool menu = false;
  };
  Shown Now() const;
  void Sync();             // shows the model's windows as they are now, after the reaction time
  void Show(Shown shown);  // shows them at once
  void CarryOutWindowRequest();
  void PlaceMenu();
  void LayOut(int width, int height);  // in the model's units
  void FollowMonitor();                // takes the scale of the monitor the window is on now
  Point ShownSize() const;             // the main window's size on the screen
  // Where the model's origin lies on the screen for a window of the client's, and its scale.
  struct Mapping {
    Point origin;
    int dpi = 96;
  };
  std::optional<Mapping> MappingFor(WindowHandle window) const;
  FakeDesktop& desktop_;
  WindowHandle main_;
  std::string dialogText_;
  bool ctrlDown_ = false;
  std::uint32_t lastShowAt_ = 0;
  int dpi_ = 96;      // the main window's scale
  int menuDpi_ = 96;  // the scale the open menu was laid out at, where it opened
  PracticeScreen screen_;
};

}  // namespace pelloram::testing

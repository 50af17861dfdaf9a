// The practice client on the fake desktop, away from the screen's origin, with its points
// taught with F10 as a user does: the world of the tests of taught runs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"

namespace pelloram::testing {

using Box = practice::Model::Box;
using Kind = practice::Model::Kind;
using Picture = practice::Model::Picture;

inline constexpr std::uint32_t kOtherProcess = 7;
// A 100 % monitor left of a 150 % primary, as on a laptop with a desk monitor beside it, and a
// place for the client's window on each.
inline const std::vector<Monitor> kSideBySide{{Rect{-1920, 0, 0, 1200}, 96},
                                              {Rect{0, 0, 2880, 1800}, 144}};
inline constexpr Point kOnTheLeft{-1700, 120};
inline constexpr Point kOnThePrimary{300, 200};
inline const std::vector<std::string> kThree{"C:\\s\\a.gif", "C:\\s\\b.gif", "C:\\s\\c.gif"};

// The practice client away from the screen's origin, with ten stickers, taught by the user.
struct Taught : ToolHarness {
  PracticeWorld world;
  explicit Taught(practice::Options options = {10, {}}) : world(desktop, client, options) {
    world.MoveClient(120, 70);
  }

  void TeachDelete(const char* count) {
    TeachDeletePoints(world);
    ui.Type(Control::DeleteCount, count);
    ui.Type(Control::DeleteDelay, "100");
  }
  void TeachAdd() {
    TeachAddPoints(world);
    ui.Type(Control::AddDelay, "100");
    tool.state.stickerFiles = kThree;
  }
  void F11() { ui.PressHotkey(vk::kF11); }
  Point Centre(Kind kind, Picture picture) const {
    const std::optional<Box> box = world.FindBox(kind, picture);
    return box ? world.ScreenCentreOf(*box) : Point{-1, -1};
  }
  std::optional<Box> MenuItem(std::string_view label) const {
    for (const Box& box : world.model.VisibleBoxes()) {
      if (box.kind == Kind::MenuItem && box.label == label) return box;
    }
    return std::nullopt;
  }
  Point FieldPoint(Control x, Control y) { return {std::stoi(ui.Text(x)), std::stoi(ui.Text(y))}; }
  // A window of another program over a control of the client's.
  void Cover(Point control) {
    desktop.AddWindow("Notepad", "note",
                      Rect{control.x - 40, control.y - 30, control.x + 60, control.y + 40}, {},
                      kOtherProcess);
  }
  std::string LastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

}  // namespace pelloram::testing

#include "tests/fakes/tool_harness.h"

namespace pelloram::testing {
namespace {

using Box = practice::Model::Box;
using Kind = practice::Model::Kind;
using Picture = practice::Model::Picture;

Point Centre(const PracticeWorld& world, Kind kind, Picture picture) {
  const std::optional<Box> box = world.FindBox(kind, picture);
  return box ? world.ScreenCentreOf(*box) : Point{};
}

}  // namespace

void ToolHarness::TeachDeletePoints(PracticeWorld& world) {
  if (ui.page != 0) ui.SelectPage(0);
  if (ui.ReadControlProperty(Control::DeleteModeTwoRadio, Property::Checked) == 0) {
    ui.Click(Control::DeleteModeTwoRadio);
  }
  const auto button = [&world] { return Centre(world, Kind::Button, Picture::SmilingFace); };
  if (world.model.PanelOpen()) world.UserClick(button(), MouseButton::Left);
  // A cycle left half done by earlier presses: F10 over the first control until it is next.
  for (int i = 0; i < 3 && tool.state.deleteCaptureStep != 1; ++i) TeachAt(button());
  TeachAt(button());
  world.UserClick(button(), MouseButton::Left);
  const Point tab = Centre(world, Kind::Tab, Picture::Heart);
  TeachAt(tab);
  world.UserClick(tab, MouseButton::Left);
  const std::optional<Box> first = world.FindBox(Kind::Cell, Picture::Sticker);
  if (first) {
    TeachAt(world.ScreenCentreOf(*first));
  } else {
    const practice::Layout layout = practice::LayoutFor(world.model.Width(), world.model.Height());
    TeachAt(world.ScreenPointOf(
        {layout.grid.left + practice::kCell / 2, layout.grid.top + practice::kCell / 2}));
  }
  world.UserClick(button(), MouseButton::Left);
}

void ToolHarness::TeachAddPoints(PracticeWorld& world, const std::string& path) {
  if (ui.page != 1) ui.SelectPage(1);
  if (ui.ReadControlProperty(Control::AddModeTwoRadio, Property::Checked) == 0) {
    ui.Click(Control::AddModeTwoRadio);
  }
  if (world.model.SentMessages().empty()) world.UserSends(path);
  const auto fileButton = [&world] { return Centre(world, Kind::Button, Picture::Folder); };
  for (int i = 0; i < 3 && tool.state.addCaptureStep != 1; ++i) TeachAt(fileButton());
  TeachAt(fileButton());
  TeachAt(Centre(world, Kind::Message, Picture::Sticker));
}

}  // namespace pelloram::testing

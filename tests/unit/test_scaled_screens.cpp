// Monitors of their own scales on the fake desktop, and the practice client laid out at its
// monitor's scale: its window, clicks, controls, menus and pictures in physical pixels, and a
// move onto a monitor of another scale resizing it by the ratio.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "client/monitors.h"
#include "services/picture_match.h"
#include "services/picture_resize.h"
#include "services/scale.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"

namespace pelloram::testing {
namespace {

using Box = practice::Model::Box;
using BoxKind = practice::Model::Kind;
using Picture = practice::Model::Picture;

struct Layout {
  const char* name;
  std::vector<Monitor> monitors;
};

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

// 100 % beside 150 %, a 150 % main screen with a 100 % one left of it and lower, 125 % beside
// a 100 % one set higher.
const std::vector<Layout> kLayouts{
    {"HundredBesideOneFifty", {{Rect{0, 0, 1920, 1080}, 96}, {Rect{1920, 0, 4800, 1620}, 144}}},
    {"NegativeOrigin", {{Rect{0, 0, 2560, 1440}, 144}, {Rect{-1920, 200, 0, 1280}, 96}}},
    {"OneTwentyFive", {{Rect{0, 0, 1920, 1200}, 120}, {Rect{1920, -300, 3840, 780}, 96}}},
};

bool Black(const Image& picture, int x, int y) {
  const std::size_t at = picture.Offset(x, y);
  return picture.bgra[at] == 0 && picture.bgra[at + 1] == 0 && picture.bgra[at + 2] == 0;
}

class MonitorLayouts : public ::testing::TestWithParam<Layout> {};

// A window across every monitor shows where a monitor is and is black past them all, also at
// negative coordinates; each monitor's scale is the one a window on it is drawn at.
TEST_P(MonitorLayouts, ShowWindowsOnlyOnTheMonitorsAndTellEachOnesScale) {
  FakeDesktop desktop;
  desktop.monitors = GetParam().monitors;
  Rect all = desktop.monitors.front().area;
  for (const Monitor& m : desktop.monitors) all = Union(all, m.area);
  const WindowHandle window = desktop.AddWindow("Wide", "", all);
  Image picture;
  for (int y = all.top; y < all.bottom; y += 37) {
    ASSERT_TRUE(desktop.CaptureScreen(Rect{all.left, y, all.right, y + 1}, picture));
    for (int x = all.left; x < all.right; x += 41) {
      EXPECT_EQ(Black(picture, x - all.left, 0), !OnAnyMonitor(desktop.monitors, {x, y}))
          << x << "," << y;
    }
  }
  for (const Monitor& m : desktop.Monitors()) {
    const Rect inside{m.area.left + 10, m.area.top + 10, m.area.left + 810, m.area.top + 610};
    EXPECT_EQ(DpiOf(desktop.Monitors(), inside), m.dpi);
    EXPECT_EQ(desktop.TopLevelWindowAt({m.area.left, m.area.top}), window);
    ASSERT_TRUE(desktop.CaptureScreen(inside, picture));
    EXPECT_FALSE(Black(picture, 0, 0));
  }
}

std::string LayoutName(const ::testing::TestParamInfo<Layout>& param) { return param.param.name; }

INSTANTIATE_TEST_SUITE_P(FakeDesktop, MonitorLayouts, ::testing::ValuesIn(kLayouts), LayoutName);

// The client on a monitor of one scale, next to a monitor at 100 %.
struct OnMonitors : ToolHarness {
  PracticeWorld world;
  explicit OnMonitors(int dpi) : world(desktop, client, practice::Options{10, {}}) {
    desktop.monitors = {Monitor{Rect{0, 0, 1920, 1080}, 96},
                        Monitor{Rect{1920, 0, 4800, 1620}, dpi}};
    world.MoveClient(2000, 100);
  }
  Point Centre(BoxKind kind, Picture picture) const {
    const std::optional<Box> box = world.FindBox(kind, picture);
    return box ? world.ScreenCentreOf(*box) : Point{-1, -1};
  }
  Image Around(Point centre, int half) {
    Image picture;
    desktop.CaptureScreen(SquareAround(centre, half), picture);
    return picture;
  }
  // Opens the panel on its collected tab and the menu of the first sticker.
  void OpenEverything() {
    world.UserClick(Centre(BoxKind::Button, Picture::SmilingFace), MouseButton::Left);
    world.UserClick(Centre(BoxKind::Tab, Picture::Heart), MouseButton::Left);
    world.UserClick(Centre(BoxKind::Cell, Picture::Sticker), MouseButton::Right);
  }
};

class AtAScale : public ::testing::TestWithParam<int> {};

TEST_P(AtAScale, TheWindowIsItsLayoutTimesTheScale) {
  OnMonitors s(GetParam());
  EXPECT_EQ(s.world.Dpi(), GetParam());
  const Rect& r = s.desktop.WindowAt(s.client).rect;
  EXPECT_EQ(r.right - r.left, Scaled(practice::kDefaultWidth, GetParam()));
  EXPECT_EQ(r.bottom - r.top, Scaled(practice::kDefaultHeight, GetParam()));
}

// Every control, the panel's and the menu's too, is seen and clicked where it is drawn: the
// centre of each shows that box, and clicks there reach it.
TEST_P(AtAScale, EveryControlIsSeenAndClickedWhereItIsDrawn) {
  OnMonitors s(GetParam());
  s.OpenEverything();
  ASSERT_TRUE(s.world.model.StickerMenuOpen());
  const Rect& menu = s.desktop.WindowAt(s.world.menuWindow).rect;
  int seen = 0;
  for (const Box& box : s.world.model.VisibleBoxes()) {
    const bool control = box.kind == BoxKind::Button || box.kind == BoxKind::Tab ||
                         box.kind == BoxKind::Cell || box.kind == BoxKind::MenuItem;
    const Point centre = s.world.ScreenCentreOf(box);
    if (!control || (box.kind != BoxKind::MenuItem && Contains(menu, centre))) continue;
    const std::optional<Box> at = s.world.BoxAt(centre);
    ASSERT_TRUE(at) << box.label;
    ++seen;
    EXPECT_EQ(at->left, box.left);
    EXPECT_EQ(at->top, box.top);
    EXPECT_EQ(at->label, box.label);
  }
  EXPECT_GT(seen, 10);
  const std::optional<Box> item = s.world.FindBox(BoxKind::MenuItem, Picture::None);
  ASSERT_TRUE(item);
  const std::optional<Box> menuBox = s.world.FindBox(BoxKind::Menu, Picture::None);
  ASSERT_TRUE(menuBox);
  EXPECT_EQ(menu.right - menu.left,
            Scaled(menuBox->right, GetParam()) - Scaled(menuBox->left, GetParam()));
  const std::size_t before = s.world.model.Collection().size();
  s.world.UserClick(s.world.ScreenCentreOf(*item), MouseButton::Left);
  EXPECT_EQ(s.world.model.Collection().size(), before - 1);
}

// A look taught at 100 % and resized by the ratio is close to what the screen shows at the
// scale, but not the same pixels, as on a real display; and it is found where the control is.
TEST_P(AtAScale, ALookTaughtAtOneHundredResizedIsFoundWhereTheControlIs) {
  OnMonitors hundred(96);
  hundred.world.MoveClient(200, 100);
  ASSERT_EQ(hundred.world.Dpi(), 96);
  const Image taught = hundred.Around(hundred.Centre(BoxKind::Button, Picture::SmilingFace), 16);
  OnMonitors s(GetParam());
  const int side = Scaled(32, GetParam());
  const Image resized = Resized(taught, side, side);
  const Point centre = s.Centre(BoxKind::Button, Picture::SmilingFace);
  const Rect& window = s.desktop.WindowAt(s.client).rect;
  Image shot;
  ASSERT_TRUE(s.desktop.CaptureScreen(window, shot));
  SearchHint hint;
  hint.core = ScaledEdges(Rect{4, 4, 28, 28}, GetParam());
  const Match match = FindPicture(shot, resized, hint);
  ASSERT_TRUE(match.found);
  const Point foundCentre{window.left + match.at.x + side / 2, window.top + match.at.y + side / 2};
  EXPECT_LE(std::abs(foundCentre.x - centre.x), 2);
  EXPECT_LE(std::abs(foundCentre.y - centre.y), 2);
  if (GetParam() != 96) {
    const Image there = s.Around(centre, side / 2);
    EXPECT_NE(there.bgra, resized.bgra);
  }
}

// The user drags the client onto the other monitor and back: it takes its size at each
// scale, and a menu open meanwhile stays where it opened, its item clicked where it shows.
TEST_P(AtAScale, AMoveOntoAnotherScaleResizesTheWindowByTheRatio) {
  OnMonitors s(GetParam());
  const Rect& r = s.desktop.WindowAt(s.client).rect;
  s.world.MoveClient(100, 50);
  EXPECT_EQ(s.world.Dpi(), 96);
  EXPECT_EQ(r, (Rect{100, 50, 100 + practice::kDefaultWidth, 50 + practice::kDefaultHeight}));
  s.OpenEverything();
  const Rect menu = s.desktop.WindowAt(s.world.menuWindow).rect;
  s.world.MoveClient(2100, 40);
  EXPECT_EQ(s.world.Dpi(), GetParam());
  EXPECT_EQ(r.right - r.left, Scaled(practice::kDefaultWidth, GetParam()));
  EXPECT_EQ(s.desktop.WindowAt(s.world.menuWindow).rect, menu);
  const std::optional<Box> item = s.world.FindBox(BoxKind::MenuItem, Picture::None);
  ASSERT_TRUE(item);
  const Point itemAt = s.world.ScreenCentreOf(*item);
  EXPECT_TRUE(Contains(menu, itemAt));
  EXPECT_EQ(s.world.BoxAt(itemAt)->label, item->label);
}

// The tool moving the client's window onto the other monitor makes it lay itself out anew.
TEST_P(AtAScale, AMoveByTheToolOntoAnotherScaleIsFollowedToo) {
  OnMonitors s(GetParam());
  s.desktop.MoveWindowTo(s.client, 50, 60, 910, 647);
  EXPECT_EQ(s.world.Dpi(), 96);
  s.desktop.MoveWindowTo(s.client, 2000, 60, 910, 647);
  EXPECT_EQ(s.world.Dpi(), GetParam());
  const Rect& r = s.desktop.WindowAt(s.client).rect;
  EXPECT_EQ(r.bottom - r.top, Scaled(practice::kDefaultHeight, GetParam()));
  // A user's click at the scaled place of a control reaches it.
  s.world.UserClick(s.Centre(BoxKind::Button, Picture::SmilingFace), MouseButton::Left);
  EXPECT_TRUE(s.world.model.PanelOpen());
}

std::string DpiName(const ::testing::TestParamInfo<int>& param) {
  return "Dpi" + std::to_string(param.param);
}

INSTANTIATE_TEST_SUITE_P(PracticeWorld, AtAScale, ::testing::Values(96, 120, 144), DpiName);

}  // namespace
}  // namespace pelloram::testing

// The practice client at a display scale: its 96-dpi layout shown in a monitor's physical
// pixels, and clicks on those pixels taken back to the layout. A click anywhere on a control
// as the user sees it must reach that control, and the window must show all of it.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "practice_client/model.h"
#include "practice_client/screen_scale.h"

namespace pelloram {
namespace {

using practice::Layout;
using practice::Pt;
using practice::Rect;
using practice::ScreenScale;

class AtEachScale : public ::testing::TestWithParam<int> {
 protected:
  ScreenScale scale{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(Dpi, AtEachScale, ::testing::Values(96, 120, 144),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::to_string(param.param);
                         });

TEST_P(AtEachScale, EveryLogicalPointComesBackToItself) {
  for (int logical = -300; logical <= 3000; ++logical) {
    ASSERT_EQ(scale.ToLogical(scale.ToPhysical(logical)), logical) << "logical " << logical;
  }
}

TEST_P(AtEachScale, EveryPhysicalPixelLiesInTheLogicalPixelItMapsTo) {
  for (int physical = -400; physical <= 4500; ++physical) {
    const int logical = scale.ToLogical(physical);
    ASSERT_LE(scale.ToPhysical(logical), physical) << "physical " << physical;
    ASSERT_GT(scale.ToPhysical(logical + 1), physical) << "physical " << physical;
  }
}

TEST_P(AtEachScale, PointsMapByBothCoordinates) {
  const Pt logical{340, -25};
  EXPECT_EQ(scale.ToLogical(scale.ToPhysical(logical)).x, logical.x);
  EXPECT_EQ(scale.ToLogical(scale.ToPhysical(logical)).y, logical.y);
}

// The window sizes a user meets at each scale, as its help says.
TEST(ScreenScale, TheDefaultWindowAtEachScale) {
  const std::vector<std::pair<int, Pt>> expected{
      {96, {910, 647}}, {120, {1138, 809}}, {144, {1365, 971}}};
  for (const auto& [dpi, size] : expected) {
    const Pt shown =
        ScreenScale{dpi}.ToPhysical(Pt{practice::kDefaultWidth, practice::kDefaultHeight});
    EXPECT_EQ(shown.x, size.x) << dpi;
    EXPECT_EQ(shown.y, size.y) << dpi;
  }
}

std::vector<std::pair<const char*, Rect>> PartsOf(const Layout& l) {
  return {{"title strip", l.titleStrip},
          {"close box", l.closeBox},
          {"sidebar", l.sidebar},
          {"chat list", l.chatList},
          {"chat header", l.chatHeader},
          {"toolbar", l.toolbar},
          {"sticker button", l.stickerButton},
          {"file button", l.fileButton},
          {"input area", l.inputArea},
          {"panel", l.panel},
          {"default tab", l.defaultTab},
          {"collected tab", l.collectedTab},
          {"grid", l.grid},
          {"newest message", l.newestMessage}};
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

const std::vector<Pt> kWindowSizes{{910, 647}, {640, 520}, {1000, 700}, {1280, 901}};

TEST_P(AtEachScale, EveryControlShowsWhollyInsideTheWindow) {
  for (const Pt size : kWindowSizes) {
    const Layout layout = practice::LayoutFor(size.x, size.y);
    const Rect window = scale.ToPhysical(Rect{0, 0, size.x, size.y});
    for (const auto& [name, part] : PartsOf(layout)) {
      const Rect shown = scale.ToPhysical(part);
      EXPECT_TRUE(Inside(shown, window)) << name << " at " << size.x << " x " << size.y;
      EXPECT_GT(shown.right, shown.left) << name;
      EXPECT_GT(shown.bottom, shown.top) << name;
    }
  }
}

TEST_P(AtEachScale, NeighboursStayNeighboursAndNestedPartsStayNested) {
  const Layout l = practice::LayoutFor(910, 647);
  const auto shown = [this](const Rect& r) { return scale.ToPhysical(r); };
  EXPECT_EQ(shown(l.sidebar).right, shown(l.chatList).left);
  EXPECT_EQ(shown(l.chatList).right, shown(l.toolbar).left);
  EXPECT_EQ(shown(l.toolbar).bottom, shown(l.inputArea).top);
  EXPECT_EQ(shown(l.titleStrip).bottom, shown(l.chatHeader).top);
  EXPECT_TRUE(Inside(shown(l.stickerButton), shown(l.toolbar)));
  EXPECT_TRUE(Inside(shown(l.fileButton), shown(l.toolbar)));
  EXPECT_LE(shown(l.stickerButton).right, shown(l.fileButton).left) << "the buttons overlap";
  EXPECT_TRUE(Inside(shown(l.collectedTab), shown(l.panel)));
  EXPECT_LE(shown(l.defaultTab).right, shown(l.collectedTab).left) << "the tabs overlap";
  // The grid's cells keep touching: six 50-wide cells fill the grid's width exactly.
  const Rect grid = shown(l.grid);
  EXPECT_EQ(scale.ToPhysical(l.grid.left + 6 * practice::kCell), grid.right);
}

// Whatever pixel of a control the user clicks, the client takes it as a click on that
// control, and a pixel just outside it as a click elsewhere.
TEST_P(AtEachScale, EveryPixelOfAControlIsAClickOnIt) {
  const Layout l = practice::LayoutFor(910, 647);
  for (const Rect& part : {l.stickerButton, l.fileButton, l.collectedTab, l.closeBox}) {
    const Rect shown = scale.ToPhysical(part);
    for (int y = shown.top - 1; y <= shown.bottom; ++y) {
      for (int x = shown.left - 1; x <= shown.right; ++x) {
        const bool onIt = x >= shown.left && x < shown.right && y >= shown.top && y < shown.bottom;
        ASSERT_EQ(part.Has(scale.ToLogical(Pt{x, y})), onIt) << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace pelloram

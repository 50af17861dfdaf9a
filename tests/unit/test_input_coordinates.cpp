// A click's press must land on the pixel the run checked, on every monitor layout: the
// absolute coordinates SendInput gets must bring the pointer back onto that very pixel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/input_coordinates.h"
#include "client/monitors.h"

namespace pelloram {
namespace {

struct Layout {
  std::string name;
  std::vector<Rect> monitors;  // the primary has its top-left corner at (0, 0)
};

Rect VirtualScreenOf(const Layout& layout) {
  Rect all;
  for (const Rect& monitor : layout.monitors) all = Union(all, monitor);
  return all;
}

class EveryLayout : public ::testing::TestWithParam<Layout> {};

// The system maps each axis on its own, so every column and every row of the virtual screen
// coming back to itself means every pixel does, gaps between monitors included.
TEST_P(EveryLayout, EveryPixelIsReachedExactly) {
  const Rect desk = VirtualScreenOf(GetParam());
  int wrong = 0;
  for (int x = desk.left; x < desk.right; ++x) {
    for (const int y : {desk.top, desk.bottom - 1}) {
      const auto absolute = ToAbsolute(desk, {x, y});
      ASSERT_TRUE(absolute) << x << "," << y;
      if (FromAbsolute(desk, *absolute) != Point{x, y}) ++wrong;
    }
  }
  for (int y = desk.top; y < desk.bottom; ++y) {
    for (const int x : {desk.left, desk.right - 1}) {
      const auto absolute = ToAbsolute(desk, {x, y});
      ASSERT_TRUE(absolute) << x << "," << y;
      if (FromAbsolute(desk, *absolute) != Point{x, y}) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(EveryLayout, EachMonitorsCornersAreReachedExactly) {
  const Rect desk = VirtualScreenOf(GetParam());
  for (const Rect& m : GetParam().monitors) {
    for (const Point corner : {Point{m.left, m.top}, Point{m.right - 1, m.top},
                               Point{m.left, m.bottom - 1}, Point{m.right - 1, m.bottom - 1}}) {
      const auto absolute = ToAbsolute(desk, corner);
      ASSERT_TRUE(absolute) << corner.x << "," << corner.y;
      EXPECT_EQ(FromAbsolute(desk, *absolute), corner);
    }
  }
}

TEST_P(EveryLayout, TheVirtualScreensEdgesSpanTheWholeRange) {
  const Rect desk = VirtualScreenOf(GetParam());
  EXPECT_EQ(ToAbsolute(desk, {desk.left, desk.top}), (AbsolutePoint{0, 0}));
  const auto last = ToAbsolute(desk, {desk.right - 1, desk.bottom - 1});
  ASSERT_TRUE(last);
  EXPECT_LE(last->x, 65535);
  EXPECT_LE(last->y, 65535);
  // The last pixel lies in the last few steps: the far edge is not squeezed inwards.
  EXPECT_GT(last->x, 65535 - 65536 / (desk.right - desk.left) - 1);
  EXPECT_GT(last->y, 65535 - 65536 / (desk.bottom - desk.top) - 1);
}

TEST_P(EveryLayout, APixelJustOffTheVirtualScreenIsRefused) {
  const Rect desk = VirtualScreenOf(GetParam());
  const int midX = desk.left + (desk.right - desk.left) / 2;
  const int midY = desk.top + (desk.bottom - desk.top) / 2;
  for (const Point off : {Point{desk.left - 1, midY}, Point{desk.right, midY},
                          Point{midX, desk.top - 1}, Point{midX, desk.bottom}}) {
    EXPECT_FALSE(ToAbsolute(desk, off)) << off.x << "," << off.y;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, EveryLayout,
    ::testing::Values(Layout{"FullHd", {{0, 0, 1920, 1080}}},
                      Layout{"Laptop1366x768", {{0, 0, 1366, 768}}},
                      Layout{"Uhd3840x2160", {{0, 0, 3840, 2160}}},
                      Layout{"SecondLeftAtNegativeX", {{0, 0, 1920, 1080}, {-1920, 0, 0, 1080}}},
                      Layout{"SecondAboveAtNegativeY", {{0, 0, 1920, 1080}, {0, -1080, 1920, 0}}},
                      Layout{"GapBetweenMonitors", {{0, 0, 1920, 1080}, {2000, 100, 3280, 1124}}},
                      Layout{"UhdWithLaptopLeftAndLower",
                             {{0, 0, 3840, 2160}, {-1366, 500, 0, 1268}}},
                      Layout{"OddSizesAboveLeft", {{0, 0, 1366, 768}, {-1023, -601, 0, 0}}},
                      Layout{"ThreeUhdSideBySide",
                             {{0, 0, 3840, 2160}, {-3840, 0, 0, 2160}, {3840, -300, 7680, 1860}}},
                      Layout{"OnePixel", {{0, 0, 1, 1}}}),
    [](const ::testing::TestParamInfo<Layout>& layout) { return layout.param.name; });

TEST(AbsoluteCoordinates, AVirtualScreenWiderThanTheStepsRefusesWhatItCannotHit) {
  // 70000 pixels across have fewer steps than pixels: some pixels cannot be hit exactly,
  // and a click there must not land beside them.
  const Rect desk{0, 0, 70000, 1080};
  int refused = 0;
  for (int x = 0; x < desk.right; ++x) {
    const auto absolute = ToAbsolute(desk, {x, 0});
    if (!absolute) {
      ++refused;
      continue;
    }
    ASSERT_EQ(FromAbsolute(desk, *absolute), (Point{x, 0}));
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace pelloram

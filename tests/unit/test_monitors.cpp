// The monitors: what of a window shows, which scale a window is drawn at, and lengths
// carried from one scale to another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/monitors.h"
#include "services/scale.h"

namespace pelloram {
namespace {

struct Layout {
  const char* name;
  std::vector<Monitor> monitors;
  Rect area;
  Rect shown;
};

class OnScreen : public ::testing::TestWithParam<Layout> {};

TEST_P(OnScreen, IsThePartOfTheAreaOnTheMonitors) {
  EXPECT_EQ(OnScreenPart(GetParam().monitors, GetParam().area), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, OnScreen,
    ::testing::Values(
        Layout{"Inside", {{0, 0, 1280, 800}}, {100, 100, 300, 300}, {100, 100, 300, 300}},
        Layout{"PastTheLowerEdge", {{0, 0, 1280, 800}}, {100, 700, 300, 900}, {100, 700, 300, 800}},
        Layout{"Off", {{0, 0, 1280, 800}}, {100, 900, 300, 1000}, {}},
        Layout{"LeftMonitorAtNegativeX",
               {{-1920, 0, 0, 1080}, {0, 0, 1280, 800}},
               {-200, 700, 200, 900},
               {-200, 700, 200, 900}},
        Layout{"AcrossAGap",
               {{0, 0, 1000, 800}, {1200, 0, 2200, 800}},
               {900, 10, 1300, 50},
               {900, 10, 1300, 50}},
        Layout{"NoMonitorsKnown", {}, {5, 5, 9, 9}, {5, 5, 9, 9}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Monitors, APointOnlyInTheGapBetweenMonitorsIsOffScreen) {
  const std::vector<Monitor> monitors{{0, 0, 1000, 800}, {1200, 0, 2200, 800}};
  EXPECT_FALSE(OnAnyMonitor(monitors, Point{1100, 400}));
  EXPECT_TRUE(OnAnyMonitor(monitors, Point{1200, 0}));
  EXPECT_FALSE(OnAnyMonitor(monitors, Point{2200, 0}));
}

// Two monitors side by side: a 100 % one at the left of the primary, a 150 % primary.
const std::vector<Monitor> kMixed{{Rect{-1920, 0, 0, 1080}, 96}, {Rect{0, 0, 2880, 1800}, 144}};

struct DpiCase {
  const char* name;
  Rect window;
  int dpi;
};

class WindowScale : public ::testing::TestWithParam<DpiCase> {};

TEST_P(WindowScale, IsTheScaleOfTheMonitorHoldingMostOfIt) {
  EXPECT_EQ(DpiOf(kMixed, GetParam().window), GetParam().dpi);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, WindowScale,
    ::testing::Values(DpiCase{"OnTheLeftMonitor", {-1500, 100, -600, 700}, 96},
                      DpiCase{"OnThePrimary", {100, 100, 1000, 700}, 144},
                      DpiCase{"MostlyLeft", {-800, 100, 100, 700}, 96},
                      DpiCase{"MostlyPrimary", {-100, 100, 800, 700}, 144},
                      DpiCase{"BelowTheLeftMonitorOnly", {-1500, 1200, -600, 1500}, 96},
                      DpiCase{"FarRightOfEverything", {5000, 0, 5100, 100}, 144},
                      DpiCase{"AnEmptyRectangleOnTheLeft", {-10, 10, -10, 10}, 96}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Monitors, NoMonitorsKnownMeansOneHundredPercent) {
  EXPECT_EQ(DpiOf({}, Rect{0, 0, 100, 100}), kBaseDpi);
  EXPECT_EQ(DpiOf({Monitor{Rect{0, 0, 100, 100}, 0}}, Rect{0, 0, 10, 10}), kBaseDpi);
}

TEST(Scaling, RoundsToTheNearestPixelAndBackAgain) {
  EXPECT_EQ(Scaled(340, 120), 425);
  EXPECT_EQ(Scaled(525, 144), 788);  // 787.5: halves away from zero
  EXPECT_EQ(Scaled(-525, 144), -788);
  EXPECT_EQ(Scaled(Point{30, 50}, 120), (Point{38, 63}));
  EXPECT_EQ(Scaled(48, 96, 144), 32);
  for (int length = -200; length <= 200; ++length) {
    EXPECT_EQ(Scaled(Scaled(length, 144), 96, 144), length) << length;
    EXPECT_EQ(Scaled(Scaled(length, 120), 96, 120), length) << length;
  }
}

TEST(Scaling, NeighbouringRectanglesStayNeighbours) {
  // A row of controls 13 px wide, each starting where the last ends: at 125 % their
  // widths differ by a pixel here and there, but no gap or overlap opens between them.
  for (const int dpi : {96, 120, 144, 168, 192}) {
    for (int left = 0; left < 200; left += 13) {
      const Rect a = ScaledEdges(Rect{left, 5, left + 13, 20}, dpi);
      const Rect b = ScaledEdges(Rect{left + 13, 5, left + 26, 20}, dpi);
      EXPECT_EQ(a.right, b.left) << dpi << " " << left;
      EXPECT_EQ(a.top, b.top);
    }
  }
  EXPECT_EQ(ScaledEdges(Rect{1, 2, 3, 4}, kBaseDpi), (Rect{1, 2, 3, 4}));
}

}  // namespace
}  // namespace pelloram

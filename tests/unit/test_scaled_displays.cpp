// Displays at 125 % and 150 %, and monitors of different scale side by side: mode one places
// and clicks the classic client at its monitor's scale, menu offsets follow the scale, and a
// look taught on one monitor is found on another.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/scale.h"
#include "tests/fakes/taught_world.h"

namespace pelloram::testing {
namespace {

std::vector<Monitor> OneMonitorAt(int dpi) { return {Monitor{Rect{0, 0, 3840, 2400}, dpi}}; }

// The classic client on one monitor of the given scale, with a count and a delay typed in.
struct ModeOne : ToolHarness {
  PracticeWorld world;
  explicit ModeOne(std::vector<Monitor> layout) : world(desktop, client, {20, {}}) {
    desktop.monitors = std::move(layout);
    world.MoveClient(200, 120);
  }
  void Delete(const char* count) {
    ui.Type(Control::DeleteCount, count);
    ui.Type(Control::DeleteDelay, "100");
    ui.PressHotkey(vk::kF11);
  }
  std::string LastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

class ModeOneAtScale : public ::testing::TestWithParam<int> {};

TEST_P(ModeOneAtScale, PlacesTheClientAtItsScaledRectangleAndDeletesTheCount) {
  const int dpi = GetParam();
  ModeOne h(OneMonitorAt(dpi));
  h.Delete("3");
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, Scaled(910, dpi), Scaled(647, dpi)}));
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "0");
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

INSTANTIATE_TEST_SUITE_P(Scales, ModeOneAtScale, ::testing::Values(96, 120, 144, 192),
                         [](const auto& test) { return std::to_string(test.param) + "dpi"; });

TEST(ModeOneAcrossMonitors, AClientOnAOneHundredPercentMonitorIsPlacedAtThePrimarysScale) {
  ModeOne h(kSideBySide);
  h.world.MoveClient(kOnTheLeft.x, kOnTheLeft.y);
  h.Delete("2");
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, 1365, 971}));
  EXPECT_EQ(h.world.Count("deleted"), 2);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

// F10 writes the menu item beside the sticker at the menu's offset on that monitor.
TEST(MenuOffsets, FollowTheScaleOfTheMonitorThePointIsOn) {
  for (const Point place : {kOnTheLeft, kOnThePrimary}) {
    Taught h;
    h.desktop.monitors = kSideBySide;
    h.world.MoveClient(place.x, place.y);
    h.TeachDelete("1");
    const Point sticker = h.FieldPoint(Control::FirstStickerX, Control::FirstStickerY);
    const int dpi = place.x < 0 ? 96 : 144;
    EXPECT_EQ(h.FieldPoint(Control::DeleteItemX, Control::DeleteItemY),
              sticker + Scaled(Point{30, 50}, dpi))
        << dpi;
  }
}

TEST(MenuOffsets, ATypedSentStickerGivesTheAddItemAtItsMonitorsScale) {
  Taught h;
  h.desktop.monitors = kSideBySide;
  h.ui.Click(Control::AddModeTwoRadio);
  h.ui.Type(Control::SentStickerX, "799");
  h.ui.Type(Control::SentStickerY, "459");
  EXPECT_EQ(h.FieldPoint(Control::AddItemX, Control::AddItemY), (Point{844, 482}));
  // Typed again, on the 100 % monitor: x and then y, each following its own field.
  h.ui.Type(Control::SentStickerX, "-1000");
  h.ui.Type(Control::SentStickerY, "459");
  EXPECT_EQ(h.FieldPoint(Control::AddItemX, Control::AddItemY), (Point{-970, 474}));
}

TEST(TaughtOnOneMonitor, FollowsTheClientMovedToTheOtherMonitorBetweenDeletions) {
  practice::Options options{10, {}};
  options.moveAfter = {{"deleted", 1}, kOnThePrimary.x, kOnThePrimary.y};
  Taught h(options);
  h.desktop.monitors = kSideBySide;
  h.world.MoveClient(kOnTheLeft.x, kOnTheLeft.y);
  h.TeachDelete("3");
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(TypedPoints, AreClickedWhereTheySayOnAScaledMonitor) {
  Taught h;
  h.desktop.monitors = OneMonitorAt(144);
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.TypeDeletePoints();
  h.ui.Type(Control::DeleteCount, "1");
  h.ui.Type(Control::DeleteDelay, "100");
  h.F11();
  ASSERT_FALSE(h.desktop.ClickPoints().empty());
  EXPECT_EQ(h.desktop.ClickPoints().front(), (Point{340, 525}));
}

}  // namespace
}  // namespace pelloram::testing

// Points taught with F10 in mode two are found again by their look: the runs hit the same
// controls after the client's window moved or changed size, and click nothing where the look
// is not.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/taught_world.h"
#include "workflows/run_report.h"
#include "workflows/teaching.h"

namespace pelloram::testing {
namespace {

struct WindowChange {
  const char* name;
  Point place;
  Point size;                     // 0: as it was
  std::vector<Monitor> monitors;  // empty: the one large screen
  std::optional<Point> taughtAt;  // where the client is when the points are taught
};

class ClientChanged : public ::testing::TestWithParam<WindowChange> {
 protected:
  // The desktop and the client's place before the user teaches the points.
  static void Prepare(Taught& h, const WindowChange& change) {
    if (!change.monitors.empty()) h.desktop.monitors = change.monitors;
    if (change.taughtAt) h.world.MoveClient(change.taughtAt->x, change.taughtAt->y);
  }
  static void Apply(PracticeWorld& world, const WindowChange& change) {
    if (change.size.x > 0) world.ResizeClient(change.size.x, change.size.y);
    world.MoveClient(change.place.x, change.place.y);
  }
};

TEST_P(ClientChanged, DeletesExactlyTheCountAtTheTaughtControls) {
  Taught h;
  Prepare(h, GetParam());
  h.TeachDelete("3");
  Apply(h.world, GetParam());
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 3);
  EXPECT_EQ(h.world.model.Collection().front(), "sticker04.gif");
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
  // The fields show where the run clicked: the sticker button where it is now.
  EXPECT_EQ(h.FieldPoint(Control::StickerPanelX, Control::StickerPanelY),
            h.Centre(Kind::Button, Picture::SmilingFace));
}

TEST_P(ClientChanged, AddsEveryStickerOfTheFolder) {
  Taught h;
  Prepare(h, GetParam());
  h.TeachAdd();
  Apply(h.world, GetParam());
  h.F11();
  EXPECT_EQ(h.world.Count("added"), 3);
  EXPECT_EQ(h.LastMessage(), "添加完成：成功 3 个，已有 0 个，跳过 0 个");
}

INSTANTIATE_TEST_SUITE_P(
    FoundByLook, ClientChanged,
    ::testing::Values(
        WindowChange{"Moved", {300, 200}, {}}, WindowChange{"Larger", {120, 70}, {1100, 800}},
        WindowChange{"SmallerAndMoved", {10, 300}, {700, 560}},
        WindowChange{"AtTheScreensOrigin", {0, 0}, {910, 647}},
        // Dragged to a monitor of another scale: drawn larger or smaller.
        WindowChange{"FromOneHundredToOneHundredAndFiftyPercent",
                     kOnThePrimary,
                     {},
                     kSideBySide,
                     kOnTheLeft},
        WindowChange{"FromOneHundredAndFiftyToOneHundredPercent",
                     kOnTheLeft,
                     {},
                     kSideBySide,
                     kOnThePrimary},
        WindowChange{
            "MovedAtOneHundredAndFiftyPercent", {600, 400}, {}, kSideBySide, kOnThePrimary}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FoundByLook, FollowsAWindowMovedAndResizedBetweenDeletions) {
  practice::Options options{10, {}};
  options.moveAfter = {{"deleted", 1}, 260, 150};
  options.resizeAfter = {{"deleted", 2}, 1000, 720};
  Taught h(options);
  h.TeachDelete("4");
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 4);
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{260, 150, 1260, 870}));
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(FoundByLook, ACoveredControlStopsTheDeletionBeforeAnyClick) {
  Taught h;
  h.TeachDelete("3");
  h.Cover(h.Centre(Kind::Button, Picture::SmilingFace));
  h.F11();
  EXPECT_TRUE(h.desktop.Clicks().empty());
  EXPECT_EQ(h.world.Count("deleted"), 0);
  EXPECT_EQ(h.LastMessage(),
            "找不到“表情”按钮（和 F10 记下的样子不一样），已停止。"
            "请让微信窗口完整露出来，或用 F10 重新取坐标。");
  EXPECT_EQ(h.ui.Text(Control::DeleteCount), "3");
}

TEST(FoundByLook, ACoveredFileButtonSkipsEveryStickerAndSaysWhyOnce) {
  Taught h;
  h.TeachAdd();
  h.Cover(h.Centre(Kind::Button, Picture::Folder));
  h.F11();
  EXPECT_TRUE(h.desktop.Clicks().empty());
  EXPECT_EQ(h.LastMessage(),
            "添加完成：成功 0 个，已有 0 个，跳过 3 个（a.gif、b.gif、c.gif）\r\n"
            "跳过 a.gif、b.gif、c.gif：找不到“文件”按钮（和 F10 记下的样子不一样），"
            "请让微信窗口完整露出来，或用 F10 重新取坐标。");
}

TEST(FoundByLook, AScreenThatCannotBeReadStopsEitherRunWithNothingClicked) {
  for (const bool add : {false, true}) {
    SCOPED_TRACE(add ? "add" : "delete");
    Taught h;
    add ? h.TeachAdd() : h.TeachDelete("3");
    h.desktop.screenUnreadable = true;
    h.F11();
    EXPECT_TRUE(h.desktop.Clicks().empty());
    EXPECT_NE(h.LastMessage().find(StopMessage(StopReason::ScreenUnreadable)), std::string::npos)
        << h.LastMessage();
  }
}

TEST(FoundByLook, APageChangeDuringAnAddRunEmptiesThePointsAndNothingMoreIsClicked) {
  Taught h;
  h.TeachAdd();
  std::optional<std::size_t> clicksAtChange;
  h.desktop.onInput = [&](const InputRecord&) {
    if (h.world.Count("added") != 1 || clicksAtChange) return;
    clicksAtChange = 0;
    h.At(h.desktop.now + 10, [&] {
      clicksAtChange = h.desktop.Clicks().size();
      h.ui.SelectPage(0);
      h.ui.SelectPage(1);  // back on the add page, in mode one, its points emptied
    });
  };
  h.F11();
  ASSERT_TRUE(clicksAtChange);
  EXPECT_EQ(h.desktop.Clicks().size(), *clicksAtChange);
  EXPECT_NE(h.LastMessage().find(StopMessage(StopReason::PointCleared)), std::string::npos)
      << h.LastMessage();
}

// --- what F10 keeps, and what forgets it ---

TEST(Teaching, APlainPictureIsRefusedAndTheSameStepComesAgain) {
  Taught h;
  h.ui.Click(Control::DeleteModeTwoRadio);
  // A plain window of the client's own, such as an empty notice.
  h.desktop.AddWindow("Notice", "", Rect{500, 300, 700, 450});
  h.TeachAt({600, 375});
  EXPECT_EQ(h.ui.tips.back().text, kPlainPictureTip);
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "");
  const Point button = h.Centre(Kind::Button, Picture::SmilingFace);
  h.TeachAt(button);
  EXPECT_EQ(h.FieldPoint(Control::StickerPanelX, Control::StickerPanelY), button);
  EXPECT_EQ(h.ui.tips.back().text, "表情坐标获取成功！！继续F10将获取已收藏位置");
}

TEST(Teaching, APointTypedByHandIsClickedWhereItSaysEvenAfterAMove) {
  Taught h;
  h.TeachDelete("1");
  const Point taught = h.FieldPoint(Control::StickerPanelX, Control::StickerPanelY);
  h.ui.Type(Control::StickerPanelX, std::to_string(taught.x));  // the same number, by hand
  h.world.MoveClient(300, 200);
  h.F11();
  ASSERT_FALSE(h.desktop.Clicks().empty());
  EXPECT_EQ(h.desktop.Clicks().front().at, taught);
}

TEST(Teaching, TheRunsOwnWritesKeepTheLooksForTheNextRun) {
  Taught h;
  h.TeachDelete("2");
  h.world.MoveClient(300, 200);
  h.F11();
  ASSERT_EQ(h.world.Count("deleted"), 2);
  h.world.MoveClient(30, 40);
  h.world.ResizeClient(1000, 700);
  h.ui.Type(Control::DeleteCount, "2");
  h.F11();
  h.F11();  // the first press after a finish only resets the button
  EXPECT_EQ(h.world.Count("deleted"), 4);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(Teaching, F10OverAnOpenMenuTeachesItsItemAndLeavesTheCycleWhereItWas) {
  Taught h;
  h.TeachDelete("2");
  // The user opens the panel and right-clicks the first sticker by hand.
  h.world.UserClick(h.Centre(Kind::Button, Picture::SmilingFace), MouseButton::Left);
  h.world.UserClick(h.Centre(Kind::Tab, Picture::Heart), MouseButton::Left);
  h.world.UserClick(h.Centre(Kind::Cell, Picture::Sticker), MouseButton::Right);
  const std::optional<Box> item = h.MenuItem("删除");
  ASSERT_TRUE(item);
  const Point at = h.world.ScreenCentreOf(*item);
  h.TeachAt(at);
  EXPECT_EQ(h.FieldPoint(Control::DeleteItemX, Control::DeleteItemY), at);
  EXPECT_EQ(h.ui.tips.back().text, "“删除”菜单项已记下：运行时在弹出的菜单里找它。");
  EXPECT_EQ(h.tool.state.deleteCaptureStep, 1);
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX),
            std::to_string(h.Centre(Kind::Button, Picture::SmilingFace).x));
  // The menu closed by the user, the window moved: the item is found in the run's menus.
  h.world.UserClick(h.Centre(Kind::Button, Picture::SmilingFace), MouseButton::Left);
  h.world.MoveClient(260, 120);
  h.F11();
  EXPECT_EQ(h.world.Count("deleted"), 2);
  EXPECT_TRUE(h.ui.messages.empty()) << h.LastMessage();
}

TEST(Teaching, F10OverTheAddMenuTeachesTheAddItem) {
  Taught h;
  h.TeachAdd();
  h.world.UserClick(h.Centre(Kind::Message, Picture::Sticker), MouseButton::Right);
  const std::optional<Box> item = h.MenuItem("添加到表情");
  ASSERT_TRUE(item);
  h.TeachAt(h.world.ScreenCentreOf(*item));
  EXPECT_EQ(h.ui.tips.back().text, "“添加到表情”菜单项已记下：运行时在弹出的菜单里找它。");
  EXPECT_EQ(h.tool.state.addCaptureStep, 1);
}

}  // namespace
}  // namespace pelloram::testing

// The fake desktop's picture of the screen, the practice client drawn on it, moved and resized
// under the tool, and points taught with F10 the way a user teaches them.
#include <gtest/gtest.h>

#include <string>

#include "services/picture_match.h"
#include "tests/fakes/practice_world.h"
#include "tests/fakes/tool_harness.h"
#include "tests/support/synthetic_pictures.h"

namespace pelloram::testing {
namespace {

using Box = practice::Model::Box;
using BoxKind = practice::Model::Kind;
using Picture = practice::Model::Picture;

constexpr Rect kScreen{0, 0, 1280, 1024};
constexpr int kSide = 48;  // what F10 keeps around the pointer

struct Bgr {
  int b, g, r;
  friend bool operator==(const Bgr&, const Bgr&) = default;
};

Bgr PixelAt(const Image& picture, int x, int y) {
  const std::size_t at = picture.Offset(x, y);
  return {picture.bgra[at], picture.bgra[at + 1], picture.bgra[at + 2]};
}

TEST(FakeScreen, WindowsLieInStackingOrderClippedToTheAreaOnBlack) {
  FakeDesktop desktop;
  const WindowHandle low = desktop.AddWindow("A", "", Rect{10, 10, 60, 60});
  desktop.AddWindow("B", "", Rect{40, 40, 90, 90});
  Image picture;
  ASSERT_TRUE(desktop.CaptureScreen(Rect{20, 20, 100, 100}, picture));
  ASSERT_EQ(picture.width, 80);
  ASSERT_EQ(picture.height, 80);
  const Bgr lowColour = PixelAt(picture, 0, 0);  // screen (20, 20)
  const Bgr highColour = PixelAt(picture, 25, 25);
  EXPECT_NE(lowColour, highColour);                     // two plain windows differ
  EXPECT_EQ(PixelAt(picture, 39, 39), highColour);      // the overlap shows the higher one
  EXPECT_EQ(PixelAt(picture, 30, 5), lowColour);        // (50, 25): only the low one
  EXPECT_EQ(PixelAt(picture, 75, 5), (Bgr{0, 0, 0}));   // (95, 25): no window
  EXPECT_EQ(PixelAt(picture, 75, 75), (Bgr{0, 0, 0}));  // past both
  EXPECT_EQ(picture.Alpha(75, 75), 255);

  desktop.BringToTop(low);
  ASSERT_TRUE(desktop.CaptureScreen(Rect{20, 20, 100, 100}, picture));
  EXPECT_EQ(PixelAt(picture, 39, 39), lowColour);
  for (const auto hide : {+[](FakeDesktop::Window& w) { w.exists = false; },
                          +[](FakeDesktop::Window& w) { w.shown = false; },
                          +[](FakeDesktop::Window& w) { w.minimised = true; }}) {
    FakeDesktop::Window& w = desktop.WindowAt(low);
    const FakeDesktop::Window before = w;
    hide(w);
    ASSERT_TRUE(desktop.CaptureScreen(Rect{20, 20, 100, 100}, picture));
    EXPECT_EQ(PixelAt(picture, 39, 39), highColour);
    EXPECT_EQ(PixelAt(picture, 0, 0), (Bgr{0, 0, 0}));
    w = before;
  }
}

TEST(FakeScreen, AWindowPaintsItselfAtItsSizeAndAgainOnlyWhenItChanged) {
  FakeDesktop desktop;
  const WindowHandle handle = desktop.AddWindow("A", "", Rect{100, 50, 130, 70});
  Point sizes;
  desktop.WindowAt(handle).paint = [&sizes](Image& picture) {
    sizes = {picture.width, picture.height};
    // Each pixel tells where in the window it is.
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) pictures::Put(picture, x, y, {x, y, 7});
    }
  };
  Image picture;
  ASSERT_TRUE(desktop.CaptureScreen(Rect{90, 40, 140, 80}, picture));
  EXPECT_EQ(sizes, (Point{30, 20}));
  EXPECT_EQ(PixelAt(picture, 10, 10), (Bgr{7, 0, 0}));    // the window's (0, 0)
  EXPECT_EQ(PixelAt(picture, 39, 29), (Bgr{7, 19, 29}));  // its last pixel
  EXPECT_EQ(desktop.paints, 1);

  desktop.CaptureScreen(Rect{90, 40, 140, 80}, picture);
  desktop.WindowAt(handle).rect = Rect{0, 0, 30, 20};  // moved: the same picture elsewhere
  desktop.CaptureScreen(Rect{0, 0, 50, 50}, picture);
  EXPECT_EQ(PixelAt(picture, 29, 19), (Bgr{7, 19, 29}));
  EXPECT_EQ(desktop.paints, 1);
  ++desktop.WindowAt(handle).paintVersion;
  desktop.CaptureScreen(Rect{0, 0, 50, 50}, picture);
  EXPECT_EQ(desktop.paints, 2);
  desktop.WindowAt(handle).rect = Rect{0, 0, 40, 20};
  desktop.CaptureScreen(Rect{0, 0, 50, 50}, picture);
  EXPECT_EQ(desktop.paints, 3);
  EXPECT_EQ(sizes, (Point{40, 20}));
  EXPECT_EQ(desktop.captures, 5);
}

TEST(FakeScreen, AnUnreadableScreenOrAnEmptyAreaGivesNoPicture) {
  FakeDesktop desktop;
  desktop.AddWindow("A", "", Rect{0, 0, 50, 50});
  Image picture = pictures::Blank(3, 2, {1, 2, 3});
  const Image before = picture;
  desktop.screenUnreadable = true;
  EXPECT_FALSE(desktop.CaptureScreen(Rect{0, 0, 10, 10}, picture));
  desktop.screenUnreadable = false;
  EXPECT_FALSE(desktop.CaptureScreen(Rect{10, 10, 10, 20}, picture));
  EXPECT_EQ(picture.bgra, before.bgra);
  EXPECT_EQ(desktop.captures, 0);
}

// A screen that lags the windows: right after a move or a resize it still shows the window
// at its old place with its old picture, while the window's rectangle and the window under
// a point already tell the new place; once the lag has passed, it shows the new place.
TEST(FakeScreen, AScreenThatLagsShowsAMovedWindowAtItsOldPlaceForAWhile) {
  FakeDesktop desktop;
  desktop.screenLagMs = 100;
  const WindowHandle moving = desktop.AddWindow("A", "", Rect{0, 0, 20, 20});
  Image picture;
  ASSERT_TRUE(desktop.CaptureScreen(Rect{0, 0, 100, 100}, picture));
  const Bgr colour = PixelAt(picture, 10, 10);
  const auto shows = [&](Point at) {
    EXPECT_TRUE(desktop.CaptureScreen(Rect{0, 0, 100, 100}, picture));
    return PixelAt(picture, at.x, at.y) == colour;
  };
  const Point oldPlace{10, 10}, newPlace{60, 60};

  ASSERT_TRUE(desktop.MoveWindowTo(moving, 50, 50, 20, 20));
  Rect rect;
  ASSERT_TRUE(desktop.ReadWindowRect(moving, rect));
  EXPECT_EQ(rect, (Rect{50, 50, 70, 70}));
  EXPECT_EQ(desktop.TopLevelWindowAt(newPlace), moving);
  EXPECT_TRUE(shows(oldPlace));
  EXPECT_FALSE(shows(newPlace));
  desktop.now += 99;
  EXPECT_TRUE(shows(oldPlace));
  desktop.now += 1;
  EXPECT_FALSE(shows(oldPlace));
  EXPECT_TRUE(shows(newPlace));

  // The lag runs from the move, not from the next picture: a move made by a user action
  // long before the picture shows at once.
  desktop.At(desktop.now + 10, [&] { desktop.WindowAt(moving).rect = Rect{0, 0, 20, 20}; });
  desktop.now += 10;
  desktop.DispatchNext();
  desktop.now += 200;
  EXPECT_TRUE(shows(oldPlace));
  EXPECT_FALSE(shows(newPlace));

  // Moved again before the screen caught up: still its first old place, until the lag has
  // passed since the last move; a resize shows the old size and picture the same way.
  desktop.MoveWindowTo(moving, 50, 50, 20, 20);
  desktop.now += 60;
  desktop.MoveWindowTo(moving, 50, 50, 30, 30);
  desktop.now += 60;
  EXPECT_TRUE(shows(oldPlace));
  EXPECT_FALSE(shows(Point{75, 75}));
  desktop.now += 40;
  EXPECT_FALSE(shows(oldPlace));
  EXPECT_TRUE(shows(Point{75, 75}));

  // A window that was not on the screen shows where it is as soon as it appears.
  const WindowHandle popup = desktop.AddWindow("P", "", Rect{0, 0, 10, 10});
  desktop.WindowAt(popup).exists = false;
  ASSERT_TRUE(desktop.CaptureScreen(Rect{0, 0, 100, 100}, picture));
  desktop.WindowAt(popup).rect = Rect{30, 30, 40, 40};
  desktop.WindowAt(popup).exists = true;
  ASSERT_TRUE(desktop.CaptureScreen(Rect{0, 0, 100, 100}, picture));
  EXPECT_NE(PixelAt(picture, 35, 35), (Bgr{0, 0, 0}));
  EXPECT_EQ(PixelAt(picture, 5, 5), (Bgr{0, 0, 0}));

  // Without a lag the screen shows every move at once.
  desktop.screenLagMs = 0;
  desktop.MoveWindowTo(moving, 0, 0, 20, 20);
  EXPECT_TRUE(shows(oldPlace));
}

// --- the practice client on the screen ---

// The controls a run clicks, taught or derived.
enum class Spot {
  StickerButton,
  CollectedTab,
  FirstSticker,
  DeleteItem,
  FileButton,
  SentSticker,
  AddItem
};

const char* NameOf(Spot spot) {
  constexpr const char* kNames[] = {"StickerButton", "CollectedTab", "FirstSticker", "DeleteItem",
                                    "FileButton",    "SentSticker",  "AddItem"};
  return kNames[static_cast<int>(spot)];
}

// The practice client at the screen's origin at its own size, with ten stickers and one sent.
struct Screen : ToolHarness {
  PracticeWorld world{desktop, client, Options()};
  static practice::Options Options() {
    practice::Options options{10, {}};
    return options;
  }
  Screen() {
    world.MoveClient(0, 0);
    world.UserSends("C:\\s\\sent.gif");
  }
  Box Find(BoxKind kind, Picture picture = Picture::None) {
    const std::optional<Box> box = world.FindBox(kind, picture);
    EXPECT_TRUE(box.has_value()) << static_cast<int>(kind);
    return box.value_or(Box{});
  }
  void Click(const Box& box, MouseButton button = MouseButton::Left) {
    world.UserClick(world.ScreenCentreOf(box), button);
  }
  void CloseAll() {
    world.model.KeyDown(vk::kEscape);
    world.model.KeyDown(vk::kEscape);
    world.Repaint();
  }
  // Brings up what the control needs, as the run meets it, and says where its centre is.
  Point Show(Spot control) {
    CloseAll();
    if (control == Spot::StickerButton)
      return world.ScreenCentreOf(Find(BoxKind::Button, Picture::SmilingFace));
    if (control == Spot::FileButton)
      return world.ScreenCentreOf(Find(BoxKind::Button, Picture::Folder));
    const Box message = Find(BoxKind::Message, Picture::Sticker);
    if (control == Spot::SentSticker) return world.ScreenCentreOf(message);
    if (control == Spot::AddItem) {
      Click(message, MouseButton::Right);
      return world.ScreenCentreOf(Find(BoxKind::MenuItem));
    }
    Click(Find(BoxKind::Button, Picture::SmilingFace));
    const Box tab = Find(BoxKind::Tab, Picture::Heart);
    if (control == Spot::CollectedTab) return world.ScreenCentreOf(tab);
    Click(tab);
    const Box first = Find(BoxKind::Cell, Picture::Sticker);
    if (control == Spot::FirstSticker) return world.ScreenCentreOf(first);
    Click(first, MouseButton::Right);
    return world.ScreenCentreOf(Find(BoxKind::MenuItem));
  }
  Image Capture() {
    Image picture;
    EXPECT_TRUE(desktop.CaptureScreen(kScreen, picture));
    return picture;
  }
  Image Around(Point centre) {
    return pictures::Crop(Capture(), centre.x - kSide / 2, centre.y - kSide / 2, kSide, kSide);
  }
};

class EachControl : public ::testing::TestWithParam<Spot> {};

TEST_P(EachControl, IsDistinctiveAndFoundAgainAfterTheClientMovedOrResized) {
  Screen s;
  const Image taught = s.Around(s.Show(GetParam()));
  EXPECT_TRUE(IsDistinctive(taught));
  struct Change {
    const char* what;
    Point place, size;
  };
  for (const Change& change :
       {Change{"moved", {300, 200}, {910, 647}}, Change{"larger", {0, 0}, {1180, 900}},
        Change{"moved and smaller", {420, 260}, {700, 560}}}) {
    s.world.ResizeClient(change.size.x, change.size.y);
    s.world.MoveClient(change.place.x, change.place.y);
    const Point centre = s.Show(GetParam());
    // As a run looks: over the client's window only.
    const Rect client = s.desktop.WindowAt(s.client).rect;
    Image screen;
    ASSERT_TRUE(s.desktop.CaptureScreen(client, screen));
    const Match match = FindPicture(screen, taught);
    EXPECT_TRUE(match.found) << change.what << ": score " << match.score << ", next "
                             << match.nextBest;
    EXPECT_EQ(match.at,
              (Point{centre.x - kSide / 2 - client.left, centre.y - kSide / 2 - client.top}))
        << change.what;
  }
}

INSTANTIATE_TEST_SUITE_P(PracticeScreen, EachControl,
                         ::testing::Values(Spot::StickerButton, Spot::CollectedTab,
                                           Spot::FirstSticker, Spot::DeleteItem, Spot::FileButton,
                                           Spot::SentSticker, Spot::AddItem),
                         [](const auto& param) { return std::string(NameOf(param.param)); });

TEST(PracticeScreen, AControlOfAnotherLookOrAnotherStickerIsNotFound) {
  Screen own;
  const Image button = own.Around(own.Show(Spot::StickerButton));
  const Image first = own.Around(own.Show(Spot::FirstSticker));
  ASSERT_TRUE(FindPicture(own.Capture(), first).found);

  // The first sticker deleted: the first cell shows the next one, which looks otherwise.
  own.Click(own.Find(BoxKind::Cell, Picture::Sticker), MouseButton::Right);
  own.Click(own.Find(BoxKind::MenuItem));
  ASSERT_EQ(own.world.model.Collection().front(), "sticker02.gif");
  EXPECT_FALSE(FindPicture(own.Capture(), first).found);

  ToolHarness h;
  practice::Options options{10, {}};
  options.looks["sticker_button"] = "other";
  PracticeWorld other{h.desktop, h.client, options};
  other.MoveClient(0, 0);
  Image screen;
  ASSERT_TRUE(h.desktop.CaptureScreen(kScreen, screen));
  EXPECT_FALSE(FindPicture(screen, button).found);
}

TEST(PracticeScreen, TheMenuIsAWindowOfItsOwnOverTheClient) {
  Screen s;
  const Point item = s.Show(Spot::DeleteItem);
  const std::optional<Box> under = s.world.BoxAt(item);
  ASSERT_TRUE(under.has_value());
  EXPECT_EQ(under->kind, BoxKind::MenuItem);
  EXPECT_EQ(under->label, "删除");
  EXPECT_EQ(s.desktop.TopLevelWindowAt(item), s.world.menuWindow);
  // The client moves: the menu stays where it opened, and is still what lies there.
  s.world.MoveClient(200, 100);
  EXPECT_EQ(s.world.BoxAt(item)->kind, BoxKind::MenuItem);
  EXPECT_FALSE(s.world.BoxAt({1270, 1000}).has_value());  // the desktop's own window
  const Image screen = s.Capture();
  EXPECT_EQ(PixelAt(screen, 1270, 1000), PixelAt(screen, 1200, 1000));
}

// --- the client moved and resized ---

TEST(PracticeWorld, ClicksFollowTheWindowWhereverItIsAndWhateverItsSize) {
  Screen s;
  s.world.MoveClient(250, 140);
  const Box button = s.Find(BoxKind::Button, Picture::SmilingFace);
  s.desktop.Click(s.world.ScreenCentreOf(button), MouseButton::Left);
  EXPECT_TRUE(s.world.model.PanelOpen());
  s.world.ResizeClient(1000, 700);
  EXPECT_EQ(s.desktop.WindowAt(s.client).rect, (Rect{250, 140, 1250, 840}));
  s.desktop.Click(s.world.ScreenCentreOf(s.Find(BoxKind::Tab, Picture::Heart)), MouseButton::Left);
  EXPECT_TRUE(s.world.model.CollectedTabShown());
  // The client takes no size below its least; the window keeps the size it took.
  s.world.ResizeClient(100, 100);
  EXPECT_EQ(s.desktop.WindowAt(s.client).rect,
            (Rect{250, 140, 250 + practice::kMinWidth, 140 + practice::kMinHeight}));
}

TEST(PracticeWorld, TheClientsOwnMoveAndResizeComeAfterTheEventTheyWaitFor) {
  ToolHarness h;
  practice::Options options{10, {}};
  options.moveAfter = {{"deleted", 2}, 330, 210};
  options.resizeAfter = {{"deleted", 3}, 1000, 720};
  PracticeWorld world{h.desktop, h.client, options};
  world.MoveClient(0, 0);
  const auto deleteFirst = [&] {
    world.UserClick(world.ScreenCentreOf(*world.FindBox(BoxKind::Cell, Picture::Sticker)),
                    MouseButton::Right);
    h.desktop.Click(world.ScreenCentreOf(*world.FindBox(BoxKind::MenuItem, Picture::None)),
                    MouseButton::Left);
  };
  world.UserClick(world.ScreenCentreOf(*world.FindBox(BoxKind::Button, Picture::SmilingFace)),
                  MouseButton::Left);
  world.UserClick(world.ScreenCentreOf(*world.FindBox(BoxKind::Tab, Picture::Heart)),
                  MouseButton::Left);
  deleteFirst();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{0, 0, 910, 647}));
  deleteFirst();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{330, 210, 1240, 857}));
  EXPECT_EQ(world.Count("moved"), 1);
  deleteFirst();
  EXPECT_EQ(h.desktop.WindowAt(h.client).rect, (Rect{330, 210, 1330, 930}));
  EXPECT_EQ(world.Count("deleted"), 3);
}

// --- teaching with F10 ---

TEST(Teaching, DeletePointsAreTheCentresOfTheControlsWhereverTheClientIs) {
  ToolHarness h;
  PracticeWorld world{h.desktop, h.client, practice::Options{5, {}}};
  world.MoveClient(150, 90);
  h.TeachDeletePoints(world);
  EXPECT_FALSE(world.model.PanelOpen());
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "490");  // (340, 525) of the window
  EXPECT_EQ(h.ui.Text(Control::StickerPanelY), "615");
  EXPECT_EQ(h.ui.Text(Control::CollectedTabX), "370");
  EXPECT_EQ(h.ui.Text(Control::CollectedTabY), "550");
  EXPECT_EQ(h.ui.Text(Control::FirstStickerX), "325");
  EXPECT_EQ(h.ui.Text(Control::FirstStickerY), "300");
  EXPECT_EQ(h.ui.Text(Control::DeleteItemX), "355");  // derived from the first sticker
  EXPECT_EQ(h.tool.state.deleteCaptureStep, 1);
  EXPECT_EQ(h.desktop.Clicks().size(), 0u);  // the user's clicks are not the tool's

  // Taught where the client is, the run deletes as asked.
  h.ui.Type(Control::DeleteCount, "2");
  h.ui.Type(Control::DeleteDelay, "100");
  h.ui.PressHotkey(vk::kF11);
  EXPECT_EQ(world.Count("deleted"), 2);
}

TEST(Teaching, ACycleLeftHalfWayIsBroughtRound) {
  ToolHarness h;
  PracticeWorld world{h.desktop, h.client, practice::Options{0, {}}};
  world.MoveClient(0, 0);
  h.ui.Click(Control::DeleteModeTwoRadio);
  h.TeachAt({1, 1});  // one step taken already
  h.TeachDeletePoints(world);
  EXPECT_EQ(h.ui.Text(Control::StickerPanelX), "340");
  EXPECT_EQ(h.ui.Text(Control::CollectedTabX), "220");
  // No sticker to point at: the first cell's place.
  EXPECT_EQ(h.ui.Text(Control::FirstStickerX), "175");
  EXPECT_EQ(h.ui.Text(Control::FirstStickerY), "210");
}

TEST(Teaching, AddPointsSendAStickerFirstWhenTheChatHasNone) {
  ToolHarness h;
  PracticeWorld world{h.desktop, h.client, practice::Options{0, {"old.gif"}}};
  world.MoveClient(40, 30);
  h.TeachAddPoints(world);
  EXPECT_EQ(world.model.SentMessages(), (std::vector<std::string>{"taught.gif"}));
  EXPECT_FALSE(world.model.OpenDialogShowing());
  EXPECT_FALSE(h.desktop.WindowExists(world.openDialog));
  EXPECT_EQ(h.ui.Text(Control::FileButtonX), "414");  // (374, 526) of the window
  EXPECT_EQ(h.ui.Text(Control::FileButtonY), "556");
  EXPECT_EQ(h.ui.Text(Control::SentStickerX), "840");  // the newest message's centre
  EXPECT_EQ(h.ui.Text(Control::SentStickerY), "490");
  EXPECT_EQ(h.tool.state.addCaptureStep, 1);
  world.UserSends("C:\\s\\second.gif");
  h.TeachAddPoints(world);
  EXPECT_EQ(world.model.SentMessages().size(), 2u);  // none sent for teaching again
}

}  // namespace
}  // namespace pelloram::testing

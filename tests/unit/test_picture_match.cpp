// Finding a taught control on a picture of the screen, on pictures drawn by
// tests/support/synthetic_pictures.h.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "services/picture_match.h"
#include "tests/support/exhaustive_search.h"
#include "tests/support/synthetic_pictures.h"

namespace pelloram {
namespace {

using namespace testing::pictures;
using testing::FindPictureExhaustive;

constexpr int kWidth = 640, kHeight = 400;

// Readable names for parameterised cases: every case type has a `name`.
constexpr auto NameOf = [](const auto& param) { return std::string(param.param.name); };

// --- Found where it is --------------------------------------------------------------------

struct Place {
  const char* name;
  Point at;
};

class FoundAt : public ::testing::TestWithParam<Place> {};

TEST_P(FoundAt, ExactlyWhereTheButtonWasMovedTo) {
  const Point at = GetParam().at;
  const Match match = FindPicture(ScreenWithButton(kWidth, kHeight, at), Button());
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_EQ(match.at, at);
}

TEST_P(FoundAt, SameAnswerAsScoringEveryPosition) {
  const Image screen = Noisy(ScreenWithButton(kWidth, kHeight, GetParam().at), 12.0, 3);
  const Match quick = FindPicture(screen, Button());
  const Match thorough = FindPictureExhaustive(screen, Button());
  EXPECT_TRUE(thorough.found);
  EXPECT_EQ(quick.found, thorough.found);
  EXPECT_EQ(quick.at, thorough.at);
}

INSTANTIATE_TEST_SUITE_P(PictureMatch, FoundAt,
                         ::testing::Values(Place{"Middle", {301, 187}},
                                           Place{"TopLeftCorner", {0, 0}},
                                           Place{"BottomRightCorner", {kWidth - 48, kHeight - 48}},
                                           Place{"RightEdgeOddOffset", {kWidth - 48, 133}},
                                           Place{"BottomEdge", {57, kHeight - 48}}),
                         NameOf);

// A picture resized for another scale, or a menu item's cut at the menu's edge, has sides
// that are no multiple of the cells a covered part is left out by: it must score as any other.
class OddSide : public ::testing::TestWithParam<int> {};

TEST_P(OddSide, IsFoundWhereItLiesAndOnlyThere) {
  const Point at{211, 143};
  const Image screen = ScreenWithButton(kWidth, kHeight, at);
  const int side = GetParam();
  const Image taught = Crop(screen, at.x + 4, at.y + 3, side, side - 1);
  for (const Match& match : {FindPicture(screen, taught), FindPictureExhaustive(screen, taught)}) {
    EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
    EXPECT_EQ(match.at, (Point{at.x + 4, at.y + 3}));
    EXPECT_LT(match.nextBest, 0.9);
  }
}

INSTANTIATE_TEST_SUITE_P(PictureMatch, OddSide, ::testing::Range(17, 43, 3),
                         [](const auto& test) { return std::to_string(test.param) + "px"; });

// --- Found when the screen looks different -------------------------------------------------

struct Change {
  const char* name;
  double gain;
  int offset;
};

class FoundWhenRelit : public ::testing::TestWithParam<Change> {};

TEST_P(FoundWhenRelit, AtTheSamePlace) {
  const Point at{211, 95};
  const Image screen =
      Relit(ScreenWithButton(kWidth, kHeight, at), GetParam().gain, GetParam().offset);
  const Match match = FindPicture(screen, Button());
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_EQ(match.at, at);
}

INSTANTIATE_TEST_SUITE_P(PictureMatch, FoundWhenRelit,
                         ::testing::Values(Change{"Darker", 0.75, -20}, Change{"Lighter", 0.8, 45},
                                           Change{"LessContrast", 0.5, 60}),
                         NameOf);

TEST(PictureMatch, FoundInANoisyScreen) {
  const Point at{402, 250};
  const Match match = FindPicture(Noisy(ScreenWithButton(kWidth, kHeight, at), 15.0, 11), Button());
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_LE(std::abs(match.at.x - at.x), 1);
  EXPECT_LE(std::abs(match.at.y - at.y), 1);
}

struct Cover {
  const char* name;
  int x, y, w, h;
  Rgb colour;
};

class FoundWhenPartlyCovered : public ::testing::TestWithParam<Cover> {};

// A tooltip, the pointer or a neighbouring window over a fifth of the control.
TEST_P(FoundWhenPartlyCovered, AtTheSamePlace) {
  const Point at{150, 220};
  Image screen = ScreenWithButton(kWidth, kHeight, at);
  const Cover& cover = GetParam();
  FillRect(screen, at.x + cover.x, at.y + cover.y, cover.w, cover.h, cover.colour);
  const Match match = FindPicture(screen, Button());
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_EQ(match.at, at);
}

INSTANTIATE_TEST_SUITE_P(
    PictureMatch, FoundWhenPartlyCovered,
    ::testing::Values(Cover{"PaleTipOverTheBottom", 0, 38, 48, 10, {255, 255, 225}},
                      Cover{"DarkCornerSquare", 27, 27, 21, 21, {20, 20, 20}},
                      Cover{"GreyStripOnTheLeft", 0, 0, 10, 48, {128, 128, 128}}),
    NameOf);

// --- Refused -------------------------------------------------------------------------------

TEST(PictureMatch, NotFoundWhereTheControlIsAbsent) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    const Match match = FindPicture(Desktop(kWidth, kHeight, seed), Button());
    EXPECT_FALSE(match.found) << "seed " << seed << ", score " << match.score;
  }
}

TEST(PictureMatch, NotFoundInAPatternWhereItOccursManyTimes) {
  const Image checkers = Checkerboard(kWidth, kHeight, 8);
  const Match onCheckers = FindPicture(checkers, Crop(checkers, 100, 100, 48, 48));
  EXPECT_FALSE(onCheckers.found);
  EXPECT_GT(onCheckers.score, 0.95) << "it is there, only not in one place";

  const Image stickers = Tiled(kWidth, kHeight, 32);
  const Match onStickers = FindPicture(stickers, Crop(stickers, 64, 96, 48, 48));
  EXPECT_FALSE(onStickers.found);
  EXPECT_GT(onStickers.nextBest, 0.95);
}

TEST(PictureMatch, NotFoundWhenTaughtOnAPlainArea) {
  const Image screen = ScreenWithButton(kWidth, kHeight, {300, 200});
  EXPECT_FALSE(FindPicture(screen, Blank(48, 48, {236, 236, 236})).found);
  EXPECT_FALSE(FindPictureExhaustive(screen, Blank(48, 48, {236, 236, 236})).found);
}

// Two identical controls: ambiguous on their own, but the one at the taught place is the
// one the user meant.
TEST(PictureMatch, TheTaughtPlaceSettlesBetweenTwoAlikeControls) {
  Image screen = ScreenWithButton(kWidth, kHeight, {80, 60});
  Paste(screen, Button(), 500, 300);
  EXPECT_FALSE(FindPicture(screen, Button()).found);

  SearchHint nearSecond;
  nearSecond.expectedAt = Point{490, 310};
  const Match match = FindPicture(screen, Button(), nearSecond);
  EXPECT_TRUE(match.found);
  EXPECT_EQ(match.at, (Point{500, 300}));
}

TEST(PictureMatch, FoundFarFromTheTaughtPlaceWhenItMoved) {
  const Point at{520, 40};
  SearchHint hint;
  hint.expectedAt = Point{30, 330};
  const Match match = FindPicture(ScreenWithButton(kWidth, kHeight, at), Button(), hint);
  EXPECT_TRUE(match.found);
  EXPECT_EQ(match.at, at);
}

// --- Odd inputs ----------------------------------------------------------------------------

TEST(PictureMatch, OddSizesAreNotFoundAndDoNotCrash) {
  const Image screen = ScreenWithButton(kWidth, kHeight, {10, 10});
  const Image empty;
  Image truncated = Button();
  truncated.bgra.resize(100);
  SearchHint offScreen;
  offScreen.expectedAt = Point{-5000, 9000};

  using Pair = std::pair<const Image*, const Image*>;
  for (const auto& [screenPicture, taught] :
       {Pair{&screen, &empty}, Pair{&empty, &screen}, Pair{&empty, &empty},
        Pair{&screen, &truncated}, Pair{&truncated, &screen}}) {
    EXPECT_FALSE(FindPicture(*screenPicture, *taught).found);
    EXPECT_FALSE(FindPictureExhaustive(*screenPicture, *taught).found);
  }
  const Image small = Crop(screen, 0, 0, 40, 30);
  EXPECT_FALSE(FindPicture(small, Button()).found) << "taught picture larger than the screen";
  EXPECT_TRUE(FindPicture(screen, Button(), offScreen).found);
}

TEST(PictureMatch, ScreenNoBiggerThanThePicture) {
  const Image screen = ScreenWithButton(48, 48, {0, 0});
  const Match match = FindPicture(screen, Button());
  EXPECT_TRUE(match.found);
  EXPECT_EQ(match.at, (Point{0, 0}));

  const Image slightlyWider = ScreenWithButton(53, 48, {5, 0});
  EXPECT_EQ(FindPicture(slightlyWider, Button()).at, (Point{5, 0}));
}

TEST(PictureMatch, SmallTaughtPicturesAreSearchedAtFullResolution) {
  const Image glyph = Crop(Button(), 24, 8, 20, 20);
  Image screen = Desktop(kWidth, kHeight, 5);
  Paste(screen, glyph, 333, 77);
  const Match match = FindPicture(screen, glyph);
  EXPECT_TRUE(match.found);
  EXPECT_EQ(match.at, (Point{333, 77}));
}

// --- What may be taught --------------------------------------------------------------------

struct Taught {
  const char* name;
  Image picture;
};

class NotDistinctive : public ::testing::TestWithParam<Taught> {};

TEST_P(NotDistinctive, IsRefused) { EXPECT_FALSE(IsDistinctive(GetParam().picture)); }

Image Gradient() {
  Image image = Blank(48, 48, {0, 0, 0});
  for (int x = 0; x < 48; ++x) FillRect(image, x, 0, 1, 48, {40 + 4 * x, 60 + 3 * x, 90 + 2 * x});
  return image;
}

Image Stripes() {
  Image image = Blank(48, 48, {230, 230, 230});
  for (int y = 0; y < 48; y += 6) FillRect(image, 0, y, 48, 2, {90, 90, 90});
  return image;
}

INSTANTIATE_TEST_SUITE_P(
    PictureMatch, NotDistinctive,
    ::testing::Values(Taught{"OneColour", Blank(48, 48, {200, 30, 30})},
                      Taught{"NearlyPlain", Noisy(Blank(48, 48, {236, 236, 236}), 2.0, 9)},
                      Taught{"Checkerboard", Crop(Checkerboard(200, 200, 8), 13, 21, 48, 48)},
                      Taught{"FineCheckerboard", Crop(Checkerboard(200, 200, 1), 0, 0, 48, 48)},
                      Taught{"Stripes", Stripes()}, Taught{"Gradient", Gradient()},
                      Taught{"StickerGrid", Crop(Tiled(200, 200, 16), 5, 5, 48, 48)},
                      Taught{"Empty", Image{}}),
    NameOf);

class Distinctive : public ::testing::TestWithParam<Taught> {};

TEST_P(Distinctive, IsKept) {
  EXPECT_TRUE(IsDistinctive(GetParam().picture));
  // And what may be kept is found again where it was taken.
  Image screen = Desktop(kWidth, kHeight, 21);
  Paste(screen, GetParam().picture, 260, 140);
  const Match match = FindPicture(screen, GetParam().picture);
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_EQ(match.at, (Point{260, 140}));
}

INSTANTIATE_TEST_SUITE_P(PictureMatch, Distinctive,
                         ::testing::Values(Taught{"Button", Button()},
                                           Taught{
                                               "PieceOfTheDesktop",
                                               Crop(Desktop(kWidth, kHeight, 4), 200, 120, 48, 48)},
                                           Taught{"NoisyButton", Noisy(Button(), 4.0, 2)}),
                         NameOf);

// --- The part under the pointer --------------------------------------------------------

// The button's glyph (the part around (31, 21)) as a core, 24 a side.
constexpr Rect kGlyphCore{19, 9, 43, 33};

// The button with its glyph drawn otherwise: upside down, and blue.
Image ButtonWithOtherGlyph() {
  Image button = Button();
  const Image glyph = Crop(button, kGlyphCore.left, kGlyphCore.top, 24, 24);
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const std::size_t from = glyph.Offset(23 - x, 23 - y);
      const int grey = (glyph.bgra[from] + glyph.bgra[from + 1] + glyph.bgra[from + 2]) / 3;
      Put(button, kGlyphCore.left + x, kGlyphCore.top + y, {grey / 3, grey / 2, grey});
    }
  }
  return button;
}

// The button pressed: a darker face all round the glyph, the glyph itself as it was.
Image PressedButton() {
  Image button = Button();
  for (int y = 4; y < 44; ++y) {
    for (int x = 4; x < 44; ++x) {
      const std::size_t at = button.Offset(x, y);
      const bool inGlyph = x >= kGlyphCore.left && x < kGlyphCore.right && y >= kGlyphCore.top &&
                           y < kGlyphCore.bottom;
      if (!inGlyph && button.bgra[at] > 240) Put(button, x, y, {150, 170, 200});
    }
  }
  return button;
}

TEST(PictureCore, AnotherGlyphOnTheSameButtonIsNotTheTaughtControl) {
  Image screen = Desktop(kWidth, kHeight, 5);
  Paste(screen, ButtonWithOtherGlyph(), 300, 200);
  SearchHint hint;
  hint.core = kGlyphCore;
  const Match match = FindPicture(screen, Button(), hint);
  EXPECT_FALSE(match.found) << "score " << match.score;
  // Without the core, the face and the outline it shares pass for the control.
  EXPECT_GT(FindPicture(screen, Button()).score, match.score);
}

TEST(PictureCore, TheSameGlyphInAnotherStateIsFound) {
  Image screen = Desktop(kWidth, kHeight, 5);
  Paste(screen, PressedButton(), 300, 200);
  // As F10 keeps it: the glyph and a little of the face around it.
  const Image taught = Crop(Button(), 15, 5, 32, 32);
  SearchHint hint;
  hint.core = Rect{4, 4, 28, 28};
  hint.expectedAt = Point{100, 100};  // taught elsewhere: found by the search everywhere
  const Match match = FindPicture(Relit(screen, 0.8, 20), taught, hint);
  EXPECT_TRUE(match.found) << "score " << match.score << ", next " << match.nextBest;
  EXPECT_EQ(match.at, (Point{315, 205}));
}

}  // namespace
}  // namespace pelloram

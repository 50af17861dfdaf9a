// A picture drawn at another size keeps its colours and where its edges lie.
#include <gtest/gtest.h>

#include <cstdint>

#include "services/picture_resize.h"

namespace pelloram {
namespace {

Image Filled(int width, int height, std::uint8_t grey) {
  return Image{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4, grey)};
}

void Paint(Image& image, int x, int y, std::uint8_t grey) {
  for (int c = 0; c < 3; ++c) image.bgra[image.Offset(x, y) + c] = grey;
}

std::uint8_t GreyAt(const Image& image, int x, int y) { return image.bgra[image.Offset(x, y)]; }

TEST(Resized, APlainPictureStaysPlainAtAnySize) {
  const Image grey = Filled(32, 32, 90);
  for (const int side : {1, 21, 32, 40, 48, 64}) {
    const Image out = Resized(grey, side, side);
    ASSERT_EQ(out.width, side);
    ASSERT_TRUE(out.Valid());
    for (const std::uint8_t v : out.bgra) ASSERT_EQ(v, 90) << side;
  }
}

TEST(Resized, TwiceAsLargeDoublesEveryPixel) {
  Image small = Filled(2, 2, 0);
  Paint(small, 1, 0, 200);
  const Image big = Resized(small, 4, 4);
  EXPECT_EQ(GreyAt(big, 2, 0), 200);
  EXPECT_EQ(GreyAt(big, 3, 1), 200);
  EXPECT_EQ(GreyAt(big, 1, 1), 0);
  EXPECT_EQ(GreyAt(big, 2, 2), 0);
}

TEST(Resized, HalfAsLargeAveragesEachSquare) {
  Image big = Filled(4, 2, 0);
  Paint(big, 0, 0, 200);
  Paint(big, 1, 1, 200);
  const Image small = Resized(big, 2, 1);
  EXPECT_EQ(GreyAt(small, 0, 0), 100);
  EXPECT_EQ(GreyAt(small, 1, 0), 0);
}

TEST(Resized, AnEdgeAtOneAndAHalfTimesLiesWhereItDidTimesOneAndAHalf) {
  // White on the left half of a 32 px row, black on the right: at 48 px the edge lies at 24,
  // with no pixel of it blurred.
  Image row = Filled(32, 1, 0);
  for (int x = 0; x < 16; ++x) Paint(row, x, 0, 255);
  const Image wide = Resized(row, 48, 1);
  EXPECT_EQ(GreyAt(wide, 23, 0), 255);
  EXPECT_EQ(GreyAt(wide, 24, 0), 0);
  // An edge at an odd place falls inside a pixel, which takes its share of both sides.
  Image odd = Filled(4, 1, 0);
  Paint(odd, 0, 0, 255);
  const Image odd6 = Resized(odd, 6, 1);
  EXPECT_EQ(GreyAt(odd6, 0, 0), 255);
  EXPECT_EQ(GreyAt(odd6, 1, 0), 128);
  EXPECT_EQ(GreyAt(odd6, 2, 0), 0);
}

TEST(Resized, RefusesWhatItCannotDraw) {
  EXPECT_FALSE(Resized(Image{}, 10, 10).Valid());
  EXPECT_FALSE(Resized(Filled(4, 4, 1), 0, 10).Valid());
  EXPECT_FALSE(Resized(Filled(4, 4, 1), 10, 20000).Valid());
  Image shortOfBytes = Filled(4, 4, 1);
  shortOfBytes.bgra.resize(10);
  EXPECT_FALSE(Resized(shortOfBytes, 8, 8).Valid());
}

}  // namespace
}  // namespace pelloram

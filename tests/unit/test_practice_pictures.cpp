// The practice client's controls are found by their look: a user who teaches the sticker
// button, the collected tab or the file button with F10 must get a picture the tool keeps,
// and that picture must be found on that control and on no other, at every display scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "practice_client/control_pictures.h"
#include "practice_client/screen_scale.h"
#include "practice_client/sticker_look.h"
#include "services/picture_match.h"

namespace pelloram {
namespace {

using Picture = practice::Model::Picture;

constexpr int kSlot96 = 48;      // the toolbar's controls stand this far apart at 96 dpi
constexpr int kTaughtSide = 32;  // F10 keeps this many screen pixels, at any scale
constexpr int kBackground = 245;

int SlotAt(int dpi) { return practice::ScreenScale{dpi}.ToPhysical(kSlot96); }

// A grained toolbar, as the client draws it at `dpi`, with the given pictures in slots side
// by side.
Image Toolbar(const std::vector<Picture>& pictures, int dpi) {
  const int slotSide = SlotAt(dpi);
  Image bar;
  bar.width = slotSide * static_cast<int>(pictures.size()) + slotSide;
  bar.height = slotSide;
  bar.bgra.resize(static_cast<std::size_t>(bar.width) * bar.height * 4);
  for (int y = 0; y < bar.height; ++y) {
    for (int x = 0; x < bar.width; ++x) {
      const int grey = std::max(0, kBackground - practice::GrainAt(x, y));
      std::uint8_t* p = &bar.bgra[bar.Offset(x, y)];
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(grey);
      p[3] = 255;
    }
  }
  for (std::size_t slot = 0; slot < pictures.size(); ++slot) {
    const practice::LinePicture& lines = practice::PictureOf(pictures[slot], dpi);
    const int left =
        slotSide / 2 + static_cast<int>(slot) * slotSide + (slotSide - lines.width) / 2;
    const int top = (slotSide - lines.height) / 2;
    for (int y = 0; y < lines.height; ++y) {
      for (int x = 0; x < lines.width; ++x) {
        std::uint8_t* p = &bar.bgra[bar.Offset(left + x, top + y)];
        const unsigned ink = lines.At(x, y);
        for (int c = 0; c < 3; ++c) {
          const unsigned line = (practice::kLineColour >> (8 * c)) & 0xFF;
          p[c] = static_cast<std::uint8_t>((line * ink + p[c] * (255 - ink) + 127) / 255);
        }
      }
    }
  }
  return bar;
}

// What F10 keeps: the screen around the pointer at the middle of a slot.
Image TaughtAt(const Image& bar, int slot, int dpi) {
  const int slotSide = SlotAt(dpi);
  Image taught;
  taught.width = taught.height = kTaughtSide;
  const int left = slotSide / 2 + slot * slotSide + (slotSide - kTaughtSide) / 2;
  const int top = (slotSide - kTaughtSide) / 2;
  for (int y = 0; y < kTaughtSide; ++y) {
    const auto* row = &bar.bgra[bar.Offset(left, top + y)];
    taught.bgra.insert(taught.bgra.end(), row, row + kTaughtSide * 4);
  }
  return taught;
}

struct Control {
  std::string name;
  Picture picture;
};

class EachPicturedControl : public ::testing::TestWithParam<std::tuple<Control, int>> {};

TEST_P(EachPicturedControl, IsKeptWhenTaughtAndFoundOnlyOnItself) {
  const auto& [control, dpi] = GetParam();
  const int slotSide = SlotAt(dpi);
  const std::vector<Picture> all{Picture::SmilingFace, Picture::Heart, Picture::Folder};
  const Image bar = Toolbar(all, dpi);
  const int slot =
      static_cast<int>(std::find(all.begin(), all.end(), control.picture) - all.begin());
  const Image taught = TaughtAt(bar, slot, dpi);
  EXPECT_TRUE(IsDistinctive(taught));

  const Match found = FindPicture(bar, taught);
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.at, (Point{slotSide / 2 + slot * slotSide + (slotSide - kTaughtSide) / 2,
                             (slotSide - kTaughtSide) / 2}));

  std::vector<Picture> others;
  for (const Picture p : all) {
    if (p != control.picture) others.push_back(p);
  }
  EXPECT_FALSE(FindPicture(Toolbar(others, dpi), taught).found)
      << "the other controls pass for this one";
}

std::string ControlAtScale(const ::testing::TestParamInfo<std::tuple<Control, int>>& param) {
  return std::get<0>(param.param).name + "At" + std::to_string(std::get<1>(param.param));
}

INSTANTIATE_TEST_SUITE_P(
    Toolbar, EachPicturedControl,
    ::testing::Combine(::testing::Values(Control{"StickerButtonFace", Picture::SmilingFace},
                                         Control{"CollectedTabHeart", Picture::Heart},
                                         Control{"FileButtonFolder", Picture::Folder}),
                       ::testing::Values(96, 120, 144)),
    ControlAtScale);

// Drawn anew at a larger scale, not enlarged: the lines are as much longer and wider as the
// scale says, and as crisp (as many of their pixels fully inked, in proportion) as at 96 dpi,
// where an enlarged copy would smear them.
class PictureAtScale : public ::testing::TestWithParam<std::tuple<Picture, int>> {};

double InkOf(const practice::LinePicture& picture) {
  double sum = 0;
  for (const std::uint8_t ink : picture.ink) sum += ink;
  return sum / 255;
}

double FullShare(const practice::LinePicture& picture) {
  const auto full = std::count(picture.ink.begin(), picture.ink.end(), std::uint8_t{255});
  const auto any = std::count_if(picture.ink.begin(), picture.ink.end(),
                                 [](std::uint8_t ink) { return ink > 0; });
  return static_cast<double>(full) / static_cast<double>(any);
}

TEST_P(PictureAtScale, IsTheSameLinesAtTheLargerSize) {
  const auto [picture, dpi] = GetParam();
  const practice::LinePicture& base = practice::PictureOf(picture, 96);
  const practice::LinePicture& scaled = practice::PictureOf(picture, dpi);
  const practice::ScreenScale scale{dpi};
  EXPECT_EQ(scaled.width, scale.ToPhysical(base.width));
  EXPECT_EQ(scaled.height, scale.ToPhysical(base.height));
  const double area = static_cast<double>(dpi) * dpi / (96.0 * 96.0);
  EXPECT_NEAR(InkOf(scaled) / InkOf(base), area, area * 0.12);
  EXPECT_GE(FullShare(scaled), FullShare(base) * 0.95);
}

std::string PictureAtDpi(const ::testing::TestParamInfo<std::tuple<Picture, int>>& param) {
  const auto [picture, dpi] = param.param;
  const char* name = picture == Picture::SmilingFace ? "Face"
                     : picture == Picture::Heart     ? "Heart"
                                                     : "Folder";
  return name + std::string("At") + std::to_string(dpi);
}

INSTANTIATE_TEST_SUITE_P(ControlPictures, PictureAtScale,
                         ::testing::Combine(::testing::Values(Picture::SmilingFace, Picture::Heart,
                                                              Picture::Folder),
                                            ::testing::Values(120, 144)),
                         PictureAtDpi);

TEST(ControlPictures, OnlyControlsHaveLinePictures) {
  for (const int dpi : {96, 144}) {
    EXPECT_TRUE(practice::PictureOf(Picture::None, dpi).ink.empty());
    EXPECT_TRUE(practice::PictureOf(Picture::Sticker, dpi).ink.empty());
  }
}

}  // namespace
}  // namespace pelloram

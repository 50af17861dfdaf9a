// The practice client's controls are found by their look: a user who teaches the sticker
// button, the collected tab or the file button with F10 must get a picture the tool keeps,
// and that picture must be found on that control and on no other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "practice_client/control_pictures.h"
#include "practice_client/sticker_look.h"
#include "services/picture_match.h"

namespace pelloram {
namespace {

using Picture = practice::Model::Picture;

constexpr int kSlot = 48;  // the toolbar's controls stand this far apart
constexpr int kTaughtSide = 32;
constexpr int kBackground = 245;

// A grained toolbar, as the client draws it, with the given pictures in slots side by side.
Image Toolbar(const std::vector<Picture>& pictures) {
  Image bar;
  bar.width = kSlot * static_cast<int>(pictures.size()) + kSlot;
  bar.height = kSlot;
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
    const practice::LinePicture& lines = practice::PictureOf(pictures[slot]);
    const int left = kSlot / 2 + static_cast<int>(slot) * kSlot + (kSlot - lines.width) / 2;
    const int top = (kSlot - lines.height) / 2;
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
Image TaughtAt(const Image& bar, int slot) {
  Image taught;
  taught.width = taught.height = kTaughtSide;
  const int left = kSlot / 2 + slot * kSlot + (kSlot - kTaughtSide) / 2;
  const int top = (kSlot - kTaughtSide) / 2;
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

class EachPicturedControl : public ::testing::TestWithParam<Control> {};

TEST_P(EachPicturedControl, IsKeptWhenTaughtAndFoundOnlyOnItself) {
  const std::vector<Picture> all{Picture::SmilingFace, Picture::Heart, Picture::Folder};
  const Image bar = Toolbar(all);
  const int slot =
      static_cast<int>(std::find(all.begin(), all.end(), GetParam().picture) - all.begin());
  const Image taught = TaughtAt(bar, slot);
  EXPECT_TRUE(IsDistinctive(taught));

  const Match found = FindPicture(bar, taught);
  EXPECT_TRUE(found.found);
  EXPECT_EQ(found.at, (Point{kSlot / 2 + slot * kSlot + (kSlot - kTaughtSide) / 2,
                             (kSlot - kTaughtSide) / 2}));

  std::vector<Picture> others;
  for (const Picture p : all) {
    if (p != GetParam().picture) others.push_back(p);
  }
  EXPECT_FALSE(FindPicture(Toolbar(others), taught).found)
      << "the other controls pass for this one";
}

INSTANTIATE_TEST_SUITE_P(Toolbar, EachPicturedControl,
                         ::testing::Values(Control{"StickerButtonFace", Picture::SmilingFace},
                                           Control{"CollectedTabHeart", Picture::Heart},
                                           Control{"FileButtonFolder", Picture::Folder}),
                         [](const ::testing::TestParamInfo<Control>& control) {
                           return control.param.name;
                         });

TEST(ControlPictures, OnlyControlsHaveLinePictures) {
  EXPECT_TRUE(practice::PictureOf(Picture::None).ink.empty());
  EXPECT_TRUE(practice::PictureOf(Picture::Sticker).ink.empty());
}

}  // namespace
}  // namespace pelloram

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/pictures.h"

namespace pelloram {
namespace {

std::vector<std::uint8_t> ReadAsset(const char* name) {
  const auto path = std::filesystem::path(__FILE__).parent_path() / "../../assets" / name;
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Asset {
  const char* name;
  int width, height;
};

TEST(Pictures, EveryAssetDecodesAtItsSize) {
  for (const Asset asset : {Asset{"smiling_face.png", 27, 21}, Asset{"heart.png", 30, 24},
                            Asset{"folder.png", 20, 19}}) {
    SCOPED_TRACE(asset.name);
    const auto image = DecodePng(ReadAsset(asset.name));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, asset.width);
    EXPECT_EQ(image->height, asset.height);
    EXPECT_EQ(image->bgra.size(), static_cast<std::size_t>(asset.width * asset.height * 4));
  }
}

TEST(Pictures, HeartIsAnOpaqueGreyOutlineOnTransparency) {
  const auto heart = DecodePng(ReadAsset("heart.png"));
  ASSERT_TRUE(heart.has_value());
  const int right = heart->width - 1, bottom = heart->height - 1;
  EXPECT_EQ(heart->Alpha(0, 0), 0);
  EXPECT_EQ(heart->Alpha(right, 0), 0);
  EXPECT_EQ(heart->Alpha(0, bottom), 0);
  EXPECT_EQ(heart->Alpha(right, bottom), 0);
  EXPECT_EQ(heart->Alpha(15, 13), 0) << "an outline, not a filled heart";

  int opaque = 0;
  for (std::size_t i = 0; i < heart->bgra.size(); i += 4) {
    if (heart->bgra[i + 3] != 255) continue;
    ++opaque;
    EXPECT_EQ(heart->bgra[i], heart->bgra[i + 1]) << "grey strokes";
    EXPECT_EQ(heart->bgra[i + 1], heart->bgra[i + 2]) << "grey strokes";
  }
  EXPECT_GT(opaque, 40);
}

TEST(Pictures, FlatteningShowsTheBackgroundThroughTransparentPixels) {
  const auto heart = DecodePng(ReadAsset("heart.png"));
  ASSERT_TRUE(heart.has_value());
  const Colour buttonFace = 0xC8D0D4;  // RGB(212, 208, 200)
  const Image flat = FlattenOnto(*heart, buttonFace);
  ASSERT_EQ(flat.bgra.size(), heart->bgra.size());
  // Corner: fully transparent, so exactly the background (stored B, G, R).
  EXPECT_EQ(flat.bgra[0], 0xC8);
  EXPECT_EQ(flat.bgra[1], 0xD0);
  EXPECT_EQ(flat.bgra[2], 0xD4);
  for (std::size_t i = 0; i < flat.bgra.size(); i += 4) {
    EXPECT_EQ(flat.bgra[i + 3], 255);
    if (heart->bgra[i + 3] == 255) {
      EXPECT_EQ(flat.bgra[i], heart->bgra[i]);
    }
  }
}

TEST(Pictures, DamagedInputFailsCleanly) {
  const std::vector<std::uint8_t> good = ReadAsset("heart.png");
  ASSERT_TRUE(DecodePng(good).has_value());

  EXPECT_FALSE(DecodePng({}).has_value());
  const std::vector<std::uint8_t> garbage(512, 0xA5);
  EXPECT_FALSE(DecodePng(garbage).has_value());

  // Every cut inside the signature, the header or the image data fails. A cut inside the
  // closing 12-byte IEND chunk loses nothing: the pixels are all there, and they are whole.
  const std::size_t imageEnd = good.size() - 12;
  for (std::size_t length = 0; length < good.size(); ++length) {
    const std::span<const std::uint8_t> prefix(good.data(), length);
    const auto decoded = DecodePng(prefix);
    if (length < imageEnd) {
      EXPECT_FALSE(decoded.has_value()) << "truncated to " << length;
    } else if (decoded) {
      EXPECT_EQ(decoded->bgra, DecodePng(good)->bgra) << "truncated to " << length;
    }
  }

  // A flipped byte inside the image data breaks its checksum.
  std::vector<std::uint8_t> flipped = good;
  flipped[flipped.size() - 30] ^= 0x40;
  EXPECT_FALSE(DecodePng(flipped).has_value());
}

TEST(Pictures, RefusesHugeDimensionsBeforeAllocating) {
  std::vector<std::uint8_t> png = ReadAsset("folder.png");
  ASSERT_GT(png.size(), 33u);
  // IHDR follows the 8-byte signature: length, "IHDR", width, height, ..., CRC.
  const std::uint32_t huge = 60000;
  for (int i = 0; i < 4; ++i) {
    png[16 + i] = static_cast<std::uint8_t>(huge >> (24 - 8 * i));
    png[20 + i] = static_cast<std::uint8_t>(huge >> (24 - 8 * i));
  }
  const uLong crc = crc32(0, png.data() + 12, 17);
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
  EXPECT_FALSE(DecodePng(png).has_value());
}

}  // namespace
}  // namespace pelloram

#include "practice_client/sticker_look.h"

#include <algorithm>
#include <cstddef>

namespace practice {
namespace {

std::uint64_t Fnv1a(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  // Names that differ only in their last letters still differ in every bit used below.
  hash ^= hash >> 29;
  hash *= 0xBF58476D1CE4E5B9ULL;
  hash ^= hash >> 32;
  return hash;
}

// hue in [0, 360), saturation and value in [0, 100].
std::uint32_t FromHsv(int hue, int saturation, int value) {
  const int region = hue / 60;
  const int rest = (hue % 60) * 255 / 60;
  const int v = value * 255 / 100;
  const int p = v * (100 - saturation) / 100;
  const int q = v * (100 - saturation * rest / 255) / 100;
  const int t = v * (100 - saturation * (255 - rest) / 255) / 100;
  int r = v, g = t, b = p;
  switch (region) {
    case 1:
      r = q, g = v, b = p;
      break;
    case 2:
      r = p, g = v, b = t;
      break;
    case 3:
      r = p, g = q, b = v;
      break;
    case 4:
      r = t, g = p, b = v;
      break;
    case 5:
      r = v, g = p, b = q;
      break;
    default:
      break;
  }
  return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

}  // namespace

// A light backdrop with a pattern of its own (stripes, checks, rings or dots) and, over it,
// a mirrored 5 x 5 block figure in a strong colour: 15 bits of figure, a hue and a pattern.
std::vector<std::uint32_t> StickerPixels(std::string_view name, int size) {
  if (size <= 0) return {};
  const std::uint64_t hash = Fnv1a(name);
  const int hue = static_cast<int>(hash % 360);
  const int patternHue = static_cast<int>((hash >> 9) % 360);
  const int pattern = static_cast<int>((hash >> 18) % 4);
  const int step = 3 + static_cast<int>((hash >> 20) % 4);
  const std::uint64_t figure = hash >> 24;
  const std::uint32_t backdrop = FromHsv(patternHue, 12, 98);
  const std::uint32_t lines = FromHsv(patternHue, 35, 90);
  const std::uint32_t ink = FromHsv(hue, 80, 75);

  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) *
                                    static_cast<std::size_t>(size));
  const int margin = std::max(1, size / 8);
  const int block = std::max(1, (size - 2 * margin) / 5);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool marked = false;
      switch (pattern) {
        case 0:
          marked = (x + y) / step % 2 == 0;
          break;
        case 1:
          marked = (x / step + y / step) % 2 == 0;
          break;
        case 2:
          marked = ((x - size / 2) * (x - size / 2) + (y - size / 2) * (y - size / 2)) /
                       (step * step * 2) % 2 ==
                   0;
          break;
        default:
          marked = x % step == 0 && y % step == 0;
          break;
      }
      std::uint32_t colour = marked ? lines : backdrop;
      const int column = (x - margin) / block;
      const int row = (y - margin) / block;
      if (x >= margin && y >= margin && column < 5 && row < 5) {
        const int mirrored = column < 3 ? column : 4 - column;
        if (figure >> (row * 3 + mirrored) & 1) colour = ink;
      }
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
             static_cast<std::size_t>(x)] = colour;
    }
  }
  return pixels;
}

int GrainAt(int x, int y) {
  std::uint32_t h =
      static_cast<std::uint32_t>(x) * 374761393U + static_cast<std::uint32_t>(y) * 668265263U;
  h = (h ^ (h >> 13)) * 1274126177U;
  const int noise = static_cast<int>((h ^ (h >> 16)) % 10);
  const int weave = (x / 4 + y / 4) % 2 == 0 ? 14 : 4;  // a soft check under the noise
  return weave + noise;
}

}  // namespace practice
